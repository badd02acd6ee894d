#!/usr/bin/env bash
# Configures and builds the three flavours (and the fuzz targets): build/<flavour>.
# The products are copied to dist/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
bz2=$(scripts/bzip2-source.sh)

configure() {  # folder, extra arguments...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
}

flavours=${FLAVOURS:-"native win32 win64 fuzz"}
for f in $flavours; do
  case $f in
    native) configure build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_SANITIZE=ON ;;
    win32) configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBZIP2_SOURCE_DIR="$bz2" ;;
    win64) configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBZIP2_SOURCE_DIR="$bz2" ;;
    fuzz) configure build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DINSTALL_FUZZ=ON ;;
  esac
  echo "build: $f"
  cmake --build "build/$f" -j "$jobs" -- --quiet
done

mkdir -p dist/win64
[ -f build/win32/installer/install.exe ] && cp build/win32/installer/install.exe dist/install.exe
[ -f build/win64/installer/install.exe ] && cp build/win64/installer/install.exe dist/win64/install.exe
exit 0
