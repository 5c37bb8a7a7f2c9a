# End-to-end tests of the domain action with many computers: tests/wine/e2e/run_domain.sh, with
# the session and driver of e2e.cmake and a DLL that the driver loads into the program to make
# each of its remote shutdown requests take a second, as over a network.

add_library(slow_requests SHARED tests/wine/e2e/slow_requests.cpp)
set_target_properties(slow_requests PROPERTIES PREFIX "")
target_link_options(slow_requests PRIVATE ${DORVANE_STATIC_LINK})

dorvane_add_e2e_suite(e2e_domain_ run_domain.sh TESTS
  concurrent
  damaged_list
  abort
  ARGUMENTS $<TARGET_FILE:slow_requests>)
