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
  // A new arena for the parse of a text of `inputUnits` units, held by that
  // parse (Unhold). It frees itself once the parse has let go and the count
  // of its nodes is zero, so a node freed during the parse (a top-level
  // container given up for one of another kind, a failed parse) never takes
  // the memory the parse still writes into or keeps keys in.
  static JsonArena* Create(size_t inputUnits);
  // The parse has read its text up to `unit`. Near the end of the text a new
  // block is sized by what the rest is likely to need, at the rate the part
  // read so far needed, instead of a whole block most of which stays empty.
  void NoteInputRead(size_t unit) { m_inputRead = unit; }
  // The parse ends its hold; frees the arena when none of its nodes is left.
  void Unhold();

  // Uninitialised memory, aligned for pointers and doubles.
  void* Allocate(size_t bytes);
  // A copy of the text inside the arena.
  const char16_t* CopyText(std::u16string_view text);
  // A new Null node in this arena, counted.
  JsonTreeNode* NewNode();
  // Called for every node of this arena when it is freed.
  void ReleaseNode();

 private:
  JsonArena(size_t firstBlock, size_t inputUnits)
      : m_nextBlock(firstBlock), m_inputUnits(inputUnits) {}
  ~JsonArena();
  JsonArena(const JsonArena&) = delete;
  JsonArena& operator=(const JsonArena&) = delete;
  void* AllocateInNewBlock(size_t bytes);
  size_t NewBlockSize(size_t bytes) const;

  std::vector<void*> m_blocks;
  std::vector<size_t> m_blockSizes;
  char* m_cursor = nullptr;
  char* m_end = nullptr;
  size_t m_nextBlock;
  size_t m_blockBytes = 0;  // all blocks together
  size_t m_inputUnits;
  size_t m_inputRead = 0;
  size_t m_nodes = 0;
  bool m_held = true;  // by the parse that made it, until Unhold
};
