// export/nk_scene_export.h -- the scene exports: one frame as a VRML 1.0
// scene (nk_vrml_writer.cpp) or as ASCII STL (nk_stl_writer.cpp), and the
// display state as an attribute file of command lines that `source` reads
// back (nk_attribute_file.cpp); and the command rows that run them
// (nk_scene_export_commands.cpp).
//
// Every writer goes through NKOutputFile (core/nk_output_file.h): a write,
// close or rename that fails keeps the target as it was and leaves no
// temporary file, and the writer answers false.
#pragma once

struct CommandTableEntry;
struct NKFrame;

// Program title, version and build number written into exported files.
constexpr const char *NK_EXPORT_PROGRAM_TITLE = "Quolin Dulm";
constexpr const char *NK_EXPORT_VERSION_TEXT = "6.4";
constexpr int NK_EXPORT_BUILD_NUMBER = 0;

// Writes frame iFrame (-1: the current frame) as a VRML 1.0 ASCII scene.
// False when the frame does not exist, no name is given or the file cannot
// be written; the caller reports.
bool NKWriteVRMLFile(const char *pszFileName, int iFrame);

// Writes the polygons of pFrame as ASCII STL, one solid per part, vertices in
// model coordinates. An empty or null name writes "quolin.stl". Gives its own
// messages and status line; false without a frame or when the file cannot
// be created or written.
bool NKWriteSTLFile(NKFrame *pFrame, const char *pszFileName);

// Writes the display state as command lines. False, with "Unable to open
// outputfile %s" or "Error writing file: %s", when it cannot be written.
bool NKWriteAttributeFile(const char *pszFileName);

// The scene-export rows of the file commands (`saveattributes`, `tovrml`,
// `export stl`), which NKCommandHandleImageFiles passes on;
// NK_CMD_NOT_MINE for every other id.
int NKCommandHandleSceneExport(CommandTableEntry *pEntry, const char *pszArguments);
