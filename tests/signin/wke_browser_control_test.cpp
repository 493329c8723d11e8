// The browser control's creation, properties and operations over the
// recording engine.

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "platform/qt/qt_window_system.h"
#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"

namespace {

std::string LogAfter(const EngineFolder& folder, const std::function<void()>& action) {
  folder.ClearLog();
  action();
  return folder.Log();
}

TEST(WkeBrowserControlTest, CookieCommandsOneToThreePassOthersBecomeZero) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QWidget parent;
  const int windowId = NewOwnerWindowId();
  ASSERT_NE(CreateTestControl(parent, windowId), 0);
  const std::pair<int, int> rows[] = {{1, 1}, {2, 2}, {3, 3}, {0, 0}, {4, 0}, {-1, 0}, {100, 0}};
  for (const auto& [command, sent] : rows) {
    EXPECT_EQ(LogAfter(folder, [&] { WkeBrowserControl::RunCookieCommand({windowId, 1, nullptr}, command); }),
              "wkePerformCookieCommand " + std::to_string(sent) + "\n")
        << command;
  }
  folder.SetCookie("");
  EXPECT_EQ(WkeBrowserControl::GetCookieText({windowId, 1, nullptr}), "");
  EXPECT_EQ(WkeBrowserControl::GetCookieText({windowId, 99, nullptr}), "");
}

TEST(WkeBrowserControlTest, TheSurfaceTakesTheParentsClientSize) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QtWindowSystem system;
  ScopedWindowSystem useSystem(system);
  QWidget parent;
  parent.resize(410, 230);
  const HostHandle host = CreateTestControl(parent, NewOwnerWindowId());
  ASSERT_NE(host, 0);
  const MemoryDcSurface& surface = WkeBrowserControl::FromHost(host)->holder->surface;
  EXPECT_EQ(surface.width, 410);
  EXPECT_EQ(surface.height, 230);
  EXPECT_EQ(surface.pixels.size(), 410u * 230u);
}

