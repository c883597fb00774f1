# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread and std::mutex work). The programs are linked statically
# against the compiler's runtime, so they run under Wine or on Windows
# without DLLs beside them. The test programs run through Wine
# (CMAKE_CROSSCOMPILING_EMULATOR); REPLIDEX_WINE names the loader.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Only the mingw tree is searched for libraries, headers and packages: the
# host's /usr/include holds glibc headers that must never reach this compiler.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

if(NOT REPLIDEX_WINE)
    find_program(REPLIDEX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(REPLIDEX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${REPLIDEX_WINE})
endif()
