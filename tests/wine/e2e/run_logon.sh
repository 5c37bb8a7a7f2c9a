#!/usr/bin/env bash
# End-to-end tests of what the program keeps about its user and how: Windows' automatic logon on
# the machine's Winlogon key as Windows 2000, XP and 10 read it, the settings from a folder named
# outside the ANSI code page, and the remote password in the user's credential store, under Wine
# and Xvfb like run_e2e.sh.
#
#   run_logon.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe MEMORY_SCAN.dll
#
# TEST is one of the test_* functions below, without the prefix. Prints one PASS or FAIL line a
# check; the exit status is 0 when all passed.
#
# Wine runs every program elevated, so the AutoLogon dialog opens in the program itself; and Wine
# keeps no LSA secrets (LsaStorePrivateData answers STATUS_OBJECT_NAME_NOT_FOUND), so the
# password of the automatic logon lands in the registry value, as on a Windows that refuses the
# secret. Nothing here reaches the network: Wine has no network provider and refuses every
# connection, after its relay trace has shown the arguments it was given. MEMORY_SCAN.dll
# (memory_scan.cpp), loaded into the program, looks for copies of the passwords typed.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 5 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe MEMORY_SCAN.dll" "$@"
readonly SCAN_DLL=$5

readonly WINLOGON_KEY='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
readonly VERSION_KEY='HKCU\Software\Wine\AppDefaults\DorvaneShutdown.exe'
readonly RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
readonly AUTOLOGON_TITLE="Automatic Logon"
readonly REMOTE_TITLE="Remote Shutdown"
readonly ABORT_TITLE="Abort Remote Shutdown"
# The passwords the memory scan looks for; memory_scan.cpp holds them XOR-ed.
readonly AUTOLOGON_PASSWORD=zq7logonpw
readonly REMOTE_PASSWORD=xk4remotepw
readonly SCAN_MS=60000
readonly FORM_CLASS=DorvaneForm
# A folder of Cyrillic letters, which Wine's Western code page (1252) can't spell.
readonly CYRILLIC_FOLDER="Прога Иван"
readonly WINDOW_MS=10000
readonly RUN_SECONDS=60
readonly TAB=$'\t'
readonly REMOTE_BUTTON=6
# Only the connection to a computer's administrative share, with its arguments.
readonly CONNECTION_RELAY=mpr.WNetAddConnection2A

