# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
# GCC 12 with POSIX threads, so that std::thread and std::jthread work as on Linux.
# The program and the test programs are linked statically (CMakeLists.txt), so that one
# .exe needs only the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(COMPATTATORE_MINGW_TRIPLA x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${COMPATTATORE_MINGW_TRIPLA}-gcc-posix)
set(CMAKE_CXX_COMPILER ${COMPATTATORE_MINGW_TRIPLA}-g++-posix)
set(CMAKE_RC_COMPILER ${COMPATTATORE_MINGW_TRIPLA}-windres)

# Libraries and headers of the target only; programs (wine, the host's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${COMPATTATORE_MINGW_TRIPLA})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
