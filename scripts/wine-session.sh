#!/usr/bin/env bash
# Runs a command inside the private Wine prefix of a build tree, with a
# persistent wineserver and (unless DISPLAY is already set) a private Xvfb.
# Everything it started is stopped afterwards; the command's exit code is kept.
# Usage: wine-session.sh <prefix-dir> <command...>
set -uo pipefail
prefix=$(realpath -m "$1"); shift
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/prefix.sh" "$prefix" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# The Recycle Bin of the prefix's user (Wine puts it under XDG_DATA_HOME); kept
# inside drive_c so that tests can look into it as C:\xdg-data\Trash.
export XDG_DATA_HOME=$prefix/drive_c/xdg-data
mkdir -p "$XDG_DATA_HOME"
ws=/usr/lib/wine/wineserver
[ -x "$ws" ] || ws=$(command -v wineserver)
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] || [ "${KLAREX_OWN_XVFB:-0}" = 1 ]; then
  # Xvfb picks a free display itself and writes its number once it accepts
  # connections, so sessions started side by side never share one.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  n=$(tr -dc '0-9' < "$displayfile"); rm -f "$displayfile"
  [ -n "$n" ] || { echo "wine-session.sh: Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }
  export DISPLAY=:$n
fi
# Windows code cannot make Unix symbolic links (Wine's CreateSymbolicLinkW is a
# stub), yet Wine shows a link to a folder as a reparse point: tests ask this
# loop for one by writing "<unix link>\n<unix target>\n" into C:\klarex-links\N.req.
links=$prefix/drive_c/klarex-links
rm -rf "$links"; mkdir -p "$links"
(
  while [ -d "$links" ]; do
    for req in "$links"/*.req; do
      [ -e "$req" ] || continue
      { IFS= read -r link; IFS= read -r target; } < <(tr -d '\r' < "$req")
      if [ -n "$target" ]; then ln -sfn "$target" "$link" 2>/dev/null; else rm -f "$link"; fi
      mv "$req" "${req%.req}.done"
    done
    sleep 0.05
  done
) </dev/null >/dev/null 2>&1 &
link_pid=$!
cleanup() {
  kill "$link_pid" 2>/dev/null
  WINEPREFIX=$prefix "$ws" -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
( cd "$prefix/drive_c" && "$ws" -p </dev/null >/dev/null 2>&1 && wine wineboot </dev/null >/dev/null 2>&1 )
"$@"
