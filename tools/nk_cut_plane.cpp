// tools/nk_cut_plane.cpp -- the cutting-plane set: its planes, setters and
// getters, the alignment to an axis and the plane handle (see nk_cut_plane.h).
#include "tools/nk_cut_plane.h"

#include <cmath>
#include <new>

#include "core/nk_bbox.h"
#include "core/nk_math.h"
#include "core/nk_model_hooks.h"

CutPlaneSet *g_pCutPlaneSet = nullptr;

namespace {

uint8_t *FlagField(CutPlane *p, NKCutPlaneFlag flag)
{
    switch (flag) {
    case NK_CUTPLANE_SHOW_SURFACE:
        return &p->bShowSurface;
    case NK_CUTPLANE_HIDE_WITH_PART:
        return &p->bHideWithPart;
    case NK_CUTPLANE_CUT_VECTORS:
        return &p->bCutVectors;
    case NK_CUTPLANE_VECTOR_POINTS:
        return &p->bVectorPoints;
    case NK_CUTPLANE_SHOW_VECTORS:
        return &p->bShowVectors;
    case NK_CUTPLANE_LOCAL:
        return &p->bLocal;
    case NK_CUTPLANE_CLIP:
        return &p->bClip;
    }
    return &p->bShowSurface;
}

// A unit vector; shorter than 1e-6 gives (0, 0, 1).
void UnitOrZ(const float *pfIn, float *pfOut)
{
    double d = NKVec3Length(pfIn);
    if (d < 1e-6) {
        NKVec3Set(pfOut, 0.0f, 0.0f, 1.0f);
        return;
    }
    for (int k = 0; k < 3; k++) pfOut[k] = (float)(pfIn[k] / d);
}

// The centre of the model's box in display coordinates; the display origin
// while no frame has a box.
void DefaultPlanePoint(float *pfOut)
{
    float box[6];
    NKVec3Zero(pfOut);
    if (!NKGetModelBoundingBox(box, 1) || NKIsEmptyBox(box)) return;
    for (int k = 0; k < 3; k++) pfOut[k] = 0.5f * (box[k] + box[k + 3]);
    ModelToDisplay(pfOut);
}

}  // namespace

NKLocalRectangle NKGetLocalRectangle(const CutPlane &plane)
{
    NKLocalRectangle r;
    NKVec3Copy(r.afCenter, plane.fPoint);
    NKInPlaneAxis(plane.fNormal, plane.fAxis, r.aafDirection[0]);
    NKCrossProduct(plane.fNormal, r.aafDirection[0], r.aafDirection[1]);
    NKVec3Normalize(r.aafDirection[1]);
    r.afHalf[0] = std::fabs(plane.fWidth);
    r.afHalf[1] = std::fabs(plane.fHeight);
    return r;
}

bool NKWithinLocalPlane(const CutPlane &plane, const float *p)
{
    const NKLocalRectangle r = NKGetLocalRectangle(plane);
    float afRel[3];
    NKVec3Difference(p, r.afCenter, afRel);
    for (int k = 0; k < 2; k++)
        if (std::fabs(NKVec3Dot(afRel, r.aafDirection[k])) > r.afHalf[k]) return false;
    return true;
}

CutPlaneSet::CutPlaneSet() { AddPlane(false); }

CutPlaneSet::~CutPlaneSet() { FreePlanes(); }

void CutPlaneSet::Enable(bool bEnable)
{
    m_bEnabled = bEnable ? 1 : 0;
    if (NKAreManipulatorsEnabled()) m_Handle.SetEnabled(bEnable);
}

void CutPlaneSet::FreePlanes()
{
    for (int i = 0; i < m_iNumPlanes; i++) {
        delete m_pPlanes[i];
        m_pPlanes[i] = nullptr;
    }
    m_iNumPlanes = 0;
    m_iCurrent = 0;
}

int CutPlaneSet::Resolve(int iIndex) const
{
    if (iIndex == -1) iIndex = m_iCurrent;
    return iIndex >= 0 && iIndex < m_iNumPlanes ? iIndex : -1;
}

const CutPlane *CutPlaneSet::GetPlane(int iIndex) const
{
    int i = Resolve(iIndex);
    return i < 0 ? nullptr : m_pPlanes[i];
}

