#!/usr/bin/env bash
# End-to-end tests of the program's windows on displays of 96 to 288 DPI: each window is the
# design scaled by the DPI (and widened where the face is wider than the designed one), its font
# and images are scaled, its letters grow with the DPI, every caption fits its control, no control
# covers part of another, and every dialog is owned by the main window. A probe loaded into the
# program measures the captions in the controls' own fonts.
#
#   run_display.sh TEST BUILD_DIR PROGRAM.exe DRIVER.exe PROBE.dll
#
# TEST: fit_DPI with the faces this machine's Wine resolves for the designed one (DejaVu Sans,
# wider than the designed face), fit_DPI_wine_fonts with Wine's own fonts (the designed face, a
# bitmap face drawn up to 150 %, and Tahoma),
# dpi_change (the main window moved from 96 to 144 DPI), dpi_change_minimised and
# dpi_change_in_tray (the same while the window is minimised or hidden in the tray, then shown),
# or tray_icon_DPI (the icon the tray gets at 100, 175 and 250 %).

# The tests are called by name, which shellcheck cannot follow.
# shellcheck disable=SC2317
# shellcheck source-path=SCRIPTDIR
set -u

# shellcheck source=session.sh
# Room for the main window at 300 %.
E2E_SCREEN=1600x1200
source "$(dirname "$0")/session.sh"
test_arguments 5 "TEST BUILD_DIR PROGRAM.exe DRIVER.exe PROBE.dll" "$@"
readonly PROBE_DLL=$5

readonly WINDOW_MS=10000
readonly PROBE_MS=20000
readonly WM_SYSCOMMAND=0x0112
readonly SC_MINIMIZE=0xF020
readonly SC_RESTORE=0xF120
# The tray icon's message to the main window (WM_APP + 100), as a left click on the icon sends it.
readonly WM_TRAYNOTIFY=0x8064
readonly LOCK_BUTTON=5
readonly REMOTE_BUTTON=6
readonly DOMAIN_BUTTON=7
# The design: the main window's client area, the font's height and the toolbar's images at
# 96 DPI, and the width of the letters A-Z, a-z in the designed face there.
readonly MAIN_WIDTH=459
readonly MAIN_HEIGHT=129
readonly FONT_PIXELS=11
readonly TOOL_IMAGE=24
# The toolbar's images as drawn, at 100, 125, 150 and 200 %.
readonly TOOL_IMAGES="24 30 36 48"
readonly DESIGNED_SAMPLE=323
readonly TOLERANCE=2

# use_display DPI: Wine gives programs that DPI, as Windows set to that scale does.
use_display() {
  local key
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
      abort "the DPI could not be set"
  done
}

# The session gives every prefix Wine's own fonts, the designed face among them; here the
# designed faces give way to DejaVu Sans, which is wider. Wine replaces only faces it lacks.
use_wider_face() {
  rm -f "$WINEPREFIX"/drive_c/windows/Fonts/{sserif*.fon,ssef*.fon,ssee*.fon,ms_sans_serif.ttf,tahoma*.ttf}
  local face
  for face in "MS Sans Serif" Tahoma "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "DejaVu Sans" /f \
      >/dev/null 2>&1 || abort "the face could not be replaced"
  done
}

# The program's settings: no update check today, the countdown on.
settings() {
  settings_bytes LastCheckDay="$(today_day_number)" "$@" >"$SETTINGS_FILE"
}

# probe: loads the probe into the program; sets REPORT.
probe() {
  local dll="C:\\$E2E_FOLDER\\fit_probe.dll"
  REPORT=$(drv inject "$(drv pid "$MAIN")" "$dll" "$PROBE_MS") || abort "the probe did not report"
  grep -q "^done$" <<<"$REPORT" || abort "the probe's report is cut short: $REPORT"
}

# form_field WINDOW COLUMN: one column of the probe's form line for the window.
form_field() {
  awk -F '\t' -v w="$1" -v c="$2" '$1 == "form" && $2 == w { print $c }' <<<"$REPORT"
}

