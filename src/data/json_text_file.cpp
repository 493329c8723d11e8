#include "data/json_text_file.h"

#include "data/json_document.h"
#include "foundation/text_file_encoding.h"

bool ParseJsonFileText(JsonDocument& document, const std::string& path, const std::string& bytes) {
  if (DetectTextFileEncoding(path) == kTextFileUtf8) {
    return document.ParseUtf8(std::string(SkipUtf8ByteOrderMark(bytes)));
  }
  return document.Parse(bytes);
}
