#include "foundation/file_system_path.h"

#include <memory>
#include <mutex>

#include "platform/code_page_codec.h"

namespace {

// The exact folder and the UTF-8 form of its code page 936 text, when the two
// differ.
struct FolderPrefix {
  std::string lossyUtf8;
  std::string exactUtf8;
};

// Never destroyed: a worker may convert a path while the process ends.
struct PrefixSlot {
  std::mutex mutex;
  std::shared_ptr<const FolderPrefix> prefix;
};

PrefixSlot& Slot() {
  static PrefixSlot& s_slot = *new PrefixSlot;
  return s_slot;
}

std::string WithExactFolder(std::string utf8) {
  std::shared_ptr<const FolderPrefix> prefix;
  {
    std::lock_guard lock(Slot().mutex);
    prefix = Slot().prefix;
  }
  if (prefix == nullptr || utf8.compare(0, prefix->lossyUtf8.size(), prefix->lossyUtf8) != 0) {
    return utf8;
  }
  if (utf8.size() > prefix->lossyUtf8.size() && utf8[prefix->lossyUtf8.size()] != '/') {
    return utf8;
  }
  return prefix->exactUtf8 + utf8.substr(prefix->lossyUtf8.size());
}

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
  return WithExactFolder(SlashesForBackslashes(Cp936ToUtf8(path)));
}

std::string FileSystemPathFromWide(std::string_view utf16Bytes) {
  std::u16string units = LeBytesToUtf16(utf16Bytes);
  size_t end = units.find(u'\0');
  if (end != std::u16string::npos) {
    units.resize(end);
  }
  return WithExactFolder(SlashesForBackslashes(EncodeFromUtf16(units, kCodePageUtf8)));
}

void SetExactFolderPrefix(const std::string& utf8Folder) {
  std::string lossy = Cp936ToUtf8(Utf8ToCp936(utf8Folder));
  std::shared_ptr<const FolderPrefix> prefix;
  if (lossy != utf8Folder) {
    prefix = std::make_shared<const FolderPrefix>(FolderPrefix{std::move(lossy), utf8Folder});
  }
  std::lock_guard lock(Slot().mutex);
  Slot().prefix = std::move(prefix);
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
