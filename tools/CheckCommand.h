// The command line of quillmark-check: options, inputs, the report and the exit status.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qm {

inline constexpr int kCheckClean = 0;   // no script holds an error (warnings may be reported)
inline constexpr int kCheckErrors = 1;  // some script holds an error, or could not be read
inline constexpr int kCheckUsage = 2;   // bad options, or the vocabulary cannot be read

// Runs the checker on the arguments (without the program name). The report
// goes to out (or to the -o file), help and version to out, usage errors and
// a report file that cannot be written to err.
int RunCheckCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace qm
