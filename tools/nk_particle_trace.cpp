// tools/nk_particle_trace.cpp -- the particle-trace set (seed definitions,
// options, animation step), the per-frame results and their release, and the
// scene's per-frame update (see nk_particle_trace.h). The tracing itself is
// in nk_particle_integrate.cpp.
#include "tools/nk_particle_trace.h"

#include <cstring>
#include <new>

#include "core/nk_bbox.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_ray.h"
#include "core/nk_view_state.h"

ParticleTraceSet *g_pParticleTraceSet = nullptr;

bool TraceSeedBox::operator==(const TraceSeedBox &o) const
{
    return bIsBox == o.bIsBox && nx == o.nx && ny == o.ny && nz == o.nz &&
           std::memcmp(fCorner1, o.fCorner1, sizeof(fCorner1)) == 0 &&
           std::memcmp(fCorner2, o.fCorner2, sizeof(fCorner2)) == 0;
}

bool TraceDisplayOptions::operator==(const TraceDisplayOptions &o) const
{
    return bStaticLine == o.bStaticLine && bIncrementalLine == o.bIncrementalLine &&
           bMovingPoint == o.bMovingPoint && bPointTail == o.bPointTail &&
           bLineTail == o.bLineTail && bPointSingleColor == o.bPointSingleColor &&
           bLineTailSingleColor == o.bLineTailSingleColor && bStartPoints == o.bStartPoints &&
           iPointTailSteps == o.iPointTailSteps && iLineTailSteps == o.iLineTailSteps &&
           iLineTailWidth == o.iLineTailWidth && iPointSize == o.iPointSize &&
           iStaticLineWidth == o.iStaticLineWidth;
}

bool TraceComputeOptions::operator==(const TraceComputeOptions &o) const
{
    return iMethod == o.iMethod && fTolerance == o.fTolerance &&
           iStepsPerElement == o.iStepsPerElement && bPointsInside == o.bPointsInside &&
           iDirection == o.iDirection && iInterpolation == o.iInterpolation &&
           iMaxSteps == o.iMaxSteps && fStopFraction == o.fStopFraction;
}

// ---- The set ----------------------------------------------------------------------

ParticleTraceSet::ParticleTraceSet() : m_Handle("Particle Trace") {}

void ParticleTraceSet::Enable(bool bOn)
{
    m_bEnabled = bOn ? 1 : 0;
    if (NKAreManipulatorsEnabled()) m_Handle.SetEnabled(bOn);
}

namespace {

// The seed of a new trace: the centre of the model's box over all frames
// (model coordinates), or the origin without a model box.
TraceSeedBox DefaultSeed(void)
{
    TraceSeedBox seed;
    float afBox[6];
    float afCentre[3] = {0.0f, 0.0f, 0.0f};
    if (NKGetModelBoundingBox(afBox, NK_BOX_UNDEFORMED) && !NKIsEmptyBox(afBox))
        NKGetBoxCenter(afBox, afCentre);
    std::memcpy(seed.fCorner1, afCentre, sizeof(afCentre));
    std::memcpy(seed.fCorner2, afCentre, sizeof(afCentre));
    return seed;
}

}  // namespace

bool ParticleTraceSet::AddTrace(bool bCopyCurrent)
{
    if (m_iNumTraces >= NK_MAX_TRACE_SPECS) return false;
    TraceSeedBox seed = bCopyCurrent && m_iNumTraces > 0 ? m_Seeds[m_iCurrent] : DefaultSeed();
    if (!bCopyCurrent && NKAreManipulatorsEnabled()) {
        // Half the default handle size around the default handle centre.
        seed.bIsBox = 1;
        for (int k = 0; k < 3; k++) {
            seed.fCorner1[k] -= 0.05f;
            seed.fCorner2[k] += 0.05f;
        }
    }
    m_Seeds[m_iNumTraces] = seed;
    m_iCurrent = m_iNumTraces++;
    MoveHandleToSeed();
    return true;
}

bool ParticleTraceSet::DeleteTrace(int iIndex, bool bAll)
{
    iIndex = Resolve(iIndex);
    if (!bAll && m_iNumTraces > 1) {
        if (iIndex < 0 || iIndex >= m_iNumTraces) return false;
        for (int i = iIndex; i + 1 < m_iNumTraces; i++) m_Seeds[i] = m_Seeds[i + 1];
        m_iNumTraces--;
        if (m_iCurrent > iIndex) m_iCurrent--;
    } else {
        Reset();
    }
    SetCurrent(m_iCurrent);
    NKClearParticleTraces(-1, -1);
    return true;
}

void ParticleTraceSet::Reset()
{
    m_iNumTraces = 0;
    m_iCurrent = 0;
    AddTrace(false);
}

bool ParticleTraceSet::SetCurrent(int iIndex)
{
    int i = iIndex;
    if (i > m_iNumTraces - 1) i = m_iNumTraces - 1;
    if (i < 0) i = 0;
    m_iCurrent = i;
    MoveHandleToSeed();
    return i == iIndex;
}

