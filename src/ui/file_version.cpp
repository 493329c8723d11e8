#include "ui/file_version.h"

#include <cstdint>
#include <cstdio>

#include "foundation/file_system_path.h"
#include "platform/code_page_codec.h"
#include "platform/pe_version_info.h"

namespace {

constexpr std::size_t kMaxVersionTextBytes = 260;

}  // namespace

std::string ReadFileVersionText(const std::string& path, std::string& error) {
  error.clear();
  const std::string block = ReadPeVersionResource(FileSystemPathFromText(path));
  if (block.empty()) {
    error = "GetFileVersionInfoSize（获取信息长度）失败";
    return {};
  }
  if (!IsVersionBlock(block)) {
    error = "GetFileVersionInfo（获取信息）失败";
    return {};
  }
  std::string binary;
  std::u16string text;
  bool isText = false;
  if (!QueryVersionValue(block, u"\\VarFileInfo\\Translation", binary, text, isText) ||
      binary.size() < 4) {
    error = "VerQueryValue（查询Version）失败";
    return {};
  }
  const auto byte = [&binary](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(binary[i]));
  };
  const std::uint32_t language = byte(0) | byte(1) << 8;
  const std::uint32_t codePage = byte(2) | byte(3) << 8;
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%08X", language * 65536 + codePage);
  std::u16string key = u"\\StringFileInfo\\";
  for (const char* c = digits; *c != '\0'; ++c) {
    key.push_back(static_cast<char16_t>(*c));
  }
  key += u"\\FileVersion";
  if (!QueryVersionValue(block, key, binary, text, isText) || !isText) {
    return {};
  }
  std::string version = EncodeFromUtf16(text, kCodePageLocal);
  if (version.size() > kMaxVersionTextBytes) {
    version.resize(kMaxVersionTextBytes);
  }
  return version;
}
