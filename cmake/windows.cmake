# Windows build: the Win32 backend, the program, and the checks that run under Wine.

# Small code matters more than fast code here; unused functions are dropped at link time.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
add_compile_options(-ffunction-sections -fdata-sections)

# Only the files of this backend include <windows.h>.
file(GLOB WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(dorvane_platform_win32 STATIC ${WIN32_PLATFORM_SOURCES})
target_compile_definitions(dorvane_platform_win32 PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(dorvane_platform_win32
  PUBLIC dorvane_common advapi32 user32 kernel32)

# The window toolkit on user32 and the common controls.
file(GLOB WIN32_UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/win32/*.cpp)
add_library(dorvane_ui_win32 STATIC ${DORVANE_UI_SOURCES} ${WIN32_UI_SOURCES})
target_compile_definitions(dorvane_ui_win32 PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
# Message boxes go through the platform's, which can close them by itself.
target_link_libraries(dorvane_ui_win32
  PUBLIC dorvane_common dorvane_platform_win32 comctl32 gdi32 user32)

# Everything from the compiler's run-time goes into the executable, so that it needs no DLL
# besides those Windows brings.
set(DORVANE_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

include(cmake/resources.cmake)
add_executable(DorvaneShutdown src/app/main.cpp ${DORVANE_RESOURCE_SOURCES})
# Each static library comes before the ones it calls into.
target_link_libraries(DorvaneShutdown
  PRIVATE dorvane_app dorvane_core dorvane_ui_win32 dorvane_platform_win32)
# Symbols are kept only for the builds meant for a debugger.
set(DORVANE_DEBUGGING_CONFIGS Debug RelWithDebInfo)
target_link_options(DorvaneShutdown PRIVATE ${DORVANE_STATIC_LINK} -mwindows
                    $<$<NOT:$<CONFIG:Debug,RelWithDebInfo>>:-s>)

enable_testing()

# Checks that only read the program, for every build. objdump is the one of this tool chain.
add_test(NAME program_imports_only_system_dlls
  COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/check_imports.sh $<TARGET_FILE:DorvaneShutdown>)
set_tests_properties(program_imports_only_system_dlls PROPERTIES
  ENVIRONMENT OBJDUMP=${CMAKE_OBJDUMP})
# The size limit is for the program as it is shipped, without debugging symbols.
if(NOT CMAKE_BUILD_TYPE IN_LIST DORVANE_DEBUGGING_CONFIGS)
  add_test(NAME program_size_below_1mib
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:DorvaneShutdown> -DLIMIT=1048576
            -P ${CMAKE_SOURCE_DIR}/tests/wine/check_size.cmake)
endif()

# The help file needs no Wine either: every build compiles it.
include(cmake/help.cmake)

# Everything below runs programs under Wine, which here runs 64-bit programs only: the 32-bit
# tool chain file turns this off, and the rest of this file is then skipped.
option(DORVANE_WINE_TESTS "Register the checks that run programs under Wine" ON)
if(NOT DORVANE_WINE_TESTS)
  return()
endif()

# Checks under Wine. Each run boots a fresh prefix, which takes up to a minute on a small machine,
# so they get a generous time limit and run one at a time.
set(DORVANE_WINE_TIMEOUT 300)

add_executable(engine_check tests/wine/engine_check.cpp)
target_include_directories(engine_check PRIVATE tests)
target_link_libraries(engine_check PRIVATE dorvane_core dorvane_platform_win32)
target_link_options(engine_check PRIVATE ${DORVANE_STATIC_LINK} -mconsole)

add_test(NAME engine_check_default COMMAND engine_check win7)
add_test(NAME engine_check_winxp COMMAND engine_check winxp)
set_tests_properties(engine_check_winxp PROPERTIES ENVIRONMENT
  [[DORVANE_WINE_REG=HKCU\Software\Wine\AppDefaults\engine_check.exe /v Version /d winxp /f]])
set_tests_properties(engine_check_default engine_check_winxp PROPERTIES
  TIMEOUT ${DORVANE_WINE_TIMEOUT} RUN_SERIAL TRUE)

include(cmake/e2e.cmake)
