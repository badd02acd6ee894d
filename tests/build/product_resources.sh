#!/usr/bin/env bash
# What the product carries: the demo payload it packed, whole, as resource FCC 1 in French
# (1036); a manifest asking for common controls 6 and the highest rights available and
# declaring no DPI awareness; French version information; and a stub (install.exe without its
# payload) of 420 KiB at most: sections on pages in the file, which keep the memory of the
# 32-bit process flat, cost it about 18 KiB of padding beside the 398 KiB of code and data.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
b=${BUILD_ROOT:-build}
exe=${DIST:-dist}/install.exe
stub_budget_kib=420
tool=scripts/pe-resource.pl
# shellcheck source=../checks.bash
source "$top/tests/checks.bash"
# The bytes of a resource, with UTF-16 text made readable by dropping the zero bytes.
resource_text() {  # type, id
  local place
  place=$(perl "$tool" find "$exe" "$1" "$2") || return
  tail -c +$((${place% *} + 1)) "$exe" | head -c "${place#* }" | tr -d '\0'
}

check "the payload is resource FCC 1 in French" test "$(perl "$tool" language "$exe" FCC 1)" = 1036
# dist/install.exe may carry a maker's payload by now: the build's own output is compared.
built=$b/win32/installer/install.exe
demo=$b/win32/installer/demo/Morvidan.FCC
carried=$(mktemp)
trap 'rm -f "$carried"' EXIT
perl "$tool" extract "$built" "$carried" 2>/dev/null
check "the build's install.exe carries the demo payload it packed, whole" cmp -s "$carried" "$demo"
stub=$(bash bench/stub.sh | sed -n 's/^stub: kib=//p')
check "the stub is $stub KiB, within $stub_budget_kib" test -n "$stub" -a "${stub:-0}" -le "$stub_budget_kib"
manifest=$(resource_text 24 1)
check "the manifest asks for common controls 6" grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest"
check "the manifest asks for the highest rights available" grep -q 'requestedExecutionLevel level="highestAvailable"' <<<"$manifest"
check "the manifest declares no DPI awareness" grep -q '<dpiAware[^>]*>false</dpiAware>' <<<"$manifest"
version=$(resource_text 16 1 | iconv -f CP1252 -t UTF-8)
check "the version information describes the installer" grep -q 'FileDescriptionInstallation de Morvidan © Sorbiane' <<<"$version"
check "the version information names the file" grep -q 'OriginalFilenameinstall.exe' <<<"$version"
check "the version information is French" test "$(perl "$tool" language "$exe" 16 1)" = 1036
