#pragma once
// The C interface of the WebView2 bridge library "WebView2_Caller.dll": the
// types its exports take and the signature of every export. The program loads
// the library at run time by its full path and binds each export by name
// (dlsym); nothing links against it. The bridge library includes this header
// so that each export it defines is checked against the signature here.
//
// Conventions every export follows:
// - The object's handle comes first, then the arguments, then the results.
//   Handles are 32-bit numbers the bridge hands out, never 0 for an object;
//   0 is no object.
// - Integers, booleans and enumeration values are 32-bit; floating-point
//   values are doubles; window handles are WindowHandle values.
// - Texts are UTF-16 (char16_t) arrays with their terminating NUL code unit;
//   a null pointer is an absent text. Byte arrays are an address and a count.
// - Text and byte results come back through two out-parameters: the address of
//   the bytes and their count in bytes (a text's count includes its
//   terminator). The bytes of a plain text out stay owned by the bridge object
//   (valid until the next call on that object or its release); the bytes of a
//   "returned" text out (ExecuteScript_Sync, CallDevtoolsProtocolsMethod_Sync,
//   CapturePreview_Sync, MenuItem GetIcon) are a block the caller gives back
//   with wv2_Utility_Mfree.
// - Object results come back through an out handle that the caller sets to 0.
// - Lists come back as a block and a count, given back with wv2_Utility_Mfree:
//   a cookie list holds one Wv2Handle per cookie; a header list holds one
//   Wv2HeaderEntry per header, whose texts live inside the same block.
// - An attach export registers a routine and its user value and returns a
//   64-bit token; the matching detach export takes the token as two 32-bit
//   halves, low half first.
// - The new-window routine is called with the view's handle, the handle of the
//   request's arguments and the user value. Other routines get the handle of
//   the object raising the event, a handle of the event's arguments or result
//   (0 when there is none) and the user value. Routine results are not used
//   unless an export says so.
// - Every call happens on the user-interface thread.

#include <cstdint>

#include "platform/window_handle.h"

// The bridge's file name in the program's folder.
inline constexpr const char* kWv2BridgeFileName = "WebView2_Caller.dll";

extern "C" {

using Wv2Handle = std::uint32_t;
using Wv2Token = std::int64_t;

typedef std::int32_t (*Wv2Routine)(Wv2Handle sender, Wv2Handle args, std::uint32_t userValue);

// Bounds of a controller in its parent's client coordinates.
struct Wv2Rect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

// Margin of the download dialog.
struct Wv2Margin {
  std::int32_t horizontal;
  std::int32_t vertical;
};

// What a page asked of a new window (40 bytes); 0 where it asked nothing.
struct Wv2WindowFeatures {
  std::int32_t hasPosition;
  std::int32_t hasSize;
  std::int32_t left;
  std::int32_t top;
  std::int32_t width;
  std::int32_t height;
  std::int32_t menuBar;
  std::int32_t statusBar;
  std::int32_t toolBar;
  std::int32_t scrollBars;
};

// A view's settings, read and written whole; each field is 0 or 1.
struct Wv2ViewSettings {
  std::int32_t scriptEnabled;
  std::int32_t webMessageEnabled;
  std::int32_t scriptDialogsEnabled;
  std::int32_t statusBarEnabled;
  std::int32_t devToolsEnabled;
  std::int32_t contextMenusEnabled;
  std::int32_t hostObjectsAllowed;
  std::int32_t zoomControlEnabled;
  std::int32_t errorPageEnabled;
};

// The options of wv2_Global_CreateEnv_Sync. `value` may be changed by the
// bridge; the caller reads it back.
struct Wv2NativeEnvironmentOptions {
  const char16_t* browserArguments;  // space-separated, or null
  const char16_t* language;          // null: unused
  const char16_t* targetVersion;     // null: unused
  std::int32_t value;
};

// The options of a controller. `value` may be changed by the bridge; the
// caller reads it back.
struct Wv2NativeControllerOptions {
  const char16_t* profileName;  // null when absent
  std::int32_t value;
};

// One entry of a header list: name and value, NUL-terminated.
struct Wv2HeaderEntry {
  const char16_t* name;
  const char16_t* value;
};

}  // extern "C"

