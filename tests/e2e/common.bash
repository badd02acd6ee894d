# Shared by the end-to-end scripts: the real install.exe in a prefix of its own, driven only from
# outside with xdotool on the virtual display, then checked on disk. The installer is the product
# itself, dist/install.exe, where this machine executes 32-bit code, and its x86_64 twin
# dist/win64/install.exe where it cannot (scripts/wine-env.sh chooses).
# Each check prints "PASS: what" or "FAIL: what"; the test layer counts them.

E2E_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${BUILD_ROOT:-build}
[ "${E2E_BUILD#/}" = "$E2E_BUILD" ] && E2E_BUILD="$E2E_TOP/$E2E_BUILD"
E2E_DIST=${DIST:-dist}
[ "${E2E_DIST#/}" = "$E2E_DIST" ] && E2E_DIST="$E2E_TOP/$E2E_DIST"
E2E_SHOTS=${INSTALL_ARTIFACTS:-$E2E_TOP/out/screens}/e2e
mkdir -p "$E2E_SHOTS"

# shellcheck source=../../scripts/wine-env.sh
source "$E2E_TOP/scripts/wine-env.sh"

# The build under test, its installer, and the files its demo payload carries as the build
# made them.
wine_flavour >/dev/null
E2E_FLAVOUR=$WINE_FLAVOUR
if [ "$E2E_FLAVOUR" = win32 ]; then
  E2E_INSTALLER="$E2E_DIST/install.exe"
else
  E2E_INSTALLER="$E2E_DIST/win64/install.exe"
fi
E2E_DEMO="$E2E_BUILD/$E2E_FLAVOUR/installer/demo"

STAMP_TIME="2016-08-30 13:41:34"   # the release date the run stamps on the executable
WAIT_TITLE="Installateur de Morvidan.EXE © Sorbiane"
SHORTCUT_NAME="Morvidan © Sorbiane"

# shellcheck source=../checks.bash
source "$E2E_TOP/tests/checks.bash"

# The Linux path of a Windows path in the prefix (c:\x\y -> $WINEPREFIX/drive_c/x/y).
unix_path() {
  local p=${1//\\//}
  local drive
  drive=$(printf '%s' "${p:0:1}" | tr 'A-Z' 'a-z')
  printf '%s/dosdevices/%s:%s' "$WINEPREFIX" "$drive" "${p:2}"
}

# Starts an installer in the background (default: the product), from c:\.
start_installer() {
  E2E_LOG="$E2E_SHOTS/../wine-$(date +%s%N).log"
  (cd "$WINEPREFIX/drive_c" && exec wine "${1:-$E2E_INSTALLER}" >"$E2E_LOG" 2>&1 </dev/null) &
  E2E_PID=$!
}

# The X window of the first visible window whose title is exactly $1 (may be empty for the
# wizard, whose caption is ""), waiting up to $2 seconds (default 20).
find_window() {
  local title=$1 limit=${2:-20} id name
  local end=$((SECONDS + limit))
  while :; do
    for id in $(xdotool search --onlyvisible --class 'install' 2>/dev/null); do
      name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
      if [ "$name" = "$title" ]; then
        echo "$id"
        return 0
      fi
    done
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

# Waits until no visible window titled $1 remains (up to $2 seconds).
wait_gone() {
  local end=$((SECONDS + ${2:-20}))
  while [ $SECONDS -lt $end ]; do
    find_window "$1" 0 >/dev/null || return 0
    sleep 0.2
  done
  return 1
}

# The outer size of an X window, as "WIDTH HEIGHT".
window_size() {  # window
  xdotool getwindowgeometry --shell "$1" 2>/dev/null | sed -n 's/^\(WIDTH\|HEIGHT\)=//p' |
    paste -sd' '
}

# Clicks at client coordinates of a window: Wine draws frame and caption inside the X window,
# so the client area starts at the frame width and below the caption. $4 is the client width.
click_client() {  # window, x, y, client-width, client-height
  local w=$1 x=$2 y=$3 cw=$4 ch=$5 width height border caption
  read -r width height <<<"$(window_size "$w")"
  border=$(((width - cw) / 2))
  caption=$((height - ch - border))
  xdotool mousemove --window "$w" $((x + border)) $((y + caption)) click 1
  sleep "${E2E_CLICK_PAUSE:-0.3}"
}

# Keys go through the X test extension, as from a keyboard, to the window given the focus:
# keys sent to a window as X events reach Wine in an order that a real keyboard never gives.
press_key() {  # window, key name (xdotool's)
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "$2" 2>/dev/null
  sleep 0.3
}

screenshot() {  # window, name
  timeout 20 import -window "$1" "$E2E_SHOTS/$2.png" 2>/dev/null ||
    timeout 20 import -window root "$E2E_SHOTS/$2.png"
}

# A prefix and a display of the test's own; the prefix is removed at the end. E2E_OWN_DISPLAY=0
# keeps the display given in DISPLAY, one that a caller started for the test.
e2e_begin() {  # name
  WINE_OWN_DISPLAY=${E2E_OWN_DISPLAY:-1} wine_setup "$E2E_BUILD/wine/e2e-$1-$$"
  WINE_PRIVATE_PREFIX=$WINEPREFIX
  trap e2e_end EXIT
}

e2e_end() {
  trap - EXIT
  [ -n "${E2E_PID:-}" ] && kill "$E2E_PID" 2>/dev/null || true
  wine_teardown
}

# Named places of the wizard's client area (667 x 461): the centre of each control.
wizard_click() {  # window, place
  local x y
  case $2 in
    next) x=435 y=439 ;;      # "Suivant >"
    cancel) x=580 y=439 ;;    # "Annuler", "Fermer" on page 5
    back) x=313 y=439 ;;      # "< Précédant"
    accept) x=208 y=176 ;;    # the licence acceptance box
    launch) x=200 y=272 ;;    # the launch box of page 5
    folder) x=300 y=272 ;;    # the folder box
    choose) x=486 y=272 ;;    # "Choisir"
  esac
  click_client "$1" "$x" "$y" 667 461
}

