// core/nk_normals.h -- packed polygon and node normals of the parts and of
// the deformed shapes of vector results.
//
// Every part carries one packed normal per polygon and one per node for
// lighting; a vector result entry carries the same for the displaced shape.
// A node normal is the normalised sum of the normals of the polygons around
// the node while they stay within the smoothing angle of the graphics
// settings (60 degrees by default) of what was gathered so far; a node on a
// sharper edge gets the undefined normal (127, 127, 127) instead.
//
// Packed normals are three signed bytes (x 127 for x >= 0, x 128 below; see
// NKPackNormal in nk_numeric.h). Called after a geometry is built, after the
// display transform changes (nk_bbox.cpp) and by the `outwardnormals` and
// `normals smoothparts` commands.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;
struct NKPart;
struct NKVectorResult;

// The packed byte value of the undefined normal.
constexpr int8_t NK_UNDEFINED_NORMAL_BYTE = 127;

// Packs n normals (3 floats each) into pPacked (3 bytes each); a normal whose
// x is undefined becomes (127, 127, 127). False for null arrays; true for
// n < 1.
bool NKPackNormals(int8_t *pPacked, const float *pfNormals, int n);
// True for the packed undefined normal (127, 127, 127).
bool NKIsUndefinedNormal(const int8_t *pPacked);

// Polygon and node normals of every part with polygons, allocated when
// missing. With a frame that has visibility bytes for a part, a polygon whose
// byte differs from uFlagValue still gets its own normal but bends no node
// normal. On a failed allocation "Error allocating memory." and false.
bool NKComputeGeometryNormals(NKGeometry *pGeo, NKFrame *pFrame, uint8_t uFlagValue);
// The same for every part (up to the smaller part count of the geometry and
// the result) whose entry holds displaced positions: the deformed normals
// are stored in the entry.
bool NKComputeVectorResultNormals(NKGeometry *pGeo, NKVectorResult *pVector);
// Flips each node normal that points towards the part's centroid. A flipped
// -128 becomes 127; undefined normals stay undefined.
void NKOrientPartNormalsOutward(NKPart *pPart);
// Averages the node normals of the nodes of parts first..last (first < 0: 0;
// last < 0: the last part) that share a node ID. Undefined normals are left
// out of the average; IDs with no defined normal keep their normals. False
// when no part has node IDs or the geometry has no parts.
bool NKSmoothNormalsAcrossParts(NKGeometry *pGeo, int iFirst, int iLast);
// Geometry normals (each shared geometry once, flag value 0) and deformed
// normals (each shared vector result once) of every frame. False when a
// frame has no geometry or a computation fails.
bool NKComputeNormalsAllFrames(void);

// Up to four (part, node) pairs that share one node ID.
struct NKNodeOccurrenceList {
    int32_t aiPairs[4][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};

    void Reset();
    // Fills the first free pair; ignored when all four are used.
    void Add(int iPart, int iNode);
    int Count() const;
};
