# Two PCs on one machine for the end-to-end scripts (sourced, never run by itself): each
# tandrix.exe under Wine in a network namespace of its own, joined by a veth pair
# (10.200.0.1 = PC-A, the source; 10.200.0.2 = PC-B, the destination). Each PC has its own
# prefix whose wineserver runs inside its namespace, and its own computer name (unshare --uts
# + hostname). The users' actions are mouse clicks and keys sent with xdotool; what X cannot
# see (texts of message boxes, list rows, attributes) is read with winprobe.exe inside the
# prefix concerned.
#
# The sourcing script sets NAME first; then it calls, in order: two_pcs_network,
# two_pcs_prefixes (and puts its data into $PREFIX_A / $PREFIX_B), two_pcs_boot,
# two_pcs_start (both programs up, PC-B 引越先 naming pc-a, PC-A 引越元 naming PC-B's address;
# with PICK_FOUND=1 each picks the other from the PCs its partner dialog found instead).
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

TITLE="ソラノワ Basic"
SHOTS="$BUILD/screenshots"
WORK="$BUILD/wine-tests/$NAME"

say() { echo "$NAME [${SECONDS}s]: $*" >&2; }
skip() {
    echo "$NAME: SKIPPED: $*" >&2
    exit 0
}

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null || ! command -v unshare >/dev/null; then
    skip "network namespaces need root, ip and unshare"
fi

NS_A="tdx-a-$$"
NS_B="tdx-b-$$"
VETH_A="vtdxa$$"
VETH_B="vtdxb$$"
ADDR_A=10.200.0.1
ADDR_B=10.200.0.2
PREFIX_A="$WORK/pc-a"
PREFIX_B="$WORK/pc-b"
C_A="$PREFIX_A/drive_c"
DRIVE_D="$WORK/pc-b-drive-d"

# Everything a script starts is ended by its own id or prefix, and the namespaces it made are
# removed.
APP_A=""
APP_B=""
cleanup() {
    set +e
    for prefix in "$PREFIX_A" "$PREFIX_B"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null
    done
    for pid in $APP_A $APP_B; do kill "$pid" 2>/dev/null; done
    ip netns del "$NS_A" 2>/dev/null
    ip netns del "$NS_B" 2>/dev/null
    rm -rf "/etc/netns/$NS_A" "/etc/netns/$NS_B"
    stop_xvfb
}
trap cleanup EXIT

# The namespaces, the link between them and a screen wide enough for both main windows.
two_pcs_network() {
    if ! ip netns add "$NS_A" 2>/dev/null; then
        skip "network namespaces cannot be created on this machine"
    fi
    ip netns add "$NS_B"
    ip link add "$VETH_A" type veth peer name "$VETH_B"
    ip link set "$VETH_A" netns "$NS_A"
    ip link set "$VETH_B" netns "$NS_B"
    ip -n "$NS_A" addr add "$ADDR_A/24" dev "$VETH_A"
    ip -n "$NS_B" addr add "$ADDR_B/24" dev "$VETH_B"
    local ns
    for ns in "$NS_A" "$NS_B"; do
        ip -n "$ns" link set lo up
        mkdir -p "/etc/netns/$ns"
        printf '127.0.0.1 localhost\n%s pc-a\n%s pc-b\n' "$ADDR_A" "$ADDR_B" >"/etc/netns/$ns/hosts"
    done
    ip -n "$NS_A" link set "$VETH_A" up
    ip -n "$NS_B" link set "$VETH_B" up
    start_xvfb 91 1280x1024
}

# on a|b COMMAND...: runs COMMAND as a program of that PC: in its namespace, under its
# computer name, with its prefix and the Japanese locale.
on() {
    local side=$1
    shift
    local ns prefix host
    if [ "$side" = a ]; then ns=$NS_A prefix=$PREFIX_A host=pc-a; else ns=$NS_B prefix=$PREFIX_B host=pc-b; fi
    ip netns exec "$ns" unshare --uts sh -c 'hostname "$0" && exec "$@"' "$host" \
        env WINEPREFIX="$prefix" LC_ALL="$JA_LOCALE" "$@"
}
probe() {  # probe a|b ARGS...: winprobe.exe (installed beside the program) inside that PC's prefix
    local side=$1
    shift
    on "$side" wine "${INSTALLED_EXE%\\*}\\winprobe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'
}

