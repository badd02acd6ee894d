#!/usr/bin/env bash
# The maker's fccpack in memory: the most memory (peak resident size) that pack, list, verify
# and extract of releases shaped like real ones take, with the fccpack that make installer
# runs (the optimised build), against bzip2 -dc of the same payload measured in the same run:
#   fccpack: mb=<m> peak_mib=<the most of list, verify, extract> pack_mib=<> bzip2_mib=<>
#            ratio=<peak over bzip2's>
# list, verify and extract stream the payload through the decoder as the installer does, so
# their peak stays the same whatever the release's size (within 64 MiB).
# BENCH_FCCPACK_SIZES changes the sizes (megabytes, default "40 150").
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
[[ $b = /* ]] || b="$top/$b"
FLAVOURS=tools BUILD_ROOT=$b scripts/build.sh >/dev/null
fccpack="$b/tools/tools/fccpack/fccpack"
cache="$b/bench/fccpack"
mkdir -p "$cache"

peak_mib() {  # command...: its peak resident size in MiB, one decimal
  /usr/bin/time -f %M -o "$cache/rss" "$@" >/dev/null 2>"$cache/err" || {
    cat "$cache/err" >&2
    return 1
  }
  awk '{ printf "%.1f", $1 / 1024 }' "$cache/rss"
}

for mb in ${BENCH_FCCPACK_SIZES:-40 150}; do
  dir="$cache/$mb"
  # The release is made once for this machine, again when its recipe changes.
  if [ ! -f "$dir/made" ] || [ "$dir/made" -ot bench/release.bash ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    bash bench/release.bash "$dir/release" "$mb"
    touch "$dir/made"
  fi
  rm -f "$dir/Morvidan.FCC"
  pack=$(peak_mib "$fccpack" pack "$dir/Morvidan.FCC" "$dir/release")
  list=$(peak_mib "$fccpack" list "$dir/Morvidan.FCC")
  verify=$(peak_mib "$fccpack" verify "$dir/Morvidan.FCC")
  rm -rf "$dir/out"
  extract=$(peak_mib "$fccpack" extract "$dir/Morvidan.FCC" "$dir/out")
  rm -rf "$dir/out"
  bzip2=$(peak_mib bzip2 -dc "$dir/Morvidan.FCC")
  peak=$(printf '%s\n' "$list" "$verify" "$extract" | sort -g | tail -n 1)
  echo "fccpack: mb=$mb peak_mib=$peak list_mib=$list verify_mib=$verify extract_mib=$extract" \
    "pack_mib=$pack bzip2_mib=$bzip2 ratio=$(awk -v a="$peak" -v b="$bzip2" 'BEGIN { printf "%.2f", a / b }')"
done
