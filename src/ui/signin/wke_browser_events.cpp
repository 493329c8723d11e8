// WkeBrowserControl: the events. Engine notifications and the browser
// window's messages become numbered events for the owner; pop-up windows get
// instances of their own that behave as a plain browser; the engine's file
// chooser asks the process's wide open dialog, which raises the file-chooser
// event on the first running instance.

#include <cstdlib>

#include "platform/code_page_codec.h"
#include "platform/file_dialogs.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/window_system.h"
#include "ui/signin/wke_browser_control.h"
#include "ui/signin/wke_engine.h"

namespace {

WkeBrowserControl* Of(void* param) {
  return static_cast<WkeBrowserControl*>(param);
}

// An engine text as code page 936 (a null text is empty).
std::string FromWke(WkeString text) {
  const char16_t* chars = WkeExport<WkeGetStringWFn>(kWke_wkeGetStringW)(text);
  return chars != nullptr ? EncodeFromUtf16(chars, kCodePageLocal) : std::string();
}

std::string FromUtf8(const char* text) {
  return text != nullptr ? Utf8ToCp936(text) : std::string();
}

// Key state: 2 Ctrl, 1 Shift, 4 Alt.
std::intptr_t KeyState() {
  const ModifierKeys keys = CurrentModifierKeys();
  return (keys.control ? 2 : 0) | (keys.shift ? 1 : 0) | (keys.alt ? 4 : 0);
}

WkeRaised Raise(void* param, int eventNumber, ControlEvent event = {}) {
  return WkeBrowserControl::RaiseEvent(Of(param), eventNumber, std::move(event));
}

ControlEvent Texts(std::initializer_list<std::string> texts) {
  ControlEvent event;
  for (const std::string& text : texts) {
    event.AddText(text);
  }
  return event;
}

void OnDocumentReady(WkeView, void* param, std::intptr_t frameId) {
  ControlEvent event;
  event.AddInteger(frameId);
  Raise(param, kWkeEventDocumentReady, std::move(event));
}

void OnTitleChanged(WkeView view, void* param, WkeString title) {
  if (Of(param)->popup) {
    const char16_t* chars = WkeExport<WkeGetStringWFn>(kWke_wkeGetStringW)(title);
    WkeExport<WkeViewWideTextFn>(kWke_wkeSetWindowTitleW)(view, chars != nullptr ? chars : u"");
    return;
  }
  Raise(param, kWkeEventTitleChanged, Texts({FromWke(title)}));
}

void OnUrlChanged(WkeView, void* param, std::intptr_t frameId, WkeString url) {
  ControlEvent event = Texts({FromWke(url)});
  event.AddInteger(frameId);
  Raise(param, kWkeEventUrlChanged, std::move(event));
}

int OnNavigation(WkeView, void* param, int navigationType, WkeString url) {
  if (Of(param)->popup) {
    return 1;
  }
  ControlEvent event;
  event.AddInteger(navigationType);
  event.AddText(FromWke(url));
  return Raise(param, kWkeEventNavigating, std::move(event)).NotFalse() ? 1 : 0;
}

WkeView OnCreateView(WkeView, void* param, int navigationType, WkeString url,
                     const WkeWindowFeatures* features) {
  WkeBrowserControl* instance = Of(param);
  if (instance->popup) {
    if (instance->allowNewWindows == 0) {
      return nullptr;
    }
    WindowRect outer;
    GetWindowSystem().GetWindowRect(instance->browserWindow, outer);
    const int width = outer.Width() < 1 ? 500 : outer.Width();
    const int height = outer.Height() < 1 ? 300 : outer.Height();
    return WkeBrowserControl::OpenPopup(instance, 0, kWkeDefaultPosition, 0, width, height, false);
  }
  ControlEvent event;
  event.AddInteger(navigationType);
  event.AddText(FromWke(url));
  const WkeRaised raised = Raise(param, kWkeEventNewWindowRequested, std::move(event));
  if (raised.HandlerSaidFalse() || instance->allowNewWindows == 0) {
    return nullptr;
  }
  const WkeWindowFeatures place = features != nullptr ? *features : WkeWindowFeatures{0, 0, 0, 0};
  return WkeBrowserControl::OpenPopup(instance, 0, place.x, place.y, place.width, place.height,
                                      true);
}

void OnLoadingFinish(WkeView, void* param, WkeString url, int result, WkeString reason) {
  ControlEvent event = Texts({FromWke(url)});
  event.AddInteger(result);
  event.AddText(FromWke(reason));
  Raise(param, kWkeEventLoadingFinished, std::move(event));
}

void OnConsole(WkeView, void* param, int level, WkeString message, WkeString source,
               unsigned line, WkeString stack) {
  ControlEvent event;
  event.AddInteger(level);
  event.AddInteger(static_cast<std::intptr_t>(line));
  event.AddText(FromWke(message));
  event.AddText(FromWke(source));
  event.AddText(FromWke(stack));
  Raise(param, kWkeEventConsoleMessage, std::move(event));
}

void OnAlertBox(WkeView, void* param, WkeString message) {
  Raise(param, kWkeEventAlertBox, Texts({FromWke(message)}));
}

int OnConfirmBox(WkeView, void* param, WkeString message) {
  if (Of(param)->popup) {
    return 1;
  }
  return Raise(param, kWkeEventConfirmBox, Texts({FromWke(message)})).NotFalse() ? 1 : 0;
}

int OnPromptBox(WkeView, void* param, WkeString message, WkeString defaultText) {
  if (Of(param)->popup) {
    return 1;
  }
  return Raise(param, kWkeEventPromptBox, Texts({FromWke(message), FromWke(defaultText)}))
                 .NotFalse()
             ? 1
             : 0;
}

int OnDownload(WkeView, void* param, const char* url) {
  if (Of(param)->popup) {
    return 1;
  }
  // The engine's text as it is.
  return Raise(param, kWkeEventDownloadRequested, Texts({url != nullptr ? url : ""}))
                 .HandlerSaidFalse()
             ? 1
             : 0;
}

int OnLoadUrlBegin(WkeView, void* param, const char* url, void* job) {
  if (Of(param)->popup) {
    return 1;
  }
  ControlEvent event = Texts({FromUtf8(url)});
  event.AddInteger(reinterpret_cast<std::intptr_t>(job));
  const WkeRaised raised = Raise(param, kWkeEventRequestStarting, std::move(event));
  return raised.ran && !raised.HandlerSaidFalse() ? 1 : 0;
}

void OnLoadUrlEnd(WkeView, void* param, const char* url, void* job, void* data, int length) {
  ControlEvent event = Texts({FromUtf8(url)});
  event.AddInteger(reinterpret_cast<std::intptr_t>(job));
  event.AddInteger(reinterpret_cast<std::intptr_t>(data));
  event.AddInteger(length);
  Raise(param, kWkeEventRequestFinished, std::move(event));
}

void OnMouseOverUrl(WkeView, void* param, WkeString url) {
  Raise(param, kWkeEventLinkHovered, Texts({FromWke(url)}));
}

int OnWindowClosing(WkeView view, void* param) {
  if (Of(param)->popup) {
    return 1;
  }
  ControlEvent event;
  event.AddInteger(reinterpret_cast<std::intptr_t>(view));
  return Raise(param, kWkeEventWindowClosing, std::move(event)).HandlerSaidFalse() ? 0 : 1;
}

void OnWindowDestroy(WkeView view, void* param) {
  ControlEvent event;
  event.AddInteger(reinterpret_cast<std::intptr_t>(view));
  Raise(param, kWkeEventWindowDestroyed, std::move(event));
}

int MouseEventOf(unsigned message) {
  switch (message) {
    case kWmLButtonDown:
      return kWkeEventLeftButtonDown;
    case kWmLButtonUp:
      return kWkeEventLeftButtonUp;
    case kWmLButtonDblClk:
      return kWkeEventLeftDoubleClick;
    case kWmRButtonDown:
      return kWkeEventRightButtonDown;
    case kWmRButtonUp:
      return kWkeEventRightButtonUp;
    case kWmMouseMove:
      return kWkeEventMouseMoved;
    default:
      return -1;
  }
}

// The file chooser's state (FileChooserHook).
struct FileChooserState {
  bool installed = false;
  bool enabled = false;
  WkeBrowserControl* target = nullptr;
  WkeOnFileChooserFn registration = nullptr;
  // The answerer the hook replaced: what the dialog was before it.
  WideOpenAnswerer previous;
};

FileChooserState& Hook() {
  static auto* state = new FileChooserState;
  return *state;
}

// Copies `text` into the dialog's file, cut so that it fits with its end.
void PutChosenName(WideOpenFileName& dialog, const std::u16string& text) {
  const size_t room = dialog.maxFileChars > 0 ? dialog.maxFileChars - 1 : 0;
  dialog.file = text.substr(0, room);
}

// The open dialog as it was before the hook: the answerer it replaced, or
// the real dialog.
bool UnhookedOpenDialog(WideOpenFileName& dialog) {
  const WideOpenAnswerer& previous = Hook().previous;
  return previous ? previous(dialog) : ShowRealWideOpenDialog(dialog);
}

// The process's wide open dialog while the hook is enabled: the file-chooser
// event on the target, then (unless its handler said false) the dialog as it
// was before the hook.
bool ChooserAnswer(WideOpenFileName& dialog) {
  WkeBrowserControl* target = Hook().target;
  if (target == nullptr) {
    return UnhookedOpenDialog(dialog);
  }
  ControlEvent event = Texts({std::string()});
  const WkeRaised raised = Raise(target, kWkeEventFileChooserOpening, std::move(event));
  const std::string& chosen = raised.event.arguments[0].text;
  PutChosenName(dialog, chosen.empty() ? std::u16string() : DecodeToUtf16(chosen, kCodePageLocal));
  if (raised.HandlerSaidFalse()) {
    return true;
  }
  return UnhookedOpenDialog(dialog);
}

// The engine's file chooser: the process's wide open dialog, or the engine's
// own dialog once the target is gone.
int EngineFileChooser(void*, WkeView, char16_t* buffer, std::size_t bufferChars) {
  if (Hook().target == nullptr || buffer == nullptr || bufferChars == 0) {
    return kWkeFileDefault;
  }
  WideOpenFileName dialog;
  dialog.maxFileChars = bufferChars;
  if (!GetOpenFileNameWide(dialog)) {
    return kWkeFileCancelled;
  }
  const size_t length = std::min(dialog.file.size(), bufferChars - 1);
  std::copy_n(dialog.file.data(), length, buffer);
  buffer[length] = u'\0';
  return kWkeFileChosen;
}

}  // namespace

