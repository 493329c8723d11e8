#pragma once
// The node record of the native JSON tree and the operations that make, link,
// clear, copy and free nodes. JsonDocument owns one tree of these records;
// JsonNode is a view of one record. Every text in a tree (keys, string values,
// number literals) is UTF-16.
//
// Ownership: a container owns its children; FreeNode frees a node with
// everything under it. A detached node (no parent) belongs to whoever made it
// until it is linked into a container.
//
// Depth: no node of a tree lies more than kMaxJsonDepth levels below its top.
// The parser, the making path walk and every copy into a tree keep that bound,
// so the recursive walks here (free, copy, write, merge) stay within a fixed
// stack budget whatever the input was.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Type codes of a node; the public operations take and give them as int32_t.
enum class JsonNodeType : uint8_t {
  Null = 0,
  Double = 1,
  Int64 = 2,
  Bool = 3,
  String = 4,
  Array = 5,
  Object = 6,
};

// Deepest level a node may have below the top of its tree. 512 levels hold
// every document the service or the settings files produce with a wide margin,
// and keep the recursive walks far from the thread's stack limit.
inline constexpr int32_t kMaxJsonDepth = 512;

// Highest element index a making walk pads an array up to. Each padding element
// is a node, so an index from a caller's path must not be able to exhaust memory
// or time: 65,535 lies far above every list the program keeps and pads in
// milliseconds.
inline constexpr int32_t kMaxJsonPadIndex = (1 << 16) - 1;

inline constexpr int32_t kJsonDefaultBuckets = 11;
inline constexpr int32_t kJsonDefaultCapacity = 8;

struct JsonTreeNode;
class JsonArena;

// A list of node pointers, kept in the heap or, for the lists a parse makes,
// in the arena of their node (then growing leaves the old room to the arena).
class JsonNodeList {
 public:
  explicit JsonNodeList(JsonArena* arena = nullptr) : m_arena(arena) {}
  ~JsonNodeList();
  JsonNodeList(const JsonNodeList&) = delete;
  JsonNodeList& operator=(const JsonNodeList&) = delete;

  size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  JsonTreeNode*& operator[](size_t i) { return m_data[i]; }
  JsonTreeNode* operator[](size_t i) const { return m_data[i]; }
  JsonTreeNode** begin() { return m_data; }
  JsonTreeNode** end() { return m_data + m_size; }
  JsonTreeNode* const* begin() const { return m_data; }
  JsonTreeNode* const* end() const { return m_data + m_size; }
  void push_back(JsonTreeNode* node);
  JsonTreeNode** insert(JsonTreeNode** at, JsonTreeNode* node);
  JsonTreeNode** erase(JsonTreeNode** at);
  void reserve(size_t count);
  void clear() { m_size = 0; }
  // Exactly `count` entries, each `value`.
  void assign(size_t count, JsonTreeNode* value);

 private:
  JsonTreeNode** m_data = nullptr;
  uint32_t m_size = 0;
  uint32_t m_capacity = 0;
  JsonArena* m_arena;
};

// The members of one object: a hash index over the members (open addressing
// with linear probing; empty until a parsed object is first changed, when its
// few members are searched in order), plus the insertion order that the
// writer, the member names, position access and sorting follow.
struct JsonMemberTable {
  explicit JsonMemberTable(JsonArena* arena = nullptr) : buckets(arena), order(arena) {}
  JsonNodeList buckets;
  int32_t memberCount = 0;
  int32_t threshold = 0;
  float loadFactor = 0.75f;
  JsonNodeList order;
};

// A member's key: the text, its length and its hash.
struct JsonKey {
  const char16_t* data = nullptr;
  uint32_t size = 0;
  uint32_t hash = 0;  // HashJsonKey of the text while the node is a member

  std::u16string_view View() const { return {data, size}; }
  operator std::u16string_view() const { return View(); }
  friend bool operator==(const JsonKey& a, std::u16string_view b) { return a.View() == b; }
  friend bool operator==(const JsonKey& a, const JsonKey& b) { return a.View() == b.View(); }
};

