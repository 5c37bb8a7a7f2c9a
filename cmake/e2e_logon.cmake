# End-to-end tests of automatic logon on the machine's key, of the settings from a folder named
# outside the ANSI code page, and of the remote password in the credential store:
# tests/wine/e2e/run_logon.sh, with the session and driver of e2e.cmake.

dorvane_add_e2e_suite(e2e_logon_ run_logon.sh TESTS
  autologon_win10
  autologon_winxp
  autologon_win2k
  cyrillic_folder
  remote_password
  password_migration
  settings_locked
  long_folder
)
