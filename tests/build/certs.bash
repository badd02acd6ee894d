# Sourced by the signing tests: throwaway certificates made with openssl for one run, never
# kept. make_test_certs DIR PASSWORD leaves in DIR:
#   good.pfx     a self-signed code-signing certificate valid for 30 days, with its key
#   good.pem     its certificate alone, the authority to verify signatures against
#   expired.pfx  a code-signing certificate that was valid in 2020 only
#   server.pfx   a valid certificate for web servers, not for code signing
#   nokey.pfx    good.pem without its private key
#   crl.pfx      a code-signing certificate that names a revocation list nobody serves
#   crl.pem      its certificate alone
# every .pfx under PASSWORD. OpenSSL 3.0's req cannot date a certificate in the past: the
# expired one is made by its "ca" command, which takes a start and an end date.
make_test_certs() {  # folder, password
  local d=$1
  mkdir -p "$d/ca"
  printf '%s' "$2" >"$d/pass"
  chmod 600 "$d/pass"
  cat >"$d/ca.cnf" <<'EOF'
[ca]
default_ca = throwaway
[throwaway]
database = $ENV::CA_DIR/index.txt
new_certs_dir = $ENV::CA_DIR
serial = $ENV::CA_DIR/serial
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[code]
basicConstraints = CA:FALSE
keyUsage = digitalSignature
extendedKeyUsage = codeSigning
EOF
  : >"$d/ca/index.txt"
  echo 01 >"$d/ca/serial"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$d/good.key" -out "$d/good.pem" -days 30 \
    -subj "/CN=Morvidan essai" -addext basicConstraints=CA:FALSE \
    -addext keyUsage=digitalSignature -addext extendedKeyUsage=codeSigning 2>/dev/null &&
  openssl pkcs12 -export -inkey "$d/good.key" -in "$d/good.pem" -out "$d/good.pfx" \
    -passout "file:$d/pass" &&
  openssl pkcs12 -export -nokeys -in "$d/good.pem" -out "$d/nokey.pfx" -passout "file:$d/pass" &&
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$d/crl.key" -out "$d/crl.pem" -days 30 \
    -subj "/CN=Morvidan liste" -addext basicConstraints=CA:FALSE \
    -addext keyUsage=digitalSignature -addext extendedKeyUsage=codeSigning \
    -addext crlDistributionPoints=URI:http://127.0.0.1:9/morvidan.crl 2>/dev/null &&
  openssl pkcs12 -export -inkey "$d/crl.key" -in "$d/crl.pem" -out "$d/crl.pfx" \
    -passout "file:$d/pass" &&
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$d/server.key" -out "$d/server.pem" \
    -days 30 -subj "/CN=www.morvidan.test" -addext extendedKeyUsage=serverAuth 2>/dev/null &&
  openssl pkcs12 -export -inkey "$d/server.key" -in "$d/server.pem" -out "$d/server.pfx" \
    -passout "file:$d/pass" &&
  openssl req -new -newkey rsa:2048 -nodes -keyout "$d/expired.key" -subj "/CN=Morvidan périmé" \
    -utf8 -out "$d/expired.csr" 2>/dev/null &&
  CA_DIR="$d/ca" openssl ca -batch -config "$d/ca.cnf" -selfsign -keyfile "$d/expired.key" \
    -in "$d/expired.csr" -startdate 20200101000000Z -enddate 20210101000000Z -extensions code \
    -notext -utf8 -out "$d/expired.pem" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$d/expired.key" -in "$d/expired.pem" -out "$d/expired.pfx" \
    -passout "file:$d/pass"
}
