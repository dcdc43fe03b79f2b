#!/usr/bin/env bash
# Builds and runs every benchmark under Wine in the test prefix. Each prints
# lines of the form "<name>: <value> (goal <= <limit>)"; figures are ratios or
# times measured in this one run.
set -uo pipefail
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target benchmarks Klarex klarex_lang || exit 1
benches=$(ls "$build"/bin/bench_*.exe 2>/dev/null)
[ -n "$benches" ] || { echo "no benchmarks built"; exit 0; }
KLAREX_OWN_XVFB=1 bash "$here/wine-session.sh" "$build/testprefix" bash -c '
  cd "$WINEPREFIX/drive_c" || exit 1  # the host folder is not reachable without z:
  status=0
  for exe in "$@"; do
    wine "$exe" | tr -d "\r" || status=1
  done
  exit $status' _ $benches
