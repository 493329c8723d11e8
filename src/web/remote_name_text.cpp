#include "web/remote_name_text.h"

#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "web/service_text.h"

namespace {

constexpr const char* kCurlyApostrophe = "%E2%80%99";

std::string JsonEscapedUtf8(const std::string& utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

bool IsUnicodeNotation(const std::string& text) {
  return FindText(text, "\\u") != -1;
}

std::string RemoteNameUtf8(const std::string& text) {
  return IsUnicodeNotation(text) ? Utf16ToUtf8(DecodeUnicodeEscapes(text)) : TextToUtf8(text);
}

std::string RemoteNameUtf16(const std::string& text) {
  return IsUnicodeNotation(text) ? DecodeUnicodeEscapes(text) : TextToUtf16(text, true);
}

std::string EncodeRemoteQueryValue(const std::string& text) {
  return PercentEncodeBytes(RemoteNameUtf8(text), true);
}

std::string EncodeRemoteJsonText(const std::string& text, bool curlyApostrophes) {
  std::string encoded =
      ReplaceAllText(PercentEncodeBytes(JsonEscapedUtf8(RemoteNameUtf8(text)), true), "+", "%20");
  return curlyApostrophes ? ReplaceAllText(encoded, "'", kCurlyApostrophe) : encoded;
}

std::string RemoteNameFromUtf16(const std::string& utf16) {
  const std::string units = CutUtf16AtNul(utf16);
  const std::string text = Utf16ToText(units);
  if (TextToUtf16(text, true) == units) {
    return text;
  }
  return EscapeToUnicodeNotation(units, true, true);
}

std::string RemoteNameForDisplay(const std::string& text) {
  return IsUnicodeNotation(text) ? RemoteNameFromUtf16(DecodeUnicodeEscapes(text)) : text;
}

std::string RemoteNameFromEncoded(const std::string& encoded) {
  return RemoteNameFromUtf16(Utf8TextToUtf16(UrlDecodeText(encoded, false)));
}
