#include "fakeservice/remote_tree.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// Ids look like the service's: 15 digits. A step above one keeps neighbours
// from looking like counters in test output.
constexpr int64_t kFirstFsId = 412345678900001;
constexpr int64_t kFsIdStep = 7;
constexpr int64_t kFirstClock = 1700000000;

std::vector<std::string> Split(std::string_view path) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < path.size()) {
    const size_t slash = std::min(path.find('/', at), path.size());
    if (slash > at) {
      parts.emplace_back(path.substr(at, slash - at));
    }
    at = slash + 1;
  }
  return parts;
}

RemoteItem* Child(RemoteItem& folder, std::string_view name) {
  for (RemoteItem& child : folder.children) {
    if (child.name == name) {
      return &child;
    }
  }
  return nullptr;
}

std::string Join(std::string_view dir, std::string_view name) {
  return dir == "/" ? "/" + std::string(name) : std::string(dir) + "/" + std::string(name);
}

bool ValidName(std::string_view name) {
  return !name.empty() && name.find('/') == std::string_view::npos && name != "." && name != "..";
}

bool IsInside(std::string_view path, std::string_view folder) {
  return path == folder ||
         (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
          (folder == "/" || path[folder.size()] == '/'));
}

// "a.txt" -> "a(1).txt", "a" -> "a(1)"; the first number not yet taken.
std::string NumberedName(const RemoteItem& folder, std::string_view name) {
  const size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot > 0;
  const std::string stem(hasExtension ? name.substr(0, dot) : name);
  const std::string extension(hasExtension ? name.substr(dot) : "");
  for (int n = 1;; ++n) {
    std::string candidate = stem + "(" + std::to_string(n) + ")" + extension;
    if (Child(const_cast<RemoteItem&>(folder), candidate) == nullptr) {
      return candidate;
    }
  }
}

void CollectPaths(const RemoteItem& folder, const std::string& path,
                  std::vector<std::string>& out) {
  for (const RemoteItem& child : folder.children) {
    const std::string childPath = Join(path, child.name);
    out.push_back(child.isDir ? childPath + "/" : childPath + ":" + std::to_string(child.size));
    if (child.isDir) {
      CollectPaths(child, childPath, out);
    }
  }
}

void PrintItem(const RemoteItem& folder, int depth, std::string& out) {
  std::vector<const RemoteItem*> sorted;
  for (const RemoteItem& child : folder.children) {
    sorted.push_back(&child);
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const RemoteItem* a, const RemoteItem* b) { return a->name < b->name; });
  for (const RemoteItem* child : sorted) {
    out += std::string(depth * 2, ' ') + child->name;
    out += child->isDir ? "/\n" : " (" + std::to_string(child->size) + ")\n";
    if (child->isDir) {
      PrintItem(*child, depth + 1, out);
    }
  }
}

const RemoteItem* FindIn(const RemoteItem& root, std::string_view path) {
  const RemoteItem* item = &root;
  for (const std::string& part : Split(path)) {
    item = item->isDir ? Child(const_cast<RemoteItem&>(*item), part) : nullptr;
    if (item == nullptr) {
      return nullptr;
    }
  }
  return item;
}

}  // namespace

RemoteTree::RemoteTree() : m_nextFsId(kFirstFsId), m_clock(kFirstClock) {
  m_root.name = "";
  m_root.isDir = true;
  m_root.fsId = 0;
}

RemoteTree RemoteTree::FromPaths(std::initializer_list<std::string> lines) {
  RemoteTree tree;
  for (const std::string& line : lines) {
    tree.AddPathLine(line);
  }
  return tree;
}

void RemoteTree::AddPathLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  if (line.empty()) {
    return;
  }
  if (line.back() == '/') {
    AddFolder(line);
    return;
  }
  const size_t colon = line.rfind(':');
  const std::string_view size = colon == std::string_view::npos ? "" : line.substr(colon + 1);
  const bool sized = !size.empty() && std::all_of(size.begin(), size.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
  if (sized) {
    AddFile(line.substr(0, colon), std::strtoll(std::string(size).c_str(), nullptr, 10));
  } else {
    AddFile(line, 0);
  }
}

std::string RemoteTree::Normalise(std::string_view path) {
  std::string out = "/";
  for (const std::string& part : Split(path)) {
    out += part + "/";
  }
  if (out.size() > 1) {
    out.pop_back();
  }
  return out;
}

