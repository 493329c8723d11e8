// Every event of the main window runs the handler the window definition
// gives it, and nothing else.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

namespace {

using Slot = MainWindowHandlers::Action MainWindowHandlers::*;
using ControlSlot = MainWindowHandlers::ControlAction MainWindowHandlers::*;

const std::pair<const char*, Slot> kActions[] = {
    {"switchWorkingAccount", &MainWindowHandlers::switchWorkingAccount},
    {"openSignInMethodWindow", &MainWindowHandlers::openSignInMethodWindow},
    {"addAccountFromPastedCookies", &MainWindowHandlers::addAccountFromPastedCookies},
    {"saveAccountList", &MainWindowHandlers::saveAccountList},
    {"verifySelectedAccount", &MainWindowHandlers::verifySelectedAccount},
    {"verifyAllAccounts", &MainWindowHandlers::verifyAllAccounts},
    {"copySelectedCookies", &MainWindowHandlers::copySelectedCookies},
    {"queryAccountQuota", &MainWindowHandlers::queryAccountQuota},
    {"deleteSelectedAccount", &MainWindowHandlers::deleteSelectedAccount},
    {"listTreeFolder", &MainWindowHandlers::listTreeFolder},
    {"refreshRootFolder", &MainWindowHandlers::refreshRootFolder},
    {"loadRootFolderTree", &MainWindowHandlers::loadRootFolderTree},
    {"addCopySource", &MainWindowHandlers::addCopySource},
    {"setCopyDestination", &MainWindowHandlers::setCopyDestination},
    {"copySelectedNodeName", &MainWindowHandlers::copySelectedNodeName},
    {"deleteRemoteItem", &MainWindowHandlers::deleteRemoteItem},
    {"tickAllFolderItems", &MainWindowHandlers::tickAllFolderItems},
    {"tickFolderFiles", &MainWindowHandlers::tickFolderFiles},
    {"tickFolderSubfolders", &MainWindowHandlers::tickFolderSubfolders},
    {"untickAllTreeItems", &MainWindowHandlers::untickAllTreeItems},
    {"startRename", &MainWindowHandlers::startRename},
    {"stopRename", &MainWindowHandlers::stopRename},
    {"openSettingsHelpWindow", &MainWindowHandlers::openSettingsHelpWindow},
    {"openKeywordRulesWindow", &MainWindowHandlers::openKeywordRulesWindow},
    {"openRenameTutorial", &MainWindowHandlers::openRenameTutorial},
    {"closeKeywordPanel", &MainWindowHandlers::closeKeywordPanel},
    {"startCopy", &MainWindowHandlers::startCopy},
    {"toggleCopyPause", &MainWindowHandlers::toggleCopyPause},
    {"stopCopy", &MainWindowHandlers::stopCopy},
    {"startArchive", &MainWindowHandlers::startArchive},
    {"saveFormSettings", &MainWindowHandlers::saveFormSettings},
    {"loadFormSettings", &MainWindowHandlers::loadFormSettings},
    {"openUpdateWindow", &MainWindowHandlers::openUpdateWindow},
};

const std::pair<const char*, ControlSlot> kControlActions[] = {
    {"openMakerPage", &MainWindowHandlers::openMakerPage},
    {"optionGuard", &MainWindowHandlers::optionGuard},
    {"openKeywordPanel", &MainWindowHandlers::openKeywordPanel},
};

class MainWindowEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [key, slot] : kActions) {
      window.Handlers().*slot = [this, key = std::string(key)] { calls.push_back(key); };
    }
    for (const auto& [key, slot] : kControlActions) {
      window.Handlers().*slot = [this, key = std::string(key)](const std::string& control) {
        calls.push_back(key + " " + control);
      };
    }
    window.Handlers().showRenamePreview = [this](int a, int b) {
      calls.push_back("showRenamePreview " + std::to_string(a) + " " + std::to_string(b));
    };
    window.show();
  }
  void TearDown() override { window.hide(); }

  ControlStore store;
  MainWindow window{store};
  std::vector<std::string> calls;
};

void Click(MainWindow& w, const char16_t* button) {
  w.ControlAs<QAbstractButton>(button)->click();
}