// The nine call shapes as function types; the template arguments are the
// arguments between the handle and the results. The two text-out shapes share
// one type (they differ only in who gives the block back).
template <typename Result, typename... Args>
using Wv2Returning = Result(Wv2Handle handle, Args...);
template <typename... Args>
using Wv2Plain = std::int32_t(Wv2Handle handle, Args...);
using Wv2Attach = Wv2Token(Wv2Handle handle, Wv2Routine routine, std::uint32_t userValue);
using Wv2Detach = std::int32_t(Wv2Handle handle, std::uint32_t tokenLow, std::uint32_t tokenHigh);
template <typename... Args>
using Wv2Completion = std::int32_t(Wv2Handle handle, Args..., Wv2Routine routine,
                                   std::uint32_t userValue);
template <typename... Args>
using Wv2TextOut = std::int32_t(Wv2Handle handle, Args..., void** outBytes,
                                std::uint32_t* outByteCount);
template <typename... Args>
using Wv2ObjectOut = std::int32_t(Wv2Handle handle, Args..., Wv2Handle* outHandle);
template <typename Record>
using Wv2RecordOut = std::int32_t(Wv2Handle handle, Record* record);
template <typename... Args>
using Wv2ListOut = std::int32_t(Wv2Handle handle, Args..., void** outBlock,
                                std::uint32_t* outCount);

// Exports outside the object kinds.
using Wv2CreateEnvironment = std::int32_t(Wv2NativeEnvironmentOptions* options,
                                          const char16_t* browserFolder,
                                          const char16_t* userDataFolder, Wv2Handle* outHandle);
using Wv2Mfree = void(void* block);
using Wv2ObjectRelease = std::int32_t(Wv2Handle handle);

using Wv2Text = const char16_t*;
using Wv2Bytes = const unsigned char*;
using Wv2Count = std::uint32_t;
using Wv2Int = std::int32_t;

