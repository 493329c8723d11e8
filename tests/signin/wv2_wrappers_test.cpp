// The WebView2 wrapper classes against the recording bridge: every call shape
// with and without a handle, the list outs, copies and releases, and exports
// the bridge lacks.

#include <fstream>
#include <functional>
#include <vector>

#include "ui/signin/wv2_controller.h"
#include "ui/signin/wv2_cookie.h"
#include "ui/signin/wv2_cookie_manager.h"
#include "ui/signin/wv2_deferral.h"
#include "ui/signin/wv2_environment.h"
#include "ui/signin/wv2_http_request_headers.h"
#include "ui/signin/wv2_http_response_headers.h"
#include "ui/signin/wv2_menu_item.h"
#include "ui/signin/wv2_new_window_request_args.h"
#include "ui/signin/wv2_profile.h"
#include "ui/signin/wv2_webview.h"
#include "wv2_test_support.h"

namespace {

constexpr std::uint32_t kHandle = 5;

template <typename Wrapper>
Wrapper With(std::uint32_t handle) {
  Wrapper wrapper;
  wrapper.SetBridgeHandle(handle);
  return wrapper;
}

std::int32_t DummyRoutine(Wv2Handle, Wv2Handle, std::uint32_t) {
  return 0;
}

std::string Describe(const Wv2ColorRecord& color) {
  return std::to_string(color.alpha) + " " + std::to_string(color.red) + " " +
         std::to_string(color.green) + " " + std::to_string(color.blue);
}

struct ShapeRow {
  const char* name;
  // Runs the operation on a wrapper holding `handle` (0: none) and describes
  // its result and what it left in the wrapper or the caller's record.
  std::function<std::string(std::uint32_t handle)> run;
  std::string withoutHandle;
  std::string withHandle;
  std::string log;  // the bridge's lines for the call with a handle
};

const std::vector<ShapeRow>& ShapeRows() {
  static const std::vector<ShapeRow> rows = {
      {"plain: a text argument",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Webview>(h).Navigate(Utf16Of("https://a.test/")));
       },
       "0", "1", "wv2_Webview_Navigate 5 https://a.test/\n"},
      {"plain: a text without its terminator is passed terminated",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Webview>(h).Navigate(std::string("h\0t\0p", 5)));
       },
       "0", "1", "wv2_Webview_Navigate 5 ht\n"},
      {"plain: a record argument",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Controller>(h).SetBounds({8, 30, 1208, 610}));
       },
       "0", "0", "wv2_Controller_SetBounds 5 8 30 1208 610\n"},
      {"plain: the setting form of an attribute passes 0 and the value",
       [](std::uint32_t h) { return std::to_string(With<Wv2MenuItem>(h).Enabled_Attr(true)); },
       "0", "7", "wv2_MenuItem_Enabled_Attr 5 0 1\n"},
      {"plain: the reading form of an attribute passes 1 and 0",
       [](std::uint32_t h) { return std::to_string(With<Wv2MenuItem>(h).Enabled_Attr()); }, "0",
       "7", "wv2_MenuItem_Enabled_Attr 5 1 0\n"},
      {"plain: the menu item's kind is -1 without a handle",
       [](std::uint32_t h) { return std::to_string(With<Wv2MenuItem>(h).GetType()); }, "-1", "2",
       "wv2_MenuItem_GetType 5\n"},
      {"plain: a floating-point result",
       [](std::uint32_t h) { return std::to_string(With<Wv2Cookie>(h).GetExpires()); },
       std::to_string(0.0), std::to_string(1700000000.5), "wv2_CookieData_GetExpires 5\n"},
      {"attach: the routine, the user value and the 64-bit token",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Webview>(h).Attach_NewWindowRequest(DummyRoutine, 77));
       },
       "0", std::to_string(0x0000000700000005LL),
       "wv2_Webview_Attach_NewWindowRequest 5 routine 77\n"},
      {"detach: the token's halves, low half first",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Webview>(h).Detach_NewWindowRequest(0x0000000700000005LL));
       },
       "0", "1", "wv2_Webview_Detach_NewWindowRequest 5 5 7\n"},
      {"completion without a routine passes address 0",
       [](std::uint32_t h) { return std::to_string(With<Wv2Webview>(h).ExecuteScript(Utf16Of("1+1"))); },
       "0", "1", "wv2_Webview_ExecuteScript 5 1+1 0 0\n"},
      {"completion with a routine and its user value",
       [](std::uint32_t h) {
         return std::to_string(
             With<Wv2Webview>(h).ExecuteScript(Utf16Of("1+1"), DummyRoutine, 9));
       },
       "0", "1", "wv2_Webview_ExecuteScript 5 1+1 routine 9\n"},
      {"text out, returned: the text copied, the block given back once",
       [](std::uint32_t h) {
         return HexOf(With<Wv2Webview>(h).ExecuteScript_Sync(Utf16Of("x")));
       },
       "0000", HexOf(Utf16Of("\"ok\"")),
       "wv2_Webview_ExecuteScript_Sync 5 x out=null 0\nwv2_Utility_Mfree block0\n"},
      {"text out, returned, bytes: copied to their count, empty without a handle",
       [](std::uint32_t h) { return HexOf(With<Wv2Webview>(h).CapturePreview_Sync(2)); }, "",
       "89504e4700",
       "wv2_Webview_CapturePreview_Sync 5 2\nwv2_Utility_Mfree block0\n"},
      {"object out: the out handle starts at 0",
       [](std::uint32_t h) {
         return std::to_string(With<Wv2Controller>(h).GetWebview2().BridgeHandle());
       },
       "0", "1", "wv2_Controller_GetWebview2 5 0\n"},
      {"object out with an argument: the parent window",
       [](std::uint32_t h) {
         return std::to_string(
             With<Wv2Environment>(h).CreateController_Sync(WindowHandle{1234}).BridgeHandle());
       },
       "0", "1", "wv2_Env_CreateController_Sync 5 window 0\n"},
      {"record out: a zeroed record, filled by the bridge",
       [](std::uint32_t h) {
         const Wv2Rect bounds = With<Wv2Controller>(h).GetBounds();
         return std::to_string(bounds.left) + " " + std::to_string(bounds.top) + " " +
                std::to_string(bounds.right) + " " + std::to_string(bounds.bottom);
       },
       "0 0 0 0", "1 2 3 4", "wv2_Controller_GetBounds 5 0 0 0 0\n"},
      {"record out: the 40-byte features record starts zeroed",
       [](std::uint32_t h) {
         const Wv2WindowFeatures features = With<Wv2NewWindowRequestArgs>(h).GetFeatures();
         return std::to_string(features.width) + "x" + std::to_string(features.height);
       },
       "0x0", "640x480", "wv2_Webview_NewWindowRequestArgs_GetFeatures 5 zeroed\n"},
      {"record out: a 64-bit zoom factor",
       [](std::uint32_t h) { return std::to_string(With<Wv2Controller>(h).GetZoomFactor()); },
       std::to_string(0.0), std::to_string(1.25), "wv2_Controller_GetZoomFactor 5 0\n"},
      {"colour out: unpacked from the packed value",
       [](std::uint32_t h) { return Describe(With<Wv2Controller>(h).GetBackgroundColor()); },
       "0 0 0 0", "1 2 3 4", "wv2_Controller_GetBackgroundColor 5 0\n"},
      {"colour in: packed for the call and unpacked back into the record",
       [](std::uint32_t h) {
         Wv2ColorRecord color{0x10, 0x20, 0x30, 0x40};
         const int result = With<Wv2Controller>(h).SetBackgroundColor(color);
         return std::to_string(result) + " " + Describe(color);
       },
       "0 16 32 48 64", "1 255 32 48 64",
       "wv2_Controller_SetBackgroundColor 5 " + std::to_string(0x40302010u) + "\n"},
      {"release: the export's result, and the handle is gone",
       [](std::uint32_t h) {
         auto webview = With<Wv2Webview>(h);
         const int result = webview.Release();
         return std::to_string(result) + " " + std::to_string(webview.BridgeHandle());
       },
       "0 0", "1 0", "wv2_Object_Release 5\n"},
      {"close: like release, the handle is gone",
       [](std::uint32_t h) {
         auto controller = With<Wv2Controller>(h);
         const int result = controller.Close();
         return std::to_string(result) + " " + std::to_string(controller.BridgeHandle());
       },
       "0 0", "1 0", "wv2_Controller_Close 5\n"},
      {"complete: the deferral keeps its handle",
       [](std::uint32_t h) {
         auto deferral = With<Wv2Deferral>(h);
         const int result = deferral.Complete();
         return std::to_string(result) + " " + std::to_string(deferral.BridgeHandle());
       },
       "0 0", "1 5", "wv2_Deferral_Complete 5\n"},
  };
  return rows;
}

