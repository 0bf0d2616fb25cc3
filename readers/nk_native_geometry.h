// readers/nk_native_geometry.h -- the geometry file of the older native file
// set, and its element topology file.
//
// A geometry file holds polygons grouped into parts; the result files of the
// set (nk_native_result_files.h) hold one value per node of it. Binary form,
// 32-bit words in either byte order (the first word, 1..65535, decides):
//   header        parts, nodes, polygons, connects        (plain form), or
//                 1, parts, nodes, polygons, connects     (magic form: first
//                 word 1 and parts < nodes). A magic connects word of 1 is a
//                 plain one-part file whose first range word was just read.
//   part ranges   first and last polygon per part, 1-based, inclusive
//   nodes         x, y, z (f32) per node, model coordinates
//   connectivity  1-based node numbers, the last of each polygon negated
// The ASCII form holds the same numbers separated by white space.
// Every count is checked against the file before it is used: parts >= 1,
// other counts >= 0, polygons at most twice the connects, the data within
// the file, part ranges within 1..polygons and the connectivity closing
// exactly the header's polygons; else "Wrong geometry file format in %s".
//
// The topology file adds solid elements to the parts of a loaded geometry:
// sections "tetra4", "penta6" or "hexa8" (any letter case), each followed by
// an element count and 4, 6 or 8 node numbers per element, in the geometry
// file's 1-based numbering. The geometry files are opened by the geometry
// commands (commands/nk_open_commands.h) and by data source kind 3
// (nk_native_source.h); the topology file by "readvolume".
#pragma once

#include <string>

#include <cstdint>

struct NKFrame;
struct NKGeometry;

// What the header of a geometry file says.
struct NKGeometryFileHeader {
    bool bBinary = false;
    bool bSwap = false;            // binary words in the other byte order
    bool bMagic = false;           // the magic form (a connects word follows)
    bool bFirstStartRead = false;  // the first part's first polygon was read as 1
    int iNumParts = 0;
    int iNumNodes = 0;
    int iNumPolygons = 0;
    int iNumConnects = 0;
};

// Reads and checks the header of a geometry file (the counts' signs and
// polygons against twice the connects; not the sizes of what follows). False
// when the file cannot be opened or the header cannot be read or is wrong;
// nothing is reported.
bool NKReadGeometryFileHeader(const char *pszFileName, NKGeometryFileHeader *pHeader);

// Reads a geometry file in either form into a new geometry (reference count
// 0, model coordinates): one part per part range, each with the file nodes
// its polygons use in order of first use (pNodeMap holds each node's 0-based
// file node), iFirstPolygon the polygons of the parts before it. File nodes
// that no part uses are appended to the last part. iGlobalNumNodes is the
// file's node count, szFileName the file name. Null on failure, reported.
NKGeometry *NKReadGeometryFile(const char *pszFileName);

// Adds the topology file's elements (ids 1, 2, ... in file order) to the
// parts of the frame's geometry (null: the current frame). Each element
// joins the lowest-numbered part among its nodes' parts; a node of another
// part is copied into that part for each reference, with its values in the
// frame's scalar, vector and extra results. An element with a node that no
// part holds is dropped. Then every part with elements gets its
// polygon-to-element map. False on failure; pWhy (optional) then receives
// why the file could not be read, for the line that names it (empty when
// the file is not to blame).
bool NKReadElementTopology(const char *pszFileName, NKFrame *pFrame, std::string *pWhy = nullptr);
