// TDynArray2: an array of fixed-size records in 32 KB chunks; records never move when it grows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

class TDynArray2 {
 public:
  static constexpr int kChunkBytes = 32768;

  // itemSize bytes are copied per record; records lie itemStride bytes apart.
  TDynArray2(uint16_t itemSize, uint16_t itemStride);
  virtual ~TDynArray2();
  TDynArray2(const TDynArray2&) = delete;
  TDynArray2& operator=(const TDynArray2&) = delete;

  // Address of record i; raises ERangeError outside 0 … Count-1.
  uint8_t* Items(int i) const {
    // Passes ask for the same record, or one near it, many times in a row:
    // the chunk of the last record asked for answers without a division.
    const uint32_t inChunk = static_cast<uint32_t>(i) - lastChunkFirst_;
    if (inChunk < ItemsPerChunk && static_cast<unsigned>(i) < static_cast<unsigned>(Count))
      return lastChunk_ + inChunk * ItemStride;
    return ItemsSlow(i);
  }
  // Address of record i without the range check (callers that walk known ranges).
  uint8_t* ItemAt(int i) const {
    const uint32_t chunk = ChunkOf(static_cast<uint32_t>(i));
    return Chunks[chunk] + (static_cast<uint32_t>(i) - chunk * ItemsPerChunk) * ItemStride;
  }

  // Below 0 becomes 0; growing allocates whole chunks, shrinking keeps them.
  void SetCount(int n);
  // Keeps (n-1) div ItemsPerChunk + 1 chunks.
  void SetCapacity(int n);

  int Add(const void* record);
  void GetItem(int i, void* record) const;
  void PutItem(int i, const void* record);

  // Opens n records at index (contents undefined) or removes n records there,
  // moving the later records chunk by chunk.
  void InsertItems(int index, int n);
  void DeleteItems(int index, int n);

  // Calls fn(record) for records from..to-1, walking chunk by chunk.
  template <typename Fn>
  void ForRange(int from, int to, Fn&& fn) const {
    while (from < to) {
      const int chunk = from / ItemsPerChunk;
      const int inChunk = from % ItemsPerChunk;
      const int stop = std::min(to - from, ItemsPerChunk - inChunk);
      uint8_t* p = Chunks[static_cast<size_t>(chunk)] + inChunk * ItemStride;
      for (int k = 0; k < stop; ++k, p += ItemStride) fn(p);
      from += stop;
    }
  }

  // Bytes held by the chunks.
  size_t AllocatedBytes() const { return Chunks.size() * static_cast<size_t>(kChunkBytes); }

  const uint16_t ItemSize;
  const uint16_t ItemStride;
  std::vector<uint8_t*> Chunks;
  int Count = 0;
  int Capacity = 0;
  const uint16_t ItemsPerChunk;

 private:
  uint8_t* ItemsSlow(int i) const;
  // No index lies in the forgotten chunk (index - kNoChunk is never below ItemsPerChunk for a record).
  static constexpr uint32_t kNoChunk = 0x80000000u;
  void ForgetLast() { lastChunkFirst_ = kNoChunk; }
  mutable uint32_t lastChunkFirst_ = kNoChunk;  // index of the first record of lastChunk_
  mutable uint8_t* lastChunk_ = nullptr;
  // i div ItemsPerChunk by a multiplication: every record access needs it.
  uint32_t ChunkOf(uint32_t i) const {
    uint32_t q = static_cast<uint32_t>((static_cast<uint64_t>(i) * chunkReciprocal_) >> 40);
    if (q * ItemsPerChunk > i)
      --q;
    else if ((q + 1) * ItemsPerChunk <= i)
      ++q;
    return q;
  }
  void MoveRecords(int dst, int src, int n);
  uint64_t chunkReciprocal_ = 0;
};

}  // namespace qm
