#include "foundation/files_and_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>

#include "foundation/file_name_pattern.h"
#include "foundation/file_system_path.h"
#include "foundation/text_arrays.h"
#include "platform/code_page_codec.h"
#include "platform/desktop.h"
#include "platform/memory_files.h"

namespace {

bool IsDirectoryOnDisk(const std::string& utf8Path) {
  struct stat info {};
  return !utf8Path.empty() && stat(utf8Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The position where the file-name part starts: after the last separator that
// a non-separator follows; 0 when there is none. `endsWithSeparator` tells a
// path whose last character is a separator (its file-name part is empty).
size_t FileNamePartStart(std::string_view path, bool& endsWithSeparator) {
  size_t start = 0;
  endsWithSeparator = false;
  for (size_t i = 0; i < path.size(); i += Cp936CharLength(path, i)) {
    if (IsPathSeparator(path[i])) {
      endsWithSeparator = i + 1 == path.size();
      if (i + 1 < path.size() && !IsPathSeparator(path[i + 1])) {
        start = i + 1;
      }
    } else {
      endsWithSeparator = false;
    }
  }
  return start;
}

// The names in one folder (UTF-8), sorted by their bytes; empty when the
// folder cannot be read.
std::vector<std::string> FolderEntries(const std::string& utf8Folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(utf8Folder.empty() ? "." : utf8Folder.c_str());
  if (dir == nullptr) {
    return names;
  }
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") {
      names.push_back(std::move(name));
    }
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsWildcardName(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

bool FileExistsOnDisk(const std::string& utf8Path) {
  size_t slash = utf8Path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : utf8Path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? utf8Path : utf8Path.substr(slash + 1);
  if (name.empty()) {
    return false;
  }
  if (!IsWildcardName(name)) {
    struct stat info {};
    return stat(utf8Path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }
  std::string pattern = TextFromFileSystemPath(name);
  for (const std::string& entry : FolderEntries(folder.empty() ? "." : folder)) {
    if (MatchesFileNamePattern(TextFromFileSystemPath(entry), pattern)) {
      return !IsDirectoryOnDisk((folder.empty() ? "./" : folder) + entry);
    }
  }
  return false;
}

// Creates `utf8Path` level by level: every prefix that ends before a separator
// (the empty prefix of an absolute path excepted), then the whole path.
void CreateLevels(const std::string& utf8Path) {
  for (size_t i = 0; i < utf8Path.size(); ++i) {
    if (utf8Path[i] == '/' && i > 0) {
      mkdir(utf8Path.substr(0, i).c_str(), 0777);
    }
  }
  mkdir(utf8Path.c_str(), 0777);
}

// Moves without ever replacing the target: renameat2 with RENAME_NOREPLACE,
// or, on file systems without it, a hard link plus unlink (files only).
bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (MemoryFiles* memory = InstalledMemoryFiles()) {
    return memory->MoveWithoutReplacing(from, to);
  }
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return false;
  }
  if (link(from.c_str(), to.c_str()) != 0) {
    return false;
  }
  unlink(from.c_str());
  return true;
}

void CollectMatches(const std::string& folderText, const std::vector<std::string>& patterns,
                    std::vector<std::string>& results, bool fullPath, bool recurse) {
  std::string folder = folderText;
  if (folder.empty() || !IsPathSeparator(folder.back())) {
    folder += "/";
  }
  std::string utf8Folder = FileSystemPathFromText(folder);
  std::vector<std::string> entries = FolderEntries(utf8Folder);
  for (const std::string& pattern : patterns) {
    for (const std::string& entry : entries) {
      std::string name = TextFromFileSystemPath(entry);
      if (MatchesFileNamePattern(name, pattern) && !IsDirectoryOnDisk(utf8Folder + entry)) {
        results.push_back(fullPath ? folder + name : name);
        // On the user-interface thread a long search keeps the windows alive.
        GetDesktop().PumpEvents();
      }
    }
  }
  if (!recurse) {
    return;
  }
  for (const std::string& entry : entries) {
    struct stat info {};
    // Links to folders are not followed: a link cycle would never end.
    if (lstat((utf8Folder + entry).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      CollectMatches(folder + TextFromFileSystemPath(entry), patterns, results, fullPath, true);
      GetDesktop().PumpEvents();
    }
  }
}

}  // namespace

std::string GetPathExtension(std::string_view path) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += Cp936CharLength(path, i)) {
    if (path[i] == '.') {
      dot = i;
    } else if (IsPathSeparator(path[i]) || path[i] == ' ') {
      dot = std::string_view::npos;
    }
  }
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

bool DirectoryExists(std::string_view path) {
  return IsDirectoryOnDisk(FileSystemPathFromText(path));
}

bool DirectoryExistsWide(std::string_view utf16Bytes) {
  return IsDirectoryOnDisk(FileSystemPathFromWide(utf16Bytes));
}

bool CreateDirectoryPath(std::string_view path) {
  std::string wide = Utf16ToLeBytes(DecodeToUtf16(path, kCodePageLocal));
  wide.append(2, '\0');
  CreateDirectoryLevels(wide);
  return DirectoryExistsWide(wide);
}

void CreateDirectoryLevels(std::string_view utf16Bytes) {
  // Fewer than three characters and the terminator: nothing worth creating.
  if (utf16Bytes.size() < 8) {
    return;
  }
  std::string utf8Path = FileSystemPathFromWide(utf16Bytes);
  if (!utf8Path.empty()) {
    CreateLevels(utf8Path);
  }
}

bool FileExists(std::string_view path) {
  return FileExistsOnDisk(FileSystemPathFromText(path));
}

bool FileExistsWide(std::string_view utf16Bytes) {
  return FileExistsOnDisk(FileSystemPathFromWide(utf16Bytes));
}

std::string ReadFileTextToZero(std::string_view path) {
  std::string bytes;
  const std::string fileSystemPath = FileSystemPathFromText(path);
  if (const MemoryFiles* memory = InstalledMemoryFiles()) {
    bytes = memory->Read(fileSystemPath).value_or(std::string());
  } else if (std::ifstream file(fileSystemPath, std::ios::binary); file) {
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (const std::size_t zero = bytes.find('\0'); zero != std::string::npos) {
    bytes.resize(zero);
  }
  return bytes;
}

bool MoveFileChecked(std::string_view source, std::string_view target) {
  if (!IsValidTargetPath(target, true)) {
    return false;
  }
  return MoveWithoutReplacing(FileSystemPathFromText(source), FileSystemPathFromText(target));
}

bool IsValidTargetPath(std::string_view path, bool extensionOptional) {
  // On Windows an acceptable target began with a drive letter; here it is an
  // absolute path. Relative targets would land wherever the working directory
  // happens to be.
  if (path.empty() || path[0] != '/') {
    return false;
  }
  bool endsWithSeparator = false;
  size_t start = FileNamePartStart(path, endsWithSeparator);
  std::string_view name = endsWithSeparator ? std::string_view() : path.substr(start);
  if (name.empty() || HasForbiddenNameChars(name)) {
    return false;
  }
  if (extensionOptional) {
    return true;
  }
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < name.size(); i += Cp936CharLength(name, i)) {
    if (name[i] == '.') {
      dot = i;
    }
  }
  return dot != std::string_view::npos && dot >= 1 && dot + 1 < name.size();
}

bool HasForbiddenNameChars(std::string_view name) {
  static constexpr std::string_view kForbidden = "?/\\<>*|:\"";
  for (size_t i = 0; i < name.size(); i += Cp936CharLength(name, i)) {
    if (Cp936CharLength(name, i) == 1 && kForbidden.find(name[i]) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

int FindFilesRecursive(std::string_view folder, std::string_view patterns,
                       std::vector<std::string>& results, bool fullPath, bool sort, bool recurse) {
  if (!recurse) {
    results.clear();
  }
  CollectMatches(std::string(folder), SplitText(patterns, "|"), results, fullPath, recurse);
  if (sort) {
    std::sort(results.begin(), results.end());
  }
  return static_cast<int>(results.size());
}
