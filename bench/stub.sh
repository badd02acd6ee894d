#!/usr/bin/env bash
# The installer's own weight: dist/install.exe less the payload it carries (resource FCC 1),
# read from the executable itself, since `make installer` embeds another payload than the
# build's demo one. Prints one line "stub: kib=<n>" (KiB, rounded).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
dist=dist
[ "$b" = build ] || dist="$b/dist"
exe=${DIST:-$dist}/install.exe
place=$(perl scripts/pe-resource.pl find "$exe" FCC 1)
payload=${place#* }
total=$(stat -c %s "$exe")
echo "stub: kib=$(((total - payload + 512) / 1024))"