# scaled LENGTH [WIDEN]: the design length at the DPI, widened by the face when WIDEN is x.
scaled() {
  local dpi sample
  dpi=$(form_field "$MAIN" 3)
  sample=$(form_field "$MAIN" 5)
  awk -v l="$1" -v d="$dpi" -v s="$sample" -v w="${2:-}" -v designed="$DESIGNED_SAMPLE" 'BEGIN {
    f = d / 96
    if (w == "x" && s / (designed * d / 96) > 1) f = f * s / (designed * d / 96)
    printf "%d\n", l * f + 0.5 }'
}

# grows_with_dpi WIDTH DPI: the letters' width is the designed face's at 96 DPI scaled by the
# DPI, within 5 %.
grows_with_dpi() {
  awk -v w="$1" -v d="$2" -v designed="$DESIGNED_SAMPLE" 'BEGIN {
    expected = designed * d / 96
    exit !(w >= expected * 0.95 && w <= expected * 1.05) }'
}

near() {
  [ $(($1 - $2)) -le "$TOLERANCE" ] && [ $(($2 - $1)) -le "$TOLERANCE" ]
}

# check_window WINDOW NAME: every caption of the window fits; its owner is the main window
# unless it is the main window.
check_window() {
  local window=$1 name=$2 failures
  [ -n "$(form_field "$window" 2)" ] || abort "$name: the probe did not see the window"
  log "$name: $(form_field "$window" 9) at $(form_field "$window" 3) DPI," \
    "letters $(form_field "$window" 5) px wide"
  failures=$(awk -F '\t' -v w="$window" '$1 == "fit" && $2 == w && $5 > $6 {
    printf "%s \"%s\" needs %d, has %d; ", $3, $4, $5, $6 }' <<<"$REPORT")
  local count
  count=$(awk -F '\t' -v w="$window" '$1 == "fit" && $2 == w' <<<"$REPORT" | wc -l)
  check "$name: all $count captions fit${failures:+ ($failures)}" test -z "$failures"
  local overlaps
  overlaps=$(awk -F '\t' -v w="$window" '$1 == "overlap" && $2 == w { printf "%s over %s; ", $3, $4 }' \
    <<<"$REPORT")
  check "$name: no two controls overlap${overlaps:+ ($overlaps)}" test -z "$overlaps"
  if [ -n "$DESIGNED_FACE" ]; then
    local sample dpi
    sample=$(form_field "$window" 5)
    dpi=$(form_field "$window" 3)
    check "$name: letters $sample px wide, the designed $DESIGNED_SAMPLE px grown to $dpi DPI" \
      grows_with_dpi "$sample" "$dpi"
  fi
  if [ "$window" != "$MAIN" ]; then
    check_eq "$name: owned by the main window" "$(form_field "$window" 8)" "$MAIN"
  fi
}

check_main_window() {
  local dpi expected_width expected_height width height
  dpi=$(form_field "$MAIN" 3)
  check_eq "the program sees the display's DPI" "$dpi" "$1"
  expected_width=$(scaled "$MAIN_WIDTH" x)
  expected_height=$(scaled "$MAIN_HEIGHT")
  width=$(form_field "$MAIN" 6)
  height=$(form_field "$MAIN" 7)
  check "client area ${width}x$height is the design's ${expected_width}x$expected_height" \
    near "$width" "$expected_width"
  check "client height $height" near "$height" "$expected_height"
  check_eq "font height" "$(form_field "$MAIN" 4)" "-$(scaled "$FONT_PIXELS")"
  local tool
  tool=$(awk -F '\t' -v w="$MAIN" '$1 == "tool" && $2 == w' <<<"$REPORT")
  # The largest drawing that fits the scaled room, never one stretched or too big for it.
  local room image=$TOOL_IMAGE drawn
  room=$(scaled "$TOOL_IMAGE")
  for drawn in $TOOL_IMAGES; do
    [ "$drawn" -gt "$room" ] || image=$drawn
  done
  check_eq "toolbar images" "$(cut -f 3 <<<"$tool")" "$image"
  check_eq "toolbar buttons inside the bar" "$(cut -f 4 <<<"$tool")" 8
  check_window "$MAIN" "main window"
}