TEST(Wv2WrapperShapes, WithoutAHandleNothingIsCalledAndWithOneTheExportGetsItsArguments) {
  for (const ShapeRow& row : ShapeRows()) {
    SCOPED_TRACE(row.name);
    BridgeRunFolder folder;
    EXPECT_EQ(row.run(0), row.withoutHandle);
    EXPECT_FALSE(Wv2BridgeLoaded()) << "a wrapper without a handle loaded the bridge";
    EXPECT_EQ(row.run(kHandle), row.withHandle);
    EXPECT_EQ(folder.Log(), row.log);
  }
}

TEST(Wv2WrapperShapes, ReleasingACopyReleasesOnceAndLeavesTheFirstWrapperItsHandle) {
  BridgeRunFolder folder;
  const auto first = With<Wv2Cookie>(kHandle);
  Wv2Cookie copy = first.Copy();
  EXPECT_EQ(copy.BridgeHandle(), kHandle);
  EXPECT_EQ(copy.Release(), 1);
  EXPECT_FALSE(copy.HasHandle());
  EXPECT_EQ(copy.Release(), 0);
  EXPECT_EQ(first.BridgeHandle(), kHandle);
  EXPECT_EQ(folder.Log(), "wv2_Object_Release 5\n");
}

TEST(Wv2WrapperShapes, BothFaviconPairsReachTheSameExports) {
  BridgeRunFolder folder;
  auto view = With<Wv2Webview>(kHandle);
  const Wv2Token first = view.Attach_FaviconChanged(DummyRoutine, 3);
  const std::string firstLog = folder.Log();
  folder.ClearLog();
  const Wv2Token second = view.Attach_FaviconChangedAgain(DummyRoutine, 3);
  EXPECT_EQ(folder.Log(), firstLog);
  EXPECT_EQ(second, first);
  folder.ClearLog();
  view.Detach_FaviconChanged(first);
  const std::string detachLog = folder.Log();
  EXPECT_EQ(detachLog, "wv2_Webview_Detach_FaviconChanged 5 4294967294 4294967295\n");
  folder.ClearLog();
  view.Detach_FaviconChangedAgain(second);
  EXPECT_EQ(folder.Log(), detachLog);
}

