#!/usr/bin/env bash
# End-to-end speed of a whole-drive copy between two tandrix.exe under Wine, against tar|socat
# with tuned buffers and an rsync daemon between the same two network namespaces (the two-PC
# setup of tests/wine/two_pcs.bash). PC-A's drive D: holds only the workload; its C: adds
# Wine's users folder (the program is installed below Program Files, which the copy leaves
# out). The tools take turns, the page cache is dropped before each run, and every run is
# checked at the destination (bytes and write times) before it counts; the median of the runs
# is reported with the phases of the copy, CPU seconds and peak memory of each PC.
#   bash scripts/bench-e2e.sh [--quick] [--runs N] [big|small|mixed|big1g|one ...]
# --quick: small workloads (64 MiB, 500 files, 100 mixed files) for a smoke run of a few minutes.
# Wine under a screen without a window manager waits 2 s whenever a captioned window of the program
# is hidden (it never hears the window manager confirm it); a PC with Windows pays nothing there.
# While a copy is timed, tests/wine/wmstate.c answers for the missing window manager
# (BENCH_NO_WMSTATE=1 leaves it out); any wait that still happens is read from each program's
# own Wine messages and reported beside the total.
# Profiling a run: BENCH_PERF=PREFIX records `perf` of both programs and both wineservers into
# PREFIX.PROG_A ... (BENCH_PERF_ARGS adds options, e.g. "-g"); BENCH_STRACE=PREFIX counts their system calls (BENCH_STRACE_ARGS, default
# "-c -w", replaces strace's options).
# Out of CI; needs root. Results are also kept in build/bench-e2e.txt.
NAME=bench-e2e
if [ "$(id -u)" -ne 0 ]; then
    echo "$NAME: FAILED: needs root (network namespaces, the page cache)" >&2
    exit 1
fi
# The two PCs' helpers (and scripts/common.sh); it defines say, fail and shot, works below
# build/wine-tests/bench-e2e and skips the run where namespaces cannot be made.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/wine/two_pcs.bash"

QUICK=""
RUNS=3
WORKLOADS=()
while (($#)); do
    case $1 in
    --quick) QUICK=--quick ;;
    --runs) RUNS=$2 && shift ;;
    big | small | mixed | big1g | one) WORKLOADS+=("$1") ;;
    *) echo "usage: $0 [--quick] [--runs N] [big|small|mixed|big1g|one ...]" >&2 && exit 2 ;;
    esac
    shift
