// render/nk_scene.h -- settings of the scene drawing that the shell sets.
#pragma once

// The depth step that puts mesh lines in front of filled polygons when the
// polygon offset is off; the renderer detection and the model reset set it
// to the depth epsilon of the renderer.
// Placeholder: kept here until the scene drawing reads it.
extern float g_fMeshDepthFactor;
