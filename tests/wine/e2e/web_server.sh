# shellcheck shell=bash
# Sourced by the end-to-end scripts after session.sh: the web server of the update check
# (version_server.py) on 127.0.0.1:47321, the address the development builds ask, and the checks
# of what it was asked. The session's proxy stays in place for every other address.

# Debian's interpreter: the server needs its standard library only.
readonly PYTHON=/usr/bin/python3
# Long enough for the longest test; the server ends by itself if the test script dies.
readonly SERVER_LIFETIME=150

web_server_script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
server_pid=
server_dir=

stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
    server_pid=
  fi
}

# shellcheck disable=SC2317 # run by the EXIT trap
end_web_session() {
  stop_server
  end_session
}

# The session keeps its proxy; only 127.0.0.1, the server's address, bypasses it. A proxy from this
# machine's environment must not take its place.
allow_local_server() {
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings' \
    /v ProxyOverride /t REG_SZ /d '127.0.0.1' /f >/dev/null 2>&1 ||
    abort "the proxy bypass for 127.0.0.1 could not be set"
}

# start_server [version_server.py OPTIONS...]: a fresh server with a fresh count and log.
# shellcheck disable=SC2154 # e2e_prefix is the session's
start_server() {
  stop_server
  server_dir=$e2e_prefix/server
  rm -rf "$server_dir"
  mkdir -p "$server_dir"
  "$PYTHON" "$web_server_script_dir/version_server.py" --count-file "$server_dir/count" \
    --log-file "$server_dir/requests.log" --ready-file "$server_dir/ready" \
    --lifetime "$SERVER_LIFETIME" "$@" 2>"$server_dir/errors" &
  server_pid=$!
  local waited=0
  while [ ! -s "$server_dir/ready" ]; do
    if ! kill -0 "$server_pid" 2>/dev/null; then
      server_pid=
      abort "the web server did not start: $(cat "$server_dir/errors")"
    fi
    [ "$waited" -lt 100 ] || abort "the web server did not start within 10 s"
    sleep 0.1
    waited=$((waited + 1))
  done
}

# start_server_with BODY [OPTIONS...]: serves BODY (bytes from printf's format) as the reply.
start_server_with() {
  local body=$e2e_prefix/reply
  # shellcheck disable=SC2059 # the body is a printf format on purpose
  printf "$1" >"$body"
  shift
  start_server --body-file "$body" "$@"
}

server_requests() {
  cat "$server_dir/count"
}

# Every request the server saw asked for the version file, and there was exactly COUNT of them.
check_requests() {
  check_eq "the program asked the web server $1 time(s)" "$(server_requests)" "$1"
  local other
  other=$(grep -v '^GET /version.txt HTTP/1\.[01]$' "$server_dir/requests.log")
  check_eq "every request was GET /version.txt" "$other" ""
}
