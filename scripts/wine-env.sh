# Sourced by the run, test and bench scripts: one private Wine prefix, one X display and one
# persistent wineserver for the whole run, set up so that Wine measures text like Windows.
#   wine_setup [prefix]   prepares everything and exports WINEPREFIX, DISPLAY, ...
#   wine_teardown         stops the wineserver and the display, removes a private prefix
# The prefix keeps Wine's own fonts in its Fonts folder (Wine does not find them otherwise
# on Debian), draws window frames itself (no window manager on the display) and runs with
# the ANSI code page 1252 (LANG=C.UTF-8).

WINE_OWN_XVFB_PID=""
WINE_PRIVATE_PREFIX=""

wine_setup() {
  local top
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
  export WINEARCH=win64
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1
  else
    local root=${BUILD_ROOT:-build}
    [[ $root = /* ]] || root="$top/$root"
    export WINEPREFIX="$root/wine/prefix-$$"
    WINE_PRIVATE_PREFIX=$WINEPREFIX
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"

  if [ -z "${DISPLAY:-}" ] || [ "${WINE_OWN_DISPLAY:-0}" = 1 ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_OWN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  # The persistent server comes first: every wine command after it reuses it.
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
  fi
  # Wine links the profile's Desktop, Documents... to the Linux home folder: make them real
  # folders of the prefix, so that nothing a program writes there leaves the prefix.
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
}

wine_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 15 wineserver -w >/dev/null 2>&1 || true
  if [ -n "$WINE_OWN_XVFB_PID" ]; then
    kill "$WINE_OWN_XVFB_PID" 2>/dev/null || true
    wait "$WINE_OWN_XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "$WINE_PRIVATE_PREFIX" ]; then
    # A server that is still shutting down may write into the prefix while it goes.
    local try
    for try in 1 2 3 4 5; do
      rm -rf "$WINE_PRIVATE_PREFIX" 2>/dev/null && break
      sleep 1
    done
  fi
}
