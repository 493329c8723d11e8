#include "jobs/rename_selection.h"

#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "foundation/waits.h"
#include "platform/code_page_codec.h"

namespace {

bool Live(const std::vector<FolderTreeItem>& items, int index) {
  return index >= 0 && index < static_cast<int>(items.size()) && !items[index].removed;
}

}  // namespace

std::string EscapedTreeName(const FolderTreeItem& item) {
  return EscapeToUnicodeNotation(item.textUtf16, true, true);
}

std::string EscapedTreePath(const std::vector<FolderTreeItem>& items, int index) {
  std::vector<int> levels;
  // A parent chain never holds more levels than the tree has items; the bound
  // also ends a chain that loops.
  for (int at = index; Live(items, at) && levels.size() < items.size(); at = items[at].parent) {
    if (items[at].data == kRootItemData) {
      break;
    }
    levels.push_back(at);
  }
  std::string path;
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    path += "/" + EscapedTreeName(items[*level]);
  }
  return path;
}

RenameSelection CollectRenameSelection(const std::vector<FolderTreeItem>& items,
                                       bool tickedItemsMode) {
  RenameSelection selection;
  int confirmationLines = 0;
  for (int index = 0; index < static_cast<int>(items.size()); ++index) {
    const FolderTreeItem& item = items[index];
    if (item.removed || !item.checked) {
      continue;
    }
    if (item.data == kRootItemData) {
      selection.rootTicked = true;
      continue;
    }
    const char* kind = item.data == kFolderItemData ? kFolderKindWord
                       : item.data == kFileItemData ? kFileKindWord
                                                    : nullptr;
    if (kind == nullptr || (!tickedItemsMode && item.data != kFolderItemData)) {
      continue;
    }
    const std::string path = EscapedTreePath(items, index);
    selection.entries.push_back(tickedItemsMode ? kind + path : path);
    if (confirmationLines < kConfirmationLineLimit) {
      ++confirmationLines;
      selection.confirmation +=
          DecodeToUtf16(std::string(tickedItemsMode ? kind : kFolderKindWord) + "：",
                        kCodePageLocal) +
          LeBytesToUtf16(CutUtf16AtNul(item.textUtf16)) + u"\r\n";
    }
    PumpMessages();
  }
  RemoveDuplicates(selection.entries);
  return selection;
}
