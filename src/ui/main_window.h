#pragma once
// The program's main window: the only window that stays open for the whole
// run. It holds the account list, the remote folder tree and every option of
// the jobs (laid out in main_window_layout.cpp), binds the events of its
// controls and its two pop-up menus to MainWindowHandlers, and runs the
// created, close-query, destroy and moved handlers of the start-up and
// shutdown. Every method runs on the user-interface thread unless it says
// otherwise.

#include <QMainWindow>
#include <functional>
#include <string>
#include <string_view>

#include "platform/control_store.h"
#include "ui/main_window_handlers.h"

class ControlBinding;
class QMenu;

// The last top edge of the main window that was not 0; 0 at start.
extern int g_lastWindowTop;

// Ends the process with exit code 0 at once: stdio files are flushed, no
// destructor runs and no thread is waited for, because worker threads may
// still use the program-wide objects. Does not return.
[[noreturn]] void EndProcessNow();

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Binds the controls to `store` (the program's store unless a test gives
  // its own).
  explicit MainWindow(ControlStore& store = GetControlStore(), QWidget* parent = nullptr);
  ~MainWindow() override;

  // The handlers the events run. Fill before the window is shown.
  MainWindowHandlers& Handlers() { return m_handlers; }

  // The created handler: rescales to the screen DPI, builds the caption, creates
  // the shared locks and the pool, empties "err.txt", starts the clean-up of
  // leftover cache files and sets the tooltips. Run once, before the window is
  // shown.
  void OnCreated();

  // The close-query handler: asks the two close questions; true lets the
  // window close.
  bool OnCloseQuery();

  // The destroy handler: hides the window, lets the jobs start no further
  // request that changes remote items and gives the one under way a few
  // seconds to be booked (StopJobsForExit), then ends the process with exit
  // code 0, without waiting for worker threads and without freeing what they
  // may still use.
  void OnDestroy();

  // The moved handler: a window moved so that its top edge is 0 goes back to
  // the last top edge that was not 0.
  void KeepTopVisible();

  // Asks the user-interface thread to end the program as OnDestroy does,
  // without the close questions. Callable from any thread; does not return.
  void RequestEndProgram();

  // Runs `work` on the user-interface thread and returns when it has finished
  // (a worker that must have a window opened, such as the update window, waits
  // here). On the user-interface thread it runs `work` at once.
  void RunOnUiThreadAndWait(const std::function<void()>& work);

  // 按钮1: starts the root listing of the remote folder tree on a thread of its
  // own and returns. Any thread (the archive job calls it from its worker).
  void RefreshRootFolder();

  ControlStore& Store() const { return m_store; }

  // The control with the given name, or nullptr.
  QWidget* Control(std::u16string_view name) const;
  template <typename T>
  T* ControlAs(std::u16string_view name) const {
    return qobject_cast<T*>(Control(name));
  }

  // The pop-up menus "导出文件名菜单" (tree) and "cookies操作" (account list).
  QMenu* TreeMenu() const { return m_treeMenu; }
  QMenu* AccountMenu() const { return m_accountMenu; }

  // What OnDestroy runs to end the process; tests replace it.
  void SetProcessEnder(std::function<void()> ender) { m_endProcess = std::move(ender); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildStatusBar();
  void BuildMenus();
  void BindEvents();
  void BindClick(std::u16string_view button, MainWindowHandlers::Action MainWindowHandlers::*slot);
  void BindLabel(std::u16string_view label, const std::function<void()>& run);
  void SetTooltips();
  void Run(const MainWindowHandlers::Action& handler) const;

  ControlStore& m_store;
  ControlBinding* m_binding = nullptr;
  MainWindowHandlers m_handlers;
  QMenu* m_treeMenu = nullptr;
  QMenu* m_accountMenu = nullptr;
  std::function<void()> m_endProcess;
  bool m_askingToClose = false;  // the close questions are open
};
