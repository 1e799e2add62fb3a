#!/usr/bin/env bash
# Sets everything up and runs every test: native tests (ASan+UBSan), then the Windows-side
# tests under Wine (Win32 layer tests and end-to-end runs of tandrix.exe).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_native
build_art
build_windows

PASSED=0
FAILED=0
record() { if [ "$1" -eq 0 ]; then PASSED=$((PASSED + 1)); else FAILED=$((FAILED + 1)); echo "FAILED: $2"; fi; }

log "native tests"
set +e
(cd "$NATIVE" && ctest --output-on-failure -j "$JOBS" --timeout 300)
record $? "native tests"
set -e

log "artwork check"
set +e
bash "$ROOT/tests/art/check_bitmaps.sh" "$ART"
record $? "artwork check"
set -e

log "short fuzz run"
set +e
bash "$ROOT/tests/fuzz/short_run.sh" 10
record $? "short fuzz run"
set -e

log "Windows tests under Wine"
start_xvfb 91
trap 'stop_xvfb' EXIT
for t in "$ROOT"/tests/wine/*.sh; do
    [ -f "$t" ] || continue
    log "$(basename "$t")"
    set +e
    bash "$t"
    record $? "$(basename "$t")"
    set -e
done

echo
echo "suites: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
