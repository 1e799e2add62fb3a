#!/usr/bin/env bash
# A file-list copy and a folder copy between two PCs (tests/wine/two_pcs.bash), the items
# chosen in the system's own pickers on PC-A.
#
# ファイルをコピー: in the open-file dialog PC-A's user types the names of two files on the
# desktop, then of a third; removes the third again, double-clicks a row to see its full path,
# and runs the copy to PC-B's D:. フォルダを指定してコピー: in the folder picker the user picks two
# folders of the desktop in one go, clears the list with すべて削除, picks them again, and runs.
# After each copy the test checks on PC-B's disk that exactly the chosen items arrived in
# D:\Ferrylo, with the same bytes and write times, and no error list. Last, the file list
# opens again with its two files kept, and 閉じる closes it without a copy. Screenshots land in
# build/screenshots/listcopy-*.png.
NAME=listcopy
source "$(dirname "${BASH_SOURCE[0]}")/two_pcs.bash"

two_pcs_network
two_pcs_prefixes

# PC-A's desktop: two files to send and one to leave, two folders to send (Japanese names,
# nesting, an empty folder, an empty file) and one to leave.
DESKTOP_A="$(find "$C_A/users" -mindepth 2 -maxdepth 2 -name Desktop -not -path '*/Public/*' | head -1)"
[ -n "$DESKTOP_A" ] || fail "PC-A's prefix has no user desktop"
DESKTOP_WIN="C:\\users\\$(basename "$(dirname "$DESKTOP_A")")\\Desktop"
printf '一覧でコピーするファイル\r\n' >"$DESKTOP_A/report.txt"
head -c $((512 * 1024 + 77)) /dev/urandom >"$DESKTOP_A/photo.bin"
echo "not chosen" >"$DESKTOP_A/other.txt"
mkdir -p "$DESKTOP_A/Photos/2024/秋" "$DESKTOP_A/Photos/空のフォルダ" "$DESKTOP_A/Docs" "$DESKTOP_A/Skip"
head -c 90000 /dev/urandom >"$DESKTOP_A/Photos/2024/秋/紅葉.jpg"
echo "旅行のメモ" >"$DESKTOP_A/Photos/メモ.txt"
printf '議事録\r\n' >"$DESKTOP_A/Docs/会議.txt"
: >"$DESKTOP_A/Docs/空.txt"
echo "left behind" >"$DESKTOP_A/Skip/x.txt"
set_write_times "$DESKTOP_A"
two_pcs_boot
two_pcs_start
BASE="$DRIVE_D/Ferrylo"

# ---- helpers for the file-list dialog ---------------------------------------------------------
rows() { probe a listbox "$TITLE" 1011; }
has_rows() { [ "$(rows)" = "$1" ]; }
expect_rows() {  # expect_rows ROWS WHAT: the dialog's list shows exactly ROWS (one a line)
    wait_for 10 has_rows "$1" || fail "$2: the list shows [$(rows)], expected [$1]"
}
list_dialog() { [ -n "$(other_windows_a)" ] && probe a listbox "$TITLE" 1011 >/dev/null; }
# open_list_dialog X Y WHAT: clicks that copy button of PC-A's main window and waits for the
# list dialog, which goes below the main window; LIST_WIN is its X window. A folder window of
# PC-B that came late over the button takes the click: then it is moved and the click repeated.
open_list_dialog() {
    local try
    for try in 1 2 3; do
        park_folder_windows 650 450
        click_client a "$1" "$2"
        wait_for 10 has_other_a && break
    done
    wait_for 30 list_dialog || fail "$3 opens no list dialog"
    LIST_WIN="$(other_windows_a | head -1)"
    probe a move "$TITLE" 10 440
    sleep 0.5
}
# No message box of PC-A, neither for Windows nor on the screen (Wine unmaps a closed window
# a little later).
no_box() {
    [ -z "$(probe a messagebox "$TITLE")" ] &&
        [ -z "$(windows_of "$PID_A" "$TITLE" | grep -vx -e "$MAIN_A" -e "$LIST_WIN")" ]
}
# Any visible window of PC-A's program, whatever its title.
all_windows_a() { xdotool search --all --onlyvisible --pid "$PID_A" --name '.*' 2>/dev/null | sort || true; }
# open_picker WHAT: clicks the choose button and waits for the picker; PICKER is its window.
open_picker() {
    local before
    before="$(all_windows_a)"
    click_client a 497 140
    new_picker() { comm -13 <(echo "$before") <(all_windows_a) | head -1; }
    has_picker() { [ -n "$(new_picker)" ]; }
    wait_for 20 has_picker || fail "$1: the choose button opens no picker"
    PICKER="$(new_picker)"
    sleep 1
    xdotool windowfocus --sync "$PICKER" 2>/dev/null || true
}
# type_names NAMES: replaces the text of the picker's name box by NAMES.
type_names() {
    xdotool key --window "$PICKER" ctrl+a
    xdotool type --window "$PICKER" --delay 30 "$1"
    sleep 0.3
}
confirm_picker() {  # confirm_picker WHAT: Return, and the picker is gone
    xdotool key --window "$PICKER" Return
    picker_gone() { ! all_windows_a | grep -qx "$PICKER"; }
    wait_for 10 picker_gone || fail "$1: the picker does not close on Return"
}
# pick NAMES WHAT [SHOT]: the names typed into the picker's name box, confirmed.
pick() {
    open_picker "$2"
    type_names "$1"
    if [ -n "${3:-}" ]; then shot "$3"; fi
    confirm_picker "$2"
}
click_row() {  # click_row INDEX [CLICKS]
    local x y
    read -r x y < <(probe a listrow "$TITLE" 1011 "$1") || fail "the list has no row $1"
    xdotool mousemove "$x" "$y" sleep 0.2 click --repeat "${2:-1}" --delay 80 1
}
box_says() { [ "$(probe a messagebox "$TITLE")" = "$1" ]; }

