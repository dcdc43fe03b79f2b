#!/usr/bin/env bash
# Creates (once) a private Wine prefix inside the build tree: no z: drive (the
# host's /), the user's own folders real folders of the prefix (Wine links them
# to the host user's home), a private XDG data folder for the Recycle Bin.
# A prefix whose creation did not finish has no ready mark and is made again,
# as is one that has a link out of the prefix below its users' folders.
# Usage: prefix.sh <prefix-dir>
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export XDG_DATA_HOME=$prefix/drive_c/xdg-data
ws=/usr/lib/wine/wineserver
[ -x "$ws" ] || ws=$(command -v wineserver)
# Symbolic links below the users' folders that lead out of the prefix.
links_out() {
  local link
  while IFS= read -r -d '' link; do
    case $(realpath -m "$link") in "$prefix"/*) ;; *) printf '%s\0' "$link" ;; esac
  done < <(find "$prefix/drive_c/users" -type l -print0)
}
valid() {
  [ -f "$prefix/.klarex-ready" ] && [ -d "$prefix/drive_c/windows" ] && [ ! -e "$prefix/dosdevices/z:" ] &&
    [ -z "$(links_out | tr -d '\0')" ]
}
if valid; then exit 0; fi

fail() {
  echo "prefix.sh: $1 failed while making $prefix (run again to start over)" >&2
  "$ws" -k >/dev/null 2>&1 || true
  exit 1
}
step() {  # step <what> <command...>: runs the command with all streams detached
  local what=$1; shift
  "$@" </dev/null >/dev/null 2>&1 || fail "$what"
}

rm -rf "$prefix"
mkdir -p "$prefix" "$XDG_DATA_HOME"
cd "$prefix/.."
step "wineboot -i" wineboot -i
step "waiting for the wineserver" "$ws" -w
step "starting the wineserver" "$ws" -p
step "wine wineboot" wine wineboot
# No window manager runs under Xvfb: let Wine draw captions and frames itself.
step "setting Managed=N" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
step "setting Decorated=N" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
rm -f "$prefix/dosdevices/z:"
[ -d "$prefix/drive_c/windows/Fonts" ] || fail "finding the Fonts folder"
# Debian's Wine does not find its own TrueType fonts (Marlett draws the caption
# buttons and menu glyphs) until they are in the prefix's Fonts folder.
[ -f /usr/share/wine/fonts/marlett.ttf ] || fail "finding Wine's Marlett font (package fonts-wine)"
cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
# Wine links the user's Desktop, Documents, Downloads, Music, Pictures, Videos
# and (under AppData) Templates to the host user's home: make every link out of
# the prefix an empty folder of it, so that nothing listed or deleted there is
# the host's.
while IFS= read -r -d '' link; do
  rm -f "$link"
  mkdir "$link"
done < <(links_out)
[ -z "$(links_out | tr -d '\0')" ] || fail "replacing the links to the host's home"
# A second fixed drive for tests of machines whose Windows lives on D:.
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
"$ws" -k >/dev/null 2>&1 || true
step "stopping the wineserver" "$ws" -w
[ ! -e "$prefix/dosdevices/z:" ] || fail "removing z:"
touch "$prefix/.klarex-ready"
