#pragma once
// Initialisation files ("[section]" lines and "key=value" lines) read and
// written the way the program's settings files have always been: the bytes
// are kept exactly as they are (code page 936 texts), so a file written by an
// older version or edited by hand keeps every line the program does not
// change.
//
// - Writing an existing key replaces that one line; every other line,
//   comment and unknown section stays byte for byte. A new key goes after
//   the last line of its section, a new section at the end of the file; a new
//   file therefore holds its sections and keys in the order of writing.
//   New lines end in CR LF.
// - Reading drops white space around a value and then one pair of double
//   quotes around the whole value. A missing file, section or key reads as
//   the default. Values are read whole, however long.
// - Section and key names are compared without regard to ASCII case; the
//   trail bytes of double-byte characters are compared exactly.
// - The file is written through WriteFileReplacing (staged_file.h): a failed
//   write leaves the old file as it was.
//
// Paths are file-system paths (UTF-8). One object belongs to one thread.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
 public:
  // Reads the file. A missing file gives an empty profile and true; false
  // when the file exists but cannot be read (the profile is then empty).
  bool Load(const std::string& path);
  // The file's bytes as they would be written now.
  std::string Bytes() const;
  // Writes the profile to `path` (replacing the file); false on failure.
  [[nodiscard]] bool Save(const std::string& path) const;

  // The value of `key` in `section`, or `fallback` when either is missing.
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback = {}) const;
  bool HasSection(std::string_view section) const;

  // Sets `key` in `section`. False, changing nothing, when a name is empty,
  // a name or the value holds a line break, a section name holds "]" or a key
  // holds "=", or the key line would read as a section header (a key that
  // starts with "[" and a "]" in the key or value): such a line could not be
  // read back as written.
  bool Write(std::string_view section, std::string_view key, std::string_view value);

 private:
  // A line of the file without its line end: a piece of the loaded bytes,
  // or of m_written for a line written since.
  struct Line {
    std::size_t start = 0;
    std::size_t size = 0;
    std::uint8_t end = 0;  // index of kLineEnds: "", "\n", "\r", "\r\n"
    bool written = false;
  };
  // A section: its header line and the lines up to the next header.
  struct Block {
    std::size_t header;  // the header's line
    std::size_t end;     // after its last non-blank line, counted from the header
  };
  // A section header (line 0 of its block) or a key line (counted from its
  // block's header), by a hash of its name that names equal by
  // ProfileNamesEqual share. Kept sorted, so the entries of one hash are in
  // file order.
  struct NameEntry {
    std::uint64_t hash;
    std::size_t block;
    std::size_t line;
    bool operator<(const NameEntry& other) const;
  };
  static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

  std::string_view Text(const Line& line) const;
  // The first block with the section's name, or kNoLine.
  std::size_t FindSection(std::string_view section) const;
  // The first line (counted from the header) of the key in `block`, or kNoLine.
  std::size_t FindKey(std::size_t block, std::string_view key) const;
  // Replaces the lines by those of a file's bytes, and indexes them.
  void SetBytes(std::string bytes);
  // Puts a line before line `at`, ending the file's unterminated last line
  // first when that is the line before.
  void InsertLine(std::size_t at, Line line);
  // A new line ending in CR LF whose text, the pieces one after the other, is
  // put in m_written (no piece may lie in m_written itself).
  Line WrittenLine(std::initializer_list<std::string_view> pieces);

  std::string m_bytes;    // as loaded
  std::string m_written;  // the texts of lines written since, one after the other
  std::vector<Line> m_lines;
  std::vector<Block> m_blocks;
  std::vector<NameEntry> m_sectionNames;
  std::vector<NameEntry> m_keyNames;
};

// One-call forms over ProfileFile: read one value; write one value (load,
// set, save). WriteProfileText is false when the value cannot be stored or
// the file cannot be read or written.
std::string ReadProfileText(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view fallback = {});
bool WriteProfileText(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value);

// The form of `value` to write so that it reads back exactly: in double quotes
// when it begins or ends with white space, which reading would drop (or when
// it is itself a whole quoted text, whose quotes reading would take off);
// otherwise unchanged.
std::string ProfileValueReadingBackExactly(std::string_view value);

// True when the two names are equal without regard to ASCII case, the trail
// bytes of code page 936 double-byte characters being compared exactly.
bool ProfileNamesEqual(std::string_view a, std::string_view b);
