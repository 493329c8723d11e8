#include "platform/text_statistics.h"

#include <cstddef>
#include <cstdint>

namespace {

char16_t UnitAt(std::string_view data, size_t offset) {
  return static_cast<char16_t>(static_cast<unsigned char>(data[offset]) |
                               (static_cast<unsigned char>(data[offset + 1]) << 8));
}

bool IsTextControl(char16_t unit) {
  return unit == u'\t' || unit == u'\n' || unit == u'\f' || unit == u'\r';
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

bool LooksLikeUtf16LeText(std::string_view data) {
  if (data.size() < 2 || data.size() % 2 != 0)
    return false;
  const size_t count = data.size() / 2;
  // A trailing run of zero units is a terminator, not content.
  size_t end = count;
  while (end > 0 && UnitAt(data, (end - 1) * 2) == 0)
    --end;
  size_t lowRange = 0;  // units U+0001..U+00FF: zero high byte
  size_t swapped = 0;   // units with a zero low byte and a non-zero high byte
  for (size_t i = 0; i < end; ++i) {
    const char16_t unit = UnitAt(data, i * 2);
    if (unit == 0 || unit == 0xFFFE || unit == 0xFFFF)
      return false;
    if (unit < 0x20 && !IsTextControl(unit))
      return false;
    if (IsLowSurrogate(unit))
      return false;
    if (IsHighSurrogate(unit)) {
      if (i + 1 >= end || !IsLowSurrogate(UnitAt(data, (i + 1) * 2)))
        return false;
      ++i;
      continue;
    }
    if (unit <= 0xFF)
      ++lowRange;
    else if ((unit & 0xFF) == 0)
      ++swapped;
  }
  return lowRange > 0 && lowRange > swapped;
}
