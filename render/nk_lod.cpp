// render/nk_lod.cpp -- the level tables and the level-of-detail manager
// (see nk_lod.h).
#include "render/nk_lod.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_output_file.h"
#include "core/nk_render_state.h"
#include "core/nk_sort.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_import.h"
#include "render/nk_camera.h"

LodManager *g_pLodManager = nullptr;

namespace {

// tan 20 degrees: the half field of view the thresholds are measured for.
const float kFieldOfViewFactor = 0.36397f;
const int kMaxLevels = 64;

int LevelOf(uint8_t uByte) { return (uByte >> 2) & 63; }

// Counts one part's levels: each run of equal level, walked from the last
// polygon to the first, adds to that level's record; first indices are the
// running sums in level order.
bool BuildTable(LodLevelTable *pTable, const uint8_t *pBytes, int iNumPolygons)
{
    int aiCounts[kMaxLevels] = {};
    int iHighest = -1;
    for (int k = iNumPolygons - 1; k >= 0; k--) {
        const int iLevel = LevelOf(pBytes[k]);
        aiCounts[iLevel]++;
        iHighest = std::max(iHighest, iLevel);
    }
    if (iHighest < 0) return true;
    pTable->pRecords =
        static_cast<LodLevelRecord *>(NKAlloc(size_t(iHighest + 1) * sizeof(LodLevelRecord)));
    if (pTable->pRecords == nullptr) return false;
    pTable->iNumRecords = iHighest + 1;
    int iFirst = 0;
    for (int i = 0; i <= iHighest; i++) {
        LodLevelRecord &r = pTable->pRecords[i];
        r.iLevel = i;
        r.iNumPolygons = aiCounts[i];
        r.iFirstPolygon = iFirst;
        iFirst += aiCounts[i];
        if (aiCounts[i] > 0 && pTable->iMinLevel < 0) pTable->iMinLevel = i;
        if (aiCounts[i] > 0) pTable->iMaxLevel = i;
    }
    return true;
}

template <typename T>
T *AllocArray(int n)
{
    return static_cast<T *>(NKCalloc(size_t(n > 0 ? n : 1), sizeof(T)));
}

uint8_t GetPartLevelSlot(const NKGeometry *pGeo, int iPart)
{
    return g_pLodManager != nullptr ? g_pLodManager->GetPartLevel(pGeo, iPart) : 0;
}

// Runs on every open: the manager decides from the levels whether it is on.
void SetupLevelOfDetailSlot(void)
{
    if (g_pLodManager == nullptr || g_pModel == nullptr) return;
    NKFrame *pFrame = NKGetFrame(g_pModel->iCurrentFrame);
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) pFrame = NKGetFrame(0);
    if (pFrame == nullptr || pFrame->pGeometry == nullptr)
        g_pLodManager->Release();
    else
        g_pLodManager->Setup(pFrame);
}

}  // namespace

// ---- Tables ------------------------------------------------------------------

void LodTableSet::Clear()
{
    for (int i = 0; i < iNumTables; i++) NKFree(pTables[i].pRecords);
    NKFree(pTables);
    *this = LodTableSet();
}

bool LodTableSet::Build(const NKFrame *pFrame)
{
    Clear();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->iNumParts < 1) return false;
    pTables = AllocArray<LodLevelTable>(pGeo->iNumParts);
    if (pTables == nullptr) return false;
    iNumTables = pGeo->iNumParts;
    for (int p = 0; p < iNumTables; p++) {
        pTables[p] = LodLevelTable();
        const uint8_t *pBytes = NKGetPartVisibility(pFrame, p);
        if (pBytes == nullptr) continue;
        if (!BuildTable(&pTables[p], pBytes, pGeo->pParts[p].iNumPolygons)) {
            Clear();
            return false;
        }
        const LodLevelTable &t = pTables[p];
        if (t.iMinLevel >= 0 && (iMinLevel < 0 || t.iMinLevel < iMinLevel)) iMinLevel = t.iMinLevel;
        iMaxLevel = std::max(iMaxLevel, t.iMaxLevel);
    }
    return true;
}

// ---- Manager -----------------------------------------------------------------

LodManager::~LodManager() { Release(); }

void LodManager::Release()
{
    NKFree(m_pfDistances);
    NKFree(m_piOrder);
    NKFree(m_piRanks);
    NKFree(m_pfDistanceThresholds);
    m_pfDistances = nullptr;
    m_piOrder = m_piRanks = nullptr;
    m_pfDistanceThresholds = nullptr;
    m_Tables.Clear();
    m_iNumParts = m_iNumLevels = 0;
    m_bEnabled = 0;
}

