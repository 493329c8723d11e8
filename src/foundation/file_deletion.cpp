#include "foundation/file_deletion.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "foundation/file_system_path.h"

namespace {

constexpr mode_t kOwnerAccess = S_IRWXU;

// Gives the folder `name` of the folder open as `parentFd` (AT_FDCWD: a path)
// read, write and search permission for its owner when it lacks any of them,
// so that it can be opened and emptied. The folder is reached with O_PATH and
// O_NOFOLLOW and changed through its descriptor's /proc entry, so a link
// swapped in for it is never followed. Failures are left to the opening.
void GiveOwnerAccess(int parentFd, const char* name, mode_t mode) {
  if ((mode & kOwnerAccess) == kOwnerAccess) {
    return;
  }
  const int pathFd = openat(parentFd, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (pathFd < 0) {
    return;
  }
  const std::string procPath = "/proc/self/fd/" + std::to_string(pathFd);
  chmod(procPath.c_str(), (mode & 07777) | kOwnerAccess);
  close(pathFd);
}

// Empties the folder open as `folderFd` and closes it. Every entry is looked at
// with AT_SYMLINK_NOFOLLOW and sub-folders are opened with O_NOFOLLOW, so the
// walk never leaves the tree through a link, even one swapped in meanwhile.
// Each level keeps its folder open while it empties the next, so the depth
// is bounded by the process's limit on open files: a folder that can no
// longer be opened is left in place (and so is its parent).
void EmptyFolder(int folderFd) {
  DIR* dir = fdopendir(folderFd);
  if (dir == nullptr) {
    close(folderFd);
    return;
  }
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") {
      continue;
    }
    struct stat info {};
    if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      continue;
    }
    if (S_ISDIR(info.st_mode)) {
      GiveOwnerAccess(folderFd, name.c_str(), info.st_mode);
      int child = openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child >= 0) {
        EmptyFolder(child);
      }
      unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
    } else {
      unlinkat(folderFd, name.c_str(), 0);
    }
  }
  closedir(dir);
}

}  // namespace

bool RemoveDirectoryTree(std::string_view folder) {
  std::string path = FileSystemPathFromText(folder);
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  if (path.empty() || path == "/") {
    return false;
  }
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    return false;
  }
  if (S_ISLNK(info.st_mode)) {
    return unlink(path.c_str()) == 0;
  }
  if (!S_ISDIR(info.st_mode)) {
    return false;
  }
  GiveOwnerAccess(AT_FDCWD, path.c_str(), info.st_mode);
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  EmptyFolder(fd);
  return rmdir(path.c_str()) == 0;
}

bool IsFileOpenInThisProcess(std::string_view path) {
  struct stat target {};
  if (stat(FileSystemPathFromText(path).c_str(), &target) != 0) {
    return false;
  }
  DIR* fds = opendir("/proc/self/fd");
  if (fds == nullptr) {
    return false;
  }
  bool open = false;
  while (dirent* entry = readdir(fds)) {
    if (entry->d_name[0] == '.') {
      continue;
    }
    struct stat info {};
    std::string link = std::string("/proc/self/fd/") + entry->d_name;
    if (stat(link.c_str(), &info) == 0 && info.st_dev == target.st_dev &&
        info.st_ino == target.st_ino) {
      open = true;
      break;
    }
  }
  closedir(fds);
  return open;
}

bool DeleteFileUnlessOpen(std::string_view path) {
  std::string utf8Path = FileSystemPathFromText(path);
  struct stat info {};
  if (lstat(utf8Path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return false;
  }
  if (!S_ISLNK(info.st_mode) && IsFileOpenInThisProcess(path)) {
    return false;
  }
  return unlink(utf8Path.c_str()) == 0;
}
