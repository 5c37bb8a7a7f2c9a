#!/usr/bin/env bash
# Draws the pictures of the help pages into help/images. The results are committed, so the build
# only compiles them; run this again after the program's icons or windows change.
#
#   help/make-images.sh [SCREENSHOT_DIR]
#
# The icons come from the program's own drawings in src/app/resources/svg (rsvg-convert, Debian
# package librsvg2-bin). The window pictures are cut from the screenshots that the checks under
# Wine leave in build/windows/screenshots (ImageMagick's convert); without that folder they are
# left as they are. Every picture is flattened onto white: the old help viewer shows no alpha.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
svg=$top/src/app/resources/svg
out=$here/images
shots=${1:-$top/build/windows/screenshots}
convert=/usr/bin/convert

mkdir -p "$out"

# icon NAME SIZE OUTPUT
icon() {
  local tmp
  tmp=$(mktemp --suffix=.png)
  rsvg-convert -w "$2" -h "$2" "$svg/$1.svg" -o "$tmp"
  "$convert" "$tmp" -background white -alpha remove -alpha off -strip "PNG24:$out/$3.png"
  rm -f "$tmp"
}

icon app-icon-32 32 program
icon tray 16 tray
icon options 32 options
icon autologon 32 autologon
for name in shutdown reboot logoff standby hibernate lock remote domain; do
  icon "toolbar-$name" 24 "tool-$name"
done

# crop SCREENSHOT GEOMETRY OUTPUT: the geometry is WIDTHxHEIGHT+LEFT+TOP in the screenshot.
crop() {
  "$convert" "$shots/$1.png" -crop "$2" +repage -strip "PNG24:$out/$3.png"
}

if [ -d "$shots" ]; then
  # The main window below its title bar (Wine draws the caption buttons without their font).
  crop main_window 463x150+280+319 main-window
  # The tray icon's menu with its shadowless border.
  crop tray_menu 163x225+512+384 tray-menu
fi
