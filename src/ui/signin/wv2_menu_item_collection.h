#pragma once
// Wv2MenuItemCollection: a wrapper round a list of context-menu items
// (exports "wv2_MenuItemCollection_"). Without a handle, or when the bridge
// lacks an export, an operation calls nothing and gives 0 or a wrapper without
// a handle. User-interface thread only.

#include "ui/signin/wv2_object.h"

class Wv2MenuItem;

class Wv2MenuItemCollection : public Wv2Object<Wv2MenuItemCollection> {
 public:
  using Wv2Object::Wv2Object;

  int GetCount();
  Wv2MenuItem GetValueAt(int index);
  int RemoveAt(int index);
  int InsertAt(int index, const Wv2MenuItem& item);
};
