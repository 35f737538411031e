#!/bin/bash
# Builds the libFuzzer target with clang and runs it on a seed corpus.
# Usage: fuzz/run-fuzz.sh [SECONDS [TEST_BUILD_DIR]]   (default 600 s, build)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
tests_build=${2:-build}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DTPC_BUILD_FUZZ=ON -DTPC_BUILD_GUI=OFF -DTPC_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target convert_fuzzer tavrino-capgen >/dev/null

# Seeds: the committed ones (regressions and hand-made edge cases), the samples,
# every small capture the conversion tests build, and a few small captures from
# the generator with different options.
corpus=$build/corpus
mkdir -p "$corpus" "$build/artifacts"
cp fuzz/seeds/* samples/*.DT "$corpus"/ 2>/dev/null || true
if [ -x "$tests_build/conversion_tests" ]; then
  TPC_SEED_CORPUS_DIR=$(realpath "$corpus") "$tests_build/conversion_tests" >/dev/null 2>&1 || true
fi
gen=$build/tavrino-capgen
if [ -x "$gen" ]; then
  "$gen" --frames 8 --seed 1 --resolution 1 "$corpus/gen-1.DT"
  "$gen" --frames 12 --seed 2 --resolution 3 --frame-size 60 --header-only 30 "$corpus/gen-2.DT"
  "$gen" --frames 6 --seed 3 --resolution 2 --monl-first --extra-chunk "$corpus/gen-3.DT"
  "$gen" --frames 4 --seed 4 --resolution 0 --start "2009-12-31 23:59:59.99" "$corpus/gen-4.DT"
fi

echo "Fuzzing the conversion for ${seconds}s (corpus $corpus, crashes in $build/artifacts)"
"$build/convert_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=1024 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$corpus" 2>&1 |
  grep -E '^#[0-9]+ +(DONE|INITED)|^stat::|ERROR|SUMMARY|Test unit written|^Done' || true
# libFuzzer's own status is lost in the pipe; any artifact means a finding.
if ls "$build"/artifacts/* >/dev/null 2>&1; then
  echo "Fuzzing found failing inputs:" && ls "$build"/artifacts/
  exit 1
fi
