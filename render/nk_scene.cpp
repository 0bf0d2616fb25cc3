// render/nk_scene.cpp -- the scene settings (see nk_scene.h).
#include "render/nk_scene.h"

float g_fMeshDepthFactor = 0.0005f;
