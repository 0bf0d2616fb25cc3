// tools/nk_user_labels.cpp -- UserPrimitive and UserPrimitiveList: records,
// anchors and the sorted list (see nk_user_labels.h). Turning labels into
// label items per frame is in nk_user_label_items.cpp.
#include "tools/nk_user_labels.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/nk_model.h"

UserPrimitiveList *g_pUserPrimitives = nullptr;

// ---- UserPrimitive --------------------------------------------------------------

UserPrimitive::UserPrimitive(const UserPrimitive &other) { *this = other; }

UserPrimitive &UserPrimitive::operator=(const UserPrimitive &other)
{
    if (this == &other) return *this;
    ClearAnchor();
    m_iID = other.m_iID;
    m_iType = other.m_iType;
    m_bRelative2D = other.m_bRelative2D;
    std::memcpy(m_afPosition, other.m_afPosition, sizeof(m_afPosition));
    m_text = other.m_text;
    SetGeometry(other.m_pGeometry);
    m_iPart = other.m_iPart;
    m_iElement = other.m_iElement;
    m_iPolygon = other.m_iPolygon;
    m_iNode = other.m_iNode;
    if (other.m_iNumElementPolygons > 0) {
        m_piElementPolygons = new (std::nothrow) int32_t[other.m_iNumElementPolygons];
        if (m_piElementPolygons != nullptr) {
            m_iNumElementPolygons = other.m_iNumElementPolygons;
            std::memcpy(m_piElementPolygons, other.m_piElementPolygons,
                        sizeof(int32_t) * size_t(m_iNumElementPolygons));
        }
    }
    return *this;
}

UserPrimitive::~UserPrimitive() { ClearAnchor(); }

void UserPrimitive::SetGeometry(NKGeometry *pGeo)
{
    if (pGeo != nullptr) pGeo->iNumRef++;
    NKReleaseGeometry(m_pGeometry);
    m_pGeometry = pGeo;
}

void UserPrimitive::ClearAnchor()
{
    SetGeometry(nullptr);
    m_iPart = m_iElement = m_iPolygon = m_iNode = -1;
    delete[] m_piElementPolygons;
    m_piElementPolygons = nullptr;
    m_iNumElementPolygons = 0;
    m_bRelative2D = 0;
    m_afPosition[0] = m_afPosition[1] = m_afPosition[2] = 0.0f;
}

void UserPrimitive::SetText(const char *pszText)
{
    std::string s = pszText != nullptr ? pszText : "";
    for (size_t i = 0; (i = s.find("\\n", i)) != std::string::npos; i++) s.replace(i, 2, "\n");
    m_text = s.c_str();
}

bool UserPrimitive::SetPosition3D(const float *pfPoint)
{
    ClearAnchor();
    std::memcpy(m_afPosition, pfPoint, sizeof(m_afPosition));
    return true;
}

void UserPrimitive::SetPosition2D(float x, float y)
{
    ClearAnchor();
    m_bRelative2D = 1;
    m_afPosition[0] = x;
    m_afPosition[1] = y;
}

bool UserPrimitive::AttachPolygon(NKGeometry *pGeo, int iPart, int iPolygon)
{
    ClearAnchor();
    SetGeometry(pGeo);
    m_iPart = iPart;
    m_iPolygon = iPolygon;
    return true;
}

bool UserPrimitive::AttachNode(NKGeometry *pGeo, int iPart, int iNode)
{
    ClearAnchor();
    SetGeometry(pGeo);
    m_iPart = iPart;
    m_iNode = iNode;
    return true;
}

