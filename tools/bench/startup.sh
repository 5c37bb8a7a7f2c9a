#!/usr/bin/env bash
# Start-up benchmark of DorvaneShutdown.exe under Wine and Xvfb, side by side with its yardstick,
# a flat Win32 program that does the same start-up work with no toolkit (tools/bench/flat.cpp:
# the registry clean-up and the Run value, the single-instance mutex, help initialisation, the
# settings file, the DPI font, the wait notice, the main window with its menu, toolbar, tooltips,
# time picker, buttons and status bar), and a program that only opens one plain window
# (tools/bench/minimal.cpp) for information. Measured: the time from the start of the process
# until its main window is shown, and the peak memory of the process (VmHWM of its Wine process) a
# moment after. Runs alternate between the programs after one warm-up run each. The target is at
# most 1.10 times the flat program's time and 1.05 times its peak memory (medians), and a program
# below 1 MiB. Each program's fastest start is shown beside the medians: other work on a shared
# machine can make a start slower, never faster.
#
#   tools/bench/startup.sh [RUNS]     RUNS per program, 9 when not given
#
# Builds what it needs in build/windows first. Not a test: it prints the numbers and says whether
# they are within the target.

set -u
cd "$(dirname "$0")/../.." || exit 1

runs=${1:-9}
build_dir=build/windows
readonly TIME_TARGET=1.10
readonly MEMORY_TARGET=1.05
readonly SIZE_LIMIT=1048576
readonly SETTLE_SECONDS=1

# shellcheck source-path=SCRIPTDIR/../..
source tools/packages.sh
# The development build, as the other tools make it, then the benchmark's own targets.
build_windows >/dev/null || exit 1
cmake --build "$build_dir" --target e2e_driver bench_flat bench_minimal -j"$(nproc)" >/dev/null ||
  exit 1

source tests/wine/e2e/session.sh
start_session "$(cd "$build_dir" && pwd)" "$build_dir/DorvaneShutdown.exe" \
  "$build_dir/e2e_driver.exe"
cp "$build_dir/bench_flat.exe" "$E2E_DIR/Flat.exe"
cp "$build_dir/bench_minimal.exe" "$E2E_DIR/Minimal.exe"
# On Windows the desktop and the session's own services are always up. Under Wine they end with
# the last program and start again with the next one: Wine's cost, not the measured program's.
# A driver that only holds on to the desktop keeps the session up between the runs.
readonly HOLD_MILLISECONDS=3600000
drv hold "$HOLD_MILLISECONDS" >/dev/null 2>&1 &
# A usual start: the web check ran today, so this start makes none (it happens at most every
# other day, and the runs here are killed before they could save that it ran).
settings_bytes LastCheckDay="$(today_day_number)" >"$SETTINGS_FILE"
# The flat program reads a file of its own of the same size.
cp "$SETTINGS_FILE" "$E2E_DIR/Flat.dat"

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

# The programs with their main windows' class and title.
programs=("$E2E_PROGRAM $MAIN_CLASS $CAPTION" "Flat.exe BenchFlatWindow Flat"
  "Minimal.exe BenchMinimalWindow Minimal")

# measure_all RUN: one start of each program. The first of a round goes on from wherever the
# last round left the machine and each next one starts right after a kill; each program takes
# each place in turn, so that none is always the one that pays for it.
measure_all() {
  local place program class title
  for ((place = 0; place < ${#programs[@]}; place++)); do
    read -r program class title <<<"${programs[($1 + place) % ${#programs[@]}]}"
    measure "$1" "$program" "$class" "$title"
  done
}

results=$E2E_DIR/results
: >"$results"
log "warming up"
measure_all 0
printf '%-4s %-20s %10s %10s\n' run program "start ms" "peak KiB"
for ((run = 1; run <= runs; run++)); do
  measure_all "$run"
done

# median PROGRAM COLUMN
median() {
  awk -v p="$1" -v c="$2" '$1 == p { print $c }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# fastest PROGRAM: its shortest start. Other work on the machine only ever slows a start down, so
# the fastest ones show what the programs themselves cost when the median is caught by it.
fastest() {
  awk -v p="$1" '$1 == p { print $2 }' "$results" | sort -g | head -n 1
}

program_time=$(median "$E2E_PROGRAM" 2)
program_peak=$(median "$E2E_PROGRAM" 3)
flat_time=$(median Flat.exe 2)
flat_peak=$(median Flat.exe 3)
size=$(stat -c %s "$build_dir/DorvaneShutdown.exe")

# verdict PART WHOLE TARGET: whether PART / WHOLE is at most TARGET, compared unrounded.
verdict() {
  awk -v p="$1" -v w="$2" -v t="$3" 'BEGIN { print (p / w <= t) ? "within target" : "OVER TARGET" }'
}
ratio() {
  awk -v p="$1" -v w="$2" 'BEGIN { printf "%.2f", p / w }'
}
time_ratio=$(ratio "$program_time" "$flat_time")
peak_ratio=$(ratio "$program_peak" "$flat_peak")
fastest_ratio=$(ratio "$(fastest "$E2E_PROGRAM")" "$(fastest Flat.exe)")

echo
printf '%-20s %10s %10s %10s\n' "" "median ms" "fastest ms" "peak KiB"
for program in "$E2E_PROGRAM" Flat.exe Minimal.exe; do
  printf '%-20s %10s %10s %10s\n' "$program" "$(median "$program" 2)" "$(fastest "$program")" \
    "$(median "$program" 3)"
done
for yardstick in Flat.exe Minimal.exe; do
  printf '%-20s %10s %10s %10s\n' "ratio to $yardstick" \
    "$(ratio "$program_time" "$(median "$yardstick" 2)")x" \
    "$(ratio "$(fastest "$E2E_PROGRAM")" "$(fastest "$yardstick")")x" \
    "$(ratio "$program_peak" "$(median "$yardstick" 3)")x"
done
echo
echo "start-up time: ${time_ratio}x the flat program" \
  "($(verdict "$program_time" "$flat_time" "$TIME_TARGET"), at most ${TIME_TARGET}x;" \
  "fastest runs ${fastest_ratio}x)"
echo "peak memory:   ${peak_ratio}x the flat program" \
  "($(verdict "$program_peak" "$flat_peak" "$MEMORY_TARGET"), at most ${MEMORY_TARGET}x)"
size_verdict="within target"
[ "$size" -lt "$SIZE_LIMIT" ] || size_verdict="OVER TARGET"
echo "program size:  $size bytes ($size_verdict, below $SIZE_LIMIT)"
