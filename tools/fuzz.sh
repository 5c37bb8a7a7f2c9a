#!/usr/bin/env bash
# Builds the fuzz targets (cmake/fuzz.cmake) into build/fuzz and runs each for a while on a copy
# of its seed inputs, printing the executions and the result of every target. Exits non-zero when
# any target crashed; the input that did it is kept in build/fuzz/crashes.
#
#   tools/fuzz.sh [SECONDS [TARGET...]]
#
# SECONDS is the time per target (default 5); TARGET names like settings_file pick targets
# (default: every tests/fuzz/*.cpp). For a long run on a shared machine, start it with nice.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

seconds=${1:-5}
shift || true
if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in tests/fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

build=build/fuzz
cmake -S . -B "$build" -DDORVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

# Each run works in a scratch folder of its own, so that runs at the same time keep apart and the
# seeds in the repository stay as they are. It is removed unless a target crashed.
mkdir -p "$build/crashes"
run=$(mktemp -d "$build/run.XXXXXX")
passed=0
failed=0
for target in "${targets[@]}"; do
  corpus=$run/corpus/$target
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  log=$run/$target.log
  status=0
  "$build/fuzz_$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units:[[:space:]]*//p' "$log")
  # libFuzzer's last status line: "#RUNS DONE cov: EDGES ft: FEATURES corp: INPUTS/SIZE ...".
  reached=$(sed -n 's/^#[0-9]*.*cov: \([0-9]*\).* corp: \([0-9]*\)\/.*/\1 edges, \2 inputs/p' "$log" |
    tail -n 1)
  if [ "$status" -eq 0 ]; then
    echo "$target: ${executions:-?} executions in $seconds s, no crash (${reached:-no coverage})"
    passed=$((passed + 1))
  else
    echo "$target: CRASH after ${executions:-?} executions (exit status $status)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|check failed|artifact_prefix|Test unit written)' "$log" || true
    echo "full output: $log"
    failed=$((failed + 1))
  fi
done
if [ "$failed" -eq 0 ]; then
  rm -rf "$run"
fi
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
