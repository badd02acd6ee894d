#!/usr/bin/env bash
# Configures and builds the three flavours (and the fuzz targets, and the threaded decoder's
# tests under ThreadSanitizer) in build/<flavour>, and
# copies the products to dist/. FLAVOURS picks some of them; BUILD_ROOT moves build/ (and
# dist/ into it), so that several checkouts' worth of builds can run side by side.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
bz2=$(scripts/bzip2-source.sh)
b=${BUILD_ROOT:-build}
dist=dist
[ "$b" = build ] || dist="$b/dist"

configure() {  # folder, extra arguments... (cheap when nothing changed)
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

flavours=${FLAVOURS:-"native win32 win64 fuzz tsan"}
# The Windows builds pack their demo payload with the native fccpack.
fccpack="$top/$b/native/tools/fccpack/fccpack"
case " $flavours " in
  *" win32 "* | *" win64 "*)
    case " $flavours " in *" native "*) ;; *)
      configure "$b/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_SANITIZE=ON
      cmake --build "$b/native" -j "$jobs" --target fccpack -- --quiet ;;
    esac ;;
esac
for f in $flavours; do
  case $f in
    native) configure $b/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_SANITIZE=ON ;;
    win32) configure $b/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBZIP2_SOURCE_DIR="$bz2" \
             -DFCCPACK="$fccpack" ;;
    win64) configure $b/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBZIP2_SOURCE_DIR="$bz2" \
             -DFCCPACK="$fccpack" ;;
    fuzz) configure $b/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DINSTALL_FUZZ=ON ;;
    tsan) configure $b/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_TSAN=ON ;;
  esac
  echo "build: $f"
  targets=()
  [ "$f" = tsan ] && targets=(--target bzip2_tsan_tests)
  cmake --build "$b/$f" -j "$jobs" "${targets[@]}" -- --quiet
done

mkdir -p "$dist/win64"
[ -f "$b/win32/installer/install.exe" ] && cp "$b/win32/installer/install.exe" "$dist/install.exe"
[ -f "$b/win64/installer/install.exe" ] && cp "$b/win64/installer/install.exe" "$dist/win64/install.exe"
exit 0
