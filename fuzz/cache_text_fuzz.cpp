// The listing cache's entity encoding of names: decoding undoes encoding
// exactly; any text decodes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "jobs/listing_cache.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FuzzCheckEqual("decode(encode(text))", text, DecodeCacheText(EncodeCacheText(text)));
  DecodeCacheText(text);
  return 0;
}
