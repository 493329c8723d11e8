#include "platform/code_page_codec.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <memory>

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// One iconv descriptor per direction and thread; iconv state is not shareable.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid())
      iconv_close(m_cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_cd; }
  void Reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t m_cd;
};

std::atomic<const char*> g_cp936Charset{"CP936"};

const IconvHandle& Cp936Decoder() {
  thread_local IconvHandle handle("UTF-16LE", g_cp936Charset.load());
  return handle;
}

const IconvHandle& Cp936Encoder() {
  thread_local IconvHandle handle(g_cp936Charset.load(), "UTF-16LE");
  return handle;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

bool IsHigh(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Decodes UTF-8; with allowSurrogates, three-byte encodings of surrogates are
// taken as code units (CESU-8). Each invalid byte becomes one U+FFFD.
std::u16string DecodeUtf8(std::string_view in, bool allowSurrogates) {
  std::u16string out;
  out.reserve(in.size());
  size_t i = 0;
  const size_t n = in.size();
  auto cont = [&](size_t k) { return k < n && (static_cast<unsigned char>(in[k]) & 0xC0) == 0x80; };
  while (i < n) {
    const unsigned char b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    char32_t cp = 0;
    size_t len = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
      cp = b & 0x1F;
      min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      cp = b & 0x0F;
      min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      cp = b & 0x07;
      min = 0x10000;
    }
    bool ok = len != 0;
    for (size_t k = 1; ok && k < len; ++k) {
      if (!cont(i + k))
        ok = false;
      else
        cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF))
      ok = false;
    if (ok && cp >= 0xD800 && cp <= 0xDFFF && !allowSurrogates)
      ok = false;
    if (!ok) {
      out += kReplacement;
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string EncodeUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size() * 3);
  for (size_t i = 0; i < in.size(); ++i) {
    const char16_t u = in[i];
    if (IsHigh(u) && i + 1 < in.size() && IsLow(in[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (in[i + 1] - 0xDC00));
      ++i;
    } else if (IsHigh(u) || IsLow(u)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::u16string DecodeCp936(std::string_view in) {
  std::u16string out;
  const IconvHandle& cd = Cp936Decoder();
  if (!cd.Valid()) {
    for (unsigned char c : in)
      out += c < 0x80 ? static_cast<char16_t>(c) : kReplacement;
    return out;
  }
  cd.Reset();
  out.resize(in.size() + 1);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  size_t produced = 0;
  while (srcLeft > 0) {
    char* dst = reinterpret_cast<char*>(out.data() + produced);
    size_t dstLeft = (out.size() - produced) * 2;
    const size_t before = dstLeft;
    const size_t rc = iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft);
    produced += (before - dstLeft) / 2;
    if (rc != static_cast<size_t>(-1))
      break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 4);
      continue;
    }
    // EILSEQ or EINVAL (truncated at the end): one replacement per bad byte.
    if (produced >= out.size())
      out.resize(out.size() * 2 + 4);
    out[produced++] = kReplacement;
    ++src;
    --srcLeft;
    cd.Reset();
  }
  out.resize(produced);
  return out;
}

std::string EncodeCp936(std::u16string_view in) {
  std::string out;
  const IconvHandle& cd = Cp936Encoder();
  if (!cd.Valid()) {
    for (char16_t u : in)
      out += u < 0x80 ? static_cast<char>(u) : '?';
    return out;
  }
  cd.Reset();
  out.resize(in.size() * 2 + 4);
  char* src = reinterpret_cast<char*>(const_cast<char16_t*>(in.data()));
  size_t srcLeft = in.size() * 2;
  size_t produced = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + produced;
    size_t dstLeft = out.size() - produced;
    const size_t before = dstLeft;
    const size_t rc = iconv(cd.Get(), &src, &srcLeft, &dst, &dstLeft);
    produced += before - dstLeft;
    if (rc != static_cast<size_t>(-1))
      break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 4);
      continue;
    }
    // A character the code page cannot hold, or an unpaired surrogate: one "?"
    // for the whole character.
    if (produced >= out.size())
      out.resize(out.size() * 2 + 4);
    out[produced++] = '?';
    const char16_t u = *reinterpret_cast<const char16_t*>(src);
    size_t skip = 2;
    if (IsHigh(u) && srcLeft >= 4 && IsLow(*reinterpret_cast<const char16_t*>(src + 2)))
      skip = 4;
    if (skip > srcLeft)
      skip = srcLeft;
    src += skip;
    srcLeft -= skip;
    cd.Reset();
  }
  out.resize(produced);
  return out;
}

}  // namespace

std::u16string DecodeToUtf16(std::string_view bytes, unsigned codePage) {
  if (codePage == kCodePageUtf8)
    return DecodeUtf8(bytes, false);
  return DecodeCp936(bytes);
}

std::string EncodeFromUtf16(std::u16string_view units, unsigned codePage) {
  if (codePage == kCodePageUtf8)
    return EncodeUtf8(units);
  return EncodeCp936(units);
}

std::u16string DecodeCesu8ToUtf16(std::string_view bytes) {
  return DecodeUtf8(bytes, true);
}

std::string Cp936ToUtf8(std::string_view text) {
  return EncodeUtf8(DecodeCp936(text));
}

std::string Utf8ToCp936(std::string_view utf8) {
  return EncodeCp936(DecodeUtf8(utf8, false));
}

std::string Utf16ToLeBytes(std::u16string_view units) {
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::u16string LeBytesToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  return out;
}

bool CodePageConverterAvailable() {
  const IconvHandle decoder("UTF-16LE", g_cp936Charset.load());
  const IconvHandle encoder(g_cp936Charset.load(), "UTF-16LE");
  return decoder.Valid() && encoder.Valid();
}

void SetCp936CharsetNameForTesting(const char* name) {
  g_cp936Charset = name != nullptr ? name : "CP936";
}
