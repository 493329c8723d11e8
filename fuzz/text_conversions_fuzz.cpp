// The conversions every outside text passes: percent-encoding and decoding,
// backslash-u notation, and the code page layer. Where a pair promises a
// round trip the input comes back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "platform/code_page_codec.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string beforeZero = bytes.substr(0, bytes.find('\0'));

  FuzzCheckEqual("decode(UrlEncodeBytes)", beforeZero, UrlDecodeText(UrlEncodeBytes(bytes), false));
  FuzzCheckEqual("decode(UrlEncodeUnreserved)", beforeZero,
                 UrlDecodeText(UrlEncodeUnreserved(bytes), false));
  UrlEncodeText(bytes);
  UrlEncodeText(bytes, false, false);
  PercentEncodeBytes(bytes, false);
  UrlDecodeText(bytes);
  PercentDecode(bytes);
  PercentDecode(bytes, false, true);

  // Backslash-u notation of UTF-16 units and back.
  std::u16string units = LeBytesToUtf16(bytes);
  units = units.substr(0, units.find(u'\0'));
  const std::string unitBytes = Utf16ToLeBytes(units);
  const std::string expected = units.empty() ? std::string() : unitBytes + std::string(2, '\0');
  FuzzCheckEqual("DecodeUnicodeEscapes(EscapeToUnicodeNotation)", expected,
                 DecodeUnicodeEscapes(EscapeToUnicodeNotation(unitBytes)));
  FuzzCheckEqual("DecodeUnicodeEscapes(EscapeToUnicodeNotation, letters kept)", expected,
                 DecodeUnicodeEscapes(EscapeToUnicodeNotation(unitBytes, true, false)));
  DecodeUnicodeEscapes(bytes);
  UnescapeToText(bytes);
  EscapeWithScript(bytes, true, true, "%u");

  // The code page layer: text that decodes without a replacement character
  // encodes back to the same bytes.
  for (const unsigned codePage : {kCodePageLocal, kCodePageUtf8}) {
    const std::u16string decoded = DecodeToUtf16(bytes, codePage);
    if (decoded.find(u'\uFFFD') == std::u16string::npos)
      FuzzCheckEqual("encode(decode(text))", bytes, EncodeFromUtf16(decoded, codePage));
  }
  DecodeCesu8ToUtf16(bytes);
  Utf8ToCp936(Cp936ToUtf8(bytes));
  return 0;
}
