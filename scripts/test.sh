#!/usr/bin/env bash
# Builds and runs the whole test suite: the tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and every fuzz harness for
# FUZZ_SECONDS (60 by default). Ends with one summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=${JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-60}
passed=0
failed=0

# Adds the counts of a CTest log to the totals.
count() {
  local line
  line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$1" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
}

status=0

echo "== Build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.cmake.log 2>&1 || { cat build.cmake.log; exit 1; }
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" 2>&1 | tee build/ctest.log || status=1
count build/ctest.log

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DWX5N_SANITIZE=ON -DWX5N_BENCH=OFF \
  > build-asan.cmake.log 2>&1 || { cat build-asan.cmake.log; exit 1; }
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE "conformance|windows" 2>&1 \
  | tee build-asan/ctest.log || status=1
count build-asan/ctest.log

echo "== Fuzz every harness for ${fuzz_seconds} s"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWX5N_FUZZ=ON \
  -DWX5N_TESTS=OFF -DWX5N_BENCH=OFF -DWX5N_TOOLS=OFF > build-fuzz.cmake.log 2>&1 \
  || { cat build-fuzz.cmake.log; exit 1; }
cmake --build build-fuzz --target fuzzers -j"$jobs"
mkdir -p build-fuzz/runs
fuzz_one() {
  local bin=$1 seconds=$2
  local name
  name=$(basename "$bin")
  name=${name#fuzz_}
  local work=build-fuzz/runs/$name
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$work/corpus/"; fi
  if "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/artifacts/" "$work/corpus" > "$work/log" 2>&1; then
    echo "fuzz $name: ok, $(grep -E 'stat::number_of_executed_units' "$work/log" | awk '{print $2}') runs"
  else
    echo "fuzz $name: FAILED"
    tail -n 40 "$work/log"
    return 1
  fi
}
export -f fuzz_one
fuzzers=$(find build-fuzz/fuzz -type f -name 'fuzz_*' -perm -u+x | sort)
fuzz_total=0
fuzz_bad=0
for bin in $fuzzers; do fuzz_total=$((fuzz_total + 1)); done
if [ "$fuzz_total" -gt 0 ]; then
  if ! printf '%s\n' $fuzzers | xargs -P "$jobs" -I{} bash -c 'fuzz_one "$@"' _ {} "$fuzz_seconds" \
       | tee build-fuzz/fuzz.log; then
    status=1
  fi
  fuzz_bad=$(grep -c ": FAILED" build-fuzz/fuzz.log || true)
fi
passed=$((passed + fuzz_total - fuzz_bad))
failed=$((failed + fuzz_bad))

echo
echo "summary: ${passed} passed, ${failed} failed"
if [ "$failed" -ne 0 ]; then status=1; fi
exit $status
