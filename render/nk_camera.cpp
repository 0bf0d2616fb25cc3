// render/nk_camera.cpp -- the camera (see nk_camera.h).
#include "render/nk_camera.h"

bool NKGetEyePoint(float *) { return false; }
