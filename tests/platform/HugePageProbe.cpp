// A program that starts as Quillmark's programs do, fills 64 MB of heap, and
// says how much of it has huge pages and what its environment holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/HugePageHeap.h"

int main(int /*argc*/, char** argv) {
  qm::UseHugePageHeap(argv);
  constexpr size_t kBytes = size_t{64} << 20;
  auto* block = static_cast<char*>(std::malloc(kBytes));
  if (block == nullptr) return 1;
  std::memset(block, 1, kBytes);
  long hugeKb = 0;
  std::ifstream smaps("/proc/self/smaps_rollup");
  for (std::string line; std::getline(smaps, line);)
    if (line.rfind("AnonHugePages:", 0) == 0) hugeKb = std::strtol(line.c_str() + 14, nullptr, 10);
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const char* marker = std::getenv(qm::kHugePageMarker);
  std::printf("huge=%ld\ntunables=%s\nmarker=%s\n", hugeKb, tunables != nullptr ? tunables : "(unset)",
              marker != nullptr ? marker : "(unset)");
  std::free(block);
  return 0;
}
