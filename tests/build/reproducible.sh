#!/usr/bin/env bash
# make installer gives the same installer byte for byte from the same checkout and folder:
# built a second time from a copy of the checkout in another place, into an absolute build
# folder of its own, later, in another time zone and locale, with another SOURCE_DATE_EPOCH,
# another umask, and the release's files copied in another order with other dates. The demo
# payload that the plain build embeds comes out the same when it is made again.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=maker.bash
source "$top/tests/build/maker.bash"

release="$work/Morvidan 2.3"
mkdir -p "$release"
cp "$b/win32/installer/demo/files/"* "$release/"
printf 'Facture;Client;Montant\r\nF-001;Crêperie Le Goff;84,50\r\n' >"$release/Factures.QVF"

# The first build: the checkout's own build folder.
SOURCE_DATE_EPOCH=1000000000 make -s installer PAYLOAD="$release" DIST="$work/a" >"$work/a.log" 2>&1
check "the first build succeeds" test $? = 0
check "make installer prints the SHA-256 of what it built" \
  grep -qE '^make installer: SHA-256 before signing: [0-9a-f]{64}$' "$work/a.log"

# The second: another checkout (the tracked and new files of this one, and the bzip2 sources
# it fetched), another release folder holding the same files, an absolute build folder.
copy="$work/ailleurs/install"
mkdir -p "$copy/build/third_party"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy"
cp -r "$(scripts/bzip2-source.sh)" "$copy/build/third_party/"
again="$work/ailleurs/Morvidan"
mkdir -p "$again"
(cd "$release" && ls -r) | while IFS= read -r f; do
  cp "$release/$f" "$again/$f" && touch -d '2001-02-03 04:05:06' "$again/$f"
done
sleep 2   # another second at least on every clock
locale=C.UTF-8
locale -a 2>/dev/null | grep -qx 'fr_FR.utf8' && locale=fr_FR.UTF-8
(
  umask 0002
  cd "$copy" &&
    TZ=Pacific/Kiritimati LC_ALL=$locale SOURCE_DATE_EPOCH=1700000000 \
      BUILD_ROOT="$work/ailleurs/build" make -s installer PAYLOAD="$again" DIST="$work/b"
) >"$work/b.log" 2>&1
check "an absolute BUILD_ROOT in another checkout builds" test $? = 0
check "the two installers are the same bytes" cmp "$work/a/install.exe" "$work/b/install.exe"
check "both builds print the same SHA-256" \
  test "$(grep SHA-256 "$work/a.log")" = "$(grep SHA-256 "$work/b.log")"
check "the installer carries no link time" test "$(perl -e '
  open(my $f, "<:raw", $ARGV[0]) or die; local $/; my $i = <$f>;
  print unpack("V", substr($i, unpack("V", substr($i, 0x3C, 4)) + 8, 4))' "$work/a/install.exe")" = 0
check "the installer names no folder of the build machine" \
  bash -c '! grep -qaF -e "$1" -e "$2" "$3"' _ "$top" "$work/ailleurs" "$work/b/install.exe"

# The demo payload made again, elsewhere and later, from the same stand-in: the same bytes.
demo="$b/win32/installer/demo"
(TZ=America/Cayenne LC_ALL=C tools/assets/make-demo-data.sh "$work/demo/files") >/dev/null 2>&1
cp "$demo/files/Morvidan.EXE" "$work/demo/files/"
"$b/tools/tools/fccpack/fccpack" pack "$work/demo/Morvidan.FCC" "$work/demo/files" >/dev/null
check "the demo payload is made the same way every time" cmp "$demo/Morvidan.FCC" "$work/demo/Morvidan.FCC"
(TZ=Asia/Tokyo tools/assets/make-background.sh "$work/background.bmp") >/dev/null 2>&1
check "the wizard's background is drawn the same way every time" \
  cmp "$work/background.bmp" <(bzip2 -dc "$b/win32/installer/background.bmp.bz2")
sed 's/^/  a: /' "$work/a.log"
sed 's/^/  b: /' "$work/b.log"
