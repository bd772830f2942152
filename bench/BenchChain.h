// The benchmarks' highlighter chain: the main window's, with the vocabulary of QM_BENCH_VOCAB or a generated one.
#pragma once

#include <memory>

#include "editor/highlight/HighlighterChain.h"

namespace qm::bench {

std::unique_ptr<THighlighterChain> BenchChain();

}  // namespace qm::bench
