#!/usr/bin/env bash
# Builds DorvaneShutdown.exe and starts it under Wine. Without a display it starts a virtual one,
# saves a screenshot of the program under build/windows/screenshots and ends it again.
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

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

install_program
# A Wine desktop window gives the program its title bar in the picture.
(cd "$folder" && wine explorer /desktop=Default,1024x768 DorvaneShutdown.exe "$@" >/dev/null 2>&1 &)

# Wait for Wine's desktop and the program's start, then keep a picture of the screen.
for _ in $(seq 60); do
  xdotool search --name "Wine desktop" >/dev/null 2>&1 && break
  sleep 1
done
sleep 5
mkdir -p build/windows/screenshots
import -window root build/windows/screenshots/run.png
echo "No display here: the program ran under a virtual one; see build/windows/screenshots/run.png"
