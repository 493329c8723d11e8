#include "foundation/url_encoding.h"

#include "foundation/text_encodings.h"

#include <cstdio>

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void AppendEscape(std::string& out, unsigned char c, const char* hex) {
  out += '%';
  out += hex[c >> 4];
  out += hex[c & 15];
}

std::string_view UpToZero(std::string_view bytes) {
  const auto zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::string Finish(std::string bytes, bool fromUtf8) {
  if (fromUtf8)
    return DecodeUtf8Bytes(bytes);
  return std::string(UpToZero(bytes));
}

}  // namespace

std::string UrlEncodeText(std::string_view text, bool keepSafe, bool toUtf8) {
  if (toUtf8)
    return PercentEncodeBytes(TextToUtf8(text), keepSafe);
  return PercentEncodeBytes(text, keepSafe);
}

std::string PercentEncodeBytes(std::string_view bytes, bool keepSafe) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == 0)
      continue;
    if (keepSafe &&
        ((c >= 0x27 && c <= 0x2A) || c == '-' || c == '.' || c == '_' || IsAsciiAlnum(c)))
      out += ch;
    else if (c == ' ')
      out += '+';
    else
      AppendEscape(out, c, kUpperHex);
  }
  return out;
}

std::string UrlEncodeBytes(std::string_view bytes, int upperCase) {
  const char* hex = (upperCase & 1) ? kUpperHex : kLowerHex;
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '-' || c == '.' || c == '_' || IsAsciiAlnum(c))
      out += ch;
    else if (c == ' ')
      out += '+';
    else
      AppendEscape(out, c, hex);
  }
  return out;
}

std::string UrlEncodeUnreserved(std::string_view bytes, bool keep, bool strict) {
  const bool lenient = keep || !strict;
  std::string out;
  bytes = UpToZero(bytes);
  out.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (IsAsciiAlnum(c))
      out += ch;
    else if (lenient && (c == '\'' || c == '(' || c == ')' || c == '*' || c == '-' || c == '.' ||
                         c == '_' || c == '~'))
      out += ch;
    else if (lenient && c == ' ')
      out += '+';
    else
      AppendEscape(out, c, kUpperHex);
  }
  return out;
}

std::string UrlDecodeText(std::string_view text, bool fromUtf8) {
  text = UpToZero(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size()) {
      const std::size_t taken = i + 2 < text.size() ? 2 : 1;
      char digits[3] = {text[i + 1], taken == 2 ? text[i + 2] : '\0', '\0'};
      unsigned int value = 0;
      if (std::sscanf(digits, "%x", &value) == 1) {
        out += static_cast<char>(value & 0xFF);
        i += 1 + taken;
        continue;
      }
      out += '%';
      ++i;
    } else {
      out += c == '+' ? ' ' : c;
      ++i;
    }
  }
  return Finish(std::move(out), fromUtf8);
}

std::string PercentDecode(std::string_view text, bool fromUtf8, bool fast) {
  if (text.empty())
    return {};
  std::string out;
  if (fast) {
    out.assign(text);
    PercentDecodeInPlace(out);
    return Finish(std::move(out), fromUtf8);
  }
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    if (i + 2 >= text.size())
      break;
    out += static_cast<char>((16 * HexDigitValue(text[i + 1]) + HexDigitValue(text[i + 2])) & 0xFF);
    i += 3;
  }
  return Finish(std::move(out), fromUtf8);
}

void PercentDecodeInPlace(std::string& bytes) {
  const auto digit = [](unsigned char c) { return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10; };
  const std::size_t end = UpToZero(bytes).size();
  std::size_t write = 0;
  for (std::size_t read = 0; read < end;) {
    if (bytes[read] != '%') {
      bytes[write++] = bytes[read++];
      continue;
    }
    if (read + 2 >= end)
      break;
    const int high = digit(static_cast<unsigned char>(bytes[read + 1]));
    const int low = digit(static_cast<unsigned char>(bytes[read + 2]));
    bytes[write++] = static_cast<char>(((high & 15) << 4) | (low & 15));
    read += 3;
  }
  bytes.resize(write);
}
