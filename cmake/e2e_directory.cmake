# End-to-end tests of the computer list's directory lines: tests/wine/e2e/run_directory.sh, with
# the session and driver of e2e.cmake, against a throwaway Active Directory domain controller on
# the loopback interface.

dorvane_add_e2e_suite(e2e_directory_ run_directory.sh TESTS
  lab
  failures
  silent_server
  cancel_planning)
