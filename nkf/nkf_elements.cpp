// nkf/nkf_elements.cpp -- the *ELEMENTS block after its parse: loading the
// connectivity, IDs and colour bindings, the reference check, the turning of
// node references into node indices, and the two part builders:
// NKCreatePartFromElements (element faces as polygons, by the face table
// below) and NKCreateElementList (the part's element records). The parse is
// in nkf_elements_parse.cpp; the used nodes are copied into the part's
// record by NKFCopyUsedNodes (nkf_nodes.cpp).
#include "nkf/nkf_elements.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_reader.h"

namespace {

// The polygons one element contributes, in local node numbers of the
// element. Line, shell and point elements are drawn whole (flag 1); volume
// elements contribute their faces (flag 0).
struct ElementFace {
    int iNumNodes;
    int aiNodes[8];
};

struct ElementFaces {
    int iNumFaces;
    unsigned char bWholeElement;
    ElementFace aFaces[6];
};

const ElementFaces g_aBeam = {1, 1, {{2, {0, 1}}}};
const ElementFaces g_aQuad = {1, 1, {{4, {0, 1, 2, 3}}}};
const ElementFaces g_aHexa = {6,
                              0,
                              {{4, {0, 1, 5, 4}},
                               {4, {1, 2, 6, 5}},
                               {4, {2, 3, 7, 6}},
                               {4, {3, 0, 4, 7}},
                               {4, {4, 5, 6, 7}},
                               {4, {0, 3, 2, 1}}}};

// Indexed by the element type code; the polygon and node totals of each row
// equal the face count and face-node total of NKElementTypeTable.
const ElementFaces g_aFaceTable[NK_ELEMENT_TYPE_COUNT] = {
    g_aBeam,                                  // 0 beam
    {2, 1, {{2, {0, 1}}, {2, {1, 2}}}},       // 1 beam, 3 nodes
    {1, 1, {{3, {0, 1, 2}}}},                 // 2 triangle
    {1, 1, {{6, {0, 3, 1, 4, 2, 5}}}},        // 3 triangle, 6 nodes
    g_aQuad,                                  // 4 quad
    {1, 1, {{8, {0, 4, 1, 5, 2, 6, 3, 7}}}},  // 5 quad, 8 nodes
    {4, 0, {{3, {0, 1, 3}}, {3, {1, 2, 3}}, {3, {2, 0, 3}}, {3, {0, 2, 1}}}},  // 6 tetrahedron
    {4,
     0,  // 7 tetrahedron, 10 nodes
     {{6, {0, 4, 1, 8, 3, 7}},
      {6, {1, 5, 2, 9, 3, 8}},
      {6, {2, 6, 0, 7, 3, 9}},
      {6, {0, 6, 2, 5, 1, 4}}}},
    g_aHexa,  // 8 hexahedron
    {6,
     0,  // 9 hexahedron, 20 nodes
     {{8, {0, 8, 1, 17, 5, 12, 4, 16}},
      {8, {1, 9, 2, 18, 6, 13, 5, 17}},
      {8, {2, 10, 3, 19, 7, 14, 6, 18}},
      {8, {3, 11, 0, 16, 4, 15, 7, 19}},
      {8, {4, 12, 5, 13, 6, 14, 7, 15}},
      {8, {0, 11, 3, 10, 2, 9, 1, 8}}}},
    {5,
     0,  // 10 pentahedron
     {{4, {0, 1, 4, 3}}, {4, {1, 2, 5, 4}}, {4, {2, 0, 3, 5}}, {3, {3, 4, 5}}, {3, {0, 2, 1}}}},
    {5,
     0,  // 11 pentahedron, 15 nodes
     {{8, {0, 6, 1, 13, 4, 9, 3, 12}},
      {8, {1, 7, 2, 14, 5, 10, 4, 13}},
      {8, {2, 8, 0, 12, 3, 11, 5, 14}},
      {6, {3, 9, 4, 10, 5, 11}},
      {6, {0, 8, 2, 7, 1, 6}}}},
    g_aHexa,             // 12 brick
    g_aHexa,             // 13 thick shell
    g_aQuad,             // 14 shell
    g_aQuad,             // 15 rigid shell
    g_aBeam,             // 16 second beam kind
    {1, 1, {{1, {0}}}},  // 17 point
    {0, 0, {}},          // 18 unknown
};

// NKCalloc for n ints that accepts n = 0 (the array then stays null).
bool AllocInts(int64_t n, int32_t **ppiArray)
{
    *ppiArray = nullptr;
    if (n <= 0) return n == 0;
    *ppiArray = (int32_t *)NKCalloc((size_t)n, sizeof(int32_t));
    return *ppiArray != nullptr;
}

}  // namespace

