// Chunked record array.
#include "editor/store/DynArray.h"

#include <cstring>

#include "platform/Exceptions.h"

namespace qm {

TDynArray2::TDynArray2(uint16_t itemSize, uint16_t itemStride)
    : ItemSize(itemSize), ItemStride(itemStride), ItemsPerChunk(static_cast<uint16_t>(kChunkBytes / itemStride)) {
  chunkReciprocal_ = ((uint64_t{1} << 40) / ItemsPerChunk) + 1;
  SetCapacity(1);
}

TDynArray2::~TDynArray2() {
  for (uint8_t* c : Chunks) delete[] c;
}

uint8_t* TDynArray2::ItemsSlow(int i) const {
  if (i < 0 || i >= Count) throw ERangeError();
  const uint32_t chunk = ChunkOf(static_cast<uint32_t>(i));
  lastChunk_ = Chunks[chunk];
  lastChunkFirst_ = chunk * ItemsPerChunk;
  return lastChunk_ + (static_cast<uint32_t>(i) - lastChunkFirst_) * ItemStride;
}

void TDynArray2::SetCount(int n) {
  if (n < 0) n = 0;
  if (n > Capacity) {
    while (Capacity < n) {
      Chunks.push_back(new uint8_t[kChunkBytes]);
      Capacity += ItemsPerChunk;
    }
  }
  Count = n;
}

void TDynArray2::SetCapacity(int n) {
  ForgetLast();
  const int chunks = (std::max(n, 1) - 1) / ItemsPerChunk + 1;
  while (static_cast<int>(Chunks.size()) > chunks) {
    delete[] Chunks.back();
    Chunks.pop_back();
  }
  while (static_cast<int>(Chunks.size()) < chunks) Chunks.push_back(new uint8_t[kChunkBytes]);
  Capacity = chunks * ItemsPerChunk;
  if (Count > Capacity) Count = Capacity;
}

int TDynArray2::Add(const void* record) {
  SetCount(Count + 1);
  std::memcpy(ItemAt(Count - 1), record, ItemSize);
  return Count - 1;
}

void TDynArray2::GetItem(int i, void* record) const { std::memcpy(record, Items(i), ItemSize); }

void TDynArray2::PutItem(int i, const void* record) { std::memcpy(Items(i), record, ItemSize); }

// Moves n records from index src to index dst; the ranges may overlap.
void TDynArray2::MoveRecords(int dst, int src, int n) {
  if (n <= 0 || dst == src) return;
  // Copy in pieces that are contiguous in both source and destination, from
  // the end when moving up so that overlapping records are read before written.
  const bool up = dst > src;
  int done = 0;
  while (done < n) {
    const int left = n - done;
    const int s = up ? src + left - 1 : src + done;
    const int d = up ? dst + left - 1 : dst + done;
    int piece;
    if (up) {
      piece = std::min({left, s % ItemsPerChunk + 1, d % ItemsPerChunk + 1});
      std::memmove(ItemAt(d - piece + 1), ItemAt(s - piece + 1), static_cast<size_t>(piece) * ItemStride);
    } else {
      piece = std::min({left, ItemsPerChunk - s % ItemsPerChunk, ItemsPerChunk - d % ItemsPerChunk});
      std::memmove(ItemAt(d), ItemAt(s), static_cast<size_t>(piece) * ItemStride);
    }
    done += piece;
  }
}

void TDynArray2::InsertItems(int index, int n) {
  if (n <= 0) return;
  ForgetLast();
  if (index < 0 || index > Count) throw ERangeError();
  const int old = Count;
  SetCount(Count + n);
  MoveRecords(index + n, index, old - index);
}

void TDynArray2::DeleteItems(int index, int n) {
  if (n <= 0) return;
  ForgetLast();
  if (index < 0 || index + n > Count) throw ERangeError();
  MoveRecords(index, index + n, Count - index - n);
  Count -= n;
}

}  // namespace qm
