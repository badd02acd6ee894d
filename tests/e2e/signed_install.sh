#!/usr/bin/env bash
# A signed installer installs as the unsigned one does: the Wine-run build, signed through
# scripts/sign.sh (as make installer signs the maker's release) with a throwaway certificate,
# clicked through a fresh installation into c:\Morvidan; the copy of itself that it leaves
# there is the signed program, and still verifies.
set -u
source "$(dirname "$0")/common.bash"
# shellcheck source=../build/certs.bash
source "$E2E_TOP/tests/build/certs.bash"
unset SIGN_CERT SIGN_PASS SIGN_NAME SIGN_URL SIGN_TIMESTAMP_URL
e2e_begin signed

work="$E2E_BUILD/wine/e2e-work-signed-$$"
mkdir -p "$work"
finish() {
  e2e_end
  rm -rf "$work"
}
trap finish EXIT

password='Galette-saucisse 35'
check "a throwaway code-signing certificate is made" make_test_certs "$work/certs" "$password"
# The windows are found by their class, which follows the program's name: the signed copy is
# an install.exe of its own folder.
signed="$work/signed/install.exe"
SIGN_CERT="$work/certs/good.pfx" SIGN_PASS="$password" "$E2E_TOP/scripts/sign.sh" \
  "$E2E_INSTALLER" "$signed" >"$work/sign.out" 2>&1
check "the Wine-run installer is signed" test $? = 0
sed 's/^/  /' "$work/sign.out"
check "the signing's output does not show the password" test "$(grep -cF -- "$password" "$work/sign.out")" = 0
verifies() {  # exe
  osslsigncode verify -CAfile "$work/certs/good.pem" -in "$1" >"$work/verify" 2>&1
}
check "the signed installer verifies" verifies "$signed"
check "the signed installer is still a 64-bit Windows GUI program" grep -q 'PE32+ executable (GUI) x86-64' <(file "$signed")
[ -f "$signed" ] || exit 1

install_through signed '' "$signed" || exit 1
app=$(unix_path 'c:\Morvidan')
check "the run reaches its end (the executable is stamped)" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" signed-page5
check "every file of the demo payload is installed whole" has_demo_files "$app"
check "the payload file is left in the folder" test -s "$app/Morvidan.FCC"
check "no temporary container is left" test -z "$(ls "$app" | grep -iE '\.(ctn|tmp)$')"
check "the desktop shortcut exists" test -s "$(shortcut_file)"
check "the installer's copy in c:\\Morvidan is the signed program" cmp -s "$app/install.exe" "$signed"
check "the installer's copy in c:\\Morvidan still verifies" verifies "$app/install.exe"
check "its signature is the throwaway certificate's" grep -q 'Subject: /CN=Morvidan essai' "$work/verify"

wizard_click "$WIZARD" cancel   # "Fermer" on page 5
check "Fermer ends the wizard" wait_gone "" 20
wait_for_file "$app/lancement.txt" 20
check "the application is started with VERUVI" grep -q 'VERUVI' "$app/lancement.txt"
finish
