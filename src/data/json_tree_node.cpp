// Making, linking, clearing, copying and freeing the nodes of the JSON tree.
// The recursive walks here rely on the tree's depth bound (kMaxJsonDepth).

#include "data/json_tree_node.h"

#include <algorithm>

#include "data/json_numbers.h"
#include "platform/code_page_codec.h"

namespace {

void ReparentChildren(JsonTreeNode* node) {
  if (node->type == JsonNodeType::Array && node->elements) {
    for (JsonTreeNode* e : *node->elements)
      e->parent = node;
  } else if (node->type == JsonNodeType::Object && node->members) {
    for (JsonTreeNode* m : node->members->order)
      m->parent = node;
  }
}

// Copies the scalar value of `from` into the empty node `to`.
void CopyScalar(const JsonTreeNode* from, JsonTreeNode* to, bool keepLiteral) {
  to->type = from->type;
  to->value = from->value;
  switch (from->type) {
    case JsonNodeType::String:
      to->text = from->text;
      break;
    case JsonNodeType::Bool:
      to->literal = from->value.b ? u"true" : u"false";
      break;
    case JsonNodeType::Double:
      to->literal = keepLiteral ? from->literal : FormatJsonDouble(from->value.d);
      break;
    case JsonNodeType::Int64:
      to->literal = keepLiteral ? from->literal : FormatJsonInt64(from->value.i);
      break;
    default:
      break;
  }
}

JsonTreeNode* CopyWithin(const JsonTreeNode* node, int32_t maxHeight, bool keepLiterals) {
  if (!node)
    return nullptr;
  const bool container = node->type == JsonNodeType::Array || node->type == JsonNodeType::Object;
  if (container && maxHeight <= 0) {
    const bool empty =
        node->type == JsonNodeType::Array ? node->elements->empty() : node->members->order.empty();
    if (!empty)
      return nullptr;
  }
  if (node->type == JsonNodeType::Array) {
    JsonTreeNode* copy = NewArrayNode(static_cast<int32_t>(node->elements->size()));
    for (const JsonTreeNode* e : *node->elements) {
      JsonTreeNode* child = CopyWithin(e, maxHeight - 1, keepLiterals);
      if (!child) {
        FreeNode(copy);
        return nullptr;
      }
      LinkElement(copy, child);
    }
    return copy;
  }
  if (node->type == JsonNodeType::Object) {
    JsonTreeNode* copy = NewObjectNode();
    for (const JsonTreeNode* m : node->members->order) {
      JsonTreeNode* child = CopyWithin(m, maxHeight - 1, keepLiterals);
      if (!child) {
        FreeNode(copy);
        return nullptr;
      }
      LinkMember(copy, m->key, child);
    }
    return copy;
  }
  JsonTreeNode* copy = NewNode();
  CopyScalar(node, copy, keepLiterals);
  return copy;
}

}  // namespace

bool LinkMember(JsonTreeNode* object, std::u16string_view key, JsonTreeNode* node,
                int32_t position) {
  if (!object || !node || object->type != JsonNodeType::Object)
    return false;
  JsonTreeNode* replaced = nullptr;
  if (InsertMember(*object->members, key, node, &replaced, position) < 0)
    return false;
  node->parent = object;
  if (replaced)
    FreeNode(replaced);
  return true;
}

bool LinkElement(JsonTreeNode* array, JsonTreeNode* node, int32_t position) {
  if (!array || !node || array->type != JsonNodeType::Array)
    return false;
  std::vector<JsonTreeNode*>& list = *array->elements;
  if (position < 0) {
    list.push_back(node);
  } else if (static_cast<size_t>(position) <= list.size()) {
    list.insert(list.begin() + position, node);
  } else {
    return false;
  }
  node->parent = array;
  return true;
}

void MakeObjectNode(JsonTreeNode* node, int32_t bucketCount) {
  ClearNodeValue(node);
  node->members = std::make_unique<JsonMemberTable>();
  InitMemberTable(*node->members, bucketCount);
  node->type = JsonNodeType::Object;
}

void MakeArrayNode(JsonTreeNode* node, int32_t capacity) {
  // The capacity is a sizing hint; cap what a caller's number may reserve.
  constexpr int32_t kMaxInitialCapacity = 1 << 16;
  ClearNodeValue(node);
  node->elements = std::make_unique<std::vector<JsonTreeNode*>>();
  node->elements->reserve(static_cast<size_t>(
      capacity <= 0 ? kJsonDefaultCapacity : std::min(capacity, kMaxInitialCapacity)));
  node->type = JsonNodeType::Array;
}

void ClearNodeValue(JsonTreeNode* node) {
  if (!node)
    return;
  if (node->members)
    FreeMemberTable(node->members);
  if (node->elements) {
    std::unique_ptr<std::vector<JsonTreeNode*>> list = std::move(node->elements);
    for (JsonTreeNode* e : *list)
      FreeNode(e);
  }
  node->text.clear();
  node->text.shrink_to_fit();
  node->literal.clear();
  node->value = {};
  node->type = JsonNodeType::Null;
}

void FreeNode(JsonTreeNode* node) {
  if (!node)
    return;
  ClearNodeValue(node);
  delete node;
}

