#!/usr/bin/env bash
# scripts/pe-resource.pl, which the stub measure and the build checks use to find the payload
# inside install.exe: small programs of both Windows targets carrying several resources, each
# found byte for byte, and the files it must refuse instead of printing a wrong place.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
tool="$top/scripts/pe-resource.pl"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
pass() { echo "PASS: $1"; }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

# Two ids of one type, a named id beside them and a second type: a lookup that takes the
# first entry anywhere, or mixes names and numbers up, gives another resource.
printf 'payload one' >one.bin
printf 'payload two, longer' >two.bin
printf 'licence' >licence.bin
printf 'raw data' >raw.bin
printf 'une autre langue' >french.bin
cat >res.rc <<'EOF'
2 FCC "two.bin"
LICENCE FCC "licence.bin"
LANGUAGE 0x0c, 0x01
1 FCC "one.bin"
LANGUAGE 0x09, 0x01
1 RCDATA "raw.bin"
5 RCDATA "french.bin"
EOF
printf 'int main(void) { return 0; }\n' >main.c

# found EXE TYPE ID FILE: the resource lies in EXE where the script says, with FILE's bytes.
found() {
  local place offset size
  if ! place=$(perl "$tool" find "$1" "$2" "$3" 2>err.txt); then
    fail "$1 $2 $3: $(cat err.txt)"
    return
  fi
  read -r offset size <<<"$place"
  if [ "$size" = "$(stat -c %s "$4")" ] && cmp -s -i "$offset:0" -n "$size" "$1" "$4"; then
    pass "$1 $2 $3 is $4"
  else
    fail "$1 $2 $3: offset $offset size $size is not $4"
  fi
}
refused() {  # EXE TYPE ID WHAT
  if perl "$tool" find "$1" "$2" "$3" >out.txt 2>err.txt; then
    fail "$4: printed $(cat out.txt)"
  elif [ -s out.txt ] || [ ! -s err.txt ]; then
    fail "$4: no message, or output besides it"
  else
    pass "$4 ($(cat err.txt))"
  fi
}

for arch in i686 x86_64; do
  exe=$arch.exe
  if ! "$arch-w64-mingw32-windres" res.rc -O coff -o res-$arch.o ||
     ! "$arch-w64-mingw32-gcc-posix" -o "$exe" main.c res-$arch.o; then
    fail "$arch: cannot build the test program"
    continue
  fi
  "$arch-w64-mingw32-gcc-posix" -o bare-$exe main.c
  while read -r type id file; do
    found "$exe" "$type" "$id" "$file"
  done <<'EOF'
FCC 1 one.bin
FCC 2 two.bin
fcc 1 one.bin
FCC LICENCE licence.bin
FCC licence licence.bin
10 1 raw.bin
10 5 french.bin
EOF
  refused "$exe" FCC 3 "$arch: an id the type lacks"
  refused "$exe" BACKGROUND 1 "$arch: a type the program lacks"
  refused bare-$exe FCC 1 "$arch: a program without resources"
  head -c 1024 "$exe" >cut-$exe
  refused cut-$exe FCC 1 "$arch: a program cut short"
done
printf 'MZ but nothing else' >fake.exe
refused fake.exe FCC 1 "MZ without a PE header"
printf 'plain text\n' >text.exe
refused text.exe FCC 1 "not a program"
refused missing.exe FCC 1 "no such file"

echo "$failures failed"
[ "$failures" = 0 ]
