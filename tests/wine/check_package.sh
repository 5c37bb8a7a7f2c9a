#!/usr/bin/env bash
# Checks the release package as a user meets it: packs the build with CPack, unpacks the ZIP file
# into an empty folder of a throwaway Wine prefix, starts the program from there on a private X
# display, ends it with Alt+F4 (the shortcut of File > Exit) and checks that it wrote its settings
# file beside itself, next to the help file. Prints one PASS or FAIL line a check.
#
#   check_package.sh BUILD_DIR CPACK PACKAGE_NAME FOLDER DRIVER.exe
#
# PACKAGE_NAME is the ZIP file's name without .zip; FOLDER the one folder the package holds.
# DRIVER.exe is the end-to-end tests' driver (tests/wine/e2e/driver.cpp), which finds the main
# window and presses the keys from outside the program, in the same Wine session.

set -u

if [ $# -ne 5 ]; then
  echo "usage: $0 BUILD_DIR CPACK PACKAGE_NAME FOLDER DRIVER.exe" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
cpack=$2
package=$3
folder=$4
driver=$5

readonly MAIN_CLASS=DorvaneShutdownMainWindow
readonly CAPTION="Dorvane Shutdown"
readonly SETTINGS_HEADER="Dorvane Shutdown settings"
readonly EXPECTED_FILES="DorvaneShutdown.chm DorvaneShutdown.exe LICENSE.txt README.txt"
# The first window of a fresh prefix waits for Wine's own start.
readonly WINDOW_SECONDS=90
readonly EXIT_SECONDS=30

failures=0
pass() {
  echo "PASS $*"
}
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}
# Stops at once: what follows depends on this step.
abort() {
  echo "FAIL $*"
  exit 1
}

# Only Windows programs are run: anything else would run on this machine itself.
if [ ! -f "$driver" ] || [ "$(head -c 2 "$driver")" != "MZ" ]; then
  abort "$driver is not a Windows program"
fi
for tool in Xvfb wine wineserver; do
  command -v "$tool" >/dev/null 2>&1 || abort "$tool is missing (tools/packages.sh lists its package)"
done

scratch=$(mktemp -d "$build_dir/package-check.XXXXXX") || abort "no scratch folder"
xvfb=
# shellcheck disable=SC2317 # run by the EXIT trap
cleanup() {
  if [ -d "$scratch/prefix" ]; then
    WINEPREFIX=$scratch/prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$scratch/prefix wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The package, made from this build as tools/release.sh makes it.
if ! "$cpack" -G ZIP --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" \
  >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  abort "CPack could not make the package"
fi
zip=$scratch/out/$package.zip
[ -f "$zip" ] || abort "CPack made no $package.zip"
pass "CPack made $package.zip"

export WINEPREFIX=$scratch/prefix
export WINEDEBUG=-all
# winemenubuilder is off so that the prefix adds nothing to this machine's desktop menus.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset WINEARCH WINESERVER WINELOADER
mkdir -p "$WINEPREFIX"

# Xvfb picks a free display number itself and writes it once it accepts clients.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$scratch/display" 2>/dev/null &
xvfb=$!
waited=0
while [ ! -s "$scratch/display" ]; do
  kill -0 "$xvfb" 2>/dev/null || abort "Xvfb did not start"
  [ $waited -lt 100 ] || abort "Xvfb did not start within 10 s"
  sleep 0.1
  waited=$((waited + 1))
done
DISPLAY=":$(tr -d '\n' <"$scratch/display")"
export DISPLAY

if ! wine wineboot -i >"$scratch/wineboot.log" 2>&1 || ! wineserver -w; then
  cat "$scratch/wineboot.log"
  abort "the Wine prefix could not be created"
fi
# A virtual desktop lets the driver bring the window to the front without a window manager. Web
# requests go to a proxy on this machine where nothing listens, so that the program's update
# check reaches no network.
cat >"$WINEPREFIX/drive_c/check.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings]
"ProxyEnable"=dword:00000001
"ProxyServer"="127.0.0.1:9"
REG
wine reg import 'C:\check.reg' >/dev/null 2>&1 || abort "the registry settings were not taken"
rm -f "$WINEPREFIX/drive_c/check.reg"

# The driver lives outside the unpacked folder, which holds only what the package brought.
mkdir -p "$WINEPREFIX/drive_c/Driver"
cp "$driver" "$WINEPREFIX/drive_c/Driver/driver.exe"
# drv COMMAND ARGUMENTS...: runs the driver. Its output goes through a file: a Wine process it
# brings up (the desktop) inherits its output and would keep a pipe open while it runs.
drv() {
  local status
  wine 'C:\Driver\driver.exe' "$@" >"$scratch/driver.out"
  status=$?
  cat "$scratch/driver.out"
  return $status
}

# Unpacked into an empty folder, the package holds its one folder and nothing beside it.
unpacked=$WINEPREFIX/drive_c/Unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip") || abort "the package could not be unpacked"
# The names in one line, sorted, each followed by a blank.
names_in() {
  find "$1" -mindepth 1 -maxdepth 1 -printf '%P\n' | sort | tr '\n' ' '
}
top=$(names_in "$unpacked")
if [ "$top" = "$folder " ]; then
  pass "the package holds one folder, $folder"
else
  abort "the package's top level is \"$top\", not the folder $folder"
fi
program_dir=$unpacked/$folder
files=$(names_in "$program_dir")
if [ "$files" = "$EXPECTED_FILES " ]; then
  pass "the folder holds $EXPECTED_FILES"
else
  fail "the folder holds \"$files\", not \"$EXPECTED_FILES\""
fi
for text in README.txt LICENSE.txt; do
  if grep -q $'\r$' "$program_dir/$text"; then
    pass "$text has Windows line ends"
  else
    fail "$text has no Windows line ends"
  fi
done

(cd "$program_dir" && exec wine "C:\\Unpacked\\$folder\\DorvaneShutdown.exe") >/dev/null 2>&1 &
app=$!

window=$(drv wait-window "$MAIN_CLASS" "$CAPTION" $((WINDOW_SECONDS * 1000))) ||
  abort "no main window within $WINDOW_SECONDS s"
pass "the main window appears"

[ ! -e "$program_dir/DorvaneShutdown.dat" ] || fail "a settings file exists before the program ends"
drv key "$window" alt+f4 || abort "Alt+F4 could not be pressed in the main window"
deadline=$((SECONDS + EXIT_SECONDS))
while kill -0 "$app" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || abort "the program still runs $EXIT_SECONDS s after Alt+F4"
  sleep 0.2
done
wait "$app"
status=$?
if [ $status -eq 0 ]; then
  pass "Alt+F4 ends the program with exit code 0"
else
  fail "the program ended with exit code $status"
fi

settings=$program_dir/DorvaneShutdown.dat
if [ -s "$settings" ] && [ "$(head -c ${#SETTINGS_HEADER} "$settings")" = "$SETTINGS_HEADER" ]; then
  pass "the settings file was written beside the program"
else
  fail "no settings file beside the program in $folder"
fi
if [ -s "$program_dir/DorvaneShutdown.chm" ]; then
  pass "the help file is beside the program"
else
  fail "no help file beside the program"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
