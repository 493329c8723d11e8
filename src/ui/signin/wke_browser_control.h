#pragma once
// WkeBrowserControl: a window control showing web pages in a view of the
// browser engine library (bound by WkeEngine). It has nine own properties
// with a stored form, three operations the owner calls with a control
// reference, and numbered events raised to the owner's dispatch
// (ui/control_events.h). Instances are listed in WkeBrowserRegistry by window
// id and control id; pop-up windows opened for a page get instances of their
// own that raise no events. Everything runs on the user-interface thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/window_procedure.h"
#include "platform/wke_api.h"
#include "ui/control_events.h"

inline constexpr const char* kWkeControlTypeName = "webkit";
// The window property holding the instance of a browser window.
inline constexpr const char* kWkeInstanceProperty = "{B419B3FF-F46F-42E2-A836-F28452158010}";
inline constexpr std::uint32_t kWkePropertyMarker = 0x0C060701;

// Property indexes.
enum WkeProperty : int {
  kWkeUrl = 0,
  kWkeTitle = 1,
  kWkeDisableF5Refresh = 2,
  kWkeDisableCookies = 3,
  kWkeLocalStoragePath = 4,
  kWkeCookieJarPath = 5,
  kWkeUserAgent = 6,
  kWkeDesignPreview = 7,
  kWkeAllowNewWindows = 8,
};

// Event numbers.
enum WkeEvent : int {
  kWkeEventDocumentReady = 0,
  kWkeEventTitleChanged = 1,
  kWkeEventUrlChanged = 2,
  kWkeEventNavigating = 3,
  kWkeEventNewWindowRequested = 4,
  kWkeEventLoadingFinished = 5,
  kWkeEventConsoleMessage = 6,
  kWkeEventAlertBox = 7,
  kWkeEventConfirmBox = 8,
  kWkeEventPromptBox = 9,
  kWkeEventDownloadRequested = 10,
  kWkeEventRequestStarting = 11,
  kWkeEventRequestFinished = 12,
  kWkeEventLinkHovered = 13,
  kWkeEventLeftButtonDown = 14,
  kWkeEventLeftButtonUp = 15,
  kWkeEventLeftDoubleClick = 16,
  kWkeEventRightButtonDown = 17,
  kWkeEventRightButtonUp = 18,
  kWkeEventMouseMoved = 19,
  kWkeEventFocusGained = 20,
  kWkeEventFocusLost = 21,
  kWkeEventKeyDown = 22,
  kWkeEventKeyUp = 23,
  kWkeEventCharTyped = 24,
  kWkeEventScrolled = 25,
  kWkeEventPopupCreating = 26,
  kWkeEventPopupCreated = 27,
  kWkeEventWindowClosing = 28,
  kWkeEventWindowDestroyed = 29,
  kWkeEventFileChooserOpening = 32,
};

// A property value: a code page 936 text or a 32-bit logical value.
struct WkePropertyValue {
  std::string text;
  std::int32_t integer = 0;
};

// The stored form of the own properties: the marker, then DisableF5Refresh,
// DisableCookies, Url, LocalStoragePath, CookieJarPath, UserAgent and
// AllowNewWindows (integers 32-bit little-endian, texts ending in a zero).
using WkeBrowserPropertyBlob = std::vector<unsigned char>;

// Which instance an operation addresses: by window id and control id, or,
// with control id 0, the instance itself.
struct WkeControlReference {
  int windowId = 0;
  int controlId = 0;
  class WkeBrowserControl* instance = nullptr;
};

// What raising an event gave: whether a handler ran, and its value.
struct WkeRaised {
  bool ran = false;
  bool hasResult = false;
  std::intptr_t result = 0;
  // The event as the handler left it (texts passed by address).
  ControlEvent event;
  // The rules of the events table.
  bool NotFalse() const { return !ran || !hasResult || result != 0; }
  bool HandlerSaidFalse() const { return ran && hasResult && result == 0; }
};

// The image the control keeps of its parent's client area, made with the
// instance and released with it; nothing draws into it (the engine's window
// paints itself).
struct MemoryDcSurface {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  // An image of `width` x `height` pixels (none for a negative size).
  static MemoryDcSurface ForClientArea(int width, int height);
};

// The engine view with its MemoryDcSurface.
struct WkeViewHolder {
  WkeView view = nullptr;
  MemoryDcSurface surface;
};

class WkeBrowserControl {
 public:
  WkeBrowserControl() = default;
  WkeBrowserControl(const WkeBrowserControl&) = delete;
  WkeBrowserControl& operator=(const WkeBrowserControl&) = delete;

  // Creation; returns the host handle, or 0 when the control is not made.
  static HostHandle Create(const void* stored, int length, std::uint32_t style,
                           WindowHandle parent, int childId, int left, int top, int width,
                           int height, int windowId, int controlId, WindowHandle designWindow,
                           bool designMode);

