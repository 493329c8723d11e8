// Sorting, merging parsed text, copying members or elements in, and swapping
// two nodes. The sort recurses only into the smaller side of each partition,
// so even an adversarial comparator cannot drive it deep.

#include <cctype>
#include <utility>

#include "data/json_access_internal.h"
#include "data/json_node.h"
#include "data/json_parser.h"
#include "data/json_path.h"
#include "data/json_tree_access.h"
#include "platform/code_page_codec.h"

namespace {

using Units = std::u16string;
using NodeList = JsonNodeList;

// Orders keys as the system's string collation does for names: letters
// without regard to case first; on a tie the lower-case form comes first,
// unless ignoreCase makes such keys equal.
int32_t CompareKeys(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t fa = FoldAsciiToLower(a[i]);
    const char16_t fb = FoldAsciiToLower(b[i]);
    if (fa != fb)
      return fa < fb ? -1 : 1;
  }
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  if (ignoreCase)
    return 0;
  for (size_t i = 0; i < common; ++i) {
    if (a[i] != b[i])
      return a[i] > b[i] ? -1 : 1;  // 'a' (0x61) before 'A' (0x41)
  }
  return 0;
}

// Median-of-three partition sort over item[lo..hi]; not stable.
template <typename Compare>
void PartitionSort(NodeList& item, int64_t lo, int64_t hi, const Compare& cmp) {
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (cmp(item[lo], item[hi]) > 0)
      std::swap(item[lo], item[hi]);
    if (cmp(item[mid], item[hi]) > 0)
      std::swap(item[mid], item[hi]);
    if (cmp(item[mid], item[lo]) > 0)
      std::swap(item[mid], item[lo]);
    JsonTreeNode* pivot = item[lo];
    int64_t i = lo;
    int64_t j = hi;
    while (i < j) {
      while (i < j && cmp(item[j], pivot) >= 0)
        --j;
      if (i < j)
        item[i++] = item[j];
      while (i < j && cmp(item[i], pivot) <= 0)
        ++i;
      if (i < j)
        item[j--] = item[i];
    }
    item[i] = pivot;
    if (i - lo < hi - i) {
      PartitionSort(item, lo, i - 1, cmp);
      lo = i + 1;
    } else {
      PartitionSort(item, i + 1, hi, cmp);
      hi = i - 1;
    }
  }
}

template <typename Compare>
void SortList(NodeList& list, const Compare& cmp) {
  PartitionSort(list, 0, static_cast<int64_t>(list.size()) - 1, cmp);
}

bool SortMembersAt(JsonTreeNode* anchor, const Units& path, bool descending, bool ignoreCase) {
  JsonTreeNode* node = ResolvePath(anchor, path);
  if (!node || node->type != JsonNodeType::Object)
    return false;
  SortList(node->members->order, [&](const JsonTreeNode* a, const JsonTreeNode* b) {
    return descending ? CompareKeys(b->key, a->key, ignoreCase)
                      : CompareKeys(a->key, b->key, ignoreCase);
  });
  return true;
}

void SortWithAt(JsonTreeNode* anchor, const Units& path, JsonNodeComparator comparator,
                int32_t context) {
  JsonTreeNode* node = ResolvePath(anchor, path);
  if (!node || !comparator)
    return;
  NodeList* list = node->type == JsonNodeType::Object  ? &node->members->order
                   : node->type == JsonNodeType::Array ? node->elements
                                                       : nullptr;
  if (!list)
    return;
  SortList(*list, [&](JsonTreeNode* a, JsonTreeNode* b) {
    return comparator(JsonNode(a), JsonNode(b), context);
  });
}

// Merges the detached source into target and frees or links every node of the
// source. Objects merge member by member; anything else replaces target when
// target is an object member.
bool MergeInto(JsonTreeNode* target, JsonTreeNode* source, bool addMissing) {
  if (target->type == JsonNodeType::Object && source->type == JsonNodeType::Object) {
    const std::vector<JsonTreeNode*> members(source->members->order.begin(),
                                             source->members->order.end());
    DropContainer(source);
    FreeNode(source);
    bool ok = true;
    for (JsonTreeNode* member : members) {
      const Units key(member->key.View());
      ClearNodeKey(member);
      member->parent = nullptr;
      if (!ok) {
        FreeNode(member);
      } else if (JsonTreeNode* existing = FindMember(*target->members, key)) {
        ok = MergeInto(existing, member, addMissing);
      } else if (addMissing) {
        ok = LinkMember(target, key, member);
        if (!ok)
          FreeNode(member);
      } else {
        FreeNode(member);
      }
    }
    return ok;
  }
  if (target->hasKey && target->parent && target->parent->type == JsonNodeType::Object) {
    const Units key(target->key.View());
    return LinkMember(target->parent, key, source);  // frees target
  }
  FreeNode(source);
  return false;
}

bool InsertParsedAt(JsonTreeNode* anchor, const Units& path, const Units& json, int32_t options,
                    bool addMissing) {
  JsonTreeNode* target = ResolveOrCreatePath(anchor, path);
  if (!target)
    return false;
  JsonTreeNode* parsed = NewNode();
  int32_t position = 0;
  if (ParseJsonUtf16(parsed, json, options, &position) != kJsonParseOk ||
      !JsonValueFits(target, parsed)) {
    FreeNode(parsed);
    return false;
  }
  return MergeInto(target, parsed, addMissing);
}

