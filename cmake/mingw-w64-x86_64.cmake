# Cross-compiling for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# On Windows the real system headers and DLLs stand in for platform/. Tests then run under wine64
# when it is installed (Debian: wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TILEPAINT_MINGW_TRIPLE x86_64-w64-mingw32)

# The posix flavour of the compiler has std::thread and std::mutex; the win32 flavour lacks them.
find_program(TILEPAINT_MINGW_CXX NAMES ${TILEPAINT_MINGW_TRIPLE}-g++-posix ${TILEPAINT_MINGW_TRIPLE}-g++ REQUIRED)
find_program(TILEPAINT_MINGW_CC NAMES ${TILEPAINT_MINGW_TRIPLE}-gcc-posix ${TILEPAINT_MINGW_TRIPLE}-gcc REQUIRED)
set(CMAKE_C_COMPILER ${TILEPAINT_MINGW_CC})
set(CMAKE_CXX_COMPILER ${TILEPAINT_MINGW_CXX})
find_program(CMAKE_RC_COMPILER NAMES ${TILEPAINT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TILEPAINT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A single executable without the compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TILEPAINT_WINE NAMES wine64 wine)
if(TILEPAINT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TILEPAINT_WINE})
endif()

# GoogleTest and PNG, which Debian ships for the host only, come from cmake/mingw-modules/.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/mingw-modules)
