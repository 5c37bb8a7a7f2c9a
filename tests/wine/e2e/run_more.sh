#!/usr/bin/env bash
# End-to-end tests of the program's daily action, its remote and domain dialogs, the Preferences
# dialog and the automatic logon button under Wine and Xvfb, driven from outside like
# run_e2e.sh. Screenshots of each dialog and of the armed main window are kept for a look by eye.
#
#   run_more.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Screenshots go to
# BUILD_DIR/screenshots. Prints one PASS or FAIL line a check; the exit status is 0 when all
# passed.
#
# Nothing here reaches the network: the computer names are plain names of no computer, and Wine
# has no network provider, so it refuses every connection and lists no computers without asking
# anyone.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

# The class of the program's other forms: its dialogs, the countdown and the start-up notice.
readonly FORM_CLASS=DorvaneForm
readonly REMOTE_TITLE="Remote Shutdown"
readonly DOMAIN_TITLE="Shutdown a complete domain"
readonly PREFERENCES_TITLE=Preferences
readonly NO_COMPUTER_TEXT="Please type the name of the computer to shut down."
readonly AUTOLOGON_TITLE="Automatic Logon"
readonly RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
readonly RUN_VALUE=DorvaneShutdown
readonly PROGRAM_PATH="C:\\$E2E_FOLDER\\$E2E_PROGRAM"
# The machine's Winlogon key, which Windows reads on every NT release.
readonly WINLOGON_KEY='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
# Toolbar buttons, counted from the left.
readonly REMOTE_BUTTON=6
readonly DOMAIN_BUTTON=7
readonly EM_SETSEL=0x00B1
readonly WM_TRAYNOTIFY=0x8064
readonly TRAY_ICON_ID=1006
readonly BS_TYPE_MASK=0xF
readonly BS_GROUPBOX=7
readonly WINDOW_MS=10000
readonly TAB=$'\t'

# settings VALUES...: writes the settings file. The last update check is today, so that the
# program asks no web site at its start and the tests see only what they drive.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# The settings file holds exactly what a save writes for these values and today's check.
check_saved_settings_today() {
  check_saved_settings LastCheckDay="$(today_day_number)" "$@"
}

# type_into EDIT KEYS...: clicks into an edit of DIALOG and types, as a user would.
type_into() {
  local edit=$1
  shift
  click_middle "$edit"
  drv key "$DIALOG" "$@"
}

# wait_message_box DESCRIPTION: waits for a message box of the program; sets BOX and BOX_TEXT.
wait_message_box() {
  BOX=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") || abort "$1: no message box"
  pass "$1: a message box appears"
  # The message is the box's static text that is not its icon.
  BOX_TEXT=$(drv children "$BOX" | awk -F '\t' '$2 == "Static" && $3 != "" { print $3; exit }')
}

# answer_box: OK on the message box, which must then go away.
answer_box() {
  drv click-child "$BOX" OK || fail "the message box has no OK button"
  check "the message box goes away" drv wait-gone "$BOX" "$WINDOW_MS"
}

# Neither a message box nor a countdown of the program shows within the time.
no_box_within() {
  ! drv wait-window '#32770' - "$1" >/dev/null 2>&1 &&
    ! drv wait-window "!$MAIN_CLASS" "$CAPTION" 1 msctls_progress32 >/dev/null 2>&1
}

# The text of a time of day as the program's time picker shows it: with seconds, in the 12- or
# 24-hour clock of Wine's locale.
picker_shows_time() {
  local shown=$1 at=$2
  [ "$shown" = "$(date -d "@$at" '+%-I:%M:00 %p')" ] ||
    [ "$shown" = "$(date -d "@$at" '+%-H:%M:00')" ]
}

# Checks the main window's daily action controls while the action is armed: the check box
# ticked, the time picker showing the armed time and greyed.
check_armed_controls() {
  local children check_box picker
  children=$(drv children "$MAIN")
  check_box=$(child_with 3 "Shutdown at" <<<"$children")
  picker=$(child_with 2 SysDateTimePick32 <<<"$children")
  if [ -z "$check_box" ] || [ -z "$picker" ]; then
    abort "no check box \"Shutdown at\" or no time picker"
  fi
  check "the check box \"Shutdown at\" is ticked" checked "$check_box"
  check_eq "the time picker is disabled" "$(field "$picker" 5 <<<"$children")" 0
  local shown
  shown=$(drv read-text "$picker")
  check "the time picker shows the armed time (\"$shown\")" picker_shows_time "$shown" "$1"
}

