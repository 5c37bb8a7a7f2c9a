#!/usr/bin/env bash
# Builds DorvaneShutdown.exe and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

build_windows
echo "Built $(pwd)/build/windows/DorvaneShutdown.exe"
