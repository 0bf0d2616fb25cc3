// render/nk_part_labels.cpp -- part name labels (see nk_part_labels.h).
#include "render/nk_part_labels.h"

#include <cmath>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "readers/nk_output3d.h"
#include "render/nk_camera.h"
#include "render/nk_element_drawing.h"
#include "render/nk_label_overlay.h"

namespace {

// The overlay parts at the end of the geometry that get no label: only a
// reservoir source keeps such parts (its wells).
int OverlayPartCount(void)
{
    return NKGetInterfaceType() == NK_INTERFACE_RESERVOIR ? NKGetNumReservoirOverlays() : 0;
}

bool IsBlank(const NKString &text)
{
    const char *p = text.GetText();
    if (p == nullptr) return true;
    for (; *p != '\0'; p++)
        if (*p != ' ' && *p != '\t') return false;
    return true;
}

// The label point among the four candidates: the one whose direction from
// the eye is nearest the viewing direction; the first wins a tie.
void ChooseCandidate(const float aCandidates[4][3], float *pfOut)
{
    float afEye[3] = {0.0f, 0.0f, 2.0f}, afVrp[3] = {0.0f, 0.0f, 0.0f}, afUp[3];
    NKGetCurrentViewPoint(afEye, afVrp, afUp);
    float afDir[3];
    for (int k = 0; k < 3; k++) afDir[k] = afVrp[k] - afEye[k];
    const float fLen = std::sqrt(afDir[0] * afDir[0] + afDir[1] * afDir[1] + afDir[2] * afDir[2]);
    if (fLen > 0.0f)
        for (float &f : afDir) f /= fLen;
    double dBest = -1e12;
    int iBest = 0;
    for (int i = 0; i < 4; i++) {
        float v[3];
        for (int k = 0; k < 3; k++) v[k] = aCandidates[i][k] - afEye[k];
        const double dLen =
            std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
        if (dLen <= 0.0) continue;
        const double dDot =
            (double(v[0]) * afDir[0] + double(v[1]) * afDir[1] + double(v[2]) * afDir[2]) / dLen;
        if (dDot > dBest) {
            dBest = dDot;
            iBest = i;
        }
    }
    std::memcpy(pfOut, aCandidates[iBest], 3 * sizeof(float));
}

}  // namespace

bool NKFindNearestPolygonCentres(const float *pfPoints, int iCount, NKFrame *pFrame, int iPart,
                                 NKPart *pPart, float *pfOut)
{
    if (pfPoints == nullptr || pfOut == nullptr || iCount < 1) return false;
    if (pPart == nullptr) pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return false;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return false;
    bool bAny = false;
    for (int i = 0; i < iCount; i++) {
        const float *p = pfPoints + 3 * i;
        double dBest = 1e12;
        for (int k = 0; k < pPart->iNumPolygons; k++) {
            const int *piNodes = nullptr;
            int n = 0;
            if (!NKGetValidPolygon(*pPart, k, &piNodes, &n) || n < 1) continue;
            float c[3] = {0.0f, 0.0f, 0.0f};
            for (int j = 0; j < n; j++)
                for (int a = 0; a < 3; a++) c[a] += pfCoords[3 * piNodes[j] + a];
            double d = 0.0;
            for (int a = 0; a < 3; a++) {
                c[a] /= static_cast<float>(n);
                d += (double(c[a]) - p[a]) * (double(c[a]) - p[a]);
            }
            if (d < dBest) {
                dBest = d;
                std::memcpy(pfOut + 3 * i, c, sizeof(c));
                bAny = true;
            }
        }
    }
    return bAny;
}

void NKDrawPartLabels(NKFrame *pFrame, int iPart)
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || g_pLabelOverlay == nullptr) return;
    if (iPart >= pFrame->pGeometry->iNumParts - OverlayPartCount()) return;
    const float *pfModelBox = NKGetPartBoundingBox(pFrame, iPart, NK_BOX_DISPLACED_OR_UNDEFORMED);
    if (pfModelBox == nullptr) return;
    float b[6];
    std::memcpy(b, pfModelBox, sizeof(b));
    ModelToDisplayBox(b);
    const float w = b[3] - b[0], h = b[4] - b[1];
    const float cx = 0.5f * (b[0] + b[3]), cy = 0.5f * (b[1] + b[4]), cz = 0.5f * (b[2] + b[5]);
    // Below, above, left and right, half a box size outside the box.
    const float aCandidates[4][3] = {{cx, b[1] - 0.5f * h, cz},
                                     {cx, b[4] + 0.5f * h, cz},
                                     {b[0] - 0.5f * w, cy, cz},
                                     {b[3] + 0.5f * w, cy, cz}};
    float afPoint[3], afAnchor[3];
    ChooseCandidate(aCandidates, afPoint);
    if (!NKFindNearestPolygonCentres(afPoint, 1, pFrame, iPart, pPart, afAnchor)) return;
    const NKString text =
        IsBlank(pPart->szName) ? NKString::FromFormat("Part %d", iPart + 1) : pPart->szName;
    AddTextLabel(g_pLabelOverlay, text.GetText(), afAnchor[0], afAnchor[1], afAnchor[2],
                 NK_LABEL_OWNER_ALWAYS_CAPTURE);
}
