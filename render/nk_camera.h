// render/nk_camera.h -- the camera of the 3-D view as the scene and the
// shell ask it: the view matrix, whether the camera moves, the eye point.
#pragma once

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