done
((${#WORKLOADS[@]})) || WORKLOADS=(big small mixed big1g one)

REPORT="$BUILD/bench-e2e.txt"

PACKAGES+=(socat rsync libx11-dev)
ensure_packages
mkdir -p "$BUILD"
cc -O2 -Wall -Wextra -Werror -o "$BUILD/wmstate" "$ROOT/tests/wine/wmstate.c" -lX11
if [ ! -f "$ART/bmp_287.bmp" ]; then
    cmake -S "$ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE" -j "$JOBS" --target artgen
    build_art
fi
build_windows

# The program below Program Files: a whole-drive copy answered No leaves it out.
# shellcheck disable=SC2034 # read by install_tandrix
INSTALL_DIR='Program Files/ソラノワBasic'
INSTALLED_EXE='C:\Program Files\ソラノワBasic\Program\bin\tandrix.exe'

SRC="$WORK/pc-a-drive-d"      # PC-A's D:, the workload
TAR_DEST="$WORK/tar-dest"     # in PC-B's namespace
RSYNC_DEST="$WORK/rsync-dest" # in PC-B's namespace
FERRYLO="$DRIVE_D/Ferrylo"
DEST="$FERRYLO/PC-AのDドライブ"
RSYNC_PORT=8730
TAR_PORT=5301
BUF=1048576     # socat's block and tar's record size
SOCKBUF=4194304 # socket buffers of socat
RSYNCD=""
bench_cleanup() {
    set +e
    [ -n "$RSYNCD" ] && kill "$RSYNCD" 2>/dev/null
    cleanup
    for prefix in "$PREFIX_A" "$PREFIX_B"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -w 2>/dev/null
    done
    rm -rf "$WORK"
}
trap bench_cleanup EXIT

# Disk: the largest workload twice (source and one destination at a time) and two prefixes.
need_gb=$([ -n "$QUICK" ] && echo 3 || echo 8)
free_gb=$(($(df -Pk "$BUILD" | awk 'NR == 2 { print $4 }') / 1024 / 1024))
((free_gb >= need_gb + 2)) ||
    fail "only $free_gb GB free below $BUILD; the run needs about $need_gb GB (try --quick)"

now() { echo "$EPOCHREALTIME"; }
# Runs take their turns in subshells: whether the cache can be dropped is found out once.
CACHE_NOTE="page cache dropped before each run"
# Every tool starts right after the drop. On a virtual machine that hands freed memory back to
# its host (free page reporting), the pages freed by the drop are returned within seconds, and
# the first touch of a returned page costs a host fault: reading 2 GiB cold took 0.1-0.4 s of
# CPU right after the drop and 2-3 s of CPU five to eight seconds later. A tool that started
# seconds after its drop would pay for that and the other would not.
drop_caches() {
    [ -n "${BENCH_KEEP_CACHE:-}" ] && return 0
    sync
    echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
}
sync
echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || CACHE_NOTE="page cache NOT dropped (not allowed here)"
TICKS=$(getconf CLK_TCK)

# ---- the two PCs ----------------------------------------------------------------------------
two_pcs_network
two_pcs_prefixes
mkdir -p "$SRC" "$TAR_DEST" "$RSYNC_DEST"
ln -s "$SRC" "$PREFIX_A/dosdevices/d:"
two_pcs_boot
STAMP_STDERR=1
two_pcs_start

cat >"$WORK/rsyncd.conf" <<EOF
use chroot = no
[bench]
path = $RSYNC_DEST
read only = no
uid = 0
gid = 0
EOF
ip netns exec "$NS_B" rsync --daemon --no-detach --port=$RSYNC_PORT --config="$WORK/rsyncd.conf" &
RSYNCD=$!

# ---- measuring a side from outside ------------------------------------------------------------
# side_pid NS NAME: the process of that namespace named NAME (Wine names a program's process
# after its exe).
side_pid() {
    local p
    for p in $(ip netns pids "$1"); do
        [ "$(cat "/proc/$p/comm" 2>/dev/null)" = "$2" ] && { echo "$p"; return 0; }
    done
    return 1
}
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
peak_kb() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }
PROG_A="$(side_pid "$NS_A" tandrix.exe)" || fail "no tandrix.exe process on PC-A"
PROG_B="$(side_pid "$NS_B" tandrix.exe)" || fail "no tandrix.exe process on PC-B"
SERVER_A="$(side_pid "$NS_A" wineserver64)" || fail "no wineserver on PC-A"
SERVER_B="$(side_pid "$NS_B" wineserver64)" || fail "no wineserver on PC-B"
counters() { echo "$(cpu_ticks "$PROG_A") $(cpu_ticks "$SERVER_A") $(cpu_ticks "$PROG_B") $(cpu_ticks "$SERVER_B")"; }
birth() { [ -e "$1" ] && stat -c %.3W "$1" || echo -; }
pathlog_a() { find "$PREFIX_A/drive_c/users" -path '*/ソラノワBasic/work/FerryloPath.log' 2>/dev/null | head -1; }

# PC-B opens the received data in a folder window after each copy; it is closed before the next
# run (it would otherwise watch the folder that the next copy writes).
close_folder_windows() {
    local w p
    for w in $(folder_windows); do
        p="$(window_pid "$w")"
        [ -n "$p" ] && [ "$(ip netns identify "$p" 2>/dev/null)" = "$NS_B" ] && kill "$p" 2>/dev/null
    done
    return 0
}

# ---- checking what arrived ----------------------------------------------------------------------
# manifest DIR DIGITS: one line per file: path, size, write time to DIGITS decimals, MD5.
manifest() {
    (
        cd "$1" || exit 1
        find . -type f -printf '%P\t%s\t%T@\n' | LC_ALL=C sort >"$WORK/meta"
        find . -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 -r md5sum | awk '{ print $1 }' >"$WORK/sums"
    )
    paste "$WORK/meta" "$WORK/sums" | awk -F'\t' -v d="$2" '{
        split($3, t, "."); s = d > 0 ? t[1] "." substr(t[2], 1, d) : t[1]; print $1 "\t" $2 "\t" s "\t" $4 }'
}
verify() {  # verify DIR DIGITS WHAT
    manifest "$1" "$2" >"$WORK/got"
    cmp -s "$WORK/want.$2" "$WORK/got" ||
        fail "$3: the destination differs from the source: $(diff "$WORK/want.$2" "$WORK/got" | head -5)"
}

# ---- one run of each tool -------------------------------------------------------------------------
program_files_question() { probe a messagebox "$TITLE" | grep -q '^ProgramFilesフォルダをコピーしますか？'; }
no_question() { ! program_files_question; }

# wm_waits T0 T1: how many of Wine's 2-second window-manager waits (each program reports one as it
# gives up) fell between T0 and T1 on either PC, and the seconds they cover together.
wm_waits() {
    cat "$WORK"/stderr-[ab].log 2>/dev/null | grep 'wait_for_withdrawn_state.*wait timed out' |
        awk -v t0="$1" -v t1="$2" '{ e = $1; s = e - 2; if (s < t0) s = t0; if (e > t1) e = t1
                if (e > s) printf "%.6f %.6f\n", s, e }' | sort -g |
        awk 'BEGIN { c = 0; total = 0; hi = -1 }
             { c++; if ($1 > hi) { if (hi >= 0) total += hi - lo; lo = $1; hi = $2 } else if ($2 > hi) hi = $2 }
             END { if (hi >= 0) total += hi - lo; printf "%d %.2f\n", c, total }'
}

