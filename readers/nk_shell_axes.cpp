// readers/nk_shell_axes.cpp -- local axes and principal strain lines of
// picked LS-DYNA shells (see nk_shell_axes.h). Records are computed on
// demand, per (state, part, element), and kept until both switches are off.
#include "readers/nk_shell_axes.h"

#include <cmath>

#include "core/nk_bbox.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_model.h"
#include "readers/nk_lsdyna.h"

NKShellAxes g_ShellAxes;

namespace {

constexpr int kShellType = 14;

// Principal strains and lines of one surface's local tensor.
void SurfaceLines(const float t[6], const float c[3], const float X[3], const float Y[3],
                  float pLines[4][3], float *pfMajor, float *pfMinor)
{
    float d1[3] = {1, 0, 0}, d2[3] = {0, 1, 0};
    NKPrincipalValues2D(t[0], t[3], t[3], t[1], pfMajor, pfMinor, d1, d2);
    for (int k = 0; k < 3; k++) {
        float v1 = X[k] * d1[0] + Y[k] * d1[1], v2 = X[k] * (d2[0] / 2) + Y[k] * (d2[1] / 2);
        pLines[0][k] = c[k] - v1, pLines[1][k] = c[k] + v1;
        pLines[2][k] = c[k] - v2, pLines[3][k] = c[k] + v2;
    }
}

// The four corners of a shell of the frame's part and its global index.
bool ShellCorners(int iFrame, NKShellElementKey key, float p[4][3], int *piGlobal)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    NKPart *pPart = pFrame != nullptr ? NKGetFramePart(pFrame, key.iPart) : nullptr;
    if (pPart == nullptr || key.iElement < 0 || key.iElement >= pPart->iNumElements) return false;
    const NKElement &el = pPart->pElements[key.iElement];
    if (el.iType != kShellType || el.iNodeStart < 0 ||
        el.iNodeStart + 4 > pPart->iNumElementConnects)
        return false;
    for (int k = 0; k < 4; k++) {
        int n = pPart->pElementConnects[el.iNodeStart + k];
        if (n < 0 || n >= pPart->iNumNodes) return false;
        for (int c = 0; c < 3; c++) p[k][c] = pPart->pNodeCoords[3 * n + c];
    }
    *piGlobal = el.iGlobalIndex;
    return true;
}

}  // namespace

bool NKShellAxes::IsEnabled(uint32_t uMask) const
{
    return ((uMask & NK_SHELLAXES_COORDSYS) && m_bCoordSys) ||
           ((uMask & NK_SHELLAXES_STRAINS) && m_bStrains);
}

void NKShellAxes::Enable(uint32_t uMask)
{
    if (uMask & NK_SHELLAXES_COORDSYS) m_bCoordSys = 1;
    if (uMask & NK_SHELLAXES_STRAINS) m_bStrains = 1;
}

void NKShellAxes::Disable(uint32_t uMask)
{
    if (uMask & NK_SHELLAXES_COORDSYS) m_bCoordSys = 0;
    if (uMask & NK_SHELLAXES_STRAINS) m_bStrains = 0;
    if (!IsAnyEnabled()) std::vector<Record>().swap(m_Cache);
}

void NKShellAxes::DisableAll(void) { Disable(NK_SHELLAXES_COORDSYS | NK_SHELLAXES_STRAINS); }

const float *NKShellAxes::GetAxisColor(uint32_t uMask) const
{
    return uMask == NK_SHELLAXES_X   ? m_fColorX
           : uMask == NK_SHELLAXES_Y ? m_fColorY
           : uMask == NK_SHELLAXES_Z ? m_fColorZ
                                     : m_fDefault;
}

