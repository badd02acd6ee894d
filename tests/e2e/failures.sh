#!/usr/bin/env bash
# Installation runs that fail: a folder that cannot be created, a payload that does not
# decompress, an installer without its payload, a disk that fills up, an update whose backup
# or replacement copy is refused. Each ends with the right box, then the wizard stays on
# page 4 with "Annuler" enabled (its question answered "Oui" ends the program), and nothing is
# written outside the chosen folder. Last, a payload without the executable on a fresh folder,
# which must not fail.
set -u
source "$(dirname "$0")/common.bash"
e2e_begin failures

work="$E2E_BUILD/wine/e2e-work-$$"
disk="$E2E_BUILD/wine/e2e-disk-$$"
mkdir -p "$work"
finish() {
  e2e_end
  mountpoint -q "$disk" && umount "$disk"
  rm -rf "$work" "$disk"
}
trap finish EXIT

ERROR_TITLE=install   # the program's own error box is titled with its name
UPDATE_TITLE="Mise à jour Morvidan.exe © sorbiane"
link=$(shortcut_file)

# Runs an installer into a folder where it is to fail, and checks how it fails.
failing_run() {  # name, folder, box title, [installer]
  failing_steps "$@"
  # A run that went otherwise leaves no installer behind for the next case.
  wine taskkill /f /im install.exe >/dev/null 2>&1
  wait_gone "" 10
}

failing_steps() {
  local name=$1 folder=$2 title=$3 installer=${4:-$E2E_INSTALLER} box question state outside
  rm -f "$link"   # each case starts without the shortcut, whatever the one before left
  state=$(drive_state)
  install_through "$name" "$folder" "$installer" || return
  box=$(find_window "$title" 60)
  check "$name: the box \"$title\" reports the failure" test -n "$box"
  [ -n "$box" ] || return
  sleep 0.5
  screenshot "$box" "$name-box"
  check "$name: the box closes on Return" answer_box "$box" "$title"
  screenshot "$WIZARD" "$name-page4"
  if [ "${SHORTCUT_FIRST:-}" = yes ]; then
    # An update fails after the shortcut step.
    outside=$(written_outside "$state" "$folder" "$(desktop_folder)\\$SHORTCUT_NAME.lnk")
    check "$name: the shortcut is made before the failure" test -s "$link"
  else
    outside=$(written_outside "$state" "$folder")
    check "$name: no shortcut is made" test ! -e "$link"
  fi
  check "$name: nothing else is written outside the chosen folder${outside:+: $outside}" test -z "$outside"
  wizard_click "$WIZARD" cancel
  question=$(find_window Annulation 10)
  check "$name: \"Annuler\" is enabled on page 4 and asks the cancel question" test -n "$question"
  [ -n "$question" ] || return
  screenshot "$question" "$name-cancel"
  answer_box "$question" Annulation   # "Oui"
  check "$name: \"Oui\" ends the program" wait_gone "" 20
}

failing_run absent 'c:\Absent\Morvidan' "$ERROR_TITLE"
check "absent: the folder is not made" test ! -e "$(unix_path 'c:\Absent')"

mkdir -p "$work/corrupt" "$work/hidden"
perl "$E2E_TOP/scripts/pe-resource.pl" corrupt "$E2E_INSTALLER" "$work/corrupt/install.exe"
failing_run corrupt 'c:\Corrompu' "$ERROR_TITLE" "$work/corrupt/install.exe"
check "corrupt: only the payload file is written" test "$(ls "$(unix_path 'c:\Corrompu')")" = Morvidan.FCC

perl "$E2E_TOP/scripts/pe-resource.pl" hide "$E2E_INSTALLER" "$work/hidden/install.exe"
failing_run hidden 'c:\SansCharge' "$ERROR_TITLE" "$work/hidden/install.exe"
hidden=$(unix_path 'c:\SansCharge')
check "hidden: the payload file written is empty" test -e "$hidden/Morvidan.FCC" -a ! -s "$hidden/Morvidan.FCC"
check "hidden: no entry is unpacked" test ! -e "$hidden/Morvidan.EXE"

# A drive of 400 KiB: the payload file fits, the unpacked files do not.
mkdir -p "$disk"
if mount -t tmpfs -o size=400k tmpfs "$disk" 2>/dev/null; then
  ln -sfn "$disk" "$WINEPREFIX/dosdevices/e:"
  failing_run full 'e:\Morvidan' "$ERROR_TITLE"
  echo "  left on the full drive: $(cd "$disk" && find . -type f -printf '%p %s\n' | tr '\n' ' ')"
else
  echo "SKIP: full: this machine does not allow mounting a small drive"
fi

# An earlier installation whose backup cannot be written (a folder stands in its place).
old=$(unix_path 'c:\Morvidan')
mkdir -p "$old/ex_Morvidan.EXE"
{ cat "$E2E_DEMO/files/Morvidan.EXE"; printf 'ancienne version'; } >"$old/Morvidan.EXE"
SHORTCUT_FIRST=yes failing_run backup 'c:\Morvidan' "$UPDATE_TITLE"
check "backup: the executable in place is not touched" grep -q 'ancienne version' "$old/Morvidan.EXE"
check "backup: the executable is not stamped" test "$(file_time "$old/Morvidan.EXE")" != "$STAMP_TIME"

# An update whose payload lacks the executable: the replacement copy has nothing to copy.
mkdir -p "$work/noexe/files"
cp "$E2E_DEMO"/files/* "$work/noexe/files/" && rm "$work/noexe/files/Morvidan.EXE"
"$E2E_BUILD/native/tools/fccpack/fccpack" pack "$work/noexe/Morvidan.FCC" "$work/noexe/files" >/dev/null
perl "$E2E_TOP/scripts/pe-resource.pl" replace "$E2E_INSTALLER" "$work/noexe/Morvidan.FCC" "$work/noexe/install.exe"
prior=$(unix_path 'c:\Ancienne')
mkdir -p "$prior"
{ cat "$E2E_DEMO/files/Morvidan.EXE"; printf 'ancienne version'; } >"$prior/Morvidan.EXE"
SHORTCUT_FIRST=yes failing_run replace 'c:\Ancienne' "$UPDATE_TITLE" "$work/noexe/install.exe"
check "replace: the backup is made" cmp -s "$prior/ex_Morvidan.EXE" "$prior/Morvidan.EXE"
check "replace: the executable in place is not touched" grep -q 'ancienne version' "$prior/Morvidan.EXE"

# The same payload on a fresh folder does not fail: the date stamp, which finds no executable
# to stamp, makes no empty one in its place.
fresh=$(unix_path 'c:\SansProgramme')
if install_through noexe 'c:\SansProgramme' "$work/noexe/install.exe"; then
  check "noexe: the run ends (the installer's copy is made)" wait_for_file "$fresh/install.exe" 60
  sleep 2
  screenshot "$WIZARD" noexe-page5
  check "noexe: no error is reported" test -z "$(find_window "$ERROR_TITLE" 0)"
  check "noexe: the data files are unpacked" test -s "$fresh/Factures2016.QVF"
  check "noexe: the date stamp makes no empty executable" test ! -e "$fresh/Morvidan.EXE"
  close_program install.exe
fi
