// Making, linking, clearing, copying and freeing the nodes of the JSON tree.
// The recursive walks here rely on the tree's depth bound (kMaxJsonDepth).

#include "data/json_tree_node.h"

#include <algorithm>
#include <charconv>

#include "data/json_arena.h"

#include "data/json_numbers.h"
#include "platform/code_page_codec.h"

namespace {

constexpr uint8_t kTextBits = kJsonTextOwned | kJsonPlainIntegerLiteral;

void DropText(JsonTreeNode* node) {
  if (node->flags & kJsonTextOwned)
    delete[] node->textData;
  node->textData = nullptr;
  node->textSize = 0;
  node->flags &= static_cast<uint8_t>(~kTextBits);
}

// A heap copy of the text as the node's text or literal.
void PutText(JsonTreeNode* node, std::u16string_view text) {
  DropText(node);
  if (text.empty())
    return;
  auto* copy = new char16_t[text.size()];
  std::copy(text.begin(), text.end(), copy);
  node->textData = copy;
  node->textSize = static_cast<uint32_t>(text.size());
  node->flags |= kJsonTextOwned;
}

// True when the literal is exactly the decimal form of the value, so it need
// not be kept.
bool IsPlainIntegerLiteral(int64_t value, std::u16string_view literal) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const size_t length = static_cast<size_t>(result.ptr - buffer);
  if (length != literal.size())
    return false;
  for (size_t i = 0; i < length; ++i) {
    if (literal[i] != static_cast<char16_t>(buffer[i]))
      return false;
  }
  return true;
}

// Puts the node's parts that lie in an arena other than `owner`'s into the
// heap, so they may move to `owner`.
bool InForeignArena(const JsonTreeNode* from, const JsonTreeNode* owner) {
  return from->arena != nullptr && from->arena != owner->arena;
}

void DestroyList(JsonNodeList* list, bool inArena) {
  if (inArena)
    list->~JsonNodeList();
  else
    delete list;
}

