#!/usr/bin/env bash
# End-to-end tests of the program used by keyboard alone under Wine and Xvfb, with real key
# presses as the driver types them: the keys that Windows' dialog manager hands on in every window.
#
#   run_access.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Prints one PASS or FAIL line a
# check; the exit status is 0 when all passed. The action of the countdown is standby: under
# Wine it only answers, and Wine's relay trace of the program shows whether it was asked for.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

readonly FORM_CLASS=DorvaneForm
readonly WINDOW_MS=10000

# The program's settings; the last update check is today, so that it asks no web site.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# --- Keys: Enter, Esc, Tab and the arrows as the dialog manager hands them on ---------------

readonly PREFERENCES_TITLE=Preferences
readonly DOMAIN_TITLE="Shutdown a complete domain"
readonly RESULT_TITLE="Domain Shutdown result"
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly DOMAIN_BUTTON=7
readonly CB_GETDROPPEDSTATE=0x0157
readonly EM_SETSEL=0x00B1

# check_focus DESCRIPTION WINDOW CONTROL: the control has the keyboard focus of WINDOW's thread.
check_focus() {
  check_eq "$1" "$(drv focus "$2")" "$3"
}

# keys_open_preferences: Ctrl+O in the main window; sets DIALOG and CHILDREN.
keys_open_preferences() {
  drv key "$MAIN" ctrl+o
  DIALOG=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Ctrl+O opens no dialog \"$PREFERENCES_TITLE\""
  CHILDREN=$(drv children "$DIALOG")
}

