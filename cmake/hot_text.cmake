# The Linux release program's code laid out for a program that mostly sits in the tray. The kernel maps
# a program's pages in blocks of 64 KB around each page touched, so the code run at start and at rest,
# spread over the whole program, kept all of it resident. Here that code goes in front, in the order of
# cmake/hot_text.ld (bench/hot_text.sh writes it), and the program's segments start on 64 KB boundaries,
# so that the code run at rest lies in one block and the rest (preferences, About box, help, errors) is
# mapped only when it runs. Calls into the shared libraries go through their table of addresses without
# stubs, which would take a part of that block; and relative relocations are packed, which makes the
# part read at load smaller.
#
# add_compile_options here; the program's target calls corvane_hot_text_link() once it exists.
function(corvane_hot_text_link target)
endfunction()
if(CMAKE_CROSSCOMPILING OR WIN32 OR NOT CMAKE_BUILD_TYPE STREQUAL "Release"
   OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  return()
endif()
include(CheckLinkerFlag)
check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" CORVANE_LINKER_PACKS_RELOCS)

add_compile_options(-ffunction-sections -fno-plt)
function(corvane_hot_text_link target)
  target_link_options(${target} PRIVATE -Wl,-T,${PROJECT_SOURCE_DIR}/cmake/hot_text.ld
                      -Wl,-z,max-page-size=0x10000)
  if(CORVANE_LINKER_PACKS_RELOCS)
    target_link_options(${target} PRIVATE -Wl,-z,pack-relative-relocs)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/hot_text.ld)
endfunction()
