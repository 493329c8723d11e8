// The main window's pop-up menus and the binding of every control event to
// its slot in MainWindowHandlers. Events not bound here have no handler. The
// hidden label 标签_反馈事件 would pass its event's two integers to the rename
// preview, but nothing in the program raises that event, so it stays unbound.

#include <QAbstractButton>
#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>
#include <span>

#include "ui/clickable_label.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace {

using Slot = MainWindowHandlers::Action MainWindowHandlers::*;

struct MenuEntry {
  const char16_t* text;  // "-" is a separator
  Slot slot;
};

constexpr MenuEntry kTreeMenu[] = {
    {u"刷新列表", &MainWindowHandlers::loadRootFolderTree},
    {u"-", nullptr},
    {u"批量复制-选择此文件进行复制", &MainWindowHandlers::addCopySource},
    {u"批量复制-确定将选择的文件复制到此目录", &MainWindowHandlers::setCopyDestination},
    {u"-", nullptr},
    {u"复制选中文件名", &MainWindowHandlers::copySelectedNodeName},
    {u"从网盘删除选中文件", &MainWindowHandlers::deleteRemoteItem},
    {u"-", nullptr},
    {u"全选此目录下所有项目", &MainWindowHandlers::tickAllFolderItems},
    {u"全选此目录下文件", &MainWindowHandlers::tickFolderFiles},
    {u"全选此目录下文件夹", &MainWindowHandlers::tickFolderSubfolders},
    {u"取消所有选择项目", &MainWindowHandlers::untickAllTreeItems},
};

constexpr MenuEntry kAccountMenu[] = {
    {u"切换操作cookies为当前选中", &MainWindowHandlers::switchWorkingAccount},
    {u"-", nullptr},
    {u"验证或刷新当前选中cookies有效性", &MainWindowHandlers::verifySelectedAccount},
    {u"验证或刷新所有cookies有效性", &MainWindowHandlers::verifyAllAccounts},
    {u"复制当前选中cookies", &MainWindowHandlers::copySelectedCookies},
    {u"-", nullptr},
    {u"查询选中网盘容量", &MainWindowHandlers::queryAccountQuota},
    {u"-", nullptr},
    {u"删除当前选中", &MainWindowHandlers::deleteSelectedAccount},
};

struct ClickBinding {
  const char16_t* button;
  Slot slot;
};

constexpr ClickBinding kButtonClicks[] = {
    {u"按钮2", &MainWindowHandlers::openSignInMethodWindow},
    {u"按钮3", &MainWindowHandlers::addAccountFromPastedCookies},
    {u"按钮4", &MainWindowHandlers::saveAccountList},
    {u"按钮1", &MainWindowHandlers::refreshRootFolder},
    {u"按钮_开始改名", &MainWindowHandlers::startRename},
    {u"按钮_停止改名", &MainWindowHandlers::stopRename},
    {u"按钮8", &MainWindowHandlers::openSettingsHelpWindow},
    {u"按钮7", &MainWindowHandlers::openKeywordRulesWindow},
    {u"按钮_开始复制文件", &MainWindowHandlers::startCopy},
    {u"按钮_复制文件暂停和继续", &MainWindowHandlers::toggleCopyPause},
    {u"按钮_复制文件停止", &MainWindowHandlers::stopCopy},
    {u"按钮9", &MainWindowHandlers::startArchive},
    {u"按钮_保存界面配置", &MainWindowHandlers::saveFormSettings},
    {u"按钮_读取配置", &MainWindowHandlers::loadFormSettings},
    {u"按钮10", &MainWindowHandlers::openUpdateWindow},
};

// The check boxes whose clicks run the option guards.
constexpr const char16_t* kGuardedOptions[] = {
    u"选择框_关键词替换", u"选择框_启用预读取模式", u"选择框_预读取模式下快速替换文件名关键词",
    u"选择框_删除文件",   u"选择框_删除目录",       u"选择框_通过正则删除",
};

// The edit boxes whose double-click opens the keyword-entry panel.
constexpr const char16_t* kKeywordEdits[] = {u"编辑框_删除文件关键词", u"编辑框_删除目录关键词"};

constexpr const char16_t* kMakerPageControls[] = {u"透明标签10", u"透明标签7"};

}  // namespace

