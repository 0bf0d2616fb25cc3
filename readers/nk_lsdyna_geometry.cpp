// readers/nk_lsdyna_geometry.cpp -- the geometry section of one LS-DYNA
// segment (nodes, solids, thick shells, beams, shells) read into an
// LSDynaGeometry and converted into an NKGeometry with one part per
// material (see nk_lsdyna.h).
//
// Every node number is checked against NUMNP before a part indexes by it.
// Global element order: solids, thick shells, beams, shells; the parts'
// element records carry that index for results and visibility.
#include <algorithm>
#include <map>

#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_arrays.h"
#include "readers/nk_lsdyna.h"

namespace {

bool ReadBlock(LSDynaStream *s, std::vector<int> *pV, int64_t n)
{
    pV->resize((size_t)n);
    return s->ReadInts(pV->data(), n) == n;
}

// Nodes 0..iCount-1 of every record of iStride words lie in 1..iNumNodes.
bool NodesInRange(const std::vector<int> &v, int iStride, int iCount, int iNumNodes)
{
    for (size_t r = 0; r < v.size(); r += (size_t)iStride)
        for (int k = 0; k < iCount; k++)
            if (v[r + (size_t)k] < 1 || v[r + (size_t)k] > iNumNodes) return false;
    return true;
}

}  // namespace

LSDynaGeometry *NKLSDynaReadGeometry(const LSDynaHeader &h, int iBaseFile)
{
    LSDynaControlData &g = g_LSDynacontrolData;
    return NKLSDynaReadGeometryFrom(g.files, g.iFormat, g.bSwap, h, iBaseFile);
}

LSDynaGeometry *NKLSDynaReadGeometryFrom(const std::vector<LSDynaFamilyFile> &files, int iFormat,
                                         bool bSwap, const LSDynaHeader &h, int iBaseFile)
{
    LSDynaGeometry *pGeo = new LSDynaGeometry();
    pGeo->NUMNP = h.NUMNP();
    pGeo->NEL8 = h.NEL8();
    pGeo->NELT = h.NELT();
    pGeo->NEL4 = h.NEL4();
    pGeo->NEL2 = h.NEL2();
    pGeo->MDLOPT = h.MDLOPT;
    pGeo->NDIM = std::max(h.NDIM, 1);
    LSDynaStream s(&files, iFormat, bSwap);
    int64_t iCoords = (int64_t)pGeo->NUMNP * pGeo->NDIM;
    pGeo->coords.resize((size_t)iCoords);
    // The scan checked that the family holds every word of the section.
    bool bOk = s.Seek(iBaseFile, h.iHeaderWords) &&
               s.ReadFloats(pGeo->coords.data(), iCoords) == iCoords &&
               ReadBlock(&s, &pGeo->solids, 9LL * pGeo->NEL8) &&
               ReadBlock(&s, &pGeo->thickShells, 9LL * pGeo->NELT) &&
               ReadBlock(&s, &pGeo->beams, 6LL * pGeo->NEL2) &&
               ReadBlock(&s, &pGeo->shells, 5LL * pGeo->NEL4);
    if (bOk && h.MATTYP == 1 && h.NUMMAT > 0) {
        pGeo->materialTypes.resize((size_t)h.NUMMAT);
        bOk = s.Seek(iBaseFile, h.iMaterialTypesAt) &&
              s.ReadInts(pGeo->materialTypes.data(), h.NUMMAT) == h.NUMMAT;
    }
    if (!bOk) {
        NKPrintError(NKString::FromFormat("Error reading LS-DYNA geometry from %s.",
                                          files[(size_t)iBaseFile].szFileName.GetText())
                         .GetText());
    } else if (!NodesInRange(pGeo->solids, 9, 8, pGeo->NUMNP) ||
               !NodesInRange(pGeo->thickShells, 9, 8, pGeo->NUMNP) ||
               !NodesInRange(pGeo->beams, 6, 2, pGeo->NUMNP) ||
               !NodesInRange(pGeo->shells, 5, 4, pGeo->NUMNP)) {
        NKPrintError(
            NKString::FromFormat("LS-DYNA file %s: an element refers to a node outside 1..%d.",
                                 files[(size_t)iBaseFile].szFileName.GetText(), pGeo->NUMNP)
                .GetText());
        bOk = false;
    }
    if (!bOk) {
        delete pGeo;
        return nullptr;
    }
    return pGeo;
}

