// The command line of quillmark-export: options, inputs, outputs, messages and exit status.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qm {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;  // some script could not be written; the others were
inline constexpr int kExitUsage = 2;       // bad options, or the vocabulary or settings cannot be read

// Runs the exporter on the arguments (without the program name). RTF for
// "-o -" goes to out; help and version to out; every failure as one line
// "quillmark-export: <file>: <reason>" to err, and a progress line to err
// when `progress` is set (a terminal) and the batch is long.
int RunExportCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, bool progress);

}  // namespace qm
