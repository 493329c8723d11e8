// The exports of the bridge library, each with the signature of
// platform/wv2_bridge_exports.h. Every export runs on the user-interface
// thread only (elsewhere it answers like no object) and looks its objects up
// by handle, so a released handle, or an object whose widget has gone, is
// never followed to a widget.

#include <QApplication>
#include <QString>
#include <QThread>
#include <QUrl>
#include <cstdlib>
#include <cstring>

#include "platform/qt/qt_window_handle.h"
#include "platform/wv2_bridge/bridge_cookies.h"
#include "platform/wv2_bridge/bridge_environment.h"
#include "platform/wv2_bridge/bridge_objects.h"
#include "platform/wv2_bridge/bridge_view.h"
#include "platform/wv2_bridge_exports.h"

namespace {

bool OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return qobject_cast<QApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

template <typename T>
T* Find(Wv2Handle handle) {
  return OnUiThread() ? BridgeObjects::Find<T>(handle) : nullptr;
}

QString FromUtf16(const char16_t* text) {
  return text == nullptr ? QString() : QString::fromUtf16(text);
}

// Hands out bytes the object keeps.
std::int32_t TextOut(const std::u16string& text, void** outBytes, std::uint32_t* outByteCount) {
  if (outBytes == nullptr || outByteCount == nullptr) {
    return kWv2Failed;
  }
  *outBytes = const_cast<char16_t*>(text.data());
  *outByteCount = static_cast<std::uint32_t>(text.size() * sizeof(char16_t));
  return kWv2Ok;
}

BridgePage* PageOf(Wv2Handle webview) {
  BridgeWebview* view = Find<BridgeWebview>(webview);
  return view != nullptr ? view->Page() : nullptr;
}

}  // namespace

extern "C" std::int32_t wv2_Global_CreateEnv_Sync(Wv2NativeEnvironmentOptions* options,
                                                  const char16_t* browserFolder,
                                                  const char16_t* userDataFolder,
                                                  Wv2Handle* outHandle) {
  // The browser is Qt WebEngine's own; the profile keeps nothing on disk, so
  // both folders are accepted and unused.
  (void)browserFolder;
  (void)userDataFolder;
  if (outHandle == nullptr || !OnUiThread()) {
    return kWv2Failed;
  }
  const QString arguments = options != nullptr ? FromUtf16(options->browserArguments) : QString();
  auto profile = std::make_shared<BridgeProfile>(ParseBrowserArguments(arguments));
  *outHandle = BridgeObjects::Add(std::make_unique<BridgeEnvironment>(std::move(profile)));
  return *outHandle != 0 ? kWv2Ok : kWv2Failed;
}

extern "C" void wv2_Utility_Mfree(void* block) {
  std::free(block);
}

