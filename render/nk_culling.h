// render/nk_culling.h -- keeping invisible geometry from being drawn: the
// hidden-polygon removal for a fixed viewpoint (identity colours read back),
// view-frustum culling of whole parts, occlusion culling of whole parts
// against the depth buffer, and the visible-parts analysis of a screen
// rectangle.
//
// The culler's record (HiddenPartCuller, g_HiddenPartCuller) is plain data
// in core/nk_render_state.h so that the load road and the input code can
// switch the removal off; everything that draws or reads pixels is here.
// The scene drawing (scene/nk_scene.cpp) calls the frustum, occlusion and
// visible-parts steps; NKClearFrame (nk_overlays.cpp) runs the identity
// rendering between its black and background clears; NKDrawPart skips
// culled and occluded parts. Failures of a read-back go to the internal
// trace under "NKRenderHidePolys" and leave no polygon hidden.
#pragma once

#include <cstdint>

struct HiddenPartCuller;
struct NKFrame;
struct NKModel;
struct NKPartListCache;

// Polygon state bit set by the hidden-polygon removal.
constexpr uint8_t NK_POLYGON_HIDDEN = 2;

// After the GL context exists: resets the state, reads the frame buffer's
// colour bits (each at most 8), sets masks and the largest identity, and
// builds the tables unless all three channels have 8 bits.
void NKInitHidePolys(HiddenPartCuller *pCuller);
// Removal, analysis, debug, frames to analyse and count off; one polygon
// per identity. The read-back buffer is kept.
void NKResetHidePolys(HiddenPartCuller *pCuller);
// Frees the read-back buffer.
void NKFreeHidePolysBuffer(HiddenPartCuller *pCuller);
// Measures which byte each channel reads back for the greys 0 to 255 (in the
// current draw buffer's lower left corner) and fills the level tables.
bool NKBuildHidePolysTables(HiddenPartCuller *pCuller);
// The colour of an identity (with the grouping of g_HiddenPartCuller) and
// the identity of a colour read back; identity 0 is the cleared background.
void NKIdentityToColor(int iIdentity, uint8_t *pRed, uint8_t *pGreen, uint8_t *pBlue);
int NKColorToIdentity(uint8_t uRed, uint8_t uGreen, uint8_t uBlue);

// Identity rendering and read-back of one frame: polygons whose identity is
// seen lose their hidden bit. False when nothing was analysed (a read-back
// failure resets the state and clears every hidden bit).
bool NKRenderHidePolys(NKFrame *pFrame);
// Clears the hidden bit of every polygon of every frame.
bool NKResetHiddenPolygons(NKModel *pModel);
// Sets every polygon state byte of the frame; false for a bad index or a
// frame without geometry or state arrays.
bool NKSetFramePolygonStates(int iFrame, uint8_t uValue);

// Marks the parts of the frame that lie outside the view frustum (eye
// space through pfModelView, column order). bBest adds the side-plane test;
// bInfo shows the counts and time on the status line. Without perspective
// nothing is culled. False without a geometry.
bool NKCullPartsToFrustum(NKFrame *pFrame, bool bBest, int iWidth, int iHeight, float fNear,
                          float fFar, const float *pfModelView, bool bInfo, bool bPerspective);

// Occlusion culling around the opaque pass: Prepare orders the opaque list
// nearest first and starts the test; while it runs NKIsPartOccludedHP draws
// the part's box invisibly and answers whether no fragment passed; End
// stops it (and ends a query left open by an abandoned draw).
bool NKPrepareOcclusionCullingHP(NKFrame *pFrame, NKPartListCache *pLists);
bool NKIsOcclusionCullingActive(void);
bool NKIsPartOccludedHP(int iPart, NKFrame *pFrame);
void NKEndOcclusionCullingHP(void);
// What the occlusion test skipped in the current scene.
struct NKOcclusionStatistics {
    int32_t iPartsCulled = 0;
    int32_t iPolygonsCulled = 0;
};
extern NKOcclusionStatistics g_OcclusionStatistics;

// A request to find the parts seen in a window rectangle. No command raises
// it; a caller sets the rectangle and bPending, and the next scene drawing
// fills pbVisible (one byte per part, 1 = seen, owned, NKAlloc).
struct NKVisiblePartsRequest {
    uint8_t bPending = 0;
    uint8_t bReady = 0;
    int32_t iBottom = 0, iLeft = 0, iTop = 0, iRight = 0;
    uint8_t *pbVisible = nullptr;
    int32_t iNumParts = 0;
};
extern NKVisiblePartsRequest g_VisiblePartsRequest;
// Draws every visible part in the colour of identity part index + 1.
void NKRenderVisiblePartsScene(NKVisiblePartsRequest *pRequest, HiddenPartCuller *pCuller,
                               NKFrame *pFrame);
// Reads the rectangle back and marks the parts found; the request is then
// cleared and the result marked ready. False on a failure.
bool NKAnalyzeVisiblePartsScene(NKVisiblePartsRequest *pRequest, HiddenPartCuller *pCuller,
                                NKFrame *pFrame);
// Frees the result of a request.
void NKFreeVisiblePartsResult(NKVisiblePartsRequest *pRequest);