void DestroyTable(JsonMemberTable* table, bool inArena) {
  if (inArena)
    table->~JsonMemberTable();
  else
    delete table;
}

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
  switch (from->type) {
    case JsonNodeType::String:
      SetNodeString(to, NodeText(from));
      break;
    case JsonNodeType::Bool:
      SetNodeBool(to, from->value.b != 0);
      break;
    case JsonNodeType::Double:
      SetNodeDouble(to, from->value.d, keepLiteral ? NodeLiteral(from) : std::u16string());
      break;
    case JsonNodeType::Int64:
      SetNodeInt64(to, from->value.i, keepLiteral ? NodeLiteral(from) : std::u16string());
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

// --- node lists ---

JsonNodeList::~JsonNodeList() {
  if (!m_arena)
    delete[] m_data;
}

void JsonNodeList::reserve(size_t count) {
  if (count <= m_capacity)
    return;
  JsonTreeNode** room =
      m_arena ? static_cast<JsonTreeNode**>(m_arena->Allocate(count * sizeof(JsonTreeNode*)))
              : new JsonTreeNode*[count];
  std::copy(m_data, m_data + m_size, room);
  if (!m_arena)
    delete[] m_data;
  m_data = room;
  m_capacity = static_cast<uint32_t>(count);
}

void JsonNodeList::push_back(JsonTreeNode* node) {
  if (m_size == m_capacity)
    reserve(m_capacity ? size_t{m_capacity} * 2 : 4);
  m_data[m_size++] = node;
}

JsonTreeNode** JsonNodeList::insert(JsonTreeNode** at, JsonTreeNode* node) {
  const size_t index = static_cast<size_t>(at - m_data);
  push_back(node);
  std::rotate(m_data + index, m_data + m_size - 1, m_data + m_size);
  return m_data + index;
}

JsonTreeNode** JsonNodeList::erase(JsonTreeNode** at) {
  std::copy(at + 1, m_data + m_size, at);
  --m_size;
  return at;
}

void JsonNodeList::assign(size_t count, JsonTreeNode* value) {
  if (count > m_capacity) {
    if (!m_arena)
      delete[] m_data;
    m_data = nullptr;
    m_size = m_capacity = 0;
    reserve(count);
  }
  std::fill(m_data, m_data + count, value);
  m_size = static_cast<uint32_t>(count);
}

// --- texts and keys ---

std::u16string_view NodeText(const JsonTreeNode* node) {
  if (!node || node->type != JsonNodeType::String)
    return {};
  return {node->textData, node->textSize};
}

std::u16string NodeLiteral(const JsonTreeNode* node) {
  if (!node)
    return {};
  switch (node->type) {
    case JsonNodeType::Bool:
      return node->value.b ? u"true" : u"false";
    case JsonNodeType::Int64:
      if (node->flags & kJsonPlainIntegerLiteral)
        return FormatJsonInt64(node->value.i);
      [[fallthrough]];
    case JsonNodeType::Double:
      return std::u16string(node->textData, node->textSize);
    default:
      return {};
  }
}

void ClearNodeKey(JsonTreeNode* node) {
  if (node->flags & kJsonKeyOwned)
    delete[] node->key.data;
  node->key = {};
  node->flags &= static_cast<uint8_t>(~kJsonKeyOwned);
  node->hasKey = false;
}

void SetNodeKey(JsonTreeNode* node, std::u16string_view key) {
  ClearNodeKey(node);
  if (!key.empty()) {
    auto* copy = new char16_t[key.size()];
    std::copy(key.begin(), key.end(), copy);
    node->key.data = copy;
    node->key.size = static_cast<uint32_t>(key.size());
    node->flags |= kJsonKeyOwned;
  }
  node->key.hash = HashJsonKey(key);
}

void MoveNodeKey(JsonTreeNode* from, JsonTreeNode* to) {
  if (from == to)
    return;
  if (!(from->flags & kJsonKeyOwned) && InForeignArena(from, to)) {
    SetNodeKey(to, from->key);
  } else {
    ClearNodeKey(to);
    to->key = from->key;
    to->flags |= static_cast<uint8_t>(from->flags & kJsonKeyOwned);
    from->key = {};
    from->flags &= static_cast<uint8_t>(~kJsonKeyOwned);
  }
  ClearNodeKey(from);
}

void SwapNodeKeys(JsonTreeNode* a, JsonTreeNode* b) {
  // A key in an arena stays with a node of that arena: otherwise it moves as
  // a heap copy.
  if (!(a->flags & kJsonKeyOwned) && InForeignArena(a, b))
    SetNodeKey(a, std::u16string(a->key.View()));
  if (!(b->flags & kJsonKeyOwned) && InForeignArena(b, a))
    SetNodeKey(b, std::u16string(b->key.View()));
  std::swap(a->key, b->key);
  const uint8_t aOwned = a->flags & kJsonKeyOwned;
  const uint8_t bOwned = b->flags & kJsonKeyOwned;
  a->flags = static_cast<uint8_t>((a->flags & ~kJsonKeyOwned) | bOwned);
  b->flags = static_cast<uint8_t>((b->flags & ~kJsonKeyOwned) | aOwned);
}

// --- containers ---

void FreeMemberTable(JsonTreeNode* object) {
  JsonMemberTable* table = object->members;
  if (!table)
    return;
  object->members = nullptr;
  for (JsonTreeNode* member : table->order)
    FreeNode(member);
  DestroyTable(table, (object->flags & kJsonContainerInArena) != 0);
  object->flags &= static_cast<uint8_t>(~kJsonContainerInArena);
}

void DropContainer(JsonTreeNode* node) {
  const bool inArena = (node->flags & kJsonContainerInArena) != 0;
  if (node->type == JsonNodeType::Object && node->members)
    DestroyTable(node->members, inArena);
  else if (node->type == JsonNodeType::Array && node->elements)
    DestroyList(node->elements, inArena);
  node->elements = nullptr;
  node->flags &= static_cast<uint8_t>(~kJsonContainerInArena);
  node->type = JsonNodeType::Null;
}

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
  JsonNodeList& list = *array->elements;
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
  node->members = new JsonMemberTable();
  InitMemberTable(*node->members, bucketCount);
  node->type = JsonNodeType::Object;
}

void MakeArrayNode(JsonTreeNode* node, int32_t capacity) {
  // The capacity is a sizing hint; cap what a caller's number may reserve.
  constexpr int32_t kMaxInitialCapacity = 1 << 16;
  ClearNodeValue(node);
  node->elements = new JsonNodeList();
  node->elements->reserve(static_cast<size_t>(
      capacity <= 0 ? kJsonDefaultCapacity : std::min(capacity, kMaxInitialCapacity)));
  node->type = JsonNodeType::Array;
}

void MakeParsedObject(JsonTreeNode* node, size_t count, bool inArena) {
  ClearNodeValue(node);
  if (JsonArena* arena = inArena ? node->arena : nullptr) {
    node->members = new (arena->Allocate(sizeof(JsonMemberTable))) JsonMemberTable(arena);
    node->flags |= kJsonContainerInArena;
  } else {
    node->members = new JsonMemberTable();
  }
  node->members->order.reserve(count);
  node->type = JsonNodeType::Object;
}

void MakeParsedArray(JsonTreeNode* node, size_t count, bool inArena) {
  ClearNodeValue(node);
  if (JsonArena* arena = inArena ? node->arena : nullptr) {
    node->elements = new (arena->Allocate(sizeof(JsonNodeList))) JsonNodeList(arena);
    node->flags |= kJsonContainerInArena;
  } else {
    node->elements = new JsonNodeList();
  }
  node->elements->reserve(count);
  node->type = JsonNodeType::Array;
}

