#!/usr/bin/env bash
# The real Klarex.exe under Xvfb, driven by real keys (xdotool) and read from
# outside through probe.exe: caption, Standard list with planted items, mode
# keys, selection status, menu bar on Alt, single instance, stored rectangle,
# the language kept at close and the Language command.
# Usage (inside scripts/wine-session.sh): main_window_test.sh <build dir>
id=gui-$$
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
key_pause=1
key='HKCU\Software\Klarex'
loc="$key\\Klarex .NET\\Location"
user_section="$key\\Klarex .NET\\$user"
preload='HKCU\Keyboard Layout\Preload'

start_app() {
  # A pointer resting on a toolbar button would put its prompt in the status bar.
  xdotool mousemove 1270 790 2>/dev/null
  launch || return 1
  wait_for 30 has_rows || true
  sleep 1
  focus "$key_focus"
}
close_app() {
  keys alt+F4
  wait_for 20 no_window || bad "main window did not close"
  wait "$app_pid" 2>/dev/null
  app_pid=""
}

# --- Planted items (unique names, removed at the end) -------------------------
log=$c/windows/klarex-e2e-$id.log
tmp=$c/windows/klarex-e2e-$id.tmp
cookie_dir=$c/users/$user/AppData/Local/Microsoft/Windows/INetCookies
mkdir -p "$cookie_dir"
cookie=$cookie_dir/klarex-e2e-$id.txt
head -c 2500 /dev/zero >"$log"
: >"$tmp"
head -c 3500000 /dev/zero >"$cookie"
win_log="C:\\windows\\klarex-e2e-$id.log"
win_tmp="C:\\windows\\klarex-e2e-$id.tmp"
win_cookie="INetCookies\\klarex-e2e-$id.txt"
cleanup() {
  rm -rf "$log" "$tmp" "$cookie"
  reg delete "$key" /f
}
reg delete "$key" /f

# --- First start: caption, Standard list, status, menu bar -------------------
# Wine sets the keyboard layout (Preload "1") itself, to US English here:
# it must leave the built-in texts.
expect_eq "US English layout" 00000409 "$(wine reg query "$preload" /v 1 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $3}')"
start_app || exit 1
expect_eq caption "Klarex .NET (64 bit) 4.18" "$(probe caption)"
rows=$(probe rows)
expect_has "planted log listed" "$win_log"$'\t' "$rows"
expect_has "2,500 bytes show 2 KB" "$win_log"$'\t'"log file"$'\t'"2 KB" "$rows"
expect_has "empty file shows 0 KB" "$win_tmp" "$(grep -F "$win_tmp" <<<"$rows" | grep -F $'\t0 KB\t')"
expect_not "cookie not in Standard" "$win_cookie" "$rows"
expect_eq "first start status" "Ready" "$(probe status 0)"
expect_eq "headers" "File Name Type Size Date Modified" "$(probe header | paste -sd' ')"
expect_eq "menu bar hidden at start" hidden "$(probe menubar)"
expect_eq "default rectangle" "80 66 800 456" "$(probe rect)"
shot standard

keys alt
expect_eq "Alt shows the menu bar" shown "$(probe menubar)"
shot menu
keys Escape Escape
wait_for 5 bash -c "[ \"\$(wine '$app/probe.exe' menubar | tr -d '\r')\" = hidden ]"
expect_eq "menu bar hides again" hidden "$(probe menubar)"
# Right-click into the list with nothing selected: the Edit pop-up, drawn by the
# themed menus now that the menu bar has been open (the screenshot shows it).
xdotool mousemove 400 440 click 3
sleep 1
shot context-menu
keys Escape
xdotool mousemove 1270 790

# --- Selection ------------------------------------------------------------------
keys ctrl+a
read -r n s <<<"$(probe counts)"
expect_eq "Ctrl+A selects every row" "$n" "$s"
expect_eq "selection status" "$n / $n selected" "$(probe status 0)"
shot selected
keys ctrl+u
expect_eq "Ctrl+U clears the selection" "$n 0" "$(probe counts)"
expect_eq "status after unselect" "Ready" "$(probe status 0)"

# --- Modes ------------------------------------------------------------------------
keys ctrl+k
wait_for 10 has_rows
rows=$(probe rows)
expect_has "Cookies lists the planted cookie" "$win_cookie" "$rows"
expect_has "3,500,000 bytes show 3 MB" "$win_cookie"$'\t'"$(grep -F "$win_cookie" <<<"$rows" | cut -f2)"$'\t'"3 MB" "$rows"
expect_not "Standard rows gone in Cookies" "$win_log" "$rows"
shot cookies
keys ctrl+h
# The Advance dialog, when it is there, waits for its Cancel.
if wait_for 5 xdotool search --name 'Advance' ; then keys Escape; fi
rows=$(probe rows)
expect_not "Offline list replaced the cookies" "$win_cookie" "$rows"
keys F5
wait_for 10 has_rows
expect_has "F5 lists Standard again" "$win_log" "$(probe rows)"

