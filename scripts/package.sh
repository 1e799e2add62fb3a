#!/usr/bin/env bash
# One download: builds tandrix.exe and packs it with the manual into build/ソラノワBasic.zip,
# laid out as installed (ソラノワBasic\Program\bin\tandrix.exe, ソラノワBasic\Docs\manual\).
# Fails unless the exe needs nothing but DLLs every Windows 7 to 10 has, the zip unpacks with
# unzip and with Python to exactly the files packed, under their Japanese names, and the
# unpacked exe starts under Wine and shows its first window (build/screenshots/package-start.png).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES+=(python3 unzip)
ensure_packages
build_native
build_art
build_windows

ZIP="$BUILD/ソラノワBasic.zip"
WORK="$BUILD/package"
STAGE="$WORK/stage"
OBJDUMP=x86_64-w64-mingw32-objdump
STRIP=x86_64-w64-mingw32-strip

fail() {
    echo "package: $*" >&2
    exit 1
}

# System DLLs present on every Windows 7 to 10. A runtime DLL of the compiler (libstdc++,
# libgcc, libwinpthread) or anything else would have to be shipped beside the exe.
SYSTEM_DLLS="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
oleaut32.dll shell32.dll user32.dll ws2_32.dll"
check_imports() {
    local dlls dll
    dlls="$("$OBJDUMP" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
    [ -n "$dlls" ] || fail "no import table read from $1"
    for dll in $dlls; do
        [[ " $(echo $SYSTEM_DLLS) " == *" $dll "* ]] || fail "$1 imports $dll, which Windows does not have"
    done
    log "imports only system DLLs: $(echo $dlls)"
}

log "staging"
rm -rf "$WORK"
mkdir -p "$STAGE"
lay_out_install "$STAGE"
EXE="$STAGE/$INSTALL_DIR/Program/bin/tandrix.exe"
"$STRIP" "$EXE"  # symbols help nobody who downloads it
check_imports "$EXE"

log "packing $ZIP"
rm -f "$ZIP"
EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || date +%s)"
python3 "$ROOT/scripts/package_zip.py" pack "$STAGE" "$ZIP" "$EPOCH"

log "checking: names, unzip, Python"
python3 "$ROOT/scripts/package_zip.py" check "$ZIP" >"$WORK/names.txt" || fail "unsound entries"
for want in "$INSTALL_DIR/Program/bin/tandrix.exe" "$INSTALL_DIR/Docs/manual/index.html"; do
    grep -qxF "$want" "$WORK/names.txt" || fail "$want is not in the zip"
done
unzip -q "$ZIP" -d "$WORK/unzip"
diff -r "$STAGE" "$WORK/unzip" || fail "unzip unpacks other files or names"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], metadata_encoding="cp932").extractall(sys.argv[2])' \
    "$ZIP" "$WORK/python"
diff -r "$STAGE" "$WORK/python" || fail "Python unpacks other files or names"

log "starting the unpacked program under Wine"
PREFIX="$WORK/wine"
make_prefix "$PREFIX"
export WINEPREFIX="$PREFIX"
start_xvfb 91
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
start_wine_session
unzip -q "$ZIP" -d "$PREFIX/drive_c"
source "$ROOT/tests/wine/common.bash"
window_shown() { [ -n "$(xdotool search --onlyvisible --name '^ソラノワ Basic$' 2>/dev/null)" ]; }
jwine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
wait_for 60 window_shown || fail "the unpacked tandrix.exe shows no window"
sleep 1
mkdir -p "$BUILD/screenshots"
import -window root "$BUILD/screenshots/package-start.png"

echo
echo "$ZIP: $(stat -c %s "$ZIP") bytes"
unzip -l "$ZIP"
