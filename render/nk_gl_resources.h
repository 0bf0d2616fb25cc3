// render/nk_gl_resources.h -- the display lists and textures that the
// drawing code keeps in the current OpenGL context and builds again for a
// new one (NKReinitRenderResources, nk_render_options.h).
#pragma once

struct NKListUpdateInfo;

// Sets every flag of the record and every range to all (-1, -1), so that
// the next drawing rebuilds lights, lighting models, materials and
// textures. A null record goes to the internal trace.
void NKFlagAllListsForUpdate(NKListUpdateInfo *pInfo);
