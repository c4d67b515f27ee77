#!/usr/bin/env bash
# Installs what is missing, builds Amends and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DAMENDS_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target amends
exec build/release/app/amends "$@"