# arm_at TIME SETTINGS...: writes settings with the daily action armed for the minute of TIME
# (seconds since 1970), in the local time that Wine takes from this machine.
arm_at() {
  local at=$1 hour minute
  shift
  read -r hour minute <<<"$(date -d "@$at" '+%-H %-M')"
  settings TimerActive=1 TimerHour="$hour" TimerMinute="$minute" "$@"
  log "armed for $(date -d "@$at" '+%H:%M'), now $(date '+%H:%M:%S')"
}

test_daily_timer() {
  local armed_at=$((($(date +%s) / 60 + 1) * 60))
  arm_at "$armed_at" ShowWarning=1 WarnSeconds=30 TimerAction=1
  start_main_window
  check_armed_controls "$armed_at"
  # No input from here on: the program's own timer must start the countdown.
  local countdown seen
  countdown=$(drv wait-window "!$MAIN_CLASS" "$CAPTION" 80000 msctls_progress32) ||
    abort "no countdown within 80 s (now $(date '+%H:%M:%S'))"
  seen=$(date +%s)
  pass "the daily action shows its countdown at $(date -d "@$seen" '+%H:%M:%S')"

  local children left
  children=$(drv children "$countdown")
  find_child "button \"&Cancel\"" 3 "&Cancel" <<<"$children"
  left=$(sed -n 's/.*\tThe action starts in \([0-9]*\) second(s)\.\t.*/\1/p' <<<"$children")
  if [ -z "$left" ]; then
    fail "the countdown tells no seconds left"
    left=30
  fi
  log "the countdown says $left second(s) are left"
  # It counts down from the warning's 30 s once a second: it appeared 30 - left seconds before.
  check "the countdown appeared within the armed minute" \
    test "$seen" -ge "$armed_at" -a $((seen - (30 - left))) -lt $((armed_at + 60))
  check "the countdown starts from the warning's 30 s" test "$left" -ge 25
  screenshot daily_countdown
  drv click-child "$countdown" "&Cancel" || abort "the countdown has no Cancel button"
  check "Cancel ends the countdown" drv wait-gone "$countdown" "$WINDOW_MS"

  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
  # The action stays armed for the next day.
  check_armed_controls "$armed_at"
  screenshot timer_armed
}

test_daily_timer_other_time() {
  local armed_at=$(($(date +%s) + 3 * 3600))
  arm_at "$armed_at" StartInTray=1 ShowWarning=1 WarnSeconds=30 TimerAction=1
  start_program
  APP=$!
  MAIN=$(drv wait-created "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS") ||
    abort "no main window was created"
  check "the main window goes to the tray" drv wait-gone "$MAIN" "$WINDOW_MS"
  # A while of the program's timer ticking, once a second.
  check "no countdown and no message box in 10 s" no_box_within 10000
  check_eq "the main window stays hidden" "$(drv visible "$MAIN")" 0
  check "the program keeps running" running "$APP"

  drv post "$MAIN" "$WM_TRAYNOTIFY" "$TRAY_ICON_ID" "$WM_LBUTTONUP"
  check "a click on the tray icon shows the main window" drv wait-visible "$MAIN" "$WINDOW_MS"
  check_armed_controls "$armed_at"
  screenshot timer_other_time
}