# --- Second start -------------------------------------------------------------------
(cd "$app" && timeout 30 wine Klarex.exe >/dev/null 2>&1)
rc=$?
expect_eq "second start ends by itself" 0 "$rc"
expect_eq "one main window" 1 "$(probe windows)"

# --- Rectangle kept between runs ------------------------------------------------------
close_app
stored=$(wine reg query "$loc" 2>/dev/null | tr -d '\r')
expect_has "width stored at close" "Width    REG_DWORD    0x320" "$stored"
expect_has "language stored at close" "Default" "$(wine reg query "$user_section" /v src 2>/dev/null | tr -d '\r')"
set_rect() {
  reg add "$loc" /v Left /t REG_DWORD /d "$1" /f
  reg add "$loc" /v Top /t REG_DWORD /d "$2" /f
  reg add "$loc" /v Width /t REG_DWORD /d "$3" /f
  reg add "$loc" /v Height /t REG_DWORD /d "$4" /f
}
set_rect 100 50 700 500
start_app && expect_eq "stored rectangle used" "100 50 700 500" "$(probe rect)" && close_app
set_rect 100 50 450 500
start_app && expect_eq "width 450 rejected" "80 66 800 456" "$(probe rect)" && close_app
set_rect 100 50 451 500
start_app && expect_eq "width 451 used" "100 50 451 500" "$(probe rect)" && close_app
set_rect 4294935296 50 700 500  # left -32000: closed while minimised
start_app && expect_eq "minimised left rejected" "80 66 800 456" "$(probe rect)" && close_app
set_rect 2147483647 2147483647 2147483647 2147483647
start_app && expect_eq "absurd rectangle rejected" "80 66 800 456" "$(probe rect)" && close_app

# --- Languages -------------------------------------------------------------------------
reg add "$user_section" /v src /d 'C:\no-such-folder\gone.lng' /f
start_app
expect_eq "missing language file gives the defaults" "File Name Type Size Date Modified" "$(probe header | paste -sd' ')"
expect_eq "missing language file: status default" "Ready" "$(probe status 0)"
# The Language command: type the path of a test file into the file dialog.
printf '\xff\xfe' >"$app/lang/e2e.lng"
printf '[Columns]\r\n1=Chemin\r\n2="Genre"\r\n3=\r\n[Header]\r\nCulture=Testish // test file\r\n[Status]\r\n13=Pret\r\n[FileMenu]\r\n0=&Fichier\r\n' |
  iconv -f UTF-8 -t UTF-16LE >>"$app/lang/e2e.lng"
keys ctrl+l
if wait_for 10 xdotool search --name 'Select Language'; then
  sleep 1
  xdotool type --delay 50 "C:\\e2e-$id\\lang\\e2e.lng"
  xdotool key Return
  # The language's name is shown in a message box.
  if wait_for 10 xdotool search --name '^Klarex .NET$'; then
    shot culture
    xdotool key Return
  else
    bad "no message box with the language name"
  fi
  sleep 1
  expect_eq "chosen file retitles the columns" "Chemin Genre Size Date Modified" "$(probe header | paste -sd' ')"
  expect_eq "status in the chosen language" "Pret" "$(probe status 0)"
  # Menu texts cannot be read across processes under Wine: the screenshot shows "Fichier".
  keys alt
  shot language
  keys Escape Escape
else
  bad "Language command opened no file dialog"
fi
# The shipped Italian file: its ready text at once, and room for its titles
# (the screenshot shows "Dimensione" whole).
keys ctrl+l
if wait_for 10 xdotool search --name 'Select Language'; then
  sleep 1
  xdotool type --delay 50 "C:\\e2e-$id\\lang\\italiano.lng"
  xdotool key Return
  wait_for 10 xdotool search --name '^Klarex .NET$' && xdotool key Return
  sleep 1
  expect_eq "Italian column titles" "Nome file Tipo Dimensione Data modifica" "$(probe header | paste -sd' ')"
  expect_eq "Italian ready text" "Pronto" "$(probe status 0)"
  shot italian
else
  bad "second Language command opened no file dialog"
fi
close_app
expect_has "chosen file stored" 'italiano.lng' "$(wine reg query "$user_section" /v src 2>/dev/null | tr -d '\r')"

summary "main window"
