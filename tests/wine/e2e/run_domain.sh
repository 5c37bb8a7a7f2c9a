#!/usr/bin/env bash
# End-to-end tests of the domain action with many computers under Wine and Xvfb, driven from
# outside like run_e2e.sh: the computers are asked at once while the main window keeps
# answering, this computer last, one result window at the end instead of a box per computer, a
# line in the results log for each request, a damaged list reported once, and the withdrawal of a
# run by "domainabort".
#
#   run_domain.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe SLOW_REQUESTS.dll
#
# TEST is one of the test_* functions below, without the prefix. SLOW_REQUESTS.dll, loaded into
# the program by the driver, makes each remote shutdown request take a second, as over a
# network, and refuses those to computers whose names start with "FAIL". Screenshots of the
# progress and the result window go to BUILD_DIR/screenshots.
#
# Nothing here reaches the network or this machine: Wine only traces a remote shutdown request
# (WINEDEBUG=fixme+advapi) and its abort (trace+advapi), this computer's included, and lists no
# computers of a domain.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 5 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe SLOW_REQUESTS.dll" "$@"
readonly SLOW_DLL=$5

readonly FORM_CLASS=DorvaneForm
readonly DOMAIN_TITLE="Shutdown a complete domain"
readonly RESULT_TITLE="Domain Shutdown result"
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly LOG_FILE=DorvaneShutdown.log
readonly DOMAIN_BUTTON=7
readonly WINDOW_MS=10000
readonly INJECT_MS=20000
# Long enough for any run of these tests, one computer after the other included.
readonly RUN_MS=90000
# What the slowed requests take each, and the error of a refused one (the network path was not
# found).
readonly REQUEST_MS=1000
readonly REFUSED_ERROR=53
# Asked at once, 60 requests of a second take a few seconds; one after the other, a minute.
readonly CONCURRENT_RUN_MS=15000
readonly MAX_IN_FLIGHT=16
# A window that answers within this time still feels immediate to the user.
readonly ANSWER_MS=250

# The program's settings: no countdown before the action, no update check today.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" ShowWarning=0 >"$SETTINGS_FILE"
}

