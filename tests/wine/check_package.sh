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

# shellcheck source-path=SCRIPTDIR
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

readonly EXPECTED_FILES="DorvaneShutdown.chm DorvaneShutdown.exe LICENSE.txt README.txt"
readonly EXIT_SECONDS=30

# shellcheck source=e2e/session.sh
source "$(dirname "$0")/e2e/session.sh"
start_wine_session "$build_dir"
# The driver lives outside the unpacked folder, which holds only what the package brought.
install_driver "$driver" Driver

# The package, made from this build as tools/release.sh makes it.
scratch=$e2e_prefix/package
if ! "$cpack" -G ZIP --config "$build_dir/CPackConfig.cmake" -B "$scratch" \
  >"$e2e_prefix/cpack.log" 2>&1; then
  cat "$e2e_prefix/cpack.log"
  abort "CPack could not make the package"
fi
zip=$scratch/$package.zip
[ -f "$zip" ] || abort "CPack made no $package.zip"
pass "CPack made $package.zip"

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
wait_main_window

[ ! -e "$program_dir/DorvaneShutdown.dat" ] || fail "a settings file exists before the program ends"
drv key "$MAIN" alt+f4 || abort "Alt+F4 could not be pressed in the main window"
wait_exit "$app" "$EXIT_SECONDS" || abort "the program still runs $EXIT_SECONDS s after Alt+F4"
if [ "$exit_code" -eq 0 ]; then
  pass "Alt+F4 ends the program with exit code 0"
else
  fail "the program ended with exit code $exit_code"
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

finish
