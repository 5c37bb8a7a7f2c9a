# Fails when FILE is not smaller than LIMIT bytes.
#   cmake -DFILE=path -DLIMIT=bytes -P check_size.cmake

file(SIZE "${FILE}" size)
message(STATUS "${FILE}: ${size} bytes (limit ${LIMIT})")
if(NOT size LESS LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, not below ${LIMIT}")
endif()
