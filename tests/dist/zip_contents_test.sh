#!/usr/bin/env bash
# The release zip that make dist packs: exactly the files CMakeLists.txt ships
# (the programs, sqlite3.dll, every language file and definition file, README.txt,
# THIRD-PARTY.txt),
# nothing of the test build, programs and libraries without debug information,
# texts with Windows line ends, and both the zip and the program within 1 MB.
# Usage: zip_contents_test.sh <build dir>
set -uo pipefail
build=$(realpath "$1")
src=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^#define KLAREX_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/klarex_version.h")
zip=$build/dist/Klarex-$version-x64.zip
release=$build/release
[ -f "$zip" ] || { echo "FAIL: no $zip (run make dist)"; exit 1; }

passed=0
failed=0
check() {  # name command...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name"; fi
}
at_most() { [ "$(stat -c %s "$1")" -le "$2" ]; }
crlf_only() { [ -s "$1" ] && ! grep -q $'[^\r]$\|^$' "$1"; }
no_debug_info() {
  ! x86_64-w64-mingw32-objdump -h "$1" | grep -q '\.debug' &&
    x86_64-w64-mingw32-objdump -t "$1" | grep -q 'no symbols'
}

check "zip is intact" unzip -tqq "$zip"
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
shipped=$(sed -e "s|^$build/dist/stage/||" -e 's|^\./||' "$release/install_manifest.txt" | LC_ALL=C sort)
check "zip holds what the install rules ship" [ "$listed" == "$shipped" ]
[ "$listed" == "$shipped" ] || diff <(echo "$shipped") <(echo "$listed")
for f in Klarex.exe KlarexCmd.exe sqlite3.dll README.txt THIRD-PARTY.txt; do
  check "$f in the zip" grep -qx "$f" <<<"$listed"
done
for shipped_file in "$src"/lang/*.lng "$src"/cleaners/*.ini; do
  name=$(basename "$(dirname "$shipped_file")")/$(basename "$shipped_file")
  check "$name in the zip" grep -qx "$name" <<<"$listed"
done
check "nothing of the test build" bash -c '! grep -Ei "probe|test_|bench_|gtest|\.(a|pdb|map|keep)$" <<<"$1"' _ "$listed"

unpacked=$build/dist/zip-check
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -qq "$zip" -d "$unpacked"
while IFS= read -r -d '' pe; do
  check "${pe#"$unpacked"/} has no debug information" no_debug_info "$pe"
done < <(find "$unpacked" \( -iname '*.exe' -o -iname '*.dll' \) -print0)
for shipped_file in "$src"/lang/*.lng "$src"/cleaners/*.ini; do
  name=$(basename "$(dirname "$shipped_file")")/$(basename "$shipped_file")
  check "$name unchanged" cmp -s "$shipped_file" "$unpacked/$name"
done
for txt in README.txt THIRD-PARTY.txt; do
  check "$txt has Windows line ends" crlf_only "$unpacked/$txt"
done
check "Klarex.exe <= 1 MB" at_most "$unpacked/Klarex.exe" 1048576
check "zip <= 1 MB" at_most "$zip" 1048576
rm -rf "$unpacked"

echo "dist zip contents: $passed passed, $failed failed"
[ "$failed" = 0 ]
