// The member table of a JSON object: a hash index with linear probing that
// grows to 2n+1 slots at a load of 0.75, and the insertion order kept beside
// it. A table a parse made has no index while it holds few members (they are
// compared in order, hash first); the first change of such an object, or a
// parse of a large one, builds the index.

#include "data/json_tree_node.h"

namespace {

// Members a parsed object is searched in order for, without an index.
constexpr int32_t kMembersWithoutIndex = 24;

size_t SlotOf(const JsonNodeList& buckets, uint32_t hash) {
  return (hash & 0x7FFFFFFFu) % buckets.size();
}

JsonTreeNode* FindHashed(const JsonMemberTable& table, std::u16string_view key, uint32_t hash) {
  if (table.buckets.empty()) {
    for (JsonTreeNode* m : table.order) {
      if (m->key.hash == hash && m->key == key)
        return m;
    }
    return nullptr;
  }
  const size_t count = table.buckets.size();
  for (size_t i = SlotOf(table.buckets, hash);; i = (i + 1) % count) {
    JsonTreeNode* m = table.buckets[i];
    if (!m)
      return nullptr;
    if (m->key.hash == hash && m->key == key)
      return m;
  }
}

void SizeIndex(JsonMemberTable& table, size_t bucketCount) {
  IndexMemberTable(table, bucketCount);
}

// The index a table of `count` members has when they were added one by one
// to a new table of the default size.
void BuildIndex(JsonMemberTable& table, int32_t count) {
  size_t buckets = kJsonDefaultBuckets;
  while (static_cast<int32_t>(static_cast<float>(buckets) * table.loadFactor) < count)
    buckets = buckets * 2 + 1;
  SizeIndex(table, buckets);
}

// Puts a member with the same key in the place of `old`, which is already out
// of the index and leaves the object.
void TakePlace(JsonMemberTable& table, JsonTreeNode* old, JsonTreeNode* node) {
  ChainMember(table, node);
  for (JsonTreeNode*& slot : table.order) {
    if (slot == old) {
      slot = node;
      break;
    }
  }
  old->parent = nullptr;
}

}  // namespace

void IndexMemberTable(JsonMemberTable& table, size_t bucketCount) {
  table.buckets.assign(bucketCount, nullptr);
  table.threshold = static_cast<int32_t>(static_cast<float>(bucketCount) * table.loadFactor);
  for (JsonTreeNode* m : table.order)
    ChainMember(table, m);
}

uint32_t HashJsonKey(std::u16string_view key) {
  uint32_t h = 0;
  for (size_t i = key.size(); i-- > 0;) {
    const char16_t unit = key[i];
    h = h * 31u + static_cast<uint32_t>(unit >> 8);    // high byte comes last in memory
    h = h * 31u + static_cast<uint32_t>(unit & 0xFF);  // then the low byte
  }
  return h;
}

void InitMemberTable(JsonMemberTable& table, int32_t bucketCount) {
  // The count is a sizing hint; a huge one from a caller must not allocate
  // more than a large object would ever need.
  constexpr int32_t kMaxInitialBuckets = 1 << 16;
  if (bucketCount <= 0)
    bucketCount = kJsonDefaultBuckets;
  if (bucketCount > kMaxInitialBuckets)
    bucketCount = kMaxInitialBuckets;
  table.memberCount = 0;
  table.loadFactor = 0.75f;
  table.order.clear();
  SizeIndex(table, static_cast<size_t>(bucketCount));
}

JsonTreeNode* FindMember(const JsonMemberTable& table, std::u16string_view key) {
  return FindHashed(table, key, HashJsonKey(key));
}

void ChainMember(JsonMemberTable& table, JsonTreeNode* node) {
  if (table.buckets.empty())
    return;
  const size_t count = table.buckets.size();
  size_t i = SlotOf(table.buckets, node->key.hash);
  while (table.buckets[i])
    i = (i + 1) % count;
  table.buckets[i] = node;
}

void UnchainMember(JsonMemberTable& table, JsonTreeNode* node) {
  if (table.buckets.empty())
    return;
  const size_t count = table.buckets.size();
  size_t i = SlotOf(table.buckets, node->key.hash);
  while (table.buckets[i] && table.buckets[i] != node)
    i = (i + 1) % count;
  if (!table.buckets[i])
    return;
  // Backward shift: later members of the run move up so no search stops early.
  table.buckets[i] = nullptr;
  for (size_t j = (i + 1) % count; table.buckets[j]; j = (j + 1) % count) {
    JsonTreeNode* m = table.buckets[j];
    const size_t home = SlotOf(table.buckets, m->key.hash);
    // m may move to the hole when its home does not lie cyclically in (i, j].
    const bool stays = i <= j ? (home > i && home <= j) : (home > i || home <= j);
    if (!stays) {
      table.buckets[i] = m;
      table.buckets[j] = nullptr;
      i = j;
    }
  }
}

int32_t InsertMember(JsonMemberTable& table, std::u16string_view key, JsonTreeNode* node,
                     JsonTreeNode** replaced, int32_t position) {
  if (!node)
    return -1;
  const uint32_t hash = HashJsonKey(key);
  if (JsonTreeNode* old = FindHashed(table, key, hash)) {
    UnchainMember(table, old);
    MoveNodeKey(old, node);
    node->hasKey = true;
    TakePlace(table, old, node);
    if (replaced)
      *replaced = old;
    return 1;
  }
  if (position < -1 || position > table.memberCount)
    return -1;
  if (table.buckets.empty())
    BuildIndex(table, table.memberCount);
  if (table.memberCount >= table.threshold)
    SizeIndex(table, table.buckets.size() * 2 + 1);
  SetNodeKey(node, key);
  node->hasKey = true;
  ChainMember(table, node);
  if (position < 0)
    table.order.push_back(node);
  else
    table.order.insert(table.order.begin() + position, node);
  ++table.memberCount;
  return 0;
}

void LinkParsedMembers(JsonTreeNode* object, JsonTreeNode* const* members, size_t count) {
  JsonMemberTable& table = *object->members;
  for (size_t k = 0; k < count; ++k) {
    JsonTreeNode* node = members[k];
    node->parent = object;
    node->hasKey = true;
    JsonTreeNode* old =
        table.memberCount > 0 ? FindHashed(table, node->key, node->key.hash) : nullptr;
    if (old) {
      UnchainMember(table, old);
      TakePlace(table, old, node);
      FreeNode(old);
      continue;
    }
    table.order.push_back(node);
    ++table.memberCount;
    if (!table.buckets.empty()) {
      if (table.memberCount > table.threshold)
        SizeIndex(table, table.buckets.size() * 2 + 1);
      else
        ChainMember(table, node);
    } else if (table.memberCount > kMembersWithoutIndex) {
      BuildIndex(table, table.memberCount);
    }
  }
}

JsonTreeNode* UnlinkMember(JsonMemberTable& table, std::u16string_view key) {
  JsonTreeNode* node = FindMember(table, key);
  if (!node)
    return nullptr;
  UnchainMember(table, node);
  for (size_t i = 0; i < table.order.size(); ++i) {
    if (table.order[i] == node) {
      table.order.erase(table.order.begin() + i);
      break;
    }
  }
  --table.memberCount;
  ClearNodeKey(node);
  node->parent = nullptr;
  return node;
}
