# End-to-end tests of the daily action, the remote and domain dialogs, Preferences and the
# automatic logon button: tests/wine/e2e/run_more.sh, with the session and driver of e2e.cmake.

dorvane_add_e2e_suite(e2e_ run_more.sh TESTS
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
