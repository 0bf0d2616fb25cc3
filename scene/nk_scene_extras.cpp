// scene/nk_scene_extras.cpp -- the scene's neighbours (see
// nk_scene_extras.h).
#include "scene/nk_scene_extras.h"

#include <GL/gl.h>

#include <algorithm>

#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_sound_sources.h"
#include "plot/nk_forming_limit.h"
#include "readers/nk_shell_axes.h"
#include "render/nk_camera.h"
#include "render/nk_lights.h"
#include "render/nk_node_traces.h"
#include "render/nk_overlays.h"
#include "render/nk_part_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_ride.h"
#include "render/nk_shell_axis_lines.h"
#include "render/nk_text.h"
#include "render/nk_text3d.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_legend_box.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_pick_feedback.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_surface_draw.h"
#include "tools/nk_user_drawing.h"
#include "tools/nk_user_labels.h"

namespace {

// The picked polygon in the selection colour while picks are shown as
// polygons (selection feedback 1 or 2).
void DrawPickedPolygon(NKFrame *pFrame)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || (NKSelectionFeedbackMode != 1 && NKSelectionFeedbackMode != 2)) return;
    if (pGeo->pickInfo.iPart < 0) return;
    NKDrawSelectedPolygon(pGeo->pickInfo.iPolygon, pGeo->pickInfo.iPart, pFrame);
}

// What the selection list holds, while picks go to it.
void DrawPickMarks(NKFrame *pFrame)
{
    if (!g_SelectionList.bEnabled || g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    const long lIndex = pFrame - g_pModel->pFrames;
    if (lIndex < 0 || lIndex >= g_pModel->iNumFrames) return;
    NKDrawNodeInfo(static_cast<int>(lIndex), &g_SelectionList);
}

// Every sound source anchored at a node, marked there.
void DrawSoundSourceMarkers(NKFrame *pFrame)
{
    if (NKGetSoundSourceCount() <= 0) return;
    const SoundHighlightRecord *pRecord = g_pSoundSourceTable->ExportPositions();
    if (pRecord == nullptr || pRecord->iCount < 1) return;
    NKNodeMarker aMarkers[NK_MAX_SOUND_SOURCES];
    const int iCount = std::min(pRecord->iCount, static_cast<int>(NK_MAX_SOUND_SOURCES));
    for (int i = 0; i < iCount; i++) {
        const SoundNodeHighlight &h = pRecord->aEntries[i];
        aMarkers[i] = {h.iNode, h.iPart, {h.auColor[0], h.auColor[1], h.auColor[2]}, 0};
    }
    NKDrawNodeMarkers(pFrame, aMarkers, iCount);
}

// The scene's handles under the view, then those of the fixed overlay
// space under the identity moved by (0, 0, -2).
void DrawManipulators(void)
{
    if (g_pManipulatorList == nullptr) return;
    g_pManipulatorList->DrawAll(1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    g_pManipulatorList->DrawAll(2);
    glPopMatrix();
}

}  // namespace

void NKDrawSceneOverlays(NKFrame *pFrame)
{
    NKFLDRedrawOnSelection();
    if (pFrame == nullptr) return;
    DrawPickedPolygon(pFrame);
    if (g_pViewSettings != nullptr && g_pViewSettings->bTraceNodes) NKDrawTraceCurves();
    DrawPickMarks(pFrame);
    if (g_SelectionList.bEnabled && g_ShellAxes.IsAnyEnabled())
        NKDrawShellAxes(pFrame, &g_SelectionList, &g_ShellAxes);
    // The manipulators and markers that follow are never clipped.
    if (g_pCutPlaneSet != nullptr) g_pCutPlaneSet->ApplyClipPlanes(false, -1);
    DrawManipulators();
    NKDraw3DLegend(g_pLegendBox);
    DrawSoundSourceMarkers(pFrame);
    NKDrawRotationPoint();
    if (!g_bDrawingOffscreen) NKDrawShellGLMenu();
}
void NKDrawCopyOverlays(NKFrame *pFrame)
{
    NKDrawPartPrimitives(pFrame);
    NKDrawGlobalPrimitives();
    NKDrawUserTexturePolygons(&g_DisplayLists);
    const NKViewSettings *v = g_pViewSettings;
    // The box of `box` and `nomodel`, and the whole model while the camera
    // moves with `moveasbox`.
    const bool bMovingAsBox = v != nullptr && v->iMoveMode == NK_MOVE_BOX && NKIsNavigationActive();
    if (v != nullptr && (v->bShowBox || bMovingAsBox))
        NKDrawBoundingBox(pFrame, v->bBoxOverAllSteps != 0);
    NKDrawLineSets();
    NKDrawPaths();
    if (v != nullptr && v->bShowBoundary) NKDrawBoundaryConditions();
    NKDrawUserPrimitives(pFrame);
    NKDrawUserPoints();
    NKDrawUserLabels();
    NKDrawText3DList(&g_DisplayLists);
}
void NKQueueFrameLabel(NKFrame *pFrame, int iScreen)
{
    if (pFrame == nullptr || g_pModel == nullptr || g_pViewSettings == nullptr ||
        !g_pViewSettings->bShowStep)
        return;
    NKString text;
    if (!g_szStepText.IsEmpty()) text = NKString::FromFormat("%s: ", g_szStepText.GetText());
    text = NKString::FromFormat("%s%s", text.GetText(), pFrame->szDescription.GetText());
    const int iFrames = g_pModel->iNumFrames;
    const long lIndex = g_pModel->pFrames != nullptr ? pFrame - g_pModel->pFrames : -1;
    if (iFrames > 1 && lIndex >= 0 && lIndex < iFrames)
        text = NKString::FromFormat("%s (%ld of %d)", text.GetText(), lIndex + 1, iFrames);
    const uint8_t *c = g_uTextColor;
    if (!text.IsEmpty())
        NKAddText(g_pViewSettings->bLargeText ? 50 : 18, -0.95f, -0.95f, c[0], c[1], c[2],
                  text.GetText());
    if (pFrame->bInterpolated && g_pModel->animationType == 0 && iScreen == 1)
        NKAddText(18, -0.2f, 0.9f, c[0], c[1], c[2], "Interpolated frame");
}
void NKDrawToolSurfaces(NKFrame *pFrame)
{
    const int iMoveMode = g_pViewSettings != nullptr ? g_pViewSettings->iMoveMode : 0;
    if (NKIsNavigationActive() && iMoveMode != 0) return;
    NKDrawRidePreview();
    NKDrawParticleTraces(pFrame, g_pParticleTraceSet);
    CutPlaneSet *pSet = g_pCutPlaneSet;
    // With the planes clipping each other their clip planes are on before the
    // surfaces (each plane's own off while it is drawn), else after.
    const bool bClipFirst = pSet != nullptr && pSet->GetClipEachOther();
    if (bClipFirst) pSet->ApplyClipPlanes(true, -1);
    NKDrawCutSurfaces(pFrame, pSet, &g_DisplayLists, &g_VectorSettings);
    if (pSet != nullptr && !bClipFirst) pSet->ApplyClipPlanes(true, -1);
    if (pFrame != nullptr && g_pIsoSurfaceState != nullptr && g_pIsoSurfaceState->bEnabled &&
        pFrame->iNumIsoSurfaces > 0)
        NKDrawIsoSurfaces(pFrame, &g_DisplayLists);
    NKDrawSelectedElement(pFrame);
    NKDrawAllPointsScalar(pFrame, &g_DisplayLists);
}
