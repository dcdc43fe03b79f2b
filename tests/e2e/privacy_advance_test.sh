#!/usr/bin/env bash
# The Advance dialog in the real Klarex.exe under Xvfb with real keys: Ctrl+H
# opens it, categories are chosen by their mnemonics, Clean deletes the planted
# registry histories at once, clears the Firefox history around the bookmarks,
# lists the privacy files it found, and those rows can be deleted from the list.
# A second opening left with Esc changes nothing. A Firefox error in a third run
# stays in the status line until the next key.
# Usage (inside scripts/wine-session.sh): privacy_advance_test.sh <build dir>
id=privacy-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# Keys go to whichever window the steps below focus.
key_focus=''
key_pause=0.5
key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
dialog_open() { xdotool search --name '^Klarex \.NET \[Advance\]$' >/dev/null 2>&1; }
dialog_closed() { ! dialog_open; }
step() { echo "-- $*"; }
focus_main() { focus '^Klarex \.NET \('; }
focus_dialog() { focus '^Klarex \.NET \[Advance\]$'; }

# --- Planted histories ------------------------------------------------------------
roaming=$c/users/$user/AppData/Roaming
local_=$c/users/$user/AppData/Local
ff_ini_dir=$roaming/Mozilla/Firefox
ff=$ff_ini_dir/Profiles/$id.default
ff_local=$local_/Mozilla/Firefox/Profiles/$id.default
chrome=$local_/Google/Chrome/User\ Data/Default
mkdir -p "$ff" "$ff_local/thumbnails" "$chrome/Local Storage"
had_ini=0
[ -e "$ff_ini_dir/profiles.ini" ] && had_ini=1 && cp "$ff_ini_dir/profiles.ini" "$app/profiles.ini.saved"
printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/%s.default\r\n' "$id" >"$ff_ini_dir/profiles.ini"
: >"$ff/formhistory.sqlite"
: >"$ff_local/thumbnails/page.png"
: >"$chrome/History"
: >"$chrome/Local Storage/site.localstorage"
python3 - "$ff/places.sqlite" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript("""
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, fk INTEGER, title TEXT);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER, input TEXT);
INSERT INTO moz_places VALUES (1, 'https://kept.example/'), (2, 'https://visited.example/');
INSERT INTO moz_historyvisits VALUES (1, 1), (2, 2);
INSERT INTO moz_bookmarks VALUES (1, 1, 'Kept');
INSERT INTO moz_inputhistory VALUES (2, 'vis');
""")
db.commit()
PY
places() { python3 -c "import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute(sys.argv[2]).fetchone()[0])" "$ff/places.sqlite" "$1"; }

explorer='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
run_mru="$explorer\\RunMRU"
mui='HKCU\Software\Microsoft\Windows\ShellNoRoam\MUICache'
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
forms='HKCU\Software\Microsoft\Internet Explorer\IntelliForms'
recent_docs="$explorer\\RecentDocs"
plant_keys() {
  reg add "$run_mru" /v a /d 'notepad\1' /f
  reg add "$run_mru" /v MRUList /d a /f
  reg add "$mui" /v 'C:\e2e.exe' /d e2e /f
  reg add "$typed" /v url1 /d 'https://typed.example/' /f
  reg add "$forms\\Storage2" /v x /d y /f
  reg add "$recent_docs\\.txt" /v 0 /d secret /f
}

cleanup() {
  for k in "$run_mru" "$mui" "$typed" "$forms" "$recent_docs" 'HKCU\Software\Klarex'; do reg delete "$k" /f; done
  rm -rf "$ff" "$ff_local" "$c/users/$user/AppData/Local/Google"
  if [ "$had_ini" = 1 ]; then cp "$app/profiles.ini.saved" "$ff_ini_dir/profiles.ini"; else rm -f "$ff_ini_dir/profiles.ini"; fi
}
plant_keys
reg add 'HKCU\Software\Klarex\Klarex .NET\'"$user" /v src /d Default /f

launch || exit 1
sleep 2
focus_main

# --- Ctrl+H: the Offline list, then the dialog ----------------------------------------
step "open the dialog"
keys ctrl+h
if ! wait_for 20 dialog_open; then
  bad "Ctrl+H opened no Advance dialog"
  summary privacy
  exit 1
fi
ok
before=$(row_count)
focus_dialog
shot privacy-dialog
# The keyboard focus moves to Find History; the screenshot shows its focus frame.
keys Tab
shot privacy-focus
# Open state: Url History and Recent Documents on. Recent Documents off; Run
# History, AutoComplete Passwords and Typed URL on; then Clean.
keys alt+d alt+r alt+p alt+t
shot privacy-chosen
step "clean"
keys alt+n
wait_for 30 dialog_closed || bad "the dialog did not close after the run"
sleep 1
shot privacy-after-clean

for k in "$run_mru" "$mui" "$typed" "$forms"; do
  if key_exists "$k"; then bad "$k still there after Clean"; else ok; fi