void CutPlaneSet::MoveHandleToPlane()
{
    const CutPlane *p = GetPlane(-1);
    if (p == nullptr) return;
    m_Handle.SetPosition(p->fPoint);
    m_Handle.SetNormal(p->fNormal);
    m_Handle.SetInPlaneAxis(p->fAxis);
    m_Handle.SetSize(p->fWidth, p->fHeight);
}

bool CutPlaneSet::AddPlane(bool bCopy)
{
    if (m_iNumPlanes >= NK_MAX_CUT_PLANES) return false;
    const CutPlane *pCurrent = GetPlane(-1);
    CutPlane *pNew = new (std::nothrow) CutPlane();
    if (pNew == nullptr) return false;
    if (bCopy && pCurrent != nullptr)
        *pNew = *pCurrent;
    else
        DefaultPlanePoint(pNew->fPoint);
    m_pPlanes[m_iNumPlanes] = pNew;
    m_iCurrent = m_iNumPlanes++;
    NKFreeCutSurfaces(m_iCurrent, -1);
    MoveHandleToPlane();
    return true;
}

bool CutPlaneSet::DeletePlane(int iIndex, bool bAll)
{
    if (bAll) {
        FreePlanes();
        NKFreeCutSurfaces(-1, -1);
        return AddPlane(false);
    }
    int i = Resolve(iIndex);
    if (i < 0 || m_iNumPlanes < 2) return false;
    delete m_pPlanes[i];
    for (int k = i; k < m_iNumPlanes - 1; k++) m_pPlanes[k] = m_pPlanes[k + 1];
    m_pPlanes[--m_iNumPlanes] = nullptr;
    if (m_iCurrent > i) m_iCurrent--;
    // The slots behind the deleted plane now belong to other planes.
    NKFreeCutSurfaces(-1, -1);
    SetCurrent(m_iCurrent);
    return true;
}

bool CutPlaneSet::SetCurrent(int iIndex)
{
    int i = iIndex < 0 ? 0 : (iIndex >= m_iNumPlanes ? m_iNumPlanes - 1 : iIndex);
    m_iCurrent = i < 0 ? 0 : i;
    MoveHandleToPlane();
    return i == iIndex;
}

bool CutPlaneSet::SetPlanePoint(const float *pfPoint, int iIndex)
{
    int i = Resolve(iIndex);
    if (i < 0 || pfPoint == nullptr) return false;
    NKVec3Copy(m_pPlanes[i]->fPoint, pfPoint);
    ModelToDisplay(m_pPlanes[i]->fPoint);
    NKFreeCutSurfaces(i, -1);
    if (i == m_iCurrent) MoveHandleToPlane();
    return true;
}

bool CutPlaneSet::SetPlaneNormal(const float *pfNormal, int iIndex)
{
    int i = Resolve(iIndex);
    if (i < 0 || pfNormal == nullptr) return false;
    UnitOrZ(pfNormal, m_pPlanes[i]->fNormal);
    NKFreeCutSurfaces(i, -1);
    if (i == m_iCurrent) MoveHandleToPlane();
    return true;
}

bool CutPlaneSet::SetPlaneAxis(const float *pfAxis, int iIndex)
{
    int i = Resolve(iIndex);
    if (i < 0 || pfAxis == nullptr) return false;
    UnitOrZ(pfAxis, m_pPlanes[i]->fAxis);
    NKFreeCutSurfaces(i, -1);
    if (i == m_iCurrent) MoveHandleToPlane();
    return true;
}

void CutPlaneSet::GetPlanePoint(int iIndex, float *pfOut) const
{
    const CutPlane *p = GetPlane(iIndex);
    NKVec3Zero(pfOut);
    if (p == nullptr) return;
    NKVec3Copy(pfOut, p->fPoint);
    DisplayToModel(pfOut);
}

void CutPlaneSet::GetPlaneNormal(int iIndex, float *pfOut) const
{
    const CutPlane *p = GetPlane(iIndex);
    NKVec3Zero(pfOut);
    if (p != nullptr) NKVec3Copy(pfOut, p->fNormal);
}

