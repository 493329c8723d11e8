#pragma once
// The test-side access to a recording library (engine or bridge) that the
// program has loaded: its functions by name, and the log every recording
// library keeps ("recordingLog", "recordingClear").

#include <dlfcn.h>

#include <string>

// The function `name` of the library loaded from `path`; null while that
// library is not loaded or lacks the function.
template <typename Fn>
Fn RecordingFunction(const std::string& path, const char* name) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  return library != nullptr ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
}

inline std::string RecordingLog(const std::string& path) {
  auto log = RecordingFunction<const char* (*)()>(path, "recordingLog");
  return log != nullptr ? log() : "";
}

inline void ClearRecordingLog(const std::string& path) {
  if (auto clear = RecordingFunction<void (*)()>(path, "recordingClear")) clear();
}
