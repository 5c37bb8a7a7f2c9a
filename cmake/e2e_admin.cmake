# End-to-end tests of what the program asks of other computers when a script drives it, read from
# Wine's log of those calls: tests/wine/e2e/run_admin.sh, with the session and driver of
# e2e.cmake.

dorvane_add_e2e_suite(e2e_admin_ run_admin.sh TESTS
  domain_list
  remote_reboot_keyword
  abort_keyword
  abort_keyword_credentials
  console_results
  unattended_failure
)