test_remote_dialog() {
  # No warning countdown on this computer before the request goes out.
  settings ShowWarning=0
  start_main_window
  click_tool_button "$REMOTE_BUTTON"
  DIALOG=$(drv wait-window "$FORM_CLASS" "$REMOTE_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Remote button opens no dialog \"$REMOTE_TITLE\""
  pass "the toolbar's Remote button opens the dialog \"$REMOTE_TITLE\""

  local children
  children=$(drv children "$DIALOG")
  log "remote dialog children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  local text
  for text in "Computer name;:" "Reboot  only" "Use Administrador credentials" "&OK" "&Cancel"; do
    find_child "\"$text\"" 3 "$text" <<<"$children"
  done
  local credentials group edits
  credentials=$(child_with 3 "Use Administrador credentials" <<<"$children")
  check "the credentials box is not ticked" test "$(drv send "$credentials" "$BM_GETCHECK" 0 0)" = 0
  group=$(awk -F '\t' '$2 == "Button" && $3 == "" { print $1 }' <<<"$children" |
    while read -r button; do
      [ $(($(drv style "$button") & BS_TYPE_MASK)) -eq "$BS_GROUPBOX" ] && echo "$button"
    done | head -1)
  [ -n "$group" ] || abort "the dialog has no group box"
  mapfile -t edits < <(drv children "$group" | children_of_class Edit)
  check_eq "edits in the credentials group" "${#edits[@]}" 2
  local edit
  for edit in "${edits[@]}"; do
    check_eq "credentials edit $edit is disabled" "$(drv enabled "$edit")" 0
  done
  screenshot remote_dialog

  drv click-child "$DIALOG" "&OK"
  wait_message_box "OK without a computer name"
  check_eq "the message asks for the name" "$BOX_TEXT" "$NO_COMPUTER_TEXT"
  screenshot remote_no_name
  answer_box
  check "the remote dialog comes back" drv wait-visible "$DIALOG" "$WINDOW_MS"

  local name_edit
  name_edit=$(children_of_class Edit <<<"$children" | head -1)
  type_into "$name_edit" n o s u c h p c
  check_eq "the computer name typed" "$(drv read-text "$name_edit")" nosuchpc
  drv click-child "$DIALOG" "Use Administrador credentials"
  check "the credentials box is ticked" checked "$credentials"
  for edit in "${edits[@]}"; do
    check_eq "credentials edit $edit is enabled" "$(drv enabled "$edit")" 1
  done
  type_into "${edits[0]}" t e s t e r
  type_into "${edits[1]}" s e c r e t
  check_eq "the user name typed" "$(drv read-text "${edits[0]}")" tester
  check_eq "the password typed" "$(drv read-text "${edits[1]}")" secret
  screenshot remote_dialog_filled

  # Wine has no network provider: the connection to the computer's admin$ share is refused.
  drv click-child "$DIALOG" "&OK"
  check "the remote dialog closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  wait_message_box "the refused connection"
  log "the error box says: $BOX_TEXT"
  check "the error box has a text" test -n "$BOX_TEXT"
  screenshot remote_error
  answer_box
  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
}

test_domain_dialog() {
  settings ShowWarning=0
  start_main_window
  click_tool_button "$DOMAIN_BUTTON"
  DIALOG=$(drv wait-window "$FORM_CLASS" "$DOMAIN_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Domain button opens no dialog \"$DOMAIN_TITLE\""
  pass "the toolbar's Domain button opens the dialog \"$DOMAIN_TITLE\""
  local children
  children=$(drv children "$DIALOG")
  log "domain dialog children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  check "the dialog tells what it does" \
    grep -qF "${TAB}Every computer of your LAN domain or\\nworkgroup will be shut down" <<<"$children"
  local text
  for text in "Reboot  only" "Use Administrador credentials" "&OK" "&Cancel"; do
    find_child "\"$text\"" 3 "$text" <<<"$children"
  done
  screenshot domain_dialog

  # Wine lists no computers of a domain: there is nobody to ask and nothing to report.
  drv click-child "$DIALOG" "&OK"
  check "the domain dialog closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check "no message box and no countdown follow" no_box_within 3000
  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
}

test_domain_command_line() {
  local values=(ShowWarning=0 UseCredentials=1 UserName=tester Password=secret)
  settings "${values[@]}"
  # Bytes after the record are left out by a save: their absence shows the program ran to its
  # end and saved.
  printf 'left over from an older file' >>"$SETTINGS_FILE"
  start_program domainshutdown
  APP=$!
  # A dialog or a message box would wait for an answer: the program could not end by itself.
  local start=$SECONDS shown=""
  while running "$APP" && [ $((SECONDS - start)) -lt 60 ]; do
    shown+=$(drv find-windows '#32770' - | awk '$2 == 1')
    shown+=$(drv find-windows "$FORM_CLASS" "$DOMAIN_TITLE" | awk '$2 == 1')
    sleep 0.2
  done
  wait_exit "$APP" 1 || abort "the program still runs 60 s after \"domainshutdown\""
  check_eq "\"domainshutdown\" ends the program (after $((SECONDS - start)) s), exit code" \
    "$exit_code" 0
  check_eq "dialogs or message boxes seen" "$shown" ""
  check_saved_settings_today "${values[@]}"
}

# The text of the program's start-up registration, empty when there is none.
run_value() {
  wine reg query "$RUN_KEY" /v "$RUN_VALUE" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$RUN_VALUE *REG_SZ *//p"
}

# Opens Preferences with its shortcut; sets DIALOG.
open_preferences() {
  drv key "$MAIN" ctrl+o
  DIALOG=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Ctrl+O opens no dialog \"$PREFERENCES_TITLE\""
  pass "Ctrl+O opens the dialog \"$PREFERENCES_TITLE\""
}

# OK on Preferences: the settings file is written at once.
confirm_preferences() {
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  drv click-child "$DIALOG" "&OK"
  check "Preferences closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  wait_settings_saved "OK"
}

test_preferences() {
  settings WarnSeconds=17
  start_main_window
  # Run at startup is on by default: the program registers itself when it starts.
  check_eq "the start-up registration" "$(run_value)" "$PROGRAM_PATH"
  open_preferences

  local children text
  children=$(drv children "$DIALOG")
  log "preferences children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  for text in "Force applications to terminate." "Run at startup" "Set in tray" \
    "Show warning delay before action." "Show remote warning before shutdown." \
    "Confirm program exit" "Shutdown action:" "&OK" "&Cancel"; do
    find_child "\"$text\"" 3 "$text" <<<"$children"
  done
  find_child "combo box" 2 ComboBox <<<"$children"
  check_eq "up-down controls" "$(children_of_class msctls_updown32 <<<"$children" | wc -l)" 2
  screenshot preferences

  # The seconds of the warning are the edit on the row of its check box.
  local warning row edit
  warning=$(child_with 3 "Show warning delay before action." <<<"$children")
  row=$(field "$warning" 6 <<<"$children" | cut -d, -f2)
  edit=$(awk -F '\t' -v row="$row" '$2 == "Edit" { split($6, b, ","); if (b[2] == row) print $1 }' \
    <<<"$children")
  [ -n "$edit" ] || abort "no edit beside \"Show warning delay before action.\""
  check_eq "the warning's seconds" "$(drv read-text "$edit")" 17
  click_middle "$edit"
  drv send "$edit" "$EM_SETSEL" 0 -1 >/dev/null
  drv key "$DIALOG" 4 2
  check_eq "the warning's seconds typed" "$(drv read-text "$edit")" 42
  drv click-child "$DIALOG" "Confirm program exit"
  check "\"Confirm program exit\" is ticked" checked "$(child_with 3 "Confirm program exit" <<<"$children")"
  drv click-child "$DIALOG" "Run at startup"
  check "\"Run at startup\" is not ticked" \
    test "$(drv send "$(child_with 3 "Run at startup" <<<"$children")" "$BM_GETCHECK" 0 0)" = 0
  confirm_preferences
  check_eq "WarnSeconds in the file" "$(settings_field WarnSeconds)" 42
  check_eq "ConfirmExit in the file" "$(settings_field ConfirmExit)" 1
  check_saved_settings_today WarnSeconds=42 ConfirmExit=1 RunAtStartup=0
  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
  check_eq "the start-up registration after \"Run at startup\" off" "$(run_value)" ""

  open_preferences
  drv click-child "$DIALOG" "Run at startup"
  confirm_preferences
  # The full path without quotes, as the program has always written it.
  check_eq "the start-up registration after \"Run at startup\" on" "$(run_value)" "$PROGRAM_PATH"
  check_saved_settings_today WarnSeconds=42 ConfirmExit=1 RunAtStartup=1
  check "the program keeps running" running "$APP"
}

# autologon_test VALUE CAPTION SCREENSHOT: the button's caption for the Winlogon value.
autologon_test() {
  wine reg add "$WINLOGON_KEY" /v AutoAdminLogon /d "$1" /f >/dev/null 2>&1 ||
    abort "the automatic logon value could not be written"
  settings
  start_main_window
  check "the AutoLogon button says \"$2\"" \
    grep -qF "${TAB}$2${TAB}" <<<"$(drv children "$MAIN")"
  screenshot "$3"
}

# The AutoLogon dialog after a click or a shortcut: Wine reports Windows 7 and runs every program
# elevated, so the dialog opens in the program itself. Sets DIALOG; its box is ticked as the
# registry says.
check_autologon_dialog() {
  DIALOG=$(drv wait-window - "$AUTOLOGON_TITLE" "$WINDOW_MS") ||
    abort "$1: the AutoLogon dialog did not open; open message boxes: $(open_boxes)"
  pass "$1 opens the AutoLogon dialog"
  local box
  box=$(child_with 3 AutoLogon <<<"$(drv children "$DIALOG")")
  if [ "$2" = 1 ]; then
    check "its AutoLogon box is ticked, as the registry says" checked "$box"
  else
    check "its AutoLogon box is clear, as the registry says" unchecked "$box"
  fi
}

test_autologon_enabled() {
  autologon_test 1 "AutoLogon  ENABLED" autologon_enabled
  drv click-child "$MAIN" "AutoLogon  ENABLED" || abort "no AutoLogon button"
  check_autologon_dialog "a click on the AutoLogon button" 1
  drv click-child "$DIALOG" "&Cancel" || fail "the dialog has no Cancel button"
  check "Cancel closes the dialog" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check "the button still says \"AutoLogon  ENABLED\"" \
    grep -qF "${TAB}AutoLogon  ENABLED${TAB}" <<<"$(drv children "$MAIN")"
  check "the program keeps running" running "$APP"
}

test_autologon_disabled() {
  autologon_test 0 "AutoLogon  DISABLED" autologon_disabled
  drv key "$MAIN" ctrl+l
  check_autologon_dialog "Ctrl+L" 0
  drv key "$DIALOG" escape
  check "Escape closes the dialog" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check "the button still says \"AutoLogon  DISABLED\"" \
    grep -qF "${TAB}AutoLogon  DISABLED${TAB}" <<<"$(drv children "$MAIN")"
  check "the program keeps running" running "$APP"
}

# Wine passes for Windows 2000 to the program alone: then the AutoLogon dialog opens, filled from
# the machine-wide Winlogon values that release keeps.
test_autologon_dialog() {
  local key='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon' entry
  wine reg add 'HKCU\Software\Wine\AppDefaults\DorvaneShutdown.exe' /v Version /d win2k /f \
    >/dev/null 2>&1 || abort "the Windows version could not be set"
  for entry in AutoAdminLogon=1 DefaultUserName=alice DefaultDomainName=OFFICE; do
    wine reg add "$key" /v "${entry%%=*}" /d "${entry#*=}" /f >/dev/null 2>&1 ||
      abort "the automatic logon values could not be written"
  done
  settings
  start_main_window
  drv click-child "$MAIN" "AutoLogon  ENABLED" || abort "no AutoLogon button saying ENABLED"
  local dialog children
  dialog=$(drv wait-window - "Automatic Logon" "$WINDOW_MS") ||
    abort "the AutoLogon dialog did not open"
  pass "the AutoLogon dialog opens on Windows 2000"
  children=$(drv children "$dialog")
  log "$children"
  check "its AutoLogon box is ticked, as the registry says" \
    checked "$(child_with 3 AutoLogon <<<"$children")"
  screenshot autologon_dialog
  drv click-child "$dialog" "&Cancel" || fail "the dialog has no Cancel button"
  check "Cancel closes the dialog" drv wait-gone "$dialog" "$WINDOW_MS"
  check "the program keeps running" running "$APP"
}

begin_test "$3" "$4"
"test_$test_name"
finish
