// The main window's created, close-query, destroy and moved handlers.

#include <unistd.h>
#include <QCloseEvent>
#include <QMoveEvent>
#include <QPointer>
#include <QWindow>
#include <cstdio>
#include <fstream>

#include "foundation/contact_text.h"
#include "foundation/file_system_path.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/screen_scaling.h"
#include "foundation/thread_pool.h"
#include "foundation/thread_start.h"
#include "jobs/jobs_at_exit.h"
#include "jobs/old_cache_files.h"
#include "jobs/prefetch_run.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window_handle.h"
#include "ui/global_objects.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/start_up.h"
#include "web/item_request_hold.h"

namespace {

// The layout is drawn for 96 DPI.
constexpr int kDesignDpi = 96;
// The worker pool of the listing jobs; the folder collection raises the
// maximum later.
constexpr int kPoolMinThreads = 1;
constexpr int kPoolMaxThreads = 10;

// The close questions: both titled "确定：", Yes and No with the question
// icon, no time-out.
constexpr const char* kCloseCaption = "确定：";
constexpr const char* kPlainCloseQuestion = "确定关闭关闭软件？";
constexpr const char* kRenameCloseQuestion = "当前有进行中的改名任务，是否关闭软件？";
constexpr const char* kCopyCloseQuestion = "当前有进行中的复制任务，是否关闭软件？";

// Eats the close requests of the window system while the close questions are
// open: Qt would take a second close of a window whose close is under way as
// accepted and destroy the window without asking.
class CloseRequestBlocker final : public QObject {
 public:
  explicit CloseRequestBlocker(QWindow* window) : m_window(window) {
    if (m_window != nullptr)
      m_window->installEventFilter(this);
  }
  ~CloseRequestBlocker() override {
    if (m_window != nullptr)
      m_window->removeEventFilter(this);
  }
  CloseRequestBlocker(const CloseRequestBlocker&) = delete;
  CloseRequestBlocker& operator=(const CloseRequestBlocker&) = delete;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() != QEvent::Close)
      return false;
    event->ignore();
    // The question the user has not answered may be behind the window.
    BringOpenBoxesToFront();
    return true;
  }

 private:
  QPointer<QWindow> m_window;
};

bool AskClose(const char* question) {
  return ShowTimedMessageBox(kCloseCaption, question, 0, kBoxYesNo | kBoxIconQuestion) ==
         kBoxResultYes;
}

struct Tooltip {
  const char16_t* control;
  const char16_t* text;
};

constexpr const char16_t* kDeleteFilesTip =
    u"根据文件名中包含的关键词删除文件。（不会删除目录）\n\n可以一次删除多个，用英文,"
    u"号分隔，例：关键词1,关键词2,关键词3";
constexpr const char16_t* kDeleteFoldersTip =
    u"根据文件名中包含的关键词删除目录。（请谨慎选择！）\n\n可以一次删除多个，用英文,"
    u"号分隔，例：关键词1,关键词2,关键词3";
constexpr const char16_t* kKeywordTip =
    u"支持多个，用英文,号分隔。如果只是替换改名或删除文件，不需要启用此功能。";

constexpr Tooltip kTooltips[] = {
    {u"选择框_删除文件", kDeleteFilesTip},       {u"编辑框_删除文件关键词", kDeleteFilesTip},
    {u"选择框_删除目录", kDeleteFoldersTip},     {u"编辑框_删除目录关键词", kDeleteFoldersTip},
    {u"编辑框_不包含的关键词", kKeywordTip},     {u"编辑框_包含关键词才修改", kKeywordTip},
    {u"选择框_不包含关键词才修改", kKeywordTip}, {u"选择框_包含关键词才修改", kKeywordTip},
};

}  // namespace

void EndProcessNow() {
  DestroyGlobalObjects();  // the exit routine; frees nothing a worker may use
  std::fflush(nullptr);
  _exit(0);
}

void MainWindow::OnCreated() {
  RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
  setWindowTitle(WidgetTextFromCp936(BuildMainWindowCaption(
      kMainWindowCaption, ReadContactText(RunDirectoryPath("联系方式.txt")), g_programVersion)));
  // The six shared locks are objects that live from program start to the
  // process end (foundation/shared_locks.h); nothing is left to create here.
  if (g_threadPool == nullptr) {
    g_threadPool = ThreadPool::Create(kPoolMinThreads, kPoolMaxThreads);
  }
  Run(m_handlers.startAccountListLoader);
  Run(m_handlers.startUpdateCheck);
  // Every run starts with an empty error log; a failure is not reported.
  std::ofstream(FileSystemPathFromText(RunDirectoryPath("err.txt")), std::ios::trunc);
  StartThreadWithTexts([](int, const std::string&, const std::string&, const std::string&,
                          const std::string&) { DeleteOldCacheFiles(); });
  InstallPrefetchRoutines();
  SetTooltips();
}

void MainWindow::SetTooltips() {
  // The tips show also while another window is active.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  for (const Tooltip& tip : kTooltips) {
    Control(tip.control)->setToolTip(QtText(tip.text));
  }
}

bool MainWindow::OnCloseQuery() {
  const ControlStore& store = m_store;
  // A job runs while its start button is disabled.
  const bool renaming = !store.Enabled("按钮_开始改名");
  if (!AskClose(renaming ? kRenameCloseQuestion : kPlainCloseQuestion)) {
    return false;
  }
  const bool copying = !store.Enabled("按钮_开始复制文件");
  return AskClose(copying ? kCopyCloseQuestion : kPlainCloseQuestion);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // While the questions are open the window stays usable, and every further
  // close request is ignored: only Yes to both questions ends the program.
  if (m_askingToClose) {
    event->ignore();
    BringOpenBoxesToFront();
    return;
  }
  bool close = false;
  {
    m_askingToClose = true;
    CloseRequestBlocker blocker(windowHandle());
    close = OnCloseQuery();
    m_askingToClose = false;
  }
  if (!close) {
    event->ignore();
    return;
  }
  event->accept();
  OnDestroy();
}

void MainWindow::OnDestroy() {
  // The wait pumps events: nothing of this window may be used meanwhile.
  hide();
  StopJobsForExit();
  m_endProcess();
  // Only an ender that returns (a test's) comes back here: the jobs go on
  // to their stop.
  ReleaseItemRequests();
}

void MainWindow::RequestEndProgram() {
  RunOnUiThreadAndWait([this] { OnDestroy(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  KeepTopVisible();
}

void MainWindow::KeepTopVisible() {
  // A maximized or full-screen window sits at the screen's top edge by the
  // window system's own placement; moving it would undo that.
  if (isMaximized() || isFullScreen()) {
    return;
  }
  const int top = y();  // the frame's top edge
  if (top == 0) {
    move(x(), g_lastWindowTop);
  } else {
    g_lastWindowTop = top;
  }
}
