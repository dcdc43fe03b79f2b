#!/usr/bin/env bash
# KlarexCmd.exe on a planted machine: `list standard --format csv` equals, row
# for row, what the window lists at the same moment (read through probe.exe);
# Unicode, long names, commas and apostrophes come out intact in the three
# formats; `clean cookies` deletes the cookies and nothing beside them, leaves
# a link and its target alone (and says so with exit 1), changes nothing with
# --dry-run and refuses without --yes on redirected input; `privacy run recent`
# removes exactly those registry histories; a kept path is never listed, every
# deletion is recorded, and a running browser's items are skipped (exit 1);
# usage errors exit 2 with a reason.
# Usage (inside scripts/wine-session.sh): cmd_test.sh <build dir>
id=cmd-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cp "$build/bin/KlarexCmd.exe" "$app/"
out=$app/out
err=$app/err
# Runs KlarexCmd with redirected input and output; sets $rc.
cli() {
  (cd "$app" && WINEDEBUG=-all wine KlarexCmd.exe "$@" <"${cli_in:-/dev/null}" >"$out" 2>"$err")
  rc=$?
}
cli_in=''
exists() { test -e "$1"; }
key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

# --- Planted junk (unique names) -----------------------------------------------------
win=$c/windows
smile=$'\xf0\x9f\x98\x80'  # U+1F600, a surrogate pair in Windows' UTF-16
uni="klarex-$id-$smile-日本-é,'x.log"
# As long as a found item's path may be (259 characters), within Linux's 255 bytes a name.
long="klarex-$id-$(printf 'a%.0s' $(seq 1 180))$(printf 'é%.0s' $(seq 1 10))$smile.log"
echo unicode >"$win/$uni"
head -c 3000 /dev/zero >"$win/$long"
head -c 2500000 /dev/zero >"$win/klarex-$id-big.log"
cookie_dir=$c/users/$user/AppData/Local/Microsoft/Windows/INetCookies
mkdir -p "$cookie_dir"
for n in 1 2; do echo "cookie $n" >"$cookie_dir/klarex-$id-$n.txt"; done
echo decoy >"$cookie_dir/klarex-$id-decoy.dat"
target=$c/klarex-$id-target.txt
echo target >"$target"
explorer='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
run_mru="$explorer\\RunMRU"
mui='HKCU\Software\Microsoft\Windows\ShellNoRoam\MUICache'
recent_docs="$explorer\\RecentDocs"
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
forms='HKCU\Software\Microsoft\Internet Explorer\IntelliForms'
chrome_pid=""
cleanup() {
  [ -n "$chrome_pid" ] && kill "$chrome_pid" 2>/dev/null
  for k in "$run_mru" "$mui" "$recent_docs" "$typed" "$forms"; do reg delete "$k" /f; done
  rm -f "$win/klarex-$id-"* "$cookie_dir/klarex-$id-"* "$target"
}

# --- The window and KlarexCmd list the same rows ----------------------------------------
launch || exit 1
wait_for 30 has_rows || bad "the window listed nothing"
stable() { local a; a=$(row_count); sleep 1; [ "$a" = "$(row_count)" ]; }
wait_for 20 stable
probe rows >"$app/window.tsv"
cli list standard --format csv
expect_eq "list exit code" 0 "$rc"
cp "$out" "$app/standard.csv"
compare=$(python3 - "$app/standard.csv" "$app/window.tsv" <<'PY'
import csv, sys
def size_text(b):
    if b >= 1 << 20: return "%d MB" % (b >> 20)
    if b >= 1 << 10: return "%d KB" % (b >> 10)
    return "1 KB" if b > 0 else "0 KB"
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    rows = list(csv.reader(f))
window = [l.split("\t") for l in open(sys.argv[2], encoding="utf-8").read().splitlines()]
if rows[:1] != [["path", "type", "bytes", "modified"]]:
    print("header: %r" % rows[:1]); sys.exit()
rows = rows[1:]
if len(rows) != len(window):
    print("%d rows, the window has %d" % (len(rows), len(window)))
for i, (a, b) in enumerate(zip(rows, window)):
    mine = [a[0], a[1], size_text(int(a[2]))]
    if mine != b[:3]:
        print("row %d: %r, the window: %r" % (i, mine, b[:3]))
print("rows %d" % len(rows))
PY
)
expect_eq "KlarexCmd's Standard list is the window's, row for row" "rows $(wc -l <"$app/window.tsv")" "$compare"
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""

