// What the fuzz targets share: a check that stops the run with a message, and the input read as typed values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qm::fuzz {

// libFuzzer saves the input of any run that aborts; the message says which
// property broke.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

inline void Require(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

// The fuzzer's bytes consumed from the front as small numbers and strings.
class TInput {
 public:
  TInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // A number below n (n > 0).
  uint32_t Below(uint32_t n) {
    const uint32_t v = static_cast<uint32_t>(Byte()) | (static_cast<uint32_t>(Byte()) << 8);
    return v % n;
  }
  // Up to maxLength bytes, the length taken first.
  std::string_view Bytes(size_t maxLength) {
    const size_t want = Byte() % (maxLength + 1);
    const size_t n = std::min(want, size_ - std::min(at_, size_));
    const std::string_view out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace qm::fuzz
