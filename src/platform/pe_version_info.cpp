#include "platform/pe_version_info.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/code_page_codec.h"

namespace {

constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";

// Little-endian reads that fail instead of reading past the end.
bool U16(std::string_view data, std::size_t at, std::uint16_t& value) {
  if (at > data.size() || data.size() - at < 2) {
    return false;
  }
  value = static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) |
                                     static_cast<unsigned char>(data[at + 1]) << 8);
  return true;
}

bool U32(std::string_view data, std::size_t at, std::uint32_t& value) {
  std::uint16_t low = 0;
  std::uint16_t high = 0;
  if (!U16(data, at, low) || !U16(data, at + 2, high)) {
    return false;
  }
  value = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
  return true;
}

class PeImage {
 public:
  explicit PeImage(std::string_view data) : m_data(data) {}

  // The resource directory's file offset, or false.
  bool Parse() {
    std::uint32_t peOffset = 0;
    if (m_data.substr(0, 2) != "MZ" || !U32(m_data, 0x3C, peOffset) || peOffset > m_data.size() ||
        m_data.substr(peOffset, 4) != std::string_view("PE\0\0", 4)) {
      return false;
    }
    const std::size_t coff = peOffset + 4;
    std::uint16_t sections = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    const std::size_t optional = coff + 20;
    if (!U16(m_data, coff + 2, sections) || !U16(m_data, coff + 16, optionalSize) ||
        !U16(m_data, optional, magic)) {
      return false;
    }
    std::size_t countAt = 0;
    if (magic == kPe32Magic) {
      countAt = 92;
    } else if (magic == kPe32PlusMagic) {
      countAt = 108;
    } else {
      return false;
    }
    std::uint32_t directories = 0;
    std::uint32_t resourceRva = 0;
    if (!U32(m_data, optional + countAt, directories) || directories <= kResourceDirectoryIndex ||
        !U32(m_data, optional + countAt + 4 + kResourceDirectoryIndex * 8, resourceRva) ||
        resourceRva == 0) {
      return false;
    }
    m_sectionTable = optional + optionalSize;
    m_sectionCount = sections;
    return Offset(resourceRva, m_resourceBase);
  }

  // The file offset of a relative virtual address inside a section's raw data.
  bool Offset(std::uint32_t rva, std::size_t& offset) const {
    for (std::size_t i = 0; i < m_sectionCount; ++i) {
      const std::size_t header = m_sectionTable + i * kSectionHeaderSize;
      std::uint32_t address = 0;
      std::uint32_t rawSize = 0;
      std::uint32_t rawOffset = 0;
      if (!U32(m_data, header + 12, address) || !U32(m_data, header + 16, rawSize) ||
          !U32(m_data, header + 20, rawOffset)) {
        return false;
      }
      if (rva >= address && rva - address < rawSize) {
        offset = static_cast<std::size_t>(rawOffset) + (rva - address);
        return offset < m_data.size();
      }
    }
    return false;
  }

  // The entry of the directory at `directory` (relative to the resource base)
  // with `id`, or its first entry when `id` is absent; gives its data word.
  bool Entry(std::uint32_t directory, const std::uint32_t* id, std::uint32_t& target) const {
    const std::size_t at = m_resourceBase + directory;
    std::uint16_t named = 0;
    std::uint16_t ids = 0;
    if (!U16(m_data, at + 12, named) || !U16(m_data, at + 14, ids)) {
      return false;
    }
    const std::size_t count = static_cast<std::size_t>(named) + ids;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = at + kDirectoryHeaderSize + i * kDirectoryEntrySize;
      std::uint32_t name = 0;
      if (!U32(m_data, entry, name) || !U32(m_data, entry + 4, target)) {
        return false;
      }
      if (id == nullptr || name == *id) {
        return true;
      }
    }
    return false;
  }

  std::string VersionResource() const {
    // Type, then name, then language; the language's entry is the data.
    std::uint32_t names = 0;
    std::uint32_t languages = 0;
    std::uint32_t data = 0;
    if (!Entry(0, &kVersionResourceType, names) || (names & kHighBit) == 0 ||
        !Entry(names & ~kHighBit, nullptr, languages) || (languages & kHighBit) == 0 ||
        !Entry(languages & ~kHighBit, nullptr, data) || (data & kHighBit) != 0) {
      return {};
    }
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    std::size_t offset = 0;
    const std::size_t dataEntry = m_resourceBase + data;
    if (!U32(m_data, dataEntry, rva) || !U32(m_data, dataEntry + 4, size) || !Offset(rva, offset) ||
        m_data.size() - offset < size) {
      return {};
    }
    return std::string(m_data.substr(offset, size));
  }

 private:
  std::string_view m_data;
  std::size_t m_sectionTable = 0;
  std::size_t m_sectionCount = 0;
  std::size_t m_resourceBase = 0;
};

