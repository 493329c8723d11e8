#pragma once
// The Desktop of the running program, over Qt Widgets. Make it on the
// user-interface thread after the QApplication, install it with InstallDesktop
// (or ScopedDesktop), and keep it until the event loop has ended.
//
// Message boxes: a non-modal QMessageBox (object name "quillmere_message_box")
// on the user-interface thread, raised and activated in front of the open
// modal window, else the active window, else the main window (SetMainWindow).
// A box is only transient for that window, never owned by it: a window that
// closes meanwhile leaves it open. A modal window blocks input to every window
// that does not stand in front of it; a box blocked by a modal window opened
// after it steps in front of that window, so every box stays answerable by
// mouse and keyboard. A box is at least as wide as its title needs in the
// window manager's title bar (the title plus the frame's icon and buttons on
// both sides), so that the title is not cut to "…". Called
// on the user-interface thread, the call runs a local event loop until the box
// closes, so the windows stay responsive and several boxes can be open at
// once. Called from a worker, the box is posted to the user-interface thread
// and only the worker waits. A time-out closes the box with 32000; it is
// measured on the installed Clock. Closing a box by its window frame or Escape
// gives No for Yes/No boxes and the only button otherwise.
//
// Status panels: the main window binds a label per panel (BindStatusPanel);
// writes from any thread are posted, and a panel bound later shows the latest
// text. Opening a target: OpenUrlOnDesktop (platform/qt/desktop_opener.h).

#include "platform/desktop.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class QLabel;
class QWidget;

// Brings every open message box of the user-interface thread to the front and
// activates it (one that nobody owns can end up behind other windows). UI
// thread only.
void BringOpenBoxesToFront();

class QtDesktop final : public Desktop {
 public:
  QtDesktop();
  ~QtDesktop() override;
  QtDesktop(const QtDesktop&) = delete;
  QtDesktop& operator=(const QtDesktop&) = delete;

  int ShowMessageBox(std::string_view caption, std::string_view text, int type,
                     std::int64_t timeoutMs) override;
  int ShowOwnedMessageBox(WindowHandle owner, std::string_view caption, std::string_view text,
                          int type, std::int64_t timeoutMs) override;
  int ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes, int type,
                          std::int64_t timeoutMs) override;
  void SetStatusPanel(int panel, std::string_view text) override;
  void SetStatusPanelUtf16(int panel, std::string_view utf16Bytes) override;
  int OpenTarget(std::string_view target) override;
  bool IsUiThread() const override;
  void PumpEvents() override;
  bool PumpEventsFor(std::int64_t ms, const StopCondition& stop = {}) override;

  // User-interface thread only. label shows panel `panel` from now on (null
  // unbinds); it takes the panel's latest text at once.
  void BindStatusPanel(int panel, QLabel* label);
  // The latest text of a panel (any thread).
  QString StatusPanelText(int panel) const;
  // User-interface thread only. Boxes asked while none of the program's
  // windows is active stand in front of `window`.
  void SetMainWindow(QWidget* window);

  struct PendingCall;  // a worker waiting for the user-interface thread's answer

 private:
  // Runs call on the user-interface thread and returns what it gives; from a
  // worker this blocks the worker (only) until the answer comes, or gives 0
  // when the desktop goes away first.
  int CallOnUiThread(std::function<int()> call);
  // From a worker: runs start on the user-interface thread with a pending
  // call and blocks the worker (only) until something completes that call;
  // gives 0 when the desktop goes away first.
  int AwaitUiThread(std::function<void(std::shared_ptr<PendingCall>)> start);
  // A box in front of BoxFront, from any thread.
  int ShowBox(const QString& caption, const QString& text, int type, std::int64_t timeoutMs);
  void PostStatus(int panel, QString text);
  void ShowPanelText(int panel);  // UI thread
  // The window a new box stands in front of, or null. UI thread.
  QWidget* BoxFront() const;

  QObject m_context;  // lives on the user-interface thread; posted work binds to it
  mutable std::mutex m_mutex;
  std::map<int, QString> m_panelTexts;               // under m_mutex
  std::map<int, QPointer<QLabel>> m_panelLabels;     // UI thread only
  QPointer<QWidget> m_mainWindow;                    // UI thread only
  std::set<std::shared_ptr<PendingCall>> m_pending;  // under m_mutex
  bool m_closing = false;                            // under m_mutex
};
