// Blocks of one size carved from large slabs, for records that a text holds by the million.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace qm {

// Every highlighted paragraph of a script gets a small record of its own;
// taking them from slabs spares the allocator a call per paragraph and its
// bookkeeping per block. A block given back is reused before the slab grows.
// The slabs are freed with the pool, or by Release once no block is in use.
// Under AddressSanitizer the blocks not in use are poisoned, so a record read
// after it was given back is reported as it would be with the allocator.
class TBlockPool {
 public:
  // blockSize is rounded up to a multiple of the pointer size.
  explicit TBlockPool(size_t blockSize, size_t blocksPerSlab = 4096);
  ~TBlockPool();
  TBlockPool(const TBlockPool&) = delete;
  TBlockPool& operator=(const TBlockPool&) = delete;

  size_t BlockSize() const { return blockSize_; }
  void* Take();
  void Give(void* block);
  // Frees every slab; no block taken before may be used after.
  void Release();
  // Bytes of all slabs.
  size_t BytesHeld() const { return slabs_.size() * blockSize_ * perSlab_; }

 private:
  size_t blockSize_;
  size_t perSlab_;
  std::vector<std::unique_ptr<std::byte[]>> slabs_;
  size_t usedInLast_;
  void* free_ = nullptr;  // given-back blocks, linked through their first word
};

}  // namespace qm
