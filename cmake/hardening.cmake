# The Linux release build is hardened the way the distribution builds its own packages: the flags
# dpkg-buildflags gives with every hardening feature on (fortified C library calls, the stack
# protector, read-only relocations bound at start-up) and a position-independent program. Its own
# optimisation and debugging switches are left out: the preset chooses those, and the program is
# linked stripped. Without dpkg-buildflags (not a Debian-like system) the build says so and goes on.
if(CMAKE_CROSSCOMPILING OR WIN32 OR NOT CMAKE_BUILD_TYPE STREQUAL "Release")
  return()
endif()
find_program(CORVANE_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT CORVANE_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: the release build is not hardened")
  return()
endif()

set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  # Run in the source folder, so that its file-prefix map makes paths in the program relative to it.
  execute_process(COMMAND ${CORVANE_DPKG_BUILDFLAGS} --get ${kind}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*)$")
  set(corvane_hardening_${kind} ${flags})
endforeach()
add_compile_options(${corvane_hardening_CPPFLAGS} ${corvane_hardening_CXXFLAGS})
add_link_options(${corvane_hardening_LDFLAGS})

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
list(JOIN corvane_hardening_CPPFLAGS " " cppflags)
list(JOIN corvane_hardening_CXXFLAGS " " cxxflags)
list(JOIN corvane_hardening_LDFLAGS " " ldflags)
message(STATUS "Hardened release build: ${cppflags} ${cxxflags} ${ldflags}, position-independent")
