#!/usr/bin/env bash
# Plants realistic junk into a demo prefix so that every mode of Klarex has something to
# show: Windows temp files and logs, a crash dump, the user's temp folder, thumbnail
# caches, Firefox and Chrome profiles with real SQLite databases, cookies, caches and a
# few most-recently-used lists in the registry, and Edge and Discord caches.
# Runs inside a Wine session (scripts/wine-session.sh sets WINEPREFIX and starts the
# server). Writes only below the prefix.
# Usage: plant-demo.sh <prefix-dir>
set -euo pipefail
prefix=$(realpath -m "${1:?usage: plant-demo.sh <prefix-dir>}")
c=$prefix/drive_c
[ -d "$c/windows" ] || { echo "plant-demo: $prefix is not a Wine prefix" >&2; exit 1; }
export WINEPREFIX=$prefix

# Windows folders of the prefix's user, as Unix paths below drive_c.
to_unix() { local p=${1%$'\r'}; p=${p#[Cc]:\\}; printf '%s/%s' "$c" "${p//\\//}"; }
mapfile -t dirs < <(cd "$c" && wine cmd /c \
  'echo %USERPROFILE%& echo %APPDATA%& echo %LOCALAPPDATA%& echo %TMP%' 2>/dev/null)
# a Windows folder as printed by cmd, or the given fallback when cmd printed none
win_dir() { case $1 in [Cc]:\\*) to_unix "$1" ;; *) printf '%s' "$2" ;; esac; }
profile=$(win_dir "${dirs[0]:-}" "$c/users/$(id -un)")
appdata=$(win_dir "${dirs[1]:-}" "$profile/AppData/Roaming")
localdir=$(win_dir "${dirs[2]:-}" "$profile/AppData/Local")
tmp=$(win_dir "${dirs[3]:-}" "$profile/Temp")
win=$c/windows

# ---------------------------------------------------------------- helpers

# Folders planted into; their dates follow their contents at the end.
planted=$(mktemp)
trap 'rm -f "$planted"' EXIT

# stamp <path> <age>: last written <age> ago, at some minute of that day.
stamp() {
  local minutes=0
  case $2 in *day*) minutes=$((RANDOM % 600)) ;; esac
  touch -d "$2 ago $minutes minutes ago" "$1"
}

# blob <path> <bytes> <age>: a file of random content, last written <age> ago.
blob() {
  mkdir -p "$(dirname "$1")"
  dirname "$1" >>"$planted"
  head -c "$2" /dev/urandom >"$1"
  stamp "$1" "$3"
}

# logfile <path> <lines> <age> <source>: a Windows-style log with CRLF lines.
logfile() {
  mkdir -p "$(dirname "$1")"
  local words=(Info Info Info Warning Info Error) what=(
    "Loaded servicing stack" "Session initialized by client" "Checking package applicability"
    "Read out cached package applicability" "Failed to get next element"
    "Reboot mark refs incremented" "Ending TrustedInstaller finalization"
    "Transaction merge completed" "Creating NT transaction" "Exec: processing complete")
  awk -v n="$2" -v src="$4" -v w="${words[*]}" -v m="$(printf '%s|' "${what[@]}")" \
    -v end="$(date -d "$3 ago" +%s)" 'BEGIN {
    split(w, lv, " "); split(m, msg, "|"); srand(n);
    t = end - 20 * n;
    for (i = 0; i < n; i++) {
      t += int(rand() * 40);
      level = lv[1 + int(rand() * 6)]
      printf "%s, %-7s %-4s %s [HRESULT = 0x%08x]\r\n", strftime("%Y-%m-%d %H:%M:%S", t, 1),
        level, src, msg[1 + int(rand() * 10)], (level == "Error" ? 2147942402 : 0)
    }
  }' >"$1"
  dirname "$1" >>"$planted"
  stamp "$1" "$3"
}

