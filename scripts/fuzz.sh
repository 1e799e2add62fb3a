#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan and UBSan) in build/fuzz and runs each of them for
# N seconds (default 20) on a working copy of its seed corpus from tests/fuzz/corpus.
# Exits non-zero when any target crashes; the crashing input is kept in build/fuzz/artifacts.
#   bash scripts/fuzz.sh [seconds]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

SECONDS_EACH="${1:-20}"
FUZZ="$BUILD/fuzz"

ensure_packages
log "fuzz build"
cmake -S "$ROOT" -B "$FUZZ" -DTANDRIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$FUZZ" -j "$JOBS"

FAILED=()
mkdir -p "$FUZZ/artifacts" "$FUZZ/logs"
for source in "$ROOT"/tests/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    corpus="$FUZZ/corpus/$name"
    mkdir -p "$corpus"
    if [ -d "$ROOT/tests/fuzz/corpus/$name" ]; then
        cp -n "$ROOT/tests/fuzz/corpus/$name"/* "$corpus/" 2>/dev/null || true
    fi
    args=(-max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048
          -artifact_prefix="$FUZZ/artifacts/$name-")
    [ -f "$ROOT/tests/fuzz/$name.dict" ] && args+=(-dict="$ROOT/tests/fuzz/$name.dict")
    log "$name: ${SECONDS_EACH}s"
    set +e
    "$FUZZ/$name" "${args[@]}" "$corpus" >"$FUZZ/logs/$name.log" 2>&1
    rc=$?
    set -e
    grep -E "^Done [0-9]+ runs" "$FUZZ/logs/$name.log" >&2 || true
    if [ "$rc" -ne 0 ]; then
        FAILED+=("$name")
        tail -n 40 "$FUZZ/logs/$name.log" >&2
    fi
done

if ((${#FAILED[@]})); then
    log "fuzz targets that failed: ${FAILED[*]}"
    exit 1
fi
log "fuzzing: no crashes"
