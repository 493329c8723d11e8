#include "foundation/run_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
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

// The executable's path (UTF-8), or empty when it cannot be read.
std::string ExecutablePath() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) {
    return {};
  }
  return std::string(buffer, static_cast<size_t>(length));
}

// The executable's folder (UTF-8), or empty when it cannot be read.
std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string DataHomeFolder() {
  std::string base = Environment("XDG_DATA_HOME");
  if (base.empty() || base[0] != '/') {
    base = Environment("HOME") + "/.local/share";
  }
  return WithoutTrailingSlash(base) + "/quillmere";
}

std::string EnsuredFolder(const std::string& utf8Folder) {
  std::string text = TextFromFileSystemPath(utf8Folder);
  CreateDirectoryPath(text);
  return text;
}

}  // namespace

std::string GetRunDirectory() {
  std::string home = Environment("QUILLMERE_HOME");
  if (!home.empty()) {
    return EnsuredFolder(WithoutTrailingSlash(home));
  }
  std::string exeFolder = ExecutableFolder();
  if (!exeFolder.empty() && access(exeFolder.c_str(), W_OK) == 0) {
    return TextFromFileSystemPath(exeFolder);
  }
  return EnsuredFolder(DataHomeFolder());
}

std::string RunDirectoryPath(const std::string& name) {
  std::string folder = GetRunDirectory();
  return folder == "/" ? folder + name : folder + "/" + name;
}

bool EnterRunDirectory() {
  return chdir(FileSystemPathFromText(GetRunDirectory()).c_str()) == 0;
}

std::string ProgramFileName() {
  const std::string path = ExecutablePath();
  return Utf8ToCp936(path.substr(path.rfind('/') + 1));
}
