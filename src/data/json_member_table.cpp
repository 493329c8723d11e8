// The member table of a JSON object: chained hash buckets that grow to 2n+1 at
// a load of 0.75, and the insertion order kept beside them. Lookups by key stay
// cheap for the hundreds of entries of a folder-listing reply.

#include "data/json_tree_node.h"

namespace {

size_t BucketOf(const JsonMemberTable& table, uint32_t hash) {
  return (hash & 0x7FFFFFFFu) % table.buckets.size();
}

JsonTreeNode* FindHashed(const JsonMemberTable& table, std::u16string_view key, uint32_t hash) {
  if (table.buckets.empty())
    return nullptr;
  for (JsonTreeNode* m = table.buckets[BucketOf(table, hash)]; m; m = m->nextInBucket) {
    if (m->keyHash == hash && m->key == key)
      return m;
  }
  return nullptr;
}

void RehashMembers(JsonMemberTable& table) {
  const size_t newCount = table.buckets.size() * 2 + 1;
  std::vector<JsonTreeNode*> old;
  old.swap(table.buckets);
  table.buckets.assign(newCount, nullptr);
  table.threshold = static_cast<int32_t>(static_cast<float>(newCount) * table.loadFactor);
  for (JsonTreeNode* head : old) {
    while (head) {
      JsonTreeNode* next = head->nextInBucket;
      ChainMember(table, head);
      head = next;
    }
  }
}

}  // namespace

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
  table.buckets.assign(static_cast<size_t>(bucketCount), nullptr);
  table.memberCount = 0;
  table.loadFactor = 0.75f;
  table.threshold = static_cast<int32_t>(static_cast<float>(bucketCount) * table.loadFactor);
  table.order.clear();
}

JsonTreeNode* FindMember(const JsonMemberTable& table, std::u16string_view key) {
  return FindHashed(table, key, HashJsonKey(key));
}

void ChainMember(JsonMemberTable& table, JsonTreeNode* node) {
  JsonTreeNode*& head = table.buckets[BucketOf(table, node->keyHash)];
  node->nextInBucket = head;
  head = node;
}

void UnchainMember(JsonMemberTable& table, JsonTreeNode* node) {
  JsonTreeNode** link = &table.buckets[BucketOf(table, node->keyHash)];
  while (*link && *link != node)
    link = &(*link)->nextInBucket;
  if (*link)
    *link = node->nextInBucket;
  node->nextInBucket = nullptr;
}

int32_t InsertMember(JsonMemberTable& table, std::u16string_view key, JsonTreeNode* node,
                     JsonTreeNode** replaced, int32_t position) {
  if (!node || table.buckets.empty())
    return -1;
  const uint32_t hash = HashJsonKey(key);
  if (JsonTreeNode* old = FindHashed(table, key, hash)) {
    UnchainMember(table, old);
    node->key = std::move(old->key);
    node->hasKey = true;
    node->keyHash = old->keyHash;
    ChainMember(table, node);
    for (JsonTreeNode*& slot : table.order) {
      if (slot == old) {
        slot = node;
        break;
      }
    }
    old->hasKey = false;
    old->key.clear();
    old->keyHash = 0;
    old->parent = nullptr;
    if (replaced)
      *replaced = old;
    return 1;
  }
  if (position < -1 || position > table.memberCount)
    return -1;
  if (table.memberCount >= table.threshold)
    RehashMembers(table);
  node->keyHash = hash;
  node->key.assign(key);
  node->hasKey = true;
  ChainMember(table, node);
  if (position < 0)
    table.order.push_back(node);
  else
    table.order.insert(table.order.begin() + position, node);
  ++table.memberCount;
  return 0;
}

JsonTreeNode* UnlinkMember(JsonMemberTable& table, std::u16string_view key) {
  JsonTreeNode* node = FindMember(table, key);
  if (!node)
    return nullptr;
  UnchainMember(table, node);
  for (size_t i = 0; i < table.order.size(); ++i) {
    if (table.order[i] == node) {
      table.order.erase(table.order.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  --table.memberCount;
  node->hasKey = false;
  node->key.clear();
  node->keyHash = 0;
  node->parent = nullptr;
  return node;
}

void FreeMemberTable(std::unique_ptr<JsonMemberTable>& table) {
  if (!table)
    return;
  std::vector<JsonTreeNode*> order;
  order.swap(table->order);
  table.reset();
  for (JsonTreeNode* member : order)
    FreeNode(member);
}
