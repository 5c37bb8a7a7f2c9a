#!/usr/bin/env bash
# End-to-end tests of the program for keyboard and screen-reader users, under Wine and Xvfb. A
# probe that the driver loads into the program asks oleacc, from inside the program's process,
# what a screen reader learns of each window.
#
#   run_access.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe ACCESS_PROBE.dll
#
# TEST is one of the test_* functions below, without the prefix:
#   countdown_enter        Enter on the countdown's focused Cancel cancels; the action is not asked
#   preferences_list_escape
#                          Esc with Preferences' list open closes only the list; OK keeps changes
#   result_list_tab        Tab from the domain result's list reaches OK
#   seconds_arrows         the arrows step the typed seconds: 30 then Down gives 29
#   toolbar_keys           the toolbar and the speed buttons by Tab, the arrows, Enter and Space
#   names                  every input that Wine's oleacc can name has the name of the table
#                          below
#   countdown_action_line  the countdown's first line names the action about to run
#   tray_keyboard          the keyboard's messages of the tray icon open its menu at the icon
#                          and bring the window back
#   high_contrast          in a high-contrast black scheme the toolbar's images are glyphs in
#                          the scheme's text colour, drawn anew when the program is told of it
#                          (high_contrast.dll, from BUILD_DIR, tells it: Wine 8 reports no high
#                          contrast)
#
# What Wine can't show is left to reading the code: Wine's annotation service answers E_NOTIMPL,
# so the dialog role, the names given by annotation and the live region are not seen here.

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
source "$(dirname "$0")/session.sh"
test_arguments 5 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe ACCESS_PROBE.dll" "$@"
readonly ACCESS_PROBE_DLL=$5

readonly WINDOW_MS=10000
readonly REMOTE_BUTTON=6
readonly DOMAIN_BUTTON=7
readonly WM_TRAYNOTIFY=0x8064
readonly TRAY_ICON_ID=1006
readonly WM_CONTEXTMENU=0x007B
readonly NIN_SELECT=0x0400
readonly NIN_KEYSELECT=0x0401
readonly WM_SYSCOMMAND=0x0112
readonly SC_CLOSE=0xF060

readonly FORM_CLASS=DorvaneForm

# The program's settings; the last update check is today, so that it asks no web site.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# ---------------------------------------------------------------------------------------------
# Keys: Enter, Esc, Tab and the arrows as the dialog manager hands them on

readonly PREFERENCES_TITLE=Preferences
readonly DOMAIN_TITLE="Shutdown a complete domain"
readonly RESULT_TITLE="Domain Shutdown result"
readonly LIST_FILE=DorvaneShutdown.computers.txt
readonly CB_GETDROPPEDSTATE=0x0157
readonly EM_SETSEL=0x00B1

# check_focus DESCRIPTION WINDOW CONTROL: the control has the keyboard focus of WINDOW's thread.
check_focus() {
  check_eq "$1" "$(drv focus "$2")" "$3"
}

# keys_open_preferences: Ctrl+O in the main window; sets DIALOG and CHILDREN.
keys_open_preferences() {
  drv key "$MAIN" ctrl+o
  DIALOG=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Ctrl+O opens no dialog \"$PREFERENCES_TITLE\""
  CHILDREN=$(drv children "$DIALOG")
}

# Enter on the countdown's Cancel, which has the focus from the start, cancels: the action never
# runs.
test_countdown_enter() {
  settings ShowWarning=1 WarnSeconds=30
  start_traced standby
  wait_countdown
  local cancel
  cancel=$(drv children "$COUNTDOWN" | child_with 3 "&Cancel")
  [ -n "$cancel" ] || abort "the countdown has no Cancel button"
  check_focus "the countdown's Cancel has the focus" "$COUNTDOWN" "$cancel"
  drv key "$COUNTDOWN" enter
  check "Enter takes the countdown away" drv wait-gone "$COUNTDOWN" 3000
  expect_exit "the cancelled keyword ends the program" 10 "$CANCELLED_EXIT"
  check_eq "actions" "$(action_calls)" ""
}

