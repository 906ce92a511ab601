# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
# The POSIX thread-model compilers are used: the win32 model has no std::thread
# or std::mutex in GCC 12. Programs are linked statically so that the .exe runs
# without any MinGW DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SONDRIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SONDRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SONDRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SONDRIX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SONDRIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# printf and friends with the C99 formats (%zu) the code uses.
# GCC 12 reports std::string assignments at -O3 as overlapping copies (GCC
# bug 105329), a false alarm that -Werror would turn into a failed build.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -Wno-restrict")

# Programs built here run under Wine on the build machine (tests, test discovery).
find_program(SONDRIX_WINE NAMES wine64 wine)
if(SONDRIX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SONDRIX_WINE})
endif()
