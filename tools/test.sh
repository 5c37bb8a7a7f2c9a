#!/usr/bin/env bash
# Runs every test: the native unit tests, the same tests under AddressSanitizer and UBSan, those
# that run real threads under ThreadSanitizer, a short run of every fuzz target, the 64-bit
# Windows build with its checks under Wine, and the 32-bit Windows build with the checks that
# need no Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" \
  "${WINDOWS32_PACKAGES[@]}"

jobs=$(nproc)

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure -j"$jobs")

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DDORVANE_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && ctest --output-on-failure -j"$jobs")

# The tests that run real threads, once more under ThreadSanitizer.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DDORVANE_TSAN=ON >/dev/null
cmake --build build/tsan --target unit_tests -j"$jobs"
(cd build/tsan && ctest --output-on-failure -j"$jobs")

bash tools/fuzz.sh 5

build_windows
(cd build/windows && ctest --output-on-failure)

build_windows32
(cd build/windows32 && ctest --output-on-failure)
