#pragma once
// Wv2MenuItem: a wrapper round an item of a view's context menu (exports
// "wv2_MenuItem_"). Without a handle, or when the bridge lacks an export, an
// operation calls nothing and gives 0 (GetType -1), the UTF-16 terminator
// alone (an empty array for the icon) or a wrapper without a handle.
// User-interface thread only.

#include <cstdint>
#include <string>

#include "ui/signin/wv2_object.h"

class Wv2MenuItemCollection;

class Wv2MenuItem : public Wv2Object<Wv2MenuItem> {
 public:
  using Wv2Object::Wv2Object;

  std::string GetName();
  std::string GetLabel();
  int GetCommandID();
  std::string GetShortcutKeyDescription();
  // The icon's bytes.
  std::string GetIcon();
  // The item's kind; -1 without a handle.
  int GetType();
  // The setting form (passes 0 and the new value) and the reading form
  // (passes 1 and 0) of each attribute.
  int Enabled_Attr(bool enabled);
  int Enabled_Attr();
  int Checked_Attr(bool checked);
  int Checked_Attr();
  Wv2MenuItemCollection GetChildren();
  Wv2Token Attach_ItemSelected(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ItemSelected(Wv2Token token);
};
