#pragma once
// A view of one node of a JSON tree. It owns nothing: releasing or copying a
// view leaves the tree alone, and a view stays usable only while its node is
// still in its tree. Paths given to a view are relative to its node. An empty
// view (no node) gives the failure value of every operation.

#include "data/json_tree_access.h"

class JsonNode : public JsonTreeAccess {
 public:
  JsonNode() = default;
  explicit JsonNode(JsonTreeNode* node) : JsonTreeAccess(node) {}
  ~JsonNode() = default;
  JsonNode(const JsonNode&) = default;
  JsonNode& operator=(const JsonNode&) = default;

  // Makes the view refer to another node; nothing is freed or taken over.
  void SetNodeHandle(JsonTreeNode* node) { m_node = node; }
};