# open_and_check NAME TITLE OPENING...: opens a dialog by the command, checks it and closes it.
check_dialog() {
  local name=$1 title=$2 dialog
  dialog=$(drv wait-window - "$title" "$WINDOW_MS") || abort "$name did not open"
  probe
  check_window "$dialog" "$name"
  screenshot "display_${test_name}_${name// /_}"
  drv key "$dialog" escape
  check "$name closes" drv wait-gone "$dialog" "$WINDOW_MS"
}

# fit DPI: the main window, every dialog and the countdown at the DPI.
fit() {
  local dpi=$1 winlogon='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
  use_display "$dpi"
  # As on Windows 2000, where the AutoLogon dialog opens.
  wine reg add 'HKCU\Software\Wine\AppDefaults\DorvaneShutdown.exe' /v Version /d win2k /f \
    >/dev/null 2>&1 || abort "the Windows version could not be set"
  wine reg add "$winlogon" /v AutoAdminLogon /d 1 /f >/dev/null 2>&1 ||
    abort "the automatic logon could not be set"
  cp "$PROBE_DLL" "$E2E_DIR/fit_probe.dll"
  settings
  start_main_window
  probe
  check_main_window "$dpi"
  screenshot "display_${test_name}_main"

  drv key "$MAIN" ctrl+o
  check_dialog Preferences Preferences
  click_tool_button "$REMOTE_BUTTON"
  check_dialog Remote "Remote Shutdown"
  click_tool_button "$DOMAIN_BUTTON"
  check_dialog Domain "Shutdown a complete domain"
  drv click-child "$MAIN" "AutoLogon  ENABLED" || abort "no AutoLogon button saying ENABLED"
  check_dialog AutoLogon "Automatic Logon"
  drv key "$MAIN" ctrl+a
  check_dialog About "About Dorvane Shutdown"

  click_tool_button "$LOCK_BUTTON"
  local countdown
  countdown=$(drv wait-window "!$MAIN_CLASS" "$CAPTION" "$WINDOW_MS" msctls_progress32) ||
    abort "the Lock button shows no countdown"
  probe
  check_window "$countdown" countdown
  screenshot "display_${test_name}_countdown"
  drv click-child "$countdown" "&Cancel" || fail "the countdown has no Cancel button"
  check "the countdown closes" drv wait-gone "$countdown" "$WINDOW_MS"
}

# Set by the tests with Wine's own fonts, whose designed face is the one the design measured.
DESIGNED_FACE=
for dpi in 96 120 144 192; do
  eval "test_fit_$dpi() { use_wider_face; fit $dpi; }"
done
for dpi in 96 120 144 168 192 240 288; do
  eval "test_fit_${dpi}_wine_fonts() { DESIGNED_FACE=yes; fit $dpi; }"
done

# The main window moved to a monitor of 144 DPI: it takes the new scale in place.
test_dpi_change() {
  use_display 96
  cp "$PROBE_DLL" "$E2E_DIR/fit_probe.dll"
  settings
  start_main_window
  echo "dpi 144" >"$E2E_DIR/fit_probe.in"
  probe
  rm -f "$E2E_DIR/fit_probe.in"
  # The window reports the DPI it was told of only through its own scaling: measured again.
  probe
  local width
  width=$(form_field "$MAIN" 6)
  check "client width $width is the design's at 144 DPI" near "$width" $((MAIN_WIDTH * 3 / 2))
  check "client height" near "$(form_field "$MAIN" 7)" $((MAIN_HEIGHT * 3 / 2))
  check_eq "font height" "$(form_field "$MAIN" 4)" "-$(((FONT_PIXELS * 3 + 1) / 2))"
  local tool
  tool=$(awk -F '\t' -v w="$MAIN" '$1 == "tool" && $2 == w' <<<"$REPORT")
  check_eq "toolbar images" "$(cut -f 3 <<<"$tool")" $((TOOL_IMAGE * 3 / 2))
  check_eq "toolbar buttons inside the bar" "$(cut -f 4 <<<"$tool")" 8
  check_window "$MAIN" "main window"
  screenshot display_dpi_change
}

