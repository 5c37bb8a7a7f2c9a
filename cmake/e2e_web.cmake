# End-to-end tests of the update check, the home page, the help file and the About box:
# tests/wine/e2e/run_web.sh runs DorvaneShutdown.exe in a throwaway prefix against the web server
# tests/wine/e2e/version_server.py on 127.0.0.1:47321, the address the development builds ask.
# The browser registered in the prefix is the recorder below, which only notes how it was started.

add_executable(e2e_browser_recorder tests/wine/e2e/browser_recorder.cpp)
target_link_options(e2e_browser_recorder PRIVATE ${DORVANE_STATIC_LINK} -mwindows)

dorvane_add_e2e_suite(e2e_web_ run_web.sh
  TESTS
    newer_version
    same_version
    version_not_found
    once_a_day
    update_answer_ok
    odd_replies
    about_box
    help
    home_page
  ARGUMENTS $<TARGET_FILE:e2e_browser_recorder> ${DORVANE_HELP_FILE})