WkeRaised WkeBrowserControl::RaiseEvent(WkeBrowserControl* instance, int eventNumber,
                                        ControlEvent event) {
  WkeRaised raised;
  if (instance == nullptr || !instance->Running() || instance->designMode || instance->popup) {
    raised.event = std::move(event);
    return raised;
  }
  event.windowId = instance->windowId;
  event.controlId = instance->controlId;
  event.eventNumber = eventNumber;
  raised.ran = DispatchControlEvent(event);
  raised.hasResult = event.hasResult;
  raised.result = event.result;
  raised.event = std::move(event);
  return raised;
}

void WkeBrowserControl::RegisterEngineCallbacks(WkeBrowserControl* instance, WkeView view) {
  void* param = instance;
  WkeExport<WkeOnFn<WkeDocumentReady2Callback>>(kWke_wkeOnDocumentReady2)(view, OnDocumentReady, param);
  WkeExport<WkeOnFn<WkeTitleChangedCallback>>(kWke_wkeOnTitleChanged)(view, OnTitleChanged, param);
  WkeExport<WkeOnFn<WkeUrlChanged2Callback>>(kWke_wkeOnURLChanged2)(view, OnUrlChanged, param);
  WkeExport<WkeOnFn<WkeNavigationCallback>>(kWke_wkeOnNavigation)(view, OnNavigation, param);
  WkeExport<WkeOnFn<WkeCreateViewCallback>>(kWke_wkeOnCreateView)(view, OnCreateView, param);
  WkeExport<WkeOnFn<WkeLoadingFinishCallback>>(kWke_wkeOnLoadingFinish)(view, OnLoadingFinish, param);
  WkeExport<WkeOnFn<WkeConsoleCallback>>(kWke_wkeOnConsole)(view, OnConsole, param);
  WkeExport<WkeOnFn<WkeAlertBoxCallback>>(kWke_wkeOnAlertBox)(view, OnAlertBox, param);
  WkeExport<WkeOnFn<WkeConfirmBoxCallback>>(kWke_wkeOnConfirmBox)(view, OnConfirmBox, param);
  WkeExport<WkeOnFn<WkePromptBoxCallback>>(kWke_wkeOnPromptBox)(view, OnPromptBox, param);
  WkeExport<WkeOnFn<WkeDownloadCallback>>(kWke_wkeOnDownload)(view, OnDownload, param);
  WkeExport<WkeOnFn<WkeLoadUrlBeginCallback>>(kWke_wkeOnLoadUrlBegin)(view, OnLoadUrlBegin, param);
  WkeExport<WkeOnFn<WkeLoadUrlEndCallback>>(kWke_wkeOnLoadUrlEnd)(view, OnLoadUrlEnd, param);
  WkeExport<WkeOnFn<WkeMouseOverUrlChangedCallback>>(kWke_wkeOnMouseOverUrlChanged)(
      view, OnMouseOverUrl, param);
  WkeExport<WkeOnFn<WkeWindowClosingCallback>>(kWke_wkeOnWindowClosing)(view, OnWindowClosing, param);
  WkeExport<WkeOnFn<WkeWindowDestroyCallback>>(kWke_wkeOnWindowDestroy)(view, OnWindowDestroy, param);
  WkeExport<WkeViewIntFn>(kWke_wkeSetNavigationToNewWindowEnable)(view,
                                                                 instance->allowNewWindows != 0);
  Subclass(instance);
}

