#!/usr/bin/env bash
# Builds and starts Klarex.exe in a demo prefix of its own (no z: drive). With
# DISPLAY set it opens there and runs until closed; without one it runs under
# Xvfb, saves a screenshot a few seconds after start and closes the program.
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target Klarex KlarexCmd klarex_lang klarex_cleaners || exit 1
prefix=$build/demoprefix
shot=$build/screenshots/run.png
fresh=0
[ -f "$prefix/.klarex-ready" ] || fresh=1
bash "$here/prefix.sh" "$prefix" || exit 1
if [ "$fresh" = 1 ] || [ ! -f "$prefix/.klarex-planted" ]; then
  if [ -f "$here/plant-demo.sh" ]; then
    bash "$here/wine-session.sh" "$prefix" bash "$here/plant-demo.sh" "$prefix" && touch "$prefix/.klarex-planted"
  fi
fi
app=$prefix/drive_c/Klarex
mkdir -p "$app"
cp -r "$build/bin/Klarex.exe" "$build/bin/sqlite3.dll" "$build/bin/lang" "$build/bin/cleaners" "$app/"
if [ -n "${DISPLAY:-}" ]; then
  exec bash "$here/wine-session.sh" "$prefix" bash -c 'cd "$1/drive_c/Klarex" && wine Klarex.exe' _ "$prefix"
fi
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
bash "$here/wine-session.sh" "$prefix" bash -c '
  cd "$1/drive_c/Klarex" && wine Klarex.exe & pid=$!
  sleep "${KLAREX_SHOT_DELAY:-6}"
  import -window root "$2"
  xdotool search --name "^Klarex" windowclose 2>/dev/null || true
  sleep 1; kill $pid 2>/dev/null; wait $pid 2>/dev/null' _ "$prefix" "$shot"
if [ -f "$shot" ]; then echo "screenshot: $shot"; else echo "no screenshot taken" >&2; exit 1; fi
