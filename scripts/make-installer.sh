#!/usr/bin/env bash
# The maker's workflow: packs a release folder with fccpack and embeds the payload into a fresh
# dist/install.exe.   make installer PAYLOAD=<folder>
# A folder without the application's executable, or that breaks the payload's rules (names too
# long, empty, not allowed by Windows, equal but for letter case...), is refused with the
# reason, and nothing is built.
# The same checkout and the same folder give the same installer byte for byte, whatever the
# time, the build folder, the checkout's place or the locale: the script prints its SHA-256
# (before signing), and scripts/check-release.sh checks a published installer that way.
# BUILD_ROOT and DIST name other build and output folders (default build and dist; relative
# to the checkout, or absolute); PAYLOAD is relative to the folder the script is run from.
# SIGN_CERT (a .pfx) signs the installer, with SIGN_PASS, SIGN_NAME, SIGN_URL and
# SIGN_TIMESTAMP_URL as scripts/sign.sh tells; the certificate is checked before the build, and
# a certificate that cannot sign (missing, unreadable, wrong password, expired...) leaves
# dist/install.exe as it was. Without SIGN_CERT the installer comes out unsigned.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${PAYLOAD:-}" ] || [ ! -d "$PAYLOAD" ]; then
  echo "make installer: PAYLOAD must name the folder of the release to install, e.g." >&2
  echo "  make installer PAYLOAD=/chemin/vers/Morvidan" >&2
  exit 2
fi
release=$(cd "$PAYLOAD" && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
dist=${DIST:-dist}
[[ $b = /* ]] || b="$top/$b"
[[ $dist = /* ]] || dist="$top/$dist"
# The certificate's password reaches the signing alone, never the build's tools (compilers,
# cmake, apt-get) through their environment.
sign_pass=${SIGN_PASS-}
unset SIGN_PASS
sign() {  # scripts/sign.sh arguments...
  if [ -n "$sign_pass" ]; then SIGN_PASS=$sign_pass scripts/sign.sh "$@"; else scripts/sign.sh "$@"; fi
}
# The installation starts, links and updates the application's executable: a release without
# one (an empty folder, the wrong folder) would install nothing that runs.
if [ -z "$(find "$release" -maxdepth 1 -type f -iname Morvidan.exe -print -quit)" ]; then
  echo "make installer: $PAYLOAD has no Morvidan.exe, the program the installation starts;" >&2
  echo "  $dist/install.exe is unchanged" >&2
  exit 1
fi
if [ -n "${SIGN_CERT:-}" ]; then
  sign check "$dist/install.exe" || exit 1
fi
# The maker's fccpack: optimised, without the sanitizers of the tests' build.
BUILD_ROOT=$b FLAVOURS=tools scripts/build.sh >/dev/null
fccpack="$b/tools/tools/fccpack/fccpack"
mkdir -p "$b/maker"
payload="$b/maker/Morvidan.FCC"
rm -f "$payload"
if ! "$fccpack" pack "$payload" "$release"; then
  echo "make installer: $PAYLOAD cannot be packed (see above); $dist/install.exe is unchanged" >&2
  exit 1
fi
"$fccpack" verify "$payload"
bz2=$(scripts/bzip2-source.sh)
cmake -S . -B "$b/maker/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBZIP2_SOURCE_DIR="$bz2" \
  -DINSTALL_PAYLOAD="$payload" >/dev/null
cmake --build "$b/maker/win32" -j "$(nproc)" --target install_exe -- --quiet
built="$b/maker/win32/installer/install.exe"
# What the installer was made with, for whoever rebuilds it to compare with.
echo "make installer: built with $(i686-w64-mingw32-g++-posix --version | head -n 1)," \
  "$(i686-w64-mingw32-ld --version | head -n 1), bzip2 sources" \
  "$(sed -n '1s/^bzip2 (\([^)]*\)).*/\1/p' "$bz2/debian/changelog" 2>/dev/null || echo '?')"
echo "make installer: SHA-256 before signing: $(sha256sum "$built" | cut -d' ' -f1)"
mkdir -p "$dist"
if [ -n "${SIGN_CERT:-}" ]; then
  sign "$built" "$dist/install.exe" || exit 1
else
  # Copied next to its place first, so that dist/install.exe is never half written.
  cp "$built" "$dist/.install.exe.new"
  mv -f "$dist/.install.exe.new" "$dist/install.exe"
  echo "make installer: $dist/install.exe is not signed (SIGN_CERT names no certificate)"
fi
echo "make installer: $dist/install.exe carries $("$fccpack" list "$payload" | wc -l) files of $PAYLOAD"
