#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor from the repository root.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

exec build/app/quillmark
