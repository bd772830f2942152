// Benchmarks of highlighting on the main window's chain: a whole script, its memory, and a typed character.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "bench/BenchChain.h"
#include "bench/BenchInput.h"
#include "bench/FreshProcess.h"
#include "bench/VocabGenerator.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/highlight/Scan.h"
#include "platform/CodePage.h"

namespace qm::bench {
namespace {

void Configure(TPlusMemoU& memo, THighlighterChain& chain) {
  memo.WordWrap = false;
  memo.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  memo.SetHighlighter(chain.First());
}

void LoadScript(TPlusMemoU& memo, const std::string& bytes) {
  TAnsiDecodingStream stream(bytes.data(), bytes.size());
  memo.LoadFromStream(stream);
}

// Spans, keywords and numbers of the whole script with the speed layers
// given; lines per second.
void HighlightAllWith(benchmark::State& state, const scan::TSpeedLayers& layers) {
  auto chain = BenchChain();
  const std::string& bytes = ScriptBytes();
  int lines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto memo = std::make_unique<TPlusMemoU>();
    Configure(*memo, *chain);
    LoadScript(*memo, bytes);
    state.ResumeTiming();
    scan::HighlightAll(*memo, layers);
    lines = memo->ParagraphCount();
    state.PauseTiming();
    memo.reset();
    state.ResumeTiming();
  }
  state.counters["lines_per_second"] = benchmark::Counter(
      static_cast<double>(lines) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_HighlightAll(benchmark::State& state) { HighlightAllWith(state, scan::TSpeedLayers{}); }
BENCHMARK(BM_HighlightAll)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same without the repeated-lines table, the other layers on.
void BM_HighlightAllNoTable(benchmark::State& state) {
  scan::TSpeedLayers layers;
  layers.RepeatedLines = false;
  HighlightAllWith(state, layers);
}
BENCHMARK(BM_HighlightAllNoTable)->Unit(benchmark::kMillisecond)->Iterations(2);

// The plain passes: every speed layer off.
void BM_HighlightAllPlain(benchmark::State& state) { HighlightAllWith(state, scan::TSpeedLayers::AllOff()); }
BENCHMARK(BM_HighlightAllPlain)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

// The measurement of a fresh process (the benchmark starts this program again
// with QM_BENCH_MEMORY_CHILD naming the script file): read the 8-bit file,
// load it, let go of the file's bytes, highlight everything, and report the
// peak and the final resident memory in kilobytes on standard output.
int MeasureMemoryChild(const char* scriptPath) {
  auto chain = BenchChain();
  TPlusMemoU memo;
  Configure(memo, *chain);
  {
    std::ifstream in(scriptPath, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    LoadScript(memo, all.str());
  }
  scan::HighlightAll(memo);
  malloc_trim(0);
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld %ld\n", usage.ru_maxrss, ResidentKilobytes());
  return 0;
}

namespace {

// Peak resident memory of a fresh process that loads and fully highlights the script.
void BM_MemoryHighlighted(benchmark::State& state) {
  std::vector<double> numbers;
  for (auto _ : state) numbers = RunFreshChild("QM_BENCH_MEMORY_CHILD");
  if (numbers.size() != 2) {
    state.SkipWithError("the child failed");
    return;
  }
  state.counters["peak_rss_mb"] = numbers[0] / 1024.0;
  state.counters["rss_after_mb"] = numbers[1] / 1024.0;
}
BENCHMARK(BM_MemoryHighlighted)->Unit(benchmark::kMillisecond)->Iterations(1);

// One character typed inside a word in the middle of the highlighted script,
// with the repair; the next iteration deletes it again.
void TypeInMiddle(benchmark::State& state, bool highlighted) {
  auto chain = BenchChain();
  TPlusMemoU memo;
  if (highlighted) Configure(memo, *chain);
  LoadScript(memo, ScriptBytes());
  if (highlighted) scan::HighlightAll(memo);
  // A paragraph in the middle with a word of at least three letters.
  int par = memo.ParagraphCount() / 2;
  int32_t at = -1;
  for (; par < memo.ParagraphCount() && at < 0; ++par) {
    const std::u16string text = memo.ParagraphText(par);
    for (size_t i = 0; i + 2 < text.size(); ++i)
      if (std::isalpha(text[i]) && std::isalpha(text[i + 1]) && std::isalpha(text[i + 2])) {
        at = memo.ParagraphStart(par) + static_cast<int32_t>(i) + 1;
        break;
      }
  }
  bool insert = true;
  for (auto _ : state) {
    if (insert)
      memo.ReplaceRange(at, at, u"x");
    else
      memo.ReplaceRange(at, at + 1, u"");
    insert = !insert;
  }
}

void BM_TypeInHighlighted(benchmark::State& state) { TypeInMiddle(state, true); }
BENCHMARK(BM_TypeInHighlighted)->Unit(benchmark::kMicrosecond);

// The same edit without highlighting: the store's own cost.
void BM_TypeInPlain(benchmark::State& state) { TypeInMiddle(state, false); }
BENCHMARK(BM_TypeInPlain)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench
