#include "ui/signin/wv2_menu_item_collection.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_menu_item.h"

int Wv2MenuItemCollection::GetCount() {
  return Wv2Call<Wv2Export::wv2_MenuItemCollection_GetCount>(*this);
}

Wv2MenuItem Wv2MenuItemCollection::GetValueAt(int index) {
  return Wv2CallObjectOut<Wv2MenuItem, Wv2Export::wv2_MenuItemCollection_GetValueAt>(*this, index);
}

int Wv2MenuItemCollection::RemoveAt(int index) {
  return Wv2Call<Wv2Export::wv2_MenuItemCollection_RemoveAt>(*this, index);
}

int Wv2MenuItemCollection::InsertAt(int index, const Wv2MenuItem& item) {
  return Wv2Call<Wv2Export::wv2_MenuItemCollection_InsertAt>(*this, index, item.BridgeHandle());
}
