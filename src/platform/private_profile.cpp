#include "platform/private_profile.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/code_page_codec.h"
#include "platform/memory_files.h"
#include "platform/staged_file.h"

namespace {

constexpr std::size_t kNone = std::string::npos;

// The line ends a line may have, by Line::end.
constexpr std::string_view kLineEnds[] = {"", "\n", "\r", "\r\n"};
constexpr std::uint8_t kNoEnd = 0;
constexpr std::uint8_t kLf = 1;
constexpr std::uint8_t kCr = 2;
constexpr std::uint8_t kCrLf = 3;  // the end of every line written

constexpr std::size_t kUsualLines = 64;
constexpr std::size_t kUsualSections = 8;
constexpr std::size_t kUsualWritten = 1024;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The name of a section header line, or false when the line is none.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') {
    return false;
  }
  const std::size_t close = line.find(']');
  if (close == kNone) {
    return false;
  }
  name = Trim(line.substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false when the line holds no "=".
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::size_t equals = line.find('=');
  if (equals == kNone) {
    return false;
  }
  key = Trim(line.substr(0, equals));
  value = line.substr(equals + 1);
  return true;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != kNone;
}

// A hash of a name that is the same for names equal by ProfileNamesEqual:
// every byte folded as an ASCII letter, the trail bytes of double-byte
// characters too (names that differ only in the case of such a byte share a
// hash; the comparison tells them apart).
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
  for (const char byte : name) {
    hash = (hash ^ FoldAscii(static_cast<unsigned char>(byte))) * 0x100000001B3u;
  }
  return hash;
}

}  // namespace

