# The program's resources: icons, bitmaps, the manifest and the version information.
# The icon and the bitmaps are committed (tools/make-resources.sh draws them), so the build only
# compiles them with windres.
enable_language(RC)

set(DORVANE_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/src/app/resources)
set(DORVANE_RESOURCE_BUILD_DIR ${CMAKE_BINARY_DIR}/generated/resources)

# The manifest and the resource script carry the project version.
set(DORVANE_MANIFEST ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.manifest)
configure_file(${DORVANE_RESOURCE_DIR}/DorvaneShutdown.manifest ${DORVANE_MANIFEST} @ONLY)
configure_file(${DORVANE_RESOURCE_DIR}/DorvaneShutdown.rc.in
               ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc @ONLY)

# CMake looks only for #include lines in the script, so it is told of the files windres reads.
set(DORVANE_RESOURCE_FILES
  ${DORVANE_RESOURCE_DIR}/DorvaneShutdown.ico
  ${DORVANE_RESOURCE_DIR}/toolbar.bmp
  ${DORVANE_RESOURCE_DIR}/tray.bmp
  ${DORVANE_RESOURCE_DIR}/about.bmp
  ${DORVANE_RESOURCE_DIR}/options.bmp
  ${DORVANE_RESOURCE_DIR}/autologon.bmp
  ${DORVANE_RESOURCE_DIR}/ok.bmp
  ${DORVANE_RESOURCE_DIR}/cancel.bmp
  ${DORVANE_MANIFEST}
)
set_source_files_properties(${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc
                            PROPERTIES OBJECT_DEPENDS "${DORVANE_RESOURCE_FILES}")

set(DORVANE_RESOURCE_SOURCES ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc)
