# Shared by the two MinGW-w64 tool chains; QFW_TRIPLET is set by the includer.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-threads compilers, so that std::thread and std::mutex exist.
set(CMAKE_C_COMPILER   ${QFW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QFW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${QFW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QFW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every program and library must run with nothing beside it but the system's
# own DLLs: the compiler runtimes and winpthread are linked in.
set(QFW_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "${QFW_STATIC_RUNTIME} ${QFW_EXE_LINK_EXTRA}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${QFW_STATIC_RUNTIME}")
