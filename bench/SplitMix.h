// splitmix64: the generators' random numbers, the same sequence on every platform and compiler.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qm::bench {

class TSplitMix {
 public:
  explicit TSplitMix(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number below n, by multiplication rather than a modulo.
  uint32_t Below(size_t n) { return static_cast<uint32_t>(((Next() >> 32) * n) >> 32); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

 private:
  uint64_t state_;
};

}  // namespace qm::bench
