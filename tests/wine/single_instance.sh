#!/usr/bin/env bash
# A second tandrix.exe refuses to run beside the first: it shows the message box
# "本製品は複数同時に起動できません。" titled "ソラノワ Basic" and ends once it is answered, while
# the first goes on. The first copy is left in its first window, the role dialog, which bears
# the product title like the main window. Screenshots land in build/screenshots/.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

TITLE="ソラノワ Basic"
TEXT="本製品は複数同時に起動できません。"
SHOTS="$BUILD/screenshots"
PREFIX="$BUILD/wine-tests/single-instance"
make_prefix "$PREFIX"
export WINEPREFIX="$PREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
start_wine_session
mkdir -p "$SHOTS" "$PREFIX/drive_c/tandrix"
cp "$WINBUILD/tandrix.exe" "$WINBUILD/winprobe.exe" "$PREFIX/drive_c/tandrix/"

fail() {
    echo "single_instance: $*" >&2
    import -window root "$SHOTS/single_instance-failure.png" 2>/dev/null || true
    exit 1
}

# Window ids whose title is exactly $TITLE, one a line.
windows_titled() { xdotool search --name "^$TITLE\$" 2>/dev/null | sort || true; }

source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

jwine 'C:\tandrix\tandrix.exe' </dev/null >/dev/null 2>&1 &
FIRST=$!
has_main_window() { [ -n "$(windows_titled)" ]; }
wait_for 60 has_main_window || fail "the first copy shows no window"
MAIN_WINDOWS="$(windows_titled)"
sleep 1
import -window root "$SHOTS/single_instance-1-first.png"

jwine 'C:\tandrix\tandrix.exe' </dev/null >/dev/null 2>&1 &
SECOND=$!
new_box() { comm -13 <(echo "$MAIN_WINDOWS") <(windows_titled) | head -1; }
has_new_box() { [ -n "$(new_box)" ]; }
wait_for 30 has_new_box || fail "the second copy shows no window titled $TITLE"
BOX="$(new_box)"
sleep 1
import -window root "$SHOTS/single_instance-2-message-box.png"

# The box's text, read through Win32 from inside the prefix.
shown="$(jwine 'C:\tandrix\winprobe.exe' messagebox "$TITLE" 2>/dev/null | tr -d '\r')" ||
    fail "no message box titled $TITLE"
[ "$shown" = "$TEXT" ] || fail "message box says '$shown', expected '$TEXT'"

# Answer it with Return: the second copy, waiting on its box until then, ends; the first
# keeps running.
kill -0 "$SECOND" 2>/dev/null || fail "the second copy ended before its box was answered"
xdotool windowfocus --sync "$BOX" 2>/dev/null || true
xdotool key --window "$BOX" Return
second_ended() { ! kill -0 "$SECOND" 2>/dev/null; }
wait_for 15 second_ended || fail "the second copy is still running"
kill -0 "$FIRST" 2>/dev/null || fail "the first copy ended too"
[ "$(windows_titled)" = "$MAIN_WINDOWS" ] || fail "the first copy's window is gone"
import -window root "$SHOTS/single_instance-3-after.png"
echo "single_instance: ok"
