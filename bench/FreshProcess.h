// Measurements that need a fresh process: the benchmark program starts itself again as a child.
#pragma once

#include <string>
#include <vector>

namespace qm::bench {

// Writes the benchmarks' script to a temporary file, runs this program again
// with the environment variable `variable` naming that file, and returns the
// numbers the child printed on standard output; empty when it failed.
std::vector<double> RunFreshChild(const char* variable);
// Runs this program again with variable=value in its environment, in the
// current folder; the numbers it printed, empty when it failed.
std::vector<double> RunChild(const char* variable, const std::string& value);

// The children, chosen by main from their environment variables.
// QM_BENCH_MEMORY_CHILD: load and highlight the script; print the peak and
// the final resident memory (kilobytes).
int MeasureMemoryChild(const char* scriptPath);
// QM_BENCH_FIRST_LOAD_CHILD: read the script's bytes as the open command
// does, load them into an editor, then decode them alone into a new string;
// print both times (milliseconds).
int MeasureFirstLoadChild(const char* scriptPath);
// QM_BENCH_START_CHILD: start as the program starts, in the current folder,
// without waiting for the splash; print the monotonic clock (nanoseconds)
// when the script editor is first painted.
int MeasureStartChild();

}  // namespace qm::bench
