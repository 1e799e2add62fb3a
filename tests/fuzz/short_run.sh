#!/usr/bin/env bash
# The short fuzz run of the test script: builds the fuzz targets and runs each for at most
# 15 seconds (or the given number). Exits non-zero when a target crashes.
exec bash "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/fuzz.sh" "${1:-15}"
