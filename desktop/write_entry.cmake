# Run by `cmake --install`: writes the desktop entry for the prefix being installed into (which
# `--prefix` may change after configuring) and installs it. The caller sets ENTRY_TEMPLATE,
# ENTRY_OUTPUT (a file in the build tree), ENTRY_BINDIR and ENTRY_DATADIR (GNUInstallDirs values,
# relative to the prefix or absolute).

function(entry_full_dir var dir)
  if(IS_ABSOLUTE "${dir}")
    set(${var} "${dir}" PARENT_SCOPE)
  else()
    set(${var} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# A string value of an entry: backslashes are escaped; nothing else in a path needs it.
function(entry_string var text)
  string(REPLACE "\\" "\\\\" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

# The program as the Exec key's first argument: quoted, so a prefix with spaces stays one argument, with
# the characters that are special inside quotes escaped, a literal % doubled, and then escaped as a
# string value.
function(entry_exec_argument var path)
  string(REPLACE "\\" "\\\\" path "${path}")
  string(REPLACE "\"" "\\\"" path "${path}")
  string(REPLACE "`" "\\`" path "${path}")
  string(REPLACE "$" "\\$" path "${path}")
  string(REPLACE "%" "%%" path "${path}")
  entry_string(path "\"${path}\"")
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

entry_full_dir(bindir "${ENTRY_BINDIR}")
entry_full_dir(datadir "${ENTRY_DATADIR}")
# The program loads its picture from the current directory: the entry starts it where the picture is.
entry_exec_argument(ENTRY_EXEC "${bindir}/tilepaint")
entry_string(ENTRY_PATH "${datadir}/tilepaint")
configure_file("${ENTRY_TEMPLATE}" "${ENTRY_OUTPUT}" @ONLY)
file(INSTALL "${ENTRY_OUTPUT}" DESTINATION "${datadir}/applications" RENAME tilepaint.desktop)