# Replaces the text of the wizard's folder box, as a user selects it all and types.
type_folder() {  # window, text
  wizard_click "$1" folder
  xdotool key ctrl+a BackSpace
  xdotool type --delay 20 "$2"
  sleep 0.3
}

wait_for_file() {  # path, seconds
  local end=$((SECONDS + ${2:-30}))
  while [ $SECONDS -lt $end ]; do
    [ -e "$1" ] && return 0
    sleep 0.3
  done
  return 1
}

# A file time in UTC, to the second: the last-write time, or the last-access time with "access".
file_time() {  # path, [access]
  local format=%y
  [ "${2:-}" = access ] && format=%x
  TZ=UTC stat -c "$format" "$1" 2>/dev/null | cut -c1-19
}

# The current user's desktop folder, as Windows names it, and its Linux path in the prefix.
desktop_folder() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v Desktop 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
desktop_path() {
  unix_path "$(desktop_folder)"
}
# The Linux path of the installer's desktop shortcut.
shortcut_file() {
  printf '%s/%s.lnk' "$(desktop_path)" "$SHORTCUT_NAME"
}

# A fingerprint of what the upper three quarters of a window show (the page text, the boxes),
# leaving out the buttons, whose look follows the mouse.
window_hash() {
  local w=$1 width height
  read -r width height <<<"$(window_size "$w")"
  [ -n "$height" ] || return 1
  timeout 20 import -window "$w" -crop "${width}x$((height * 3 / 4))+0+0" rgb:- 2>/dev/null | md5sum | cut -c1-32
}

# Clicks a place of the wizard and waits until the window shows the change. A click that falls
# while Wine is still busy drawing the page is lost; it is given once more after 3 s.
wizard_step() {  # window, place
  local before try end
  before=$(window_hash "$1")
  for try in 1 2; do
    wizard_click "$1" "$2"
    end=$((SECONDS + 3))
    while [ $SECONDS -lt $end ]; do
      [ "$(window_hash "$1")" != "$before" ] && return 0
      sleep 0.2
    done
  done
  return 1
}

# Starts the installer (the executable given, default the product) and clicks through to page 3
# as a user does, typing the folder given there. Sets WIZARD; screenshots are named
# <name>-page<n>.
open_to_page3() {  # screenshot name, [folder], [installer]
  local name=$1 folder=${2:-} installer=${3:-$E2E_INSTALLER}
  start_installer "$installer"
  WIZARD=$(find_window "" 30) || { echo "FAIL: $name: the wizard opens"; return 1; }
  sleep 1
  screenshot "$WIZARD" "$name-page1"
  wizard_step "$WIZARD" next || { echo "FAIL: $name: page 2 is reached"; return 1; }
  wizard_step "$WIZARD" accept || { echo "FAIL: $name: the licence is accepted"; return 1; }
  screenshot "$WIZARD" "$name-page2"
  wizard_step "$WIZARD" next || { echo "FAIL: $name: page 3 is reached"; return 1; }
  if [ -n "$folder" ]; then type_folder "$WIZARD" "$folder"; fi
  screenshot "$WIZARD" "$name-page3"
}

