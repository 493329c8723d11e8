// The changing operations of JsonTreeAccess: removal, adding and inserting
// members and elements, copies, resolve-or-create, the setters and parsing into
// a node. Each twin pair converts its texts and runs one shared routine.

#include "data/json_access_internal.h"
#include "data/json_node.h"
#include "data/json_parser.h"
#include "data/json_path.h"
#include "data/json_tree_access.h"

namespace {

using Units = std::u16string;

// A position the member insertion refuses even for a new key; an existing key
// is still replaced where it stands.
constexpr int32_t kRefusedPosition = -2;

bool RemoveMemberAt(JsonTreeNode* anchor, const Units& path, const Units& key) {
  JsonTreeNode* node = ResolvePath(anchor, path);
  if (!node || node->type != JsonNodeType::Object)
    return false;
  JsonTreeNode* member = UnlinkMember(*node->members, key);
  if (!member)
    return false;
  FreeNode(member);
  return true;
}

bool RemoveElementAt(JsonTreeNode* anchor, const Units& path, int32_t index) {
  JsonTreeNode* node = ResolvePath(anchor, path);
  if (!node || node->type != JsonNodeType::Array || index < 0 ||
      static_cast<size_t>(index) >= node->elements->size())
    return false;
  JsonTreeNode* element = (*node->elements)[index];
  node->elements->erase(node->elements->begin() + index);
  FreeNode(element);
  return true;
}

// Makes the node an object (or array) to receive child, unless child could not
// hang under it within the depth bound; then the node is left alone.
bool PrepareContainer(JsonTreeNode* node, JsonNodeType type, const JsonTreeNode* child) {
  if (!JsonChildFits(node, child))
    return false;
  if (node->type != type) {
    if (type == JsonNodeType::Object)
      MakeObjectNode(node, kJsonDefaultBuckets);
    else
      MakeArrayNode(node, kJsonDefaultCapacity);
  }
  return true;
}

// Links child under key (position -1: appended) of the node at the path; the
// child is freed when it cannot go in. Returns the linked child or nullptr.
JsonTreeNode* PutMember(JsonTreeNode* anchor, const Units& path, const Units& key,
                        JsonTreeNode* child, int32_t position = -1) {
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  if (!node || !child || !PrepareContainer(node, JsonNodeType::Object, child) ||
      !LinkMember(node, key, child, position)) {
    FreeNode(child);
    return nullptr;
  }
  return child;
}

JsonTreeNode* PutElement(JsonTreeNode* anchor, const Units& path, JsonTreeNode* child,
                         int32_t position = -1) {
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  if (!node || !child || !PrepareContainer(node, JsonNodeType::Array, child) ||
      !LinkElement(node, child, position)) {
    FreeNode(child);
    return nullptr;
  }
  return child;
}

bool SetElementCopyAt(JsonTreeNode* anchor, const Units& path, int32_t index,
                      const JsonTreeNode* source) {
  JsonTreeNode* copy = JsonSnapshot(source);
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  if (!node || !copy || index < 0 || index > kMaxJsonPadIndex ||
      !PrepareContainer(node, JsonNodeType::Array, copy)) {
    FreeNode(copy);
    return false;
  }
  JsonNodeList& list = *node->elements;
  if (static_cast<size_t>(index) < list.size()) {
    FreeNode(list[index]);
    list[index] = copy;
    copy->parent = node;
    return true;
  }
  while (list.size() < static_cast<size_t>(index))
    LinkElement(node, NewNode());
  return LinkElement(node, copy);
}

template <typename Set>
bool SetAt(JsonTreeNode* anchor, const Units& path, Set set) {
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  if (!node)
    return false;
  set(node);
  return true;
}

bool ParseInto(JsonTreeNode* anchor, const Units& path, const Units& json, int32_t options) {
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  int32_t position = 0;
  return node && ParseJsonUtf16(node, json, options, &position) == kJsonParseOk;
}

bool SetCopyAt(JsonTreeNode* anchor, const Units& path, const JsonTreeNode* source) {
  JsonTreeNode* copy = JsonSnapshot(source);
  JsonTreeNode* node = ResolveOrCreatePath(anchor, path);
  if (!node || !copy || !JsonValueFits(node, copy)) {
    FreeNode(copy);
    return false;
  }
  MoveNodeValue(copy, node);
  FreeNode(copy);
  return true;
}

}  // namespace

