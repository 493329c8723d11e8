#include "platform/control_store.h"

namespace {

template <typename T>
T Read(const std::map<std::string, ControlState, std::less<>>& controls, std::string_view name,
       T ControlState::*member) {
  auto it = controls.find(name);
  return it == controls.end() ? ControlState{}.*member : it->second.*member;
}

}  // namespace

std::string ControlStore::Text(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::text);
}

bool ControlStore::Checked(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::checked);
}

bool ControlStore::Enabled(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::enabled);
}

bool ControlStore::Visible(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::visible);
}

std::string ControlStore::Caption(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::caption);
}

int ControlStore::Selection(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::selection);
}

std::vector<std::string> ControlStore::Items(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return Read(m_controls, name, &ControlState::items);
}

ControlState ControlStore::State(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  auto it = m_controls.find(name);
  return it == m_controls.end() ? ControlState{} : it->second;
}

bool ControlStore::Has(std::string_view name) const {
  std::lock_guard lock(m_mutex);
  return m_controls.find(name) != m_controls.end();
}

template <typename T>
void ControlStore::Write(std::string_view name, ControlProperty property, T ControlState::*member,
                         T value, ChangeOrigin origin) {
  std::vector<Listener> listeners;
  {
    std::lock_guard lock(m_mutex);
    auto control = m_controls.find(name);
    if (control == m_controls.end())
      control = m_controls.emplace(std::string(name), ControlState()).first;
    ControlState& state = control->second;
    if (state.*member == value)
      return;
    state.*member = std::move(value);
    listeners.reserve(m_listeners.size());
    for (const auto& [id, listener] : m_listeners)
      listeners.push_back(listener);
  }
  if (listeners.empty())
    return;
  const std::string key(name);
  for (const Listener& listener : listeners)
    listener(key, property, origin);
}

void ControlStore::SetText(std::string_view name, std::string_view text, ChangeOrigin origin) {
  std::string value = origin == ChangeOrigin::User ? NormalizeToCrLf(text) : std::string(text);
  Write(name, ControlProperty::Text, &ControlState::text, std::move(value), origin);
}

void ControlStore::SetChecked(std::string_view name, bool checked, ChangeOrigin origin) {
  Write(name, ControlProperty::Checked, &ControlState::checked, checked, origin);
}

void ControlStore::SetEnabled(std::string_view name, bool enabled, ChangeOrigin origin) {
  Write(name, ControlProperty::Enabled, &ControlState::enabled, enabled, origin);
}

void ControlStore::SetVisible(std::string_view name, bool visible, ChangeOrigin origin) {
  Write(name, ControlProperty::Visible, &ControlState::visible, visible, origin);
}

void ControlStore::SetCaption(std::string_view name, std::string_view caption,
                              ChangeOrigin origin) {
  Write(name, ControlProperty::Caption, &ControlState::caption, std::string(caption), origin);
}

void ControlStore::SetSelection(std::string_view name, int selection, ChangeOrigin origin) {
  Write(name, ControlProperty::Selection, &ControlState::selection, selection, origin);
}

void ControlStore::SetItems(std::string_view name, std::vector<std::string> items,
                            ChangeOrigin origin) {
  Write(name, ControlProperty::Items, &ControlState::items, std::move(items), origin);
}

int ControlStore::AddListener(Listener listener) {
  std::lock_guard lock(m_mutex);
  const int id = m_nextListenerId++;
  m_listeners.emplace(id, std::move(listener));
  return id;
}

void ControlStore::RemoveListener(int id) {
  std::lock_guard lock(m_mutex);
  m_listeners.erase(id);
}

void ControlStore::Clear() {
  std::lock_guard lock(m_mutex);
  m_controls.clear();
}

ControlStore& GetControlStore() {
  // Never destroyed: workers may still write controls while the process ends.
  static ControlStore& s_store = *new ControlStore;
  return s_store;
}

std::string NormalizeToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string CrLfToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i];
  }
  return out;
}
