#!/usr/bin/env bash
# An update over a read-only Morvidan.EXE: waiting cannot help (no program holds the file), so
# the run does not wait; it unpacks into MAJ, keeps the old executable, and the replacement that
# cannot be made ends in its box, the wizard staying on page 4.
set -u
source "$(dirname "$0")/common.bash"

# Wine run by root opens a read-only file for writing all the same: the case needs a user
# without rights of his own. Started by root, the script runs itself again as nobody (65534),
# with a prefix, a home and working folders of that user's own (Wine refuses a prefix another
# user owns), on a display that root starts here; the installer and the demo files are read
# from the build, through a link in that user's build folder. What the user's run saved
# comes back among the screenshots of the other scripts.
USER_ID=65534
as_user() {  # command...
  setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups -- "$@"
}
run_as_user() {
  local own="$E2E_BUILD/wine/e2e-readonly-user-$$" rc=0 path
  command -v setpriv >/dev/null ||
    { echo "SKIP: read-only update: no setpriv to run Wine as a user without rights"; return 0; }
  for path in "$0" "$E2E_TOP/tests/e2e/common.bash" "$E2E_INSTALLER" "$E2E_DEMO"/files/*; do
    as_user test -r "$path" ||
      { echo "SKIP: read-only update: user $USER_ID cannot read $path"; return 0; }
  done
  rm -rf "$own"
  mkdir -p "$own/home" "$own/build" "$own/artifacts"
  chown -R $USER_ID:$USER_ID "$own"
  ln -s "$E2E_BUILD/$E2E_FLAVOUR" "$own/build/$E2E_FLAVOUR"
  wine_runs_32bit  # asked once, as root: the answer travels to the user's run
  wine_display
  if as_user env DISPLAY="$DISPLAY" xdotool getdisplaygeometry >/dev/null 2>&1; then
    as_user env -i PATH="$PATH" HOME="$own/home" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
      E2E_OWN_DISPLAY=0 BUILD_ROOT="$own/build" DIST="$E2E_DIST" \
      INSTALL_ARTIFACTS="$own/artifacts" WINE_FLAVOUR="$E2E_FLAVOUR" \
      WINE_RUNS_32BIT="$WINE_RUNS_32BIT" bash "$0" </dev/null
    rc=$?
    cp "$own"/artifacts/e2e/*.png "$E2E_SHOTS/" 2>/dev/null
    cp "$own"/artifacts/wine-*.log "$E2E_SHOTS/.." 2>/dev/null
  else
    echo "SKIP: read-only update: user $USER_ID cannot use the display $DISPLAY"
  fi
  kill "$WINE_OWN_XVFB_PID" 2>/dev/null
  wait "$WINE_OWN_XVFB_PID" 2>/dev/null
  rm -rf "$own"
  return $rc
}
if [ "$(id -u)" = 0 ]; then
  run_as_user
  exit
fi

no_window() {  # title
  ! find_window "$1" 0 >/dev/null
}

e2e_begin readonly
UPDATE_TITLE="Mise à jour Morvidan.exe © sorbiane"
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
check "no wait window is shown" no_window "$WAIT_TITLE"
check "the entries are unpacked into MAJ" has_demo_files "$app/MAJ"
check "the old executable is kept as ex_Morvidan.EXE" cmp -s "$app/ex_Morvidan.EXE" "$WINEPREFIX/old.exe"
check "the read-only executable is left as it was" cmp -s "$app/Morvidan.EXE" "$WINEPREFIX/old.exe"
[ -n "$box" ] && answer_box "$box" "$UPDATE_TITLE"
check "the box goes when answered" wait_gone "$UPDATE_TITLE" 10
screenshot "$WIZARD" readonly-page4
e2e_end
