#!/usr/bin/env bash
# Paths that do not fit in 255 characters are refused, never cut: a payload that carries a
# name of 255 characters, a folder typed so deep that the payload file's path passes 255, and
# one where the payload file fits but the application's entries do not. Each run ends in the
# error box "Nom de fichier ou extension trop long.", leaves no file under a cut name anywhere
# on the drive, and keeps the wizard on page 4 with "Annuler" enabled.
set -u
source "$(dirname "$0")/common.bash"
e2e_begin long-paths

work="$E2E_BUILD/wine/e2e-long-work-$$"
mkdir -p "$work"
finish() {
  e2e_end
  rm -rf "$work"
}
trap finish EXIT

ERROR_TITLE=install   # the box's text, "Nom de fichier ou extension trop long.", is in its screenshot
link=$(shortcut_file)

# A folder of the given length typed on page 3: c:\Profond\ and then components of 60
# characters at most, as a user nests folders.
deep_folder() {  # length
  local folder='c:\Profond' part
  while [ ${#folder} -lt "$1" ]; do
    part=$(printf 'd%.0s' $(seq $(($1 - ${#folder} - 1 > 60 ? 60 : $1 - ${#folder} - 1))))
    folder="$folder\\$part"
  done
  printf '%s' "$folder"
}

# Runs an installer into a folder where a path does not fit, and checks the outcome: the
# error box, page 4 with "Annuler" enabled, and nothing on the drive but what the folder
# given ($3, a Windows path, may be empty) holds after the run, as listed in $4.
refused_run() {  # name, folder, kept folder, files left there, [installer]
  local name=$1 folder=$2 kept=$3 left=$4 installer=${5:-$E2E_INSTALLER} box question state outside
  rm -f "$link"
  state=$(drive_state)
  install_through "$name" "$folder" "$installer" || return
  box=$(find_window "$ERROR_TITLE" 60)
  check "$name: the error box reports the failure" test -n "$box"
  [ -n "$box" ] || return
  sleep 0.5
  screenshot "$box" "$name-box"
  check "$name: the box closes on Return" answer_box "$box" "$ERROR_TITLE"
  screenshot "$WIZARD" "$name-page4"
  if [ -n "$kept" ]; then
    outside=$(written_outside "$state" "$kept")
    check "$name: the folder holds only $left" \
      test "$(cd "$(unix_path "$kept")" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | paste -sd' ')" = "$left"
  else
    outside=$(written_outside "$state")
  fi
  check "$name: nothing else is written on the drive${outside:+: $outside}" test -z "$outside"
  check "$name: no shortcut is made" test ! -e "$link"
  wizard_click "$WIZARD" cancel
  question=$(find_window Annulation 10)
  check "$name: \"Annuler\" is enabled on page 4 and asks the cancel question" test -n "$question"
  [ -n "$question" ] || return
  answer_box "$question" Annulation   # "Oui"
  check "$name: \"Oui\" ends the program" wait_gone "" 20
}

# 1. A payload built outside the project with an entry named by 255 characters, installed
# into c:\Morvidan: the unpacker refuses it before it writes any entry.
long=$(printf 'n%.0s' $(seq 251)).txt
mkdir -p "$work/long/files"
printf 'Morvidan\r\n' >"$work/long/files/Lisezmoi.txt"
printf 'contenu' >"$work/long/files/$long"
"$E2E_BUILD/native/tools/fccpack/fccpack" pack "$work/long/Morvidan.FCC" "$work/long/files" \
  >/dev/null 2>"$work/long/warnings.txt"
check "long: fccpack warns about the name" grep -q 'characters for the installation folder' "$work/long/warnings.txt"
perl "$E2E_TOP/scripts/pe-resource.pl" replace "$E2E_INSTALLER" "$work/long/Morvidan.FCC" "$work/long/install.exe"
refused_run long 'c:\Morvidan' 'c:\Morvidan' 'Morvidan.CTN Morvidan.FCC' "$work/long/install.exe"
check "long: no file under a cut name anywhere on the drive" \
  test -z "$(find "$WINEPREFIX/drive_c" -name 'nnnnnnnnnn*' -print -quit)"
rm -rf "$(unix_path 'c:\Morvidan')"

# The folders above the chosen one are there already, as when the user chose an existing
# folder's new sub-folder: the run makes only the last level.
make_parent() {  # Windows folder
  mkdir -p "$(dirname "$(unix_path "$1")")"
}

# 2. A folder typed so deep that the payload file's path passes 255 characters by one: the
# run stops before it makes the folder.
deep=$(deep_folder $((256 - 13)))
make_parent "$deep"
refused_run deep "$deep" "" ""
check "deep: the folder is not made" test ! -e "$(unix_path "$deep")"

# 3. A folder where the payload file and the container just fit (255 characters) but the
# application's entries do not: the unpacker writes none of them.
rm -rf "$(unix_path 'c:\Profond')"
edge=$(deep_folder $((255 - 13)))
make_parent "$edge"
refused_run edge "$edge" "$edge" 'Morvidan.CTN Morvidan.FCC'
check "edge: no file under a cut name anywhere on the drive" \
  test -z "$(cd "$WINEPREFIX/drive_c" && find . -path './Profond/*' -type f ! -name 'Morvidan.CTN' ! -name 'Morvidan.FCC' -print -quit)"
