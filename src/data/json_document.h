#pragma once
// A JSON document: owns one tree in the process heap and names its nodes by
// paths from the root. Used for every folder-listing reply, the account list
// file, the keyword-rule file and the copy-source list. A new document has no
// root; the parse operations make one (an empty object) when it is missing,
// the reset operations always make a new one, and Clear frees the tree.
//
// One thread per document. Views (JsonNode) handed out stay valid only until
// the node they refer to is freed (Clear, a parse, a reset, a replacement).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/json_node.h"
#include "data/json_tree_access.h"

class JsonDocument : public JsonTreeAccess {
 public:
  JsonDocument() = default;
  ~JsonDocument();
  // A copy holds its own deep copy of the tree, literals kept exactly.
  JsonDocument(const JsonDocument& other);
  JsonDocument& operator=(const JsonDocument& other);
  JsonDocument(JsonDocument&& other) noexcept;
  JsonDocument& operator=(JsonDocument&& other) noexcept;

  // Hands the document a new root: the old tree is freed and the document owns
  // the node from now on. A node that lies inside a tree or is another
  // document's root is refused (the document stays as it was); nullptr frees
  // the tree. Use with a node from NewDetachedNode.
  void SetNodeHandle(JsonTreeNode* node);

  // A new root (an empty object) replaces the old tree; when a text is given
  // it is parsed into the new root and the code and position are written.
  // True when there is no text or the parse succeeded.
  bool ResetAndParse(const std::optional<std::string>& json = std::nullopt, int32_t options = 1,
                     int32_t* code = nullptr, int32_t* position = nullptr);
  bool ResetAndParseW(const std::optional<std::string>& json = std::nullopt, int32_t options = 1,
                      int32_t* code = nullptr, int32_t* position = nullptr);
  // Frees the whole tree; the document is left without a root.
  void Clear();
  // Parses into the root (made when missing; cleared by the parser). The code
  // is one of json_parser.h, the position a 0-based UTF-16 index. A failed
  // parse leaves a Null root, except code -2 (empty text), which changes nothing.
  bool ParseW(const std::string& json, int32_t options = 1, int32_t* code = nullptr,
              int32_t* position = nullptr);
  bool Parse(const std::string& json, int32_t options = 1, int32_t* code = nullptr,
             int32_t* position = nullptr);
  bool ParseUtf8(const std::string& json, int32_t options = 1, int32_t* code = nullptr,
                 int32_t* position = nullptr);

 private:
  bool ParseUnits(const std::u16string& units, int32_t options, int32_t* code, int32_t* position);
  bool ParseAscii(std::string_view json, int32_t options, int32_t* code, int32_t* position);
  void EnsureRoot();
};
