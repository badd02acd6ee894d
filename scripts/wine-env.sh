# Sourced by the run, test and bench scripts: one private Wine prefix, one X display and one
# persistent wineserver for the whole run, set up so that Wine measures text like Windows.
#   wine_setup [prefix]   prepares everything and exports WINEPREFIX, DISPLAY, ...
#   wine_display          starts a virtual display of the run's own and exports DISPLAY
#   wine_teardown         stops the wineserver and the display, removes a private prefix
#   wine_flavour          the build the Wine layers run: win32, the product (a PE32), where this
#                         machine executes 32-bit code, else the x86_64 twin win64. WINE_FLAVOUR
#                         set beforehand chooses by hand.
# The prefix keeps Wine's own fonts in its Fonts folder (Wine does not find them otherwise
# on Debian), draws window frames itself (no window manager on the display) and runs with
# the ANSI code page 1252 (LANG=C.UTF-8).

WINE_OWN_XVFB_PID=""
WINE_PRIVATE_PREFIX=""

# Whether 32-bit code runs here, asked once per run (the answer travels to child scripts).
wine_runs_32bit() {
  if [ -z "${WINE_RUNS_32BIT:-}" ]; then
    WINE_RUNS_32BIT=no
    "$(dirname "${BASH_SOURCE[0]}")/runs-32bit.sh" && WINE_RUNS_32BIT=yes
    export WINE_RUNS_32BIT
  fi
  [ "$WINE_RUNS_32BIT" = yes ]
}

wine_flavour() {
  if [ -z "${WINE_FLAVOUR:-}" ]; then
    WINE_FLAVOUR=win64
    wine_runs_32bit && WINE_FLAVOUR=win32
    export WINE_FLAVOUR
  fi
  echo "$WINE_FLAVOUR"
}

# One line saying which build the Wine layers ran, and why.
wine_flavour_line() {
  if [ "$(wine_flavour)" = win32 ]; then
    echo "Wine layers: win32, the product (PE32, i686) under 32-bit Wine"
  elif wine_runs_32bit; then
    echo "Wine layers: win64, the x86_64 twin (chosen by WINE_FLAVOUR)"
  else
    echo "Wine layers: win64, the x86_64 twin: this machine cannot execute 32-bit code"
  fi
}

# Starts a virtual display of the run's own (Xvfb) on the first free number and exports
# DISPLAY; wine_teardown stops it.
wine_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_OWN_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

wine_setup() {
  local top
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
  export WINEARCH=win64
  # Debian's wine starts every program through the 32-bit loader once wine32 is installed,
  # which a machine without 32-bit code cannot execute: there, wine64 is started directly.
  if ! wine_runs_32bit; then
    local bin="${BUILD_ROOT:-build}/wine/bin" name
    [ "${bin#/}" = "$bin" ] && bin="$top/$bin"
    mkdir -p "$bin"
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/$name"
      chmod +x "$bin/$name"
    done
    case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
  fi
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1
  else
    local root=${BUILD_ROOT:-build}
    [[ $root = /* ]] || root="$top/$root"
    export WINEPREFIX="$root/wine/prefix-$$"
    WINE_PRIVATE_PREFIX=$WINEPREFIX
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"

  if [ -z "${DISPLAY:-}" ] || [ "${WINE_OWN_DISPLAY:-0}" = 1 ]; then wine_display; fi

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
