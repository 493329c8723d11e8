#include "ui/signin/wv2_webview.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_cookie_manager.h"
#include "ui/signin/wv2_environment.h"
#include "ui/signin/wv2_profile.h"
#include "ui/signin/wv2_resource_request.h"

using Text = Wv2TextArgument;

int Wv2Webview::CanGoBack() {
  return Wv2Call<Wv2Export::wv2_Webview_CanGoBack>(*this);
}

int Wv2Webview::CanGoForward() {
  return Wv2Call<Wv2Export::wv2_Webview_CanGoForward>(*this);
}

int Wv2Webview::GoBack() {
  return Wv2Call<Wv2Export::wv2_Webview_GoBack>(*this);
}

int Wv2Webview::GoForward() {
  return Wv2Call<Wv2Export::wv2_Webview_GoForward>(*this);
}

int Wv2Webview::Reload() {
  return Wv2Call<Wv2Export::wv2_Webview_Reload>(*this);
}

int Wv2Webview::Stop() {
  return Wv2Call<Wv2Export::wv2_Webview_Stop>(*this);
}

int Wv2Webview::Navigate(const std::string& address) {
  return Wv2Call<Wv2Export::wv2_Webview_Navigate>(*this, Text(address));
}

int Wv2Webview::NavigateToString(const std::string& html) {
  return Wv2Call<Wv2Export::wv2_Webview_NavigateToString>(*this, Text(html));
}

int Wv2Webview::ExecuteScript(const std::string& script, Wv2Routine routine,
                              std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Webview_ExecuteScript>(*this, Text(script), routine, userValue);
}

std::string Wv2Webview::ExecuteScript_Sync(const std::string& script) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_ExecuteScript_Sync>(*this, kWv2Returned,
                                                                    Text(script));
}

int Wv2Webview::CallDevtoolsProtocolsMethod(const std::string& method,
                                            const std::string& parameters, Wv2Routine routine,
                                            std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Webview_CallDevtoolsProtocolsMethod>(
      *this, Text(method), Text(parameters), routine, userValue);
}

std::string Wv2Webview::CallDevtoolsProtocolsMethod_Sync(const std::string& method,
                                                         const std::string& parameters) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_CallDevtoolsProtocolsMethod_Sync>(
      *this, kWv2Returned, Text(method), Text(parameters));
}

std::string Wv2Webview::GetDocumentTitle() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_GetDocumentTitle>(*this, kWv2Text);
}

std::string Wv2Webview::GetURL() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_GetURL>(*this, kWv2Text);
}

int Wv2Webview::GetBrowserProcessID() {
  return Wv2Call<Wv2Export::wv2_Webview_GetBrowserProcessID>(*this);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, NewWindowRequest)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, WindowCloseRequest)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, SourceChanged)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, DocumentTitleChanged)

int Wv2Webview::CapturePreview(int imageFormat, Wv2Routine routine, std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Webview_CapturePreview>(*this, imageFormat, routine, userValue);
}

std::string Wv2Webview::CapturePreview_Sync(int imageFormat) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_CapturePreview_Sync>(
      *this, kWv2Returned | kWv2Bytes, imageFormat);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, NavigationStarting)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, NavigationCompleted)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, ContainsFullScreenElementChanged)

int Wv2Webview::GetFullscreenMode() {
  return Wv2Call<Wv2Export::wv2_Webview_GetFullscreenMode>(*this);
}

int Wv2Webview::GetSettings(Wv2ViewSettings& settings) {
  return Wv2Call<Wv2Export::wv2_Webview_GetSettings>(*this, &settings);
}

int Wv2Webview::SetSettings(const Wv2ViewSettings& settings) {
  return Wv2Call<Wv2Export::wv2_Webview_SetSettings>(*this, &settings);
}

std::string Wv2Webview::GetUserAgent() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_GetUserAgent>(*this, kWv2Text);
}

int Wv2Webview::SetUserAgent(const std::string& userAgent) {
  return Wv2Call<Wv2Export::wv2_Webview_SetUserAgent>(*this, Text(userAgent));
}

Wv2CookieManager Wv2Webview::GetCookieManager() {
  return Wv2CallObjectOut<Wv2CookieManager, Wv2Export::wv2_Webview_GetCookieManager>(*this);
}

int Wv2Webview::OpenDevTools() {
  return Wv2Call<Wv2Export::wv2_Webview_OpenDevTools>(*this);
}