  // Properties by host handle. GetProperty hands out copies of texts.
  static bool GetProperty(HostHandle host, int index, WkePropertyValue& value);
  static int SetProperty(HostHandle host, int index, const WkePropertyValue& value);
  // The stored form, or none for a handle that names no instance.
  static std::optional<WkeBrowserPropertyBlob> SaveProperties(HostHandle host);
  // Reads a stored form of `length` bytes, never past it.
  static void LoadProperties(WkeBrowserControl& instance, const void* stored, int length);

  // The three operations.
  static void LoadUrl(const WkeControlReference& control, const std::string& address);
  static std::string GetCookieText(const WkeControlReference& control);
  static void RunCookieCommand(const WkeControlReference& control, int command);

  // The owner's queries.
  static constexpr int kDefaultWidth = 200;
  static constexpr int kDefaultHeight = 100;
  static bool WantsSpecialKeys() { return false; }
  static bool UpdatePropertyEntry() { return true; }
  static bool HasCustomDataDialog() { return false; }

  // Events (wke_browser_events.cpp).
  static void RegisterEngineCallbacks(WkeBrowserControl* instance, WkeView view);
  static void Subclass(WkeBrowserControl* instance);
  static std::intptr_t WindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam);
  static WkeRaised RaiseEvent(WkeBrowserControl* instance, int eventNumber, ControlEvent event);
  static WkeView OpenPopup(WkeBrowserControl* requester, WindowHandle parent, int left, int top,
                           int width, int height, bool raiseEvents);

  // The instance of a reference or host handle; null when none is live.
  static WkeBrowserControl* Resolve(const WkeControlReference& control);
  static WkeBrowserControl* FromHost(HostHandle host);

  // Creation inputs.
  WindowHandle designWindow = 0;
  WindowHandle parentWindow = 0;
  int childId = 0;
  std::uint32_t style = 0;
  int windowId = 0;
  int controlId = 0;
  bool designMode = false;

  WindowHandle browserWindow = 0;
  HostHandle hostHandle = 0;
  unsigned flags = 0;  // bit 0: running instance
  bool popup = false;

  // Own properties, each text also as UTF-16 for the engine's wide calls.
  std::string url;
  std::u16string urlWide;
  std::string localStoragePath;
  std::u16string localStoragePathWide;
  std::string cookieJarPath;
  std::u16string cookieJarPathWide;
  std::string userAgent;
  std::u16string userAgentWide;
  std::int32_t disableF5Refresh = 0;
  std::int32_t disableCookies = 0;
  std::int32_t designPreview = 0;
  std::int32_t allowNewWindows = 0;

  std::u16string programFolder;  // ends in "/"
  std::unique_ptr<WkeViewHolder> holder;
  WindowProcedure previousProcedure = nullptr;

  bool Running() const { return (flags & 1u) != 0; }
  WkeView View() const { return holder ? holder->view : nullptr; }
  // The teardown of a destroyed browser window: releases the instance.
  static void TearDown(WkeBrowserControl* instance);
};

// The registry entry of one control.
struct WkeRegistryEntry {
  std::int32_t windowId = 0;
  std::int32_t controlId = 0;
  HostHandle host = 0;
  WkeBrowserControl* instance = nullptr;
};

// Every control created by window id and control id; entries are appended,
// never removed, cleared when their browser window goes.
class WkeBrowserRegistry {
 public:
  static std::vector<WkeRegistryEntry>& Entries();
  static WkeRegistryEntry* Find(int windowId, int controlId);
  static void Write(int windowId, int controlId, HostHandle host, WkeBrowserControl* instance);
  // Clears the entry only while it still names `instance`.
  static void Clear(int windowId, int controlId, const WkeBrowserControl* instance);
};

// The stored form of an instance's own properties.
WkeBrowserPropertyBlob MakeWkePropertyBlob(const WkeBrowserControl& instance);

// The user-agent presets offered for the UserAgent property: each name stands
// for a full user-agent text.
class UserAgentPresets {
 public:
  struct Preset {
    std::string name;
    std::string agent;
  };
  // The presets in the order they are offered.
  static const std::vector<Preset>& Table();
  // The user-agent text a set text stands for (a preset name, compared byte
  // for byte, gives its text; any other text itself).
  static std::string Resolve(const std::string& text);
  // The choices offered for the property: the empty text, then every name.
  static const std::vector<std::string>& Names();
};

// An engine data folder: empty in design mode; a text beginning with "/" as
// it is, any other below the program folder; ending in "/".
std::u16string MakeEngineDataPath(const WkeBrowserControl& instance, const std::string& text);

// The program's file chooser, process-wide: the engine's file-chooser callback
// and the answerer of the process's wide open dialog, both raising the
// file-chooser event on the target (the first running instance). The answerer
// installed before it answers what the event leaves to the dialog, and comes
// back when the hook is removed.
class FileChooserHook {
 public:
  // Once per process (later calls do nothing); removed at exit.
  static void Install(WkeBrowserControl* target);
  static void Remove();
  // The teardown of `instance`: when it is the target, the file chooser
  // raises no event from then on.
  static void ForgetTarget(const WkeBrowserControl* instance);
  // Tests: removes the hook so that the next running instance installs it
  // again.
  static void ResetForTesting();
};
