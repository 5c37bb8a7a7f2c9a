#!/usr/bin/env bash
# End-to-end tests of the program's web side and help under Wine and Xvfb: the update check at
# start-up against a web server on this machine (version_server.py), the home page through a
# registered browser that only records how it was started (browser_recorder.cpp), the help file
# and the About box. Screenshots of the wait notice, the update question and the About box are
# kept for a look by eye.
#
#   run_web.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe RECORDER.exe HELP.chm
#
# TEST is one of the test_* functions below, without the prefix. Screenshots go to
# BUILD_DIR/screenshots. Prints one PASS or FAIL line a check; the exit status is 0 when all
# passed.
#
# The development builds ask http://127.0.0.1:47321/version.txt and open http://127.0.0.1:47321/
# as their home page. The session's proxy (127.0.0.1:9, where nothing listens) stays in place for
# every other address; only 127.0.0.1 bypasses it, so the program reaches the server here and
# nothing else.

# The tests are called by name, which shellcheck cannot follow. start_program passes on the
# program's arguments; these tests start it without any.
# shellcheck disable=SC2317,SC2119
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
# shellcheck source=web_server.sh
source "$(dirname "$0")/web_server.sh"
test_arguments 6 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe RECORDER.exe HELP.chm" "$@"
recorder=$5
help_file=$6

readonly ABOUT_CAPTION="About Dorvane Shutdown"
readonly VERSION=1.0.0
readonly NOTICE_TEXT="Dorvane Shutdown is starting, please wait..."
# As the driver prints it: line breaks written as \n.
readonly UPDATE_QUESTION_TEXT='A newer version of Dorvane Shutdown is available.\n\n'\
'Open its home page now?'
readonly HOME_PAGE_URL=http://127.0.0.1:47321/
readonly RECORDER_PROGRAM='C:\Dorvane\recorder.exe'
readonly HELP_NAME=DorvaneShutdown.chm
readonly HELP_VIEWER_CLASS="HH Parent"
# The title the help project gives its window.
readonly HELP_TITLE="Dorvane Shutdown Help"
readonly TVM_GETCOUNT=0x1105
readonly WM_CLOSE=0x0010
readonly WM_NULL=0x0000
readonly WINDOW_MS=15000

# The program saved today as its last update check. The day may turn while the test runs:
# either side of midnight counts.
check_last_check_today() {
  local saved
  saved=$(settings_field LastCheckDay)
  if [ "$saved" = "$DAY_AT_START" ] || [ "$saved" = "$(today_day_number)" ]; then
    pass "the settings file holds today ($saved) as the last update check"
  else
    fail "the settings file holds $saved as the last update check, expected today ($DAY_AT_START)"
  fi
}

# The program, started already, asks nothing: its main window comes, and no message box.
expect_quiet_start() {
  wait_main_window
  check_eq "no message box at start-up" "$(open_boxes)" ""
}

# Starts the program and expects it to ask nothing: sets APP (the process) and MAIN (the window).
start_quietly() {
  start_program
  APP=$!
  expect_quiet_start
}

# File > Exit through its shortcut Alt+F4, which ends the program (the close box only hides it).
exit_program() {
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 30
}

# wait_question: the update question comes up; sets BOX and checks its text.
wait_question() {
  BOX=$(drv wait-window '#32770' "$CAPTION" "$FIRST_WINDOW_MS") ||
    abort "the program asks nothing: no message box with the caption \"$CAPTION\""
  pass "a message box with the caption \"$CAPTION\" appears"
  local children
  children=$(drv children "$BOX")
  check "the message box asks the update question" \
    grep -qF "$(printf '\t%s\t' "$UPDATE_QUESTION_TEXT")" <<<"$children"
  check "the message box has an OK button" grep -qP '\tButton\tOK\t' <<<"$children"
  check "the message box has a Cancel button" grep -qP '\tButton\tCancel\t' <<<"$children"
}

# answer_question BUTTON: clicks it; the box goes and the main window comes.
answer_question() {
  drv click-child "$BOX" "$1" || fail "the message box has no $1 button"
  check "the message box closes after $1" drv wait-gone "$BOX" "$WINDOW_MS"
  wait_main_window
}

# The record of the recorder's starts, one command line a line.
recorder_record() {
  tr -d '\r' <"$E2E_DIR/recorder.txt" 2>/dev/null
}

# The recorder stands in for the browser: the command registered for http is the one a browser
# registers, with the address as a quoted "%1".
install_recorder() {
  cp "$recorder" "$E2E_DIR/recorder.exe"
  wine reg add 'HKCR\http\shell\open\command' /ve /d "\"$RECORDER_PROGRAM\" \"%1\"" /f \
    >/dev/null 2>&1 || abort "the browser command could not be registered"
}