# run_tandrix TIMEOUT: a whole-drive copy to PC-B's D:; prints the seconds from OK in the drive
# dialog to the closing message, the four phases, CPU seconds (program, wineserver of PC-A,
# then of PC-B) and the peak memory of both programs in MB.
run_tandrix() {
    local timeout=$1 box drives t0 t1 c0 c1 log_a
    rm -rf "$FERRYLO"
    log_a="$(pathlog_a)"
    [ -n "$log_a" ] && rm -f "$log_a"
    close_folder_windows
    click_client a 427 308
    wait_for 60 program_files_question || fail "PC-A asks no Program Files question (it says: $(probe a messagebox "$TITLE"))"
    box="$(other_windows_a | head -1)"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --window "$box" n
    wait_for 10 no_question || fail "the Program Files question was not answered by N"
    select_drive_d
    drives="$(drive_dialog)"
    echo 5 >"/proc/$PROG_A/clear_refs"
    echo 5 >"/proc/$PROG_B/clear_refs"
    c0="$(counters)"
    local tracers=() who
    if [ -n "${BENCH_PERF:-}" ]; then
        for who in PROG_A SERVER_A PROG_B SERVER_B; do
            # shellcheck disable=SC2086 # the options are words
            perf record -q ${BENCH_PERF_ARGS:-} -o "$BENCH_PERF.$who" -p "${!who}" >/dev/null 2>&1 &
            tracers+=($!)
        done
    fi
    if [ -n "${BENCH_STRACE:-}" ]; then
        for who in PROG_A SERVER_A PROG_B SERVER_B; do
            # shellcheck disable=SC2086 # the options are words
            strace ${BENCH_STRACE_ARGS:--c -w} -f -o "$BENCH_STRACE.$who" -p "${!who}" 2>/dev/null &
            tracers+=($!)
        done
    fi
    ((${#tracers[@]})) && sleep 1
    # Dropped at the start, as for the other tools: see drop_caches.
    drop_caches
    t0="$(now)"
    xdotool key --window "$drives" Return
    # The window states a window manager would keep, from the moment the last key is sent.
    local wmstate=""
    if [ -z "${BENCH_NO_WMSTATE:-}" ]; then
        "$BUILD/wmstate" &
        wmstate=$!
    fi
    local deadline=$((SECONDS + timeout))
    until has_other_a; do
        ((SECONDS < deadline)) || fail "no closing message within $timeout s"
        sleep 0.1
    done
    t1="$(now)"
    c1="$(counters)"
    [ -z "$wmstate" ] || kill "$wmstate"
    if ((${#tracers[@]})); then
        kill -INT "${tracers[@]}" 2>/dev/null
        wait "${tracers[@]}" 2>/dev/null
    fi
    local peak
    peak="$(peak_kb "$PROG_A") $(peak_kb "$PROG_B")"
    closing || fail "PC-A ends with another message: $(probe a messagebox "$TITLE")"
    close_closing
    [ ! -e "$FERRYLO/FerryloLog.txt" ] ||
        fail "PC-B's error list names files: $(tr -d '\r' <"$FERRYLO/FerryloLog.txt" | head -5)"
    # Phase boundaries from outside: PC-B makes its base folder once the count is done, PC-A
    # starts its path log when the survey begins, and the log reaches PC-B when it ends.
    local base survey logged
    base="$(birth "$FERRYLO")"
    survey="$(birth "$(pathlog_a)")"
    logged="$(birth "$FERRYLO/FerryloPath.log")"
    local waits
    waits="$(wm_waits "$t0" "$t1")"
    awk -v t0="$t0" -v t1="$t1" -v b="$base" -v s="$survey" -v l="$logged" -v c0="$c0" -v c1="$c1" \
        -v peak="$peak" -v hz="$TICKS" -v waits="$waits" 'function d(x, y) { return (x == "-" || y == "-") ? "-" : sprintf("%.2f", y - x) }
        BEGIN {
            split(c0, a, " "); split(c1, z, " "); split(peak, p, " "); split(waits, w, " ")
            printf "%.3f %s %s %s %s", t1 - t0, d(t0, b), d(b, s), d(s, l), d(l, t1)
            for (i = 1; i <= 4; i++) printf " %.2f", (z[i] - a[i]) / hz
            printf " %.0f %.0f %d %.2f %.3f\n", p[1] / 1024, p[2] / 1024, w[1], w[2], t1 - t0 - w[2]
        }'
}

listening() { ip netns exec "$NS_B" ss -Hltn "sport = :$1" | grep -q .; }
run_tar() {  # prints the seconds from the start of tar to the end of the unpacking
    local t0 t1 rx
    rm -rf "$TAR_DEST" && mkdir -p "$TAR_DEST"
    drop_caches
    ip netns exec "$NS_B" sh -c 'socat -u -b "$1" TCP-LISTEN:"$2",reuseaddr,rcvbuf="$3" STDOUT |
        tar -x -b "$(($1 / 512))" -f - -C "$0"' "$TAR_DEST" $BUF $TAR_PORT $SOCKBUF &
    rx=$!
    wait_for 10 listening $TAR_PORT || fail "socat does not listen in PC-B's namespace"
    t0="$(now)"
    ip netns exec "$NS_A" sh -c 'tar -c -b "$(($1 / 512))" -f - -C "$0" . |
        socat -u -b "$1" STDIN TCP:"$2":"$3",sndbuf="$4"' "$SRC" $BUF "$ADDR_B" $TAR_PORT $SOCKBUF
    wait "$rx" || fail "tar|socat failed"
    t1="$(now)"
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}
run_rsync() {  # prints the seconds of one rsync to the daemon
    local t0 t1
    rm -rf "$RSYNC_DEST" && mkdir -p "$RSYNC_DEST"
    drop_caches
    t0="$(now)"
    ip netns exec "$NS_A" rsync -a --whole-file "$SRC/" "rsync://$ADDR_B:$RSYNC_PORT/bench/" ||
        fail "rsync failed"
    t1="$(now)"
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

# ---- the workloads ------------------------------------------------------------------------------
# median FILE COLUMN: the median of that column (the middle run's value for each column apart).
median() {
    awk -v c="$2" '$c != "-" { print $c }' "$1" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
LOAD_START="$(uptime)"
: >"$WORK/table"
: >"$WORK/phases"
SHAPED=""
for wl in "${WORKLOADS[@]}"; do
    kind=$wl
    [ "$wl" = big1g ] && kind=big
    rm -rf "$SRC" && mkdir -p "$SRC"
    read -r files bytes < <(python3 "$ROOT/scripts/bench-workload.py" "$kind" "$SRC" "$QUICK")
    manifest "$SRC" 3 >"$WORK/want.3"
    manifest "$SRC" 0 >"$WORK/want.0"
    tools=(tandrix tar rsync)
    [ "$wl" = one ] && tools=(tandrix)
    [ "$wl" = big1g ] && tools=(tandrix tar)
    if [ "$wl" = big1g ]; then
        ip netns exec "$NS_A" tc qdisc add dev "$VETH_A" root tbf rate 1gbit burst 1mb latency 50ms 2>/dev/null ||
            { say "the link cannot be shaped here; big1g left out"; continue; }
        SHAPED=yes
    fi
    say "$wl: $files files, $bytes bytes; tools ${tools[*]}; $RUNS runs"
    : >"$WORK/runs.tandrix" && : >"$WORK/runs.tar" && : >"$WORK/runs.rsync"
    for run in $(seq "$RUNS"); do
        for tool in "${tools[@]}"; do
            case $tool in
            tandrix)
                result="$(run_tandrix $((300 + bytes / 2000000)))"
                verify "$DEST" 3 "tandrix.exe, $wl run $run"
                ;;
            tar)
                result="$(run_tar)"
                # tar's default format keeps write times to the second.
                verify "$TAR_DEST" 0 "tar|socat, $wl run $run"
                ;;
            rsync)
                result="$(run_rsync)"
                verify "$RSYNC_DEST" 3 "rsync, $wl run $run"
                ;;
            esac
            say "$wl run $run $tool: $result"
            echo "$result" >>"$WORK/runs.$tool"
        done
    done
    if [ "$wl" = big1g ]; then
        ip netns exec "$NS_A" tc qdisc del dev "$VETH_A" root
    fi
    # Carried along on every run: PC-A's C: (Wine's users folder).
    extra="$(find "$FERRYLO/PC-AのCドライブ" -type f 2>/dev/null | wc -l) files, $(du -sk "$FERRYLO/PC-AのCドライブ" 2>/dev/null | cut -f1) KiB"
    rm -rf "$FERRYLO" "$TAR_DEST" "$RSYNC_DEST" "$SRC"
    mkdir -p "$SRC" "$TAR_DEST" "$RSYNC_DEST"
    for tool in tandrix tar rsync; do cp "$WORK/runs.$tool" "$WORK/runs.$tool.$wl"; done
    echo "$wl $files $bytes $(median "$WORK/runs.tar" 1) $(median "$WORK/runs.rsync" 1) $(median "$WORK/runs.tandrix" 1) $(median "$WORK/runs.tandrix" 14)" >>"$WORK/table"
    echo "$wl $(for c in 1 2 3 4 5 6 7 8 9 10 11 12 13; do printf '%s ' "$(median "$WORK/runs.tandrix" $c)"; done)" >>"$WORK/phases"
done
LOAD_END="$(uptime)"

# ---- the report ---------------------------------------------------------------------------------
{
    echo "End-to-end whole-drive copy, $(date -u '+%F %H:%M UTC'), $(git -C "$ROOT" rev-parse --short HEAD)${QUICK:+, quick workloads}"
    echo "median of $RUNS runs, tools interleaved, $CACHE_NOTE; every run checked (bytes, write times)"
    echo "load average before: ${LOAD_START##*average: }; after: ${LOAD_END##*average: } (2 cores, shared)"
    echo "each copy also carried PC-A's C: (Wine's users folder): $extra"
    echo
    echo "| workload | tar\\|socat (tuned buffers) | rsync daemon | tandrix.exe | ratio to tar\\|socat | tandrix.exe less Wine's window-manager waits | ratio |"
    echo "|---|---|---|---|---|---|---|"
    awk 'function rate(kind, files, bytes, s) {
             if (s == "-") return "–"
             if (kind == "one") return sprintf("%.2f s", s)
             if (kind == "small") return sprintf("%.0f files/s", files / s)
             return sprintf("%.1f MB/s", bytes / s / 1e6)
         }
         function label(kind, files, bytes) {
             if (kind == "big") return sprintf("one %.0f MiB file", bytes / 1048576)
             if (kind == "big1g") return sprintf("the %.0f MiB file, link shaped to 1 Gbit/s", bytes / 1048576)
             if (kind == "small") return sprintf("%d × 4 KiB in %d folders", files, files / 100)
             if (kind == "mixed") return sprintf("%d mixed files, %.2f GB", files, bytes / 1e9)
             return "a 1-byte file (fixed cost)"
         }
         { ratio = ($4 == "-" || $6 == "-") ? "–" : sprintf("%.3f×", $4 / $6)
           ratio2 = ($4 == "-" || $7 == "-") ? "–" : sprintf("%.3f×", $4 / $7)
           printf "| %s | %s | %s | %s | %s | %s | %s |\n", label($1, $2, $3), rate($1, $2, $3, $4), rate($1, $2, $3, $5), rate($1, $2, $3, $6), ratio, rate($1, $2, $3, $7), ratio2 }' "$WORK/table"
    echo
    echo "tandrix.exe, medians (seconds; CPU seconds of program + wineserver per PC; peak memory of each program)"
    echo "| workload | total | counting | sending | survey | result check | CPU PC-A | CPU PC-B | peak PC-A | peak PC-B | Wine WM waits (s) |"
    echo "|---|---|---|---|---|---|---|---|---|---|---|"
    awk '{ printf "| %s | %s | %s | %s | %s | %s | %s + %s | %s + %s | %s MB | %s MB | %s (%s) |\n", $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14 }' "$WORK/phases"
    [ -n "$SHAPED" ] || echo "(the shaped link was not measured)"
    echo
    echo "each run (tandrix.exe: total, counting, sending, survey, result check, CPU A program, A wineserver, B program, B wineserver, peak MB A, B, Wine WM waits, their seconds, total less them; others: seconds)"
    for f in "$WORK"/runs.*.*; do
        [ ! -s "$f" ] || sed "s|^|${f##*/runs.}: |" "$f"
    done
} | tee "$REPORT"