# The main window as the probe saw it: its font, letters, client size and face, and its toolbar.
main_window_state() {
  form_field "$MAIN" 4
  form_field "$MAIN" 5
  form_field "$MAIN" 6
  form_field "$MAIN" 7
  form_field "$MAIN" 9
  awk -F '\t' -v w="$MAIN" '$1 == "tool" && $2 == w { print $3, $4, $5, $6, $7 }' <<<"$REPORT"
}

# dpi_change_while HIDE SHOW: the main window at 96 DPI, hidden by the command HIDE, told that it
# moved to 144 DPI, and shown again by SHOW, is the window a fresh start at 144 DPI shows.
dpi_change_while() {
  local hide=$1 show=$2 fresh
  cp "$PROBE_DLL" "$E2E_DIR/fit_probe.dll"
  settings ConfirmExit=0
  use_display 144
  start_main_window
  probe
  fresh=$(main_window_state)
  drv key "$MAIN" alt+f4
  expect_exit "the program at 144 DPI ends" 30

  use_display 96
  start_main_window
  $hide
  echo "dpi 144" >"$E2E_DIR/fit_probe.in"
  probe
  rm -f "$E2E_DIR/fit_probe.in"
  $show
  drv wait-visible "$MAIN" "$WINDOW_MS" >/dev/null || abort "the main window does not come back"
  probe
  check_eq "font, letters, client size, face and toolbar as at a fresh start" \
    "$(main_window_state | tr '\n' ' ')" "$(tr '\n' ' ' <<<"$fresh")"
  check_window "$MAIN" "main window"
  screenshot "display_${test_name}"
}

minimise() {
  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_MINIMIZE" 0 >/dev/null
}

restore() {
  drv send "$MAIN" "$WM_SYSCOMMAND" "$SC_RESTORE" 0 >/dev/null
}

to_tray() {
  drv key "$MAIN" escape
  drv wait-gone "$MAIN" "$WINDOW_MS" || abort "Esc does not hide the main window"
}

from_tray() {
  drv post "$MAIN" "$WM_TRAYNOTIFY" 0 "$WM_LBUTTONUP"
}

test_dpi_change_minimised() {
  dpi_change_while minimise restore
}

test_dpi_change_in_tray() {
  dpi_change_while to_tray from_tray
}

# tray_icon DPI: hidden in the tray, the program gives it an icon of the small icon's size at the
# DPI (16 px at 96 DPI), transparent at its rounded corners and opaque at its centre.
tray_icon() {
  local dpi=$1 line expected=$((16 * $1 / 96))
  use_display "$dpi"
  cp "$PROBE_DLL" "$E2E_DIR/fit_probe.dll"
  settings
  start_main_window
  to_tray
  echo tray >"$E2E_DIR/fit_probe.in"
  probe
  rm -f "$E2E_DIR/fit_probe.in"
  line=$(awk -F '\t' '$1 == "tray"' <<<"$REPORT")
  check_eq "the tray icon's size at $dpi DPI" "$(cut -f 2,3 <<<"$line")" "$expected	$expected"
  check_eq "its corners are transparent" "$(cut -f 4 <<<"$line")" "0 0 0 0"
  check_eq "its centre is opaque" "$(cut -f 5 <<<"$line")" 255
}

for dpi in 96 168 240; do
  eval "test_tray_icon_$dpi() { tray_icon $dpi; }"
done

begin_test "$3" "$4"
"test_$test_name"
finish
