# The program's resources: icons, bitmaps, the manifest and the version information. The icon and
# the bitmaps are drawn from the SVG drawings at build time (tools/make-resources.sh), each bitmap
# at every scale the program picks from for the display's DPI; windres then compiles them.
enable_language(RC)

set(DORVANE_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/src/app/resources)
set(DORVANE_RESOURCE_BUILD_DIR ${CMAKE_BINARY_DIR}/generated/resources)
set(DORVANE_IMAGE_DIR ${DORVANE_RESOURCE_BUILD_DIR}/images)

# The bitmaps by resource number (ui::ImageId) and file name, and the scales in percent
# (ui::ImageScales); a scaled bitmap's number is ui::ScaledImageNumber's.
set(DORVANE_IMAGES 100:toolbar 102:about 110:options 111:autologon 112:ok 113:cancel)
set(DORVANE_IMAGE_SCALES 100 125 150 200)

set(DORVANE_IMAGE_FILES ${DORVANE_IMAGE_DIR}/DorvaneShutdown.ico ${DORVANE_IMAGE_DIR}/tray.ico)
set(DORVANE_IMAGE_RESOURCES "")
foreach(image IN LISTS DORVANE_IMAGES)
  string(REPLACE ":" ";" parts ${image})
  list(GET parts 0 number)
  list(GET parts 1 name)
  foreach(scale IN LISTS DORVANE_IMAGE_SCALES)
    if(scale EQUAL 100)
      set(file ${DORVANE_IMAGE_DIR}/${name}.bmp)
      set(resource ${number})
    else()
      set(file ${DORVANE_IMAGE_DIR}/${name}-${scale}.bmp)
      math(EXPR resource "${number} * 100 + ${scale}")
    endif()
    list(APPEND DORVANE_IMAGE_FILES ${file})
    string(APPEND DORVANE_IMAGE_RESOURCES "${resource} BITMAP \"${file}\"\n")
  endforeach()
endforeach()

file(GLOB DORVANE_DRAWINGS CONFIGURE_DEPENDS ${DORVANE_RESOURCE_DIR}/svg/*.svg)
add_custom_command(
  OUTPUT ${DORVANE_IMAGE_FILES}
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make-resources.sh ${DORVANE_IMAGE_DIR}
  DEPENDS ${DORVANE_DRAWINGS} ${CMAKE_SOURCE_DIR}/tools/make-resources.sh
  COMMENT "Drawing the icon and the bitmaps"
  VERBATIM)
add_custom_target(dorvane_images DEPENDS ${DORVANE_IMAGE_FILES})

# The manifest and the resource script carry the project version.
set(DORVANE_MANIFEST ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.manifest)
configure_file(${DORVANE_RESOURCE_DIR}/DorvaneShutdown.manifest ${DORVANE_MANIFEST} @ONLY)
configure_file(${DORVANE_RESOURCE_DIR}/DorvaneShutdown.rc.in
               ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc @ONLY)

# CMake looks only for #include lines in the script, so it is told of the files windres reads.
set_source_files_properties(${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc
                            PROPERTIES OBJECT_DEPENDS "${DORVANE_IMAGE_FILES};${DORVANE_MANIFEST}")

set(DORVANE_RESOURCE_SOURCES ${DORVANE_RESOURCE_BUILD_DIR}/DorvaneShutdown.rc)
