#pragma once
// Wv2Profile: a wrapper round the browser profile of a view (exports
// "wv2_Profile_"). Without a handle, or when the bridge lacks an export, an
// operation calls nothing and gives 0 or the UTF-16 terminator alone.
// User-interface thread only.

#include <cstdint>
#include <string>

#include "ui/signin/wv2_object.h"

class Wv2Profile : public Wv2Object<Wv2Profile> {
 public:
  using Wv2Object::Wv2Object;

  std::string GetName();
  std::string GetPath();
  std::string GetDefaultDownloadPath();
  int GetPrivateInMode();
  int SetDefaultDownloadPath(const std::string& path);
  int GetColorTheme();
  int SetColorTheme(int theme);
  int ClearBrowsingData(int dataKinds, Wv2Routine routine, std::uint32_t userValue);
  int ClearBrowsingData_Sync(int dataKinds);
  int ClearBrowsingDataInTimeRange(int dataKinds, double start, double end, Wv2Routine routine,
                                   std::uint32_t userValue);
  int ClearBrowsingDataInTimeRange_Sync(int dataKinds, double start, double end);
  int ClearAllBrowsingData(Wv2Routine routine, std::uint32_t userValue);
  int ClearAllBrowsingData_Sync();
};
