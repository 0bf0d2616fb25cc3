// render/nk_camera.h -- the camera of the 3-D view as the shell asks it.
#pragma once

// The eye point in display coordinates from the current view matrix; false
// when the matrix cannot be inverted.
// Placeholder: no camera yet, so there is no eye point (false, pfEye
// unchanged).
bool NKGetEyePoint(float *pfEye);
