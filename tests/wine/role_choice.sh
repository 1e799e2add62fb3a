#!/usr/bin/env bash
# tandrix.exe as a user starts it: the role dialog comes first; its destination button asks for
# the partner, typed here as an address; the main window then shows the destination screen,
# whose end button ends the program. Before that, the dialog templates of the searching,
# progress, drive and partner dialogs are shown one by one for screenshots. Screenshots land
# in build/screenshots/.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

TITLE="ソラノワ Basic"
SHOTS="$BUILD/screenshots"
PREFIX="$BUILD/wine-tests/role-choice"
make_prefix "$PREFIX"
export WINEPREFIX="$PREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
start_wine_session
mkdir -p "$SHOTS" "$PREFIX/drive_c/tandrix"
cp "$WINBUILD/tandrix.exe" "$WINBUILD/winprobe.exe" "$PREFIX/drive_c/tandrix/"
EXE='C:\tandrix\tandrix.exe'

fail() {
    echo "role_choice: $*" >&2
    import -window root "$SHOTS/role_choice-failure.png" 2>/dev/null || true
    exit 1
}
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
probe() { jwine 'C:\tandrix\winprobe.exe' "$@" 2>/dev/null | tr -d '\r'; }
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
shown() { [ -n "$(titled "$1")" ]; }

# The templates as Windows lays them out, each on its own (captions still hold the placeholder).
for row in "130 ドライブ選択" "132 APPLICATION_NAME" "134 データ転送中．．．" "136 APPLICATION_NAME"; do
    id=${row%% *}
    caption=${row#* }
    jwine 'C:\tandrix\winprobe.exe' show "$EXE" "$id" 4 </dev/null >/dev/null 2>&1 &
    shower=$!
    wait_for 20 shown "$caption" || fail "template $id is not shown"
    sleep 0.5
    import -window root "$SHOTS/template-$id.png"
    wait "$shower" || fail "template $id: winprobe failed"
done

jwine "$EXE" </dev/null >/dev/null 2>&1 &
APP=$!
painted() { probe painted "$TITLE" >/dev/null; }
wait_for 60 painted || fail "no role dialog"
sleep 1
import -window root "$SHOTS/role_choice-1-role.png"
read -r X Y < <(probe painted "$TITLE")
ROLE_WINDOWS="$(titled "$TITLE")"

# The destination panel; then the partner dialog, a second window of the same title.
xdotool mousemove $((X + 430)) $((Y + 220)) click 1
partner_window() { comm -13 <(echo "$ROLE_WINDOWS" | sort) <(titled "$TITLE" | sort) | head -1; }
has_partner() { [ -n "$(partner_window)" ]; }
wait_for 20 has_partner || fail "the destination button opens no partner dialog"
PARTNER="$(partner_window)"
sleep 0.5
xdotool windowfocus --sync "$PARTNER" 2>/dev/null || true
xdotool type --window "$PARTNER" --delay 40 "127.0.0.1"
sleep 0.5
import -window root "$SHOTS/role_choice-2-partner.png"
xdotool key --window "$PARTNER" Return

# The main window: one painted window of the title again, now showing the destination screen
# with its end button drawn at (208,247) exactly as the bitmap is.
only_main() { [ "$(titled "$TITLE" | wc -l)" -eq 1 ] && painted; }
wait_for 20 only_main || fail "no main window after the partner was given"
sleep 1
SHOT="$SHOTS/role_choice-3-destination.png"
import -window root "$SHOT"
read -r X Y < <(probe painted "$TITLE")
convert "$SHOT" -crop "195x95+$((X + 208))+$((Y + 247))" +repage /tmp/role_choice_end.png
differing=$(compare -metric AE /tmp/role_choice_end.png "$ART/bmp_236.bmp" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the end button is not drawn at (208,247) ($differing pixels differ)"

# The end button ends the program.
xdotool mousemove $((X + 300)) $((Y + 287)) click 1
ended() { ! kill -0 "$APP" 2>/dev/null; }
wait_for 20 ended || fail "the end button did not end the program"
echo "role_choice: ok"
