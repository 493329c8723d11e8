#pragma once
// The items of the main window's remote folder tree `树型框1` as the workers
// fill it: each item has a parent, a text (UTF-16LE bytes, so names that code
// page 936 cannot hold stay whole), an image index and an item data value
// (-1 the root item, 1 a folder, 0 a file). The window shows this model;
// workers change it only while holding g_viewLock.
//
// Any thread; every operation takes the model's own lock as well.

#include <mutex>
#include <string>
#include <vector>

struct FolderTreeItem {
  int parent = -1;        // index of the parent item, -1 for a top item
  std::string textUtf16;  // UTF-16LE bytes without terminator
  int image = 0;
  int data = 0;
  bool expanded = false;
};

class FolderTreeModel {
 public:
  void Clear();
  // Adds an item under `parent` (-1: top level) and returns its index.
  int Add(int parent, const std::string& textUtf16, int image, int data);
  void Expand(int index);
  std::vector<FolderTreeItem> Items() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<FolderTreeItem> m_items;
};

// The program's one folder tree.
FolderTreeModel& GetFolderTree();

// The tree image of a folder and of the root item.
inline constexpr int kFolderImage = 0;
inline constexpr int kRootImage = 6;
// Item data values.
inline constexpr int kRootItemData = -1;
inline constexpr int kFolderItemData = 1;
inline constexpr int kFileItemData = 0;

// The tree image of a file name, from its extension. The window layer installs
// the program's icon table; until then every file gets image 0.
using FileIconIndexRoutine = int (*)(const std::string& name);
void InstallFileIconIndexRoutine(FileIconIndexRoutine routine);
int FileIconIndexOf(const std::string& name);