N_SHOT=0
shot() {  # shot NAME: a screenshot of the whole screen, numbered in order
    N_SHOT=$((N_SHOT + 1))
    import -window root "$SHOTS/$(printf '%s-%02d-%s.png' "$NAME" "$N_SHOT" "$1")"
}
fail() {
    say "FAILED: $*"
    import -window root "$SHOTS/$NAME-failure.png" 2>/dev/null || true
    exit 1
}
# X windows of one PC's program, titled exactly $2, one id a line.
windows_of() {  # windows_of PID TITLE
    xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | sort || true
}
painted() { probe "$1" painted "$TITLE" >/dev/null; }
# Screen point of a client point of that PC's topmost painted window.
client_to_screen() {  # client_to_screen a|b X Y
    local x y
    read -r x y < <(probe "$1" painted "$TITLE")
    echo "$((x + $2)) $((y + $3))"
}
click_client() {  # click_client a|b X Y
    local sx sy
    read -r sx sy < <(client_to_screen "$1" "$2" "$3")
    xdotool mousemove "$sx" "$sy" sleep 0.2 click 1
}

# Fresh prefixes with the program installed, and PC-B's second disk, D:.
two_pcs_prefixes() {
    mkdir -p "$SHOTS"
    rm -f "$SHOTS/$NAME"-*.png
    rm -rf "$WORK"
    mkdir -p "$WORK"
    make_prefix "$PREFIX_A"
    make_prefix "$PREFIX_B"
    install_tandrix "$PREFIX_A" "$WINBUILD/winprobe.exe"
    install_tandrix "$PREFIX_B" "$WINBUILD/winprobe.exe"
    mkdir -p "$DRIVE_D"
    ln -s "$DRIVE_D" "$PREFIX_B/dosdevices/d:"
}

# Each prefix's wineserver starts inside its namespace: sockets live in the wineserver.
two_pcs_boot() {
    local side
    for side in a b; do
        on "$side" wineserver -p
        on "$side" wine wineboot </dev/null >/dev/null 2>&1
    done
}

# Each PC's windows are told apart by the process id Wine gives them (_NET_WM_PID), read from
# the first window each program shows.
window_pid() { xdotool getwindowpid "$1" 2>/dev/null; }
first_window_pid() {  # first_window_pid OTHER_PID: pid of a window titled $TITLE not of OTHER_PID
    local w p
    for w in $(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null); do
        p="$(window_pid "$w")"
        [ -n "$p" ] && [ "$p" != "$1" ] && { echo "$p"; return 0; }
    done
    return 1
}

# choose_role a|b X PARTNER: clicks a role button of that PC's role dialog and types the
# partner into the partner dialog that it opens.
choose_role() {
    local side=$1 x=$2 partner=$3 pid before dialog
    if [ "$side" = a ]; then pid=$PID_A; else pid=$PID_B; fi
    before="$(windows_of "$pid" "$TITLE")"
    click_client "$side" "$x" 220
    new_window() { comm -13 <(echo "$before") <(windows_of "$pid" "$TITLE") | head -1; }
    has_new() { [ -n "$(new_window)" ]; }
    wait_for 20 has_new || fail "PC-$side: the role button opens no partner dialog"
    dialog="$(new_window)"
    sleep 0.5
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool type --window "$dialog" --delay 40 "$partner"
    sleep 0.3
    shot "partner-$side"
    xdotool key --window "$dialog" Return
    main_only() { [ "$(windows_of "$pid" "$TITLE" | wc -l)" -eq 1 ] && painted "$side"; }
    wait_for 20 main_only || fail "PC-$side: no main window after the partner was given"
}

# Each line of the input with the time it arrived in front (STAMP_STDERR=1 keeps each program's
# Wine messages so, in $WORK/stderr-a.log and stderr-b.log).
stamp_lines() {
    local line
    while IFS= read -r line; do
        printf '%s %s\n' "$EPOCHREALTIME" "$line"
    done
}

