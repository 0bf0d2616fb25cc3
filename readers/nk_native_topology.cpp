// readers/nk_native_topology.cpp -- the element topology file of the older
// native file set: solid elements added to the parts of a loaded geometry
// (contract in nk_native_geometry.h).
//
// The file is parsed whole first, so that a file that cannot be read leaves
// the geometry untouched. Elements then go to their parts; a node of another
// part is copied into the element's part with its values in every result of
// the frame, which keeps each part's nodes and result entries in step.
#include <cctype>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_arrays.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "readers/nk_native_file_utils.h"
#include "readers/nk_native_geometry.h"

namespace {

struct TopologyElement {
    int iType;
    int iFirstNode;  // into the node list
    int iNumNodes;
};

// Where a file node lives: its part and its index there; part -1 for none.
struct NodeHome {
    int iPart = -1;
    int iNode = -1;
};

// The next blank-separated word of the text, or "" at its end.
std::string NextWord(const char **ppCursor)
{
    const char *p = *ppCursor;
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) p++;
    const char *pStart = p;
    while (*p != '\0' && !std::isspace(static_cast<unsigned char>(*p))) p++;
    *ppCursor = p;
    std::string word(pStart, p);
    for (char &c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

// Type and node count of a section keyword; false for another word.
bool SectionType(const std::string &word, int *piType, int *piNodes)
{
    if (word == "tetra4")
        *piType = NK_ELEM_TETRAHEDRON, *piNodes = 4;
    else if (word == "penta6")
        *piType = NK_ELEM_PENTAHEDRON, *piNodes = 6;
    else if (word == "hexa8")
        *piType = NK_ELEM_HEXAHEDRON, *piNodes = 8;
    else
        return false;
    return true;
}

// Lines before the first keyword are skipped: the cursor moves to the first
// line whose first word is a keyword.
void SkipToFirstSection(const std::string &text, const char **ppCursor)
{
    size_t iLine = 0;
    while (iLine < text.size()) {
        const char *p = text.c_str() + iLine;
        int iType = 0, iNodes = 0;
        const char *q = p;
        std::string word = NextWord(&q);
        size_t iEnd = text.find('\n', iLine);
        bool bBlankLine = iEnd != std::string::npos && q > text.c_str() + iEnd;
        if (!bBlankLine && SectionType(word, &iType, &iNodes)) break;
        if (iEnd == std::string::npos) {
            iLine = text.size();
            break;
        }
        iLine = iEnd + 1;
    }
    *ppCursor = text.c_str() + iLine;
}

// False when a section cannot be read, or when the text holds no section at
// all: a file of other bytes is no volume file, though an empty section
// ("hexa8 0") is one; pWhy receives why.
bool ParseTopology(const std::string &text, std::vector<TopologyElement> *pElements,
                   std::vector<int> *pNodes, std::string *pWhy)
{
    const char *pCursor = nullptr;
    SkipToFirstSection(text, &pCursor);
    if (pCursor == text.c_str() + text.size()) {
        *pWhy = "it holds no element section (tetra4, penta6 or hexa8)";
        return false;
    }
    *pWhy = "its element sections cannot be read";
    for (std::string word = NextWord(&pCursor); !word.empty(); word = NextWord(&pCursor)) {
        int iType = 0, iPerElement = 0;
        if (!SectionType(word, &iType, &iPerElement)) {
            NKPrintError("Unknown element type encountered.");
            return false;
        }
        int32_t iCount = 0;
        if (NKScanIntWord(&pCursor, &iCount) != NK_WORD_NUMBER || iCount < 0 ||
            !NKNumbersFit(text, pCursor, static_cast<int64_t>(iCount) * iPerElement))
            return false;
        for (int e = 0; e < iCount; e++) {
            pElements->push_back({iType, static_cast<int>(pNodes->size()), iPerElement});
            for (int k = 0; k < iPerElement; k++) {
                int32_t iNode = 0;
                if (NKScanIntWord(&pCursor, &iNode) != NK_WORD_NUMBER) return false;
                pNodes->push_back(iNode);
            }
        }
    }
    return true;
}

std::vector<NodeHome> MapFileNodes(const NKGeometry *pGeo)
{
    std::vector<NodeHome> homes(
        static_cast<size_t>(pGeo->iGlobalNumNodes > 0 ? pGeo->iGlobalNumNodes : 0));
    for (int p = 0; p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        for (int j = 0; part.pNodeMap != nullptr && j < part.iNumNodes; j++) {
            int g = part.pNodeMap[j];
            if (g >= 0 && g < static_cast<int>(homes.size()) &&
                homes[static_cast<size_t>(g)].iPart < 0)
                homes[static_cast<size_t>(g)] = {p, j};
        }
    }
    return homes;
}

// The part an element joins: the lowest part of its nodes; -1 when a node
// has no part.
int ElementPart(const TopologyElement &e, const std::vector<int> &nodes,
                const std::vector<NodeHome> &homes)
{
    int iPart = -1;
    for (int k = 0; k < e.iNumNodes; k++) {
        int g = nodes[static_cast<size_t>(e.iFirstNode + k)] - 1;
        if (g < 0 || g >= static_cast<int>(homes.size()) || homes[static_cast<size_t>(g)].iPart < 0)
            return -1;
        int p = homes[static_cast<size_t>(g)].iPart;
        if (iPart < 0 || p < iPart) iPart = p;
    }
    return iPart;
}

// The six results of a frame whose part entries follow the part's nodes.
void FrameResults(NKFrame *pFrame, std::vector<NKScalarResult *> *pScalars,
                  std::vector<NKVectorResult *> *pVectors)
{
    pScalars->push_back(pFrame->pScalar);
    pVectors->push_back(pFrame->pVector);
    for (int i = 0; i < NK_NUM_EXTRA_RESULTS; i++) {
        pScalars->push_back(pFrame->pExtraScalar[i]);
        pVectors->push_back(pFrame->pExtraVector[i]);
    }
}

// Node j of part s copied to the end of part d, with its result values.
bool CopyNode(NKFrame *pFrame, NKGeometry *pGeo, int d, int s, int j)
{
    NKPart *pDst = &pGeo->pParts[d];
    int iOld = pDst->iNumNodes;
    if (!NKGrowPartNodes(pDst, 1) || !NKAppendPartNodes(pDst, &pGeo->pParts[s], j, j)) return false;
    std::vector<NKScalarResult *> scalars;
    std::vector<NKVectorResult *> vectors;
    FrameResults(pFrame, &scalars, &vectors);
    for (NKScalarResult *r : scalars) {
        if (r == nullptr || r->pNodeResults == nullptr || d >= r->iNumParts || s >= r->iNumParts)
            continue;
        NKScalarPartEntry *pE = &r->pNodeResults[d];
        const NKScalarPartEntry *pS = &r->pNodeResults[s];
        if (pE->pNodeValues == nullptr || pE->iCount != iOld || j >= pS->iCount) continue;
        if (!NKGrowScalarPartEntry(pE, 1) || !NKAppendScalarPartEntry(pE, pS, j, j)) return false;
    }
    for (NKVectorResult *r : vectors) {
        if (r == nullptr || r->pResults == nullptr || d >= r->iNumParts || s >= r->iNumParts)
            continue;
        NKVectorPartEntry *pE = &r->pResults[d];
        const NKVectorPartEntry *pS = &r->pResults[s];
        if (pE->pNodeValues == nullptr || pE->iNumNodes != iOld || j >= pS->iNumNodes) continue;
        if (!NKGrowVectorPartEntry(pE, 1) || !NKAppendVectorPartEntry(pE, pS, j, j)) return false;
    }
    return true;
}

bool AddElement(NKFrame *pFrame, NKGeometry *pGeo, int p, int iID, const TopologyElement &e,
                const std::vector<int> &nodes, const std::vector<NodeHome> &homes)
{
    NKPart *pPart = &pGeo->pParts[p];
    if (!NKGrowPartElements(pPart, 1, e.iNumNodes)) return false;
    int iStart = pPart->iNumElementConnects;
    for (int k = 0; k < e.iNumNodes; k++) {
        const NodeHome &home =
            homes[static_cast<size_t>(nodes[static_cast<size_t>(e.iFirstNode + k)] - 1)];
        int iLocal = home.iNode;
        if (home.iPart != p) {
            iLocal = pPart->iNumNodes;
            if (!CopyNode(pFrame, pGeo, p, home.iPart, home.iNode)) return false;
        }
        pPart->pElementConnects[iStart + k] = iLocal;
    }
    NKElement &element = pPart->pElements[pPart->iNumElements];
    element.iType = e.iType;
    element.iID = iID;
    element.iGlobalIndex = iID - 1;
    element.iNodeStart = iStart;
    pPart->iNumElements++;
    pPart->iNumElementConnects += e.iNumNodes;
    return true;
}

}  // namespace

bool NKReadElementTopology(const char *pszFileName, NKFrame *pFrame, std::string *pWhy)
{
    std::string why;
    if (pWhy == nullptr) pWhy = &why;
    pWhy->clear();
    if (pFrame == nullptr) pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr || pGeo->pParts == nullptr || pszFileName == nullptr) return false;
    std::string text;
    if (!NKReadWholeFile(pszFileName, &text, pWhy)) return false;
    NKSetStatusText("Reading element topology from file...");
    std::vector<TopologyElement> elements;
    std::vector<int> nodes;
    if (!ParseTopology(text, &elements, &nodes, pWhy)) return false;
    pWhy->clear();
    std::vector<NodeHome> homes = MapFileNodes(pGeo);
    for (size_t i = 0; i < elements.size(); i++) {
        int p = ElementPart(elements[i], nodes, homes);
        if (p < 0) continue;
        if (!AddElement(pFrame, pGeo, p, static_cast<int>(i) + 1, elements[i], nodes, homes))
            return false;
    }
    NKSetStatusText("Done reading element topology. ");
    NKSetStatusText("Computing polygon to element correspondance...");
    pGeo->iTotalNumNodes = 0;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        pGeo->iTotalNumNodes += pGeo->pParts[p].iNumNodes;
        if (pGeo->pParts[p].iNumElements > 0) NKBuildPolygonElementMap(&pGeo->pParts[p]);
    }
    NKSetStatusText("Done. ");
    return true;
}
