#include "platform/scripted_desktop.h"

#include "platform/code_page_codec.h"

ScriptedDesktop::ScriptedDesktop(FailureReporter reporter)
    : m_reporter(std::move(reporter)), m_uiThread(std::this_thread::get_id()) {}

int ScriptedDesktop::ShowMessageBox(std::string_view caption, std::string_view text, int type,
                                    std::int64_t timeoutMs) {
  return ShowBox(0, caption, std::string(text), {}, false, type, timeoutMs);
}

int ScriptedDesktop::ShowOwnedMessageBox(WindowHandle owner, std::string_view caption,
                                         std::string_view text, int type, std::int64_t timeoutMs) {
  return ShowBox(owner, caption, std::string(text), {}, false, type, timeoutMs);
}

int ScriptedDesktop::ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes,
                                         int type, std::int64_t timeoutMs) {
  std::u16string units = DesktopUtf16Units(utf16Bytes);
  std::string text = EncodeFromUtf16(units, kCodePageLocal);
  return ShowBox(0, caption, std::move(text), std::move(units), true, type, timeoutMs);
}

int ScriptedDesktop::ShowBox(WindowHandle owner, std::string_view caption, std::string text,
                             std::u16string unicode, bool fromUtf16, int type,
                             std::int64_t timeoutMs) {
  RecordedBox box;
  box.owner = owner;
  box.caption = caption;
  box.text = std::move(text);
  box.unicode = std::move(unicode);
  box.fromUtf16 = fromUtf16;
  box.type = type;
  box.timeoutMs = timeoutMs;
  box.thread = std::this_thread::get_id();
  std::function<void(const RecordedBox&)> hook;
  {
    std::lock_guard lock(m_mutex);
    hook = m_boxHook;
  }
  if (hook)
    hook(box);

  std::string failure;
  {
    std::lock_guard lock(m_mutex);
    if (m_answers.empty()) {
      box.answer = kBoxResultNone;
      failure = "unscripted message box \"" + Cp936ToUtf8(box.caption) + "\": \"" +
                Cp936ToUtf8(box.text) + "\"";
    } else {
      box.answer = m_answers.front();
      box.scripted = true;
      m_answers.pop_front();
      if (box.answer == kBoxResultTimedOut && timeoutMs <= 0) {
        failure =
            "a time-out was scripted for a box without time-out: \"" + Cp936ToUtf8(box.text) + "\"";
      }
    }
    m_boxes.push_back(box);
  }
  if (!failure.empty())
    Fail(failure);
  if (box.scripted && box.answer == kBoxResultTimedOut && timeoutMs > 0)
    GetClock().SleepFor(timeoutMs);
  return box.answer;
}

void ScriptedDesktop::SetStatusPanel(int panel, std::string_view text) {
  RecordedStatus status;
  status.panel = panel;
  status.text = text;
  status.unicode = DecodeToUtf16(text, kCodePageLocal);
  RecordStatus(std::move(status));
}

void ScriptedDesktop::SetStatusPanelUtf16(int panel, std::string_view utf16Bytes) {
  RecordedStatus status;
  status.panel = panel;
  status.fromUtf16 = true;
  status.unicode = DesktopUtf16Units(utf16Bytes);
  status.text = EncodeFromUtf16(status.unicode, kCodePageLocal);
  RecordStatus(std::move(status));
}

void ScriptedDesktop::RecordStatus(RecordedStatus status) {
  std::function<void(const RecordedStatus&)> hook;
  {
    std::lock_guard lock(m_mutex);
    m_statusHistory.push_back(status);
    m_panels[status.panel] = status;
    hook = m_statusHook;
  }
  if (hook)
    hook(status);
}

void ScriptedDesktop::SetStatusHook(std::function<void(const RecordedStatus&)> hook) {
  std::lock_guard lock(m_mutex);
  m_statusHook = std::move(hook);
}

int ScriptedDesktop::OpenTarget(std::string_view target) {
  std::lock_guard lock(m_mutex);
  m_opened.emplace_back(target);
  return m_openResult;
}

bool ScriptedDesktop::IsUiThread() const {
  std::lock_guard lock(m_mutex);
  return std::this_thread::get_id() == m_uiThread;
}

void ScriptedDesktop::PumpEvents() {
  if (!IsUiThread())
    return;
  std::lock_guard lock(m_mutex);
  ++m_pumps;
}

bool ScriptedDesktop::PumpEventsFor(std::int64_t ms, const StopCondition& stop) {
  PumpEvents();
  return GetClock().SleepFor(ms, stop);
}

void ScriptedDesktop::AnswerNext(int button) {
  std::lock_guard lock(m_mutex);
  m_answers.push_back(button);
}

void ScriptedDesktop::SetBoxHook(std::function<void(const RecordedBox&)> hook) {
  std::lock_guard lock(m_mutex);
  m_boxHook = std::move(hook);
}

int ScriptedDesktop::PendingAnswers() const {
  std::lock_guard lock(m_mutex);
  return static_cast<int>(m_answers.size());
}

std::vector<RecordedBox> ScriptedDesktop::Boxes() const {
  std::lock_guard lock(m_mutex);
  return m_boxes;
}

std::vector<std::string> ScriptedDesktop::Failures() const {
  std::lock_guard lock(m_mutex);
  return m_failures;
}

std::string ScriptedDesktop::StatusText(int panel) const {
  std::lock_guard lock(m_mutex);
  auto it = m_panels.find(panel);
  return it == m_panels.end() ? std::string() : it->second.text;
}

std::u16string ScriptedDesktop::StatusUnicode(int panel) const {
  std::lock_guard lock(m_mutex);
  auto it = m_panels.find(panel);
  return it == m_panels.end() ? std::u16string() : it->second.unicode;
}

std::vector<RecordedStatus> ScriptedDesktop::StatusHistory() const {
  std::lock_guard lock(m_mutex);
  return m_statusHistory;
}

std::vector<std::string> ScriptedDesktop::OpenedTargets() const {
  std::lock_guard lock(m_mutex);
  return m_opened;
}

void ScriptedDesktop::SetOpenResult(int result) {
  std::lock_guard lock(m_mutex);
  m_openResult = result;
}

void ScriptedDesktop::SetUiThread(std::thread::id id) {
  std::lock_guard lock(m_mutex);
  m_uiThread = id;
}

int ScriptedDesktop::PumpCount() const {
  std::lock_guard lock(m_mutex);
  return m_pumps;
}

void ScriptedDesktop::Fail(const std::string& message) {
  FailureReporter reporter;
  {
    std::lock_guard lock(m_mutex);
    m_failures.push_back(message);
    reporter = m_reporter;
  }
  if (reporter)
    reporter(message);
}
