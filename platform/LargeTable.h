// Zeroed memory for large tables that are read at random.
#pragma once

#include <cstddef>

namespace qm {

// A block of `bytes` zero bytes, or null when the system has none. The pages
// are mapped as they are first touched, so a large table whose slots are used
// sparsely costs only what it uses; on Linux it asks for huge pages, so that
// reading the table at random does not miss the address cache on nearly every
// read.
void* MapZeroedTable(size_t bytes);
void UnmapTable(void* block, size_t bytes);

// Tables larger than `bytes` are refused as if the system had no memory for
// them (for tests of what runs without a table); SIZE_MAX lifts the limit.
void SetLargeTableLimit(size_t bytes);

}  // namespace qm
