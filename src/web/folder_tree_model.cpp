#include "web/folder_tree_model.h"

#include <atomic>

#include "web/remote_tree_paths.h"

namespace {

std::atomic<FileIconIndexRoutine> s_iconRoutine{&GetFileIconIndex};

}  // namespace

bool FolderTreeModel::ExistsLocked(int index) const {
  return index >= 0 && index < static_cast<int>(m_items.size()) &&
         !m_items[static_cast<size_t>(index)].removed;
}

void FolderTreeModel::ForEachDescendantLocked(
    int index, const std::function<void(FolderTreeItem&, int)>& visit) {
  // A child is always added after its parent, so one pass in index order
  // meets every ancestor before its descendants.
  std::vector<bool> below(m_items.size(), false);
  below[static_cast<size_t>(index)] = true;
  for (size_t i = static_cast<size_t>(index) + 1; i < m_items.size(); ++i) {
    FolderTreeItem& item = m_items[i];
    if (item.removed || item.parent < 0 || !below[static_cast<size_t>(item.parent)]) {
      continue;
    }
    below[i] = true;
    visit(item, static_cast<int>(i));
  }
}

void FolderTreeModel::Notify() {
  std::vector<std::function<void()>> listeners;
  {
    std::lock_guard lock(m_mutex);
    listeners.reserve(m_listeners.size());
    for (const auto& [id, listener] : m_listeners) {
      listeners.push_back(listener);
    }
  }
  for (const std::function<void()>& listener : listeners) {
    listener();
  }
}

void FolderTreeModel::Clear() {
  {
    std::lock_guard lock(m_mutex);
    m_items.clear();
    m_current = -1;
    ++m_generation;
  }
  Notify();
}

int FolderTreeModel::Add(int parent, const std::string& textUtf16, int image, int data) {
  int index = 0;
  {
    std::lock_guard lock(m_mutex);
    FolderTreeItem item;
    item.parent = parent;
    item.textUtf16 = textUtf16;
    item.image = image;
    item.data = data;
    m_items.push_back(std::move(item));
    index = static_cast<int>(m_items.size()) - 1;
  }
  Notify();
  return index;
}

void FolderTreeModel::Expand(int index) {
  SetExpanded(index, true);
}

bool FolderTreeModel::SetExpanded(int index, bool expanded) {
  {
    std::lock_guard lock(m_mutex);
    if (!ExistsLocked(index)) {
      return false;
    }
    bool& flag = m_items[static_cast<size_t>(index)].expanded;
    if (flag == expanded) {
      return true;
    }
    flag = expanded;
  }
  Notify();
  return true;
}

std::vector<FolderTreeItem> FolderTreeModel::Items() const {
  std::lock_guard lock(m_mutex);
  return m_items;
}

FolderTreeSnapshot FolderTreeModel::Snapshot() const {
  std::lock_guard lock(m_mutex);
  return FolderTreeSnapshot{m_generation, m_current, m_items};
}

bool FolderTreeModel::SetChecked(int index, bool checked) {
  {
    std::lock_guard lock(m_mutex);
    if (!ExistsLocked(index)) {
      return false;
    }
    bool& flag = m_items[static_cast<size_t>(index)].checked;
    if (flag == checked) {
      return true;
    }
    flag = checked;
  }
  Notify();
  return true;
}

bool FolderTreeModel::IsChecked(int index) const {
  std::lock_guard lock(m_mutex);
  return ExistsLocked(index) && m_items[static_cast<size_t>(index)].checked;
}

bool FolderTreeModel::SetDescendantsChecked(int index, bool checked) {
  {
    std::lock_guard lock(m_mutex);
    if (!ExistsLocked(index)) {
      return false;
    }
    ForEachDescendantLocked(index,
                            [checked](FolderTreeItem& item, int) { item.checked = checked; });
  }
  Notify();
  return true;
}

void FolderTreeModel::UncheckAll() {
  {
    std::lock_guard lock(m_mutex);
    for (FolderTreeItem& item : m_items) {
      item.checked = false;
    }
  }
  Notify();
}

void FolderTreeModel::SetCurrent(int index) {
  {
    std::lock_guard lock(m_mutex);
    const int current = ExistsLocked(index) ? index : -1;
    if (current == m_current) {
      return;
    }
    m_current = current;
  }
  Notify();
}

int FolderTreeModel::Current() const {
  std::lock_guard lock(m_mutex);
  return m_current;
}

bool FolderTreeModel::RemoveChildren(int index) {
  {
    std::lock_guard lock(m_mutex);
    if (!ExistsLocked(index)) {
      return false;
    }
    ForEachDescendantLocked(index, [this](FolderTreeItem& item, int i) {
      item.removed = true;
      item.checked = false;
      if (m_current == i) {
        m_current = -1;
      }
    });
  }
  Notify();
  return true;
}

bool FolderTreeModel::Exists(int index) const {
  std::lock_guard lock(m_mutex);
  return ExistsLocked(index);
}

FolderTreeItem FolderTreeModel::Item(int index) const {
  std::lock_guard lock(m_mutex);
  return ExistsLocked(index) ? m_items[static_cast<size_t>(index)] : FolderTreeItem{};
}

std::vector<int> FolderTreeModel::Children(int index) const {
  std::lock_guard lock(m_mutex);
  std::vector<int> children;
  if (!ExistsLocked(index)) {
    return children;
  }
  for (size_t i = static_cast<size_t>(index) + 1; i < m_items.size(); ++i) {
    if (!m_items[i].removed && m_items[i].parent == index) {
      children.push_back(static_cast<int>(i));
    }
  }
  return children;
}

int FolderTreeModel::AddChangeListener(std::function<void()> listener) {
  std::lock_guard lock(m_mutex);
  const int id = m_nextListenerId++;
  m_listeners.emplace(id, std::move(listener));
  return id;
}

void FolderTreeModel::RemoveChangeListener(int id) {
  std::lock_guard lock(m_mutex);
  m_listeners.erase(id);
}

FolderTreeModel& GetFolderTree() {
  static FolderTreeModel model;
  return model;
}

void InstallFileIconIndexRoutine(FileIconIndexRoutine routine) {
  s_iconRoutine.store(routine == nullptr ? &GetFileIconIndex : routine);
}

int FileIconIndexOf(const std::string& name) {
  return s_iconRoutine.load()(name);
}
