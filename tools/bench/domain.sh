#!/usr/bin/env bash
# The domain action over 500 computers through the fake Windows' latency (tools/bench/domain.cpp):
# wall time against the best possible schedule, and the longest gap in the window's message
# handling. Builds the native benchmark in build/native first. Not a test: it prints the figures
# and says whether they are within the targets.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native --target bench_domain -j"$(nproc)" >/dev/null
build/native/bench_domain
