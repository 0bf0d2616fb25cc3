// scene/nk_scene.cpp -- NKRenderScene, one complete frame of the 3-D view:
// frame choice, list updates, clear, the eye passes with their part passes
// and overlays, and presenting the image; NKEndFrame undoes an abandoned
// draw (see nk_scene.h). The clock and the view set-up are in
// nk_scene_view.cpp.
//
// Stack discipline: each eye pass pushes the model-view matrix before the
// view matrix goes on it and pops it again in the same function, however the
// pass ends; every exit after the text list exists frees it and restores the
// draw buffer and viewport, so a refused or abandoned draw leaves the GL
// stacks as it found them.
#include "scene/nk_scene.h"
#include "render/nk_projection.h"

#include <GL/gl.h>

#include "commands/nk_command_log.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_lists.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"
#include "plot/nk_plot.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_gl_scope.h"
#include "render/nk_label_overlay.h"
#include "render/nk_lights.h"
#include "render/nk_lod.h"
#include "render/nk_overlays.h"
#include "render/nk_part_drawing.h"
#include "render/nk_primitives.h"
#include "render/nk_render_options.h"
#include "render/nk_ride.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene_extras.h"
#include "scene/nk_scene_frame.h"
#include "tools/nk_cut_plane.h"

uint8_t g_bRedrawRequested = 0;
int g_iScreenDrawing = 1;
uint8_t g_bDrawingOffscreen = 0;

