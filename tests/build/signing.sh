#!/usr/bin/env bash
# The maker's release comes out signed: scripts/sign.sh, alone and through make installer
# SIGN_CERT=..., with throwaway certificates made for this run. A signed installer verifies
# against its certificate and no longer once a byte of its payload changes; a certificate that
# cannot sign is refused with its cause before anything is built, and a signing that fails
# leaves the installer built before byte for byte as it was, with nothing left beside it; the
# password shows on no command line and in no output.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=maker.bash
source "$top/tests/build/maker.bash"
fccpack="$b/native/tools/fccpack/fccpack"
# shellcheck source=certs.bash
source "$top/tests/build/certs.bash"

password='Crêpe-42 sarrasin!'
certs="$work/certs"
check "throwaway certificates are made" make_test_certs "$certs" "$password"
built="$b/win32/installer/install.exe"
out="$work/dist/install.exe"
mkdir -p "$work/dist"
# Every output of the signing tools and scripts is kept, to look for the password in.
outs="$work/outputs"
mkdir -p "$outs"
n=0
# Runs scripts/sign.sh with the environment given before it; its output is left in $log.
sign() {  # [VAR=value...] -- arguments...
  local vars=()
  while [ "$1" != -- ]; do vars+=("$1"); shift; done
  shift
  n=$((n + 1))
  log="$outs/$n"
  env "${vars[@]}" scripts/sign.sh "$@" >"$log" 2>&1
}
verifies() {  # exe: verifies against the throwaway authority
  osslsigncode verify -CAfile "$certs/good.pem" -in "$1" >"$work/verify" 2>&1
}
unsigned_is_refused() {  # exe
  ! osslsigncode verify -CAfile "$certs/good.pem" -in "$1" >/dev/null 2>&1
}
absent() {  # text, files...: the text is in none of them
  local text=$1
  shift
  if [ -z "$text" ]; then ! grep -q . "$@"; else ! grep -rqF -- "$text" "$@"; fi
}
no_leftovers() {  # folder: only install.exe and the marker's copy
  test -z "$(find "$1" -mindepth 1 -maxdepth 1 ! -name install.exe ! -name marker)"
}

check "the build's install.exe is not signed" unsigned_is_refused "$built"

# Signing a copy of the build's installer.
sign SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" -- "$built" "$out"
check "sign.sh signs with a good certificate" test $? = 0
check "sign.sh says who signed" grep -q '^make installer: .*install.exe is signed by CN = Morvidan essai' "$log"
check "the signed installer verifies against its certificate" verifies "$out"
check "the signature says the program is Morvidan (SIGN_NAME's default)" grep -q 'Text description: Morvidan$' "$work/verify"
check "the signature carries the maker's address (SIGN_URL's default)" grep -q 'URL description: https://www.sorbiane.fr$' "$work/verify"
check "no time stamp without SIGN_TIMESTAMP_URL" grep -q 'Timestamp is not available' "$work/verify"
check "the signed installer is still a 32-bit Windows GUI program" grep -q 'PE32 executable (GUI) Intel 80386' <(file "$out")
check "the signed installer is executable" test -x "$out"
perl scripts/pe-resource.pl extract "$out" "$work/carried.FCC" 2>/dev/null
perl scripts/pe-resource.pl extract "$built" "$work/built.FCC" 2>/dev/null
check "the signed installer carries the same payload" cmp -s "$work/carried.FCC" "$work/built.FCC"
check "nothing is left beside the signed installer" no_leftovers "$work/dist"
perl scripts/pe-resource.pl corrupt "$out" "$work/corrupt.exe"
check "a byte changed in the payload: the signature no longer verifies" unsigned_is_refused "$work/corrupt.exe"
check "a byte changed in the payload: the digest is found wrong" grep -q MISMATCH \
  <(osslsigncode verify -CAfile "$certs/good.pem" -in "$work/corrupt.exe" 2>&1)
check "the signed installer does not verify against another authority" \
  absent '' <(osslsigncode verify -CAfile "$certs/server.pem" -in "$out" 2>&1 | grep -x Succeeded)