void WkeBrowserControl::Subclass(WkeBrowserControl* instance) {
  instance->previousProcedure = SetWindowProcedure(instance->browserWindow, WindowProc);
  SetWindowProperty(instance->browserWindow, kWkeInstanceProperty, instance);
}

std::intptr_t WkeBrowserControl::WindowProc(WindowHandle window, unsigned message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  auto* instance = static_cast<WkeBrowserControl*>(GetWindowProperty(window, kWkeInstanceProperty));
  if (instance == nullptr || !instance->holder || instance->previousProcedure == nullptr) {
    return DefaultWindowProcedure(window, message, wParam, lParam);
  }
  if (message == kWmDestroy) {
    TearDown(instance);
    return 0;
  }
  if (instance->Running()) {
    if (const int mouseEvent = MouseEventOf(message); mouseEvent >= 0) {
      ControlEvent event;
      event.AddInteger(static_cast<std::int16_t>(lParam & 0xFFFF));
      event.AddInteger(static_cast<std::int32_t>(lParam) >> 16);
      event.AddInteger(KeyState());
      if (RaiseEvent(instance, mouseEvent, std::move(event)).HandlerSaidFalse()) {
        return 0;
      }
    } else if (message == kWmSetFocus || message == kWmKillFocus) {
      RaiseEvent(instance, message == kWmSetFocus ? kWkeEventFocusGained : kWkeEventFocusLost, {});
    } else if (message == kWmKeyDown || message == kWmSysKeyDown || message == kWmKeyUp ||
               message == kWmSysKeyUp) {
      const bool down = message == kWmKeyDown || message == kWmSysKeyDown;
      ControlEvent event;
      event.AddInteger(static_cast<std::intptr_t>(wParam));
      event.AddInteger(KeyState());
      const WkeRaised raised =
          RaiseEvent(instance, down ? kWkeEventKeyDown : kWkeEventKeyUp, std::move(event));
      if (down && wParam == kVkF5 && instance->disableF5Refresh == 0) {
        WkeExport<WkeViewFn>(kWke_wkeReload)(instance->View());
      }
      if (raised.HandlerSaidFalse()) {
        return 0;
      }
    } else if (message == kWmChar) {
      ControlEvent event;
      event.AddInteger(static_cast<std::intptr_t>(wParam));
      const WkeRaised raised = RaiseEvent(instance, kWkeEventCharTyped, std::move(event));
      if (raised.ran && raised.hasResult) {
        if (raised.result == 0) {
          return 0;
        }
        wParam = static_cast<std::uintptr_t>(raised.result);
      }
    } else if (message == kWmHScroll || message == kWmVScroll) {
      ControlEvent event;
      event.AddInteger(static_cast<std::intptr_t>((wParam >> 16) & 0xFFFF));
      event.AddInteger(KeyState());
      RaiseEvent(instance, kWkeEventScrolled, std::move(event));
    }
  }
  return CallWindowProcedure(instance->previousProcedure, window, message, wParam, lParam);
}