void ClearNodeValue(JsonTreeNode* node) {
  if (!node)
    return;
  if (node->type == JsonNodeType::Object) {
    FreeMemberTable(node);
  } else if (node->type == JsonNodeType::Array && node->elements) {
    JsonNodeList* list = node->elements;
    node->elements = nullptr;
    for (JsonTreeNode* e : *list)
      FreeNode(e);
    DestroyList(list, (node->flags & kJsonContainerInArena) != 0);
  }
  node->elements = nullptr;
  node->flags &= static_cast<uint8_t>(~kJsonContainerInArena);
  DropText(node);
  node->value = {};
  node->type = JsonNodeType::Null;
}

void FreeNode(JsonTreeNode* node) {
  if (!node)
    return;
  ClearNodeValue(node);
  ClearNodeKey(node);
  if (JsonArena* arena = node->arena) {
    node->~JsonTreeNode();
    arena->ReleaseNode();
  } else {
    delete node;
  }
}

void MoveNodeValue(JsonTreeNode* from, JsonTreeNode* to) {
  if (from == to)
    return;
  ClearNodeValue(to);
  to->type = from->type;
  to->value = from->value;
  const bool foreign = InForeignArena(from, to);
  // The text or literal.
  if (from->textData && !(from->flags & kJsonTextOwned) && foreign) {
    PutText(to, {from->textData, from->textSize});
  } else {
    to->textData = from->textData;
    to->textSize = from->textSize;
    to->flags |= static_cast<uint8_t>(from->flags & kJsonTextOwned);
  }
  to->flags |= static_cast<uint8_t>(from->flags & kJsonPlainIntegerLiteral);
  from->textData = nullptr;
  from->textSize = 0;
  from->flags &= static_cast<uint8_t>(~kTextBits);
  // The container: one in a foreign arena is remade in the heap.
  const bool containerInArena = (from->flags & kJsonContainerInArena) != 0;
  if (from->type == JsonNodeType::Object && from->members) {
    if (containerInArena && foreign) {
      JsonMemberTable* table = new JsonMemberTable();
      table->loadFactor = from->members->loadFactor;
      table->memberCount = from->members->memberCount;
      table->order.reserve(from->members->order.size());
      for (JsonTreeNode* m : from->members->order)
        table->order.push_back(m);
      if (!from->members->buckets.empty())
        IndexMemberTable(*table, from->members->buckets.size());
      to->members = table;
    } else {
      to->members = from->members;
      to->flags |= static_cast<uint8_t>(from->flags & kJsonContainerInArena);
      from->members = nullptr;
    }
  } else if (from->type == JsonNodeType::Array && from->elements) {
    if (containerInArena && foreign) {
      JsonNodeList* list = new JsonNodeList();
      list->reserve(from->elements->size());
      for (JsonTreeNode* e : *from->elements)
        list->push_back(e);
      to->elements = list;
    } else {
      to->elements = from->elements;
      to->flags |= static_cast<uint8_t>(from->flags & kJsonContainerInArena);
      from->elements = nullptr;
    }
  }
  DropContainer(from);  // what stayed behind, children already taken
  ReparentChildren(to);
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
  if (typeCode < 0 || typeCode > static_cast<int32_t>(JsonNodeType::Object))
    return nullptr;
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
  PutText(node, text);
  node->type = JsonNodeType::String;
}

void SetNodeBool(JsonTreeNode* node, bool value) {
  ClearNodeValue(node);
  node->value.b = value ? 1 : 0;
  node->type = JsonNodeType::Bool;
}

void SetNodeInt64(JsonTreeNode* node, int64_t value, std::u16string_view literal) {
  ClearNodeValue(node);
  node->value.i = value;
  if (literal.empty() || IsPlainIntegerLiteral(value, literal))
    node->flags |= kJsonPlainIntegerLiteral;
  else
    PutText(node, literal);
  node->type = JsonNodeType::Int64;
}

void SetNodeDouble(JsonTreeNode* node, double value, std::u16string_view literal) {
  ClearNodeValue(node);
  node->value.d = value;
  PutText(node, literal.empty() ? FormatJsonDouble(value) : std::u16string(literal));
  node->type = JsonNodeType::Double;
}

void SetParsedNumber(JsonTreeNode* node, bool fractional, std::u16string_view token) {
  if (fractional) {
    node->value.d = ReadJsonDoublePrefix(token);
    node->type = JsonNodeType::Double;
  } else {
    node->value.i = ReadJsonInt64Prefix(token);
    node->type = JsonNodeType::Int64;
    if (IsPlainIntegerLiteral(node->value.i, token)) {
      node->flags |= kJsonPlainIntegerLiteral;
      return;
    }
  }
  if (node->arena) {
    node->textData = node->arena->CopyText(token);
    node->textSize = static_cast<uint32_t>(token.size());
  } else {
    PutText(node, token);
  }
}

void SetParsedString(JsonTreeNode* node, std::u16string_view text) {
  if (node->arena) {
    node->textData = node->arena->CopyText(text);
    node->textSize = static_cast<uint32_t>(text.size());
  } else {
    PutText(node, text);
  }
  node->type = JsonNodeType::String;
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
