# Cross-compiling for 32-bit Windows with mingw-w64 (Debian: g++-mingw-w64-i686):
#   cmake -S . -B build-windows-i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# Pointers, handles and SIZE_T are 32 bits wide here, as on the system's own platform. Tests then run
# under 32-bit Wine (Debian: wine32:i386, whose loader is /usr/lib/wine/wine) in a WINEARCH=win32 prefix.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TILEPAINT_MINGW_TRIPLE i686-w64-mingw32)
set(TILEPAINT_WINE_LOADER wine)

# Every double of the system is an IEEE double rounded at each step. The compiler's default for this
# target is x87 arithmetic, which keeps intermediates in 80 bits: FitSize's 49 x (2 / 49) would reach 2
# instead of falling short of it. SSE2 rounds each operation to double, as the 64-bit build does.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
