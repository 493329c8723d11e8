#pragma once
// The owner's side of controls that report numbered events to their window:
// window ids, host handles of hosted child windows, and the dispatch that runs
// the handler bound to a window id, control id and event number.
// User-interface thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/window_handle.h"

inline constexpr int kControlEventMaxArguments = 12;

// One argument: an integer (pointer-sized, so that a view or the address of a
// value fits) or a code page 936 text. Texts are passed by address: a handler
// may replace the text, and the control reads back those it asks for.
struct ControlEventArgument {
  std::intptr_t integer = 0;
  std::string text;
  bool isText = false;
  bool byAddress = false;
};

// The record a control hands to its window's dispatch for every event.
struct ControlEvent {
  int windowId = 0;
  int controlId = 0;
  int eventNumber = 0;
  int argumentCount = 0;
  ControlEventArgument arguments[kControlEventMaxArguments];
  // Filled by the dispatch when a handler ran and returned a value.
  bool hasResult = false;
  std::intptr_t result = 0;

  void AddInteger(std::intptr_t value);
  void AddText(std::string value);
};

// A handler: its value (a logical 0/1 or an integer), or none when it ran
// without returning one.
using ControlEventHandler = std::function<std::optional<std::intptr_t>(ControlEvent& event)>;

// A new window id (never 0) for a window that owns controls.
int NewOwnerWindowId();
// Binds `handler` to (window id, control id, event number); an empty handler
// removes the binding.
void BindControlEvent(int windowId, int controlId, int eventNumber, ControlEventHandler handler);
// Removes every binding of the window (when it goes).
void UnbindWindowEvents(int windowId);
// Runs the bound handler, fills the result fields, and tells whether a handler
// ran.
bool DispatchControlEvent(ControlEvent& event);

// The handle by which the owner addresses a hosted child window (never 0);
// the same window registered again gets a new handle.
using HostHandle = std::intptr_t;
HostHandle RegisterHostedWindow(WindowHandle window);
// The window of a host handle, 0 when unknown.
WindowHandle HostedWindow(HostHandle host);
