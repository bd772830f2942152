// Starting the benchmark program again as a child, and the first load in a fresh process.
#include "bench/FreshProcess.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "bench/BenchInput.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"
#include "platform/CodePage.h"

namespace qm::bench {

std::vector<double> RunFreshChild(const char* variable) {
  char path[] = "/tmp/qm-bench-script-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return {};
  const std::string& bytes = ScriptBytes();
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  close(fd);
  std::vector<double> numbers;
  if (written) numbers = RunChild(variable, path);
  unlink(path);
  return numbers;
}

std::vector<double> RunChild(const char* variable, const std::string& value) {
  std::vector<double> numbers;
  const std::string command = std::string(variable) + "=" + value + " /proc/" + std::to_string(getpid()) + "/exe";
  if (FILE* child = popen(command.c_str(), "r")) {
    for (double n; std::fscanf(child, "%lf", &n) == 1;) numbers.push_back(n);
    if (pclose(child) != 0) numbers.clear();
  }
  return numbers;
}

int MeasureFirstLoadChild(const char* scriptPath) {
  std::string bytes;
  {
    std::ifstream in(scriptPath, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
  }
  using Clock = std::chrono::steady_clock;
  const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  TPlusMemoU memo;
  const auto loadStart = Clock::now();
  memo.Lines().LoadFromBytes(bytes);
  const double load = ms(Clock::now() - loadStart);
  const auto decodeStart = Clock::now();
  const std::u16string wide = AnsiToWide(bytes);
  const double decode = ms(Clock::now() - decodeStart);
  std::printf("%.3f %.3f %d %zu\n", load, decode, memo.ParagraphCount(), wide.size());
  return 0;
}

}  // namespace qm::bench
