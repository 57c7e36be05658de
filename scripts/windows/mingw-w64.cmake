# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads, which
# Qt needs). What is built for Windows is looked for only under the prefixes
# that CMAKE_FIND_ROOT_PATH names besides mingw's own, never among this machine's
# libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Windows keeps its stack aligned to 16 bytes, and GCC spills 32- and 64-byte
# vectors there with aligned moves (GCC bug 54412): the assembler makes every
# aligned vector move an unaligned one, which costs nothing on aligned data.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
# GCC 12 warns of overlapping copies inside std::string when it optimises (GCC bug
# 105651), which is no fault of the code it compiles.
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move -Wno-restrict")

list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
