#include "web/remote_tree_paths.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "foundation/files_and_paths.h"
#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "web/folder_tree_model.h"

namespace {

struct IconEntry {
  std::string_view extension;
  int image;
};

// ".jpge" stands as the table has always had it; ".jpeg" is another file.
constexpr IconEntry kIconTable[] = {
    {".mp4", 1},  {".avi", 1},   {".mov", 1},   {".flv", 1},   {".rar", 2},   {".zip", 2},
    {".7z", 2},   {".apk", 3},   {".jpg", 7},   {".gif", 7},   {".jpge", 7},  {".bmp", 7},
    {".png", 7},  {".ico", 7},   {".wav", 8},   {".mp3", 8},   {".m4a", 8},   {".pdf", 10},
    {".exe", 11}, {".xml", 12},  {".htm", 12},  {".html", 12}, {".php", 12},  {".asp", 12},
    {".txt", 13}, {".doc", 14},  {".docx", 14}, {".xls", 15},  {".xlsx", 15}, {".csv", 15},
    {".ppt", 16}, {".pptx", 16},
};

constexpr int kOtherFileImage = 9;

}  // namespace

int GetFileIconIndex(const std::string& name) {
  std::string extension = GetPathExtension(name);
  if (extension.empty()) {
    return 0;
  }
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  for (const IconEntry& entry : kIconTable) {
    if (entry.extension == extension) {
      return entry.image;
    }
  }
  return kOtherFileImage;
}

namespace {

// The path of the item as UTF-16 bytes, each level converted by `convert`.
std::string BuildNodePath(int& isFolder, int index,
                          std::string (*convert)(std::string_view utf16)) {
  isFolder = 0;
  const FolderTreeSnapshot tree = GetFolderTree().Snapshot();
  const int item = index < 1 ? tree.current : index;
  const auto exists = [&tree](int i) {
    return i >= 0 && i < static_cast<int>(tree.items.size()) &&
           !tree.items[static_cast<size_t>(i)].removed;
  };
  if (!exists(item)) {
    return {};
  }
  const FolderTreeItem& found = tree.items[static_cast<size_t>(item)];
  if (found.data == kRootItemData) {
    isFolder = 1;
    return "/";
  }
  isFolder = found.data == kFolderItemData ? 1 : 0;
  std::string path;
  // Parents always have smaller indices, so the walk up ends.
  for (int i = item; exists(i) && tree.items[static_cast<size_t>(i)].data != kRootItemData;
       i = tree.items[static_cast<size_t>(i)].parent) {
    path = "/" + convert(tree.items[static_cast<size_t>(i)].textUtf16) + path;
  }
  return path;
}

// One level in the program's text: code page 936, the characters it lacks in
// backslash-u notation.
std::string LevelText(std::string_view utf16) {
  return EscapeBeyondCodePage(std::string(utf16), true);
}

}  // namespace

std::string GetRemoteTreeNodePath(int& isFolder, int index) {
  return BuildNodePath(isFolder, index, &LevelText);
}

std::string GetRemoteTreeNodePathUtf8(int& isFolder, int index) {
  return BuildNodePath(isFolder, index, &Utf16ToUtf8);
}