void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  QMouseEvent event(type, at, target->mapToGlobal(at), button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

void PressLeft(MainWindow& w, const char16_t* label) {
  SendMouse(w.Control(label), QEvent::MouseButtonPress, Qt::LeftButton, QPoint(2, 2));
}

void DoubleClick(QWidget* target, QPoint at) {
  SendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, at);
  SendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, at);
  SendMouse(target, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
  SendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

void TriggerMenu(QMenu* menu, const char16_t* text) {
  for (QAction* action : menu->actions()) {
    if (action->text() == Q(text)) {
      action->trigger();
      return;
    }
  }
  ADD_FAILURE() << "no menu entry " << Q(text).toStdString();
}

QTreeWidget* View(MainWindow& w, const char16_t* name) {
  return w.ControlAs<QTreeWidget>(name);
}

struct EventRow {
  const char* event;
  std::function<void(MainWindow&)> raise;
  std::string runs;  // code page 936 for the control names
};

TEST_F(MainWindowEventsTest, EachEventRunsItsHandler) {
  const EventRow rows[] = {
      {"按钮2 click", [](MainWindow& w) { Click(w, u"按钮2"); }, "openSignInMethodWindow"},
      {"按钮3 click", [](MainWindow& w) { Click(w, u"按钮3"); }, "addAccountFromPastedCookies"},
      {"按钮4 click", [](MainWindow& w) { Click(w, u"按钮4"); }, "saveAccountList"},
      {"按钮1 click", [](MainWindow& w) { Click(w, u"按钮1"); }, "refreshRootFolder"},
      {"start rename", [](MainWindow& w) { Click(w, u"按钮_开始改名"); }, "startRename"},
      {"stop rename", [](MainWindow& w) { Click(w, u"按钮_停止改名"); }, "stopRename"},
      {"preview", [](MainWindow& w) { Click(w, u"按钮6"); }, "showRenamePreview 0 1"},
      {"settings help", [](MainWindow& w) { Click(w, u"按钮8"); }, "openSettingsHelpWindow"},
      {"keyword rules", [](MainWindow& w) { Click(w, u"按钮7"); }, "openKeywordRulesWindow"},
      {"regex help page", [](MainWindow& w) { Click(w, u"按钮5"); },
       "openMakerPage " + Cp(u"按钮5")},
      {"prefetch help link", [](MainWindow& w) { PressLeft(w, u"透明标签10"); },
       "openMakerPage " + Cp(u"透明标签10")},
      {"web site link", [](MainWindow& w) { PressLeft(w, u"透明标签7"); },
       "openMakerPage " + Cp(u"透明标签7")},
      {"tutorial link", [](MainWindow& w) { PressLeft(w, u"透明标签11"); }, "openRenameTutorial"},
      {"keyword replacement guard", [](MainWindow& w) { Click(w, u"选择框_关键词替换"); },
       "optionGuard " + Cp(u"选择框_关键词替换")},
      {"prefetch guard", [](MainWindow& w) { Click(w, u"选择框_启用预读取模式"); },
       "optionGuard " + Cp(u"选择框_启用预读取模式")},
      {"fast mode guard",
       [](MainWindow& w) { Click(w, u"选择框_预读取模式下快速替换文件名关键词"); },
       "optionGuard " + Cp(u"选择框_预读取模式下快速替换文件名关键词")},
      {"delete files guard", [](MainWindow& w) { Click(w, u"选择框_删除文件"); },
       "optionGuard " + Cp(u"选择框_删除文件")},
      {"delete folders guard", [](MainWindow& w) { Click(w, u"选择框_删除目录"); },
       "optionGuard " + Cp(u"选择框_删除目录")},
      {"regex guard", [](MainWindow& w) { Click(w, u"选择框_通过正则删除"); },
       "optionGuard " + Cp(u"选择框_通过正则删除")},
      {"delete file keywords double-click",
       [](MainWindow& w) { DoubleClick(w.Control(u"编辑框_删除文件关键词"), QPoint(3, 3)); },
       "openKeywordPanel " + Cp(u"编辑框_删除文件关键词")},
      {"delete folder keywords double-click",
       [](MainWindow& w) { DoubleClick(w.Control(u"编辑框_删除目录关键词"), QPoint(3, 3)); },
       "openKeywordPanel " + Cp(u"编辑框_删除目录关键词")},
      {"panel close mark", [](MainWindow& w) { PressLeft(w, u"透明标签_关闭设置窗口"); },
       "closeKeywordPanel"},
      {"panel done mark", [](MainWindow& w) { PressLeft(w, u"透明标签_临时提示已输入完成"); },
       "closeKeywordPanel"},
      {"start copy", [](MainWindow& w) { Click(w, u"按钮_开始复制文件"); }, "startCopy"},
      {"pause copy", [](MainWindow& w) { Click(w, u"按钮_复制文件暂停和继续"); },
       "toggleCopyPause"},
      {"stop copy", [](MainWindow& w) { Click(w, u"按钮_复制文件停止"); }, "stopCopy"},
      {"archive", [](MainWindow& w) { Click(w, u"按钮9"); }, "startArchive"},
      {"save settings", [](MainWindow& w) { Click(w, u"按钮_保存界面配置"); }, "saveFormSettings"},
      {"load settings", [](MainWindow& w) { Click(w, u"按钮_读取配置"); }, "loadFormSettings"},
      {"check for update", [](MainWindow& w) { Click(w, u"按钮10"); }, "openUpdateWindow"},
      {"tree menu refresh", [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"刷新列表"); },
       "loadRootFolderTree"},
      {"tree menu copy source",
       [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"批量复制-选择此文件进行复制"); },
       "addCopySource"},
      {"tree menu copy destination",
       [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"批量复制-确定将选择的文件复制到此目录"); },
       "setCopyDestination"},
      {"tree menu copy name", [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"复制选中文件名"); },
       "copySelectedNodeName"},
      {"tree menu delete", [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"从网盘删除选中文件"); },
       "deleteRemoteItem"},
      {"tree menu tick all",
       [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"全选此目录下所有项目"); },
       "tickAllFolderItems"},
      {"tree menu tick files",
       [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"全选此目录下文件"); }, "tickFolderFiles"},
      {"tree menu tick folders",
       [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"全选此目录下文件夹"); },
       "tickFolderSubfolders"},
      {"tree menu untick", [](MainWindow& w) { TriggerMenu(w.TreeMenu(), u"取消所有选择项目"); },
       "untickAllTreeItems"},
      {"account menu switch",
       [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"切换操作cookies为当前选中"); },
       "switchWorkingAccount"},
      {"account menu verify one",
       [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"验证或刷新当前选中cookies有效性"); },
       "verifySelectedAccount"},
      {"account menu verify all",
       [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"验证或刷新所有cookies有效性"); },
       "verifyAllAccounts"},
      {"account menu copy cookies",
       [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"复制当前选中cookies"); },
       "copySelectedCookies"},
      {"account menu quota",
       [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"查询选中网盘容量"); },
       "queryAccountQuota"},
      {"account menu delete", [](MainWindow& w) { TriggerMenu(w.AccountMenu(), u"删除当前选中"); },
       "deleteSelectedAccount"},
      {"account list double-click",
       [](MainWindow& w) {
         QTreeWidget* list = View(w, u"超级列表框_百度帐号列表");
         auto* row = new QTreeWidgetItem(list, QStringList{QStringLiteral("1"), Q(u"用户")});
         DoubleClick(list->viewport(), list->visualItemRect(row).center());
       },
       "switchWorkingAccount"},
      {"tree double-click",
       [](MainWindow& w) {
         QTreeWidget* tree = View(w, u"树型框1");
         auto* root = new QTreeWidgetItem(tree, QStringList{Q(u"用户的网盘")});
         DoubleClick(tree->viewport(), tree->visualItemRect(root).center());
       },
       "listTreeFolder"},
  };
  for (const EventRow& row : rows) {
    SCOPED_TRACE(row.event);
    calls.clear();
    row.raise(window);
    EXPECT_EQ(calls, std::vector<std::string>{row.runs});
  }
}

