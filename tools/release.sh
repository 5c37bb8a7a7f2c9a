#!/usr/bin/env bash
# Builds the release: the 64-bit and the 32-bit Windows program from clean Release builds, with
# the real web addresses (the development builds of tools/test.sh ask this machine only), checks
# each as tools/test.sh does without Wine, and packs them into build/release:
#
#   DorvaneShutdown-<version>-win64.zip   for 64-bit Windows
#   DorvaneShutdown-<version>-win32.zip   for 32-bit and 64-bit Windows
#   SHA256SUMS                            their checksums, for sha256sum -c
#
# Each ZIP file holds one folder, DorvaneShutdown-<version>, with DorvaneShutdown.exe, the help
# file DorvaneShutdown.chm, README.txt for users and LICENSE.txt (cmake/package.cmake). The
# version is the CMake project's.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINDOWS32_PACKAGES[@]}"

out=build/release
rm -rf "$out" build/release-win64 build/release-win32
mkdir -p "$out"

for system in win64 win32; do
  case $system in
  win64) toolchain=cmake/mingw-w64-x86_64.cmake ;;
  win32) toolchain=cmake/mingw-w64-i686.cmake ;;
  esac
  build=build/release-$system
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target DorvaneShutdown DorvaneShutdownHelp
  # What is shipped passes the checks that need no Wine: only Windows' own DLLs, the size, the
  # help file.
  (cd "$build" && ctest --output-on-failure \
    -R '^(program_imports_only_system_dlls|program_size_below_1mib|help_file_compiled)$')
  cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
done
rm -rf "$out/_CPack_Packages"

(cd "$out" && sha256sum -- *.zip >SHA256SUMS)

echo
for zip in "$out"/*.zip; do
  echo "$zip:"
  cmake -E tar tvf "$zip"
  echo
done
echo "$out/SHA256SUMS:"
cat "$out/SHA256SUMS"
