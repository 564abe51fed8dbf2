# Read by ctest as it reads the tests (see corvane_test in CMakeLists.txt): a test's time limit is its
# base in seconds times the slowness factor that ctest finds in CORVANE_TEST_SLOWNESS, the factor the
# tests' own waits use (1 when unset), so a run by hand on a slow machine needs only the variable.
# Read when configuring too, for the limit of listing a test program's tests.
set(corvane_slowness "$ENV{CORVANE_TEST_SLOWNESS}")
if(corvane_slowness STREQUAL "")
  set(corvane_slowness 1)
elseif(NOT corvane_slowness MATCHES "^[1-9][0-9]*$")
  message(FATAL_ERROR "CORVANE_TEST_SLOWNESS is a whole number from 1, not '${corvane_slowness}'")
endif()

function(corvane_time_limit seconds)  # tests...
  math(EXPR limit "${seconds} * ${corvane_slowness}")
  if(ARGN)
    set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${limit})
  endif()
endfunction()
