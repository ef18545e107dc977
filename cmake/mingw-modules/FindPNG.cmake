# PNG for the Windows build: Debian has no mingw-w64 libpng (nor zlib headers), so PNG::PNG is our own
# small codec in support/win32/ with the same calling conventions for the functions the tools and tests
# use. It writes uncompressed (stored) deflate blocks and reads any non-interlaced PNG.
if(NOT TARGET tilepaint_png)
  add_library(tilepaint_png STATIC ${TILEPAINT_ROOT}/support/win32/png_codec.cpp)
  target_include_directories(tilepaint_png PUBLIC ${TILEPAINT_ROOT}/support/win32)
endif()
if(NOT TARGET PNG::PNG)
  add_library(PNG::PNG ALIAS tilepaint_png)
endif()
set(PNG_FOUND TRUE)
set(PNG_LIBRARIES PNG::PNG)
set(PNG_INCLUDE_DIRS ${TILEPAINT_ROOT}/support/win32)
