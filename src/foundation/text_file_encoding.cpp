#include "foundation/text_file_encoding.h"

#include <fstream>
#include <iterator>
#include <string>

#include "foundation/file_system_path.h"
#include "platform/code_page_codec.h"
#include "platform/memory_files.h"
#include "platform/text_statistics.h"

namespace {

std::string ReadWholeFile(std::string_view path) {
  const std::string fileSystemPath = FileSystemPathFromText(path);
  if (const MemoryFiles* memory = InstalledMemoryFiles())
    return memory->Read(fileSystemPath).value_or(std::string());
  std::ifstream in(fileSystemPath, std::ios::binary);
  if (!in)
    return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the bytes
// there are not one: overlong forms, surrogates, values above U+10FFFF and
// sequences cut off by the end of the data all count as invalid.
size_t ValidSequenceLength(std::string_view bytes, size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80)
    return 1;
  size_t length = 0;
  unsigned char low = 0x80;  // allowed range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (at + length > bytes.size())
    return 0;
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  if (second < low || second > high)
    return 0;
  for (size_t k = 2; k < length; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(bytes[at + k])))
      return 0;
  }
  return length;
}

bool StartsWith(std::string_view data, std::string_view prefix) {
  return data.substr(0, prefix.size()) == prefix;
}

}  // namespace

int DetectTextFileEncoding(std::string_view path) {
  const std::string data = ReadWholeFile(path);
  if (data.size() >= 3 && StartsWith(data, "\xEF\xBB")) {
    if (static_cast<unsigned char>(data[2]) == 0xBF)
      return kTextFileUtf8;
  } else if (StartsWith(data, "\xFF\xFE")) {
    return kTextFileUtf16Le;
  } else if (StartsWith(data, "\xFE\xFF")) {
    return kTextFileUtf16Be;
  }
  if (LooksLikeUtf16LeText(data))
    return kTextFileUtf16Le;
  return LooksLikeUtf8(data) ? kTextFileUtf8 : kTextFileLocal;
}

bool LooksLikeUtf8(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF"))
    return true;
  bool nonAscii = false;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = ValidSequenceLength(bytes, at);
    if (length == 0)
      return false;
    nonAscii = nonAscii || length > 1;
    at += length;
  }
  return nonAscii;
}
