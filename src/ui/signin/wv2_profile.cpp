#include "ui/signin/wv2_profile.h"

#include "ui/signin/wv2_calls.h"

std::string Wv2Profile::GetName() {
  return Wv2CallTextOut<Wv2Export::wv2_Profile_GetName>(*this, kWv2Text);
}

std::string Wv2Profile::GetPath() {
  return Wv2CallTextOut<Wv2Export::wv2_Profile_GetPath>(*this, kWv2Text);
}

std::string Wv2Profile::GetDefaultDownloadPath() {
  return Wv2CallTextOut<Wv2Export::wv2_Profile_GetDefaultDownloadPath>(*this, kWv2Text);
}

int Wv2Profile::GetPrivateInMode() {
  return Wv2Call<Wv2Export::wv2_Profile_GetPrivateInMode>(*this);
}

int Wv2Profile::SetDefaultDownloadPath(const std::string& path) {
  return Wv2Call<Wv2Export::wv2_Profile_SetDefaultDownloadPath>(*this, Wv2TextArgument(path));
}

int Wv2Profile::GetColorTheme() {
  return Wv2Call<Wv2Export::wv2_Profile_GetColorTheme>(*this);
}

int Wv2Profile::SetColorTheme(int theme) {
  return Wv2Call<Wv2Export::wv2_Profile_SetColorTheme>(*this, theme);
}

int Wv2Profile::ClearBrowsingData(int dataKinds, Wv2Routine routine, std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Profile_ClearBrowsingData>(*this, dataKinds, routine, userValue);
}

int Wv2Profile::ClearBrowsingData_Sync(int dataKinds) {
  return Wv2Call<Wv2Export::wv2_Profile_ClearBrowsingData_Sync>(*this, dataKinds);
}

int Wv2Profile::ClearBrowsingDataInTimeRange(int dataKinds, double start, double end,
                                             Wv2Routine routine, std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Profile_ClearBrowsingDataInTimeRange>(*this, dataKinds, start,
                                                                      end, routine, userValue);
}

int Wv2Profile::ClearBrowsingDataInTimeRange_Sync(int dataKinds, double start, double end) {
  return Wv2Call<Wv2Export::wv2_Profile_ClearBrowsingDataInTimeRange_Sync>(*this, dataKinds,
                                                                           start, end);
}

int Wv2Profile::ClearAllBrowsingData(Wv2Routine routine, std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Profile_ClearAllBrowsingData>(*this, routine, userValue);
}

int Wv2Profile::ClearAllBrowsingData_Sync() {
  return Wv2Call<Wv2Export::wv2_Profile_ClearAllBrowsingData_Sync>(*this);
}
