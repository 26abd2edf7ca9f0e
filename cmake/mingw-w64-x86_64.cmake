# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads), statically linked so
# that the programs need no DLLs. Tests run under Wine, through scripts/wine-test.sh. Libraries
# built for the target (the tests' GoogleTest, CLI11's headers) are found in
# QUORVEL_WINDOWS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(QUORVEL_WINDOWS_PREFIX "" CACHE PATH "Where the target's own libraries are installed")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QUORVEL_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh)
