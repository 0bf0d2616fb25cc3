// render/nk_lights.h -- the six lights, the two lighting models, the part
// materials and the display lists the scene calls for them.
//
// Commands that change a light, the lighting model, a material or a texture
// never touch OpenGL: they change the records here and raise a flag in the
// list-update record (core/nk_render_state.h, g_pListUpdateInfo); the next
// NKDrawScene rebuilds exactly what is flagged (NKPerformListUpdates) and
// the scene then only calls lists. The list bases live in g_DisplayLists,
// which belongs to the current OpenGL context: NKDeleteAllDisplayLists
// releases them before that context changes. Null records go to the
// internal trace with "NULL pointer passed" and change nothing.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "render/nk_gl_resources.h"

struct NKListUpdateInfo;

// One light source (GL_LIGHT0 + index).
struct NKLight {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[3];
    float direction[3];  // a directional light shines along it
    float fSpotExponent;
    float fSpotCutoff;  // degrees; used by spot lights only
    float fConstantAttenuation;
    float fLinearAttenuation;
    float fQuadraticAttenuation;
    int32_t iSourceType;  // 0 directional, 1 positional, 2 spotlight
    uint8_t bFixed;       // 1 keeps its place relative to the viewer
    uint8_t bOn;
};
constexpr int NK_NUM_LIGHTS = 6;

// One OpenGL lighting model; variant 0 one-sided, variant 1 two-sided.
struct NKLightModel {
    float ambient[4];
    uint8_t bLocalViewer;
    uint8_t bTwoSided;
};

// The scene's display-list bases (0: not generated) and counts: lights
// (7 names, base + 1.. + 6 the lights), lighting models (3 names, base + 1
// and + 2 the variants), materials (one per part), part textures, texture
// images.
struct NKDisplayListSet {
    GLuint uLightBase, uLightModelBase, uMaterialBase, uTextureBase, uImageBase;
    int32_t iLightCount, iLightModelCount, iMaterialCount, iTextureCount, iImageCount;
};

// A material as OpenGL takes it.
struct NKGLMaterial {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    uint8_t uShininess;  // 0..128
};

extern NKLight *g_pLights;            // six records
extern NKLightModel *g_pLightModels;  // two records
extern NKDisplayListSet g_DisplayLists;

// Creation at start-up (null when out of memory); each record goes back
// with NKFree.
NKLight *NKCreateLights(void);
NKLightModel *NKCreateLightModels(void);
NKListUpdateInfo *NKCreateListUpdateInfo(void);

void NKSetupDefaultLights(NKLight *pLights);
// Specifies one OpenGL light; with bPositionOnly only the position and the
// spot direction.
void NKSetLight(GLenum uLight, const NKLight *pRec, bool bPositionOnly);
void NKBuildLightLists(NKDisplayListSet *pSet, const NKLight *pLights);
void NKBuildLightingModelLists(NKDisplayListSet *pSet, const NKLightModel *pModels);
// Material lists of parts iFirst..iLast (-1, -1 all) of the frame's
// geometry (iFrame -1 the current frame). False for a null set or a frame
// without geometry.
bool NKBuildMaterialLists(NKDisplayListSet *pSet, int iFirst, int iLast, int iFrame);
// Binds (on) or disables (off) every light whose fixed flag is uFixed.
void NKUpdateLightBindings(NKDisplayListSet *pSet, const NKLight *pLights, uint8_t uFixed);
void NKCallLightingModelList(const NKDisplayListSet *pSet, bool bTwoSided);
// Calls the material list of part iPart; nothing when it was not built.
void NKCallMaterialList(const NKDisplayListSet *pSet, int iPart);
void NKClearListUpdateInfo(NKListUpdateInfo *pInfo);
bool NKNeedListUpdate(const NKListUpdateInfo *pInfo);
// Rebuilds what is flagged, then clears the record.
void NKPerformListUpdates(NKListUpdateInfo *pInfo, NKDisplayListSet *pSet, int iFrame);
// Applies the material on GL_FRONT_AND_BACK; null applies the OpenGL default.
void NKApplyMaterial(const NKGLMaterial *pMaterial);
// OpenGL's initial material on front and back faces, set before the
// in-view menu is drawn.
void NKSetDefaultMaterial(void);

// Deletes the five list blocks of g_DisplayLists (zeroing their bases and
// counts) and flags every list for rebuilding. Lists of other owners
// (fonts, stipples, a caller's own) are left alone.
void NKDeleteAllDisplayLists(void);
// Zeroes g_DisplayLists without deleting anything (start-up).
void NKClearDisplayListSet(void);
