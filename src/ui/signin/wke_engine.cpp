#include "ui/signin/wke_engine.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>

#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "platform/desktop.h"
#include "ui/signin/browser_start.h"

void* g_wkeExports[kWkeExportCount] = {};

namespace {

constexpr const char* kExportNames[kWkeExportCount] = {
#define WKE_EXPORT_NAME(name) #name,
    WKE_EXPORT_LIST(WKE_EXPORT_NAME, WKE_EXPORT_NAME)
#undef WKE_EXPORT_NAME
};

constexpr WkeExportId kNeededExports[] = {
#define WKE_NEEDED(name) kWke_##name,
#define WKE_NOT_NEEDED(name)
    WKE_EXPORT_LIST(WKE_NEEDED, WKE_NOT_NEEDED)
#undef WKE_NOT_NEEDED
#undef WKE_NEEDED
};

std::string s_libraryPath;
void* s_library = nullptr;
std::string s_searchFolder;  // tests
bool s_initialized = false;
bool s_ready = false;
bool s_initializeFound = false;

bool IsFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The folder searched, ending in "/": a folder ending in "/lib/" is cut back
// to its parent.
std::string SearchFolder() {
  std::string folder = s_searchFolder.empty() ? ExecutableFolder() : s_searchFolder;
  if (folder.empty() || folder.back() != '/') {
    folder += '/';
  }
  if (folder.size() >= 5 && folder.compare(folder.size() - 5, 5, "/lib/") == 0) {
    folder.resize(folder.size() - 4);
  }
  return folder;
}

bool NeededExportsBound() {
  for (WkeExportId id : kNeededExports) {
    if (g_wkeExports[id] == nullptr) {
      return false;
    }
  }
  return s_initializeFound;
}

}  // namespace

bool WkeEngine::EnsureReady() {
  if (s_libraryPath.empty() && !FindLibrary()) {
    return false;
  }
  if (s_initialized) {
    return s_ready;
  }
  PrepareBrowserStart();
  bool bound = true;
  const auto isInitialized = WkeExport<WkeIsInitializeFn>(kWke_wkeIsInitialize);
  if (isInitialized == nullptr || isInitialized() == 0) {
    WkeEngineSettings settings{};
    bound = BindExports(settings);
  }
  s_initialized = true;
  // A library that does not load, or lacks what the control calls, is never
  // called through an empty slot: the control is not made.
  s_ready = bound && NeededExportsBound();
  return s_ready;
}

bool WkeEngine::FindLibrary() {
  const std::string folder = SearchFolder();
  for (const char* name : kWkeLibraryNames) {
    if (IsFile(folder + name)) {
      s_libraryPath = folder + name;
      return true;
    }
  }
  std::string text = std::string("请把\"") + kWkeLibraryNames[0] + "\"";
  for (int i = 1; i < 4; ++i) {
    text += std::string("\r\n或者 \"") + kWkeLibraryNames[i] + "\"";
  }
  text += "\r\n放在[" + TextFromFileSystemPath(folder) + "]这个目下";
  ShowPlainMessageBox(text, kBoxOk, "错误");
  return false;
}

bool WkeEngine::BindExports(const WkeEngineSettings& settings) {
  void* library = dlopen(s_libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    return false;
  }
  s_library = library;
  const auto initialize = reinterpret_cast<WkeInitializeExFn>(dlsym(library, "wkeInitializeEx"));
  s_initializeFound = initialize != nullptr;
  if (initialize != nullptr) {
    initialize(&settings);
  }
  for (int id = 0; id < kWkeExportCount; ++id) {
    g_wkeExports[id] = dlsym(library, kExportNames[id]);
    if (g_wkeExports[id] == nullptr) {
      ShowPlainMessageBox("wke api not found", kBoxOk, kExportNames[id]);
    }
  }
  return true;
}

std::string WkeEngine::LibraryPath() {
  return s_libraryPath;
}

void* WkeEngine::LibraryExport(const char* name) {
  return s_library != nullptr ? dlsym(s_library, name) : nullptr;
}

void SetWkeSearchFolderForTesting(const std::string& folder) {
  s_searchFolder = folder;
}

void ResetWkeEngineForTesting() {
  s_libraryPath.clear();
  s_library = nullptr;
  s_initialized = false;
  s_ready = false;
  s_initializeFound = false;
  std::memset(g_wkeExports, 0, sizeof(g_wkeExports));
}
