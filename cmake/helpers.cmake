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

# tilepaint_library(<name> SOURCES <files...> LINKS <targets...>): a static library whose include root is
# the repository root; while a folder has no sources yet it is an interface library with the same links.
function(tilepaint_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${TILEPAINT_ROOT})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${TILEPAINT_ROOT})
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
endfunction()
