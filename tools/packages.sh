# Sourced by the build scripts: installs the Debian packages a step needs when they are missing.

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

NATIVE_PACKAGES=(cmake make g++ libgtest-dev)
# The build draws the program's images with rsvg-convert, ImageMagick and icotool. python3 runs
# the web server of the end-to-end tests of the update check; those tests show the windows with
# Wine's own fonts and with DejaVu Sans, the face Wine falls back on without them.
RESOURCE_PACKAGES=(librsvg2-bin imagemagick icoutils)
# The directory tests run a throwaway Active Directory domain controller on the loopback
# interface (ss tells where it listens); Wine's NTLM asks winbind's ntlm_auth.
DIRECTORY_PACKAGES=(samba-ad-dc samba-ad-provision winbind iproute2)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils
  xdotool fp-utils python3 fonts-wine fonts-dejavu-core "${RESOURCE_PACKAGES[@]}"
  "${DIRECTORY_PACKAGES[@]}")
WINDOWS32_PACKAGES=(g++-mingw-w64-i686 binutils-mingw-w64-i686 "${RESOURCE_PACKAGES[@]}")
# clang++ with libFuzzer and the sanitizers' run-time.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Builds DorvaneShutdown.exe with the MinGW-w64 cross compiler into build/windows.
# The development builds ask for the version and open the home page on this machine only, at the
# address the end-to-end tests serve; a release sets the real addresses.
DEV_WEB_OPTIONS=(-DDORVANE_VERSION_INFO_URL=http://127.0.0.1:47321/version.txt
  -DDORVANE_HOME_PAGE_URL=http://127.0.0.1:47321/)

build_windows() {
  cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release "${DEV_WEB_OPTIONS[@]}" >/dev/null
  cmake --build build/windows -j"$(nproc)"
}

# The same for 32-bit Windows into build/windows32.
build_windows32() {
  cmake -S . -B build/windows32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release "${DEV_WEB_OPTIONS[@]}" >/dev/null
  cmake --build build/windows32 -j"$(nproc)"
}
