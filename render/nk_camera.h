// render/nk_camera.h -- the camera of the 3-D view as the scene and the
// shell ask it: the view matrix, whether the camera moves, the eye point,
// the look-at matrix of a viewpoint, the ride through the frames and the
// set-view text that restores the view.
#pragma once

#include <cstdint>

#include "core/nk_model.h"

class NKString;

// The camera's view matrix (column order), applied by NKApplyViewMatrix.
// Placeholder: the camera code keeps it; until then the identity, never
// moving.
extern float g_ViewMatrix[16];

// The eye point in display coordinates from the current view matrix; false
// when the matrix cannot be inverted.
// Placeholder: no camera yet, so there is no eye point (false, pfEye
// unchanged).
bool NKGetEyePoint(float *pfEye);
// Placeholder: the navigation code; the camera never moves (false).
bool NKIsNavigationActive(void);

// The view matrix that looks from pfEye at pfVrp with pfVup up (display
// coordinates) into pfMatrix; returns pfMatrix.
// Placeholder: the camera code builds it; until then pfMatrix is left as it
// is, so a frame's viewpoint does not move the view.
float *NKLookAtMatrix(const float *pfEye, const float *pfVrp, const float *pfVup, float *pfMatrix);
// NKLookAtMatrix with the viewpoint's three vectors; true.
bool NKApplyViewPoint(const NKViewPoint *pViewPoint, float *pfMatrix);

// The ride: a viewpoint evaluated for every frame from parts and nodes of
// the model, which drives the camera while riding.
// Placeholder: only the fields the scene reads; no ride is in use.
struct NKRideSpec {
    uint8_t bInUse = 0;     // the viewpoint is evaluated for each drawn frame
    uint8_t bRiding = 0;    // the evaluated viewpoint drives the camera
    NKViewPoint ViewPoint;  // the last evaluated viewpoint
};
extern NKRideSpec g_RideSpec;
// Evaluates the ride's viewpoint for frame iFrame (-1 the current one) into
// pSpec->ViewPoint; false when something it needs is missing.
// Placeholder: nothing to evaluate yet (false, the viewpoint unchanged).
bool NKComputeRideViewPoint(int iFrame, NKRideSpec *pSpec);

// The set-view command that restores pfMatrix: "setview" and, for qx, qy,
// qz, qw of its rotation and tx, ty, tz of its translation, a blank and the
// number as "%g". Returns pText.
NKString *NKMakeSetviewCommand(NKString *pText, const float *pfMatrix);
