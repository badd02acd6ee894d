#!/usr/bin/env bash
# Configures and builds the three flavours (and the fuzz targets, and the threaded decoder's
# tests under ThreadSanitizer) in build/<flavour>, and copies the products to dist/. FLAVOURS
# picks some of them; BUILD_ROOT moves build/ (and dist/ into it), so that several checkouts'
# worth of builds can run side by side; DIST moves dist/. Both may be relative (to the
# checkout) or absolute.
# A sixth build, tools, is the maker's fccpack optimised and without sanitizers: the Windows
# builds pack their demo payload with it and make installer packs the maker's release with it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
b=${BUILD_ROOT:-build}
dist=dist
[ "$b" = build ] || dist="$b/dist"
dist=${DIST:-$dist}
# From here on both are absolute, whatever folder the tools run in.
[[ $b = /* ]] || b="$top/$b"
[[ $dist = /* ]] || dist="$top/$dist"

configure() {  # folder, extra arguments... (cheap when nothing changed)
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

flavours=${FLAVOURS:-"native win32 win64 fuzz tsan"}
fccpack="$b/tools/tools/fccpack/fccpack"
case " $flavours " in
  *" win32 "* | *" win64 "*)
    case " $flavours " in *" tools "*) ;; *) flavours="tools $flavours" ;; esac ;;
esac
bz2=
case " $flavours " in *" win32 "* | *" win64 "*) bz2=$(scripts/bzip2-source.sh) ;; esac
for f in $flavours; do
  targets=()
  case $f in
    native) configure "$b/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_SANITIZE=ON ;;
    tools) configure "$b/tools"
           targets=(--target fccpack) ;;
    win32) configure "$b/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
             -DBZIP2_SOURCE_DIR="$bz2" -DFCCPACK="$fccpack" ;;
    win64) configure "$b/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
             -DBZIP2_SOURCE_DIR="$bz2" -DFCCPACK="$fccpack" ;;
    fuzz) configure "$b/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DINSTALL_FUZZ=ON ;;
    tsan) configure "$b/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINSTALL_TSAN=ON
          targets=(--target bzip2_tsan_tests) ;;
    *) echo "build: unknown flavour $f (native, tools, win32, win64, fuzz, tsan)" >&2; exit 2 ;;
  esac
  echo "build: $f"
  cmake --build "$b/$f" -j "$jobs" "${targets[@]}" -- --quiet
done

# Only the products of this run: a build of some flavours leaves the others' copies alone.
case " $flavours " in *" win32 "*)
  mkdir -p "$dist" && cp "$b/win32/installer/install.exe" "$dist/install.exe" ;;
esac
case " $flavours " in *" win64 "*)
  mkdir -p "$dist/win64" && cp "$b/win64/installer/install.exe" "$dist/win64/install.exe" ;;
esac
exit 0
