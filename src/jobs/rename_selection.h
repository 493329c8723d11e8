#pragma once
// The selection of a rename task: the ticked items of the remote folder tree
// `树型框1` as remote paths in backslash-u notation, and the confirmation text
// that lists them.
//
// A path is "/" + the escaped name of each level from the root's child down
// to the item (the root item's own name never takes part): each name is
// written by EscapeToUnicodeNotation from the item's UTF-16 text, letters,
// digits and printable ASCII punctuation kept, every other character as "\u"
// and four upper-case hex digits. So a name that code page 936 cannot hold
// stays whole.

#include <string>
#include <vector>

#include "foundation/text_arrays.h"
#include "web/folder_tree_model.h"

// The kind words of the entries of the ticked-items mode.
inline constexpr const char* kFolderKindWord = "目录";
inline constexpr const char* kFileKindWord = "文件";

// The confirmation text lists at most this many lines.
inline constexpr int kConfirmationLineLimit = 20;

struct RenameSelection {
  // Ticked-items mode: kind word + path of every ticked file and folder;
  // otherwise the path of every ticked folder. Tree order, the first of equal
  // entries kept.
  TextArray entries;
  // One line (CR LF ended) per entry while the text has at most 20 lines:
  // kind word (or "目录") + "：" + the item's own name exactly as the tree
  // holds it (the service's name: every character, "%" and "\" as
  // themselves), for a box that shows UTF-16.
  std::u16string confirmation;
  // The root item (item data -1) is ticked. It never becomes an entry.
  bool rootTicked = false;
};

// The selection from the tree's items (FolderTreeModel::Items, in item order;
// removed items are passed over). `tickedItemsMode`: run mode A.
RenameSelection CollectRenameSelection(const std::vector<FolderTreeItem>& items,
                                       bool tickedItemsMode);

// The escaped path of item `index` (see above); "" for the root item.
std::string EscapedTreePath(const std::vector<FolderTreeItem>& items, int index);

// The escaped form of one tree item's name.
std::string EscapedTreeName(const FolderTreeItem& item);
