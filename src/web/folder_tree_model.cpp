#include "web/folder_tree_model.h"

#include <atomic>

namespace {

std::atomic<FileIconIndexRoutine> s_iconRoutine{nullptr};

}  // namespace

void FolderTreeModel::Clear() {
  std::lock_guard lock(m_mutex);
  m_items.clear();
}

int FolderTreeModel::Add(int parent, const std::string& textUtf16, int image, int data) {
  std::lock_guard lock(m_mutex);
  m_items.push_back(FolderTreeItem{parent, textUtf16, image, data, false});
  return static_cast<int>(m_items.size()) - 1;
}

void FolderTreeModel::Expand(int index) {
  std::lock_guard lock(m_mutex);
  if (index >= 0 && index < static_cast<int>(m_items.size())) {
    m_items[static_cast<size_t>(index)].expanded = true;
  }
}

std::vector<FolderTreeItem> FolderTreeModel::Items() const {
  std::lock_guard lock(m_mutex);
  return m_items;
}

FolderTreeModel& GetFolderTree() {
  static FolderTreeModel model;
  return model;
}

void InstallFileIconIndexRoutine(FileIconIndexRoutine routine) {
  s_iconRoutine.store(routine);
}

int FileIconIndexOf(const std::string& name) {
  const FileIconIndexRoutine routine = s_iconRoutine.load();
  return routine == nullptr ? 0 : routine(name);
}
