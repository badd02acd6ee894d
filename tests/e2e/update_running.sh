#!/usr/bin/env bash
# An update while the application runs: the run waits, shows the wait window, and goes on by
# itself once the user has closed the application.
set -u
source "$(dirname "$0")/common.bash"
e2e_begin running

app=$(unix_path 'c:\Morvidan')
install_through running-first || exit 1
wait_for_stamp "$app/Morvidan.EXE" 120 || { echo "FAIL: the first installation ends"; exit 1; }
wizard_click "$WIZARD" cancel   # "Fermer", the launch box ticked: the application starts
wait_gone "" 20
running=$(xdotool search --sync --onlyvisible --name '^Morvidan © Sorbiane$' 2>/dev/null | head -1)
check "the application runs" test -n "$running"
old=$(md5sum <"$app/Morvidan.EXE")

install_through running-update || exit 1
wait_window=$(find_window "$WAIT_TITLE" 60)
check "the wait window appears while the application runs" test -n "$wait_window"
[ -n "$wait_window" ] && screenshot "$wait_window" running-wait-window
screenshot_screen running-page4
sleep 2
check "the run waits: the executable is not replaced yet" test "$(md5sum <"$app/Morvidan.EXE")" = "$old"
check "the run waits: nothing is unpacked yet" test ! -e "$app/MAJ/Morvidan.EXE"
check "the wait window stays while the application runs" find_window "$WAIT_TITLE" 0

close_program Morvidan.EXE   # the user closes the application
check "the wait window goes by itself once the application is closed" wait_gone "$WAIT_TITLE" 20
check "the run then goes on to its end" wait_for_stamp "$app/Morvidan.EXE" 120
screenshot "$WIZARD" running-page5
check "the old executable is kept" test -s "$app/ex_Morvidan.EXE"
check "the new executable is in place" cmp -s "$app/Morvidan.EXE" "$E2E_DEMO/files/Morvidan.EXE"
check "the entries are unpacked into MAJ" has_demo_files "$app/MAJ"
e2e_end
