// Entry points of the benchmark program besides the benchmarks themselves.
#pragma once

namespace qm::bench {

// Loads and highlights the script at scriptPath in this fresh process and
// prints its peak and final resident memory (kilobytes) on standard output.
int MeasureMemoryChild(const char* scriptPath);

}  // namespace qm::bench
