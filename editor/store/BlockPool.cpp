// The slab pool of equal blocks.
#include "editor/store/BlockPool.h"

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QM_POISON(at, size) ASAN_POISON_MEMORY_REGION(at, size)
#define QM_UNPOISON(at, size) ASAN_UNPOISON_MEMORY_REGION(at, size)
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define QM_POISON(at, size) ASAN_POISON_MEMORY_REGION(at, size)
#define QM_UNPOISON(at, size) ASAN_UNPOISON_MEMORY_REGION(at, size)
#endif
#endif
#ifndef QM_POISON
#define QM_POISON(at, size) ((void)(at), (void)(size))
#define QM_UNPOISON(at, size) ((void)(at), (void)(size))
#endif

namespace qm {

TBlockPool::TBlockPool(size_t blockSize, size_t blocksPerSlab)
    : blockSize_((blockSize + sizeof(void*) - 1) / sizeof(void*) * sizeof(void*)),
      perSlab_(blocksPerSlab),
      usedInLast_(blocksPerSlab) {}

TBlockPool::~TBlockPool() { Release(); }

void* TBlockPool::Take() {
  if (free_ != nullptr) {
    void* block = free_;
    QM_UNPOISON(block, blockSize_);
    std::memcpy(&free_, block, sizeof free_);
    return block;
  }
  if (usedInLast_ == perSlab_) {
    slabs_.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize_ * perSlab_));
    QM_POISON(slabs_.back().get(), blockSize_ * perSlab_);
    usedInLast_ = 0;
  }
  std::byte* block = slabs_.back().get() + blockSize_ * usedInLast_++;
  QM_UNPOISON(block, blockSize_);
  return block;
}

void TBlockPool::Give(void* block) {
  std::memcpy(block, &free_, sizeof free_);
  free_ = block;
  QM_POISON(block, blockSize_);
}

void TBlockPool::Release() {
  for (const auto& slab : slabs_) QM_UNPOISON(slab.get(), blockSize_ * perSlab_);
  slabs_.clear();
  usedInLast_ = perSlab_;
  free_ = nullptr;
}

}  // namespace qm
