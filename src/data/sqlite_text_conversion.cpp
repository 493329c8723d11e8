#include "data/sqlite_text_conversion.h"

std::string CodePage936ToUtf8(std::string_view text, unsigned sourceCodePage) {
  if (text.empty()) {
    return {};
  }
  return EncodeFromUtf16(DecodeToUtf16(text, sourceCodePage), kCodePageUtf8);
}

std::string Utf8ToCodePage936(std::string_view text, unsigned sourceCodePage) {
  if (text.empty()) {
    return {};
  }
  return EncodeFromUtf16(DecodeToUtf16(text, sourceCodePage), kCodePageLocal);
}
