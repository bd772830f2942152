// The benchmarks' highlighter chain.
#include "bench/BenchChain.h"

#include <cstdlib>
#include <string>

#include "bench/VocabGenerator.h"
#include "platform/XmlDom.h"

namespace qm::bench {

std::unique_ptr<THighlighterChain> BenchChain() {
  auto chain = LoadHighlighterChain(std::string(QM_SOURCE_DIR) + "/app/chain/HighlighterChain.cfg");
  TXmlDocument vocabulary;
  const char* path = std::getenv("QM_BENCH_VOCAB");
  const bool loaded =
      (path != nullptr && *path != 0) ? vocabulary.Load(path) : vocabulary.LoadBytes(GenerateVocabulary());
  if (loaded) LoadVocabulary(*chain, ReadVocabularyItems(vocabulary), nullptr);
  return chain;
}

}  // namespace qm::bench
