// tools/nk_line_sets.cpp -- LineSet, PolyLine and LineSetList: storage,
// tessellation levels and picking (see nk_line_sets.h). The GL drawing of
// the list is in nk_line_draw.cpp, the file readers in nk_line_files.cpp.
#include "tools/nk_line_sets.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/nk_bbox.h"
#include "core/nk_message.h"
#include "core/nk_ray.h"

LineSetList *g_pLineSetList = nullptr;

// ---- LineSet and PolyLine ------------------------------------------------------

LineSet::LineSet() : m_pfPoints(m_afInline), m_pucDetail(m_aucInlineDetail) {}

LineSet::~LineSet()
{
    if (m_pfPoints != m_afInline) std::free(m_pfPoints);
    if (m_pucDetail != m_aucInlineDetail) std::free(m_pucDetail);
    delete m_pName;
}

void LineSet::SetName(const char *pszName)
{
    if (pszName == nullptr) {
        delete m_pName;
        m_pName = nullptr;
        return;
    }
    if (m_pName == nullptr) m_pName = new (std::nothrow) NKString();
    if (m_pName != nullptr) *m_pName = pszName;
}

bool LineSet::GetName(NKString *pName) const
{
    if (pName != nullptr) *pName = m_pName != nullptr ? m_pName->GetText() : "";
    return m_pName != nullptr;
}

bool LineSet::SetPoint(int iIndex, const float *pfPoint)
{
    if (iIndex < 0 || iIndex >= GetNumPoints() || m_pfPoints == nullptr) return false;
    std::memcpy(m_pfPoints + 3 * iIndex, pfPoint, 3 * sizeof(float));
    return true;
}

PolyLine::PolyLine()
{
    m_pfPoints = nullptr;
    m_pucDetail = nullptr;
}

bool PolyLine::AddPoint(const float *pfPoint)
{
    if (m_iNumPoints == m_iCapacity) {
        int64_t iNew = int64_t(m_iCapacity) + (m_iCapacity / 2 > 1000 ? m_iCapacity / 2 : 1000);
        if (iNew > 0x7FFFFFFF / 3) return false;
        float *pf =
            static_cast<float *>(std::realloc(m_pfPoints, size_t(iNew) * 3 * sizeof(float)));
        if (pf == nullptr) return false;
        m_pfPoints = pf;
        uint8_t *pu = static_cast<uint8_t *>(std::realloc(m_pucDetail, size_t(iNew)));
        if (pu == nullptr) return false;
        m_pucDetail = pu;
        std::memset(m_pfPoints + 3 * size_t(m_iCapacity), 0,
                    size_t(iNew - m_iCapacity) * 3 * sizeof(float));
        std::memset(m_pucDetail + m_iCapacity, 0, size_t(iNew - m_iCapacity));
        m_iCapacity = int32_t(iNew);
    }
    std::memcpy(m_pfPoints + 3 * size_t(m_iNumPoints), pfPoint, 3 * sizeof(float));
    m_pucDetail[m_iNumPoints++] = 0;
    return true;
}

// ---- LineSetList: storage --------------------------------------------------------

bool LineSetList::Add(LineSet *pObject)
{
    if (pObject == nullptr) return false;
    if (m_iCount == m_iCapacity) {
        int64_t iNew = int64_t(m_iCapacity) + (m_iCapacity / 2 > 1000 ? m_iCapacity / 2 : 1000);
        if (iNew > 0x7FFFFFFF) return false;
        void *p = std::realloc(m_ppObjects, size_t(iNew) * sizeof(LineSet *));
        if (p == nullptr) return false;
        m_ppObjects = static_cast<LineSet **>(p);
        m_iCapacity = int32_t(iNew);
    }
    m_ppObjects[m_iCount++] = pObject;
    return true;
}

bool LineSetList::AddSegment(const float *pfP1, const float *pfP2, uint8_t r, uint8_t g, uint8_t b)
{
    LineSet *pSet = new (std::nothrow) LineSet();
    if (pSet == nullptr) return false;
    pSet->SetPoint(0, pfP1);
    pSet->SetPoint(1, pfP2);
    pSet->m_ucColor[0] = r;
    pSet->m_ucColor[1] = g;
    pSet->m_ucColor[2] = b;
    if (Add(pSet)) return true;
    delete pSet;
    return false;
}

void LineSetList::ResetPick()
{
    m_fPickDistance = 1e12f;
    m_iPickObject = m_iPickPiece = m_iPickPoint = -1;
    m_bShowPicked = 0;
}

void LineSetList::Clear()
{
    TruncateTo(0);
    std::free(m_ppObjects);
    m_ppObjects = nullptr;
    m_iCount = m_iCapacity = 0;
    ResetPick();
}

