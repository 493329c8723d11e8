#include "data/json_arena.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "data/json_tree_node.h"

namespace {
constexpr size_t kAlign = alignof(std::max_align_t) < 8 ? 8 : alignof(std::max_align_t);
constexpr size_t kMinBlock = 1024;
constexpr size_t kMaxBlock = 32 * 1024;  // below the C library's mmap threshold: blocks are reused

size_t Rounded(size_t bytes) {
  return (bytes + kAlign - 1) & ~(kAlign - 1);
}

// Blocks of the largest size freed by arenas, kept for the next parse: a tree
// of many blocks freed at once would otherwise be given back to the system and
// fetched (and faulted in) again by the next parse of the same size.
constexpr size_t kMaxPooledBlocks = 512;  // 16 MiB
std::mutex s_poolMutex;
std::vector<void*>* s_pool = new std::vector<void*>();  // never destroyed

void* TakeBlock() {
  {
    std::lock_guard lock(s_poolMutex);
    if (!s_pool->empty()) {
      void* block = s_pool->back();
      s_pool->pop_back();
      return block;
    }
  }
  return ::operator new(kMaxBlock);
}

void GiveBlock(void* block) {
  {
    std::lock_guard lock(s_poolMutex);
    if (s_pool->size() < kMaxPooledBlocks) {
      s_pool->push_back(block);
      return;
    }
  }
  ::operator delete(block);
}
}  // namespace

size_t JsonArenaPooledBytes() {
  std::lock_guard lock(s_poolMutex);
  return s_pool->size() * kMaxBlock;
}

JsonArena* JsonArena::Create(size_t expectedBytes) {
  return new JsonArena(std::clamp(Rounded(expectedBytes), kMinBlock, kMaxBlock));
}

void JsonArena::DiscardIfUnused() {
  if (m_nodes == 0)
    delete this;
}

JsonArena::~JsonArena() {
  for (size_t k = 0; k < m_blocks.size(); ++k) {
    if (m_blockSizes[k] == kMaxBlock)
      GiveBlock(m_blocks[k]);
    else
      ::operator delete(m_blocks[k]);
  }
}

void* JsonArena::Allocate(size_t bytes) {
  bytes = Rounded(bytes == 0 ? 1 : bytes);
  if (static_cast<size_t>(m_end - m_cursor) >= bytes) {
    void* at = m_cursor;
    m_cursor += bytes;
    return at;
  }
  return AllocateInNewBlock(bytes);
}

void* JsonArena::AllocateInNewBlock(size_t bytes) {
  // A large piece gets a block of its own, leaving the current block in use.
  if (bytes > m_nextBlock / 4) {
    m_blocks.push_back(::operator new(bytes));
    m_blockSizes.push_back(bytes);
    return m_blocks.back();
  }
  m_blocks.push_back(m_nextBlock == kMaxBlock ? TakeBlock() : ::operator new(m_nextBlock));
  m_blockSizes.push_back(m_nextBlock);
  m_cursor = static_cast<char*>(m_blocks.back());
  m_end = m_cursor + m_nextBlock;
  m_nextBlock = std::min(m_nextBlock * 2, kMaxBlock);
  void* at = m_cursor;
  m_cursor += bytes;
  return at;
}

const char16_t* JsonArena::CopyText(std::u16string_view text) {
  if (text.empty())
    return nullptr;
  auto* copy = static_cast<char16_t*>(Allocate(text.size() * sizeof(char16_t)));
  std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
  return copy;
}

JsonTreeNode* JsonArena::NewNode() {
  JsonTreeNode* node = new (Allocate(sizeof(JsonTreeNode))) JsonTreeNode();
  node->arena = this;
  ++m_nodes;
  return node;
}

void JsonArena::ReleaseNode() {
  if (--m_nodes == 0)
    delete this;
}
