#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the normal
# build and in the AddressSanitizer + UndefinedBehaviorSanitizer build; the tests that
# start worker threads run a third time in a ThreadSanitizer build. Last, a short
# fuzzing run of every reader of outside bytes (scripts/fuzz.sh, 20 seconds each).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=1"

build_and_test() {   # folder, ctest options, extra cmake options...
  local dir=$1 select=$2; shift 2
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure $select
}

echo "== normal build =="
build_and_test build/test "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== address and undefined-behaviour sanitizer build =="
build_and_test build/asan "" -DCMAKE_BUILD_TYPE=Debug -DAMENDS_SANITIZE=ON
# Tests that start worker threads carry "Thread" or "Worker" in their names.
echo "== thread sanitizer build (threaded tests) =="
build_and_test build/tsan "-R Thread|Worker" -DCMAKE_BUILD_TYPE=Debug -DAMENDS_TSAN=ON
echo "== fuzzing the readers of outside bytes (20 s each) =="
bash scripts/fuzz.sh 20