bool LodManager::Setup(NKFrame *pFrame)
{
    Release();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->iNumParts < 1) return false;
    m_pfDistances = AllocArray<float>(pGeo->iNumParts);
    m_piOrder = AllocArray<int32_t>(pGeo->iNumParts);
    m_piRanks = AllocArray<int32_t>(pGeo->iNumParts);
    if (m_pfDistances == nullptr || m_piOrder == nullptr || m_piRanks == nullptr ||
        !m_Tables.Build(pFrame)) {
        Release();
        return false;
    }
    m_iNumParts = pGeo->iNumParts;
    for (int i = 0; i < m_iNumParts; i++) {
        m_pfDistances[i] = NK_LOD_FAR_DISTANCE;
        m_piOrder[i] = m_piRanks[i] = i;
    }
    m_iNumLevels = m_Tables.iMaxLevel + 1;
    m_fModelSize = NKGetLodModelSize();
    ComputeDistanceThresholds();
    ResetRankThresholds();
    m_bEnabled = m_iNumLevels > 1 ? 1 : 0;
    return true;
}

void LodManager::ComputeDistanceThresholds()
{
    NKFree(m_pfDistanceThresholds);
    m_pfDistanceThresholds = nullptr;
    if (m_iNumLevels < 1) return;
    m_pfDistanceThresholds = AllocArray<float>(m_iNumLevels);
    if (m_pfDistanceThresholds == nullptr) return;
    const float w = float(std::max(NKViewWindowSize.iWidth, 1));
    const float h = float(std::max(NKViewWindowSize.iHeight, 1));
    const float n = g_fNearClip;
    const float fPixel = 2.0f * (w / h) * kFieldOfViewFactor * n / w;
    // A model size or pixel threshold of 0 would make 0 x infinity: the
    // thresholds stay 0 and DistanceLevel leaves the choice to the ranks.
    if (m_fModelSize <= 0.0f || m_fPixelThreshold <= 0.0f || fPixel <= 0.0f) return;
    const double f = double(n) / (double(fPixel) * double(m_fPixelThreshold));
    for (int i = 0; i < m_iNumLevels; i++) {
        const double d = double(i + 1) * double(m_fModelSize) * f;
        m_pfDistanceThresholds[i] = float(d * d);
    }
}

void LodManager::ResetRankThresholds()
{
    m_afRankThresholds[0] = float(m_iFirstRankThreshold);
    for (int i = 1; i < 256; i++) m_afRankThresholds[i] = 2.0f * m_afRankThresholds[i - 1];
}

int LodManager::GetPartMaxLevel(int iPart) const
{
    if (iPart < 0 || iPart >= m_Tables.iNumTables) return 0;
    return std::max(m_Tables.pTables[iPart].iMaxLevel, 0);
}

int LodManager::RankLevel(int iPart) const
{
    const int iRank = m_piRanks != nullptr ? m_piRanks[iPart] : iPart;
    for (int i = 0; i < m_iNumLevels; i++)
        if (m_afRankThresholds[i] > float(iRank + 1)) return i;
    return std::max(m_iNumLevels - 1, 0);
}

int LodManager::DistanceLevel(int iPart) const
{
    if (m_fModelSize <= 0.0f || m_fPixelThreshold <= 0.0f || m_pfDistanceThresholds == nullptr)
        return 0;
    const float fDistance = m_pfDistances[iPart];
    for (int i = 0; i < m_iNumLevels; i++)
        if (m_pfDistanceThresholds[i] > fDistance) return i;
    return std::max(m_iNumLevels - 1, 0);
}

uint8_t LodManager::GetPartLevel(const NKGeometry *pGeo, int iPart) const
{
    if (!m_bEnabled || m_iNumParts < 1 || iPart < 0 || iPart >= m_iNumParts) return 0;
    const int iMax = GetPartMaxLevel(iPart);
    if (m_bFixedInEffect) return uint8_t(m_iFixedMode == NK_LOD_FIXED_FINEST ? 0 : iMax * 4);
    if (!m_bAutomatic) {
        if (pGeo == nullptr || iPart >= pGeo->iNumParts) return 0;
        return pGeo->pParts[iPart].uLodLevel;
    }
    const int iLevel = std::min(std::max(RankLevel(iPart), DistanceLevel(iPart)), iMax);
    return uint8_t(iLevel * 4);
}

