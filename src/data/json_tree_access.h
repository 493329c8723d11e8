#pragma once
// The operations that JsonDocument and JsonNode share: every one names a node
// by a path relative to the object's own node (a document's root, a view's
// node). See json_path.h for the path language.
//
// Text forms take paths, keys, string values and JSON text as code page 936
// text; W forms take them as UTF-16LE bytes (read up to the first NUL unit) and
// give UTF-16LE bytes with a two-byte terminator. GetJsonTextUtf8 alone takes
// and gives UTF-8.
//
// Read operations walk the path without changing anything. The other
// operations make what the path names when it is missing, turning a node on
// the way into the container the next step needs (its value discarded); they
// leave what they made even when they fail afterwards. Two exceptions keep
// failures harmless: the removals only read their path, and a failed removal
// changes nothing; and a copy source is copied before anything is touched, so
// a source inside the target (or the target itself) is copied whole.
//
// Failures are results: -1 for a type, 0 for a count, false, an empty text or
// an empty JsonNode. Nothing throws. One thread per tree.

#include <cstdint>
#include <string>
#include <vector>

#include "data/json_tree_node.h"

class JsonNode;

// A sort order for SortWith: below 0 when first sorts before second, 0 when
// equal, above 0 otherwise.
using JsonNodeComparator = int32_t (*)(const JsonNode& first, const JsonNode& second,
                                       int32_t context);

class JsonTreeAccess {
 public:
  // --- the object's node ---
  bool HasNode() const { return m_node != nullptr; }
  JsonTreeNode* GetNodeHandle() const { return m_node; }

  // --- JSON text of the node at a path; empty when missing ---
  std::string GetJsonTextW(const std::string& path, bool pretty = false, bool escape = true,
                           int32_t initialChars = 1024) const;
  std::string GetJsonText(const std::string& path, bool pretty = false, bool escape = true,
                          int32_t initialChars = 1024) const;
  std::string GetJsonTextUtf8(const std::string& path, bool pretty = false, bool escape = true,
                              int32_t initialChars = 1024) const;

  // --- type (-1 when missing), parent, count of members or elements ---
  int32_t GetType(const std::string& path) const;
  int32_t GetTypeW(const std::string& path) const;
  JsonNode GetParent(const std::string& path) const;
  JsonNode GetParentW(const std::string& path) const;
  int32_t GetCount(const std::string& path) const;
  int32_t GetCountW(const std::string& path) const;

  // --- removal and making null ---
  // True when the node at the path is an object with the key (or an array with
  // the index) and the child was freed; otherwise false and nothing changed.
  bool RemoveMemberW(const std::string& path, const std::string& key);
  bool RemoveMember(const std::string& path, const std::string& key);
  bool RemoveElement(const std::string& path, int32_t index);
  bool RemoveElementW(const std::string& path, int32_t index);
  void ClearValue(const std::string& path);
  void ClearValueW(const std::string& path);

  // A new unlinked node of a type code (0-6) with its default value, owned by
  // the caller (free it with FreeNode or hand it to JsonDocument::SetNodeHandle);
  // nullptr for another code or when the object refers to no node.
  JsonTreeNode* NewDetachedNode(int32_t typeCode) const;

  // --- members: a key the object has is replaced where it stands ---
  JsonNode AddMember(const std::string& path, const std::string& key, int32_t typeCode);
  JsonNode AddMemberW(const std::string& path, const std::string& key, int32_t typeCode);
  bool AddMemberCopy(const std::string& path, const std::string& key, const JsonTreeAccess& source);
  bool AddMemberCopyW(const std::string& path, const std::string& key,
                      const JsonTreeAccess& source);
  // A new key goes in at position (0 first, the member count last); a position
  // outside that range gives an empty view.
  JsonNode InsertMemberAtW(const std::string& path, int32_t position, const std::string& key,
                           int32_t typeCode);
  JsonNode InsertMemberAt(const std::string& path, int32_t position, const std::string& key,
                          int32_t typeCode);
  bool AddMemberFrom(const std::string& path, const std::string& key, const JsonTreeAccess& source);
  bool AddMemberFromW(const std::string& path, const std::string& key,
                      const JsonTreeAccess& source);
  JsonNode GetMember(const std::string& path, const std::string& key) const;
  JsonNode GetMemberW(const std::string& path, const std::string& key) const;
  std::string GetKeyW(const std::string& path) const;
  std::string GetKey(const std::string& path) const;

  // --- elements ---
  JsonNode AddElement(const std::string& path, int32_t typeCode);
  JsonNode AddElementW(const std::string& path, int32_t typeCode);
  bool AddElementCopy(const std::string& path, const JsonTreeAccess& source);
  bool AddElementCopyW(const std::string& path, const JsonTreeAccess& source);
  JsonNode InsertElementAt(const std::string& path, int32_t position, int32_t typeCode);
  JsonNode InsertElementAtW(const std::string& path, int32_t position, int32_t typeCode);
  // The element at the index of an array, or the member at that place of an
  // object's order.
  JsonNode GetElement(const std::string& path, int32_t index) const;
  JsonNode GetElementW(const std::string& path, int32_t index) const;
  // Puts a copy at the index, padding with Null elements up to it.
  bool SetElementCopy(const std::string& path, int32_t index, const JsonTreeAccess& source);
  bool SetElementCopyW(const std::string& path, int32_t index, const JsonTreeAccess& source);

