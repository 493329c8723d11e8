// Fills the main window's slots that this feature owns: the remote folder
// tree, 按钮1 and the "导出文件名菜单" menu (except the copy job's own entry), and
// shows the folder tree model in the tree widget. A slot left empty makes its
// control do nothing.

#include <QTreeWidget>

#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/own_thread.h"
#include "ui/remote_tree.h"
#include "ui/remote_tree_view.h"
#include "web/folder_tree_model.h"

void InstallRemoteTreeHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  if (window != nullptr) {
    if (auto* tree = window->ControlAs<QTreeWidget>(u"树型框1")) {
      new RemoteTreeView(tree, GetFolderTree());  // a child of the tree widget
    }
  }
  handlers.listTreeFolder = &StartTreeFolderListing;
  handlers.refreshRootFolder = [window] {
    if (window != nullptr) {
      window->RefreshRootFolder();
    } else {
      StartRootFolderRefresh();
    }
  };
  handlers.loadRootFolderTree = &StartRootFolderRefresh;
  handlers.setCopyDestination = &SetCopyDestination;
  handlers.copySelectedNodeName = &CopySelectedNodeName;
  handlers.deleteRemoteItem = &StartRemoteItemDeletion;
  handlers.tickAllFolderItems = [] { StartOnOwnThread(&TickAllFolderItems); };
  handlers.tickFolderFiles = [] { StartOnOwnThread(&TickFolderFiles); };
  handlers.tickFolderSubfolders = [] { StartOnOwnThread(&TickFolderSubfolders); };
  handlers.untickAllTreeItems = &UntickAllTreeItems;
}
