#!/usr/bin/env bash
# End-to-end tests of the real DorvaneShutdown.exe under Wine and Xvfb: the program runs in a
# throwaway prefix and is driven from outside by the driver, which sends window messages and
# keys and reads back what the windows show. Screenshots of the main window, the menus and the
# countdown are kept for a look by eye.
#
#   run_e2e.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Screenshots go to
# BUILD_DIR/screenshots. Prints one PASS or FAIL line a check; the exit status is 0 when all
# passed.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

# As the driver prints it: line breaks written as \n.
readonly ALREADY_RUNNING_TEXT='Dorvane Shutdown is already running.\n\nLook for its icon in the notification area.'
readonly WM_SYSCOMMAND=0x0112
readonly SC_CLOSE=0xF060
readonly WM_TRAYNOTIFY=0x8064
readonly TRAY_ICON_ID=1006
readonly WM_RBUTTONUP=0x0205
readonly TB_BUTTONCOUNT=0x0418
readonly WINDOW_MS=10000

# Another program with a window in the same Wine session, in front when the program starts; a
# log-off closes it with the rest. Known by its window: `wine notepad` hands the start on to
# another process.
start_bystander() {
  (cd "$E2E_DIR" && exec wine notepad) >/dev/null 2>&1 &
  BYSTANDER_WINDOW=$(drv wait-window Notepad - "$FIRST_WINDOW_MS") || abort "notepad did not start"
}

bystander_alive() {
  [ "$(drv visible "$BYSTANDER_WINDOW" 2>/dev/null)" = 1 ]
}

bystander_gone() {
  ! bystander_alive
}

# The button type of a BUTTON window's style is BS_CHECKBOX or BS_AUTOCHECKBOX.
is_check_box_style() {
  local type=$(($1 & 0xF))
  [ "$type" -eq 2 ] || [ "$type" -eq 3 ]
}

post_tray() {
  drv post "$MAIN" "$WM_TRAYNOTIFY" "$TRAY_ICON_ID" "$1"
}

# An old settings file with bytes after the record: the program ignores them on loading and a
# save leaves them out, so their absence shows the file was written again.
write_old_settings() {
  {
    settings_bytes "$@"
    printf 'left over from an older file'
  } >"$SETTINGS_FILE"
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  touch "$E2E_DIR/before-start"
}

check_rewritten() {
  check "the settings file was written again" test "$SETTINGS_FILE" -nt "$E2E_DIR/before-start"
}

test_main_window() {
  # The button shows the state of Windows' automatic logon, as the machine's Winlogon key holds it.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' \
    /v AutoAdminLogon /d 1 /f >/dev/null 2>&1 || abort "the automatic logon could not be set"
  start_main_window
  check_eq "caption" "$(drv text "$MAIN")" "$CAPTION"
  check_eq "window class" "$(drv class "$MAIN")" "$MAIN_CLASS"
  log "client size: $(drv client-size "$MAIN")"

  local children check_box toolbar style
  children=$(drv children "$MAIN")
  log "children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"

  find_child "check box \"Shutdown at\"" 3 "Shutdown at" <<<"$children"
  find_child "button \"Options\"" 3 "Options" <<<"$children"
  find_child "button \"AutoLogon  ENABLED\"" 3 "AutoLogon  ENABLED" <<<"$children"
  find_child "status bar" 2 msctls_statusbar32 <<<"$children"
  find_child "toolbar" 2 ToolbarWindow32 <<<"$children"
  find_child "time picker" 2 SysDateTimePick32 <<<"$children"

  check_box=$(child_with 3 "Shutdown at" <<<"$children")
  if [ -n "$check_box" ]; then
    style=$(drv style "$check_box")
    check "\"Shutdown at\" is a check box" is_check_box_style "$style"
  fi
  toolbar=$(child_with 2 ToolbarWindow32 <<<"$children")
  if [ -n "$toolbar" ]; then
    # Eight buttons and the seven separators between them.
    check_eq "toolbar buttons" "$(drv send "$toolbar" "$TB_BUTTONCOUNT" 0 0)" 15
  fi

  screenshot main_window
  check "the program keeps running" running "$APP"
}

test_second_instance() {
  start_main_window
  # A fresh prefix has no automatic logon.
  check "the AutoLogon button says DISABLED" \
    grep -qF "$(printf '\tAutoLogon  DISABLED\t')" <<<"$(drv children "$MAIN")"
  local first=$APP box
  start_program
  local second=$!
  box=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") ||
    abort "the second start shows no message box"
  pass "the second start shows a message box"
  check "the message box says the program already runs" \
    grep -qF "$ALREADY_RUNNING_TEXT" <<<"$(drv children "$box")"
  screenshot already_running
  drv click-child "$box" OK || fail "the message box has no OK button"
  if wait_exit "$second" 30; then
    check_eq "the second process ends with exit code" "$exit_code" 0
  else
    fail "the second process still runs after its message box was answered"
  fi
  check "the first process keeps running" running "$first"
  check_eq "the first main window stays visible" "$(drv visible "$MAIN")" 1
}