  // --- existence (a path with at least one step) and resolve-or-create ---
  bool ExistsW(const std::string& path) const;
  bool Exists(const std::string& path) const;
  JsonNode GetOrCreate(const std::string& path);
  JsonNode GetOrCreateW(const std::string& path);

  // --- containers and values: the node is cleared, keeps its key and place ---
  bool MakeObject(const std::string& path, int32_t bucketCount = 11);
  bool MakeObjectW(const std::string& path, int32_t bucketCount = 11);
  bool MakeArray(const std::string& path, int32_t capacity = 8);
  bool MakeArrayW(const std::string& path, int32_t capacity = 8);
  bool SetString(const std::string& path, const std::string& text);
  bool SetStringW(const std::string& path, const std::string& text);
  bool SetNullW(const std::string& path);
  bool SetNull(const std::string& path);
  bool SetBoolW(const std::string& path, bool flag);
  bool SetBool(const std::string& path, bool flag);
  bool SetDoubleW(const std::string& path, double value);
  bool SetDouble(const std::string& path, double value);
  bool SetInt64W(const std::string& path, int64_t value);
  bool SetInt64(const std::string& path, int64_t value);
  bool SetIntW(const std::string& path, int32_t value);
  bool SetInt(const std::string& path, int32_t value);

  // --- parsing into the node at a path (made when missing); true on code 0 ---
  bool ParseAt(const std::string& path, const std::string& json, int32_t options = 1);
  bool ParseAtW(const std::string& path, const std::string& json, int32_t options = 1);

  // The node at the path becomes a deep copy of the source's node.
  bool SetCopy(const std::string& path, const JsonTreeAccess& source);
  bool SetCopyW(const std::string& path, const JsonTreeAccess& source);

  // --- getters ---
  // The number or bool literal; empty for other nodes and when missing.
  std::string GetLiteral(const std::string& path) const;
  std::string GetLiteralW(const std::string& path) const;
  // A string's text, a number's or bool's literal; empty otherwise.
  std::string GetText(const std::string& path) const;
  std::string GetTextW(const std::string& path) const;
  bool GetBoolW(const std::string& path) const;
  bool GetBool(const std::string& path) const;
  double GetDoubleW(const std::string& path) const;
  double GetDouble(const std::string& path) const;
  int64_t GetInt64W(const std::string& path) const;
  int64_t GetInt64(const std::string& path) const;
  int32_t GetIntW(const std::string& path) const;
  int32_t GetInt(const std::string& path) const;

  // --- names and children; the array is left alone when the count is 0
  // (except that an empty object empties the names) ---
  int32_t GetMemberNamesW(const std::string& path, std::vector<std::string>& names) const;
  int32_t GetMemberNames(const std::string& path, std::vector<std::string>& names) const;
  int32_t GetChildrenW(const std::string& path, std::vector<JsonNode>& children) const;
  int32_t GetChildren(const std::string& path, std::vector<JsonNode>& children) const;

  // --- sorting: reorders the member order or element list only ---
  bool SortMembersW(const std::string& path, bool descending = false, bool ignoreCase = false);
  bool SortMembers(const std::string& path, bool descending = false, bool ignoreCase = false);
  void SortWithW(const std::string& path, JsonNodeComparator comparator, int32_t context);
  void SortWith(const std::string& path, JsonNodeComparator comparator, int32_t context);

  // --- merging and copying in ---
  // Parses the text and merges it into the node at the path: objects member by
  // member (recursively; missing keys added only with addMissing), anything
  // else replaces a member.
  bool InsertParsedW(const std::string& path, const std::string& json, int32_t options = 1,
                     bool addMissing = false);
  bool InsertParsed(const std::string& path, const std::string& json, int32_t options = 1,
                    bool addMissing = false);
  bool AddMembersFrom(const std::string& path, const JsonTreeAccess& source);
  bool AppendElementsFrom(const std::string& path, const JsonTreeAccess& source);
  // Exchanges the values (and, when both are object members, the member names)
  // of the node at the path and the other object's node; each stays in its
  // place. False when either is missing, one lies inside the other, the
  // exchange would give an object a key twice, or a tree would grow too deep.
  bool Swap(const std::string& path, const JsonTreeAccess& other);

 protected:
  JsonTreeAccess() = default;
  explicit JsonTreeAccess(JsonTreeNode* node) : m_node(node) {}
  ~JsonTreeAccess() = default;
  JsonTreeAccess(const JsonTreeAccess&) = default;
  JsonTreeAccess& operator=(const JsonTreeAccess&) = default;

  JsonTreeNode* m_node = nullptr;
};
