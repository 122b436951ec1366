#!/usr/bin/env bash
# Builds the fuzz targets (clang, -fsanitize=fuzzer,address,undefined) in build-fuzz and
# runs each for SECONDS seconds (default 30) on its corpus in build-fuzz/corpus, which the
# runs keep and grow. A target that crashes or hits undefined behaviour fails the script;
# the input that did it is left in build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bash scripts/setup.sh fuzz
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTRESSIL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"

bin=build-fuzz/bin
corpus=build-fuzz/corpus
mkdir -p build-fuzz/crashes
"$bin/fuzz_seeds" "$corpus" tests/data
export QT_QPA_PLATFORM=offscreen
# Leaks of Qt's process-wide caches are no findings.
# A smaller quarantine keeps the page faults of freeing down; it still catches use after free.
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=64:max_malloc_fill_size=0
for target in package package_records cipher parameters generation render pngparameters; do
  echo "fuzz_$target: $seconds s"
  "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/crashes/"$target"- "$corpus/$target" 2>build-fuzz/fuzz_$target.log \
    || { tail -n 60 build-fuzz/fuzz_$target.log; echo "fuzz_$target failed" >&2; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' build-fuzz/fuzz_$target.log | sed "s/^/  /"
done