void NKFFreeElementList(NKFElementList *pList)
{
    if (pList == nullptr) return;
    NKFree(pList->pElements);
    NKFree(pList->piConnects);
    memset(pList, 0, sizeof *pList);
}

Elements::Elements(NKFReader *pReader, int iBlockID)
    : NKFBlock(pReader, iBlockID), m_Name(""), m_Description(""), m_iDescriptionBlockID(0),
      m_iNodeBlockID(0), m_iColorBlockID(0), m_pfBlockColor(nullptr), m_bColorsPerBlock(1),
      m_bImplicitColorBinding(1), m_bWithIDs(0), m_bNodeIDsMapped(0), m_ppiElements(nullptr),
      m_piElementTypes(nullptr), m_iNumSections(0), m_piNumElements(nullptr), m_ppiIDs(nullptr),
      m_iNumColorBindings(0), m_piColorBindings(nullptr), m_bExtendedSectionHeaders(0),
      m_cNodeReferenceMode(-1), m_bParsedRows(false)
{
    m_iBlockType = NKF_ELEMENTS;
}

Elements::~Elements()
{
    FreeData();
    NKFree(m_piElementTypes);
    NKFree(m_piNumElements);
    NKFree(m_pfBlockColor);
}

int Elements::GetNumItems()
{
    int64_t iTotal = 0;
    for (int s = 0; s < m_iNumSections; s++) iTotal += m_piNumElements[s];
    return (int)iTotal;  // the parse keeps the total within an int
}

void Elements::FreeData()
{
    for (int s = 0; s < m_iNumSections; s++) {
        if (m_ppiElements != nullptr) NKFree(m_ppiElements[s]);
        if (m_ppiIDs != nullptr) NKFree(m_ppiIDs[s]);
    }
    NKFreeAndClear(&m_ppiElements, &m_ppiIDs, &m_piColorBindings);
    m_bDataLoaded = false;
    m_bNodeIDsMapped = 0;
    DropParsedRows();
}

int Elements::GetSectionType(int iSection) const
{
    return iSection >= 0 && iSection < m_iNumSections ? m_piElementTypes[iSection] : -1;
}

int Elements::GetSectionCount(int iSection) const
{
    return iSection >= 0 && iSection < m_iNumSections ? m_piNumElements[iSection] : 0;
}

const int32_t *Elements::GetSectionConnectivity(int iSection) const
{
    if (m_ppiElements == nullptr || iSection < 0 || iSection >= m_iNumSections) return nullptr;
    return m_ppiElements[iSection];
}

const int32_t *Elements::GetSectionIDs(int iSection) const
{
    if (m_ppiIDs == nullptr || iSection < 0 || iSection >= m_iNumSections) return nullptr;
    return m_ppiIDs[iSection];
}

