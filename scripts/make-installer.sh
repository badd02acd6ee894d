#!/usr/bin/env bash
# The maker's workflow: packs a release folder with fccpack and embeds the payload into a fresh
# dist/install.exe.   make installer PAYLOAD=<folder>
# A folder that breaks the payload's rules (names too long, empty, not allowed by Windows, equal
# but for letter case...) is refused with fccpack's message, and nothing is built.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ -z "${PAYLOAD:-}" ] || [ ! -d "$PAYLOAD" ]; then
  echo "make installer: PAYLOAD must name the folder of the release to install, e.g." >&2
  echo "  make installer PAYLOAD=/chemin/vers/Morvidan" >&2
  exit 2
fi
FLAVOURS=native scripts/build.sh >/dev/null
mkdir -p build/maker
payload="$top/build/maker/Morvidan.FCC"
if ! build/native/tools/fccpack/fccpack pack "$payload" "$PAYLOAD"; then
  echo "make installer: $PAYLOAD cannot be packed (see above); dist/install.exe is unchanged" >&2
  exit 1
fi
build/native/tools/fccpack/fccpack verify "$payload"
bz2=$(scripts/bzip2-source.sh)
cmake -S . -B build/maker/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBZIP2_SOURCE_DIR="$bz2" \
  -DINSTALL_PAYLOAD="$payload" >/dev/null
cmake --build build/maker/win32 -j "$(nproc)" --target install_exe -- --quiet
mkdir -p dist
cp build/maker/win32/installer/install.exe dist/install.exe
echo "make installer: dist/install.exe carries $(build/native/tools/fccpack/fccpack list "$payload" | wc -l) files of $PAYLOAD"
