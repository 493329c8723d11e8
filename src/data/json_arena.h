#pragma once
// The memory of the nodes a parse makes: node records, their texts, keys and
// child lists in a few large blocks instead of a heap block each. One arena
// per parse; the nodes in it count their arena, and the last node freed frees
// every block at once. A node that leaves its tree for another (a move, a
// swap, a merge) keeps its arena alive until it is freed itself.
//
// Only the parser allocates in an arena; every node made or changed by an
// edit keeps its new parts in the heap, so edits never grow an arena. A
// node's parts that lie in an arena always lie in the node's own arena.
//
// One thread at a time per tree, as for the tree itself.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct JsonTreeNode;

// Bytes of freed arena blocks kept for the next parses (at most 16 MiB).
size_t JsonArenaPooledBytes();

class JsonArena {
 public:
  // A new arena; it frees itself when the count of its nodes drops to zero
  // after a node was made (an arena that never made a node is freed by
  // DiscardIfUnused).
  static JsonArena* Create(size_t expectedBytes);
  // Frees an arena in which no node was made.
  void DiscardIfUnused();

  // Uninitialised memory, aligned for pointers and doubles.
  void* Allocate(size_t bytes);
  // A copy of the text inside the arena.
  const char16_t* CopyText(std::u16string_view text);
  // A new Null node in this arena, counted.
  JsonTreeNode* NewNode();
  // Called for every node of this arena when it is freed.
  void ReleaseNode();

 private:
  explicit JsonArena(size_t firstBlock) : m_nextBlock(firstBlock) {}
  ~JsonArena();
  JsonArena(const JsonArena&) = delete;
  JsonArena& operator=(const JsonArena&) = delete;
  void* AllocateInNewBlock(size_t bytes);

  std::vector<void*> m_blocks;
  std::vector<size_t> m_blockSizes;
  char* m_cursor = nullptr;
  char* m_end = nullptr;
  size_t m_nextBlock;
  size_t m_nodes = 0;
};
