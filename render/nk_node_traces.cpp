// render/nk_node_traces.cpp -- traced node positions and their curves (see
// nk_node_traces.h).
#include "render/nk_node_traces.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/nk_export_items.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "render/nk_fringe_texture.h"

namespace {

// One position array per traced node, in the order of g_pTraceNodes.
float **sg_ppPositions = nullptr;
int sg_iNumTraces = 0;
int sg_iNumFrames = 0;
// The width of the trace curves.
constexpr float kTraceLineWidth = 1.0f;

// The node's displayed position in the frame, through the frame's matrix
// for the part; missing (1e12) when the frame has no such part or node.
void TracePosition(NKFrame *pFrame, int iPart, int iNode, float *p)
{
    p[0] = p[1] = p[2] = NK_TRACE_MISSING;
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->pParts == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return;
    NKPart *pPart = &pGeo->pParts[iPart];
    if (iNode < 0 || iNode >= pPart->iNumNodes) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    float q[3] = {pfCoords[3 * iNode], pfCoords[3 * iNode + 1], pfCoords[3 * iNode + 2]};
    if (pFrame->pTransformation != nullptr) {
        const float *m = pFrame->pTransformation + 16 * iPart;
        float r[4];
        for (int k = 0; k < 4; k++)
            r[k] = m[k] * q[0] + m[4 + k] * q[1] + m[8 + k] * q[2] + m[12 + k];
        const float w = r[3] != 0.0f && std::isfinite(r[3]) ? r[3] : 1.0f;
        for (int k = 0; k < 3; k++) q[k] = r[k] / w;
    }
    std::memcpy(p, q, sizeof(q));
}

bool ComputeTraces(void)
{
    NKFreeNodeTraces();
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr || g_pTraceNodes == nullptr ||
        g_iNumTraceNodes < 1 || g_pModel->iNumFrames < 1)
        return true;
    const int iFrames = g_pModel->iNumFrames;
    sg_ppPositions = static_cast<float **>(NKCalloc(g_iNumTraceNodes, sizeof(float *)));
    bool bOk = sg_ppPositions != nullptr;
    for (int t = 0; bOk && t < g_iNumTraceNodes; t++) {
        sg_ppPositions[t] = static_cast<float *>(NKAlloc(3 * sizeof(float) * (size_t)iFrames));
        bOk = sg_ppPositions[t] != nullptr;
        sg_iNumTraces = t + 1;
    }
    if (!bOk) {
        NKFreeNodeTraces();
        NKPrintError("Error allocating memory for trace nodes.");
        return false;
    }
    sg_iNumFrames = iFrames;
    for (int t = 0; t < sg_iNumTraces; t++)
        for (int f = 0; f < iFrames; f++)
            TracePosition(&g_pModel->pFrames[f], g_pTraceNodes[t].iPart, g_pTraceNodes[t].iNode,
                          sg_ppPositions[t] + 3 * f);
    return true;
}

bool Missing(const float *p) { return p[0] >= NK_TRACE_MISSING || std::isnan(p[0]); }

void DrawCurve(const float *pfPoints, int iPoints, GLenum eMode)
{
    glBegin(eMode);
    for (int i = 0; i < iPoints; i++)
        if (!Missing(pfPoints + 3 * i)) glVertex3fv(pfPoints + 3 * i);
    glEnd();
}

}  // namespace

void NKFreeNodeTraces(void)
{
    if (sg_ppPositions != nullptr)
        for (int t = 0; t < sg_iNumTraces; t++) NKFree(sg_ppPositions[t]);
    NKFree(sg_ppPositions);
    sg_ppPositions = nullptr;
    sg_iNumTraces = sg_iNumFrames = 0;
}

int NKGetNumNodeTraces(void) { return sg_iNumTraces; }
int NKGetNodeTraceFrameCount(void) { return sg_iNumFrames; }
const float *NKGetNodeTracePositions(int i)
{
    return i >= 0 && i < sg_iNumTraces ? sg_ppPositions[i] : nullptr;
}

void NKDrawTraceCurves(void) { NKDrawTraceCurveSet(sg_ppPositions, sg_iNumTraces, sg_iNumFrames); }

void NKDrawTraceCurveSet(const float *const *ppCurves, int iCurves, int iPoints)
{
    if (ppCurves == nullptr || iCurves < 1 || iPoints < 1) return;
    const NKGraphicsSettings defaults;
    const NKGraphicsSettings &s = g_pGraphicsSettings != nullptr ? *g_pGraphicsSettings : defaults;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    glLineWidth(kTraceLineWidth);
    if (s.bLineSmooth)
        glEnable(GL_LINE_SMOOTH);
    else
        glDisable(GL_LINE_SMOOTH);
    for (int k = 0; k < iCurves; k++) {
        if (ppCurves[k] == nullptr) continue;
        uint8_t auColor[3] = {255, 255, 255};
        if (g_pFringeTextureColors != nullptr)
            std::memcpy(auColor, g_pFringeTextureColors->auColors + 3 * (k % 16), 3);
        glColor3ubv(auColor);
        DrawCurve(ppCurves[k], iPoints, GL_LINE_STRIP);
        if (s.iPointSize > 1) DrawCurve(ppCurves[k], iPoints, GL_POINTS);
    }
    glPopAttrib();
}

void NKInstallNodeTraceHook(bool bInstall)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnComputeNodeTraces = bInstall ? ComputeTraces : nullptr;
    NKSetModelHooks(hooks);
}