sign SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" SIGN_NAME="Morvidan 2.3" \
  SIGN_URL="https://example.test/morvidan" -- "$built" "$work/named.exe"
check "SIGN_NAME and SIGN_URL: signed" test $? = 0
verifies "$work/named.exe"
check "SIGN_NAME names the program in the signature" grep -q 'Text description: Morvidan 2.3$' "$work/verify"
check "SIGN_URL is the address in the signature" grep -q 'URL description: https://example.test/morvidan$' "$work/verify"

# Refusals: each names its cause and leaves the installer built before as it was.
printf 'installateur précédent' >"$work/dist/marker"
refused() {  # description, pattern of the cause, [VAR=value...]
  local what=$1 cause=$2
  shift 2
  cp "$work/dist/marker" "$out"
  sign "$@" -- "$built" "$out"
  check "$what: refused" test $? != 0
  check "$what: the cause is told" grep -qE "^make installer: $cause" "$log"
  check "$what: the installer built before stays byte for byte as it was" cmp -s "$out" "$work/dist/marker"
  check "$what: nothing is left beside it" no_leftovers "$work/dist"
}
refused "no SIGN_CERT" 'SIGN_CERT names no certificate'
refused "a missing certificate" "the certificate $work/absent.pfx \\(SIGN_CERT\\) does not exist; .* is unchanged" \
  SIGN_CERT="$work/absent.pfx"
refused "a folder for a certificate" 'the certificate .* is not a file' SIGN_CERT="$certs"
printf 'pas un certificat' >"$work/garbage.pfx"
refused "a file that is no PKCS#12" 'the certificate .*garbage.pfx cannot be read: it is no PKCS#12 file' \
  SIGN_CERT="$work/garbage.pfx" SIGN_PASS="$password"
refused "a PEM certificate" 'the certificate .*good.pem cannot be read: it is no PKCS#12 file' \
  SIGN_CERT="$certs/good.pem" SIGN_PASS="$password"
refused "a wrong password" 'the password \(SIGN_PASS\) does not open the certificate .*good.pfx' \
  SIGN_CERT="$certs/good.pfx" SIGN_PASS="crêpe-42 sarrasin!"
refused "no password" 'the certificate .*good.pfx needs its password, and SIGN_PASS is not set' \
  SIGN_CERT="$certs/good.pfx"
refused "an expired certificate" 'the certificate .*expired.pfx \(.*\) expired on Jan  1 00:00:00 2021 GMT' \
  SIGN_CERT="$certs/expired.pfx" SIGN_PASS="$password"
refused "a certificate for web servers" 'the certificate .*server.pfx \(CN = www.morvidan.test\) is not for code signing' \
  SIGN_CERT="$certs/server.pfx" SIGN_PASS="$password"
refused "a certificate without its key" 'the certificate .*nokey.pfx holds no private key' \
  SIGN_CERT="$certs/nokey.pfx" SIGN_PASS="$password"
# osslsigncode itself fails: the time-stamping server cannot be reached (nothing listens on
# the discard port of this machine).
refused "an unreachable time-stamping server" 'signing with .*good.pfx failed; .* is unchanged' \
  SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
check "an unreachable time-stamping server: osslsigncode's reason is shown" grep -qi 'timestamping failed' "$log"

# A certificate the signer may not read. Root reads every file: the check then runs as nobody.
locked=$(mktemp -d)
chmod 755 "$locked"
cp "$certs/good.pfx" "$locked/locked.pfx"
chmod 000 "$locked/locked.pfx"
cp "$work/dist/marker" "$out"
if [ "$(id -u)" = 0 ]; then
  setpriv --reuid=65534 --regid=65534 --clear-groups env SIGN_CERT="$locked/locked.pfx" \
    SIGN_PASS="$password" scripts/sign.sh check "$locked/install.exe" >"$outs/locked" 2>&1
