#!/usr/bin/env bash
# Installs what the builds and tests need, from Debian's archive (with "bench", also what the
# benchmarks compare with). Quiet and quick when all is there.
set -euo pipefail

PKGS=(cmake ninja-build make g++ clang libclang-rt-14-dev libbz2-dev googletest
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      dpkg-dev wine wine64 fonts-wine xvfb xauth xdotool imagemagick liblnk-utils file
      fonts-dejavu-core procps bzip2 osslsigncode openssl)

# The benchmarks compare with the installers and decoders a maker would otherwise pick.
[ "${1:-}" = bench ] && PKGS+=(nsis lbzip2)

# The product is a PE32: where this machine executes 32-bit code, Debian's 32-bit Wine runs
# it. Where it cannot, wine32 is left out: its loader would stand in front of wine64 and fail
# to start at all, and the Wine layers run the x86_64 twin instead.
runs32=no
if "$(dirname "$0")/runs-32bit.sh"; then
  runs32=yes
  PKGS+=(wine32:i386)
fi

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "deps: missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
  fi
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ $runs32 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
