// render/nk_shell_axis_lines.cpp -- shell axes of the selected elements (see
// nk_shell_axis_lines.h).
#include "render/nk_shell_axis_lines.h"

#include <GL/gl.h>

#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "readers/nk_shell_axes.h"
#include "render/nk_primitives.h"

namespace {

// The arrow heads' size factor (of the line's length).
constexpr float kHeadScale = 0.5f;

void Line(const float *pfFrom, const float *pfTo, const float *pfColor)
{
    glColor3fv(pfColor);
    glBegin(GL_LINES);
    glVertex3fv(pfFrom);
    glVertex3fv(pfTo);
    glEnd();
}

bool IsShell(const NKFrame *pFrame, const NKPickInfo &pick)
{
    const NKPart *pPart = NKGetFramePart(pFrame, pick.iPart);
    return pPart != nullptr && pPart->pElements != nullptr && pick.iElement >= 0 &&
           pick.iElement < pPart->iNumElements &&
           pPart->pElements[pick.iElement].iType == NK_ELEM_SHELL;
}

void DrawElementAxes(NKShellAxes *pAxes, int iFrame, NKShellElementKey key)
{
    float c[3], x[3], y[3], z[3];
    if (!pAxes->ComputeElementAxes(iFrame, key, c, x, y, z)) return;
    const float *apEnds[3] = {x, y, z};
    const uint32_t auMasks[3] = {NK_SHELLAXES_X, NK_SHELLAXES_Y, NK_SHELLAXES_Z};
    for (int i = 0; i < 3; i++) {
        Line(c, apEnds[i], pAxes->GetAxisColor(auMasks[i]));
        NKDrawArrowHead(c, apEnds[i], kHeadScale);
    }
}

void DrawStrainAxes(NKShellAxes *pAxes, int iFrame, NKShellElementKey key)
{
    float p[4][3];
    const float *pfMajor = nullptr, *pfMinor = nullptr;
    if (!pAxes->ComputeStrainAxes(iFrame, key, p, &pfMajor, &pfMinor)) return;
    const float *apColors[2] = {pfMajor, pfMinor};
    for (int i = 0; i < 2; i++) {
        const float *a = p[2 * i], *b = p[2 * i + 1];
        Line(a, b, apColors[i]);
        NKDrawArrowHead(a, b, kHeadScale);
        NKDrawArrowHead(b, a, kHeadScale);
    }
}

}  // namespace

void NKDrawShellAxes(NKFrame *pFrame, const NKSelectionList *pSelection, NKShellAxes *pAxes)
{
    if (pFrame == nullptr || pSelection == nullptr || pAxes == nullptr || g_pModel == nullptr ||
        g_pModel->pFrames == nullptr || !pSelection->bEnabled || !pAxes->IsAnyEnabled())
        return;
    const long lFrame = pFrame - g_pModel->pFrames;
    if (lFrame < 0 || lFrame >= g_pModel->iNumFrames) return;
    int iCount = 0;
    NKPickInfo *const *ppEntries = pSelection->GetEntries(false, &iCount);
    if (ppEntries == nullptr) return;
    const bool bAxes = pAxes->IsEnabled(NK_SHELLAXES_COORDSYS);
    const bool bStrains = pAxes->IsEnabled(NK_SHELLAXES_STRAINS);
    // The pop brings the line width back to the graphics settings' one the
    // scene drew with.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    glLineWidth(pAxes->GetLineWidth());
    for (int i = 0; i < iCount; i++) {
        const NKPickInfo *pPick = ppEntries[i];
        if (pPick == nullptr || !IsShell(pFrame, *pPick)) continue;
        const NKShellElementKey key{pPick->iPart, pPick->iElement};
        if (bAxes) DrawElementAxes(pAxes, static_cast<int>(lFrame), key);
        if (bStrains) DrawStrainAxes(pAxes, static_cast<int>(lFrame), key);
    }
    glPopAttrib();
}
