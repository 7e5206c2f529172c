# Warnings for the project's own code; third-party code is built without them.
function(qfw_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# One static library per folder of the source tree.
#   qfw_library(<name> SOURCES ... [LIBRARIES ...])
function(qfw_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBRARIES})
  qfw_warnings(${name})
endfunction()

# Gives a DLL its own preferred load address. The 64-bit build needs every
# module below 4 GB (see toolchain-x86_64-mingw.cmake); distinct bases keep
# the loader from moving one where it likes.
function(qfw_dll_base target base)
  target_link_options(${target} PRIVATE "-Wl,--image-base=${base}")
endfunction()
