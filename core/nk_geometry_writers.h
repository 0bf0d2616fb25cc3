// core/nk_geometry_writers.h -- the model's polygon geometry written back as
// geometry files: the binary form, the BYU-style text form, and a flat test
// grid in the binary form.
//
// Polygons are written as 1-based node numbers with the last node of each
// polygon negated; coordinates in model units. Binary files are 32-bit
// little-endian words:
//   header      1, parts, nodes, polygons, polygon-node references (i32)
//   part table  first and last polygon number per part, 1-based (i32 x 2)
//   coordinates x, y, z per node, part after part (f32 x 3)
//   polygons    one node number per corner, part after part (i32)
// Every file goes through a temporary file that replaces the target only
// when every write succeeded (core/nk_output_file.h); any failure answers
// false and leaves the target as it was.
#pragma once

struct NKFrame;
struct NKGeometry;

// All parts of the geometry in the binary form, coordinates converted with
// DisplayToModel. False for a null geometry or part array, a part without
// polygon layout, or any failed open or write.
bool NKWriteGeometryFile(NKGeometry *pGeo, const char *pszFileName);
// Parts first..last (0-based; none when first > last) of the frame's geometry
// in the text form, each node through the part's matrix (when the frame has
// them), DisplayToModel and the model's axis scale factors.
bool NKWritePartsToBYUFile(NKFrame *pFrame, const char *pszFileName, int iFirst, int iLast);
// A binary file of one part: (nx + 1) x (ny + 1) nodes spaced dx, dy in the
// z = 0 plane and nx x ny counter-clockwise quadrilaterals.
bool NKWriteGridGeometryFile(int nx, int ny, float dx, float dy, const char *pszFileName);
