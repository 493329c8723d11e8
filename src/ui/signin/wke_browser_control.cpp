// WkeBrowserControl: creation, properties, the three operations, the registry
// and the teardown.

#include "ui/signin/wke_browser_control.h"

#include <cerrno>
#include <string>

#include "foundation/run_directory.h"
#include "platform/code_page_codec.h"
#include "platform/desktop.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/window_system.h"
#include "ui/signin/wke_engine.h"

namespace {

std::u16string Wide(const std::string& text) {
  return text.empty() ? std::u16string() : DecodeToUtf16(text, kCodePageLocal);
}

void SetText(std::string& narrow, std::u16string& wide, const std::string& text) {
  wide = Wide(text);
  narrow = EncodeFromUtf16(wide, kCodePageLocal);
}

// A blank page: a single space.
void LoadBlank(WkeView view) {
  WkeExport<WkeViewWideTextFn>(kWke_wkeLoadHTMLW)(view, u" ");
}

// Owned by the window the control was to be made on.
void ShowCreationFailure(WindowHandle parent) {
  const std::string text = std::string("创建") + kWkeControlTypeName +
                           "浏览器组件失败\n错误码 = " + std::to_string(errno);
  GetDesktop().ShowOwnedMessageBox(parent, "创建组件失败", text, kBoxOk | kBoxIconError, 0);
}

}  // namespace

std::vector<WkeRegistryEntry>& WkeBrowserRegistry::Entries() {
  static auto* entries = [] {
    auto* made = new std::vector<WkeRegistryEntry>;
    made->reserve(100);
    return made;
  }();
  return *entries;
}

WkeRegistryEntry* WkeBrowserRegistry::Find(int windowId, int controlId) {
  for (WkeRegistryEntry& entry : Entries()) {
    if (entry.windowId == windowId && entry.controlId == controlId) {
      return &entry;
    }
  }
  return nullptr;
}

void WkeBrowserRegistry::Write(int windowId, int controlId, HostHandle host,
                               WkeBrowserControl* instance) {
  if (WkeRegistryEntry* entry = Find(windowId, controlId)) {
    entry->host = host;
    entry->instance = instance;
    return;
  }
  std::vector<WkeRegistryEntry>& entries = Entries();
  if (entries.size() == entries.capacity()) {
    entries.reserve(entries.capacity() * 2);
  }
  entries.push_back({windowId, controlId, host, instance});
}

void WkeBrowserRegistry::Clear(int windowId, int controlId, const WkeBrowserControl* instance) {
  WkeRegistryEntry* entry = Find(windowId, controlId);
  if (entry != nullptr && entry->instance == instance) {
    entry->host = 0;
    entry->instance = nullptr;
  }
}

WkeBrowserControl* WkeBrowserControl::Resolve(const WkeControlReference& control) {
  if (control.controlId == 0) {
    return control.instance;
  }
  WkeRegistryEntry* entry = WkeBrowserRegistry::Find(control.windowId, control.controlId);
  return entry != nullptr ? entry->instance : nullptr;
}

WkeBrowserControl* WkeBrowserControl::FromHost(HostHandle host) {
  if (host == 0) {
    return nullptr;
  }
  for (const WkeRegistryEntry& entry : WkeBrowserRegistry::Entries()) {
    if (entry.host == host && entry.instance != nullptr) {
      return entry.instance;
    }
  }
  return nullptr;
}

