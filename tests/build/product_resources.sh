#!/usr/bin/env bash
# What the product carries besides its code: the payload as resource FCC 1 in French (1036),
# a manifest asking for common controls 6 and the highest rights available and declaring no
# DPI awareness, and French version information.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
exe=${DIST:-dist}/install.exe
tool=scripts/pe-resource.pl
check() {
  local what=$1
  shift
  if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; fi
}
# The bytes of a resource, with UTF-16 text made readable by dropping the zero bytes.
resource_text() {  # type, id
  local place
  place=$(perl "$tool" find "$exe" "$1" "$2") || return
  tail -c +$((${place% *} + 1)) "$exe" | head -c "${place#* }" | tr -d '\0'
}

check "the payload is resource FCC 1 in French" test "$(perl "$tool" language "$exe" FCC 1)" = 1036
manifest=$(resource_text 24 1)
check "the manifest asks for common controls 6" grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest"
check "the manifest asks for the highest rights available" grep -q 'requestedExecutionLevel level="highestAvailable"' <<<"$manifest"
check "the manifest declares no DPI awareness" grep -q '<dpiAware[^>]*>false</dpiAware>' <<<"$manifest"
version=$(resource_text 16 1 | iconv -f CP1252 -t UTF-8)
check "the version information describes the installer" grep -q 'FileDescriptionInstallation de Morvidan © Sorbiane' <<<"$version"
check "the version information names the file" grep -q 'OriginalFilenameinstall.exe' <<<"$version"
check "the version information is French" test "$(perl "$tool" language "$exe" 16 1)" = 1036