else
  SIGN_CERT="$locked/locked.pfx" SIGN_PASS="$password" scripts/sign.sh check "$locked/install.exe" \
    >"$outs/locked" 2>&1
fi
check "an unreadable certificate: refused" test $? != 0
check "an unreadable certificate: the cause is told" grep -q '^make installer: the certificate .*locked.pfx (SIGN_CERT) cannot be read' "$outs/locked"
rm -rf "$locked"

# osslsigncode stands in for itself: one that dies half way through its output file, and one
# that "succeeds" but leaves the program unsigned. Neither result may take the installer's
# place.
mkdir -p "$work/halfway" "$work/unsigned"
cat >"$work/halfway/osslsigncode" <<'EOF'
#!/usr/bin/env bash
[ "$1" = sign ] || exec /usr/bin/osslsigncode "$@"
while [ $# -gt 1 ]; do [ "$1" = -out ] && head -c 1000 /dev/urandom >"$2"; shift; done
echo "osslsigncode: killed" >&2
exit 1
EOF
cat >"$work/unsigned/osslsigncode" <<'EOF'
#!/usr/bin/env bash
[ "$1" = sign ] || exec /usr/bin/osslsigncode "$@"
while [ $# -gt 1 ]; do
  case $1 in -in) in=$2 ;; -out) out=$2 ;; esac
  shift
done
cp "$in" "$out"
echo Succeeded
EOF
chmod +x "$work/halfway/osslsigncode" "$work/unsigned/osslsigncode"
refused "osslsigncode dies half way" 'signing with .*good.pfx failed' PATH="$work/halfway:$PATH" \
  SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password"
refused "osslsigncode leaves the program unsigned" 'the program signed with .*good.pfx does not verify' \
  PATH="$work/unsigned:$PATH" SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password"

# A certificate that names a revocation list: the check of the signed copy does not fetch it
# (nobody serves it here), so the signing succeeds.
sign SIGN_CERT="$certs/crl.pfx" SIGN_PASS="$password" -- "$built" "$work/crl.exe"
check "a certificate that names a revocation list: signed" test $? = 0
check "a certificate that names a revocation list: the signed copy is in place" \
  osslsigncode verify -ignore-crl -CAfile "$certs/crl.pem" -in "$work/crl.exe"

# The password: osslsigncode and openssl are watched as they run. Each notes its command line,
# every command line of the machine at that moment (what ps shows anyone) and the mode of the
# file it reads the password from.
mkdir -p "$work/watch"
for tool in osslsigncode openssl; do
  cat >"$work/watch/$tool" <<EOF
#!/usr/bin/env bash
echo "\$*" >>"$work/watch/$tool.args"
ps -eo args >>"$work/watch/ps"
prev=
for a in "\$@"; do
  [ "\$prev" = -readpass ] && stat -c %a "\$a" >>"$work/watch/modes"
  case \$a in file:*) stat -c %a "\${a#file:}" >>"$work/watch/modes" ;; esac
  prev=\$a
done
exec /usr/bin/$tool "\$@"
EOF
  chmod +x "$work/watch/$tool"
done
# The steps before the signing (the packages' check, cmake and the compilers it starts) note
# whether the password is in their environment.
for tool in cmake dpkg-query; do
  cat >"$work/watch/$tool" <<EOF
#!/usr/bin/env bash
echo "$tool: \${SIGN_PASS-no password}" >>"$work/watch/build-env"
exec /usr/bin/$tool "\$@"
EOF
  chmod +x "$work/watch/$tool"
done
rm -f "$out"
mkdir -p "$work/tmp"
sign PATH="$work/watch:$PATH" TMPDIR="$work/tmp" SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" \
  -- "$built" "$out"
check "watched: signed" verifies "$out"
check "watched: osslsigncode reads the password from a file" grep -q -- '-readpass ' "$work/watch/osslsigncode.args"
check "watched: openssl reads the password from a file" grep -q -- '-passin file:' "$work/watch/openssl.args"
check "watched: that file is private (mode 600)" test "$(sort -u "$work/watch/modes")" = 600
check "watched: no -ts without SIGN_TIMESTAMP_URL" absent ' -ts ' "$work/watch/osslsigncode.args"
check "watched: the signed copy is verified without fetching revocation lists" \
  grep -q -- '^verify -ignore-crl ' "$work/watch/osslsigncode.args"