int Wv2Webview::OpenTaskManager() {
  return Wv2Call<Wv2Export::wv2_Webview_OpenTaskManager>(*this);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, PermissionRequested)

int Wv2Webview::IsDefaultDownloadDialogOpen() {
  return Wv2Call<Wv2Export::wv2_Webview_IsDefaultDownloadDialogOpen>(*this);
}

int Wv2Webview::OpenDefaultDownloadDialog() {
  return Wv2Call<Wv2Export::wv2_Webview_OpenDefaultDownloadDialog>(*this);
}

int Wv2Webview::CloseDefaultDownloadDialog() {
  return Wv2Call<Wv2Export::wv2_Webview_CloseDefaultDownloadDialog>(*this);
}

int Wv2Webview::SetDefaultDownloadDialogMargin(const Wv2Margin& margin) {
  return Wv2Call<Wv2Export::wv2_Webview_SetDefaultDownloadDialogMargin>(*this, &margin);
}

Wv2Margin Wv2Webview::GetDefaultDownloadDialogMargin() {
  return Wv2CallRecordOut<Wv2Margin, Wv2Export::wv2_Webview_GetDefaultDownloadDialogMargin>(
      *this);
}

Wv2Profile Wv2Webview::GetProfile() {
  return Wv2CallObjectOut<Wv2Profile, Wv2Export::wv2_Webview_GetProfile>(*this);
}

int Wv2Webview::AddWebResourceRequestedFilter(const std::string& addressPattern,
                                              int resourceContext) {
  return Wv2Call<Wv2Export::wv2_Webview_AddWebResourceRequestedFilter>(
      *this, Text(addressPattern), resourceContext);
}

int Wv2Webview::RemoveWebResourceRequestedFilter(const std::string& addressPattern,
                                                 int resourceContext) {
  return Wv2Call<Wv2Export::wv2_Webview_RemoveWebResourceRequestedFilter>(
      *this, Text(addressPattern), resourceContext);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, WebResourceRequested)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, WebResourceResponseReceived)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, IsDocumentPlayingAudioChanged)

int Wv2Webview::GetAudioPlaying() {
  return Wv2Call<Wv2Export::wv2_Webview_GetAudioPlaying>(*this);
}

int Wv2Webview::GetMute() {
  return Wv2Call<Wv2Export::wv2_Webview_GetMute>(*this);
}

int Wv2Webview::SetMute(bool mute) {
  return Wv2Call<Wv2Export::wv2_Webview_SetMute>(*this, mute ? 1 : 0);
}

int Wv2Webview::AddPreloadScript(const std::string& script, Wv2Routine routine,
                                 std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Webview_AddPreloadScript>(*this, Text(script), routine,
                                                          userValue);
}

std::string Wv2Webview::AddPreloadScript_Sync(const std::string& script) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_AddPreloadScript_Sync>(*this, kWv2Text,
                                                                      Text(script));
}

int Wv2Webview::RemovePreloadScript(const std::string& identifier) {
  return Wv2Call<Wv2Export::wv2_Webview_RemovePreloadScript>(*this, Text(identifier));
}

Wv2Environment Wv2Webview::GetEnvironment() {
  return Wv2CallObjectOut<Wv2Environment, Wv2Export::wv2_Webview_GetEnvironment>(*this);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, ScriptDialogOpening)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, FaviconChanged)

std::string Wv2Webview::GetFaviconURL() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_GetFaviconURL>(*this, kWv2Text);
}

Wv2Token Wv2Webview::Attach_FaviconChangedAgain(Wv2Routine routine, std::uint32_t userValue) {
  return Attach_FaviconChanged(routine, userValue);
}

int Wv2Webview::Detach_FaviconChangedAgain(Wv2Token token) {
  return Detach_FaviconChanged(token);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, FrameCreated)

int Wv2Webview::NavigateRequest(const Wv2ResourceRequest& request) {
  return Wv2Call<Wv2Export::wv2_Webview_NavigateRequest>(*this, request.BridgeHandle());
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, ContextMenuRequested)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, DownloadStarting)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, WebMessageReceived)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, ContentLoading)
WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, StatusBarTextChanged)

std::string Wv2Webview::GetStatusBarText() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_GetStatusBarText>(*this, kWv2Text);
}

WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, ClientCertificateRequested)
