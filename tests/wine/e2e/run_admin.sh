#!/usr/bin/env bash
# End-to-end tests of what the program asks of other computers when an administrator drives it
# from a script, read from Wine's own log of those calls, under Wine and Xvfb like run_e2e.sh.
#
#   run_admin.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Prints one PASS or FAIL line a
# check; the exit status is 0 when all passed.
#
# Nothing here reaches the network: Wine's remote shutdown request only logs what it was asked
# (machine, message, timeout, force, reboot) on its fixme channel and reports success, and Wine
# has no network provider, so the browse list of the domain action is empty.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

# Wine's log of the remote shutdown requests, and nothing else.
readonly REQUEST_LOG_CHANNELS=-all,fixme+advapi
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly RUN_SECONDS=60
readonly SHUTDOWN_WARNING="This computer is being shut down from the network by Dorvane Shutdown. Please save your work now."

# settings VALUES...: writes the settings file. The last update check is today, so that the
# program asks no web site at its start.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# The name Wine gives this computer.
own_computer_name() {
  wine cmd /c echo %COMPUTERNAME% 2>/dev/null | tr -d '\r'
}

# run_program WINEDEBUG ARGUMENTS...: runs the program from its folder with the arguments and
# Wine's debug channels WINEDEBUG until it ends, acknowledging each of its message boxes with OK.
# Sets exit_code, PROGRAM_LOG (the file with what Wine wrote to the program's stderr) and BOXES
# (the text of each box, one a line, in order); false when the program still runs after
# RUN_SECONDS.
run_program() {
  local channels=$1 start=$SECONDS app box text
  shift
  PROGRAM_LOG=$e2e_prefix/program.$BASHPID.log
  PROGRAM_OUTPUT=$e2e_prefix/output.$BASHPID.txt
  BOXES=""
  (cd "$E2E_DIR" && WINEDEBUG=$channels exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM" "$@") \
    >"$PROGRAM_OUTPUT" 2>"$PROGRAM_LOG" &
  app=$!
  while running "$app"; do
    if [ $((SECONDS - start)) -ge "$RUN_SECONDS" ]; then
      return 1
    fi
    for box in $(drv find-windows '#32770' "$CAPTION" | awk '$2 == 1 { print $1 }'); do
      text=$(drv children "$box" | awk -F '\t' '$2 == "Static" && $3 != "" { print $3 }')
      BOXES+="$text"$'\n'
      drv click-child "$box" OK >/dev/null
      drv wait-gone "$box" 5000 >/dev/null
    done
    sleep 0.2
  done
  wait "$app"
  exit_code=$?
}

# The remote shutdown requests of the last run, one a line, as Wine logged them: the machine
# name and the message quoted, then the timeout, force and reboot.
requests() {
  sed -n 's/^[0-9a-f]*:fixme:advapi:InitiateSystemShutdownExA //p' "$PROGRAM_LOG" |
    sed 's/ 0x[0-9a-f]*$//'
}

# The list file holds a comment, a name with two leading backslashes, this computer (in other
# letter case, before the others), a blank line, the first name again in other case and without
# backslashes, another name, and one too long for any computer.
test_domain_list() {
  local own overlong expected
  own=$(own_computer_name)
  [ -n "$own" ] || abort "Wine tells no computer name"
  overlong=$(printf 'x%.0s' {1..64})
  settings ShowWarning=0 ShowRemoteWarning=1 RemoteWarnSeconds=33
  printf '# the lab\r\n\\\\PC1\r\n%s\r\n\r\npc1\r\nPC2\r\n%s\r\n' \
    "${own,,}" "$overlong" >"$E2E_DIR/$LIST_FILE"
  run_program "$REQUEST_LOG_CHANNELS" domainshutdown ||
    abort "the program still runs $RUN_SECONDS s after \"domainshutdown\""
  # The overlong line is the first failure, and no request went out for it.
  check_eq "\"domainshutdown\" ends the program, exit code" "$exit_code" 123
  # The others are asked at once and may start in any order, sorted here; this computer comes
  # last. Wine's log quotes backslashes doubled.
  expected=$(printf '"%s" "%s" 33 0 0\n' PC2 "$SHUTDOWN_WARNING" '\\\\PC1' "$SHUTDOWN_WARNING" \
    "${own,,}" "$SHUTDOWN_WARNING")
  check_eq "the requests, each computer once and this one last" \
    "$(requests | head -n -1 | LC_ALL=C sort; requests | tail -n 1)" "$expected"
  # With its output redirected the result goes there, one report for the list: no box.
  check_eq "no box" "$BOXES" ""
  # Each report on a line of its own; the line that names no computer counts as a failure.
  expected=$(printf '%s\r\n' \
    "1 line of $LIST_FILE can't be a computer name; no request was sent for it:" \
    "line 7: ${overlong:0:40}..." \
    "3 of 4 computers took the request, 1 failed.")
  check_eq "the result on the output" "$(cat "$PROGRAM_OUTPUT")" "$expected"
}

readonly REBOOT_WARNING="This computer is being restarted from the network by Dorvane Shutdown. Please save your work now."
# Wine's own log of an abort (its trace channel names the machine) and the relay trace of the
# abort and the administrative-share connection, with their arguments.
readonly ABORT_LOG_CHANNELS=-all,trace+advapi,+relay
readonly ABORT_RELAY="advapi32.AbortSystemShutdownA;mpr.WNetAddConnection2A"

# The aborts of the last run, the machine name quoted, one a line, as Wine logged them.
aborts() {
  sed -n 's/^[0-9a-f]*:trace:advapi:AbortSystemShutdownA stub \(.*\) (harmless)$/\1/p' \
    "$PROGRAM_LOG"
}

# The calls of the last run in the relay trace, "dll.Name(arguments)" a line.
relayed_calls() {
  sed -n 's/^[0-9a-f]*:Call \([a-z0-9]*\.[A-Za-z0-9]*(.*)\) ret=.*/\1/p' "$PROGRAM_LOG"
}

trace_aborts() {
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$ABORT_RELAY" /f >/dev/null 2>&1 ||
    abort "the relay trace could not be set up"
}

# run_in_console ARGUMENTS...: the program started by cmd in a terminal, as a batch line starts
# it; sets CONSOLE (what the terminal shows, without its control sequences and carriage returns)
# and ERRORLEVEL (the whole exit code, as a batch file reads it).
run_in_console() {
  local output=$e2e_prefix/console.$BASHPID.txt line
  line="C:\\$E2E_FOLDER\\$E2E_PROGRAM $* & echo errorlevel=!ERRORLEVEL!"
  (cd "$E2E_DIR" && timeout "$RUN_SECONDS" script -qec "wine cmd /v:on /c '$line'" /dev/null \
    </dev/null >"$output" 2>&1)
  CONSOLE=$(sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$output" | grep -v '^errorlevel=')
  ERRORLEVEL=$(sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$output" |
    sed -n 's/^errorlevel=//p')
}

# "remotereboot PC1": one reboot request with the stored message and timeout, no dialog, and the
# program ends by itself, without its exit question.
test_remote_reboot_keyword() {
  settings ShowWarning=0 ShowRemoteWarning=1 RemoteWarnSeconds=45 ConfirmExit=1
  run_program "$REQUEST_LOG_CHANNELS" remotereboot PC1 ||
    abort "the program still runs $RUN_SECONDS s after \"remotereboot PC1\""
  check_eq "\"remotereboot PC1\" ends the program, exit code" "$exit_code" 0
  check_eq "one reboot request with the stored message and timeout" "$(requests)" \
    "\"PC1\" \"$REBOOT_WARNING\" 45 0 1"
  check_eq "no message box" "$BOXES" ""
}

# "abort PC1": one abort of PC1 at once (no countdown), no connection, exit code 0.
test_abort_keyword() {
  settings ShowWarning=1 WarnSeconds=30 ConfirmExit=1
  trace_aborts
  run_program "$ABORT_LOG_CHANNELS" abort PC1 ||
    abort "the program still runs $RUN_SECONDS s after \"abort PC1\""
  check_eq "\"abort PC1\" ends the program, exit code" "$exit_code" 0
  check_eq "Wine is asked to abort PC1's shutdown" "$(aborts)" '"PC1"'
  check_eq "one abort and no connection" "$(relayed_calls | cut -d'(' -f1)" \
    advapi32.AbortSystemShutdownA
  check_eq "no message box" "$BOXES" ""
}

# With stored credentials the abort goes through PC1's administrative share. Wine has no network
# provider: the connection is refused, nothing is aborted, and the refusal is the result.
test_abort_keyword_credentials() {
  settings ShowWarning=0 UseCredentials=1 UserName=admin Password=secret
  trace_aborts
  run_program "$ABORT_LOG_CHANNELS" abort PC1 ||
    abort "the program still runs $RUN_SECONDS s after \"abort PC1\""
  local calls
  calls=$(relayed_calls)
  check "the connection is asked with the stored account" \
    grep -q '^mpr\.WNetAddConnection2A([0-9a-f]*,[0-9a-f]* "secret",[0-9a-f]* "admin",00000000)$' \
    <<<"$calls"
  check_eq "nothing is aborted without the connection" "$(aborts)" ""
  check_eq "no message box: the result goes to the output the script redirected" "$BOXES" ""
  # Wine refuses with ERROR_NO_NETWORK (1222); a Linux exit status keeps its low byte.
  check_eq "the exit code is the connection's error" "$exit_code" $((1222 % 256))
}

# Started from a console, the result goes there instead of into a box, and a batch file reads
# the whole exit code.
test_console_results() {
  settings ShowWarning=0 ConfirmExit=1
  run_in_console abort PC1
  check_eq "\"abort PC1\" tells the console" "$CONSOLE" "The pending shutdown of PC1 was aborted."
  check_eq "\"abort PC1\" errorlevel" "$ERRORLEVEL" 0
  run_in_console remoteshutdown
  check_eq "\"remoteshutdown\" without a name tells the console" "$CONSOLE" "Invalid name."
  check_eq "\"remoteshutdown\" without a name, errorlevel" "$ERRORLEVEL" 123
  settings ShowWarning=0 UseCredentials=1 UserName=admin Password=secret
  run_in_console abort PC1
  check_eq "a refused abort, errorlevel" "$ERRORLEVEL" 1222
  check "a refused abort tells the console Wine's text" test -n "$CONSOLE"
  check_eq "no message box is left open" "$(drv find-windows '#32770' "$CAPTION")" ""
}

# A keyword run that nobody watches, started as a scheduled task starts it (no console, no output
# handed over), whose request fails: the error's box closes by itself after two minutes, and the
# program ends with the error's code, so that the task learns the result and its next run finds
# no instance left. The test waits the two minutes out.
readonly BOX_TIMEOUT_SECONDS=120
test_unattended_failure() {
  settings ShowWarning=0 UseCredentials=1 UserName=admin Password=secret
  local result=$e2e_prefix/unattended.txt limit=$((BOX_TIMEOUT_SECONDS + RUN_SECONDS)) runner box
  drv unattended "C:\\$E2E_FOLDER\\$E2E_PROGRAM" $((limit * 1000)) abort PC1 >"$result" 2>&1 &
  runner=$!
  box=$(drv wait-window '#32770' "$CAPTION" "$FIRST_WINDOW_MS") || abort "the failure shows no box"
  local shown=$SECONDS
  check "the box tells Wine's text for the error" test -n \
    "$(drv children "$box" | awk -F '\t' '$2 == "Static" && $3 != "" { print $3 }')"
  sleep 60
  check_eq "the box waits for a click for a while (60 s)" "$(drv visible "$box")" 1
  wait "$runner"
  local took=$((SECONDS - shown))
  check "the box closed by itself after two minutes (${took} s after it was seen)" \
    test "$took" -ge $((BOX_TIMEOUT_SECONDS - 5)) -a "$took" -le $((BOX_TIMEOUT_SECONDS + 20))
  check_eq "the program ended with the connection's error" "$(tr -d '\r' <"$result")" 1222
  check_eq "no message box is left open" "$(drv find-windows '#32770' "$CAPTION")" ""
}

begin_test "$3" "$4"
"test_$test_name"
finish
