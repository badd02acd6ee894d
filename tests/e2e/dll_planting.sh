#!/usr/bin/env bash
# DLLs planted beside the installer, in the folder a browser downloads it to, are never loaded:
# copies of a marker DLL (it notes its own loading in c:\markers) are named like the DLLs that
# the program, the shell, COM and the common controls load by bare name, and Wine is told to
# prefer such native DLLs, which makes it look in the program's folder first, as Windows does.
# A program of that folder that loads them by name shows that the markers fire; then the whole
# wizard is walked (the folder browser, the installation, the launch) and none may fire.
set -u
source "$(dirname "$0")/common.bash"
source "$(dirname "$0")/security.bash"
e2e_begin planting

E2E_HELPERS="$WINEPREFIX/helpers"
build_helpers "$E2E_HELPERS" || { echo "FAIL: the marker DLL and winfile.exe are built"; exit 1; }
# DLLs loaded at run time by the program itself (gdiplus), and by Windows and Wine for the
# shell, the folder browser, COM, the shell link and the common controls. Left out, because
# Wine takes them from the program's folder whatever the program does: what it loads by bare
# name before the program's first instruction, while it resolves the import table and starts
# user32 (its advapi32 imports version.dll, its shlwapi shcore.dll, its user32 loads
# uxtheme.dll), and the delayed imports of its own DLLs, which its loader resolves without the
# search the program narrowed (its uxtheme's msimg32.dll). Windows takes all of these from the
# system folder.
planted="gdiplus dwmapi propsys winmm oleacc shdocvw browseui explorerframe windowscodecs
dbghelp userenv setupapi cryptbase profapi wintrust crypt32 netapi32 mpr linkinfo ntshrui
secur32 urlmon wininet msctf imagehlp apphelp riched20 actxprxy ieframe iertutil oledlg
olepro32 hhctrl cabinet"
downloads='c:\Telechargements'
dl=$(unix_path "$downloads")
markers=$(unix_path 'c:\markers')
mkdir -p "$dl"
cp "$E2E_INSTALLER" "$dl/install.exe"
cp "$E2E_HELPERS/winfile.exe" "$dl/control.exe"
for d in $planted; do cp "$E2E_HELPERS/marker.dll" "$dl/$d.dll"; done
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(echo $planted | tr ' ' ',')=n,b"
fired() { ls "$markers" 2>/dev/null | tr '\n' ' '; }

# The controls: a program of the folder loads what lies beside it by bare name, and no longer
# once it has narrowed the search to the system folder as the installer does.
(cd "$dl" && wine control.exe load gdiplus.dll dwmapi.dll propsys.dll >/dev/null 2>&1)
check "control: a program beside the planted DLLs loads them (gdiplus, dwmapi, propsys)" \
  test -e "$markers/gdiplus.dll" -a -e "$markers/dwmapi.dll" -a -e "$markers/propsys.dll"
rm -rf "$markers"
(cd "$dl" && wine control.exe narrowed-load gdiplus.dll dwmapi.dll propsys.dll >/dev/null 2>&1)
check "control: narrowed to the system folder, it loads none of them (fired: $(fired))" test -z "$(fired)"
rm -rf "$markers"

open_to_page3 planting "" "$dl/install.exe" || exit 1
# The folder browser: the shell's own dialog, with its tree, loads the most.
wizard_click "$WIZARD" choose
browser=
end=$((SECONDS + 20))
while [ -z "$browser" ] && [ $SECONDS -lt $end ]; do
  for id in $(xdotool search --onlyvisible --class install 2>/dev/null); do
    [ "$id" != "$WIZARD" ] && [ -n "$(xdotool getwindowname "$id" 2>/dev/null)" ] && browser=$id
  done
  sleep 0.3
done
check "the folder browser opens" test -n "$browser"
sleep 2
screenshot_screen planting-browser
[ -n "$browser" ] && press_key "$browser" Escape
wait_gone "$(xdotool getwindowname "$browser" 2>/dev/null)" 10
app=$(unix_path 'c:\Morvidan')
wizard_step "$WIZARD" next || echo "FAIL: planting: the installation starts"
check "the installation reaches its end" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" planting-page5
wizard_click "$WIZARD" cancel   # "Fermer": the application starts
check "Fermer ends the wizard" wait_gone "" 20
check "the application is started" wait_for_file "$app/lancement.txt" 20
sleep 1
check "no DLL planted beside the installer was loaded (fired: $(fired))" test -z "$(fired)"
e2e_end
