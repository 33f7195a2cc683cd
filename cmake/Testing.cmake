# GoogleTest from the sources Debian's googletest package installs, and
# orvello_add_test(): one test program per call, run by ctest (under Wine in
# the Windows build). Each program writes its gtest XML report to
# test-results/, which scripts/test adds up into one closing line.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)

set(ORVELLO_TEST_RESULTS "${CMAKE_BINARY_DIR}/test-results")
file(MAKE_DIRECTORY "${ORVELLO_TEST_RESULTS}")

# The tests labelled threads: everything that starts a thread, which build/tsan runs under
# ThreadSanitizer (scripts/test builds only these there).
add_custom_target(orvello_thread_tests)

# orvello_add_test(NAME name SOURCES ... LIBRARIES ... LABELS ... [TIMEOUT s])
function(orvello_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  else()
    list(APPEND labels host)
  endif()
  add_test(NAME ${T_NAME}
    COMMAND ${T_NAME} --gtest_output=xml:test-results/${T_NAME}.xml
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
  if("threads" IN_LIST labels)
    add_dependencies(orvello_thread_tests ${T_NAME})
  endif()
endfunction()