// Bits of JsonTreeNode::flags: which parts the node owns in the heap, and
// whether its literal is the plain decimal form of its integer (then it is
// made when read instead of being kept).
inline constexpr uint8_t kJsonKeyOwned = 1;
inline constexpr uint8_t kJsonTextOwned = 2;
inline constexpr uint8_t kJsonContainerInArena = 4;
inline constexpr uint8_t kJsonPlainIntegerLiteral = 8;

struct JsonTreeNode {
  JsonKey key;  // members have a key (possibly empty); elements and tops none
  union {
    double d;
    int64_t i;
    int32_t b;
  } value{};
  const char16_t* textData = nullptr;  // String: its text; Double, Int64: the literal
  uint32_t textSize = 0;
  bool hasKey = false;
  bool isDocumentRoot = false;  // owned by a JsonDocument as its root
  uint8_t flags = 0;
  JsonNodeType type = JsonNodeType::Null;
  JsonArena* arena = nullptr;  // the arena holding the record, or none (heap)
  union {
    JsonNodeList* elements = nullptr;  // Array
    JsonMemberTable* members;          // Object
  };
  JsonTreeNode* parent = nullptr;
};

// A String's text; empty for other nodes.
std::u16string_view NodeText(const JsonTreeNode* node);
// The text the writer puts out for a Double, Int64 or Bool; empty otherwise.
std::u16string NodeLiteral(const JsonTreeNode* node);
// Sets or drops the key of a node (a heap copy); the hash is set too.
void SetNodeKey(JsonTreeNode* node, std::u16string_view key);
void ClearNodeKey(JsonTreeNode* node);
// Moves the key of `from` to `to` (copied to the heap when `from` keeps it
// in an arena that is not `to`'s); `from` is left without a key.
void MoveNodeKey(JsonTreeNode* from, JsonTreeNode* to);
// Exchanges the keys of two nodes under the same rule.
void SwapNodeKeys(JsonTreeNode* a, JsonTreeNode* b);
// Takes the container of a node away without freeing its children (which
// the caller has taken over); the node is left Null.
void DropContainer(JsonTreeNode* node);

// --- member table ---

// 32-bit hash of a key: over its UTF-16LE bytes from the last to the first,
// h = h * 31 + byte, wrapping.
uint32_t HashJsonKey(std::u16string_view key);
void InitMemberTable(JsonMemberTable& table, int32_t bucketCount);
JsonTreeNode* FindMember(const JsonMemberTable& table, std::u16string_view key);
// Links a detached node under a key. Returns 0 when a member was added, 1 when
// an existing member was replaced in place (the old node goes to *replaced and
// is the caller's to free), -1 on failure (nothing linked). position -1 appends
// a new key; otherwise a new key goes in at that place of the member order
// (0..memberCount). The caller sets node->parent.
int32_t InsertMember(JsonMemberTable& table, std::u16string_view key, JsonTreeNode* node,
                     JsonTreeNode** replaced, int32_t position = -1);
// Takes a member out of the table and drops its key; the caller frees the node.
// Returns the node, or nullptr when the key is not there.
JsonTreeNode* UnlinkMember(JsonMemberTable& table, std::u16string_view key);
// Takes a member out of the bucket chains only, and puts it back (used when a
// member's key changes in place).
void UnchainMember(JsonMemberTable& table, JsonTreeNode* node);
void ChainMember(JsonMemberTable& table, JsonTreeNode* node);
// Makes the index anew with `bucketCount` slots over the members in order.
void IndexMemberTable(JsonMemberTable& table, size_t bucketCount);
// Frees the table and every member.
void FreeMemberTable(JsonTreeNode* object);
// Links the members a parse made, in order, into an object's table (which
// must be empty): each node already carries its key and hash; a key given
// twice keeps its first place and takes the last value (the earlier node is
// freed).
void LinkParsedMembers(JsonTreeNode* object, JsonTreeNode* const* members, size_t count);

