// The JSON parser through the UTF-16 entries (the input is UTF-16
// little-endian bytes), into a fresh root and into a root that holds a tree.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/json_document.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  JsonDocument doc;
  doc.Parse("{\"list\":[{\"a\":1}]}");
  doc.ParseW(bytes, 0);
  doc.ParseW(bytes);
  JsonDocument reset;
  if (!reset.ResetAndParseW(bytes))
    return 0;
  CheckJsonReadsBack(reset);
  return 0;
}
