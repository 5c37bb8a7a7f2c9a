#!/usr/bin/env bash
# End-to-end tests of where the program takes Windows' DLLs from, under Wine and Xvfb like
# run_e2e.sh. A DLL that leaves a mark when it is loaded (planted_dll.cpp) lies next to the
# program under the name of each DLL that the program, or Windows on its behalf, loads while it
# runs, and Wine is told to prefer a DLL it finds by searching to its own, as Windows does for a
# DLL it doesn't keep in its list of known ones. The program is then driven through every feature
# that loads such a DLL: none of the planted ones may be loaded, and each feature must still work
# with Windows' own DLL, which the planted one, exporting nothing, would break.
#
#   run_security.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe PLANTED.dll HELP.chm
#
# TEST is one of the test_* functions below, without the prefix. Prints one PASS or FAIL line a
# check; the exit status is 0 when all passed.
#
# Nothing here reaches the network: the update check asks the web server of web_server.sh on
# 127.0.0.1, Wine's remote shutdown request only logs what it was asked, and Wine has no network
# provider.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
# shellcheck source=web_server.sh
source "$(dirname "$0")/web_server.sh"
test_arguments 6 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe PLANTED.dll HELP.chm" "$@"
planted_dll=$5
help_file=$6

# The DLLs the program loads by name while it runs: the web check, the network, the tray and the
# browser, the help, the per-monitor DPI. Not among them: the program's own imports, which Windows
# takes from its list of known DLLs and Wine loads before the program starts; nor the DLLs Wine's
# own DLLs load for themselves before the program starts (the theme) or as delayed imports (the
# image blending of the common controls), where Wine ignores the search the program sets.
readonly PLANTED_NAMES=(wininet.dll mpr.dll shell32.dll hhctrl.ocx shcore.dll)
# Native first for each of them: Wine's names without ".dll", other extensions kept.
readonly PLANTED_OVERRIDES="wininet,mpr,shell32,hhctrl.ocx,shcore=n,b"
# Wine's log of every DLL it loads, of the remote shutdown requests, and of the calls below.
readonly PROGRAM_CHANNELS=-all,+loaddll,fixme+advapi,+relay
# Calls of Wine's own DLLs that show a feature reached them; the relay sees only Wine's DLLs.
readonly RELAYED_CALLS="shell32.Shell_NotifyIconA;mpr.WNetOpenEnumA;mpr.WNetAddConnection2A"
readonly MARK_SUFFIX=.loaded
readonly DRIVER_FOLDER=Driver
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly HELP_NAME=DorvaneShutdown.chm
readonly HELP_VIEWER_CLASS="HH Parent"
readonly HELP_TITLE="Dorvane Shutdown Help"
readonly REBOOT_WARNING="This computer is being restarted from the network by Dorvane Shutdown. Please save your work now."
readonly SHUTDOWN_WARNING="This computer is being shut down from the network by Dorvane Shutdown. Please save your work now."
readonly WM_CLOSE=0x0010
readonly WM_SYSCOMMAND=0x0112
readonly SC_CLOSE=0xF060
readonly WM_TRAYNOTIFY=0x8064
readonly TRAY_ICON_ID=1006
readonly ERROR_NO_NETWORK=1222
readonly WINDOW_MS=15000
readonly RUN_SECONDS=60

# The planted DLLs next to the program. The driver moves to a folder of its own, so that a mark
# can only come from the program.
plant_dlls() {
  install_driver "$driver" "$DRIVER_FOLDER"
  rm -f "$E2E_DIR/$E2E_DRIVER"
  local name
  for name in "${PLANTED_NAMES[@]}"; do
    cp "$planted_dll" "$E2E_DIR/$name" || abort "$name could not be planted"
  done
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$RELAYED_CALLS" /f >/dev/null 2>&1 ||
    abort "the relay trace could not be set up"
}

# start_planted ARGUMENTS...: starts the program from its folder with Wine preferring the planted
# DLLs and logging into PROGRAM_LOG; sets APP.
start_planted() {
  PROGRAM_LOG=$e2e_prefix/program.$BASHPID.$SECONDS.log
  rm -f "$E2E_DIR"/*"$MARK_SUFFIX"
  (cd "$E2E_DIR" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$PLANTED_OVERRIDES" \
    WINEDEBUG=$PROGRAM_CHANNELS exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM" "$@") \
    >/dev/null 2>"$PROGRAM_LOG" &
  APP=$!
}

# run_planted ARGUMENTS...: the program with the arguments, run to its end; sets exit_code.
run_planted() {
  start_planted "$@"
  if ! wait_exit "$APP" "$RUN_SECONDS"; then
    check_no_planted_dll "\"$*\""
    abort "the program still runs $RUN_SECONDS s after \"$*\"; open message boxes: $(open_boxes)"
  fi
}

# Sets MAIN once the main window of the program, started already, is shown.
wait_planted_main_window() {
  if ! MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS"); then
    check_no_planted_dll "start-up"
    abort "no main window; open message boxes: $(open_boxes)"
  fi
  pass "the main window appears"
}

# The DLLs Wine loaded into the program in the last run, one path a line, as Wine writes them
# (backslashes doubled).
loaded_dlls() {
  sed -n 's/^[0-9a-f]*:trace:loaddll:[a-z_]* Loaded L"\([^"]*\)".*/\1/p' "$PROGRAM_LOG"
}

# loaded_from_system NAME: Wine loaded its own DLL of that name from the system folder.
loaded_from_system() {
  loaded_dlls | grep -qixF "C:\\\\windows\\\\system32\\\\$1"
}

