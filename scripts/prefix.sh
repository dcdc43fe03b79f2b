#!/usr/bin/env bash
# Creates (once) a private Wine prefix inside the build tree, with the z: drive
# (the host's /) removed, and a private XDG data folder for the Recycle Bin.
# Usage: prefix.sh <prefix-dir>
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
ws=/usr/lib/wine/wineserver
[ -x "$ws" ] || ws=$(command -v wineserver)
valid() { [ -f "$prefix/.klarex-ready" ] && [ -d "$prefix/drive_c/windows" ] && [ ! -e "$prefix/dosdevices/z:" ]; }
if valid; then exit 0; fi
rm -rf "$prefix"
mkdir -p "$prefix" "$prefix/../xdg-data"
cd "$prefix/.."
wineboot -i </dev/null >/dev/null 2>&1 || true
"$ws" -w
"$ws" -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1 || true
rm -f "$prefix/dosdevices/z:"
# A second fixed drive for tests of machines whose Windows lives on D:.
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
"$ws" -k || true
"$ws" -w
touch "$prefix/.klarex-ready"
