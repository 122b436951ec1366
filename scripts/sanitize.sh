#!/usr/bin/env bash
# Builds everything but the benchmarks with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan and runs the test suite there; any report fails its test. Arguments go to
# ctest, e.g. "sanitize.sh -R 'circuit|export'" for a part of the suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# GCC's "undefined" leaves out float-cast-overflow: a page-script number of 1e308 turned
# into an int would pass unseen.
sanitizers="-fsanitize=address,undefined,float-cast-overflow"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESSIL_BENCHMARKS=OFF -DTRESSIL_TEST_TIMEOUT=900 \
  -DCMAKE_CXX_FLAGS="$sanitizers -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_SHARED_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build build-asan -j"$(nproc)"
# Qt, fontconfig and the web engine keep process-wide caches until exit: leak reports
# would be theirs, not ours. Undefined behaviour stops the program with a stack.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" "$@"