# keys_wait_saved WHAT: the settings file, made old before, is written within 2 s.
keys_wait_saved() {
  local waited=0
  while [ "$(stat -c %Y "$SETTINGS_FILE")" -lt "$(date -d '2002-01-01' +%s)" ] &&
    [ "$waited" -lt 20 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  check "$1 writes the settings file" test "$waited" -lt 20
}

# Enter on the countdown's Cancel, which has the focus from the start, cancels: the action never
# runs.
test_countdown_enter() {
  settings ShowWarning=1 WarnSeconds=30
  start_traced standby
  wait_countdown
  local cancel
  cancel=$(drv children "$COUNTDOWN" | child_with 3 "&Cancel")
  [ -n "$cancel" ] || abort "the countdown has no Cancel button"
  check_focus "the countdown's Cancel has the focus" "$COUNTDOWN" "$cancel"
  drv key "$COUNTDOWN" enter
  check "Enter takes the countdown away" drv wait-gone "$COUNTDOWN" 3000
  expect_exit "the cancelled keyword ends the program" 10
  check_eq "actions" "$(action_calls)" ""
}

# Esc with the drop-down list of Preferences open closes the list only; Enter then presses OK,
# which keeps what was changed before.
test_preferences_list_escape() {
  settings ForceApps=0
  start_main_window
  keys_open_preferences
  local force list
  force=$(child_with 3 "Force applications to terminate." <<<"$CHILDREN")
  list=$(children_of_class ComboBox <<<"$CHILDREN")
  drv click-child "$DIALOG" "Force applications to terminate." || abort "no check box \"Force\""
  check "\"Force applications to terminate.\" is ticked" checked "$force"
  # A click opens the list and gives it the focus; later, Alt+Down opens it again.
  click_middle "$list"
  local open
  for open in "a click" "Alt+Down"; do
    [ "$open" = "a click" ] || drv key "$DIALOG" alt+down
    check_eq "$open opens the list" "$(drv send "$list" "$CB_GETDROPPEDSTATE" 0 0)" 1
    drv key "$DIALOG" escape
    check_eq "Esc closes the list opened by $open" \
      "$(drv send "$list" "$CB_GETDROPPEDSTATE" 0 0)" 0
    check_eq "Esc leaves Preferences open" "$(drv visible "$DIALOG")" 1
  done
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  drv key "$DIALOG" enter
  check "Enter closes Preferences" drv wait-gone "$DIALOG" "$WINDOW_MS"
  keys_wait_saved "Enter, on OK,"
  check_saved_settings LastCheckDay="$(today_day_number)" ForceApps=1
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# Tab leaves the domain result's read-only list for OK, and Shift+Tab comes back.
test_result_list_tab() {
  settings ShowWarning=0
  printf 'GOOD1\r\nno such name\r\n' >"$E2E_DIR/$LIST_FILE"
  start_main_window
  click_tool_button "$DOMAIN_BUTTON"
  local dialog result memo ok
  dialog=$(drv wait-window "$FORM_CLASS" "$DOMAIN_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Domain button opens no dialog"
  drv click-child "$dialog" "&OK" || abort "the domain dialog has no OK button"
  result=$(drv wait-window "$FORM_CLASS" "$RESULT_TITLE" 60000) ||
    abort "no window \"$RESULT_TITLE\""
  memo=$(drv children "$result" | children_of_class Edit)
  ok=$(drv children "$result" | child_with 3 OK)
  click_middle "$memo"
  check_focus "a click puts the focus into the list" "$result" "$memo"
  drv key "$result" tab
  check_focus "Tab goes on to OK" "$result" "$ok"
  drv key "$result" shift+tab
  check_focus "Shift+Tab comes back to the list" "$result" "$memo"
  drv key "$result" tab space
  check "Space on OK closes the window" drv wait-gone "$result" "$WINDOW_MS"
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# The arrows read the number typed in their edit: 30, then Down, gives 29.
test_seconds_arrows() {
  settings WarnSeconds=10
  start_main_window
  keys_open_preferences
  local edit
  edit=$(children_of_class Edit <<<"$CHILDREN" | head -n 1)
  check_eq "the warning's seconds" "$(drv read-text "$edit")" 10
  click_middle "$edit"
  drv send "$edit" "$EM_SETSEL" 0 -1 >/dev/null
  drv key "$DIALOG" 3 0
  check_eq "30 typed" "$(drv read-text "$edit")" 30
  drv key "$DIALOG" down
  check_eq "Down after 30" "$(drv read-text "$edit")" 29
  screenshot access_seconds_arrows
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  drv key "$DIALOG" enter
  check "Enter in the edit presses OK" drv wait-gone "$DIALOG" "$WINDOW_MS"
  keys_wait_saved "OK"
  check_saved_settings LastCheckDay="$(today_day_number)" WarnSeconds=29
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# keys_tab_to WINDOW CONTROL: Tab until the control has the focus, at most once round the window.
keys_tab_to() {
  local tabs=0
  while [ "$tabs" -lt 8 ]; do
    [ "$(drv focus "$1")" = "$2" ] && return 0
    drv key "$1" tab
    tabs=$((tabs + 1))
  done
  [ "$(drv focus "$1")" = "$2" ]
}

# The toolbar and the speed buttons are reached by Tab and pressed by Enter and Space; the
# arrows move along the toolbar.
test_toolbar_keys() {
  settings ShowWarning=0
  start_main_window
  local toolbar options dialog
  toolbar=$(main_toolbar)
  options=$(drv children "$MAIN" | child_with 3 Options)
  check "Tab reaches the toolbar" keys_tab_to "$MAIN" "$toolbar"
  drv key "$MAIN" right right right right right right
  screenshot access_toolbar_remote
  drv key "$MAIN" enter
  dialog=$(drv wait-window "$FORM_CLASS" "Remote Shutdown" "$WINDOW_MS") ||
    abort "Enter on the toolbar's seventh button opens no Remote dialog"
  pass "the arrows and Enter on the toolbar open the Remote dialog"
  drv key "$dialog" escape
  check "Esc closes the Remote dialog" drv wait-gone "$dialog" "$WINDOW_MS"
  check "Tab reaches Options" keys_tab_to "$MAIN" "$options"
  drv key "$MAIN" space
  dialog=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Space on Options opens no Preferences"
  pass "Space on Options opens Preferences"
  drv key "$dialog" escape
  check "Esc closes Preferences" drv wait-gone "$dialog" "$WINDOW_MS"
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

begin_test "$3" "$4"
"test_$test_name"
finish
