#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# a normal build and an AddressSanitizer + UndefinedBehaviorSanitizer build;
# then builds the libFuzzer targets with clang and gives each a short run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

echo "== format"
bash scripts/check-format.sh

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
echo "== the same suite with every speed layer of the highlighting off"
# The package does not change with the speed layers: it is built and checked once.
(cd build && QM_SPEED_LAYERS=off ctest --output-on-failure -j "$jobs" -LE package)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON -DQM_WERROR=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")

echo "== libFuzzer targets (clang): a short run of each on its seed corpus"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_FUZZ=ON -DQM_WERROR=ON
cmake --build build-fuzz -j "$jobs"
for target in load_fuzz edit_fuzz xml_fuzz ini_fuzz check_fuzz; do
  # New inputs go to a scratch folder; the seed corpus in the tree stays as it is.
  work="build-fuzz/corpus/$target"
  mkdir -p "$work"
  "build-fuzz/tests/fuzz/$target" -max_total_time=15 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$target-" "$work" "tests/fuzz/corpus/$target"
done
