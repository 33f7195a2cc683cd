# ORVELLO_SANITIZE builds the whole native tree (tests and the libraries they use) with clang's
# sanitizers, for the build/asan and build/tsan stages of scripts/test:
#   address,undefined  - out-of-bounds access, use after free, leaks, undefined behaviour;
#   thread             - data races between the recording thread, the worker and their callers.
# Every report ends the program with a failing exit code (scripts/lib/sanitizers.sh sets the
# options), so ctest counts the test as failed.
set(ORVELLO_SANITIZE "" CACHE STRING "Sanitizers for a native build: address,undefined or thread")
if(ORVELLO_SANITIZE)
  if(WIN32)
    message(FATAL_ERROR "ORVELLO_SANITIZE is for the native build")
  endif()
  add_compile_options(-fsanitize=${ORVELLO_SANITIZE} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${ORVELLO_SANITIZE})
endif()

# The address,undefined build with clang also builds the libFuzzer targets (tests/fuzz): every
# library carries the fuzzer's coverage instrumentation, the targets link its driver.
set(ORVELLO_FUZZERS OFF)
if(ORVELLO_SANITIZE MATCHES "address" AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(ORVELLO_FUZZERS ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