# database <path> <age>: runs the SQL read from standard input on a new database.
database() {
  mkdir -p "$(dirname "$1")"
  rm -f "$1"
  if command -v sqlite3 >/dev/null; then
    sqlite3 "$1"
  else
    python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1]); db.executescript(sys.stdin.read()); db.commit()' "$1"
  fi
  dirname "$1" >>"$planted"
  stamp "$1" "$2"
}

# Firefox and Chrome count time in microseconds (Chrome since 1601).
now_us=$(($(date +%s) * 1000000))
ago_us() { echo $((now_us - $1 * 3600 * 1000000)); }
chrome_us() { echo $(($(ago_us "$1") + 11644473600 * 1000000)); }

# ---------------------------------------------------------------- Windows folder

logfile "$win/setupact.log" 900 "3 days" SP
logfile "$win/setuperr.log" 40 "3 days" SP
logfile "$win/WindowsUpdate.log" 2400 "26 hours" WUA
logfile "$win/DtcInstall.log" 60 "41 days" DTC
blob "$win/~DFA3C1.tmp" 16384 "9 days"
blob "$win/msdownld.tmp.old" 2048 "80 days"
blob "$win/MEMORY.DMP" 3145728 "12 days"
blob "$win/Minidump/120526-14062-01.dmp" 262144 "2 days"
blob "$win/Minidump/112926-9843-01.dmp" 293888 "9 days"
logfile "$win/Debug/netsetup.log" 120 "60 days" NET
logfile "$win/Debug/mrt.log" 300 "6 days" MRT
blob "$win/Debug/UserMode/userenv.bak" 8192 "30 days"
logfile "$win/Logs/CBS/CBS.log" 5200 "1 day" CBS
logfile "$win/Logs/DISM/dism.log" 1800 "4 days" DISM
blob "$win/Logs/CBS/CbsPersist_20261130084512.cab" 524288 "8 days"
logfile "$win/Panther/setupact.log" 700 "90 days" MIG
logfile "$win/Panther/UnattendGC/setupact.log" 90 "90 days" UGC
logfile "$win/SoftwareDistribution/ReportingEvents.log" 400 "2 days" AGENT
for f in 9c5e7b1d0f2a4e36b8c1d7a0e5f43b21 4a0d2e8c7b6f1e93a5c2d8b0f7e61c4d; do
  blob "$win/SoftwareDistribution/Download/$f/windows10.0-kb5032189-x64.cab" 2621440 "5 days"
  blob "$win/SoftwareDistribution/Download/$f/express.psf" 1048576 "5 days"
done
blob "$win/SoftwareDistribution/Download/5d8a3c1e.msu" 1572864 "15 days"
for app in CHROME.EXE-2D4B7E1A FIREFOX.EXE-A1B2C3D4 EXPLORER.EXE-082B6F49 NOTEPAD.EXE-D8414F97 \
  SVCHOST.EXE-3530F672 WINWORD.EXE-8C6A2F11 CONSENT.EXE-40419367 TASKHOSTW.EXE-3E0B74C8; do
  blob "$win/Prefetch/$app.pf" $((8192 + RANDOM * 2)) "$((RANDOM % 20 + 1)) days"
done
blob "$win/Prefetch/Layout.ini" 65536 "3 days"
blob "$win/Temp/MpCmdRun.log" 24576 "1 day"
blob "$win/Temp/TMP00000A3F8C2E1B70" 131072 "7 days"
blob "$win/Temp/vminst.log" 4096 "50 days"
blob "$win/Temp/{8A69D345-D564-463C-AFF1-A69D9E530F96}/setup.exe.part" 786432 "20 days"
logfile "$win/System32/logfiles/setupcln/setupact.log" 150 "30 days" CLN
logfile "$win/System32/wbem/Logs/wmiprov.log" 80 "3 days" WMI
blob "$c/ProgramData/Microsoft/Windows Defender/Scans/History/Service/DetectionHistory/02/4D9A21C7" 12288 "4 days"
blob "$c/ProgramData/Microsoft/Windows Defender/Support/MPLog-20261201-101534.log" 98304 "6 days"

