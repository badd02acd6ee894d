#!/usr/bin/env bash
# Folders that are not what they seem:
# - a folder typed without a drive ("Morvidan 2") is made absolute once, against the folder the
#   installer was started in (c:\): the files, the shortcut and the launch all name c:\Morvidan 2;
# - a folder whose name holds ".FCC" (c:\Logiciels.FCC\Morvidan, and an update of it) keeps the
#   container and every entry inside it, nothing lands in its parent;
# - a folder that is a link elsewhere (a reparse point) is refused with the file error before
#   anything is written through it, where Wine can show one.
set -u
source "$(dirname "$0")/common.bash"
source "$(dirname "$0")/security.bash"
e2e_begin folders

E2E_HELPERS="$WINEPREFIX/helpers"
build_helpers "$E2E_HELPERS" || { echo "FAIL: winfile.exe is built"; exit 1; }
ERROR_TITLE=install

# 1. The relative folder.
app=$(unix_path 'c:\Morvidan 2')
install_through relative 'Morvidan 2' || exit 1
check "relative: the run reaches its end in c:\\Morvidan 2" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" relative-page5
check "relative: every entry is in c:\\Morvidan 2" has_demo_files "$app"
info=$(lnkinfo "$(shortcut_file)" 2>/dev/null)
echo "$info" >"$E2E_SHOTS/relative-shortcut.txt"
check "relative: the shortcut starts c:\\Morvidan 2\\Morvidan.EXE" \
  grep -qiE 'Local path[^:]*: *c:\\Morvidan 2\\Morvidan\.EXE$' <<<"$info"
check "relative: the shortcut's working folder is c:\\Morvidan 2" \
  grep -qiE 'Working directory[^:]*: *c:\\Morvidan 2$' <<<"$info"
wizard_click "$WIZARD" cancel   # "Fermer"
wait_gone "" 20
check "relative: the application is started" wait_for_file "$app/lancement.txt" 20
check "relative: the application is started in c:\\Morvidan 2" grep -qi 'dossier=c:\\Morvidan 2' "$app/lancement.txt"
wine taskkill /f /im Morvidan.EXE >/dev/null 2>&1

# 2. A folder named like the payload file, installed and then updated.
parent=$(unix_path 'c:\Logiciels.FCC')
app="$parent/Morvidan"
mkdir -p "$parent"   # the user chose a folder inside one that is there
for run in 1 2; do
  rm -f "$(shortcut_file)"
  install_through "fcc-name-$run" 'c:\Logiciels.FCC\Morvidan' || exit 1
  check "*.FCC* folder, run $run: the run reaches its end" wait_for_stamp "$app/Morvidan.EXE" 120
  screenshot "$WIZARD" "fcc-name-$run-page5"
  wine taskkill /f /im install.exe >/dev/null 2>&1
  wait_gone "" 10
done
check "*.FCC* folder: the installation is in c:\\Logiciels.FCC\\Morvidan" has_demo_files "$app"
check "*.FCC* folder: the update is in its MAJ" has_demo_files "$app/MAJ"
check "*.FCC* folder: nothing lands in c:\\Logiciels.FCC itself" test "$(ls "$parent")" = Morvidan
check "*.FCC* folder: nothing lands in c:\\" test -z "$(ls "$WINEPREFIX/drive_c" | grep -iE '\.(ctn|qvf|qvc|lp|ttf)$|^morvidan\.exe$')"
check "*.FCC* folder: no container is left" test -z "$(find "$parent" -iname '*.ctn')"

# 3. A folder that leads elsewhere. Wine shows a Unix symbolic link of the prefix as a reparse
# point when it can; a folder shown so must be refused.
elsewhere="$WINEPREFIX/drive_c/Ailleurs"
mkdir -p "$elsewhere"
ln -s "$elsewhere" "$(unix_path 'c:\Lien')"
attributes=$(winfile attributes 'c:\Lien')
if [ -n "$attributes" ] && [ $((0x${attributes:-0} & 0x400)) != 0 ]; then
  install_through link 'c:\Lien' || exit 1
  box=$(find_window "$ERROR_TITLE" 60)
  check "link: the folder is refused with the file error" test -n "$box"
  [ -n "$box" ] && screenshot "$box" link-box
  check "link: nothing is written where it leads" test -z "$(ls -A "$elsewhere")"
else
  echo "SKIP: link: Wine shows c:\\Lien, a symbolic link, as an ordinary folder (attributes ${attributes:-none})"
fi
e2e_end
