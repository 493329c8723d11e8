#include "platform/private_profile.h"

#include <sys/stat.h>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/code_page_codec.h"
#include "platform/memory_files.h"
#include "platform/staged_file.h"

namespace {

constexpr const char* kNewLineEnd = "\r\n";
constexpr std::size_t kNone = std::string::npos;

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

}  // namespace

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
  m_lines.clear();
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
  SetBytes(content.str());
  return true;
}

void ProfileFile::SetBytes(const std::string& bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == kNone) {
      m_lines.push_back({bytes.substr(start), ""});
      break;
    }
    const std::size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
    m_lines.push_back({bytes.substr(start, stop - start), bytes.substr(stop, endLength)});
    start = stop + endLength;
  }
}

std::string ProfileFile::Bytes() const {
  std::string bytes;
  for (const Line& line : m_lines) {
    bytes += line.text;
    bytes += line.end;
  }
  return bytes;
}

bool ProfileFile::Save(const std::string& path) const {
  return WriteFileReplacing(path, Bytes());
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
  std::string_view name;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (SectionName(m_lines[i].text, name) && ProfileNamesEqual(name, section)) {
      return i;
    }
  }
  return kNone;
}

std::size_t ProfileFile::FindKey(std::size_t header, std::string_view key) const {
  std::string_view name;
  std::string_view value;
  for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
    if (SectionName(m_lines[i].text, name)) {
      break;
    }
    if (KeyOf(m_lines[i].text, name, value) && ProfileNamesEqual(name, key)) {
      return i;
    }
  }
  return kNone;
}

std::size_t ProfileFile::SectionEnd(std::size_t header) const {
  std::size_t end = header + 1;
  std::string_view name;
  for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
    if (SectionName(m_lines[i].text, name)) {
      break;
    }
    if (!Trim(m_lines[i].text).empty()) {
      end = i + 1;
    }
  }
  return end;
}

void ProfileFile::InsertLine(std::size_t at, std::string text) {
  // The line before gets a line end if it was the file's unterminated last.
  if (at > 0 && m_lines[at - 1].end.empty()) {
    m_lines[at - 1].end = kNewLineEnd;
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                 Line{std::move(text), kNewLineEnd});
}

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  const std::size_t header = FindSection(section);
  const std::size_t line = header == kNone ? kNone : FindKey(header, key);
  if (line == kNone) {
    return std::string(fallback);
  }
  std::string_view name;
  std::string_view value;
  KeyOf(m_lines[line].text, name, value);
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool ProfileFile::HasSection(std::string_view section) const {
  return FindSection(section) != kNone;
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || section.find(']') != kNone || key.find('=') != kNone) {
    return false;
  }
  // A key line that reads as a section header ("[k]=v", or "[k" with a value
  // holding "]") would lose the key and move the keys after it elsewhere.
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  std::string_view asSection;
  if (SectionName(keyLine, asSection)) {
    return false;
  }
  const std::size_t header = FindSection(section);
  if (header == kNone) {
    InsertLine(m_lines.size(), "[" + std::string(section) + "]");
    InsertLine(m_lines.size(), std::string(key) + "=" + std::string(value));
    return true;
  }
  const std::size_t line = FindKey(header, key);
  if (line == kNone) {
    InsertLine(SectionEnd(header), std::string(key) + "=" + std::string(value));
    return true;
  }
  // The key keeps its spelling in the file; only its value changes.
  std::string_view name;
  std::string_view oldValue;
  KeyOf(m_lines[line].text, name, oldValue);
  m_lines[line].text = std::string(name) + "=" + std::string(value);
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
