#pragma once
// The items of the main window's remote folder tree `树型框1` as the workers
// fill it: each item has a parent, a text (UTF-16LE bytes, so names that code
// page 936 cannot hold stay whole), an image index, an item data value (-1 the
// root item, 1 a folder, 0 a file), its expansion and its check state. The
// window mirrors this model through the change listeners; the model is the
// tree, the widget only shows it.
//
// Indices: the first item added after Clear has index 0 (the root item). An
// item's index never changes while the item exists; removing an item only
// marks it removed, so indices are not reused until the next Clear.
//
// Any thread; every operation takes the model's own lock, which is held only
// inside the operation. Listeners run after each change, outside the lock, on
// the thread that made the change.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct FolderTreeItem {
  int parent = -1;        // index of the parent item, -1 for a top item
  std::string textUtf16;  // UTF-16LE bytes without terminator
  int image = 0;
  int data = 0;
  bool expanded = false;
  bool checked = false;
  bool removed = false;  // the item is gone; its index stays taken
};

// Everything the window needs to redraw the tree, read at one instant.
struct FolderTreeSnapshot {
  int generation = 0;  // rises with every Clear
  int current = -1;
  std::vector<FolderTreeItem> items;
};

class FolderTreeModel {
 public:
  void Clear();
  // Adds an item under `parent` (-1: top level) and returns its index.
  int Add(int parent, const std::string& textUtf16, int image, int data);
  void Expand(int index);
  // Expands or collapses an item (the user's click on the widget's arrow).
  bool SetExpanded(int index, bool expanded);
  // Every item, removed ones included, in index order.
  std::vector<FolderTreeItem> Items() const;
  FolderTreeSnapshot Snapshot() const;

  // False for a missing or removed item.
  bool SetChecked(int index, bool checked);
  bool IsChecked(int index) const;
  // Ticks or unticks every live descendant of `index` (not the item itself).
  bool SetDescendantsChecked(int index, bool checked);
  // Unticks every item.
  void UncheckAll();

  // The tree's current (selected) item; -1 none. A missing or removed index
  // sets none.
  void SetCurrent(int index);
  int Current() const;

  // Marks every descendant of `index` removed (the item itself stays); the
  // current item becomes none when it was among them. False for a missing
  // item.
  bool RemoveChildren(int index);
  // In range and not removed.
  bool Exists(int index) const;
  // A copy of the item; a default item when missing.
  FolderTreeItem Item(int index) const;
  // The live children of `index` in the order they were added.
  std::vector<int> Children(int index) const;

  // `listener` runs after each change, outside the lock, on the changing
  // thread. Returns an id for RemoveChangeListener. A change already under way
  // when the listener is removed may still call it once.
  int AddChangeListener(std::function<void()> listener);
  void RemoveChangeListener(int id);

 private:
  bool ExistsLocked(int index) const;
  // Visits every live descendant of the existing item `index` with its index.
  void ForEachDescendantLocked(int index, const std::function<void(FolderTreeItem&, int)>& visit);
  void Notify();

  mutable std::mutex m_mutex;
  std::vector<FolderTreeItem> m_items;
  int m_current = -1;
  int m_generation = 0;
  std::map<int, std::function<void()>> m_listeners;
  int m_nextListenerId = 1;
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

// The tree image of a file name, from its extension: GetFileIconIndex
// (web/remote_tree_paths.h) unless another routine is installed (tests).
using FileIconIndexRoutine = int (*)(const std::string& name);
void InstallFileIconIndexRoutine(FileIconIndexRoutine routine);
int FileIconIndexOf(const std::string& name);
