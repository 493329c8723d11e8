#pragma once
// Shared by the sign-in tests: an engine folder of the test's own holding a
// recording engine (or the real one) under a chosen name, with the loader
// pointed at it and reset, and the recording engine's log and triggers.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "fakeservice/fake_service.h"
#include "platform/qt/browser_trust.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/scripted_desktop.h"
#include "platform/wke_api.h"
#include "recording_library.h"
#include "support/process_events_until.h"
#include "support/scratch_folder.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/wke_browser_control.h"
#include "ui/signin/wke_engine.h"
#include "web/service_config.h"

class EngineFolder {
 public:
  // Copies `library` (a built engine) into the folder as `name`; an empty
  // library leaves the folder empty.
  explicit EngineFolder(const std::string& library = WKE_RECORDING_FULL,
                        const std::string& name = kWkeLibraryNames[0]) {
    if (!library.empty()) {
      Put(library, name);
    }
    ResetWkeEngineForTesting();
    FileChooserHook::ResetForTesting();
    SetWkeSearchFolderForTesting(m_folder.Utf8());
  }
  ~EngineFolder() {
    FileChooserHook::ResetForTesting();
    ResetWkeEngineForTesting();
    SetWkeSearchFolderForTesting({});
  }
  void Put(const std::string& library, const std::string& name) {
    std::filesystem::copy_file(library, m_folder.Path() / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  std::string Path(const std::string& name = kWkeLibraryNames[0]) const {
    return m_folder.Utf8(name);
  }

  // The recording engine's functions, once the loader has loaded it.
  template <typename Fn>
  Fn Recording(const char* name) const {
    return RecordingFunction<Fn>(WkeEngine::LibraryPath(), name);
  }
  std::string Log() const { return RecordingLog(WkeEngine::LibraryPath()); }
  void ClearLog() const { ClearRecordingLog(WkeEngine::LibraryPath()); }
  void SetCookie(const char* text) const {
    if (auto set = Recording<void (*)(const char*)>("recordingSetCookie"))
      set(text);
  }
  std::intptr_t Fire(WkeView view, const char* name, const char16_t* text = u"",
                     const char16_t* text2 = u"", std::intptr_t number = 0,
                     const WkeWindowFeatures* features = nullptr) const {
    using FireFn = std::intptr_t (*)(WkeView, const char*, const char16_t*, const char16_t*,
                                     std::intptr_t, const WkeWindowFeatures*);
    auto fire = Recording<FireFn>("recordingFire");
    return fire != nullptr ? fire(view, name, text, text2, number, features) : -100;
  }

 private:
  ScratchFolder m_folder;
};

// Processes events until `done` holds or `ms` milliseconds have passed.
template <typename Done>
bool ProcessEventsUntil(Done done, int ms = 60000) {
  return ProcessEventsUntilOrAfter(done, ms);
}

// A control made directly, as a window's code makes it.
inline HostHandle CreateTestControl(QWidget& parent, int windowId, const void* stored = nullptr,
                                    int length = 0) {
  return WkeBrowserControl::Create(stored, length, 0, WindowHandleOf(&parent), 1, 8, 29, 300, 200,
                                   windowId, 1, 0, false);
}

// Starts the emulator of a browser test suite under the host names the
// standalone one gives itself, points the configuration at it (and the
// browser libraries' trust, as the program does before a browser starts) and
// adds one account; false when it does not start.
inline bool StartSignInEmulator(FakeService& service, const std::string& user) {
  if (!service.Start()) {
    return false;
  }
  const std::string port = std::to_string(service.Port());
  setenv("QUILLMERE_WEB_HOST", ("pan.quill.localhost:" + port).c_str(), 1);
  setenv("QUILLMERE_PASSPORT_HOST", ("passport.quill.localhost:" + port).c_str(), 1);
  setenv("QUILLMERE_PORTAL_HOST", ("portal.quill.localhost:" + port).c_str(), 1);
  setenv("QUILLMERE_CA_FILE", service.CaFile().c_str(), 1);
  LoadServiceConfig();
  PublishBrowserExtraCaFile(service.CaFile());
  service.Model().AddAccount(FakeAccount::Make(user));
  return true;
}

// Counts the hand-offs a closed sign-in window starts and keeps the last text.
struct HandOffCounter {
  HandOffCounter() {
    SetSignInHandOff([this](int, const std::string& text, const std::string&, const std::string&,
                            const std::string&) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        last = text;
      }
      ++count;  // last: once counted, the counter may go
    });
  }
  ~HandOffCounter() { SetSignInHandOff({}); }
  std::string Last() {
    std::lock_guard<std::mutex> lock(mutex);
    return last;
  }
  std::atomic<int> count{0};
  std::mutex mutex;
  std::string last;
};

// The notice both sign-in windows show with the provider's portal.
inline void ExpectPortalNotice(const RecordedBox& notice) {
  EXPECT_EQ(notice.caption, "提示：");
  EXPECT_EQ(notice.timeoutMs, 10000);
  EXPECT_EQ(notice.type, kBoxIconInformation);
  EXPECT_EQ(
      notice.text,
      "先点网页最右边的登陆，登陆成功之后再点网页上方的 网盘 连接，进入网盘后即可关闭此页面。");
}
