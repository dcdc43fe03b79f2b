#!/usr/bin/env bash
# Deleting from the list with real keys: Del sends every listed item to the
# Recycle Bin (the prefix user's trash), Shift+Del deletes for good; a locked
# file is registered for removal at restart; a link inside a deleted folder
# tree leaves the linked folder's files alone. Each emptied Standard list
# moves on to Cookies, where a planted cookie waits.
# Usage (inside scripts/wine-session.sh): delete_flow_test.sh <build dir>
id=del-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trash=$c/xdg-data/Trash/files
pending() {
  wine reg query "$pending_key" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' |
    grep -F PendingFileRenameOperations
}

# A file held open without delete sharing, by a small Windows program built here.
hold_src=$build/e2e-hold.c
hold_exe=$app/hold.exe
cat >"$hold_src" <<'EOF'
#include <windows.h>
int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HANDLE h = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return 1;
  Sleep((DWORD)_wtoi(argv[2]) * 1000);
  CloseHandle(h);
  return 0;
}
EOF
x86_64-w64-mingw32-gcc-posix -municode -O1 -o "$hold_exe" "$hold_src" || { echo "cannot build hold.exe"; exit 1; }

# --- Planted items (unique names) ------------------------------------------------
cookie_dir=$c/users/$user/AppData/Local/Microsoft/Windows/INetCookies
mkdir -p "$cookie_dir"
cookie=$cookie_dir/klarex-$id.txt
echo cookie >"$cookie"
win_cookie="INetCookies\\klarex-$id.txt"
outside=$c/klarex-outside-$id                  # reached only through a link
pending_key='HKLM\System\CurrentControlSet\Control\Session Manager'
had_pending=$(pending)
hold_pid=""
cleanup() {
  [ -n "$hold_pid" ] && kill "$hold_pid" 2>/dev/null
  rm -f "$c/windows/Temp/klarex-$id/link" 2>/dev/null
  rm -rf "$cookie" "$outside" "$hold_src" "$c/windows/klarex-$id-"* "$c/windows/Temp/klarex-$id"
  rm -rf "$trash/klarex-$id-"* "$c/xdg-data/Trash/info/klarex-$id-"*
  # The deletions took the prefix's temporary folders along: give them back.
  mkdir -p "$c/windows/Temp" "$c/users/$user/Temp"
  [ -z "$had_pending" ] && wine reg delete "$pending_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
}

# --- Del: everything listed goes to the Recycle Bin --------------------------------
for n in 1 2; do echo "recycle $n" >"$c/windows/klarex-$id-r$n.log"; done
launch || exit 1
sleep 1
check "planted logs listed" wait_for 30 listed "C:\\windows\\klarex-$id-r2.log"
keys ctrl+a Delete
check "emptied Standard list moves on to Cookies" wait_for 60 listed "$win_cookie"
shot delete-recycled
for n in 1 2; do
  check "r$n left its place" test ! -e "$c/windows/klarex-$id-r$n.log"
  check "r$n is in the trash" test -f "$trash/klarex-$id-r$n.log"
done
check "after the run: Ready or a selection status" test -n "$(probe status 0)"

# --- Shift+Del: gone for good; locked file pending; linked folder untouched ----------
for n in 1 2; do echo "permanent $n" >"$c/windows/klarex-$id-p$n.log"; done
echo locked >"$c/windows/klarex-$id-locked.log"
(cd "$c" && exec wine "$hold_exe" "C:\\windows\\klarex-$id-locked.log" 120 >/dev/null 2>&1) &
hold_pid=$!
mkdir -p "$outside" "$c/windows/Temp/klarex-$id"
echo keep >"$outside/keep1.txt"
echo keep >"$outside/keep2.txt"
echo junk >"$c/windows/Temp/klarex-$id/junk.txt"
ln -s "$outside" "$c/windows/Temp/klarex-$id/link"
sleep 2
keys F5
check "planted files listed again" wait_for 30 listed "C:\\windows\\klarex-$id-p2.log"
check "locked file listed" listed "C:\\windows\\klarex-$id-locked.log"
check "Temp folder listed" listed $'C:\\windows\\Temp\t'

# A click on the File Name header sorts Z to A, a second click A to Z (case-insensitive).
names() { probe rows | cut -f1; }
sorted_names() { names | awk '{print tolower($0) "\t" $0}' | LC_ALL=C sort "$@" | cut -f2-; }
header_click() {
  local wid
  wid=$(xdotool search --name '^Klarex' | head -n1)
  xdotool mousemove --window "$wid" 40 61 click 1
  sleep 1
}
header_click
check "first click on File Name sorts descending" [ "$(names)" = "$(sorted_names -r)" ]
header_click
check "second click sorts ascending" [ "$(names)" = "$(sorted_names)" ]
shot delete-sorted
keys ctrl+a shift+Delete
check "emptied list moves on to Cookies again" wait_for 60 listed "$win_cookie"
shot delete-permanent
for n in 1 2; do
  check "p$n deleted" test ! -e "$c/windows/klarex-$id-p$n.log"
  check "p$n not in the trash" test ! -e "$trash/klarex-$id-p$n.log"
done
check "locked file still there" test -f "$c/windows/klarex-$id-locked.log"
check "locked file pending removal at restart" grep -qiF "klarex-$id-locked.log" <<<"$(pending)"
check "folder emptied" test ! -e "$c/windows/Temp/klarex-$id/junk.txt"
check "linked folder's first file survives" test -f "$outside/keep1.txt"
check "linked folder's second file survives" test -f "$outside/keep2.txt"

keys alt+F4
check "closes" wait_for 20 no_window
wait "$app_pid" 2>/dev/null
app_pid=""

summary "delete flow"
