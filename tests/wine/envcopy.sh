#!/usr/bin/env bash
# An environment copy between two PCs (tests/wine/two_pcs.bash).
#
# PC-A's Documents, Pictures, Music, Videos, Desktop and public Pictures hold Japanese names,
# with what an environment copy leaves out: desktop.ini files, shortcuts (.lnk) on the desktop
# and an iTunes folder in Music. PC-B has no Music folder, and its Documents already hold a
# different file of the same name as one of PC-A's, and an identical one. PC-A clicks 環境コピー,
# keeps every item of the selection dialog and runs. After PC-A's closing message the test
# checks PC-B's disk: each item's entries in PC-B's matching folder (Documents standing in for
# Music), the same bytes and write times, nothing that is left out, PC-B's own file untouched
# with the arriving one beside it under a "keep both" name, which C:\Ferrylo\FerryloEnvLog.txt
# names and PC-B opens. Screenshots land in build/screenshots/envcopy-*.png.
NAME=envcopy
source "$(dirname "${BASH_SOURCE[0]}")/two_pcs.bash"

two_pcs_network
two_pcs_prefixes
C_B="$PREFIX_B/drive_c"
user_of() { find "$1/users" -mindepth 1 -maxdepth 1 -type d -not -name Public | head -1; }
HOME_A="$(user_of "$C_A")"
HOME_B="$(user_of "$C_B")"
[ -n "$HOME_A" ] && [ -n "$HOME_B" ] || fail "a prefix has no user folder"
USER_B_WIN="C:\\users\\$(basename "$HOME_B")"

# ---- PC-A's folders ---------------------------------------------------------------------------
mkdir -p "$HOME_A/Documents/手紙/2024" "$HOME_A/Pictures/旅行" "$HOME_A/Music/iTunes" \
    "$HOME_A/Music/アルバム" "$HOME_A/Videos" "$HOME_A/Desktop"
printf '拝啓\r\n' >"$HOME_A/Documents/手紙/2024/年賀状.txt"
printf '引越元の家計簿\r\n' >"$HOME_A/Documents/家計簿.txt"
printf '同じ内容\r\n' >"$HOME_A/Documents/同じ.txt"
head -c 200000 /dev/urandom >"$HOME_A/Pictures/旅行/富士山.jpg"
head -c 30000 /dev/urandom >"$HOME_A/Pictures/猫.png"
head -c 40000 /dev/urandom >"$HOME_A/Music/アルバム/一曲目.mp3"
echo "library" >"$HOME_A/Music/iTunes/iTunes Library.itl"
head -c 300000 /dev/urandom >"$HOME_A/Videos/運動会.mp4"
echo "デスクトップのメモ" >"$HOME_A/Desktop/メモ.txt"
echo "not a shortcut" >"$HOME_A/Desktop/大文字.LNK"
head -c 500 /dev/urandom >"$HOME_A/Desktop/ショートカット.lnk"
head -c 20000 /dev/urandom >"$C_A/users/Public/Pictures/みんなの写真.jpg"
for d in Documents Pictures Music Desktop; do
    printf '[.ShellClassInfo]\r\n' >"$HOME_A/$d/desktop.ini"
done
printf '[.ShellClassInfo]\r\n' >"$HOME_A/Videos/Desktop.INI"
set_write_times "$HOME_A" "$C_A/users/Public/Pictures"

# ---- PC-B's folders: no Music; a different and an identical file in Documents -----------------
rmdir "$HOME_B/Music"
printf '引越先の家計簿\r\n' >"$HOME_B/Documents/家計簿.txt"
cp -p "$HOME_A/Documents/同じ.txt" "$HOME_B/Documents/同じ.txt"
B_OWN="$(cat "$HOME_B/Documents/家計簿.txt")"

two_pcs_boot
# A text file opens in Notepad, as on Windows (a fresh Wine prefix has no such association).
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@="txtfile"\r\n' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$C_B/txt.reg"
on b wine regedit /S 'C:\txt.reg' </dev/null >/dev/null 2>&1
[ ! -e "$HOME_B/Music" ] || fail "PC-B's Wine made a Music folder again"
two_pcs_start
CLOSING="引越が終了しました。"

# ---- the selection dialog ---------------------------------------------------------------------
say "PC-A: 環境コピー"
for try in 1 2 3; do
    click_client a 427 170
    wait_for 10 has_other_a && break
