#!/usr/bin/env bash
# The canary suite once through the real program: traps planted where the
# Standard and Offline lists look (links of every kind, 8.3 and exact names,
# read-only content, long paths, a profiles.ini leading out of Firefox), every
# row deleted with real keys — Del, then Shift+Del, then Shift+Del of the
# Offline list. After each run: no canary byte changed, nothing outside the
# listed rows changed, and every row that left the list is gone from the disk
# or registered for removal at restart.
# Usage (inside scripts/wine-session.sh): canary_test.sh <build dir>
id=canary-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
key_pause=1
pending_key='HKLM\System\CurrentControlSet\Control\Session Manager'
pending() { wine reg query "$pending_key" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r'; }
roaming=$c/users/$user/AppData/Roaming
temp=$c/windows/Temp/klarex-$id
canaries=$c/klarex-canaries-$id
empty=$c/klarex-empty-$id
outside=$build/e2e-canary-$id.txt  # outside the prefix
cleanup() {
  chmod -R u+w "$temp" 2>/dev/null
  rm -rf "$temp" "$canaries" "$empty" "$outside" "$roaming/Mozilla" "$roaming/Macromedia" "$c/users/$user/AppData/thesis.bak" \
    "$roaming/thesis.bak" "$c/windows/"{thesis.logbook,budget.tmpl,photos.bakery,archive.chkpt} \
    "$c/users/$user/Temp/canary-"*
  mkdir -p "$c/windows/Temp" "$c/users/$user/Temp"
}

plant() {
  mkdir -p "$canaries/sub" "$empty" "$temp/a/b/c" "$temp/ro/sub" "$temp/long" "$c/users/$user/Temp"
  echo one >"$canaries/c1.txt"; echo two >"$canaries/sub/c2.txt"; echo out >"$outside"
  for name in thesis.logbook budget.tmpl photos.bakery archive.chkpt; do echo "$name" >"$c/windows/$name"; done
  echo junk >"$temp/junk.tmp"; echo junk >"$temp/a/b/junk.tmp"
  ln -sfn "$temp/a" "$temp/a/b/up"          # a loop
  ln -sfn "$canaries" "$temp/to-canaries"
  ln -sfn "$empty" "$temp/to-empty"
  ln -sfn "$canaries" "$temp/a/b/c/deep"
  ln -sfn "$canaries/c1.txt" "$temp/fl-in.tmp"
  ln -sfn "$outside" "$temp/fl-out.tmp"
  ln -sfn "$outside" "$c/users/$user/Temp/canary-filelink.tmp"
  echo junk >"$temp/keep."; echo junk >"$temp/space "
  echo ro >"$temp/ro/ro.txt"; echo ro >"$temp/ro/sub/.hidden"; chmod a-w "$temp/ro/ro.txt" "$temp/ro/sub"
  local deep=$temp/deep
  while [ ${#deep} -lt 420 ]; do deep=$deep/dddddddddddddddddddddddddddddddddddddddd; done
  mkdir -p "$deep" && echo junk >"$deep/bottom.tmp"
  mkdir -p "$roaming/Mozilla/Firefox"
  printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=../../..\r\n' >"$roaming/Mozilla/Firefox/profiles.ini"
  echo bak >"$c/users/$user/AppData/thesis.bak"; echo bak >"$roaming/thesis.bak"
  # An Offline row with a file link to the outside canary in it.
  mkdir -p "$roaming/Macromedia/Flash Player/sub"
  echo sol >"$roaming/Macromedia/Flash Player/junk.sol"
  ln -sfn "$outside" "$roaming/Macromedia/Flash Player/sub/fl-out.sol"
}
canary_files() {
  printf '%s\n' "$canaries/c1.txt" "$canaries/sub/c2.txt" "$outside" "$c/users/$user/AppData/thesis.bak" \
    "$roaming/thesis.bak" "$c/windows/"{thesis.logbook,budget.tmpl,photos.bakery,archive.chkpt}
}
hashes() { canary_files | while IFS= read -r f; do md5sum "$f" 2>/dev/null || echo "missing $f"; done; }

# The listing of drive C (and the outside canary): type, size and mode per
# entry, links not followed; the Recycle Bin, the program's own copy and its
# deletion record (AppData\Local\Klarex, which every run appends to) left out.
listing() {
  { find "$c" \( -path "$c/xdg-data" -o -path "$app" -o -path "$c/klarex-links" \
      -o -path "$c/users/$user/AppData/Local/Klarex" \) -prune -o \
      -printf '%p\t%y %s %m\n'; find "$outside" -printf '%p\t%y %s %m\n'; } 2>/dev/null | LC_ALL=C sort
}
unix_path() { local p=${1//\\//}; echo "$c/${p:3}"; }
# The listing without what lies at or below a row.
without_rows() {  # listing-file rows-file
  awk -F'\t' 'NR == FNR { rows[tolower($0)] = 1; next }
    { p = tolower($1); keep = 1
      for (r in rows) if (p == r || index(p, r "/") == 1) { keep = 0; break }
      if (keep) print }' "$2" "$1"
}
rows_now() { probe rows | cut -f1; }
wait_settled() {  # until the list stops changing for 3 s (60 s at most)
  local last="" now same=0
  for _ in $(seq 60); do
    now=$(probe counts)
    if [ "$now" = "$last" ]; then same=$((same + 1)); [ $same -ge 3 ] && return 0; else same=0; fi
    last=$now; sleep 1
  done
  return 1
}

# One run: the rows at the start are deleted with `keys`, then judged.
judged_run() {  # title keys...
  local title=$1; shift
  local dir=$build/e2e-canary-run; mkdir -p "$dir"
  rows_now >"$dir/rows.win"
  while IFS= read -r r; do unix_path "$r"; done <"$dir/rows.win" >"$dir/rows"
  [ -s "$dir/rows" ] || { bad "$title: nothing listed"; return; }
  listing >"$dir/before"; hashes >"$dir/hashes"
  keys ctrl+a "$@"
  wait_settled || bad "$title: the run did not settle"
  check "$title: canaries unchanged" diff -q "$dir/hashes" <(hashes)
  listing >"$dir/after"
  if diff <(without_rows "$dir/before" "$dir/rows") <(without_rows "$dir/after" "$dir/rows") >"$dir/diff"; then ok; else
    bad "$title: changed outside the rows: $(head -c 600 "$dir/diff")"
  fi
  local left; left=$(rows_now)
  local p; p=$(pending)
  while IFS= read -r r; do
    grep -qxF -- "$r" <<<"$left" && continue
    local u; u=$(unix_path "$r")
    if [ ! -e "$u" ] && [ ! -L "$u" ] || grep -qiF -- "${r:3}" <<<"$p"; then ok; else bad "$title: row gone, item there: $r"; fi
  done <"$dir/rows.win"
  rm -rf "$dir"
}

plant
launch || exit 1
check "Standard list filled" wait_for 30 listed $'C:\\windows\\Temp\t'
judged_run "Del (Recycle Bin)" Delete
cleanup; plant
keys F5
check "Standard list filled again" wait_for 30 listed $'C:\\windows\\Temp\t'
judged_run "Shift+Del" shift+Delete
shot canary-standard
cleanup; plant
key_focus=''
focus '^Klarex \.NET \('
keys ctrl+h
if wait_for 20 xdotool search --name '^Klarex \.NET \[Advance\]$'; then
  focus '^Klarex \.NET \[Advance\]$'
  keys Escape
fi
focus '^Klarex \.NET \('
key_focus='^Klarex \.NET \('
wait_settled
judged_run "Offline, Shift+Del" shift+Delete
keys alt+F4
check "closes" wait_for 20 no_window
wait "$app_pid" 2>/dev/null
app_pid=""
summary "canary"
