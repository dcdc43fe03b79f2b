#!/usr/bin/env bash
# What a run frees, what it did, and what it must not touch, with real keys:
# the totals pane before and after Ctrl+A; a kept path is not listed after a
# restart nor after F5, and is back once removed in Options > Kept Items; a
# process named firefox.exe makes Delete of a Firefox cookie row ask (Cancel
# deletes nothing, Continue deletes the other rows and leaves that one
# unselected); the summary line and the deletion record of a run with a file in
# use (at restart), recycled and deleted files.
# Usage (inside scripts/wine-session.sh): frees_test.sh <build dir>
id=frees-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
roaming=$c/users/$user/AppData/Roaming
record=$c/users/$user/AppData/Local/Klarex/deletions.csv
cookie_dir=$c/users/$user/AppData/Local/Microsoft/Windows/INetCookies
ff_ini_dir=$roaming/Mozilla/Firefox
ff_profile=$ff_ini_dir/Profiles/$id.default
win_ff_cookie="C:\\users\\$user\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\$id.default\\cookies.sqlite"

# A program that sleeps: as firefox.exe it is a running Firefox; as hold.exe it
# holds a file open without delete sharing.
src=$build/e2e-frees-sleep.c
cat >"$src" <<'CEOF'
#include <windows.h>
int wmain(int argc, wchar_t** argv) {
  HANDLE h = INVALID_HANDLE_VALUE;
  if (argc > 2)
    h = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  Sleep((DWORD)_wtoi(argv[1]) * 1000);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return 0;
}
CEOF
x86_64-w64-mingw32-gcc-posix -municode -O1 -o "$app/firefox.exe" "$src" || { echo "cannot build"; exit 1; }
cp "$app/firefox.exe" "$app/hold.exe"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -f "$src"
}
mkdir -p "$ff_profile" "$cookie_dir"
printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/%s.default\r\n' "$id" >"$ff_ini_dir/profiles.ini"
echo ff >"$ff_profile/cookies.sqlite"
for n in 1 2; do echo "cookie $n" >"$cookie_dir/klarex-$id-$n.txt"; done
head -c 3000 /dev/zero >"$c/windows/klarex-$id-a.log"
head -c 5000 /dev/zero >"$c/windows/klarex-$id-b.log"
mkdir -p "$c/windows/Temp/klarex-$id" && echo x >"$c/windows/Temp/klarex-$id/inner.tmp"

# --- Totals ------------------------------------------------------------------------
launch || exit 1
check "planted logs listed" wait_for 30 listed "C:\\windows\\klarex-$id-b.log"
sleep 1
totals=$(probe status 1)
expect_has "totals name the rows" "$(row_count) items, " "$totals"
expect_not "no selection in the totals" "selected" "$totals"
keys ctrl+a
sleep 1
expect_has "Ctrl+A: the selection's total" "$(row_count) selected, " "$(probe status 1)"
shot frees-totals

# --- Keep ----------------------------------------------------------------------------
# The kept path is stored as Keep stores it; the context menu's entry itself is
# covered by view.shell_menu (its keys reach Wine's pop-up menu unreliably).
kept="C:\\users\\$user\\Temp"
check "the user's Temp folder is listed" listed "$kept"$'\t'
reg add 'HKCU\Software\Klarex\Klarex .NET\Keep' /v 1 /t REG_SZ /d "C:\\USERS\\$user\\temp" /f
kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=""
check "the first run ended" wait_for 30 no_window
launch || exit 1
check "list filled after the restart" wait_for 30 has_rows
sleep 1
expect_not "a kept path is not listed after a restart" "$kept"$'\t' "$(probe rows)"
keys F5
sleep 3
expect_not "nor after F5" "$kept"$'\t' "$(probe rows)"
keys alt+o e
check "Kept Items opens" wait_for 10 focus '^Kept Items$'
sleep 1
shot frees-kept-items
key_focus='^Kept Items$'
keys space alt+r
keys Escape
key_focus='^Klarex'
sleep 1
keys F5
check "removed from Kept Items: listed again" wait_for 20 listed "$kept"$'\t'

