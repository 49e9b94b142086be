# 32-bit Windows with Debian's mingw-w64 (g++-mingw-w64-i686); tests run under wine32.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CUE_MINGW_TRIPLET i686-w64-mingw32)
set(CUE_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
