// The version resource of a PE image, found and queried.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pe_version_info.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  const std::string block = FindPeVersionResource(image);
  for (const std::string_view candidate : {std::string_view(block), image}) {
    if (!IsVersionBlock(candidate))
      continue;
    for (const std::u16string_view path :
         {std::u16string_view(u"\\"), std::u16string_view(u"\\VarFileInfo\\Translation"),
          std::u16string_view(u"\\StringFileInfo\\080404b0\\FileVersion"),
          std::u16string_view(u"\\StringFileInfo\\040904b0\\ProductName")}) {
      std::string binary;
      std::u16string text;
      bool isText = false;
      QueryVersionValue(candidate, path, binary, text, isText);
    }
  }
  return 0;
}
