#!/usr/bin/env bash
# Idle cost of DorvaneShutdown.exe under Wine and Xvfb: the program hidden in the tray with its
# daily action armed for another time, as it spends most of its life. Measures the CPU time of
# its process (user and system, every thread) over a stretch of wall time, and that of the
# session's wineserver over the same stretch: it delivers the program's timer messages and
# answers its calls, and serves Wine's own processes of the session (the desktop, the services)
# as well. The target is below 1% of one core for the program.
#
#   tools/bench/idle.sh [SECONDS]     the stretch measured, 30 when not given
#
# Builds what it needs in build/windows first. Not a test: it prints the numbers and says whether
# the program is within the target.

set -u
cd "$(dirname "$0")/../.." || exit 1

seconds=${1:-30}
build_dir=build/windows
readonly TARGET_PERCENT=1
# The start-up's own work (the window, the tray icon, the settings) is over by then.
readonly SETTLE_SECONDS=3

# shellcheck source-path=SCRIPTDIR/../..
source tools/packages.sh
# The development build, as the other tools make it; it holds the driver.
build_windows >/dev/null || exit 1

source tests/wine/e2e/session.sh
start_session "$(cd "$build_dir" && pwd)" "$build_dir/DorvaneShutdown.exe" \
  "$build_dir/e2e_driver.exe"

# CPU ticks (user + system) the process has used so far.
cpu_ticks() {
  # The command name in parentheses may hold spaces: the fields are counted after it.
  sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# The armed time is three hours from now: far enough not to come during the measurement.
armed_at=$(($(date +%s) + 3 * 3600))
read -r hour minute <<<"$(date -d "@$armed_at" '+%-H %-M')"
settings_bytes StartInTray=1 TimerActive=1 TimerHour="$hour" TimerMinute="$minute" \
  LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"
# shellcheck disable=SC2119 # the program starts without arguments
start_program
app=$!
main=$(drv wait-created "$MAIN_CLASS" "$CAPTION" "$FIRST_WINDOW_MS") ||
  abort "no main window was created"
drv wait-gone "$main" 10000 || abort "the main window did not go to the tray"
sleep "$SETTLE_SECONDS"
running "$app" || abort "the program ended"

program_pid=$(pid_in_session -f "$E2E_PROGRAM") || abort "no Linux process runs $E2E_PROGRAM"
server_pid=$(pid_in_session -x 'wineserver(64)?') || abort "no wineserver of this session"
ticks_per_second=$(getconf CLK_TCK)

program_before=$(cpu_ticks "$program_pid")
server_before=$(cpu_ticks "$server_pid")
start=$(date +%s.%N)
log "measuring $seconds s: the program hidden in the tray, armed for $(printf '%02d:%02d' "$hour" "$minute")"
sleep "$seconds"
program_after=$(cpu_ticks "$program_pid")
server_after=$(cpu_ticks "$server_pid")
end=$(date +%s.%N)
running "$app" || abort "the program ended during the measurement"

# percent TICKS: the share of one core over the measured wall time.
percent() {
  awk -v t="$1" -v hz="$ticks_per_second" -v s="$start" -v e="$end" \
    'BEGIN { printf "%.2f", 100 * t / hz / (e - s) }'
}
program_ticks=$((program_after - program_before))
server_ticks=$((server_after - server_before))
program_percent=$(percent "$program_ticks")
verdict=$(awk -v p="$program_percent" -v t="$TARGET_PERCENT" \
  'BEGIN { print (p < t) ? "within target" : "OVER TARGET" }')

echo
printf '%-22s %10s %12s\n' process "CPU ticks" "% of a core"
printf '%-22s %10s %12s\n' "$E2E_PROGRAM" "$program_ticks" "$program_percent"
printf '%-22s %10s %12s\n' wineserver "$server_ticks" "$(percent "$server_ticks")"
echo
echo "idle cost: $program_percent% of one core over $(awk -v s="$start" -v e="$end" \
  'BEGIN { printf "%.1f", e - s }') s ($verdict, below $TARGET_PERCENT%);" \
  "one tick is $(awk -v hz="$ticks_per_second" 'BEGIN { print 1000 / hz }') ms"
