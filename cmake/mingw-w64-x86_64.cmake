# 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64); tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CUE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CUE_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
