# The same sources for 64-bit Windows, for machines that cannot run 32-bit
# code. The shared records hold 32-bit addresses, so every module is based
# below 4 GB (programs here, libraries by qfw_dll_base) and the process's
# heap, stacks and mapped views stay there too.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QFW_TRIPLET x86_64-w64-mingw32)
set(QFW_EXE_LINK_EXTRA "-Wl,--image-base=0x400000 -Wl,--disable-high-entropy-va")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
