#include "ui/control_events.h"

#include <map>
#include <tuple>

namespace {

using BindingKey = std::tuple<int, int, int>;

std::map<BindingKey, ControlEventHandler>& Bindings() {
  static auto* bindings = new std::map<BindingKey, ControlEventHandler>;
  return *bindings;
}

std::map<HostHandle, WindowHandle>& HostedWindows() {
  static auto* windows = new std::map<HostHandle, WindowHandle>;
  return *windows;
}

int s_nextWindowId = 1;
HostHandle s_nextHost = 0x10000;

}  // namespace

void ControlEvent::AddInteger(std::intptr_t value) {
  if (argumentCount < kControlEventMaxArguments) {
    arguments[argumentCount++] = ControlEventArgument{value, {}, false, false};
  }
}

void ControlEvent::AddText(std::string value) {
  if (argumentCount < kControlEventMaxArguments) {
    arguments[argumentCount++] = ControlEventArgument{0, std::move(value), true, true};
  }
}

int NewOwnerWindowId() {
  return s_nextWindowId++;
}

void BindControlEvent(int windowId, int controlId, int eventNumber, ControlEventHandler handler) {
  const BindingKey key{windowId, controlId, eventNumber};
  if (handler) {
    Bindings()[key] = std::move(handler);
  } else {
    Bindings().erase(key);
  }
}

void UnbindWindowEvents(int windowId) {
  std::erase_if(Bindings(), [windowId](const auto& entry) { return std::get<0>(entry.first) == windowId; });
}

bool DispatchControlEvent(ControlEvent& event) {
  const auto it = Bindings().find({event.windowId, event.controlId, event.eventNumber});
  if (it == Bindings().end()) {
    return false;
  }
  // A copy: the handler may unbind itself.
  const ControlEventHandler handler = it->second;
  const std::optional<std::intptr_t> result = handler(event);
  event.hasResult = result.has_value();
  event.result = result.value_or(0);
  return true;
}

HostHandle RegisterHostedWindow(WindowHandle window) {
  const HostHandle host = s_nextHost++;
  HostedWindows()[host] = window;
  return host;
}

WindowHandle HostedWindow(HostHandle host) {
  const auto it = HostedWindows().find(host);
  return it != HostedWindows().end() ? it->second : 0;
}
