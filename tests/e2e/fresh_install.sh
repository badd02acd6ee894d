#!/usr/bin/env bash
# A fresh installation into c:\Morvidan, clicked through as a user does it, then checked on
# disk: payload file, entries, installer copy, shortcut, date stamp; "Fermer" starts the
# application from the chosen folder with "VERUVI".
set -u
source "$(dirname "$0")/common.bash"
e2e_begin fresh

start_installer
wizard=$(find_window "" 30) || { echo "FAIL: the wizard opens"; exit 1; }
echo "PASS: the wizard opens"
screenshot "$wizard" fresh-page1
wizard_click "$wizard" next
wizard_click "$wizard" accept
screenshot "$wizard" fresh-page2
wizard_click "$wizard" next
screenshot "$wizard" fresh-page3
wizard_click "$wizard" next
wait_for_file "$(unix_path 'c:\Morvidan\install.exe')" 120
sleep 2
screenshot "$wizard" fresh-page5

app=$(unix_path 'c:\Morvidan')
check "the payload file is left in the folder" test -s "$app/Morvidan.FCC"
check "the application is unpacked" test -s "$app/Morvidan.EXE"
check "the 21 data files and the font are unpacked" test "$(ls "$app" | grep -ciE '\.(qvf|qvc|lp|ttf|jpg)$')" = 23
check "accented names arrive as such" test -s "$app/Fenêtres Dupré.QVF"
check "no temporary container is left" test -z "$(ls "$app" | grep -iE '\.(ctn|tmp)$')"
check "the installer leaves a copy of itself" cmp -s "$app/install.exe" "$E2E_INSTALLER"
check "the executable carries the release date" test "$(file_time "$app/Morvidan.EXE")" = "2016-08-30 13:41:34"
link=$(desktop_path)/"Morvidan © Sorbiane.lnk"
check "the desktop shortcut exists" test -s "$link"
info=$(lnkinfo "$link" 2>/dev/null)
check "the shortcut starts c:\\Morvidan\\Morvidan.EXE" grep -qiF 'Morvidan\Morvidan.EXE' <<<"$info"
check "the shortcut's working folder is c:\\Morvidan" grep -qiE 'Working directory[^:]*: *c:\\Morvidan$' <<<"$info"

wizard_click "$wizard" cancel   # "Fermer" on page 5
check "Fermer ends the wizard" wait_gone "" 20
wait_for_file "$app/lancement.txt" 20
check "the application is started with VERUVI" grep -q 'VERUVI' "$app/lancement.txt"
check "the application is started in the chosen folder" grep -qi 'dossier=c:\\Morvidan' "$app/lancement.txt"
e2e_end