// A colour reference may name a *COLORS block or, through %MATERIAL, a
// *MATERIALS block; either satisfies it.
bool Elements::ResolveReferences()
{
    if (!CheckParsed("Element Block not parsed")) return false;
    if (!m_bNodeBlockGiven) return ReportFailure("No node block is specified in *ELEMENTS block.");
    const char *pszMissing = nullptr;
    int iMissing = 0;
    if (m_pReader->FindBlock(NKF_NODES, m_iNodeBlockID) == nullptr) {
        pszMissing = "Node block (*NODES) with id = ";
        iMissing = m_iNodeBlockID;
    } else if (m_iDescriptionBlockID > 0 &&
               m_pReader->FindBlock(NKF_DESCRIPTION, m_iDescriptionBlockID) == nullptr) {
        pszMissing = "Description block (*DESCRIPTION) with id = ";
        iMissing = m_iDescriptionBlockID;
    } else if (m_iColorBlockID > 0 &&
               m_pReader->FindBlock(NKF_COLORS, m_iColorBlockID) == nullptr &&
               m_pReader->FindBlock(NKF_MATERIALS, m_iColorBlockID) == nullptr) {
        pszMissing = "Color block (*COLORS) with id = ";
        iMissing = m_iColorBlockID;
    }
    if (pszMissing != nullptr) {
        ReportError(NKString(""),
                    NKString::FromFormat("%s%d not found in file", pszMissing, iMissing));
        return false;
    }
    if (!m_bColorsPerBlock && m_iColorBlockID <= 0) {
        ReportError(NKString(""), NKString("When using %COLORS_PER_ELEMENT, a color block "
                                           "(%COLORS #BlockID) must be specified."));
        return false;
    }
    if (!m_bImplicitColorBinding && m_iNumColorBindings == 0) {
        ReportError(NKString(""), NKString("When using %EXPLICIT_COLOR_BINDING, a color bindings "
                                           "section (%COLOR_BINDINGS) must exist in the block"));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Load

bool Elements::AllocateSectionTables()
{
    const char *pszError = nullptr;
    if (m_iNumSections > 0) {
        m_ppiElements = (int32_t **)NKCalloc((size_t)m_iNumSections, sizeof(int32_t *));
        if (m_ppiElements == nullptr) pszError = "Error allocating memory for m_ppElements";
        if (pszError == nullptr && m_bWithIDs) {
            m_ppiIDs = (int32_t **)NKCalloc((size_t)m_iNumSections, sizeof(int32_t *));
            if (m_ppiIDs == nullptr) pszError = "Error allocating memory for m_ppIDs";
        }
    }
    if (pszError == nullptr && !AllocInts(m_iNumColorBindings, &m_piColorBindings))
        pszError = "Error allocating memory for m_pColorBindings";
    if (pszError == nullptr) return true;
    ReportError(NKString(""), NKString(pszError));
    return false;
}

bool Elements::AllocateSection(int iSection)
{
    int64_t iCount = m_piNumElements[iSection];
    int64_t iRefs = iCount * NKFElementNodeCount(m_piElementTypes[iSection]);
    // A section's rows are filled whole by the binary read (or the load
    // fails and frees them); the ASCII walk fills them row by row.
    auto fnAlloc = [this](int64_t n, int32_t **ppiArray) {
        *ppiArray = nullptr;
        if (n <= 0) return n == 0;
        *ppiArray = (int32_t *)AllocRowData((size_t)n, sizeof(int32_t));
        return *ppiArray != nullptr;
    };
    bool bOk = fnAlloc(iRefs, &m_ppiElements[iSection]) &&
               (!m_bWithIDs || fnAlloc(iCount, &m_ppiIDs[iSection]));
    if (!bOk) ReportError(NKString(""), NKString("Error allocating memory for elements"));
    return bOk;
}

namespace {

// 1-based indices become 0-based; true when one of them names no node below
// uLimit. The loop has no branch and keeps the largest shifted index (an
// index of 0 wraps to the largest of all), so that it runs vectorised over a
// large block; the bad reference is looked for only once one was found.
bool ShiftIndexReferences(int32_t *piRefs, int64_t iRefs, uint32_t uLimit)
{
    uint32_t uLargest = 0;
    for (int64_t i = 0; i < iRefs; i++) {
        uint32_t u = (uint32_t)piRefs[i] - 1u;
        uLargest = std::max(uLargest, u);
        piRefs[i] = (int32_t)u;
    }
    return iRefs > 0 && uLargest >= uLimit;
}

}  // namespace

// Binary sections: the same headers the parse read, then the rows. With
// pConvertFor the node indices become 0-based as they are read, each piece
// while it is in the caches (sections of rows with IDs after their read).
bool Elements::LoadBinarySections(const NKFNodeBlock *pConvertFor)
{
    if (!SkipHeaderDirectives()) return false;
    int iNumNodes = pConvertFor != nullptr ? pConvertFor->GetNumNodes() : 0;
    uint32_t uLimit = iNumNodes > 0 ? (uint32_t)iNumNodes : 0u;
    for (int s = 0; s < m_iNumSections; s++) {
        int32_t iType = 0, iCount = 0;
        int64_t iHeaderBytes = 0;
        if (!ReadSectionHeader(&iType, &iCount, &iHeaderBytes)) return false;
        if (iType != m_piElementTypes[s] || iCount != m_piNumElements[s])
            return ReportFailure("Error reading element data");
        if (!AllocateSection(s)) return false;
        int n = NKFElementNodeCount(iType);
        int32_t *piIDs = m_bWithIDs ? m_ppiIDs[s] : nullptr;
        int32_t *piRefs = m_ppiElements[s];
        int64_t iRefs = (int64_t)iCount * n;
        bool bOk = true, bBad = false;
        if (iCount > 0 && n > 0 && piIDs == nullptr && pConvertFor != nullptr) {
            bOk = ReadIntsInPieces(piRefs, iRefs, [&](int64_t iFirst, int64_t iPiece) {
                bBad |= ShiftIndexReferences(piRefs + iFirst, iPiece, uLimit);
            });
        } else if (iCount > 0 && n > 0) {
            bOk = ReadIntRows(piRefs, n, iCount, piIDs);
            if (bOk && pConvertFor != nullptr) bBad = ShiftIndexReferences(piRefs, iRefs, uLimit);
        } else if (iCount > 0 && piIDs != nullptr) {
            bOk = m_pReader->ReadInts(piIDs, iCount);
        }
        if (!bOk) return ReportFailure("Error reading element data");
        if (bBad) return ReportBadIndexReference(s, pConvertFor);
    }
    return true;
}

bool Elements::LoadData()
{
    if (m_bDataLoaded) return true;
    if (!CheckParsed()) return false;
    if (!SeekPosition() || !AllocateSectionTables()) {
        FreeData();
        return false;
    }
    bool bOk = true, bConverted = false;
    if (m_pReader->IsAscii() && TakeParsedRows()) {
        // The parse converted every row.
    } else if (m_pReader->IsAscii()) {
        for (int s = 0; bOk && s < m_iNumSections; s++) bOk = AllocateSection(s);
        std::vector<int32_t> aiLoaded((size_t)m_iNumSections + 1, 0);
        if (bOk) {
            SkipAsciiHeaderLines();
            bOk = WalkAsciiBody(true, aiLoaded.data());
            for (int s = 0; bOk && s < m_iNumSections; s++) bOk = aiLoaded[s] == m_piNumElements[s];
            bOk = bOk && aiLoaded[m_iNumSections] == m_iNumColorBindings;
            if (!bOk) ReportError(NKString(""), NKString("Error reading element data"));
        }
    } else {
        // Index references are converted as the rows come in.
        NKFNodeBlock *pTarget = FindNodeBlock();
        bConverted = pTarget != nullptr && !ReferencesAreIDs(pTarget);
        bOk = LoadBinarySections(bConverted ? pTarget : nullptr);
    }
    NKFNodeBlock *pNodes = bOk ? FindNodeBlock() : nullptr;
    if (bOk && pNodes == nullptr) {
        ReportError(NKString(""),
                    NKString::FromFormat("Element block #%d refers to node block #%d. The node "
                                         "block is not found.",
                                         m_iBlockID, m_iNodeBlockID));
        bOk = false;
    }
    if (bOk && !bConverted && !ReferencesAreIDs(pNodes)) bOk = ConvertIndexReferences(pNodes);
    if (!FinishLoad(bOk)) return false;
    m_bNodeIDsMapped = 0;
    return true;
}

// ---------------------------------------------------------------------------
// Node references

NKFNodeBlock *Elements::FindNodeBlock()
{
    return dynamic_cast<NKFNodeBlock *>(m_pReader->FindBlock(NKF_NODES, m_iNodeBlockID));
}

// References are user IDs when the block says so (%MAP_NODE_IDS) or leaves
// it to a node block that has IDs. A node block without IDs can only be
// referred to by index, whatever the mode says.
bool Elements::ReferencesAreIDs(const NKFNodeBlock *pNodes) const
{
    return m_cNodeReferenceMode != 0 && pNodes->HasIDs();
}

// 1-based indices become 0-based; each must name a node of the node block.
bool Elements::ConvertIndexReferences(const NKFNodeBlock *pNodes)
{
    int iNumNodes = pNodes->GetNumNodes();
    uint32_t uLimit = iNumNodes > 0 ? (uint32_t)iNumNodes : 0u;
    for (int s = 0; s < m_iNumSections; s++) {
        int64_t iRefs = (int64_t)m_piNumElements[s] * NKFElementNodeCount(m_piElementTypes[s]);
        if (ShiftIndexReferences(m_ppiElements[s], iRefs, uLimit))
            return ReportBadIndexReference(s, pNodes);
    }
    return true;
}

// Reports the first reference of section iSection (already 0-based) that
// names no node of the node block; false.
bool Elements::ReportBadIndexReference(int iSection, const NKFNodeBlock *pNodes)
{
    int iNumNodes = pNodes->GetNumNodes();
    uint32_t uLimit = iNumNodes > 0 ? (uint32_t)iNumNodes : 0u;
    int64_t iRefs =
        (int64_t)m_piNumElements[iSection] * NKFElementNodeCount(m_piElementTypes[iSection]);
    const int32_t *piRefs = m_ppiElements[iSection];
    for (int64_t i = 0; i < iRefs; i++) {
        uint32_t u = (uint32_t)piRefs[i];
        if (u < uLimit) continue;
        ReportError(NKString(""),
                    NKString::FromFormat("Refers to node %d, but node block #%d holds %d nodes.",
                                         (int32_t)(u + 1u), m_iNodeBlockID, iNumNodes));
        break;
    }
    return false;
}

// User IDs become node indices through the node block's sorted IDs (its
// data loaded). A failure leaves the block unloaded, since some sections
// may already be mapped; the next load reads the file again.
bool Elements::MapNodeIDs(NKFNodeBlock *pNodes)
{
    if (m_bNodeIDsMapped) return true;
    bool bOk = pNodes->GetIDs() != nullptr;
    for (int s = 0; bOk && s < m_iNumSections; s++) {
        int64_t iRefs = (int64_t)m_piNumElements[s] * NKFElementNodeCount(m_piElementTypes[s]);
        if (iRefs < 1) continue;
        bOk = NKMapNodeIdsToIndices(pNodes->GetIDs(), pNodes->GetSortedOrder(),
                                    pNodes->GetNumNodes(), m_ppiElements[s], (int)iRefs);
    }
    if (!bOk) {
        ReportError(NKString(""), NKString("Error processing User defined node IDs."));
        FreeData();
        return false;
    }
    m_bNodeIDsMapped = 1;
    return true;
}

// Loads the block and makes sure its references are node indices, loading
// the node block for the ID map when needed (and freeing it again when it
// was not loaded before).
bool Elements::PrepareNodeIndices()
{
    if (!LoadData()) return false;
    NKFNodeBlock *pNodes = FindNodeBlock();
    if (pNodes == nullptr) return false;  // LoadData reported it
    if (m_bNodeIDsMapped || !ReferencesAreIDs(pNodes)) return true;
    bool bWasLoaded = pNodes->IsDataLoaded();
    bool bOk = pNodes->LoadData() && MapNodeIDs(pNodes);
    if (!bWasLoaded) pNodes->FreeData();
    return bOk;
}

// ---------------------------------------------------------------------------
// Part building

// Appends the polygons of every element, in section and element order, by
// the face table. piLocal maps each referenced node-block index to its
// part-local index (null: the part uses every node, so the indices stay);
// the record's arrays are sized by the totals.
bool Elements::AppendElementFaces(NKIndexedFaceSet *pIFS, const int32_t *piLocal)
{
    int32_t p = 0, c = 0, e = 0;
    for (int s = 0; s < m_iNumSections; s++) {
        int iType = m_piElementTypes[s];
        int n = NKFElementNodeCount(iType);
        const ElementFaces &faces = g_aFaceTable[iType];
        for (int32_t i = 0; i < m_piNumElements[s]; i++, e++) {
            const int32_t *piRefs = m_ppiElements[s] + (int64_t)i * n;
            for (int f = 0; f < faces.iNumFaces; f++, p++) {
                const ElementFace &face = faces.aFaces[f];
                pIFS->piPolygonStart[p] = c;
                pIFS->piPolygonNumNodes[p] = face.iNumNodes;
                pIFS->piPolygonElement[p] = e;
                pIFS->pbWholeElement[p] = faces.bWholeElement;
                if (piLocal == nullptr)
                    for (int k = 0; k < face.iNumNodes; k++)
                        pIFS->piConnects[c++] = piRefs[face.aiNodes[k]];
                else
                    for (int k = 0; k < face.iNumNodes; k++)
                        pIFS->piConnects[c++] = piLocal[piRefs[face.aiNodes[k]]];
            }
        }
    }
    return p == pIFS->iNumPolygons && c == pIFS->iConnectLength;
}

// Per node-block index of the iNumNodes, its part-local index (the nodes the
// element faces use, numbered in ascending node-block order) or -1; *ppiUsed
// receives the used node-block indices in that order, *piNumUsed their
// count. False for a reference outside the node block, no used node, or
// memory running out (nothing is left allocated then).
bool Elements::NumberFaceNodes(int iNumNodes, int32_t **ppiLocal, int **ppiUsed, int *piNumUsed)
{
    *ppiLocal = nullptr;
    *ppiUsed = nullptr;
    *piNumUsed = 0;
    if (iNumNodes < 1) return false;
    int32_t *piLocal = (int32_t *)NKAlloc((size_t)iNumNodes * sizeof(int32_t));
    if (piLocal == nullptr) return false;
    for (int k = 0; k < iNumNodes; k++) piLocal[k] = -1;
    uint32_t uLimit = (uint32_t)iNumNodes;
    bool bBad = false;
    for (int s = 0; s < m_iNumSections; s++) {
        int iType = m_piElementTypes[s];
        int n = NKFElementNodeCount(iType);
        // Which of the element's nodes lie on one of its faces.
        std::vector<unsigned char> onFace((size_t)n, 0);
        const ElementFaces &faces = g_aFaceTable[iType];
        for (int f = 0; f < faces.iNumFaces; f++)
            for (int k = 0; k < faces.aFaces[f].iNumNodes; k++)
                onFace[(size_t)faces.aFaces[f].aiNodes[k]] = 1;
        const int32_t *piRefs = m_ppiElements[s];
        for (int32_t i = 0; i < m_piNumElements[s]; i++, piRefs += n)
            for (int k = 0; k < n; k++) {
                if (onFace[(size_t)k] == 0) continue;
                uint32_t u = (uint32_t)piRefs[k];
                if (u >= uLimit) {
                    bBad = true;
                    continue;
                }
                piLocal[u] = 0;
            }
    }
    int iNumUsed = 0;
    for (int k = 0; k < iNumNodes; k++)
        if (piLocal[k] == 0) iNumUsed++;
    int *piUsed = !bBad && iNumUsed > 0 ? (int *)NKAlloc((size_t)iNumUsed * sizeof(int)) : nullptr;
    if (piUsed == nullptr) {
        NKFree(piLocal);
        return false;
    }
    int iAt = 0;
    for (int k = 0; k < iNumNodes; k++) {
        if (piLocal[k] < 0) continue;
        piLocal[k] = iAt;
        piUsed[iAt++] = k;
    }
    *ppiLocal = piLocal;
    *ppiUsed = piUsed;
    *piNumUsed = iNumUsed;
    return true;
}

bool Elements::NKCreatePartFromElements(NKIndexedFaceSet *pIFS, bool bFreeNodeData)
{
    if (pIFS == nullptr) return false;
    if (m_iNumSections < 1) return true;
    if (!LoadData()) return false;
    NKFNodeBlock *pNodes = NKFLoadReferencedNodes(this, m_iNodeBlockID);
    if (pNodes == nullptr) return false;
    int64_t iPolygons = 0, iConnects = 0;
    for (int s = 0; s < m_iNumSections; s++) {
        iPolygons += (int64_t)NKFElementFaceCount(m_piElementTypes[s]) * m_piNumElements[s];
        iConnects += (int64_t)NKFElementFaceNodeCount(m_piElementTypes[s]) * m_piNumElements[s];
    }
    NKInitPolygonMesh(pIFS);
    bool bOk = true;
    if (iPolygons > INT32_MAX || iConnects > INT32_MAX) {
        ReportError(NKString(""), NKString("Too many polygons in element block."));
        bOk = false;
    } else if (iPolygons >= 1 && iConnects >= 1) {
        bOk = (!ReferencesAreIDs(pNodes) || MapNodeIDs(pNodes)) &&
              FillFaceSet(pIFS, pNodes, (int32_t)iPolygons, (int32_t)iConnects, bFreeNodeData);
    }
    if (!bOk) NKFreePolygonMesh(pIFS);
    if (bFreeNodeData) pNodes->FreeData();
    return bOk;
}

// Copies the used nodes into the record first (the node block's data is
// freed right after when bFreeNodeData is set, before the large polygon
// arrays exist), then allocates the record for the totals and appends the
// element faces in part-local numbers.
bool Elements::FillFaceSet(NKIndexedFaceSet *pIFS, NKFNodeBlock *pNodes, int32_t iPolygons,
                           int32_t iConnects, bool bFreeNodeData)
{
    int32_t *piLocal = nullptr;
    int *piUsed = nullptr;
    int iNumUsed = 0;
    bool bOk = pNodes->GetCoords() != nullptr &&
               NumberFaceNodes(pNodes->GetNumNodes(), &piLocal, &piUsed, &iNumUsed);
    if (bOk && bFreeNodeData)
        bOk = NKFTakeUsedNodes(pIFS, piUsed, iNumUsed, pNodes);
    else if (bOk)
        bOk = NKFCopyUsedNodes(pIFS, piUsed, iNumUsed, pNodes);
    if (bFreeNodeData) pNodes->FreeData();
    if (bOk && iNumUsed == pNodes->GetNumNodes()) {
        // Every node is used: the local numbers are the node-block indices.
        NKFree(piLocal);
        piLocal = nullptr;
    }
    if (bOk) {
        // Every element's faces are appended: each array is filled whole.
        pIFS->piPolygonStart = (int *)NKAllocToFill((size_t)iPolygons * sizeof(int));
        pIFS->piPolygonNumNodes = (int *)NKAllocToFill((size_t)iPolygons * sizeof(int));
        pIFS->piPolygonElement = (int *)NKAllocToFill((size_t)iPolygons * sizeof(int));
        pIFS->pbWholeElement = (unsigned char *)NKAllocToFill((size_t)iPolygons);
        pIFS->piConnects = (int *)NKAllocToFill((size_t)iConnects * sizeof(int));
        bOk = pIFS->piPolygonStart != nullptr && pIFS->piPolygonNumNodes != nullptr &&
              pIFS->piPolygonElement != nullptr && pIFS->pbWholeElement != nullptr &&
              pIFS->piConnects != nullptr;
    }
    if (bOk) {
        pIFS->iNumPolygons = iPolygons;
        pIFS->iConnectLength = iConnects;
        bOk = AppendElementFaces(pIFS, piLocal);
    }
    NKFree(piLocal);
    if (!bOk) ReportError(NKString(""), NKString("Out of memory."));
    return bOk;
}

// Per node-block index up to the part's largest, its part-local index, or -1
// when the part does not hold the node: one pass over the part's node-block
// indices instead of a search per reference. *ppiTable (null when the part
// has no nodes) holds *piSize entries. False when memory runs out.
static bool MakeLocalNodeTable(const int32_t *piSource, int iCount, int32_t **ppiTable,
                               int64_t *piSize)
{
    *ppiTable = nullptr;
    *piSize = 0;
    int64_t iMax = -1;
    for (int i = 0; piSource != nullptr && i < iCount; i++)
        iMax = std::max(iMax, (int64_t)piSource[i]);
    if (iMax < 0) return true;
    int32_t *piTable = (int32_t *)NKAlloc(((size_t)iMax + 1) * sizeof(int32_t));
    if (piTable == nullptr) return false;
    for (int64_t k = 0; k <= iMax; k++) piTable[k] = -1;
    // Downwards, so that a repeated index names its first position.
    for (int i = iCount - 1; i >= 0; i--)
        if (piSource[i] >= 0) piTable[piSource[i]] = i;
    *ppiTable = piTable;
    *piSize = iMax + 1;
    return true;
}

bool Elements::NKCreateElementList(NKFElementList *pList, const int32_t *piNodeSourceIndex,
                                   int iCount)
{
    if (pList == nullptr) return false;
    memset(pList, 0, sizeof *pList);
    if (!PrepareNodeIndices()) return false;
    int32_t iNumElements = GetNumItems();
    int64_t iConnects = 0;
    for (int s = 0; s < m_iNumSections; s++)
        iConnects += (int64_t)m_piNumElements[s] * NKFElementNodeCount(m_piElementTypes[s]);
    if (iNumElements < 1) return true;
    if (iConnects > INT32_MAX) return false;
    pList->pElements = (NKElement *)NKCalloc((size_t)iNumElements, sizeof(NKElement));
    if (!AllocInts(iConnects, &pList->piConnects) || pList->pElements == nullptr) {
        NKFFreeElementList(pList);
        return false;
    }
    int32_t *piLocal = nullptr;
    int64_t iTableSize = 0;
    if (!MakeLocalNodeTable(piNodeSourceIndex, iCount, &piLocal, &iTableSize)) {
        NKFFreeElementList(pList);
        return false;
    }
    int32_t e = 0, c = 0;
    for (int s = 0; s < m_iNumSections; s++) {
        int iType = m_piElementTypes[s];
        int n = NKFElementNodeCount(iType);
        for (int32_t i = 0; i < m_piNumElements[s]; i++, e++) {
            NKElement &rec = pList->pElements[e];
            rec.iType = iType;
            rec.iID = m_bWithIDs ? m_ppiIDs[s][i] : e + 1;
            rec.iNodeStart = c;
            const int32_t *piRefs = m_ppiElements[s] + (int64_t)i * n;
            for (int k = 0; k < n; k++) {
                int32_t iRef = piRefs[k];
                pList->piConnects[c++] = iRef >= 0 && iRef < iTableSize ? piLocal[iRef] : -1;
            }
        }
    }
    NKFree(piLocal);
    pList->iNumElements = iNumElements;
    pList->iNumConnects = (int32_t)iConnects;
    return true;
}

int Elements::GetElementId(int iIndex)
{
    if (!m_bWithIDs || iIndex < 0 || !LoadData()) return -1;
    for (int s = 0; s < m_iNumSections; s++) {
        if (iIndex < m_piNumElements[s]) return m_ppiIDs[s][iIndex];
        iIndex -= m_piNumElements[s];
    }
    return -1;
}