done
if key_exists "$recent_docs"; then ok; else bad "Recent Documents was not chosen, yet its key is gone"; fi
expect_eq "bookmark kept" 1 "$(places 'SELECT count(*) FROM moz_bookmarks')"
expect_eq "bookmarked page kept, visited page gone" "https://kept.example/" \
  "$(places 'SELECT group_concat(url) FROM moz_places')"
expect_eq "visits cleared" 0 "$(places 'SELECT count(*) FROM moz_historyvisits')"
expect_eq "input history cleared" 0 "$(places 'SELECT count(*) FROM moz_inputhistory')"

win_chrome="C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default"
win_ff="C:\\users\\$user\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\$id.default"
win_ff_local="C:\\users\\$user\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\$id.default"
mine=("$win_chrome\\History" "$win_ff\\formhistory.sqlite" "$win_chrome\\Local Storage" "$win_ff_local\\thumbnails")
rows=$(probe rows)
names=$(cut -f1 <<<"$rows")
for p in "${mine[@]}"; do expect_has "listed: $p" "$p" "$names"; done
expect_not "places.sqlite is cleaned in place, never listed" "places.sqlite" "$names"
expect_eq "the list grew by the found items" 1 "$([ "$(row_count)" -gt "$before" ] && echo 1 || echo 0)"

# --- Delete the found privacy files from the list --------------------------------------
# They follow one another: select the first with Home and Down, extend with
# Shift+Down, then Shift+Delete.
first=-1; last=-1; i=0
while IFS= read -r name; do
  for p in "${mine[@]}"; do
    if [ "$name" == "$p" ]; then
      [ "$first" -lt 0 ] && first=$i
      last=$i
    fi
  done
  i=$((i + 1))
done <<<"$names"
if [ "$first" -ge 0 ] && [ $((last - first + 1)) -eq ${#mine[@]} ]; then
  ok
  step "delete rows $first to $last"
  count_before=$(row_count)
  focus_main
  keys Home
  [ "$first" -gt 0 ] && xdotool key --delay 30 --repeat "$first" Down
  xdotool key --delay 30 --repeat $((${#mine[@]} - 1)) shift+Down
  sleep 0.5
  expect_eq "selection" "$count_before ${#mine[@]}" "$(probe counts)"
  keys shift+Delete
  gone() { [ "$(row_count)" -eq $((count_before - ${#mine[@]})) ]; }
  wait_for 20 gone || bad "rows not removed after Shift+Delete"
  names=$(probe rows | cut -f1)
  for p in "${mine[@]}"; do expect_not "row gone: $p" "$p" "$names"; done
  [ -e "$chrome/History" ] && bad "Chrome History file not deleted" || ok
  # A folder deleted permanently is emptied now and removed at the next restart.
  [ -e "$chrome/Local Storage/site.localstorage" ] && bad "Local Storage folder not emptied" || ok
  [ -e "$ff/formhistory.sqlite" ] && bad "formhistory.sqlite not deleted" || ok
  [ -e "$ff_local/thumbnails/page.png" ] && bad "thumbnails folder not emptied" || ok
  [ -e "$ff/places.sqlite" ] && ok || bad "places.sqlite was deleted"
  shot privacy-after-delete
else
  bad "found privacy rows are not listed together (first $first, last $last)"
fi

# --- A second opening left with Esc touches nothing -----------------------------------
step "open again and cancel"
plant_keys
focus_main
keys ctrl+h
if wait_for 20 dialog_open; then
  focus_dialog
  keys Escape
  wait_for 10 dialog_closed || bad "Esc did not close the dialog before Clean"
  sleep 1
  for k in "$run_mru" "$typed" "$recent_docs"; do
    if key_exists "$k"; then ok; else bad "$k deleted although the dialog was cancelled"; fi
  done
  expect_eq "list refreshed after Cancel" 1 "$([ "$(probe counts | cut -d' ' -f2)" = 0 ] && echo 1 || echo 0)"
else
  bad "second Ctrl+H opened no dialog"
fi

# --- A history that cannot be cleared: the error stays until the user acts ---------
step "firefox error"
# Firefox changed its database: the history tables are gone.
python3 -c "import sqlite3,sys; db=sqlite3.connect(sys.argv[1]); db.executescript('DROP TABLE moz_historyvisits; DROP TABLE moz_places;'); db.commit()" "$ff/places.sqlite"
focus_main
keys ctrl+h
if wait_for 20 dialog_open; then
  focus_dialog
  keys alt+n
  wait_for 30 dialog_closed || bad "the dialog did not close after the third run"
  sleep 1
  shot privacy-firefox-error
  expect_has "Firefox error shown after the run" "Cannot clear Firefox history" "$(probe status 0)"
  focus_main
  keys F5
  wait_for 10 has_rows
  expect_not "the next key replaces the error" "Cannot clear Firefox history" "$(probe status 0)"
else
  bad "third Ctrl+H opened no dialog"
fi

step "close"
focus_main
keys alt+F4
wait_for 20 no_window || bad "main window did not close"
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
if wait_for 20 ended; then ok; else bad "the program did not end after its window closed"; fi

summary privacy
