# shellcheck shell=bash
# Sourced by the end-to-end scripts: a private X display and a throwaway Wine prefix with the
# program installed in its own folder on drive C:, the driver beside it, and the helpers the
# tests are written with. Everything started here is ended and removed on exit.
#
#   start_session BUILD_DIR PROGRAM.exe DRIVER.exe
#
# or, for a program installed some other way (the package check unpacks it):
#
#   start_wine_session BUILD_DIR; install_driver DRIVER.exe FOLDER
#
# Never calls a power function of this machine: the program's log-off, shutdown and reboot end
# at most the Wine session, which lives in the throwaway prefix.

# Installed names inside the prefix.
readonly E2E_FOLDER=Dorvane
readonly E2E_PROGRAM=DorvaneShutdown.exe
readonly E2E_DRIVER=driver.exe

readonly WINE_FONTS=/usr/share/wine/fonts
# The screen's size; a suite whose windows need more room sets its own before it starts.
E2E_SCREEN=${E2E_SCREEN:-1024x768}

e2e_failures=0
e2e_xvfb_pid=
e2e_prefix=
# The driver's Windows path once installed.
e2e_driver_path=

# shellcheck disable=SC2317 # run by the EXIT trap
end_session() {
  if [ -n "$e2e_prefix" ]; then
    WINEPREFIX=$e2e_prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$e2e_prefix wineserver -w >/dev/null 2>&1
    rm -rf "$e2e_prefix"
  fi
  if [ -n "$e2e_xvfb_pid" ]; then
    kill "$e2e_xvfb_pid" 2>/dev/null
    wait "$e2e_xvfb_pid" 2>/dev/null
  fi
}

log() {
  printf '%s\n' "$*"
}

fail() {
  log "FAIL $*"
  e2e_failures=$((e2e_failures + 1))
}

# Stops the test at once: what follows depends on this step.
abort() {
  log "FAIL $*"
  log "stopped: the remaining steps depend on this one"
  exit 1
}

pass() {
  log "PASS $*"
}

# check DESCRIPTION ACTUAL EXPECTED
check_eq() {
  if [ "$2" = "$3" ]; then
    pass "$1"
  else
    fail "$1: got \"$2\", expected \"$3\""
  fi
}

# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then
    pass "$what"
  else
    fail "$what"
  fi
}

finish() {
  if [ "$e2e_failures" -gt 0 ]; then
    log "$e2e_failures check(s) failed"
    exit 1
  fi
  log "all checks passed"
  exit 0
}

need_tool() {
  command -v "$1" >/dev/null 2>&1 ||
    abort "$1 is missing: install the Debian package $2"
}

