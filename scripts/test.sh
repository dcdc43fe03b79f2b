#!/usr/bin/env bash
# Builds everything and runs every test through CTest under Wine (and Xvfb).
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" || exit 1
cmake --build "$build" --target probe || exit 1
KLAREX_OWN_XVFB=1 bash "$here/wine-session.sh" "$build/testprefix" \
  ctest --test-dir "$build" --output-on-failure --timeout 600
