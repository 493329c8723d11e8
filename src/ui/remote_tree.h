#pragma once
// The remote folder tree `树型框1` and its menu "导出文件名菜单": listing one
// folder on a double-click, the root refresh, the tick operations, copying a
// name, deleting an item and choosing the copy destination. The items live in
// the folder tree model (web/folder_tree_model.h); these routines change and
// read only the model, never the widget, and the user-interface thread never
// waits for g_viewLock here.

#include <string>

#include "foundation/thread_start.h"

// The thread of the last folder listing started by a double-click (null before
// the first). User-interface thread only.
extern ThreadHandle g_treeListingThread;

// The tree's double-click: refuses with a 5-second box while the last listing
// still runs, otherwise starts ListTreeFolder on the current item.
void StartTreeFolderListing();

// Worker thread, under g_viewLock from start to end: lists folder item `index`
// 100 entries a page into the tree and expands it. A folder that holds entries
// is left alone when expanded and emptied when collapsed (the next listing
// lists it afresh). Files, the root item and missing items are left alone.
void ListTreeFolder(int index);

// 按钮1 and "刷新列表": starts the root listing (LoadRootFolderTree) on a thread
// of its own.
void StartRootFolderRefresh();

// The three tick operations on the current item, each on a worker thread: all
// loaded items below the folder, its files, its sub-folders.
void TickAllFolderItems();
void TickFolderFiles();
void TickFolderSubfolders();
// User-interface thread: unticks every item at once, without g_viewLock.
void UntickAllTreeItems();

// User-interface thread: the current item's text to the clipboard.
void CopySelectedNodeName();
// User-interface thread: the current folder's remote path becomes the copy
// job's destination `编辑框_复制到目标位置` (not while a copy job runs; a file is
// refused).
void SetCopyDestination();

// "从网盘删除选中文件": refuses no selection and the root item, otherwise starts
// DeleteRemoteItem on a thread of its own.
void StartRemoteItemDeletion();
// Worker thread: asks, then deletes the current item on the service and tells
// the outcome in a box. The tree is not changed.
void DeleteRemoteItem();

// Internal, tested on their own: the `dir` value of a folder item (each level's
// UTF-8 name percent-encoded, "%2F" before each), the listing page's path and
// query, and the delete request's body for one UTF-8 path.
std::string TreeFolderDir(int index);
std::string TreeListingQuery(const std::string& dir, int page);
std::string DeleteItemBody(const std::string& utf8Path);