# settings VALUES...: an earlier version's settings file (texts in the ANSI code page, the
# password in it). The last update check is today, so that the program asks no web site.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# type_into EDIT TEXT: clicks into an edit of DIALOG and types the text (small letters and
# digits), one key a character.
type_into() {
  local edit=$1 text=$2 i
  click_middle "$edit"
  local keys=()
  for ((i = 0; i < ${#text}; i++)); do
    keys+=("${text:i:1}")
  done
  drv key "$DIALOG" "${keys[@]}"
}

# reg_value KEY NAME: the text of the value, empty when there is no such value. Read from an
# export of the key (UTF-16, backslashes doubled), which shows every text whole, an empty one
# and one of any script too.
reg_value() {
  local export=$e2e_prefix/drive_c/export.reg
  rm -f "$export"
  wine reg export "$1" 'C:\export.reg' /y >/dev/null 2>&1 || return 0
  iconv -f UTF-16LE -t UTF-8 "$export" | tr -d '\r' |
    sed -n "s/^\"$2\"=\"\(.*\)\"\$/\1/p" | sed 's/\\\\/\\/g'
}

# Windows reads no automatic logon from the user's key: the program writes nothing there.
user_key_untouched() {
  ! wine reg query 'HKCU\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon' \
    /v AutoAdminLogon >/dev/null 2>&1
}

# answer_plain_password_question BUTTON: the Automatic Logon dialog tells, before it writes, that
# the password can only be kept as plain text; the box is answered with BUTTON.
answer_plain_password_question() {
  local box
  box=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") ||
    abort "no question before the password is stored as plain text"
  check "a box tells that the password would be stored as plain text" \
    grep -q "stored as plain text" <<<"$(drv children "$box")"
  screenshot plain_password_question
  drv click-child "$box" "$1" || abort "the question has no $1 button"
  drv wait-gone "$box" "$WINDOW_MS" >/dev/null
}

button_says() {
  grep -qF "${TAB}$1${TAB}" <<<"$(drv children "$MAIN")"
}

wait_autologon_dialog() {
  DIALOG=$(drv wait-window - "$AUTOLOGON_TITLE" "$WINDOW_MS") ||
    abort "$1: the AutoLogon dialog did not open; open message boxes: $(open_boxes)"
  pass "$1 opens the AutoLogon dialog"
  CHILDREN=$(drv children "$DIALOG")
}

# autologon_machine_key VERSION: with Wine telling the program it runs on VERSION, the button
# reads the machine's key, and the dialog writes it.
autologon_machine_key() {
  wine reg add "$VERSION_KEY" /v Version /d "$1" /f >/dev/null 2>&1 ||
    abort "the Windows version could not be set"
  wine reg add "$WINLOGON_KEY" /v AutoAdminLogon /d 1 /f >/dev/null 2>&1 ||
    abort "the automatic logon could not be set"
  settings
  start_main_window
  check "AutoAdminLogon 1 in the machine's key: the button says ENABLED" \
    button_says "AutoLogon  ENABLED"

  # The value changed behind the program's back shows at the next refresh, after the dialog.
  wine reg add "$WINLOGON_KEY" /v AutoAdminLogon /d 0 /f >/dev/null 2>&1 ||
    abort "the automatic logon could not be switched off"
  drv click-child "$MAIN" "AutoLogon  ENABLED" || abort "no AutoLogon button saying ENABLED"
  wait_autologon_dialog "a click on the AutoLogon button"
  check "its box is clear, as the machine's key now says" \
    unchecked "$(child_with 3 AutoLogon <<<"$CHILDREN")"
  drv click-child "$DIALOG" "&Cancel" || fail "the dialog has no Cancel button"
  check "Cancel closes the dialog" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check "AutoAdminLogon 0: the button says DISABLED" button_says "AutoLogon  DISABLED"

  drv key "$MAIN" ctrl+l
  wait_autologon_dialog "Ctrl+L"
  drv click-child "$DIALOG" AutoLogon || abort "the dialog has no AutoLogon box"
  local edits
  mapfile -t edits < <(drv children "$DIALOG" | children_of_class Edit)
  [ "${#edits[@]}" = 3 ] || abort "the dialog has ${#edits[@]} edits, not 3"
  type_into "${edits[0]}" alice
  type_into "${edits[1]}" logon7pw
  type_into "${edits[2]}" office
  screenshot "autologon_${1}_filled"
  drv click-child "$DIALOG" "&OK" || abort "the dialog has no OK button"
  answer_plain_password_question Cancel
  check "Cancel goes back to the dialog" drv wait-visible "$DIALOG" "$WINDOW_MS"
  check_eq "nothing is written after Cancel" "$(reg_value "$WINLOGON_KEY" AutoAdminLogon)" 0
  drv click-child "$DIALOG" "&OK" || abort "the dialog has no OK button"
  answer_plain_password_question OK
  check "OK closes the dialog" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check_eq "no message box" "$(open_boxes)" ""
  check_eq "AutoAdminLogon in the machine's key" "$(reg_value "$WINLOGON_KEY" AutoAdminLogon)" 1
  check_eq "DefaultUserName in the machine's key" \
    "$(reg_value "$WINLOGON_KEY" DefaultUserName)" alice
  check_eq "DefaultDomainName in the machine's key" \
    "$(reg_value "$WINLOGON_KEY" DefaultDomainName)" office
  # Wine keeps no LSA secret: the registry value holds the password instead.
  check_eq "DefaultPassword in the machine's key, as Wine refuses the secret" \
    "$(reg_value "$WINLOGON_KEY" DefaultPassword)" logon7pw
  check "the button says ENABLED" button_says "AutoLogon  ENABLED"

  drv click-child "$MAIN" "AutoLogon  ENABLED" || abort "no AutoLogon button saying ENABLED"
  wait_autologon_dialog "the AutoLogon button, once more"
  mapfile -t edits < <(children_of_class Edit <<<"$CHILDREN")
  check_eq "the dialog shows the stored user name" "$(drv read-text "${edits[0]}")" alice
  drv click-child "$DIALOG" AutoLogon || abort "the dialog has no AutoLogon box"
  drv click-child "$DIALOG" "&OK" || abort "the dialog has no OK button"
  check "OK closes the dialog" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check_eq "switched off: AutoAdminLogon" "$(reg_value "$WINLOGON_KEY" AutoAdminLogon)" 0
  check_eq "switched off: no password is left in the machine's key" \
    "$(reg_value "$WINLOGON_KEY" DefaultPassword)" ""
  check_eq "switched off: the user name stays" \
    "$(reg_value "$WINLOGON_KEY" DefaultUserName)" alice
  check "the button says DISABLED" button_says "AutoLogon  DISABLED"
  check "nothing is written to the user's key" user_key_untouched
}

test_autologon_win10() {
  autologon_machine_key win10
}

test_autologon_winxp() {
  autologon_machine_key winxp
}

test_autologon_win2k() {
  autologon_machine_key win2k
}

# install_in_cyrillic_folder: the program in C:\Прога Иван instead of its usual folder; sets
# E2E_DIR and SETTINGS_FILE there.
install_in_cyrillic_folder() {
  E2E_DIR=$e2e_prefix/drive_c/$CYRILLIC_FOLDER
  mkdir -p "$E2E_DIR"
  mv "$e2e_prefix/drive_c/$E2E_FOLDER/$E2E_PROGRAM" "$E2E_DIR/" ||
    abort "the program could not be moved into the Cyrillic folder"
  SETTINGS_FILE=$E2E_DIR/DorvaneShutdown.dat
}

# Starts the program from its folder, named by Wine from the folder the command starts in, so
# that no Cyrillic letter has to pass a command line; sets APP and MAIN.
start_from_folder() {
  (cd "$E2E_DIR" && exec wine "$E2E_PROGRAM") >/dev/null 2>&1 &
  APP=$!
  wait_main_window
}

# The daily action's time, twelve hours away, so that it never comes during the test.
readonly DAILY_HOUR=$((($(date +%-H) + 12) % 24))

timer_box_checked() {
  checked "$(child_with 3 "Shutdown at" <<<"$(drv children "$MAIN")")"
}

timer_box_clear() {
  ! timer_box_checked
}

# From a folder of Cyrillic letters under Wine's Western code page: a setting survives Exit, a
# restart and a session end; the Run value names the folder; an earlier version's file, its user
# name in the Western code page, reads right and is saved in UTF-8; and the computer list beside
# the program is read.
test_cyrillic_folder() {
  install_in_cyrillic_folder
  # The computer list beside the program is read: the domain keyword asks its computer.
  settings ShowWarning=0
  printf 'PC9\r\n' >"$E2E_DIR/DorvaneShutdown.computers.txt"
  local log=$e2e_prefix/domain.log start=$SECONDS
  (cd "$E2E_DIR" && WINEDEBUG=-all,fixme+advapi exec wine "$E2E_PROGRAM" domainshutdown) \
    >/dev/null 2>"$log" &
  local app=$! box
  # Boxes that would hold the program up are answered, and told.
  while running "$app" && [ $((SECONDS - start)) -lt "$RUN_SECONDS" ]; do
    for box in $(drv find-windows '#32770' "$CAPTION" | awk '$2 == 1 { print $1 }'); do
      log "a box says: $(drv children "$box" | cut -f 3 | tr '\n' ' ')"
      drv click-child "$box" OK >/dev/null
    done
    sleep 0.5
  done
  wait_exit "$app" 1 || abort "the program still runs after \"domainshutdown\": $(open_boxes)"
  check "the domain keyword asks the computer of the list beside the program" \
    grep -q '^[0-9a-f]*:fixme:advapi:InitiateSystemShutdownExA "PC9"' "$log"
  rm "$E2E_DIR/DorvaneShutdown.computers.txt"

  local name_1252=$'J\xfcrgen' name_utf8="Jürgen"
  settings TimerHour="$DAILY_HOUR" TimerMinute=7 UserName="$name_1252"
  start_from_folder
  check "the daily action is off, as the file says" timer_box_clear
  drv click-child "$MAIN" "Shutdown at" || abort "no \"Shutdown at\" box"
  check "the daily action is armed" timer_box_checked
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  check_saved_settings LastCheckDay="$(today_day_number)" TimerHour="$DAILY_HOUR" TimerMinute=7 \
    TimerActive=1 UserName="$name_utf8"
  check_eq "the Run value names the program in its folder" "$(reg_value "$RUN_KEY" DorvaneShutdown)" \
    "C:\\$CYRILLIC_FOLDER\\$E2E_PROGRAM"

  start_from_folder
  check "after a restart the daily action is still armed" timer_box_checked
  drv click-child "$MAIN" "Shutdown at" || abort "no \"Shutdown at\" box"
  check "the daily action is off again" timer_box_clear
  if timeout 30 wine wineboot --end-session >/dev/null 2>&1; then
    pass "the session ends"
  else
    fail "the session end was refused"
  fi
  expect_exit "the program ends with the session" 15
  check_saved_settings LastCheckDay="$(today_day_number)" TimerHour="$DAILY_HOUR" TimerMinute=7 \
    TimerActive=0 UserName="$name_utf8"

}

# Wine's relay trace shows the connection to an administrative share with its arguments.
trace_connections() {
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$CONNECTION_RELAY" /f \
    >/dev/null 2>&1 || abort "the relay trace could not be set up"
}

# run_keyword ARGUMENTS...: the program run with a keyword until it ends, its connection to
# computers traced; sets exit_code and CONNECTIONS, the traced calls ("user" "password" a line).
run_keyword() {
  local log=$e2e_prefix/keyword.$BASHPID.log
  (cd "$E2E_DIR" && WINEDEBUG=-all,+relay exec wine "$E2E_PROGRAM" "$@") >/dev/null 2>"$log" &
  local app=$!
  wait_exit "$app" "$RUN_SECONDS" || abort "the program still runs $RUN_SECONDS s after \"$*\""
  CONNECTIONS=$(sed -n 's/^[0-9a-f]*:Call mpr\.WNetAddConnection2A([0-9a-f]*,[0-9a-f]* \(".*"\),[0-9a-f]* \(".*"\),[0-9a-f]*) ret=.*/\2 \1/p' "$log")
}

# The settings file holds no byte of the text.
file_lacks() {
  ! grep -qF "$1" "$SETTINGS_FILE"
}

# The password typed into the Remote dialog is kept in the user's credential store: the settings
# file holds none of it, and a later keyword connects with it.
test_remote_password() {
  settings ShowWarning=0
  trace_connections
  start_main_window
  click_tool_button "$REMOTE_BUTTON"
  DIALOG=$(drv wait-window "$FORM_CLASS" "$REMOTE_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Remote button opens no dialog"
  drv click-child "$DIALOG" "Use Administrador credentials" || abort "no credentials box"
  local edits
  mapfile -t edits < <(drv children "$DIALOG" | children_of_class Edit)
  [ "${#edits[@]}" = 3 ] || abort "the Remote dialog has ${#edits[@]} edits, not 3"
  type_into "${edits[0]}" pc1
  type_into "${edits[1]}" tester
  type_into "${edits[2]}" s3cr3tpw
  check_eq "the password typed" "$(drv read-text "${edits[2]}")" s3cr3tpw
  drv click-child "$DIALOG" "&OK"
  check "the Remote dialog closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  # Wine has no network provider: the connection is refused, and the box tells so.
  local box
  box=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") || abort "no box about the connection"
  drv click-child "$box" OK >/dev/null
  drv wait-gone "$box" "$WINDOW_MS" >/dev/null
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  check "the settings file holds no byte of the password" file_lacks s3cr3tpw
  check_saved_settings LastCheckDay="$(today_day_number)" ShowWarning=0 RemoteComputer=pc1 \
    UseCredentials=1 UserName=tester

  run_keyword abort pc1
  check_eq "\"abort pc1\" connects with the stored account and password" "$CONNECTIONS" \
    '"tester" "s3cr3tpw"'
  check_eq "the exit code is the connection's error" "$exit_code" $((1222 % 256))
}

# fill_target_dialog: the Remote or Abort dialog in DIALOG, with the computer pc1 and the account
# tester with the remote password, confirmed; the refused connection's box is answered.
fill_target_dialog() {
  drv click-child "$DIALOG" "Use Administrador credentials" || abort "no credentials box"
  local edits box
  mapfile -t edits < <(drv children "$DIALOG" | children_of_class Edit)
  [ "${#edits[@]}" = 3 ] || abort "the dialog has ${#edits[@]} edits, not 3"
  type_into "${edits[0]}" pc1
  type_into "${edits[1]}" tester
  type_into "${edits[2]}" "$REMOTE_PASSWORD"
  drv click-child "$DIALOG" "&OK"
  check "the dialog closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  box=$(drv wait-window '#32770' "$CAPTION" "$WINDOW_MS") || abort "no box about the connection"
  drv click-child "$box" OK >/dev/null
  drv wait-gone "$box" "$WINDOW_MS" >/dev/null
}

# found FORM < REPORT: how many copies the memory scan found of one password's form.
found() {
  awk -F '\t' -v form="$1" '$1 == form { print $2 }'
}

# After the Automatic Logon dialog, the Remote dialog and an abort with credentials, the main
# window's process holds no copy of the automatic logon's password, and of the remote password
# only the one of its settings, in either encoding.
test_password_copies() {
  settings ShowWarning=0
  cp "$SCAN_DLL" "$E2E_DIR/memory_scan.dll"
  start_main_window
  drv key "$MAIN" ctrl+l
  wait_autologon_dialog "Ctrl+L"
  drv click-child "$DIALOG" AutoLogon || abort "the dialog has no AutoLogon box"
  local edits report
  mapfile -t edits < <(drv children "$DIALOG" | children_of_class Edit)
  type_into "${edits[0]}" alice
  type_into "${edits[1]}" "$AUTOLOGON_PASSWORD"
  drv click-child "$DIALOG" "&OK" || abort "the dialog has no OK button"
  answer_plain_password_question OK
  check "the AutoLogon dialog closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  check_eq "the password is written" "$(reg_value "$WINLOGON_KEY" DefaultPassword)" \
    "$AUTOLOGON_PASSWORD"

  click_tool_button "$REMOTE_BUTTON"
  DIALOG=$(drv wait-window "$FORM_CLASS" "$REMOTE_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Remote button opens no dialog"
  fill_target_dialog
  drv key "$MAIN" alt+a a
  DIALOG=$(drv wait-window "$FORM_CLASS" "$ABORT_TITLE" "$WINDOW_MS") ||
    abort "Action, Abort Remote Shutdown opens no dialog"
  fill_target_dialog

  report=$(drv inject "$(drv pid "$MAIN")" "C:\\$E2E_FOLDER\\memory_scan.dll" "$SCAN_MS") ||
    abort "the memory scan did not report"
  log "memory scan: $report"
  check_eq "no copy of the automatic logon's password in ANSI" \
    "$(found autologon-ansi <<<"$report")" 0
  check_eq "no copy of the automatic logon's password in UTF-16" \
    "$(found autologon-utf16 <<<"$report")" 0
  check_eq "the remote password once in ANSI, in the settings" \
    "$(found remote-ansi <<<"$report")" 1
  check_eq "no copy of the remote password in UTF-16" "$(found remote-utf16 <<<"$report")" 0
}

# An earlier version's file with a password: the password is used, and it moves from the file to
# the credential store at the first save.
test_password_migration() {
  settings ShowWarning=0 UseCredentials=1 UserName=admin Password=oldsecret
  trace_connections
  run_keyword abort pc1
  check_eq "the password of the earlier version's file is used" "$CONNECTIONS" \
    '"admin" "oldsecret"'
  check "the settings file no longer holds the password" file_lacks oldsecret
  check_saved_settings LastCheckDay="$(today_day_number)" ShowWarning=0 UseCredentials=1 \
    UserName=admin
  run_keyword abort pc1
  check_eq "the next run connects with the password from the credential store" "$CONNECTIONS" \
    '"admin" "oldsecret"'
}

# The program's start-up box, when it shows one within the time; sets BOX and BOX_TEXT.
wait_startup_box() {
  BOX=$(drv wait-window '#32770' "$CAPTION" "$1") || return 1
  BOX_TEXT=$(drv children "$BOX" | cut -f 3 | tr '\n' ' ')
}

run_value_absent() {
  [ -z "$(reg_value "$RUN_KEY" DorvaneShutdown)" ]
}

# A settings file another program holds at start-up: held for a second it is read after the
# retry; held for ten it is kept byte for byte through Exit, with the Run value as the user left
# it; Preferences OK then saves over it and keeps the old file as DorvaneShutdown.dat.bak.
test_settings_locked() {
  local kept=$e2e_prefix/kept.dat backup=$SETTINGS_FILE.bak
  settings RunAtStartup=0 WarnSeconds=42
  wine reg delete "$RUN_KEY" /v DorvaneShutdown /f >/dev/null 2>&1

  hold_file_locked "$SETTINGS_FILE" 1000 "$MAIN_CLASS"
  start_main_window
  wait_exit "$LOCKER" 30 || abort "the file is still held"
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  check_saved_settings LastCheckDay="$(today_day_number)" RunAtStartup=0 WarnSeconds=42
  check "a file held for a second is read: no Run value" run_value_absent

  cp "$SETTINGS_FILE" "$kept"
  hold_file_locked "$SETTINGS_FILE" 10000 "$MAIN_CLASS"
  start_program
  APP=$!
  wait_startup_box "$FIRST_WINDOW_MS" || abort "no box tells that the settings were not read"
  check "the box tells that the settings could not be read" grep -q "could not be read" \
    <<<"$BOX_TEXT"
  drv click-child "$BOX" OK >/dev/null
  wait_main_window
  check "the Run value is untouched at start-up" run_value_absent
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  wait_exit "$LOCKER" 30 || abort "the file is still held"
  check "the held file is left byte for byte" cmp -s "$kept" "$SETTINGS_FILE"
  check "the Run value is untouched at the exit" run_value_absent
  check "no copy is kept without Preferences OK" test ! -e "$backup"

  hold_file_locked "$SETTINGS_FILE" 3000 "$MAIN_CLASS"
  start_program
  APP=$!
  wait_startup_box "$FIRST_WINDOW_MS" || abort "no box tells that the settings were not read"
  drv click-child "$BOX" OK >/dev/null
  wait_main_window
  wait_exit "$LOCKER" 30 || abort "the file is still held"
  drv key "$MAIN" ctrl+o
  DIALOG=$(drv wait-window "$FORM_CLASS" Preferences "$WINDOW_MS") || abort "no Preferences"
  drv click-child "$DIALOG" "Force applications to terminate."
  drv click-child "$DIALOG" "&OK"
  check "Preferences closes" drv wait-gone "$DIALOG" "$WINDOW_MS"
  local waited=0
  while [ ! -e "$backup" ] && [ "$waited" -lt 50 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  check "Preferences OK keeps the old file as DorvaneShutdown.dat.bak" cmp -s "$kept" "$backup"
  check_eq "and saves the settings over it" "$(settings_field ForceApps)" 1
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  check_eq "the exit saves again" "$(settings_field ForceApps)" 1
}

# From a folder whose path takes over 300 bytes in UTF-8 (166 Cyrillic letters, under MAX_PATH
# characters), the settings file is written next to the program and nowhere else.
test_long_folder() {
  local letters="" i parent
  for ((i = 0; i < 83; i++)); do
    letters+="Ж"
  done
  parent=$e2e_prefix/drive_c/$letters
  E2E_DIR=$parent/$letters
  mkdir -p "$E2E_DIR"
  mv "$e2e_prefix/drive_c/$E2E_FOLDER/$E2E_PROGRAM" "$E2E_DIR/" ||
    abort "the program could not be moved into the long folder"
  SETTINGS_FILE=$E2E_DIR/DorvaneShutdown.dat
  settings WarnSeconds=42
  start_from_folder
  drv key "$MAIN" alt+f4
  expect_exit "Exit ends the program" 30
  check_saved_settings LastCheckDay="$(today_day_number)" WarnSeconds=42
  check "no settings file in the folder above" test ! -e "$parent/DorvaneShutdown.dat"
  check "nor on the drive's root" test ! -e "$e2e_prefix/drive_c/DorvaneShutdown.dat"
  check_eq "the Run value names the program in its folder" \
    "$(reg_value "$RUN_KEY" DorvaneShutdown)" "C:\\$letters\\$letters\\$E2E_PROGRAM"
}

begin_test "$3" "$4"
"test_$test_name"
finish