check "watched: the password is on no command line" absent "$password" "$work/watch/ps"
check "watched: the private files are removed" test -z "$(ls -A "$work/tmp")"
: >"$work/watch/osslsigncode.args"
sign PATH="$work/watch:$PATH" SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" \
  SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ -- "$built" "$work/stamped.exe"
check "watched: SIGN_TIMESTAMP_URL is handed over as -ts" grep -q -- ' -ts http://127.0.0.1:9/ ' "$work/watch/osslsigncode.args"

# make installer SIGN_CERT=...: a release of the maker's own, signed.
release="$work/Morvidan 2.3"
mkdir -p "$release"
cp "$b/win32/installer/demo/files/Morvidan.EXE" "$release/"
printf 'Facture;Client;Montant\r\nF-001;Crêperie Le Goff;84,50\r\n' >"$release/Factures.QVF"
export DIST="$work/maker"
mkdir -p "$DIST"
printf 'installateur précédent' >"$DIST/marker"
make_installer() {  # [VAR=value...]
  n=$((n + 1))
  log="$outs/$n"
  cp "$DIST/marker" "$DIST/install.exe"
  env "$@" PATH="$work/watch:$PATH" make -s installer PAYLOAD="$release" >"$log" 2>&1
}
: >"$work/watch/ps"
make_installer SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password"
check "make installer: a signed release is built" test $? = 0
check "make installer: the output says who signed" grep -q '^make installer: .*install.exe is signed by CN = Morvidan essai' "$log"
check "make installer: the signed installer verifies" verifies "$DIST/install.exe"
perl scripts/pe-resource.pl extract "$DIST/install.exe" "$work/maker.FCC" 2>/dev/null
check "make installer: the signed installer carries the release's two files" \
  test "$("$fccpack" list "$work/maker.FCC" 2>/dev/null | grep -c .)" = 2
check "make installer: the password is on no command line" absent "$password" "$work/watch/ps"
check "make installer: the build's tools run without the password in their environment" \
  test "$(cut -d' ' -f2- "$work/watch/build-env" | sort -u)" = "no password"
check "make installer: the packages' check and cmake were watched" \
  test "$(cut -d: -f1 "$work/watch/build-env" | sort -u | tr '\n' ' ')" = "cmake dpkg-query "
check "make installer: nothing is left beside the installer" no_leftovers "$DIST"
maker_refused() {  # description, pattern of the cause, [VAR=value...]
  local what=$1 cause=$2
  shift 2
  make_installer "$@"
  check "make installer, $what: refused" test $? != 0
  check "make installer, $what: the cause is told" grep -qE "^make installer: $cause" "$log"
  check "make installer, $what: dist/install.exe stays byte for byte as it was" cmp -s "$DIST/install.exe" "$DIST/marker"
  check "make installer, $what: nothing is left beside it" no_leftovers "$DIST"
}
maker_refused "a missing certificate" 'the certificate .* does not exist' SIGN_CERT="$work/absent.pfx"
maker_refused "a wrong password" 'the password \(SIGN_PASS\) does not open' SIGN_CERT="$certs/good.pfx" SIGN_PASS=faux
maker_refused "an expired certificate" 'the certificate .*expired.pfx .* expired on' SIGN_CERT="$certs/expired.pfx" \
  SIGN_PASS="$password"
check "make installer, a refused certificate: refused before the build" absent carries "$log"
maker_refused "a signing that fails" 'signing with .* failed' SIGN_CERT="$certs/good.pfx" SIGN_PASS="$password" \
  SIGN_TIMESTAMP_URL=http://127.0.0.1:9/

check "the password shows in no output" absent "$password" "$outs"
for f in $(ls -v "$outs"); do sed "s/^/  /" "$outs/$f"; done