std::size_t Align4(std::size_t offset) {
  return (offset + 3) & ~static_cast<std::size_t>(3);
}

// One node of a version block: key, value and the room of its children.
struct VersionNode {
  std::u16string key;
  std::string_view value;
  bool isText = false;
  std::size_t childrenBegin = 0;
  std::size_t end = 0;
};

bool ParseNode(std::string_view block, std::size_t at, VersionNode& node) {
  std::uint16_t length = 0;
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  if (!U16(block, at, length) || !U16(block, at + 2, valueLength) || !U16(block, at + 4, type) ||
      length < kNodeHeaderSize || block.size() - at < length) {
    return false;
  }
  node.end = at + length;
  node.key.clear();
  std::size_t pos = at + kNodeHeaderSize;
  for (std::uint16_t unit = 0;; pos += 2) {
    if (pos + 2 > node.end || !U16(block, pos, unit)) {
      return false;
    }
    if (unit == 0) {
      break;
    }
    node.key.push_back(static_cast<char16_t>(unit));
  }
  const std::size_t valueBegin = std::min(Align4(pos + 2), node.end);
  node.isText = type == 1;
  // A text value's length counts UTF-16 units; a binary value's, bytes.
  const std::size_t valueBytes = node.isText ? valueLength * std::size_t{2} : valueLength;
  node.value = block.substr(valueBegin, std::min(valueBytes, node.end - valueBegin));
  node.childrenBegin = std::min(Align4(valueBegin + node.value.size()), node.end);
  return true;
}

bool KeysEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiToLower(a[i]) != FoldAsciiToLower(b[i])) {
      return false;
    }
  }
  return true;
}

bool FindChild(std::string_view block, const VersionNode& parent, std::u16string_view key,
               VersionNode& child) {
  std::size_t at = parent.childrenBegin;
  while (at + kNodeHeaderSize <= parent.end) {
    if (!ParseNode(block.substr(0, parent.end), at, child)) {
      return false;
    }
    if (KeysEqual(child.key, key)) {
      return true;
    }
    at = Align4(child.end);
  }
  return false;
}

}  // namespace

std::string ReadPeVersionResource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0 || static_cast<std::size_t>(size) > kMaxPeImageBytes) {
    return {};
  }
  std::string data(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(data.data(), size)) {
    return {};
  }
  return FindPeVersionResource(data);
}

std::string FindPeVersionResource(std::string_view data) {
  PeImage image(data);
  return image.Parse() ? image.VersionResource() : std::string();
}

bool IsVersionBlock(std::string_view block) {
  VersionNode root;
  return ParseNode(block, 0, root) && root.key == kRootKey;
}

bool QueryVersionValue(std::string_view block, std::u16string_view path, std::string& binary,
                       std::u16string& text, bool& isText) {
  VersionNode node;
  if (!ParseNode(block, 0, node) || node.key != kRootKey) {
    return false;
  }
  while (!path.empty()) {
    while (!path.empty() && path.front() == u'\\') {
      path.remove_prefix(1);
    }
    if (path.empty()) {
      break;
    }
    const std::size_t slash = path.find(u'\\');
    const std::u16string_view key = path.substr(0, slash);
    path = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash);
    VersionNode child;
    if (!FindChild(block, node, key, child)) {
      return false;
    }
    node = child;
  }
  isText = node.isText;
  binary.assign(node.value);
  text.clear();
  if (isText) {
    for (std::size_t i = 0; i + 1 < node.value.size(); i += 2) {
      std::uint16_t unit = 0;
      U16(node.value, i, unit);
      if (unit == 0) {
        break;
      }
      text.push_back(static_cast<char16_t>(unit));
    }
  }
  return true;
}
