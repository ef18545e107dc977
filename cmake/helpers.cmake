# Small helpers shared by the directories of the tree.

# tilepaint_glob(<var> <dir> [<dir>...]): the C++ sources directly inside the given directories
# (relative to the current source directory), picked up again when files are added.
function(tilepaint_glob var)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  set(${var} ${files} PARENT_SCOPE)
endfunction()
