#!/usr/bin/env bash
# Fetches Debian's bzip2 sources for the Windows builds into build/third_party (once) and
# prints the folder that holds bzlib.c.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dest="$top/build/third_party"
found=$(ls -d "$dest"/bzip2-*/ 2>/dev/null | head -n 1 || true)
if [ -n "$found" ] && [ -f "$found/bzlib.c" ]; then
  echo "${found%/}"
  exit 0
fi

# apt-get source needs a deb-src entry for the archive the machine already uses.
if ! apt-get source --print-uris bzip2 >/dev/null 2>&1; then
  src=/etc/apt/sources.list.d/install-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > /etc/apt/sources.list.d/install-deb-src.list
  fi
  apt-get update -qq >&2
fi

mkdir -p "$dest"
(cd "$dest" && apt-get source -qq bzip2 >&2)
found=$(ls -d "$dest"/bzip2-*/ | head -n 1)
[ -f "$found/bzlib.c" ] || { echo "bzip2 sources not found in $dest" >&2; exit 1; }
echo "${found%/}"
