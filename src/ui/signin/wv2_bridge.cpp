#include "ui/signin/wv2_bridge.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <array>

#include "foundation/run_directory.h"
#include "ui/signin/bridge_object_handle.h"
#include "ui/signin/browser_start.h"

namespace {

constexpr int kExportCount = static_cast<int>(Wv2Export::kCount);

constexpr std::array<const char*, kExportCount> kExportNames = {
#define WV2_EXPORT_NAME(name, ...) #name,
    WV2_EXPORT_LIST(WV2_EXPORT_NAME)
#undef WV2_EXPORT_NAME
};

std::array<void*, kExportCount> s_exports{};
void* s_library = nullptr;

bool IsFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Loads and binds the library when it is not loaded yet; false while it does
// not load.
bool EnsureLoaded() {
  if (s_library != nullptr) {
    return true;
  }
  PrepareBrowserStart();
  const std::string path = Wv2BridgePath();
  if (!IsFile(path)) {
    return false;
  }
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    return false;
  }
  s_library = library;
  for (int id = 0; id < kExportCount; ++id) {
    s_exports[id] = dlsym(library, kExportNames[id]);
  }
  return true;
}

}  // namespace

void* Wv2BridgeExport(Wv2Export id) {
  const int index = static_cast<int>(id);
  if (index < 0 || index >= kExportCount || !EnsureLoaded()) {
    return nullptr;
  }
  return s_exports[index];
}

const char* Wv2ExportName(Wv2Export id) {
  const int index = static_cast<int>(id);
  return index >= 0 && index < kExportCount ? kExportNames[index] : "";
}

std::string Wv2BridgePath() {
  return RunDirectoryFileSystemPath() + "/" + kWv2BridgeFileName;
}

bool Wv2BridgeLoaded() {
  return s_library != nullptr;
}

int ReleaseBridgeObject(BridgeObjectHandle& wrapper) {
  if (!wrapper.HasHandle()) {
    return 0;
  }
  auto* release = Wv2Bound<Wv2Export::wv2_Object_Release>();
  if (release == nullptr) {
    return 0;
  }
  const int result = release(wrapper.BridgeHandle());
  wrapper.SetHandle(nullptr);
  return result;
}

void ResetWv2BridgeForTesting() {
  s_library = nullptr;
  s_exports.fill(nullptr);
}
