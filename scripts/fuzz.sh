#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, AddressSanitizer and UBSan) in build-fuzz
# and runs one of them, or all in turn, for N seconds each:
#   scripts/fuzz.sh [TARGET|all] [SECONDS]        (defaults: all, 60)
# Targets: receive model romheader pnp submodule profile telnet.
# Each starts from its committed corpus, fuzz/corpus/TARGET (seeds and kept
# regression inputs); what it learns goes to build-fuzz/corpus/TARGET. A
# finding ends the run non-zero and leaves its input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
all=(receive model romheader pnp submodule profile telnet)
which=${1:-all}
duration=${2:-60}
if [ "$which" = all ]; then
  targets=("${all[@]}")
elif [[ " ${all[*]} " == *" $which "* ]]; then
  targets=("$which")
else
  echo "unknown fuzz target '$which' (one of: ${all[*]}, all)" >&2
  exit 2
fi
[[ "$duration" =~ ^[0-9]+$ ]] || { echo "SECONDS must be a whole number" >&2; exit 2; }

# Quiet when the build succeeds; its errors (ninja prints them on stdout)
# when it does not, so a red run says why.
mkdir -p build-fuzz
if ! CC=clang-14 CXX=clang++-14 scripts/build.sh build-fuzz -DTOBRANE_FUZZ=ON -DTOBRANE_WITH_QT=OFF \
    -DBUILD_TESTING=OFF -DTOBRANE_BENCH=OFF > build-fuzz/build.log 2>&1; then
  grep -v '^\[' build-fuzz/build.log | tail -n 40 >&2
  echo "fuzz: the fuzz targets did not build (whole log in build-fuzz/build.log)" >&2
  exit 1
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Absolute paths: the ROM header target works in a directory of its own.
root=$PWD
for t in "${targets[@]}"; do
  mkdir -p "$root/build-fuzz/corpus/$t" "$root/build-fuzz/findings/$t"
  log="$root/build-fuzz/findings/$t/last-run.log"
  if ! "$root/build-fuzz/bin/fuzz_$t" -max_total_time="$duration" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$root/build-fuzz/findings/$t/" "$root/build-fuzz/corpus/$t" "$root/fuzz/corpus/$t" \
      > "$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz $t: FINDING (input and log in build-fuzz/findings/$t/)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz $t: ${duration} s, ${runs} executions, ${rate}/s, no findings"
done
