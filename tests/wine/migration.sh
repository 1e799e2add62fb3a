#!/usr/bin/env bash
# A whole-drive move between two PCs, each tandrix.exe under Wine in a network namespace of its
# own (tests/wine/two_pcs.bash).
#
# Both programs start; PC-B chooses 引越先 and picks PC-A from the PCs its partner dialog found
# on the network (a click and OK), PC-A chooses 引越元 and picks PC-B (a double click); the
# other two-PC scripts keep typing the partner's name and address. With PC-B
# off the network, PC-A's 丸ごとコピー searches and says that it found no partner; with PC-B
# back, PC-A clicks 丸ごとコピー again, answers No to the Program Files question and picks
# drive D of PC-B. After
# the closing message on PC-A, the test checks on PC-B's disk: D:\Ferrylo\PC-AのCドライブ
# holds PC-A's files with the same bytes, write times and hidden / read-only attributes, none
# of the system folders, no error list, and the desktop shortcut to D:\Ferrylo exists.
# Screenshots land in build/screenshots/migration-*.png.
NAME=migration
PICK_FOUND=1
source "$(dirname "${BASH_SOURCE[0]}")/two_pcs.bash"

two_pcs_network
two_pcs_prefixes

# PC-A's data: Japanese names, an empty file, a few MB, nested folders, an empty folder, a
# hidden and a read-only file, a file in the drive's root, and root folders that a whole-drive
# move leaves out (TEMP in another case than the table's) or takes (Temp1).
DATA="引越テスト"
mkdir -p "$C_A/$DATA/写真/2023/夏" "$C_A/$DATA/空のフォルダ" "$C_A/TEMP" "$C_A/Temp1"
printf '引越のテストです。\r\nソラノワ Basic\r\n' >"$C_A/$DATA/日本語の文書.txt"
: >"$C_A/$DATA/空のファイル.txt"
head -c $((3 * 1024 * 1024 + 12345)) /dev/urandom >"$C_A/$DATA/大きなファイル.bin"
head -c 70000 /dev/urandom >"$C_A/$DATA/写真/2023/夏/海.jpg"
echo "Plain ASCII name" >"$C_A/$DATA/English name.txt"
echo "見えないファイル" >"$C_A/$DATA/隠しファイル.txt"
echo "書き換え禁止" >"$C_A/$DATA/読み取り専用.txt"
echo "ルートのメモ" >"$C_A/ルートのメモ.txt"
echo "temporary" >"$C_A/TEMP/一時.txt"
echo "kept" >"$C_A/Temp1/残る.txt"
set_write_times "$C_A/$DATA" "$C_A/ルートのメモ.txt" "$C_A/Temp1"
two_pcs_boot
# Hidden and read-only through Wine itself, as Windows would keep them.
on a wine attrib +h "C:\\$DATA\\隠しファイル.txt" </dev/null >/dev/null 2>&1 || true
on a wine attrib +r "C:\\$DATA\\読み取り専用.txt" </dev/null >/dev/null 2>&1 || true
src_attrs="$(probe a attrs "C:\\$DATA\\隠しファイル.txt" "C:\\$DATA\\読み取り専用.txt")"
[[ "$src_attrs" == *"0x22 C:\\$DATA\\隠しファイル.txt"* || "$src_attrs" == *"0x2 C:\\$DATA\\隠しファイル.txt"* ]] ||
    fail "the source's hidden file is not hidden: $src_attrs"
[[ "$src_attrs" == *"0x21 C:\\$DATA\\読み取り専用.txt"* || "$src_attrs" == *"0x1 C:\\$DATA\\読み取り専用.txt"* ]] ||
    fail "the source's read-only file is not read-only: $src_attrs"

# ---- start-up and the role choice -----------------------------------------------------------
two_pcs_start
shot main-before-pairing

# ---- a first try with PC-B off the network ----------------------------------------------------
# PC-A searches for its partner (the searching dialog), finds none and says so. A short SYN
# retry count in PC-A's namespace bounds the wait to a few seconds.
say "PC-A: 丸ごとコピー while PC-B is off the network"
ip netns exec "$NS_A" sysctl -qw net.ipv4.tcp_syn_retries=1
ip -n "$NS_B" link set "$VETH_B" down
click_client a 427 308
wait_for 10 has_other_a || fail "no searching dialog after 丸ごとコピー"
sleep 1
shot searching
NOT_FOUND="他のコンピュータが見つかりませんでした。
もう一台のパソコンでも、このソフトを実行してください"
not_found() { [ "$(probe a messagebox "$TITLE")" = "$NOT_FOUND" ]; }
wait_for 60 not_found || fail "PC-A does not say that it found no partner (it says: $(probe a messagebox "$TITLE"))"
shot partner-not-found
BOX="$(other_windows_a | head -1)"
xdotool windowfocus --sync "$BOX" 2>/dev/null || true
xdotool key --window "$BOX" Return
no_other_a() { ! has_other_a; }
wait_for 10 no_other_a || fail "the message that no partner was found does not close with Return"
ip -n "$NS_B" link set "$VETH_B" up
ip netns exec "$NS_A" sysctl -qw net.ipv4.tcp_syn_retries=6
# Back on the network: PC-A's end of the pair has its carrier again and forgets that PC-B's
# address could not be resolved.
carrier_a() { ip -n "$NS_A" link show "$VETH_A" | grep -q 'LOWER_UP'; }
wait_for 10 carrier_a || fail "the link between the PCs does not come back"
ip -n "$NS_A" neigh flush all

