// The JSON parser through the code page 936 entry: any text either fails
// (leaving null) or gives a tree whose written text reads back
// (CheckJsonReadsBack).

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/json_document.h"
#include "data/json_parser.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const int32_t options : {0, 2, 3}) {
    JsonDocument doc;
    doc.Parse(text, options);
  }
  JsonDocument doc;
  int32_t code = 0;
  if (!doc.Parse(text, 1, &code)) {
    // An empty text changes nothing; any other failure leaves null.
    if (code != kJsonNoInput)
      FuzzCheckEqual("a failed parse leaves null", "null", doc.GetJsonText(""));
    return 0;
  }
  CheckJsonReadsBack(doc);
  return 0;
}