bool CutPlaneSet::SetFlag(NKCutPlaneFlag flag, bool bOn, int iIndex, bool bAll)
{
    int iOnly = Resolve(iIndex);
    if (!bAll && iOnly < 0) return false;
    for (int i = 0; i < m_iNumPlanes; i++) {
        if (!bAll && i != iOnly) continue;
        uint8_t *pb = FlagField(m_pPlanes[i], flag);
        bool bChanged = *pb != (bOn ? 1 : 0);
        *pb = bOn ? 1 : 0;
        if (bChanged && flag == NK_CUTPLANE_CUT_VECTORS) NKFreeCutSurfaces(i, -1);
    }
    return true;
}

bool CutPlaneSet::GetFlag(NKCutPlaneFlag flag, int iIndex) const
{
    int i = Resolve(iIndex);
    return i >= 0 && *FlagField(m_pPlanes[i], flag) != 0;
}

bool CutPlaneSet::SetVectorGrid(int iI, int iJ, int iIndex, bool bAll)
{
    int iOnly = Resolve(iIndex);
    if (iI < 0 || iJ < 0 || (!bAll && iOnly < 0)) return false;
    for (int i = 0; i < m_iNumPlanes; i++) {
        if (!bAll && i != iOnly) continue;
        CutPlane *p = m_pPlanes[i];
        if (p->iGridI == iI && p->iGridJ == iJ) continue;
        p->iGridI = iI;
        p->iGridJ = iJ;
        NKFreeCutSurfaces(i, -1);
    }
    return true;
}

int CutPlaneSet::GetGridI(int iIndex) const
{
    const CutPlane *p = GetPlane(iIndex);
    return p == nullptr ? 0 : p->iGridI;
}

int CutPlaneSet::GetGridJ(int iIndex) const
{
    const CutPlane *p = GetPlane(iIndex);
    return p == nullptr ? 0 : p->iGridJ;
}

bool CutPlaneSet::SetClipEachOther(bool bOn)
{
    uint8_t b = bOn ? 1 : 0;
    bool bChanged = b != m_bClipEachOther;
    m_bClipEachOther = b;
    return bChanged;
}

// The handle's axis moves only when it has weight on both axes other than
// the new normal, so that it keeps lying in the plane.
bool CutPlaneSet::AlignToAxis(int iAxis, bool bRealign)
{
    CutPlane *p = m_pPlanes[m_iCurrent];
    if (iAxis < 0 || iAxis > 2 || p == nullptr) return false;
    float n[3] = {0.0f, 0.0f, 0.0f};
    n[iAxis] = p->fNormal[iAxis] >= 0.0f ? 1.0f : -1.0f;
    SetPlaneNormal(n, -1);
    if (!bRealign) return true;
    float a[3];
    NKVec3Copy(a, p->fAxis);
    int iMax = NKVec3MaxAbsComponent(a);
    float fNew[3] = {0.0f, 0.0f, 0.0f};
    if (iAxis == 0 && a[1] != 0.0f && a[2] != 0.0f)
        fNew[iMax == 1 ? 1 : 2] = 1.0f;
    else if (iAxis == 1 && a[0] != 0.0f && a[2] != 0.0f)
        fNew[iMax != 0 ? 2 : 0] = 1.0f;
    else if (iAxis == 2 && a[0] != 0.0f && a[1] != 0.0f)
        fNew[iMax != 0 ? 1 : 0] = 1.0f;
    else
        NKVec3Copy(fNew, a);
    return SetPlaneAxis(fNew, -1);
}

bool CutPlaneSet::ConvertPoints(bool bToModel)
{
    for (int i = 0; i < m_iNumPlanes; i++) {
        if (bToModel)
            DisplayToModel(m_pPlanes[i]->fPoint);
        else
            ModelToDisplay(m_pPlanes[i]->fPoint);
    }
    MoveHandleToPlane();
    return true;
}

bool CutPlaneSet::FollowHandle()
{
    CutPlane *p = m_pPlanes[m_iCurrent];
    if (!m_Handle.IsChanged() || p == nullptr) return false;
    m_Handle.GetPosition(p->fPoint);
    m_Handle.GetNormal(p->fNormal);
    m_Handle.GetInPlaneAxis(p->fAxis);
    m_Handle.GetSize(&p->fWidth, &p->fHeight);
    m_Handle.ClearChanged();
    NKFreeCutSurfaces(m_iCurrent, -1);
    return true;
}
