#!/usr/bin/env bash
# End-to-end tests of the computer list's directory lines against a real Active Directory: a
# throwaway domain controller (Samba) on the loopback interface serves only LDAP to the program
# under Wine, whose own LDAP client binds by Negotiate and reads the container.
#
#   run_directory.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. The domain is provisioned once
# into BUILD_DIR/directory-domain and copied for each test; the test's controller listens on
# 127.0.0.1 only, and is stopped at the end with everything else the test started.
#
# Nothing here reaches the network or this machine's power: with the stored account each request
# first connects to the computer's administrative share, which Wine refuses.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

readonly REALM=EXAMPLE.TEST
readonly NETBIOS_DOMAIN=EXAMPLE
readonly DOMAIN_DN=DC=example,DC=test
readonly ADMIN_PASSWORD='Lab-Passw0rd!'
readonly LAB_LINE="LDAP://127.0.0.1/OU=Lab,$DOMAIN_DN"
readonly MISSING_LINE="LDAP://127.0.0.1/OU=Missing,$DOMAIN_DN"
readonly LAB1_HOST_NAME=lab1.example.test
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly LOG_FILE=DorvaneShutdown.log
readonly LDAP_PORT=389
readonly PROVISION_SECONDS=180
readonly START_SECONDS=30
readonly RUN_SECONDS=60
# The program gives up a container's read after a minute; a run with a silent server ends soon
# after.
readonly SILENT_RUN_SECONDS=100
readonly TIMEOUT_TEXT=Timeout
readonly TIMEOUT_CODE=1053
readonly CANCELLED_CODE=1223
readonly ALREADY_RUNNING_CODE=183
readonly FORM_CLASS=DorvaneForm
readonly PROGRESS_TITLE="Domain Shutdown"
readonly PLANNING_TEXT="Finding the computers to ask..."
readonly WINDOW_MS=60000
readonly CANCEL_SECONDS=2
readonly TERMINAL_COLUMNS=400
# Wine's texts for the LDAP errors, and the Windows codes its LdapMapErrorToWin32 gives them: a
# keyword's exit code is the first failure's code, and a container not read comes first.
readonly NO_SUCH_OBJECT="No Such Object"
readonly NO_SUCH_OBJECT_CODE=2
readonly SERVER_DOWN="Server Down"
readonly SERVER_DOWN_CODE=58
readonly INVALID_CREDENTIALS="Invalid Credentials"
readonly INVALID_CREDENTIALS_CODE=1323
# The bind needs the stored account (Wine's LDAP client can't bind as the current logon), and so
# each request connects to the computer's administrative share first, which Wine refuses: Wine has
# no network provider. The request has gone out all the same, and the results log tells it.
readonly NO_NETWORK="No network."
readonly NO_NETWORK_CODE=1222

CACHE=$build_dir/directory-domain
DIRECTORY=
SAMBA_PID=

# The account the Domain dialog stored: the domain's administrator, as DOMAIN\user.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" ShowWarning=0 UseCredentials=1 \
    "UserName=$NETBIOS_DOMAIN\\Administrator" "Password=$ADMIN_PASSWORD" "$@" >"$SETTINGS_FILE"
}

samba_tool() {
  samba-tool "$@" -s "$DIRECTORY/etc/smb.conf" >>"$DIRECTORY/samba-tool.log" 2>&1 ||
    abort "samba-tool $1 $2 failed: $(tail -3 "$DIRECTORY/samba-tool.log")"
}

# The provisioned domain, made once (it takes a while) and kept in the build folder.
provision_cache() {
  [ -f "$CACHE/provisioned" ] && return 0
  rm -rf "$CACHE"
  log "provisioning the domain $REALM into $CACHE"
  timeout "$PROVISION_SECONDS" samba-tool domain provision --realm="$REALM" \
    --domain="$NETBIOS_DOMAIN" --server-role=dc --dns-backend=NONE --host-name=dc1 \
    --adminpass="$ADMIN_PASSWORD" --targetdir="$CACHE" --option="interfaces=lo" \
    --option="bind interfaces only=yes" >"$build_dir/directory-provision.log" 2>&1 ||
    abort "the domain could not be provisioned: $(tail -3 "$build_dir/directory-provision.log")"
  touch "$CACHE/provisioned"
}

