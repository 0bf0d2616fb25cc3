# cmake/install_desktop.cmake -- run by `cmake --install`: writes, for the
# prefix installed to, what the program's first run registers with the
# desktop (app/nk_file_types.cpp): the desktop entry that opens files with
# the installed program and shows it in the applications menu, and the
# shared-mime-info package of its document types. The types are read from
# the program's own table, so both stay the same. QUOLIN_SOURCE_DIR,
# QUOLIN_BINDIR and QUOLIN_DATADIR come from the install code before it. The
# script sets no policy: the install code includes it without a policy scope
# of its own.
set(data "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${QUOLIN_DATADIR}")
set(program "${CMAKE_INSTALL_PREFIX}/${QUOLIN_BINDIR}/quolin")

# The table rows: {".ext", ".Typefile", " Description"} or nullptr for a
# type that keeps the description of an earlier row.
file(STRINGS "${QUOLIN_SOURCE_DIR}/app/nk_file_types.cpp" rows
     REGEX "{\"\\.[A-Za-z0-9]+\", \"\\.[A-Za-z0-9]+\", (nullptr|\"[^\"]*\")}")
set(types "")
foreach(row IN LISTS rows)
  string(REGEX MATCHALL "{\"\\.[A-Za-z0-9]+\", \"\\.[A-Za-z0-9]+\", (nullptr|\"[^\"]*\")}" cells "${row}")
  foreach(cell IN LISTS cells)
    string(REGEX MATCH "{\"(\\.[A-Za-z0-9]+)\", \"\\.([A-Za-z0-9]+)\", (nullptr|\"([^\"]*)\")}" unused "${cell}")
    set(extension "${CMAKE_MATCH_1}")
    string(TOLOWER "application/x-nkquolin-${CMAKE_MATCH_2}" mime)
    list(FIND types "${mime}" known)
    if(known EQUAL -1)
      list(APPEND types "${mime}")
      set(globs_${mime} "")
      set(comment_${mime} "")
    endif()
    if(NOT CMAKE_MATCH_3 STREQUAL "nullptr")
      set(comment_${mime} "Quolin${CMAKE_MATCH_4}")
    endif()
    list(APPEND globs_${mime} "*${extension}")
  endforeach()
endforeach()
if(NOT types)
  message(FATAL_ERROR "No document types found in app/nk_file_types.cpp")
endif()

set(xml "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")
string(APPEND xml "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n")
set(mime_list "")
foreach(mime IN LISTS types)
  string(APPEND xml "  <mime-type type=\"${mime}\">\n")
  if(NOT comment_${mime} STREQUAL "")
    string(APPEND xml "    <comment>${comment_${mime}}</comment>\n")
  endif()
  list(REMOVE_DUPLICATES globs_${mime})
  foreach(glob IN LISTS globs_${mime})
    string(APPEND xml "    <glob pattern=\"${glob}\"/>\n")
  endforeach()
  string(APPEND xml "  </mime-type>\n")
  string(APPEND mime_list "${mime};")
endforeach()
string(APPEND xml "</mime-info>\n")

# The Exec value as the program quotes it: a backslash before " ` $ \ and
# %% for %, inside double quotes, then every backslash doubled.
string(REPLACE "\\" "\\\\" exec "${program}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "\"${exec}\"")
set(entry "[Desktop Entry]\nType=Application\nName=Quolin Dulm\nExec=${exec} %f\n")
string(APPEND entry "Icon=quolin-dulm\nTerminal=false\nMimeType=${mime_list}\n")

message(STATUS "Installing: ${data}/mime/packages/quolin-dulm.xml")
file(WRITE "${data}/mime/packages/quolin-dulm.xml" "${xml}")
message(STATUS "Installing: ${data}/applications/quolin-dulm.desktop")
file(WRITE "${data}/applications/quolin-dulm.desktop" "${entry}")
