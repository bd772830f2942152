// Zeroed memory for large tables, mapped from the system.
#include "platform/LargeTable.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>

namespace qm {
namespace {

std::atomic<size_t> limit{SIZE_MAX};

}  // namespace

void SetLargeTableLimit(size_t bytes) { limit = bytes; }

void* MapZeroedTable(size_t bytes) {
  if (bytes == 0 || bytes > limit) return nullptr;
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
#if defined(MADV_HUGEPAGE)
  // Only a hint: without huge pages the table works the same, a little slower.
  madvise(block, bytes, MADV_HUGEPAGE);
#endif
  return block;
}

void AdviseHugePages(void* data, size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<uintptr_t>(data);
  const uintptr_t from = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t to = (begin + bytes) & ~(kHugePage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

void UnmapTable(void* block, size_t bytes) {
  if (block != nullptr) munmap(block, bytes);
}

}  // namespace qm
