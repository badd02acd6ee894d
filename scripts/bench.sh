#!/usr/bin/env bash
# Runs the benchmarks: each prints ratios measured side by side in one run. The Windows ones run
# the product's own build (win32) where this machine executes 32-bit code, the x86_64 twin
# (win64) where it cannot; the first line says which.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
WINE_OWN_DISPLAY=1 wine_setup
trap wine_teardown EXIT
wine_flavour_line
for exe in "$b/$(wine_flavour)"/bench/*_bench.exe; do
  [ -f "$exe" ] || continue
  wine "$exe"
done
for t in bench/*.sh; do
  [ -f "$t" ] || continue
  bash "$t"
done
