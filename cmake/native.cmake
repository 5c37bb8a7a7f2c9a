# Native build: the fake platform and the unit tests.

add_library(dorvane_platform_fake STATIC
  src/platform/fake/credentials.cpp
  src/platform/fake/directory.cpp
  src/platform/fake/fake.cpp
  src/platform/fake/kernel.cpp
  src/platform/fake/network.cpp
  src/platform/fake/registry.cpp
  src/platform/fake/session.cpp
  src/platform/fake/shell.cpp
  src/platform/fake/threads.cpp
)
target_link_libraries(dorvane_platform_fake PUBLIC dorvane_common)

add_library(dorvane_ui_headless STATIC ${DORVANE_UI_SOURCES} src/ui/headless/backend.cpp
                                      src/ui/headless/dialog_manager.cpp)
target_link_libraries(dorvane_ui_headless PUBLIC dorvane_platform_fake)

# The fuzz build links the same libraries into its fuzz targets instead of the unit tests.
if(DORVANE_FUZZ)
  include(cmake/fuzz.cmake)
  return()
endif()

find_package(GTest REQUIRED)
enable_testing()

# The tests that run real threads are named *_threads_test.cpp; the ThreadSanitizer build takes
# them alone, with the shared helpers.
if(DORVANE_TSAN)
  file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_threads_test.cpp)
  list(APPEND UNIT_TEST_SOURCES ${CMAKE_SOURCE_DIR}/tests/unit/ui_world.cpp)
else()
  file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
endif()
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_include_directories(unit_tests PRIVATE tests)
target_link_libraries(unit_tests PRIVATE dorvane_app dorvane_core dorvane_ui_headless dorvane_platform_fake GTest::gtest GTest::gtest_main)

include(GoogleTest)
# A hang (a wait that never ends) fails the test instead of stalling the run.
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

include(cmake/keyword_tables.cmake)

# The benchmark of tools/bench/domain.sh: the domain action at scale on real threads. Built on
# request only.
add_executable(bench_domain EXCLUDE_FROM_ALL tools/bench/domain.cpp)
target_link_libraries(bench_domain
  PRIVATE dorvane_app dorvane_core dorvane_ui_headless dorvane_platform_fake)
