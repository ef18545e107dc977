# What both mingw-w64 toolchain files share; they set TILEPAINT_MINGW_TRIPLE (the compiler's prefix)
# and TILEPAINT_WINE_LOADER (the Wine loader that runs that build's executables) before including it.
set(CMAKE_SYSTEM_NAME Windows)

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

# Debian keeps the loaders in /usr/lib/wine/ and puts neither on PATH.
find_program(TILEPAINT_WINE NAMES ${TILEPAINT_WINE_LOADER} HINTS /usr/lib/wine NO_CACHE)
if(TILEPAINT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TILEPAINT_WINE})
endif()

# GoogleTest, which Debian ships for the host only, comes from cmake/mingw-modules/.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/mingw-modules)
