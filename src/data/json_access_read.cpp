// The read operations of JsonTreeAccess: JSON text, type, parent, count,
// member and element access, names, existence and the typed getters. None of
// them changes the tree.

#include <cmath>

#include "data/json_access_internal.h"
#include "data/json_node.h"
#include "data/json_numbers.h"
#include "data/json_path.h"
#include "data/json_tree_access.h"
#include "data/json_writer.h"

namespace {

using Units = std::u16string;

int32_t TypeOf(const JsonTreeNode* node) {
  return node ? static_cast<int32_t>(node->type) : -1;
}

int32_t CountOf(const JsonTreeNode* node) {
  if (!node)
    return 0;
  if (node->type == JsonNodeType::Object)
    return node->members->memberCount;
  if (node->type == JsonNodeType::Array)
    return static_cast<int32_t>(node->elements->size());
  return 0;
}

JsonNode ParentOf(const JsonTreeNode* node) {
  return JsonNode(node ? node->parent : nullptr);
}

JsonNode MemberOf(JsonTreeNode* node, const Units& key) {
  return JsonNode(ChildByKey(node, key));
}

Units KeyOf(const JsonTreeNode* node) {
  return node && node->hasKey ? Units(node->key.View()) : Units();
}

bool ExistsAt(JsonTreeNode* anchor, const Units& path) {
  return !ParseJsonPath(path).empty() && ResolvePath(anchor, path) != nullptr;
}

Units LiteralOf(const JsonTreeNode* node) {
  return NodeLiteral(node);
}

Units TextOf(const JsonTreeNode* node) {
  if (!node)
    return {};
  switch (node->type) {
    case JsonNodeType::String:
      return Units(NodeText(node));
    case JsonNodeType::Double:
    case JsonNodeType::Int64:
    case JsonNodeType::Bool:
      return NodeLiteral(node);
    default:
      return {};
  }
}

bool BoolOf(const JsonTreeNode* node) {
  if (!node)
    return false;
  switch (node->type) {
    case JsonNodeType::Double:
      return std::fabs(node->value.d) > 1e-7;
    case JsonNodeType::Int64:
      return node->value.i != 0;
    case JsonNodeType::Bool:
      return node->value.b != 0;
    default:
      return false;
  }
}

// Full-width forms (U+FF01-U+FF5E) read as their ASCII characters, the
// ideographic space as a space, so digits typed with a Chinese input method
// still count.
Units AsciiForms(std::u16string_view text) {
  Units out(text);
  for (char16_t& c : out) {
    if (c >= 0xFF01 && c <= 0xFF5E)
      c = static_cast<char16_t>(c - 0xFEE0);
    else if (c == 0x3000)
      c = u' ';
  }
  return out;
}

double DoubleOf(const JsonTreeNode* node) {
  if (!node)
    return 0.0;
  switch (node->type) {
    case JsonNodeType::Double:
      return node->value.d;
    case JsonNodeType::Int64:
      return static_cast<double>(node->value.i);
    case JsonNodeType::Bool:
      return node->value.b ? 1.0 : 0.0;
    case JsonNodeType::String:
      return ReadJsonDoublePrefix(AsciiForms(NodeText(node)));
    default:
      return 0.0;
  }
}

int64_t Int64Of(const JsonTreeNode* node) {
  if (!node)
    return 0;
  switch (node->type) {
    case JsonNodeType::Double:
      return TruncateJsonDouble(node->value.d);
    case JsonNodeType::Int64:
      return node->value.i;
    case JsonNodeType::Bool:
      return node->value.b ? 1 : 0;
    case JsonNodeType::String:
      return ReadJsonInt64Prefix(NodeText(node));
    default:
      return 0;
  }
}

int32_t IntOf(const JsonTreeNode* node) {
  if (node && node->type == JsonNodeType::String)
    return ReadJsonInt32Prefix(NodeText(node));
  // The low 32 bits, as a 32-bit integer.
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(Int64Of(node))));
}

template <typename Convert>
int32_t NamesOf(const JsonTreeNode* node, std::vector<std::string>& names, Convert convert) {
  if (!node || node->type != JsonNodeType::Object)
    return 0;
  std::vector<std::string> result;
  result.reserve(node->members->order.size());
  for (const JsonTreeNode* m : node->members->order)
    result.push_back(convert(Units(m->key.View())));
  names.swap(result);
  return static_cast<int32_t>(names.size());
}

int32_t ChildrenOf(const JsonTreeNode* node, std::vector<JsonNode>& children) {
  const JsonNodeList* list = nullptr;
  if (node && node->type == JsonNodeType::Object)
    list = &node->members->order;
  else if (node && node->type == JsonNodeType::Array)
    list = node->elements;
  if (!list || list->empty())
    return 0;
  std::vector<JsonNode> result;
  result.reserve(list->size());
  for (JsonTreeNode* child : *list)
    result.emplace_back(child);
  children.swap(result);
  return static_cast<int32_t>(children.size());
}

}  // namespace

std::string JsonTreeAccess::GetJsonTextW(const std::string& path, bool pretty, bool escape,
                                         int32_t initialChars) const {
  const JsonTreeNode* node = ResolvePath(m_node, JsonArgFromW(path));
  return JsonResultToW(NodeToJsonUtf16(node, pretty, escape, initialChars));
}

std::string JsonTreeAccess::GetJsonText(const std::string& path, bool pretty, bool escape,
                                        int32_t initialChars) const {
  const JsonTreeNode* node = ResolvePath(m_node, JsonArgFromText(path));
  return NodeToJsonText(node, pretty, escape, initialChars);
}

