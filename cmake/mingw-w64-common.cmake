# What both Windows toolchains share; CUE_MINGW_TRIPLET names the compiler.
# The posix thread model gives the standard library its threads; everything, the C++
# runtime and winpthreads included, is linked statically, so a copied folder runs alone.
set(CMAKE_C_COMPILER ${CUE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CUE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CUE_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CUE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Unicode Win32 calls by default; the 8-bit ones are named where they are meant.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# ctest runs the programs under Debian's wine, with the loader of their width (wine64
# for 64-bit programs; wine for 32-bit ones, which needs wine32 and a kernel that runs
# 32-bit programs).
find_program(CUE_WINE NAMES ${CUE_WINE_LOADER} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(CUE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CUE_WINE})
endif()
