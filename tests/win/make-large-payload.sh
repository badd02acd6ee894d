#!/usr/bin/env bash
# A payload for the Wine tests of a whole run that takes the decoder long enough to be seen
# at work: the stand-in application and a data file of 16 MB, made of a pattern of 4 KB of
# random bytes repeated (about 200 KB once compressed, in 18 blocks).
#   make-large-payload.sh <fccpack> <stand-in executable> <payload out>
set -euo pipefail
fccpack=$1 standin=$2 out=$3
files="$out.files"
rm -rf "$files"
mkdir -p "$files"
cp "$standin" "$files/Morvidan.EXE"
perl -e 'srand(7); my $p = join "", map { chr int rand 256 } 1 .. 4096;
  print $p x 4096' >"$files/Archives 2016.QVF"
"$fccpack" pack "$out" "$files" >/dev/null
