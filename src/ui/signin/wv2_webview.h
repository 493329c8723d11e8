#pragma once
// Wv2Webview: a wrapper round a view of the WebView2 bridge library (exports
// "wv2_Webview_"): navigation, scripts, settings, the view's cookie manager,
// profile and environment, and its events. Texts are UTF-16 bytes with their
// terminator; text results are new UTF-16 byte arrays. Without a handle, or
// when the bridge lacks an export, an operation calls nothing and gives 0,
// the UTF-16 terminator alone (an empty array for the preview image), a
// zeroed record or a wrapper without a handle. User-interface thread only.

#include <cstdint>
#include <string>

#include "ui/signin/wv2_object.h"

class Wv2CookieManager;
class Wv2Environment;
class Wv2Profile;
class Wv2ResourceRequest;

class Wv2Webview : public Wv2Object<Wv2Webview> {
 public:
  using Wv2Object::Wv2Object;

  int CanGoBack();
  int CanGoForward();
  int GoBack();
  int GoForward();
  int Reload();
  int Stop();
  int Navigate(const std::string& address);
  int NavigateToString(const std::string& html);
  // The routine is optional: without one the bridge gets address 0.
  int ExecuteScript(const std::string& script, Wv2Routine routine = nullptr,
                    std::uint32_t userValue = 0);
  std::string ExecuteScript_Sync(const std::string& script);
  int CallDevtoolsProtocolsMethod(const std::string& method, const std::string& parameters,
                                  Wv2Routine routine = nullptr, std::uint32_t userValue = 0);
  std::string CallDevtoolsProtocolsMethod_Sync(const std::string& method,
                                               const std::string& parameters);
  std::string GetDocumentTitle();
  std::string GetURL();
  int GetBrowserProcessID();
  Wv2Token Attach_NewWindowRequest(Wv2Routine routine, std::uint32_t userValue);
  int Detach_NewWindowRequest(Wv2Token token);
  Wv2Token Attach_WindowCloseRequest(Wv2Routine routine, std::uint32_t userValue);
  int Detach_WindowCloseRequest(Wv2Token token);
  Wv2Token Attach_SourceChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_SourceChanged(Wv2Token token);
  Wv2Token Attach_DocumentTitleChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_DocumentTitleChanged(Wv2Token token);
  int CapturePreview(int imageFormat, Wv2Routine routine, std::uint32_t userValue);
  // The image bytes; an empty array without a handle.
  std::string CapturePreview_Sync(int imageFormat);
  Wv2Token Attach_NavigationStarting(Wv2Routine routine, std::uint32_t userValue);
  int Detach_NavigationStarting(Wv2Token token);
  Wv2Token Attach_NavigationCompleted(Wv2Routine routine, std::uint32_t userValue);
  int Detach_NavigationCompleted(Wv2Token token);
  Wv2Token Attach_ContainsFullScreenElementChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ContainsFullScreenElementChanged(Wv2Token token);
  int GetFullscreenMode();
  // Fills `settings` in place.
  int GetSettings(Wv2ViewSettings& settings);
  int SetSettings(const Wv2ViewSettings& settings);
  std::string GetUserAgent();
  int SetUserAgent(const std::string& userAgent);
  Wv2CookieManager GetCookieManager();
  int OpenDevTools();
  int OpenTaskManager();
  Wv2Token Attach_PermissionRequested(Wv2Routine routine, std::uint32_t userValue);
  int Detach_PermissionRequested(Wv2Token token);
  int IsDefaultDownloadDialogOpen();
  int OpenDefaultDownloadDialog();
  int CloseDefaultDownloadDialog();
  int SetDefaultDownloadDialogMargin(const Wv2Margin& margin);
  Wv2Margin GetDefaultDownloadDialogMargin();
  Wv2Profile GetProfile();
  int AddWebResourceRequestedFilter(const std::string& addressPattern, int resourceContext);
  int RemoveWebResourceRequestedFilter(const std::string& addressPattern, int resourceContext);
  Wv2Token Attach_WebResourceRequested(Wv2Routine routine, std::uint32_t userValue);
  int Detach_WebResourceRequested(Wv2Token token);
  Wv2Token Attach_WebResourceResponseReceived(Wv2Routine routine, std::uint32_t userValue);
  int Detach_WebResourceResponseReceived(Wv2Token token);
  Wv2Token Attach_IsDocumentPlayingAudioChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_IsDocumentPlayingAudioChanged(Wv2Token token);
  int GetAudioPlaying();
  int GetMute();
  int SetMute(bool mute);
  int AddPreloadScript(const std::string& script, Wv2Routine routine = nullptr,
                       std::uint32_t userValue = 0);
  // The script's identifier.
  std::string AddPreloadScript_Sync(const std::string& script);
  int RemovePreloadScript(const std::string& identifier);
  Wv2Environment GetEnvironment();
  Wv2Token Attach_ScriptDialogOpening(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ScriptDialogOpening(Wv2Token token);
  Wv2Token Attach_FaviconChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_FaviconChanged(Wv2Token token);
  std::string GetFaviconURL();
  // The favicon event's pair once more: the same exports as the pair above.
  Wv2Token Attach_FaviconChangedAgain(Wv2Routine routine, std::uint32_t userValue);
  int Detach_FaviconChangedAgain(Wv2Token token);
  Wv2Token Attach_FrameCreated(Wv2Routine routine, std::uint32_t userValue);
  int Detach_FrameCreated(Wv2Token token);
  int NavigateRequest(const Wv2ResourceRequest& request);
  Wv2Token Attach_ContextMenuRequested(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ContextMenuRequested(Wv2Token token);
  Wv2Token Attach_DownloadStarting(Wv2Routine routine, std::uint32_t userValue);
  int Detach_DownloadStarting(Wv2Token token);
  Wv2Token Attach_WebMessageReceived(Wv2Routine routine, std::uint32_t userValue);
  int Detach_WebMessageReceived(Wv2Token token);
  Wv2Token Attach_ContentLoading(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ContentLoading(Wv2Token token);
  Wv2Token Attach_StatusBarTextChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_StatusBarTextChanged(Wv2Token token);
  std::string GetStatusBarText();
  Wv2Token Attach_ClientCertificateRequested(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ClientCertificateRequested(Wv2Token token);
};
