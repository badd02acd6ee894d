#!/usr/bin/env bash
# Starts the installer under Wine: the product dist/install.exe where this machine executes
# 32-bit code, its x86_64 twin dist/win64/install.exe where it cannot (scripts/wine-env.sh
# chooses, and says which). With a DISPLAY, the wizard opens there for you. Without one, it
# runs on a virtual display and is clicked through a complete installation as a user would do
# it; a screenshot of every page lands in out/run/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
prefix="$top/build/wine/run-prefix"

if [ -n "${DISPLAY:-}" ]; then
  # shellcheck source=wine-env.sh
  source scripts/wine-env.sh
  wine_setup "$prefix"
  trap wine_teardown EXIT
  exe=dist/win64/install.exe
  [ "$(wine_flavour)" = win32 ] && exe=dist/install.exe
  echo "run: $exe on display $DISPLAY (prefix $prefix); $(wine_flavour_line)"
  wine "$exe"
  exit 0
fi

# shellcheck source=../tests/e2e/common.bash
source tests/e2e/common.bash
echo "run: ${E2E_INSTALLER#"$top"/}; $(wine_flavour_line)"
E2E_SHOTS="$top/out/run"
mkdir -p "$E2E_SHOTS"
rm -rf "$prefix"  # a fresh installation each time; the prefix stays for a look afterwards
WINE_OWN_DISPLAY=1 wine_setup "$prefix"
trap e2e_end EXIT
echo "run: no DISPLAY; the installer runs on the virtual display $DISPLAY and is clicked through"
# Page 4 lasts a fraction of a second with the demo payload: the e2e screenshots of an update
# while the application runs (out/screens/e2e/running-page4.png) show it at rest.
install_through run || { echo "run: the wizard did not go through pages 1 to 3" >&2; exit 1; }
wait_for_stamp "$(unix_path 'c:\Morvidan\Morvidan.EXE')" 180 ||
  { echo "run: the installation did not end" >&2; exit 1; }
screenshot "$WIZARD" run-page5
wizard_click "$WIZARD" cancel   # "Fermer", with "Lancer Morvidan" ticked
wait_for_file "$(unix_path 'c:\Morvidan\lancement.txt')" 30 || true
sleep 2
app=$(xdotool search --onlyvisible --name 'Morvidan © Sorbiane' 2>/dev/null | head -n 1 || true)
[ -n "$app" ] && screenshot "$app" application
echo "run: Morvidan is installed in c:\\Morvidan, that is $(unix_path 'c:\Morvidan')"
echo "run: desktop shortcut: $(shortcut_file)"
echo "run: screenshots of every page in out/run/"