bool UserPrimitive::AttachElement(NKGeometry *pGeo, int iPart, int iElement)
{
    if (pGeo == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return false;
    const NKPart *pPart = &pGeo->pParts[iPart];
    if (iElement < 0 || iElement >= pPart->iNumElements || pPart->pPolygonElements == nullptr)
        return false;
    std::vector<int32_t> polys;
    for (int i = 0; i < pPart->iNumPolygons; i++)
        if (pPart->pPolygonElements[i] == iElement) polys.push_back(i);
    int32_t *pi = nullptr;
    if (!polys.empty()) {
        pi = new (std::nothrow) int32_t[polys.size()];
        if (pi == nullptr) return false;
        std::memcpy(pi, polys.data(), polys.size() * sizeof(int32_t));
    }
    ClearAnchor();
    SetGeometry(pGeo);
    m_iPart = iPart;
    m_iElement = iElement;
    m_piElementPolygons = pi;
    m_iNumElementPolygons = int32_t(polys.size());
    return true;
}

void UserPrimitive::GetPosition(float *pfOut) const { std::memcpy(pfOut, m_afPosition, 12); }

int UserPrimitive::GetAnchorKind() const
{
    bool bModel = m_pGeometry != nullptr && m_iPart >= 0;
    if (bModel && m_iNode >= 0) return 0;
    if (bModel && m_iPolygon != -1) return 1;
    if (bModel && m_iNumElementPolygons > 0) return 2;
    return m_bRelative2D ? 4 : 3;
}

const char *UserPrimitive::GetTypeName() const
{
    static const char *const kNames[4] = {"text string", "scalar", "coordinate", "info"};
    return m_iType >= 0 && m_iType < 4 ? kNames[m_iType] : "";
}

const char *UserPrimitive::GetAttachmentName() const
{
    static const char *const kNames[5] = {"node", "polygon", "element", "position (absolute 3D)",
                                          "position (relative 2D)"};
    return kNames[GetAnchorKind()];
}

// ---- UserPrimitiveList ------------------------------------------------------------

bool UserPrimitiveList::Grow()
{
    int iStep = m_iGrowBy;
    if (iStep == 0) {
        iStep = m_iCount / 8;
        if (iStep < 4) iStep = 4;
        if (iStep > 1024) iStep = 1024;
    }
    UserPrimitive *p = new (std::nothrow) UserPrimitive[size_t(m_iCapacity) + size_t(iStep)];
    if (p == nullptr) return false;
    for (int i = 0; i < m_iCount; i++) p[i] = m_pRecords[i];
    delete[] m_pRecords;
    m_pRecords = p;
    m_iCapacity += iStep;
    return true;
}

int UserPrimitiveList::Add(int iID, bool bInheritType)
{
    if (iID >= 0 && FindByID(iID) >= 0) return -1;
    if (iID < 0) {
        iID = 1;
        while (FindByID(iID) >= 0) iID++;
    }
    if (m_iCount == m_iCapacity && !Grow()) return -1;
    int iAt = 0;
    while (iAt < m_iCount && m_pRecords[iAt].m_iID < iID) iAt++;
    int iType = NK_LABEL_SCALAR;
    if (bInheritType && m_iCurrent >= 0) iType = m_pRecords[m_iCurrent].m_iType;
    for (int i = m_iCount; i > iAt; i--) m_pRecords[i] = m_pRecords[i - 1];
    m_pRecords[iAt] = UserPrimitive();
    m_pRecords[iAt].m_iID = iID;
    m_pRecords[iAt].m_iType = iType;
    m_iCount++;
    m_iCurrent = iAt;
    return iAt;
}

bool UserPrimitiveList::Delete(int iIndex)
{
    if (iIndex == -1) iIndex = m_iCurrent;
    if (iIndex < 0 || iIndex >= m_iCount) return false;
    for (int i = iIndex; i + 1 < m_iCount; i++) m_pRecords[i] = m_pRecords[i + 1];
    m_pRecords[--m_iCount] = UserPrimitive();
    if (m_iCurrent > iIndex) {
        m_iCurrent--;  // an earlier record went: the same label stays active
    } else if (m_iCurrent == iIndex && m_iCurrent >= m_iCount) {
        m_iCurrent = m_iCount - 1;
    }
    return true;
}

void UserPrimitiveList::Clear()
{
    delete[] m_pRecords;
    m_pRecords = nullptr;
    m_iCount = m_iCapacity = 0;
    m_iCurrent = -1;
}

int UserPrimitiveList::FindByID(int iID) const
{
    if (iID < 0) return -1;
    for (int i = 0; i < m_iCount; i++)
        if (m_pRecords[i].m_iID == iID) return i;
    return -1;
}

bool UserPrimitiveList::SetCurrentByID(int iID)
{
    int i = FindByID(iID);
    if (i < 0) return false;
    m_iCurrent = i;
    return true;
}

int UserPrimitiveList::GetCurrentID() const
{
    return m_iCurrent >= 0 ? m_pRecords[m_iCurrent].m_iID : -1;
}

UserPrimitive *UserPrimitiveList::Get(int iIndex)
{
    if (iIndex == -1) iIndex = m_iCurrent;
    return iIndex >= 0 && iIndex < m_iCount ? &m_pRecords[iIndex] : nullptr;
}

// ---- The global list --------------------------------------------------------------

void NKCreateUserPrimitives(void)
{
    if (g_pUserPrimitives == nullptr) g_pUserPrimitives = new (std::nothrow) UserPrimitiveList();
}

void NKFreeUserPrimitives(void)
{
    delete g_pUserPrimitives;
    g_pUserPrimitives = nullptr;
}

void NKClearUserPrimitives(void)
{
    if (g_pUserPrimitives != nullptr) g_pUserPrimitives->Clear();
}
