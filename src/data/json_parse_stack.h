#pragma once
// The stack of open containers of one parse: each entry a container node and
// the parser's state for it. Room starts at 1024 entries and doubles; the
// depth limit given at creation refuses a push beyond it, so hostile nesting
// ends the parse cleanly instead of building a tree too deep to walk.

#include <cstddef>
#include <cstdint>
#include <vector>

struct JsonTreeNode;

class JsonParseStack {
 public:
  struct Entry {
    JsonTreeNode* node = nullptr;
    int32_t state = 0;
  };

  explicit JsonParseStack(size_t maxEntries);

  // False (nothing pushed) when the stack already holds maxEntries entries.
  bool Push(JsonTreeNode* node, int32_t state);
  // The top entry; an entry with no node when the stack is empty.
  Entry Peek() const;
  void SetTop(JsonTreeNode* node, int32_t state);
  void SetTopState(int32_t state);
  // Takes the top entry off; an entry with no node when the stack is empty.
  Entry Pop();
  size_t Count() const { return m_entries.size(); }
  bool Empty() const { return m_entries.empty(); }
  bool Full() const { return m_entries.size() >= m_maxEntries; }

 private:
  std::vector<Entry> m_entries;
  size_t m_maxEntries;
};