# This test's copy of the domain, serving LDAP only, with every file it writes in its folder:
# an OU Lab with LAB1 (enabled, with a DNS host name), this computer's account (enabled, without
# one) and LAB3 (disabled), and OUTSIDE (enabled) beside the OU. Sets DIRECTORY.
make_directory() {
  need_tool samba samba-ad-dc
  need_tool samba-tool samba-ad-provision
  provision_cache
  DIRECTORY=$e2e_prefix/directory
  cp -a "$CACHE" "$DIRECTORY"
  local origin conf=$DIRECTORY/etc/smb.conf
  origin=$(sed -n 's|^\s*private dir = \(.*\)/private$|\1|p' "$conf")
  [ -n "$origin" ] || abort "the provisioned smb.conf names no private dir"
  # Loopback's IPv4 address only: the provisioned "lo" would add ::1.
  sed -i -e "s|$origin|$DIRECTORY|g" \
    -e 's|^\(\s*\)interfaces = .*|\1interfaces = 127.0.0.1|' \
    -e 's|^\(\s*\)server services = .*|\1server services = ldap|' \
    -e "s|^\(\s*\)log file = .*|\1log file = $DIRECTORY/log.%m|" "$conf"
  sed -i "/^\[global\]/a\\
\tpid directory = $DIRECTORY/run\\
\tncalrpc dir = $DIRECTORY/ncalrpc\\
\twinbindd socket directory = $DIRECTORY/winbindd" "$conf"
  mkdir -p "$DIRECTORY/run"

  OWN_NAME=$(wine cmd /c echo %COMPUTERNAME% 2>/dev/null | tr -d '\r')
  [ -n "$OWN_NAME" ] || abort "Wine tells no computer name"
  samba_tool ou add OU=Lab
  local name
  for name in LAB1 "$OWN_NAME" LAB3; do
    samba_tool computer add "$name" --computerou=OU=Lab
  done
  samba_tool computer add OUTSIDE
  # New accounts start disabled.
  for name in LAB1 "$OWN_NAME" OUTSIDE; do
    samba_tool user enable "$name\$"
  done
  # samba-tool edits an account through an editor: this one adds the host name to its record.
  local editor=$DIRECTORY/add_host_name
  # shellcheck disable=SC2016 # the editor expands them
  printf '#!/bin/sh\nsed -i "/^distinguishedName:/a dNSHostName: $DNS_HOST_NAME" "$1"\n' \
    >"$editor"
  chmod +x "$editor"
  DNS_HOST_NAME=$LAB1_HOST_NAME samba_tool computer edit LAB1 --editor="$editor"
  pass "the domain has OU=Lab with LAB1 ($LAB1_HOST_NAME), $OWN_NAME and LAB3 (disabled)," \
    "and OUTSIDE"
}

ldap_port_open() {
  (exec 3<>"/dev/tcp/127.0.0.1/$LDAP_PORT") 2>/dev/null
}

start_controller() {
  ldap_port_open && abort "port $LDAP_PORT of 127.0.0.1 is taken already"
  samba -s "$DIRECTORY/etc/smb.conf" -i -M single >"$DIRECTORY/samba.log" 2>&1 &
  SAMBA_PID=$!
  local waited=0
  until ldap_port_open; do
    running "$SAMBA_PID" ||
      abort "the controller ended at its start: $(tail -3 "$DIRECTORY/samba.log")"
    [ "$waited" -lt $((START_SECONDS * 10)) ] ||
      abort "the controller serves no LDAP after $START_SECONDS s"
    sleep 0.1
    waited=$((waited + 1))
  done
  pass "the controller serves LDAP on 127.0.0.1:$LDAP_PORT"
  local addresses
  addresses=$(ss -Hltnp | grep "pid=$SAMBA_PID," | awk '{ print $4 }' | sort -u)
  log "the controller listens on $(tr '\n' ' ' <<<"$addresses")"
  check_eq "the controller's addresses other than 127.0.0.1" \
    "$(grep -v '^127\.0\.0\.1:' <<<"$addresses")" ""
}