std::string JsonTreeAccess::GetJsonTextUtf8(const std::string& path, bool pretty, bool escape,
                                            int32_t initialChars) const {
  const JsonTreeNode* node = ResolvePath(m_node, JsonArgFromUtf8(path));
  return NodeToJsonUtf8(node, pretty, escape, initialChars);
}

int32_t JsonTreeAccess::GetType(const std::string& path) const {
  return TypeOf(ResolvePath(m_node, JsonArgFromText(path)));
}
int32_t JsonTreeAccess::GetTypeW(const std::string& path) const {
  return TypeOf(ResolvePath(m_node, JsonArgFromW(path)));
}
JsonNode JsonTreeAccess::GetParent(const std::string& path) const {
  return ParentOf(ResolvePath(m_node, JsonArgFromText(path)));
}
JsonNode JsonTreeAccess::GetParentW(const std::string& path) const {
  return ParentOf(ResolvePath(m_node, JsonArgFromW(path)));
}
int32_t JsonTreeAccess::GetCount(const std::string& path) const {
  return CountOf(ResolvePath(m_node, JsonArgFromText(path)));
}
int32_t JsonTreeAccess::GetCountW(const std::string& path) const {
  return CountOf(ResolvePath(m_node, JsonArgFromW(path)));
}

JsonNode JsonTreeAccess::GetMember(const std::string& path, const std::string& key) const {
  return MemberOf(ResolvePath(m_node, JsonArgFromText(path)), JsonArgFromText(key));
}
JsonNode JsonTreeAccess::GetMemberW(const std::string& path, const std::string& key) const {
  return MemberOf(ResolvePath(m_node, JsonArgFromW(path)), JsonArgFromW(key));
}
std::string JsonTreeAccess::GetKeyW(const std::string& path) const {
  return JsonResultToW(KeyOf(ResolvePath(m_node, JsonArgFromW(path))));
}
std::string JsonTreeAccess::GetKey(const std::string& path) const {
  return JsonResultToText(KeyOf(ResolvePath(m_node, JsonArgFromText(path))));
}
JsonNode JsonTreeAccess::GetElement(const std::string& path, int32_t index) const {
  return JsonNode(ChildAt(ResolvePath(m_node, JsonArgFromText(path)), index));
}
JsonNode JsonTreeAccess::GetElementW(const std::string& path, int32_t index) const {
  return JsonNode(ChildAt(ResolvePath(m_node, JsonArgFromW(path)), index));
}
bool JsonTreeAccess::ExistsW(const std::string& path) const {
  return ExistsAt(m_node, JsonArgFromW(path));
}
bool JsonTreeAccess::Exists(const std::string& path) const {
  return ExistsAt(m_node, JsonArgFromText(path));
}

std::string JsonTreeAccess::GetLiteral(const std::string& path) const {
  return JsonResultToText(LiteralOf(ResolvePath(m_node, JsonArgFromText(path))));
}
std::string JsonTreeAccess::GetLiteralW(const std::string& path) const {
  return JsonResultToW(LiteralOf(ResolvePath(m_node, JsonArgFromW(path))));
}
std::string JsonTreeAccess::GetText(const std::string& path) const {
  return JsonResultToText(TextOf(ResolvePath(m_node, JsonArgFromText(path))));
}
std::string JsonTreeAccess::GetTextW(const std::string& path) const {
  return JsonResultToW(TextOf(ResolvePath(m_node, JsonArgFromW(path))));
}
bool JsonTreeAccess::GetBoolW(const std::string& path) const {
  return BoolOf(ResolvePath(m_node, JsonArgFromW(path)));
}
bool JsonTreeAccess::GetBool(const std::string& path) const {
  return BoolOf(ResolvePath(m_node, JsonArgFromText(path)));
}
double JsonTreeAccess::GetDoubleW(const std::string& path) const {
  return DoubleOf(ResolvePath(m_node, JsonArgFromW(path)));
}
double JsonTreeAccess::GetDouble(const std::string& path) const {
  return DoubleOf(ResolvePath(m_node, JsonArgFromText(path)));
}
int64_t JsonTreeAccess::GetInt64W(const std::string& path) const {
  return Int64Of(ResolvePath(m_node, JsonArgFromW(path)));
}
int64_t JsonTreeAccess::GetInt64(const std::string& path) const {
  return Int64Of(ResolvePath(m_node, JsonArgFromText(path)));
}
int32_t JsonTreeAccess::GetIntW(const std::string& path) const {
  return IntOf(ResolvePath(m_node, JsonArgFromW(path)));
}
int32_t JsonTreeAccess::GetInt(const std::string& path) const {
  return IntOf(ResolvePath(m_node, JsonArgFromText(path)));
}

int32_t JsonTreeAccess::GetMemberNamesW(const std::string& path,
                                        std::vector<std::string>& names) const {
  return NamesOf(ResolvePath(m_node, JsonArgFromW(path)), names,
                 [](const Units& key) { return JsonResultToW(key); });
}
int32_t JsonTreeAccess::GetMemberNames(const std::string& path,
                                       std::vector<std::string>& names) const {
  return NamesOf(ResolvePath(m_node, JsonArgFromText(path)), names,
                 [](const Units& key) { return JsonResultToText(key); });
}
int32_t JsonTreeAccess::GetChildrenW(const std::string& path,
                                     std::vector<JsonNode>& children) const {
  return ChildrenOf(ResolvePath(m_node, JsonArgFromW(path)), children);
}
int32_t JsonTreeAccess::GetChildren(const std::string& path,
                                    std::vector<JsonNode>& children) const {
  return ChildrenOf(ResolvePath(m_node, JsonArgFromText(path)), children);
}
