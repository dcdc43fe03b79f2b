#!/usr/bin/env bash
# Runs one end-to-end script in a fresh Wine prefix of its own, so that what
# it plants and deletes (it deletes whatever the program lists) never reaches
# the prefix the other tests share, nor a later run.
# Usage: e2e-session.sh <build dir> <script>
set -uo pipefail
build=$(realpath "$1")
script=$2
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$script" .sh)
prefix=$build/e2e/$name/prefix
rm -rf "$build/e2e/$name"
mkdir -p "$build/e2e/$name"
bash "$here/wine-session.sh" "$prefix" bash "$script" "$build"
status=$?
rm -rf "$build/e2e/$name"
exit $status
