#!/usr/bin/env bash
# scripts/check-release.sh: a signed installer built from a release folder is found identical
# to what this checkout builds from that folder; one built from another folder is found
# different, with the first file of the payload that differs named.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=maker.bash
source "$top/tests/build/maker.bash"
# shellcheck source=certs.bash
source "$top/tests/build/certs.bash"

password='Galette-saucisse 35'
check "throwaway certificates are made" make_test_certs "$work/certs" "$password"
release="$work/Morvidan 2.3"
mkdir -p "$release"
cp "$b/win32/installer/demo/files/Morvidan.EXE" "$release/"
printf 'F-001;Crêperie Le Goff;84,50\r\n' >"$release/Factures.QVF"
printf 'C-001;Le Goff\r\n' >"$release/Clients.QVC"

# published FOLDER NAME: the signed installer of FOLDER in $work/NAME/install.exe.
published() {
  SIGN_CERT="$work/certs/good.pfx" SIGN_PASS="$password" \
    make -s installer PAYLOAD="$1" DIST="$work/$2" >"$work/$2.log" 2>&1
}
# check_release NAME: the verdict on $work/NAME/install.exe against the release, in $work/out.
check_release() {
  scripts/check-release.sh "$work/$1/install.exe" "$release" >"$work/out" 2>&1
}

check "the release is published, signed" published "$release" signed
signed() { osslsigncode verify -CAfile "$work/certs/good.pem" -in "$1" >/dev/null 2>&1; }
check "the published installer is signed" signed "$work/signed/install.exe"
check_release signed
check "check-release: the signed release is what the folder builds" test $? = 0
check "check-release: says identical" grep -q '^check-release: identical' "$work/out"
sed 's/^/  /' "$work/out"

# Releases that differ from the folder each in one way, and the file each verdict names.
while IFS='|' read -r name change want; do
  other="$work/from-$name"
  cp -r "$release" "$other"
  (cd "$other" && eval "$change")
  check "$name: published" published "$other" "$name"
  check_release "$name"
  check "$name: check-release finds it different" test $? = 1
  check "$name: says different" grep -q '^check-release: different' "$work/out"
  check "$name: names the first differing file" grep -qF "first differing file: $want" "$work/out"
  sed 's/^/  /' "$work/out"
done <<'CASES'
same-size|printf 'F-001;Crêperie Le Goff;84,60\r\n' >Factures.QVF|Factures.QVF (entry 2): its contents differ
one-more|printf x >Avoirs.QVF|entry 1 is Avoirs.QVF in the installer, Clients.QVC in
CASES

check_release absent
check "an installer that is not there: a wrong command line" test $? = 2
