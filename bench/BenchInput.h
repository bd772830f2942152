// The benchmarks' input script: the file named by QM_BENCH_SCRIPT, else a generator's output.
#pragma once

#include <cstddef>
#include <string>

namespace qm::bench {

// 8-bit script text of `lines` lines (Windows-1251, CR LF), made once and cached.
// When QM_BENCH_SCRIPT names a file, that file is used whatever `lines` says.
// QM_BENCH_GENERATOR chooses the generator: "repeating" (the default, whose
// lines often repeat) or "varied" (whose lines rarely do).
const std::string& ScriptBytes(size_t lines = 1000000);

// True when QM_BENCH_GENERATOR asks for the varied generator.
bool VariedInput();

}  // namespace qm::bench
