// The editor's command line: a script to open, --help, --version, and the usage errors.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qm {

// What the command line asks of the program.
enum class TProgramRequest { Run, Help, Version, UsageError };

struct TProgramArguments {
  TProgramRequest Request = TProgramRequest::Run;
  std::string Script;  // the script to open as given (bytes of the system), "" for none
  std::string Error;   // what is wrong, for a usage error
};

// Reads the arguments after the program's name. "-h"/"--help" and
// "--version" win over everything else given, so that they answer even
// beside options only the toolkit knows; after "--" every argument is a
// file name. At most one script; an empty name, "-" and unknown options are
// usage errors.
TProgramArguments ReadProgramArguments(const std::vector<std::string>& args);

// Answers a request that needs no window: the help or the version on out,
// a usage error on err. Returns the exit status (0, or 2 for a usage error).
int AnswerWithoutWindow(const TProgramArguments& arguments, std::FILE* out, std::FILE* err);

}  // namespace qm
