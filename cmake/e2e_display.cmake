# End-to-end tests of the windows' size on displays of 96 to 192 DPI, with the designed face and
# a wider one: tests/wine/e2e/run_display.sh, with the session and driver of e2e.cmake and a probe
# that the driver loads into the program to measure its captions from inside.

add_library(fit_probe SHARED tests/wine/e2e/fit_probe.cpp)
set_target_properties(fit_probe PROPERTIES PREFIX "")
target_link_libraries(fit_probe PRIVATE comctl32 gdi32 user32)
target_link_options(fit_probe PRIVATE ${DORVANE_STATIC_LINK})

# fit_DPI: the faces this machine's Wine resolves for the designed one (DejaVu Sans, wider);
# fit_DPI_wine_fonts: Wine's own fonts, the designed face.
set(DORVANE_DISPLAY_TESTS "")
foreach(dpi 96 120 144 192)
  list(APPEND DORVANE_DISPLAY_TESTS fit_${dpi})
endforeach()
foreach(dpi 96 120 144 168 192 240 288)
  list(APPEND DORVANE_DISPLAY_TESTS fit_${dpi}_wine_fonts)
endforeach()
dorvane_add_e2e_suite(e2e_display_ run_display.sh TESTS ${DORVANE_DISPLAY_TESTS} dpi_change
  dpi_change_minimised dpi_change_in_tray tray_icon_96 tray_icon_168 tray_icon_240
  ARGUMENTS $<TARGET_FILE:fit_probe>)
