#!/usr/bin/env bash
# Fuzzes every parser of outside data under Wine: at least 10,000 seeded cases
# each, one line per parser ("fuzz-<name> cases: N crashes: C hangs: H").
# Failing cases are saved under <build>/fuzz/failures with their seeds.
# Usage: fuzz.sh <build dir> [cases per parser] [parser...]
set -uo pipefail
build=$(realpath "$1"); shift
cases=${1:-10000}; [ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target klarex_fuzz || exit 1
rm -rf "$build/fuzz/failures"
# A prefix of its own: a fuzz run may go on beside make test.
bash "$here/wine-session.sh" "$build/fuzzprefix" \
  wine "$build/bin/klarex_fuzz.exe" --cases "$cases" "$@" 2>/dev/null | sed -u 's/\r$//'