std::string ProfileValueReadingBackExactly(std::string_view value) {
  const bool trimmed = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!trimmed && !quoted) {
    return std::string(value);
  }
  std::string kept;
  kept.reserve(value.size() + 2);
  kept += '"';
  kept += value;
  kept += '"';
  return kept;
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsCp936LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      // A double-byte character: both bytes exactly (its trail byte may look
      // like an ASCII letter).
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
        return false;
      }
      ++i;
      continue;
    }
    if (FoldAscii(static_cast<unsigned char>(a[i])) !=
        FoldAscii(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool ProfileFile::Load(const std::string& path) {
  SetBytes(std::string());
  if (const MemoryFiles* memory = InstalledMemoryFiles()) {
    SetBytes(memory->Read(path).value_or(std::string()));
    return true;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return errno == ENOENT;
  }
  std::ifstream in(path, std::ios::binary);
  if (!S_ISREG(info.st_mode) || !in) {
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    return false;
  }
  SetBytes(std::move(content).str());
  return true;
}

bool ProfileFile::NameEntry::operator<(const NameEntry& other) const {
  if (hash != other.hash) {
    return hash < other.hash;
  }
  return block != other.block ? block < other.block : line < other.line;
}

std::string_view ProfileFile::Text(const Line& line) const {
  return std::string_view(line.written ? m_written : m_bytes).substr(line.start, line.size);
}

void ProfileFile::SetBytes(std::string bytes) {
  m_bytes = std::move(bytes);
  m_written.clear();
  m_lines.clear();
  m_blocks.clear();
  m_sectionNames.clear();
  m_keyNames.clear();
  // Room for a settings file of the usual size at once.
  m_lines.reserve(kUsualLines);
  m_keyNames.reserve(kUsualLines);
  m_blocks.reserve(kUsualSections);
  m_sectionNames.reserve(kUsualSections);
  // The next CR and LF at or after `start`, each looked for again only once
  // passed (one scan of the bytes for each, not one per byte).
  std::size_t nextCr = m_bytes.find('\r');
  std::size_t nextLf = m_bytes.find('\n');
  std::size_t start = 0;
  while (start < m_bytes.size()) {
    if (nextCr < start) {
      nextCr = m_bytes.find('\r', start);
    }
    if (nextLf < start) {
      nextLf = m_bytes.find('\n', start);
    }
    Line line;
    line.start = start;
    const std::size_t stop = std::min(nextCr, nextLf);
    if (stop == kNone) {
      line.size = m_bytes.size() - start;
      start = m_bytes.size();
    } else {
      line.size = stop - start;
      line.end = stop == nextLf ? kLf : stop + 1 == nextLf ? kCrLf : kCr;
      start = stop + kLineEnds[line.end].size();
    }
    const std::string_view text = Trim(Text(line));
    std::string_view name;
    std::string_view value;
    if (SectionName(text, name)) {
      m_sectionNames.push_back({NameHash(name), m_blocks.size(), 0});
      m_blocks.push_back({m_lines.size(), 1});
    } else if (!m_blocks.empty() && !text.empty()) {
      Block& block = m_blocks.back();
      block.end = m_lines.size() - block.header + 1;
      if (KeyOf(text, name, value)) {
        m_keyNames.push_back({NameHash(name), m_blocks.size() - 1, block.end - 1});
      }
    }
    m_lines.push_back(line);
  }
  std::sort(m_sectionNames.begin(), m_sectionNames.end());
  std::sort(m_keyNames.begin(), m_keyNames.end());
}

std::string ProfileFile::Bytes() const {
  std::string bytes;
  bytes.reserve(m_bytes.size() + m_written.size() + 2 * m_lines.size());
  for (const Line& line : m_lines) {
    bytes += Text(line);
    bytes += kLineEnds[line.end];
  }
  return bytes;
}

bool ProfileFile::Save(const std::string& path) const {
  return WriteFileReplacing(path, Bytes());
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
  const std::uint64_t hash = NameHash(section);
  std::string_view name;
  for (auto entry =
           std::lower_bound(m_sectionNames.begin(), m_sectionNames.end(), NameEntry{hash, 0, 0});
       entry != m_sectionNames.end() && entry->hash == hash; ++entry) {
    if (SectionName(Text(m_lines[m_blocks[entry->block].header]), name) &&
        ProfileNamesEqual(name, section)) {
      return entry->block;
    }
  }
  return kNoLine;
}

std::size_t ProfileFile::FindKey(std::size_t block, std::string_view key) const {
  const std::uint64_t hash = NameHash(key);
  const std::size_t header = m_blocks[block].header;
  std::string_view name;
  std::string_view value;
  for (auto entry =
           std::lower_bound(m_keyNames.begin(), m_keyNames.end(), NameEntry{hash, block, 0});
       entry != m_keyNames.end() && entry->hash == hash && entry->block == block; ++entry) {
    if (KeyOf(Text(m_lines[header + entry->line]), name, value) && ProfileNamesEqual(name, key)) {
      return entry->line;
    }
  }
  return kNoLine;
}

ProfileFile::Line ProfileFile::WrittenLine(std::initializer_list<std::string_view> pieces) {
  if (m_written.empty()) {
    m_written.reserve(kUsualWritten);
  }
  Line line;
  line.start = m_written.size();
  line.end = kCrLf;
  line.written = true;
  for (const std::string_view piece : pieces) {
    m_written += piece;
  }
  line.size = m_written.size() - line.start;
  return line;
}

void ProfileFile::InsertLine(std::size_t at, Line line) {
  // The line before gets a line end if it was the file's unterminated last.
  if (at > 0 && m_lines[at - 1].end == kNoEnd) {
    m_lines[at - 1].end = kCrLf;
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
}

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  const std::size_t block = FindSection(section);
  const std::size_t line = block == kNoLine ? kNoLine : FindKey(block, key);
  if (line == kNoLine) {
    return std::string(fallback);
  }
  std::string_view name;
  std::string_view value;
  KeyOf(Text(m_lines[m_blocks[block].header + line]), name, value);
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool ProfileFile::HasSection(std::string_view section) const {
  return FindSection(section) != kNoLine;
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || section.find(']') != kNone || key.find('=') != kNone) {
    return false;
  }
  // A key line that reads as a section header ("[k]=v", or "[k" with a value
  // holding "]") would lose the key and move the keys after it elsewhere. The
  // line goes into m_written at once; a refused one is taken back.
  const std::size_t mark = m_written.size();
  const Line keyLine = WrittenLine({key, "=", value});
  std::string_view asSection;
  if (SectionName(Text(keyLine), asSection)) {
    m_written.resize(mark);
    return false;
  }
  std::size_t index = FindSection(section);
  if (index == kNoLine) {
    // A new section at the end of the file: its header reads back as
    // `section`, which is trimmed and holds no "]".
    index = m_blocks.size();
    InsertLine(m_lines.size(), WrittenLine({"[", section, "]"}));
    m_blocks.push_back({m_lines.size() - 1, 1});
    const NameEntry entry{NameHash(section), index, 0};
    m_sectionNames.insert(std::upper_bound(m_sectionNames.begin(), m_sectionNames.end(), entry),
                          entry);
  }
  Block& block = m_blocks[index];
  const std::size_t line = FindKey(index, key);
  if (line == kNoLine) {
    // After the section's last non-blank line. Every key line is before it,
    // so only the later sections move.
    InsertLine(block.header + block.end, keyLine);
    const NameEntry entry{NameHash(key), index, block.end};
    m_keyNames.insert(std::upper_bound(m_keyNames.begin(), m_keyNames.end(), entry), entry);
    ++block.end;
    for (std::size_t later = index + 1; later < m_blocks.size(); ++later) {
      ++m_blocks[later].header;
    }
    return true;
  }
  // The key keeps its spelling in the file; only its value changes. The
  // spelling is copied first: it may lie in m_written, which grows.
  Line& changed = m_lines[block.header + line];
  std::string_view name;
  std::string_view oldValue;
  KeyOf(Text(changed), name, oldValue);
  const std::string spelling(name);
  m_written.resize(mark);
  const Line replaced = WrittenLine({spelling, "=", value});
  changed.start = replaced.start;
  changed.size = replaced.size;
  changed.written = true;
  return true;
}

std::string ReadProfileText(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view fallback) {
  ProfileFile file;
  file.Load(path);
  return file.Read(section, key, fallback);
}

bool WriteProfileText(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value) {
  ProfileFile file;
  return file.Load(path) && file.Write(section, key, value) && file.Save(path);
}