HostHandle WkeBrowserControl::Create(const void* stored, int length, std::uint32_t style,
                                     WindowHandle parent, int childId, int left, int top, int width,
                                     int height, int windowId, int controlId,
                                     WindowHandle designWindow, bool designMode) {
  // 1. The engine.
  if (!WkeEngine::EnsureReady()) {
    // Without a library file the user has seen where to put it; a library that
    // does not load or lacks what the control calls makes no browser window.
    if (!WkeEngine::LibraryPath().empty()) {
      ShowCreationFailure(parent);
    }
    return 0;
  }
  // 2. A live instance of the same ids gets its window closed; the new window
  //    gets a new instance, so that the old window's teardown cannot reach it.
  if (WkeRegistryEntry* entry = WkeBrowserRegistry::Find(windowId, controlId);
      entry != nullptr && entry->instance != nullptr && entry->host != 0) {
    PostCloseMessage(entry->instance->browserWindow);
  }
  auto owned = std::make_unique<WkeBrowserControl>();
  WkeBrowserControl* instance = owned.get();
  // 3. Stored properties.
  LoadProperties(*instance, stored, length);
  // 4. Creation inputs.
  instance->style = style;
  instance->parentWindow = parent;
  instance->childId = childId;
  instance->windowId = windowId;
  instance->controlId = controlId;
  instance->designWindow = designWindow;
  instance->designMode = designMode;
  // 5. The view.
  instance->holder = std::make_unique<WkeViewHolder>();
  WkeView view = WkeExport<WkeCreateWebWindowFn>(kWke_wkeCreateWebWindow)(kWkeWindowControl, parent,
                                                                          left, top, width, height);
  if (view != nullptr) {
    instance->holder->view = view;
    int clientWidth = 0;
    int clientHeight = 0;
    GetWindowSystem().GetClientSize(parent, clientWidth, clientHeight);
    instance->holder->surface = MemoryDcSurface::ForClientArea(clientWidth, clientHeight);
    WkeExport<WkeViewIntFn>(kWke_wkeShowWindow)(view, 1);
    WkeExport<WkeViewIntFn>(kWke_wkeSetTransparent)(view, 0);
    const WindowHandle handle = WkeExport<WkeGetWindowHandleFn>(kWke_wkeGetWindowHandle)(view);
    if (handle != 0 && WindowHandleOf(reinterpret_cast<QWidget*>(handle)) != 0) {
      WkeExport<WkeViewIntFn>(kWke_wkeSetCspCheckEnable)(view, 0);
      WkeExport<WkeViewIntFn>(kWke_wkeSetNpapiPluginsEnabled)(view, 1);
      WkeExport<WkeViewIntFn>(kWke_wkeSetNavigationToNewWindowEnable)(view, 1);
    }
    // 6. The holder's paint forwarding: it draws nothing.
    WkeExport<WkeOnFn<WkePaintUpdatedCallback>>(kWke_wkeOnPaintUpdated)(
        view, [](WkeView, void*, void*, int, int, int, int) {}, instance->holder.get());
  }
  // 7. The browser window (Qt reports double clicks by itself).
  instance->browserWindow =
      view != nullptr ? WkeExport<WkeGetWindowHandleFn>(kWke_wkeGetWindowHandle)(view) : 0;
  // 8.
  if (instance->browserWindow == 0) {
    ShowCreationFailure(parent);
    return 0;
  }
  WindowHandleOf(reinterpret_cast<QWidget*>(instance->browserWindow));
  // 9.
  if (!instance->userAgent.empty()) {
    WkeExport<WkeViewTextFn>(kWke_wkeSetUserAgent)(view, instance->userAgent.c_str());
  }
  if (instance->disableCookies != 0) {
    WkeExport<WkeViewIntFn>(kWke_wkeSetCookieEnabled)(view, 0);
  }
  if (designMode) {
    // 10.
    if (instance->designPreview != 0 && !instance->url.empty()) {
      WkeExport<WkeViewWideTextFn>(kWke_wkeLoadURLW)(view, instance->urlWide.c_str());
    }
  } else {
    // 11.
    std::string folder = GetRunDirectory();
    if (folder.empty() || folder.back() != '/') {
      folder += '/';
    }
    instance->programFolder = Wide(folder);
    // 12, 13.
    if (!instance->localStoragePath.empty()) {
      WkeExport<WkeViewWideTextFn>(kWke_wkeSetLocalStorageFullPath)(
          view, MakeEngineDataPath(*instance, instance->localStoragePath).c_str());
    }
    if (!instance->cookieJarPath.empty()) {
      WkeExport<WkeViewWideTextFn>(kWke_wkeSetCookieJarPath)(
          view, MakeEngineDataPath(*instance, instance->cookieJarPath).c_str());
    }
    // 14.
    if (!instance->url.empty()) {
      WkeExport<WkeViewWideTextFn>(kWke_wkeLoadURLW)(view, instance->urlWide.c_str());
    }
    // 15.
    WkeExport<WkeViewIntFn>(kWke_wkeSetNavigationToNewWindowEnable)(view,
                                                                    instance->allowNewWindows != 0);
    instance->flags |= 1u;
    RegisterEngineCallbacks(instance, view);
    FileChooserHook::Install(instance);
  }
  // 16.
  instance->hostHandle = RegisterHostedWindow(instance->browserWindow);
  WkeBrowserRegistry::Write(windowId, controlId, instance->hostHandle, instance);
  owned.release();  // released by the teardown of its browser window
  return instance->hostHandle;
}

void WkeBrowserControl::TearDown(WkeBrowserControl* instance) {
  RemoveWindowProperty(instance->browserWindow, kWkeInstanceProperty);
  if (instance->previousProcedure != nullptr) {
    SetWindowProcedure(instance->browserWindow, instance->previousProcedure);
  }
  if (!instance->popup) {
    WkeBrowserRegistry::Clear(instance->windowId, instance->controlId, instance);
  }
  FileChooserHook::ForgetTarget(instance);
  instance->holder.reset();
  delete instance;
}

