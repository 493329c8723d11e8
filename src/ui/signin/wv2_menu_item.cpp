#include "ui/signin/wv2_menu_item.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_menu_item_collection.h"

namespace {

// The first argument of the attribute exports.
constexpr int kSetAttribute = 0;
constexpr int kReadAttribute = 1;

}  // namespace

std::string Wv2MenuItem::GetName() {
  return Wv2CallTextOut<Wv2Export::wv2_MenuItem_GetName>(*this, kWv2Text);
}

std::string Wv2MenuItem::GetLabel() {
  return Wv2CallTextOut<Wv2Export::wv2_MenuItem_GetLabel>(*this, kWv2Text);
}

int Wv2MenuItem::GetCommandID() {
  return Wv2Call<Wv2Export::wv2_MenuItem_GetCommandID>(*this);
}

std::string Wv2MenuItem::GetShortcutKeyDescription() {
  return Wv2CallTextOut<Wv2Export::wv2_MenuItem_GetShortcutKeyDescription>(*this, kWv2Text);
}

std::string Wv2MenuItem::GetIcon() {
  return Wv2CallTextOut<Wv2Export::wv2_MenuItem_GetIcon>(*this, kWv2Returned | kWv2Bytes);
}

int Wv2MenuItem::GetType() {
  if (!HasHandle() || Wv2Bound<Wv2Export::wv2_MenuItem_GetType>() == nullptr) {
    return -1;
  }
  return Wv2Call<Wv2Export::wv2_MenuItem_GetType>(*this);
}

int Wv2MenuItem::Enabled_Attr(bool enabled) {
  return Wv2Call<Wv2Export::wv2_MenuItem_Enabled_Attr>(*this, kSetAttribute, enabled ? 1 : 0);
}

int Wv2MenuItem::Enabled_Attr() {
  return Wv2Call<Wv2Export::wv2_MenuItem_Enabled_Attr>(*this, kReadAttribute, 0);
}

int Wv2MenuItem::Checked_Attr(bool checked) {
  return Wv2Call<Wv2Export::wv2_MenuItem_Checked_Attr>(*this, kSetAttribute, checked ? 1 : 0);
}

int Wv2MenuItem::Checked_Attr() {
  return Wv2Call<Wv2Export::wv2_MenuItem_Checked_Attr>(*this, kReadAttribute, 0);
}

Wv2MenuItemCollection Wv2MenuItem::GetChildren() {
  return Wv2CallObjectOut<Wv2MenuItemCollection, Wv2Export::wv2_MenuItem_GetChildren>(*this);
}

WV2_EVENT_OPERATIONS(Wv2MenuItem, wv2_MenuItem_, ItemSelected)