# Root of the system drive and of the second fixed drive.
logfile "$c/setuplog.txt" 200 "200 days" SETUP
blob "$c/FILE0000.CHK" 32768 "120 days"
blob "$c/Found.000/FILE0001.CHK" 65536 "120 days"
blob "$c/Found.000/FILE0002.CHK" 4096 "120 days"
logfile "$c/Boot/bootstat.log" 30 "10 days" BOOT
if [ -d "$prefix/drive_d" ]; then
  logfile "$prefix/drive_d/install.log" 140 "17 days" MSI
  blob "$prefix/drive_d/~backup.tmp" 204800 "22 days"
fi

# ---------------------------------------------------------------- the user's folders

blob "$tmp/~DF8C2A91F3B4E6D5.TMP" 16384 "1 day"
blob "$tmp/~DFE7012B44A96C3F.TMP" 32768 "1 day"
logfile "$tmp/dd_vcredist_amd64_20261130101512.log" 600 "8 days" MSI
logfile "$tmp/wmsetup.log" 90 "2 days" WMP
blob "$tmp/chrome_installer.log" 12288 "15 days"
blob "$tmp/7zS4A21.tmp/setup.exe" 1310720 "3 days"
blob "$tmp/7zS4A21.tmp/data.cab" 2097152 "3 days"
blob "$tmp/Low/Temporary Internet Files/Content.Word/~WRF0001.tmp" 20480 "11 days"
blob "$tmp/mozilla-temp-files/mozilla-temp-41" 65536 "2 days"

explorer=$localdir/Microsoft/Windows/Explorer
blob "$explorer/thumbcache_32.db" 1048576 "1 day"
blob "$explorer/thumbcache_96.db" 3145728 "1 day"
blob "$explorer/thumbcache_256.db" 5242880 "1 day"
blob "$explorer/thumbcache_1280.db" 1048576 "3 days"
blob "$explorer/thumbcache_idx.db" 16384 "1 day"
blob "$explorer/thumbcache_sr.db" 24 "1 day"
blob "$explorer/iconcache_32.db" 1048576 "1 day"

blob "$localdir/Microsoft/Windows/WER/ReportArchive/AppCrash_firefox.exe_3f1e9c2a/Report.wer" 18432 "9 days"
blob "$localdir/Microsoft/Windows/INetCache/Content.IE5/7K2B9QX1/jquery.min[1].js" 89476 "30 days"
blob "$localdir/Microsoft/Windows/INetCache/Content.IE5/7K2B9QX1/logo[2].png" 13824 "30 days"
blob "$localdir/Microsoft/Windows/INetCache/Content.IE5/N4WZ8D0L/style[1].css" 40960 "31 days"
blob "$localdir/Microsoft/Windows/INetCache/Content.IE5/index.dat" 32768 "30 days"
mkdir -p "$localdir/Microsoft/Windows/INetCookies"
for site in example news.example shop.example; do
  # name, value, host/path, flags, expiry and creation as FILETIME halves, end marker
  printf 'sessionid\r\n%s\r\n%s.com/\r\n1024\r\n2841938688\r\n31043842\r\n1964531200\r\n31043840\r\n*\r\n' \
    "$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')" "$site" \
    >"$localdir/Microsoft/Windows/INetCookies/$(id -un)@$site[1].txt"
  stamp "$localdir/Microsoft/Windows/INetCookies/$(id -un)@$site[1].txt" "$((RANDOM % 9 + 1)) days"
