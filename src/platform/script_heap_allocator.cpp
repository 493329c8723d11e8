#include "platform/script_heap_allocator.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLMERE_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLMERE_POISONING 1
#endif
#endif

// What the allocator does follows the heap's own needs, not a fuzz target's
// input, so coverage-guided fuzz builds (clang) leave it uninstrumented:
// its branches tell the fuzzer nothing, and it runs thousands of times for
// each fresh heap. The sanitizers still check it.
#if defined(__clang__)
#define QUILLMERE_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define QUILLMERE_NO_COVERAGE
#endif

namespace {

// Poisoned bytes behind every pooled block, so a read past its end is caught
// even when the slot fits the block exactly.
#ifdef QUILLMERE_POISONING
constexpr std::size_t kGap = 16;
#else
constexpr std::size_t kGap = 0;
#endif

QUILLMERE_NO_COVERAGE std::size_t RoundUp(std::size_t bytes, std::size_t granule) {
  return (bytes + granule - 1) / granule * granule;
}

}  // namespace

// In front of every block: what the budget counts for it and where it lives.
struct alignas(std::max_align_t) ScriptHeapAllocator::Header {
  union {
    std::size_t size;  // in use: the bytes asked for
    Header* next;      // on a free list: the next free slot of that size
  };
  std::uint32_t slotBytes;  // the slot, header included; 0 for a block of its own
};

ScriptHeapAllocator::~ScriptHeapAllocator() {
  while (m_slabs != nullptr) {
    void* before = nullptr;
    std::memcpy(&before, m_slabs, sizeof before);
    ASAN_UNPOISON_MEMORY_REGION(m_slabs, kSlabBytes);
    std::free(m_slabs);
    m_slabs = before;
  }
}

QUILLMERE_NO_COVERAGE void ScriptHeapAllocator::Mark(Header* header, std::size_t from,
                                                     std::size_t to) {
  auto* block = reinterpret_cast<char*>(header + 1);
  if (to > from) {
    ASAN_UNPOISON_MEMORY_REGION(block + from, to - from);
  } else {
    ASAN_POISON_MEMORY_REGION(block + to, from - to);
  }
}

QUILLMERE_NO_COVERAGE ScriptHeapAllocator::Header* ScriptHeapAllocator::Take(std::size_t size) {
  static_assert(
      sizeof(Header) == kGranule && kLargestSlot % kGranule == 0 && kSlabBytes % kGranule == 0,
      "every slot keeps the alignment of its slab");
  const std::size_t needed = sizeof(Header) + size + kGap;
  if (needed <= kLargestSlot) {
    // A free slot's bytes past its header are poisoned, as is a slab's unused
    // rest: only the new block needs opening.
    const std::size_t slot = RoundUp(needed, kGranule);
    Header*& free = m_free[slot / kGranule];
    Header* header = free;
    if (header != nullptr) {
      free = header->next;
      Mark(header, 0, size);
      return header;
    }
    if (static_cast<std::size_t>(m_bumpEnd - m_bump) < slot && SlabBytes() < kMostSlabBytes)
      AddSlab();
    if (static_cast<std::size_t>(m_bumpEnd - m_bump) >= slot) {
      ASAN_UNPOISON_MEMORY_REGION(m_bump, sizeof(Header) + size);
      header = reinterpret_cast<Header*>(m_bump);
      header->slotBytes = static_cast<std::uint32_t>(slot);
      m_bump += slot;
      return header;
    }
  }
  auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
  if (header != nullptr)
    header->slotBytes = 0;
  return header;
}

// The rest of the newest slab, smaller than the slot wanted, stays unused.
QUILLMERE_NO_COVERAGE void ScriptHeapAllocator::AddSlab() {
  void* slab = std::malloc(kSlabBytes);
  if (slab == nullptr)
    return;
  std::memcpy(slab, &m_slabs, sizeof m_slabs);
  m_slabs = slab;
  ++m_slabCount;
  m_bump = static_cast<char*>(slab) + kGranule;
  m_bumpEnd = static_cast<char*>(slab) + kSlabBytes;
  ASAN_POISON_MEMORY_REGION(m_bump, kSlabBytes - kGranule);
}

QUILLMERE_NO_COVERAGE void ScriptHeapAllocator::Release(Header* header) {
  if (header->slotBytes == 0) {
    std::free(header);
    return;
  }
  Header*& free = m_free[header->slotBytes / kGranule];
  header->next = free;
  free = header;
  ASAN_POISON_MEMORY_REGION(header + 1, header->slotBytes - sizeof(Header));
}

QUILLMERE_NO_COVERAGE void* ScriptHeapAllocator::Allocate(std::size_t size) {
  if (size == 0 || size > m_limit - m_used)
    return nullptr;
  Header* header = Take(size);
  if (header == nullptr)
    return nullptr;
  header->size = size;
  m_used += size;
  return header + 1;
}

QUILLMERE_NO_COVERAGE void ScriptHeapAllocator::Free(void* block) {
  if (block == nullptr)
    return;
  Header* header = static_cast<Header*>(block) - 1;
  m_used -= header->size;
  Release(header);
}

QUILLMERE_NO_COVERAGE void* ScriptHeapAllocator::Reallocate(void* block, std::size_t size) {
  if (block == nullptr)
    return Allocate(size);
  if (size == 0) {
    Free(block);
    return nullptr;
  }
  Header* header = static_cast<Header*>(block) - 1;
  const std::size_t old = header->size;
  if (size > old && size - old > m_limit - m_used)
    return nullptr;
  if (header->slotBytes == 0) {
    auto* grown = static_cast<Header*>(std::realloc(header, sizeof(Header) + size));
    if (grown == nullptr)
      return nullptr;
    header = grown;
  } else if (sizeof(Header) + size + kGap <= header->slotBytes) {
    Mark(header, old, size);
  } else {
    Header* moved = Take(size);
    if (moved == nullptr)
      return nullptr;
    std::memcpy(moved + 1, header + 1, std::min(old, size));
    Release(header);
    header = moved;
  }
  header->size = size;
  m_used = m_used - old + size;
  return header + 1;
}
