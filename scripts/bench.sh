#!/usr/bin/env bash
# Builds the benchmarks in Release without sanitizers and runs them.
#   bash scripts/bench.sh [benchmark filter]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
BENCH="$BUILD/bench"
# GCC 12 at -O2 reports false positives in the standard library's strings.
cmake -S "$ROOT" -B "$BENCH" -DCMAKE_BUILD_TYPE=Release -DTANDRIX_SANITIZE=OFF \
    "-DCMAKE_CXX_FLAGS=-Wno-restrict -Wno-maybe-uninitialized" >/dev/null
cmake --build "$BENCH" -j "$JOBS" --target tandrix_bench
"$BENCH/tandrix_bench" --benchmark_filter="${1:-.}"
