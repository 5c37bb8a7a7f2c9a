# End-to-end tests of how the program ends: a command-line keyword with the exit question, the
# Wine session ended from outside during the countdown, Exit during the countdown and other
# windows opened during it: tests/wine/e2e/run_session.sh, with the session and driver of
# e2e.cmake.

dorvane_add_e2e_suite(e2e_session_ run_session.sh TESTS
  keyword_exit_yes
  keyword_exit_no
  session_end
  session_end_confirm_exit
  session_end_refused
  exit_during_countdown
  tray_exit_during_countdown
  windows_during_countdown
  cancel_beside_window
)