int LodManager::GetLevelRange(int iPart, uint8_t uLevelCode, int *piLast) const
{
    if (piLast != nullptr) *piLast = 0;
    if (m_iNumParts < 1 || iPart < 0 || iPart >= m_Tables.iNumTables) return 0;
    const LodLevelTable &t = m_Tables.pTables[iPart];
    const int iLevel = LevelOf(uLevelCode);
    if (iLevel >= t.iNumRecords || t.pRecords[iLevel].iNumPolygons < 1) return 0;
    const LodLevelRecord &r = t.pRecords[iLevel];
    if (piLast != nullptr) *piLast = r.iFirstPolygon + r.iNumPolygons - 1;
    return r.iFirstPolygon;
}

void LodManager::SetAutomatic(bool bOn)
{
    m_bAutomatic = bOn ? 1 : 0;
    if (bOn) m_bSetOnPick = 0;
}

void LodManager::SetPickSet(bool bOn)
{
    m_bSetOnPick = bOn ? 1 : 0;
    if (bOn) m_bAutomatic = 0;
}

void LodManager::SetPixelThreshold(float fThreshold)
{
    m_fPixelThreshold = fThreshold;
    ComputeDistanceThresholds();
}

void LodManager::SetTargetFrameRate(bool bOn)
{
    m_bTargetFrameRate = bOn ? 1 : 0;
    if (!bOn) ResetRankThresholds();
}

void LodManager::SetFixedMode(int iMode)
{
    if (iMode == NK_LOD_FIXED_FINEST || iMode == NK_LOD_FIXED_COARSEST) m_iFixedMode = iMode;
}

void LodManager::SetMoving(bool bMoving)
{
    m_bMoving = bMoving ? 1 : 0;
    if (bMoving) {
        m_bFixedInEffect = 1;
        m_iFixedMode = NK_LOD_FIXED_COARSEST;
    } else {
        m_bFixedInEffect = m_bFixed;
    }
}

bool LodManager::SetPartLevels(NKGeometry *pGeo, int iLevel, int iFirst, int iLast,
                               bool bSelectedOnly)
{
    if (pGeo == nullptr || pGeo->iNumParts < 1) return false;
    if (iFirst < 0) iFirst = 0;
    if (iLast < 0 || iLast >= pGeo->iNumParts) iLast = pGeo->iNumParts - 1;
    for (int p = iFirst; p <= iLast; p++) {
        NKPart &part = pGeo->pParts[p];
        if (bSelectedOnly && !part.bSelected) continue;
        part.uLodLevel = uint8_t(std::min(std::max(iLevel, 0), GetPartMaxLevel(p)) * 4);
    }
    return true;
}

// Squared eye distance minus squared box radius of every drawn part; the
// others count as far away. Then the ranks, nearest first.
void LodManager::ComputeDistances(NKFrame *pFrame)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || m_pfDistances == nullptr) return;
    float afInverse[16], afEye[3] = {0.0f, 0.0f, 0.0f};
    if (NKInvertMatrix(g_ViewMatrix, afInverse)) NKTransformPoint(afInverse, afEye);
    const int n = std::min(m_iNumParts, pGeo->iNumParts);
    for (int p = 0; p < n; p++) {
        const NKPart &part = pGeo->pParts[p];
        const float *pfModelBox = NKGetPartBoundingBox(pFrame, p, NK_BOX_DISPLACED_OR_UNDEFORMED);
        m_pfDistances[p] = NK_LOD_FAR_DISTANCE;
        if (!part.bVisible || part.bCulled || pfModelBox == nullptr) continue;
        float afBox[6];
        std::copy(pfModelBox, pfModelBox + 6, afBox);
        ModelToDisplayBox(afBox);
        float afCentre[3], fRadius2 = 0.0f;
        for (int k = 0; k < 3; k++) {
            afCentre[k] = 0.5f * (afBox[k] + afBox[k + 3]);
            const float fHalf = 0.5f * (afBox[k + 3] - afBox[k]);
            fRadius2 += fHalf * fHalf;
        }
        if (pFrame->pTransformation != nullptr)
            NKTransformPoint(pFrame->pTransformation + 16 * p, afCentre);
        float fDistance2 = 0.0f;
        for (int k = 0; k < 3; k++)
            fDistance2 += (afEye[k] - afCentre[k]) * (afEye[k] - afCentre[k]);
        m_pfDistances[p] = fDistance2 - fRadius2;
    }
    NKSortFloatsIndexed(m_pfDistances, m_piOrder, m_iNumParts);
    for (int i = 0; i < m_iNumParts; i++) m_piRanks[m_piOrder[i]] = i;
}