bool WkeBrowserControl::GetProperty(HostHandle host, int index, WkePropertyValue& value) {
  WkeBrowserControl* instance = FromHost(host);
  if (instance == nullptr) {
    return false;
  }
  value = {};
  switch (index) {
    case kWkeUrl:
      value.text = instance->url;
      return true;
    case kWkeTitle: {
      const char* title = WkeExport<WkeViewGetTextFn>(kWke_wkeGetTitle)(instance->View());
      value.text = title != nullptr ? std::string(title) : std::string();
      return true;
    }
    case kWkeDisableF5Refresh:
      value.integer = instance->disableF5Refresh;
      return true;
    case kWkeDisableCookies:
      value.integer = instance->disableCookies;
      return true;
    case kWkeLocalStoragePath:
      value.text = instance->localStoragePath;
      return true;
    case kWkeCookieJarPath:
      value.text = instance->cookieJarPath;
      return true;
    case kWkeUserAgent:
      value.text = instance->userAgent;
      return true;
    case kWkeAllowNewWindows:
      value.integer = instance->allowNewWindows;
      return true;
    default:
      return false;
  }
}

int WkeBrowserControl::SetProperty(HostHandle host, int index, const WkePropertyValue& value) {
  WkeBrowserControl* instance = FromHost(host);
  if (instance == nullptr) {
    return 0;
  }
  WkeView view = instance->View();
  const bool live = !instance->designMode || instance->designPreview != 0;
  switch (index) {
    case kWkeUrl:
      SetText(instance->url, instance->urlWide, value.text);
      if (instance->url.empty()) {
        LoadBlank(view);
      } else if (!instance->designMode || instance->designPreview != 0) {
        WkeExport<WkeViewWideTextFn>(kWke_wkeLoadURLW)(view, instance->urlWide.c_str());
      }
      break;
    case kWkeDisableF5Refresh:
      instance->disableF5Refresh = value.integer;
      break;
    case kWkeDisableCookies:
      instance->disableCookies = value.integer;
      WkeExport<WkeViewIntFn>(kWke_wkeSetCookieEnabled)(view, value.integer == 0 ? 1 : 0);
      break;
    case kWkeLocalStoragePath:
      SetText(instance->localStoragePath, instance->localStoragePathWide, value.text);
      WkeExport<WkeViewWideTextFn>(kWke_wkeSetLocalStorageFullPath)(
          view, MakeEngineDataPath(*instance, instance->localStoragePath).c_str());
      break;
    case kWkeCookieJarPath:
      SetText(instance->cookieJarPath, instance->cookieJarPathWide, value.text);
      WkeExport<WkeViewWideTextFn>(kWke_wkeSetCookieJarPath)(
          view, MakeEngineDataPath(*instance, instance->cookieJarPath).c_str());
      break;
    case kWkeUserAgent:
      SetText(instance->userAgent, instance->userAgentWide, UserAgentPresets::Resolve(value.text));
      if (live) {
        WkeExport<WkeViewTextFn>(kWke_wkeSetUserAgent)(view, instance->userAgent.c_str());
        WkeExport<WkeViewFn>(kWke_wkeReload)(view);
      }
      break;
    case kWkeDesignPreview:
      instance->designPreview = value.integer;
      if (value.integer != 0) {
        if (!instance->userAgent.empty()) {
          WkeExport<WkeViewTextFn>(kWke_wkeSetUserAgent)(view, instance->userAgent.c_str());
        }
        if (!instance->url.empty()) {
          WkeExport<WkeViewWideTextFn>(kWke_wkeLoadURLW)(view, instance->urlWide.c_str());
        }
      } else {
        LoadBlank(view);
      }
      break;
    case kWkeAllowNewWindows:
      instance->allowNewWindows = value.integer;
      WkeExport<WkeViewIntFn>(kWke_wkeSetNavigationToNewWindowEnable)(view, value.integer != 0);
      break;
    default:
      break;
  }
  return 0;
}

std::optional<WkeBrowserPropertyBlob> WkeBrowserControl::SaveProperties(HostHandle host) {
  WkeBrowserControl* instance = FromHost(host);
  if (instance == nullptr) {
    return std::nullopt;
  }
  return MakeWkePropertyBlob(*instance);
}

void WkeBrowserControl::LoadUrl(const WkeControlReference& control, const std::string& address) {
  WkeBrowserControl* instance = Resolve(control);
  if (instance == nullptr || instance->View() == nullptr) {
    return;
  }
  WkeExport<WkeViewTextFn>(kWke_wkeLoadURL)(instance->View(), address.c_str());
}

std::string WkeBrowserControl::GetCookieText(const WkeControlReference& control) {
  WkeBrowserControl* instance = Resolve(control);
  if (instance == nullptr || instance->View() == nullptr) {
    return {};
  }
  const char* cookies = WkeExport<WkeViewGetTextFn>(kWke_wkeGetCookie)(instance->View());
  return cookies != nullptr ? std::string(cookies) : std::string();
}

void WkeBrowserControl::RunCookieCommand(const WkeControlReference& control, int command) {
  WkeBrowserControl* instance = Resolve(control);
  if (instance == nullptr || instance->View() == nullptr) {
    return;
  }
  const int sent = command >= 1 && command <= 3 ? command : 0;
  WkeExport<WkeViewIntFn>(kWke_wkePerformCookieCommand)(instance->View(), sent);
}
