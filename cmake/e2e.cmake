# End-to-end tests of the real program under Wine and Xvfb: tests/wine/e2e/run_e2e.sh starts
# DorvaneShutdown.exe in a throwaway prefix and drives it from outside with the driver below,
# by window messages and keys. Screenshots of its windows are kept in screenshots/ here.

add_executable(e2e_driver tests/wine/e2e/driver.cpp)
target_link_options(e2e_driver PRIVATE ${DORVANE_STATIC_LINK} -mconsole)

# dorvane_add_e2e_suite(PREFIX SCRIPT TESTS NAME... [ARGUMENTS ARGUMENT...]): a CTest test PREFIX
# NAME for each NAME, which runs tests/wine/e2e/SCRIPT with the name, this build folder, the
# program and the driver, then the ARGUMENTS.
function(dorvane_add_e2e_suite prefix script)
  cmake_parse_arguments(PARSE_ARGV 2 suite "" "" "TESTS;ARGUMENTS")
  set(names "")
  foreach(test IN LISTS suite_TESTS)
    add_test(NAME ${prefix}${test}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/e2e/${script} ${test} ${CMAKE_BINARY_DIR}
              $<TARGET_FILE:DorvaneShutdown> $<TARGET_FILE:e2e_driver> ${suite_ARGUMENTS})
    list(APPEND names ${prefix}${test})
  endforeach()
  # Each test boots its own prefix and display: one at a time, as they share the machine's cores
  # (and the web tests the server's port).
  set_tests_properties(${names} PROPERTIES
    TIMEOUT ${DORVANE_WINE_TIMEOUT} RUN_SERIAL TRUE LABELS e2e)
endfunction()

dorvane_add_e2e_suite(e2e_ run_e2e.sh TESTS
  main_window
  second_instance
  close_and_tray
  start_in_tray
  exit_menu
  exit_shortcut
  countdown_cancel
  countdown_cancel_beside_other_window
  logoff_without_warning
)


# The yardstick of tools/bench/startup.sh: a program that opens one plain window. Built on
# request only.
add_executable(bench_minimal EXCLUDE_FROM_ALL tools/bench/minimal.cpp)
target_link_options(bench_minimal PRIVATE ${DORVANE_STATIC_LINK} -mwindows)

# The equal-work yardstick of tools/bench/startup.sh: the program's start-up work written flat on
# Win32, with the program's manifest and images from this build. Built on request only.
add_executable(bench_flat EXCLUDE_FROM_ALL tools/bench/flat.cpp tools/bench/flat.rc)
target_include_directories(bench_flat PRIVATE ${DORVANE_RESOURCE_BUILD_DIR})
set_source_files_properties(tools/bench/flat.rc
                            PROPERTIES OBJECT_DEPENDS "${DORVANE_IMAGE_FILES};${DORVANE_MANIFEST}")
add_dependencies(bench_flat dorvane_images)
target_link_libraries(bench_flat PRIVATE comctl32 gdi32 advapi32 user32)
target_link_options(bench_flat PRIVATE ${DORVANE_STATIC_LINK} -mwindows
                    $<$<NOT:$<CONFIG:Debug,RelWithDebInfo>>:-s>)

# Further end-to-end suites, each in a list file of its own.
include(cmake/e2e_more.cmake)
include(cmake/e2e_web.cmake)
include(cmake/e2e_session.cmake)
include(cmake/e2e_display.cmake)
include(cmake/e2e_admin.cmake)
include(cmake/e2e_domain.cmake)
include(cmake/e2e_security.cmake)
include(cmake/e2e_logon.cmake)
include(cmake/e2e_directory.cmake)
include(cmake/e2e_access.cmake)