# Starts the program with Wine's trace of the remote shutdown requests going to TRACE; sets APP
# and MAIN.
start_traced_program() {
  TRACE=$e2e_prefix/trace.log
  (cd "$E2E_DIR" && WINEDEBUG=-all,fixme+advapi exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM") \
    >/dev/null 2>"$TRACE" &
  APP=$!
  wait_main_window
}

# The computers Wine was asked to shut down, in the order asked, from the trace.
traced_requests() {
  sed -n 's/.*fixme:advapi:InitiateSystemShutdown[A-Za-z]* L\{0,1\}"\([^"]*\)".*/\1/p' "$TRACE"
}

# Loads the slow requests into the program; sets OWN_NAME, the name Wine gives this computer.
slow_down_requests() {
  cp "$SLOW_DLL" "$E2E_DIR/slow_requests.dll"
  CALLS=$E2E_DIR/slow_requests.calls
  local report
  report=$(drv inject "$(drv pid "$MAIN")" "C:\\$E2E_FOLDER\\slow_requests.dll" "$INJECT_MS") ||
    abort "the slow requests were not loaded into the program"
  OWN_NAME=$(awk -F '\t' '$1 == "hooked" { print $2 }' <<<"$report")
  [ -n "$OWN_NAME" ] || abort "the program's remote shutdown requests were not slowed: $report"
  pass "the program's requests take a second each; this computer is called $OWN_NAME"
}

# A click in the middle of the toolbar's Domain button, then OK in its dialog: the domain action
# starts.
start_domain_action() {
  local dialog
  click_tool_button "$DOMAIN_BUTTON"
  dialog=$(drv wait-window "$FORM_CLASS" "$DOMAIN_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Domain button opens no dialog \"$DOMAIN_TITLE\""
  drv click-child "$dialog" "&OK" || abort "the domain dialog has no OK button"
}

# Polls the main window in the background until the result shows; the polls and the longest
# answer go to ANSWERS.
watch_main_window() {
  ANSWERS=$e2e_prefix/answers
  drv watch-answers "$MAIN" - "$RESULT_TITLE" "$RUN_MS" >"$ANSWERS" &
  WATCHER=$!
}

# The main window answered every poll during the run within ANSWER_MS; a run of slowed requests
# lasts long enough for more than 10 polls, a quick one (MIN_POLLS) for fewer.
check_main_window_answered() {
  local min_polls=${1:-10}
  wait "$WATCHER"
  local polls longest
  read -r polls longest <"$ANSWERS"
  log "the main window answered $polls polls during the run, the slowest in ${longest:-?} ms"
  check "the main window was polled during the run" test "${polls:-0}" -gt "$min_polls"
  check "the main window answers within $ANSWER_MS ms throughout the run" \
    test "${longest:-$RUN_MS}" -le "$ANSWER_MS"
}

# Waits for the result window while noting every message box of the program; sets RESULT and
# BOXES.
wait_result_window() {
  local start=$SECONDS
  BOXES=""
  RESULT=""
  while [ -z "$RESULT" ] && [ $((SECONDS - start)) -lt $((RUN_MS / 1000)) ]; do
    BOXES+=$(drv find-windows '#32770' - | awk '$2 == 1')
    RESULT=$(drv find-windows - "$RESULT_TITLE" | awk '$2 == 1 { print $1; exit }')
  done
  [ -n "$RESULT" ] || abort "no window \"$RESULT_TITLE\" after $((RUN_MS / 1000)) s"
  pass "the window \"$RESULT_TITLE\" appears"
}

# One result window and no message box; sets SUMMARY and FAILURES (line ends as \r\n).
check_one_result() {
  check_eq "message boxes seen during the run" "$BOXES" ""
  check_eq "message boxes open with the result" "$(drv find-windows '#32770' - | awk '$2 == 1')" ""
  check_eq "result windows" "$(drv find-windows - "$RESULT_TITLE" | awk '$2 == 1' | wc -l)" 1
  local children memo
  children=$(drv children "$RESULT")
  log "result window children (handle, class, text, visible, enabled, left,top,width,height):"
  log "$children"
  SUMMARY=$(awk -F '\t' '$2 == "Static" && $3 != "" { print $3; exit }' <<<"$children")
  memo=$(awk -F '\t' '$2 == "Edit" { print $1; exit }' <<<"$children")
  [ -n "$memo" ] || abort "the result window lists nothing"
  FAILURES=$(drv read-text "$memo")
  log "the result lists: $FAILURES"
}

# OK closes the result; the program goes on.
close_result() {
  drv click-child "$RESULT" OK || fail "the result window has no OK button"
  check "OK closes the result window" drv wait-gone "$RESULT" "$WINDOW_MS"
  check "the program keeps running" running "$APP"
  check_eq "the main window stays visible" "$(drv visible "$MAIN")" 1
}

# request_lines LOG: the log's lines but those that open and close a run.
request_lines() {
  awk -F '\t' '$2 != "begin" && $2 != "end"' "$1"
}

# The text of the progress window's label.
progress_label() {
  drv children "$1" | awk -F '\t' '$2 == "Static" { print $3; exit }'
}

# The most requests the slowed calls had in flight at one moment.
most_in_flight() {
  awk -F '\t' '{ print $2, 1; print $3, -1 }' "$CALLS" | sort -k1,1n -k2,2n |
    awk '{ now += $2; if (now > most) most = now } END { print most + 0 }'
}

test_concurrent() {
  settings
  start_traced_program
  slow_down_requests
  # 60 computers: three switched off, this computer in the middle.
  local names=() i
  for i in $(seq -w 1 56); do
    names+=("PC$i")
  done
  names=("${names[@]:0:10}" FAIL01 "${names[@]:10:20}" FAIL02 "$OWN_NAME"
    "${names[@]:30:26}" FAIL03)
  check_eq "computers in the list" "${#names[@]}" 60
  printf '%s\r\n' "${names[@]}" >"$E2E_DIR/$LIST_FILE"

  watch_main_window
  start_domain_action
  local progress label
  progress=$(drv wait-window "$FORM_CLASS" "Domain Shutdown" "$WINDOW_MS" msctls_progress32) ||
    abort "no progress window"
  pass "a progress window shows"
  # The picture once the computers are found and the first requests have ended, so that it
  # shows some progress.
  local waited=0
  while label=$(progress_label "$progress") && ! grep -qE '^[1-9]' <<<"$label" &&
    [ "$waited" -lt 50 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  check "the progress window tells how far the run is (\"$label\")" \
    grep -qE '^[1-9][0-9]* of 60 computers asked, [0-9]+ failed$' <<<"$label"
  screenshot domain_progress

  wait_result_window
  check_main_window_answered
  check "the progress window is gone" drv wait-gone "$progress" "$WINDOW_MS"
  screenshot domain_result
  check_one_result
  check_eq "the result's summary" "$SUMMARY" "57 of 60 computers took the request, 3 failed."
  local name
  for name in FAIL01 FAIL02 FAIL03; do
    check "the result names $name" grep -qF "$name: " <<<"$FAILURES"
  done
  check_eq "computers the result names" "$(grep -o '\\r\\n' <<<"$FAILURES" | wc -l)" 3

  # Each request as the hook saw it: the name, when it started and ended, and its result.
  check_eq "requests made" "$(wc -l <"$CALLS")" 60
  check_eq "computers asked more than once" "$(cut -f1 "$CALLS" | sort | uniq -d)" ""
  check_eq "computers asked" "$(cut -f1 "$CALLS" | sort)" "$(printf '%s\n' "${names[@]}" | sort)"
  local span own_start others_end in_flight
  span=$(awk -F '\t' 'NR == 1 || $2 < s { s = $2 } $3 > e { e = $3 } END { print e - s }' "$CALLS")
  log "the requests took $span ms from the first one's start to the last one's end"
  check "60 requests of $REQUEST_MS ms end within $CONCURRENT_RUN_MS ms ($span ms)" \
    test "$span" -lt "$CONCURRENT_RUN_MS"
  in_flight=$(most_in_flight)
  log "at most $in_flight requests were in flight at once"
  check "no more than $MAX_IN_FLIGHT requests in flight at once ($in_flight)" \
    test "$in_flight" -le "$MAX_IN_FLIGHT"
  own_start=$(awk -F '\t' -v own="$OWN_NAME" '$1 == own { print $2 }' "$CALLS")
  others_end=$(awk -F '\t' -v own="$OWN_NAME" '$1 != own && $3 > e { e = $3 } END { print e }' \
    "$CALLS")
  check "this computer is asked after every other request ended" \
    test "${own_start:-0}" -ge "${others_end:-0}"

  # Wine's own trace: each computer that was not refused once, this computer last.
  local traced
  traced=$(traced_requests)
  check_eq "requests Wine saw" "$(wc -l <<<"$traced")" 57
  check_eq "computers Wine was asked more than once" "$(sort <<<"$traced" | uniq -d)" ""
  check_eq "the last request Wine saw" "$(tail -1 <<<"$traced")" "$OWN_NAME"

  # The results log: the run whole, a line for each request, the refused ones with their error.
  local log_file=$E2E_DIR/$LOG_FILE requests
  requests=$(request_lines "$log_file")
  check_eq "the run's first and last line" "$(cut -f2 "$log_file" | sed -n '1p;$p' | tr '\n' ' ')" \
    "begin end "
  check_eq "request lines in $LOG_FILE" "$(wc -l <<<"$requests")" 60
  check_eq "computers in $LOG_FILE" "$(cut -f3 <<<"$requests" | sort)" \
    "$(printf '%s\n' "${names[@]}" | sort)"
  check_eq "lines of $LOG_FILE not for domainshutdown" \
    "$(awk -F '\t' '$2 != "domainshutdown"' <<<"$requests")" ""
  check_eq "computers $LOG_FILE shows refused" \
    "$(awk -F '\t' -v e="$REFUSED_ERROR" '$4 == e { print $3 }' <<<"$requests" | sort |
      tr '\n' ' ')" "FAIL01 FAIL02 FAIL03 "
  close_result
}

test_damaged_list() {
  settings
  start_traced_program
  # Three computers among 5000 lines that can't be names.
  {
    printf 'GOOD1\r\n'
    for i in $(seq 1 5000); do
      printf 'no such name %d\r\n' "$i"
      [ "$i" -eq 2500 ] && printf 'GOOD2\r\n'
    done
    printf 'GOOD3\r\n'
  } >"$E2E_DIR/$LIST_FILE"

  watch_main_window
  start_domain_action
  wait_result_window
  check_main_window_answered 0
  screenshot domain_damaged_list_result
  check_one_result
  # Every line that names no computer counts as a failure.
  check_eq "the result's summary" "$SUMMARY" "3 of 5003 computers took the request, 5000 failed."
  check "the result counts every damaged line" grep -qF \
    "5000 lines of $LIST_FILE can't be computer names; no request was sent for them:" \
    <<<"$FAILURES"
  check "the result names the first damaged line" grep -qF 'line 2: no such name 1\r\n' \
    <<<"$FAILURES"
  check "the result names the tenth damaged line" grep -qF 'line 11: no such name 10\r\n' \
    <<<"$FAILURES"
  check "the result names no eleventh" test "$(grep -o 'line [0-9]*:' <<<"$FAILURES" | wc -l)" \
    -eq 10
  check "the result tells how many more" grep -qF 'and 4990 more.' <<<"$FAILURES"
  check_eq "the computers Wine was asked" "$(traced_requests | sort | tr '\n' ' ')" \
    "GOOD1 GOOD2 GOOD3 "
  # The log tells the requests and, for the next morning, each damaged line with its number.
  local requests
  requests=$(request_lines "$E2E_DIR/$LOG_FILE")
  check_eq "computers $LOG_FILE shows asked" \
    "$(awk -F '\t' '$4 == 0 { print $3 }' <<<"$requests" | sort | tr '\n' ' ')" "GOOD1 GOOD2 GOOD3 "
  check_eq "damaged lines in $LOG_FILE" "$(awk -F '\t' '$4 == 123' <<<"$requests" | wc -l)" 5000
  check "$LOG_FILE names the first damaged line's number" grep -qF \
    "$(printf 'no such name 1\t123\t')" <<<"$(grep -F "(line 2 of $LIST_FILE)" <<<"$requests")"
  close_result
}

# run_keyword KEYWORD: the program started with the keyword alone, as a scheduled task starts it,
# with Wine's trace of the remote shutdown requests and their aborts going to TRACE; sets
# exit_code.
run_keyword() {
  TRACE=$e2e_prefix/trace.$1.log
  (cd "$E2E_DIR" &&
    WINEDEBUG=-all,fixme+advapi,trace+advapi exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM" "$1") \
    >/dev/null 2>"$TRACE" &
  wait_exit $! $((RUN_MS / 1000)) || abort "the program still runs $((RUN_MS / 1000)) s after \"$1\""
}

# The computers Wine was asked to withdraw a shutdown from, from the trace.
traced_aborts() {
  sed -n 's/.*trace:advapi:AbortSystemShutdownA stub "\([^"]*\)".*/\1/p' "$TRACE"
}

# A domain shutdown with a 30 s warning on the computers, then "domainabort" while it counts down:
# each computer asked gets its shutdown withdrawn, and the log keeps both runs whole.
test_abort() {
  settings_bytes LastCheckDay="$(today_day_number)" ShowWarning=0 ShowRemoteWarning=1 \
    RemoteWarnSeconds=30 >"$SETTINGS_FILE"
  printf '%s\r\n' PC1 PC2 PC3 >"$E2E_DIR/$LIST_FILE"
  local started=$SECONDS
  run_keyword domainshutdown
  check_eq "\"domainshutdown\" ends the program, exit code" "$exit_code" 0
  check_eq "the computers Wine was asked to shut down" "$(traced_requests | sort | tr '\n' ' ')" \
    "PC1 PC2 PC3 "
  check "each request carries the 30 s warning" \
    test "$(grep -c 'InitiateSystemShutdown[A-Za-z]* .* 30 ' "$TRACE")" -ge 3
  run_keyword domainabort
  check "the abort came within the warning's 30 s" test $((SECONDS - started)) -lt 30
  check_eq "\"domainabort\" ends the program, exit code" "$exit_code" 0
  check_eq "the computers Wine was asked to withdraw the shutdown from" \
    "$(traced_aborts | sort | tr '\n' ' ')" "PC1 PC2 PC3 "
  check_eq "\"domainabort\" asks for no shutdown" "$(traced_requests)" ""

  local log_file=$E2E_DIR/$LOG_FILE
  log "$LOG_FILE: $(cat "$log_file")"
  check_eq "the actions of $LOG_FILE, line by line" "$(cut -f2 "$log_file" | tr '\n' ' ')" \
    "begin domainshutdown domainshutdown domainshutdown end begin domainabort domainabort domainabort end "
  check "the shutdown's first line names its computers and their source" \
    grep -qF "$(printf 'begin\t-\t0\tdomainshutdown: 3 computers from %s (3)' "$LIST_FILE")" \
    "$log_file"
  check "the shutdown's last line tells its outcome" grep -qE \
    "$(printf 'end\t-\t0\tdomainshutdown: 3 asked, 0 failed, not cancelled, in [0-9]+\\.[0-9] s')" \
    "$log_file"
}

begin_test "$3" "$4"
"test_$test_name"
finish