TEST_F(MainWindowEventsTest, TreeMenuOpensOnTheRightButtonGoingDown) {
  QTreeWidget* tree = View(window, u"树型框1");
  SendMouse(tree->viewport(), QEvent::MouseButtonPress, Qt::RightButton, QPoint(20, 20));
  EXPECT_TRUE(window.TreeMenu()->isVisible());
  window.TreeMenu()->hide();
  EXPECT_TRUE(calls.empty());
}

TEST_F(MainWindowEventsTest, AccountMenuOpensOnlyOverARow) {
  QTreeWidget* list = View(window, u"超级列表框_百度帐号列表");
  auto* row = new QTreeWidgetItem(list, QStringList{QStringLiteral("1"), Q(u"用户")});
  const QPoint empty(20, list->viewport()->height() - 5);
  QContextMenuEvent onEmpty(QContextMenuEvent::Mouse, empty, list->viewport()->mapToGlobal(empty));
  QCoreApplication::sendEvent(list->viewport(), &onEmpty);
  EXPECT_FALSE(window.AccountMenu()->isVisible());

  const QPoint onRow = list->visualItemRect(row).center();
  QContextMenuEvent onItem(QContextMenuEvent::Mouse, onRow, list->viewport()->mapToGlobal(onRow));
  QCoreApplication::sendEvent(list->viewport(), &onItem);
  EXPECT_TRUE(window.AccountMenu()->isVisible());
  window.AccountMenu()->hide();
}

TEST(MainWindowEventsWithoutHandlersTest, ControlsWithoutAHandlerDoNothing) {
  ScriptedDesktopGuard ui;  // a box would fail the test
  ControlStore store;
  MainWindow window{store};
  int changes = 0;
  store.AddListener([&](const std::string&, ControlProperty, ChangeOrigin) { ++changes; });
  window.ControlAs<QAbstractButton>(u"按钮_开始改名")->click();
  TriggerMenu(window.TreeMenu(), u"刷新列表");
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(store.Enabled("按钮_开始改名"));
}

}  // namespace