// Every export: WV2_EXPORT_LIST(X) expands X(name, function type), the type
// last because it may hold commas (take it as __VA_ARGS__), grouped by
// object kind in the order of each kind's operations. An operation that is
// repeated in a kind (the second FaviconChanged pair) has one export.
// clang-format off
#define WV2_EXPORT_LIST(X) \
  X(wv2_Global_CreateEnv_Sync, Wv2CreateEnvironment) \
  X(wv2_Utility_Mfree, Wv2Mfree) \
  X(wv2_Object_Release, Wv2ObjectRelease) \
  X(wv2_Env_CreateController, Wv2Completion<WindowHandle>) \
  X(wv2_Env_CreateController_Sync, Wv2ObjectOut<WindowHandle>) \
  X(wv2_Env_CreateController_Options, Wv2Completion<WindowHandle, Wv2NativeControllerOptions*>) \
  X(wv2_Env_CreateController_Options_Sync, Wv2ObjectOut<WindowHandle, Wv2NativeControllerOptions*>) \
  X(wv2_Env_CreateWebResourceResponse, Wv2ObjectOut<Wv2Bytes, Wv2Count, Wv2Int, Wv2Text, Wv2Text>) \
  X(wv2_Env_CreateWebResourceRequest, Wv2ObjectOut<Wv2Text, Wv2Text, Wv2Bytes, Wv2Count, Wv2Text>) \
  X(wv2_Env_CreateContextMenuItem, Wv2ObjectOut<Wv2Text, Wv2Bytes, Wv2Count, Wv2Int>) \
  X(wv2_Webview_CanGoBack, Wv2Plain<>) \
  X(wv2_Webview_CanGoForward, Wv2Plain<>) \
  X(wv2_Webview_GoBack, Wv2Plain<>) \
  X(wv2_Webview_GoForward, Wv2Plain<>) \
  X(wv2_Webview_Reload, Wv2Plain<>) \
  X(wv2_Webview_Stop, Wv2Plain<>) \
  X(wv2_Webview_Navigate, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_NavigateToString, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_ExecuteScript, Wv2Completion<Wv2Text>) \
  X(wv2_Webview_ExecuteScript_Sync, Wv2TextOut<Wv2Text>) \
  X(wv2_Webview_CallDevtoolsProtocolsMethod, Wv2Completion<Wv2Text, Wv2Text>) \
  X(wv2_Webview_CallDevtoolsProtocolsMethod_Sync, Wv2TextOut<Wv2Text, Wv2Text>) \
  X(wv2_Webview_GetDocumentTitle, Wv2TextOut<>) \
  X(wv2_Webview_GetURL, Wv2TextOut<>) \
  X(wv2_Webview_GetBrowserProcessID, Wv2Plain<>) \
  X(wv2_Webview_Attach_NewWindowRequest, Wv2Attach) \
  X(wv2_Webview_Detach_NewWindowRequest, Wv2Detach) \
  X(wv2_Webview_Attach_WindowCloseRequest, Wv2Attach) \
  X(wv2_Webview_Detach_WindowCloseRequest, Wv2Detach) \
  X(wv2_Webview_Attach_SourceChanged, Wv2Attach) \
  X(wv2_Webview_Detach_SourceChanged, Wv2Detach) \
  X(wv2_Webview_Attach_DocumentTitleChanged, Wv2Attach) \
  X(wv2_Webview_Detach_DocumentTitleChanged, Wv2Detach) \
  X(wv2_Webview_CapturePreview, Wv2Completion<Wv2Int>) \
  X(wv2_Webview_CapturePreview_Sync, Wv2TextOut<Wv2Int>) \
  X(wv2_Webview_Attach_NavigationStarting, Wv2Attach) \
  X(wv2_Webview_Detach_NavigationStarting, Wv2Detach) \
  X(wv2_Webview_Attach_NavigationCompleted, Wv2Attach) \
  X(wv2_Webview_Detach_NavigationCompleted, Wv2Detach) \
  X(wv2_Webview_Attach_ContainsFullScreenElementChanged, Wv2Attach) \
  X(wv2_Webview_Detach_ContainsFullScreenElementChanged, Wv2Detach) \
  X(wv2_Webview_GetFullscreenMode, Wv2Plain<>) \
  X(wv2_Webview_GetSettings, Wv2Plain<Wv2ViewSettings*>) \
  X(wv2_Webview_SetSettings, Wv2Plain<const Wv2ViewSettings*>) \
  X(wv2_Webview_GetUserAgent, Wv2TextOut<>) \
  X(wv2_Webview_SetUserAgent, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_GetCookieManager, Wv2ObjectOut<>) \
  X(wv2_Webview_OpenDevTools, Wv2Plain<>) \
  X(wv2_Webview_OpenTaskManager, Wv2Plain<>) \
  X(wv2_Webview_Attach_PermissionRequested, Wv2Attach) \
  X(wv2_Webview_Detach_PermissionRequested, Wv2Detach) \
  X(wv2_Webview_IsDefaultDownloadDialogOpen, Wv2Plain<>) \
  X(wv2_Webview_OpenDefaultDownloadDialog, Wv2Plain<>) \
  X(wv2_Webview_CloseDefaultDownloadDialog, Wv2Plain<>) \
  X(wv2_Webview_SetDefaultDownloadDialogMargin, Wv2Plain<const Wv2Margin*>) \
  X(wv2_Webview_GetDefaultDownloadDialogMargin, Wv2RecordOut<Wv2Margin>) \
  X(wv2_Webview_GetProfile, Wv2ObjectOut<>) \
  X(wv2_Webview_AddWebResourceRequestedFilter, Wv2Plain<Wv2Text, Wv2Int>) \
  X(wv2_Webview_RemoveWebResourceRequestedFilter, Wv2Plain<Wv2Text, Wv2Int>) \
  X(wv2_Webview_Attach_WebResourceRequested, Wv2Attach) \
  X(wv2_Webview_Detach_WebResourceRequested, Wv2Detach) \
  X(wv2_Webview_Attach_WebResourceResponseReceived, Wv2Attach) \
  X(wv2_Webview_Detach_WebResourceResponseReceived, Wv2Detach) \
  X(wv2_Webview_Attach_IsDocumentPlayingAudioChanged, Wv2Attach) \
  X(wv2_Webview_Detach_IsDocumentPlayingAudioChanged, Wv2Detach) \
  X(wv2_Webview_GetAudioPlaying, Wv2Plain<>) \
  X(wv2_Webview_GetMute, Wv2Plain<>) \
  X(wv2_Webview_SetMute, Wv2Plain<Wv2Int>) \
  X(wv2_Webview_AddPreloadScript, Wv2Completion<Wv2Text>) \
  X(wv2_Webview_AddPreloadScript_Sync, Wv2TextOut<Wv2Text>) \
  X(wv2_Webview_RemovePreloadScript, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_GetEnvironment, Wv2ObjectOut<>) \
  X(wv2_Webview_Attach_ScriptDialogOpening, Wv2Attach) \
  X(wv2_Webview_Detach_ScriptDialogOpening, Wv2Detach) \
  X(wv2_Webview_Attach_FaviconChanged, Wv2Attach) \
  X(wv2_Webview_Detach_FaviconChanged, Wv2Detach) \
  X(wv2_Webview_GetFaviconURL, Wv2TextOut<>) \
  X(wv2_Webview_Attach_FrameCreated, Wv2Attach) \
  X(wv2_Webview_Detach_FrameCreated, Wv2Detach) \
  X(wv2_Webview_NavigateRequest, Wv2Plain<Wv2Handle>) \
  X(wv2_Webview_Attach_ContextMenuRequested, Wv2Attach) \
  X(wv2_Webview_Detach_ContextMenuRequested, Wv2Detach) \
  X(wv2_Webview_Attach_DownloadStarting, Wv2Attach) \
  X(wv2_Webview_Detach_DownloadStarting, Wv2Detach) \
  X(wv2_Webview_Attach_WebMessageReceived, Wv2Attach) \
  X(wv2_Webview_Detach_WebMessageReceived, Wv2Detach) \
  X(wv2_Webview_Attach_ContentLoading, Wv2Attach) \
  X(wv2_Webview_Detach_ContentLoading, Wv2Detach) \
  X(wv2_Webview_Attach_StatusBarTextChanged, Wv2Attach) \
  X(wv2_Webview_Detach_StatusBarTextChanged, Wv2Detach) \
  X(wv2_Webview_GetStatusBarText, Wv2TextOut<>) \
  X(wv2_Webview_Attach_ClientCertificateRequested, Wv2Attach) \
  X(wv2_Webview_Detach_ClientCertificateRequested, Wv2Detach) \
  X(wv2_Webview_NewWindowRequestArgs_GetDeferral, Wv2ObjectOut<>) \
  X(wv2_Webview_NewWindowRequestArgs_GetURL, Wv2TextOut<>) \
  X(wv2_Webview_NewWindowRequestArgs_GetNewWindow, Wv2ObjectOut<>) \
  X(wv2_Webview_NewWindowRequestArgs_SetNewWindow, Wv2Plain<Wv2Handle>) \
  X(wv2_Webview_NewWindowRequestArgs_SetHandled, Wv2Plain<Wv2Int>) \
  X(wv2_Webview_NewWindowRequestArgs_GetHandled, Wv2Plain<>) \
  X(wv2_Webview_NewWindowRequestArgs_GetFeatures, Wv2RecordOut<Wv2WindowFeatures>) \
  X(wv2_Controller_Close, Wv2Plain<>) \
  X(wv2_Controller_GetVisible, Wv2Plain<>) \
  X(wv2_Controller_SetVisible, Wv2Plain<Wv2Int>) \
  X(wv2_Controller_GetBounds, Wv2RecordOut<Wv2Rect>) \
  X(wv2_Controller_SetBounds, Wv2Plain<const Wv2Rect*>) \
  X(wv2_Controller_GetZoomFactor, Wv2RecordOut<double>) \
  X(wv2_Controller_SetZoomFactor, Wv2Plain<double>) \
  X(wv2_Controller_GetWebview2, Wv2ObjectOut<>) \
  X(wv2_Controller_GetBackgroundColor, Wv2RecordOut<std::uint32_t>) \
  X(wv2_Controller_SetBackgroundColor, Wv2Plain<std::uint32_t*>) \
  X(wv2_Controller_Attach_AcceleratorKeyPressed, Wv2Attach) \
  X(wv2_Controller_Detach_AcceleratorKeyPressed, Wv2Detach) \
  X(wv2_Controller_Attach_ZoomFactorChanged, Wv2Attach) \
  X(wv2_Controller_Detach_ZoomFactorChanged, Wv2Detach) \
  X(wv2_Controller_GetAllowExternalDrop, Wv2Plain<>) \
  X(wv2_Controller_SetAllowExternalDrop, Wv2Plain<Wv2Int>) \
  X(wv2_ResourceResponse_GetReasonPhrase, Wv2TextOut<>) \
  X(wv2_ResourceResponse_SetReasonPhrase, Wv2Plain<Wv2Text>) \
  X(wv2_ResourceResponse_GetStatusCode, Wv2Plain<>) \
  X(wv2_ResourceResponse_SetStatusCode, Wv2Plain<Wv2Int>) \
  X(wv2_ResourceResponse_GetData, Wv2TextOut<>) \
  X(wv2_ResourceResponse_SetData, Wv2Plain<Wv2Bytes, Wv2Count>) \
  X(wv2_ResourceResponse_GetHeaders, Wv2ObjectOut<>) \
  X(wv2_ResourceRequest_GetURL, Wv2TextOut<>) \
  X(wv2_ResourceRequest_SetURL, Wv2Plain<Wv2Text>) \
  X(wv2_ResourceRequest_GetMethod, Wv2TextOut<>) \
  X(wv2_ResourceRequest_SetMethod, Wv2Plain<Wv2Text>) \
  X(wv2_ResourceRequest_GetData, Wv2TextOut<>) \
  X(wv2_ResourceRequest_SetData, Wv2Plain<Wv2Bytes, Wv2Count>) \
  X(wv2_ResourceRequest_GetHeaders, Wv2ObjectOut<>) \
  X(wv2_MenuItem_GetName, Wv2TextOut<>) \
  X(wv2_MenuItem_GetLabel, Wv2TextOut<>) \
  X(wv2_MenuItem_GetCommandID, Wv2Plain<>) \
  X(wv2_MenuItem_GetShortcutKeyDescription, Wv2TextOut<>) \
  X(wv2_MenuItem_GetIcon, Wv2TextOut<>) \
  X(wv2_MenuItem_GetType, Wv2Plain<>) \
  X(wv2_MenuItem_Enabled_Attr, Wv2Plain<Wv2Int, Wv2Int>) \
  X(wv2_MenuItem_Checked_Attr, Wv2Plain<Wv2Int, Wv2Int>) \
  X(wv2_MenuItem_GetChildren, Wv2ObjectOut<>) \
  X(wv2_MenuItem_Attach_ItemSelected, Wv2Attach) \
  X(wv2_MenuItem_Detach_ItemSelected, Wv2Detach) \
  X(wv2_CookieManager_CreateCookie, Wv2ObjectOut<Wv2Text, Wv2Text, Wv2Text, Wv2Text>) \
  X(wv2_CookieManager_CopyCookie, Wv2ObjectOut<Wv2Handle>) \
  X(wv2_CookieManager_GetCookie, Wv2Completion<Wv2Text>) \
  X(wv2_CookieManager_GetCookie_Sync, Wv2ListOut<Wv2Text>) \
  X(wv2_CookieManager_SetCookie, Wv2Plain<Wv2Handle>) \
  X(wv2_CookieManager_DeleteCookie, Wv2Plain<Wv2Handle>) \
  X(wv2_CookieManager_DeleteCookies, Wv2Plain<Wv2Text, Wv2Text>) \
  X(wv2_CookieManager_DeleteCookieWithParam, Wv2Plain<Wv2Text, Wv2Text, Wv2Text>) \
  X(wv2_CookieManager_DeleteAllCookies, Wv2Plain<>) \
  X(wv2_Profile_GetName, Wv2TextOut<>) \
  X(wv2_Profile_GetPath, Wv2TextOut<>) \
  X(wv2_Profile_GetDefaultDownloadPath, Wv2TextOut<>) \
  X(wv2_Profile_GetPrivateInMode, Wv2Plain<>) \
  X(wv2_Profile_SetDefaultDownloadPath, Wv2Plain<Wv2Text>) \
  X(wv2_Profile_GetColorTheme, Wv2Plain<>) \
  X(wv2_Profile_SetColorTheme, Wv2Plain<Wv2Int>) \
  X(wv2_Profile_ClearBrowsingData, Wv2Completion<Wv2Int>) \
  X(wv2_Profile_ClearBrowsingData_Sync, Wv2Plain<Wv2Int>) \
  X(wv2_Profile_ClearBrowsingDataInTimeRange, Wv2Completion<Wv2Int, double, double>) \
  X(wv2_Profile_ClearBrowsingDataInTimeRange_Sync, Wv2Plain<Wv2Int, double, double>) \
  X(wv2_Profile_ClearAllBrowsingData, Wv2Completion<>) \
  X(wv2_Profile_ClearAllBrowsingData_Sync, Wv2Plain<>) \
  X(wv2_Deferral_Complete, Wv2Plain<>) \
  X(wv2_Webview_HTTPResponseHeader_GetRawData, Wv2ListOut<>) \
  X(wv2_Webview_HTTPResponseHeader_Contains, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_HTTPResponseHeader_GetHeaders, Wv2ListOut<Wv2Text>) \
  X(wv2_Webview_HTTPResponseHeader_GetHeader, Wv2TextOut<Wv2Text>) \
  X(wv2_Webview_HTTPResponseHeader_AppendHeader, Wv2Plain<Wv2Text, Wv2Text>) \
  X(wv2_Webview_HTTPRequestHeader_GetRawData, Wv2ListOut<>) \
  X(wv2_Webview_HTTPRequestHeader_GetHeader, Wv2TextOut<Wv2Text>) \
  X(wv2_Webview_HTTPRequestHeader_Contains, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_HTTPRequestHeader_SetHeader, Wv2Plain<Wv2Text, Wv2Text>) \
  X(wv2_Webview_HTTPRequestHeader_RemoveHeader, Wv2Plain<Wv2Text>) \
  X(wv2_Webview_HTTPRequestHeader_GetHeaders, Wv2ListOut<Wv2Text>) \
  X(wv2_MenuItemCollection_GetCount, Wv2Plain<>) \
  X(wv2_MenuItemCollection_GetValueAt, Wv2ObjectOut<Wv2Int>) \
  X(wv2_MenuItemCollection_RemoveAt, Wv2Plain<Wv2Int>) \
  X(wv2_MenuItemCollection_InsertAt, Wv2Plain<Wv2Int, Wv2Handle>) \
  X(wv2_CookieData_GetName, Wv2TextOut<>) \
  X(wv2_CookieData_GetValue, Wv2TextOut<>) \
  X(wv2_CookieData_GetDomain, Wv2TextOut<>) \
  X(wv2_CookieData_GetPath, Wv2TextOut<>) \
  X(wv2_CookieData_SetValue, Wv2Plain<Wv2Text>) \
  X(wv2_CookieData_GetExpires, Wv2Returning<double>) \
  X(wv2_CookieData_SetExpires, Wv2Plain<double>) \
  X(wv2_CookieData_GetHTTPOnly, Wv2Plain<>) \
  X(wv2_CookieData_SetHTTPOnly, Wv2Plain<Wv2Int>) \
  X(wv2_CookieData_GetSameSite, Wv2Plain<>) \
  X(wv2_CookieData_SetSameSite, Wv2Plain<Wv2Int>) \
  X(wv2_CookieData_GetSecure, Wv2Plain<>) \
  X(wv2_CookieData_SetSecure, Wv2Plain<Wv2Int>) \
  X(wv2_CookieData_GetSession, Wv2Plain<>)
// clang-format on

// The declarations the bridge library's definitions must match. Declared
// with default visibility so that a definition is exported even where the
// library hides everything else. The program never calls these by name.
#define WV2_DECLARE_EXPORT(name, ...) \
  extern "C" __attribute__((visibility("default"))) __VA_ARGS__ name;
WV2_EXPORT_LIST(WV2_DECLARE_EXPORT)
#undef WV2_DECLARE_EXPORT
