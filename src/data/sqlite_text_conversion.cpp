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

std::string ToSqliteText(const std::string& text, bool utf8) {
  return utf8 ? text : CodePage936ToUtf8(text);
}

std::string FromSqliteText(const char* text, bool raw) {
  if (text == nullptr) {
    return {};
  }
  return raw ? std::string(text) : Utf8ToCodePage936(text);
}