# --- Unicode, long names, a comma and an apostrophe, in all three formats -------------
win_uni="C:\\windows\\$uni"
win_long="C:\\windows\\$long"
check_formats=$(python3 - "$app/standard.csv" "$win_uni" "$win_long" <<'PY'
import csv, sys
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    paths = [r[0] for r in csv.reader(f)]
for p in sys.argv[2:]:
    if p not in paths: print("csv lacks %r" % p)
PY
)
expect_eq "csv: names intact" "" "$check_formats"
cli list standard --format json
check_json=$(python3 - "$out" "$win_uni" "$win_long" <<'PY'
import json, sys
lines = open(sys.argv[1], encoding="utf-8", newline="").read().split("\r\n")
assert lines[-1] == ""
objects = [json.loads(l) for l in lines[:-1]]
for o in objects:
    if sorted(o) != ["bytes", "modified", "path", "type"]: print("keys %r" % sorted(o))
paths = [o["path"] for o in objects]
for p in sys.argv[2:]:
    if p not in paths: print("json lacks %r" % p)
big = [o for o in objects if o["path"].endswith("-big.log")]
if not big or big[0]["bytes"] != 2500000: print("big.log: %r" % big)
PY
)
expect_eq "json: one object a line, names intact" "" "$check_json"
cli list standard
text=$(tr -d '\r' <"$out")
expect_has "text: Unicode name" "$win_uni"$'\t' "$text"
expect_has "text: long name" "$win_long"$'\t' "$text"
expect_has "text: closing total" "Total: $(($(wc -l <"$app/standard.csv") - 1)) items, " "$(tail -n1 <<<"$text")"

# --- clean cookies: refused, dry run, the real run ------------------------------------
cli clean cookies
expect_eq "without --yes on redirected input: refused" 2 "$rc"
expect_has "the refusal says why" "--yes" "$(cat "$err")"
check "refused: cookie still there" exists "$cookie_dir/klarex-$id-1.txt"
cli clean cookies --dry-run
expect_eq "dry run exit code" 0 "$rc"
expect_has "dry run names the cookie" "would-delete	C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\klarex-$id-1.txt" "$(tr -d '\r' <"$out")"
check "dry run: cookie still there" exists "$cookie_dir/klarex-$id-1.txt"
cli clean cookies --yes
expect_eq "clean cookies exit code" 0 "$rc"
for n in 1 2; do check "cookie $n deleted" test ! -e "$cookie_dir/klarex-$id-$n.txt"; done
check "decoy untouched" exists "$cookie_dir/klarex-$id-decoy.dat"
expect_has "one line per item" "deleted	C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\klarex-$id-2.txt" "$(tr -d '\r' <"$out")"
expect_has "summary" "Done: " "$(tail -n1 "$out")"
# A link among the cookies (Wine shows a file link as a plain file): never
# deleted through, so link and target stay, and the run says it is incomplete.
echo cookie >"$cookie_dir/klarex-$id-3.txt"
ln -s "$target" "$cookie_dir/klarex-$id-link.txt"
cli clean cookies --yes
expect_eq "a link left behind: exit 1" 1 "$rc"
check "cookie 3 deleted" test ! -e "$cookie_dir/klarex-$id-3.txt"
check "link kept" test -L "$cookie_dir/klarex-$id-link.txt"
expect_eq "link target untouched" target "$(cat "$target")"
expect_has "the link is reported" "failed	C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\klarex-$id-link.txt" "$(tr -d '\r' <"$out")"