# Esc with the drop-down list of Preferences open closes the list only; Enter then presses OK,
# which keeps what was changed before.
test_preferences_list_escape() {
  settings ForceApps=0
  start_main_window
  keys_open_preferences
  local force list
  force=$(child_with 3 "Force applications to terminate." <<<"$CHILDREN")
  list=$(children_of_class ComboBox <<<"$CHILDREN")
  drv click-child "$DIALOG" "Force applications to terminate." || abort "no check box \"Force\""
  check "\"Force applications to terminate.\" is ticked" checked "$force"
  # A click opens the list and gives it the focus; later, Alt+Down opens it again.
  click_middle "$list"
  local open
  for open in "a click" "Alt+Down"; do
    [ "$open" = "a click" ] || drv key "$DIALOG" alt+down
    check_eq "$open opens the list" "$(drv send "$list" "$CB_GETDROPPEDSTATE" 0 0)" 1
    drv key "$DIALOG" escape
    check_eq "Esc closes the list opened by $open" \
      "$(drv send "$list" "$CB_GETDROPPEDSTATE" 0 0)" 0
    check_eq "Esc leaves Preferences open" "$(drv visible "$DIALOG")" 1
  done
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  drv key "$DIALOG" enter
  check "Enter closes Preferences" drv wait-gone "$DIALOG" "$WINDOW_MS"
  wait_settings_saved "Enter, on OK,"
  check_saved_settings LastCheckDay="$(today_day_number)" ForceApps=1
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# Tab leaves the domain result's read-only list for OK, and Shift+Tab comes back.
test_result_list_tab() {
  settings ShowWarning=0
  printf 'GOOD1\r\nno such name\r\n' >"$E2E_DIR/$LIST_FILE"
  start_main_window
  click_tool_button "$DOMAIN_BUTTON"
  local dialog result memo ok
  dialog=$(drv wait-window "$FORM_CLASS" "$DOMAIN_TITLE" "$WINDOW_MS") ||
    abort "the toolbar's Domain button opens no dialog"
  drv click-child "$dialog" "&OK" || abort "the domain dialog has no OK button"
  result=$(drv wait-window "$FORM_CLASS" "$RESULT_TITLE" 60000) ||
    abort "no window \"$RESULT_TITLE\""
  memo=$(drv children "$result" | children_of_class Edit)
  ok=$(drv children "$result" | child_with 3 OK)
  click_middle "$memo"
  check_focus "a click puts the focus into the list" "$result" "$memo"
  drv key "$result" tab
  check_focus "Tab goes on to OK" "$result" "$ok"
  drv key "$result" shift+tab
  check_focus "Shift+Tab comes back to the list" "$result" "$memo"
  drv key "$result" tab space
  check "Space on OK closes the window" drv wait-gone "$result" "$WINDOW_MS"
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# The arrows read the number typed in their edit: 30, then Down, gives 29.
test_seconds_arrows() {
  settings WarnSeconds=10
  start_main_window
  keys_open_preferences
  local edit
  edit=$(children_of_class Edit <<<"$CHILDREN" | head -n 1)
  check_eq "the warning's seconds" "$(drv read-text "$edit")" 10
  click_middle "$edit"
  drv send "$edit" "$EM_SETSEL" 0 -1 >/dev/null
  drv key "$DIALOG" 3 0
  check_eq "30 typed" "$(drv read-text "$edit")" 30
  drv key "$DIALOG" down
  check_eq "Down after 30" "$(drv read-text "$edit")" 29
  screenshot access_seconds_arrows
  touch -d '2001-01-01 00:00' "$SETTINGS_FILE"
  drv key "$DIALOG" enter
  check "Enter in the edit presses OK" drv wait-gone "$DIALOG" "$WINDOW_MS"
  wait_settings_saved "OK"
  check_saved_settings LastCheckDay="$(today_day_number)" WarnSeconds=29
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# keys_tab_to WINDOW CONTROL: Tab until the control has the focus, at most once round the window.
keys_tab_to() {
  local tabs=0
  while [ "$tabs" -lt 8 ]; do
    [ "$(drv focus "$1")" = "$2" ] && return 0
    drv key "$1" tab
    tabs=$((tabs + 1))
  done
  [ "$(drv focus "$1")" = "$2" ]
}

# The toolbar and the speed buttons are reached by Tab and pressed by Enter and Space; the
# arrows move along the toolbar.
test_toolbar_keys() {
  settings ShowWarning=0
  start_main_window
  local toolbar options dialog
  toolbar=$(main_toolbar)
  options=$(drv children "$MAIN" | child_with 3 Options)
  check "Tab reaches the toolbar" keys_tab_to "$MAIN" "$toolbar"
  drv key "$MAIN" right right right right right right
  screenshot access_toolbar_remote
  drv key "$MAIN" enter
  dialog=$(drv wait-window "$FORM_CLASS" "Remote Shutdown" "$WINDOW_MS") ||
    abort "Enter on the toolbar's seventh button opens no Remote dialog"
  pass "the arrows and Enter on the toolbar open the Remote dialog"
  drv key "$dialog" escape
  check "Esc closes the Remote dialog" drv wait-gone "$dialog" "$WINDOW_MS"
  check "Tab reaches Options" keys_tab_to "$MAIN" "$options"
  drv key "$MAIN" space
  dialog=$(drv wait-window "$FORM_CLASS" "$PREFERENCES_TITLE" "$WINDOW_MS") ||
    abort "Space on Options opens no Preferences"
  pass "Space on Options opens Preferences"
  drv key "$dialog" escape
  check "Esc closes Preferences" drv wait-gone "$dialog" "$WINDOW_MS"
  drv key "$MAIN" alt+f4
  expect_exit "Alt+F4 ends the program" 20
}

# ---------------------------------------------------------------------------------------------
# names: the accessible name of every input

# The one table of names: the window's caption, the control's class and its place among the
# controls of that class in the window, the name a screen reader must hear, and how the program
# gives it: "caption" (the control's own text), "label" (the label right before the input) or
# "annotation" (Windows' dynamic annotation).
readonly EXPECTED_NAMES="\
Dorvane Shutdown	SysDateTimePick32	1	Shutdown at	annotation
Dorvane Shutdown	Button	3	Options	caption
Dorvane Shutdown	Button	4	AutoLogon  DISABLED	caption
Preferences	Edit	1	second(s)	label
Preferences	msctls_updown32	1	second(s)	annotation
Preferences	Edit	2	second(s)	label
Preferences	msctls_updown32	2	second(s)	annotation
Preferences	ComboBox	1	Shutdown action:	label
Remote Shutdown	Edit	1	Computer name;:	label
Remote Shutdown	Edit	2	Username;	label
Remote Shutdown	Edit	3	Password:	label
Shutdown a complete domain	Edit	1	Username;	label
Shutdown a complete domain	Edit	2	Password:	label
Automatic Logon	Edit	1	Username:	label
Automatic Logon	Edit	2	Password:	label
Automatic Logon	Edit	3	Domain	label"

# The program's settings: no update check today.
access_settings() {
  settings_bytes LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"
}

# Opens a dialog of the main window with OPEN..., asks oleacc about its controls and closes it
# with Esc; adds the probe's lines to NAMES_REPORT.
# probe_dialog CAPTION OPEN...
probe_dialog() {
  local caption=$1 dialog
  shift
  "$@"
  dialog=$(drv wait-window - "$caption" "$WINDOW_MS") || abort "\"$caption\" does not open"
  local report
  report=$(ask_oleacc "$MAIN" "$(tr -cd '[:alpha:]' <<<"$caption")") || abort "oleacc was not asked"
  NAMES_REPORT+=$'\n'$report
  drv key "$dialog" escape
  drv wait-gone "$dialog" "$WINDOW_MS" >/dev/null || abort "Esc does not close \"$caption\""
}

test_names() {
  access_settings
  start_main_window
  NAMES_REPORT=$(ask_oleacc "$MAIN" main) || abort "oleacc was not asked"
  probe_dialog Preferences drv key "$MAIN" ctrl+o
  probe_dialog "Remote Shutdown" click_tool_button "$REMOTE_BUTTON"
  probe_dialog "Shutdown a complete domain" click_tool_button "$DOMAIN_BUTTON"
  probe_dialog "Automatic Logon" drv key "$MAIN" ctrl+l
  log "what oleacc reads (form/control, caption, class, place, role, name):"
  log "$NAMES_REPORT"

  local caption class place name means heard
  while IFS=$'\t' read -r caption class place name means; do
    heard=$(awk -F '\t' -v f="$caption" -v c="$class" -v p="$place" \
      '$1 == "control" && $2 == f && $3 == c && $4 == p { print $6; found = 1; exit }
       END { if (!found) print "(no such control)" }' <<<"$NAMES_REPORT")
    if wine_names "$class" "$means"; then
      check_eq "$caption: $class $place is named" "$heard" "$name"
    else
      log "not named by Wine: $caption $class $place reads \"$heard\", given \"$name\" by $means"
    fi
  done <<<"$EXPECTED_NAMES"
}

# wine_names CLASS MEANS: whether Wine's oleacc can give the name. It names a button by its
# caption and an edit by the label before it; a drop-down list, a time picker and an up-down it
# names by their own text or not at all, and it keeps no annotation.
wine_names() {
  [ "$2" = caption ] || { [ "$2" = label ] && [ "$1" = Edit ]; }
}

# ---------------------------------------------------------------------------------------------
# countdown_action_line: the countdown's first line names the action

# The keyword the program is started with, and the first line its countdown shows.
readonly ACTION_LINES="\
logoff	Logging off
remotereboot PC1	Restarting PC1
domainshutdown	Shutting down every computer of the domain"

test_countdown_action_line() {
  access_settings
  local arguments line dialog children
  while IFS=$'\t' read -r arguments line; do
    # shellcheck disable=SC2086 # the keyword and its computer are two arguments
    start_program $arguments
    APP=$!
    dialog=$(drv wait-window "!$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS" msctls_progress32) ||
      abort "\"$arguments\" shows no countdown"
    children=$(drv children "$dialog")
    check "\"$arguments\": the countdown's first line says \"$line\"" \
      grep -qF "$(printf '\t%s\t1\t' "$line")" <<<"$children"
    check "\"$arguments\": the countdown still tells the seconds left" \
      grep -qE "$(printf '\t')The action starts in [0-9]+ second\(s\)\." <<<"$children"
    screenshot "countdown_$(tr -cd '[:lower:]' <<<"$arguments")"
    drv click-child "$dialog" "&Cancel" || fail "the countdown has no Cancel button"
    wait_exit "$APP" 30 || abort "\"$arguments\": the program still runs after Cancel"
  done <<<"$ACTION_LINES"
}

# ---------------------------------------------------------------------------------------------
# tray_keyboard: the tray icon's keyboard messages

# The tray's message as version 4 of the icon sends it: the anchor point in one parameter, the
# event and the icon's id in the other.
# post_tray_event EVENT X Y
post_tray_event() {
  drv post "$MAIN" "$WM_TRAYNOTIFY" $((($3 << 16) | $2)) $(((TRAY_ICON_ID << 16) | $1))
}

test_tray_keyboard() {
  access_settings
  start_main_window
  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_CLOSE" 0 >/dev/null
  check "the close box hides the main window to the tray" drv wait-gone "$MAIN" "$WINDOW_MS"

  # Where the icon is: as the shell tells the program, else a point in the middle of the screen
  # stands for the anchor that version 4 sends with a key.
  local tray left top menu bounds
  tray=$(ask_oleacc "$MAIN" tray) || abort "oleacc was not asked"
  tray=$(awk -F '\t' '$1 == "tray"' <<<"$tray")
  log "the shell's icon rectangle: $tray"
  if [ "$(cut -f 2 <<<"$tray")" = none ]; then
    left=400
    top=600
  else
    left=$(cut -f 2 <<<"$tray")
    top=$(cut -f 3 <<<"$tray")
  fi

  # The menu key or Shift+F10 on the icon.
  post_tray_event "$WM_CONTEXTMENU" "$left" "$top"
  menu=$(drv wait-window '#32768' - "$WINDOW_MS") || abort "the menu key on the icon opens no menu"
  pass "the menu key on the icon opens the tray menu"
  screenshot tray_menu_from_keyboard
  read -r -a bounds <<<"$(drv rect "$menu")"
  # The taskbar lies along the bottom: the menu's lower left corner is at the icon.
  check_eq "the menu's left edge is at the icon" "${bounds[0]}" "$left"
  check_eq "the menu's bottom edge is at the icon" "${bounds[3]}" "$top"
  drv post-key "$menu" escape
  check "Esc closes the tray menu" drv wait-gone "$menu" "$WINDOW_MS"
  check_eq "the window stays in the tray" "$(drv visible "$MAIN")" 0

  # Enter on the icon.
  post_tray_event "$NIN_KEYSELECT" "$left" "$top"
  check "Enter on the icon brings the window back" drv wait-visible "$MAIN" "$WINDOW_MS"
  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_CLOSE" 0 >/dev/null
  drv wait-gone "$MAIN" "$WINDOW_MS" >/dev/null || abort "the close box does not hide the window"
  # Space on the icon.
  post_tray_event "$NIN_SELECT" "$left" "$top"
  check "Space on the icon brings the window back" drv wait-visible "$MAIN" "$WINDOW_MS"
  check "the program keeps running" running "$APP"
}

# ---------------------------------------------------------------------------------------------
# high_contrast: in a high-contrast black scheme the images are glyphs in the scheme's colours

readonly HIGH_CONTRAST_DLL=high_contrast.dll
readonly INJECT_MS=20000
# The toolbar's images lie at the top of its buttons, below its frame; the captions under them.
readonly TOOLBAR_FRAME=3
readonly TOOLBAR_IMAGE=24
# Enough ink for eight glyphs, well more than the anti-aliased edges of the captions.
readonly MINIMUM_INK_PIXELS=400
readonly MINIMUM_HOT_INK_PIXELS=30
# A point inside the first button, from the toolbar's top left corner.
readonly HOT_POINT=20

# glyph_pixels NAME [BUTTON]: the colours of the toolbar's image rows in a fresh screenshot NAME;
# with a button's index, only of that button, without its edges.
glyph_pixels() {
  local toolbar left top width _ height=$TOOLBAR_IMAGE
  toolbar=$(main_toolbar)
  read -r left top width _ <<<"$(window_geometry "$toolbar")"
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
  read -r toolbar_left toolbar_top _ <<<"$(window_geometry "$(main_toolbar)")"
  move_pointer $((toolbar_left + HOT_POINT)) $((toolbar_top + HOT_POINT))
  pixels=$(glyph_pixels high-contrast-hot 0)
  check "the hot button stands on the highlight" \
    test $((2 * $(count_colour "$HIGH_CONTRAST_HIGHLIGHT" <<<"$pixels"))) -gt "$(wc -l <<<"$pixels")"
  check_eq "the hot button's glyph has no pixel of the normal text colour" \
    "$(count_colour "$HIGH_CONTRAST_TEXT" <<<"$pixels")" 0
  check "the hot button's glyph is in the highlight text colour" \
    test "$(count_colour "$HIGH_CONTRAST_HIGHLIGHT_TEXT" <<<"$pixels")" -ge "$MINIMUM_HOT_INK_PIXELS"
}

begin_test "$3" "$4"
cp "$ACCESS_PROBE_DLL" "$E2E_DIR/access_probe.dll"
"test_$test_name"
finish
