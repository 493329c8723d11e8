#pragma once
// One account's remote file tree, as the service keeps it: items with stable
// fs_ids (kept by rename and move, new on create and copy, never reused), a
// logical clock for server_mtime, and the operations of the file manager with
// the service's error numbers. Names and paths are UTF-8; names compare
// exactly (case counts, U+2019 is not an apostrophe).
//
// Tests arrange a tree (FromPaths or a starting tree), run a job, and compare
// with operator== (names, kinds and sizes; fs_ids and times are left out) or
// read ids with FsId(). Print() and PrintTo() give a readable listing.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// A UTF-8 literal as the emulator's text: U8(u8"中文.txt").
inline std::string U8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

struct RemoteItem {
  std::string name;
  int64_t fsId = 0;
  bool isDir = false;
  int64_t size = 0;
  int64_t mtime = 0;
  int64_t ctime = 0;
  std::vector<RemoteItem> children;
};

struct ListedItem {
  std::string path;
  const RemoteItem* item = nullptr;
};

// Error numbers of the file operations, as the service sends them.
inline constexpr int kErrnoOk = 0;
inline constexpr int kErrnoBadPath = -7;
inline constexpr int kErrnoNameTaken = -8;
inline constexpr int kErrnoMissing = -9;
inline constexpr int kErrnoSameNameCopy = -30;
// Not the service's: results the model turns into its own replies.
inline constexpr int kResultUnchanged = 1;   // renamed to the name it already has
inline constexpr int kResultOntoItself = 2;  // moved to where it already is

class RemoteTree {
 public:
  RemoteTree();

  // A tree from lines: "/a/" is a folder, "/a/x.txt" a file of size 0,
  // "/a/x.txt:1024" a file of 1024 bytes. Missing parents are made.
  static RemoteTree FromPaths(std::initializer_list<std::string> lines);

  // Collapses repeated "/" and drops a trailing "/" (the root stays "/").
  static std::string Normalise(std::string_view path);

  // Arranges one line of the form FromPaths reads: "/a/" a folder, "/a/x" a
  // file of size 0, "/a/x:1024" a file of 1024 bytes (only digits after the
  // last ":" make a size; "/a/b:c" is a file of that name). A trailing CR is
  // dropped; an empty line adds nothing.
  void AddPathLine(std::string_view line);

  // Arranging: missing parents are made; an existing item is kept. Returns the fs_id.
  int64_t AddFolder(std::string_view path);
  int64_t AddFile(std::string_view path, int64_t size);

  const RemoteItem* Find(std::string_view path) const;
  std::optional<int64_t> FsId(std::string_view path) const;
  // The path of the item with this fs_id, nullopt when there is none.
  std::optional<std::string> PathOf(int64_t fsId) const;

  // File operations; each returns kErrnoOk or an error number above.
  int Rename(std::string_view path, std::string_view newName, int conflictErrno);
  int Remove(std::string_view path);
  // With `newCopy` a taken name gets a numbered name instead of -30; the path
  // made is stored in `madePath`.
  int Copy(std::string_view path, std::string_view destDir, std::string_view newName, bool newCopy,
           std::string* madePath);
  int Move(std::string_view path, std::string_view destDir, std::string_view newName);
  int CreateFolder(std::string_view path, int64_t* fsId);

  // Children of `dir` in the listing order: folders first, then files, each by
  // name in code-point order ("name") or by server_mtime then fs_id ("time");
  // `desc` reverses within each group. Nullopt when `dir` is no folder.
  std::optional<std::vector<ListedItem>> List(std::string_view dir, std::string_view order,
                                              bool desc, bool foldersOnly) const;

  int64_t UsedBytes() const;
  // Every path under the root, folders with a trailing "/", sorted.
  std::vector<std::string> Paths() const;
  std::string Print() const;

  // Same names, kinds and sizes everywhere.
  bool operator==(const RemoteTree& other) const;

 private:
  RemoteItem* FindItem(std::string_view path);
  RemoteItem* Parent(std::string_view path, std::string& name);
  // The folder `dest` when `item` (at the normalised `source`) may be copied or
  // moved into it as `newName`; null for a missing destination, a file, an
  // invalid name or a folder put inside itself.
  RemoteItem* Destination(const RemoteItem& item, std::string_view source, std::string_view dest,
                          std::string_view newName);
  RemoteItem MakeItem(std::string name, bool isDir, int64_t size);
  void Renumber(RemoteItem& item);

  RemoteItem m_root;
  int64_t m_nextFsId;
  int64_t m_clock;
};

void PrintTo(const RemoteTree& tree, std::ostream* out);
std::ostream& operator<<(std::ostream& out, const RemoteTree& tree);
