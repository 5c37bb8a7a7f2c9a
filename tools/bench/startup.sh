#!/usr/bin/env bash
# Start-up benchmark of DorvaneShutdown.exe under Wine and Xvfb, side by side with a program that
# only opens one window (tools/bench/minimal.cpp): the time from the start of the process until
# its main window is shown, and the peak memory of the process (VmHWM of its Wine process) a
# moment after. Runs alternate between the two programs after one warm-up run each. The target
# is at most 1.25 times the minimal program's time and memory, and a program below 1 MiB.
#
#   tools/bench/startup.sh [RUNS]     RUNS per program, 9 when not given
#
# Builds what it needs in build/windows first. Not a test: it prints the numbers and says whether
# they are within the target.

set -u
cd "$(dirname "$0")/../.." || exit 1

runs=${1:-9}
build_dir=build/windows
readonly TIME_TARGET=1.25
readonly MEMORY_TARGET=1.25
readonly SIZE_LIMIT=1048576
readonly SETTLE_SECONDS=1

# shellcheck source-path=SCRIPTDIR/../..
source tools/packages.sh
# The development build, as the other tools make it, then the benchmark's own targets.
build_windows >/dev/null || exit 1
cmake --build "$build_dir" --target e2e_driver bench_minimal -j"$(nproc)" >/dev/null || exit 1

source tests/wine/e2e/session.sh
start_session "$(cd "$build_dir" && pwd)" "$build_dir/DorvaneShutdown.exe" \
  "$build_dir/e2e_driver.exe"
cp "$build_dir/bench_minimal.exe" "$E2E_DIR/Minimal.exe"
# On Windows the desktop and the session's own services are always up. Under Wine they end with
# the last program and start again with the next one: Wine's cost, not the measured program's.
# A driver that only holds on to the desktop keeps the session up between the runs.
readonly HOLD_MILLISECONDS=3600000
drv hold "$HOLD_MILLISECONDS" >/dev/null 2>&1 &
# A usual start: the web check ran today, so this start makes none (it happens at most every
# other day, and the runs here are killed before they could save that it ran).
settings_bytes LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"

# measure RUN PROGRAM CLASS TITLE: one start; prints a row of the table and keeps the numbers,
# except for the warm-up run 0.
measure() {
  local path="C:\\$E2E_FOLDER\\$2" launched pid milliseconds linux_pid peak
  launched=$(drv launch "$path" "$3" "$4" "$FIRST_WINDOW_MS") || abort "$2 showed no window"
  read -r pid milliseconds <<<"$launched"
  # The driver that started it has ended by now: the program is the one process of the session
  # with its name in its command line.
  linux_pid=$(pid_in_session -f "$2") || abort "no Linux process for $2 (Windows process $pid)"
  # What the program does right after showing its window counts towards its peak too.
  sleep "$SETTLE_SECONDS"
  peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$linux_pid/status")
  kill "$linux_pid"
  local waited=0
  while running "$linux_pid"; do
    [ $waited -lt 100 ] || abort "$2 did not end within 10 s of being killed"
    sleep 0.1
    waited=$((waited + 1))
  done
  if [ "$1" -gt 0 ]; then
    printf '%-4s %-20s %10s %10s\n' "$1" "$2" "$milliseconds" "$peak"
    echo "$2 $milliseconds $peak" >>"$results"
  fi
}

measure_both() {
  measure "$1" "$E2E_PROGRAM" "$MAIN_CLASS" "$CAPTION"
  measure "$1" Minimal.exe BenchMinimalWindow Minimal
}

results=$E2E_DIR/results
: >"$results"
log "warming up"
measure_both 0
printf '%-4s %-20s %10s %10s\n' run program "start ms" "peak KiB"
for ((run = 1; run <= runs; run++)); do
  measure_both "$run"
done

# median PROGRAM COLUMN
median() {
  awk -v p="$1" -v c="$2" '$1 == p { print $c }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

program_time=$(median "$E2E_PROGRAM" 2)
minimal_time=$(median Minimal.exe 2)
program_peak=$(median "$E2E_PROGRAM" 3)
minimal_peak=$(median Minimal.exe 3)
size=$(stat -c %s "$build_dir/DorvaneShutdown.exe")

# verdict PART WHOLE TARGET: whether PART / WHOLE is at most TARGET, compared unrounded.
verdict() {
  awk -v p="$1" -v w="$2" -v t="$3" 'BEGIN { print (p / w <= t) ? "within target" : "OVER TARGET" }'
}
ratio() {
  awk -v p="$1" -v w="$2" 'BEGIN { printf "%.2f", p / w }'
}
time_ratio=$(ratio "$program_time" "$minimal_time")
peak_ratio=$(ratio "$program_peak" "$minimal_peak")

echo
printf '%-20s %10s %10s\n' median "start ms" "peak KiB"
printf '%-20s %10s %10s\n' "$E2E_PROGRAM" "$program_time" "$program_peak"
printf '%-20s %10s %10s\n' Minimal.exe "$minimal_time" "$minimal_peak"
printf '%-20s %10s %10s\n' ratio "${time_ratio}x" "${peak_ratio}x"
echo
echo "start-up time: ${time_ratio}x the minimal program" \
  "($(verdict "$program_time" "$minimal_time" "$TIME_TARGET"), at most ${TIME_TARGET}x)"
echo "peak memory:   ${peak_ratio}x the minimal program" \
  "($(verdict "$program_peak" "$minimal_peak" "$MEMORY_TARGET"), at most ${MEMORY_TARGET}x)"
size_verdict="within target"
[ "$size" -lt "$SIZE_LIMIT" ] || size_verdict="OVER TARGET"
echo "program size:  $size bytes ($size_verdict, below $SIZE_LIMIT)"
