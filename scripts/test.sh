#!/usr/bin/env bash
# Builds everything and runs every test through CTest under Wine (and Xvfb),
# except those of the release zip (label "dist"), which make dist runs.
# In-process GUI tests save screenshots into the prefix (C:\screenshots); they
# are converted to PNG beside the end-to-end ones in <build>/screenshots.
set -uo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" || exit 1
cmake --build "$build" --target probe || exit 1
shots=$build/testprefix/drive_c/screenshots
rm -rf "$shots"
KLAREX_SCREENSHOTS='C:\screenshots' KLAREX_OWN_XVFB=1 bash "$here/wine-session.sh" \
  "$build/testprefix" ctest --test-dir "$build" --label-exclude dist --output-on-failure --timeout 600
status=$?
mkdir -p "$build/screenshots"
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$build/screenshots/$(basename "$bmp" .bmp).png" 2>/dev/null
done
exit $status