TEST(WkeBrowserControlTest, StoredPropertiesRoundTripAndShortBlobsKeepDefaults) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  WkeBrowserControl source;
  source.disableF5Refresh = 1;
  source.disableCookies = 0;
  source.url = "https://a/";
  source.localStoragePath = "ls";
  source.cookieJarPath = "/jar";
  source.userAgent = "agent";
  source.allowNewWindows = 7;
  const WkeBrowserPropertyBlob blob = MakeWkePropertyBlob(source);
  ASSERT_EQ(blob.size(), 20u + 10 + 2 + 4 + 5);
  EXPECT_EQ(std::vector<unsigned char>(blob.begin(), blob.begin() + 4),
            (std::vector<unsigned char>{0x01, 0x07, 0x06, 0x0C}));

  WkeBrowserControl copy;
  WkeBrowserControl::LoadProperties(copy, blob.data(), static_cast<int>(blob.size()));
  EXPECT_EQ(MakeWkePropertyBlob(copy), blob);

  std::vector<unsigned char> foreign = blob;
  foreign[0] = 0x55;
  WkeBrowserControl fromForeign;
  WkeBrowserControl::LoadProperties(fromForeign, foreign.data(), static_cast<int>(foreign.size()));
  EXPECT_EQ(fromForeign.url, "https://a/");

  WkeBrowserControl empty;
  WkeBrowserControl::LoadProperties(empty, blob.data(), 0);
  EXPECT_EQ(MakeWkePropertyBlob(empty), MakeWkePropertyBlob(WkeBrowserControl{}));

  // Every cut, placed right before an unreadable page: nothing past the
  // length is read, and the fields beyond it keep their defaults.
  const long page = sysconf(_SC_PAGESIZE);
  auto* area = static_cast<unsigned char*>(
      mmap(nullptr, static_cast<size_t>(2 * page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(area, MAP_FAILED);
  ASSERT_EQ(mprotect(area + page, static_cast<size_t>(page), PROT_NONE), 0);
  for (size_t cut = 1; cut <= blob.size(); ++cut) {
    unsigned char* start = area + page - cut;
    std::memcpy(start, blob.data(), cut);
    WkeBrowserControl read;
    WkeBrowserControl::LoadProperties(read, start, static_cast<int>(cut));
    if (cut < blob.size()) {
      EXPECT_EQ(read.allowNewWindows, 0) << cut;
    }
    if (cut < 12) {
      EXPECT_EQ(read.disableF5Refresh, cut < 8 ? 0 : 1) << cut;
      EXPECT_TRUE(read.url.empty()) << cut;
    }
  }
  munmap(area, static_cast<size_t>(2 * page));
}

TEST(WkeBrowserControlTest, UserAgentPresetsStoreTheirTextAndOtherTextsAsTyped) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QWidget parent;
  const HostHandle host = CreateTestControl(parent, NewOwnerWindowId());
  const std::string chrome =
      "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/69.0.3497.100 Safari/537.36";
  const std::pair<std::string, std::string> rows[] = {
      {"Winsows Chrome", chrome}, {"默认UA", chrome}, {"winsows chrome", "winsows chrome"}, {"", ""}};
  for (const auto& [typed, stored] : rows) {
    const std::string log = LogAfter(folder, [&] {
      EXPECT_EQ(WkeBrowserControl::SetProperty(host, kWkeUserAgent, {typed, 0}), 0);
    });
    WkePropertyValue value;
    ASSERT_TRUE(WkeBrowserControl::GetProperty(host, kWkeUserAgent, value));
    EXPECT_EQ(value.text, stored) << typed;
    EXPECT_EQ(log, "wkeSetUserAgent " + stored + "\nwkeReload\n");
  }
  WkePropertyValue value;
  EXPECT_FALSE(WkeBrowserControl::GetProperty(host, kWkeDesignPreview, value));
  EXPECT_FALSE(WkeBrowserControl::GetProperty(host, 9, value));
  EXPECT_FALSE(WkeBrowserControl::GetProperty(host + 1000, kWkeUrl, value));
}

TEST(WkeBrowserControlTest, EngineDataFoldersStartFromTheProgramFolder) {
  WkeBrowserControl instance;
  instance.programFolder = u"/app/";
  EXPECT_EQ(MakeEngineDataPath(instance, "ls"), u"/app/ls/");
  EXPECT_EQ(MakeEngineDataPath(instance, "/x"), u"/x/");
  EXPECT_EQ(MakeEngineDataPath(instance, "/x/"), u"/x/");
  instance.designMode = true;
  EXPECT_EQ(MakeEngineDataPath(instance, "ls"), u"");
}

TEST(WkeBrowserControlTest, AnEmptyAddressOrPreviewOffBlanksThePage) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QWidget parent;
  const HostHandle host = CreateTestControl(parent, NewOwnerWindowId());
  EXPECT_EQ(LogAfter(folder, [&] { WkeBrowserControl::SetProperty(host, kWkeUrl, {"https://a/", 0}); }),
            "wkeLoadURLW https://a/\n");
  EXPECT_EQ(LogAfter(folder, [&] { WkeBrowserControl::SetProperty(host, kWkeUrl, {"", 0}); }),
            "wkeLoadHTMLW  \n");
  EXPECT_EQ(LogAfter(folder, [&] { WkeBrowserControl::SetProperty(host, kWkeDesignPreview, {"", 0}); }),
            "wkeLoadHTMLW  \n");
}

TEST(WkeBrowserControlTest, TheSameIdsTwiceGiveANewInstanceThatTheOldTeardownLeavesAlone) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  QWidget parent;
  const int windowId = NewOwnerWindowId();
  const HostHandle first = CreateTestControl(parent, windowId);
  WkeBrowserControl* old = WkeBrowserControl::FromHost(first);
  const HostHandle second = CreateTestControl(parent, windowId);
  ASSERT_NE(second, 0);
  WkeBrowserControl* made = WkeBrowserControl::FromHost(second);
  EXPECT_NE(made, old);
  // The old window closes and goes (its close is queued).
  ASSERT_TRUE(ProcessEventsUntil([&] { return WkeBrowserControl::FromHost(first) == nullptr; }, 5000));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(WkeBrowserRegistry::Find(windowId, 1)->instance, made);
  EXPECT_EQ(LogAfter(folder, [&] { WkeBrowserControl::LoadUrl({windowId, 1, nullptr}, "https://b/"); }),
            "wkeLoadURL https://b/\n");
}

}  // namespace
