#!/usr/bin/env bash
# Builds DorvaneShutdown.exe and starts it under Wine. Without a display it starts a virtual one,
# saves a picture of the main window as build/windows/screenshots/run.png and ends it again.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

build_windows
program="$(pwd)/build/windows/DorvaneShutdown.exe"
echo "Built $program"

# The program keeps its settings file next to itself: run it from a folder of its own.
export WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wine-run}"
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEDEBUG=-all
folder="$WINEPREFIX/drive_c/Dorvane Shutdown"
install_program() {
  wineboot -i >/dev/null 2>&1
  wineserver -w
  mkdir -p "$folder"
  cp "$program" "$folder/"
  if [ -f build/windows/DorvaneShutdown.chm ]; then
    cp build/windows/DorvaneShutdown.chm "$folder/"
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  install_program
  cd "$folder" && exec wine DorvaneShutdown.exe "$@"
fi

# Without a display the program runs on a virtual one, in a throwaway prefix made as the
# end-to-end tests make theirs: a Wine desktop set in its registry gives the window its title bar
# without a window manager. The picture is taken as soon as the main window is up, cut to it.
set +e
# shellcheck source=tests/wine/e2e/session.sh
source tests/wine/e2e/session.sh
build_dir=$(pwd)/build/windows
start_session "$build_dir" "$program" "$build_dir/e2e_driver.exe"
# No update check on the first start: the picture shows the window as it opens.
settings_bytes LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"
start_program "$@"
MAIN=$(drv wait-window "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS") ||
  abort "the main window did not appear; open message boxes: $(open_boxes)"
# The pointer away from the screen's centre, where it lights a button and opens its tip.
pointer_to_corner
read -r left top width height <<<"$(window_geometry "$MAIN")"
picture=$build_dir/screenshots/run.png
mkdir -p "$(dirname "$picture")"
sleep 0.7
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$picture" ||
  abort "the picture could not be taken"
echo "No display here: the program ran on a virtual one; see $picture"
