#!/usr/bin/env bash
# The domain action over 50,000 computers through the fake Windows' latency
# (tools/bench/domain.cpp), once from a directory container and once from the browse list: wall
# time against the best possible schedule, the longest gap in the window's message handling, the
# end of the run, the time to find the computers, peak memory and the log. Builds the native
# benchmark (optimised) in build/bench first. Not a test: it prints the figures and says whether
# they are within the targets.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target bench_domain -j"$(nproc)" >/dev/null
status=0
for source in directory browse; do
  build/bench/bench_domain "$source" || status=1
  echo
done
exit "$status"
