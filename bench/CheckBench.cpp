// Benchmark of the script checker on a generated script of 10,000 lines with the benchmarks' vocabulary.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "app/chain/ChainConfig.h"
#include "bench/ScriptGenerator.h"
#include "bench/VocabGenerator.h"
#include "checker/ScriptChecker.h"
#include "editor/highlight/HighlighterChain.h"
#include "platform/CodePage.h"
#include "platform/XmlDom.h"

namespace qm::bench {
namespace {

check::TScriptVocabulary BenchVocabulary() {
  TXmlDocument document;
  const char* path = std::getenv("QM_BENCH_VOCAB");
  const bool loaded = (path != nullptr && *path != 0) ? document.Load(path) : document.LoadBytes(GenerateVocabulary());
  if (!loaded) return {};
  return check::TScriptVocabulary::FromCategories(ReadVocabularyItems(document));
}

// The whole check of a 10,000-line script as the editor runs it after a
// pause in typing: the text split into lines and checked.
void BM_CheckScript(benchmark::State& state) {
  const std::u16string text = AnsiToWide(GenerateScript(10000, 7));
  const check::TScriptRules rules = check::ParseScriptRules(ScriptRulesText());
  const check::TScriptVocabulary vocabulary = BenchVocabulary();
  size_t problems = 0;
  for (auto _ : state) {
    const std::vector<check::TDiagnostic> found = check::CheckScript(check::SplitLines(text, true), rules, vocabulary);
    problems = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["problems"] = static_cast<double>(problems);
  state.counters["lines_per_second"] =
      benchmark::Counter(10000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckScript)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm::bench
