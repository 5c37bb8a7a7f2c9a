#!/usr/bin/env bash
# End-to-end tests of how the program ends under Wine and Xvfb: a command-line keyword with the
# exit question, the Wine session ended from outside while the countdown is up or its end
# refused, Exit during the countdown, and other windows of the program opened during it.
#
#   run_session.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Prints one PASS or FAIL line a
# check; the exit status is 0 when all passed.
#
# The action is standby: under Wine it only answers, and Wine's relay trace of the program shows
# each request with its force flag, so the tests count the program's actions exactly.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

readonly EXIT_QUESTION="Do you want to exit Dorvane Shutdown?"
readonly PREFERENCES_TITLE=Preferences
readonly REMOTE_TITLE="Remote Shutdown"
readonly ABOUT_TITLE="About Dorvane Shutdown"
readonly FORM_CLASS=DorvaneForm
readonly WM_ACTIVATE=0x0006
readonly WM_QUERYENDSESSION=0x0011
readonly WM_ENDSESSION=0x0016
readonly WA_ACTIVE=1
readonly WM_TRAYNOTIFY=0x8064
readonly TRAY_ICON_ID=1006
readonly WM_RBUTTONUP=0x0205
readonly WINDOW_MS=10000
readonly ONE_STANDBY="SetSystemPowerState(00000001,00000000)"

# settings VALUES...: the settings file, with bytes after the record that a save leaves out, so
# that their absence shows the program saved. The last update check is today: no web request.
settings() {
  {
    settings_bytes LastCheckDay="$(today_day_number)" "$@"
    printf 'left over from an older file'
  } >"$SETTINGS_FILE"
}

check_saved_settings_today() {
  check_saved_settings LastCheckDay="$(today_day_number)" "$@"
}

# wait_box TEXT: a message box of the program saying TEXT; sets BOX.
wait_box() {
  BOX=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") || abort "no message box"
  check "the message box says \"$1\"" grep -qF "$1" <<<"$(drv children "$BOX")"
}

# The exit question with "Confirm program exit" on, after a keyword: answered ANSWER.
keyword_and_exit_question() {
  settings ShowWarning=0 ConfirmExit=1
  start_traced standby
  wait_box "$EXIT_QUESTION"
  check_eq "standby requests before the answer" "$(action_calls)" "$ONE_STANDBY"
  drv click-child "$BOX" "$1" || abort "the question has no button $1"
}

test_keyword_exit_yes() {
  keyword_and_exit_question "&Yes"
  expect_exit "Yes ends the program" 20
  check_eq "standby requests in all" "$(action_calls)" "$ONE_STANDBY"
}

test_keyword_exit_no() {
  keyword_and_exit_question "&No"
  check "the question goes away" drv wait-gone "$BOX" "$WINDOW_MS"
  MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$WINDOW_MS") || abort "no main window"
  # Switching to the window again, as a click on its taskbar button does.
  drv send "$MAIN" "$WM_ACTIVATE" "$WA_ACTIVE" 0 >/dev/null
  drv key "$MAIN" shift
  check "no further question within 3 s" \
    test "$(drv wait-window '#32770' "$CAPTION" 3000 2>/dev/null)" = ""
  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
  check_eq "standby requests in all" "$(action_calls)" "$ONE_STANDBY"
}

# The Wine session ended from outside while the countdown of a keyword is up.
session_end_during_countdown() {
  local values=(ShowWarning=1 WarnSeconds=30 "$@")
  settings "${values[@]}"
  start_traced standby
  wait_countdown
  # Ends every program of the session; fails when a window refuses, and waits for as long as a
  # window takes to answer.
  if timeout 30 wine wineboot --end-session >/dev/null 2>&1; then
    pass "no window of the program holds the session end up"
  else
    fail "the session end was refused"
  fi
  # The session's end decides how the program ends: its exit code tells nothing here.
  if wait_exit "$APP" 15; then
    pass "the program ends with the session"
  else
    fail "the program still runs 15 s after the session's end"
  fi
  check_eq "no message box was left" "$(drv find-windows '#32770' "$CAPTION")" ""
  check_eq "actions" "$(action_calls)" ""
  check_saved_settings_today "${values[@]}"
}

test_session_end() {
  session_end_during_countdown
}

test_session_end_confirm_exit() {
  session_end_during_countdown ConfirmExit=1
}

# Windows asks whether the session may end, and another program refuses it: the countdown of a
# keyword goes on, and its action runs at its end.
test_session_end_refused() {
  local values=(ShowWarning=1 WarnSeconds=10)
  settings "${values[@]}"
  start_traced standby
  wait_countdown
  MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$WINDOW_MS") || abort "no main window"
  check_eq "the program lets the session end" "$(drv send "$MAIN" "$WM_QUERYENDSESSION" 0 0)" 1
  check_eq "the countdown stays after the question" "$(drv visible "$COUNTDOWN")" 1
  drv send "$MAIN" "$WM_ENDSESSION" 0 0 >/dev/null
  check_eq "the countdown stays when the session goes on" "$(drv visible "$COUNTDOWN")" 1
  expect_exit "the program ends after the action" 25
  check_eq "the action ran" "$(action_calls)" "$ONE_STANDBY"
  check_saved_settings_today "${values[@]}"
}