done
# shortcut <path> <age>: a shell link as Recent keeps them (header, then link data).
shortcut() {
  mkdir -p "$(dirname "$1")"
  dirname "$1" >>"$planted"
  { printf 'L\0\0\0\x01\x14\x02\0\0\0\0\0\xc0\0\0\0\0\0\0\x46'
    head -c $((400 + RANDOM % 800)) /dev/urandom; } >"$1"
  stamp "$1" "$2"
}
recent=$appdata/Microsoft/Windows/Recent
shortcut "$recent/Quarterly report.docx.lnk" "1 day"
shortcut "$recent/holiday.jpg.lnk" "3 days"
shortcut "$recent/notes.txt.lnk" "2 hours"
shortcut "$recent/Downloads.lnk" "5 days"
shortcut "$appdata/Microsoft/Office/Recent/Quarterly report.docx.LNK" "1 day"
shortcut "$appdata/Microsoft/Office/Recent/Budget 2027.xlsx.LNK" "6 days"
blob "$appdata/Microsoft/Office/Recent/index.dat" 2048 "1 day"
search=$c/ProgramData/Microsoft/Search/Data/Applications/Windows
blob "$search/MSS.log" 1048576 "1 day"
blob "$search/MSS00001.log" 1048576 "4 days"
blob "$search/MSS00002.log" 1048576 "9 days"
blob "$localdir/Microsoft/Windows/History/History.IE5/index.dat" 65536 "2 days"
blob "$localdir/Microsoft/Windows/History/History.IE5/MSHist012026120120261208/index.dat" 32768 "1 day"
blob "$appdata/Macromedia/Flash Player/#SharedObjects/K3Q8ZP2M/video.example.com/settings.sol" 512 "400 days"
blob "$appdata/Adobe/Flash Player/AssetCache/7V2H1QK0/cache.heu" 8192 "400 days"

# ---------------------------------------------------------------- Firefox

ff=$appdata/Mozilla/Firefox
ffp=$ff/Profiles/abcd1234.default-release
ffl=$localdir/Mozilla/Firefox/Profiles/abcd1234.default-release
mkdir -p "$ffp" "$ffl"
printf '[Install308046B0AF4A39CB]\r\nDefault=Profiles/abcd1234.default-release\r\nLocked=1\r\n\r\n[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/abcd1234.default-release\r\nDefault=1\r\n\r\n[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n' >"$ff/profiles.ini"
stamp "$ff/profiles.ini" "64 days"

database "$ffp/places.sqlite" "2 hours" <<SQL
CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,
  frecency INTEGER NOT NULL, UNIQUE (prefix, host));
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,
  typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,
  last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,
  url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT,
  site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id));
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
  visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL,
  triggeringPlaceId INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL,
  use_count INTEGER, PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,
  dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL,
  anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0,
  expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,
  lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,
  place_id INTEGER, post_data TEXT);
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
INSERT INTO moz_origins VALUES (1, 'https://', 'www.mozilla.org', 150),
  (2, 'https://', 'en.wikipedia.org', 2000), (3, 'https://', 'news.example.com', 900),
  (4, 'https://', 'shop.example.com', 400), (5, 'https://', 'mail.example.com', 1200);
INSERT INTO moz_places (id, url, title, rev_host, visit_count, typed, frecency,
  last_visit_date, guid, foreign_count, origin_id) VALUES
  (1, 'https://www.mozilla.org/firefox/', 'Firefox', 'gro.allizom.www.', 1, 0, 150, $(ago_us 900), 'aBcDeFgHiJk1', 1, 1),
  (2, 'https://en.wikipedia.org/wiki/Broom', 'Broom - Wikipedia', 'gro.aidepikiw.ne.', 3, 1, 2000, $(ago_us 30), 'aBcDeFgHiJk2', 0, 2),
  (3, 'https://news.example.com/2026/12/winter-storm', 'Winter storm closes schools', 'moc.elpmaxe.swen.', 2, 0, 900, $(ago_us 20), 'aBcDeFgHiJk3', 0, 3),
  (4, 'https://shop.example.com/cart?id=8812', 'Your cart', 'moc.elpmaxe.pohs.', 5, 1, 400, $(ago_us 5), 'aBcDeFgHiJk4', 0, 4),
  (5, 'https://mail.example.com/inbox', 'Inbox (3)', 'moc.elpmaxe.liam.', 12, 1, 1200, $(ago_us 2), 'aBcDeFgHiJk5', 0, 5),
  (6, 'https://en.wikipedia.org/wiki/Spring_cleaning', 'Spring cleaning - Wikipedia', 'gro.aidepikiw.ne.', 1, 0, 100, $(ago_us 48), 'aBcDeFgHiJk6', 0, 2);
