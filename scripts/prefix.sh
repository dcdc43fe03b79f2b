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
# No window manager runs under Xvfb: let Wine draw captions and frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 || true
rm -f "$prefix/dosdevices/z:"
# Debian's Wine does not find its own TrueType fonts (Marlett draws the caption
# buttons and menu glyphs) until they are in the prefix's Fonts folder.
cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
# A second fixed drive for tests of machines whose Windows lives on D:.
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
"$ws" -k || true
"$ws" -w
touch "$prefix/.klarex-ready"
