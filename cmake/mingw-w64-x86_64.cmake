# Cross build for 64-bit Windows with the MinGW-w64 tool chain:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TARGET}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_TARGET}-g++)
set(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)

# Headers and libraries come from the target's tree only; programs run during the build are the
# host's own.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs built here are Windows programs; CTest starts each in a fresh Wine prefix.
get_filename_component(DORVANE_WINE_RUNNER ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run_in_wine.sh
                       ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${DORVANE_WINE_RUNNER})
