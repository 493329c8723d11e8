// WkeBrowserControl: the stored form of the own properties, the user-agent
// presets, the engine data folders and the MemoryDcSurface.

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/code_page_codec.h"
#include "ui/signin/wke_browser_control.h"

namespace {

const char* const kChromeAgent =
    "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/69.0.3497.100 Safari/537.36";

void PutInteger(std::vector<unsigned char>& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<unsigned char>(bits >> shift));
  }
}

void PutText(std::vector<unsigned char>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

// Reads the stored form field by field, never past its end.
class BlobReader {
 public:
  BlobReader(const void* data, int length)
      : m_data(static_cast<const unsigned char*>(data)),
        m_length(data != nullptr && length > 0 ? static_cast<size_t>(length) : 0) {}

  bool Integer(std::int32_t& value) {
    if (m_length - m_at < 4) {
      m_at = m_length;
      return false;
    }
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
      bits |= static_cast<std::uint32_t>(m_data[m_at + static_cast<size_t>(i)]) << (8 * i);
    }
    m_at += 4;
    value = static_cast<std::int32_t>(bits);
    return true;
  }

  // A text ends at its zero or at the end of the stored form.
  bool Text(std::string& value) {
    if (m_at >= m_length) {
      return false;
    }
    const auto* start = m_data + m_at;
    const auto* zero = static_cast<const unsigned char*>(std::memchr(start, 0, m_length - m_at));
    const size_t size = zero != nullptr ? static_cast<size_t>(zero - start) : m_length - m_at;
    value.assign(reinterpret_cast<const char*>(start), size);
    m_at += size + (zero != nullptr ? 1 : 0);
    return true;
  }

 private:
  const unsigned char* m_data;
  size_t m_length;
  size_t m_at = 0;
};

void SetBoth(std::string& narrow, std::u16string& wide, const std::string& text) {
  wide = text.empty() ? std::u16string() : DecodeToUtf16(text, kCodePageLocal);
  narrow = EncodeFromUtf16(wide, kCodePageLocal);
}

}  // namespace

WkeBrowserPropertyBlob MakeWkePropertyBlob(const WkeBrowserControl& instance) {
  std::vector<unsigned char> out;
  PutInteger(out, static_cast<std::int32_t>(kWkePropertyMarker));
  PutInteger(out, instance.disableF5Refresh);
  PutInteger(out, instance.disableCookies);
  PutText(out, instance.url);
  PutText(out, instance.localStoragePath);
  PutText(out, instance.cookieJarPath);
  PutText(out, instance.userAgent);
  PutInteger(out, instance.allowNewWindows);
  return out;
}

void WkeBrowserControl::LoadProperties(WkeBrowserControl& instance, const void* stored,
                                       int length) {
  if (length < 1 || stored == nullptr) {
    return;
  }
  BlobReader reader(stored, length);
  std::int32_t marker = 0;
  std::string text;
  // The marker is not checked; each field beyond the end keeps its default.
  if (!reader.Integer(marker) || !reader.Integer(instance.disableF5Refresh) ||
      !reader.Integer(instance.disableCookies)) {
    return;
  }
  std::string* narrow[] = {&instance.url, &instance.localStoragePath, &instance.cookieJarPath,
                           &instance.userAgent};
  std::u16string* wide[] = {&instance.urlWide, &instance.localStoragePathWide,
                            &instance.cookieJarPathWide, &instance.userAgentWide};
  for (int i = 0; i < 4; ++i) {
    if (!reader.Text(text)) {
      return;
    }
    SetBoth(*narrow[i], *wide[i], text);
  }
  reader.Integer(instance.allowNewWindows);
}

const std::vector<UserAgentPresets::Preset>& UserAgentPresets::Table() {
  static const auto* presets = new std::vector<Preset>{
      {"iPhone X",
       "Mozilla/5.0 (iPhone; CPU iPhone OS 11_0 like Mac OS X) AppleWebKit/604.1.38 (KHTML, like "
       "Gecko) Version/11.0 Mobile/15A372 Safari/604.1"},
      {"iPad Pro",
       "Mozilla/5.0 (iPad; CPU OS 11_0 like Mac OS X) AppleWebKit/604.1.34 (KHTML, like Gecko) "
       "Version/11.0 Mobile/15A5341f Safari/604.1"},
      {"安卓Galaxy S5",
       "Mozilla/5.0 (Linux; Android 5.0; SM-G900P Build/LRX21T) AppleWebKit/537.36 (KHTML, like "
       "Gecko) Chrome/69.0.3497.100 Mobile Safari/537.36"},
      {"Winsows Safari",
       "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/534.50 (KHTML, like Gecko) Version/5.1 "
       "Safari/534.50"},
      {"Winsows Chrome", kChromeAgent},
      {"默认UA", kChromeAgent},
      {"Winsows Firefox", "Mozilla/5.0 (Windows NT 10.0; WOW64; rv:6.0) Gecko/20100101 Firefox/6.0"},
      {"Winsows Opera", "Opera/9.80 (Windows NT 10.0; U; zh-cn) Presto/2.9.168 Version/11.50"},
      {"Winsows IE9",
       "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 10.0; Win64; x64; Trident/5.0; .NET CLR "
       "2.0.50727; SLCC2; .NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; InfoPath.3; "
       ".NET4.0C; Tablet PC 2.0; .NET4.0E)"},
      {"Winsows IE8",
       "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 10.0; WOW64; Trident/4.0; SLCC2; .NET CLR "
       "2.0.50727; .NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; .NET4.0C; "
       "InfoPath.3)"},
      {"Winsows IE7", "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 10.0; WOW64)"},
  };
  return *presets;
}

std::string UserAgentPresets::Resolve(const std::string& text) {
  for (const Preset& preset : Table()) {
    if (preset.name == text) {
      return preset.agent;
    }
  }
  return text;
}

const std::vector<std::string>& UserAgentPresets::Names() {
  static const auto* names = [] {
    auto* made = new std::vector<std::string>{""};
    for (const Preset& preset : Table()) {
      made->push_back(preset.name);
    }
    return made;
  }();
  return *names;
}

MemoryDcSurface MemoryDcSurface::ForClientArea(int width, int height) {
  MemoryDcSurface surface;
  surface.width = std::max(width, 0);
  surface.height = std::max(height, 0);
  surface.pixels.assign(static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height), 0);
  return surface;
}

std::u16string MakeEngineDataPath(const WkeBrowserControl& instance, const std::string& text) {
  if (instance.designMode) {
    return {};
  }
  std::u16string path = text.empty() || text.front() != '/' ? instance.programFolder : u"";
  path += text.empty() ? std::u16string() : DecodeToUtf16(text, kCodePageLocal);
  if (path.empty() || path.back() != u'/') {
    path += u'/';
  }
  return path;
}
