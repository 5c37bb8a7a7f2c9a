#!/bin/sh
# Runs one Windows program under Wine in a fresh prefix that is thrown away afterwards, so that
# every run starts from the same registry and file system and leaves nothing behind.
#
#   run_in_wine.sh PROGRAM.exe [ARGUMENTS...]
#
# DORVANE_WINE_REG may hold lines of `reg add` arguments (one registry entry a line, arguments
# separated by blanks and holding none) that are added to the prefix before the program starts,
# for instance the Windows version Wine reports to one program:
#   HKCU\Software\Wine\AppDefaults\engine_check.exe /v Version /d winxp /f
# DORVANE_WINE_FILES may name files (separated by blanks, holding none) copied beside the program.
# The program's own output is printed; the exit status is the program's.

set -u
# Registry paths are passed on as they are written, never expanded as file names.
set -f

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi
program=$1
shift

# Only Windows programs are run: anything else would run on this machine itself.
if [ ! -f "$program" ] || [ "$(head -c 2 "$program")" != "MZ" ]; then
  echo "run_in_wine: $program is not a Windows program" >&2
  exit 2
fi

program_dir=$(cd "$(dirname "$program")" && pwd)
program_name=$(basename "$program")

WINEPREFIX=$(mktemp -d "$program_dir/wineprefix.XXXXXX") || exit 2
export WINEPREFIX
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEDEBUG=-all

# shellcheck disable=SC2317 # run by the EXIT trap
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

log="$WINEPREFIX.log"
# On a busy machine the prefix's first process now and then fails to start ("could not load
# kernel32.dll"); a fresh start in an emptied prefix goes through.
for attempt in 1 2 3; do
  if wine wineboot -i >"$log" 2>&1 && wineserver -w; then
    break
  fi
  if [ "$attempt" -eq 3 ]; then
    echo "run_in_wine: the Wine prefix could not be created:" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 2
  fi
  wineserver -k >/dev/null 2>&1
  find "$WINEPREFIX" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
done
rm -f "$log"

if [ -n "${DORVANE_WINE_REG:-}" ]; then
  printf '%s\n' "$DORVANE_WINE_REG" | while read -r line; do
    [ -n "$line" ] || continue
    # Word splitting is wanted here: each blank-separated word is one argument of reg.
    # shellcheck disable=SC2086
    if ! wine reg add $line >/dev/null 2>&1; then
      echo "run_in_wine: reg add $line failed" >&2
      exit 1
    fi
  done || exit 2
  wineserver -w
fi

# The program runs from its own folder on drive C:, as it would after an installation.
install_dir=DorvaneTest
mkdir -p "$WINEPREFIX/drive_c/$install_dir"
cp "$program" "$WINEPREFIX/drive_c/$install_dir/$program_name"
# Word splitting is wanted here: each blank-separated word is one file.
# shellcheck disable=SC2086
for file in ${DORVANE_WINE_FILES:-}; do
  cp "$file" "$WINEPREFIX/drive_c/$install_dir/" || exit 2
done

cd "$WINEPREFIX/drive_c/$install_dir" || exit 2
wine "C:\\$install_dir\\$program_name" "$@"
status=$?
cd "$program_dir" || exit 2
exit $status