void MainWindow::BuildMenus() {
  const auto build = [this](const char16_t* title, std::span<const MenuEntry> entries) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QtText(title));
    menu->setTitle(QtText(title));
    for (const MenuEntry& entry : entries) {
      if (QtText(entry.text) == QStringLiteral("-")) {
        menu->addSeparator();
        continue;
      }
      const Slot slot = entry.slot;
      menu->addAction(QtText(entry.text), this, [this, slot] { Run(m_handlers.*slot); });
    }
    return menu;
  };
  m_treeMenu = build(u"导出文件名菜单", kTreeMenu);
  m_accountMenu = build(u"cookies操作", kAccountMenu);
}

void MainWindow::BindClick(std::u16string_view button, Slot slot) {
  auto* control = ControlAs<QAbstractButton>(button);
  connect(control, &QAbstractButton::clicked, this, [this, slot] { Run(m_handlers.*slot); });
}

void MainWindow::BindLabel(std::u16string_view label, const std::function<void()>& run) {
  connect(ControlAs<ClickableLabel>(label), &ClickableLabel::leftButtonDown, this, run);
}

void MainWindow::BindEvents() {
  for (const ClickBinding& binding : kButtonClicks) {
    BindClick(binding.button, binding.slot);
  }
  // The preview acts only when its second argument is 1.
  connect(ControlAs<QAbstractButton>(u"按钮6"), &QAbstractButton::clicked, this, [this] {
    if (m_handlers.showRenamePreview) {
      m_handlers.showRenamePreview(0, 1);
    }
  });

  const auto runControlAction = [this](MainWindowHandlers::ControlAction MainWindowHandlers::*slot,
                                       const char16_t* name) {
    return [this, slot, name] {
      if (m_handlers.*slot) {
        (m_handlers.*slot)(Cp936FromWidgetText(QtText(name)));
      }
    };
  };
  for (const char16_t* name : kGuardedOptions) {
    connect(ControlAs<QAbstractButton>(name), &QAbstractButton::clicked, this,
            runControlAction(&MainWindowHandlers::optionGuard, name));
  }
  connect(ControlAs<QAbstractButton>(u"按钮5"), &QAbstractButton::clicked, this,
          runControlAction(&MainWindowHandlers::openMakerPage, u"按钮5"));
  for (const char16_t* name : kMakerPageControls) {
    BindLabel(name, runControlAction(&MainWindowHandlers::openMakerPage, name));
  }
  BindLabel(u"透明标签11", [this] { Run(m_handlers.openRenameTutorial); });
  BindLabel(u"透明标签_关闭设置窗口", [this] { Run(m_handlers.closeKeywordPanel); });
  BindLabel(u"透明标签_临时提示已输入完成", [this] { Run(m_handlers.closeKeywordPanel); });
  for (const char16_t* name : kKeywordEdits) {
    Control(name)->installEventFilter(this);
  }

  auto* accounts = ControlAs<QTreeWidget>(u"超级列表框_百度帐号列表");
  connect(accounts, &QTreeWidget::itemDoubleClicked, this,
          [this] { Run(m_handlers.switchWorkingAccount); });
  connect(accounts, &QWidget::customContextMenuRequested, this, [this, accounts](const QPoint& at) {
    if (accounts->itemAt(at) != nullptr) {
      m_accountMenu->popup(accounts->viewport()->mapToGlobal(at));
    }
  });

  auto* tree = ControlAs<QTreeWidget>(u"树型框1");
  connect(tree, &QTreeWidget::itemDoubleClicked, this, [this] { Run(m_handlers.listTreeFolder); });
  tree->viewport()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const char16_t* name : kKeywordEdits) {
      if (watched == Control(name) && m_handlers.openKeywordPanel) {
        m_handlers.openKeywordPanel(Cp936FromWidgetText(QtText(name)));
      }
    }
  }
  if (event->type() == QEvent::MouseButtonPress) {
    auto* tree = ControlAs<QTreeWidget>(u"树型框1");
    const auto* press = static_cast<QMouseEvent*>(event);
    if (watched == tree->viewport() && press->button() == Qt::RightButton) {
      m_treeMenu->popup(press->globalPosition().toPoint());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