test_close_and_tray() {
  start_main_window
  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_CLOSE" 0 >/dev/null
  check "the close box hides the main window" drv wait-gone "$MAIN" "$WINDOW_MS"
  check_eq "the hidden main window still exists" "$(drv class "$MAIN")" "$MAIN_CLASS"
  check "the program keeps running after the close box" running "$APP"

  post_tray "$WM_LBUTTONUP"
  check "a click on the tray icon shows the main window" drv wait-visible "$MAIN" "$WINDOW_MS"

  drv key "$MAIN" escape
  check "Esc hides the main window" drv wait-gone "$MAIN" "$WINDOW_MS"
  check "the program keeps running after Esc" running "$APP"

  post_tray "$WM_RBUTTONUP"
  local menu
  menu=$(drv wait-window '#32768' - "$WINDOW_MS") || abort "a right click on the tray icon opens no menu"
  pass "a right click on the tray icon opens the pop-up menu"
  screenshot tray_menu
  check "no settings file before the program ends" test ! -e "$SETTINGS_FILE"
  # Exit is the menu's last item: Up from no selection goes to it, Enter chooses it.
  drv post-key "$menu" up
  drv post-key "$menu" return
  expect_exit "Exit in the tray menu ends the program" 30
  check "the settings file was written next to the program" test -s "$SETTINGS_FILE"
  check_saved_settings
}

test_start_in_tray() {
  settings_bytes StartInTray=1 >"$SETTINGS_FILE"
  start_program
  APP=$!
  MAIN=$(drv wait-created "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS") ||
    abort "no main window was created"
  pass "the main window is created"
  drv wait-gone "$MAIN" "$WINDOW_MS"
  # Whatever it did at its first paint, it must be hidden a while later and stay so.
  sleep 2
  check_eq "the main window is hidden" "$(drv visible "$MAIN")" 0
  check "the program keeps running" running "$APP"
  screenshot start_in_tray
  post_tray "$WM_LBUTTONUP"
  check "a click on the tray icon shows the main window" drv wait-visible "$MAIN" "$WINDOW_MS"
}

test_exit_menu() {
  write_old_settings ConfirmExit=0
  start_main_window
  # Alt+F opens the File menu, E chooses its "&Exit": the keys a user would press.
  drv key "$MAIN" alt+f
  drv wait-window '#32768' - "$WINDOW_MS" >/dev/null || abort "Alt+F opens no menu"
  pass "Alt+F opens the File menu"
  screenshot file_menu
  drv key "$MAIN" e
  expect_exit "Exit in the File menu ends the program" 30
  check_rewritten
  check_saved_settings ConfirmExit=0
}

test_exit_shortcut() {
  write_old_settings ConfirmExit=0
  start_main_window
  # Alt+F4 is the shortcut of File > Exit: it ends the program, unlike the close box.
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 30
  check_rewritten
  check_saved_settings ConfirmExit=0
}

# Starts the program with "logoff" under the default settings, checks the countdown and clicks
# its Cancel button.
cancel_countdown() {
  start_program logoff
  APP=$!
  local dialog children
  # The start-up notice has the same caption; the countdown is the window with a progress bar.
  dialog=$(drv wait-window "!$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS" msctls_progress32) ||
    abort "\"logoff\" shows no countdown"
  pass "\"logoff\" shows the countdown"
  children=$(drv children "$dialog")
  find_child "progress bar" 2 msctls_progress32 <<<"$children"
  find_child "button \"&Cancel\"" 3 "&Cancel" <<<"$children"
  check "the countdown tells the seconds left" \
    grep -qE "$(printf '\t')The action starts in (10|9|8) second\(s\)\.$(printf '\t')" <<<"$children"
  screenshot "$1"
  log "countdown children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  drv click-child "$dialog" "&Cancel" || fail "the countdown has no Cancel button"
  # The countdown takes 10 s: an end well before that is the Cancel's doing.
  expect_exit "Cancel ends the program" 5 "$CANCELLED_EXIT"
}

test_countdown_cancel() {
  cancel_countdown countdown
  check "the Wine session goes on: its desktop runs" drv running explorer.exe >/dev/null
}

# The same with another program's window open, as a user would usually have.
test_countdown_cancel_beside_other_window() {
  start_bystander
  cancel_countdown countdown_beside_other_window
  # The log-off would come after the countdown's 10 s; the other program must outlive that.
  wait_exit "$APP" 15
  sleep 3
  check "the Wine session goes on: the other program's window is still there" bystander_alive
}

test_logoff_without_warning() {
  local values=(ShowWarning=0 WarnSeconds=7 RemoteComputer=e2e-sentinel UserName=tester)
  # A last update check in the future reads as a clock set back: the program counts again from
  # today, without asking the web site, and saves today.
  local today
  today=$(today_day_number)
  write_old_settings "${values[@]}" LastCheckDay=$((today + 1000))
  start_bystander
  start_program logoff
  APP=$!
  if wait_exit "$APP" 60; then
    pass "\"logoff\" without warning ends the program (exit code $exit_code)"
  else
    abort "the program still runs 60 s after \"logoff\""
  fi
  # A log-off closes every program with a window in the session.
  local waited=0
  while bystander_alive && [ "$waited" -lt 20 ]; do
    sleep 0.5
    waited=$((waited + 1))
  done
  check "the Wine session ended: the other program was closed" bystander_gone
  check_rewritten
  check_saved_settings "${values[@]}" LastCheckDay="$today"
}

begin_test "$3" "$4"
"test_$test_name"
finish
