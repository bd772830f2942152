// The slab pool: distinct blocks across slabs, given-back blocks reused first, everything freed on release.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "editor/store/BlockPool.h"

namespace qm {
namespace {

TEST(BlockPoolTest, BlocksAreDistinctAlignedAndReused) {
  TBlockPool pool(20, 64);  // rounded up to 24; 64 blocks per slab
  ASSERT_EQ(pool.BlockSize(), 24u);
  std::vector<unsigned char*> blocks;
  for (int i = 0; i < 1000; ++i) {
    auto* b = static_cast<unsigned char*>(pool.Take());
    ASSERT_EQ(reinterpret_cast<uintptr_t>(b) % alignof(void*), 0u);
    std::memset(b, i & 0xFF, pool.BlockSize());
    blocks.push_back(b);
  }
  // No block overlaps another: each still holds its own pattern.
  for (int i = 0; i < 1000; ++i)
    for (size_t k = 0; k < pool.BlockSize(); ++k) ASSERT_EQ(blocks[i][k], i & 0xFF) << i;
  EXPECT_EQ(pool.BytesHeld(), 16u * 64 * 24);  // 1000 blocks fill 16 slabs

  std::set<void*> given;
  for (int i = 0; i < 1000; i += 2) {
    pool.Give(blocks[i]);
    given.insert(blocks[i]);
  }
  for (int i = 0; i < 500; ++i) EXPECT_EQ(given.count(pool.Take()), 1u);
  EXPECT_EQ(pool.BytesHeld(), 16u * 64 * 24);  // nothing new was needed
  EXPECT_EQ(given.count(pool.Take()), 0u);     // the free blocks are used up

  pool.Release();
  EXPECT_EQ(pool.BytesHeld(), 0u);
  EXPECT_NE(pool.Take(), nullptr);
}

}  // namespace
}  // namespace qm
