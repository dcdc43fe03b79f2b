#!/usr/bin/env bash
# Idempotent set-up: installs what is missing from Debian's repository, builds
# sqlite3.dll from Debian's sqlite3 source package (cached outside the clone,
# keyed by its version) and configures the build tree.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cache=${KLAREX_CACHE:-$HOME/.cache/klarex}

# Everything the scripts, tests and benchmarks call. Recommended packages are
# left out, so Wine's command (wine), its fonts (Marlett draws caption buttons
# and menu glyphs) and the 64-bit loader are named one by one, as are the host
# C compiler and headers that generate the SQLite amalgamation. (make runs this
# script, so it is there already.) README.md ("Testing the set-up") repeats this list.
packages=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xdotool imagemagick tcl googletest ninja-build
  cmake gcc libc6-dev sqlite3 python3 universal-ctags zip unzip xz-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_=""; [ "$(id -u)" -eq 0 ] || sudo_=sudo
  $sudo_ apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A package can be installed and still lack what we call (a changed package
# split, a file removed by hand): name the first thing missing and stop.
need() {  # need <command> <package>
  command -v "$1" >/dev/null 2>&1 || { echo "setup: '$1' is missing (Debian package $2)" >&2; exit 1; }
}
need wine wine; need wineboot wine; need wineserver wine
[ -x /usr/lib/wine/wine64 ] || { echo "setup: Wine's 64-bit loader /usr/lib/wine/wine64 is missing (Debian package wine64)" >&2; exit 1; }
need Xvfb xvfb; need xdotool xdotool; need convert imagemagick; need import imagemagick
need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix; need x86_64-w64-mingw32-gcc-posix g++-mingw-w64-x86-64-posix
need x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64; need x86_64-w64-mingw32-strip binutils-mingw-w64-x86-64
need x86_64-w64-mingw32-objdump binutils-mingw-w64-x86-64; need cmake cmake; need ninja ninja-build; need make make
need gcc gcc; need tclsh tcl; need python3 python3; need ctags universal-ctags; need zip zip; need unzip unzip; need xz xz-utils
[ -f /usr/include/stdio.h ] || { echo "setup: the C library's headers are missing (Debian package libc6-dev)" >&2; exit 1; }
[ -f /usr/src/googletest/CMakeLists.txt ] || { echo "setup: GoogleTest's sources are missing (Debian package googletest)" >&2; exit 1; }
[ -f /usr/share/wine/fonts/marlett.ttf ] || { echo "setup: Wine's Marlett font is missing (Debian package fonts-wine)" >&2; exit 1; }

# sqlite3.dll from the source package of the Debian release we run on.
mkdir -p "$cache"
sqlite_dir=""
for d in "$cache"/sqlite-*/; do
  [ -f "$d/sqlite3.dll" ] && sqlite_dir=${d%/}
done
if [ -z "$sqlite_dir" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/lists/partial"
  src_list=$work/sources.list
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources > "$work/debian.sources"
    opts=(-o "Dir::Etc::sourcelist=/dev/null" -o "Dir::Etc::sourceparts=$work" )
  else
    grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > "$src_list"
    opts=(-o "Dir::Etc::sourcelist=$src_list" -o "Dir::Etc::sourceparts=/dev/null")
  fi
  opts+=(-o "Dir::State::Lists=$work/lists")
  echo "setup: fetching Debian's sqlite3 source package"
  apt-get "${opts[@]}" update -q >/dev/null
  (cd "$work" && apt-get "${opts[@]}" source --download-only sqlite3 >/dev/null)
  orig=$(ls "$work"/sqlite3_*.orig.tar.* | head -n1)
  ver=$(basename "$orig" | sed -E 's/^sqlite3_([^.]+\.[^.]+\.[^.]+)\.orig.*/\1/')
  mkdir -p "$work/src"
  tar -xf "$orig" -C "$work/src" --strip-components=1
  mkdir -p "$work/src/bld"
  echo "setup: building the sqlite $ver amalgamation"
  (cd "$work/src/bld" && ../configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  out=$cache/sqlite-$ver
  mkdir -p "$out.tmp"
  cp "$work/src/bld/sqlite3.c" "$work/src/bld/sqlite3.h" "$out.tmp/"
  echo "setup: compiling sqlite3.dll"
  x86_64-w64-mingw32-gcc-posix -O2 -shared -DSQLITE_API='__declspec(dllexport)' \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
    -o "$out.tmp/sqlite3.dll" "$out.tmp/sqlite3.c" \
    -Wl,--out-implib,"$out.tmp/libsqlite3.dll.a" -static-libgcc
  rm -f "$out.tmp/sqlite3.c"
  rm -rf "$out"; mv "$out.tmp" "$out"
  sqlite_dir=$out
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSQLITE_DIR="$sqlite_dir" >/dev/null
fi
