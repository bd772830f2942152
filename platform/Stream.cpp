// Memory streams.
#include "platform/Stream.h"

#include <algorithm>
#include <cstring>

#include "platform/Exceptions.h"

namespace qm {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const int64_t left = std::max<int64_t>(0, Size() - position_);
  const size_t n = std::min<size_t>(count, static_cast<size_t>(left));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  const size_t end = static_cast<size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  if (count > 0) std::memcpy(bytes_.data() + position_, buffer, count);
  position_ = static_cast<int64_t>(end);
}

void TMemoryStream::SetPosition(int64_t position) { position_ = std::max<int64_t>(0, position); }

size_t TReadOnlyMemoryStream::Read(void* buffer, size_t count) {
  const int64_t left = std::max<int64_t>(0, Size() - position_);
  const size_t n = std::min<size_t>(count, static_cast<size_t>(left));
  if (n > 0) std::memcpy(buffer, data_ + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

void TReadOnlyMemoryStream::Write(const void*, size_t) { throw EStreamError("Stream write error"); }

void TReadOnlyMemoryStream::SetPosition(int64_t position) { position_ = std::max<int64_t>(0, position); }

}  // namespace qm
