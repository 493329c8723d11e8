#pragma once
// Window procedures over Qt widgets: a control may put its own procedure in
// front of a widget's input, focus and destroy events, which reach it as
// numbered window messages with their two parameters. The procedure passes a
// message on by calling the previous procedure (the chain ends in
// DefaultWindowProcedure, which lets Qt handle the event), drops it by not
// doing so, and may pass on changed parameters (a replaced character arrives
// as the typed character). Window properties keep a named pointer per window.
// User-interface thread only.
//
// Messages: mouse presses, releases, double clicks and moves (lParam: x in the
// low 16 bits, y in the high 16 bits, both signed; wParam: the MK_ button and
// key flags), key down and up (wParam: the virtual-key code; the system forms
// while Alt is held), one character message per typed character after a key
// down that was passed on (wParam: the UTF-16 code), focus gained and lost,
// and the destroy message, exactly once, when the widget goes (the widget
// itself can no longer be used then). Events of the widget's descendants (a
// browser view's input widget) count as the widget's, their positions mapped
// into it. There are no scroll messages: a view scrolls inside its page.

#include <cstdint>
#include <string>

#include "platform/window_handle.h"

inline constexpr unsigned kWmDestroy = 0x0002;
inline constexpr unsigned kWmSetFocus = 0x0007;
inline constexpr unsigned kWmKillFocus = 0x0008;
inline constexpr unsigned kWmClose = 0x0010;
inline constexpr unsigned kWmKeyDown = 0x0100;
inline constexpr unsigned kWmKeyUp = 0x0101;
inline constexpr unsigned kWmChar = 0x0102;
inline constexpr unsigned kWmSysKeyDown = 0x0104;
inline constexpr unsigned kWmSysKeyUp = 0x0105;
inline constexpr unsigned kWmHScroll = 0x0114;
inline constexpr unsigned kWmVScroll = 0x0115;
inline constexpr unsigned kWmMouseMove = 0x0200;
inline constexpr unsigned kWmLButtonDown = 0x0201;
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmLButtonDblClk = 0x0203;
inline constexpr unsigned kWmRButtonDown = 0x0204;
inline constexpr unsigned kWmRButtonUp = 0x0205;
inline constexpr unsigned kWmRButtonDblClk = 0x0206;

inline constexpr unsigned kVkF5 = 0x74;

using WindowProcedure = std::intptr_t (*)(WindowHandle window, unsigned message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

// Lets Qt handle the message (with the parameters given).
std::intptr_t DefaultWindowProcedure(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam);
// Installs `procedure` for the widget and returns the one before it
// (DefaultWindowProcedure at first); null and nothing installed for a handle
// that names no widget. Installing DefaultWindowProcedure ends the routing.
WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure);
std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window, unsigned message,
                                  std::uintptr_t wParam, std::intptr_t lParam);
// Queues a close message: the procedure sees it; passed on, the widget closes
// and, when the close is accepted, is deleted.
void PostCloseMessage(WindowHandle window);

// Named pointers per window; they go with the window.
bool SetWindowProperty(WindowHandle window, const std::string& name, void* value);
void* GetWindowProperty(WindowHandle window, const std::string& name);
void* RemoveWindowProperty(WindowHandle window, const std::string& name);

// The modifier keys down for the message being handled (outside a message:
// as the window system reports them now).
struct ModifierKeys {
  bool shift = false;
  bool control = false;
  bool alt = false;
};
ModifierKeys CurrentModifierKeys();

// Packs a position into a message's lParam.
std::intptr_t PackPosition(int x, int y);
