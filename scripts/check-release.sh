#!/usr/bin/env bash
# Checks a published installer against this checkout: rebuilds it from the release folder given,
# as make installer does, and says whether the result is the published installer byte for
# byte, its Authenticode signature set aside (the signature, its time and the header checksum
# that signing rewrites are the only bytes that may differ).
#   scripts/check-release.sh INSTALLER PAYLOAD_FOLDER      (or make check-release INSTALLER=...
#                                                           PAYLOAD=...)
# Prints "check-release: identical ..." and exits 0, or "check-release: different ..." with
# the first file of the payload that differs (or, when the payloads are the same, that the
# program itself differs) and exits 1; 2 on a wrong command line or a failed rebuild.
# BUILD_ROOT as for make installer: the rebuild reuses its maker's build.
set -euo pipefail
if [ $# != 2 ]; then
  echo "usage: $0 INSTALLER PAYLOAD_FOLDER" >&2
  exit 2
fi
installer=$1
folder=$2
top=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$installer" ] || { echo "check-release: $installer: no such file" >&2; exit 2; }
[ -d "$folder" ] || { echo "check-release: $folder: no such folder" >&2; exit 2; }
installer=$(cd "$(dirname "$installer")" && pwd)/$(basename "$installer")
folder=$(cd "$folder" && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
[[ $b = /* ]] || b="$top/$b"
fccpack="$b/tools/tools/fccpack/fccpack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "check-release: rebuilding from $folder"
if ! env -u SIGN_CERT -u SIGN_PASS BUILD_ROOT="$b" DIST="$work/rebuilt" PAYLOAD="$folder" \
    scripts/make-installer.sh >"$work/build.log" 2>&1; then
  sed 's/^/  /' "$work/build.log" >&2
  echo "check-release: $folder does not build into an installer" >&2
  exit 2
fi
grep -E '^make installer: (built with|SHA-256)' "$work/build.log" | sed 's/^make installer: /  /'
rebuilt="$work/rebuilt/install.exe"

# The published installer without its signature. Signing appends the certificate table, names
# it in the header's security directory and sets the header's checksum; removing the signature
# takes the table and its directory entry away again. The checksum is zeroed on both sides.
published="$work/published.exe"
if osslsigncode extract-signature -in "$installer" -out "$work/signature" >/dev/null 2>&1; then
  signed=yes
  osslsigncode remove-signature -in "$installer" -out "$published" >"$work/unsign.log" 2>&1 || {
    cat "$work/unsign.log" >&2
    echo "check-release: the signature of $installer cannot be removed" >&2
    exit 2
  }
else
  signed=no
  cp "$installer" "$published"
fi
zero_checksum() {  # exe: the PE checksum set to 0, in place (nothing done to a file that is no PE)
  perl -e '
    open(my $f, "+<:raw", $ARGV[0]) or die "$ARGV[0]: $!\n";
    read($f, my $dos, 64) == 64 && substr($dos, 0, 2) eq "MZ" or exit 0;
    my $pe = unpack("V", substr($dos, 0x3C, 4));
    seek($f, $pe, 0); read($f, my $sig, 4) == 4 && $sig eq "PE\0\0" or exit 0;
    seek($f, $pe + 24 + 64, 0); print $f pack("V", 0);
    close $f or die "$ARGV[0]: $!\n";' "$1"
}
zero_checksum "$published"
zero_checksum "$rebuilt"
if cmp -s "$published" "$rebuilt"; then
  [ $signed = yes ] && what="its signature set aside" || what="it is not signed"
  echo "check-release: identical: $installer is what this checkout builds from $folder ($what)"
  exit 0
fi

# Different: the first file of the payload that differs, in the payload's order.
echo "check-release: different: $installer is not what this checkout builds from $folder"
if ! "$fccpack" list "$installer" >"$work/published.list" 2>"$work/list.err"; then
  sed 's/^/  /' "$work/list.err"
  echo "  its payload cannot be read"
  exit 1
fi
"$fccpack" list "$rebuilt" >"$work/rebuilt.list"
mapfile -t theirs <"$work/published.list"
mapfile -t ours <"$work/rebuilt.list"
extracted=no
for ((i = 0; i < ${#theirs[@]} || i < ${#ours[@]}; i++)); do
  their=${theirs[i]:-} our=${ours[i]:-}
  if [ -z "$their" ]; then
    echo "  first differing file: ${our%$'\t'*} (entry $((i + 1))): in $folder, not in the installer"
    exit 1
  elif [ -z "$our" ]; then
    echo "  first differing file: ${their%$'\t'*} (entry $((i + 1))): in the installer, not in $folder"
    exit 1
  elif [ "${their%$'\t'*}" != "${our%$'\t'*}" ]; then
    echo "  first differing file: entry $((i + 1)) is ${their%$'\t'*} in the installer," \
      "${our%$'\t'*} in $folder"
    exit 1
  elif [ "$their" != "$our" ]; then
    echo "  first differing file: ${our%$'\t'*} (entry $((i + 1))): ${their##*$'\t'} bytes in" \
      "the installer, ${our##*$'\t'} in $folder"
    exit 1
  fi
  if [ $extracted = no ]; then
    "$fccpack" extract "$installer" "$work/files" >/dev/null 2>"$work/extract.err" || {
      sed 's/^/  /' "$work/extract.err"
      echo "  its payload cannot be extracted to be compared"
      exit 1
    }
    extracted=yes
  fi
  name=${our%$'\t'*}
  if ! cmp -s "$work/files/$name" "$folder/$name"; then
    echo "  first differing file: $name (entry $((i + 1))): its contents differ"
    exit 1
  fi
done
offset=$(cmp "$published" "$rebuilt" 2>/dev/null | sed -n 's/.* byte \([0-9]*\),.*/\1/p')
echo "  the payloads are the same; the program differs from byte ${offset:-?} on (another" \
  "source, compiler or libbz2 than this checkout's)"
exit 1
