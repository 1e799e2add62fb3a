#!/usr/bin/env bash
# Shared by the scripts: paths, package installation, builds, the Wine prefix and Xvfb.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TANDRIX_BUILD:-$ROOT/build}"
NATIVE="$BUILD/native"
WINBUILD="$BUILD/windows"
ART="$BUILD/art"
JOBS="$(nproc)"

PACKAGES=(cmake g++ clang libgtest-dev libbenchmark-dev libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth imagemagick xdotool
          fonts-noto-cjk fonts-ipafont-gothic fonts-wine locales iproute2 util-linux procps)

log() { printf '== %s\n' "$*" >&2; }

# Installs every package that is not there yet (fast when all are present).
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        log "installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    ensure_japanese_locale
}

# Wine takes the ANSI code page from the Unix locale: ja_JP.UTF-8 makes it 932, as on a
# Japanese Windows, while file names stay UTF-8 on the Linux side.
JA_LOCALE=ja_JP.UTF-8
ensure_japanese_locale() {
    if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        log "generating the $JA_LOCALE locale"
        localedef -i ja_JP -f UTF-8 "$JA_LOCALE"
    fi
}

build_native() {
    log "native build"
    cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE" -j "$JOBS"
}

build_art() {
    log "artwork"
    mkdir -p "$ART"
    "$NATIVE/artgen" "$ART"
    "$ROOT/tools/artwork/make-bitmaps.sh" "$ART"
}

build_windows() {
    log "windows build"
    cmake -S "$ROOT" -B "$WINBUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTANDRIX_ART_DIR="$ART" >/dev/null
    cmake --build "$WINBUILD" -j "$JOBS" --target tandrix tandrix_win_tests winprobe showdialog
}

# A display for Wine: a private Xvfb on a free display number, 1024 x 768 unless a size is
# given (start_xvfb 91 1280x1024).
start_xvfb() {
    local n=${1:-91}
    local size=${2:-1024x768}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

stop_xvfb() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true; }

wine_env() {
    export WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;netprofm=d;winemenubuilder.exe=d"
}

# wine as on a Japanese Windows (see ensure_japanese_locale).
jwine() { LC_ALL="$JA_LOCALE" wine "$@"; }

# Starts the prefix's wineserver for good and boots the Wine session before any test runs:
# Wine's service processes would otherwise inherit (and hold open) the test runner's pipes.
start_wine_session() {
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
}

# A template prefix made once (Japanese font substitutes, own captions, no Z: drive);
# each run copies it into $1. It is made again when the registry settings change.
TEMPLATE_PREFIX="$BUILD/wine-template"
make_prefix() {
    local dest=$1
    wine_env
    local stamp
    stamp="$(sha256sum "$ROOT/scripts/wine-prefix.reg" | cut -d' ' -f1)"
    if [ "$(cat "$TEMPLATE_PREFIX/.ready" 2>/dev/null)" != "$stamp" ]; then
        log "creating the Wine prefix template"
        rm -rf "$TEMPLATE_PREFIX"
        WINEPREFIX="$TEMPLATE_PREFIX" wineboot -i </dev/null >/dev/null 2>&1 || true
        WINEPREFIX="$TEMPLATE_PREFIX" wine regedit /S "$ROOT/scripts/wine-prefix.reg" \
            </dev/null >/dev/null 2>&1 || true
        WINEPREFIX="$TEMPLATE_PREFIX" wineserver -w || true
        cp /usr/share/wine/fonts/marlett.ttf "$TEMPLATE_PREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        rm -f "$TEMPLATE_PREFIX/dosdevices/z:"
        echo "$stamp" >"$TEMPLATE_PREFIX/.ready"
    fi
    rm -rf "$dest"
    mkdir -p "$(dirname "$dest")"
    cp -a "$TEMPLATE_PREFIX" "$dest"
    # Wine links the user's Desktop, Documents, Music... to the Linux home; on a PC they are
    # folders of their own. (A whole-drive copy would otherwise walk the Linux home, once per
    # link, and the desktop shortcut would land there.)
    local link
    while IFS= read -r -d '' link; do
        rm -f "$link" && mkdir -p "$link"
    done < <(find "$dest/drive_c/users" -type l -print0)
}

# The program as it is installed, below the folder $1: the exe in ソラノワBasic\Program\bin, the
# manual in ソラノワBasic\Docs\manual, where the program looks for it (two folders up from its
# own, then Docs\manual\index.html). The manual's header picture is made from the program's own
# header bitmap. Extra files given after the folder go beside the exe.
INSTALL_DIR='ソラノワBasic'
INSTALLED_EXE='C:\ソラノワBasic\Program\bin\tandrix.exe'
lay_out_install() {
    local top="$1/$INSTALL_DIR"
    shift
    mkdir -p "$top/Program/bin" "$top/Docs/manual"
    cp "$WINBUILD/tandrix.exe" "$@" "$top/Program/bin/"
    cp "$ROOT"/docs/manual/*.html "$ROOT"/docs/manual/*.css "$top/Docs/manual/"
    if [ -f "$ART/bmp_287.bmp" ]; then
        convert "$ART/bmp_287.bmp" "$top/Docs/manual/header.png"
    fi
}

# Installs the program into a prefix as on a PC: below C:\.
install_tandrix() {
    local prefix=$1
    shift
    lay_out_install "$prefix/drive_c" "$@"
}