extern "C" std::int32_t wv2_Object_Release(Wv2Handle handle) {
  return OnUiThread() && BridgeObjects::Release(handle) ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_Env_CreateController_Sync(Wv2Handle environment, WindowHandle parent,
                                                      Wv2Handle* outHandle) {
  BridgeEnvironment* held = Find<BridgeEnvironment>(environment);
  QWidget* parentWidget = WidgetOf(parent);
  if (held == nullptr || parentWidget == nullptr || outHandle == nullptr) {
    return kWv2Failed;
  }
  *outHandle =
      BridgeObjects::Add(std::make_unique<BridgeController>(held->Profile(), parentWidget));
  return *outHandle != 0 ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_Controller_Close(Wv2Handle controller) {
  BridgeController* held = Find<BridgeController>(controller);
  if (held == nullptr || held->View() == nullptr) {
    return kWv2Failed;
  }
  held->Close();
  return kWv2Ok;
}

extern "C" std::int32_t wv2_Controller_SetBounds(Wv2Handle controller, const Wv2Rect* bounds) {
  BridgeController* held = Find<BridgeController>(controller);
  QWebEngineView* view = held != nullptr ? held->View() : nullptr;
  if (view == nullptr || bounds == nullptr) {
    return kWv2Failed;
  }
  view->setGeometry(bounds->left, bounds->top, bounds->right - bounds->left,
                    bounds->bottom - bounds->top);
  return kWv2Ok;
}

extern "C" std::int32_t wv2_Controller_GetBounds(Wv2Handle controller, Wv2Rect* bounds) {
  BridgeController* held = Find<BridgeController>(controller);
  QWebEngineView* view = held != nullptr ? held->View() : nullptr;
  if (view == nullptr || bounds == nullptr) {
    return kWv2Failed;
  }
  const QRect place = view->geometry();
  *bounds = {place.left(), place.top(), place.left() + place.width(),
             place.top() + place.height()};
  return kWv2Ok;
}

extern "C" std::int32_t wv2_Controller_GetWebview2(Wv2Handle controller, Wv2Handle* outHandle) {
  BridgeController* held = Find<BridgeController>(controller);
  if (held == nullptr || outHandle == nullptr) {
    return kWv2Failed;
  }
  *outHandle = held->WebviewHandle();
  return *outHandle != 0 ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_Webview_Navigate(Wv2Handle webview, const char16_t* uri) {
  BridgePage* page = PageOf(webview);
  const QUrl address(FromUtf16(uri));
  if (page == nullptr || !address.isValid() || address.isEmpty()) {
    return kWv2Failed;
  }
  page->setUrl(address);
  return kWv2Ok;
}

extern "C" std::int32_t wv2_Webview_GetURL(Wv2Handle webview, void** outBytes,
                                           std::uint32_t* outByteCount) {
  BridgeWebview* held = Find<BridgeWebview>(webview);
  if (held == nullptr || held->Page() == nullptr) {
    return kWv2Failed;
  }
  return TextOut(held->KeepUrl(), outBytes, outByteCount);
}

extern "C" Wv2Token wv2_Webview_Attach_NewWindowRequest(Wv2Handle webview, Wv2Routine routine,
                                                       std::uint32_t userValue) {
  BridgePage* page = PageOf(webview);
  if (page == nullptr || routine == nullptr) {
    return 0;
  }
  // The view's handle is the one its routines hear from.
  page->SetViewHandle(webview);
  return page->AttachNewWindowRoutine(routine, userValue);
}

extern "C" std::int32_t wv2_Webview_Detach_NewWindowRequest(Wv2Handle webview,
                                                           std::uint32_t tokenLow,
                                                           std::uint32_t tokenHigh) {
  BridgePage* page = PageOf(webview);
  const auto token = static_cast<Wv2Token>(static_cast<std::uint64_t>(tokenHigh) << 32 | tokenLow);
  return page != nullptr && page->DetachNewWindowRoutine(token) ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_Webview_NewWindowRequestArgs_GetURL(Wv2Handle arguments,
                                                               void** outBytes,
                                                               std::uint32_t* outByteCount) {
  BridgeNewWindowArgs* held = Find<BridgeNewWindowArgs>(arguments);
  if (held == nullptr) {
    return kWv2Failed;
  }
  return TextOut(held->RequestedUrl(), outBytes, outByteCount);
}

extern "C" std::int32_t wv2_Webview_NewWindowRequestArgs_SetNewWindow(Wv2Handle arguments,
                                                                     Wv2Handle webview) {
  BridgeNewWindowArgs* held = Find<BridgeNewWindowArgs>(arguments);
  return held != nullptr && held->SetNewWindow(PageOf(webview)) ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_Webview_GetCookieManager(Wv2Handle webview, Wv2Handle* outHandle) {
  BridgeWebview* held = Find<BridgeWebview>(webview);
  if (held == nullptr || held->Page() == nullptr || outHandle == nullptr) {
    return kWv2Failed;
  }
  *outHandle = BridgeObjects::Add(std::make_unique<BridgeCookieManager>(held->Profile()));
  return *outHandle != 0 ? kWv2Ok : kWv2Failed;
}

extern "C" std::int32_t wv2_CookieManager_GetCookie_Sync(Wv2Handle manager, const char16_t* uri,
                                                         void** outBlock,
                                                         std::uint32_t* outCount) {
  BridgeCookieManager* held = Find<BridgeCookieManager>(manager);
  if (held == nullptr || outBlock == nullptr || outCount == nullptr) {
    return kWv2Failed;
  }
  const std::vector<Wv2Handle> cookies = held->ListCookies(FromUtf16(uri).toStdString());
  void* block = nullptr;
  if (!cookies.empty()) {
    block = std::malloc(cookies.size() * sizeof(Wv2Handle));
    if (block == nullptr) {
      for (Wv2Handle cookie : cookies) {
        BridgeObjects::Release(cookie);
      }
      return kWv2Failed;
    }
    std::memcpy(block, cookies.data(), cookies.size() * sizeof(Wv2Handle));
  }
  *outBlock = block;
  *outCount = static_cast<std::uint32_t>(cookies.size());
  return kWv2Ok;
}

extern "C" std::int32_t wv2_CookieData_GetName(Wv2Handle cookie, void** outBytes,
                                               std::uint32_t* outByteCount) {
  BridgeCookie* held = Find<BridgeCookie>(cookie);
  return held != nullptr ? TextOut(held->Name(), outBytes, outByteCount) : kWv2Failed;
}

extern "C" std::int32_t wv2_CookieData_GetValue(Wv2Handle cookie, void** outBytes,
                                                std::uint32_t* outByteCount) {
  BridgeCookie* held = Find<BridgeCookie>(cookie);
  return held != nullptr ? TextOut(held->Value(), outBytes, outByteCount) : kWv2Failed;
}

extern "C" std::int32_t wv2_CookieData_GetHTTPOnly(Wv2Handle cookie) {
  BridgeCookie* held = Find<BridgeCookie>(cookie);
  return held != nullptr && held->HttpOnly() ? 1 : 0;
}
