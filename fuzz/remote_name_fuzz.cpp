// How names travel: decoded once from their notation and percent-encoded
// once, so decoding the query value gives the name's UTF-8 bytes back; a
// name written in backslash-u notation reads back as exactly its code units
// (a real backslash before "u" included); the display forms of any text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/hex_digit.h"
#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "support/fuzz_support.h"
#include "web/remote_name_text.h"

namespace {

// "+" a space, "%XX" a byte: the service's reading of a query value.
std::string QueryValueBytes(const std::string& value) {
  std::string bytes;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '+') {
      bytes += ' ';
    } else if (value[i] == '%' && i + 2 < value.size() && HexDigitValue(value[i + 1]) >= 0 &&
               HexDigitValue(value[i + 2]) >= 0) {
      bytes += static_cast<char>(HexDigitValue(value[i + 1]) * 16 + HexDigitValue(value[i + 2]));
      i += 2;
    } else {
      bytes += value[i];
    }
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string utf8 = RemoteNameUtf8(text);
  FuzzCheckEqual("a query value decodes to the name's UTF-8 bytes", utf8,
                 QueryValueBytes(EncodeRemoteQueryValue(text)));
  const std::string units = CutUtf16AtNul(text, true);
  FuzzCheckEqual("backslash-u notation reads back as the name's code units", units,
                 DecodeUnicodeEscapes(EscapeToUnicodeNotation(units, true, true)));
  IsUnicodeNotation(text);
  EncodeRemoteJsonText(text, true);
  RemoteNameFromEncoded(EncodeRemoteJsonText(text, false));
  RemoteNameForDisplay(text);
  RemoteNameFromUtf16(text);
  RemoteNameFromEncoded(text);
  return 0;
}