bool JsonTreeAccess::RemoveMemberW(const std::string& path, const std::string& key) {
  return RemoveMemberAt(m_node, JsonArgFromW(path), JsonArgFromW(key));
}
bool JsonTreeAccess::RemoveMember(const std::string& path, const std::string& key) {
  return RemoveMemberAt(m_node, JsonArgFromText(path), JsonArgFromText(key));
}
bool JsonTreeAccess::RemoveElement(const std::string& path, int32_t index) {
  return RemoveElementAt(m_node, JsonArgFromText(path), index);
}
bool JsonTreeAccess::RemoveElementW(const std::string& path, int32_t index) {
  return RemoveElementAt(m_node, JsonArgFromW(path), index);
}
void JsonTreeAccess::ClearValue(const std::string& path) {
  ClearNodeValue(ResolveOrCreatePath(m_node, JsonArgFromText(path)));
}
void JsonTreeAccess::ClearValueW(const std::string& path) {
  ClearNodeValue(ResolveOrCreatePath(m_node, JsonArgFromW(path)));
}

JsonTreeNode* JsonTreeAccess::NewDetachedNode(int32_t typeCode) const {
  return m_node ? NewNodeOfType(typeCode) : nullptr;
}

JsonNode JsonTreeAccess::AddMember(const std::string& path, const std::string& key,
                                   int32_t typeCode) {
  return JsonNode(
      PutMember(m_node, JsonArgFromText(path), JsonArgFromText(key), NewDetachedNode(typeCode)));
}
JsonNode JsonTreeAccess::AddMemberW(const std::string& path, const std::string& key,
                                    int32_t typeCode) {
  return JsonNode(
      PutMember(m_node, JsonArgFromW(path), JsonArgFromW(key), NewDetachedNode(typeCode)));
}
bool JsonTreeAccess::AddMemberCopy(const std::string& path, const std::string& key,
                                   const JsonTreeAccess& source) {
  return source.m_node && PutMember(m_node, JsonArgFromText(path), JsonArgFromText(key),
                                    JsonSnapshot(source.m_node));
}
bool JsonTreeAccess::AddMemberCopyW(const std::string& path, const std::string& key,
                                    const JsonTreeAccess& source) {
  return source.m_node &&
         PutMember(m_node, JsonArgFromW(path), JsonArgFromW(key), JsonSnapshot(source.m_node));
}
JsonNode JsonTreeAccess::InsertMemberAtW(const std::string& path, int32_t position,
                                         const std::string& key, int32_t typeCode) {
  return JsonNode(PutMember(m_node, JsonArgFromW(path), JsonArgFromW(key),
                            NewDetachedNode(typeCode), position < 0 ? kRefusedPosition : position));
}
JsonNode JsonTreeAccess::InsertMemberAt(const std::string& path, int32_t position,
                                        const std::string& key, int32_t typeCode) {
  return JsonNode(PutMember(m_node, JsonArgFromText(path), JsonArgFromText(key),
                            NewDetachedNode(typeCode), position < 0 ? kRefusedPosition : position));
}
bool JsonTreeAccess::AddMemberFrom(const std::string& path, const std::string& key,
                                   const JsonTreeAccess& source) {
  // The path is made even when the source has no node.
  return PutMember(m_node, JsonArgFromText(path), JsonArgFromText(key),
                   JsonSnapshot(source.m_node)) != nullptr;
}
bool JsonTreeAccess::AddMemberFromW(const std::string& path, const std::string& key,
                                    const JsonTreeAccess& source) {
  return PutMember(m_node, JsonArgFromW(path), JsonArgFromW(key), JsonSnapshot(source.m_node)) !=
         nullptr;
}

JsonNode JsonTreeAccess::AddElement(const std::string& path, int32_t typeCode) {
  return JsonNode(PutElement(m_node, JsonArgFromText(path), NewDetachedNode(typeCode)));
}
JsonNode JsonTreeAccess::AddElementW(const std::string& path, int32_t typeCode) {
  return JsonNode(PutElement(m_node, JsonArgFromW(path), NewDetachedNode(typeCode)));
}
bool JsonTreeAccess::AddElementCopy(const std::string& path, const JsonTreeAccess& source) {
  return source.m_node &&
         PutElement(m_node, JsonArgFromText(path), JsonSnapshot(source.m_node)) != nullptr;
}
bool JsonTreeAccess::AddElementCopyW(const std::string& path, const JsonTreeAccess& source) {
  return source.m_node &&
         PutElement(m_node, JsonArgFromW(path), JsonSnapshot(source.m_node)) != nullptr;
}
JsonNode JsonTreeAccess::InsertElementAt(const std::string& path, int32_t position,
                                         int32_t typeCode) {
  return JsonNode(PutElement(m_node, JsonArgFromText(path), NewDetachedNode(typeCode),
                             position < 0 ? kRefusedPosition : position));
}
JsonNode JsonTreeAccess::InsertElementAtW(const std::string& path, int32_t position,
                                          int32_t typeCode) {
  return JsonNode(PutElement(m_node, JsonArgFromW(path), NewDetachedNode(typeCode),
                             position < 0 ? kRefusedPosition : position));
}
bool JsonTreeAccess::SetElementCopy(const std::string& path, int32_t index,
                                    const JsonTreeAccess& source) {
  return SetElementCopyAt(m_node, JsonArgFromText(path), index, source.m_node);
}
bool JsonTreeAccess::SetElementCopyW(const std::string& path, int32_t index,
                                     const JsonTreeAccess& source) {
  return SetElementCopyAt(m_node, JsonArgFromW(path), index, source.m_node);
}

