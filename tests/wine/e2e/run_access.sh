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

# glyph_pixels NAME: the colours of the toolbar's image rows in a fresh screenshot NAME.
glyph_pixels() {
  local toolbar left top width _
  toolbar=$(drv children "$MAIN" | child_with 2 ToolbarWindow32)
  [ -n "$toolbar" ] || abort "the main window has no toolbar"
  read -r left top width _ <<<"$(drv screen-rect "$toolbar")"
  screenshot "$1"
  pixel_colours "$SCREENSHOT_DIR/$1.png" "$left" $((top + TOOLBAR_FRAME)) "$width" \
    "$TOOLBAR_IMAGE"
}

# count_pixels FILTER < PIXELS: how many "R G B" lines the awk condition holds for.
count_pixels() {
  awk "$1 { n++ } END { print n + 0 }"
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
  local text
  read -r -a text <<<"$HIGH_CONTRAST_TEXT"
  check "the toolbar's glyphs are in the scheme's text colour" \
    test "$(count_pixels "\$1 == ${text[0]} && \$2 == ${text[1]} && \$3 == ${text[2]}" \
      <<<"$pixels")" -gt "$MINIMUM_INK_PIXELS"
}

# ----------------------------------------------------------------------------------------------

begin_test "$3" "$4"
"test_$test_name"
finish
