#!/usr/bin/env bash
# The maker's workflow: packs a release folder with fccpack and embeds the payload into a fresh
# dist/install.exe.   make installer PAYLOAD=<folder>
# A folder without the application's executable, or that breaks the payload's rules (names too
# long, empty, not allowed by Windows, equal but for letter case...), is refused with the
# reason, and nothing is built.
# BUILD_ROOT and DIST name other build and output folders (default build and dist).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ -z "${PAYLOAD:-}" ] || [ ! -d "$PAYLOAD" ]; then
  echo "make installer: PAYLOAD must name the folder of the release to install, e.g." >&2
  echo "  make installer PAYLOAD=/chemin/vers/Morvidan" >&2
  exit 2
fi
b=${BUILD_ROOT:-build}
dist=${DIST:-dist}
# The installation starts, links and updates the application's executable: a release without
# one (an empty folder, the wrong folder) would install nothing that runs.
if [ -z "$(find "$PAYLOAD" -maxdepth 1 -type f -iname Morvidan.exe -print -quit)" ]; then
  echo "make installer: $PAYLOAD has no Morvidan.exe, the program the installation starts;" >&2
  echo "  $dist/install.exe is unchanged" >&2
  exit 1
fi
FLAVOURS=native scripts/build.sh >/dev/null
fccpack="$b/native/tools/fccpack/fccpack"
mkdir -p "$b/maker"
payload="$(cd "$b/maker" && pwd)/Morvidan.FCC"
rm -f "$payload"
if ! "$fccpack" pack "$payload" "$PAYLOAD"; then
  echo "make installer: $PAYLOAD cannot be packed (see above); $dist/install.exe is unchanged" >&2
  exit 1
fi
"$fccpack" verify "$payload"
bz2=$(scripts/bzip2-source.sh)
cmake -S . -B "$b/maker/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBZIP2_SOURCE_DIR="$bz2" \
  -DINSTALL_PAYLOAD="$payload" >/dev/null
cmake --build "$b/maker/win32" -j "$(nproc)" --target install_exe -- --quiet
mkdir -p "$dist"
cp "$b/maker/win32/installer/install.exe" "$dist/install.exe"
echo "make installer: $dist/install.exe carries $("$fccpack" list "$payload" | wc -l) files of $PAYLOAD"
