#include "platform/qt/registry_values.h"

#include <dlfcn.h>

#include <QLibraryInfo>
#include <mutex>

namespace {

std::mutex s_mutex;
std::optional<std::string> s_testAnswer;

// The version of Qt WebEngine when its library loads, else empty.
std::string ProbeWebEngine() {
  const std::string path =
      QLibraryInfo::path(QLibraryInfo::LibrariesPath).toStdString() + "/libQt6WebEngineCore.so.6";
  void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (library == nullptr) {
    return {};
  }
  using VersionFn = const char* (*)();
  const auto version = reinterpret_cast<VersionFn>(dlsym(library, "qWebEngineVersion"));
  const char* text = version != nullptr ? version() : nullptr;
  return text != nullptr && text[0] != '\0' ? std::string(text) : std::string("6");
}

}  // namespace

std::string ReadLocalMachineText(std::string_view key, std::string_view value) {
  if (key != kWebView2RuntimeKey || value != "DisplayVersion") {
    return {};
  }
  {
    std::lock_guard lock(s_mutex);
    if (s_testAnswer) {
      return *s_testAnswer;
    }
  }
  static const std::string probed = ProbeWebEngine();
  return probed;
}

void SetWebView2RuntimeVersionForTesting(std::optional<std::string> text) {
  std::lock_guard lock(s_mutex);
  s_testAnswer = std::move(text);
}
