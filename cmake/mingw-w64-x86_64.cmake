# Cross-compiling for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# On Windows the real system headers and DLLs stand in for platform/. Tests then run under wine64
# when it is installed (Debian: wine64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TILEPAINT_MINGW_TRIPLE x86_64-w64-mingw32)
# Debian's wine64 puts its loader in /usr/lib/wine/ only.
set(TILEPAINT_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