void MoveNodeValue(JsonTreeNode* from, JsonTreeNode* to) {
  if (from == to)
    return;
  ClearNodeValue(to);
  to->type = from->type;
  to->value = from->value;
  to->text = std::move(from->text);
  to->literal = std::move(from->literal);
  to->elements = std::move(from->elements);
  to->members = std::move(from->members);
  ReparentChildren(to);
  from->text.clear();
  from->literal.clear();
  from->value = {};
  from->type = JsonNodeType::Null;
}

JsonTreeNode* CopyNode(const JsonTreeNode* node, int32_t maxHeight) {
  return CopyWithin(node, maxHeight, false);
}

JsonTreeNode* CloneNode(const JsonTreeNode* node) {
  return CopyWithin(node, kMaxJsonDepth, true);
}

int32_t SubtreeHeight(const JsonTreeNode* node) {
  int32_t height = 0;
  if (node && node->type == JsonNodeType::Array) {
    for (const JsonTreeNode* e : *node->elements)
      height = std::max(height, 1 + SubtreeHeight(e));
  } else if (node && node->type == JsonNodeType::Object) {
    for (const JsonTreeNode* m : node->members->order)
      height = std::max(height, 1 + SubtreeHeight(m));
  }
  return height;
}

int32_t NodeDepth(const JsonTreeNode* node) {
  int32_t depth = 0;
  for (; node && node->parent; node = node->parent)
    ++depth;
  return depth;
}

bool IsSameOrAncestor(const JsonTreeNode* ancestor, const JsonTreeNode* node) {
  for (; node; node = node->parent) {
    if (node == ancestor)
      return true;
  }
  return false;
}

JsonTreeNode* NewNode() {
  return new JsonTreeNode();
}

JsonTreeNode* NewObjectNode(int32_t bucketCount) {
  JsonTreeNode* node = NewNode();
  MakeObjectNode(node, bucketCount);
  return node;
}

JsonTreeNode* NewArrayNode(int32_t capacity) {
  JsonTreeNode* node = NewNode();
  MakeArrayNode(node, capacity);
  return node;
}

JsonTreeNode* NewBoolNode(bool value) {
  JsonTreeNode* node = NewNode();
  SetNodeBool(node, value);
  return node;
}

JsonTreeNode* NewStringNode(std::u16string_view text) {
  JsonTreeNode* node = NewNode();
  SetNodeString(node, text);
  return node;
}

JsonTreeNode* NewInt64Node(int64_t value, std::u16string_view literal) {
  JsonTreeNode* node = NewNode();
  SetNodeInt64(node, value, literal);
  return node;
}

JsonTreeNode* NewDoubleNode(double value, std::u16string_view literal) {
  JsonTreeNode* node = NewNode();
  SetNodeDouble(node, value, literal);
  return node;
}

JsonTreeNode* NewNodeOfType(int32_t typeCode) {
  switch (static_cast<JsonNodeType>(typeCode)) {
    case JsonNodeType::Null:
      return NewNode();
    case JsonNodeType::Double:
      return NewDoubleNode(0.0);
    case JsonNodeType::Int64:
      return NewInt64Node(0);
    case JsonNodeType::Bool:
      return NewBoolNode(false);
    case JsonNodeType::String:
      return NewStringNode(u"");
    case JsonNodeType::Array:
      return NewArrayNode();
    case JsonNodeType::Object:
      return NewObjectNode();
  }
  return nullptr;
}

void SetNodeString(JsonTreeNode* node, std::u16string_view text) {
  ClearNodeValue(node);
  node->text.assign(text);
  node->type = JsonNodeType::String;
}

void SetNodeBool(JsonTreeNode* node, bool value) {
  ClearNodeValue(node);
  node->value.b = value ? 1 : 0;
  node->literal = value ? u"true" : u"false";
  node->type = JsonNodeType::Bool;
}

void SetNodeInt64(JsonTreeNode* node, int64_t value, std::u16string_view literal) {
  ClearNodeValue(node);
  node->value.i = value;
  node->literal = literal.empty() ? FormatJsonInt64(value) : std::u16string(literal);
  node->type = JsonNodeType::Int64;
}

void SetNodeDouble(JsonTreeNode* node, double value, std::u16string_view literal) {
  ClearNodeValue(node);
  node->value.d = value;
  node->literal = literal.empty() ? FormatJsonDouble(value) : std::u16string(literal);
  node->type = JsonNodeType::Double;
}

// Both code pages the tree converts from and to keep ASCII as it is, and a
// double-byte or multi-byte sequence never starts below 0x80, so the ASCII
// prefix of a text (all of a typical reply) is widened or narrowed directly.
std::u16string JsonTextToUtf16(std::string_view text, unsigned codePage) {
  size_t ascii = 0;
  while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80)
    ++ascii;
  std::u16string units(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(ascii));
  if (ascii < text.size())
    units += DecodeToUtf16(text.substr(ascii), codePage);
  return units;
}

std::string JsonUtf16ToText(std::u16string_view text, unsigned codePage) {
  size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80)
    ++ascii;
  std::string bytes(ascii, '\0');
  for (size_t i = 0; i < ascii; ++i)
    bytes[i] = static_cast<char>(text[i]);
  if (ascii < text.size())
    bytes += EncodeFromUtf16(text.substr(ascii), codePage);
  return bytes;
}
