#include "data/json_access_internal.h"

#include "platform/code_page_codec.h"

namespace {

std::u16string CutAtNul(std::u16string units) {
  const size_t nul = units.find(u'\0');
  if (nul != std::u16string::npos)
    units.resize(nul);
  return units;
}

std::string_view BeforeNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

std::u16string JsonArgFromText(std::string_view text) {
  return JsonTextToUtf16(BeforeNul(text), 936);
}

std::u16string JsonArgFromW(std::string_view bytes) {
  return CutAtNul(LeBytesToUtf16(bytes));
}

std::u16string JsonArgFromUtf8(std::string_view text) {
  return JsonTextToUtf16(BeforeNul(text), 65001);
}

std::string JsonResultToW(std::u16string_view units) {
  std::string bytes = Utf16ToLeBytes(units);
  bytes.append(2, '\0');
  return bytes;
}

std::string JsonResultToText(std::u16string_view units) {
  return JsonUtf16ToText(units, 936);
}

bool JsonChildFits(const JsonTreeNode* parent, const JsonTreeNode* child) {
  return NodeDepth(parent) + 1 + SubtreeHeight(child) <= kMaxJsonDepth;
}

bool JsonValueFits(const JsonTreeNode* node, const JsonTreeNode* value) {
  return NodeDepth(node) + SubtreeHeight(value) <= kMaxJsonDepth;
}

JsonTreeNode* JsonSnapshot(const JsonTreeNode* source) {
  return source ? CopyNode(source, kMaxJsonDepth) : nullptr;
}
