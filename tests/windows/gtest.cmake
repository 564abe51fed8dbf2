# GoogleTest for the cross build: compiled from the Debian sources with the cross compiler, since no
# prebuilt Windows library of it exists here. Included from tests/CMakeLists.txt before any test target.
# Its own build names the libraries GTest::gtest and GTest::gtest_main, as the native package does.

set(CORVANE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${CORVANE_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${CORVANE_GTEST_SOURCE_DIR} (Debian: apt-get install googletest)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${CORVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Listing the tests means running the test program under Wine; do that when ctest runs, in the
# prepared Wine prefix, rather than in the middle of the build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
