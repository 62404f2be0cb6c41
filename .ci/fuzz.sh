#!/usr/bin/env bash
# Runs each libFuzzer harness of tests/fuzz for a bounded time, starting from
# the seed corpus in the repository. Any crash, sanitizer report or mismatch
# with the reference model fails the run; the failing input is left in
# build-fuzz/artifacts/. Skipped, with a message, where clang is missing.
#
# Usage: .ci/fuzz.sh [seconds-per-harness]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${QNDL_FUZZ_SECONDS:-60}}
harnesses=(template_fuzz split_fuzz transform_fuzz)

if ! command -v clang++ >/dev/null; then
  echo "fuzz: skipped, clang++ is not installed"
  exit 0
fi

rm -rf build-fuzz
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQNDL_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j2
mkdir -p build-fuzz/artifacts

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
for harness in "${harnesses[@]}"; do
  name=${harness%_fuzz}
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  dict=()
  [ -f "tests/fuzz/$name.dict" ] && dict=("-dict=tests/fuzz/$name.dict")
  log=build-fuzz/$name.log
  if "build-fuzz/tests/fuzz/$harness" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix=build-fuzz/artifacts/ "${dict[@]}" "$corpus" "tests/fuzz/corpus/$name" > "$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $harness ran ${execs:-?} executions in ${seconds}s, no failure"
  else
    echo "fuzz: $harness FAILED; the end of its log ($log):"
    tail -n 40 "$log"
    failed=1
  fi
done
exit $failed
