#include "ui/signin/wv2_controller.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_webview.h"

namespace {

std::uint32_t Channel(std::int32_t value) {
  return static_cast<std::uint32_t>(value) & 0xFFu;
}

}  // namespace

std::uint32_t PackWv2Color(const Wv2ColorRecord& color) {
  return Channel(color.alpha) | Channel(color.red) << 8 | Channel(color.green) << 16 |
         Channel(color.blue) << 24;
}

Wv2ColorRecord UnpackWv2Color(std::uint32_t packed) {
  Wv2ColorRecord color;
  color.alpha = static_cast<std::int32_t>(packed & 0xFFu);
  color.red = static_cast<std::int32_t>(packed >> 8 & 0xFFu);
  color.green = static_cast<std::int32_t>(packed >> 16 & 0xFFu);
  color.blue = static_cast<std::int32_t>(packed >> 24 & 0xFFu);
  return color;
}

int Wv2Controller::Close() {
  if (!HasHandle()) {
    return 0;
  }
  auto* close = Wv2Bound<Wv2Export::wv2_Controller_Close>();
  if (close == nullptr) {
    return 0;
  }
  const int result = close(BridgeHandle());
  SetHandle(nullptr);
  return result;
}

int Wv2Controller::GetVisible() {
  return Wv2Call<Wv2Export::wv2_Controller_GetVisible>(*this);
}

int Wv2Controller::SetVisible(bool visible) {
  return Wv2Call<Wv2Export::wv2_Controller_SetVisible>(*this, visible ? 1 : 0);
}

Wv2Rect Wv2Controller::GetBounds() {
  return Wv2CallRecordOut<Wv2Rect, Wv2Export::wv2_Controller_GetBounds>(*this);
}

int Wv2Controller::SetBounds(const Wv2Rect& bounds) {
  return Wv2Call<Wv2Export::wv2_Controller_SetBounds>(*this, &bounds);
}

double Wv2Controller::GetZoomFactor() {
  return Wv2CallRecordOut<double, Wv2Export::wv2_Controller_GetZoomFactor>(*this);
}

int Wv2Controller::SetZoomFactor(double factor) {
  return Wv2Call<Wv2Export::wv2_Controller_SetZoomFactor>(*this, factor);
}

Wv2Webview Wv2Controller::GetWebview2() {
  return Wv2CallObjectOut<Wv2Webview, Wv2Export::wv2_Controller_GetWebview2>(*this);
}

Wv2ColorRecord Wv2Controller::GetBackgroundColor() {
  return UnpackWv2Color(
      Wv2CallRecordOut<std::uint32_t, Wv2Export::wv2_Controller_GetBackgroundColor>(*this));
}

int Wv2Controller::SetBackgroundColor(Wv2ColorRecord& color) {
  if (!HasHandle()) {
    return 0;
  }
  auto* setColor = Wv2Bound<Wv2Export::wv2_Controller_SetBackgroundColor>();
  if (setColor == nullptr) {
    return 0;
  }
  std::uint32_t packed = PackWv2Color(color);
  const int result = setColor(BridgeHandle(), &packed);
  color = UnpackWv2Color(packed);
  return result;
}

WV2_EVENT_OPERATIONS(Wv2Controller, wv2_Controller_, AcceleratorKeyPressed)
WV2_EVENT_OPERATIONS(Wv2Controller, wv2_Controller_, ZoomFactorChanged)

int Wv2Controller::GetAllowExternalDrop() {
  return Wv2Call<Wv2Export::wv2_Controller_GetAllowExternalDrop>(*this);
}

int Wv2Controller::SetAllowExternalDrop(bool allow) {
  return Wv2Call<Wv2Export::wv2_Controller_SetAllowExternalDrop>(*this, allow ? 1 : 0);
}
