#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ (clang with the address and undefined-behaviour
# sanitizers, in build/fuzz), writes each harness's seed corpus with the program's own
# writers, runs the saved reproducers of fuzz/regressions/, then fuzzes every harness for
# the given number of seconds. Exits non-zero on any finding (crash, sanitizer report,
# broken round trip, timeout, running out of memory) and says where its reproducer is.
#
#   bash scripts/fuzz.sh [seconds] [harness ...]     (default: 20 seconds, every harness)
#
# Harnesses: property_list card_object card_settings pasteboard design_log settings_file
# qr_encoder datamatrix_encoder pdf417_encoder series_file zip_archive spreadsheet import_sources.
# At most three fuzzing processes run at once; AMENDS_FUZZ_BUILD_JOBS sets the number of
# compile jobs (default: the number of processors). AMENDS_FUZZ_BUILD_DIR names a build of
# the program configured with -DAMENDS_FUZZ=ON whose harnesses are used instead (the test
# command gives its address sanitizer build, which compiles the libraries only once).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

all=(property_list card_object card_settings pasteboard design_log settings_file qr_encoder datamatrix_encoder pdf417_encoder series_file zip_archive spreadsheet import_sources)
seconds=${1:-20}
[ $# -gt 0 ] && shift
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [seconds] [harness ...]" >&2
  exit 2
fi
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=("${all[@]}")
for h in "${harnesses[@]}"; do
  if [[ ! " ${all[*]} " =~ " $h " ]]; then
    echo "fuzz: no harness \"$h\" (harnesses: ${all[*]})" >&2
    exit 2
  fi
done

# The longest input each harness is given: a little above its largest seed, which is as
# large as the files the reader meets (a workbook or a part of one is tens of kilobytes).
# Without it libFuzzer stops at 4,096 bytes.
max_len() {
  case $1 in
    property_list) echo 65536 ;;
    card_object | card_settings) echo 16384 ;;
    pasteboard | design_log) echo 131072 ;;
    settings_file) echo 8192 ;;
    qr_encoder | datamatrix_encoder) echo 8192 ;;
    pdf417_encoder) echo 6144 ;;   # a little past the 5420 text bytes a symbol takes
    series_file) echo 32768 ;;
    zip_archive | spreadsheet) echo 131072 ;;
    import_sources) echo 81920 ;;
  esac
}
for h in "${all[@]}"; do
  if [ -z "$(max_len "$h")" ]; then
    echo "fuzz: harness \"$h\" has no input length (max_len in $0)" >&2
    exit 2
  fi
done

build=${AMENDS_FUZZ_BUILD_DIR:-$root/build/fuzz}
build=$(realpath -m "$build")
jobs=${AMENDS_FUZZ_BUILD_JOBS:-$(nproc)}
parallel=3

if [ -n "${AMENDS_FUZZ_BUILD_DIR:-}" ]; then
  echo "== fuzzing harnesses of $build =="
  configured=true
else
  echo "== fuzzing build (clang, address and undefined-behaviour sanitizers) =="
  # The libraries are compiled in batches (AMENDS_UNITY), as in the test builds: on two
  # processors that takes the build from five minutes to three.
  configured=false
  cmake -S fuzz -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DAMENDS_UNITY=ON >/dev/null && configured=true
fi
if ! $configured || ! cmake --build "$build" -j "$jobs" --target fuzz_harnesses; then
  echo "fuzz: the harnesses do not build"
  echo "fuzz: 0 passed, ${#harnesses[@]} failed"
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
export AMENDS_RESOURCE_DIR=$build/resources
# The shipped resources the harnesses' resource folder is seeded from (the templates, the
# hatch patterns): found beside the program, that would be the resource folder itself.
export AMENDS_SHIPPED_RESOURCES=$root/resources
# Leak detection stays off: fontconfig keeps what it allocates for the first use of a
# font, which LeakSanitizer reports as a leak of whatever input first drew text.
export ASAN_OPTIONS=detect_leaks=0:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:symbolize=1

# Runs one harness: seeds, saved reproducers, then fuzzing. Writes its verdict to
# $build/results/<harness>.
run_harness() {
  local h=$1 exe=$build/fuzz_$1
  local seeds=$build/seeds/$h corpus=$build/corpus/$h findings=$build/findings/$h
  local log=$build/logs/$h.log result=$build/results/$h
  rm -rf "$seeds" "$corpus"
  mkdir -p "$corpus" "$findings" "$build/logs"
  : >"$log"

  if ! AMENDS_FUZZ_WRITE_SEEDS=$seeds "$exe" >>"$log" 2>&1 </dev/null; then
    echo "failed: the seed corpus could not be written (see $log)" >"$result"
    return
  fi
  cp "$seeds"/* "$corpus"/

  # Every saved reproducer must pass: a fault once found stays mended.
  local regressions=()
  if [ -d "fuzz/regressions/$h" ]; then
    mapfile -t regressions < <(find "fuzz/regressions/$h" -type f | sort)
  fi
  for input in "${regressions[@]}"; do
    if ! "$exe" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" "$input" >>"$log" 2>&1 </dev/null; then
      echo "failed: the saved reproducer $input fails again (see $log)" >"$result"
      return
    fi
    cp "$input" "$corpus/"
  done

  local dict=()
  [ -f "fuzz/dictionaries/$h.dict" ] && dict=(-dict="$root/fuzz/dictionaries/$h.dict")
  local status=0
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$h")" \
    -artifact_prefix="$findings/" -print_final_stats=1 "${dict[@]}" "$corpus" >>"$log" 2>&1 </dev/null ||
    status=$?
  local runs
  runs=$(grep -Eo '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
  if [ $status -ne 0 ]; then
    local artifact
    artifact=$(grep -Eo "(Test unit written to|artifact_prefix=.*; Test unit written to) [^ ]+" "$log" | tail -1 | awk '{print $NF}')
    echo "failed: finding (exit $status), reproducer ${artifact:-not written}; log $log" >"$result"
  else
    echo "passed: ${runs:-?} inputs in $seconds s, ${#regressions[@]} saved reproducers" >"$result"
  fi
}

rm -rf "$build/results"
mkdir -p "$build/results"
echo "== fuzzing ${harnesses[*]} for $seconds s each, $parallel at a time =="
running=0
for h in "${harnesses[@]}"; do
  if [ $running -ge $parallel ]; then
    wait -n
    running=$((running - 1))
  fi
  run_harness "$h" &
  running=$((running + 1))
done
wait

passed=0
failed=0
for h in "${harnesses[@]}"; do
  verdict=$(cat "$build/results/$h" 2>/dev/null || echo "failed: no verdict")
  echo "fuzz_$h: $verdict"
  if [[ $verdict == passed* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    # The top of the report: what went wrong and where.
    grep -E -m1 -A12 "AMENDS FUZZ FAULT|ERROR: (AddressSanitizer|libFuzzer|UndefinedBehaviorSanitizer)|runtime error|ALARM|out-of-memory" \
      "$build/logs/$h.log" | sed 's/^/    /'
  fi
done
if [ $failed -gt 0 ]; then
  echo "Minimize a reproducer with: $build/fuzz_<harness> -minimize_crash=1 -runs=20000 <reproducer>,"
  echo "then keep it as fuzz/regressions/<harness>/<what-it-shows>."
fi
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
