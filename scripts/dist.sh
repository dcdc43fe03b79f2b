#!/usr/bin/env bash
# Builds the release (optimised, no debug information, stripped) in
# <build>/release, installs what CMakeLists.txt ships into <build>/dist/stage
# and packs it into <build>/dist/Klarex-<version>-x64.zip; prints the sizes of
# the zip and of Klarex.exe, then runs the tests of the zip (CTest label
# "dist": its file list, and the release unpacked and started in a fresh prefix).
# Usage: dist.sh <build dir>
set -euo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
release=$build/release
dist=$build/dist
sqlite_dir=$(sed -n 's/^SQLITE_DIR:PATH=//p' "$build/CMakeCache.txt" 2>/dev/null)
[ -n "$sqlite_dir" ] || { echo "dist.sh: $build is not configured (run scripts/setup.sh)" >&2; exit 1; }
if [ ! -f "$release/build.ninja" ]; then
  cmake -S "$here" -B "$release" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DSQLITE_DIR="$sqlite_dir" >/dev/null
fi
cmake --build "$release" --target klarex_shipped
version=$(sed -n 's/^#define KLAREX_VERSION_TEXT "\(.*\)"$/\1/p' "$release/generated/klarex_version.h")
[ -n "$version" ] || { echo "dist.sh: no version in $release/generated/klarex_version.h" >&2; exit 1; }

stage=$dist/stage
zip=$dist/Klarex-$version-x64.zip
rm -rf "$stage" "$zip"
mkdir -p "$stage"
cmake --install "$release" --prefix "$stage" >/dev/null
# The program is linked stripped; sqlite3.dll (built by setup.sh) is not.
find "$stage" \( -iname '*.exe' -o -iname '*.dll' \) -print0 | xargs -0r x86_64-w64-mingw32-strip
# Windows line ends for the texts, so that every editor shows their lines.
for txt in "$stage"/*.txt; do sed -i 's/\r*$/\r/' "$txt"; done
(cd "$stage" && zip -q -r -D -X "$zip" .)

size() {  # size <label> <file>: bytes, MB and the goal
  local bytes
  bytes=$(stat -c %s "$2")
  awk -v l="$1" -v b="$bytes" -v f="$(realpath --relative-to=. "$2")" \
    'BEGIN { printf "%s: %s, %d bytes = %.2f MB (goal <= 1 MB)\n", l, f, b, b / 1048576 }'
}
size zip "$zip"
size exe "$stage/Klarex.exe"

# probe.exe (of the test build) reads the started program's window.
cmake --build "$build" --target probe >/dev/null
KLAREX_OWN_XVFB=1 ctest --test-dir "$build" --label-regex '^dist$' --output-on-failure
