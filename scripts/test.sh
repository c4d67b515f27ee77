#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the normal
# build and in the AddressSanitizer + UndefinedBehaviorSanitizer build; the tests that
# start worker threads run a third time in a ThreadSanitizer build. Last, a short
# fuzzing run of every reader of outside bytes (scripts/fuzz.sh, 15 seconds each), with
# the harnesses the address sanitizer build made.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The mail tests start the mail script (fork and exec) from a process with threads; the
# child only execs, so ThreadSanitizer's refusal of threads after such a fork is off.
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=1:die_after_fork=0"

build_and_test() {   # folder, ctest options, build targets ("" for all), extra cmake options...
  local dir=$1 select=$2 targets=$3; shift 3
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  if [ -n "$targets" ]; then
    cmake --build "$dir" -j "$jobs" --target $targets
  else
    cmake --build "$dir" -j "$jobs"
  fi
  TMPDIR=${tests_tmp:-${TMPDIR:-/tmp}} ctest --test-dir "$dir" -j "$jobs" --output-on-failure $select
}

# Every build's tests and the fuzzing run with a temporary folder of their own, in which
# no folder of theirs (nor of Qt's temporary folders) may be left when they end: a test or
# harness removes what it makes, even one whose process ends without its destructors.
# Each step is checked when it ends, so that the report names the step. (Qt's runtime
# folder and what the peers leave are not ours to judge.)
tests_left_nothing() {   # the step that ran
  local left
  left=$(ls -A "$tests_tmp" | grep -E '^(Amends|amends|qt_temp)-' || true)
  if [ -n "$left" ]; then
    echo "The $1 left these in the temporary folder:" $left
    return 1
  fi
}

# The test executables (one per folder of tests/) that hold a threaded test: a test
# whose suite or name carries "Thread" or "Worker".
threaded_test_targets() {
  local dir targets=""
  for dir in tests/*/; do
    if grep -qsE '^(TEST|TEST_F|TEST_P)\(\s*\w*(Thread|Worker)|^(TEST|TEST_F|TEST_P)\(\s*\w+\s*,\s*\w*(Thread|Worker)' "$dir"*.cpp; then
      targets="$targets test_$(basename "$dir")"
    fi
  done
  echo "$targets"
}

# Compile time rules the test command on small machines. Every build compiles the
# program's and the tests' files in batches (AMENDS_UNITY: the Qt and test headers are
# read once per batch, not once per file: about a third of the time; the clang builds also
# read them from precompiled headers, which takes a third off those). The normal build
# (g++) has no debug information and light optimisation for the program (enough for the
# compiler's flow warnings) and none for the tests; the address sanitizer build is made
# by clang, which compiles instrumented code in about two thirds of g++'s time, with line
# tables only (enough for reports to name lines); the thread sanitizer build stays with
# g++ (clang 14's thread sanitizer fails a check when a threaded test starts a process)
# and makes only the test files that start threads. Two compilers, two sets of warnings.
# The address sanitizer build also makes the fuzzing harnesses (AMENDS_FUZZ): the layers
# they reach are compiled once, optimised and with libFuzzer's coverage, for the tests
# and for the fuzzing, instead of again in a fuzzing build of their own.
# The window stories (gui_*) drive the real program through the same steps in every
# build; they run once, in the address sanitizer build, where a memory fault on the way
# is caught too.
echo "== normal build =="
tests_tmp=$(mktemp -d)
build_and_test build/test "-E ^gui_" "" -DAMENDS_UNITY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG"
tests_left_nothing "normal build's tests"
echo "== address and undefined-behaviour sanitizer build =="
build_and_test build/asan "" "" -DAMENDS_UNITY=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DAMENDS_SANITIZE=ON -DAMENDS_FUZZ=ON
tests_left_nothing "address sanitizer build's tests"
# Tests that start worker threads carry "Thread" or "Worker" in their names; only the
# executables that hold one are built.
echo "== thread sanitizer build (threaded tests) =="
build_and_test build/tsan "-R Thread|Worker" "$(threaded_test_targets)" -DAMENDS_UNITY=ON \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DAMENDS_TSAN=ON
tests_left_nothing "thread sanitizer build's tests"
echo "== fuzzing the readers of outside bytes (15 s each) =="
TMPDIR=$tests_tmp AMENDS_FUZZ_BUILD_DIR=build/asan bash scripts/fuzz.sh 15
tests_left_nothing "fuzzing"
rm -rf "$tests_tmp"
