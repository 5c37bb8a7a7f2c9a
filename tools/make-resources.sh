#!/usr/bin/env bash
# Draws the program's icon and bitmaps from the SVG drawings in src/app/resources/svg, into the
# folder given (the build runs this; cmake/resources.cmake). Each bitmap is drawn at every scale
# the program picks from for the display's DPI, so that no image is ever stretched:
#
#   tools/make-resources.sh OUTPUT_FOLDER
#
# writes NAME.bmp (100 %) and NAME-125.bmp, NAME-150.bmp, NAME-200.bmp, and DorvaneShutdown.ico.
#
# The drawings share one palette and one line weight: 2 px strokes at 16 to 24 px, 3 px at 32 px,
# with straight lines placed on whole pixels. The small sizes of the application icon have
# drawings of their own, since a scaled-down large one turns to mush at 16 px. The palette:
#   blue #2F6FB8 (the program's colour), screen blue #9CC3EC, slate #3D4B59, red #D4463C,
#   green #2E9D5B, amber #F0A526, ice blue #3BA8DE, white.
#
# Bitmaps are 24-bit BMP files. Where a drawing is transparent they hold the key colour magenta
# (255,0,255); soft edges are blended against the light grey (240,240,240) of a button face.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and icotool (icoutils).
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTPUT_FOLDER" >&2
  exit 2
fi
svg=$(cd "$(dirname "$0")/../src/app/resources/svg" && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The scales in percent, as ui::ImageScales lists them.
scales=(100 125 150 200)

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
}

# scaled SIZE SCALE: the design size at the scale.
scaled() {
  echo $(($1 * $2 / 100))
}

# named NAME SCALE: the bitmap's file name at the scale.
named() {
  if [ "$2" = 100 ]; then
    echo "$1.bmp"
  else
    echo "$1-$2.bmp"
  fi
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

# The small application icon has drawings of its own up to 32 px; larger ones come from the
# large drawing.
app_icon_drawing() {
  case $1 in
  16 | 20 | 24 | 32) echo "app-icon-$1" ;;
  *) echo app-icon ;;
  esac
}

toolbar=(shutdown reboot logoff standby hibernate lock remote domain)
for scale in "${scales[@]}"; do
  # The toolbar: eight 24 px images in the order of its buttons.
  size=$(scaled 24 "$scale")
  strip=()
  for name in "${toolbar[@]}"; do
    render "toolbar-$name" "$size"
    strip+=("$work/toolbar-$name-$size.png")
  done
  bitmap "$(named toolbar "$scale")" "${strip[@]}"

  size=$(scaled 16 "$scale")
  render tray "$size"
  bitmap "$(named tray "$scale")" "$work/tray-$size.png"

  size=$(scaled 32 "$scale")
  drawing=$(app_icon_drawing "$size")
  render "$drawing" "$size"
  bitmap "$(named about "$scale")" "$work/$drawing-$size.png"

  # Button glyphs: the normal state, then the disabled one.
  for glyph in options:32 autologon:32 ok:16 cancel:16; do
    name=${glyph%:*}
    size=$(scaled "${glyph#*:}" "$scale")
    render "$name" "$size"
    disabled "$work/$name-$size.png" "$work/$name-$size-disabled.png"
    bitmap "$(named "$name" "$scale")" "$work/$name-$size.png" "$work/$name-$size-disabled.png"
  done
done