// Moves the first rank threshold toward the target frame rate, at most by
// the factors 0.75 and 1.33 a scene; the others follow doubled.
void LodManager::SteerRankThresholds(float fFramesPerSecond)
{
    if (!m_bTargetFrameRate || fFramesPerSecond <= 0.0f || !m_bAutomatic || m_bMoving || m_bFixed)
        return;
    if (std::fabs(m_fTargetFrameRate - fFramesPerSecond) <= 0.15f * m_fTargetFrameRate) return;
    float fRatio = fFramesPerSecond / m_fTargetFrameRate;
    if (fRatio < 1.0f && m_iNumLevels > 1 && m_afRankThresholds[m_iNumLevels - 2] < 1.0f) return;
    fRatio = std::min(std::max(fRatio, 0.75f), 1.33f);
    float fFirst = m_afRankThresholds[0] * fRatio;
    fFirst = std::min(fFirst, float(m_iNumParts));
    fFirst = std::max(fFirst, float(m_iMinRankThreshold));
    fFirst = std::max(fFirst, 0.1f);
    m_afRankThresholds[0] = fFirst;
    for (int i = 1; i < 256; i++) m_afRankThresholds[i] = 2.0f * m_afRankThresholds[i - 1];
}

void LodManager::Update(NKFrame *pFrame, float fFramesPerSecond)
{
    if (!m_bEnabled || m_iNumParts < 1) return;
    if (m_bAutomatic) ComputeDistances(pFrame);
    SteerRankThresholds(fFramesPerSecond);
}

bool LodManager::Dump(const char *pszFileName) const
{
    NKOutputFile file;
    if (!file.Open(pszFileName)) return false;
    file.Printf("\n\nLOD Info\n");
    for (int p = 0; p < m_Tables.iNumTables; p++) {
        const LodLevelTable &t = m_Tables.pTables[p];
        file.Printf("\nPart: %4d,  # levels %4d:  ", p + 1, t.iNumRecords);
        for (int i = 0; i < t.iNumRecords; i++) file.Printf("%5d  ", t.pRecords[i].iNumPolygons);
    }
    return file.Commit();
}

// ---- Start-up, slots and helpers ------------------------------------------------

LodManager *NKCreateLodManager(void)
{
    if (g_pLodManager == nullptr) g_pLodManager = new LodManager();
    return g_pLodManager;
}

void NKDestroyLodManager(void)
{
    delete g_pLodManager;
    g_pLodManager = nullptr;
}

void NKInstallLodHooks(bool bInstall)
{
    NKModelHooks model = NKGetModelHooks();
    model.pfnGetPartLevel = bInstall ? GetPartLevelSlot : nullptr;
    NKSetModelHooks(model);
    NKLoadHooks load = NKGetLoadHooks();
    load.pfnSetupLevelOfDetail = bInstall ? SetupLevelOfDetailSlot : nullptr;
    NKSetLoadHooks(load);
}

bool NKGetPartPolygonRange(const NKFrame *pFrame, int iPart, int *piFirst, int *piLast)
{
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr) return false;
    *piFirst = 0;
    *piLast = pPart->iNumPolygons - 1;
    const LodManager *m = g_pLodManager;
    // Without the manager, state bytes or a table for the part (another
    // geometry) the whole list is walked; the state bytes still decide.
    if (m == nullptr || !m->m_bEnabled || NKGetPartVisibility(pFrame, iPart) == nullptr ||
        iPart >= m->m_Tables.iNumTables)
        return true;
    const LodLevelTable &t = m->m_Tables.pTables[iPart];
    const int iLevel = LevelOf(m->GetPartLevel(NKGetFrameGeometry(pFrame), iPart));
    if (iLevel >= t.iNumRecords || t.pRecords[iLevel].iNumPolygons < 1) {
        *piLast = -1;  // no polygon of this level
        return true;
    }
    *piFirst = t.pRecords[iLevel].iFirstPolygon;
    *piLast = std::min(*piFirst + t.pRecords[iLevel].iNumPolygons, pPart->iNumPolygons) - 1;
    return true;
}

float NKGetLodModelSize(void)
{
    NKString text;
    if (!NKFGetInternalString(1001, &text) || text.IsNull() || g_pModel == nullptr) return 0.0f;
    char *pEnd = nullptr;
    const double d = std::strtod(text.GetText(), &pEnd);
    if (pEnd == text.GetText() || !(d > 0.0) || !std::isfinite(d)) return 0.0f;
    return float(d * double(g_pModel->fGeoScale));
}
