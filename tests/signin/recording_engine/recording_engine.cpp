// A browser engine library for tests: it exports every name of the engine's
// list, logs each call of the exports the browser control calls, makes a plain
// widget as each view's browser window, and fires the registered
// notifications when a test asks (recordingFire).

#include <QLineEdit>
#include <map>
#include <string>
#include <vector>

#include "platform/wke_api.h"

#define RECORDING_API extern "C" __attribute__((visibility("default")))

namespace {

struct RecordedView {
  QWidget* widget = nullptr;
  std::map<std::string, std::pair<void*, void*>> notifications;  // name -> (callback, param)
};

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::map<WkeView, RecordedView>& Views() {
  static std::map<WkeView, RecordedView> views;
  return views;
}

std::string s_cookie;
std::string s_joined;
std::string s_title = "recorded title";
bool s_initialized = false;
int s_nextView = 1;

void Record(std::string line) {
  Log().push_back(std::move(line));
}

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) {
    out += *text < 0x80 ? static_cast<char>(*text) : '?';
  }
  return out;
}

std::string Text(const char* text) {
  return text != nullptr ? text : "(null)";
}

}  // namespace

#define RECORDING_NOTHING(name)
#define RECORDING_STUB(name)                 \
  RECORDING_API std::intptr_t name() {       \
    Record(#name);                           \
    return 0;                                \
  }
WKE_EXPORT_LIST(RECORDING_NOTHING, RECORDING_STUB)

RECORDING_API void wkeInitializeEx(const WkeEngineSettings*) {
  Record("wkeInitializeEx");
  s_initialized = true;
}

RECORDING_API int wkeIsInitialize() {
  Record("wkeIsInitialize");
  return s_initialized ? 1 : 0;
}

RECORDING_API WkeView wkeCreateWebWindow(int type, WkeWindowHandle parent, int x, int y, int width,
                                         int height) {
  Record("wkeCreateWebWindow " + std::to_string(type) + " " + std::to_string(x) + " " +
         std::to_string(y) + " " + std::to_string(width) + " " + std::to_string(height));
  auto* parentWidget = type == kWkeWindowControl ? reinterpret_cast<QWidget*>(parent) : nullptr;
  // An edit line, so that tests see which typed characters arrive.
  auto* widget = new QLineEdit(parentWidget);
  widget->setFocusPolicy(Qt::StrongFocus);
  widget->setGeometry(x == kWkeDefaultPosition ? 0 : x, y, width > 0 ? width : 1,
                      height > 0 ? height : 1);
  auto view = reinterpret_cast<WkeView>(static_cast<std::intptr_t>(s_nextView++));
  Views()[view].widget = widget;
  QObject::connect(widget, &QObject::destroyed, [view] { Views().erase(view); });
  return view;
}

RECORDING_API WkeWindowHandle wkeGetWindowHandle(WkeView view) {
  const auto it = Views().find(view);
  return it != Views().end() ? reinterpret_cast<WkeWindowHandle>(it->second.widget) : 0;
}

RECORDING_API void wkeShowWindow(WkeView, int show) {
  Record("wkeShowWindow " + std::to_string(show));
}

RECORDING_API void wkeSetWindowTitleW(WkeView view, const char16_t* title) {
  Record("wkeSetWindowTitleW " + Narrow(title));
  const auto it = Views().find(view);
  if (it != Views().end()) {
    it->second.widget->setWindowTitle(QString::fromUtf16(title));
  }
}

#define RECORDING_INT(name)                              \
  RECORDING_API void name(WkeView, int value) {          \
    Record(std::string(#name) + " " + std::to_string(value)); \
  }
RECORDING_INT(wkeSetTransparent)
RECORDING_INT(wkeSetCspCheckEnable)
RECORDING_INT(wkeSetNpapiPluginsEnabled)
RECORDING_INT(wkeSetNavigationToNewWindowEnable)
RECORDING_INT(wkeSetCookieEnabled)
RECORDING_INT(wkePerformCookieCommand)

#define RECORDING_WIDE(name)                                  \
  RECORDING_API void name(WkeView, const char16_t* text) {    \
    Record(std::string(#name) + " " + Narrow(text));          \
  }
RECORDING_WIDE(wkeSetLocalStorageFullPath)
RECORDING_WIDE(wkeSetCookieJarPath)
RECORDING_WIDE(wkeLoadURLW)
RECORDING_WIDE(wkeLoadHTMLW)

RECORDING_API void wkeSetUserAgent(WkeView, const char* text) {
  Record("wkeSetUserAgent " + Text(text));
}

RECORDING_API void wkeLoadURL(WkeView, const char* text) {
  Record("wkeLoadURL " + Text(text));
}

RECORDING_API void wkeReload(WkeView) {
  Record("wkeReload");
}

RECORDING_API const char* wkeGetTitle(WkeView) {
  return s_title.c_str();
}

RECORDING_API const char* wkeGetCookie(WkeView) {
  Record("wkeGetCookie");
  return s_cookie.c_str();
}

RECORDING_API const char16_t* wkeGetStringW(WkeString text) {
  return text != nullptr ? reinterpret_cast<const std::u16string*>(text)->c_str() : nullptr;
}

#define RECORDING_ON(name)                                                    \
  RECORDING_API void name(WkeView view, void* callback, void* param) {       \
    Record(#name);                                                            \
    Views()[view].notifications[#name] = {callback, param};                  \
  }
RECORDING_ON(wkeOnDocumentReady2)
RECORDING_ON(wkeOnTitleChanged)
RECORDING_ON(wkeOnURLChanged2)
RECORDING_ON(wkeOnNavigation)
RECORDING_ON(wkeOnCreateView)
RECORDING_ON(wkeOnLoadingFinish)
RECORDING_ON(wkeOnConsole)
RECORDING_ON(wkeOnAlertBox)
RECORDING_ON(wkeOnConfirmBox)
RECORDING_ON(wkeOnPromptBox)
RECORDING_ON(wkeOnDownload)
RECORDING_ON(wkeOnLoadUrlBegin)
RECORDING_ON(wkeOnLoadUrlEnd)
RECORDING_ON(wkeOnMouseOverUrlChanged)
RECORDING_ON(wkeOnWindowClosing)
RECORDING_ON(wkeOnWindowDestroy)
RECORDING_ON(wkeOnPaintUpdated)

namespace {
WkeFileChooserCallback s_chooser = nullptr;
void* s_chooserParam = nullptr;
}  // namespace

RECORDING_API void wkeOnFileChooser(WkeFileChooserCallback callback, void* param) {
  Record(callback != nullptr ? "wkeOnFileChooser set" : "wkeOnFileChooser cleared");
  s_chooser = callback;
  s_chooserParam = param;
}

// The tests' side.

// The calls so far, one per line.
RECORDING_API const char* recordingLog() {
  s_joined.clear();
  for (const std::string& line : Log()) {
    s_joined += line + "\n";
  }
  return s_joined.c_str();
}

RECORDING_API void recordingClear() {
  Log().clear();
}

RECORDING_API void recordingSetCookie(const char* text) {
  s_cookie = text;
}

// Fires the notification `name` of `view` with the texts and numbers it
// takes; returns its answer (a view as an integer for wkeOnCreateView), or -99
// when nothing is registered.
RECORDING_API std::intptr_t recordingFire(WkeView view, const char* name, const char16_t* text,
                                          const char16_t* text2, std::intptr_t number,
                                          const WkeWindowFeatures* features) {
  const auto found = Views().find(view);
  if (found == Views().end()) {
    return -99;
  }
  const auto it = found->second.notifications.find(name);
  if (it == found->second.notifications.end()) {
    return -99;
  }
  void* callback = it->second.first;
  void* param = it->second.second;
  std::u16string first = text != nullptr ? text : u"";
  std::u16string second = text2 != nullptr ? text2 : u"";
  auto* a = reinterpret_cast<WkeString>(&first);
  auto* b = reinterpret_cast<WkeString>(&second);
  const std::string utf8(first.begin(), first.end());
  const std::string key = name;
  if (key == "wkeOnNavigation") {
    return reinterpret_cast<WkeNavigationCallback>(callback)(view, param, static_cast<int>(number), a);
  }
  if (key == "wkeOnCreateView") {
    return reinterpret_cast<std::intptr_t>(reinterpret_cast<WkeCreateViewCallback>(callback)(
        view, param, static_cast<int>(number), a, features));
  }
  if (key == "wkeOnConfirmBox") {
    return reinterpret_cast<WkeConfirmBoxCallback>(callback)(view, param, a);
  }
  if (key == "wkeOnPromptBox") {
    return reinterpret_cast<WkePromptBoxCallback>(callback)(view, param, a, b);
  }
  if (key == "wkeOnDownload") {
    return reinterpret_cast<WkeDownloadCallback>(callback)(view, param, utf8.c_str());
  }
  if (key == "wkeOnLoadUrlBegin") {
    return reinterpret_cast<WkeLoadUrlBeginCallback>(callback)(view, param, utf8.c_str(), nullptr);
  }
  if (key == "wkeOnWindowClosing") {
    return reinterpret_cast<WkeWindowClosingCallback>(callback)(view, param);
  }
  if (key == "wkeOnTitleChanged") {
    reinterpret_cast<WkeTitleChangedCallback>(callback)(view, param, a);
    return 0;
  }
  if (key == "wkeOnWindowDestroy") {
    reinterpret_cast<WkeWindowDestroyCallback>(callback)(view, param);
    return 0;
  }
  return -98;
}

// Asks the registered file chooser as a page would; the chosen name lands in
// `buffer`.
RECORDING_API int recordingChooseFile(WkeView view, char16_t* buffer, std::size_t chars) {
  return s_chooser != nullptr ? s_chooser(s_chooserParam, view, buffer, chars) : -99;
}
