#!/usr/bin/env bash
# A fresh installation into c:\Morvidan, clicked through as a user does it, then checked on
# disk: payload file, entries, installer copy, shortcut, date stamp; "Fermer" starts the
# application from the chosen folder with "VERUVI".
set -u
source "$(dirname "$0")/common.bash"
e2e_begin fresh

install_through fresh || exit 1
app=$(unix_path 'c:\Morvidan')
check "the run reaches its end (the executable is stamped)" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" fresh-page5

check "the payload file is left in the folder" test -s "$app/Morvidan.FCC"
check "the application is unpacked" test -s "$app/Morvidan.EXE"
check "the 21 data files and the font are unpacked" test "$(ls "$app" | grep -ciE '\.(qvf|qvc|lp|ttf|jpg)$')" = 23
check "accented names arrive as such" test -s "$app/Fenêtres Dupré.QVF"
check "no temporary container is left" test -z "$(ls "$app" | grep -iE '\.(ctn|tmp)$')"
check "no update folder is made" test ! -e "$app/MAJ"
check "the installer leaves a copy of itself" cmp -s "$app/install.exe" "$E2E_INSTALLER"
check "the executable's last-write time is the release date" test "$(file_time "$app/Morvidan.EXE")" = "$STAMP_TIME"
check "the executable's last-access time is the release date" test "$(file_time "$app/Morvidan.EXE" access)" = "$STAMP_TIME"
link=$(shortcut_file)
check "the desktop shortcut exists" test -s "$link"
info=$(lnkinfo "$link" 2>/dev/null)
echo "$info" >"$E2E_SHOTS/fresh-shortcut.txt"
check "the shortcut starts c:\\Morvidan\\Morvidan.EXE" grep -qiE 'Local path[^:]*: *c:\\Morvidan\\Morvidan\.EXE$' <<<"$info"
check "the shortcut's working folder is c:\\Morvidan" grep -qiE 'Working directory[^:]*: *c:\\Morvidan$' <<<"$info"
check "the shortcut's icon comes from the executable" grep -qiE 'Icon location[^:]*: *c:\\Morvidan\\Morvidan\.EXE$' <<<"$info"
check "the shortcut's icon is number 0" grep -qiE 'Icon index[^:]*: *0$' <<<"$info"
check "the shortcut has no hot key" grep -qiE 'Hot key[^:]*: *(0|0x0+)$' <<<"$info"
# The format reads every value but 3 (maximised) and 7 (minimised) as a normal window.
show=$(sed -n "s/^\s*Show Window value\s*: *//p" <<<"$info")
check "the shortcut opens a normal window ($show)" test "$((${show:-3}))" != 3 -a "$((${show:-3}))" != 7

wizard_click "$WIZARD" cancel   # "Fermer" on page 5
check "Fermer ends the wizard" wait_gone "" 20
wait_for_file "$app/lancement.txt" 20
check "the application is started with VERUVI" grep -q 'VERUVI' "$app/lancement.txt"
check "the application is started in the chosen folder" grep -qi 'dossier=c:\\Morvidan' "$app/lancement.txt"
e2e_end