# start_wine_session BUILD_DIR: the display and an empty prefix in BUILD_DIR, made ready for the
# tests; sets WINEPREFIX, DISPLAY and e2e_prefix.
start_wine_session() {
  local build_dir=$1
  need_tool Xvfb xvfb
  need_tool wine wine
  need_tool wineserver wine

  trap end_session EXIT
  trap 'exit 130' INT TERM HUP

  e2e_prefix=$(mktemp -d "$build_dir/e2e-prefix.XXXXXX") || abort "no prefix folder"
  export WINEPREFIX=$e2e_prefix
  # winemenubuilder is off so that the prefix adds nothing to this machine's desktop menus.
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  export WINEDEBUG=-all
  # The session is Wine's own: no settings of the calling user leak in.
  unset WINEARCH WINESERVER WINELOADER

  # Xvfb picks a free display number itself and writes it once it accepts clients.
  local display_file=$e2e_prefix/display
  Xvfb -displayfd 5 -screen 0 "${E2E_SCREEN}x24" -nolisten tcp 5>"$display_file" 2>/dev/null &
  e2e_xvfb_pid=$!
  local waited=0
  while [ ! -s "$display_file" ]; do
    kill -0 "$e2e_xvfb_pid" 2>/dev/null || abort "Xvfb did not start"
    [ $waited -lt 100 ] || abort "Xvfb did not start within 10 s"
    sleep 0.1
    waited=$((waited + 1))
  done
  DISPLAY=":$(tr -d '\n' <"$display_file")"
  export DISPLAY
  rm -f "$display_file"

  # On a busy machine the prefix's first process now and then fails to start ("could not load
  # kernel32.dll"); a fresh start in an emptied prefix goes through.
  local attempt
  for attempt in 1 2 3; do
    if wine wineboot -i >"$e2e_prefix/wineboot.log" 2>&1 && wineserver -w; then
      break
    fi
    [ "$attempt" -lt 3 ] || {
      cat "$e2e_prefix/wineboot.log" >&2
      abort "the Wine prefix could not be created"
    }
    wineserver -k >/dev/null 2>&1
    find "$e2e_prefix" -mindepth 1 -maxdepth 1 ! -name wineboot.log -exec rm -rf {} +
  done

  # A virtual desktop gives the windows title bars without a window manager. Web requests go to
  # a proxy on this machine where nothing listens, so that no test reaches the network.
  local registry=$e2e_prefix/drive_c/e2e.reg
  cat >"$registry" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$E2E_SCREEN"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings]
"ProxyEnable"=dword:00000001
"ProxyServer"="127.0.0.1:9"
EOF
  # Right after the prefix is made the import has been seen to fail once in a while, and to
  # succeed when run again.
  local tries=1
  until wine reg import 'C:\e2e.reg' >/dev/null 2>&1; do
    [ $tries -lt 3 ] || abort "the registry settings were not taken"
    tries=$((tries + 1))
    sleep 1
  done
  rm -f "$registry"

  # The same faces on every machine: Wine's own fonts, which Wine finds in the prefix (without
  # them it falls back on whatever this machine has, which may be wider than the designed face).
  cp "$WINE_FONTS"/* "$e2e_prefix/drive_c/windows/Fonts/" ||
    abort "Wine's fonts are missing: install the Debian package fonts-wine"

  log "session: display $DISPLAY, prefix $e2e_prefix"
}

# Only Windows programs are run: anything else would run on this machine itself.
need_windows_program() {
  if [ ! -f "$1" ] || [ "$(head -c 2 "$1")" != "MZ" ]; then
    abort "$1 is not a Windows program"
  fi
}

# install_driver DRIVER.exe FOLDER: the driver as C:\FOLDER\driver.exe, where drv runs it.
install_driver() {
  need_windows_program "$1"
  mkdir -p "$e2e_prefix/drive_c/$2"
  cp "$1" "$e2e_prefix/drive_c/$2/$E2E_DRIVER"
  e2e_driver_path="C:\\$2\\$E2E_DRIVER"
}

start_session() {
  local build_dir=$1 program=$2 driver=$3
  need_tool import imagemagick
  need_windows_program "$program"
  start_wine_session "$build_dir"
  E2E_DIR=$e2e_prefix/drive_c/$E2E_FOLDER
  mkdir -p "$E2E_DIR"
  cp "$program" "$E2E_DIR/$E2E_PROGRAM"
  install_driver "$driver" "$E2E_FOLDER"
  export SETTINGS_FILE=$E2E_DIR/DorvaneShutdown.dat
}

# drv COMMAND ARGUMENTS...: runs the driver in the session. Its output goes through a file: any
# Wine process it brings up (the desktop, a program it starts) inherits its output and would keep
# a pipe open for as long as it runs.
drv() {
  local output=$e2e_prefix/driver.$BASHPID.out status
  wine "$e2e_driver_path" "$@" >"$output"
  status=$?
  cat "$output"
  rm -f "$output"
  return $status
}

# start_program [ARGUMENTS...]: starts the program from its folder; its process is $!, as for any
# background job. The wine process becomes the program's process, so its exit status is the
# program's exit code.
# shellcheck disable=SC2120 # most tests start the program without arguments
start_program() {
  (cd "$E2E_DIR" && exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM" "$@") >/dev/null 2>&1 &
}

# The program's main window, as the tests find it.
readonly MAIN_CLASS=DorvaneShutdownMainWindow
readonly CAPTION="Dorvane Shutdown"
# The first window of a fresh prefix waits for Wine's desktop to start.
readonly FIRST_WINDOW_MS=60000

# What the message boxes of the program say, for a failure's report.
open_boxes() {
  local box
  for box in $(drv find-windows '#32770' "$CAPTION" | cut -d' ' -f1); do
    printf '[%s] ' "$(drv children "$box" | cut -f 2,3 | tr '\n\t' '  ')"
  done
}

# Sets MAIN once the main window of the program, started already, is shown. A message box at
# start-up comes before it and holds it back; then the box is reported.
# shellcheck disable=SC2034 # MAIN is for the caller
wait_main_window() {
  if ! MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS"); then
    abort "no visible window of class $MAIN_CLASS with the caption \"$CAPTION\"; open message" \
      "boxes: $(open_boxes)"
  fi
  pass "the main window appears"
}

# Starts the program and waits for its main window: sets APP (the process) and MAIN (the window).
# shellcheck disable=SC2034,SC2119 # APP is for the caller; the program gets no arguments
start_main_window() {
  start_program
  APP=$!
  wait_main_window
}

# Messages the helpers below send and post.
readonly WM_LBUTTONDOWN=0x0201
readonly WM_LBUTTONUP=0x0202
readonly MK_LBUTTON=0x0001
readonly BM_GETCHECK=0x00F0
readonly TB_GETBUTTONSIZE=0x043A

# children_of_class CLASS: of the lines "drv children" prints on its input, the handles of the
# windows of that class, in the order Windows lists them.
children_of_class() {
  awk -F '\t' -v c="$1" '$2 == c { print $1 }'
}

# True when the check box is ticked.
checked() {
  [ "$(drv send "$1" "$BM_GETCHECK" 0 0)" = 1 ]
}

unchecked() {
  ! checked "$1"
}

# A mouse click in the middle of the window, as posted by the mouse: a control takes the focus
# and, for an edit, puts the caret there.
click_middle() {
  local width height
  read -r width height <<<"$(drv client-size "$1")"
  local position=$((((height / 2) << 16) | (width / 2)))
  drv post "$1" "$WM_LBUTTONDOWN" "$MK_LBUTTON" "$position"
  drv post "$1" "$WM_LBUTTONUP" 0 "$position"
}

# The main window's toolbar (MAIN must be set).
main_toolbar() {
  drv children "$MAIN" | children_of_class ToolbarWindow32 | head -n 1
}

# click_tool_button INDEX: a click in the middle of a toolbar button of the main window. The
# buttons share one size and lie side by side from the toolbar's left edge.
click_tool_button() {
  local toolbar size width height
  toolbar=$(main_toolbar)
  [ -n "$toolbar" ] || abort "the main window has no toolbar"
  size=$(drv send "$toolbar" "$TB_GETBUTTONSIZE" 0 0) || abort "the toolbar tells no button size"
  width=$((size & 0xFFFF))
  height=$((size >> 16))
  local position=$((((height / 2) << 16) | ($1 * width + width / 2)))
  drv post "$toolbar" "$WM_LBUTTONDOWN" "$MK_LBUTTON" "$position"
  drv post "$toolbar" "$WM_LBUTTONUP" 0 "$position"
}

# The calls of the program that act on this computer, as the relay trace names them.
readonly ACTION_CALLS="SetSystemPowerState;ExitWindowsEx;LockWorkStation"

# start_traced [ARGUMENTS...]: starts the program as start_program does, with Wine tracing its
# action calls into $TRACE; sets APP.
start_traced() {
  TRACE=$e2e_prefix/trace.txt
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$ACTION_CALLS" /f >/dev/null 2>&1 ||
    abort "the relay trace could not be set up"
  (cd "$E2E_DIR" && WINEDEBUG=-all,+relay exec wine "C:\\$E2E_FOLDER\\$E2E_PROGRAM" "$@") \
    >/dev/null 2>"$TRACE" &
  APP=$!
}

# The action calls the program made, one "Name(arguments)" a line.
action_calls() {
  sed -n 's/^[0-9a-f]*:Call [A-Za-z0-9]*\.\([A-Za-z]*([0-9a-f,]*)\).*/\1/p' "$TRACE"
}

