// Parsing of node paths and the two walks over them: the read walk that
// changes nothing and the making walk that builds what is missing.

#include "data/json_path.h"

#include "data/json_numbers.h"
#include "data/json_tree_node.h"

namespace {

bool IsPathSpecial(char16_t c) {
  return c == u'.' || c == u'[' || c == u']' || c == u'\\';
}

// The characters of a key between two positions: a view of the path, or, when
// escaping backslashes have to be dropped, their copy without them in `room`.
std::u16string_view KeyText(std::u16string_view path, size_t begin, size_t end,
                            std::u16string& room) {
  const std::u16string_view raw = path.substr(begin, end - begin);
  if (raw.find(u'\\') == std::u16string_view::npos)
    return raw;
  room.clear();
  room.reserve(end - begin);
  for (size_t i = begin; i < end; ++i) {
    if (path[i] == u'\\' && i + 1 < end && IsPathSpecial(path[i + 1]))
      ++i;
    room += path[i];
  }
  return room;
}

// Hands the steps of a path, left to right, to `step(kind, key, index)` until
// it returns false. A key view lives until the next call of `step`.
template <class Step>
void ForEachPathStep(std::u16string_view path, Step&& step) {
  const size_t nul = path.find(u'\0');
  if (nul != std::u16string_view::npos)
    path = path.substr(0, nul);
  std::u16string room;
  size_t segmentStart = 0;
  size_t bracketStart = 0;
  bool bracketSeen = false;  // set by the first "[", never cleared
  // False when the walk is to stop.
  auto addKey = [&](size_t end) {
    return end <= segmentStart ||
           step(JsonPathSegment::Key, KeyText(path, segmentStart, end, room), -1);
  };
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == u'.') {
      if (!addKey(i))
        return;
      segmentStart = i + 1;
    } else if (path[i] == u'\\') {
      if (i + 1 < path.size() && IsPathSpecial(path[i + 1]))
        ++i;  // the next character is taken literally
    } else if (path[i] == u'[') {
      if (!addKey(i))
        return;
      segmentStart = bracketStart = i + 1;
      bracketSeen = true;
    } else if (path[i] == u']') {
      if (bracketSeen) {
        const std::u16string_view inside = path.substr(bracketStart, i - bracketStart);
        if (!step(JsonPathSegment::Index, std::u16string_view(),
                  inside.empty() ? -1 : ReadJsonInt32Prefix(inside)))
          return;
      }
      segmentStart = i + 1;
    }
  }
}

}  // namespace

std::vector<JsonPathSegment> ParseJsonPath(std::u16string_view path) {
  std::vector<JsonPathSegment> steps;
  ForEachPathStep(path, [&](JsonPathSegment::Kind kind, std::u16string_view key, int32_t index) {
    steps.push_back({kind, std::u16string(key), index});
    return true;
  });
  return steps;
}

JsonTreeNode* ChildByKey(const JsonTreeNode* node, std::u16string_view key) {
  if (!node || node->type != JsonNodeType::Object)
    return nullptr;
  return FindMember(*node->members, key);
}

JsonTreeNode* ChildAt(const JsonTreeNode* node, int32_t index) {
  if (!node || index < 0)
    return nullptr;
  if (node->type == JsonNodeType::Array) {
    return static_cast<size_t>(index) < node->elements->size() ? (*node->elements)[index] : nullptr;
  }
  if (node->type == JsonNodeType::Object) {
    const auto& order = node->members->order;
    return static_cast<size_t>(index) < order.size() ? order[index] : nullptr;
  }
  return nullptr;
}

JsonTreeNode* MemberOrCreate(JsonTreeNode* node, std::u16string_view key) {
  if (!node)
    return nullptr;
  if (node->type != JsonNodeType::Object)
    MakeObjectNode(node, kJsonDefaultBuckets);
  if (JsonTreeNode* member = FindMember(*node->members, key))
    return member;
  JsonTreeNode* member = NewNode();
  if (!LinkMember(node, key, member)) {
    FreeNode(member);
    return nullptr;
  }
  return member;
}

JsonTreeNode* ElementOrCreate(JsonTreeNode* node, int32_t index) {
  if (!node)
    return nullptr;
  if (node->type != JsonNodeType::Array)
    MakeArrayNode(node, kJsonDefaultCapacity);
  JsonNodeList& list = *node->elements;
  if (index < 0)
    index = static_cast<int32_t>(list.size());
  if (index > kMaxJsonPadIndex)
    return nullptr;
  while (list.size() <= static_cast<size_t>(index))
    LinkElement(node, NewNode());
  return list[index];
}

JsonTreeNode* ResolvePath(JsonTreeNode* start, std::u16string_view path) {
  if (!start)
    return nullptr;
  // Walked as the path is read: no step list is made for a lookup.
  JsonTreeNode* node = start;
  ForEachPathStep(path, [&](JsonPathSegment::Kind kind, std::u16string_view key, int32_t index) {
    node = kind == JsonPathSegment::Key ? ChildByKey(node, key) : ChildAt(node, index);
    return node != nullptr;
  });
  return node;
}

JsonTreeNode* ResolveOrCreatePath(JsonTreeNode* start, std::u16string_view path) {
  if (!start)
    return nullptr;
  JsonTreeNode* node = start;
  int32_t depth = NodeDepth(start);
  for (const JsonPathSegment& step : ParseJsonPath(path)) {
    const bool isKey = step.kind == JsonPathSegment::Key;
    if (depth + 1 > kMaxJsonDepth) {
      // Below the depth bound only nodes that already exist may be named.
      node = isKey ? ChildByKey(node, step.key) : ChildAt(node, step.index);
    } else {
      node = isKey ? MemberOrCreate(node, step.key) : ElementOrCreate(node, step.index);
    }
    if (!node)
      return nullptr;
    ++depth;
  }
  return node;
}