// Moves every child of the detached container `from` into `to`.
bool MoveChildren(JsonTreeNode* from, JsonTreeNode* to) {
  bool ok = true;
  const bool object = from->type == JsonNodeType::Object;
  const JsonNodeList& list = object ? from->members->order : *from->elements;
  const std::vector<JsonTreeNode*> children(list.begin(), list.end());
  DropContainer(from);
  for (JsonTreeNode* child : children) {
    child->parent = nullptr;
    bool linked = false;
    if (ok && object) {
      const Units key(child->key.View());
      ClearNodeKey(child);
      linked = LinkMember(to, key, child);
    } else if (ok) {
      linked = LinkElement(to, child);
    }
    if (!linked) {
      ok = false;
      FreeNode(child);
    }
  }
  from->type = JsonNodeType::Null;
  FreeNode(from);
  return ok;
}

bool CopyChildrenIn(JsonTreeNode* anchor, const Units& path, const JsonTreeNode* source,
                    JsonNodeType type) {
  if (!source || source->type != type)
    return false;
  JsonTreeNode* copy = JsonSnapshot(source);
  JsonTreeNode* target = ResolveOrCreatePath(anchor, path);
  if (!copy || !target || !JsonValueFits(target, copy)) {
    FreeNode(copy);
    return false;
  }
  if (target->type != type) {
    if (type == JsonNodeType::Object)
      MakeObjectNode(target, kJsonDefaultBuckets);
    else
      MakeArrayNode(target, kJsonDefaultCapacity);
  }
  return MoveChildren(copy, target);
}

// Exchanges the keys of two object members, refusing when either object
// already holds the other's key under another member.
bool SwapKeys(JsonTreeNode* a, JsonTreeNode* b) {
  if (a->key == b->key)
    return true;
  JsonMemberTable& tableA = *a->parent->members;
  JsonMemberTable& tableB = *b->parent->members;
  if (a->parent != b->parent && (FindMember(tableA, b->key) || FindMember(tableB, a->key)))
    return false;
  UnchainMember(tableA, a);
  UnchainMember(tableB, b);
  SwapNodeKeys(a, b);
  ChainMember(tableA, a);
  ChainMember(tableB, b);
  return true;
}

bool SwapNodes(JsonTreeNode* a, JsonTreeNode* b) {
  if (!a || !b)
    return false;
  if (a == b)
    return true;
  if (IsSameOrAncestor(a, b) || IsSameOrAncestor(b, a))
    return false;
  if (!JsonValueFits(a, b) || !JsonValueFits(b, a))
    return false;
  const bool bothMembers = a->hasKey && b->hasKey && a->parent && b->parent;
  if (bothMembers && !SwapKeys(a, b))
    return false;
  JsonTreeNode* hold = NewNode();
  MoveNodeValue(a, hold);
  MoveNodeValue(b, a);
  MoveNodeValue(hold, b);
  FreeNode(hold);
  return true;
}

}  // namespace

bool JsonTreeAccess::SortMembersW(const std::string& path, bool descending, bool ignoreCase) {
  return SortMembersAt(m_node, JsonArgFromW(path), descending, ignoreCase);
}
bool JsonTreeAccess::SortMembers(const std::string& path, bool descending, bool ignoreCase) {
  return SortMembersAt(m_node, JsonArgFromText(path), descending, ignoreCase);
}
void JsonTreeAccess::SortWithW(const std::string& path, JsonNodeComparator comparator,
                               int32_t context) {
  SortWithAt(m_node, JsonArgFromW(path), comparator, context);
}
void JsonTreeAccess::SortWith(const std::string& path, JsonNodeComparator comparator,
                              int32_t context) {
  SortWithAt(m_node, JsonArgFromText(path), comparator, context);
}

bool JsonTreeAccess::InsertParsedW(const std::string& path, const std::string& json,
                                   int32_t options, bool addMissing) {
  return InsertParsedAt(m_node, JsonArgFromW(path), JsonArgFromW(json), options, addMissing);
}
bool JsonTreeAccess::InsertParsed(const std::string& path, const std::string& json, int32_t options,
                                  bool addMissing) {
  return InsertParsedAt(m_node, JsonArgFromText(path), JsonArgFromText(json), options, addMissing);
}
bool JsonTreeAccess::AddMembersFrom(const std::string& path, const JsonTreeAccess& source) {
  return CopyChildrenIn(m_node, JsonArgFromText(path), source.m_node, JsonNodeType::Object);
}
bool JsonTreeAccess::AppendElementsFrom(const std::string& path, const JsonTreeAccess& source) {
  return CopyChildrenIn(m_node, JsonArgFromText(path), source.m_node, JsonNodeType::Array);
}
bool JsonTreeAccess::Swap(const std::string& path, const JsonTreeAccess& other) {
  return SwapNodes(ResolvePath(m_node, JsonArgFromText(path)), other.m_node);
}
