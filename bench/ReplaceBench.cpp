// Replace all on the large generated script, highlighted by the main window's chain: one pass, one edit.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/BenchChain.h"
#include "bench/BenchInput.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/highlight/Scan.h"
#include "platform/CodePage.h"

namespace qm::bench {
namespace {

// The text replaced (in any case, inside words too): QM_BENCH_REPLACE when set, else "t", one and a half
// million matches in the generated script.
std::u16string ReplacedWord() {
  const char* word = std::getenv("QM_BENCH_REPLACE");
  return AnsiToWide(word != nullptr && *word != '\0' ? word : "t");
}

void BM_ReplaceAll(benchmark::State& state) {
  auto chain = BenchChain();
  const std::string& bytes = ScriptBytes();
  const std::u16string word = ReplacedWord();
  int replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto memo = std::make_unique<TPlusMemoU>();
    memo->WordWrap = false;
    memo->SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
    memo->SetHighlighter(chain->First());
    TAnsiDecodingStream stream(bytes.data(), bytes.size());
    memo->LoadFromStream(stream);
    scan::HighlightAll(*memo, scan::TSpeedLayers{});
    state.ResumeTiming();
    // Longer than the word, so that every line after the first match moves.
    replaced = memo->ReplaceAll(word, word + u"_x", false, false, false);
    state.PauseTiming();
    memo.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["matches"] = replaced;
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace qm::bench
