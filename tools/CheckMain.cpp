// quillmark-check: checks Quillmark scripts for structure and vocabulary mistakes from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/CheckCommand.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return qm::RunCheckCommand(args, stdout, stderr);
}