// --- linking, for callers that hold the container node ---

// Inserts under a key of an object node and frees a replaced member. False
// (node not linked, still the caller's) when object is no object or the
// position is out of range.
bool LinkMember(JsonTreeNode* object, std::u16string_view key, JsonTreeNode* node,
                int32_t position = -1);
// Appends (position -1) or inserts an element; false when array is no array or
// the position is outside 0..count.
bool LinkElement(JsonTreeNode* array, JsonTreeNode* node, int32_t position = -1);

// --- node values ---

void MakeObjectNode(JsonTreeNode* node, int32_t bucketCount);
void MakeArrayNode(JsonTreeNode* node, int32_t capacity);
// The containers a parse makes with room for exactly `count` children: in the
// node's arena when `inArena` and the node has one, else in the heap.
void MakeParsedObject(JsonTreeNode* node, size_t count, bool inArena);
void MakeParsedArray(JsonTreeNode* node, size_t count, bool inArena);
// Frees the value (children included) and makes the node Null; key, parent and
// place in the parent stay.
void ClearNodeValue(JsonTreeNode* node);
// ClearNodeValue, then the record itself. The caller has unlinked it first.
void FreeNode(JsonTreeNode* node);
// Moves the value, type and literal of `from` into `to` (cleared first),
// re-parenting the children; `from` is left Null.
void MoveNodeValue(JsonTreeNode* from, JsonTreeNode* to);

// A deep copy as a new detached node. Numbers get their literal made again from
// the value (1.50 copies as 1.5). nullptr when the node is null or its subtree
// is more than maxHeight levels high.
JsonTreeNode* CopyNode(const JsonTreeNode* node, int32_t maxHeight = kMaxJsonDepth);
// As CopyNode, but literals are kept exactly (a document copied as a whole).
JsonTreeNode* CloneNode(const JsonTreeNode* node);

// Levels below the node: 0 for a scalar or an empty container.
int32_t SubtreeHeight(const JsonTreeNode* node);
// Levels above the node: 0 for the top of a tree.
int32_t NodeDepth(const JsonTreeNode* node);
// True when ancestor is node itself or lies above it.
bool IsSameOrAncestor(const JsonTreeNode* ancestor, const JsonTreeNode* node);

// --- constructors (detached nodes) ---

JsonTreeNode* NewNode();
JsonTreeNode* NewObjectNode(int32_t bucketCount = kJsonDefaultBuckets);
JsonTreeNode* NewArrayNode(int32_t capacity = kJsonDefaultCapacity);
JsonTreeNode* NewBoolNode(bool value);
JsonTreeNode* NewStringNode(std::u16string_view text);
// With an empty literal the value is formatted: decimal for an integer,
// "%.13g" for a double.
JsonTreeNode* NewInt64Node(int64_t value, std::u16string_view literal = {});
JsonTreeNode* NewDoubleNode(double value, std::u16string_view literal = {});
// A node of a type code 0-6 with the default value; nullptr for other codes.
JsonTreeNode* NewNodeOfType(int32_t typeCode);

// --- setters on a node in place (value cleared first) ---

void SetNodeString(JsonTreeNode* node, std::u16string_view text);
void SetNodeBool(JsonTreeNode* node, bool value);
void SetNodeInt64(JsonTreeNode* node, int64_t value, std::u16string_view literal = {});
void SetNodeDouble(JsonTreeNode* node, double value, std::u16string_view literal = {});

// The values a parse makes in a fresh node (of an arena or the heap): a number
// token (its literal kept unless it is the plain decimal form of an integer)
// and a string's unescaped text.
void SetParsedNumber(JsonTreeNode* node, bool fractional, std::u16string_view token);
void SetParsedString(JsonTreeNode* node, std::u16string_view text);

// --- text conversions of the tree (code page 936 unless told; 65001 UTF-8) ---

std::u16string JsonTextToUtf16(std::string_view text, unsigned codePage = 936);
std::string JsonUtf16ToText(std::u16string_view text, unsigned codePage = 936);