INSERT INTO moz_historyvisits (from_visit, place_id, visit_date, visit_type, session) VALUES
  (0, 1, $(ago_us 900), 1, 0), (0, 2, $(ago_us 60), 2, 0), (2, 2, $(ago_us 30), 1, 0),
  (0, 3, $(ago_us 22), 1, 0), (4, 3, $(ago_us 20), 1, 0), (0, 4, $(ago_us 9), 2, 0),
  (6, 4, $(ago_us 5), 1, 0), (0, 5, $(ago_us 3), 2, 0), (0, 5, $(ago_us 2), 2, 0),
  (3, 6, $(ago_us 48), 1, 0);
INSERT INTO moz_inputhistory VALUES (2, 'broom', 2), (4, 'shop', 4), (5, 'mai', 9);
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, lastModified, guid)
  VALUES (1, 2, NULL, 0, 0, '', $(ago_us 2000), $(ago_us 2000), 'root________'),
  (2, 2, NULL, 1, 0, 'menu', $(ago_us 2000), $(ago_us 2000), 'menu________'),
  (3, 1, 1, 2, 0, 'Get Firefox', $(ago_us 2000), $(ago_us 2000), 'bmFirefox001');
INSERT INTO moz_anno_attributes VALUES (1, 'downloads/destinationFileURI');
INSERT INTO moz_annos (place_id, anno_attribute_id, content, dateAdded, lastModified)
  VALUES (6, 1, 'file:///C:/users/$(id -un)/Downloads/cleaning-checklist.pdf', $(ago_us 48), $(ago_us 48));
PRAGMA user_version = 70;
SQL

database "$ffp/cookies.sqlite" "3 hours" <<SQL
CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL DEFAULT '',
  name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, lastAccessed INTEGER,
  creationTime INTEGER, isSecure INTEGER, isHttpOnly INTEGER,
  inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT 0,
  rawSameSite INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0,
  CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));
INSERT INTO moz_cookies (name, value, host, path, expiry, lastAccessed, creationTime, isSecure,
  isHttpOnly) VALUES
  ('_ga', 'GA1.2.1418851230.1764200000', '.example.com', '/', 1830000000, $(ago_us 2), $(ago_us 300), 0, 0),
  ('session', '9f1c2e7a55b04d1e', 'mail.example.com', '/', 1767000000, $(ago_us 2), $(ago_us 2), 1, 1),
  ('cart', '8812', 'shop.example.com', '/', 1769000000, $(ago_us 5), $(ago_us 9), 1, 0),
  ('WMF-Last-Access', '05-Dec-2026', 'en.wikipedia.org', '/', 1767600000, $(ago_us 30), $(ago_us 60), 1, 1);
PRAGMA user_version = 12;
SQL

database "$ffp/formhistory.sqlite" "1 day" <<SQL
CREATE TABLE moz_formhistory (id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL,
  value TEXT NOT NULL, timesUsed INTEGER, firstUsed INTEGER, lastUsed INTEGER, guid TEXT);
INSERT INTO moz_formhistory (fieldname, value, timesUsed, firstUsed, lastUsed, guid) VALUES
  ('q', 'winter storm schools', 2, $(ago_us 24), $(ago_us 22), 'fh0000000001'),
  ('email', 'someone@example.com', 5, $(ago_us 800), $(ago_us 9), 'fh0000000002'),
  ('search', 'broom', 1, $(ago_us 60), $(ago_us 60), 'fh0000000003');
SQL

blob "$ffp/search.json.mozlz4" 6144 "20 days"
database "$ffp/search.sqlite" "300 days" <<SQL
CREATE TABLE engine_data (id INTEGER PRIMARY KEY, engineid STRING, name STRING, value STRING);
INSERT INTO engine_data (engineid, name, value) VALUES ('[app]/google.xml', 'order', '1'),
  ('[app]/wikipedia.xml', 'order', '2'), ('[profile]/example-search.xml', 'alias', 'ex');
