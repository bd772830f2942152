// Counts heap allocations made through operator new in the benchmark binary.
#pragma once

#include <cstdint>

namespace qm::bench {

uint64_t AllocationCount();

}  // namespace qm::bench
