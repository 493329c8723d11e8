#pragma once
// The path language that names a node of a JSON tree, relative to a start
// node: member names joined by ".", "[n]" for an element (or the member at
// that place of an object's order), "[]" to append when making. A backslash
// before ".", "[", "]" or a backslash takes that character literally.
// Examples: list[3].server_filename, a[1][2], [0], a\.b (the one key "a.b").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct JsonTreeNode;

struct JsonPathSegment {
  enum Kind : int32_t { Key = 1, Index = 2 };
  Kind kind = Key;
  std::u16string key;  // a key step's member name
  int32_t index = -1;  // an index step's element index; -1 for "[]"
};

// The steps of a path, left to right; empty for an empty path or one of dots.
std::vector<JsonPathSegment> ParseJsonPath(std::u16string_view path);

// The read steps of a walk: the member with a key of an object; the element at
// an index of an array, or the member at that place of an object's order.
JsonTreeNode* ChildByKey(const JsonTreeNode* node, std::u16string_view key);
JsonTreeNode* ChildAt(const JsonTreeNode* node, int32_t index);

// The making steps: the node is first made the container the step needs (its
// value discarded); a missing member is added as Null at the end of the order,
// a missing element is reached by appending Null elements (a negative index
// appends one). nullptr when the index is beyond kMaxJsonPadIndex.
JsonTreeNode* MemberOrCreate(JsonTreeNode* node, std::u16string_view key);
JsonTreeNode* ElementOrCreate(JsonTreeNode* node, int32_t index);

// The node the path names, without changing anything; nullptr when a step is
// missing or there is no start node. An empty path names the start node.
JsonTreeNode* ResolvePath(JsonTreeNode* start, std::u16string_view path);

// The node the path names, making what is missing. nullptr when there is no
// start node, or when a node would have to be made deeper than kMaxJsonDepth
// or beyond kMaxJsonPadIndex; what the walk made before that stays.
JsonTreeNode* ResolveOrCreatePath(JsonTreeNode* start, std::u16string_view path);