WkeView WkeBrowserControl::OpenPopup(WkeBrowserControl* requester, WindowHandle parent, int left,
                                     int top, int width, int height, bool raiseEvents) {
  if (raiseEvents) {
    ControlEvent event;
    event.AddInteger(reinterpret_cast<std::intptr_t>(&parent));
    event.AddInteger(reinterpret_cast<std::intptr_t>(&left));
    event.AddInteger(reinterpret_cast<std::intptr_t>(&top));
    event.AddInteger(reinterpret_cast<std::intptr_t>(&width));
    event.AddInteger(reinterpret_cast<std::intptr_t>(&height));
    RaiseEvent(requester, kWkeEventPopupCreating, std::move(event));
  }
  WkeView view = WkeExport<WkeCreateWebWindowFn>(kWke_wkeCreateWebWindow)(
      kWkeWindowPopup, parent, left, top, width, height);
  if (view == nullptr) {
    return nullptr;
  }
  auto* popup = new WkeBrowserControl;  // released by its window's teardown
  popup->popup = true;
  popup->allowNewWindows = requester->allowNewWindows;
  popup->holder = std::make_unique<WkeViewHolder>();
  popup->holder->view = view;
  popup->browserWindow = WkeExport<WkeGetWindowHandleFn>(kWke_wkeGetWindowHandle)(view);
  WindowHandleOf(reinterpret_cast<QWidget*>(popup->browserWindow));
  RegisterEngineCallbacks(popup, view);
  if (raiseEvents) {
    ControlEvent event;
    event.AddInteger(reinterpret_cast<std::intptr_t>(view));
    RaiseEvent(requester, kWkeEventPopupCreated, std::move(event));
  }
  std::u16string caption(u"webkit");
  WkeExport<WkeViewWideTextFn>(kWke_wkeSetWindowTitleW)(view, caption.c_str());
  WkeExport<WkeViewIntFn>(kWke_wkeShowWindow)(view, 1);
  return view;
}

