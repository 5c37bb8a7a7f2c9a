# End-to-end tests of the keyboard alone, the screen reader and high contrast:
# tests/wine/e2e/run_access.sh, with the session and driver of e2e.cmake and a probe that the
# driver loads into the program to ask oleacc, from inside, what each control is called.
add_library(access_probe SHARED tests/wine/e2e/access_probe.cpp)
set_target_properties(access_probe PROPERTIES PREFIX "")
target_link_libraries(access_probe PRIVATE oleacc ole32 oleaut32 user32)
target_link_options(access_probe PRIVATE ${DORVANE_STATIC_LINK})
# Its high-contrast test loads high_contrast.dll, which it finds in this build folder, into the
# program: Wine 8 reports no high contrast of its own.
add_library(high_contrast SHARED tests/wine/e2e/high_contrast.cpp)
set_target_properties(high_contrast PROPERTIES PREFIX "")
target_link_libraries(high_contrast PRIVATE user32)
target_link_options(high_contrast PRIVATE ${DORVANE_STATIC_LINK})
dorvane_add_e2e_suite(e2e_access_ run_access.sh TESTS
  countdown_enter
  preferences_list_escape
  result_list_tab
  seconds_arrows
  toolbar_keys
  names
  countdown_action_line
  tray_keyboard
  high_contrast
  ARGUMENTS $<TARGET_FILE:access_probe>)
