#!/usr/bin/env bash
# Signs a Windows program with the maker's code-signing certificate (Authenticode, through
# osslsigncode). make installer and the tests sign through this script alone.
#   scripts/sign.sh check <out>        only checks the certificate (before a build)
#   scripts/sign.sh <in> <out>         signs <in> into <out>
# The signed copy is written into a temporary folder next to <out> and moved into place only
# once osslsigncode has succeeded and the copy verifies: on any failure <out> stays as it was.
# The certificate is checked first, and refused with the cause when it is missing, unreadable,
# no PKCS#12 file, opened by another password, without its private key, not for code signing,
# expired or not yet valid.
#   SIGN_CERT           the certificate and its private key, a PKCS#12 file (.pfx, .p12)
#   SIGN_PASS           its password (none when unset); it goes to the tools through a private
#                       temporary file, never on a command line
#   SIGN_NAME           the program's name shown when Windows asks for rights (default Morvidan)
#   SIGN_URL            the address shown with it (default https://www.sorbiane.fr)
#   SIGN_TIMESTAMP_URL  an RFC 3161 time-stamping server (none by default): a time-stamped
#                       signature stays valid after the certificate expires
# Messages start with "make installer:"; exits 1 on any failure, 2 on a wrong command line.
set -euo pipefail

if [ "${1:-}" = check ] && [ $# = 2 ]; then
  mode=check in=
  out=$2
elif [ $# = 2 ] && [ "$1" != check ]; then
  mode=sign in=$1
  out=$2
else
  echo "usage: $0 check OUT | IN OUT" >&2
  exit 2
fi
name=${SIGN_NAME:-Morvidan}
url=${SIGN_URL:-https://www.sorbiane.fr}
cert=${SIGN_CERT:-}

refuse() {  # cause
  echo "make installer: $1; $out is unchanged" >&2
  exit 1
}

# Private scratch: the password file, the certificates read from the PKCS#12 file, the tools'
# output. The folder next to <out> (made later) holds the signed copy until it verifies.
umask 077
scratch=$(mktemp -d)
staging=
cleanup() {
  rm -rf "$scratch"
  [ -z "$staging" ] || rm -rf "$staging"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

[ -n "$cert" ] || refuse "SIGN_CERT names no certificate"
[ -e "$cert" ] || refuse "the certificate $cert (SIGN_CERT) does not exist"
[ -f "$cert" ] || refuse "the certificate $cert (SIGN_CERT) is not a file"
{ : <"$cert"; } 2>/dev/null || refuse "the certificate $cert (SIGN_CERT) cannot be read"

# The password is written with a shell builtin, so that it shows on no command line.
passin=(-passin pass:)
readpass=()
if [ -n "${SIGN_PASS:-}" ]; then
  printf '%s' "$SIGN_PASS" >"$scratch/pass"
  chmod 600 "$scratch/pass"
  unset SIGN_PASS
  passin=(-passin "file:$scratch/pass")
  readpass=(-readpass "$scratch/pass")
fi

# Opens the PKCS#12 file; OpenSSL 3 needs its legacy provider for the older ciphers that
# Windows used to export with.
pkcs12() {  # openssl pkcs12 arguments...
  openssl pkcs12 -in "$cert" "${passin[@]}" "$@" 2>"$scratch/openssl" ||
    openssl pkcs12 -legacy -in "$cert" "${passin[@]}" "$@" 2>>"$scratch/openssl"
}
if ! pkcs12 -nokeys -out "$scratch/chain.pem"; then
  if grep -qi 'mac verify' "$scratch/openssl"; then
    if [ ${#readpass[@]} = 0 ]; then
      refuse "the certificate $cert needs its password, and SIGN_PASS is not set"
    fi
    refuse "the password (SIGN_PASS) does not open the certificate $cert"
  fi
  refuse "the certificate $cert cannot be read: it is no PKCS#12 file (.pfx, .p12)"
fi
# The signer's certificate is the one that comes with the private key.
pkcs12 -nokeys -clcerts -out "$scratch/signer.pem" || true
grep -q 'BEGIN CERTIFICATE' "$scratch/signer.pem" 2>/dev/null ||
  refuse "the certificate $cert holds no private key to sign with"
subject=$(openssl x509 -in "$scratch/signer.pem" -noout -subject -nameopt oneline,-esc_msb | sed 's/^subject= *//')
usage=$(openssl x509 -in "$scratch/signer.pem" -noout -ext extendedKeyUsage 2>/dev/null || true)
if [ -n "$usage" ] && ! grep -q 'Code Signing' <<<"$usage"; then
  refuse "the certificate $cert ($subject) is not for code signing"
fi
not_after=$(openssl x509 -in "$scratch/signer.pem" -noout -enddate | sed 's/^notAfter=//')
not_before=$(openssl x509 -in "$scratch/signer.pem" -noout -startdate | sed 's/^notBefore=//')
if ! openssl x509 -in "$scratch/signer.pem" -noout -checkend 0 >/dev/null; then
  refuse "the certificate $cert ($subject) expired on $not_after"
fi
if [ "$(date -d "$not_before" +%s)" -gt "$(date +%s)" ]; then
  refuse "the certificate $cert ($subject) is not valid before $not_before"
fi
[ "$mode" = sign ] || exit 0

[ -f "$in" ] || refuse "$in, the program to sign, does not exist"
mkdir -p "$(dirname "$out")"
staging=$(mktemp -d "$(dirname "$out")/.signing.XXXXXX")
signed="$staging/$(basename "$out")"
timestamp=()
[ -z "${SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$SIGN_TIMESTAMP_URL")
if ! osslsigncode sign -pkcs12 "$cert" "${readpass[@]}" -h sha256 -n "$name" -i "$url" \
    "${timestamp[@]}" -in "$in" -out "$signed" >"$scratch/osslsigncode" 2>&1; then
  echo "make installer: signing with $cert failed; $out is unchanged:" >&2
  grep -vE '^$|^[0-9A-F]+:error:' "$scratch/osslsigncode" | head -n 6 | sed 's/^/  /' >&2
  exit 1
fi
# The copy must verify against the certificates it was signed with (and the system's
# authorities, where they lead). Revocation lists are not fetched: the point is that the
# signature just made covers the program.
# osslsigncode -h exits 255: its help is kept first, so that the exit status of no pipeline
# decides whether the option is known.
ignore_crl=()
osslsigncode -h >"$scratch/help" 2>&1 || true
! grep -q -- '-ignore-crl' "$scratch/help" || ignore_crl=(-ignore-crl)
cat "$scratch/chain.pem" >"$scratch/trusted.pem"
[ ! -r /etc/ssl/certs/ca-certificates.crt ] || cat /etc/ssl/certs/ca-certificates.crt >>"$scratch/trusted.pem"
if ! osslsigncode verify "${ignore_crl[@]}" -CAfile "$scratch/trusted.pem" -in "$signed" \
    >"$scratch/verify" 2>&1; then
  echo "make installer: the program signed with $cert does not verify; $out is unchanged:" >&2
  { grep -iE 'fail|mismatch|error' "$scratch/verify" || tail -n 5 "$scratch/verify"; } | head -n 8 |
    sed 's/^/  /' >&2
  exit 1
fi
chmod --reference="$in" "$signed"
mv -f "$signed" "$out"
echo "make installer: $out is signed by $subject (valid until $not_after)"