SQL
blob "$ffp/downloads.json" 1024 "48 hours"
blob "$ffp/places.sqlite-wal" 0 "2 hours"
blob "$ffp/storage/default/https+++mail.example.com/ls/data.sqlite" 98304 "2 days"
blob "$ffp/storage/default/https+++news.example.com/idb/3870112724rsegmnoittet-es.sqlite" 49152 "20 hours"
blob "$ffp/minidumps/0c7a3f4e-1d2b-4c59-a6e1-3f9b0d8e2c11.dmp" 458752 "9 days"
blob "$ffp/minidumps/0c7a3f4e-1d2b-4c59-a6e1-3f9b0d8e2c11.extra" 6144 "9 days"
for i in 1 2 3 4 5 6 7 8 9 10 11 12; do
  name=$(head -c 20 /dev/urandom | od -An -tx1 | tr -d ' \n' | tr a-f A-F)
  blob "$ffl/cache2/entries/$name" $((4096 + RANDOM * 8)) "$((i % 5 + 1)) hours"
done
blob "$ffl/cache2/index" 8192 "1 hour"
blob "$ffl/jumpListCache/favicon-2b1c7e.ico" 1150 "3 days"
blob "$ffl/thumbnails/3f9b0d8e2c11a6e1.png" 36864 "1 day"
blob "$ffl/startupCache/startupCache.8.little" 3145728 "1 day"

# ---------------------------------------------------------------- Chrome

cr=$localdir/Google/Chrome/User\ Data
crd=$cr/Default
database "$crd/History" "1 hour" <<SQL
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR,
  visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL,
  last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE visits (id INTEGER PRIMARY KEY AUTOINCREMENT, url INTEGER NOT NULL,
  visit_time INTEGER NOT NULL, from_visit INTEGER, transition INTEGER DEFAULT 0 NOT NULL,
  segment_id INTEGER, visit_duration INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL,
  term LONGVARCHAR NOT NULL, normalized_term LONGVARCHAR NOT NULL);
INSERT INTO meta VALUES ('version', '67'), ('last_compatible_version', '16');
INSERT INTO urls (url, title, visit_count, typed_count, last_visit_time) VALUES
  ('https://www.example.com/', 'Example Domain', 4, 2, $(chrome_us 3)),
  ('https://news.example.com/2026/12/markets', 'Markets close higher', 1, 0, $(chrome_us 26)),
  ('https://video.example.com/watch?v=Zx81', 'How to clean a keyboard', 2, 0, $(chrome_us 50));
INSERT INTO visits (url, visit_time, from_visit, transition) VALUES
  (1, $(chrome_us 30), 0, 805306369), (1, $(chrome_us 3), 0, 805306369),
  (2, $(chrome_us 26), 1, 0), (3, $(chrome_us 50), 0, 805306368);
