#pragma once
// The C interface of the browser engine library: the types its exports take
// and the signatures of the exports the browser control calls. The library is
// loaded at run time and bound by name (wke_export_list.h holds the names);
// nothing here links against it.
//
// Window handles are WindowHandle (the widget's address). Wide texts are
// UTF-16 (char16_t), narrow texts UTF-8. Every call and every notification
// happens on the user-interface thread.

#include <cstddef>
#include <cstdint>

#include "platform/wke_export_list.h"

extern "C" {

using WkeWindowHandle = std::intptr_t;
// A view of the engine: one page in one browser window.
typedef struct WkeViewData* WkeView;
// An engine text, read with wkeGetStringW; valid during the notification.
typedef struct WkeStringData* WkeString;

// Window types of wkeCreateWebWindow.
enum : int { kWkeWindowPopup = 0, kWkeWindowTransparent = 1, kWkeWindowControl = 2 };
// The position value that leaves a top-level window's placement to the window
// system.
inline constexpr int kWkeDefaultPosition = static_cast<int>(0x80000000u);

// The settings record handed to wkeInitializeEx.
struct WkeEngineSettings {
  unsigned char bytes[216];
};

// What a page asked of a new window.
struct WkeWindowFeatures {
  int x;
  int y;
  int width;
  int height;
};

// Navigation types of the navigation and new-window notifications.
enum : int {
  kWkeNavigationLinkClick = 0,
  kWkeNavigationFormSubmit = 1,
  kWkeNavigationBackForward = 2,
  kWkeNavigationReload = 3,
  kWkeNavigationFormResubmit = 4,
  kWkeNavigationOther = 5,
};

// Cookie commands of wkePerformCookieCommand.
enum : int {
  kWkeCookieClearAll = 0,
  kWkeCookieClearSession = 1,
  kWkeCookieFlushToFile = 2,
  kWkeCookieReloadFromFile = 3,
};

// Notifications, each registered per view with a user value.
typedef void (*WkeDocumentReady2Callback)(WkeView view, void* param, std::intptr_t frameId);
typedef void (*WkeTitleChangedCallback)(WkeView view, void* param, WkeString title);
typedef void (*WkeUrlChanged2Callback)(WkeView view, void* param, std::intptr_t frameId,
                                       WkeString url);
typedef int (*WkeNavigationCallback)(WkeView view, void* param, int navigationType, WkeString url);
typedef WkeView (*WkeCreateViewCallback)(WkeView view, void* param, int navigationType,
                                         WkeString url, const WkeWindowFeatures* features);
typedef void (*WkeLoadingFinishCallback)(WkeView view, void* param, WkeString url, int result,
                                         WkeString failedReason);
typedef void (*WkeConsoleCallback)(WkeView view, void* param, int level, WkeString message,
                                   WkeString sourceName, unsigned sourceLine,
                                   WkeString stackTrace);
typedef void (*WkeAlertBoxCallback)(WkeView view, void* param, WkeString message);
typedef int (*WkeConfirmBoxCallback)(WkeView view, void* param, WkeString message);
// A true answer gives the page the default text, false cancels the prompt.
typedef int (*WkePromptBoxCallback)(WkeView view, void* param, WkeString message,
                                    WkeString defaultText);
typedef int (*WkeDownloadCallback)(WkeView view, void* param, const char* url);
typedef int (*WkeLoadUrlBeginCallback)(WkeView view, void* param, const char* url, void* job);
typedef void (*WkeLoadUrlEndCallback)(WkeView view, void* param, const char* url, void* job,
                                      void* data, int length);
typedef void (*WkeMouseOverUrlChangedCallback)(WkeView view, void* param, WkeString url);
typedef int (*WkeWindowClosingCallback)(WkeView view, void* param);
typedef void (*WkeWindowDestroyCallback)(WkeView view, void* param);
typedef void (*WkePaintUpdatedCallback)(WkeView view, void* param, void* surface, int x, int y,
                                        int width, int height);

// The file chooser of a page (our engine's own export, in place of hooking
// the system's open dialog). The callback writes the chosen name, zero
// terminated, into `buffer` (room for `bufferChars` characters) and answers
// kWkeFileChosen; kWkeFileCancelled gives the page no file; kWkeFileDefault
// lets the engine show its own dialog.
enum : int { kWkeFileDefault = -1, kWkeFileCancelled = 0, kWkeFileChosen = 1 };
typedef int (*WkeFileChooserCallback)(void* param, WkeView view, char16_t* buffer,
                                      std::size_t bufferChars);

// The signatures of the exports the program calls.
typedef void (*WkeInitializeExFn)(const WkeEngineSettings* settings);
typedef int (*WkeIsInitializeFn)();
typedef WkeView (*WkeCreateWebWindowFn)(int type, WkeWindowHandle parent, int x, int y, int width,
                                        int height);
typedef WkeWindowHandle (*WkeGetWindowHandleFn)(WkeView view);
typedef void (*WkeViewIntFn)(WkeView view, int value);
typedef void (*WkeViewFn)(WkeView view);
typedef void (*WkeViewTextFn)(WkeView view, const char* text);
typedef void (*WkeViewWideTextFn)(WkeView view, const char16_t* text);
typedef const char* (*WkeViewGetTextFn)(WkeView view);
typedef const char16_t* (*WkeGetStringWFn)(WkeString text);
typedef void (*WkeOnFileChooserFn)(WkeFileChooserCallback callback, void* param);

}  // extern "C"

// The registration export of a notification: wkeOnTitleChanged is
// WkeOnFn<WkeTitleChangedCallback>.
template <typename Callback>
using WkeOnFn = void (*)(WkeView view, Callback callback, void* param);
