#!/usr/bin/env bash
# End-to-end tests of the program for users of the keyboard alone, of a screen reader and of a
# high-contrast scheme.
#
#   run_access.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe
#
# TEST is one of the test_* functions below, without the prefix. Screenshots go to
# BUILD_DIR/screenshots. Prints one PASS or FAIL line a check; the exit status is 0 when all
# passed.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 4 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe" "$@"

# --- High contrast ----------------------------------------------------------------------------

readonly HIGH_CONTRAST_DLL=high_contrast.dll
readonly INJECT_MS=20000
# The toolbar's images lie at the top of its buttons, below its frame; the captions under them.
readonly TOOLBAR_FRAME=3
readonly TOOLBAR_IMAGE=24
# Enough ink for eight glyphs, well more than the anti-aliased edges of the captions.
readonly MINIMUM_INK_PIXELS=400
readonly MINIMUM_HOT_INK_PIXELS=30
readonly TB_GETBUTTONSIZE=0x043A
# A point inside the first button, from the toolbar's top left corner.
readonly HOT_POINT=20

main_toolbar() {
  local toolbar
  toolbar=$(drv children "$MAIN" | child_with 2 ToolbarWindow32)
  [ -n "$toolbar" ] || abort "the main window has no toolbar"
  echo "$toolbar"
}

# glyph_pixels NAME [BUTTON]: the colours of the toolbar's image rows in a fresh screenshot NAME;
# with a button's index, only of that button, without its edges.
glyph_pixels() {
  local toolbar left top width _ height=$TOOLBAR_IMAGE
  toolbar=$(main_toolbar)
  read -r left top width _ <<<"$(drv screen-rect "$toolbar")"
  top=$((top + TOOLBAR_FRAME))
  if [ $# -gt 1 ]; then
    local button
    button=$(($(drv send "$toolbar" "$TB_GETBUTTONSIZE" 0 0) & 0xFFFF))
    left=$((left + $2 * button + TOOLBAR_FRAME))
    width=$((button - 2 * TOOLBAR_FRAME))
    top=$((top + TOOLBAR_FRAME))
    height=$((height - TOOLBAR_FRAME))
  fi
  # The screenshot's own line goes to the log, not among the pixels.
  screenshot "$1" >&2
  pixel_colours "$SCREENSHOT_DIR/$1.png" "$left" "$top" "$width" "$height"
}

# count_pixels FILTER < PIXELS: how many "R G B" lines the awk condition holds for.
count_pixels() {
  awk "$1 { n++ } END { print n + 0 }"
}

# count_colour "R G B" < PIXELS: how many pixels are of exactly that colour.
count_colour() {
  local rgb
  read -r -a rgb <<<"$1"
  count_pixels "\$1 == ${rgb[0]} && \$2 == ${rgb[1]} && \$3 == ${rgb[2]}"
}

# Colours of a drawing: far from every grey between the black face and the white ink.
# shellcheck disable=SC2016 # an awk condition, expanded by awk
readonly COLOURED='($1 - $2 > 24 || $2 - $1 > 24 || $2 - $3 > 24 || $3 - $2 > 24)'

test_high_contrast() {
  use_high_contrast_black
  settings_bytes LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"
  cp "$build_dir/$HIGH_CONTRAST_DLL" "$E2E_DIR/" || abort "$HIGH_CONTRAST_DLL is not built"
  start_main_window
  pointer_to_corner

  # With the scheme's colours but high contrast not yet reported, the drawings keep theirs.
  local pixels report
  pixels=$(glyph_pixels high-contrast-before)
  check "before high contrast the toolbar shows the drawings' colours" \
    test "$(count_pixels "$COLOURED" <<<"$pixels")" -gt "$MINIMUM_INK_PIXELS"

  report=$(drv inject "$(drv pid "$MAIN")" "C:\\$E2E_FOLDER\\$HIGH_CONTRAST_DLL" "$INJECT_MS") ||
    abort "high contrast could not be switched on in the program"
  log "Wine itself reports high contrast $(awk '$1 == "system" { print $2 }' <<<"$report")"
  check_eq "the program is told high contrast is on" \
    "$(awk '$1 == "program" { print $2 }' <<<"$report")" on

  # Told of the change, the program draws its images anew as glyphs in the text colour.
  pixels=$(glyph_pixels high-contrast)
  check_eq "no pixel of the toolbar's images keeps a drawing's colour" \
    "$(count_pixels "$COLOURED" <<<"$pixels")" 0
  check "the toolbar's glyphs are in the scheme's text colour" \
    test "$(count_colour "$HIGH_CONTRAST_TEXT" <<<"$pixels")" -gt "$MINIMUM_INK_PIXELS"

  # The button under the mouse stands on the highlight, its glyph in the highlight text's ink.
  local toolbar_left toolbar_top _
  read -r toolbar_left toolbar_top _ <<<"$(drv screen-rect "$(main_toolbar)")"
  move_pointer $((toolbar_left + HOT_POINT)) $((toolbar_top + HOT_POINT))
  pixels=$(glyph_pixels high-contrast-hot 0)
  check "the hot button stands on the highlight" \
    test $((2 * $(count_colour "$HIGH_CONTRAST_HIGHLIGHT" <<<"$pixels"))) -gt "$(wc -l <<<"$pixels")"
  check_eq "the hot button's glyph has no pixel of the normal text colour" \
    "$(count_colour "$HIGH_CONTRAST_TEXT" <<<"$pixels")" 0
  check "the hot button's glyph is in the highlight text colour" \
    test "$(count_colour "$HIGH_CONTRAST_HIGHLIGHT_TEXT" <<<"$pixels")" -ge "$MINIMUM_HOT_INK_PIXELS"
}

# ----------------------------------------------------------------------------------------------

begin_test "$3" "$4"
"test_$test_name"
finish