RemoteItem RemoteTree::MakeItem(std::string name, bool isDir, int64_t size) {
  RemoteItem item;
  item.name = std::move(name);
  item.isDir = isDir;
  item.size = isDir ? 0 : size;
  item.fsId = m_nextFsId;
  m_nextFsId += kFsIdStep;
  item.mtime = item.ctime = ++m_clock;
  return item;
}

int64_t RemoteTree::AddFolder(std::string_view path) {
  RemoteItem* folder = &m_root;
  for (const std::string& part : Split(path)) {
    RemoteItem* child = Child(*folder, part);
    if (child == nullptr) {
      folder->children.push_back(MakeItem(part, true, 0));
      child = &folder->children.back();
    }
    folder = child;
  }
  return folder->fsId;
}

int64_t RemoteTree::AddFile(std::string_view path, int64_t size) {
  std::vector<std::string> parts = Split(path);
  if (parts.empty()) {
    return 0;
  }
  const std::string name = parts.back();
  parts.pop_back();
  std::string parent;
  for (const std::string& part : parts) {
    parent += "/" + part;
  }
  RemoteItem* folder = FindItem(parent.empty() ? "/" : parent);
  if (folder == nullptr) {
    AddFolder(parent);
    folder = FindItem(parent);
  }
  if (RemoteItem* existing = Child(*folder, name)) {
    return existing->fsId;
  }
  folder->children.push_back(MakeItem(name, false, size));
  return folder->children.back().fsId;
}

const RemoteItem* RemoteTree::Find(std::string_view path) const {
  return FindIn(m_root, path);
}

RemoteItem* RemoteTree::FindItem(std::string_view path) {
  return const_cast<RemoteItem*>(FindIn(m_root, path));
}

std::optional<int64_t> RemoteTree::FsId(std::string_view path) const {
  const RemoteItem* item = Find(path);
  return item != nullptr && item != &m_root ? std::optional(item->fsId) : std::nullopt;
}

std::optional<std::string> RemoteTree::PathOf(int64_t fsId) const {
  std::optional<std::string> found;
  std::function<void(const RemoteItem&, const std::string&)> walk = [&](const RemoteItem& folder,
                                                                        const std::string& path) {
    for (const RemoteItem& child : folder.children) {
      const std::string childPath = Join(path, child.name);
      if (child.fsId == fsId) {
        found = childPath;
      } else if (child.isDir && !found) {
        walk(child, childPath);
      }
    }
  };
  walk(m_root, "/");
  return found;
}

RemoteItem* RemoteTree::Parent(std::string_view path, std::string& name) {
  std::vector<std::string> parts = Split(path);
  if (parts.empty()) {
    return nullptr;
  }
  name = parts.back();
  parts.pop_back();
  std::string parent = "/";
  for (const std::string& part : parts) {
    parent = Join(parent, part);
  }
  RemoteItem* folder = FindItem(parent);
  return folder != nullptr && folder->isDir ? folder : nullptr;
}

int RemoteTree::Rename(std::string_view path, std::string_view newName, int conflictErrno) {
  std::string name;
  RemoteItem* folder = Parent(path, name);
  RemoteItem* item = folder != nullptr ? Child(*folder, name) : nullptr;
  if (item == nullptr) {
    return kErrnoMissing;
  }
  if (!ValidName(newName)) {
    return kErrnoBadPath;
  }
  if (newName == item->name) {
    return kResultUnchanged;
  }
  if (Child(*folder, newName) != nullptr) {
    return conflictErrno;
  }
  item->name = std::string(newName);
  return kErrnoOk;
}

int RemoteTree::Remove(std::string_view path) {
  std::string name;
  RemoteItem* folder = Parent(path, name);
  if (folder == nullptr || Child(*folder, name) == nullptr) {
    return kErrnoMissing;
  }
  std::erase_if(folder->children, [&](const RemoteItem& child) { return child.name == name; });
  return kErrnoOk;
}

void RemoteTree::Renumber(RemoteItem& item) {
  item.fsId = m_nextFsId;
  m_nextFsId += kFsIdStep;
  item.mtime = item.ctime = ++m_clock;
  for (RemoteItem& child : item.children) {
    Renumber(child);
  }
}

RemoteItem* RemoteTree::Destination(const RemoteItem& item, std::string_view source,
                                    std::string_view dest, std::string_view newName) {
  RemoteItem* target = FindItem(dest);
  if (target == nullptr || !target->isDir || !ValidName(newName) ||
      (item.isDir && IsInside(dest, source))) {
    return nullptr;
  }
  return target;
}