namespace {

// What one draw must undo when it stops early: the draw
// buffer and viewport it found, and the animation state before its step.
struct DrawUndo {
    GLint iDrawBuffer = GL_BACK;
    GLint aiViewport[4] = {0, 0, 0, 0};
    int iCurrentFrame = 0, iPreviousFrame = 0, iAnimationType = 0;
    uint32_t uTimeLastStep = 0;
};
DrawUndo sg_Undo;

bool Stereo(void) { return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bStereo; }
bool QuadStereo(void) { return Stereo() && g_pGraphicsSettings->bQuadBufferStereo; }
bool SingleBuffer(void)
{
    return g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bSingleBuffer;
}
bool CameraMoving(void) { return NKIsNavigationActive(); }
int MoveMode(void) { return g_pViewSettings != nullptr ? g_pViewSettings->iMoveMode : 0; }
bool ModelShown(void) { return g_pViewSettings == nullptr || g_pViewSettings->bShowModel; }

void RememberStateBeforeDraw(const NKModel *pModel)
{
    sg_Undo.iCurrentFrame = pModel->iCurrentFrame;
    sg_Undo.iPreviousFrame = pModel->iPreviousFrame;
    sg_Undo.iAnimationType = pModel->animationType;
    sg_Undo.uTimeLastStep = g_AnimationSettings.uTimeLastStep;
    glGetIntegerv(GL_DRAW_BUFFER, &sg_Undo.iDrawBuffer);
    glGetIntegerv(GL_VIEWPORT, sg_Undo.aiViewport);
}

void RestoreBufferAndViewport(void)
{
    if (QuadStereo()) glDrawBuffer(static_cast<GLenum>(sg_Undo.iDrawBuffer));
    if (Stereo() && !QuadStereo())
        glViewport(sg_Undo.aiViewport[0], sg_Undo.aiViewport[1], sg_Undo.aiViewport[2],
                   sg_Undo.aiViewport[3]);
}

void FreeDrawTextList(void) { NKFreeTextList(); }

void ClearToBackground(void)
{
    const uint8_t *c = g_pBackgroundSettings->ucColors[0];
    glClearColor(c[0] * 0.003921569f, c[1] * 0.003921569f, c[2] * 0.003921569f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The material block follows the part count of the geometry drawn.
void PrepareLists(NKFrame *pFrame, int iFrame)
{
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo != nullptr && pGeo->iNumParts != g_DisplayLists.iMaterialCount)
        NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    if (g_pListUpdateInfo != nullptr && NKNeedListUpdate(g_pListUpdateInfo))
        NKPerformListUpdates(g_pListUpdateInfo, &g_DisplayLists, iFrame);
}

// Hidden-line parts drawn as lines over the depth pass, nudged toward the
// viewer by the polygon offset or the mesh offset. True when abandoned
// (the mesh-offset matrix is then popped already).
bool DrawHiddenLinePass(NKFrame *pFrame, const NKPartListCache *pLists, int bUninterruptible)
{
    if (pLists->iNumHiddenLineParts <= 0) return false;
    const bool bOffset = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bPolygonOffset;
    if (bOffset) NKEnablePolygonOffset(true);
    NKDrawHiddenLineDepthPass(pLists->pHiddenLineParts, pLists->iNumHiddenLineParts, pFrame);
    if (bOffset) {
        NKEnablePolygonOffset(false);
    } else {
        glPushMatrix();
        glTranslatef(g_afMeshOffset[0], g_afMeshOffset[1], g_afMeshOffset[2]);
    }
    bool bAbandon = false;
    for (int i = 0; !bAbandon && i < pLists->iNumHiddenLineParts; i++)
        bAbandon = NKDrawPart(pLists->pHiddenLineParts[i], pFrame, &g_DisplayLists,
                              bUninterruptible, false);
    if (!bOffset) glPopMatrix();
    return bAbandon;
}

// The three part passes of a shown, still model; occlusion culling, when
// on, orders and tests the opaque pass. True when abandoned.
bool DrawPartPasses(NKFrame *pFrame, NKPartListCache *pLists, int bUninterruptible)
{
    if (g_pViewSettings != nullptr && g_pViewSettings->bOcclusionCull)
        NKPrepareOcclusionCullingHP(pFrame, pLists);
    const bool bSkipLocked =
        NKDrawLockedParts(pLists->pOpaqueParts, pLists->iNumOpaqueParts, pFrame, &g_DisplayLists);
    for (int i = 0; i < pLists->iNumOpaqueParts; i++)
        if (NKDrawPart(pLists->pOpaqueParts[i], pFrame, &g_DisplayLists, bUninterruptible,
                       bSkipLocked))
            return true;
    NKEndOcclusionCullingHP();
    if (DrawHiddenLinePass(pFrame, pLists, bUninterruptible)) return true;
    if (pLists->iNumTransparentParts > 0) {
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT);
        glDepthMask(GL_FALSE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        // Fast transparency draws in part order (unsorted).
        const bool bSorted = g_pViewSettings == nullptr || !g_pViewSettings->bTransparentFast;
        NKDrawModelPass(pLists->pTransparentParts, pLists->iNumTransparentParts, pFrame, bSorted,
                        &g_DisplayLists);
        glPopAttrib();
    }
    return false;
}

// Moving with a reduced style, or the model hidden: every part in index
// order (each reduces itself). True when abandoned.
bool DrawAllParts(NKFrame *pFrame, int bUninterruptible)
{
    const bool bSkipLocked = NKDrawLockedParts(nullptr, 0, pFrame, &g_DisplayLists);
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    for (int i = 0; pGeo != nullptr && i < pGeo->iNumParts; i++)
        if (NKDrawPart(i, pFrame, &g_DisplayLists, bUninterruptible, bSkipLocked)) return true;
    return false;
}

// Frustum culling of the parts under the current modelview.
void CullPartsToFrustum(NKFrame *pFrame)
{
    const NKViewSettings &v = *g_pViewSettings;
    float afModelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, afModelView);
    const bool bPerspective = g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bPerspective;
    NKCullPartsToFrustum(pFrame, v.iFrustumCullMethod == 1, NKViewWindowSize.iWidth,
                         NKViewWindowSize.iHeight, g_fNearClip, g_fFarClip, afModelView,
                         v.bFrustumCullInfo != 0, bPerspective);
}

// The level-of-detail choice of this scene: moving under moveaslod draws
// the coarsest levels; picked parts take the pick level when asked.
void UpdateLevelOfDetail(NKFrame *pFrame, bool bMoving)
{
    LodManager *m = g_pLodManager;
    if (m == nullptr || !m->m_bEnabled) return;
    m->SetMoving(bMoving && MoveMode() == NK_MOVE_LOD);
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (m->m_bSetOnPick && pGeo != nullptr) m->SetPartLevels(pGeo, m->m_uPickLevel, -1, -1, true);
    m->Update(pFrame, g_AnimationSettings.fFrameRate);
}

// One copy of the model; the mirror copies are drawn by DrawMirrorCopies.
// False when abandoned.
bool DrawCopy(NKFrame *pFrame, NKPartListCache *pLists, int bUninterruptible)
{
    const bool bMoving = CameraMoving();
    if (!(bMoving && MoveMode() == NK_MOVE_BOX)) {
        if (ModelShown()) {
            if (g_HiddenPartCuller.bEnabled && g_HiddenPartCuller.bAnalysisOn)
                NKClearFrame(pFrame, g_pBackgroundSettings, &g_DisplayLists);
            NKDrawToolSurfaces(pFrame);
            NKCallLightingModelList(&g_DisplayLists,
                                    g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bCull);
        }
        if (g_pViewSettings != nullptr && g_pViewSettings->bFrustumCull) CullPartsToFrustum(pFrame);
        UpdateLevelOfDetail(pFrame, bMoving);
        bool bAbandon;
        if ((!bMoving || MoveMode() == NK_MOVE_NORMAL) && ModelShown())
            bAbandon = DrawPartPasses(pFrame, pLists, bUninterruptible);
        else
            bAbandon = DrawAllParts(pFrame, bUninterruptible);
        if (bAbandon) return false;
        NKDrawSceneOverlays(pFrame);
    }
    NKDrawCopyOverlays(pFrame);
    return true;
}

// One mirrored copy under the pass matrix afPass, which is popped again
// however the copy ends. False when abandoned.
bool DrawPassCopy(NKFrame *pFrame, NKPartListCache *pLists, int bUninterruptible,
                  const float *afPass)
{
    const NKMatrixScope matrix(GL_MODELVIEW);
    glMultMatrixf(afPass);
    return DrawCopy(pFrame, pLists, bUninterruptible);
}

// The plain copy and, with mirroring on, one copy per extra pass under its
// pass matrix, reflected passes with clockwise front faces. A pass whose
// matrix cannot be formed is skipped instead of being drawn again in
// place. The front face is set back to counter-clockwise however the copies
// end. False when abandoned.
bool DrawMirrorCopies(NKFrame *pFrame, NKPartListCache *pLists, int bUninterruptible)
{
    const NKMirrorSettings &mirror = g_MirrorSettings;
    const int iCopies = mirror.bEnabled && mirror.iRepeats > 0 ? mirror.iRepeats + 1 : 1;
    bool bMirrored = false, bDrawn = DrawCopy(pFrame, pLists, bUninterruptible);
    for (int c = 1; c < iCopies && bDrawn; c++) {
        float afPass[16];
        if (!mirror.GetPassMatrix(c - 1, afPass)) continue;
        glFrontFace(mirror.IsMirroredPass(c - 1) ? GL_CW : GL_CCW);
        bMirrored = true;
        bDrawn = DrawPassCopy(pFrame, pLists, bUninterruptible, afPass);
    }
    if (bMirrored) glFrontFace(GL_CCW);
    if (bDrawn && (mirror.bPreview1 || mirror.bPreview2))
        NKDrawMirrorPlanes(pFrame, &mirror, &g_VectorSettings);
    return bDrawn;
}

// Near and far fitted to the frame's box, the modelview kept.
void FitNearFar(NKFrame *pFrame)
{
    float afModelView[16], fZMin = 0.0f, fZMax = 0.0f;
    glGetFloatv(GL_MODELVIEW_MATRIX, afModelView);
    NKSetNearFarFromModel(pFrame, afModelView, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight,
                          &g_fNearClip, &g_fFarClip, &fZMin, &fZMax);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(afModelView);
    NKSaveViewMatrices();
}

// The visible-parts analysis between a black and a background clear.
void AnalyzeVisibleParts(NKFrame *pFrame)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    NKRenderVisiblePartsScene(&g_VisiblePartsRequest, &g_HiddenPartCuller, pFrame);
    NKAnalyzeVisiblePartsScene(&g_VisiblePartsRequest, &g_HiddenPartCuller, pFrame);
    ClearToBackground();
    if (g_pBackgroundSettings->iMode != 0) NKDrawBackground(g_pBackgroundSettings, &g_DisplayLists);
}

