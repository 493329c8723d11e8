#include "foundation/byte_size.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kExa = 1152921504606846976.0;  // 2^60

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a signed decimal like the C library's integer parsers: leading blanks,
// an optional sign, digits up to the first other character; 0 without digits.
// overflow is set when the digits exceed the 64-bit range (value then clamps).
std::int64_t ReadInt64(std::string_view text, bool& overflow) {
  overflow = false;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  std::uint64_t magnitude = 0;
  const std::uint64_t limit =
      negative ? std::uint64_t{1} << 63 : std::uint64_t(std::numeric_limits<std::int64_t>::max());
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (overflow || magnitude > (limit - digit) / 10) {
      overflow = true;
      continue;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (overflow)
    return negative ? std::numeric_limits<std::int64_t>::min()
                    : std::numeric_limits<std::int64_t>::max();
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

// Reads a double like atof: leading blanks skipped, 0 when nothing parses.
double ReadDouble(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  if (i < text.size() && text[i] == '+')
    ++i;
  double value = 0;
  std::from_chars(text.data() + i, text.data() + text.size(), value);
  return value;
}

double RoundTwoDecimals(double q) {
  const double scaled = std::fabs(q) * 100 + 1e-12;
  double whole = std::floor(scaled);
  if (scaled - whole >= 0.5)
    whole += 1;
  const double rounded = whole / 100;
  return q < 0 ? -rounded : rounded;
}

std::string WithUnit(double quotient, const char* unit) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, RoundTwoDecimals(quotient),
                                    std::chars_format::general, 13);
  return std::string(buffer, result.ptr) + unit;
}

}  // namespace

std::string FormatByteSize(std::string_view sizeText) {
  bool overflow = false;
  const std::int64_t v = ReadInt64(sizeText, overflow);
  const std::size_t n = sizeText.size();
  if (n > 19 || (n == 19 && overflow && v > 0)) {
    // The count divided by 10^(n-18) read as a double, scaled back up.
    const std::size_t kept = n == 19 ? 18 : 19;
    std::string shifted(sizeText.substr(0, kept));
    shifted += '.';
    shifted += sizeText.substr(kept);
    double value = ReadDouble(shifted) / kExa;
    for (std::size_t i = kept; i < n; ++i)
      value *= 10;
    return WithUnit(value, "eb");
  }
  if (v < 1024)
    return std::string(sizeText) + "b";
  if (v < (std::int64_t{1} << 20))
    return WithUnit(static_cast<double>(v) / 1024.0, "kb");
  if (v < (std::int64_t{1} << 30))
    return WithUnit(static_cast<double>(v) / 1048576.0, "mb");
  const double d = static_cast<double>(v);
  if (d - 1099511627776.0 < -1e-7)
    return WithUnit(d / 1073741824.0, "gb");
  if (d - 1.1259e15 < -1e-7)
    return WithUnit(d / 1099511627776.0, "tb");
  if (d - 1.1529e18 < -1e-7)
    return WithUnit(d / 1125899906842624.0, "pb");
  return WithUnit(d / kExa, "eb");
}
