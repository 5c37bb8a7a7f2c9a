# The release package of a Windows build: DorvaneShutdown-<version>-win64.zip (or -win32.zip)
# with one folder, DorvaneShutdown-<version>, that holds the program, its help file, a README for
# users and the licence. Unpacked anywhere, it gives the program a folder of its own to write its
# settings file in. tools/release.sh makes both packages; by hand:
#   cpack --config build/windows/CPackConfig.cmake -B build/release

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(DORVANE_PACKAGE_SYSTEM win64)
else()
  set(DORVANE_PACKAGE_SYSTEM win32)
endif()
set(DORVANE_PACKAGE_FOLDER DorvaneShutdown-${PROJECT_VERSION})
set(DORVANE_PACKAGE_NAME DorvaneShutdown-${PROJECT_VERSION}-${DORVANE_PACKAGE_SYSTEM})

# The texts get Windows line ends, which every Notepad shows as lines.
set(DORVANE_PACKAGE_TEXTS ${CMAKE_BINARY_DIR}/package/README.txt
                          ${CMAKE_BINARY_DIR}/package/LICENSE.txt)
configure_file(packaging/README.txt ${CMAKE_BINARY_DIR}/package/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS DorvaneShutdown RUNTIME DESTINATION ${DORVANE_PACKAGE_FOLDER})
install(FILES ${DORVANE_HELP_FILE} ${DORVANE_PACKAGE_TEXTS}
        DESTINATION ${DORVANE_PACKAGE_FOLDER})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME DorvaneShutdown)
set(CPACK_PACKAGE_VENDOR Dorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${DORVANE_PACKAGE_NAME})
# The folder comes from the install destinations above, not from the package's file name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The package as a user gets it: unpacked into an empty folder under Wine, started from there and
# ended by File > Exit, after which its settings file lies beside it. Wine runs the 64-bit
# build only; the end-to-end tests' driver (cmake/e2e.cmake) presses the keys.
if(DORVANE_WINE_TESTS)
  add_test(NAME package_runs_from_its_folder
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/check_package.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_CPACK_COMMAND} ${DORVANE_PACKAGE_NAME} ${DORVANE_PACKAGE_FOLDER}
            $<TARGET_FILE:e2e_driver>)
  set_tests_properties(package_runs_from_its_folder PROPERTIES
    TIMEOUT ${DORVANE_WINE_TIMEOUT} RUN_SERIAL TRUE LABELS package)
endif()