// What an eye pass draws under its view matrix.
enum ViewedScene { kSceneDrawn, kNoPartLists, kAbandoned };

ViewedScene DrawViewedScene(NKFrame *pFrame, int bUninterruptible, int iScreen)
{
    NKApplyViewMatrix(g_ViewMatrix);
    NKSaveViewMatrices();
    NKComputeMeshOffset(g_fMeshDepthFactor, g_afMeshOffset, g_afSavedModelView);
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bAutoClip && !Stereo())
        FitNearFar(pFrame);
    NKUpdateLightBindings(&g_DisplayLists, g_pLights, 0);
    NKPartListCache *pLists = NKGetGeometryPartLists(pFrame);
    if (pLists == nullptr) {
        NKDiagnostic("pDrawOrder pointer is NULL", "NKDrawScene");
        return kNoPartLists;
    }
    if (g_VisiblePartsRequest.bPending) AnalyzeVisibleParts(pFrame);
    if (!DrawMirrorCopies(pFrame, pLists, bUninterruptible)) return kAbandoned;
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bFog) glDisable(GL_FOG);
    NKDrawScreenOverlays(pFrame, iScreen);
    if (g_pCurrentPlot != nullptr && g_bPlotShown && !g_bPlotInOwnWindow)
        NKDrawPlot(g_pCurrentPlot, false, -1);
    NKQueueFrameLabel(pFrame, iScreen);
    return kSceneDrawn;
}

