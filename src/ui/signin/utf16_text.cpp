#include "ui/signin/utf16_text.h"

#include "foundation/text_encodings.h"

std::string EncodeUtf16Text(std::string_view text) {
  if (text.empty()) {
    return std::string(2, '\0');
  }
  return TextToUtf16(text);
}

std::string DecodeUtf16Text(std::string_view utf16) {
  return Utf16ToText(utf16.substr(0, utf16.size() & ~static_cast<std::size_t>(1)));
}
