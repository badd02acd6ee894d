#!/usr/bin/env bash
# Runs the benchmarks: each prints ratios measured side by side in one run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
WINE_OWN_DISPLAY=1 wine_setup
trap wine_teardown EXIT
for exe in "$b"/win64/bench/*_bench.exe; do
  [ -f "$exe" ] || continue
  wine "$exe"
done
for t in bench/*.sh; do
  [ -f "$t" ] || continue
  bash "$t"
done