int RemoteTree::Copy(std::string_view path, std::string_view destDir, std::string_view newName,
                     bool newCopy, std::string* madePath) {
  const std::string source = Normalise(path);
  const std::string dest = Normalise(destDir);
  const RemoteItem* item = source == "/" ? nullptr : Find(source);
  if (item == nullptr) {
    return kErrnoMissing;
  }
  RemoteItem* target = Destination(*item, source, dest, newName);
  if (target == nullptr) {
    return kErrnoBadPath;
  }
  std::string name(newName);
  if (Child(*target, name) != nullptr) {
    if (!newCopy) {
      return kErrnoSameNameCopy;
    }
    name = NumberedName(*target, name);
  }
  RemoteItem copy = *item;
  copy.name = name;
  Renumber(copy);
  target->children.push_back(std::move(copy));
  if (madePath != nullptr) {
    *madePath = Join(dest, name);
  }
  return kErrnoOk;
}

int RemoteTree::Move(std::string_view path, std::string_view destDir, std::string_view newName) {
  const std::string source = Normalise(path);
  const std::string dest = Normalise(destDir);
  std::string name;
  RemoteItem* folder = Parent(source, name);
  RemoteItem* item = folder != nullptr ? Child(*folder, name) : nullptr;
  if (item == nullptr) {
    return kErrnoMissing;
  }
  RemoteItem* target = Destination(*item, source, dest, newName);
  if (target == nullptr) {
    return kErrnoBadPath;
  }
  if (target == folder && newName == name) {
    return kResultOntoItself;
  }
  if (Child(*target, newName) != nullptr) {
    return kErrnoNameTaken;
  }
  RemoteItem moved = std::move(*item);
  folder->children.erase(folder->children.begin() + (item - folder->children.data()));
  moved.name = std::string(newName);
  // `target` may have moved in memory when it lives in the same folder.
  FindItem(dest)->children.push_back(std::move(moved));
  return kErrnoOk;
}

int RemoteTree::CreateFolder(std::string_view path, int64_t* fsId) {
  std::string name;
  RemoteItem* folder = Parent(Normalise(path), name);
  if (folder == nullptr) {
    return kErrnoMissing;
  }
  if (Child(*folder, name) != nullptr) {
    return kErrnoNameTaken;
  }
  folder->children.push_back(MakeItem(name, true, 0));
  if (fsId != nullptr) {
    *fsId = folder->children.back().fsId;
  }
  return kErrnoOk;
}

std::optional<std::vector<ListedItem>> RemoteTree::List(std::string_view dir,
                                                        std::string_view order, bool desc,
                                                        bool foldersOnly) const {
  const std::string folderPath = Normalise(dir);
  const RemoteItem* folder = Find(folderPath);
  if (folder == nullptr || !folder->isDir) {
    return std::nullopt;
  }
  std::vector<const RemoteItem*> items;
  for (const RemoteItem& child : folder->children) {
    if (child.isDir || !foldersOnly) {
      items.push_back(&child);
    }
  }
  const bool byTime = order == "time";
  std::sort(items.begin(), items.end(), [&](const RemoteItem* a, const RemoteItem* b) {
    if (a->isDir != b->isDir) {
      return a->isDir;
    }
    const bool less = byTime ? (a->mtime != b->mtime ? a->mtime < b->mtime : a->fsId < b->fsId)
                             : a->name < b->name;
    const bool greater = byTime ? (a->mtime != b->mtime ? a->mtime > b->mtime : a->fsId > b->fsId)
                                : a->name > b->name;
    return desc ? greater : less;
  });
  std::vector<ListedItem> listed;
  for (const RemoteItem* item : items) {
    listed.push_back({Join(folderPath, item->name), item});
  }
  return listed;
}

int64_t RemoteTree::UsedBytes() const {
  int64_t total = 0;
  std::function<void(const RemoteItem&)> walk = [&](const RemoteItem& item) {
    total += item.size;
    for (const RemoteItem& child : item.children) {
      walk(child);
    }
  };
  walk(m_root);
  return total;
}

std::vector<std::string> RemoteTree::Paths() const {
  std::vector<std::string> paths;
  CollectPaths(m_root, "/", paths);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string RemoteTree::Print() const {
  std::string out = "/\n";
  PrintItem(m_root, 1, out);
  return out;
}

bool RemoteTree::operator==(const RemoteTree& other) const {
  return Paths() == other.Paths();
}

void PrintTo(const RemoteTree& tree, std::ostream* out) {
  *out << "\n" << tree.Print();
}

std::ostream& operator<<(std::ostream& out, const RemoteTree& tree) {
  return out << tree.Print();
}
