#!/usr/bin/env bash
# Runs the benchmarks on both generated scripts, one after the other; options
# go to the benchmark program (e.g. --benchmark_filter=BM_HighlightAll).
set -euo pipefail
bench="$(dirname "$0")/../build/bench/quillmark-bench"
for generator in repeating varied; do
  echo "== QM_BENCH_GENERATOR=$generator"
  QM_BENCH_GENERATOR=$generator "$bench" "$@"
done
