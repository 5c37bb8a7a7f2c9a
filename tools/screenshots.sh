#!/usr/bin/env bash
# Refreshes the README's pictures: the end-to-end tests photograph the program's windows under
# Wine; this keeps the windows of the pictures below, cut from the screen, in docs/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

build_windows
(cd build/windows && ctest -L e2e --output-on-failure)

shots=build/windows/screenshots
mkdir -p docs/screenshots
# keep PICTURE NAME [CROP]: the windows of the picture, without the desktop around them. The
# crop leaves out the taskbar where a picture must show a menu alone.
keep() {
  local crop=()
  [ $# -lt 3 ] || crop=(-crop "$3")
  convert "$shots/$1.png" "${crop[@]}" +repage -fuzz 3% -trim +repage "docs/screenshots/$2.png"
}
keep main_window main-window
keep tray_menu tray-menu 1024x740+0+0
keep countdown countdown
keep preferences preferences
keep remote_dialog_filled remote
keep domain_dialog domain
keep autologon_dialog autologon
keep about about
keep update_question update-question
# The same windows on a display set to 200 %.
keep display_fit_192_wine_fonts_main main-window-200
keep display_fit_192_wine_fonts_Preferences preferences-200
echo "Pictures in docs/screenshots"