# pick_found a|b X NAME: clicks a role button of that PC's role dialog and, in the partner
# dialog, waits for the found PC NAME and picks it: PC-A by a double click on its row, PC-B by
# a click on the row and OK (Return).
FOUND_LIST=1032
pick_found() {
    local side=$1 x=$2 name=$3 pid sx sy row
    if [ "$side" = a ]; then pid=$PID_A; else pid=$PID_B; fi
    click_client "$side" "$x" 220
    found() { probe "$side" listbox "$TITLE" "$FOUND_LIST" | grep -q "^$name　"; }
    wait_for 20 found || fail "PC-$side: the partner dialog does not list $name (it lists: $(probe "$side" listbox "$TITLE" "$FOUND_LIST"))"
    say "PC-$side found: $(probe "$side" listbox "$TITLE" "$FOUND_LIST" | tr '\n' ' ')"
    row="$(probe "$side" listbox "$TITLE" "$FOUND_LIST" | grep -n "^$name　" | head -1 | cut -d: -f1)"
    read -r sx sy < <(probe "$side" listrow "$TITLE" "$FOUND_LIST" $((row - 1))) ||
        fail "PC-$side: no point for the row of $name"
    shot "partner-found-$side"
    if [ "$side" = a ]; then
        xdotool mousemove "$sx" "$sy" sleep 0.2 click --repeat 2 --delay 80 1
    else
        xdotool mousemove "$sx" "$sy" sleep 0.2 click 1
        selected() { probe "$side" listbox "$TITLE" "$FOUND_LIST" | grep -q "^\* $name　"; }
        wait_for 10 selected || fail "PC-$side: a click does not select $name"
        xdotool key Return
    fi
    main_only() { [ "$(windows_of "$pid" "$TITLE" | wc -l)" -eq 1 ] && painted "$side"; }
    wait_for 20 main_only || fail "PC-$side: no main window after $name was picked"
}

# Both programs up, roles chosen; sets PID_A, PID_B (window process ids) and MAIN_A.
two_pcs_start() {
    say "starting both programs"
    if [ -n "${STAMP_STDERR:-}" ]; then
        on b env WINEDEBUG=-all,fixme+event wine "$INSTALLED_EXE" </dev/null >/dev/null 2> >(stamp_lines >"$WORK/stderr-b.log") &
    else
        on b wine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
    fi
    APP_B=$!
    wait_for 60 painted b || fail "PC-B shows no role dialog"
    probe b move "$TITLE" 650 20 || fail "PC-B's role dialog cannot be moved"
    PID_B="$(first_window_pid none)" || fail "PC-B's window has no process id"
    if [ -n "${STAMP_STDERR:-}" ]; then
        on a env WINEDEBUG=-all,fixme+event wine "$INSTALLED_EXE" </dev/null >/dev/null 2> >(stamp_lines >"$WORK/stderr-a.log") &
    else
        on a wine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
    fi
    APP_A=$!
    wait_for 60 painted a || fail "PC-A shows no role dialog"
    probe a move "$TITLE" 10 20 || fail "PC-A's role dialog cannot be moved"
    has_pid_a() { first_window_pid "$PID_B" >/dev/null; }
    wait_for 10 has_pid_a || fail "PC-A's window has no process id"
    PID_A="$(first_window_pid "$PID_B")"
    say "window process ids: PC-A $PID_A (started as $APP_A), PC-B $PID_B (started as $APP_B)"
    sleep 1
    shot role-dialogs
    if [ "${PICK_FOUND:-0}" = 1 ]; then
        say "PC-B: 引越先, picks PC-A from the found PCs"
        pick_found b 440 PC-A
        say "PC-A: 引越元, picks PC-B from the found PCs"
        pick_found a 160 PC-B
    else
        say "PC-B: 引越先, partner pc-a (by name)"
        choose_role b 440 pc-a
        say "PC-A: 引越元, partner $ADDR_B"
        choose_role a 160 "$ADDR_B"
    fi
    probe a move "$TITLE" 10 20
    probe b move "$TITLE" 650 20
    MAIN_A="$(windows_of "$PID_A" "$TITLE")"
    sleep 1
}

# PC-A's windows titled $TITLE other than its main window.
other_windows_a() { windows_of "$PID_A" "$TITLE" | grep -vx "$MAIN_A" || true; }
has_other_a() { [ -n "$(other_windows_a)" ]; }