# wait_countdown: waits for the countdown; sets COUNTDOWN and COUNTDOWN_SEEN (seconds).
# shellcheck disable=SC2034 # for the caller
wait_countdown() {
  COUNTDOWN=$(drv wait-window "!$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS" msctls_progress32) ||
    abort "no countdown"
  COUNTDOWN_SEEN=$SECONDS
  pass "the countdown is up"
}

# test_arguments COUNT USAGE ARGUMENTS...: a test script's arguments, TEST BUILD_DIR PROGRAM.exe
# DRIVER.exe and what else the script takes, COUNT in all; sets test_name and build_dir, or stops
# with the usage line.
test_arguments() {
  local count=$1 usage=$2
  shift 2
  if [ $# -ne "$count" ]; then
    echo "usage: $0 $usage" >&2
    exit 2
  fi
  test_name=$1
  build_dir=$(cd "$2" && pwd)
}

# begin_test PROGRAM.exe DRIVER.exe: for the calling script's function test_$test_name, the
# screenshot folder and a session with the program; stops when the script has no such test.
begin_test() {
  mkdir -p "$build_dir/screenshots"
  SCREENSHOT_DIR=$build_dir/screenshots
  if [ "$(type -t "test_$test_name")" != function ]; then
    echo "no test $test_name" >&2
    exit 2
  fi
  start_session "$build_dir" "$1" "$2"
  log "test $test_name"
}

# A server that accepts every connection on 127.0.0.1 and never answers, as a hung directory
# server: sets SILENT_PORT and SILENT_PID. It ends by itself after SILENT_LIFETIME seconds should
# the test die; stop_silent_listener ends it sooner.
readonly SILENT_LIFETIME=300
start_silent_listener() {
  local port_file=$e2e_prefix/silent.port
  rm -f "$port_file"
  /usr/bin/python3 - "$port_file" "$SILENT_LIFETIME" <<'PYTHON' &
import os, socket, sys, time
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(16)
server.settimeout(1)
with open(sys.argv[1] + ".new", "w") as port:
    port.write(str(server.getsockname()[1]))
os.rename(sys.argv[1] + ".new", sys.argv[1])
held = []
deadline = time.time() + int(sys.argv[2])
while time.time() < deadline:
    try:
        held.append(server.accept()[0])
    except socket.timeout:
        pass
PYTHON
  SILENT_PID=$!
  local waited=0
  until [ -s "$port_file" ]; do
    [ "$waited" -lt 100 ] || abort "the silent listener did not start"
    sleep 0.1
    waited=$((waited + 1))
  done
  SILENT_PORT=$(cat "$port_file")
  pass "a listener on 127.0.0.1:$SILENT_PORT accepts and never answers"
}

# shellcheck disable=SC2317 # also run by the EXIT trap
stop_silent_listener() {
  [ -n "${SILENT_PID:-}" ] || return 0
  kill "$SILENT_PID" 2>/dev/null
  wait "$SILENT_PID" 2>/dev/null
  SILENT_PID=
}

# True while the process runs (a finished child that is not yet reaped counts as ended).
running() {
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# pid_in_session PGREP_ARGUMENTS...: the one matching Linux process of this session. Other
# sessions, of other tests or people, run the same programs under other prefixes.
pid_in_session() {
  local pid
  for pid in $(pgrep "$@"); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# wait_exit PID SECONDS: waits for the process to end and sets exit_code; false on timeout.
# shellcheck disable=SC2034 # exit_code is for the caller
wait_exit() {
  local deadline=$((SECONDS + $2))
  while running "$1"; do
    [ $SECONDS -lt "$deadline" ] || return 1
    sleep 0.2
  done
  wait "$1"
  exit_code=$?
  return 0
}

# expect_exit DESCRIPTION SECONDS [CODE]: the program ($APP) ends within the time with exit code
# CODE, 0 when not given; Linux sees a Windows exit code's low byte only (ERROR_CANCELLED, 1223,
# as 199).
# shellcheck disable=SC2034 # for the test scripts
readonly CANCELLED_EXIT=$((1223 & 0xFF))
expect_exit() {
  local start=$SECONDS
  if ! wait_exit "$APP" "$2"; then
    fail "$1: the program still runs after $2 s"
    return
  fi
  check_eq "$1 (after $((SECONDS - start)) s), exit code" "$exit_code" "${3:-0}"
}

# screenshot NAME: the whole virtual screen, after the windows have painted.
screenshot() {
  sleep 0.7
  if import -window root "$SCREENSHOT_DIR/$1.png" 2>/dev/null; then
    log "screenshot $SCREENSHOT_DIR/$1.png"
  else
    fail "screenshot $1 could not be taken"
  fi
}

# Lines of `drv children`: hwnd, class, text, visible, enabled, bounds; tab-separated.
# child_with COLUMN VALUE < CHILDREN: the handle of the first child whose class (2) or text (3)
# is VALUE.
child_with() {
  awk -F '\t' -v column="$1" -v value="$2" '$column == value { print $1; exit }'
}

# field HANDLE COLUMN < CHILDREN: one column of `drv children` for one window.
field() {
  awk -F '\t' -v h="$1" -v c="$2" '$1 == h { print $c }'
}

# find_child DESCRIPTION COLUMN VALUE < CHILDREN: checks that there is a visible child whose
# class (column 2) or text (column 3) is VALUE.
find_child() {
  local children child
  children=$(cat)
  child=$(child_with "$2" "$3" <<<"$children")
  if [ -z "$child" ]; then
    fail "$1: no child window with $([ "$2" = 2 ] && echo class || echo text) \"$3\""
    return
  fi
  check_eq "$1 is visible" "$(field "$child" 4 <<<"$children")" 1
}

# The settings file, written as the program writes it: the header, 24 reserved bytes, the
# fields in this order (little-endian numbers; texts as a 16-bit length and the characters),
# then 20 reserved bytes. Each entry is NAME:TYPE:DEFAULT, the defaults being the program's. An
# earlier version wrote zeros as the reserved bytes, its texts in the ANSI code page and the
# password; this version begins the reserved bytes with a mark, writes its texts in UTF-8 and
# keeps the password in the user's credential store instead.
readonly SETTINGS_HEADER="Dorvane Shutdown settings"
readonly SETTINGS_RESERVED_BEFORE=24
readonly SETTINGS_RESERVED_AFTER=20
readonly SETTINGS_UTF8_MARK=UTF-8
readonly SETTINGS_FIELDS=(
  ForceApps:u8:0 RunAtStartup:u8:1 StartInTray:u8:0 TimerActive:u8:0
  TimerHour:i16:0 TimerMinute:i16:0 ShowWarning:u8:1 WarnSeconds:i16:10
  ShowRemoteWarning:u8:1 RemoteWarnSeconds:i16:20 TimerAction:i16:1 RemoteComputer:text:
  RemoteReboot:u8:0 UseCredentials:u8:0 UserName:text: Password:text:
  ConfirmExit:u8:0 LastCheckDay:i32:0
)

# little_endian VALUE BYTES
little_endian() {
  local value=$1 count=$2 i
  for ((i = 0; i < count; i++)); do
    # shellcheck disable=SC2059 # the format is the byte's octal escape
    printf "\\$(printf '%03o' $(((value >> (8 * i)) & 0xFF)))"
  done
}

zeros() {
  head -c "$1" /dev/zero
}

# settings_bytes [NAME=VALUE...]: the file's bytes as an earlier version writes them on stdout,
# defaults for the fields not named. SETTINGS_MARK, when set, begins the reserved bytes.
settings_bytes() {
  local entry name type value given mark=${SETTINGS_MARK:-}
  printf '%s%s' "$SETTINGS_HEADER" "$mark"
  zeros $((SETTINGS_RESERVED_BEFORE - ${#mark}))
  for entry in "${SETTINGS_FIELDS[@]}"; do
    IFS=: read -r name type value <<<"$entry"
    for given in "$@"; do
      [ "${given%%=*}" = "$name" ] && value=${given#*=}
    done
    case $type in
    u8) little_endian "$value" 1 ;;
    i16) little_endian "$value" 2 ;;
    i32) little_endian "$value" 4 ;;
    text)
      # The length counts bytes, also of letters that take more than one.
      little_endian "$(printf '%s' "$value" | wc -c)" 2
      printf '%s' "$value"
      ;;
    esac
  done
  zeros "$SETTINGS_RESERVED_AFTER"
}

# settings_field NAME: the number the settings file holds in the field, read along the layout of
# SETTINGS_FIELDS.
settings_field() {
  local entry name type size
  local offset=$((${#SETTINGS_HEADER} + SETTINGS_RESERVED_BEFORE))
  for entry in "${SETTINGS_FIELDS[@]}"; do
    IFS=: read -r name type _ <<<"$entry"
    case $type in
    u8) size=1 ;;
    i16) size=2 ;;
    i32) size=4 ;;
    text) size=$((2 + $(od -A n -t u2 --endian=little -j "$offset" -N 2 "$SETTINGS_FILE"))) ;;
    esac
    if [ "$name" = "$1" ]; then
      od -A n -t "d$size" --endian=little -j "$offset" -N "$size" "$SETTINGS_FILE" | tr -d ' '
      return
    fi
    offset=$((offset + size))
  done
}

# saved_settings_bytes [NAME=VALUE...]: the bytes this version saves for these values.
saved_settings_bytes() {
  SETTINGS_MARK=$SETTINGS_UTF8_MARK settings_bytes "$@" Password=
}

# check_saved_settings [NAME=VALUE...]: the settings file holds exactly what the program's save
# writes for these values.
check_saved_settings() {
  local expected=$E2E_DIR/expected.dat
  saved_settings_bytes "$@" >"$expected"
  if cmp "$expected" "$SETTINGS_FILE"; then
    pass "the settings file holds the expected settings"
  else
    fail "the settings file differs from the expected bytes"
    od -A d -t u1 "$SETTINGS_FILE" | head -8
  fi
}

# Today's number in the program's count of calendar days (consecutive days get consecutive
# numbers), by the same local clock Wine gives the program.
today_day_number() {
  local day month year y m
  read -r day month year <<<"$(date '+%-d %-m %Y')"
  y=$((year + 399 + (month + 9) / 12))
  m=$(((month + 9) % 12))
  echo $((365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day - 146037))
}

# ask_oleacc WINDOW NAME: what oleacc tells from inside the program of each of its shown windows
# (tests/wine/e2e/access_probe.cpp), for a script that copied the probe to
# $E2E_DIR/access_probe.dll. Windows loads a DLL into a process once, so each question loads a
# copy of its own NAME. False, with the reason on stderr, when the probe does not report.
ask_oleacc() {
  local copy="access_$2.dll" report
  cp "$E2E_DIR/access_probe.dll" "$E2E_DIR/$copy" || return 1
  report=$(drv inject "$(drv pid "$1")" "C:\\$E2E_FOLDER\\$copy" 20000) || {
    echo "the access probe did not report" >&2
    return 1
  }
  grep -q '^done$' <<<"$report" || {
    echo "the access probe's report is cut short: $report" >&2
    return 1
  }
  printf '%s\n' "$report"
}

# import_registry: the REGEDIT4 text on stdin into the prefix's registry. Right after the prefix
# is made the import has been seen to fail once in a while, and to succeed when run again.
import_registry() {
  local file=$e2e_prefix/drive_c/import.reg tries=1
  cat >"$file"
  until wine reg import 'C:\import.reg' >/dev/null 2>&1; do
    [ $tries -lt 3 ] || abort "the registry settings were not taken"
    tries=$((tries + 1))
    sleep 1
  done
  rm -f "$file"
}

# The high-contrast black scheme as Windows stores it for the user: its colours, which Wine
# takes for the system colours of the programs started afterwards, and the high-contrast flags
# (HCF_HIGHCONTRASTON and the hot key's flags), which Wine 8 does not report. Windows draws the
# controls in the scheme's colours then; Wine's own theme would keep its light faces, so it is
# switched off.
readonly HIGH_CONTRAST_TEXT="255 255 255"
readonly HIGH_CONTRAST_HIGHLIGHT="26 235 255"
readonly HIGH_CONTRAST_HIGHLIGHT_TEXT="0 0 0"
use_high_contrast_black() {
  import_registry <<EOF_REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]
"ThemeActive"="0"

[HKEY_CURRENT_USER\\Control Panel\\Accessibility\\HighContrast]
"Flags"="127"
"High Contrast Scheme"="High Contrast Black"

[HKEY_CURRENT_USER\\Control Panel\\Colors]
"ActiveBorder"="0 0 0"
"ActiveTitle"="0 0 0"
"AppWorkspace"="0 0 0"
"Background"="0 0 0"
"ButtonAlternateFace"="0 0 0"
"ButtonDkShadow"="255 255 255"
"ButtonFace"="0 0 0"
"ButtonHilight"="255 255 255"
"ButtonLight"="255 255 255"
"ButtonShadow"="255 255 255"
"ButtonText"="$HIGH_CONTRAST_TEXT"
"GradientActiveTitle"="0 0 0"
"GradientInactiveTitle"="0 0 0"
"GrayText"="63 242 63"
"Hilight"="$HIGH_CONTRAST_HIGHLIGHT"
"HilightText"="$HIGH_CONTRAST_HIGHLIGHT_TEXT"
"HotTrackingColor"="255 255 0"
"InactiveBorder"="0 0 0"
"InactiveTitle"="0 0 0"
"InactiveTitleText"="255 255 255"
"InfoText"="255 255 255"
"InfoWindow"="0 0 0"
"Menu"="0 0 0"
"MenuBar"="0 0 0"
"MenuHilight"="26 235 255"
"MenuText"="255 255 255"
"Scrollbar"="0 0 0"
"TitleText"="255 255 255"
"Window"="0 0 0"
"WindowFrame"="255 255 255"
"WindowText"="255 255 255"
EOF_REG
}

# pixel_colours SCREENSHOT LEFT TOP WIDTH HEIGHT: each pixel of the rectangle as "R G B", one a
# line, in 8 bits a channel.
pixel_colours() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# move_pointer X Y: the mouse pointer to that point of the screen, as the user moves it. Wine
# moves it itself: Xvfb here ignores xdotool's moves.
move_pointer() {
  drv pointer "$1" "$2" || fail "the pointer could not be moved"
}

# pointer_to_corner: the pointer off every window, so that no button is drawn hot and no tip
# shows in a screenshot.
pointer_to_corner() {
  move_pointer 0 0
}

# window_geometry HWND: the window's left, top, width and height on the screen.
window_geometry() {
  local left top right bottom
  read -r left top right bottom <<<"$(drv rect "$1")"
  echo "$left $top $((right - left)) $((bottom - top))"
}

# hold_file_locked FILE MILLISECONDS [CLASS]: another program holds the file open without
# sharing, from the moment this returns until MILLISECONDS after a window of CLASS exists (or
# after now, without CLASS); LOCKER is its process.
# shellcheck disable=SC2034 # LOCKER is for the caller
hold_file_locked() {
  local output=$e2e_prefix/locker.$BASHPID.out path deadline=$((SECONDS + 30))
  path=$(winepath -w "$1")
  rm -f "$output"
  wine "$e2e_driver_path" lock-file "$path" "$2" ${3:+"$3"} >"$output" 2>&1 &
  LOCKER=$!
  until grep -q '^locked' "$output" 2>/dev/null; do
    if ! running "$LOCKER" || [ $SECONDS -ge "$deadline" ]; then
      abort "$1 could not be held open: $(cat "$output")"
    fi
    sleep 0.1
  done
}

# wait_settings_saved WHAT: the settings file, made old before (touch -d 2001-01-01), is written
# within 2 s.
wait_settings_saved() {
  local waited=0
  while [ "$(stat -c %Y "$SETTINGS_FILE")" -lt "$(date -d '2002-01-01' +%s)" ] &&
    [ "$waited" -lt 20 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  check "$1 writes the settings file" test "$waited" -lt 20
}