void ParticleTraceSet::SetAnimate(bool bOn)
{
    m_bAnimate = bOn ? 1 : 0;
    m_iAnimationStep = 0;
    m_bAnimationStarted = 0;
}

bool ParticleTraceSet::SetAnimationSteps(int n)
{
    if (n < 0) return false;
    m_iAnimationSteps = n;
    m_iAnimationStep = 0;
    return true;
}

bool ParticleTraceSet::SetDisplayOptions(const TraceDisplayOptions &options)
{
    if (options == m_Display) return false;
    m_Display = options;
    if (!(m_bEnabled && m_bShown)) return false;
    NKClearParticleTraces(-1, -1);
    return true;
}

bool ParticleTraceSet::SetComputeOptions(const TraceComputeOptions &options)
{
    if (options == m_Compute) return false;
    m_Compute = options;
    NKClearParticleTraces(-1, -1);
    return true;
}

bool ParticleTraceSet::SetSeedBox(const TraceSeedBox &box, int iIndex)
{
    iIndex = Resolve(iIndex);
    if (iIndex < 0 || iIndex >= m_iNumTraces || m_Seeds[iIndex] == box) return false;
    m_Seeds[iIndex] = box;
    MoveHandleToSeed();
    NKClearParticleTraces(iIndex, -1);
    return m_bEnabled && m_bShown;
}

const TraceSeedBox *ParticleTraceSet::GetSeedBox(int iIndex) const
{
    iIndex = Resolve(iIndex);
    return iIndex >= 0 && iIndex < m_iNumTraces ? &m_Seeds[iIndex] : nullptr;
}

// The first call after SetAnimate shows the first step; later calls step on once the
// frame interval has passed since the last step, wrapping to 1 after the
// last step.
void ParticleTraceSet::AdvanceAnimation(const NKAnimationSettings *pTiming)
{
    if (pTiming == nullptr) return;
    const uint32_t uNow = pTiming->uTimeThisFrame;
    if (!m_bAnimationStarted) {
        m_bAnimationStarted = 1;
        m_iAnimationStep = 1;
        m_uParticleStamp = uNow;
        return;
    }
    if ((int64_t)(uint32_t)(uNow - m_uParticleStamp) > (int64_t)pTiming->iFrameInterval) {
        m_uParticleStamp = uNow;
        if (++m_iAnimationStep > m_iAnimationSteps) m_iAnimationStep = 1;
    }
}

// The handle shows the current seed box in display coordinates; only while
// the handles are in use.
void ParticleTraceSet::MoveHandleToSeed()
{
    if (!NKAreManipulatorsEnabled() || m_iNumTraces < 1) return;
    const TraceSeedBox &s = m_Seeds[m_iCurrent];
    float afBox[6];
    std::memcpy(afBox, s.fCorner1, sizeof(s.fCorner1));
    std::memcpy(afBox + 3, s.fCorner2, sizeof(s.fCorner2));
    ModelToDisplayBox(afBox);
    m_Handle.SetBox(afBox);
    m_Handle.SetBoxMode(s.bIsBox != 0);
    m_Handle.SetCounts(s.nx, s.ny, s.nz);
}

bool ParticleTraceSet::TakeManipulatorBox()
{
    if (!NKAreManipulatorsEnabled() || !m_Handle.IsChanged() || m_iNumTraces < 1) return false;
    TraceSeedBox &s = m_Seeds[m_iCurrent];
    float afBox[6];
    int aiCounts[3];
    m_Handle.GetBounds(afBox, false);
    m_Handle.GetCounts(&aiCounts[0], &aiCounts[1], &aiCounts[2]);
    DisplayToModelBox(afBox);
    s.bIsBox = m_Handle.IsBoxMode() ? 1 : 0;
    std::memcpy(s.fCorner1, afBox, sizeof(s.fCorner1));
    std::memcpy(s.fCorner2, afBox + 3, sizeof(s.fCorner2));
    s.nx = aiCounts[0];
    s.ny = aiCounts[1];
    s.nz = aiCounts[2];
    m_Handle.ClearChanged();
    NKClearParticleTraces(m_iCurrent, -1);
    return true;
}

// ---- Results ----------------------------------------------------------------------

void NKFreeParticleTraceResult(ParticleTraceResult *pResult)
{
    if (pResult == nullptr) return;
    for (int s = 0; pResult->pLines != nullptr && s < pResult->iNumSeeds; s++) {
        TracePoint *p = pResult->pLines[s].pBackward;
        while (p != nullptr) {
            TracePoint *pNext = p->pNext;
            NKFree(p);
            p = pNext;
        }
    }
    NKFree(pResult->pLines);
    NKFree(pResult->pfSeeds);
    NKFree(pResult);
}

namespace {

void ClearFrameSlots(NKFrame *pFrame, int iTrace)
{
    // All five slots for a negative index, so that nothing outlives a count
    // that dropped since the results were made.
    const int iLast = iTrace < 0 ? NK_MAX_FRAME_TRACES - 1 : iTrace;
    for (int t = iTrace < 0 ? 0 : iTrace; t <= iLast && t < NK_MAX_FRAME_TRACES; t++) {
        NKFreeParticleTraceResult(pFrame->pParticleTraces[t]);
        pFrame->pParticleTraces[t] = nullptr;
    }
}

}  // namespace

