# Cross build for 32-bit Windows with the MinGW-w64 tool chain:
#   cmake -S . -B build/windows32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The Wine here runs 64-bit programs only, so this build registers just the checks that need no
# Wine: the imported DLLs and the size.
set(DORVANE_WINE_TESTS OFF)
