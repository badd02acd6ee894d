#!/usr/bin/env bash
# fccpack, the native build: round trips, the container it writes byte for byte, its
# refusals with their exit codes, and the faults verify finds in payloads made by hand.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
b=${BUILD_ROOT:-build}
[[ $b = /* ]] || b="$top/$b"
tool="$b/native/tools/fccpack/fccpack"
[ -x "$tool" ] || { echo "FAIL: no fccpack at $tool"; exit 1; }
export ASAN_OPTIONS=detect_leaks=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
pass() { echo "PASS: $1"; }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

# expect CODE WHAT COMMAND...: runs fccpack, checks its exit code, keeps its output.
expect() {
  local code=$1 what=$2
  shift 2
  "$tool" "$@" >out.txt 2>err.txt
  local got=$?
  if [ "$got" = "$code" ]; then pass "$what (exit $code)"; else
    fail "$what: exit $got, expected $code"
    sed 's/^/    /' err.txt
  fi
}
contains() {  # FILE TEXT WHAT
  if grep -qF -- "$2" "$1"; then pass "$3"; else fail "$3: '$2' not in $1: $(cat "$1")"; fi
}

# --- Round trip of a folder ----------------------------------------------------------------
mkdir app
printf 'MZ fake executable' >app/morvidan.exe
: >app/empty.dat
head -c 300000 /dev/urandom >app/random.bin
printf 'donn\xc3\xa9es' >"app/fen$(printf '\xc3\xaa')tre.QVF"   # UTF-8 names on Linux
expect 0 "pack a folder" pack Morvidan.FCC app
[ "$(head -c 4 Morvidan.FCC)" = BZh9 ] && pass "one bzip2 stream of block size 9" || fail "header $(head -c 4 Morvidan.FCC)"
bzip2 -t Morvidan.FCC 2>/dev/null && pass "bzip2 itself reads the stream" || fail "bzip2 -t"
expect 0 "verify a packed folder" verify Morvidan.FCC
contains out.txt "ok, 4 entries" "verify reports the entries"
expect 0 "list" list Morvidan.FCC
printf 'empty.dat\t0\nfen\xc3\xaatre.QVF\t8\nmorvidan.exe\t18\nrandom.bin\t300000\n' >want.txt
cmp -s out.txt want.txt && pass "list gives names and sizes in byte order" || fail "list: $(cat out.txt)"
expect 0 "extract" extract Morvidan.FCC back
diff -r app back >/dev/null && pass "extract gives the files back" || fail "extract differs"

# The name is stored in Windows-1252 (e circumflex is 0xEA) and the layout is the installer's.
bzip2 -dc Morvidan.FCC >container.bin
grep -qa $'fen\xeatre.QVF' container.bin && pass "names are stored in Windows-1252" || fail "no CP1252 name"

# --- The example container, byte for byte ---------------------------------------------------
mkdir ex && printf abc >ex/a.txt && : >ex/b.bin
expect 0 "pack the example" pack ex.FCC ex/a.txt ex/b.bin
printf '\x02\x00\x00\x00\x05a.txt\x03\x00\x00\x00\x05b.bin\x00\x00\x00\x00abc' >want.bin
bzip2 -dc ex.FCC | cmp -s - want.bin && pass "the 27-byte example container" || fail "example container differs"

# --- Sub-folders travel as path names under --root -------------------------------------------
mkdir -p tree/Modeles/Vides && printf x >tree/top.txt && printf yy >tree/Modeles/Liste.LP && printf z >tree/Modeles/Vides/v.LP
expect 1 "a sub-folder without --root is refused" pack tree.FCC tree
contains err.txt "--root" "the refusal names --root"
[ -e tree.FCC ] && fail "a refused pack wrote its payload" || pass "a refused pack writes nothing"
expect 0 "pack a tree under --root" pack --root 'c:\Morvidan\' tree.FCC tree
expect 0 "list the tree" list tree.FCC
printf 'top.txt\t1\nc:\\Morvidan\\Modeles\\Liste.LP\t2\nc:\\Morvidan\\Modeles\\Vides\\v.LP\t1\n' >want.txt
cmp -s out.txt want.txt && pass "path names under the root, files before sub-folders" || fail "tree list: $(cat out.txt)"
expect 0 "verify the tree" verify tree.FCC
expect 1 "extract refuses path names" extract tree.FCC tree-out
contains err.txt "plain names only" "extract says why"
[ -e tree-out ] && fail "extract wrote something" || pass "extract of path names writes nothing"
expect 2 "a relative root" pack --root 'Morvidan' r.FCC tree
expect 2 "a root with a bad character" pack --root 'c:\Mor|vidan' r.FCC tree

# --- Refused names ------------------------------------------------------------------------------
refuse() {  # WHAT FILE-NAME
  mkdir -p "bad" && rm -rf bad/* && printf x >"bad/$2"
  expect 1 "refuses $1" pack bad.FCC bad
  [ -e bad.FCC ] && fail "$1: a payload was written" && rm -f bad.FCC
}
refuse "a colon" 'a:b'
refuse "a question mark" 'what?'
refuse "a star" 'st*r'
refuse "a double quote" 'q"uote'
refuse "a backslash in a file name" 'back\slash'
refuse "a control character" $'tab\there'
refuse "a device name" 'NUL.txt'
refuse "a trailing point" 'end.'
refuse "a trailing space" 'end '
refuse "a character outside Windows-1252" $'\xe4\xb8\xad.txt'
# Linux names stop at 255 bytes too: a path name gets longer through its folders.
deep="$(printf 'd%.0s' $(seq 120))"
mkdir -p "deep/$deep/$deep" && printf x >"deep/$deep/$deep/file.txt"
expect 1 "refuses a path name over 255 bytes" pack --root 'c:\Morvidan' deep.FCC deep
contains err.txt "longer than 255" "the refusal says why"
mkdir -p long && printf x >"long/$(printf 'n%.0s' $(seq 255))"
expect 0 "accepts a name of 255 bytes" pack long.FCC long
contains err.txt "leaves 0 characters for the installation folder" "warns that no folder leaves it room"
expect 0 "verify accepts it too" verify long.FCC
contains err.txt "leaves 0 characters for the installation folder" "verify warns the same"
# A name should leave 40 characters for the folder (255 with the backslash), a path name
# room for the "MAJ\" of an update.
room() {  # WHAT ROOT NAME-OR-PATH WARNING (empty: none)
  rm -rf room && mkdir -p "room/$(dirname "$3")" && printf x >"room/$3"
  expect 0 "$1" pack ${2:+--root "$2"} room.FCC room
  if [ -n "$4" ]; then contains err.txt "$4" "$1: the warning"
  elif [ -s err.txt ]; then fail "$1: warns: $(cat err.txt)"; else pass "$1: no warning"; fi
}
room "a name of 214 leaves 40" "" "$(printf 'n%.0s' $(seq 214))" ""
room "a name of 215 leaves 39" "" "$(printf 'n%.0s' $(seq 215))" "leaves 39 characters"
d100=$(printf 'd%.0s' $(seq 100))
room "a path name of 251 takes MAJ" 'c:\Morvidan' "$d100/$d100/$(printf 'n%.0s' $(seq 37))" ""
room "a path name of 252 does not" 'c:\Morvidan' "$d100/$d100/$(printf 'n%.0s' $(seq 38))" "an update puts"
mkdir -p twins && printf 1 >twins/Liste.LP && printf 2 >twins/LISTE.lp
expect 1 "refuses names equal when case is ignored" pack twins.FCC twins
contains err.txt "letter case" "the refusal says why"
mkdir -p accents && printf 1 >accents/$'\xc3\xa9t\xc3\xa9' && printf 2 >accents/$'\xc3\x89T\xc3\x89'
expect 1 "refuses accented names equal when case is ignored" pack accents.FCC accents
expect 3 "a missing input" pack m.FCC no-such-file
expect 2 "no input" pack m.FCC
expect 2 "an unknown command" frobnicate
expect 2 "no command"
expect 0 "help" --help
contains out.txt "Exit codes" "the usage tells the exit codes"

# --- Payloads made by hand: what verify, list and extract say -----------------------------------
# payload NAME BYTES: a bzip2 stream over a container given as printf bytes.
payload() { printf "$2" | bzip2 -9 >"$1"; }
payload zero.FCC '\x00\x00\x00\x00'
expect 0 "a container of no entries verifies" verify zero.FCC
payload negative.FCC '\xff\xff\xff\xff'
expect 1 "a negative count" verify negative.FCC
contains err.txt "negative" "verify names the negative count"
payload cutdir.FCC '\x02\x00\x00\x00\x05a.txt\x03\x00'
expect 1 "a directory cut short" verify cutdir.FCC
contains err.txt "cut short in its directory" "verify names the directory"
payload cutdata.FCC '\x01\x00\x00\x00\x01a\x05\x00\x00\x00abc'
expect 1 "a data area cut short" verify cutdata.FCC
contains err.txt "holds only 3 more" "verify gives the sizes"
expect 1 "extract refuses a data area cut short" extract cutdata.FCC cut-out
[ -e cut-out ] && fail "extract wrote a part" || pass "extract of a bad payload writes nothing"
payload negsize.FCC '\x01\x00\x00\x00\x01a\xfb\xff\xff\xffabc'
expect 1 "a negative size" verify negsize.FCC
payload extra.FCC '\x01\x00\x00\x00\x01a\x01\x00\x00\x00abc'
expect 1 "bytes after the data area" verify extra.FCC
contains err.txt "2 bytes follow" "verify counts them"
payload badname.FCC '\x01\x00\x00\x00\x03a?b\x00\x00\x00\x00'
expect 1 "a name Windows rejects" verify badname.FCC
payload emptyname.FCC '\x01\x00\x00\x00\x00\x00\x00\x00\x00'
expect 1 "an empty name" verify emptyname.FCC
payload dup.FCC '\x02\x00\x00\x00\x01a\x00\x00\x00\x00\x01A\x00\x00\x00\x00'
expect 0 "the same name twice verifies, with a warning" verify dup.FCC
contains err.txt "replaces the earlier" "the warning says which wins"
payload escape.FCC '\x01\x00\x00\x00\x02..\x00\x00\x00\x00'
expect 1 "extract refuses .." extract escape.FCC esc-out
ln -s "$work/outside.txt" link-target 2>/dev/null
mkdir -p linkdir && ln -s "$work/outside.txt" linkdir/a.txt
expect 3 "extract does not follow a link in DIR" extract ex.FCC linkdir
[ -e outside.txt ] && fail "extract wrote through a link" || pass "nothing written outside DIR"

# Stream faults, each as the installer would report it.
cp Morvidan.FCC corrupt.FCC && printf '\x55\x55\x55\x55' | dd of=corrupt.FCC bs=1 seek=2000 conv=notrunc 2>/dev/null
expect 1 "a corrupt stream" verify corrupt.FCC
contains err.txt "error -4" "the corrupt stream's code"
head -c 1000 Morvidan.FCC >cut.FCC
expect 1 "a stream cut short" verify cut.FCC
contains err.txt "error -7" "the cut stream's code"
cat ex.FCC ex.FCC >two.FCC
expect 1 "a second stream after the first" verify two.FCC
contains err.txt "error -1" "the second stream's code"
: >empty.FCC
expect 1 "an empty file" verify empty.FCC
printf 'not bzip2 at all' >text.FCC
expect 1 "not a bzip2 stream" list text.FCC
expect 3 "a missing payload" verify no-such.FCC

# --- An installer read as its payload -----------------------------------------------------------
# A small Windows program whose only section is its resources: type "FCC" (a name), id 1,
# French, holding the payload file given; TYPE renames the type, CUT cuts the file short.
cat >mkpe.pl <<'PERL'
use strict;
my ($payload, $out, $type, $cut) = @ARGV;
open(my $in, '<:raw', $payload) or die; my $p = do { local $/; <$in> };
my $dir = sub { pack('VVvvvv', 0, 0, 0, 0, @_) };
my $rsrc = $dir->(1, 0) . pack('VV', 0x80000000 | 0x58, 0x80000000 | 0x18)
  . $dir->(0, 1) . pack('VV', 1, 0x80000000 | 0x30)
  . $dir->(0, 1) . pack('VV', 1036, 0x48)
  . pack('VVVV', 0x1060, length $p, 0, 0)
  . pack('v', 3) . pack('v3', map { ord } split //, $type) . $p;
my $raw = (length($rsrc) + 511) & ~511;
my $optional = pack('v', 0x10B) . ("\0" x 90) . pack('V', 16) . ("\0" x 16)
  . pack('VV', 0x1000, length $rsrc) . ("\0" x 104);
my $image = 'MZ' . ("\0" x 58) . pack('V', 0x40)
  . pack('a4vvVVVvv', "PE\0\0", 0x14C, 1, 0, 0, 0, length $optional, 0x102) . $optional
  . pack('a8VVVVVVvvV', '.rsrc', length $rsrc, 0x1000, $raw, 0x200, 0, 0, 0, 0, 0x40000040);
$image .= "\0" x (0x200 - length $image);
$image .= $rsrc . ("\0" x ($raw - length $rsrc));
$image = substr($image, 0, $cut) if $cut;
open(my $o, '>:raw', $out) or die; print $o $image; close $o or die;
PERL
perl mkpe.pl Morvidan.FCC install.exe FCC
"$tool" list Morvidan.FCC >want.txt 2>&1
expect 0 "list an installer" list install.exe
cmp -s out.txt want.txt && pass "an installer lists as the payload it carries" || fail "installer list: $(cat out.txt)"
expect 0 "verify an installer" verify install.exe
contains out.txt "install.exe: ok, 4 entries" "verify reports the installer's entries"
expect 0 "extract an installer" extract install.exe from-exe
diff -r app from-exe >/dev/null && pass "extract gives the installer's files back" || fail "extract of an installer differs"
perl mkpe.pl corrupt.FCC install-corrupt.exe FCC
# Installers that lead nowhere: each refused with its cause, nothing written.
perl mkpe.pl Morvidan.FCC install-fcx.exe FCX
perl mkpe.pl Morvidan.FCC install-cut.exe FCC 3000
printf 'MZ but no program' >install-text.exe
perl -e 'print "MZ", "\0" x 58, pack("V", 0x7FFFFFF0)' >install-far.exe
while IFS='|' read -r file cause; do
  expect 1 "$file is refused" extract "$file" "out-$file"
  contains err.txt "$cause" "$file: the cause"
  [ -e "out-$file" ] && fail "$file: extract wrote something" || pass "$file: nothing written"
done <<'CASES'
install-corrupt.exe|error -4
install-fcx.exe|no resource of type FCC
install-cut.exe|run past the end of the file
install-text.exe|headers run past the end of the file
install-far.exe|headers run past the end of the file
CASES

# Packing into the folder being packed leaves the earlier payload out.
expect 0 "repack over a payload inside the folder" pack app/self.FCC app
expect 0 "repack again" pack app/self.FCC app
expect 0 "list the repacked payload" list app/self.FCC
grep -q self.FCC out.txt && fail "the payload packed itself" || pass "the payload does not pack itself"

echo "$failures failed"
[ "$failures" = 0 ]
