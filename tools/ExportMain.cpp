// quillmark-export: writes Quillmark scripts as RTF from the command line.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/HugePageHeap.h"
#include "tools/ExportCommand.h"

int main(int argc, char** argv) {
  // A large script fills much fresh heap: have it backed by huge pages.
  qm::UseHugePageHeap(argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  return qm::RunExportCommand(args, stdout, stderr, ::isatty(STDERR_FILENO) != 0);
}
