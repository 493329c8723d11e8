#include "data/json_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

std::u16string Widen(const char* begin, const char* end) {
  return std::u16string(begin, end);
}

// Accumulates digits from text[pos] on with saturation at `limit`.
uint64_t ReadDigits(std::u16string_view text, size_t pos, uint64_t limit) {
  uint64_t value = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    const uint64_t digit = text[pos] - u'0';
    if (value > (limit - digit) / 10)
      return limit;
    value = value * 10 + digit;
  }
  return value;
}

// Steps over leading blanks and an optional sign; true when the sign was "-".
bool SkipBlanksAndSign(std::u16string_view text, size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos]))
    ++pos;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
    return text[pos++] == u'-';
  return false;
}

}  // namespace

std::u16string FormatJsonDouble(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return Widen(buffer, result.ptr);
}

std::u16string FormatJsonInt64(int64_t value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(buffer, result.ptr);
}

int64_t ReadJsonInt64Prefix(std::u16string_view text) {
  size_t pos = 0;
  const bool negative = SkipBlanksAndSign(text, pos);
  const uint64_t maxPositive = std::numeric_limits<int64_t>::max();
  const uint64_t magnitude = ReadDigits(text, pos, negative ? maxPositive + 1 : maxPositive);
  if (negative)
    return magnitude > maxPositive ? std::numeric_limits<int64_t>::min()
                                   : -static_cast<int64_t>(magnitude);
  return static_cast<int64_t>(magnitude);
}

double ReadJsonDoublePrefix(std::u16string_view text) {
  size_t pos = 0;
  const bool negative = SkipBlanksAndSign(text, pos);
  // Only ASCII can belong to a number; the first other unit ends it.
  std::string ascii;
  for (; pos < text.size() && text[pos] > u' ' && text[pos] < 0x7F; ++pos) {
    if (text[pos] == u'+' || text[pos] == u'-') {
      // A sign belongs to the number only right after an exponent letter.
      if (ascii.empty() || (ascii.back() != 'e' && ascii.back() != 'E'))
        break;
    }
    ascii += static_cast<char>(text[pos]);
  }
  double value = 0.0;
  const char* begin = ascii.data();
  const char* end = ascii.data() + ascii.size();
  const auto result = std::from_chars(begin, end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Tell overflow from underflow by the sign of the exponent.
    const size_t e = ascii.find_first_of("eE");
    const bool tiny = e != std::string::npos && e + 1 < ascii.size() && ascii[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

int32_t ReadJsonInt32Prefix(std::u16string_view text) {
  size_t pos = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative)
    pos = 1;
  const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  const uint64_t magnitude = ReadDigits(text, pos, limit);
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                  : static_cast<int32_t>(magnitude);
}

int64_t TruncateJsonDouble(double value) {
  if (std::isnan(value))
    return 0;
  // 2^63 is exactly representable; anything at or beyond it saturates.
  if (value >= 9223372036854775808.0)
    return std::numeric_limits<int64_t>::max();
  if (value <= -9223372036854775808.0)
    return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}
