// The C exports of the browser engine library. The exports the browser
// control calls work over Qt WebEngine (engine_view.h); every other name of
// the list is exported too, does nothing and returns zero, so that a program
// binding the whole list finds every name.

#include <QString>
#include <QUrl>
#include <QWidget>

#include "platform/wke_api.h"
#include "platform/wke_engine/engine_profile.h"
#include "platform/wke_engine/engine_view.h"

#define WKE_API extern "C" __attribute__((visibility("default")))

const char16_t* EngineTextChars(WkeString text);

#define WKE_DEFINE_NOTHING(name)
#define WKE_DEFINE_STUB(name)    \
  WKE_API std::intptr_t name() { \
    return 0;                    \
  }
WKE_EXPORT_LIST(WKE_DEFINE_NOTHING, WKE_DEFINE_STUB)
#undef WKE_DEFINE_STUB
#undef WKE_DEFINE_NOTHING

namespace {

bool s_initialized = false;

QString FromUtf16(const char16_t* text) {
  return text == nullptr ? QString() : QString::fromUtf16(text);
}

// Runs `work` on the view when the handle names a live one.
template <typename Work>
void WithView(WkeView handle, Work work) {
  if (EngineView* view = EngineView::FromHandle(handle)) {
    work(*view);
  }
}

template <typename Callback>
void Register(WkeView handle, Callback callback, void* param,
              EngineCallbacks::Slot<Callback> EngineCallbacks::*slot) {
  WithView(handle, [&](EngineView& view) { view.Callbacks().*slot = {callback, param}; });
}

}  // namespace

WKE_API void wkeInitializeEx(const WkeEngineSettings* settings) {
  (void)settings;
  s_initialized = true;
}

WKE_API int wkeIsInitialize() {
  return s_initialized ? 1 : 0;
}

WKE_API WkeView wkeCreateWebWindow(int type, WkeWindowHandle parent, int x, int y, int width,
                                   int height) {
  auto* view = new EngineView(type, reinterpret_cast<QWidget*>(parent), x, y, width, height);
  return view->Handle();
}

WKE_API WkeWindowHandle wkeGetWindowHandle(WkeView handle) {
  EngineView* view = EngineView::FromHandle(handle);
  return view != nullptr ? reinterpret_cast<WkeWindowHandle>(static_cast<QWidget*>(view->Widget()))
                         : 0;
}

WKE_API void wkeShowWindow(WkeView handle, int show) {
  WithView(handle, [&](EngineView& view) { view.Widget()->setVisible(show != 0); });
}

WKE_API void wkeSetWindowTitleW(WkeView handle, const char16_t* title) {
  WithView(handle, [&](EngineView& view) { view.Widget()->setWindowTitle(FromUtf16(title)); });
}

// The view is always opaque.
WKE_API void wkeSetTransparent(WkeView, int) {}

// Accepted and changing nothing: the page's content security policy always
// holds and plug-ins stay off (this view is where passwords are typed).
WKE_API void wkeSetCspCheckEnable(WkeView, int) {}
WKE_API void wkeSetNpapiPluginsEnabled(WkeView, int) {}

WKE_API void wkeSetNavigationToNewWindowEnable(WkeView handle, int enabled) {
  WithView(handle, [&](EngineView& view) { view.SetNewWindowsEnabled(enabled != 0); });
}

WKE_API void wkeSetUserAgent(WkeView handle, const char* userAgent) {
  WithView(handle,
           [&](EngineView& view) { view.SetUserAgent(userAgent != nullptr ? userAgent : ""); });
}

// Off: the view moves onto the profile that keeps no cookies.
WKE_API void wkeSetCookieEnabled(WkeView handle, int enabled) {
  WithView(handle, [&](EngineView& view) { view.SetCookiesEnabled(enabled != 0); });
}

// The off-the-record profile keeps nothing on disk: local storage and cookies
// live in memory, so the two folders are accepted and unused.
WKE_API void wkeSetLocalStorageFullPath(WkeView, const char16_t*) {}
WKE_API void wkeSetCookieJarPath(WkeView, const char16_t*) {}

