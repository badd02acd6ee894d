# Shared by the end-to-end scripts: the real install.exe (the Wine-run build) in a prefix of
# its own, driven only from outside with xdotool on the virtual display, then checked on disk.
# Each check prints "PASS: what" or "FAIL: what"; the test layer counts them.

E2E_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD=${BUILD_ROOT:-build}
[ "${E2E_BUILD#/}" = "$E2E_BUILD" ] && E2E_BUILD="$E2E_TOP/$E2E_BUILD"
E2E_DIST=${DIST:-dist}
[ "${E2E_DIST#/}" = "$E2E_DIST" ] && E2E_DIST="$E2E_TOP/$E2E_DIST"
E2E_INSTALLER="$E2E_DIST/win64/install.exe"
E2E_SHOTS=${INSTALL_ARTIFACTS:-$E2E_TOP/out/screens}/e2e
mkdir -p "$E2E_SHOTS"

# shellcheck source=../../scripts/wine-env.sh
source "$E2E_TOP/scripts/wine-env.sh"

check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; fi
}

# The Linux path of a Windows path in the prefix (c:\x\y -> $WINEPREFIX/drive_c/x/y).
unix_path() {
  local p=${1//\\//}
  local drive
  drive=$(printf '%s' "${p:0:1}" | tr 'A-Z' 'a-z')
  printf '%s/dosdevices/%s:%s' "$WINEPREFIX" "$drive" "${p:2}"
}

# Starts the installer in the background, from the folder given (default: c:\users\Public).
start_installer() {
  E2E_LOG="$E2E_SHOTS/../wine-$(date +%s%N).log"
  (cd "${1:-$WINEPREFIX/drive_c}" && wine "$E2E_INSTALLER" >"$E2E_LOG" 2>&1) &
  E2E_PID=$!
}

# The X window of the first visible window whose title is exactly $1 (may be empty for the
# wizard, whose caption is ""), waiting up to $2 seconds (default 20).
find_window() {
  local title=$1 limit=${2:-20} id name
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    for id in $(xdotool search --onlyvisible --class 'install' 2>/dev/null); do
      name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
      if [ "$name" = "$title" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
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

# Clicks at client coordinates of a window: Wine draws frame and caption inside the X window,
# so the client area starts at the frame width and below the caption. $4 is the client width.
click_client() {  # window, x, y, client-width, client-height
  local w=$1 x=$2 y=$3 cw=$4 ch=$5 geometry width height border caption
  geometry=$(xdotool getwindowgeometry --shell "$w")
  width=$(echo "$geometry" | sed -n 's/^WIDTH=//p')
  height=$(echo "$geometry" | sed -n 's/^HEIGHT=//p')
  border=$(((width - cw) / 2))
  caption=$((height - ch - border))
  xdotool mousemove --window "$w" $((x + border)) $((y + caption)) click 1
  sleep 0.3
}

press_key() {  # window, key name (xdotool's)
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
  xdotool key --window "$1" "$2"
  sleep 0.3
}

screenshot() {  # window, name
  import -window "$1" "$E2E_SHOTS/$2.png" 2>/dev/null || import -window root "$E2E_SHOTS/$2.png"
}

# A prefix and a display of the test's own; the prefix is removed at the end.
e2e_begin() {  # name
  E2E_NAME=$1
  WINE_OWN_DISPLAY=1 wine_setup "$E2E_BUILD/wine/e2e-$1-$$"
  WINE_PRIVATE_PREFIX=$WINEPREFIX
  trap e2e_end EXIT
}

e2e_end() {
  trap - EXIT
  [ -n "${E2E_PID:-}" ] && kill "$E2E_PID" 2>/dev/null
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
  xdotool key --window "$1" ctrl+a BackSpace
  xdotool type --window "$1" --delay 20 "$2"
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

file_time() {  # path: last-write time in UTC, to the second
  TZ=UTC stat -c %y "$1" 2>/dev/null | cut -c1-19
}

# The Linux path of the current user's desktop folder in the prefix.
desktop_path() {
  local value
  value=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v Desktop 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  unix_path "$value"
}
