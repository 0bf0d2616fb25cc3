# cmake/generated.cmake -- sources the build generates (included by the top
# CMakeLists.txt before quolin_base is made).
#
# The command table: commands/nk_commands.tsv holds every row of the command
# language's table; the host tool nk_command_table_gen turns it into the
# NK_CID_ constants (generated/commands/nk_command_ids.h) and the static rows
# (generated/commands/nk_command_rows.cpp). Editing the data file or the tool
# regenerates both on the next build.

add_executable(nk_command_table_gen ${CMAKE_SOURCE_DIR}/cmake/nk_command_table_gen.cpp)

set(NK_COMMANDS_TSV ${CMAKE_SOURCE_DIR}/commands/nk_commands.tsv)
set(NK_GENERATED_COMMANDS_DIR ${CMAKE_BINARY_DIR}/generated/commands)
set(NK_COMMAND_IDS_H ${NK_GENERATED_COMMANDS_DIR}/nk_command_ids.h)
set(NK_COMMAND_ROWS_CPP ${NK_GENERATED_COMMANDS_DIR}/nk_command_rows.cpp)

add_custom_command(
  OUTPUT ${NK_COMMAND_IDS_H} ${NK_COMMAND_ROWS_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${NK_GENERATED_COMMANDS_DIR}
  COMMAND nk_command_table_gen ${NK_COMMANDS_TSV} ${NK_GENERATED_COMMANDS_DIR}
  DEPENDS nk_command_table_gen ${NK_COMMANDS_TSV}
  COMMENT "Generating the command table from commands/nk_commands.tsv"
  VERBATIM)

list(APPEND QUOLIN_GENERATED_SOURCES ${NK_COMMAND_IDS_H} ${NK_COMMAND_ROWS_CPP})

# The user's command reference, docs/commands.md, comes from the same rows
# and from the program's folders, whose handlers say which rows have an
# action: `cmake --build <build> -t command_reference` writes it anew after
# the data file or a handler changed (the test command_reference_current
# fails until then).
set(NK_HANDLER_FOLDERS "")
foreach(dir IN LISTS QUOLIN_SUBSYSTEMS)
  list(APPEND NK_HANDLER_FOLDERS ${CMAKE_SOURCE_DIR}/${dir})
endforeach()
add_custom_target(command_reference
  COMMAND nk_command_table_gen --reference ${NK_COMMANDS_TSV}
          ${CMAKE_SOURCE_DIR}/docs/commands.md ${NK_HANDLER_FOLDERS}
  DEPENDS nk_command_table_gen
  COMMENT "Writing docs/commands.md from commands/nk_commands.tsv"
  VERBATIM)