INSERT INTO keyword_search_terms VALUES (2, 3, 'clean keyboard', 'clean keyboard');
SQL
database "$crd/Cookies" "1 hour" <<SQL
CREATE TABLE meta (key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE cookies (creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL,
  top_frame_site_key TEXT NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL,
  encrypted_value BLOB NOT NULL, path TEXT NOT NULL, expires_utc INTEGER NOT NULL,
  is_secure INTEGER NOT NULL, is_httponly INTEGER NOT NULL, last_access_utc INTEGER NOT NULL,
  has_expires INTEGER NOT NULL, is_persistent INTEGER NOT NULL, priority INTEGER NOT NULL,
  samesite INTEGER NOT NULL, source_scheme INTEGER NOT NULL, source_port INTEGER NOT NULL,
  last_update_utc INTEGER NOT NULL);
INSERT INTO meta VALUES ('version', '21');
INSERT INTO cookies VALUES
  ($(chrome_us 30), '.example.com', '', 'NID', '', X'763130a1b2c3d4e5f6', '/', $(chrome_us -4000), 1, 1, $(chrome_us 3), 1, 1, 1, 0, 2, 443, $(chrome_us 3)),
  ($(chrome_us 50), 'video.example.com', '', 'PREF', '', X'763130f6e5d4c3b2a1', '/', $(chrome_us -8000), 1, 0, $(chrome_us 50), 1, 1, 1, -1, 2, 443, $(chrome_us 50));
SQL
blob "$crd/Cookies-journal" 0 "1 hour"
blob "$crd/History-journal" 0 "1 hour"
blob "$crd/Archived History" 229376 "40 days"
blob "$crd/Last Session" 18432 "1 hour"
blob "$crd/Safe Browsing Cookies-journal" 0 "2 days"
for i in 0 1 2 3; do blob "$crd/Cache/Cache_Data/data_$i" $((45056 + i * 1000000)) "1 hour"; done
blob "$crd/Cache/Cache_Data/index" 262512 "1 hour"
for i in 1 2 3 4 5 6; do blob "$crd/Cache/Cache_Data/f_00000$i" $((20000 + RANDOM * 4)) "$i hours"; done
blob "$crd/Code Cache/js/index" 24 "1 day"
blob "$crd/Code Cache/js/1a2b3c4d5e6f7081_0" 57344 "1 day"
blob "$crd/GPUCache/data_0" 8192 "1 day"
blob "$crd/GPUCache/data_1" 270336 "1 day"
blob "$crd/GPUCache/index" 262512 "1 day"
blob "$crd/Media Cache/index" 24 "6 days"
blob "$crd/Local Storage/leveldb/000003.log" 40960 "1 hour"
blob "$crd/Local Storage/leveldb/MANIFEST-000001" 23 "30 days"
printf 'MANIFEST-000001\n' >"$crd/Local Storage/leveldb/CURRENT"
stamp "$crd/Local Storage/leveldb/CURRENT" "30 days"
blob "$crd/Session Storage/000004.log" 12288 "1 hour"
printf 'MANIFEST-000001\n' >"$crd/Session Storage/CURRENT"
stamp "$crd/Session Storage/CURRENT" "30 days"
blob "$cr/ShaderCache/data_0" 8192 "2 days"
blob "$cr/ShaderCache/index" 262512 "2 days"

# ---------------------------------------------------------------- registry

reg=$c/klarex-demo.reg
user=$(id -un)
# RecentDocs keeps file names as NUL-terminated UTF-16 in binary values.
utf16hex() { printf '%s' "$1" | iconv -t UTF-16LE | od -An -tx1 | tr -s ' \n' ',' | sed 's/^,//'; }
{
  printf 'REGEDIT4\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU]\r\n'
  printf '"a"="notepad\\\\1"\r\n"b"="cmd\\\\1"\r\n"c"="regedit\\\\1"\r\n"d"="\\\\\\\\fileserver\\\\share\\\\1"\r\n'
  printf '"MRUList"="dcba"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs]\r\n'
  printf '"0"=hex:%s00,00\r\n' "$(utf16hex 'Quarterly report.docx')"
  printf '"1"=hex:%s00,00\r\n' "$(utf16hex 'holiday.jpg')"
  printf '"2"=hex:%s00,00\r\n' "$(utf16hex 'notes.txt')"
  printf '"MRUListEx"=hex:02,00,00,00,00,00,00,00,01,00,00,00,ff,ff,ff,ff\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.txt]\r\n'
  printf '"0"=hex:%s00,00\r\n"MRUListEx"=hex:00,00,00,00,ff,ff,ff,ff\r\n\r\n' "$(utf16hex 'notes.txt')"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*]\r\n'
  printf '"a"="C:\\\\users\\\\%s\\\\Documents\\\\notes.txt"\r\n' "$user"
  printf '"b"="C:\\\\users\\\\%s\\\\Pictures\\\\holiday.jpg"\r\n"MRUList"="ba"\r\n\r\n' "$user"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt]\r\n'
  printf '"a"="C:\\\\users\\\\%s\\\\Documents\\\\notes.txt"\r\n"MRUList"="a"\r\n\r\n' "$user"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n'
  printf '"url1"="https://www.example.com/"\r\n"url2"="https://mail.example.com/"\r\n'
  printf '"url3"="http://intranet/timesheet"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery]\r\n'
  printf '"0"=hex:%s00,00\r\n"MRUListEx"=hex:00,00,00,00,ff,ff,ff,ff\r\n\r\n' "$(utf16hex 'tax 2026')"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List]\r\n'
  printf '"File1"="C:\\\\users\\\\%s\\\\Pictures\\\\holiday.jpg"\r\n\r\n' "$user"
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList]\r\n'
  printf '"File0"="C:\\\\users\\\\%s\\\\Music\\\\track01.mp3"\r\n\r\n' "$user"
  printf '[HKEY_CURRENT_USER\\Software\\WinRAR\\ArcHistory]\r\n'
  printf '"0"="C:\\\\users\\\\%s\\\\Downloads\\\\photos.rar"\r\n\r\n' "$user"
}  >"$reg"
(cd "$c" && wine regedit /S 'C:\klarex-demo.reg' </dev/null >/dev/null 2>&1)
rm -f "$reg"