# ---- the file-list copy ---------------------------------------------------------------------
say "PC-A: ファイルをコピー"
open_list_dialog 172 170 ファイルをコピー
shot filelist-empty
pick '"report.txt" "photo.bin"' "files" file-picker
expect_rows $'report.txt\nphoto.bin' "two files typed in the open-file dialog"
pick '"other.txt"' "a third file"
expect_rows $'report.txt\nphoto.bin\nother.txt' "a third file"
# Remove: the third row goes, the others keep their order.
click_row 2
click_client a 497 193
expect_rows $'report.txt\nphoto.bin' "the removed row"
# A double click on a row shows the full path.
click_row 0 2
wait_for 10 box_says "$DESKTOP_WIN\\report.txt" ||
    fail "a double click on a row does not show its full path (shown: $(probe a messagebox "$TITLE"))"
shot filelist-full-path
xdotool key Return
wait_for 10 no_box || fail "the full path's box does not close with Return"
shot filelist-files
click_client a 497 301
choose_drive_d
wait_closing 60
say "PC-A: closing message of the file-list copy"
for f in report.txt photo.bin; do
    cmp -s "$DESKTOP_A/$f" "$BASE/$f" || fail "$f did not arrive intact in D:\\Ferrylo"
    same_write_times "$DESKTOP_A/$f" "$BASE/$f"
done
[ ! -e "$BASE/other.txt" ] || fail "the removed file was sent"
# Beside them only the path log that PC-A sent for the result check.
[ "$(ls "$BASE" | sort | tr '\n' ' ')" = "FerryloPath.log photo.bin report.txt " ] ||
    fail "D:\\Ferrylo holds other files than the two: $(ls "$BASE")"
close_closing
park_folder_window 650 450

# ---- the folder copy ------------------------------------------------------------------------
say "PC-A: フォルダを指定してコピー"
open_list_dialog 172 308 フォルダを指定してコピー
shot folderlist-empty
pick '"Photos" "Docs"' "two folders" folder-picker
expect_rows $'Photos\\\nDocs\\' "two folders picked at once"
# すべて削除 asks first; Yes empties the list.
click_client a 497 246
wait_for 10 box_says "リストからすべて削除してよろしいですか？" || fail "すべて削除 does not ask first"
shot folderlist-remove-all
xdotool key Return
expect_rows "" "the list after すべて削除"
wait_for 10 no_box || fail "the question of すべて削除 does not close with Return"
shot folderlist-emptied
pick '"Photos" "Docs"' "the two folders again"
expect_rows $'Photos\\\nDocs\\' "two folders picked again"
shot folderlist-folders
click_client a 497 301
choose_drive_d
wait_closing 60
say "PC-A: closing message of the folder copy"
for d in Photos Docs; do
    diff -r "$DESKTOP_A/$d" "$BASE/$d" >/dev/null 2>&1 || fail "the folder $d did not arrive intact"
    same_write_times "$DESKTOP_A/$d" "$BASE/$d"
done
[ -d "$BASE/Photos/空のフォルダ" ] || fail "the empty folder did not arrive"
[ ! -e "$BASE/Skip" ] || fail "a folder that was not picked was sent"
[ ! -e "$BASE/FerryloLog.txt" ] ||
    fail "PC-B's error list names files that did not arrive: $(tr -d '\r' <"$BASE/FerryloLog.txt")"
close_closing
park_folder_window 650 450

# ---- the list kept between copies ------------------------------------------------------------
say "PC-A: ファイルをコピー again, closed at once"
open_list_dialog 172 170 ファイルをコピー
expect_rows $'report.txt\nphoto.bin' "the file list of the earlier copy"
# 閉じる: no copy starts (no drive choice; the main window is PC-A's only window).
click_client a 497 354
dialog_gone() { [ -z "$(other_windows_a)" ]; }
wait_for 10 dialog_gone || fail "閉じる does not close the list dialog"
sleep 1
! has_drive_dialog && [ -z "$(other_windows_a)" ] || fail "閉じる started a copy"
say "ok"