void FileChooserHook::Install(WkeBrowserControl* target) {
  FileChooserState& hook = Hook();
  if (hook.installed) {
    return;
  }
  hook.installed = true;
  hook.target = target;
  hook.registration = reinterpret_cast<WkeOnFileChooserFn>(WkeEngine::LibraryExport("wkeOnFileChooser"));
  if (hook.registration == nullptr) {
    return;
  }
  hook.registration(EngineFileChooser, nullptr);
  hook.previous = SetWideOpenAnswerer(ChooserAnswer);
  hook.enabled = true;
  static const bool removalRegistered = [] { return std::atexit(&FileChooserHook::Remove) == 0; }();
  (void)removalRegistered;
}

void FileChooserHook::Remove() {
  FileChooserState& hook = Hook();
  if (hook.enabled) {
    if (hook.registration != nullptr) {
      hook.registration(nullptr, nullptr);
    }
    // The dialog goes back to what it was before the hook.
    SetWideOpenAnswerer(std::move(hook.previous));
    hook.previous = {};
    hook.enabled = false;
  }
}

// The teardown tells the hook when its target goes.
void FileChooserHook::ForgetTarget(const WkeBrowserControl* instance) {
  if (Hook().target == instance) {
    Hook().target = nullptr;
  }
}

void FileChooserHook::ResetForTesting() {
  Remove();
  Hook() = FileChooserState{};
}
