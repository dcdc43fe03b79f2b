#!/usr/bin/env bash
# The extended catalogue in the real Klarex.exe under Xvfb with real keys: Edge and
# Discord caches planted beside their settings; the Offline list shows the caches and
# not the settings; a user's definition that leads out of its place is named in the
# status line at start-up; Options > Extended Catalogue unchecked leaves the caches out
# of the next scan and stays unchecked after a restart.
# Usage (inside scripts/wine-session.sh): extended_catalogue_test.sh <build dir>
id=extended-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
key_focus=''
key_pause=0.5
dialog_open() { xdotool search --name '^Klarex \.NET \[Advance\]$' >/dev/null 2>&1; }
dialog_closed() { ! dialog_open; }
focus_main() { focus '^Klarex \.NET \('; }
settings='HKCU\Software\Klarex\Klarex .NET\Settings'

roaming=$c/users/$user/AppData/Roaming
local_=$c/users/$user/AppData/Local
edge=$local_/Microsoft/Edge/User\ Data/Default
discord=$roaming/discord
mkdir -p "$edge/Cache/Cache_Data" "$edge/Code Cache/js" "$discord/Cache/Cache_Data" "$roaming/Klarex/cleaners"
head -c 4096 /dev/urandom >"$edge/Cache/Cache_Data/data_0"
head -c 512 /dev/urandom >"$edge/Code Cache/js/index"
head -c 2048 /dev/urandom >"$discord/Cache/Cache_Data/f_000001"
echo '{}' >"$edge/Preferences"
echo '{}' >"$discord/settings.json"
printf '[mine]\r\nprogram = Mine\r\nmode = offline\r\nplace = %%LOCALAPPDATA%%\\..\\Roaming\r\naction = whole\r\n' \
  >"$roaming/Klarex/cleaners/mine.ini"
win_edge='C:\users\'"$user"'\AppData\Local\Microsoft\Edge\User Data\Default'
win_discord='C:\users\'"$user"'\AppData\Roaming\discord'
cleanup() {
  rm -rf "$local_/Microsoft/Edge" "$discord" "$roaming/Klarex"
  reg delete 'HKCU\Software\Klarex' /f
}
reg add 'HKCU\Software\Klarex\Klarex .NET\'"$user" /v src /d Default /f

# Offline Temp & Advance: the dialog is left with Esc, the list stays.
offline_rows() {
  focus_main
  keys ctrl+h
  wait_for 20 dialog_open || { bad "Ctrl+H opened no Advance dialog"; return 1; }
  focus '^Klarex \.NET \[Advance\]$'
  keys Escape
  wait_for 10 dialog_closed || bad "Esc did not close the dialog"
  sleep 1
  probe rows
}

launch || exit 1
sleep 2
expect_has "a refused definition is named" "Definition not used: mine.ini, line 4 [mine]: a . or .. component" "$(probe status 0)"
rows=$(offline_rows)
expect_has "Edge cache listed" "$win_edge\\Cache" "$rows"
expect_has "Edge code cache listed" "$win_edge\\Code Cache" "$rows"
expect_has "Discord cache listed" "$win_discord\\Cache" "$rows"
expect_not "Edge settings not listed" "Preferences" "$rows"
expect_not "Discord settings not listed" "settings.json" "$rows"
expect_not "the refused place not listed" "C:\\users\\$user\\AppData\\Roaming	" "$rows"
shot extended-offline

# Options > Extended Catalogue off (the menu bar shows on Alt), then the next scan.
focus_main
keys alt+o e
sleep 1
expect_eq "the choice is kept" 0x0 \
  "$(wine reg query "$settings" /v ExtendedCatalogue 2>/dev/null | tr -d '\r' | awk '/ExtendedCatalogue/ {print $3}')"
rows=$(offline_rows)
expect_not "Edge cache gone from the list" "$win_edge" "$rows"
expect_not "Discord cache gone from the list" "$win_discord" "$rows"

# A restart keeps it off, and names no refusal then.
focus_main
keys alt+F4
wait_for 20 no_window || bad "the program did not close"
launch || exit 1
sleep 2
expect_not "no refusal named while off" "Definition not used" "$(probe status 0)"
rows=$(offline_rows)
expect_not "still off after a restart" "$win_edge" "$rows"
focus_main
keys alt+F4
wait_for 20 no_window || bad "the program did not close"
test -e "$edge/Cache/Cache_Data/data_0" && ok || bad "a listed cache changed without a deletion"

summary "extended catalogue"
