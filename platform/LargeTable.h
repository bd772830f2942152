// Zeroed memory for large tables that are read at random, and huge pages for large buffers.
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

// Asks for huge pages behind the part of [data, data + bytes) that whole huge
// pages cover, before the memory is first written. A freshly allocated
// buffer of tens of megabytes otherwise costs a page fault per 4 KB as it is
// filled, which on some machines takes longer than filling it.
void AdviseHugePages(void* data, size_t bytes);

}  // namespace qm
