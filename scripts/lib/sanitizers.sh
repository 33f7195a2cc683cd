# Runtime options of the sanitizer builds (build/asan, build/tsan, the fuzzers). Sourced by
# scripts/test and scripts/fuzz. Every report ends the program with a failing exit code, so ctest
# counts the test as failed and scripts/test's closing line with it.
SANITIZER_FILES="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tests/sanitizers"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:exitcode=86:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$SANITIZER_FILES/lsan.supp:print_suppressions=0:exitcode=86"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=86"
export TSAN_OPTIONS="halt_on_error=1:exitcode=86:second_deadlock_stack=1:suppressions=$SANITIZER_FILES/tsan.supp:print_suppressions=0"
# The sanitizer builds use clang (Debian's clang and its compiler-rt runtimes).
SANITIZER_CMAKE=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