WKE_API void wkeLoadURL(WkeView handle, const char* url) {
  WithView(handle, [&](EngineView& view) {
    view.Page()->setUrl(QUrl(QString::fromUtf8(url != nullptr ? url : "")));
  });
}

WKE_API void wkeLoadURLW(WkeView handle, const char16_t* url) {
  WithView(handle, [&](EngineView& view) { view.Page()->setUrl(QUrl(FromUtf16(url))); });
}

WKE_API void wkeLoadHTMLW(WkeView handle, const char16_t* html) {
  WithView(handle, [&](EngineView& view) { view.Page()->setHtml(FromUtf16(html)); });
}

WKE_API void wkeReload(WkeView handle) {
  WithView(handle, [&](EngineView& view) { view.Page()->triggerAction(QWebEnginePage::Reload); });
}

WKE_API const char* wkeGetTitle(WkeView handle) {
  EngineView* view = EngineView::FromHandle(handle);
  return view != nullptr ? view->KeepTitle() : "";
}

WKE_API const char* wkeGetCookie(WkeView handle) {
  EngineView* view = EngineView::FromHandle(handle);
  return view != nullptr ? view->KeepCookieText() : "";
}

WKE_API void wkePerformCookieCommand(WkeView handle, int command) {
  (void)handle;
  if (command == kWkeCookieClearAll) {
    EngineProfile::Get().ClearAllCookies();
  } else if (command == kWkeCookieClearSession) {
    EngineProfile::Get().ClearSessionCookies();
  }
  // Flushing to and reloading from a file: the store lives in memory only.
}

WKE_API const char16_t* wkeGetStringW(WkeString text) {
  return EngineTextChars(text);
}

#define WKE_REGISTER(name, Callback, member)                        \
  WKE_API void name(WkeView view, Callback callback, void* param) { \
    Register(view, callback, param, &EngineCallbacks::member);      \
  }
WKE_REGISTER(wkeOnDocumentReady2, WkeDocumentReady2Callback, documentReady)
WKE_REGISTER(wkeOnTitleChanged, WkeTitleChangedCallback, titleChanged)
WKE_REGISTER(wkeOnURLChanged2, WkeUrlChanged2Callback, urlChanged)
WKE_REGISTER(wkeOnNavigation, WkeNavigationCallback, navigation)
WKE_REGISTER(wkeOnCreateView, WkeCreateViewCallback, createView)
WKE_REGISTER(wkeOnLoadingFinish, WkeLoadingFinishCallback, loadingFinish)
WKE_REGISTER(wkeOnConsole, WkeConsoleCallback, console)
WKE_REGISTER(wkeOnAlertBox, WkeAlertBoxCallback, alertBox)
WKE_REGISTER(wkeOnConfirmBox, WkeConfirmBoxCallback, confirmBox)
WKE_REGISTER(wkeOnPromptBox, WkePromptBoxCallback, promptBox)
WKE_REGISTER(wkeOnDownload, WkeDownloadCallback, download)
WKE_REGISTER(wkeOnLoadUrlBegin, WkeLoadUrlBeginCallback, loadUrlBegin)
WKE_REGISTER(wkeOnLoadUrlEnd, WkeLoadUrlEndCallback, loadUrlEnd)
WKE_REGISTER(wkeOnMouseOverUrlChanged, WkeMouseOverUrlChangedCallback, mouseOverUrl)
WKE_REGISTER(wkeOnWindowClosing, WkeWindowClosingCallback, windowClosing)
WKE_REGISTER(wkeOnWindowDestroy, WkeWindowDestroyCallback, windowDestroy)
WKE_REGISTER(wkeOnPaintUpdated, WkePaintUpdatedCallback, paintUpdated)
#undef WKE_REGISTER

WKE_API void wkeOnFileChooser(WkeFileChooserCallback callback, void* param) {
  g_fileChooserCallback = callback;
  g_fileChooserParam = param;
}
