#!/usr/bin/env bash
# Draws the program's icon and bitmaps in src/app/resources from the SVG drawings in
# src/app/resources/svg. The results are committed, so that the build never needs these tools:
# run this after changing a drawing, look at the results, and commit both.
#
#   tools/make-resources.sh
#
# The drawings share one palette and one line weight: 2 px strokes at 16 to 24 px, 3 px at 32 px,
# with straight lines placed on whole pixels. The small sizes of the application icon have
# drawings of their own, since a scaled-down large one turns to mush at 16 px. The palette:
#   blue #2F6FB8 (the program's colour), screen blue #9CC3EC, slate #3D4B59, red #D4463C,
#   green #2E9D5B, amber #F0A526, ice blue #3BA8DE, white.
#
# Bitmaps are 24-bit BMP files. Where a drawing is transparent they hold the key colour magenta
# (255,0,255); soft edges are blended against the light grey (240,240,240) of a button face.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages librsvg2-bin imagemagick icoutils

svg=src/app/resources/svg
out=src/app/resources
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render NAME SIZE: draws svg/NAME.svg at SIZE x SIZE pixels into $work/NAME-SIZE.png.
render() {
  rsvg-convert --width "$2" --height "$2" --output "$work/$1-$2.png" "$svg/$1.svg"
}

# disabled IN.png OUT.png: the greyed look of a button that cannot be pressed; the shape and its
# transparency stay, the colours become light greys.
disabled() {
  convert "$1" -colorspace Gray -channel RGB +level 40%,85% +channel -colorspace sRGB "$2"
}

# bitmap OUT.bmp IN.png...: puts the images side by side and writes them as a 24-bit BMP with
# the key colour wherever they are transparent, or nearly so (less than 10% cover).
bitmap() {
  local bmp=$1
  shift
  convert "$@" +append \
    \( -clone 0 -alpha off -fill "rgb(255,0,255)" -colorize 100% \) \
    \( -clone 0 -background "rgb(240,240,240)" -alpha remove -alpha off \) \
    \( -clone 0 -alpha extract -threshold 10% \) \
    -delete 0 -composite -alpha off -type TrueColor "BMP3:$out/$bmp"
  echo "$out/$bmp"
}

# The application icon: 32-bit images with alpha, the 256 px one stored as PNG.
icons=()
for size in 16 20 24 32; do
  render "app-icon-$size" "$size"
  icons+=("$work/app-icon-$size-$size.png")
done
for size in 40 48 64; do
  render app-icon "$size"
  icons+=("$work/app-icon-$size.png")
done
render app-icon 256
icotool --create --bit-depth=32 --output="$out/DorvaneShutdown.ico" "${icons[@]}" \
  --raw="$work/app-icon-256.png"
echo "$out/DorvaneShutdown.ico"

# The toolbar: eight 24 px images in the order of its buttons.
toolbar=(shutdown reboot logoff standby hibernate lock remote domain)
strip=()
for name in "${toolbar[@]}"; do
  render "toolbar-$name" 24
  strip+=("$work/toolbar-$name-24.png")
done
bitmap toolbar.bmp "${strip[@]}"

render tray 16
bitmap tray.bmp "$work/tray-16.png"
bitmap about.bmp "$work/app-icon-32-32.png"

# Button glyphs: the normal state, then the disabled one.
for glyph in options:32 autologon:32 ok:16 cancel:16; do
  name=${glyph%:*}
  size=${glyph#*:}
  render "$name" "$size"
  disabled "$work/$name-$size.png" "$work/$name-$size-disabled.png"
  bitmap "$name.bmp" "$work/$name-$size.png" "$work/$name-$size-disabled.png"
done
