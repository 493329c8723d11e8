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

JsonArena* JsonArena::Create(size_t inputUnits) {
  // A parsed tree takes about four bytes per unit of its text.
  const size_t expectedBytes = inputUnits > kMaxBlock ? kMaxBlock : inputUnits * 4;
  return new JsonArena(std::clamp(Rounded(expectedBytes), kMinBlock, kMaxBlock), inputUnits);
}

void JsonArena::Unhold() {
  m_held = false;
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
    m_blockBytes += bytes;
    return m_blocks.back();
  }
  const size_t size = NewBlockSize(bytes);
  m_blocks.push_back(size == kMaxBlock ? TakeBlock() : ::operator new(size));
  m_blockSizes.push_back(size);
  m_blockBytes += size;
  m_cursor = static_cast<char*>(m_blocks.back());
  m_end = m_cursor + size;
  m_nextBlock = std::min(m_nextBlock * 2, kMaxBlock);
  void* at = m_cursor;
  m_cursor += bytes;
  return at;
}

size_t JsonArena::NewBlockSize(size_t bytes) const {
  // The first block has nothing to go by yet.
  if (m_inputRead == 0 || m_blockBytes == 0)
    return m_nextBlock;
  const size_t used = m_blockBytes - static_cast<size_t>(m_end - m_cursor);
  const size_t rest = m_inputUnits - std::min(m_inputRead, m_inputUnits);
  const double expected =
      static_cast<double>(used) * static_cast<double>(rest) / static_cast<double>(m_inputRead);
  // An eighth to spare, whole kilobytes.
  const double wanted = static_cast<double>(bytes) + expected * 9 / 8;
  if (wanted >= static_cast<double>(m_nextBlock))
    return m_nextBlock;
  const size_t size = (static_cast<size_t>(wanted) + kMinBlock - 1) / kMinBlock * kMinBlock;
  return std::max(size, kMinBlock);
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
  if (--m_nodes == 0 && !m_held)
    delete this;
}
