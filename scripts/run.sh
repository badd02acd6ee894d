#!/usr/bin/env bash
# Starts dist/win64/install.exe under Wine (the product, dist/install.exe, is 32-bit; Debian
# ships no 32-bit Wine). Without a DISPLAY it runs on a virtual one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
wine_setup "${WINEPREFIX:-$top/build/wine/run-prefix}"
trap wine_teardown EXIT
echo "run: starting dist/win64/install.exe on display $DISPLAY (prefix $WINEPREFIX)"
wine dist/win64/install.exe
