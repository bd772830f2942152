// TDynArray2: chunk addressing, stable records while growing, moves across chunks, range errors.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "editor/store/DynArray.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

int32_t ValueAt(const TDynArray2& a, int i) {
  int32_t v;
  std::memcpy(&v, a.Items(i), 4);
  return v;
}

TEST(DynArray, ParagraphGeometryAndStableAddresses) {
  TDynArray2 a(17, 18);
  uint8_t* fifth = nullptr;
  EXPECT_EQ(a.ItemsPerChunk, 1820);
  EXPECT_EQ(a.Capacity, 1820);
  uint8_t record[17] = {};
  for (int32_t i = 0; i < 5000; ++i) {
    std::memcpy(record, &i, 4);
    a.Add(record);
    if (i == 9) fifth = a.Items(5);
  }
  EXPECT_EQ(a.Items(5), fifth) << "growing must not move records";
  EXPECT_EQ(a.Chunks.size(), 3u);
  EXPECT_EQ(a.Items(1820), a.Chunks[1]);
  EXPECT_EQ(ValueAt(a, 4999), 4999);
}

TEST(DynArray, RangeErrorsAndCountRules) {
  TDynArray2 a(4, 4);
  EXPECT_THROW(a.Items(0), ERangeError);
  a.SetCount(-3);
  EXPECT_EQ(a.Count, 0);
  a.SetCount(20000);
  EXPECT_EQ(a.Chunks.size(), 3u);
  a.SetCount(10);
  EXPECT_EQ(a.Chunks.size(), 3u) << "shrinking keeps chunks";
  EXPECT_THROW(a.Items(10), ERangeError);
  a.SetCapacity(1);
  EXPECT_EQ(a.Chunks.size(), 1u);
  EXPECT_EQ(a.Capacity, 8192);
}

TEST(DynArray, InsertAndDeleteAcrossChunksMatchVector) {
  TDynArray2 a(4, 4);
  std::vector<int32_t> model;
  std::mt19937 rng(7);
  int32_t next = 0;
  for (int step = 0; step < 400; ++step) {
    const int count = static_cast<int>(model.size());
    if (count < 100 || rng() % 2) {
      const int at = static_cast<int>(rng() % (count + 1));
      const int n = static_cast<int>(rng() % 9000);
      a.InsertItems(at, n);
      for (int k = 0; k < n; ++k) std::memcpy(a.Items(at + k), &next, 4);
      model.insert(model.begin() + at, static_cast<size_t>(n), next++);
    } else {
      const int at = static_cast<int>(rng() % count);
      const int n = static_cast<int>(rng() % (count - at + 1));
      a.DeleteItems(at, n);
      model.erase(model.begin() + at, model.begin() + at + n);
    }
    ASSERT_EQ(a.Count, static_cast<int>(model.size()));
  }
  for (int i = 0; i < a.Count; ++i) ASSERT_EQ(ValueAt(a, i), model[static_cast<size_t>(i)]) << i;
}

}  // namespace
}  // namespace qm
