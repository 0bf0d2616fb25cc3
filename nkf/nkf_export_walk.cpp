// nkf/nkf_export_walk.cpp -- the geometry walk of the NKF export (see
// nkf_export_walk.h).
#include "nkf/nkf_export_walk.h"

#include "core/nk_model.h"
#include "nkf/nkf_export.h"

NKFGeometryWalk::NKFGeometryWalk(const NKFExporter *pExporter)
{
    int iTaken = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        m_StepNumbers.push_back(iTaken + 1);
        if (pExporter->FrameTaken(f)) iTaken++;
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr || m_Index.count(pGeo) != 0) continue;
        Entry e{pGeo, f, m_iTotalParts, 0, 0, std::vector<int>((size_t)pGeo->iNumParts, -1)};
        std::vector<int> order((size_t)pGeo->iNumParts + 1);
        e.iNumParts = pExporter->ExportedPartOrder(pGeo, order.data());
        for (int k = 0; k < e.iNumParts; k++) {
            e.partIDs[(size_t)order[(size_t)k]] = e.iBaseID + k;
            if (NKFPartIsFaceSet(&pGeo->pParts[order[(size_t)k]])) e.iNumFaceSets++;
        }
        m_iTotalParts += e.iNumParts;
        m_Index[pGeo] = (int)m_Entries.size();
        m_Entries.push_back(std::move(e));
    }
}

int NKFGeometryWalk::IndexOf(const NKGeometry *pGeo) const
{
    auto it = m_Index.find(pGeo);
    return it == m_Index.end() ? -1 : it->second;
}

int NKFGeometryWalk::PartBlockID(const NKGeometry *pGeo, int iPart) const
{
    int g = IndexOf(pGeo);
    if (g < 0 || iPart < 0 || iPart >= (int)m_Entries[(size_t)g].partIDs.size()) return -1;
    return m_Entries[(size_t)g].partIDs[(size_t)iPart];
}

int NKFGeometryWalk::StepNumber(int iFrame) const
{
    if (iFrame < 0 || iFrame >= (int)m_StepNumbers.size()) return 1;
    return m_StepNumbers[(size_t)iFrame];
}
