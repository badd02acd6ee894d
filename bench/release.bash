#!/usr/bin/env bash
# Fills a folder with a release shaped like a real one, of about the size given, from files of
# this machine: the application's executable and its libraries (Wine's own Windows DLLs), a
# font, pictures, text and small data files. The same machine gives the same folder.
#   bench/release.bash <folder> <megabytes>
# Run by the install benchmark; not a benchmark of its own. From 600 MB on, half the release is
# one entry.
set -euo pipefail
folder=$1
mb=$2
total=$((mb * 1000 * 1000))
dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
rm -rf "$folder"
mkdir -p "$folder"

words=(Facture client montant TVA remise article quantité total règlement échéance livraison
       acompte avoir devis relance escompte)

size_of() { stat -c %s "$1"; }
room() { echo $((total * $1 / 100)); }

# Libraries without near-copies (the d3dx9_*, msvcp*, msvcr* families hold one each), in name
# order for a mix of sizes, none of them most of a small release.
pick_libraries() {  # bytes wanted, largest single file
  local want=$1 largest=$2 got=0 f s family
  local -A seen=()
  for f in "$dlls"/*.dll; do
    s=$(size_of "$f")
    [ "$s" -ge 100000 ] && [ "$s" -le "$largest" ] || continue
    family=$(basename "$f" .dll | sed 's/[0-9_]*$//')
    [ -z "${seen[$family]:-}" ] || continue
    seen[$family]=1
    echo "$f"
    got=$((got + s))
    [ "$got" -lt "$want" ] || break
  done
}

# The executable: the largest library that fits in a quarter of the release.
exe=$(for f in $(ls -S "$dlls"/*.dll); do
  [ "$(size_of "$f")" -le "$(room 25)" ] && { echo "$f"; break; }
done)
cp "$exe" "$folder/Morvidan.exe"
for f in $(pick_libraries "$(room 40)" "$(room 12)"); do
  [ "$f" = "$exe" ] || cp "$f" "$folder/$(basename "$f")"
done
cp "$font" "$folder/Morvidan Sans.ttf"

# Past years' invoices, in one archive of half the release, from 600 MB on: a single entry far
# larger than anything a 32-bit process could hold whole.
if [ "$mb" -ge 600 ]; then
  awk -v n="$((total / 2))" -v w="${words[*]}" 'BEGIN {
    srand(1); split(w, words, " "); out = 0
    while (out < n) {
      line = sprintf("F-%05d;%s;%d,%02d\r\n", int(rand() * 99999),
                     words[1 + int(rand() * length(words))], int(rand() * 5000), int(rand() * 100))
      if (out + length(line) > n) line = substr(line, 1, n - out)
      printf "%s", line; out += length(line)
    }
  }' | iconv -f UTF-8 -t CP1252 >"$folder/Archives.QVA"
fi

# Pictures: photographs compress little, as JPEG files do not compress at all.
n=0
while [ "$(du -sb "$folder" | cut -f1)" -lt "$((total * 80 / 100))" ] && [ $n -lt 12 ]; do
  n=$((n + 1))
  convert -seed "$n" -size 1600x1200 plasma:fractal -blur 0x1 -quality 88 \
    "$folder/Fond d'écran $n.jpg"
done

# Text and data files: invoices, clients and settings, in French, up to the size asked for.
kinds=(QVF QVC LP)
i=0
while [ "$(du -sb "$folder" | cut -f1)" -lt "$total" ]; do
  i=$((i + 1))
  left=$((total - $(du -sb "$folder" | cut -f1)))
  want=$((left > 2000000 ? 2000000 : left))
  [ $((i % 4)) = 0 ] && want=$((want > 20000 ? 20000 : want))
  awk -v n="$want" -v seed="$i" -v w="${words[*]}" 'BEGIN {
    srand(seed); split(w, words, " "); out = 0
    while (out < n) {
      line = sprintf("F-%05d;%s %s;%d,%02d;%s\r\n", int(rand() * 99999),
                     words[1 + int(rand() * length(words))], words[1 + int(rand() * length(words))],
                     int(rand() * 5000), int(rand() * 100), words[1 + int(rand() * length(words))])
      printf "%s", line; out += length(line)
    }
  }' | iconv -f UTF-8 -t CP1252 >"$folder/Données $i.${kinds[$((i % 3))]}"
done
