#include "ui/signin/wv2_header_record.h"

#include "platform/wv2_bridge_exports.h"

namespace {

// The text up to and including its NUL code unit; the terminator alone for a
// missing text.
std::string CopyTerminatedText(const char16_t* text) {
  if (text == nullptr) {
    return std::string(2, '\0');
  }
  std::size_t units = 0;
  while (text[units] != 0) {
    ++units;
  }
  return std::string(reinterpret_cast<const char*>(text), (units + 1) * sizeof(char16_t));
}

}  // namespace

void ReadWv2HeaderBlock(const void* block, std::uint32_t count,
                        std::vector<Wv2HeaderRecord>& headers) {
  headers.clear();
  const auto* entries = static_cast<const Wv2HeaderEntry*>(block);
  for (std::uint32_t i = 0; i < count; ++i) {
    headers.push_back({CopyTerminatedText(entries[i].name), CopyTerminatedText(entries[i].value)});
  }
}
