#pragma once
// Builds small PE images with a version resource, for the tests of the
// version reader: one ".rsrc" section, a three-level resource directory and a
// VS_VERSIONINFO block with a string table and a translation.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pe_test {

inline void Put16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::size_t at, std::uint32_t value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, value >> 16);
}

inline void Pad4(std::string& out) {
  out.resize((out.size() + 3) & ~static_cast<std::size_t>(3), '\0');
}

inline std::string Utf16Z(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  out.append(2, '\0');
  return out;
}

// One node: header, key, value, children; its length is the node's wLength.
inline std::string Node(const std::u16string& key, const std::string& value, bool text,
                        const std::vector<std::string>& children = {}) {
  std::string out(6, '\0');
  out += Utf16Z(key);
  Pad4(out);
  out += value;
  for (const std::string& child : children) {
    Pad4(out);
    out += child;
  }
  Put16(out, 0, static_cast<std::uint32_t>(out.size()));
  Put16(out, 2, static_cast<std::uint32_t>(text ? value.size() / 2 : value.size()));
  Put16(out, 4, text ? 1 : 0);
  return out;
}

struct VersionBlockFields {
  std::u16string fileVersion = u"1.1.0.0";
  std::uint16_t language = 0x0804;
  std::uint16_t codePage = 0x04B0;
  std::u16string tableKey{};  // empty: from language and code page
  bool withTranslation = true;
};

inline std::string VersionBlock(const VersionBlockFields& fields) {
  std::string fixed(52, '\0');
  Put32(fixed, 0, 0xFEEF04BD);
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%04X%04X", fields.language, fields.codePage);
  std::u16string tableKey = fields.tableKey;
  if (tableKey.empty()) {
    tableKey.assign(digits, digits + 8);
  }
  std::vector<std::string> children = {
      Node(u"StringFileInfo", {}, true,
           {Node(tableKey, {}, true,
                 {Node(u"CompanyName", Utf16Z(u"Maker"), true),
                  Node(u"FileVersion", Utf16Z(fields.fileVersion), true)})})};
  if (fields.withTranslation) {
    std::string pair(4, '\0');
    Put16(pair, 0, fields.language);
    Put16(pair, 2, fields.codePage);
    children.push_back(Node(u"VarFileInfo", {}, true, {Node(u"Translation", pair, false)}));
  }
  return Node(u"VS_VERSION_INFO", fixed, false, children);
}

// A PE32 (or PE32+) image whose resource section holds `block` as its
// version resource; with an empty block the image has no resources at all.
inline std::string PeImage(const std::string& block, bool pe32Plus = false) {
  constexpr std::uint32_t kPeOffset = 0x40;
  constexpr std::uint32_t kSectionRva = 0x1000;
  constexpr std::uint32_t kRawOffset = 0x200;
  const std::uint32_t optionalSize = pe32Plus ? 240 : 224;
  const std::uint32_t directories = pe32Plus ? 112 : 96;

  std::string resources(88, '\0');
  const auto directory = [&resources](std::size_t at, std::uint32_t id, std::uint32_t target) {
    Put16(resources, at + 14, 1);
    Put32(resources, at + 16, id);
    Put32(resources, at + 20, target);
  };
  directory(0, 16, 0x80000000u | 24);
  directory(24, 1, 0x80000000u | 48);
  directory(48, 0x0804, 72);
  Put32(resources, 72, kSectionRva + 88);
  Put32(resources, 76, static_cast<std::uint32_t>(block.size()));
  resources += block;

  std::string image(kRawOffset, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kPeOffset);
  image.replace(kPeOffset, 4, std::string("PE\0\0", 4));
  const std::size_t coff = kPeOffset + 4;
  Put16(image, coff, pe32Plus ? 0x8664 : 0x14C);
  Put16(image, coff + 2, 1);
  Put16(image, coff + 16, optionalSize);
  const std::size_t optional = coff + 20;
  Put16(image, optional, pe32Plus ? 0x20B : 0x10B);
  Put32(image, optional + directories - 4, 16);
  if (!block.empty()) {
    Put32(image, optional + directories + 2 * 8, kSectionRva);
    Put32(image, optional + directories + 2 * 8 + 4, static_cast<std::uint32_t>(resources.size()));
  }
  const std::size_t section = optional + optionalSize;
  image.replace(section, 5, ".rsrc");
  Put32(image, section + 8, static_cast<std::uint32_t>(resources.size()));
  Put32(image, section + 12, kSectionRva);
  Put32(image, section + 16, static_cast<std::uint32_t>(resources.size()));
  Put32(image, section + 20, kRawOffset);
  return image + resources;
}

}  // namespace pe_test