# --- The running-browser question ------------------------------------------------------
(cd "$app" && exec wine firefox.exe 600 >/dev/null 2>&1) &
pids+=($!)
sleep 3
keys ctrl+k
check "Firefox cookie row listed" wait_for 30 listed "$win_ff_cookie"
check "planted cookies listed" listed "klarex-$id-2.txt"
rows_before=$(row_count)
keys ctrl+a shift+Delete
check "the question comes" wait_for 15 focus '^Klarex \.NET$'
sleep 1
shot frees-browser-question
key_focus='^Klarex \.NET$'
keys Escape
key_focus='^Klarex'
sleep 2
expect_eq "Cancel deletes nothing" "$rows_before" "$(row_count)"
check "Cancel: the cookie stays" test -f "$cookie_dir/klarex-$id-1.txt"
keys ctrl+a shift+Delete
check "the question comes again" wait_for 15 focus '^Klarex \.NET$'
key_focus='^Klarex \.NET$'
keys c
key_focus='^Klarex'
check "Continue: the other cookies go" wait_for 30 test ! -e "$cookie_dir/klarex-$id-2.txt"
sleep 2
check "Continue: Firefox's cookie store stays" test -f "$ff_profile/cookies.sqlite"
check "Continue: its row stays" listed "$win_ff_cookie"
expect_eq "its row is left unselected" 0 "$(probe counts | cut -d' ' -f2)"
status=$(probe status 0)
expect_has "summary line" "Deleted " "$status"
shot frees-summary
check "record written" test -f "$record"
expect_has "record header" "time,mode,action,outcome,bytes,path" "$(head -n1 "$record")"
expect_has "record: a deleted cookie" ",cookies,delete,deleted," "$(grep -F "klarex-$id-1.txt" "$record")"
expect_not "record: nothing of Firefox's" "cookies.sqlite" "$(cat "$record")"

# --- A mixed run: in use, recycled and deleted -------------------------------------------
for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
echo locked >"$c/windows/klarex-$id-locked.log"
(cd "$app" && exec wine hold.exe 120 "C:\\windows\\klarex-$id-locked.log" >/dev/null 2>&1) &
pids+=($!)
sleep 3
keys F5
check "locked file listed" wait_for 30 listed "C:\\windows\\klarex-$id-locked.log"
keys ctrl+a shift+Delete
not_listed() { ! listed "$1"; }
check "the run handles the file in use" wait_for 60 not_listed "C:\\windows\\klarex-$id-locked.log"
sleep 2
expect_has "record: the file in use is at restart" ",standard,delete,at-restart," \
  "$(grep -F "klarex-$id-locked.log" "$record")"
expect_has "record: a log deleted with its bytes" ",standard,delete,deleted,5000," \
  "$(grep -F "klarex-$id-b.log" "$record")"
echo again >"$cookie_dir/klarex-$id-3.txt"
# Firefox runs again: its row stays, so the list is not emptied (an emptied
# list moves on to the next mode) and the summary stays in view.
(cd "$app" && exec wine firefox.exe 600 >/dev/null 2>&1) &
pids+=($!)
sleep 3
keys ctrl+k
check "new cookie listed" wait_for 30 listed "klarex-$id-3.txt"
keys ctrl+a Delete
check "the question comes before recycling" wait_for 15 focus '^Klarex \.NET$'
key_focus='^Klarex \.NET$'
keys c
key_focus='^Klarex'
check "recycled cookie left its place" wait_for 30 test ! -e "$cookie_dir/klarex-$id-3.txt"
sleep 2
expect_has "record: a recycled cookie" ",cookies,recycle,recycled," "$(grep -F "klarex-$id-3.txt" "$record")"
expect_has "summary of a recycling run" "Recycle Bin" "$(probe status 0)"

summary frees
