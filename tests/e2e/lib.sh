# Shared set-up and helpers of the end-to-end scripts, sourced by each after it
# has set $id (a unique tag for what it plants): copies the program into the
# prefix, counts passes and failures, drives the program with real keys and
# reads it through probe.exe. A script's own `cleanup`, when it has one, runs
# at exit between stopping the program and removing its copy.
# Usage (inside scripts/wine-session.sh): . lib.sh, with the build dir as $1.
set -uo pipefail
build=$(realpath "$1")
: "${WINEPREFIX:?run inside scripts/wine-session.sh}" "${DISPLAY:?needs a display}"
c=$WINEPREFIX/drive_c
app=$c/e2e-$id
shots=$build/screenshots
user=$(whoami)
mkdir -p "$shots" "$app"
# A script that installs the program itself (the release's) sets $installed.
if [ -n "${installed:-}" ]; then
  cp "$build/bin/probe.exe" "$app/"
else
  cp -r "$build/bin/Klarex.exe" "$build/bin/sqlite3.dll" "$build/bin/lang" "$build/bin/cleaners" \
    "$build/bin/probe.exe" "$app/"
fi
cd "$c" || exit 1

app_pid=""
finish() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  declare -F cleanup >/dev/null && cleanup
  rm -rf "$app"
}
trap finish EXIT

# --- Counting ----------------------------------------------------------------------
passed=0
failed=0
ok() { passed=$((passed + 1)); }
bad() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() {  # name command...
  local name=$1; shift
  if "$@"; then ok; else bad "$name"; fi
}
expect_eq() {  # name expected actual
  if [ "$2" == "$3" ]; then ok; else bad "$1: expected [$2], got [$3]"; fi
}
expect_has() {  # name needle haystack
  if grep -qF -- "$2" <<<"$3"; then ok; else bad "$1: [$2] not in [$3]"; fi
}
expect_not() {  # name needle haystack
  if grep -qF -- "$2" <<<"$3"; then bad "$1: [$2] unexpectedly in the output"; else ok; fi
}
summary() {  # title: the closing line; fails when anything failed
  echo "e2e $1: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# --- The program ---------------------------------------------------------------------
probe() { wine "$app/probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
reg() { wine reg "$@" </dev/null >/dev/null 2>&1; }
shot() { import -window root "$shots/e2e-$1.png" 2>/dev/null; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
listed() { probe rows | grep -qF -- "$1"; }
row_count() { probe counts | cut -d' ' -f1; }
has_rows() { [ "$(row_count)" -gt 0 ] 2>/dev/null; }
no_window() { [ "$(probe windows)" = 0 ]; }

# Starts the copy of Klarex.exe and waits for its main window.
launch() {
  (cd "$app" && exec wine Klarex.exe >/dev/null 2>&1) &
  app_pid=$!
  wait_for 30 probe caption || { bad "main window did not appear"; return 1; }
}

# Real keys go to the window titled like $key_focus (none when empty, for a
# script that focuses for itself), then the program gets $key_pause seconds.
key_focus='^Klarex'
key_pause=0
focus() { timeout 10 xdotool search --name "$1" windowfocus --sync >/dev/null 2>&1; }
keys() {
  [ -n "$key_focus" ] && focus "$key_focus"
  timeout 20 xdotool key --delay 150 "$@"
  sleep "$key_pause"
}
