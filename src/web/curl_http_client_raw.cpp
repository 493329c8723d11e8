// CurlHttpClient's raw option and info forms, the settings that are one
// libcurl option each, the upload buffer, escaping and the info getters.
// The raw forms check an option's or info's type before they pass a value, so
// a wrong call is refused instead of handing libcurl a bad pointer.

#include "web/curl_http_client.h"

#include <climits>
#include <new>

#include "platform/code_page_codec.h"

namespace {

// Options that keep every transfer verified and limited to http and https;
// only Open and Reset set them.
bool IsGuardedOption(CURLoption option) {
  switch (option) {
    case CURLOPT_SSL_VERIFYPEER:
    case CURLOPT_SSL_VERIFYHOST:
    case CURLOPT_PROXY_SSL_VERIFYPEER:
    case CURLOPT_PROXY_SSL_VERIFYHOST:
    case CURLOPT_PROTOCOLS_STR:
    case CURLOPT_REDIR_PROTOCOLS_STR:
    case CURLOPT_PRIVATE:
      return true;
    default:
      return false;
  }
}

// True when `option` is a known option of one of the given types that the raw
// forms may set.
bool OptionHasType(CURLoption option, curl_easytype first, curl_easytype second) {
  const curl_easyoption* known = curl_easy_option_by_id(option);
  return known != nullptr && !IsGuardedOption(option) &&
         (known->type == first || known->type == second);
}

bool InfoHasType(CURLINFO info, int type) {
  return (info & CURLINFO_TYPEMASK) == type;
}

}  // namespace

CURLcode CurlHttpClient::SetOptionInteger(CURLoption option, long value) {
  if (m_handle == nullptr || !OptionHasType(option, CURLOT_LONG, CURLOT_VALUES)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  return curl_easy_setopt(m_handle, option, value);
}

CURLcode CurlHttpClient::SetOptionLarge(CURLoption option, curl_off_t value) {
  if (m_handle == nullptr || !OptionHasType(option, CURLOT_OFF_T, CURLOT_OFF_T)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  return curl_easy_setopt(m_handle, option, value);
}

CURLcode CurlHttpClient::SetOptionText(CURLoption option, const std::string& text) {
  if (m_handle == nullptr || !OptionHasType(option, CURLOT_STRING, CURLOT_STRING)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  return curl_easy_setopt(m_handle, option, text.c_str());
}

CURLcode CurlHttpClient::SetOptionBytes(CURLoption option, const std::string& bytes) {
  if (m_handle == nullptr) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  if (option == CURLOPT_POSTFIELDS || option == CURLOPT_COPYPOSTFIELDS) {
    // libcurl copies exactly the length set before; a pointer to bytes it does
    // not own could be read past their end by a later length.
    CURLcode code = curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE_LARGE,
                                     static_cast<curl_off_t>(bytes.size()));
    return code != CURLE_OK ? code
                            : curl_easy_setopt(m_handle, CURLOPT_COPYPOSTFIELDS, bytes.data());
  }
  if (!OptionHasType(option, CURLOT_BLOB, CURLOT_BLOB)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  curl_blob blob{const_cast<char*>(bytes.data()), bytes.size(), CURL_BLOB_COPY};
  return curl_easy_setopt(m_handle, option, &blob);
}

CURLcode CurlHttpClient::Perform() {
  return m_handle != nullptr ? curl_easy_perform(m_handle) : CURLE_BAD_FUNCTION_ARGUMENT;
}

long long CurlHttpClient::GetInfoInteger(CURLINFO info) const {
  if (m_handle != nullptr && InfoHasType(info, CURLINFO_LONG)) {
    long value = 0;
    return curl_easy_getinfo(m_handle, info, &value) == CURLE_OK ? value : 0;
  }
  if (m_handle != nullptr && InfoHasType(info, CURLINFO_OFF_T)) {
    curl_off_t value = 0;
    return curl_easy_getinfo(m_handle, info, &value) == CURLE_OK ? value : 0;
  }
  return 0;
}

double CurlHttpClient::GetInfoDouble(CURLINFO info) const {
  double value = 0.0;
  if (m_handle == nullptr || !InfoHasType(info, CURLINFO_DOUBLE) ||
      curl_easy_getinfo(m_handle, info, &value) != CURLE_OK) {
    return 0.0;
  }
  return value;
}

std::string CurlHttpClient::GetInfoText(CURLINFO info) const {
  // The private pointer is typed as a text but holds this client.
  char* text = nullptr;
  if (m_handle == nullptr || info == CURLINFO_PRIVATE || !InfoHasType(info, CURLINFO_STRING) ||
      curl_easy_getinfo(m_handle, info, &text) != CURLE_OK || text == nullptr) {
    return {};
  }
  return text;
}

CURLcode CurlHttpClient::GetInfoList(CURLINFO info, std::vector<std::string>& items) const {
  items.clear();
  // Only these two lists are the caller's to free; other pointer infos share
  // the type but belong to the handle.
  if (m_handle == nullptr || (info != CURLINFO_COOKIELIST && info != CURLINFO_SSL_ENGINES)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  curl_slist* list = nullptr;
  CURLcode code = curl_easy_getinfo(m_handle, info, &list);
  for (const curl_slist* item = list; code == CURLE_OK && item != nullptr; item = item->next) {
    items.emplace_back(item->data);
  }
  curl_slist_free_all(list);
  return code;
}

CURLcode CurlHttpClient::GetInfoCertificates(
    CURLINFO info, std::vector<std::vector<std::string>>& certificates) const {
  certificates.clear();
  if (m_handle == nullptr || info != CURLINFO_CERTINFO) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  curl_certinfo* chain = nullptr;
  CURLcode code = curl_easy_getinfo(m_handle, info, &chain);
  if (code != CURLE_OK || chain == nullptr) {
    return code;
  }
  for (int i = 0; i < chain->num_of_certs; ++i) {
    std::vector<std::string>& texts = certificates.emplace_back();
    for (const curl_slist* item = chain->certinfo[i]; item != nullptr; item = item->next) {
      texts.emplace_back(item->data);
    }
  }
  return CURLE_OK;
}

std::string CurlHttpClient::Escape(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) {
    return {};  // libcurl would take a length of 0 as "up to the first zero byte"
  }
  char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
  if (escaped == nullptr) {
    return {};
  }
  std::string result = escaped;
  curl_free(escaped);
  return result;
}

std::string CurlHttpClient::Unescape(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) {
    return {};
  }
  int length = 0;
  char* bytes = curl_easy_unescape(nullptr, text.data(), static_cast<int>(text.size()), &length);
  if (bytes == nullptr) {
    return {};
  }
  std::string result(bytes, static_cast<size_t>(length));
  curl_free(bytes);
  return result;
}

bool CurlHttpClient::SetTimeoutsSeconds(long connectSeconds, long totalSeconds) {
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT, connectSeconds)) &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_TIMEOUT, totalSeconds));
}

