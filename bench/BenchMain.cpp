// main of quillmark-bench: the benchmarks, or a memory measurement in a fresh process.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/FreshProcess.h"

int main(int argc, char** argv) {
  if (const char* script = std::getenv("QM_BENCH_MEMORY_CHILD")) return qm::bench::MeasureMemoryChild(script);
  if (const char* script = std::getenv("QM_BENCH_FIRST_LOAD_CHILD")) return qm::bench::MeasureFirstLoadChild(script);
  if (std::getenv("QM_BENCH_START_CHILD") != nullptr) return qm::bench::MeasureStartChild();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
