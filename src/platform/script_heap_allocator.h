#pragma once
// The memory of one script engine heap (script_control.h): a budget on the
// bytes the engine asks for, and the engine's many small blocks cut out of a
// few large slabs.
//
// The budget counts exactly the bytes asked for: a block or a growth that
// would take the total above the limit fails, whatever the blocks really
// take, and a freed or shrunk block gives its bytes back.
//
// A fresh heap alone asks for well over a thousand blocks, nearly all of them
// small; each taken from the general allocator made and dropped a heap cost as
// much as the work done in it. A block of up to kLargestSlot bytes (with its
// header) goes into a slot of a slab, its size rounded up to 16 bytes; a freed
// slot goes on the free list of its size for the next block of that size, and
// the slabs go with the allocator. The slabs of one allocator are capped at
// kMostSlabBytes: past that, and for larger blocks, each block is an
// allocation of its own, so what freed slots hold stays bounded however the
// sizes a heap asks for shift.
//
// In AddressSanitizer builds a free slot and the bytes of a slot past its
// block are poisoned (with a gap behind every block), so a read past a block
// or of a freed one is still caught.
//
// One allocator belongs to one heap and so to one thread.

#include <cstddef>
#include <cstdint>

class ScriptHeapAllocator {
 public:
  static constexpr std::size_t kSlabBytes = std::size_t{64} << 10;
  static constexpr std::size_t kMostSlabBytes = std::size_t{4} << 20;
  static constexpr std::size_t kLargestSlot = 2048;

  explicit ScriptHeapAllocator(std::size_t limit) : m_limit(limit) {}
  ~ScriptHeapAllocator();
  ScriptHeapAllocator(const ScriptHeapAllocator&) = delete;
  ScriptHeapAllocator& operator=(const ScriptHeapAllocator&) = delete;

  // A block of `size` bytes aligned for any type; null for size 0, past the
  // budget or when memory runs out.
  void* Allocate(std::size_t size);
  // The block grown or shrunk to `size`, its bytes kept up to the smaller
  // size (maybe moved); null with the block unchanged when that fails. A null
  // block is allocated; size 0 frees the block and gives null.
  void* Reallocate(void* block, std::size_t size);
  void Free(void* block);

  // The bytes asked for by the blocks held now.
  std::size_t Used() const { return m_used; }
  // The bytes of slabs taken so far.
  std::size_t SlabBytes() const { return m_slabCount * kSlabBytes; }

 private:
  struct Header;
  static constexpr std::size_t kGranule = 16;
  static constexpr std::size_t kSlotSizes = kLargestSlot / kGranule + 1;

  // A block of `size` bytes without the budget's count; null on failure.
  Header* Take(std::size_t size);
  // Puts a block's memory back (without the budget's count).
  void Release(Header* header);
  void AddSlab();
  // A block changing from `from` to `to` bytes in its slot: the bytes it
  // gains opened, those it loses poisoned (AddressSanitizer builds).
  static void Mark(Header* header, std::size_t from, std::size_t to);

  std::size_t m_limit;
  std::size_t m_used = 0;
  Header* m_free[kSlotSizes] = {};
  void* m_slabs = nullptr;  // every slab starts with the address of the one made before it
  std::size_t m_slabCount = 0;
  char* m_bump = nullptr;  // the unused rest of the newest slab
  char* m_bumpEnd = nullptr;
};