// An element's axes: corners, strains read from the family,
// local tensors, centre and axis ends, the strain lines of each surface.
bool NKShellAxes::Compute(int iState, int iFrame, NKShellElementKey key, Record *r)
{
    float p[4][3];
    int iGlobal;
    if (!ShellCorners(iFrame, key, p, &iGlobal)) return false;
    int iShell = iGlobal - NKLSDynaGetNumElements(NK_DYNA_SOLIDS, iState) -
                 NKLSDynaGetNumElements(NK_DYNA_THICK_SHELLS, iState) -
                 NKLSDynaGetNumElements(NK_DYNA_BEAMS, iState);
    float w[12], *out[12];
    int keys[12];
    for (int k = 0; k < 12; k++) keys[k] = 1000 + k, out[k] = &w[k];
    if (NKLSDynaReadStateResult(&iState, 1, keys, 12, &iShell, 1, out, NK_DYNA_SHELLS, nullptr) !=
        1)
        return false;
    float R[3][3], t[3][6];
    NKLSDynaShellAxes(p, R);
    for (int k = 0; k < 6; k++) t[0][k] = w[k], t[2][k] = w[6 + k];
    NKLSDynaRotateTensor(R, t[0]);
    NKLSDynaRotateTensor(R, t[2]);
    for (int k = 0; k < 6; k++) t[1][k] = 0.5f * (t[0][k] + t[2][k]);
    float fLongest = 0.0f;
    NKPolylineCentroidAndLength(&p[0][0], 4, r->centre, &fLongest, NK_POLYLINE_AS_IS);
    float fLength = 0.5f * fLongest, *ends[3] = {r->xEnd, r->yEnd, r->zEnd};
    for (int a = 0; a < 3; a++)
        for (int k = 0; k < 3; k++) {
            r->axes[a][k] = R[a][k];
            ends[a][k] = r->centre[k] + fLength * R[a][k];
        }
    float X[3], Y[3];
    for (int k = 0; k < 3; k++) X[k] = r->xEnd[k] - r->centre[k], Y[k] = r->yEnd[k] - r->centre[k];
    for (int s = 0; s < 3; s++)
        SurfaceLines(t[s], r->centre, X, Y, &r->lines[4 * s], &r->strains[2 * s],
                     &r->strains[2 * s + 1]);
    r->iState = iState, r->iPart = key.iPart, r->iElement = key.iElement;
    return true;
}

const NKShellAxes::Record *NKShellAxes::Find(int iFrame, NKShellElementKey key)
{
    NKFrame *pFrame = NKGetFrame(iFrame);
    int iState = pFrame != nullptr ? NKLSDynaFindStateByTime(pFrame->fTime) : -1;
    if (iState < 0) return nullptr;
    for (const Record &r : m_Cache)
        if (r.iState == iState && r.iPart == key.iPart && r.iElement == key.iElement) return &r;
    Record r;
    if (!Compute(iState, iFrame, key, &r)) return nullptr;
    m_Cache.push_back(r);
    return &m_Cache.back();
}

bool NKShellAxes::ComputeElementAxes(int iFrame, NKShellElementKey key, float *pfCentre, float *pfX,
                                     float *pfY, float *pfZ)
{
    if (pfCentre == nullptr || pfX == nullptr || pfY == nullptr || pfZ == nullptr) return false;
    const Record *r = Find(iFrame, key);
    if (r == nullptr) return false;
    for (int k = 0; k < 3; k++)
        pfCentre[k] = r->centre[k], pfX[k] = r->xEnd[k], pfY[k] = r->yEnd[k], pfZ[k] = r->zEnd[k];
    return true;
}

bool NKShellAxes::ComputeStrainAxes(int iFrame, NKShellElementKey key, float pfPoints[4][3],
                                    const float **ppfMajorColor, const float **ppfMinorColor)
{
    if (pfPoints == nullptr || ppfMajorColor == nullptr || ppfMinorColor == nullptr) return false;
    const Record *r = Find(iFrame, key);
    if (r == nullptr) return false;
    int s = NKGetShellSurface();
    if (s < 0 || s > 2) s = 1;
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) pfPoints[i][k] = r->lines[4 * s + i][k];
    *ppfMajorColor = r->strains[2 * s] >= 0.0f ? m_fTensile : m_fCompressive;
    *ppfMinorColor = r->strains[2 * s + 1] >= 0.0f ? m_fTensile : m_fCompressive;
    return true;
}
