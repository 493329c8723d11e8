#pragma once
// What the main window's events run. The window binds every event of its
// controls and pop-up menus to one of these slots; the code that owns a
// handler fills its slot before the window opens. An empty slot does nothing,
// so a control whose handler is not installed is inert rather than harmful.
//
// Each handler runs on the user-interface thread. A handler whose routine
// must not block the window starts its own thread.

#include <functional>
#include <string>

struct MainWindowHandlers {
  using Action = std::function<void()>;
  // Receives the code page 936 name of the control that raised the event.
  using ControlAction = std::function<void(const std::string& controlName)>;

  // Started by the created handler, each on a thread of its own (the handler
  // starts the thread and returns): the account-list loader, then the update
  // check.
  Action startAccountListLoader;
  Action startUpdateCheck;

  // Account page and the "cookies操作" menu.
  Action switchWorkingAccount;         // list double-click, "切换操作cookies为当前选中"
  Action openSignInMethodWindow;       // 按钮2
  Action addAccountFromPastedCookies;  // 按钮3
  Action saveAccountList;              // 按钮4, with its confirmation
  Action verifySelectedAccount;        // "验证或刷新当前选中cookies有效性"
  Action verifyAllAccounts;            // "验证或刷新所有cookies有效性"
  Action copySelectedCookies;          // "复制当前选中cookies"
  Action queryAccountQuota;            // "查询选中网盘容量"
  Action deleteSelectedAccount;        // "删除当前选中"

  // Remote folder tree and the "导出文件名菜单" menu.
  Action listTreeFolder;        // 树型框1 double-click, the selected item
  Action refreshRootFolder;     // 按钮1
  Action loadRootFolderTree;    // "刷新列表"
  Action addCopySource;         // "批量复制-选择此文件进行复制"
  Action setCopyDestination;    // "批量复制-确定将选择的文件复制到此目录"
  Action copySelectedNodeName;  // "复制选中文件名"
  Action deleteRemoteItem;      // "从网盘删除选中文件"
  Action tickAllFolderItems;    // "全选此目录下所有项目"
  Action tickFolderFiles;       // "全选此目录下文件"
  Action tickFolderSubfolders;  // "全选此目录下文件夹"
  Action untickAllTreeItems;    // "取消所有选择项目"

  // Rename job, options and windows.
  Action startRename;                               // 按钮_开始改名
  Action stopRename;                                // 按钮_停止改名
  std::function<void(int, int)> showRenamePreview;  // 按钮6 (0, 1)
  Action openSettingsHelpWindow;                    // 按钮8
  Action openKeywordRulesWindow;                    // 按钮7
  ControlAction openMakerPage;                      // 按钮5, 透明标签10, 透明标签7
  Action openRenameTutorial;                        // 透明标签11
  ControlAction optionGuard;                        // the six guarded check boxes
  ControlAction openKeywordPanel;  // 编辑框_删除文件关键词, 编辑框_删除目录关键词
  Action closeKeywordPanel;  // 透明标签_关闭设置窗口, 透明标签_临时提示已输入完成

  // Copy and archive jobs.
  Action startCopy;        // 按钮_开始复制文件
  Action toggleCopyPause;  // 按钮_复制文件暂停和继续
  Action stopCopy;         // 按钮_复制文件停止
  Action startArchive;     // 按钮9

  // Settings files and update.
  Action saveFormSettings;  // 按钮_保存界面配置
  Action loadFormSettings;  // 按钮_读取配置
  Action openUpdateWindow;  // 按钮10
};
