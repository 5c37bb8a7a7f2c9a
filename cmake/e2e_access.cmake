# End-to-end tests of the program by keyboard alone: tests/wine/e2e/run_access.sh, with the
# session and driver of e2e.cmake.

dorvane_add_e2e_suite(e2e_access_ run_access.sh TESTS
  countdown_enter
  preferences_list_escape
  result_list_tab
  seconds_arrows
  toolbar_keys
)