# ------------------------------------------- Edge and Discord (definition files' places)

edge=$localdir/Microsoft/Edge/User\ Data
for profile_dir in Default "Profile 1"; do
  for i in 0 1 2 3; do blob "$edge/$profile_dir/Cache/Cache_Data/data_$i" $((8192 + i * 524288)) "3 hours"; done
  blob "$edge/$profile_dir/Code Cache/js/index" 24 "3 hours"
  blob "$edge/$profile_dir/Code Cache/js/5e1b0c7d2a3f_0" 73728 "3 hours"
  blob "$edge/$profile_dir/GPUCache/data_1" 270336 "1 day"
  blob "$edge/$profile_dir/Preferences" 20480 "3 hours"  # settings: never listed
done
blob "$edge/ShaderCache/data_0" 8192 "6 days"
blob "$edge/GrShaderCache/data_1" 270336 "6 days"
discord=$appdata/discord
for i in 0 1 2 3; do blob "$discord/Cache/Cache_Data/data_$i" $((8192 + i * 1048576)) "20 minutes"; done
for i in 1 2 3 4 5; do blob "$discord/Cache/Cache_Data/f_00000$i" $((30000 * i)) "20 minutes"; done
blob "$discord/Code Cache/wasm/index" 24 "20 minutes"
blob "$discord/GPUCache/data_1" 270336 "2 days"
blob "$discord/settings.json" 412 "2 days"  # settings: never listed

# ---------------------------------------------------------------- fonts

# Wine brings no Chinese or Japanese font: link the host's CJK fallback font (if it has
# one) behind the dialog fonts, so that those language files can be read in the demo.
cjk_fonts() { fc-list -f '%{file}|%{family[0]}\n' ":lang=$1" 2>/dev/null | grep -iE '\.(ttf|otf)\|'; }
cjk=$( (cjk_fonts ja | grep -Fx -f <(cjk_fonts zh-tw) | sort | head -n1) || true)
if [ -n "$cjk" ]; then
  cp -n "${cjk%%|*}" "$win/Fonts/" 2>/dev/null || true
  link="$(basename "${cjk%%|*}"),${cjk#*|}"
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    (cd "$c" && wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "$link" /f </dev/null >/dev/null 2>&1) || true
  done
fi

# A folder was last written when its newest entry was, deepest folders first, so that
# folders show the age of their contents rather than the time of planting.
{
  while read -r dir; do
    while [ "${#dir}" -gt "${#c}" ]; do echo "$dir"; dir=$(dirname "$dir"); done
  done <"$planted"
} | sort -u | awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2- |
  while read -r dir; do
    newest=$(find "$dir" -mindepth 1 -maxdepth 1 -printf '%T@ %p\n' | sort -rn | head -n1 | cut -d' ' -f2-)
    [ -n "$newest" ] && touch -r "$newest" "$dir"
  done

echo "plant-demo: planted junk in $prefix (user folder $profile)"