# The same, then "Suivant >" of page 3, which starts the installation run.
install_through() {  # screenshot name, [folder], [installer]
  open_to_page3 "$@" || return 1
  wizard_step "$WIZARD" next || { echo "FAIL: $1: the installation starts"; return 1; }
}

# Waits until the executable given carries the release date: the last step of a run before
# page 5, which then gets a moment to be drawn. E2E_SEEN_WAIT tells whether the wait window
# showed up meanwhile.
wait_for_stamp() {  # path, seconds
  local end=$((SECONDS + ${2:-60}))
  E2E_SEEN_WAIT=no
  while [ $SECONDS -lt $end ]; do
    find_window "$WAIT_TITLE" 0 >/dev/null && E2E_SEEN_WAIT=yes
    if [ "$(file_time "$1")" = "$STAMP_TIME" ]; then
      sleep 1.5
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# The Unix processes of this prefix that run the program given (an image name such as
# install.exe, in any letter case): Wine gives a Windows process the program's path as its
# command line. Processes of other prefixes, other runs on the machine, are left out. Wine's
# own list (tasklist) cannot stand in: in a 64-bit prefix it prints nothing at all.
program_pids() {  # image name
  local want pid
  want=$(printf '%s' "$1" | sed 's/[.]/[.]/g')
  for pid in $(pgrep -f -i -- "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    # The program's path (quoted or not, perhaps with arguments after it) is the first argument,
    # or the second behind a loader that has not yet given way.
    tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -n 2 |
      grep -qiE "(^|[\\/\"])$want(\"| |\$)" && echo "$pid"
  done
}

# Asks a program of the prefix to close, as the system does at logoff (WM_CLOSE), and waits
# until every process that ran it has ended.
close_program() {  # image name, e.g. install.exe
  local pids pid alive end=$((SECONDS + 20))
  pids=$(program_pids "$1")
  wine taskkill /im "$1" >/dev/null 2>&1
  while :; do
    alive=no
    for pid in $pids; do [ -e "/proc/$pid" ] && alive=yes; done
    [ $alive = no ] && return 0
    [ $SECONDS -lt $end ] || return 1
    sleep 0.3
  done
}

# True when every file of the demo payload is in the folder given, with the same contents.
has_demo_files() {  # Linux folder
  local f
  for f in "$E2E_DEMO"/files/*; do
    cmp -s "$f" "$1/$(basename "$f")" || return 1
  done
}

screenshot_screen() {  # name: the whole display, for windows that overlap
  timeout 20 import -window root "$E2E_SHOTS/$1.png" 2>/dev/null
}

# Every file of drive c: with its size and time, and every folder, leaving out what Wine keeps
# changing itself (the Windows folder, the profiles' AppData and Temp).
drive_state() {
  (cd "$WINEPREFIX/drive_c" && find . \( -path ./windows -o -name AppData -o -name Temp \) -prune \
    -o -type d -printf '%p 0 0\n' -o -printf '%p %s %T@\n' | LC_ALL=C sort)
}

# What changed on drive c: since the state given ($1, from drive_state), outside the folders
# given (Windows paths), one path a line.
written_outside() {  # state, [allowed Windows paths...]
  local state=$1 allowed rel
  shift
  diff <(printf '%s\n' "$state") <(drive_state) | sed -n 's/^[<>] \(.*\) [0-9]* [0-9.]*$/\1/p' |
    LC_ALL=C sort -u | while read -r rel; do
      for allowed in "$@"; do
        allowed=${allowed//\\//}
        allowed=./${allowed:3}
        case "${rel,,}" in "${allowed,,}" | "${allowed,,}"/*) continue 2 ;; esac
      done
      echo "$rel"
    done
}

# Answers a box with Return (its first button) and waits until it is gone; a key that falls
# before the box takes input is given again.
answer_box() {  # window, title
  local try
  for try in 1 2 3; do
    press_key "$1" Return
    wait_gone "$2" 3 && return 0
  done
  return 1
}
