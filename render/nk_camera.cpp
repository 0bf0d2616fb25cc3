// render/nk_camera.cpp -- the camera (see nk_camera.h).
#include "render/nk_camera.h"

float g_ViewMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

bool NKGetEyePoint(float *) { return false; }

bool NKIsNavigationActive(void) { return false; }