bool CurlHttpClient::SetHttpVersion(int version) {
  static const long kVersions[] = {CURL_HTTP_VERSION_1_0, CURL_HTTP_VERSION_1_1,
                                   CURL_HTTP_VERSION_2_0};
  if (version < 1 || version > 3) {
    return true;
  }
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_HTTP_VERSION, kVersions[version - 1]));
}

bool CurlHttpClient::SetHeadOnly(bool on) {
  return m_handle != nullptr && SetOk(curl_easy_setopt(m_handle, CURLOPT_NOBODY, on ? 1L : 0L));
}

bool CurlHttpClient::SetSslVerify(bool verifyPeer, bool verifyHost) {
  if (!verifyPeer || !verifyHost || m_handle == nullptr) {
    return false;
  }
  return SetOk(curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, 1L)) &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, 2L));
}

bool CurlHttpClient::SetAutoCookies(int on) {
  if (on != 0 && on != 1) {
    return false;
  }
  m_autoCookies = on == 1;
  return m_autoCookies;
}

bool CurlHttpClient::SetProgressCallback(curl_xferinfo_callback routine, void* value) {
  if (m_handle == nullptr) {
    return false;
  }
  bool ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_XFERINFOFUNCTION, routine));
  ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_XFERINFODATA, value)) && ok;
  return SetOk(curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, routine != nullptr ? 0L : 1L)) && ok;
}

bool CurlHttpClient::SetUploadData(const std::string& bytes) {
  if (m_handle == nullptr) {
    return false;
  }
  m_upload.clear();
  m_uploadPos = 0;
  return AppendUploadData(bytes);
}

bool CurlHttpClient::AppendUploadData(const std::string& bytes) {
  if (m_handle == nullptr) {
    return false;
  }
  try {
    m_upload += bytes;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

std::string CurlHttpClient::ResponseText() const {
  return m_body.empty() ? std::string() : Utf8ToCp936(m_body);
}
