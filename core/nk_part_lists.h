// core/nk_part_lists.h -- the part lists of a geometry for the drawing passes
// (opaque, hidden lines, transparent surfaces), the depth order of
// transparent parts and polygons, part filters, the selected-part count and
// colours adjusted against the background.
//
// The lists are cached in NKGeometry::partLists and rebuilt when invalidated
// (a display attribute changed). Distances are squared distances from the eye
// in display coordinates. The polygon order takes its eye point from the
// current GL matrices through NKUnProject, which works on explicit matrices
// so that the order can also be computed without a GL context.
#pragma once

#include <cstdint>

struct NKFrame;
struct NKGeometry;
struct NKPart;
struct NKPartListCache;

// Bits of the part filter mask.
enum {
    NK_FILTER_VISIBLE = 1,
    NK_FILTER_SURFACE = 2,
    NK_FILTER_LINES = 4,
    NK_FILTER_POINTS = 8,
    NK_FILTER_OUTLINE = 16
};

// Clears the valid byte of the frame's geometry, or of every frame's
// geometry for a null frame.
void NKInvalidatePartLists(NKFrame *pFrame);
// The frame's part lists, rebuilt first when invalid; null without a frame
// or geometry or when the rebuild fails.
NKPartListCache *NKGetGeometryPartLists(NKFrame *pFrame);
// Rebuilds the three lists in part order; false for null or out of memory.
bool NKBuildGeometryPartLists(NKGeometry *pGeo);

// order[i] = the listed part at position i by ascending squared distance of
// its box centre from the eye (culled parts 1e12 with bSkipCulled).
bool NKComputeTransparentPartsDrawOrder(const float afEye[3], NKFrame *pFrame, const int *piParts,
                                        int iCount, bool bSkipCulled, int *piOrder);
// The polygons of the visible listed parts, numbered consecutively, ordered
// by ascending squared distance of their centroids from the eye; neighbours
// closer than 1e-5 in distance go in ascending order of their first key word
// (piKeys[2 x polygon]). The eye is the unprojection of the view centre at
// depth 0 with the current GL matrices and viewport.
bool NKComputeTransparentPolysDrawOrder(NKFrame *pFrame, const int *piParts, int iPartCount,
                                        int iPolyCount, const int *piKeys, int *piOrder);
// The same with the modelview and projection matrices (column order) and
// the viewport given.
bool NKComputeTransparentPolysDrawOrderWithMatrices(NKFrame *pFrame, const int *piParts,
                                                    int iPartCount, int iPolyCount,
                                                    const int *piKeys, const double adModel[16],
                                                    const double adProj[16],
                                                    const int aiViewport[4], int *piOrder);
// gluUnProject over explicit matrices: the object point at window (x, y) and
// depth z (0..1). False when P x M cannot be inverted or w is 0.
bool NKUnProject(double x, double y, double z, const double adModel[16], const double adProj[16],
                 const int aiViewport[4], double adOut[3]);

// True for mask 0; else every property whose bit is set in uMask must agree
// with the same bit of uWanted (visible, surface, lines, points, outline).
bool NKPartMatchesFilter(const NKPart *pPart, uint32_t uMask, uint8_t uWanted);
// Number of selected parts, with the first and last index (-1 when none).
int NKCountSelectedParts(const NKGeometry *pGeo, int *piFirst, int *piLast);
// White colours on white become black, black on black white; a selection
// highlight colour equal to the background is turned away from it.
void NKAdjustColorsToBackground(const uint8_t auBackground[3], uint8_t auA[3], uint8_t auB[3]);
// out = 255 - in per component.
void NKInvertColor(const uint8_t auIn[3], uint8_t auOut[3]);
