// readers/nk_fem_geometry.cpp -- NKFEMInterface::GetGeometry: the element
// blocks of a step split into parts by part id, material id or element type,
// each part's elements turned into polygons over the part's own nodes, with
// the internal solid faces hidden.
//
// The reader's blocks are checked here before any array is indexed: element
// arrays against the element count, starts and node counts against the
// connectivity, connectivity against the node block (after the id
// translation). A bad block fails the geometry with "Unable to create part
// geometry." and nothing of it stays.
#include <algorithm>
#include <numeric>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_arrays.h"
#include "core/nk_progress.h"
#include "readers/nk_fem_interface.h"
#include "readers/nk_reader_elements.h"

namespace {

bool SizeFits(const std::vector<int> &v, int n) { return v.empty() || (long long)v.size() >= n; }

// The element block's arrays against its counts, and every known element's
// nodes against the connectivity.
bool ElementBlockConsistent(const FEElementBlock &b)
{
    if (b.iNumElements < 0 || b.iConnectLength < 0 ||
        (long long)b.connectivity.size() < b.iConnectLength ||
        (long long)b.starts.size() < b.iNumElements || !SizeFits(b.types, b.iNumElements) ||
        !SizeFits(b.ids, b.iNumElements) || !SizeFits(b.materialIds, b.iNumElements) ||
        !SizeFits(b.partIds, b.iNumElements))
        return false;
    for (int e = 0; e < b.iNumElements; e++) {
        int n = NKGetBlockElementNodeCount(b, e);
        if (NKReaderToModelElementType(NKGetBlockElementType(b, e)) == 18) continue;
        long long iStart = b.starts[(size_t)e];
        if (iStart < 0 || iStart + n > b.iConnectLength) return false;
    }
    return true;
}

bool NodeBlockConsistent(const FENodeBlock &b)
{
    return b.iNumNodes >= 0 && (long long)b.coords.size() >= 3LL * b.iNumNodes &&
           SizeFits(b.ids, b.iNumNodes);
}

// The connectivity of the known elements as node-block indices: ids become
// indices with bById; false for an unknown id or an index outside the block.
bool TranslateConnectivity(const FEElementBlock &b, const FENodeBlock &nodes, bool bById,
                           std::vector<int> *pConnects)
{
    pConnects->assign(b.connectivity.begin(), b.connectivity.begin() + b.iConnectLength);
    std::vector<int> order;
    if (bById) {
        order.resize((size_t)nodes.iNumNodes);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return nodes.ids[(size_t)x] < nodes.ids[(size_t)y]; });
    }
    for (int e = 0; e < b.iNumElements; e++) {
        if (NKReaderToModelElementType(NKGetBlockElementType(b, e)) == 18) continue;
        int iStart = b.starts[(size_t)e];
        for (int k = 0; k < NKGetBlockElementNodeCount(b, e); k++) {
            int &v = (*pConnects)[(size_t)(iStart + k)];
            if (bById) {
                auto it = std::lower_bound(order.begin(), order.end(), v, [&](int x, int id) {
                    return nodes.ids[(size_t)x] < id;
                });
                if (it == order.end() || nodes.ids[(size_t)*it] != v) return false;
                v = *it;
            } else if (v < 0 || v >= nodes.iNumNodes) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

// What one part is built from.
struct NKFEMInterface::PartJob {
    NKPart *pPart;
    int iBlock;
    const FEElementBlock *pBlock;
    const FENodeBlock *pNodes;
    const std::vector<int> *pConnects;
    std::vector<int> elements;  // the run's known elements in sorted order
};

bool NKFEMInterface::GeometryUnchanged(int iStepId)
{
    if (iStepId == m_iGeometryStepId) return true;
    if (m_iGeometryStepId == -1) return false;
    return Cap(NK_CAP_SAME_GEOMETRY) || m_pReader->GeometryDiffers(iStepId, m_iGeometryStepId) <= 0;
}

bool NKFEMInterface::BuildRuns(int *piNumRuns)
{
    *piNumRuns = 0;
    m_SortedElements.assign(m_ElementBlocks.size(), std::vector<int>());
    m_Runs.assign(m_ElementBlocks.size(), std::vector<Run>());
    for (size_t i = 0; i < m_ElementBlocks.size(); i++) {
        const FEElementBlock &b = m_ElementBlocks[i];
        const std::vector<int> *pKeys = nullptr;
        int m = m_iPartSplitMode;
        bool bAuto = m == NK_SPLIT_AUTOMATIC;
        if ((bAuto || m == NK_SPLIT_PART) && !b.partIds.empty()) {
            pKeys = &b.partIds;
            m_iSplitKind = NK_SPLIT_PART;
        } else if ((bAuto || m == NK_SPLIT_MATERIAL) && !b.materialIds.empty()) {
            pKeys = &b.materialIds;
            m_iSplitKind = NK_SPLIT_MATERIAL;
        } else if ((bAuto || m == NK_SPLIT_TYPE) && !b.types.empty()) {
            pKeys = &b.types;
            m_iSplitKind = NK_SPLIT_TYPE;
        } else {
            m_iSplitKind = NK_SPLIT_NONE;
        }
        std::vector<int> &sorted = m_SortedElements[i];
        sorted.resize((size_t)b.iNumElements);
        std::iota(sorted.begin(), sorted.end(), 0);
        if (b.iNumElements == 0) continue;
        if (pKeys == nullptr) {
            m_Runs[i].push_back(Run{1, 0, b.iNumElements - 1, m_iSplitKind});
        } else {
            const std::vector<int> &keys = *pKeys;
            std::stable_sort(sorted.begin(), sorted.end(),
                             [&](int x, int y) { return keys[(size_t)x] < keys[(size_t)y]; });
            for (int k = 0; k < b.iNumElements; k++) {
                int iKey = keys[(size_t)sorted[(size_t)k]];
                if (k == 0 || m_Runs[i].back().iKey != iKey)
                    m_Runs[i].push_back(Run{iKey, k, k, m_iSplitKind});
                else
                    m_Runs[i].back().iLast = k;
            }
        }
        *piNumRuns += (int)m_Runs[i].size();
    }
    return true;
}

NKString NKFEMInterface::PartName(int iBlock, const Run &run, int iRunNumber) const
{
    (void)iBlock;
    int k = run.iKey;
    if (run.iSplitKind == NK_SPLIT_TYPE) {
        NKString name = NKReaderElementName(k);
        return name.IsEmpty() ? NKString("Unknown") : name + "s";
    }
    if (run.iSplitKind == NK_SPLIT_NONE) return NKString::FromFormat("Part %d", iRunNumber + 1);
    bool bMaterial = run.iSplitKind == NK_SPLIT_MATERIAL;
    bool bIds = Cap(bMaterial ? NK_CAP_MATERIAL_IDS : NK_CAP_PART_IDS);
    NKString name = NKString::FromFormat(bMaterial ? "Material %d" : "Part %d", bIds ? k : k + 1);
    const std::vector<FENamedId> &names = bMaterial ? m_MaterialNames : m_PartNames;
    if (bIds) {
        for (const FENamedId &entry : names)
            if (entry.iId == k && !entry.szName.IsEmpty()) return NKString(entry.szName.GetText());
    } else if (k >= 0 && k < (int)names.size() && !names[(size_t)k].szName.IsEmpty()) {
        return NKString(names[(size_t)k].szName.GetText());
    }
    return name;
}

NKGeometry *NKFEMInterface::GetGeometry(int iStep)
{
    if (!IsValid()) {
        NKPrintInterfaceError(-8, nullptr);
        return nullptr;
    }
    int iStepId = GetStepId(iStep);
    if (iStepId == -1) {
        NKPrintInterfaceError(0, "Invalid step ID.");
        return nullptr;
    }
    if (GeometryUnchanged(iStepId)) return nullptr;
    if (m_bVerbose)
        NKSetStatusText(NKString::FromFormat("Getting geometry for step %d", iStep + 1).GetText());
    if (!SetStep(iStepId) || !FetchNodes()) return nullptr;
    if (GetNumElementBlocks() == 0) {
        NKPrintInterfaceError(0, "No element blocks found.");
        return nullptr;
    }
    NKGeometry *pGeo = nullptr;
    bool bConsistent =
        std::all_of(m_ElementBlocks.begin(), m_ElementBlocks.end(), ElementBlockConsistent) &&
        std::all_of(m_NodeBlocks.begin(), m_NodeBlocks.end(), NodeBlockConsistent);
    int iNumRuns = 0;
    int iReaderParts = 0;
    if (m_pReader->GetNumParts(&iReaderParts) != 1) iReaderParts = 0;
    if (!bConsistent) {
        NKPrintInterfaceError(0, "Unable to create part geometry.");
    } else if (BuildRuns(&iNumRuns) && iNumRuns == 0) {
        if (iReaderParts > 0)
            pGeo = NKCreateGeometry(iReaderParts);
        else
            NKPrintInterfaceError(0, "No parts found.");
    } else {
        pGeo = BuildGeometry(std::max(iReaderParts, iNumRuns), iNumRuns);
    }
    if (pGeo != nullptr && m_pModelInfo != nullptr)
        pGeo->szDescription = m_pModelInfo->szText1.Left(256);
    DropBlocks();
    m_iGeometryStepId = pGeo != nullptr ? iStepId : -1;
    return pGeo;
}

NKGeometry *NKFEMInterface::BuildGeometry(int iNumParts, int iNumRuns)
{
    NKGeometry *pGeo = NKCreateGeometry(iNumParts);
    if (pGeo == nullptr) {
        NKPrintInterfaceError(-6, nullptr);
        return nullptr;
    }
    if (m_bVerbose) NKBeginProgressBar(2 * iNumRuns, "Building geometry...");
    int iPart = 0, iPolygons = 0;
    bool bOk = true;
    for (int b = 0; bOk && b < (int)m_ElementBlocks.size(); b++)
        bOk = BuildBlockParts(pGeo, b, &iPart, &iPolygons);
    if (bOk) {
        NameExtraParts(pGeo, iPart);
    } else {
        NKReleaseGeometry(pGeo);
        pGeo = nullptr;
    }
    if (m_bVerbose) NKEndProgressBar(pGeo != nullptr ? "Done" : "Error getting geometry!");
    return pGeo;
}

// The parts of one element block's runs, from part *piPart on.
bool NKFEMInterface::BuildBlockParts(NKGeometry *pGeo, int iBlock, int *piPart, int *piPolygons)
{
    const FEElementBlock *pBlock = GetElements(iBlock);
    if (pBlock == nullptr) {
        NKPrintInterfaceError(0, "Unable to get element block.");
        return false;
    }
    if (m_Runs[(size_t)iBlock].empty()) return true;
    const FENodeBlock *pNodes = GetNodes(pBlock->iNodeBlock);
    if (pNodes == nullptr) {
        NKPrintInterfaceError(0, "Unable to get node block.");
        return false;
    }
    std::vector<int> connects;
    if (!TranslateConnectivity(*pBlock, *pNodes, Cap(NK_CAP_NODES_BY_ID), &connects)) {
        NKPrintInterfaceError(0, "Unable to create part geometry.");
        return false;
    }
    if (pBlock->bMergeCoincidentNodes && !connects.empty())
        NKMergeCoincidentNodes(connects.data(), (int)connects.size(),
                               (float(*)[3]) const_cast<float *>(pNodes->coords.data()),
                               pNodes->iNumNodes);
    const std::vector<Run> &runs = m_Runs[(size_t)iBlock];
    for (size_t r = 0; r < runs.size(); r++, (*piPart)++) {
        if (m_bVerbose)
            NKSetProgress(2 * *piPart + 1,
                          NKString::FromFormat("Building part %d", *piPart + 1).GetText());
        PartJob job{&pGeo->pParts[*piPart], iBlock, pBlock, pNodes, &connects, {}};
        for (int k = runs[r].iFirst; k <= runs[r].iLast; k++) {
            int e = m_SortedElements[(size_t)iBlock][(size_t)k];
            if (NKReaderToModelElementType(NKGetBlockElementType(*pBlock, e)) != 18)
                job.elements.push_back(e);
        }
        job.pPart->szName = PartName(iBlock, runs[r], (int)r);
        if (!BuildPart(job)) return false;
        job.pPart->iFirstPolygon = *piPolygons;
        *piPolygons += job.pPart->iNumPolygons;
        if (m_bVerbose) NKSetProgress(2 * *piPart + 2, nullptr);
    }
    return true;
}

// One part: polygons of the run's elements over the part's own nodes, the
// internal faces dropped, and its element records.
bool NKFEMInterface::BuildPart(PartJob &job)
{
    NKPart *pPart = job.pPart;
    pPart->iElementsBlockID = job.iBlock;
    pPart->iNodesBlockID = job.pBlock->iNodeBlock;
    if (job.elements.empty()) return true;
    NKReaderMesh mesh;
    const int *piConnects = job.pConnects->data();
    int n = (int)job.elements.size();
    if (!NKBuildPolygonMeshFromElements(*job.pBlock, piConnects, job.elements.data(), n, &mesh)) {
        NKPrintInterfaceError(-6, nullptr);
        return false;
    }
    NKIndexedFaceSet &f = mesh.faces;
    std::vector<int> scratch((size_t)job.pNodes->iNumNodes, 0);
    int *piNodes = nullptr, *piLocal = nullptr, iNumNodes = 0;
    bool bOk = NKMakeLocalConnectivity(f.piConnects, f.iConnectLength, scratch.data(), 1, &piNodes,
                                       &piLocal, &iNumNodes);
    if (bOk) {
        std::copy(piLocal, piLocal + f.iConnectLength, f.piConnects);
        f.iNumNodes = iNumNodes;
        bOk = HideInternalFaces(&f);
    }
    NKFree(piLocal);
    if (!bOk) {
        NKFree(piNodes);
        NKFreeReaderMesh(&mesh);
        NKPrintInterfaceError(0, "Unable to create part geometry.");
        return false;
    }
    std::vector<int> starts, counts, elements, connects;
    for (int p = 0; p < f.iNumPolygons; p++) {
        if (!f.pbKeep[p]) continue;
        starts.push_back((int)connects.size());
        counts.push_back(f.piPolygonNumNodes[p]);
        elements.push_back(f.piPolygonElement[p]);
        connects.insert(connects.end(), f.piConnects + f.piPolygonStart[p],
                        f.piConnects + f.piPolygonStart[p] + f.piPolygonNumNodes[p]);
    }
    NKFreeReaderMesh(&mesh);
    std::vector<float> coords((size_t)iNumNodes * 3);
    std::vector<int> ids;
    for (int i = 0; i < iNumNodes; i++) {
        std::copy_n(&job.pNodes->coords[(size_t)piNodes[i] * 3], 3, &coords[(size_t)i * 3]);
        if (!job.pNodes->ids.empty()) ids.push_back(job.pNodes->ids[(size_t)piNodes[i]]);
    }
    pPart->iNumNodes = iNumNodes;
    pPart->pNodeMap = piNodes;
    pPart->pNodeCoords = NKAllocCopy(coords);
    pPart->pNodeIDs = NKAllocCopy(ids);
    bool bAllocated = NKSetPartPolygons(pPart, connects, starts, counts, elements) &&
                      pPart->pNodeCoords != nullptr &&
                      (ids.empty() || pPart->pNodeIDs != nullptr) &&
                      NKBuildPartElements(*job.pBlock, piConnects, job.elements.data(), n, piNodes,
                                          iNumNodes, &pPart->pElements, &pPart->iNumElements,
                                          &pPart->pElementConnects, &pPart->iNumElementConnects);
    if (!bAllocated) NKPrintInterfaceError(-6, nullptr);
    return bAllocated;
}

// With parts split by part id, the empty parts beyond the runs take their
// names from the reader's part-name list.
void NKFEMInterface::NameExtraParts(NKGeometry *pGeo, int iFirst)
{
    if (m_iSplitKind != NK_SPLIT_PART) return;
    for (int i = iFirst; i < pGeo->iNumParts; i++)
        if (i < (int)m_PartNames.size() && !m_PartNames[(size_t)i].szName.IsEmpty())
            pGeo->pParts[i].szName = m_PartNames[(size_t)i].szName.GetText();
}
