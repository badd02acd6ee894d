#!/usr/bin/env bash
# The installer runs with the user's highest rights from whatever folder it was downloaded to.
# Every DLL of its import table is loaded before its first instruction, from that folder first
# unless Windows always takes it from the system folder: the import tables of both builds (and
# their delayed imports) may name only such DLLs, the known DLLs and the common controls
# (which the manifest's assembly brings). Any other DLL is loaded by its full path when used.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
dist=${DIST:-dist}
# shellcheck source=../checks.bash
source "$top/tests/checks.bash"

allowed="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 psapi rpcrt4
sechost shell32 shlwapi user32 ws2_32"

# The DLLs a program imports, one a line, in lower case without ".dll".
imported() {  # exe
  objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: *\(.*\)$/\1/p' | tr 'A-Z' 'a-z' |
    sed 's/\.dll$//' | sort -u
}
# The DLLs it imports that are not on the list, one a line (none when it imports only those).
outside() {  # exe
  local dll
  for dll in $(imported "$1"); do
    grep -qw -- "$dll" <<<"$allowed" || echo "$dll"
  done
}
only_system() {  # exe
  local extra
  [ -n "$(imported "$1")" ] || { echo "  $1: no import table read"; return 1; }
  extra=$(outside "$1")
  [ -z "$extra" ] || { echo "  $1 imports $(echo $extra)"; return 1; }
}

# The check itself must see a DLL that is not on the list.
check "the check finds gdiplus in a program that imports it" \
  grep -qx gdiplus <(outside "$(ls build/win64/tests/win/render_test.exe 2>/dev/null || echo /dev/null)")
for exe in "$dist/install.exe" "$dist/win64/install.exe"; do
  check "$exe imports only DLLs of the system folder" only_system "$exe"
done