// One eye pass of a frame. False when refused or abandoned. The
// view matrix is pushed and popped here, whatever the pass ends with.
bool DrawEyePass(int iPass, NKFrame *pFrame, int bUninterruptible, int iScreen)
{
    if (QuadStereo()) {
        glDrawBuffer(SingleBuffer() ? (iPass == 0 ? GL_FRONT_LEFT : GL_FRONT_RIGHT)
                                    : (iPass == 0 ? GL_BACK_LEFT : GL_BACK_RIGHT));
        if (iPass == 1) ClearToBackground();
    }
    if (Stereo()) NKSetStereoProjection(iPass, g_pGraphicsSettings);
    if (g_pBackgroundSettings->iMode != 0) NKDrawBackground(g_pBackgroundSettings, &g_DisplayLists);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const ViewedScene eScene = DrawViewedScene(pFrame, bUninterruptible, iScreen);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    if (eScene == kNoPartLists) {
        RestoreBufferAndViewport();
        FreeDrawTextList();
        return false;
    }
    if (eScene == kAbandoned) {
        NKEndFrame(0, g_pModel, &g_AnimationSettings);
        return false;
    }
    NKDrawTextList();
    NKDrawLabelOverlay();
    // The pattern marks the nine points the stereo autofocus picks at; its
    // two switches are the autofocus and its drawing.
    if (QuadStereo() && g_pGraphicsSettings->bDisplaySwitches[0] &&
        g_pGraphicsSettings->bDisplaySwitches[1])
        NKDrawStereoAlignmentPattern();
    return true;
}

void Present(void)
{
    if (SingleBuffer())
        glFinish();
    else
        NKSwapBuffers();
}

