#pragma once
// The program's window to the user: message boxes, the main window's status bar
// panels, event pumping on the user-interface thread, and opening a web page or
// file in its default program.
//
// Implementations:
// - the Qt one (platform/qt/qt_desktop.h), installed by main();
// - ScriptedDesktop (platform/scripted_desktop.h) for tests;
// - a silent headless one, installed until anything else is: boxes give 0
//   ("could not be shown"), status texts and page openings are dropped.
//
// All texts are code page 936 unless named UTF-16 bytes (UTF-16LE).
// Every member may be called from any thread.

#include "platform/clock.h"
#include "platform/window_handle.h"

#include <cstdint>
#include <string>
#include <string_view>

// Message box types: the style bits the program passes.
inline constexpr int kBoxOk = 0;
inline constexpr int kBoxYesNo = 4;
inline constexpr int kBoxIconError = 16;
inline constexpr int kBoxIconQuestion = 32;
inline constexpr int kBoxIconWarning = 48;
inline constexpr int kBoxIconInformation = 64;

// Button results.
inline constexpr int kBoxResultNone = 0;  // the box could not be shown
inline constexpr int kBoxResultOk = 1;
inline constexpr int kBoxResultYes = 6;
inline constexpr int kBoxResultNo = 7;
inline constexpr int kBoxResultTimedOut = 32000;  // closed itself after its time-out

// The caption of the plain message box when the caller gives none.
inline constexpr const char* kPlainBoxCaption = "信息：";

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Shows a message box and blocks the calling thread (only it) until the box
  // closes. type: kBoxOk or kBoxYesNo plus an icon. timeoutMs 0 waits for the
  // user; otherwise an unanswered box closes after timeoutMs and gives
  // kBoxResultTimedOut. Returns the button (kBoxResultOk, kBoxResultYes, ...).
  // On the user-interface thread the box is not modal, so several can be open
  // and the windows stay responsive meanwhile.
  virtual int ShowMessageBox(std::string_view caption, std::string_view text, int type,
                             std::int64_t timeoutMs) = 0;
  // The same box for the window `owner`: it stands in front of that window
  // but is not owned by it, so it stays open until answered (or timed out)
  // even when that window closes meanwhile. Without a window of that handle,
  // or off the user-interface thread, it is shown as ShowMessageBox shows it.
  virtual int ShowOwnedMessageBox(WindowHandle owner, std::string_view caption,
                                  std::string_view text, int type, std::int64_t timeoutMs) {
    (void)owner;
    return ShowMessageBox(caption, text, type, timeoutMs);
  }

  // The box of ShowMessageBox with its text as UTF-16LE bytes (a trailing zero
  // code unit ignored): shows characters that code page 936 cannot hold, for
  // texts that list remote names. Unless overridden, the text is shown
  // converted to code page 936.
  virtual int ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes, int type,
                                  std::int64_t timeoutMs);

  // Sets panel `panel` (0-based: 0 is the first panel) of the main window's
  // status bar `状态条1`. An empty text clears the panel.
  virtual void SetStatusPanel(int panel, std::string_view text) = 0;
  // The same with UTF-16LE bytes; a trailing zero code unit is ignored; empty
  // bytes clear the panel. Shows characters that code page 936 cannot hold.
  virtual void SetStatusPanelUtf16(int panel, std::string_view utf16Bytes) = 0;

  // Opens target (a web address or a file path) with its default program.
  // Returns above 32 on success, 2 or another small number on failure.
  virtual int OpenTarget(std::string_view target) = 0;

  // True on the thread that runs the windows' event loop.
  virtual bool IsUiThread() const = 0;
  // Processes the user-interface events pending now; nothing off that thread.
  virtual void PumpEvents() = 0;
  // On the user-interface thread: keeps handling events for ms milliseconds
  // of the installed clock (a local event loop). Elsewhere: sleeps on the
  // clock. Returns false when stop() ended the wait early.
  virtual bool PumpEventsFor(std::int64_t ms, const StopCondition& stop = {}) = 0;
};

// The installed desktop (the silent headless one unless another is
// installed). Any thread.
Desktop& GetDesktop();

// Installs desktop (nullptr: the silent one) and returns the previous one
// (nullptr when that was the silent one). Install at start-up or in a test
// before threads that use it start; the caller keeps desktop alive.
Desktop* InstallDesktop(Desktop* desktop);

// Installs a desktop for one scope and restores the previous one after it.
class ScopedDesktop {
 public:
  explicit ScopedDesktop(Desktop& desktop) : m_previous(InstallDesktop(&desktop)) {}
  ~ScopedDesktop() { InstallDesktop(m_previous); }
  ScopedDesktop(const ScopedDesktop&) = delete;
  ScopedDesktop& operator=(const ScopedDesktop&) = delete;

 private:
  Desktop* m_previous;
};

// The code units of a UTF-16 text as the members above take it: UTF-16LE
// bytes, read up to the first zero code unit.
std::u16string DesktopUtf16Units(std::string_view utf16Bytes);

// The plain message box: no time-out, caption "信息：" unless given, an OK
// button unless type asks for Yes and No. Returns the button.
int ShowPlainMessageBox(std::string_view text, int type = kBoxOk,
                        std::string_view caption = kPlainBoxCaption);
