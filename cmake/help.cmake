# The help file DorvaneShutdown.chm: the HTML Help project in help/, compiled with chmcmd (the
# HTML Help compiler of Free Pascal, Debian package fp-utils) into the build folder, next to
# DorvaneShutdown.exe.
#
# Included by cmake/windows.cmake, this file adds the build step and its check. The same file,
# run as a script, is that step and that check:
#   cmake -DDORVANE_HELP_STEP=compile -DCHMCMD=path -DSOURCE_DIR=help -DSTAGING_DIR=dir
#         -DOUTPUT=DorvaneShutdown.chm -P help.cmake
#   cmake -DDORVANE_HELP_STEP=check -DFILE=DorvaneShutdown.chm -DPROJECT_FILE=help/....hhp
#         -DMIN_SIZE=bytes -P help.cmake

set(DORVANE_HELP_PROJECT DorvaneShutdown.hhp)
# The name the project gives the compiled file.
set(DORVANE_HELP_COMPILED DorvaneShutdown.chm)

if(CMAKE_SCRIPT_MODE_FILE)
  if(DORVANE_HELP_STEP STREQUAL "compile")
    if(NOT CHMCMD OR NOT EXISTS "${CHMCMD}")
      # Looked for again: it may have been installed since the build folder was configured.
      find_program(chmcmd_on_path chmcmd)
      set(CHMCMD "${chmcmd_on_path}")
    endif()
    if(NOT CHMCMD)
      message(FATAL_ERROR
        "chmcmd, the HTML Help compiler that builds DorvaneShutdown.chm, was not found.\n"
        "Install the Debian package fp-utils (apt-get install fp-utils) and build again.")
    endif()

    # chmcmd reads the project's files relative to the project and writes the compiled file into
    # its working directory; working on a copy keeps both out of the source tree.
    file(REMOVE "${OUTPUT}")
    file(REMOVE_RECURSE "${STAGING_DIR}")
    file(COPY "${SOURCE_DIR}/" DESTINATION "${STAGING_DIR}")
    execute_process(
      COMMAND "${CHMCMD}" ${DORVANE_HELP_PROJECT}
      WORKING_DIRECTORY "${STAGING_DIR}"
      RESULT_VARIABLE result
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output)
    # A missing page, picture or link target is only a warning to chmcmd; here it is an error.
    if(NOT result EQUAL 0 OR output MATCHES "Warning|Error|exception")
      message(FATAL_ERROR "chmcmd could not compile help/${DORVANE_HELP_PROJECT} cleanly "
                          "(exit code ${result}):\n${output}")
    endif()
    if(NOT EXISTS "${STAGING_DIR}/${DORVANE_HELP_COMPILED}")
      message(FATAL_ERROR "chmcmd wrote no ${DORVANE_HELP_COMPILED}:\n${output}")
    endif()
    file(RENAME "${STAGING_DIR}/${DORVANE_HELP_COMPILED}" "${OUTPUT}")

  elseif(DORVANE_HELP_STEP STREQUAL "check")
    # The compiled file exists, is a compiled help file, is not a stub, and its directory lists
    # the contents, the index and every file of the project.
    if(NOT EXISTS "${FILE}")
      message(FATAL_ERROR "${FILE} does not exist")
    endif()
    file(SIZE "${FILE}" size)
    message(STATUS "${FILE}: ${size} bytes")
    if(size LESS MIN_SIZE)
      message(FATAL_ERROR "${FILE} is ${size} bytes, less than ${MIN_SIZE}")
    endif()
    # "ITSF", compared as hexadecimal digits since the bytes after it are not text.
    file(READ "${FILE}" signature LIMIT 4 HEX)
    if(NOT signature STREQUAL "49545346")
      message(FATAL_ERROR "${FILE} is not a compiled HTML Help file")
    endif()

    file(STRINGS "${PROJECT_FILE}" project_lines)
    set(expected /DorvaneShutdown.hhc /DorvaneShutdown.hhk)
    set(in_files FALSE)
    foreach(line IN LISTS project_lines)
      if(line MATCHES "^\\[")
        set(in_files FALSE)
        if(line STREQUAL "[FILES]")
          set(in_files TRUE)
        endif()
      elseif(in_files AND NOT line STREQUAL "")
        list(APPEND expected "/${line}")
      endif()
    endforeach()
    file(STRINGS "${FILE}" names REGEX "/")
    string(JOIN "\n" names ${names})
    set(missing "")
    foreach(name IN LISTS expected)
      string(FIND "${names}" "${name}" at)
      if(at EQUAL -1)
        list(APPEND missing ${name})
      endif()
    endforeach()
    list(LENGTH expected count)
    if(missing)
      message(FATAL_ERROR "${FILE} lacks ${missing}")
    endif()
    message(STATUS "${FILE} holds all ${count} files of the project")

  else()
    message(FATAL_ERROR "DORVANE_HELP_STEP must be compile or check")
  endif()
  return()
endif()

find_program(DORVANE_CHMCMD chmcmd DOC "chmcmd, the HTML Help compiler (Debian package fp-utils)")
if(NOT DORVANE_CHMCMD)
  message(STATUS "chmcmd not found: building DorvaneShutdown.chm will fail until fp-utils is "
                 "installed")
endif()

file(GLOB_RECURSE DORVANE_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(DORVANE_HELP_FILE ${CMAKE_BINARY_DIR}/${DORVANE_HELP_COMPILED})

add_custom_command(
  OUTPUT ${DORVANE_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -DDORVANE_HELP_STEP=compile -DCHMCMD=${DORVANE_CHMCMD}
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/help -DSTAGING_DIR=${CMAKE_BINARY_DIR}/help
          -DOUTPUT=${DORVANE_HELP_FILE} -P ${CMAKE_CURRENT_LIST_FILE}
  DEPENDS ${DORVANE_HELP_SOURCES} ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Compiling the help file DorvaneShutdown.chm"
  VERBATIM)
add_custom_target(DorvaneShutdownHelp ALL DEPENDS ${DORVANE_HELP_FILE})

# A compiled help file of this project is some tens of kilobytes; a few kilobytes would mean
# pages or pictures went missing.
add_test(NAME help_file_compiled
  COMMAND ${CMAKE_COMMAND} -DDORVANE_HELP_STEP=check -DFILE=${DORVANE_HELP_FILE}
          -DPROJECT_FILE=${CMAKE_SOURCE_DIR}/help/${DORVANE_HELP_PROJECT} -DMIN_SIZE=16384
          -P ${CMAKE_CURRENT_LIST_FILE})
