// render/nk_ride.h -- riding on the model: a ride set-up that ties the
// eye, the view reference point and the up vector to polygons, nodes, parts
// or fixed values, evaluated for every drawn frame (the scene calls
// NKComputeRideViewPoint while bInUse is set and drives g_ViewMatrix from it
// while bRiding), the `ride` command family, the set-up text and the
// ride file, a command file of `ride` lines read back with `source`.
#pragma once

#include <cstdint>

#include "core/nk_model.h"

class NKString;
struct CommandTableEntry;

// Source kinds of the eye, the reference point and the up vector.
enum {
    NK_RIDE_POLYGON = 0,  // centroid; for the up vector the polygon's normal
    NK_RIDE_NODES = 1,    // one node, or the centroid of two or three
    NK_RIDE_LINE = 2,     // reference point only: the direction of two nodes
    NK_RIDE_PART = 3,     // centre of the part's box
    NK_RIDE_FIXED = 4,    // the given point or vector
    NK_RIDE_NONE = 5      // not specified
};

// A part and an item (polygon or node) of it, both 0-based.
struct NKRideItem {
    int32_t iPart = -1;
    int32_t iItem = -1;
};

struct NKRideSpec {
    uint8_t bInUse = 0;       // evaluated for each drawn frame
    uint8_t bRiding = 0;      // the camera follows the ride
    uint8_t bPreview = 0;     // the preview is drawn
    uint8_t bViewStored = 0;  // `ride on` stored the view in fStoredView
    int32_t iEyeSource = NK_RIDE_NONE;
    int32_t iVrpSource = NK_RIDE_NONE;
    int32_t iVupSource = NK_RIDE_NONE;
    NKRideItem aEyePolygon;
    NKRideItem aEyeNodes[3];
    int32_t iNumEyeNodes = 0;
    int32_t iEyePart = -1;
    float fEyeOffset[3] = {0, 0, 0};  // right, forward, up; model units
    float fEyePoint[3] = {0, 0, 0};   // model coordinates
    NKRideItem aVrpPolygon;
    NKRideItem aVrpNodes[3];  // the first two also serve the line kind
    int32_t iNumVrpNodes = 0;
    int32_t iVrpPart = -1;
    float fVrpPoint[3] = {0, 0, 0};  // model coordinates
    NKRideItem aVupPolygon;
    float fVup[3] = {0, 0, 0};
    uint8_t bFlip = 0;      // the up vector is reversed
    NKViewPoint ViewPoint;  // the last evaluated viewpoint, display coordinates
    float fStoredView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
extern NKRideSpec g_RideSpec;

// Every field to its reset value; true.
bool NKResetRideSpec(NKRideSpec *pSpec);
// Whether none of the three kinds is NK_RIDE_NONE.
bool NKIsRideSpecValid(const NKRideSpec *pSpec);
// Evaluates the three sources for frame iFrame (-1 the current one) into
// pSpec->ViewPoint; false, the viewpoint unchanged, when the frame, a part
// or its coordinates are missing, or when a kind is not specified.
bool NKComputeRideViewPoint(int iFrame, NKRideSpec *pSpec);
// While the ride is in use and its preview is on, draws the last evaluated
// viewpoint: a line from the eye to the reference point and one from the eye
// along 0.3 times the up vector, width 3, points of size 4 at the eye and
// the reference point, unlit, in the text colour. GL state is left as found.
void NKDrawRidePreview(void);
// The ride set-up as four indented lines (no line break after the last);
// node numbers are shown as node IDs. Returns pText.
NKString *NKPrintRideSpec(NKString *pText, const NKRideSpec *pSpec);
// Writes the ride file in one go; false when it cannot be written.
bool NKWriteRideFile(const NKRideSpec *pSpec, const char *pszFileName);
// The `ride` family and `noride` on pSpec and pfMatrix; the command result.
int NKRideCommand(CommandTableEntry *pEntry, const char *pszArguments, NKRideSpec *pSpec,
                  float *pfMatrix);
