#pragma once
// Shared by the WebView2 tests: a run directory of the test's own (set as
// $QUILLMERE_HOME) holding a recording bridge as "WebView2_Caller.dll", with
// the binding reset so that the next call loads that copy; the recording
// bridge's log and controls; UTF-16 byte helpers.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/wv2_bridge_exports.h"
#include "recording_library.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "ui/signin/wv2_bridge.h"

class BridgeRunFolder {
 public:
  // Copies `library` into the run directory under the bridge's name; an empty
  // library leaves the directory without one.
  explicit BridgeRunFolder(const std::string& library = WV2_RECORDING_FULL)
      : m_home("QUILLMERE_HOME", m_folder.Utf8()) {
    if (!library.empty()) {
      std::filesystem::copy_file(library, m_folder.Path() / kWv2BridgeFileName);
    }
    ResetWv2BridgeForTesting();
  }
  ~BridgeRunFolder() { ResetWv2BridgeForTesting(); }
  BridgeRunFolder(const BridgeRunFolder&) = delete;
  BridgeRunFolder& operator=(const BridgeRunFolder&) = delete;

  const ScratchFolder& Folder() const { return m_folder; }

  // A function of the loaded recording bridge (null before it is loaded).
  template <typename Fn>
  Fn Recording(const char* name) const {
    return RecordingFunction<Fn>(Wv2BridgePath(), name);
  }
  std::string Log() const { return RecordingLog(Wv2BridgePath()); }
  void ClearLog() const { ClearRecordingLog(Wv2BridgePath()); }
  // "name=value" pairs joined by ";".
  void SetCookies(const char* text) const {
    if (auto set = Recording<void (*)(const char*)>("recordingSetCookies")) set(text);
  }
  void FailEnvironment(bool fail) const {
    if (auto set = Recording<void (*)(int)>("recordingFailEnvironment")) set(fail ? 1 : 0);
  }
  // Raises the view's new-window request; the routine's result (-1: none).
  std::int32_t RequestNewWindow(Wv2Handle view) const {
    auto request = Recording<std::int32_t (*)(Wv2Handle)>("recordingRequestNewWindow");
    return request != nullptr ? request(view) : -100;
  }

 private:
  ScratchFolder m_folder;
  ScopedEnvironment m_home;
};

// UTF-16 bytes of an ASCII text, with the terminator.
inline std::string Utf16Of(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes + std::string(2, '\0');
}

// Bytes as hex pairs, for readable comparisons.
inline std::string HexOf(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}
