#include "foundation/file_system_path.h"

#include "platform/code_page_codec.h"

namespace {

std::string SlashesForBackslashes(std::string utf8) {
  for (char& c : utf8) {
    if (c == '\\') {
      c = '/';
    }
  }
  return utf8;
}

}  // namespace

std::string FileSystemPathFromText(std::string_view path) {
  return SlashesForBackslashes(Cp936ToUtf8(path));
}

std::string FileSystemPathFromWide(std::string_view utf16Bytes) {
  std::u16string units = LeBytesToUtf16(utf16Bytes);
  size_t end = units.find(u'\0');
  if (end != std::u16string::npos) {
    units.resize(end);
  }
  return SlashesForBackslashes(EncodeFromUtf16(units, kCodePageUtf8));
}

std::string TextFromFileSystemPath(std::string_view utf8Path) {
  return Utf8ToCp936(utf8Path);
}

std::string TextPathWithSlashes(std::string_view path) {
  std::string result(path);
  for (size_t i = 0; i < result.size(); i += Cp936CharLength(result, i)) {
    if (result[i] == '\\') {
      result[i] = '/';
    }
  }
  return result;
}

size_t Cp936CharLength(std::string_view text, size_t i) {
  auto lead = static_cast<unsigned char>(text[i]);
  return (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}