int NKLSDynaClassifySolid(const int piNodes[8])
{
    int aiSorted[8];
    std::copy(piNodes, piNodes + 8, aiSorted);
    std::sort(aiSorted, aiSorted + 8);
    int iDistinct = (int)(std::unique(aiSorted, aiSorted + 8) - aiSorted);
    int aiFirst[4] = {piNodes[0], piNodes[1], piNodes[2], piNodes[3]};
    std::sort(aiFirst, aiFirst + 4);
    bool bFirstDistinct = std::unique(aiFirst, aiFirst + 4) - aiFirst == 4;
    if (iDistinct == 8) return NK_ELEM_BRICK;
    if (iDistinct == 4 && bFirstDistinct) return NK_ELEM_TETRAHEDRON;
    if (iDistinct == 6 && bFirstDistinct && piNodes[4] == piNodes[5] && piNodes[6] == piNodes[7])
        return NK_ELEM_PENTAHEDRON;
    return NK_ELEM_BRICK;
}

// ---- Conversion ------------------------------------------------------------------------

namespace {

// One element in global order.
struct DynaElement {
    int iGlobal;
    const int *piNodes;  // 1-based
    int iNodes;          // words of nodes in the record
    int iMaterial;
    uint32_t uClass;
};

// The polygons and element records of one part, over global 0-based nodes.
struct PartBuild {
    int iMaterial;
    std::vector<DynaElement> elements;
    std::vector<int> polyConnects, polyStarts, polyCounts, polyElement;
    std::vector<uint8_t> polyWhole, polyDeleted;
    std::vector<NKElement> records;
    std::vector<int> elemConnects;
};

void AddPolygon(PartBuild *p, const int *piNodes, int n, int iElement, bool bWhole,
                uint8_t bDeleted)
{
    p->polyStarts.push_back((int)p->polyConnects.size());
    p->polyCounts.push_back(n);
    p->polyElement.push_back(iElement);
    p->polyWhole.push_back(bWhole ? 1 : 0);
    p->polyDeleted.push_back(bDeleted);
    p->polyConnects.insert(p->polyConnects.end(), piNodes, piNodes + n);
}

// The element's type, its polygons and its record with its distinct nodes.
void AddElement(PartBuild *p, const DynaElement &e, const LSDynaGeometry &geo, uint8_t bDeleted,
                const LSDynaUserIds *pIds)
{
    int n[8];
    for (int k = 0; k < e.iNodes; k++) n[k] = e.piNodes[k] - 1;
    int iLocal = (int)p->records.size();
    int iType = NK_ELEM_SHELL;
    std::vector<int> nodes;
    if (e.uClass == NK_DYNA_SOLIDS || e.uClass == NK_DYNA_THICK_SHELLS) {
        iType = e.uClass == NK_DYNA_SOLIDS ? NKLSDynaClassifySolid(e.piNodes) : NK_ELEM_THICKSHELL;
        if (iType == NK_ELEM_TETRAHEDRON) {
            int f[12];
            NKGetTetraFaces(f, e.piNodes, true);
            for (int k = 0; k < 4; k++) AddPolygon(p, f + 3 * k, 3, iLocal, false, bDeleted);
            nodes.assign(n, n + 4);
        } else if (iType == NK_ELEM_PENTAHEDRON) {
            static const int kFaces[5][4] = {
                {4, 1, 0, -1}, {2, 3, 6, -1}, {1, 2, 6, 5}, {3, 2, 1, 0}, {4, 7, 3, 0}};
            for (const auto &face : kFaces) {
                int q[4], c = face[3] < 0 ? 3 : 4;
                for (int k = 0; k < c; k++) q[k] = n[face[k]];
                AddPolygon(p, q, c, iLocal, false, bDeleted);
            }
            nodes = {n[0], n[1], n[2], n[3], n[4], n[6]};
        } else {
            int f[24];
            NKGetHexaFaces(f, e.piNodes, true);
            for (int k = 0; k < 6; k++) AddPolygon(p, f + 4 * k, 4, iLocal, false, bDeleted);
            nodes.assign(n, n + 8);
        }
    } else if (e.uClass == NK_DYNA_BEAMS) {
        iType = NK_ELEM_DYNA_BEAM;
        AddPolygon(p, n, 2, iLocal, true, bDeleted);
        nodes.assign(n, n + 2);
    } else {
        int64_t m = (int64_t)e.iMaterial - 1;
        bool bRigid =
            m >= 0 && m < (int64_t)geo.materialTypes.size() && geo.materialTypes[(size_t)m] == 20;
        iType = bRigid ? NK_ELEM_RIGID_SHELL : NK_ELEM_SHELL;
        AddPolygon(p, n, 4, iLocal, true, bDeleted);
        nodes.assign(n, n + 4);
    }
    int iId = e.iGlobal + 1;  // the internal number without user IDs
    if (pIds != nullptr) {
        const std::vector<int> *pv = e.uClass == NK_DYNA_SOLIDS         ? &pIds->solids
                                     : e.uClass == NK_DYNA_THICK_SHELLS ? &pIds->thickShells
                                     : e.uClass == NK_DYNA_BEAMS        ? &pIds->beams
                                                                        : &pIds->shells;
        int iClassIndex = e.iGlobal;
        if (e.uClass != NK_DYNA_SOLIDS) iClassIndex -= geo.NEL8;
        if (e.uClass == NK_DYNA_BEAMS || e.uClass == NK_DYNA_SHELLS) iClassIndex -= geo.NELT;
        if (e.uClass == NK_DYNA_SHELLS) iClassIndex -= geo.NEL2;
        if (iClassIndex >= 0 && iClassIndex < (int)pv->size()) iId = (*pv)[(size_t)iClassIndex];
    }
    p->records.push_back(NKElement{iType, iId, e.iGlobal, (int)p->elemConnects.size()});
    p->elemConnects.insert(p->elemConnects.end(), nodes.begin(), nodes.end());
}

std::vector<DynaElement> GlobalElements(const LSDynaGeometry &geo)
{
    std::vector<DynaElement> v;
    v.reserve((size_t)geo.TotalElements());
    int iGlobal = 0;
    for (int i = 0; i < geo.NEL8; i++)
        v.push_back({iGlobal++, &geo.solids[(size_t)i * 9], 8, geo.solids[(size_t)i * 9 + 8],
                     NK_DYNA_SOLIDS});
    for (int i = 0; i < geo.NELT; i++)
        v.push_back({iGlobal++, &geo.thickShells[(size_t)i * 9], 8,
                     geo.thickShells[(size_t)i * 9 + 8], NK_DYNA_THICK_SHELLS});
    for (int i = 0; i < geo.NEL2; i++)
        v.push_back(
            {iGlobal++, &geo.beams[(size_t)i * 6], 2, geo.beams[(size_t)i * 6 + 5], NK_DYNA_BEAMS});
    for (int i = 0; i < geo.NEL4; i++)
        v.push_back({iGlobal++, &geo.shells[(size_t)i * 5], 4, geo.shells[(size_t)i * 5 + 4],
                     NK_DYNA_SHELLS});
    return v;
}

// Marks the faces shared by two volume elements; keep[k] 0 for those.
bool FindInternalFaces(PartBuild *p, std::vector<uint8_t> *pKeep)
{
    NKIndexedFaceSet f;
    NKInitPolygonMesh(&f);
    f.iNumPolygons = (int)p->polyStarts.size();
    f.iConnectLength = (int)p->polyConnects.size();
    f.piConnects = NKAllocCopy(p->polyConnects);
    f.piPolygonStart = NKAllocCopy(p->polyStarts);
    f.piPolygonNumNodes = NKAllocCopy(p->polyCounts);
    f.pbWholeElement = NKAllocCopy(p->polyWhole);
    f.pbVisibility = NKAllocCopy(p->polyDeleted);
    bool bOk = f.piConnects != nullptr && f.piPolygonStart != nullptr &&
               f.piPolygonNumNodes != nullptr && f.pbWholeElement != nullptr &&
               f.pbVisibility != nullptr && HideInternalFaces(&f);
    if (bOk) pKeep->assign(f.pbKeep, f.pbKeep + f.iNumPolygons);
    NKFreePolygonMesh(&f);
    return bOk;
}

// Fills the NKPart from its build: local nodes in order of first use.
bool FillPart(NKPart *pPart, PartBuild *p, const LSDynaGeometry &geo, const LSDynaUserIds *pIds,
              std::vector<int> *pScratch)
{
    std::vector<uint8_t> keep;
    if (!p->polyStarts.empty() && !FindInternalFaces(p, &keep)) return false;
    std::vector<int> starts, counts, elements, connects, nodeMap;
    auto Local = [&](int gNode) {
        int &slot = (*pScratch)[(size_t)gNode];
        if (slot < 0) {
            slot = (int)nodeMap.size();
            nodeMap.push_back(gNode);
        }
        return slot;
    };
    for (size_t k = 0; k < p->polyStarts.size(); k++) {
        if (!keep[k]) continue;
        starts.push_back((int)connects.size());
        counts.push_back(p->polyCounts[k]);
        elements.push_back(p->polyElement[k]);
        for (int j = 0; j < p->polyCounts[k]; j++)
            connects.push_back(Local(p->polyConnects[(size_t)p->polyStarts[k] + j]));
    }
    for (int &v : p->elemConnects) v = Local(v);
    std::vector<float> coords(nodeMap.size() * 3);
    std::vector<int> ids;
    for (size_t i = 0; i < nodeMap.size(); i++) {
        for (int c = 0; c < 3; c++) coords[i * 3 + c] = geo.Coord(nodeMap[i], c);
        if (pIds != nullptr && !pIds->nodes.empty()) ids.push_back(pIds->nodes[(size_t)nodeMap[i]]);
        (*pScratch)[(size_t)nodeMap[i]] = -1;
    }
    pPart->iNumNodes = (int)nodeMap.size();
    pPart->pNodeMap = NKAllocCopy(nodeMap);
    pPart->pNodeCoords = NKAllocCopy(coords);
    pPart->pNodeIDs = NKAllocCopy(ids);
    bool bPolygons = NKSetPartPolygons(pPart, connects, starts, counts, elements);
    pPart->iNumElements = (int)p->records.size();
    pPart->pElements = NKAllocCopy(p->records);
    pPart->iNumElementConnects = (int)p->elemConnects.size();
    pPart->pElementConnects = NKAllocCopy(p->elemConnects);
    return bPolygons &&
           (nodeMap.empty() || (pPart->pNodeMap != nullptr && pPart->pNodeCoords != nullptr)) &&
           (ids.empty() || pPart->pNodeIDs != nullptr) &&
           (p->records.empty() ||
            (pPart->pElements != nullptr && pPart->pElementConnects != nullptr));
}

NKString PartName(const PartBuild &p, const LSDynaGeometry &geo, const LSDynaUserIds *pIds)
{
    NKString name = NKString::FromFormat("Mat: #%d", p.iMaterial);
    // The file's material number may be any int, the smallest too.
    int64_t m = (int64_t)p.iMaterial - 1;
    if (pIds != nullptr && m >= 0 && m < (int64_t)pIds->materials.size())
        name += NKString::FromFormat(", ID %d", pIds->materials[(size_t)m]);
    if (m >= 0 && m < (int64_t)geo.materialTypes.size())
        name += NKString::FromFormat(", type %d", geo.materialTypes[(size_t)m]);
    return name.Left(255);
}

}  // namespace

