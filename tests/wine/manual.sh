#!/usr/bin/env bash
# The manual buttons of tandrix.exe, installed as on a PC (C:\ソラノワBasic\Program\bin with
# the manual in C:\ソラノワBasic\Docs\manual): the role dialog's button opens the local
# index.html; once the manual is gone, the main window's button opens the online manual.
# What the shell opens is recorded by winprobe.exe, registered here as the program that
# opens .html files and http(s) addresses.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

TITLE="ソラノワ Basic"
SHOTS="$BUILD/screenshots"
PREFIX="$BUILD/wine-tests/manual"
make_prefix "$PREFIX"
export WINEPREFIX="$PREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$SHOTS"
install_tandrix "$PREFIX" "$WINBUILD/winprobe.exe"
BIN="C:\\$INSTALL_DIR\\Program\\bin"
OPENED="$PREFIX/drive_c/opened.txt"
rm -f "$OPENED"

# Every way the shell may open a page leads to the recorder.
bin_reg="${BIN//\\/\\\\}"
recorder="\\\"$bin_reg\\\\winprobe.exe\\\" record C:\\\\opened.txt \\\"%1\\\""
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CLASSES_ROOT\\.html]\r\n@="htmlfile"\r\n\r\n'
    for key in htmlfile http https; do
        printf '[-HKEY_CLASSES_ROOT\\%s\\shell\\open\\ddeexec]\r\n\r\n' "$key"
        printf '[HKEY_CLASSES_ROOT\\%s\\shell\\open\\command]\r\n@="%s"\r\n\r\n' "$key" "$recorder"
    done
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$PREFIX/drive_c/opener.reg"
start_wine_session
jwine regedit /S 'C:\opener.reg' </dev/null >/dev/null 2>&1

fail() {
    echo "manual: $*" >&2
    import -window root "$SHOTS/manual-failure.png" 2>/dev/null || true
    exit 1
}
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
probe() { jwine "$BIN\\winprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
painted() { probe painted "$TITLE" >/dev/null; }
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
recorded() { [ -s "$OPENED" ] && [ "$(wc -l <"$OPENED")" -ge "$1" ]; }
# A Windows path with its "." and ".." steps resolved, in upper case.
resolved() {
    local out=() part
    IFS='\' read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        case "$part" in
            . | '') ;;
            ..) ((${#out[@]} > 1)) && unset 'out[-1]' ;;
            *) out+=("$part") ;;
        esac
    done
    local IFS='\'
    echo "${out[*]^^}"
}

jwine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
APP=$!
wait_for 60 painted || fail "no role dialog"
sleep 0.5
read -r X Y < <(probe painted "$TITLE")

# The role dialog's manual button, with the manual installed: the local page.
xdotool mousemove $((X + 60)) $((Y + 25)) sleep 0.2 click 1
wait_for 20 recorded 1 || fail "the role dialog's manual button opened nothing"
opened="$(sed -n 1p "$OPENED" | tr -d '\r')"
want="C:\\$INSTALL_DIR\\Docs\\manual\\index.html"
[ "$(resolved "$opened")" = "$(resolved "$want")" ] ||
    fail "the manual button opened '$opened', expected the local manual $want"
echo "manual: the role dialog opens $opened"

# Without the manual, the main window's button opens the online manual.
rm -rf "$PREFIX/drive_c/$INSTALL_DIR/Docs"
ROLE_WINDOWS="$(titled "$TITLE")"
partner() { comm -13 <(echo "$ROLE_WINDOWS" | sort) <(titled "$TITLE" | sort) | head -1; }
has_partner() { [ -n "$(partner)" ]; }
# On a loaded machine a click or the typed text can be lost: each step is tried again.
for _ in 1 2 3; do
    xdotool mousemove $((X + 440)) $((Y + 220)) sleep 0.2 click 1
    wait_for 10 has_partner && break
done
has_partner || fail "no partner dialog"
PARTNER="$(partner)"
only_main() { [ "$(titled "$TITLE" | wc -l)" -eq 1 ] && painted; }
for _ in 1 2 3; do
    sleep 0.3
    xdotool windowfocus --sync "$PARTNER" 2>/dev/null || true
    xdotool key --window "$PARTNER" ctrl+a BackSpace 2>/dev/null || true
    xdotool type --window "$PARTNER" --delay 40 "127.0.0.1" 2>/dev/null || true
    xdotool key --window "$PARTNER" Return 2>/dev/null || true
    wait_for 10 only_main && break
done
only_main || fail "no main window"
sleep 0.5
read -r X Y < <(probe painted "$TITLE")
xdotool mousemove $((X + 60)) $((Y + 25)) sleep 0.2 click 1
wait_for 20 recorded 2 || fail "the main window's manual button opened nothing"
opened="$(sed -n 2p "$OPENED" | tr -d '\r')"
[ "$opened" = "https://www.soranowa.example/basic/manual/" ] ||
    fail "without the local manual the button opened '$opened', not the online manual"
echo "manual: without the local manual the main window opens $opened"
kill -0 "$APP" 2>/dev/null || fail "the program ended"
echo "manual: ok"
