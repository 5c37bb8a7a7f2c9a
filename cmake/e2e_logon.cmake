# End-to-end tests of automatic logon on the machine's key, of the settings from a folder named
# outside the ANSI code page, and of the remote password in the credential store:
# tests/wine/e2e/run_logon.sh, with the session and driver of e2e.cmake.

# The memory scan the driver loads into the program to look for copies of the passwords.
add_library(memory_scan SHARED tests/wine/e2e/memory_scan.cpp)
set_target_properties(memory_scan PROPERTIES PREFIX "")
target_link_options(memory_scan PRIVATE ${DORVANE_STATIC_LINK})

dorvane_add_e2e_suite(e2e_logon_ run_logon.sh TESTS
  autologon_win10
  autologon_winxp
  autologon_win2k
  cyrillic_folder
  remote_password
  password_migration
  settings_locked
  long_folder
  password_copies
  ARGUMENTS $<TARGET_FILE:memory_scan>)
