# The keyword and exit-code tables of the README and of the help's page for scripts must name
# the keywords the program knows, and the same exit codes as each other: a keyword added to the
# program and forgotten in one of the pages, or documented and gone from the program, fails the
# native tests.
#
# Included by cmake/native.cmake, this file adds that test. Run as a script, it is the test:
#   cmake -DSOURCE_DIR=top of the repository -P keyword_tables.cmake
#
# The pages mark their tables with HTML comments, which neither Markdown nor the help shows:
#   <!-- keyword table -->      ... <!-- end of keyword table -->
#   <!-- exit code table -->    ... <!-- end of exit code table -->
# A row's keyword is the first word of its first cell, in code type; an exit code is the number
# its first cell starts with.

if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_test(NAME keyword_tables
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P
            ${CMAKE_CURRENT_LIST_DIR}/keyword_tables.cmake)
  return()
endif()

set(texts_file "${SOURCE_DIR}/src/common/texts.h")
set(command_line_file "${SOURCE_DIR}/src/app/command_line.cpp")
set(pages "${SOURCE_DIR}/README.md" "${SOURCE_DIR}/help/scripts.htm")

# The program's keywords: the words of its keyword array, and the text of every keyword constant
# the command line compares with.
file(READ "${texts_file}" texts)
if(NOT texts MATCHES "CommandKeywords\\[\\] = {([^}]*)}")
  message(FATAL_ERROR "${texts_file}: no CommandKeywords array")
endif()
string(REGEX MATCHALL "\"[a-z]+\"" program_keywords "${CMAKE_MATCH_1}")
file(READ "${command_line_file}" command_line)
string(REGEX MATCHALL "[A-Za-z]+Keyword" constants "${command_line}")
list(REMOVE_DUPLICATES constants)
foreach(constant IN LISTS constants)
  # Names of types and functions end in Keyword too; only constants of texts.h hold a word.
  if(texts MATCHES "char ${constant}\\[\\] = (\"[a-z]+\")")
    list(APPEND program_keywords "${CMAKE_MATCH_1}")
  endif()
endforeach()
string(REPLACE "\"" "" program_keywords "${program_keywords}")
list(REMOVE_DUPLICATES program_keywords)
list(SORT program_keywords)

# table_entries(PAGE NAME PATTERN OUT): the sorted, distinct second captures of PATTERN (the first
# tells the Markdown row from the HTML one) in the lines between the page's markers of the table
# NAME.
function(table_entries page name pattern out)
  file(STRINGS "${page}" lines)
  set(inside FALSE)
  set(found FALSE)
  set(entries "")
  foreach(line IN LISTS lines)
    if(line MATCHES "<!-- ${name} -->")
      set(inside TRUE)
      set(found TRUE)
    elseif(line MATCHES "<!-- end of ${name} -->")
      set(inside FALSE)
    elseif(inside AND line MATCHES "${pattern}")
      list(APPEND entries "${CMAKE_MATCH_2}")
    endif()
  endforeach()
  if(NOT found OR inside OR entries STREQUAL "")
    message(FATAL_ERROR "${page}: no ${name} between <!-- ${name} --> and <!-- end of ${name} -->")
  endif()
  list(REMOVE_DUPLICATES entries)
  list(SORT entries COMPARE NATURAL)
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

# differ(WHAT A A_NAME B B_NAME): reports what one list names and the other lacks.
function(differ what a a_name b b_name)
  set(only_a ${a})
  set(only_b ${b})
  if(b)
    list(REMOVE_ITEM only_a ${b})
  endif()
  if(a)
    list(REMOVE_ITEM only_b ${a})
  endif()
  if(only_a OR only_b)
    message(SEND_ERROR "${what}:\n  only in ${a_name}: ${only_a}\n  only in ${b_name}: ${only_b}")
  endif()
endfunction()

set(first_codes "")
foreach(page IN LISTS pages)
  table_entries("${page}" "keyword table" "^(\\| *`|<tr><td><code>)([a-z]+)" keywords)
  differ("the keywords of ${page} and of the program" "${keywords}" "${page}"
         "${program_keywords}" "the program (${texts_file})")
  table_entries("${page}" "exit code table" "^(\\| *|<tr><td>)([0-9]+)" codes)
  if(first_codes STREQUAL "")
    set(first_codes "${codes}")
    set(first_page "${page}")
  else()
    differ("the exit codes of ${first_page} and ${page}" "${first_codes}" "${first_page}"
           "${codes}" "${page}")
  endif()
endforeach()
