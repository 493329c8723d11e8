#include "foundation/text_encodings.h"

#include <algorithm>

#include "foundation/code_page.h"
#include "platform/code_page_codec.h"

namespace {

constexpr int kUtf8 = 65001;

unsigned CodecPage(int codePage) {
  return codePage == kUtf8 ? kCodePageUtf8 : kCodePageLocal;
}

std::string_view UpToZeroByte(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

std::u16string UnitsUpToZero(std::string_view utf16) {
  std::u16string units = LeBytesToUtf16(utf16);
  units.resize(std::min(units.size(), units.find(u'\0')));
  return units;
}

}  // namespace

std::string MultiByteToUtf16(std::string_view bytes, int codePage) {
  const std::string_view text = UpToZeroByte(bytes);
  if (text.empty())
    return {};
  std::string out = Utf16ToLeBytes(DecodeToUtf16(text, CodecPage(codePage)));
  out.append(2, '\0');
  return out;
}

std::string Utf16ToMultiByte(std::string_view utf16, int codePage) {
  const std::u16string units = UnitsUpToZero(utf16);
  if (units.empty())
    return {};
  return EncodeFromUtf16(units, CodecPage(codePage));
}

std::string Utf16ToTextInCodePage(std::string_view utf16, int codePage, bool useCodePage) {
  return Utf16ToMultiByte(utf16, useCodePage ? codePage : 0);
}

std::string Utf16ToText(std::string_view utf16) {
  return Utf16ToTextInCodePage(utf16, g_codePage, true);
}

std::string TextToUtf16(std::string_view text, bool cutTerminator) {
  std::string utf16 = MultiByteToUtf16(text, g_codePage);
  return cutTerminator ? CutUtf16AtNul(utf16, false) : utf16;
}

std::string TextToUtf8(std::string_view text) {
  return Utf16ToMultiByte(TextToUtf16(text), kUtf8);
}

std::string Utf16ToUtf8(std::string_view utf16) {
  return Utf16ToMultiByte(utf16, kUtf8);
}

std::string Utf8TextToUtf16(std::string_view text, int codePage) {
  return MultiByteToUtf16(text, codePage);
}

std::string DecodeUtf8Text(std::string_view utf8Text) {
  return Utf16ToText(Utf8TextToUtf16(utf8Text, kUtf8));
}

std::string DecodeUtf8Bytes(std::string_view utf8Bytes) {
  return Utf16ToText(MultiByteToUtf16(utf8Bytes, kUtf8));
}

std::string CutUtf16AtNul(std::string_view utf16, bool keepTerminator) {
  if (utf16.size() < 2)
    return {};
  size_t stop = 0;
  while (stop + 2 <= utf16.size() && (utf16[stop] != '\0' || utf16[stop + 1] != '\0'))
    stop += 2;
  if (stop == 0)
    return {};
  std::string out(utf16.substr(0, stop));
  if (keepTerminator)
    out.append(2, '\0');
  return out;
}

int Utf16Length(std::string_view utf16) {
  return static_cast<int>(UnitsUpToZero(utf16).size());
}

std::string Utf16BytesToText(std::string_view utf16) {
  std::u16string units = UnitsUpToZero(utf16);
  if (!units.empty() && units.front() == u'\uFEFF')
    units.erase(0, 1);
  return EncodeFromUtf16(units, kCodePageLocal);
}
