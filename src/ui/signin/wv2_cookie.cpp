#include "ui/signin/wv2_cookie.h"

#include "ui/signin/wv2_calls.h"

std::string Wv2Cookie::GetName() {
  return Wv2CallTextOut<Wv2Export::wv2_CookieData_GetName>(*this, kWv2Text);
}

std::string Wv2Cookie::GetValue() {
  return Wv2CallTextOut<Wv2Export::wv2_CookieData_GetValue>(*this, kWv2Text);
}

std::string Wv2Cookie::GetDomain() {
  return Wv2CallTextOut<Wv2Export::wv2_CookieData_GetDomain>(*this, kWv2Text);
}

std::string Wv2Cookie::GetPath() {
  return Wv2CallTextOut<Wv2Export::wv2_CookieData_GetPath>(*this, kWv2Text);
}

int Wv2Cookie::SetValue(const std::string& value) {
  return Wv2Call<Wv2Export::wv2_CookieData_SetValue>(*this, Wv2TextArgument(value));
}

double Wv2Cookie::GetExpires() {
  return Wv2Call<Wv2Export::wv2_CookieData_GetExpires>(*this);
}

int Wv2Cookie::SetExpires(double expires) {
  return Wv2Call<Wv2Export::wv2_CookieData_SetExpires>(*this, expires);
}

int Wv2Cookie::GetHTTPOnly() {
  return Wv2Call<Wv2Export::wv2_CookieData_GetHTTPOnly>(*this);
}

int Wv2Cookie::SetHTTPOnly(bool httpOnly) {
  return Wv2Call<Wv2Export::wv2_CookieData_SetHTTPOnly>(*this, httpOnly ? 1 : 0);
}

int Wv2Cookie::GetSameSite() {
  return Wv2Call<Wv2Export::wv2_CookieData_GetSameSite>(*this);
}

int Wv2Cookie::SetSameSite(int sameSite) {
  return Wv2Call<Wv2Export::wv2_CookieData_SetSameSite>(*this, sameSite);
}

int Wv2Cookie::GetSecure() {
  return Wv2Call<Wv2Export::wv2_CookieData_GetSecure>(*this);
}

int Wv2Cookie::SetSecure(bool secure) {
  return Wv2Call<Wv2Export::wv2_CookieData_SetSecure>(*this, secure ? 1 : 0);
}

int Wv2Cookie::GetSession() {
  return Wv2Call<Wv2Export::wv2_CookieData_GetSession>(*this);
}
