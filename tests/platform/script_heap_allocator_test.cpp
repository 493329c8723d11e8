#include "platform/script_heap_allocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The budget counts exactly the bytes asked for, whichever way a block is
// kept; a refused growth leaves the block as it was.
TEST(ScriptHeapAllocator, TheBudgetCountsTheBytesAskedFor) {
  for (const size_t big : {size_t{600}, size_t{60000}}) {  // pooled, a block of its own
    SCOPED_TRACE(big);
    const size_t limit = big + 400;
    ScriptHeapAllocator memory(limit);
    EXPECT_EQ(memory.Allocate(0), nullptr);
    void* first = memory.Allocate(big);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(memory.Allocate(401), nullptr);
    void* second = memory.Allocate(400);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(memory.Used(), limit);
    EXPECT_EQ(memory.Allocate(1), nullptr);
    std::memset(second, 'x', 400);
    EXPECT_EQ(memory.Reallocate(second, 401), nullptr);
    EXPECT_EQ(static_cast<char*>(second)[399], 'x');
    memory.Free(first);
    EXPECT_EQ(memory.Used(), 400u);
    second = memory.Reallocate(second, limit);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(memory.Used(), limit);
    EXPECT_EQ(static_cast<char*>(second)[399], 'x');
    EXPECT_EQ(memory.Reallocate(second, 0), nullptr);
    EXPECT_EQ(memory.Used(), 0u);
  }
}

// A block keeps its bytes through every change of size: within its slot,
// into a larger slot, out of the slabs and back into them.
TEST(ScriptHeapAllocator, ReallocationKeepsTheBytes) {
  ScriptHeapAllocator memory(size_t{1} << 20);
  void* other = memory.Allocate(24);  // so that a freed slot is not simply taken again
  std::memset(other, 'o', 24);
  auto* block = static_cast<unsigned char*>(memory.Allocate(8));
  ASSERT_NE(block, nullptr);
  size_t size = 8;
  for (size_t i = 0; i < size; ++i)
    block[i] = static_cast<unsigned char>(i);
  for (const size_t next : {size_t{12}, size_t{100}, size_t{40}, size_t{2000}, size_t{5000},
                            size_t{300}, size_t{9000}, size_t{1}}) {
    SCOPED_TRACE(next);
    block = static_cast<unsigned char*>(memory.Reallocate(block, next));
    ASSERT_NE(block, nullptr);
    for (size_t i = 0; i < std::min(size, next); ++i)
      ASSERT_EQ(block[i], static_cast<unsigned char>(i)) << i;
    for (size_t i = size; i < next; ++i)
      block[i] = static_cast<unsigned char>(i);
    size = next;
    EXPECT_EQ(memory.Used(), 24 + size);
  }
  EXPECT_EQ(static_cast<char*>(other)[23], 'o');
  memory.Free(block);
  memory.Free(other);
  EXPECT_EQ(memory.Used(), 0u);
}

// Past the slabs' cap small blocks are still given, each its own; freed
// slots are taken again before any new slab.
TEST(ScriptHeapAllocator, SmallBlocksPastTheSlabCap) {
  ScriptHeapAllocator memory(size_t{64} << 20);
  constexpr size_t kSize = 40;
  const size_t count = ScriptHeapAllocator::kMostSlabBytes / kSize + 1000;
  std::vector<void*> blocks;
  for (size_t i = 0; i < count; ++i) {
    void* block = memory.Allocate(kSize);
    ASSERT_NE(block, nullptr) << i;
    std::memset(block, static_cast<int>(i & 0xFF), kSize);
    blocks.push_back(block);
  }
  EXPECT_EQ(memory.SlabBytes(), ScriptHeapAllocator::kMostSlabBytes);
  EXPECT_EQ(memory.Used(), count * kSize);
  for (size_t i = 0; i < count; ++i)
    ASSERT_EQ(static_cast<unsigned char*>(blocks[i])[kSize - 1], i & 0xFF) << i;
  for (void* block : blocks)
    memory.Free(block);
  EXPECT_EQ(memory.Used(), 0u);
  for (size_t i = 0; i < count / 2; ++i)
    blocks[i] = memory.Allocate(kSize);
  EXPECT_EQ(memory.SlabBytes(), ScriptHeapAllocator::kMostSlabBytes);
  for (size_t i = 0; i < count / 2; ++i)
    memory.Free(blocks[i]);
}

}  // namespace