bool NKClearParticleTraces(int iTrace, int iFrame)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return true;
    for (int f = 0; f < g_pModel->iNumFrames; f++)
        if (iFrame < 0 || f == iFrame) ClearFrameSlots(&g_pModel->pFrames[f], iTrace);
    return true;
}

void NKFreeFrameParticleTraces(NKFrame *pFrame)
{
    if (pFrame == nullptr) return;
    for (int t = 0; t < NK_MAX_FRAME_TRACES; t++) {
        NKFreeParticleTraceResult(pFrame->pParticleTraces[t]);
        pFrame->pParticleTraces[t] = nullptr;
    }
    pFrame->iNumParticleTraces = 0;
}

bool NKParticleTracesNeedUpdate(ParticleTraceSet *pSet, int iFrame)
{
    if (pSet == nullptr || !pSet->IsEnabled()) return false;
    pSet->TakeManipulatorBox();
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return false;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        if (iFrame >= 0 && f != iFrame) continue;
        for (int t = 0; t < pSet->GetNumTraces() && t < NK_MAX_FRAME_TRACES; t++)
            if (g_pModel->pFrames[f].pParticleTraces[t] == nullptr) return true;
    }
    return false;
}

bool NKGetTraceTimeRange(const NKFrame *pFrame, float *pfMin, float *pfMax)
{
    float fMin = 1e12f, fMax = -1e12f;
    for (int t = 0; pFrame != nullptr && t < pFrame->iNumParticleTraces; t++) {
        const ParticleTraceResult *r = pFrame->pParticleTraces[t];
        if (r == nullptr) continue;
        if (r->fMinTime < fMin) fMin = r->fMinTime;
        if (r->fMaxTime > fMax) fMax = r->fMaxTime;
    }
    if (pfMin != nullptr) *pfMin = fMin;
    if (pfMax != nullptr) *pfMax = fMax;
    return true;
}

void NKUpdateFrameParticleTraces(int iFrame, NKFrame *pFrame, NKAnimationSettings *pTiming)
{
    ParticleTraceSet *pSet = g_pParticleTraceSet;
    if (pSet == nullptr || pFrame == nullptr || !pSet->IsEnabled() || pFrame->pVector == nullptr)
        return;
    if (NKParticleTracesNeedUpdate(pSet, iFrame)) NKComputeParticleTraces(pFrame, pSet);
    if (pSet->IsAnimating()) pSet->AdvanceAnimation(pTiming);
}

// ---- Start-up ---------------------------------------------------------------------

bool NKCreateParticleTraceSet(void)
{
    NKDestroyParticleTraceSet();
    g_pParticleTraceSet = new (std::nothrow) ParticleTraceSet();
    if (g_pParticleTraceSet == nullptr) return false;
    g_pParticleTraceSet->AddTrace(false);
    return true;
}

void NKDestroyParticleTraceSet(void)
{
    delete g_pParticleTraceSet;
    g_pParticleTraceSet = nullptr;
}

namespace {

// Core's seed slots: a trace's seed definition in core's form and back.
bool GetTraceSeedHook(int iTrace, int *piIndex, NKTraceSeed *pSeed)
{
    const TraceSeedBox *pBox =
        g_pParticleTraceSet != nullptr ? g_pParticleTraceSet->GetSeedBox(iTrace) : nullptr;
    if (pBox == nullptr) return false;
    *piIndex = iTrace == -1 ? g_pParticleTraceSet->GetCurrent() : iTrace;
    pSeed->bIsBox = pBox->bIsBox;
    pSeed->aiCounts[0] = pBox->nx;
    pSeed->aiCounts[1] = pBox->ny;
    pSeed->aiCounts[2] = pBox->nz;
    std::memcpy(pSeed->afBox, pBox->fCorner1, sizeof(pBox->fCorner1));
    std::memcpy(pSeed->afBox + 3, pBox->fCorner2, sizeof(pBox->fCorner2));
    return true;
}

void SetTraceSeedHook(int iTrace, const NKTraceSeed &seed)
{
    if (g_pParticleTraceSet == nullptr) return;
    TraceSeedBox box;
    box.bIsBox = seed.bIsBox;
    box.nx = seed.aiCounts[0];
    box.ny = seed.aiCounts[1];
    box.nz = seed.aiCounts[2];
    std::memcpy(box.fCorner1, seed.afBox, sizeof(box.fCorner1));
    std::memcpy(box.fCorner2, seed.afBox + 3, sizeof(box.fCorner2));
    g_pParticleTraceSet->SetSeedBox(box, iTrace);
}

}  // namespace

void NKInstallParticleTraceHooks(void)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnFreeFrameTraces = NKFreeFrameParticleTraces;
    hooks.pfnGetTraceSeed = GetTraceSeedHook;
    hooks.pfnSetTraceSeed = SetTraceSeedHook;
    NKSetModelHooks(hooks);
}
