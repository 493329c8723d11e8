// The JSON parser through the UTF-8 entry (account list and keyword rules
// files, task replies), then the tree written and read back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/json_document.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  JsonDocument doc;
  doc.ParseUtf8(text, 0);
  if (!doc.ParseUtf8(text))
    return 0;
  CheckJsonReadsBack(doc);
  return 0;
}
