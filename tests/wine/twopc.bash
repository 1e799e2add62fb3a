# Two PCs on one machine (sourced after scripts/common.sh, never run by itself): each
# tandrix.exe under Wine in a network namespace of its own, joined by a veth pair (10.200.0.1 =
# PC-A, 10.200.0.2 = PC-B). Each PC has its own prefix whose wineserver runs inside its
# namespace, and its own computer name (unshare --uts + hostname).
#
# The script that sources this sets WORK (its work folder) and defines say, fail and shot;
# twopc_cleanup must run on exit (directly or from the script's own trap).
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

NS_A="tdx-a-$$"
NS_B="tdx-b-$$"
VETH_A="vtdxa$$"
VETH_B="vtdxb$$"
ADDR_A=10.200.0.1
ADDR_B=10.200.0.2
PREFIX_A="$WORK/pc-a"
PREFIX_B="$WORK/pc-b"
DRIVE_D="$WORK/pc-b-drive-d"
TITLE="ソラノワ Basic"

# Everything started here is ended by its own id or prefix, and the namespaces made here are
# removed.
APP_A=""
APP_B=""
twopc_cleanup() {
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

# True when this machine lets us make the namespaces (root, ip, unshare).
twopc_possible() {
    [ "$(id -u)" -eq 0 ] && command -v ip >/dev/null && command -v unshare >/dev/null
}

# Makes both namespaces and the veth pair between them; false when namespaces cannot be made.
twopc_network() {
    ip netns add "$NS_A" 2>/dev/null || return 1
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

# Both prefixes with the program and winprobe installed, and PC-B's second disk D:.
twopc_prefixes() {
    make_prefix "$PREFIX_A"
    make_prefix "$PREFIX_B"
    install_tandrix "$PREFIX_A" "$WINBUILD/winprobe.exe"
    install_tandrix "$PREFIX_B" "$WINBUILD/winprobe.exe"
    mkdir -p "$DRIVE_D"
    ln -s "$DRIVE_D" "$PREFIX_B/dosdevices/d:"
}

# Each prefix's wineserver starts inside its namespace: sockets live in the wineserver.
twopc_boot() {
    local side
    for side in a b; do
        on "$side" wineserver -p
        on "$side" wine wineboot </dev/null >/dev/null 2>&1
    done
}

# X windows of one PC's program, titled exactly $2, one id a line.
windows_of() {  # windows_of PID TITLE
    xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | sort || true
}
painted() { probe "$1" painted "$TITLE" >/dev/null; }
# Screen point of a client point of that PC's painted window.
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

# Each PC's windows are told apart by the process id Wine gives them (_NET_WM_PID), read
# from the first window each program shows.
window_pid() { xdotool getwindowpid "$1" 2>/dev/null; }
first_window_pid() {  # first_window_pid OTHER_PID: pid of a window titled $TITLE not of OTHER_PID
    local w p
    for w in $(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null); do
        p="$(window_pid "$w")"
        [ -n "$p" ] && [ "$p" != "$1" ] && { echo "$p"; return 0; }
    done
    return 1
}

# Starts PC-B's program, then PC-A's, each at its place on the screen; sets APP_A, APP_B (the
# processes started here) and PID_A, PID_B (the process ids of their windows).
twopc_start() {
    on b wine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
    APP_B=$!
    wait_for 60 painted b || fail "PC-B shows no role dialog"
    probe b move "$TITLE" 650 20 || fail "PC-B's role dialog cannot be moved"
    PID_B="$(first_window_pid none)" || fail "PC-B's window has no process id"
    on a wine "$INSTALLED_EXE" </dev/null >/dev/null 2>&1 &
    APP_A=$!
    wait_for 60 painted a || fail "PC-A shows no role dialog"
    probe a move "$TITLE" 10 20 || fail "PC-A's role dialog cannot be moved"
    has_pid_a() { first_window_pid "$PID_B" >/dev/null; }
    wait_for 10 has_pid_a || fail "PC-A's window has no process id"
    PID_A="$(first_window_pid "$PID_B")"
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

# PC-B: 引越先 naming PC-A; PC-A: 引越元 giving PC-B's address. Both main windows at their place.
twopc_pair() {
    say "PC-B: 引越先, partner pc-a (by name)"
    choose_role b 440 pc-a
    say "PC-A: 引越元, partner $ADDR_B"
    choose_role a 160 "$ADDR_B"
    probe a move "$TITLE" 10 20
    probe b move "$TITLE" 650 20
}

# PC-A's windows titled $TITLE other than its main window (MAIN_A, set once it is known): its
# message boxes and dialogs.
other_windows_a() { windows_of "$PID_A" "$TITLE" | grep -vx "$MAIN_A" || true; }
has_other_a() { [ -n "$(other_windows_a)" ]; }
# PC-A's drive choice dialog, once it is shown.
drive_dialog() { xdotool search --all --onlyvisible --pid "$PID_A" --name '^ドライブ選択$' 2>/dev/null | head -1; }
has_drive_dialog() { [ -n "$(drive_dialog)" ]; }
