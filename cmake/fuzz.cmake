# Fuzz targets: libFuzzer feeds each one generated inputs, and AddressSanitizer and UBSan turn
# any fault into a crash. A build of its own, with clang++ (tools/fuzz.sh builds and runs it):
#   cmake -S . -B build/fuzz -DDORVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
# Each tests/fuzz/NAME.cpp is one target, fuzz_NAME, with its seed inputs in tests/fuzz/corpus/NAME.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang++: -DCMAKE_CXX_COMPILER=clang++")
endif()

file(GLOB DORVANE_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(source IN LISTS DORVANE_FUZZ_SOURCES)
  get_filename_component(name ${source} NAME_WE)
  add_executable(fuzz_${name} ${source})
  target_link_libraries(fuzz_${name}
    PRIVATE dorvane_app dorvane_core dorvane_ui_headless dorvane_platform_fake)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endforeach()
