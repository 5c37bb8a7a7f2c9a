# End-to-end tests of where the program takes Windows' DLLs from: tests/wine/e2e/run_security.sh
# plants the DLL below next to the program under the names of the DLLs it loads while it runs,
# has Wine prefer those, and drives the program through the features that load them, against the
# web server of the update check and Wine's log of the remote requests.

# Leaves a mark beside itself when it is loaded and exports nothing.
add_library(e2e_planted_dll SHARED tests/wine/e2e/planted_dll.cpp)
set_target_properties(e2e_planted_dll PROPERTIES PREFIX "")
target_link_options(e2e_planted_dll PRIVATE ${DORVANE_STATIC_LINK})

dorvane_add_e2e_suite(e2e_security_ run_security.sh
  TESTS
    start_web_help_tray
    remote_and_domain
  ARGUMENTS $<TARGET_FILE:e2e_planted_dll> ${DORVANE_HELP_FILE})

# engine_check gets the same DLL beside itself and makes sure it is not loaded by its name once
# the program's search is set.
add_dependencies(engine_check e2e_planted_dll)
set_property(TEST engine_check_default engine_check_winxp APPEND PROPERTY ENVIRONMENT
  DORVANE_WINE_FILES=$<TARGET_FILE:e2e_planted_dll>)