# --- The keep list, the deletion record, a running browser ------------------------------
keep_key='HKCU\Software\Klarex\Klarex .NET\Keep'
reg add "$keep_key" /v 1 /d "C:\\windows\\klarex-$id-big.log" /f
cli list standard --format csv
expect_not "a kept path is not listed" "klarex-$id-big.log" "$(cat "$out")"
expect_has "what is not kept still is" "klarex-$id-$smile" "$(cat "$out")"
reg delete "$keep_key" /f
record=$c/users/$user/AppData/Local/Klarex/deletions.csv
recorded=$(cat "$record" 2>/dev/null)
expect_has "the clean is recorded" ",cookies,delete,deleted,9,C:\\users\\$user\\AppData\\Local\\Microsoft\\Windows\\INetCookies\\klarex-$id-1.txt" "$recorded"
expect_not "a dry run is not recorded" "would" "$recorded"
rm -f "$cookie_dir/klarex-$id-link.txt"
chrome_dir="$c/users/$user/AppData/Local/Google/Chrome/User Data/Default"
mkdir -p "$chrome_dir"
echo chrome >"$chrome_dir/Cookies"
echo cookie >"$cookie_dir/klarex-$id-4.txt"
printf '#include <windows.h>\nint main(void) { Sleep(120000); return 0; }\n' >"$build/e2e-sleeper-$id.c"
x86_64-w64-mingw32-gcc-posix -O1 -o "$app/chrome.exe" "$build/e2e-sleeper-$id.c" && rm -f "$build/e2e-sleeper-$id.c"
(cd "$app" && exec wine chrome.exe >/dev/null 2>&1) &
chrome_pid=$!
sleep 3
cli clean cookies --yes
expect_eq "a running browser's items skipped: exit 1" 1 "$rc"
check "Chrome's cookies kept while it runs" exists "$chrome_dir/Cookies"
check "the other cookie deleted" test ! -e "$cookie_dir/klarex-$id-4.txt"
expect_has "the skipped item is named" "skipped	C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Cookies" "$(tr -d '\r' <"$out")"
expect_has "the running browser is named" "Google Chrome" "$(cat "$err")"
kill "$chrome_pid" 2>/dev/null
wait "$chrome_pid" 2>/dev/null
chrome_pid=""
rm -rf "$c/users/$user/AppData/Local/Google"

# --- privacy run recent ----------------------------------------------------------------
reg add "$run_mru" /v a /d 'notepad\1' /f
reg add "$mui" /v 'C:\e2e.exe' /d e2e /f
reg add "$recent_docs\\.txt" /v 0 /d secret /f
reg add "$typed" /v url1 /d 'https://typed.example/' /f
reg add "$forms\\Storage2" /v x /d y /f
cli privacy run recent
expect_eq "privacy without --yes: refused" 2 "$rc"
cli privacy run recent --dry-run
expect_eq "privacy dry run exit code" 0 "$rc"
expect_has "dry run names the run history" "would-clear	HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU" "$(tr -d '\r' <"$out")"
for k in "$run_mru" "$mui" "$recent_docs"; do check "dry run: $k kept" key_exists "$k"; done
cli privacy recent run --yes
expect_eq "privacy run recent exit code" 0 "$rc"
for k in "$run_mru" "$mui" "$recent_docs"; do check "$k removed" bash -c "! wine reg query '$k' </dev/null >/dev/null 2>&1"; done
for k in "$typed" "$forms"; do check "$k (not chosen) kept" key_exists "$k"; done
expect_has "cleared keys reported" "cleared	HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs" "$(tr -d '\r' <"$out")"

# --- Usage ------------------------------------------------------------------------------
usage_error() {  # name reason words...
  local name=$1 reason=$2; shift 2
  cli "$@"
  expect_eq "$name: exit 2" 2 "$rc"
  expect_has "$name: reason" "$reason" "$(head -n1 "$err")"
  expect_has "$name: usage" "Usage:" "$(cat "$err")"
  expect_eq "$name: nothing on standard output" "" "$(cat "$out")"
}
usage_error "unknown verb" "unknown command 'purge'" purge standard
usage_error "unknown mode" "unknown mode 'temp'" list temp
usage_error "unknown option" "unknown option '--force'" clean standard --force
usage_error "missing mode" "needs a mode" clean --yes
usage_error "no arguments" "no command" 
cli --version
expect_eq "--version" "KlarexCmd $(sed -n 's/^#define KLAREX_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/klarex_version.h")" "$(tr -d '\r' <"$out")"
cli --help
expect_eq "--help exit code" 0 "$rc"
expect_has "--help prints the usage" "KlarexCmd privacy <autocomplete|find|recent|run|typed|url>..." "$(cat "$out")"

summary cmd
