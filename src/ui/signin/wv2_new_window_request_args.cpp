#include "ui/signin/wv2_new_window_request_args.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_deferral.h"
#include "ui/signin/wv2_webview.h"

Wv2Deferral Wv2NewWindowRequestArgs::GetDeferral() {
  return Wv2CallObjectOut<Wv2Deferral, Wv2Export::wv2_Webview_NewWindowRequestArgs_GetDeferral>(
      *this);
}

std::string Wv2NewWindowRequestArgs::GetURL() {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_NewWindowRequestArgs_GetURL>(*this, kWv2Text);
}

Wv2Webview Wv2NewWindowRequestArgs::GetNewWindow() {
  return Wv2CallObjectOut<Wv2Webview, Wv2Export::wv2_Webview_NewWindowRequestArgs_GetNewWindow>(
      *this);
}

int Wv2NewWindowRequestArgs::SetNewWindow(const Wv2Webview& view) {
  return Wv2Call<Wv2Export::wv2_Webview_NewWindowRequestArgs_SetNewWindow>(*this,
                                                                            view.BridgeHandle());
}

int Wv2NewWindowRequestArgs::SetHandled(bool handled) {
  return Wv2Call<Wv2Export::wv2_Webview_NewWindowRequestArgs_SetHandled>(*this, handled ? 1 : 0);
}

int Wv2NewWindowRequestArgs::GetHandled() {
  return Wv2Call<Wv2Export::wv2_Webview_NewWindowRequestArgs_GetHandled>(*this);
}

Wv2WindowFeatures Wv2NewWindowRequestArgs::GetFeatures() {
  return Wv2CallRecordOut<Wv2WindowFeatures,
                          Wv2Export::wv2_Webview_NewWindowRequestArgs_GetFeatures>(*this);
}