void LineSetList::TruncateTo(int iFirst)
{
    if (iFirst < 0) iFirst = 0;
    for (int i = iFirst; i < m_iCount; i++) delete m_ppObjects[i];
    if (iFirst < m_iCount) m_iCount = iFirst;
    if (m_iPickObject >= m_iCount) ResetPick();
}

void LineSetList::ResetSettings()
{
    m_bShown = 0;
    m_iLineWidth = 1;
    m_bAutoDetail = 1;
    m_bCylinders = 0;
    m_bSpheres = 0;
    m_fCylinderSize = 0.001f;
    m_iSkipRate = 1;
    m_bPickable = 0;
}

// ---- Tessellation levels and picking ---------------------------------------------

// r is the cylinder's apparent size against the tangent of 20 degrees.
void LineSetList::UpdateCylinderDetail(const float *pfEye)
{
    if (!m_bCylinders || !m_bAutoDetail || pfEye == nullptr) return;
    for (int o = 0; o < m_iCount; o++) {
        LineSet *pSet = m_ppObjects[o];
        int n = pSet->GetNumPoints();
        for (int i = 0; i < n; i++) {
            const float *p = pSet->GetPoint(i);
            double dx = p[0] - pfEye[0], dy = p[1] - pfEye[1], dz = p[2] - pfEye[2];
            double d = std::sqrt(dx * dx + dy * dy + dz * dz);
            double r = d == 0.0 ? 1.0 : m_fCylinderSize / d / 0.36397022;
            pSet->m_pucDetail[i] = r < 0.005 ? 1 : (r < 0.01 ? 6 : 10);
        }
    }
}

// The nearest hit over all pieces (the first on a tie); the nearest end of
// the piece to the hit point (the first end on a tie) is the picked point.
bool LineSetList::Pick(const float *pfOrigin, const float *pfDirection, float *pfDistance)
{
    ResetPick();
    float fTol = m_bCylinders ? m_fCylinderSize / 2.0f : 0.0f;
    float afBest[3] = {0, 0, 0};
    for (int o = 0; o < m_iCount; o++) {
        LineSet *pSet = m_ppObjects[o];
        for (int i = 0; i + 1 < pSet->GetNumPoints(); i++) {
            float hit[3], t = 0.0f;
            if (!NKRayHitsSegment(pSet->GetPoint(i), pSet->GetPoint(i + 1), fTol, pfOrigin,
                                  pfDirection, NKPickGrowthFactor, hit, &t))
                continue;
            if (m_iPickObject >= 0 && !(t < m_fPickDistance)) continue;
            m_fPickDistance = t;
            m_iPickObject = o;
            m_iPickPiece = i;
            std::memcpy(afBest, hit, sizeof(afBest));
        }
    }
    if (pfDistance != nullptr) *pfDistance = m_fPickDistance;
    if (m_iPickObject < 0) return false;
    LineSet *pSet = m_ppObjects[m_iPickObject];
    float a[3], b[3];
    std::memcpy(a, pSet->GetPoint(m_iPickPiece), sizeof(a));
    std::memcpy(b, pSet->GetPoint(m_iPickPiece + 1), sizeof(b));
    double da = 0.0, db = 0.0;
    for (int k = 0; k < 3; k++) {
        da += double(afBest[k] - a[k]) * (afBest[k] - a[k]);
        db += double(afBest[k] - b[k]) * (afBest[k] - b[k]);
    }
    m_iPickPoint = db < da ? m_iPickPiece + 1 : m_iPickPiece;
    NKString name;
    pSet->GetName(&name);
    DisplayToModel(a);
    DisplayToModel(b);
    NKPrintInfo(NKString::FromFormat("Segment: %d   Line: %d   Node: %d  (name: \"%s\")"
                                     "\nNode coords: (%g, %g, %g)  (%g, %g, %g)",
                                     m_iPickObject, m_iPickPiece, m_iPickPoint, name.GetText(),
                                     a[0], a[1], a[2], b[0], b[1], b[2])
                    .GetText());
    return true;
}

// ---- The global list ----------------------------------------------------------------

void NKCreateLineSetList(void)
{
    if (g_pLineSetList == nullptr) g_pLineSetList = new (std::nothrow) LineSetList();
}

void NKFreeLineSetList(void)
{
    delete g_pLineSetList;
    g_pLineSetList = nullptr;
}

void NKResetLineSetList(bool bKeepSettings)
{
    if (bKeepSettings || g_pLineSetList == nullptr) return;
    g_pLineSetList->Clear();
    g_pLineSetList->ResetSettings();
}

float NKLineSizeToDisplay(float fSize)
{
    float c = float(fSize / std::sqrt(3.0));
    float v[3] = {c, c, c};
    ModelToDisplayVector(v);
    return float(std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]));
}
