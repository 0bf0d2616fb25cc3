// render/nk_scene_view.cpp -- the animation clock and the view set-up of
// NKRenderScene: the frame to draw, the view matrix with the orthographic
// zoom, the mesh offset, the stereo projections and the saved view (see
// nk_scene_view.h). The frame passes themselves are in scene/nk_scene.cpp.
#include "render/nk_scene_view.h"

#include <GL/gl.h>

#include "core/nk_diagnostic.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_clock.h"

float g_fMeshDepthFactor = 0.0005f;
float g_afMeshOffset[3] = {0.0f, 0.0f, 0.0f};
float g_afSavedModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double g_adSavedModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double g_adSavedProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
int g_aiSavedViewport[4] = {0, 0, 810, 600};

static void MeasureFrameRate(NKAnimationSettings *p)
{
    p->uTimePreviousFrame = p->uTimeThisFrame;
    p->uTimeThisFrame = NKGetMilliseconds();
    uint32_t uDiff = p->uTimeThisFrame - p->uTimePreviousFrame;
    p->fFrameRate = uDiff == 0 ? 1001.0f : 1000.0f / static_cast<float>(uDiff);
}

// Whether the animation steps at this redraw: the delays hold frame 0 and
// the last frame, else the frame interval paces. All comparisons unsigned.
static bool StepIsDue(const NKModel *pModel, const NKAnimationSettings *p)
{
    if (g_bHiddenCullingAnalysis) return true;
    uint32_t uElapsed = p->uTimeThisFrame - p->uTimeLastStep;
    if (pModel->iCurrentFrame == 0 && p->iStartDelay > 0)
        return uElapsed > static_cast<uint32_t>(p->iStartDelay);
    if (pModel->iCurrentFrame == pModel->iNumFrames - 1 && p->iStopDelay > 0)
        return uElapsed > static_cast<uint32_t>(p->iStopDelay);
    return uElapsed > static_cast<uint32_t>(p->iFrameInterval);
}

// The next frame in the animation range; a cycle bounces at the ends.
static int NextFrame(NKModel *pModel)
{
    int iNext = pModel->iCurrentFrame + (pModel->animationType == 1 ? 1 : -1);
    if (iNext > pModel->iAnimationToFrame) {
        if (pModel->bAnimationCycle) {
            iNext = pModel->iAnimationToFrame - 1;
            pModel->animationType = 2;
        } else {
            iNext = pModel->iAnimationFromFrame;
        }
    }
    if (iNext < pModel->iAnimationFromFrame) {
        if (pModel->bAnimationCycle) {
            iNext = pModel->iAnimationFromFrame + 1;
            pModel->animationType = 1;
        } else {
            iNext = pModel->iAnimationToFrame;
        }
    }
    return iNext;
}

int NKUpdateCurrentFrame(NKModel *pModel, NKAnimationSettings *pSettings)
{
    if (pModel == nullptr || pSettings == nullptr) return 0;
    MeasureFrameRate(pSettings);
    int iNext = pModel->iCurrentFrame;
    if (pModel->animationType != 0 && StepIsDue(pModel, pSettings)) {
        pSettings->uTimeLastStep = pSettings->uTimeThisFrame;
        iNext = NextFrame(pModel);
        pModel->iPreviousFrame = pModel->iCurrentFrame;
        pModel->iCurrentFrame = iNext;
    }
    if (pModel->pFrames != nullptr && pModel->iNumFrames > 0) {
        const int n = pModel->iNumFrames;
        if (pModel->iPreviousFrame < 0 || pModel->iPreviousFrame >= n) {
            pModel->iPreviousFrame = 0;
            NKDiagnostic("Global iPreviousFrame was out of range (has been set to 0)",
                         "NKUpdateCurrentFrame");
        }
        if (pModel->iCurrentFrame < 0 || pModel->iCurrentFrame >= n) {
            pModel->iCurrentFrame = 0;
            NKDiagnostic("Global iCurrentFrame was out of range (has been set to 0)",
                         "NKUpdateCurrentFrame");
        }
        if (iNext < 0 || iNext >= n) {
            iNext = 0;
            NKDiagnostic("Computed next frame was out of range (has been set to 0)",
                         "NKUpdateCurrentFrame");
        }
    }
    return iNext;
}

void NKApplyViewMatrix(const float *pfViewMatrix)
{
    glMatrixMode(GL_MODELVIEW);
    const bool bPerspective = g_pGraphicsSettings == nullptr || g_pGraphicsSettings->bPerspective;
    if (bPerspective) {
        glMultMatrixf(pfViewMatrix);
        return;
    }
    const float z = pfViewMatrix[14];
    const float s = z >= 0.0f ? z * z + 1.0f : 1.0f / ((1.0f - z) * (1.0f - z));
    if (s > 1.0f) {
        float t = s * 0.5f + z;
        const bool bAutoClip = g_pGraphicsSettings->bAutoClip != 0;
        if (!bAutoClip && s + z > g_fFarClip) t -= (s + z) - g_fFarClip;
        if (t < 0.0f) t = 0.0f;
        glTranslatef(0.0f, 0.0f, -t);
    }
    glMultMatrixf(pfViewMatrix);
    glScalef(s, s, s);
}

// k grows with the viewing distance: 1 / (z + 3) near the model, -1 - z
// beyond two units; the offset is a step toward the viewer in model space.
void NKComputeMeshOffset(float fMeshFactor, float *pfOffset, const float *pfModelView)
{
    const float z = pfModelView[14];
    const float k = z >= -2.0f ? 1.0f / (z + 3.0f) : -1.0f - z;
    for (int i = 0; i < 3; i++)
        pfOffset[i] = (10.0f * pfModelView[4 * i + 2] + pfModelView[4 * i + 3]) * k * fMeshFactor;
}

// Distance from the eye to the focus point along the viewing direction,
// with the current modelview (the eye looks down -z in eye space).
static float FocusDistance(const NKGraphicsSettings *pSettings)
{
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float *p = pSettings->fVector;
    return -(m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]);
}

void NKSetStereoProjection(int iEye, const NKGraphicsSettings *pSettings)
{
    if (pSettings == nullptr) return;
    const int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
    if (!pSettings->bQuadBufferStereo) {
        const int g = pSettings->iStartupSetting1, iHalf = h / 2;
        if (iEye == 0)
            glViewport(0, iHalf + g, w, iHalf - g);
        else
            glViewport(0, 0, w, iHalf - g);
    }
    const float fAspect = h == 0 ? 1.0f : static_cast<float>(w) / static_cast<float>(h);
    const float fNear = g_fNearClip, fTop = g_fFieldOfViewFactor * fNear;
    const float fRight = fTop * fAspect;
    const float d = FocusDistance(pSettings);
    float e = (d / fNear) * 2.0f * fRight * pSettings->fStartupFactors[0] * 0.035f;
    if (iEye == 0) e = -e;
    float s = -(pSettings->fStartupFactors[1] * e);
    if (d != 0.0f) s *= fNear / d;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(s - fRight, s + fRight, -fTop, fTop, fNear, g_fFarClip);
    glTranslatef(-e, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

void NKSaveViewMatrices(void)
{
    glGetFloatv(GL_MODELVIEW_MATRIX, g_afSavedModelView);
    glGetDoublev(GL_MODELVIEW_MATRIX, g_adSavedModelView);
    glGetDoublev(GL_PROJECTION_MATRIX, g_adSavedProjection);
    glGetIntegerv(GL_VIEWPORT, g_aiSavedViewport);
}
