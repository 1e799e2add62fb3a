#!/usr/bin/env bash
# Sets everything up and runs tandrix.exe under Wine, as on a Japanese Windows. Without a
# display it runs under Xvfb, takes a screenshot of its first window (the role dialog, which
# comes before the main window) and says where it is.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_native
build_art
build_windows

PREFIX="$BUILD/run-prefix"
[ -d "$PREFIX" ] || make_prefix "$PREFIX"
wine_env
export WINEPREFIX="$PREFIX"
# Installed as on a PC: C:\ソラノワBasic\Program\bin\tandrix.exe, its manual in
# C:\ソラノワBasic\Docs\manual, where the manual button finds it.
install_tandrix "$PREFIX"
EXE="$INSTALLED_EXE"

if [ -n "${DISPLAY:-}" ] && [ -z "${TANDRIX_HEADLESS:-}" ]; then
    log "starting tandrix.exe on $DISPLAY"
    jwine "$EXE"
    exit 0
fi

start_xvfb 95
trap 'WINEPREFIX="$PREFIX" wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
start_wine_session
log "starting tandrix.exe headless on $DISPLAY"
jwine "$EXE" </dev/null >/dev/null 2>&1 &
shown=""
for _ in $(seq 60); do
    if xdotool search --name "ソラノワ Basic" >/dev/null 2>&1; then
        shown=yes
        break
    fi
    sleep 0.5
done
sleep 2
mkdir -p "$BUILD/screenshots"
SHOT="$BUILD/screenshots/run.png"
import -window root "$SHOT"
if [ -z "$shown" ]; then
    echo "tandrix.exe showed no window; screenshot: $SHOT" >&2
    exit 1
fi
echo "tandrix.exe ran under Xvfb; screenshot of its role dialog: $SHOT"
