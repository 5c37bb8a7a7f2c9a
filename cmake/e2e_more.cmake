# End-to-end tests of the daily action, the remote and domain dialogs, Preferences and the
# automatic logon button: tests/wine/e2e/run_more.sh, with the session and driver of e2e.cmake.

set(DORVANE_E2E_MORE_TESTS
  daily_timer
  daily_timer_other_time
  remote_dialog
  domain_dialog
  domain_command_line
  preferences
  autologon_enabled
  autologon_disabled
  autologon_dialog
)
set(DORVANE_E2E_MORE_NAMES "")
foreach(test IN LISTS DORVANE_E2E_MORE_TESTS)
  add_test(NAME e2e_${test}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/e2e/run_more.sh ${test} ${CMAKE_BINARY_DIR}
            $<TARGET_FILE:DorvaneShutdown> $<TARGET_FILE:e2e_driver>)
  list(APPEND DORVANE_E2E_MORE_NAMES e2e_${test})
endforeach()
# One at a time, as the other end-to-end tests: each boots its own prefix and display.
set_tests_properties(${DORVANE_E2E_MORE_NAMES} PROPERTIES
  TIMEOUT ${DORVANE_WINE_TIMEOUT} RUN_SERIAL TRUE LABELS e2e)