done
box_state() { probe a control "$TITLE" "$1" | cut -d' ' -f3-; }
listed() { [ "$(box_state 1025)" = "1 1" ]; }
wait_for 30 listed || fail "環境コピー opens no selection dialog with its boxes checked"
probe a move "$TITLE" 10 440
sleep 1
import -window root "$SHOTS/envcopy-list.png"
for id in 1026 1027 1028 1029; do
    [ "$(box_state "$id")" = "1 1" ] || fail "box $id of the selection dialog is $(box_state "$id")"
done
click_client a 494 263
wait_closing 90
say "PC-A: closing message shown"

# ---- what arrived on PC-B -----------------------------------------------------------------------
# arrived SRC DEST: SRC (a file or a tree of PC-A) is at DEST on PC-B, same bytes and times.
arrived() {
    diff -r "$1" "$2" >/dev/null 2>&1 || fail "${1#"$C_A/"} did not arrive intact at ${2#"$C_B/"}"
    same_write_times "$1" "$2"
}
arrived "$HOME_A/Documents/手紙" "$HOME_B/Documents/手紙"
arrived "$HOME_A/Documents/同じ.txt" "$HOME_B/Documents/同じ.txt"
arrived "$HOME_A/Pictures/旅行" "$HOME_B/Pictures/旅行"
arrived "$HOME_A/Pictures/猫.png" "$HOME_B/Pictures/猫.png"
arrived "$C_A/users/Public/Pictures/みんなの写真.jpg" "$C_B/users/Public/Pictures/みんなの写真.jpg"
arrived "$HOME_A/Videos/運動会.mp4" "$HOME_B/Videos/運動会.mp4"
arrived "$HOME_A/Desktop/メモ.txt" "$HOME_B/Desktop/メモ.txt"
arrived "$HOME_A/Desktop/大文字.LNK" "$HOME_B/Desktop/大文字.LNK"
# No Music folder on PC-B: its Documents take the music.
arrived "$HOME_A/Music/アルバム" "$HOME_B/Documents/アルバム"
[ ! -e "$HOME_B/Music" ] || fail "a Music folder was made on PC-B"
# What an environment copy leaves out.
left_out="$(find "$HOME_B"/{Documents,Pictures,Videos,Desktop} "$C_B/users/Public" \
    \( -iname desktop.ini -o -name '*.lnk' -o -name iTunes \) -print)"
[ -z "$left_out" ] || fail "left-out entries arrived on PC-B: $left_out"
# PC-B's own file stays; PC-A's of the same name is beside it.
[ "$(cat "$HOME_B/Documents/家計簿.txt")" = "$B_OWN" ] || fail "PC-B's own 家計簿.txt was replaced"
arrived "$HOME_A/Documents/家計簿.txt" "$HOME_B/Documents/家計簿 (2).txt"
[ ! -e "$HOME_B/Documents/同じ (2).txt" ] || fail "an identical file was kept twice"
REPORT="$C_B/Ferrylo/FerryloEnvLog.txt"
[ -f "$REPORT" ] || fail "PC-B wrote no C:\\Ferrylo\\FerryloEnvLog.txt"
grep -qF "$USER_B_WIN\\Documents\\家計簿 (2).txt" "$REPORT" ||
    fail "FerryloEnvLog.txt does not name the renamed file: $(cat "$REPORT")"
# The order of the items as PC-A sent it, kept in the registration folder; the staging folder
# is gone.
[ ! -e "$C_B/Ferrylo/Ferrylo_env_files" ] || fail "the staging folder stayed on PC-B"
order="$(tr -d '\r' <"$C_B/Ferrylo/Ferrylo_env_files_reg/order_list.txt" | tr '\n' ' ')"
[ "$order" = "MYDOC MYPIC MYPIC2 MYVIDEO MYMUSIC DESKTOP " ] || fail "order_list.txt reads '$order'"
[ ! -e "$C_B/Ferrylo/FerryloLog.txt" ] ||
    fail "PC-B's error list names files: $(tr -d '\r' <"$C_B/Ferrylo/FerryloLog.txt")"
say "PC-B holds PC-A's environment"
# PC-B shows its user the report.
report_shown() { xdotool search --onlyvisible --name 'FerryloEnvLog' >/dev/null 2>&1; }
wait_for 30 report_shown || fail "PC-B does not show FerryloEnvLog.txt"
for w in $(xdotool search --onlyvisible --name 'FerryloEnvLog' 2>/dev/null); do
    xdotool windowsize "$w" 620 240 windowmove "$w" 650 600 2>/dev/null || true
done
sleep 1
shot closing-and-report
close_closing
say "ok"
