#include "foundation/run_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>

#include "foundation/file_system_path.h"
#include "platform/code_page_codec.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

// `utf8Folder` made absolute against the working directory of now.
std::string Absolute(const std::string& utf8Folder) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(utf8Folder, error);
  if (error) {
    return utf8Folder;
  }
  return WithoutTrailingSlash(absolute.lexically_normal().string());
}

// The executable's path (UTF-8), or empty when it cannot be read.
std::string ExecutablePath() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) {
    return {};
  }
  return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

namespace {

std::string DataHomeFolder() {
  std::string base = Environment("XDG_DATA_HOME");
  if (base.empty() || base[0] != '/') {
    base = Environment("HOME") + "/.local/share";
  }
  return WithoutTrailingSlash(base) + "/quillmere";
}

std::string EnsuredFolder(const std::string& utf8Folder) {
  std::error_code ignored;
  std::filesystem::create_directories(utf8Folder, ignored);
  return utf8Folder;
}

std::string ResolveFolder(const std::string& home) {
  if (!home.empty()) {
    return EnsuredFolder(Absolute(WithoutTrailingSlash(home)));
  }
  std::string exeFolder = ExecutableFolder();
  if (!exeFolder.empty() && access(exeFolder.c_str(), W_OK) == 0) {
    return exeFolder;
  }
  return EnsuredFolder(Absolute(DataHomeFolder()));
}

struct ResolvedFolder {
  std::mutex mutex;
  bool resolved = false;
  std::string home;  // the $QUILLMERE_HOME it was resolved for
  std::string utf8;
};

ResolvedFolder& Resolved() {
  static ResolvedFolder& s_folder = *new ResolvedFolder;
  return s_folder;
}

}  // namespace

std::string RunDirectoryFileSystemPath() {
  const std::string home = Environment("QUILLMERE_HOME");
  ResolvedFolder& folder = Resolved();
  std::lock_guard lock(folder.mutex);
  if (!folder.resolved || folder.home != home) {
    folder.utf8 = ResolveFolder(home);
    folder.home = home;
    folder.resolved = true;
    SetExactFolderPrefix(folder.utf8);
  }
  return folder.utf8;
}

std::string GetRunDirectory() {
  return TextFromFileSystemPath(RunDirectoryFileSystemPath());
}

std::string RunDirectoryPath(const std::string& name) {
  std::string folder = GetRunDirectory();
  return folder == "/" ? folder + name : folder + "/" + name;
}

bool EnterRunDirectory() {
  return chdir(RunDirectoryFileSystemPath().c_str()) == 0;
}

std::string ProgramFileName() {
  const std::string path = ExecutablePath();
  return Utf8ToCp936(path.substr(path.rfind('/') + 1));
}
