#!/usr/bin/env bash
# The whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer: any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
rm -rf build-sanitize
cmake -S . -B build-sanitize -DQNDL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-sanitize -j2
ctest --test-dir build-sanitize --output-on-failure
