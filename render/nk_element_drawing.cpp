// render/nk_element_drawing.cpp -- the stand-in element drawers (see
// nk_element_drawing.h).
#include "render/nk_element_drawing.h"

#include <GL/gl.h>

#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_part_arrays.h"

void NKDrawPartPolygonsFlat(int iPart, NKFrame *pFrame)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return;
    const uint8_t *pVisibility =
        pFrame->ppVisibility != nullptr ? pFrame->ppVisibility[iPart] : nullptr;
    for (int k = 0; k < pPart->iNumPolygons; k++) {
        if (pVisibility != nullptr && pVisibility[k] != 0) continue;
        const int *piNodes = nullptr;
        int iCount = 0;
        if (!NKGetPartPolygon(*pPart, k, &piNodes, &iCount)) continue;
        glBegin(GL_POLYGON);
        for (int j = 0; j < iCount; j++) {
            if (piNodes[j] < 0 || piNodes[j] >= pPart->iNumNodes) continue;
            glVertex3fv(pfCoords + 3 * piNodes[j]);
        }
        glEnd();
    }
}

// The stand-in look: unlit, the ambient colour at full strength.
static void DrawPartUnlit(int iPart, NKFrame *pFrame)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return;
    float afColor[3];
    NKScaleByMaxComponent(afColor, pPart->material.ambient);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor3fv(afColor);
    NKDrawPartPolygonsFlat(iPart, pFrame);
    glPopAttrib();
}

void NKDrawPartColored(int iPart, NKFrame *pFrame, int, NKDisplayListSet *)
{
    DrawPartUnlit(iPart, pFrame);
}

void NKDrawPartTextured(int iPart, NKFrame *pFrame, int, NKDisplayListSet *)
{
    DrawPartUnlit(iPart, pFrame);
}

void NKDrawModelPass(NKFrame *pFrame, const int *piParts, int iCount, NKDisplayListSet *)
{
    for (int i = 0; piParts != nullptr && i < iCount; i++) DrawPartUnlit(piParts[i], pFrame);
}

void NKDrawHiddenLineDepthPass(NKFrame *, const int *, int) {}