# shellcheck disable=SC2317 # also run by the EXIT trap
stop_controller() {
  [ -n "$SAMBA_PID" ] || return 0
  kill "$SAMBA_PID" 2>/dev/null
  wait "$SAMBA_PID" 2>/dev/null
  SAMBA_PID=
  local waited=0
  while ldap_port_open && [ "$waited" -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
}

# run_domain_keyword: "domainshutdown" started by cmd in a terminal, as a batch line starts it.
# Sets CONSOLE (what the terminal shows, without control sequences and carriage returns),
# ERRORLEVEL and REQUESTS: the computers asked, one a line in the order their requests ended, as
# the results log tells them.
run_domain_keyword() {
  local output=$e2e_prefix/console.txt line seconds=${1:-$RUN_SECONDS}
  line="C:\\$E2E_FOLDER\\$E2E_PROGRAM domainshutdown & echo errorlevel=!ERRORLEVEL!"
  rm -f "$E2E_DIR/$LOG_FILE"
  # A terminal wide enough that no report is wrapped.
  (cd "$E2E_DIR" && timeout "$seconds" \
    script -qec "stty cols $TERMINAL_COLUMNS; wine cmd /v:on /c '$line'" /dev/null \
    </dev/null >"$output" 2>&1)
  CONSOLE=$(sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$output" | grep -v '^errorlevel=')
  ERRORLEVEL=$(sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$output" | sed -n 's/^errorlevel=//p')
  # A container not read has its line in the log too; the lines that open and close the run name
  # no computer.
  REQUESTS=$(awk -F '\t' '$2 != "begin" && $2 != "end" && $3 !~ /^LDAP:\/\// { print $3 }' \
    "$E2E_DIR/$LOG_FILE" 2>/dev/null)
  log "the console shows: $CONSOLE"
  log "the computers asked: $(tr '\n' ' ' <<<"$REQUESTS")"
}

# logged_result LINE: the code and text of the results log's line for a line of the list.
logged_result() {
  awk -F '\t' -v line="$1" '$3 == line { sub(/\r$/, "", $5); print $4 " " $5 }' \
    "$E2E_DIR/$LOG_FILE"
}

# The console line for a directory line of the list that could not be read.
not_read() {
  printf '%s (line %s of %s) could not be read from the directory: %s' "$1" "$2" "$LIST_FILE" "$3"
}

# The list names the lab, and LAB1 again by its host name in other letter case: the domain
# keyword asks exactly the two enabled accounts of the OU, each once, this computer last.
test_lab() {
  make_directory
  start_controller
  settings
  printf '%s\r\n%s\r\n' "$LAB_LINE" "${LAB1_HOST_NAME^^}" >"$E2E_DIR/$LIST_FILE"
  run_domain_keyword
  check_eq "the computers asked, each once, this one last" "$REQUESTS" \
    "$LAB1_HOST_NAME"$'\n'"$OWN_NAME"
  check_eq "the console tells each request and no report of the list" "$CONSOLE" \
    "$LAB1_HOST_NAME: $NO_NETWORK"$'\n'"$OWN_NAME: $NO_NETWORK"$'\n'"0 of 2 computers took the \
request, 2 failed."
  check_eq "\"domainshutdown\" ends with the first request's error" "$ERRORLEVEL" "$NO_NETWORK_CODE"
  stop_controller
  check "the controller is stopped" test -z "$(ldap_port_open && echo open)"
  check_eq "processes of the controller left" "$(pgrep -f "$DIRECTORY/etc/smb.conf")" ""
}

# The computers asked but the last, sorted (they are asked at once, and end in any order), then
# the last one.
others_then_last() {
  printf '%s\n' "$REQUESTS" | head -n -1 | sort
  printf 'then %s\n' "$(tail -n 1 <<<"$REQUESTS")"
}

# A missing OU, then a wrong password, then the controller stopped: each time one report names
# the line and the LDAP error, and the other names of the list are still asked.
test_failures() {
  make_directory
  start_controller
  settings
  printf 'PC1\r\n%s\r\n%s\r\n' "$MISSING_LINE" "$LAB_LINE" >"$E2E_DIR/$LIST_FILE"
  run_domain_keyword
  check_eq "a missing OU: the other lines are still asked, this computer last" \
    "$(others_then_last)" "PC1"$'\n'"$LAB1_HOST_NAME"$'\n'"then $OWN_NAME"
  check "a missing OU: a report names the line and the error" grep -qxF \
    "$(not_read "$MISSING_LINE" 2 "$NO_SUCH_OBJECT")" <<<"$CONSOLE"
  check_eq "a missing OU: one report" "$(grep -c 'could not be read' <<<"$CONSOLE")" 1
  check_eq "a missing OU: the exit code is the first failure's in list order, PC1's" \
    "$ERRORLEVEL" "$NO_NETWORK_CODE"
  check_eq "a missing OU: the results log has the line with the code" \
    "$(awk -F '\t' -v line="$MISSING_LINE" '$3 == line { print $4 }' "$E2E_DIR/$LOG_FILE")" \
    "$NO_SUCH_OBJECT_CODE"

  printf 'PC1\r\n%s\r\nPC2\r\n' "$LAB_LINE" >"$E2E_DIR/$LIST_FILE"
  settings "Password=not-$ADMIN_PASSWORD"
  run_domain_keyword
  check_eq "a wrong password: the other names are still asked" "$(sort <<<"$REQUESTS")" \
    "PC1"$'\n'"PC2"
  check "a wrong password: a report names the line and the error" grep -qxF \
    "$(not_read "$LAB_LINE" 2 "$INVALID_CREDENTIALS")" <<<"$CONSOLE"
  check_eq "a wrong password: one report" "$(grep -c 'could not be read' <<<"$CONSOLE")" 1
  check_eq "a wrong password: the exit code is the first failure's in list order, PC1's" \
    "$ERRORLEVEL" "$NO_NETWORK_CODE"
  check_eq "a wrong password: the results log has the line with the code and the text" \
    "$(logged_result "$LAB_LINE")" "$INVALID_CREDENTIALS_CODE $INVALID_CREDENTIALS"

  stop_controller
  check "the controller is stopped" test -z "$(ldap_port_open && echo open)"
  check_eq "processes of the controller left" "$(pgrep -f "$DIRECTORY/etc/smb.conf")" ""
  settings
  run_domain_keyword
  check_eq "the controller stopped: the other names are still asked" "$(sort <<<"$REQUESTS")" \
    "PC1"$'\n'"PC2"
  check "the controller stopped: a report names the line and the error" grep -qxF \
    "$(not_read "$LAB_LINE" 2 "$SERVER_DOWN")" <<<"$CONSOLE"
  check_eq "the controller stopped: one report" "$(grep -c 'could not be read' <<<"$CONSOLE")" 1
  check_eq "the controller stopped: the exit code is the first failure's in list order, PC1's" \
    "$ERRORLEVEL" "$NO_NETWORK_CODE"
  check_eq "the controller stopped: the results log has the line with the code and the text" \
    "$(logged_result "$LAB_LINE")" "$SERVER_DOWN_CODE $SERVER_DOWN"
}

# A server that accepts the connection and never answers: the keyword run gives its line up
# after the bound with a time-out, and asks the other names.
test_silent_server() {
  start_silent_listener
  settings
  local line="LDAP://127.0.0.1:$SILENT_PORT/OU=Lab,$DOMAIN_DN" start=$SECONDS
  printf 'PC1\r\n%s\r\nPC2\r\n' "$line" >"$E2E_DIR/$LIST_FILE"
  run_domain_keyword "$SILENT_RUN_SECONDS"
  log "the run took $((SECONDS - start)) s"
  check "the run ended by itself" test -n "$ERRORLEVEL"
  check_eq "the other names are asked" "$(sort <<<"$REQUESTS")" "PC1"$'\n'"PC2"
  check "a report names the line and the time-out" grep -qxF \
    "$(not_read "$line" 2 "$TIMEOUT_TEXT")" <<<"$CONSOLE"
  check_eq "the results log has the line with Windows' code for a time-out and the text" \
    "$(logged_result "$line")" "$TIMEOUT_CODE $TIMEOUT_TEXT"
  check_eq "the exit code is the first failure's in list order, PC1's" "$ERRORLEVEL" \
    "$NO_NETWORK_CODE"
}

# Cancel while the silent server holds the run in "Finding the computers to ask...": the run ends
# at once with the cancel's code, and a keyword run started right after is not refused.
test_cancel_planning() {
  start_silent_listener
  settings
  printf 'LDAP://127.0.0.1:%s/OU=Lab,%s\r\nPC1\r\n' "$SILENT_PORT" "$DOMAIN_DN" \
    >"$E2E_DIR/$LIST_FILE"
  start_program domainshutdown
  APP=$!
  local progress
  progress=$(drv wait-window "$FORM_CLASS" "$PROGRESS_TITLE" "$WINDOW_MS") ||
    abort "no progress window \"$PROGRESS_TITLE\""
  sleep 1
  check_eq "the run still finds the computers" "$(drv children "$progress" |
    awk -F '\t' '$2 == "Static" { print $3; exit }')" "$PLANNING_TEXT"
  screenshot directory-planning
  local start
  start=$(date +%s%N)
  drv click-child "$progress" "&Cancel" || abort "the progress window has no Cancel button"
  if ! wait_exit "$APP" "$CANCEL_SECONDS"; then
    fail "the program still runs $CANCEL_SECONDS s after Cancel"
    wait_exit "$APP" "$SILENT_RUN_SECONDS"
  fi
  log "the program ended $((($(date +%s%N) - start) / 1000000)) ms after Cancel"
  check_eq "the cancelled run's exit code" "$exit_code" "$CANCELLED_EXIT"
  check "the log tells the cancel" grep -q $'\t-\t'"$CANCELLED_CODE"$'\t' "$E2E_DIR/$LOG_FILE"
  check "nobody was asked" test -z "$(awk -F '\t' '$3 == "PC1"' "$E2E_DIR/$LOG_FILE")"

  printf 'PC1\r\n' >"$E2E_DIR/$LIST_FILE"
  start_program domainshutdown
  APP=$!
  wait_exit "$APP" "$RUN_SECONDS" || abort "the run started after the cancel does not end"
  check "the run started right after is not refused" test "$exit_code" -ne "$ALREADY_RUNNING_CODE"
  check_eq "the run started right after asks PC1" \
    "$(awk -F '\t' '$3 == "PC1" { print $3 }' "$E2E_DIR/$LOG_FILE")" PC1
}

begin_test "$3" "$4"
trap 'stop_silent_listener; stop_controller; end_session' EXIT
"test_$test_name"
finish
