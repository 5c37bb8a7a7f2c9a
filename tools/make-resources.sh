#!/usr/bin/env bash
# Draws the program's icon and bitmaps from the SVG drawings in src/app/resources/svg, into the
# folder given (the build runs this; cmake/resources.cmake). Each bitmap is drawn at every scale
# the program picks from for the display's DPI, so that no image is ever stretched:
#
#   tools/make-resources.sh OUTPUT_FOLDER
#
# writes NAME.bmp (100 %) and NAME-125.bmp, NAME-150.bmp, NAME-200.bmp, DorvaneShutdown.ico and
# tray.ico.
#
# The drawings share one palette and one line weight: 2 px strokes at 16 to 24 px, 3 px at 32 px,
# with straight lines placed on whole pixels. The small sizes of the application icon have
# drawings of their own, since a scaled-down large one turns to mush at 16 px. The palette:
#   blue #2F6FB8 (the program's colour), screen blue #9CC3EC, slate #3D4B59, red #D4463C,
#   green #2E9D5B, amber #F0A526, ice blue #3BA8DE, white.
#
# Bitmaps are 32-bit BMP files with their alpha channel, so that soft edges blend with whatever
# they are drawn on. Icons hold 32-bit images with alpha at every size the system asks for from
# 100 to 300 % (and 400 %), so that none is stretched.
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

# bitmap OUT.bmp IN.png...: puts the images side by side and writes them as a 32-bit BMP with
# their alpha channel.
bitmap() {
  local bmp=$1
  shift
  convert "$@" -background none +append -define bmp3:alpha=true "BMP3:$out/$bmp"
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

# The small application icon has drawings of its own up to 32 px; the other sizes come from the
# large drawing.
app_icon_drawing() {
  case $1 in
  16 | 20 | 24 | 32) echo "app-icon-$1" ;;
  *) echo app-icon ;;
  esac
}

# icon NAME.ico SIZE... [-- PNG_SIZE...]: the icon's images, each from its drawing; those after
# "--" are stored as PNG, which Windows reads from Vista on, as it asks for them only at the
# scales that came with Vista.
icon() {
  local ico=$1 raw=0 size drawing images=()
  shift
  for size in "$@"; do
    if [ "$size" = -- ]; then
      raw=1
      continue
    fi
    drawing=$(icon_drawing "$ico" "$size")
    render "$drawing" "$size"
    if [ $raw = 1 ]; then
      images+=("--raw=$work/$drawing-$size.png")
    else
      images+=("$work/$drawing-$size.png")
    fi
  done
  icotool --create --bit-depth=32 --output="$out/$ico" "${images[@]}"
}

# icon_drawing NAME.ico SIZE: the drawing an icon's image of that size comes from.
icon_drawing() {
  case $1 in
  tray.ico) echo tray ;;
  *) app_icon_drawing "$2" ;;
  esac
}

# The application icon: the small icon's sizes (16 px at 100 % to 48 px at 300 %), the large
# one's (32 to 96 px) and 256 px. The tray icon: the small icon's sizes, and 400 %.
icon DorvaneShutdown.ico 16 20 24 28 32 40 48 -- 56 64 80 96 256
icon tray.ico 16 20 24 28 32 40 48 -- 64

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