TEST(Wv2CookieList, ReplacesTheCallersArrayOnlyWhenItRuns) {
  struct Row {
    const char* name;
    std::uint32_t handle;
    const char* cookies;
    bool result;
    std::vector<std::string> namesAndValues;  // empty: see `untouched`
    bool untouched;
  };
  const Row rows[] = {
      {"without a handle: false, the array untouched", 0, "a=1", false, {}, true},
      {"no cookies: true, the array emptied", kHandle, "", true, {}, false},
      {"two cookies, in the bridge's order", kHandle, "a=1;b=2", true, {"a", "1", "b", "2"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BridgeRunFolder folder;
    auto manager = With<Wv2CookieManager>(row.handle);
    std::vector<Wv2Cookie> cookies{With<Wv2Cookie>(42)};
    if (row.handle != 0) {
      manager.GetCookie(Utf16Of("x"), nullptr, 0);  // loads the bridge
      folder.SetCookies(row.cookies);
      folder.ClearLog();
    }
    EXPECT_EQ(manager.GetCookie_Sync(Utf16Of("https://w.test/"), cookies), row.result);
    if (row.untouched) {
      ASSERT_EQ(cookies.size(), 1u);
      EXPECT_EQ(cookies[0].BridgeHandle(), 42u);
      EXPECT_EQ(folder.Log(), "");
      continue;
    }
    ASSERT_EQ(cookies.size() * 2, row.namesAndValues.size());
    for (std::size_t i = 0; i < cookies.size(); ++i) {
      EXPECT_EQ(cookies[i].GetName(), Utf16Of(row.namesAndValues[2 * i]));
      EXPECT_EQ(cookies[i].GetValue(), Utf16Of(row.namesAndValues[2 * i + 1]));
    }
    const std::string log = folder.Log();
    EXPECT_EQ(log.rfind("wv2_CookieManager_GetCookie_Sync 5 https://w.test/ out=null 0\n", 0), 0u)
        << log;
    EXPECT_NE(log.find("wv2_Utility_Mfree block0\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("again"), std::string::npos) << log;
  }
}

TEST(Wv2CookieList, ACookiesNameComesBackAsTheBridgeCountsIt) {
  BridgeRunFolder folder;
  auto manager = With<Wv2CookieManager>(kHandle);
  std::vector<Wv2Cookie> cookies;
  manager.GetCookie(Utf16Of("x"), nullptr, 0);
  folder.SetCookies("BDUSS=v");
  ASSERT_TRUE(manager.GetCookie_Sync(Utf16Of("https://w.test/"), cookies));
  ASSERT_EQ(cookies.size(), 1u);
  folder.ClearLog();
  EXPECT_EQ(HexOf(cookies[0].GetName()), HexOf(Utf16Of("BDUSS")));
  EXPECT_EQ(folder.Log(), "wv2_CookieData_GetName " + std::to_string(cookies[0].BridgeHandle()) +
                              " out=null 0\n");
  EXPECT_EQ(HexOf(Wv2Cookie().GetName()), "0000");
}

TEST(Wv2HeaderList, TwoHeadersGiveTwoRecordsWhoseTextsEndInANulCodeUnit) {
  BridgeRunFolder folder;
  auto headers = With<Wv2HttpRequestHeaders>(kHandle);
  std::vector<Wv2HeaderRecord> records{{"old", "old"}};
  ASSERT_TRUE(headers.GetHeaders(Utf16Of("Accept"), records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(HexOf(records[0].name), HexOf(Utf16Of("Accept")));
  EXPECT_EQ(HexOf(records[0].value), HexOf(Utf16Of("text/html")));
  EXPECT_EQ(HexOf(records[1].value), HexOf(Utf16Of("*/*")));
  EXPECT_EQ(folder.Log(),
            "wv2_Webview_HTTPRequestHeader_GetHeaders 5 Accept out=null 0\n"
            "wv2_Utility_Mfree block0\n");

  std::vector<Wv2HeaderRecord> untouched{{"old", "old"}};
  EXPECT_FALSE(Wv2HttpRequestHeaders().GetHeaders(Utf16Of("Accept"), untouched));
  Wv2HttpRequestHeaders().GetRawData(untouched);
  ASSERT_EQ(untouched.size(), 1u);
  EXPECT_EQ(untouched[0].name, "old");
}

TEST(Wv2HeaderList, AMissingTextInTheBlockBecomesTheTerminatorAlone) {
  const Wv2HeaderEntry block[2] = {{u"Set-Cookie", nullptr}, {nullptr, u"v"}};
  std::vector<Wv2HeaderRecord> records{{"old", "old"}};
  ReadWv2HeaderBlock(block, 2, records);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(HexOf(records[0].name), HexOf(Utf16Of("Set-Cookie")));
  EXPECT_EQ(HexOf(records[0].value), "0000");
  EXPECT_EQ(HexOf(records[1].name), "0000");
  EXPECT_EQ(HexOf(records[1].value), HexOf(Utf16Of("v")));
}

TEST(Wv2MissingExports, AnExportTheBridgeLacksBehavesAsNoHandle) {
  BridgeRunFolder folder;
  auto view = With<Wv2Webview>(kHandle);
  view.Navigate(Utf16Of("x"));  // loads the bridge
  folder.ClearLog();
  EXPECT_EQ(view.Reload(), 0);
  EXPECT_EQ(HexOf(view.GetDocumentTitle()), "0000");
  EXPECT_FALSE(view.GetProfile().HasHandle());
  EXPECT_EQ(With<Wv2MenuItem>(kHandle).GetType(), 2);
  EXPECT_EQ(HexOf(With<Wv2MenuItem>(kHandle).GetIcon()), "");
  std::vector<Wv2HeaderRecord> records{{"old", "old"}};
  EXPECT_FALSE(With<Wv2HttpResponseHeaders>(kHandle).GetHeaders(Utf16Of("A"), records));
  EXPECT_EQ(records.size(), 1u);
  EXPECT_EQ(folder.Log(), "wv2_MenuItem_GetType 5\n");
}

TEST(Wv2MissingExports, ABridgeWithoutTheCookieListGivesFalseAndLeavesTheArray) {
  BridgeRunFolder folder(WV2_RECORDING_LACKING_COOKIES);
  auto manager = With<Wv2CookieManager>(kHandle);
  std::vector<Wv2Cookie> cookies{With<Wv2Cookie>(42)};
  EXPECT_FALSE(manager.GetCookie_Sync(Utf16Of("https://w.test/"), cookies));
  EXPECT_EQ(cookies.size(), 1u);
  EXPECT_TRUE(Wv2BridgeLoaded());
}

TEST(Wv2MissingExports, ABridgeThatDoesNotLoadBehavesAsNoHandle) {
  BridgeRunFolder folder("");
  {
    std::ofstream file(folder.Folder().Path() / kWv2BridgeFileName, std::ios::binary);
    file << "not a library";
  }
  auto view = With<Wv2Webview>(kHandle);
  EXPECT_EQ(view.Navigate(Utf16Of("x")), 0);
  EXPECT_EQ(HexOf(view.ExecuteScript_Sync(Utf16Of("x"))), "0000");
  EXPECT_FALSE(view.GetCookieManager().HasHandle());
  EXPECT_EQ(view.Release(), 0);
  EXPECT_FALSE(Wv2BridgeLoaded());
}

}  // namespace
