// core/nk_edges.h -- edge kinds of every polygon edge slot of a part, for
// outline drawing and the mesh overlay.
//
// A part has one edge slot per polygon corner, in polygon order: slot i of a
// polygon runs from its node i to node i+1 (the last back to node 0). The
// kind byte of a slot (NKPart::pEdgeKinds, iNumEdgeSlots of them) is 0 (not
// drawn: another slot of the same edge carries it, or it was not classified),
// 1 (smooth interior edge) or 2 (boundary or feature edge). Slots that share
// an edge are found by hashing node pairs into the global bucket lists
// (core/nk_sort.h), separately per level-of-detail level given by the
// frame's visibility bytes. The feature angle is the outline crease angle of
// the graphics settings.
#pragma once

#include <cstdint>

struct NKBucketEntry;
struct NKFrame;
struct NKGeometry;
struct NKPart;

// Kinds of an edge slot.
enum { NK_EDGE_NOT_DRAWN = 0, NK_EDGE_SMOOTH = 1, NK_EDGE_FEATURE = 2 };

// Scratch record of one edge slot.
struct NKEdgeRecord {
    int32_t iPolygon;
    int32_t iFirst;   // the smaller node of the edge
    int32_t iSecond;  // the larger node
    int32_t iSpare;
};

// Edge kinds of every part of the geometry; pFrame (or null) gives the
// visibility bytes. False for a null geometry or when the scratch cannot be
// allocated; true for a geometry without parts or edges.
bool NKFindEdges(NKGeometry *pGeo, NKFrame *pFrame);
// Edge kinds of part iPart, using pEdges (at least the part's slot count).
bool NKFindEdgesOnePart(int iPart, NKGeometry *pGeo, NKFrame *pFrame, NKEdgeRecord *pEdges);
// Classifies the slots chained from pBucket (values are slot numbers) into
// puKinds.
void NKClassifyEdgesInBucket(const NKEdgeRecord *pEdges, const NKBucketEntry *pBucket,
                             const NKPart *pPart, uint8_t *puKinds);
// True when slot a sorts after slot b (first node, then second node).
bool NKCompareEdges(int a, int b, const NKEdgeRecord *pEdges);
// |a x 729 + b x 13| mod size, in 64-bit arithmetic so that no node number
// gives a negative bucket; 0 for a size below 1.
int NKEdgeHash(int a, int b, int iSize);
// Runs NKFindEdges once for each shared geometry of all frames; true.
bool NKFindEdgesAllFrames(void);
// The polygon nearest to iPolygon (searching p-1, p+1, p-2, p+2, ...) that
// also has the edge between corners iCornerA and iCornerB of iPolygon; -1
// when none has it or for bad arguments.
int NKFindAdjacentPolygon(const NKPart *pPart, int iPolygon, int iCornerA, int iCornerB);
