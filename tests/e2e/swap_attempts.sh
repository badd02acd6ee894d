#!/usr/bin/env bash
# Another program of the machine cannot swap what the installer trusts while it runs: during
# an update that waits for the application, the payload file it wrote into MAJ, and the
# installer's own executable, can be neither renamed, replaced, written nor deleted through
# Windows calls; once the wait ends, the entries unpacked and the installer's copy are the
# installer's own, and the would-be payload wrote nothing.
set -u
source "$(dirname "$0")/common.bash"
source "$(dirname "$0")/security.bash"
e2e_begin swap

E2E_HELPERS="$WINEPREFIX/helpers"
build_helpers "$E2E_HELPERS" || { echo "FAIL: winfile.exe is built"; exit 1; }
app=$(unix_path 'c:\Morvidan')
install_through swap-first || exit 1
wait_for_stamp "$app/Morvidan.EXE" 120 || { echo "FAIL: the first installation ends"; exit 1; }
wine taskkill /f /im install.exe >/dev/null 2>&1
wait_gone "" 10

# A payload of somebody else's, whose one entry names a file in the root of the drive.
evil="$WINEPREFIX/evil"
mkdir -p "$evil/files"
printf 'pas de Morvidan' >"$evil/files/Morvidan.exe"
"$E2E_BUILD/native/tools/fccpack/fccpack" pack "$evil/payload.FCC" "$evil/files" >/dev/null 2>&1
cp "$evil/payload.FCC" "$(unix_path 'c:\autre.FCC')"
printf 'autre installateur' >"$(unix_path 'c:\autre.exe')"

# The application "runs": its executable is held open as a running program holds it.
flag=$(unix_path 'c:\tient')
: >"$flag"
wine "$E2E_HELPERS/winfile.exe" hold 'c:\Morvidan\Morvidan.EXE' 'c:\tient' >/dev/null 2>&1 &
holder=$!
dl=$(unix_path 'c:\Telechargements')
mkdir -p "$dl"
cp "$E2E_INSTALLER" "$dl/install.exe"
install_through swap-update "" "$dl/install.exe" || { rm -f "$flag"; exit 1; }
wait_window=$(find_window "$WAIT_TITLE" 60)
check "the run waits for the application" test -n "$wait_window"
screenshot_screen swap-waiting

fcc='c:\Morvidan\MAJ\Morvidan.FCC'
check "the payload file cannot be renamed (MoveFileExA)" refused_with 32 move "$fcc" 'c:\Morvidan\MAJ\ancien.FCC'
check "the payload file cannot be replaced (CopyFileA)" refused_with 32 copy 'c:\autre.FCC' "$fcc"
check "the payload file cannot be opened for writing" refused_with 32 write "$fcc"
check "the payload file cannot be deleted" refused_with 32 delete "$fcc"
self='c:\Telechargements\install.exe'
check "the running installer cannot be renamed (MoveFileExA)" refused_with 32 move "$self" 'c:\Telechargements\ancien.exe'
check "the running installer cannot be replaced (CopyFileA)" refused_with 32 copy 'c:\autre.exe' "$self"
check "the running installer cannot be opened for writing" refused_with 32 write "$self"
check "the payload file can still be read by others" cmp -s "$app/MAJ/Morvidan.FCC" "$E2E_DEMO/Morvidan.FCC"

rm -f "$flag"   # the user closes the application
wait "$holder"
check "the run goes on to its end once the application is closed" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" swap-page5
check "the entries unpacked are the installer's own" has_demo_files "$app/MAJ"
check "the new executable is the installer's own" cmp -s "$app/Morvidan.EXE" "$E2E_DEMO/files/Morvidan.EXE"
check "the payload file left is the installer's own" cmp -s "$app/MAJ/Morvidan.FCC" "$E2E_DEMO/Morvidan.FCC"
check "the installer's copy is the installer that ran" cmp -s "$app/install.exe" "$E2E_INSTALLER"
check "the installer that ran is still in place" cmp -s "$dl/install.exe" "$E2E_INSTALLER"
check "no temporary container is left" test -z "$(ls "$app" "$app/MAJ" | grep -iE '\.(ctn|tmp)$')"
e2e_end
