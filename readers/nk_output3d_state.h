// readers/nk_output3d_state.h -- the reader state of the open IES Output3D
// set, shared by the files of the reader (nk_output3d.cpp: open, close and
// catalogues; nk_output3d_geometry.cpp; nk_output3d_results.cpp;
// nk_output3d_overlays.cpp). Not for use outside the reader.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "readers/nk_output3d_files.h"

struct NKGeometry;

// One result of the catalogue: the name shown and its file's extension.
struct NKOutput3DScalar {
    std::string name;
    std::string ext;
};

// A phase flow vector: the name shown and the files of its x, y, z.
struct NKOutput3DVector {
    std::string name;
    std::string ext[3];
};

// The nodes and elements of one event as its .k00 and .e00 records hold
// them: coordinates and ids in file order, the ids sorted with their file
// indices for the lookup of element nodes, and per element its id and its
// 8 corners as .k00 indices.
struct NKOutput3DEventMesh {
    std::vector<float> coords;  // 3 per node
    std::vector<int> nodeIds;
    std::vector<std::pair<int, int>> sortedIds;  // {id, index}
    std::vector<int> elementIds;
    std::vector<int> elementNodes;  // 8 per element
};

// A loaded overlay: its geometry (one part, model coordinates, owned) and
// its show flag.
struct NKOutput3DOverlay {
    NKGeometry *pGeo = nullptr;
    bool bShow = true;
};

struct NKOutput3DSet {
    bool bOpen = false;
    std::string base;  // file name without extension
    bool bSwap = false;
    NKOutput3DHeader header;         // of B.e00
    std::vector<int> eventElements;  // per event, its .e00 record count
    std::vector<std::string> steps;  // step names
    std::vector<NKOutput3DScalar> scalars;
    std::vector<NKOutput3DVector> vectors;
    bool bFlow[3] = {false, false, false};
    std::vector<std::pair<int, std::string>> unitNames;  // from .uni3
    std::vector<NKOutput3DOverlay> overlays;
    // Geological units, read with the first geometry.
    bool bUnitsRead = false;
    std::vector<int> elementUnits;  // per element (id - 1)
    std::vector<int> usedUnits;     // ascending; part k is usedUnits[k]
    int iLastEvent = -1;
    // The event checked last (NKOutput3DCheckEvent) with its mesh, kept for
    // the geometry read that follows the check (-1: none kept); and per
    // event, 1 once its mesh passed the check.
    int iCheckedEvent = -1;
    NKOutput3DEventMesh checkedMesh;
    std::vector<uint8_t> eventSound;
    bool bScaleSet = false;  // z factor set again with the first geometry
    float fRange[2] = {0.0f, 0.0f};
};

extern NKOutput3DSet g_Output3DSet;

// B.<ext>.
std::string NKOutput3DPath(const std::string &ext);
// Opens B.<ext> for bounded reads in the set's byte order; false (reported:
// "Error reading file %s" or the not-an-Output3D-file message) when it
// cannot be opened or its type word is wrong. pszOpenError, when given, is
// printed with the name instead for a file that cannot be opened.
bool NKOutput3DOpenBinary(const std::string &ext, NKOutput3DFile *pFile, const char *pszOpenError);
// Reports "Error reading file %s".
void NKOutput3DReadError(const std::string &path);
// The part of a unit; -1 when no element uses it.
int NKOutput3DUnitPart(int iUnit);
// Reads .elm once per set; false (reported) when it is damaged.
bool NKOutput3DReadUnits(void);
// Sets the model's z scale factor from the header's box.
void NKOutput3DSetZScale(const NKOutput3DHeader &header);
// Reads the overlays of the set's base name into pSet (failures reported
// and left out).
void NKOutput3DReadOverlays(NKOutput3DSet *pSet);
// Frees the overlay geometries of a set.
void NKOutput3DFreeOverlays(NKOutput3DSet *pSet);
// Appends copies of the overlay parts after the unit parts (the geometry has
// room for them); false when memory runs out.
bool NKOutput3DAppendOverlayParts(NKGeometry *pGeo, int iFirstPart);