JsonNode JsonTreeAccess::GetOrCreate(const std::string& path) {
  return JsonNode(ResolveOrCreatePath(m_node, JsonArgFromText(path)));
}
JsonNode JsonTreeAccess::GetOrCreateW(const std::string& path) {
  return JsonNode(ResolveOrCreatePath(m_node, JsonArgFromW(path)));
}

bool JsonTreeAccess::MakeObject(const std::string& path, int32_t bucketCount) {
  return SetAt(m_node, JsonArgFromText(path),
               [&](JsonTreeNode* n) { MakeObjectNode(n, bucketCount); });
}
bool JsonTreeAccess::MakeObjectW(const std::string& path, int32_t bucketCount) {
  return SetAt(m_node, JsonArgFromW(path),
               [&](JsonTreeNode* n) { MakeObjectNode(n, bucketCount); });
}
bool JsonTreeAccess::MakeArray(const std::string& path, int32_t capacity) {
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { MakeArrayNode(n, capacity); });
}
bool JsonTreeAccess::MakeArrayW(const std::string& path, int32_t capacity) {
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { MakeArrayNode(n, capacity); });
}
bool JsonTreeAccess::SetString(const std::string& path, const std::string& text) {
  const Units value = JsonArgFromText(text);
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { SetNodeString(n, value); });
}
bool JsonTreeAccess::SetStringW(const std::string& path, const std::string& text) {
  const Units value = JsonArgFromW(text);
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { SetNodeString(n, value); });
}
bool JsonTreeAccess::SetNullW(const std::string& path) {
  return SetAt(m_node, JsonArgFromW(path), [](JsonTreeNode* n) { ClearNodeValue(n); });
}
bool JsonTreeAccess::SetNull(const std::string& path) {
  return SetAt(m_node, JsonArgFromText(path), [](JsonTreeNode* n) { ClearNodeValue(n); });
}
bool JsonTreeAccess::SetBoolW(const std::string& path, bool flag) {
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { SetNodeBool(n, flag); });
}
bool JsonTreeAccess::SetBool(const std::string& path, bool flag) {
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { SetNodeBool(n, flag); });
}
bool JsonTreeAccess::SetDoubleW(const std::string& path, double value) {
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { SetNodeDouble(n, value); });
}
bool JsonTreeAccess::SetDouble(const std::string& path, double value) {
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { SetNodeDouble(n, value); });
}
bool JsonTreeAccess::SetInt64W(const std::string& path, int64_t value) {
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { SetNodeInt64(n, value); });
}
bool JsonTreeAccess::SetInt64(const std::string& path, int64_t value) {
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { SetNodeInt64(n, value); });
}
bool JsonTreeAccess::SetIntW(const std::string& path, int32_t value) {
  return SetAt(m_node, JsonArgFromW(path), [&](JsonTreeNode* n) { SetNodeInt64(n, value); });
}
bool JsonTreeAccess::SetInt(const std::string& path, int32_t value) {
  return SetAt(m_node, JsonArgFromText(path), [&](JsonTreeNode* n) { SetNodeInt64(n, value); });
}

bool JsonTreeAccess::ParseAt(const std::string& path, const std::string& json, int32_t options) {
  return ParseInto(m_node, JsonArgFromText(path), JsonArgFromText(json), options);
}
bool JsonTreeAccess::ParseAtW(const std::string& path, const std::string& json, int32_t options) {
  return ParseInto(m_node, JsonArgFromW(path), JsonArgFromW(json), options);
}
bool JsonTreeAccess::SetCopy(const std::string& path, const JsonTreeAccess& source) {
  return SetCopyAt(m_node, JsonArgFromText(path), source.m_node);
}
bool JsonTreeAccess::SetCopyW(const std::string& path, const JsonTreeAccess& source) {
  return SetCopyAt(m_node, JsonArgFromW(path), source.m_node);
}
