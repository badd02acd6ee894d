#!/usr/bin/env bash
# Updates of c:\Morvidan while the application is not running: a first installation, then an
# update (entries in MAJ, the old executable kept as ex_Morvidan.EXE, the new one put in place
# and stamped, the new font given to the system, the user's shortcut and data left alone), then
# an update after that update (the payload and every entry of MAJ written again; a font the
# system already has is not copied).
set -u
source "$(dirname "$0")/common.bash"
e2e_begin update

app=$(unix_path 'c:\Morvidan')
maj="$app/MAJ"
fonts="$WINEPREFIX/drive_c/windows/Fonts"
font=DejaVuSansMono.TTF
link=$(shortcut_file)

install_through update-first || exit 1
wait_for_stamp "$app/Morvidan.EXE" 120 || { echo "FAIL: the first installation ends"; exit 1; }
close_program install.exe

# An older version in place, a user's data file that has been worked on, a shortcut the user
# made himself.
printf 'ancienne version' >>"$app/Morvidan.EXE"
cp "$app/Morvidan.EXE" "$E2E_SHOTS/../update-old.exe"
printf 'Facture 2016-0042;Dupré;1250,00\r\n' >>"$app/Fenêtres Dupré.QVF"
data=$(md5sum <"$app/Fenêtres Dupré.QVF")
printf 'raccourci de l'"'"'utilisateur' >"$link"
rm -f "$fonts/$font"

install_through update-1 || exit 1
check "the update reaches its end (the executable is stamped)" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" update-1-page5
check "no wait window appears when the application is not running" test "$E2E_SEEN_WAIT" = no
check "the payload file is written into MAJ" cmp -s "$maj/Morvidan.FCC" "$E2E_DEMO/Morvidan.FCC"
check "every entry is unpacked into MAJ" has_demo_files "$maj"
check "the old executable is kept as ex_Morvidan.EXE" cmp -s "$app/ex_Morvidan.EXE" "$E2E_SHOTS/../update-old.exe"
check "the new executable replaces it" cmp -s "$app/Morvidan.EXE" "$E2E_DEMO/files/Morvidan.EXE"
check "the new executable carries the release date" test "$(file_time "$app/Morvidan.EXE")" = "$STAMP_TIME"
check "the user's data file is left as it was" test "$(md5sum <"$app/Fenêtres Dupré.QVF")" = "$data"
check "the new font is given to the system" cmp -s "$fonts/$font" "$E2E_DEMO/files/$font"
check "the user's own shortcut is left alone" grep -q "raccourci de l'utilisateur" "$link"
check "the installer's copy is renewed" cmp -s "$app/install.exe" "$E2E_INSTALLER"
close_program install.exe

# An update after the update: what MAJ holds is replaced, a font already there stays as it is.
for f in "$maj"/*; do printf 'vieux' >"$f"; done
printf 'police du système' >"$fonts/$font"
printf 'version intermédiaire' >>"$app/Morvidan.EXE"
install_through update-2 || exit 1
check "the second update reaches its end" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" update-2-page5
check "the payload file in MAJ is written again" cmp -s "$maj/Morvidan.FCC" "$E2E_DEMO/Morvidan.FCC"
check "every entry in MAJ is written again" has_demo_files "$maj"
check "the backup is the executable just replaced" grep -q 'version intermédiaire' "$app/ex_Morvidan.EXE"
check "the new executable is in place again" cmp -s "$app/Morvidan.EXE" "$E2E_DEMO/files/Morvidan.EXE"
check "a font the system already has is not copied" grep -q 'police du système' "$fonts/$font"
check "no MAJ folder is made inside MAJ" test ! -e "$maj/MAJ"
e2e_end
