#!/usr/bin/env bash
# The maker's command, make installer PAYLOAD=<folder>: a release folder becomes an installer
# that carries exactly that folder; a missing or refused folder is reported and the installer
# already built stays as it was.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
[[ $b = /* ]] || b="$top/$b"
fccpack="$b/native/tools/fccpack/fccpack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DIST="$work/dist" ASAN_OPTIONS=detect_leaks=0
unset SIGN_CERT SIGN_PASS SIGN_NAME SIGN_URL SIGN_TIMESTAMP_URL   # signing: tests/build/signing.sh
# shellcheck source=../checks.bash
source "$top/tests/checks.bash"

# A release of the maker's own: the application and data files, one with an accented name.
release="$work/Morvidan 2.3"
mkdir -p "$release"
cp "$b/win32/installer/demo/files/Morvidan.EXE" "$release/"
printf 'Facture;Client;Montant\r\nF-001;Crêperie Le Goff;84,50\r\n' >"$release/Factures.QVF"
printf 'modèle de relance' >"$release/Modèles de relance.LP"

mkdir -p "$DIST"
printf 'installateur précédent' >"$DIST/install.exe"

make -s installer >"$work/out" 2>&1
check "no PAYLOAD: refused" test $? != 0
check "no PAYLOAD: the message says what to give" grep -q 'PAYLOAD must name the folder' "$work/out"
make -s installer PAYLOAD="$work/absent" >"$work/out" 2>&1
check "a PAYLOAD that is no folder: refused" test $? != 0

# A folder without the application: empty, or data only.
mkdir -p "$work/vide" "$work/donnees"
printf 'F-001;84,50' >"$work/donnees/Factures.QVF"
for refused in vide donnees; do
  make -s installer PAYLOAD="$work/$refused" >"$work/out" 2>&1
  check "$refused: refused" test $? != 0
  check "$refused: the refusal names the missing program" grep -q 'has no Morvidan.exe' "$work/out"
  check "$refused: the installer built before stays as it was" grep -q 'installateur précédent' "$DIST/install.exe"
done

# Folders that break the payload's rules: two names that Windows sees as one; a file in a
# sub-folder, which would need a fixed Windows folder to go to.
mkdir -p "$work/casse" "$work/dossiers/Modèles"
cp "$release/Morvidan.EXE" "$work/casse/" && cp "$release/Morvidan.EXE" "$work/dossiers/"
printf 'a' >"$work/casse/Clients.QVC"
printf 'b' >"$work/casse/CLIENTS.qvc"
printf 'c' >"$work/dossiers/Modèles/Relance.LP"
for refused in casse dossiers; do
  make -s installer PAYLOAD="$work/$refused" >"$work/out" 2>&1
  check "$refused: refused" test $? != 0
  check "$refused: the refusal says the installer is unchanged" grep -q 'cannot be packed.*unchanged' "$work/out"
  check "$refused: the installer built before stays as it was" grep -q 'installateur précédent' "$DIST/install.exe"
done

make -s installer PAYLOAD="$release" >"$work/out" 2>&1
check "the release folder is built into an installer" test $? = 0
check "without SIGN_CERT, one line says the installer is not signed" \
  test "$(grep -c '^make installer: .*install.exe is not signed' "$work/out")" = 1
check "the installer is a 32-bit Windows GUI program" grep -q 'PE32 executable (GUI) Intel 80386' <(file "$DIST/install.exe")
perl scripts/pe-resource.pl extract "$DIST/install.exe" "$work/carried.FCC" 2>/dev/null
check "the payload it carries is a sound one" "$fccpack" verify "$work/carried.FCC"
"$fccpack" list "$work/carried.FCC" >"$work/list" 2>&1
check "the payload it carries holds the release's three files" test "$(grep -c . "$work/list")" = 3
"$fccpack" list "$DIST/install.exe" >"$work/list-exe" 2>&1
check "fccpack reads the installer itself as the payload it carries" cmp -s "$work/list" "$work/list-exe"
check "fccpack verifies the installer itself" "$fccpack" verify "$DIST/install.exe"
mkdir -p "$work/back"
(cd "$work/back" && "$fccpack" extract "$work/carried.FCC" . >/dev/null 2>&1)
check "the files come back as they went in" diff -r "$work/back" "$release"
sed 's/^/  /' "$work/out"
