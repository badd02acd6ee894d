#!/usr/bin/env bash
# An update over a read-only Morvidan.EXE: waiting cannot help (no program holds the file), so
# the run does not wait; it unpacks into MAJ, keeps the old executable, and the replacement that
# cannot be made ends in its box, the wizard staying on page 4.
set -u
source "$(dirname "$0")/common.bash"
e2e_begin readonly

UPDATE_TITLE="Mise à jour Morvidan.exe © sorbiane"
# Wine run by root opens a read-only file for writing all the same: the case needs a user
# without rights of his own.
if [ "$(id -u)" = 0 ]; then
  echo "SKIP: read-only update: Wine running as root writes read-only files"
  exit 0
fi
app=$(unix_path 'c:\Morvidan')
install_through readonly-first || exit 1
wait_for_stamp "$app/Morvidan.EXE" 120 || { echo "FAIL: the first installation ends"; exit 1; }
wine taskkill /f /im install.exe >/dev/null 2>&1
wait_gone "" 10

printf 'ancienne version' >>"$app/Morvidan.EXE"
cp "$app/Morvidan.EXE" "$WINEPREFIX/old.exe"
wine attrib +r 'c:\Morvidan\Morvidan.EXE' >/dev/null 2>&1
check "Morvidan.EXE is read-only" test ! -w "$app/Morvidan.EXE"

install_through readonly-update || exit 1
box=$(find_window "$UPDATE_TITLE" 60)
check "the replacement that cannot be made ends in its box" test -n "$box"
[ -n "$box" ] && screenshot "$box" readonly-box
check "no wait window is shown" ! find_window "$WAIT_TITLE" 0
check "the entries are unpacked into MAJ" has_demo_files "$app/MAJ"
check "the old executable is kept as ex_Morvidan.EXE" cmp -s "$app/ex_Morvidan.EXE" "$WINEPREFIX/old.exe"
check "the read-only executable is left as it was" cmp -s "$app/Morvidan.EXE" "$WINEPREFIX/old.exe"
[ -n "$box" ] && answer_box "$box" "$UPDATE_TITLE"
check "the box goes when answered" wait_gone "$UPDATE_TITLE" 10
screenshot "$WIZARD" readonly-page4
e2e_end
