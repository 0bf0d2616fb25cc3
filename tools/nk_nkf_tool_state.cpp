// tools/nk_nkf_tool_state.cpp -- the tools' part of the NKF display state:
// the cutting planes, particle traces and traced nodes of an NKF file
// (nkf/nkf_display_hooks.h), and the item records the NKF export writes
// (core/nk_export_items.h).
//
// NKInstallNKFToolState fills both slots at start-up. The particle-trace
// words of the main record follow the fields of TraceDisplayOptions and
// TraceComputeOptions in their order, so export and import agree.
#include "tools/nk_nkf_tool_state.h"

#include <cstring>

#include "core/nk_export_items.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_state_blocks.h"
#include "render/nk_view_settings.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_particle_trace.h"

namespace {

void SetByte(uint8_t *pb, int32_t iWord)
{
    if (iWord != -1) *pb = (uint8_t)(iWord & 0xff);
}

void SetInt(int32_t *pi, int32_t iWord)
{
    if (iWord != -1) *pi = iWord;
}

int32_t FloatBits(float f)
{
    int32_t i;
    std::memcpy(&i, &f, 4);
    return i;
}

// Planes count only while the set is enabled: the set always holds one.
int CountCutPlanes(void)
{
    return (g_pCutPlaneSet != nullptr && g_pCutPlaneSet->IsEnabled())
               ? g_pCutPlaneSet->GetNumPlanes()
               : 0;
}

void GetCutPlaneRecord(int iPlane, int32_t aiWords[11])
{
    float afPoint[3], afNormal[3];
    g_pCutPlaneSet->GetPlanePoint(iPlane, afPoint);
    g_pCutPlaneSet->GetPlaneNormal(iPlane, afNormal);
    aiWords[0] = 44;
    for (int a = 0; a < 3; a++) {
        aiWords[1 + a] = FloatBits(afPoint[a]);
        aiWords[4 + a] = FloatBits(afNormal[a]);
    }
    aiWords[7] = g_pCutPlaneSet->GetFlag(NK_CUTPLANE_SHOW_SURFACE, iPlane) ? 1 : 0;
    aiWords[8] = g_pCutPlaneSet->GetFlag(NK_CUTPLANE_SHOW_VECTORS, iPlane) ? 1 : 0;
    aiWords[9] = g_pCutPlaneSet->GetGridI(iPlane);
    aiWords[10] = g_pCutPlaneSet->GetGridJ(iPlane);
}

bool GetIsoSurface(float *pfValue)
{
    if (g_pIsoSurfaceState == nullptr || !g_pIsoSurfaceState->bEnabled) return false;
    *pfValue = g_pIsoSurfaceState->fLevel;
    return true;
}

int CountParticleTraceSets(void)
{
    return g_pParticleTraceSet != nullptr ? g_pParticleTraceSet->GetNumTraces() : 0;
}

void GetParticleTraceRecord(int iSet, int32_t aiWords[11])
{
    const TraceSeedBox *pBox = g_pParticleTraceSet->GetSeedBox(iSet);
    aiWords[0] = 44;
    if (pBox == nullptr) return;
    const int32_t aiHead[] = {pBox->bIsBox, pBox->nx, pBox->ny, pBox->nz};
    for (int k = 0; k < 4; k++) aiWords[1 + k] = aiHead[k];
    for (int a = 0; a < 3; a++) {
        aiWords[5 + a] = FloatBits(pBox->fCorner1[a]);
        aiWords[8 + a] = FloatBits(pBox->fCorner2[a]);
    }
}

void FillMain(NKFMainSettings *pRec, const NKFExportSettings *pSettings)
{
    if (const ParticleTraceSet *pSet = g_pParticleTraceSet) {
        pRec->SetI(214, pSet->IsEnabled() ? 1 : 0);
        pRec->SetI(215, pSet->IsShown() ? 1 : 0);
        pRec->SetI(216, pSet->IsAnimating() ? 1 : 0);
        const TraceDisplayOptions &d = pSet->GetDisplayOptions();
        const int32_t aiDisplay[] = {
            d.bStaticLine,     d.bIncrementalLine,  d.bMovingPoint,         d.bPointTail,
            d.bLineTail,       d.bPointSingleColor, d.bLineTailSingleColor, d.bStartPoints,
            d.iPointTailSteps, d.iLineTailSteps,    d.iLineTailWidth,       d.iPointSize};
        for (int k = 0; k < 12; k++) pRec->SetI(217 + k, aiDisplay[k]);
        const TraceComputeOptions &c = pSet->GetComputeOptions();
        pRec->SetI(229, c.iMethod);
        pRec->SetF(230, c.fTolerance);
        pRec->SetI(231, c.iStepsPerElement);
        pRec->SetI(232, c.bPointsInside);
        pRec->SetI(233, c.iDirection);
        pRec->SetI(234, c.iInterpolation);
        pRec->SetI(235, c.iMaxSteps);
        pRec->SetF(236, c.fStopFraction);
    }
    if (pSettings == nullptr || !pSettings->bCutPlanes || CountCutPlanes() == 0) return;
    int iWord = 300;
    for (int p = 0; p < g_pCutPlaneSet->GetNumPlanes() && iWord <= 305; p++)
        if (g_pCutPlaneSet->GetFlag(NK_CUTPLANE_CLIP, p)) pRec->SetI(iWord++, p);
    pRec->SetI(306, g_pCutPlaneSet->GetClipEachOther() ? 1 : 0);
}

void ApplyParticleWords(const NKFMainSettings &rec)
{
    ParticleTraceSet *pSet = g_pParticleTraceSet;
    if (pSet == nullptr) return;
    TraceDisplayOptions d = pSet->GetDisplayOptions();
    uint8_t *apBytes[] = {&d.bStaticLine,          &d.bIncrementalLine, &d.bMovingPoint,
                          &d.bPointTail,           &d.bLineTail,        &d.bPointSingleColor,
                          &d.bLineTailSingleColor, &d.bStartPoints};
    for (int k = 0; k < 8; k++) SetByte(apBytes[k], rec.I(217 + k));
    int32_t *apInts[] = {&d.iPointTailSteps, &d.iLineTailSteps, &d.iLineTailWidth, &d.iPointSize};
    for (int k = 0; k < 4; k++) SetInt(apInts[k], rec.I(225 + k));
    pSet->SetDisplayOptions(d);
    TraceComputeOptions c = pSet->GetComputeOptions();
    SetInt(&c.iMethod, rec.I(229));
    if (rec.IsSetF(230)) c.fTolerance = rec.F(230);
    SetInt(&c.iStepsPerElement, rec.I(231));
    SetByte(&c.bPointsInside, rec.I(232));
    SetInt(&c.iDirection, rec.I(233));
    SetInt(&c.iInterpolation, rec.I(234));
    SetInt(&c.iMaxSteps, rec.I(235));
    if (rec.IsSetF(236)) c.fStopFraction = rec.F(236);
    pSet->SetComputeOptions(c);
    if (rec.I(214) != -1) pSet->Enable(rec.I(214) != 0);
    if (rec.I(215) != -1) pSet->SetShown(rec.I(215) != 0);
    if (rec.I(216) != -1) pSet->SetAnimate(rec.I(216) != 0);
}

void ApplyMain(const NKFMainSettings &rec, int iGroup)
{
    if (iGroup == NKF_MAIN_PARTICLES) ApplyParticleWords(rec);
    if (iGroup == NKF_MAIN_CLIP_EACH_OTHER && g_pCutPlaneSet != nullptr && rec.I(306) != -1)
        g_pCutPlaneSet->SetClipEachOther(rec.I(306) != 0);
}

bool IsClipPlane(const NKFMainSettings *pMain, int i)
{
    for (int w = 300; pMain != nullptr && w <= 305; w++)
        if (pMain->I(w) == i) return true;
    return false;
}

// The file's planes replace the set's; planes past ten are ignored.
void ApplyCutPlanes(const NKFItemsBlock &items, const NKFMainSettings *pMain)
{
    CutPlaneSet *pSet = g_pCutPlaneSet;
    if (pSet == nullptr) return;
    pSet->DeletePlane(0, true);
    for (int i = 0; i < items.GetCount(NKF_ITEM_CUTPLANE) && i < NK_MAX_CUT_PLANES; i++) {
        const NKFCutPlaneItem *pRec = items.GetCutPlane(i);
        if (pRec == nullptr || (i > 0 && !pSet->AddPlane(true))) break;
        float afPoint[3] = {pRec->F(1), pRec->F(2), pRec->F(3)};
        float afNormal[3] = {pRec->F(4), pRec->F(5), pRec->F(6)};
        if (pRec->IsSetF(1)) pSet->SetPlanePoint(afPoint, -1);
        if (pRec->IsSetF(4)) pSet->SetPlaneNormal(afNormal, -1);
        if (pRec->I(7) != -1)
            pSet->SetFlag(NK_CUTPLANE_SHOW_SURFACE, (pRec->I(7) & 0xff) != 0, -1, false);
        if (pRec->I(8) != -1)
            pSet->SetFlag(NK_CUTPLANE_SHOW_VECTORS, (pRec->I(8) & 0xff) != 0, -1, false);
        if (pRec->I(9) >= 0 && pRec->I(10) >= 0)
            pSet->SetVectorGrid(pRec->I(9), pRec->I(10), -1, false);
        pSet->SetFlag(NK_CUTPLANE_CUT_VECTORS, true, -1, false);
        pSet->SetFlag(NK_CUTPLANE_CLIP, IsClipPlane(pMain, i), -1, false);
    }
    pSet->Enable(true);
}

// Every trace set is replaced by the file's (at most five).
void ApplyParticleTraces(const NKFItemsBlock &items)
{
    ParticleTraceSet *pSet = g_pParticleTraceSet;
    if (pSet == nullptr) return;
    pSet->DeleteTrace(0, true);
    for (int i = 0; i < items.GetCount(NKF_ITEM_PARTICLES); i++) {
        const NKFParticleTraceItem *pRec = items.GetParticleTraces(i);
        if (pRec == nullptr || (i > 0 && !pSet->AddTrace(false))) break;
        TraceSeedBox box;
        box.bIsBox = (uint8_t)(pRec->I(1) & 0xff);
        box.nx = pRec->I(2);
        box.ny = pRec->I(3);
        box.nz = pRec->I(4);
        for (int a = 0; a < 3; a++) {
            box.fCorner1[a] = pRec->F(5 + a);
            box.fCorner2[a] = pRec->F(8 + a);
        }
        pSet->SetSeedBox(box, -1);
    }
}

// Records naming a part or node that frame 0 does not have are skipped.
void ApplyTraces(const NKFItemsBlock &items)
{
    int n = items.GetCount(NKF_ITEM_TRACE);
    const NKGeometry *pGeo = (g_pModel != nullptr && g_pModel->iNumFrames > 0)
                                 ? g_pModel->pFrames[0].pGeometry
                                 : nullptr;
    if (n < 1 || pGeo == nullptr) return;
    auto *pNodes = (NKItemNode *)NKAlloc(sizeof(NKItemNode) * (size_t)n);
    if (pNodes == nullptr) return;
    int iKept = 0;
    for (int i = 0; i < n; i++) {
        const NKFNodeItem *pRec = items.GetTrace(i);
        if (pRec == nullptr) continue;
        int iNode = pRec->I(1), iPart = pRec->I(2);
        if (iPart < 0 || iPart >= pGeo->iNumParts || iNode < 0 ||
            iNode >= pGeo->pParts[iPart].iNumNodes)
            continue;
        pNodes[iKept++] = NKItemNode{iNode, iPart};
    }
    NKFree(g_pTraceNodes);
    g_pTraceNodes = pNodes;
    g_iNumTraceNodes = iKept;
    if (iKept > 0 && g_pViewSettings != nullptr) g_pViewSettings->bTraceNodes = 1;
}

NKFDisplayStateHooks Hooks(void)
{
    NKFDisplayStateHooks hooks;
    hooks.pfnFillMain = FillMain;
    hooks.pfnApplyMain = ApplyMain;
    hooks.pfnApplyCutPlanes = ApplyCutPlanes;
    hooks.pfnApplyParticleTraces = ApplyParticleTraces;
    hooks.pfnApplyTraces = ApplyTraces;
    return hooks;
}

bool sg_bInstalled = false;

}  // namespace

void NKInstallNKFToolState(bool bInstall)
{
    if (bInstall == sg_bInstalled) return;
    NKExportItemHooks items;
    if (bInstall) {
        items.pfnCountCutPlanes = CountCutPlanes;
        items.pfnGetCutPlaneRecord = GetCutPlaneRecord;
        items.pfnGetIsoSurface = GetIsoSurface;
        items.pfnCountParticleTraceSets = CountParticleTraceSets;
        items.pfnGetParticleTraceRecord = GetParticleTraceRecord;
    }
    NKFInstallDisplayStateHooks(Hooks(), bInstall, &sg_bInstalled);
    NKSetExportItemHooks(items);
}
