#!/usr/bin/env bash
# An installation into another folder than c:\Morvidan, then an update of it: everything goes
# to the chosen folder (the shortcut points there, the installer's copy, the backup and the
# stamp are there), and no c:\Morvidan is made.
set -u
source "$(dirname "$0")/common.bash"
e2e_begin other

chosen='c:\Program Files\Morvidan'
app=$(unix_path "$chosen")
link=$(shortcut_file)
before=$(drive_state)

install_through other "$chosen" || exit 1
check "the run reaches its end" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" other-page5
check "every entry is unpacked into the chosen folder" has_demo_files "$app"
check "the payload file is left in the chosen folder" test -s "$app/Morvidan.FCC"
check "the installer's copy is in the chosen folder" cmp -s "$app/install.exe" "$E2E_INSTALLER"
check "no c:\\Morvidan is made" test ! -e "$(unix_path 'c:\Morvidan')"
info=$(lnkinfo "$link" 2>/dev/null)
check "the shortcut starts the installed application" grep -qiF 'Local path			: c:\Program Files\Morvidan\Morvidan.EXE' <<<"$info"
check "the shortcut works in the chosen folder" grep -qiF 'Working directory		: c:\Program Files\Morvidan' <<<"$info"
outside=$(written_outside "$before" "$chosen" "$(desktop_folder)\\$SHORTCUT_NAME.lnk")
check "nothing is written elsewhere${outside:+: $outside}" test -z "$outside"
wizard_click "$WIZARD" cancel   # "Fermer"
wait_for_file "$app/lancement.txt" 20
check "Fermer starts the application in the chosen folder" grep -qiF 'dossier=c:\Program Files\Morvidan' "$app/lancement.txt"
close_program Morvidan.EXE

# The update of that folder works in it too.
printf 'ancienne version' >>"$app/Morvidan.EXE"
install_through other-update "$chosen" || exit 1
check "the update reaches its end" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" other-update-page5
check "the entries of the update go to its MAJ folder" has_demo_files "$app/MAJ"
check "the old executable is kept in the chosen folder" grep -q 'ancienne version' "$app/ex_Morvidan.EXE"
check "the new executable is in place in the chosen folder" cmp -s "$app/Morvidan.EXE" "$E2E_DEMO/files/Morvidan.EXE"
check "still no c:\\Morvidan" test ! -e "$(unix_path 'c:\Morvidan')"
e2e_end