# No planted DLL left its mark, and Wine loaded nothing from the program's folder but the
# program itself.
check_no_planted_dll() {
  local marks mark
  marks=$(cd "$E2E_DIR" && ls -- *"$MARK_SUFFIX" 2>/dev/null)
  for mark in $marks; do
    log "$mark: loaded by $(cat "$E2E_DIR/$mark")"
  done
  check_eq "$1: marks of planted DLLs" "$marks" ""
  check_eq "$1: DLLs Wine loaded from the program's folder" \
    "$(loaded_dlls | grep -iF "C:\\\\$E2E_FOLDER\\\\" | grep -viF "\\\\$E2E_PROGRAM")" ""
}

# The remote shutdown requests of the last run, one a line, as Wine logged them: the machine
# name and the message quoted, then the timeout, force and reboot.
requests() {
  sed -n 's/^[0-9a-f]*:fixme:advapi:InitiateSystemShutdownExA //p' "$PROGRAM_LOG" |
    sed 's/ 0x[0-9a-f]*$//'
}

# relayed NAME RESULT: Wine's own DLL ran the call (dll.Function) and returned the result, in
# hexadecimal as the relay trace writes it.
relayed() {
  grep -q "^[0-9a-f]*:Ret  $1(.*) retval=0*$2 " "$PROGRAM_LOG"
}

settings() {
  settings_bytes "$@" >"$SETTINGS_FILE"
}

# wait_help_viewer HOW: Wine's HTML Help viewer comes up with the help file's title inside the
# program.
wait_help_viewer() {
  if ! VIEWER=$(drv wait-window "$HELP_VIEWER_CLASS" "$HELP_TITLE" "$WINDOW_MS"); then
    check_no_planted_dll "$1"
    abort "$1 opens no help viewer with the caption \"$HELP_TITLE\""
  fi
  pass "$1 opens the help viewer"
  check_eq "the help viewer belongs to the program" "$(drv pid "$VIEWER")" "$(drv pid "$MAIN")"
  drv send "$VIEWER" "$WM_CLOSE" 0 0 >/dev/null
  check "the help viewer closes" drv wait-gone "$VIEWER" "$WINDOW_MS"
}

# Start-up with its update check, the help by F1 and by Help > Index, hiding to the tray and
# coming back from it.
test_start_web_help_tray() {
  start_server_with '1.0.0\n'
  cp "$help_file" "$E2E_DIR/$HELP_NAME"
  start_planted
  wait_planted_main_window
  check_eq "no message box at start-up" "$(open_boxes)" ""
  check_eq "the update check asked the web server, times" "$(server_requests)" 1
  check "WinINet came from the system folder" loaded_from_system wininet.dll

  drv key "$MAIN" f1
  wait_help_viewer F1
  # Alt+H opens the Help menu, I chooses its "&Index".
  drv key "$MAIN" alt+h i
  wait_help_viewer "Help > Index"
  check "the help control came from the system folder" loaded_from_system hhctrl.ocx

  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_CLOSE" 0 >/dev/null
  check "the close box hides the main window" drv wait-gone "$MAIN" "$WINDOW_MS"
  check "Windows' shell added the tray icon" relayed shell32.Shell_NotifyIconA 1
  drv post "$MAIN" "$WM_TRAYNOTIFY" "$TRAY_ICON_ID" "$WM_LBUTTONUP"
  check "a click on the tray icon shows the main window" drv wait-visible "$MAIN" "$WINDOW_MS"

  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 30
  check_no_planted_dll "start-up, update check, help and tray"
}

# A remote reboot and a domain shutdown from the command line, then a remote abort through the
# computer's administrative share.
test_remote_and_domain() {
  settings LastCheckDay="$(today_day_number)" ShowWarning=0 ShowRemoteWarning=1 \
    RemoteWarnSeconds=45
  run_planted remotereboot PC1
  check_eq "\"remotereboot PC1\" ends the program, exit code" "$exit_code" 0
  check_eq "the reboot request reaches Windows" "$(requests)" "\"PC1\" \"$REBOOT_WARNING\" 45 0 1"
  check_no_planted_dll "the remote reboot"

  printf 'PC2\r\n' >"$E2E_DIR/$LIST_FILE"
  run_planted domainshutdown
  check_eq "\"domainshutdown\" ends the program, exit code" "$exit_code" 0
  check "the network provider was asked for the domain's computers" \
    relayed mpr.WNetOpenEnumA "$(printf '%x' "$ERROR_NO_NETWORK")"
  check_eq "the shutdown request of the listed computer reaches Windows" "$(requests)" \
    "\"PC2\" \"$SHUTDOWN_WARNING\" 45 0 0"
  check_no_planted_dll "the domain shutdown"

  settings LastCheckDay="$(today_day_number)" ShowWarning=0 UseCredentials=1 UserName=admin \
    Password=secret
  run_planted abort PC1
  # Wine has no network provider and refuses the connection; a Linux exit status keeps the low
  # byte of the error.
  check_eq "the network provider refuses the connection, exit code" "$exit_code" \
    $((ERROR_NO_NETWORK % 256))
  check "the connection was asked of Windows' network provider" \
    relayed mpr.WNetAddConnection2A "$(printf '%x' "$ERROR_NO_NETWORK")"
  check "the network provider came from the system folder" loaded_from_system mpr.dll
  check_no_planted_dll "the remote abort"
}

[ -x "$PYTHON" ] || abort "$PYTHON is missing: install the Debian package python3"
driver=$4
begin_test "$3" "$4"
trap end_web_session EXIT
allow_local_server
plant_dlls
"test_$test_name"
finish