# select_drive_d: in PC-A's drive choice, which lists PC-B's C: and D:, selects D: by its
# letter; choose_drive_d then also confirms it.
drive_dialog() { xdotool search --all --onlyvisible --pid "$PID_A" --name '^ドライブ選択$' 2>/dev/null | head -1; }
has_drive_dialog() { [ -n "$(drive_dialog)" ]; }
select_drive_d() {
    wait_for 20 has_drive_dialog || fail "no drive choice dialog"
    local drives rows
    drives="$(drive_dialog)"
    rows="$(probe a listbox 'ドライブ選択' 1007)"
    grep -q '^C:    総容量：[0-9]* MB$' <<<"$rows" || fail "the drive choice does not list PC-B's C: ($rows)"
    grep -q '^D:    総容量：[0-9]* MB$' <<<"$rows" || fail "the drive choice does not list PC-B's D: ($rows)"
    [ "$(wc -l <<<"$rows")" -eq 2 ] || fail "the drive choice lists other drives than C: and D: ($rows)"
    xdotool windowfocus --sync "$drives" 2>/dev/null || true
    xdotool key --window "$drives" d
    selected() { probe a listbox 'ドライブ選択' 1007 | grep -q '^\* D:'; }
    wait_for 5 selected || fail "typing d does not select D: in the drive choice"
    shot drive-choice
}
choose_drive_d() {
    select_drive_d
    xdotool key --window "$(drive_dialog)" Return
}

# wait_closing SECONDS: PC-A's closing message after a move to D:, the progress window
# caught on the way when it stays long enough.
CLOSING="引越が終了しました。
引越したデータは引越先のパソコンのD:\\Ferryloに保存しました。"
closing() { [ "$(probe a messagebox "$TITLE")" = "$CLOSING" ]; }
wait_closing() {
    local progress_seen="" deadline=$((SECONDS + $1))
    until closing; do
        if [ -z "$progress_seen" ] && xdotool search --onlyvisible --name '^データ転送中' >/dev/null 2>&1; then
            progress_seen=yes
            shot progress
        fi
        ((SECONDS < deadline)) || fail "no closing message on PC-A within $1 s (it says: $(probe a messagebox "$TITLE"))"
        sleep 0.3
    done
    [ -n "$progress_seen" ] || say "note: the progress window came and went between two looks"
}
# close_closing: Return on PC-A's closing message.
close_closing() {
    xdotool key --window "$(other_windows_a | head -1)" Return 2>/dev/null || true
    closed() { ! closing; }
    wait_for 10 closed || fail "the closing message does not close with Return"
}

# park_folder_window X Y: PC-B opens its D:\Ferrylo in a folder window after a move (a new one
# each time, sometimes a while later); park_folder_windows X Y moves every such window now to
# where it hides neither main window, park_folder_window first waits for one.
folder_windows() { xdotool search --onlyvisible --name '^Ferrylo$' 2>/dev/null || true; }
park_folder_windows() {
    local w
    for w in $(folder_windows); do
        xdotool windowmove "$w" "$1" "$2" 2>/dev/null || true
    done
}
park_folder_window() {
    has_folder_window() { [ -n "$(folder_windows)" ]; }
    wait_for 30 has_folder_window || fail "PC-B did not open the folder of the moved data"
    park_folder_windows "$1" "$2"
}

# same_write_times SRC DEST: every file below SRC has the write time (to the millisecond) of
# the file at the same place below DEST.
same_write_times() {
    local f rel want got
    while IFS= read -r -d '' f; do
        rel="${f#"$1"}"
        want="$(stat -c %y "$f")"
        got="$(stat -c %y "$2$rel" 2>/dev/null)"
        [ "${want:0:23}" = "${got:0:23}" ] || fail "write time of $2$rel: $got, expected $want"
    done < <(find "$1" -type f -print0)
}

# set_write_times PATH...: known write times with milliseconds on every file below each PATH
# (Wine keeps the write time as the file's mtime).
set_write_times() {
    local n=0 f
    while IFS= read -r -d '' f; do
        n=$((n + 1))
        touch -m -d "2019-0$((n % 9 + 1))-1$((n % 10)) 0$((n % 10)):1$((n % 10)):2$((n % 10)).$((n * 37 % 1000))" "$f"
    done < <(find "$@" -type f -print0)
}