# Exit while the countdown of a keyword is up: no action, the program ends at once.
exit_during_countdown() {
  settings ShowWarning=1 WarnSeconds=10
  start_traced standby
  wait_countdown
  MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$WINDOW_MS") || abort "no main window"
  "$@"
  # The keyword's action was dropped, as by the countdown's Cancel.
  expect_exit "Exit ends the program before the countdown's end" 5 "$CANCELLED_EXIT"
  check_eq "actions" "$(action_calls)" ""
  check_saved_settings_today ShowWarning=1 WarnSeconds=10
}

exit_by_alt_f4() {
  drv key "$MAIN" alt+f4
}

exit_by_tray_menu() {
  drv post "$MAIN" "$WM_TRAYNOTIFY" "$TRAY_ICON_ID" "$WM_RBUTTONUP"
  local menu
  menu=$(drv wait-window '#32768' - "$WINDOW_MS") || abort "no tray menu"
  # Exit is the menu's last item: Up from no selection goes to it, Enter chooses it.
  drv post-key "$menu" up
  drv post-key "$menu" return
}

test_exit_during_countdown() {
  exit_during_countdown exit_by_alt_f4
}

test_tray_exit_during_countdown() {
  exit_during_countdown exit_by_tray_menu
}

# A Remote command confirmed during the countdown is refused and changes nothing; Preferences
# left open does not hold the countdown up.
test_windows_during_countdown() {
  local seconds=20
  local values=(ShowWarning=1 "WarnSeconds=$seconds" ForceApps=1)
  settings "${values[@]}"
  start_traced standby
  wait_countdown
  MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$WINDOW_MS") || abort "no main window"

  drv post "$MAIN" "$WM_TRAYNOTIFY" "$TRAY_ICON_ID" "$WM_RBUTTONUP"
  local menu dialog
  menu=$(drv wait-window '#32768' - "$WINDOW_MS") || abort "no tray menu"
  # From the end: Exit, then (past a separator) Abort Domain Shutdown (greyed, which the arrows
  # still stop at), Domain Shutdown, Abort Remote Shutdown and Remote Shutdown.
  drv post-key "$menu" up
  drv post-key "$menu" up
  drv post-key "$menu" up
  drv post-key "$menu" up
  drv post-key "$menu" up
  drv post-key "$menu" return
  dialog=$(drv wait-window "$FORM_CLASS" "$REMOTE_TITLE" "$WINDOW_MS") ||
    abort "the tray menu opens no dialog \"$REMOTE_TITLE\""
  pass "the Remote dialog opens during the countdown"
  check_eq "the countdown stays usable" "$(drv enabled "$COUNTDOWN")" 1
  drv key "$dialog" n o s u c h p c
  drv click-child "$dialog" "&OK"
  check "the Remote dialog closes" drv wait-gone "$dialog" "$WINDOW_MS"

  drv key "$MAIN" ctrl+o
  dialog=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Ctrl+O opens no dialog \"$PREFERENCES_TITLE\""
  pass "Preferences opens during the countdown"
  # Left open: the countdown's end closes it, and the action and the program's end follow.
  expect_exit "the program ends after the action" $((seconds + 10))
  local took=$((SECONDS - COUNTDOWN_SEEN))
  check "the countdown kept its time (${took} s for ${seconds} s)" test "$took" -le $((seconds + 3))
  check_eq "the action, with the force option kept" "$(action_calls)" \
    "SetSystemPowerState(00000001,00000001)"
  check_saved_settings_today "${values[@]}"
}

# The countdown's Cancel while the About box is open.
test_cancel_beside_window() {
  settings ShowWarning=1 WarnSeconds=15
  start_traced standby
  wait_countdown
  MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$WINDOW_MS") || abort "no main window"
  drv key "$MAIN" ctrl+a
  local about
  about=$(drv wait-window "$FORM_CLASS" "$ABOUT_TITLE" "$WINDOW_MS") ||
    abort "Ctrl+A opens no About box"
  pass "the About box opens during the countdown"
  drv click-child "$COUNTDOWN" "&Cancel" || fail "the countdown has no Cancel button"
  check "Cancel takes the countdown away" drv wait-gone "$COUNTDOWN" 3000
  check_eq "the About box stays open" "$(drv visible "$about")" 1
  drv key "$about" escape
  expect_exit "the program ends once the About box is closed" 10 "$CANCELLED_EXIT"
  check_eq "actions" "$(action_calls)" ""
}

begin_test "$3" "$4"
"test_$test_name"
finish
