# Cross build for 64-bit Windows with the MinGW-w64 tool chain:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Test programs built here are Windows programs; CTest starts each in a fresh Wine prefix.
get_filename_component(DORVANE_WINE_RUNNER ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run_in_wine.sh
                       ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${DORVANE_WINE_RUNNER})
