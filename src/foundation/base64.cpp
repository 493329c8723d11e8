#include "foundation/base64.h"

#include <array>
#include <cstdint>

#include "platform/code_page_codec.h"

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotInAlphabet = -1;

constexpr std::array<int8_t, 256> MakeValues() {
  std::array<int8_t, 256> values{};
  values.fill(kNotInAlphabet);
  for (size_t i = 0; i < kAlphabet.size(); ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return values;
}
constexpr std::array<int8_t, 256> kValues = MakeValues();

int ValueOf(char c) {
  return kValues[static_cast<unsigned char>(c)];
}

// The text without spaces (ASCII and the double-byte A1 A1) and CR LF pairs.
std::string StripIgnored(std::string_view text) {
  std::string spaceless;
  spaceless.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsCp936LeadByte(byte) && i + 1 < text.size()) {
      if (!(byte == 0xA1 && static_cast<unsigned char>(text[i + 1]) == 0xA1))
        spaceless.append(text.substr(i, 2));
      ++i;
    } else if (byte != ' ') {
      spaceless += text[i];
    }
  }
  std::string out;
  out.reserve(spaceless.size());
  for (size_t i = 0; i < spaceless.size(); ++i) {
    if (spaceless[i] == '\r' && i + 1 < spaceless.size() && spaceless[i + 1] == '\n')
      ++i;
    else
      out += spaceless[i];
  }
  return out;
}

// Number of leading characters that carry data, or npos when the text holds a
// character outside the alphabet other than valid final padding: one or two
// "=" that end the text and fill places 3 and 4 of the last group.
size_t DataLength(std::string_view text) {
  size_t length = 0;
  while (length < text.size() && ValueOf(text[length]) != kNotInAlphabet)
    ++length;
  if (length == text.size())
    return length;
  const size_t padding = text.size() - length;
  const bool onlyPadding = text.find_first_not_of('=', length) == std::string_view::npos;
  const size_t place = length % 4;  // 0-based place of the first "=" in its group
  if (!onlyPadding || place < 2 || place + padding > 4)
    return std::string_view::npos;
  return length;
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    const uint32_t b0 = static_cast<unsigned char>(bytes[i]);
    const uint32_t b1 = left > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    const uint32_t b2 = left > 2 ? static_cast<unsigned char>(bytes[i + 2]) : 0;
    const uint32_t group = (b0 << 16) | (b1 << 8) | b2;
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    out += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text, bool trimZeroBytes) {
  const std::string stripped = StripIgnored(text);
  const size_t length = DataLength(stripped);
  if (length == std::string_view::npos)
    return {};
  const bool padded = length < stripped.size();
  std::string out;
  out.reserve(stripped.size() / 4 * 3 + 3);
  for (size_t i = 0; i < length; i += 4) {
    uint32_t group = 0;
    for (size_t k = 0; k < 4; ++k) {
      const size_t at = i + k;
      group = (group << 6) | (at < length ? static_cast<uint32_t>(ValueOf(stripped[at])) : 0);
    }
    out += static_cast<char>((group >> 16) & 0xFF);
    out += static_cast<char>((group >> 8) & 0xFF);
    out += static_cast<char>(group & 0xFF);
  }
  // Padding after 2 or 3 data characters of the last group leaves 1 or 2 bytes.
  if (padded)
    out.resize(out.size() - (length % 4 == 2 ? 2 : 1));
  return trimZeroBytes ? TrimTrailingZeroBytes(out) : out;
}

std::string TrimTrailingZeroBytes(std::string_view bytes) {
  const size_t end = bytes.find_last_not_of('\0');
  return std::string(end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1));
}