# ---- the whole-drive move --------------------------------------------------------------------
say "PC-A: 丸ごとコピー"
click_client a 427 308
question() { probe a messagebox "$TITLE" | grep -q '^ProgramFilesフォルダをコピーしますか？'; }
wait_for 30 question || fail "PC-A asks no Program Files question after 丸ごとコピー"
sleep 0.5
shot program-files-question
BOX="$(other_windows_a | head -1)"
[ -n "$BOX" ] || fail "the Program Files question has no window"
xdotool windowfocus --sync "$BOX" 2>/dev/null || true
xdotool key --window "$BOX" n
gone() { ! question; }
wait_for 10 gone || fail "the Program Files question was not answered by N"

# The drive choice lists PC-B's drives; D is chosen by typing its letter.
choose_drive_d

# Progress windows on both PCs while the data moves; then PC-A's closing message.
wait_closing 120
sleep 1
shot closing-message
say "PC-A: closing message shown"

# ---- what arrived on PC-B -----------------------------------------------------------------------
BASE="$DRIVE_D/Ferrylo"
DEST="$BASE/PC-AのCドライブ"
[ -d "$DEST" ] || fail "no folder $DEST (D:\\Ferrylo holds: $(ls "$BASE" 2>&1))"
diff -r "$C_A/$DATA" "$DEST/$DATA" >/tmp/$NAME-diff.$$ 2>&1 ||
    fail "the moved tree differs from the source: $(head -20 /tmp/$NAME-diff.$$)"
rm -f /tmp/$NAME-diff.$$
# The program's own folder too, the running tandrix.exe included.
diff -r "$C_A/$INSTALL_DIR" "$DEST/$INSTALL_DIR" >/dev/null 2>&1 ||
    fail "PC-A's program folder (with the running exe) did not arrive intact"
for f in "ルートのメモ.txt" "Temp1/残る.txt"; do
    cmp -s "$C_A/$f" "$DEST/$f" || fail "$f did not arrive intact"
done
[ -d "$DEST/$DATA/空のフォルダ" ] || fail "the empty folder did not arrive"
[ -d "$DEST/users" ] || fail "the users folder did not arrive"
# Write times, file by file, to the millisecond.
same_write_times "$C_A/$DATA" "$DEST/$DATA"
same_write_times "$C_A/ルートのメモ.txt" "$DEST/ルートのメモ.txt"
same_write_times "$C_A/Temp1" "$DEST/Temp1"
# Attributes as PC-B's Windows sees them (archive masked: Wine reports it on every file).
D_DATA="D:\\Ferrylo\\PC-AのCドライブ\\$DATA"
attrs="$(probe b attrs "$D_DATA\\隠しファイル.txt" "$D_DATA\\読み取り専用.txt" "$D_DATA\\日本語の文書.txt")"
attr_of() { awk -v p="$1" 'substr($0, index($0, " ") + 1) == p { print $1 }' <<<"$attrs"; }
masked() { printf '0x%x' $(($(attr_of "$1") & ~0x20)); }
[ "$(masked "$D_DATA\\隠しファイル.txt")" = 0x2 ] || fail "hidden file arrived as: $attrs"
[ "$(masked "$D_DATA\\読み取り専用.txt")" = 0x1 ] || fail "read-only file arrived as: $attrs"
[ "$(masked "$D_DATA\\日本語の文書.txt")" = 0x0 ] || fail "plain file arrived as: $attrs"
# What a whole-drive move leaves out.
for left_out in windows Windows ProgramData "Program Files" "Program Files (x86)" TEMP temp; do
    [ ! -e "$DEST/$left_out" ] || fail "$left_out was moved although it is left out"
done
# Everything PC-A meant to send arrived: no error list. (The program's own folder below the
# documents, where the survey writes its path log, is never part of a move.)
[ ! -e "$BASE/FerryloLog.txt" ] ||
    fail "PC-B's error list names files that did not arrive: $(tr -d '\r' <"$BASE/FerryloLog.txt")"
# The desktop shortcut to the moved data.
LINK="$(find "$PREFIX_B/drive_c/users" -path '*/Desktop/Dドライブに引っ越したファイル.lnk' | head -1)"
[ -n "$LINK" ] || fail "no desktop shortcut Dドライブに引っ越したファイル.lnk on PC-B"
{ grep -aq 'D:\\Ferrylo' "$LINK" || iconv -f UTF-16LE -t UTF-8 "$LINK" 2>/dev/null | grep -aq 'D:\\Ferrylo'; } ||
    fail "the shortcut does not lead to D:\\Ferrylo"
say "PC-B holds PC-A's data"

# ---- after the move -------------------------------------------------------------------------
close_closing
park_folder_window 330 470
sleep 0.5
shot main-after-move

# The about box from PC-A's system menu (Alt+Space, its last entry).
xdotool windowfocus --sync "$MAIN_A" 2>/dev/null || true
xdotool key --window "$MAIN_A" alt+space
sleep 0.5
xdotool key --window "$MAIN_A" Up Return
about() { xdotool search --all --onlyvisible --pid "$PID_A" --name "^${TITLE}のバージョン情報\$" >/dev/null 2>&1; }
wait_for 10 about || fail "no about box from the system menu"
sleep 0.5
shot about
xdotool key --window "$(xdotool search --all --onlyvisible --pid "$PID_A" --name "^${TITLE}のバージョン情報\$" | head -1)" Return

# PC-B's end button ends PC-B's program.
click_client b 300 287
ended_b() { ! kill -0 "$APP_B" 2>/dev/null; }
wait_for 20 ended_b || fail "PC-B's end button does not end the program"
say "ok"
