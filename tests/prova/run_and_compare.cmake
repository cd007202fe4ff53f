# Runs PROGRAM with ARGS (a ;-list) and compares its exit status with STATUS, its standard
# output with the file OUT and its error output with the file ERR, byte for byte.
separate_arguments(args NATIVE_COMMAND "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                WORKING_DIRECTORY ${WORKDIR})
foreach(stream out err)
  string(TOUPPER ${stream} name)
  set(expected "")
  if(${name})
    file(READ ${${name}} expected)
  endif()
  if(NOT "${${stream}}" STREQUAL "${expected}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${TEST_NAME}.${stream} "${${stream}}")
    message(FATAL_ERROR "${stream} differs from ${${name}} (what came is in ${TEST_NAME}.${stream}):\n${${stream}}")
  endif()
endforeach()
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
