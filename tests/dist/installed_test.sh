#!/usr/bin/env bash
# The release as a Windows user gets it: the zip that make dist packs, unpacked
# into C:\Program Files\Klarex of a fresh prefix and started from there by its
# full path (from another working folder). Its main window shows the caption
# and a filled list; a shipped language file read in place retitles the status.
# Usage (inside scripts/wine-session.sh): installed_test.sh <build dir>
id=dist-$$
installed=1
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
version=$(sed -n 's/^#define KLAREX_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/klarex_version.h")
zip=$build/dist/Klarex-$version-x64.zip
[ -f "$zip" ] || { echo "FAIL: no $zip (run make dist)"; exit 1; }
dest="$c/Program Files/Klarex"
exe='C:\Program Files\Klarex\Klarex.exe'
key='HKCU\Software\Klarex'
log=$c/windows/klarex-$id.log
cleanup() {
  rm -rf "$dest" "$log"
  reg delete "$key" /f
}
reg delete "$key" /f
rm -rf "$dest"
mkdir -p "$dest"
unzip -qq "$zip" -d "$dest" || { echo "FAIL: unpacking $zip"; exit 1; }
head -c 2500 /dev/zero >"$log"

start_release() {
  xdotool mousemove 1270 790 2>/dev/null  # off the toolbar: its hover prompt fills the status bar
  (cd "$c" && exec wine "$exe" >/dev/null 2>&1) &
  app_pid=$!
  wait_for 30 probe caption || { bad "main window did not appear"; return 1; }
  wait_for 30 has_rows || true
  sleep 1
}
close_release() {
  keys alt+F4
  wait_for 20 no_window || bad "main window did not close"
  wait "$app_pid" 2>/dev/null
  app_pid=""
}

if start_release; then
  expect_eq caption "Klarex .NET (64 bit) $version" "$(probe caption)"
  check "list filled" has_rows
  expect_has "planted log listed" "C:\\windows\\klarex-$id.log"$'\t' "$(probe rows)"
  expect_eq "status" "Ready" "$(probe status 0)"
  shot release
  close_release
fi

reg add "$key\\Klarex .NET\\$user" /v src /d 'C:\Program Files\Klarex\lang\italiano.lng' /f
if start_release; then
  expect_eq "shipped Italian file read in place" "Pronto" "$(probe status 0)"
  close_release
fi

summary "installed release"