NKGeometry *NKLSDynaConvertGeometry(const LSDynaGeometry &geo, const std::vector<uint8_t> *pDeleted,
                                    const LSDynaUserIds *pIds)
{
    std::map<int, PartBuild> parts;
    for (const DynaElement &e : GlobalElements(geo)) {
        PartBuild &p = parts[e.iMaterial];
        p.iMaterial = e.iMaterial;
        uint8_t bDel = pDeleted != nullptr && e.iGlobal < (int)pDeleted->size()
                           ? (*pDeleted)[(size_t)e.iGlobal]
                           : 0;
        AddElement(&p, e, geo, bDel, pIds);
    }
    NKGeometry *pGeo = NKCreateGeometry(parts.empty() ? -1 : (int)parts.size());
    if (pGeo == nullptr) {
        NKDiagnostic("Error allocating memory.", "NKLSDynaConvertGeometry");
        return nullptr;
    }
    pGeo->iTotalNumNodes = geo.NUMNP;
    pGeo->iGlobalNumNodes = geo.NUMNP;
    std::vector<int> scratch((size_t)std::max(geo.NUMNP, 0), -1);
    int iPart = 0, iPolygons = 0;
    for (auto &entry : parts) {
        NKPart *pPart = &pGeo->pParts[iPart++];
        pPart->szName = PartName(entry.second, geo, pIds);
        if (!FillPart(pPart, &entry.second, geo, pIds, &scratch)) {
            NKDiagnostic("Error allocating memory.", "NKLSDynaConvertGeometry");
            NKReleaseGeometry(pGeo);
            return nullptr;
        }
        pPart->iFirstPolygon = iPolygons;
        iPolygons += pPart->iNumPolygons;
    }
    return pGeo;
}
