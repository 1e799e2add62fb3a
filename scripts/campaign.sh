#!/usr/bin/env bash
# The long fault campaign: random trees and random faults through whole two-PC copies on the
# simulated PCs, the migration invariant checked after each. Prints the runs, the files and
# folders moved, the faults injected, each failing seed with its reason and the command that
# replays it, and per fault class how many runs had it and how many of them failed.
# Exits non-zero when any run failed.
#   bash scripts/campaign.sh [runs] [fault classes] [first seed]
#   fault classes: "all" (default), "none", names joined by "," ("cut,stall"), "-name" removes
#   one ("all,-known" leaves out the classes the short run in the suite leaves out).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS="${1:-200}"
FAULTS="${2:-all}"
FIRST="${3:-1}"

ensure_packages
log "native build"
cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$NATIVE" -j "$JOBS" --target tandrix_tests

log "campaign: $RUNS runs from seed $FIRST, faults $FAULTS"
cd "$ROOT"
set +e
TANDRIX_CAMPAIGN_RUNS="$RUNS" TANDRIX_CAMPAIGN_FAULTS="$FAULTS" TANDRIX_CAMPAIGN_FIRST="$FIRST" \
    "$NATIVE/tandrix_tests" --gtest_filter=FaultCampaign.LongRun --gtest_brief=1 |
    grep -v -E '^(Running main|Note: Google Test filter|\[)'
rc=${PIPESTATUS[0]}
set -e
exit "$rc"
