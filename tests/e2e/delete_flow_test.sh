#!/usr/bin/env bash
# Deleting from the list with real keys: Del sends every listed item to the
# Recycle Bin (the prefix user's trash), Shift+Del deletes for good; a locked
# file is registered for removal at restart; read-only files stay read-only
# while listed and go when deleted. A folder holding a link (to a folder, or to
# a file, which Wine shows as a plain file) keeps the link, the link's target
# and its own row; once the links are gone its row deletes. Each emptied
# Standard list moves on to Cookies, where a planted cookie waits.
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
canary=$build/e2e-canary-$id.txt               # a file link's target, outside the prefix
user_temp=$c/users/$user/Temp
file_link=$user_temp/canary-filelink.tmp
pending_key='HKLM\System\CurrentControlSet\Control\Session Manager'
had_pending=$(pending)
hold_pid=""
cleanup() {
  [ -n "$hold_pid" ] && kill "$hold_pid" 2>/dev/null
  rm -f "$c/windows/Temp/klarex-$id/link" "$file_link" 2>/dev/null
  rm -rf "$cookie" "$outside" "$canary" "$hold_src" "$c/windows/klarex-$id-"* "$c/windows/Temp/klarex-$id"
  rm -rf "$trash/klarex-$id-"* "$c/xdg-data/Trash/info/klarex-$id-"*
  # The deletions took the prefix's temporary folders along: give them back.
  mkdir -p "$c/windows/Temp" "$user_temp"
  [ -z "$had_pending" ] && wine reg delete "$pending_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
}

# Read-only as Windows code sees it: no write permission for the owner.
read_only() { [[ $(stat -c %A "$1") == ?r-* ]]; }

# --- Del: everything listed goes to the Recycle Bin --------------------------------
for n in 1 2; do echo "recycle $n" >"$c/windows/klarex-$id-r$n.log"; done
echo "read-only" >"$c/windows/klarex-$id-rro.log"
chmod a-w "$c/windows/klarex-$id-rro.log"
launch || exit 1
sleep 1
check "planted logs listed" wait_for 30 listed "C:\\windows\\klarex-$id-r2.log"
check "read-only file listed" listed "C:\\windows\\klarex-$id-rro.log"
check "listing leaves a read-only file read-only" read_only "$c/windows/klarex-$id-rro.log"
keys ctrl+a Delete
check "emptied Standard list moves on to Cookies" wait_for 60 listed "$win_cookie"
shot delete-recycled
for n in 1 2; do
  check "r$n left its place" test ! -e "$c/windows/klarex-$id-r$n.log"
  check "r$n is in the trash" test -f "$trash/klarex-$id-r$n.log"
done
check "read-only file left its place" test ! -e "$c/windows/klarex-$id-rro.log"
check "read-only file is in the trash, still read-only" read_only "$trash/klarex-$id-rro.log"
check "after the run: Ready or a selection status" test -n "$(probe status 0)"

# --- Shift+Del: gone for good; locked file pending; links and their targets stay ----
for n in 1 2; do echo "permanent $n" >"$c/windows/klarex-$id-p$n.log"; done
echo "read-only" >"$c/windows/klarex-$id-pro.log"
chmod a-w "$c/windows/klarex-$id-pro.log"
echo locked >"$c/windows/klarex-$id-locked.log"
(cd "$c" && exec wine "$hold_exe" "C:\\windows\\klarex-$id-locked.log" 120 >/dev/null 2>&1) &
hold_pid=$!
mkdir -p "$outside" "$c/windows/Temp/klarex-$id"
echo keep >"$outside/keep1.txt"
echo keep >"$outside/keep2.txt"
echo junk >"$c/windows/Temp/klarex-$id/junk.txt"
ln -s "$outside" "$c/windows/Temp/klarex-$id/link"
mkdir -p "$user_temp"
echo canary >"$canary"
ln -s "$canary" "$file_link"
sleep 2
keys F5
check "planted files listed again" wait_for 30 listed "C:\\windows\\klarex-$id-p2.log"
check "locked file listed" listed "C:\\windows\\klarex-$id-locked.log"
check "Temp folder listed" listed $'C:\\windows\\Temp\t'
check "user's Temp folder listed" listed $'C:\\users\\'"$user"$'\\Temp\t'
check "read-only file listed" listed "C:\\windows\\klarex-$id-pro.log"
check "listing leaves a read-only file read-only" read_only "$c/windows/klarex-$id-pro.log"

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
rows_are() { [ "$(row_count)" = "$1" ]; }
check "the run ends with the two Temp rows left" wait_for 60 rows_are 2
sleep 2
shot delete-permanent
for n in 1 2; do
  check "p$n deleted" test ! -e "$c/windows/klarex-$id-p$n.log"
  check "p$n not in the trash" test ! -e "$trash/klarex-$id-p$n.log"
done
check "read-only file deleted" test ! -e "$c/windows/klarex-$id-pro.log"
check "locked file still there" test -f "$c/windows/klarex-$id-locked.log"
check "locked file pending removal at restart" grep -qiF "klarex-$id-locked.log" <<<"$(pending)"
check "folder emptied but for the link" test ! -e "$c/windows/Temp/klarex-$id/junk.txt"
check "linked folder's first file survives" test -f "$outside/keep1.txt"
check "linked folder's second file survives" test -f "$outside/keep2.txt"
check "Temp row holding a folder link stays" listed $'C:\\windows\\Temp\t'
check "file link still there" test -L "$file_link"
check "file link's target intact" test "$(cat "$canary" 2>/dev/null)" = canary
check "Temp row holding a file link stays" listed $'C:\\users\\'"$user"$'\\Temp\t'
check "kept rows stay selected" test "$(probe counts | cut -d' ' -f2)" = 2

# Without the links the two rows delete, and the emptied list moves on.
rm -f "$c/windows/Temp/klarex-$id/link" "$file_link"
keys shift+Delete
check "emptied list moves on to Cookies again" wait_for 60 listed "$win_cookie"
check "file link's target still intact" test "$(cat "$canary" 2>/dev/null)" = canary

keys alt+F4
check "closes" wait_for 20 no_window
wait "$app_pid" 2>/dev/null
app_pid=""

summary "delete flow"
