// The main window's created, close-query, destroy and moved handlers.

#include <unistd.h>
#include <QCloseEvent>
#include <QMoveEvent>
#include <cstdio>

#include "platform/control_store.h"
#include "platform/desktop.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace {

// The close questions: both titled "确定：", Yes and No with the question
// icon, no time-out.
constexpr const char* kCloseCaption = "确定：";
constexpr const char* kPlainCloseQuestion = "确定关闭关闭软件？";
constexpr const char* kRenameCloseQuestion = "当前有进行中的改名任务，是否关闭软件？";
constexpr const char* kCopyCloseQuestion = "当前有进行中的复制任务，是否关闭软件？";

bool AskClose(const char* question) {
  return GetDesktop().ShowMessageBox(kCloseCaption, question, kBoxYesNo | kBoxIconQuestion, 0) ==
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
  std::fflush(nullptr);
  _exit(0);
}

void MainWindow::OnCreated() {
  SetTooltips();
}

void MainWindow::SetTooltips() {
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
  if (!OnCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
  OnDestroy();
}

void MainWindow::OnDestroy() {
  m_endProcess();
}

void MainWindow::RequestEndProgram() {
  RunOnUiThreadAndWait([this] { OnDestroy(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  KeepTopVisible();
}

void MainWindow::KeepTopVisible() {
  const int top = y();  // the frame's top edge
  if (top == 0) {
    move(x(), g_lastWindowTop);
  } else {
    g_lastWindowTop = top;
  }
}