# wait_recorder LINES: waits up to 10 s for the recorder to have been started that many times.
wait_recorder() {
  local waited=0
  while [ "$(recorder_record | wc -l)" -lt "$1" ] && [ "$waited" -lt 50 ]; do
    sleep 0.2
    waited=$((waited + 1))
  done
}

check_recorder_started() {
  wait_recorder "$1"
  local record
  record=$(recorder_record)
  check_eq "the browser was started $1 time(s)" "$(wc -l <<<"$record")" "$1"
  check_eq "the browser's command line is the program's path and the home page" \
    "$(tail -n 1 <<<"$record")" "\"$RECORDER_PROGRAM\" $HOME_PAGE_URL"
}

# milliseconds_since EPOCHREALTIME: the time passed since then.
milliseconds_since() {
  local now=$EPOCHREALTIME
  # Both are seconds with six decimals: without the separator, microseconds.
  echo $(((${now//[.,]/} - ${1//[.,]/}) / 1000))
}

answers_messages() {
  drv send "$1" "$WM_NULL" 0 0 >/dev/null
}

# The program still answers messages: it neither crashed nor hangs.
check_responsive() {
  check "the program keeps running" running "$APP"
  check "the main window answers messages" answers_messages "$MAIN"
}

# A newer version, answered late: the wait notice is up while the program waits for the reply,
# then the update question comes; Cancel leads to the main window, and the day is saved.
test_newer_version() {
  start_server_with '9.9.9\n' --delay 2
  # The driver is started before the program, so that it sees the notice at once.
  local found=$e2e_prefix/notice
  drv wait-window "!$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS" Static >"$found" &
  local waiter=$!
  start_program
  APP=$!
  wait "$waiter" || abort "no wait notice appears"
  # The notice is up for the 2 s the server waits: the checks that need it come first.
  local seen=$EPOCHREALTIME notice children
  notice=$(cat "$found")
  children=$(drv children "$notice")
  screenshot wait_notice
  check_eq "the wait notice was still shown after the screenshot" "$(drv visible "$notice")" 1
  log "the notice was read and photographed within $(milliseconds_since "$seen") ms"
  pass "a window with the caption \"$CAPTION\" appears while the reply is awaited"
  check "the wait notice shows its text in a visible static control" \
    grep -qP "^0x[0-9a-f]+\tStatic\t\Q$NOTICE_TEXT\E\t1\t" <<<"$children"
  log "wait notice children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  log "wait notice: class $(drv class "$notice"), client size $(drv client-size "$notice")"
  wait_question
  screenshot update_question
  answer_question Cancel
  check "the wait notice is gone" drv wait-gone "$notice" "$WINDOW_MS"
  check_requests 1
  exit_program
  check_last_check_today
}

# The web site names this very version: nothing to ask; the completed check is saved.
test_same_version() {
  start_server_with '1.0.0\n'
  start_quietly
  check_requests 1
  exit_program
  check_last_check_today
}

# The version file is missing: nothing to ask, and the check counts as not done.
test_version_not_found() {
  start_server_with '9.9.9\n' --status 404
  start_quietly
  check_requests 1
  exit_program
  check_eq "the last update check stays never (0)" "$(settings_field LastCheckDay)" 0
}

# Once checked, the program does not ask the web site again for two days.
test_once_a_day() {
  start_server_with '1.0.0\n'
  start_quietly
  exit_program
  check_requests 1
  check_last_check_today
  log "second start on the same day"
  start_quietly
  exit_program
  check_requests 1
  check_last_check_today
  log "a start on the day after the last check"
  settings_bytes LastCheckDay=$((DAY_AT_START - 1)) >"$SETTINGS_FILE"
  start_quietly
  exit_program
  check_requests 1
  check_eq "the last update check stays yesterday" "$(settings_field LastCheckDay)" \
    $((DAY_AT_START - 1))
  log "a start two days after the last check"
  settings_bytes LastCheckDay=$((DAY_AT_START - 2)) >"$SETTINGS_FILE"
  start_quietly
  exit_program
  check_requests 2
  check_last_check_today
}

# Help > About (Ctrl+A): the About box names the program's version.
test_about_box() {
  settings_bytes LastCheckDay="$DAY_AT_START" >"$SETTINGS_FILE"
  start_quietly
  drv key "$MAIN" ctrl+a
  local about
  about=$(drv wait-window - "$ABOUT_CAPTION" "$WINDOW_MS") || abort "Ctrl+A opens no About box"
  pass "Ctrl+A opens a window with the caption \"$ABOUT_CAPTION\""
  local children
  children=$(drv children "$about")
  log "About box children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  check "the About box names version $VERSION" \
    grep -qP "^0x[0-9a-f]+\t[^\t]+\t[^\t]*\Q$VERSION\E" <<<"$children"
  screenshot about
  drv click-child "$about" OK || fail "the About box has no OK button"
  check "OK closes the About box" drv wait-gone "$about" "$WINDOW_MS"
  check_responsive
  exit_program
}

# wait_help_viewer HOW: Wine's HTML Help viewer comes up with the help file's title, inside the
# program (HtmlHelp opens its window in the calling process), and lists the file's contents.
# Sets VIEWER. Under Wine the page itself stays blank: Wine's HTML engine is off in the session.
wait_help_viewer() {
  VIEWER=$(drv wait-window "$HELP_VIEWER_CLASS" "$HELP_TITLE" "$WINDOW_MS") ||
    abort "$1 opens no help viewer: no window of class \"$HELP_VIEWER_CLASS\" with the" \
      "caption \"$HELP_TITLE\""
  pass "$1 opens the help viewer with the help file's title"
  check_eq "the help viewer belongs to the program" "$(drv pid "$VIEWER")" "$(drv pid "$MAIN")"
  local contents items
  contents=$(drv children "$VIEWER" | child_with 2 SysTreeView32)
  if [ -z "$contents" ]; then
    fail "the help viewer has no contents tree"
    return
  fi
  items=$(drv send "$contents" "$TVM_GETCOUNT" 0 0)
  check "the contents tree lists the help file's topics ($items)" test "${items:-0}" -gt 0
}

close_help_viewer() {
  drv send "$VIEWER" "$WM_CLOSE" 0 0 >/dev/null
  check "the help viewer closes" drv wait-gone "$VIEWER" "$WINDOW_MS"
}

# F1 and Help > Index open the help file next to the program at its contents.
test_help() {
  settings_bytes LastCheckDay="$DAY_AT_START" >"$SETTINGS_FILE"
  cp "$help_file" "$E2E_DIR/$HELP_NAME"
  start_quietly
  drv key "$MAIN" f1
  wait_help_viewer F1
  screenshot help_viewer
  check_responsive
  close_help_viewer
  # Alt+H opens the Help menu, I chooses its "&Index".
  drv key "$MAIN" alt+h i
  wait_help_viewer "Help > Index"
  check_responsive
  close_help_viewer
  check_responsive
  exit_program
}

# Help > Program Home Page starts the registered browser with the home page.
test_home_page() {
  settings_bytes LastCheckDay="$DAY_AT_START" >"$SETTINGS_FILE"
  install_recorder
  start_quietly
  # Alt+H opens the Help menu, P chooses its "&Program Home Page".
  drv key "$MAIN" alt+h p
  check_recorder_started 1
  check_responsive
  exit_program
}

# OK to the update question starts the registered browser with the home page.
test_update_answer_ok() {
  install_recorder
  start_server_with '9.9.9\n'
  start_program
  APP=$!
  wait_question
  answer_question OK
  check_recorder_started 1
  check_requests 1
  exit_program
  check_last_check_today
}

# odd_reply DESCRIPTION ASKS [version_server.py OPTIONS...]: the program starts with the reply,
# asks the update question when ASKS is 1 and nothing otherwise, and ends normally.
odd_reply() {
  local what=$1 asks=$2
  shift 2
  log "reply: $what"
  rm -f "$SETTINGS_FILE"
  start_server "$@"
  start_program
  APP=$!
  if [ "$asks" = 1 ]; then
    wait_question
    answer_question Cancel
  else
    expect_quiet_start
  fi
  check_responsive
  check_requests 1
  exit_program
  check_last_check_today
}

test_odd_replies() {
  local replies=$e2e_prefix/replies
  mkdir -p "$replies"
  # Every byte value but the digits and the dot, in a fixed shuffled order: no version at all.
  "$PYTHON" - "$replies" <<'EOF'
import random, sys
folder = sys.argv[1]
shuffled = [b for b in range(256) if not (0x30 <= b <= 0x39 or b == 0x2E)]
random.Random(1).shuffle(shuffled)
open(folder + "/garbage", "wb").write(bytes(shuffled) * 16)
# The current version, then a million bytes of padding: only the start is read.
open(folder + "/large", "wb").write(b"1.0.0\n" + b"x" * (1000000 - 6))
open(folder + "/letters", "wb").write(b"Dorvane Shutdown, the latest version\n")
# A single number far above 1: a newer version.
open(folder + "/digits", "wb").write(b"1234567890" * 8)
open(folder + "/dots", "wb").write(b"." * 60)
EOF
  odd_reply "binary garbage without digits" 0 --body-file "$replies/garbage"
  odd_reply "1,000,000 bytes" 0 --body-file "$replies/large"
  odd_reply "no digits" 0 --body-file "$replies/letters"
  odd_reply "digits only" 1 --body-file "$replies/digits"
  odd_reply "60 dots" 0 --body-file "$replies/dots"
}

[ -x "$PYTHON" ] || abort "$PYTHON is missing: install the Debian package python3"
begin_test "$3" "$4"
trap end_web_session EXIT
allow_local_server
DAY_AT_START=$(today_day_number)
"test_$test_name"
finish
