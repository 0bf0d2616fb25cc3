// scene/nk_scene_frame.cpp -- the per-frame steps of NKRenderScene around
// its eye passes (see nk_scene_frame.h).
#include "scene/nk_scene_frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <limits>

#include "commands/nk_command_log.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_primitives.h"
#include "render/nk_ride.h"
#include "scene/nk_scene.h"
#include "scene/nk_scene_extras.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_surface_storage.h"

int g_iLastViewPointFrame = -1;

namespace {
// The seven numbers of the view logged last; NaN never equals a view, so
// the first comparison always logs.
float sg_afLastLoggedView[7] = {std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0, 0, 0};
}  // namespace

// Cut and iso-surfaces follow the frame's scalar result; a frame without
// one keeps whatever surfaces it has.
void NKUpdateFrameTools(int iFrame, NKFrame *pFrame)
{
    if (pFrame == nullptr) return;
    IsoSurfaceState *pIso = g_pIsoSurfaceState;
    if (pIso != nullptr && pIso->slider.IsEnabled() && g_pModel != nullptr)
        pIso->slider.SetRange(g_pModel->fFringeRangeFrom, g_pModel->fFringeRangeTo);
    if (pFrame->pScalar != nullptr) {
        CutPlaneSet *pSet = g_pCutPlaneSet;
        if (pSet != nullptr && pSet->IsEnabled()) {
            if (NKCutSurfacesNeedUpdate(pSet, -1, iFrame)) NKComputeCutSurfaces(pFrame, pSet);
            const int iPlane = pSet->GetCurrent();
            CutSurface *pCut = iPlane >= 0 && iPlane < NK_MAX_CUT_SURFACES
                                   ? pFrame->pCutSurfaces[iPlane]
                                   : nullptr;
            if (pCut != nullptr && !pCut->bEdgesFound) NKUpdateCutSurfaceEdges(pCut);
        }
        if (pIso != nullptr && pIso->bEnabled && NKIsoSurfacesNeedUpdate(pIso, iFrame))
            NKVolumeComputeIsoSurfaces(pFrame, pIso);
    }
    NKUpdateFrameParticleTraces(iFrame, pFrame, &g_AnimationSettings);
}

void NKApplyFrameViewPoint(int iFrame, NKFrame *pFrame, int iScreen)
{
    if (pFrame != nullptr && pFrame->pViewPoint != nullptr) {
        if (!(iScreen == 1 && iFrame == g_iLastViewPointFrame)) {
            const NKViewPoint *p = pFrame->pViewPoint;
            NKLookAtMatrix(p->eye, p->vrp, p->vup, g_ViewMatrix);
        }
        g_iLastViewPointFrame = iFrame;
    }
    if (g_RideSpec.bInUse) {
        // A failed evaluation leaves the last viewpoint, which still drives.
        NKComputeRideViewPoint(iFrame, &g_RideSpec);
        if (g_RideSpec.bRiding) NKApplyViewPoint(&g_RideSpec.ViewPoint, g_ViewMatrix);
    }
}

void NKLogViewChange(void)
{
    float afView[7];
    NKMat4ToQuatTranslation(g_ViewMatrix, afView, afView + 4);
    bool bSame = true;
    for (int i = 0; i < 7; i++) bSame = bSame && afView[i] == sg_afLastLoggedView[i];
    if (bSame) return;
    if (NKCanWriteCommandLog()) {
        NKString text;
        NKMakeSetviewCommand(&text, g_ViewMatrix);
        text += "\n";
        NKCommandLogWrite(text.GetText());
    }
    for (int i = 0; i < 7; i++) sg_afLastLoggedView[i] = afView[i];
}

void NKDrawStereoAlignmentPattern(void)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT | GL_TRANSFORM_BIT);
    {
        NKScreenFrame frame;
        GLdouble adModelView[16], adProjection[16];
        GLint aiViewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, adModelView);
        glGetDoublev(GL_PROJECTION_MATRIX, adProjection);
        glGetIntegerv(GL_VIEWPORT, aiViewport);
        glColor3ub(255, 255, 0);
        glPointSize(5.0f);
        const int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
        glBegin(GL_POINTS);
        for (int i = 0; i < 3; i++)
            for (int j = 0; j < 3; j++) {
                GLdouble x = 0, y = 0, z = 0;
                if (gluUnProject(w / 4 + i * (w / 4), h / 4 + j * (h / 4), 0.0, adModelView,
                                 adProjection, aiViewport, &x, &y, &z) == GL_TRUE)
                    glVertex3d(x, y, z);
            }
        glEnd();
    }
    glPopAttrib();
}