// A frame of a model: the frame record, the eye passes, presenting.
bool DrawModelFrame(int iFrame, int bUninterruptible, int iScreen)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    if (pFrame == nullptr) {
        NKDiagnostic(NKString::FromFormat("Error, could not find frame %d", iFrame + 1).GetText(),
                     "NKDrawScene");
        FreeDrawTextList();
        return false;
    }
    if (pFrame->pTransformation != nullptr ||
        (g_pGraphicsSettings != nullptr && !g_pGraphicsSettings->bPerspective))
        glEnable(GL_NORMALIZE);
    else
        glDisable(GL_NORMALIZE);
    NKUpdateFrameTools(iFrame, pFrame);
    NKApplyFrameViewPoint(iFrame, pFrame, iScreen);
    if (NKGetSoundSourceCount() > 0) NKUpdateSoundListener(iFrame, pFrame);
    NKUpdateSoundManager(iFrame, pFrame);
    ClearToBackground();
    glGetError();
    if (g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bZBuffer)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    const int iPasses = Stereo() ? 2 : 1;
    for (int p = 0; p < iPasses; p++)
        if (!DrawEyePass(p, pFrame, bUninterruptible, iScreen)) return false;
    RestoreBufferAndViewport();
    FreeDrawTextList();
    g_AnimationSettings.uDrawingTime = NKGetMilliseconds() - g_AnimationSettings.uTimeThisFrame;
    NKCalculateAnimationSpeedup(g_AnimationSettings.uDrawingTime, NKGetFrameGeometry(pFrame));
    // The performance read-out times the whole draw, so it goes over the
    // finished image (the next frame's text list starts empty).
    NKDrawTextList();
    Present();
    if (g_CommandRunner.bLogCommands) NKLogViewChange();
    g_bRedrawRequested = 0;
    return true;
}

}  // namespace

bool NKRenderScene(int iFrame, int bUninterruptible, int iScreen)
{
    g_iScreenDrawing = iScreen;
    NKModel *pModel = g_pModel;
    if (pModel == nullptr) return true;
    RememberStateBeforeDraw(pModel);
    if (iFrame == -1) {
        iFrame = NKUpdateCurrentFrame(pModel, &g_AnimationSettings);
    } else if (iFrame < 0 || iFrame >= pModel->iNumFrames) {
        return NKDiagnostic("Illegal frame number passed as parameter", "NKDrawScene");
    }
    NKResetLabelOverlay();
    PrepareLists(NKGetFrame(iFrame), iFrame);
    if (g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bChanged)
        NKApplyRenderOptions(g_pGraphicsSettings, g_pBackgroundSettings);
    if (g_pViewSettings != nullptr && !g_pViewSettings->bUpdateScene) {
        g_bRedrawRequested = 0;
        return false;
    }
    if (!NKCreateTextList()) {
        NKPrintError("Not enough memory to create text lists.");
        return false;
    }
    if (!NKModelHasGeometry()) {
        NKClearStereoBuffers(g_pGraphicsSettings);
        g_bRedrawRequested = 0;
        return true;
    }
    return DrawModelFrame(iFrame, bUninterruptible, iScreen);
}

void NKEndFrame(int iCopy, NKModel *pModel, NKAnimationSettings *pSettings)
{
    if (iCopy >= 1) glFrontFace(GL_CCW);
    NKEndOcclusionCullingHP();
    if (g_pCutPlaneSet != nullptr) g_pCutPlaneSet->ApplyClipPlanes(false, -1);
    RestoreBufferAndViewport();
    // Only this draw's step is taken back; the next complete draw shows it.
    if (pModel != nullptr && !g_bHiddenCullingAnalysis) {
        pModel->iCurrentFrame = sg_Undo.iCurrentFrame;
        pModel->iPreviousFrame = sg_Undo.iPreviousFrame;
        pModel->animationType = sg_Undo.iAnimationType;
        if (pSettings != nullptr) pSettings->uTimeLastStep = sg_Undo.uTimeLastStep;
    }
    FreeDrawTextList();
    if (pSettings != nullptr) pSettings->uTimeThisFrame = pSettings->uTimePreviousFrame;
}
