#!/usr/bin/env bash
# The environment selection dialog on the real dialog host (showdialog.exe carries
# tandrix.exe's templates and bitmaps): its look (build/screenshots/env-list.png), run with
# every box unchecked refused with the message, run with only the desktop checked, the
# Windows 2000 rule, and the cancel button.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

TITLE="ソラノワ Basic"
SHOTS="$BUILD/screenshots"
PREFIX="$BUILD/wine-tests/env-list"
make_prefix "$PREFIX"
export WINEPREFIX="$PREFIX"
OWN_XVFB=0
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 93
    OWN_XVFB=1
fi
cleanup() {
    wineserver -k 2>/dev/null || true
    ((OWN_XVFB)) && stop_xvfb
    return 0
}
trap cleanup EXIT
start_wine_session
mkdir -p "$SHOTS" "$PREFIX/drive_c/tandrix"
cp "$WINBUILD/showdialog.exe" "$WINBUILD/winprobe.exe" "$PREFIX/drive_c/tandrix/"
OUT="$PREFIX/drive_c/tandrix/out.txt"

fail() {
    echo "env_list: $*" >&2
    import -window root "$SHOTS/env-list-failure.png" 2>/dev/null || true
    exit 1
}
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
probe() { jwine 'C:\tandrix\winprobe.exe' "$@" 2>/dev/null | tr -d '\r'; }
painted() { probe painted "$TITLE" >/dev/null; }
boxed() { probe messagebox "$TITLE" | grep -q .; }
# "x y enabled checked" of a check box of the panel.
box() { probe control "$TITLE" "$1"; }
click_box() {
    local x y
    read -r x y _ < <(box "$1") || fail "no check box $1"
    xdotool mousemove "$x" "$y" sleep 0.2 click 1 sleep 0.3
}
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) sleep 0.2 click 1; }
states() {
    local id out=""
    for id in 1025 1026 1027 1028 1029; do
        read -r _ _ enabled checked < <(box "$id") || fail "no check box $id"
        out+="$enabled$checked "
    done
    echo "${out% }"
}
open_list() {
    rm -f "$OUT"
    jwine 'C:\tandrix\showdialog.exe' envlist "$@" </dev/null >"$OUT" 2>/dev/null &
    SHOWER=$!
    wait_for 60 painted || fail "the list is not shown"
    sleep 0.8
    read -r X Y < <(probe painted "$TITLE")
}
ended() { ! kill -0 "$SHOWER" 2>/dev/null; }
flags() { tr -d '\r' <"$OUT" | grep -E '^(result|MYDOC|MYPIC|MYVIDEO|MYMUSIC|DESKTOP) ' | tr '\n' ' '; }

# First opening: the five folders, checked and enabled, on the white panel.
open_list
import -window root "$SHOTS/env-list.png"
[ "$(states)" = "11 11 11 11 11" ] || fail "first opening shows $(states)"

# Nothing checked: the message, and the dialog stays.
for id in 1025 1026 1027 1028 1029; do click_box "$id"; done
[ "$(states)" = "10 10 10 10 10" ] || fail "the clicks left $(states)"
click_at 494 263
wait_for 20 boxed || fail "run with nothing checked shows no message"
text="$(probe messagebox "$TITLE")"
[ "$text" = "ひとつも選択されていません" ] || fail "the message reads '$text'"
import -window root "$SHOTS/env-list-nothing.png"
xdotool key Return
sleep 0.5
ended && fail "the dialog closed after the refusal"

# Only the desktop: run ends the dialog with IDOK and that one run flag.
click_box 1029
click_at 494 263
wait_for 20 ended || fail "run did not end the dialog"
want="result 1 MYDOC 0 MYPIC 0 MYVIDEO 0 MYMUSIC 0 DESKTOP 1 "
[ "$(flags)" = "$want" ] || fail "run gave '$(flags)'"

# A partner on Windows 2000: music and videos disabled and unchecked; cancel ends with IDCANCEL.
open_list 0x8
[ "$(states)" = "11 11 00 00 11" ] || fail "with Windows 2000 the boxes are $(states)"
import -window root "$SHOTS/env-list-2000.png"
click_at 494 339
wait_for 20 ended || fail "cancel did not end the dialog"
[ "$(flags | cut -d' ' -f1-2)" = "result 2" ] || fail "cancel gave '$(flags)'"
echo "env_list: ok"
