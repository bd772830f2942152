// Benchmarks of the paragraph store: load against iconv alone, memory per paragraph, a typed character.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <memory>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/BenchInput.h"
#include "bench/FreshProcess.h"
#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"

namespace qm::bench {
namespace {

// The baseline: iconv alone turning the 8-bit file into UTF-16.
void BM_IconvOnly(benchmark::State& state) {
  const std::string& bytes = ScriptBytes();
  std::vector<char16_t> out(bytes.size() + 16);
  iconv_t cd = iconv_open("UTF-16LE", "CP1251");
  for (auto _ : state) {
    char* src = const_cast<char*>(bytes.data());
    size_t srcLeft = bytes.size();
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = out.size() * 2;
    iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_IconvOnly)->Unit(benchmark::kMillisecond);

// The 8-bit file into the store: converted through the code page as the load reads it.
void BM_Load(benchmark::State& state) {
  const std::string& bytes = ScriptBytes();
  uint64_t allocations = 0;
  int paragraphs = 0;
  for (auto _ : state) {
    auto memo = std::make_unique<TPlusMemoU>();
    const uint64_t before = AllocationCount();
    TAnsiDecodingStream stream(bytes.data(), bytes.size());
    memo->LoadFromStream(stream);
    allocations = AllocationCount() - before;
    paragraphs = memo->ParagraphCount();
    state.PauseTiming();
    memo.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["paragraphs"] = paragraphs;
  state.counters["allocs_per_1000_paragraphs"] = 1000.0 * static_cast<double>(allocations) / paragraphs;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// The first load of the script in a fresh process, as a user opens a file
// once, against the plain decode of the same bytes in that process; both pay
// for memory touched for the first time.
void BM_FirstLoad(benchmark::State& state) {
  double load = 0;
  double decode = 0;
  for (auto _ : state) {
    const std::vector<double> numbers = RunFreshChild("QM_BENCH_FIRST_LOAD_CHILD");
    if (numbers.size() != 4) {
      state.SkipWithError("the child failed");
      return;
    }
    load += numbers[0];
    decode += numbers[1];
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["load_ms"] = load / runs;
  state.counters["decode_ms"] = decode / runs;
  state.counters["load_per_decode"] = load / decode;
}
BENCHMARK(BM_FirstLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// Bytes the store holds per paragraph beyond 2 bytes per character of the text
// (characters counted as positions: each break counts as its CR LF).
void BM_MemoryPerParagraph(benchmark::State& state) {
  const std::string& bytes = ScriptBytes();
  const std::u16string wide = AnsiToWide(bytes);
  double overhead = 0;
  double overheadWithoutBreaks = 0;
  for (auto _ : state) {
    TPlusMemoU memo;
    TReadOnlyMemoryStream stream(wide.data(), wide.size() * 2);
    memo.LoadFromStream(stream);
    const TParagraphsList& list = memo.Paragraphs();
    const double used = static_cast<double>(list.MemoryUsed());
    const double positions = list.TextLength;
    const double characters = positions - 2.0 * (list.Count - 1);
    overhead = (used - 2.0 * positions) / list.Count;
    overheadWithoutBreaks = (used - 2.0 * characters) / list.Count;
  }
  state.counters["bytes_per_paragraph"] = overhead;
  state.counters["bytes_per_paragraph_breaks_as_overhead"] = overheadWithoutBreaks;
}
BENCHMARK(BM_MemoryPerParagraph)->Unit(benchmark::kMillisecond)->Iterations(1);

// One typed character in the middle paragraph of a text of state.range(0)
// lines, with the dozen navigators an editor keeps following the edit.
void BM_ReplaceMiddle(benchmark::State& state) {
  const std::u16string wide = AnsiToWide(ScriptBytes(static_cast<size_t>(state.range(0))));
  TPlusMemoU memo;
  TReadOnlyMemoryStream stream(wide.data(), wide.size() * 2);
  memo.LoadFromStream(stream);
  std::vector<std::unique_ptr<TPlusNavigatorU>> navigators;
  for (int i = 0; i < 12; ++i) {
    navigators.push_back(std::make_unique<TPlusNavigatorU>(&memo));
    navigators.back()->SetPos(memo.TextLength() / 12 * i);
  }
  const int middle = memo.ParagraphCount() / 2;
  int32_t at = memo.ParagraphStart(middle);
  for (auto _ : state) {
    memo.ReplaceRange(at, at, u"x");
    ++at;
  }
  state.counters["paragraphs"] = memo.ParagraphCount();
}
BENCHMARK(BM_ReplaceMiddle)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The unfavourable case for lazily shifted offsets: typing alternately at
// the quarter and three-quarter points of the text.
void BM_ReplaceAlternating(benchmark::State& state) {
  const std::u16string wide = AnsiToWide(ScriptBytes(static_cast<size_t>(state.range(0))));
  TPlusMemoU memo;
  TReadOnlyMemoryStream stream(wide.data(), wide.size() * 2);
  memo.LoadFromStream(stream);
  const int count = memo.ParagraphCount();
  bool upper = false;
  for (auto _ : state) {
    const int32_t at = memo.ParagraphStart(upper ? count / 4 : 3 * count / 4);
    memo.ReplaceRange(at, at, u"x");
    upper = !upper;
  }
}
BENCHMARK(BM_ReplaceAlternating)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench
