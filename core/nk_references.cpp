// core/nk_references.cpp -- node, element and polygon references and the
// part flag setters (see nk_references.h).
//
// Reference texts are read with NKString; numbers must be whole integers
// ("5x" is not 5). Coordinates come through GetPartNodeCoords
// (nk_frame_results.h) and leave through DisplayToModel (nk_bbox.h); the
// setters walk g_pModel's frames with the geometry pass marks of nk_frames.h.
#include "core/nk_references.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_string.h"

namespace {

const NKPart *GetPart(const NKGeometry *pGeo, int iPart)
{
    if (pGeo == nullptr || pGeo->pParts == nullptr || iPart < 0 || iPart >= pGeo->iNumParts)
        return nullptr;
    return &pGeo->pParts[iPart];
}

// A whole decimal integer (optional sign); false for anything else.
bool ParseInteger(const NKString &word, int *piValue)
{
    const char *pszText = word.GetText();
    if (*pszText == '\0') return false;
    char *pEnd = nullptr;
    errno = 0;
    long lValue = std::strtol(pszText, &pEnd, 10);
    if (*pEnd != '\0' || errno == ERANGE || lValue < INT_MIN || lValue > INT_MAX) return false;
    *piValue = static_cast<int>(lValue);
    return true;
}

// Splits a reference text. With a comma: runs of blanks become one, the
// blanks around the comma go, *pbPart is set and pBefore receives the text
// before the comma; pAfter receives the word after it. Without a comma:
// pAfter receives the first word.
void SplitReference(const NKString &text, bool *pbPart, NKString *pBefore, NKString *pAfter)
{
    NKString s = text;
    s.Simplify();
    int iComma = s.FindChar(',');
    *pbPart = iComma >= 0;
    if (*pbPart) {
        s.ReplaceAll(" ,", ",");
        s.ReplaceAll(", ", ",");
        iComma = s.FindChar(',');
        *pBefore = s.Left(iComma);
        s = s.Substring(iComma + 1);
    }
    int iBlank = s.FindChar(' ');
    *pAfter = iBlank >= 0 ? s.Left(iBlank) : s;
}

// The 1-based part number before a comma, as a part index; false unless it
// is a number in 1..iNumParts.
bool ParsePartNumber(const NKString &word, const NKGeometry *pGeo, int *piPart)
{
    int p = 0;
    if (!ParseInteger(word, &p) || p < 1 || p > pGeo->iNumParts) return false;
    *piPart = p - 1;
    return true;
}

// The index of node ID k in the part: a search of its IDs, or k - 1 when it
// has none; -1 when not there.
int FindNodeInPart(const NKPart &part, int k)
{
    if (part.pNodeIDs == nullptr) return k >= 1 && k <= part.iNumNodes ? k - 1 : -1;
    for (int i = 0; i < part.iNumNodes; i++) {
        if (part.pNodeIDs[i] == k) return i;
    }
    return -1;
}

int FindElementInPart(const NKPart &part, int id)
{
    if (part.pElements == nullptr) return -1;
    for (int i = 0; i < part.iNumElements; i++) {
        if (part.pElements[i].iID == id) return i;
    }
    return -1;
}

// The part index range of a 1-based part number or -1; false for 0, numbers
// below -1 and numbers beyond the part count.
bool PartSearchRange(int iPartNumber, const NKGeometry *pGeo, int *piFirst, int *piLast)
{
    if (iPartNumber == -1) {
        *piFirst = 0;
        *piLast = pGeo->iNumParts - 1;
        return true;
    }
    if (iPartNumber < 1 || iPartNumber > pGeo->iNumParts) return false;
    *piFirst = *piLast = iPartNumber - 1;
    return true;
}

// Searches parts iPartNumber (1-based, or -1 for all) with the finder; the
// first match is written to pRef.
template <typename Finder>
bool FindByID(NKPartItemRef *pRef, const NKGeometry *pGeo, Finder find)
{
    if (pRef == nullptr || pGeo == nullptr || pGeo->pParts == nullptr) return false;
    int iFirst = 0, iLast = -1;
    if (!PartSearchRange(pRef->iPart, pGeo, &iFirst, &iLast)) return false;
    for (int p = iFirst; p <= iLast; p++) {
        int i = find(pGeo->pParts[p], pRef->iIndex);
        if (i < 0) continue;
        pRef->iPart = p;
        pRef->iIndex = i;
        return true;
    }
    return false;
}

}  // namespace

// ---- IDs ---------------------------------------------------------------------------

int NKGetNodeID(int iPart, int iNode, const NKGeometry *pGeo)
{
    const NKPart *pPart = GetPart(pGeo, iPart);
    if (pPart == nullptr) return 0;
    if (pPart->pNodeIDs == nullptr) return iNode + 1;
    return iNode >= 0 && iNode < pPart->iNumNodes ? pPart->pNodeIDs[iNode] : 0;
}

int NKGetElementID(int iPart, int iElement, const NKGeometry *pGeo)
{
    const NKPart *pPart = GetPart(pGeo, iPart);
    if (pPart == nullptr || pPart->pElements == nullptr) return -1;
    if (iElement < 0 || iElement >= pPart->iNumElements) return -1;
    return pPart->pElements[iElement].iID;
}

bool NKGetNodeIdRange(const NKGeometry *pGeo, int *piMin, int *piMax)
{
    int iMin = INT_MAX, iMax = -1;
    bool bFound = false;
    for (int p = 0; pGeo != nullptr && pGeo->pParts != nullptr && p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        if (part.pNodeIDs == nullptr) continue;
        bFound = true;
        for (int i = 0; i < part.iNumNodes; i++) {
            if (part.pNodeIDs[i] < iMin) iMin = part.pNodeIDs[i];
            if (part.pNodeIDs[i] > iMax) iMax = part.pNodeIDs[i];
        }
    }
    if (piMin != nullptr) *piMin = iMin;
    if (piMax != nullptr) *piMax = iMax;
    return bFound;
}

bool NKFindNodeByID(NKPartItemRef *pRef, const NKGeometry *pGeo)
{
    return FindByID(pRef, pGeo, FindNodeInPart);
}

bool NKFindElementByID(NKPartItemRef *pRef, const NKGeometry *pGeo)
{
    return FindByID(pRef, pGeo, FindElementInPart);
}

// Element connectivity entries are checked against the part's nodes, so a
// damaged element cannot make this read past the coordinates.
bool NKGetElementNodeCoords(NKFrame *pFrame, const NKPartItemRef *pRef, float *pfPoints, int n)
{
    if (pFrame == nullptr || pRef == nullptr || pfPoints == nullptr) return false;
    NKPart *pPart = NKGetFramePart(pFrame, pRef->iPart);
    if (pPart == nullptr || pPart->pElements == nullptr || pPart->pElementConnects == nullptr)
        return false;
    if (pRef->iIndex < 0 || pRef->iIndex >= pPart->iNumElements) return false;
    const float *pfCoords = GetPartNodeCoords(pRef->iPart, pPart, pFrame);
    if (pfCoords == nullptr) return false;
    int iStart = pPart->pElements[pRef->iIndex].iNodeStart;
    if (n < 0 || iStart < 0 || iStart > pPart->iNumElementConnects - n) return false;
    for (int j = 0; j < n; j++) {
        int iNode = pPart->pElementConnects[iStart + j];
        if (iNode < 0 || iNode >= pPart->iNumNodes) return false;
        for (int k = 0; k < 3; k++) pfPoints[3 * j + k] = pfCoords[3 * iNode + k];
        DisplayToModel(&pfPoints[3 * j]);
    }
    return true;
}

// ---- Parsing references ---------------------------------------------------------------

// A node or element reference: "[part:]id", found by pfnFind.
static bool ParseItemSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut,
                          bool (*pfnFind)(NKPartItemRef *, const NKGeometry *))
{
    if (pGeo == nullptr || pGeo->pParts == nullptr || pOut == nullptr) return false;
    bool bPart = false;
    NKString partWord, idWord;
    SplitReference(text, &bPart, &partWord, &idWord);
    int iPart = -1, id = 0;
    if (bPart && !ParsePartNumber(partWord, pGeo, &iPart)) return false;
    if (!ParseInteger(idWord, &id)) return false;
    NKPartItemRef ref = {bPart ? iPart + 1 : -1, id};
    if (!pfnFind(&ref, pGeo)) return false;
    *pOut = ref;
    return true;
}

bool NKParseNodeSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut)
{
    return ParseItemSpec(pGeo, text, pOut, NKFindNodeByID);
}

bool NKParseElementSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut)
{
    return ParseItemSpec(pGeo, text, pOut, NKFindElementByID);
}

bool NKParsePolygonSpec(const NKGeometry *pGeo, const NKString &text, NKPartItemRef *pOut,
                        bool bAllowBare)
{
    if (pOut == nullptr) return false;
    pOut->iPart = -1;
    pOut->iIndex = -1;
    if (pGeo == nullptr || pGeo->pParts == nullptr) return false;
    bool bPart = false;
    NKString partWord, polygonWord;
    SplitReference(text, &bPart, &partWord, &polygonWord);
    int iPart = -1, q = 0;
    if (!bPart && !bAllowBare) return false;
    if (bPart && !ParsePartNumber(partWord, pGeo, &iPart)) return false;
    if (!ParseInteger(polygonWord, &q) || q < 1) return false;
    if (bPart) {
        if (q > pGeo->pParts[iPart].iNumPolygons) return false;
    } else {
        for (int p = 0; p < pGeo->iNumParts && iPart < 0; p++) {
            if (pGeo->pParts[p].iNumPolygons > q - 1) iPart = p;
        }
        if (iPart < 0) return false;
    }
    pOut->iPart = iPart;
    pOut->iIndex = q - 1;
    return true;
}

// ---- Part flag setters -------------------------------------------------------------------

namespace {

// Hands every frame's geometry to visit, each shared geometry once.
template <typename Visit>
void ForEachSharedGeometry(int iFirstFrame, int iLastFrame, Visit visit)
{
    NKResetGeometryMarks();
    for (int f = iFirstFrame; f <= iLastFrame; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        if (pGeo == nullptr || pGeo->pParts == nullptr || pGeo->iProcessed != -1) continue;
        pGeo->iProcessed = f;
        visit(pGeo);
    }
}

bool HasFrames(void)
{
    return g_pModel != nullptr && g_pModel->pFrames != nullptr && g_pModel->iNumFrames > 0;
}

// Applies change to parts first..last of every frame's geometry. The range is
// resolved against frame 0's geometry and then clamped to each geometry's own
// parts, so a geometry with fewer parts is never written past its part array.
template <typename Change>
void ForPartRange(int iFirst, int iLast, Change change)
{
    if (!HasFrames()) return;
    const NKGeometry *pFirstGeo = g_pModel->pFrames[0].pGeometry;
    int iLastOfFirst = pFirstGeo != nullptr ? pFirstGeo->iNumParts - 1 : -1;
    if (iFirst < 0) iFirst = 0;
    if (iLast < 0 || iLast > iLastOfFirst) iLast = iLastOfFirst;
    ForEachSharedGeometry(0, g_pModel->iNumFrames - 1, [&](NKGeometry *pGeo) {
        int iEnd = iLast < pGeo->iNumParts ? iLast : pGeo->iNumParts - 1;
        for (int p = iFirst; p <= iEnd; p++) change(pGeo->pParts[p]);
    });
}

void ClearTexture(NKPart &part)
{
    part.pTexture = nullptr;
    part.uTextureMode[0] = 0;
    part.uTextureMode[1] = 0;
}

}  // namespace

void NKSelectParts(int iFirst, int iLast, uint8_t uValue)
{
    ForPartRange(iFirst, iLast, [uValue](NKPart &part) { part.bSelected = uValue; });
}

uint8_t NKIsPartSelected(int iPart)
{
    const NKPart *pPart = GetPart(NKGetCurrentGeometry(), iPart);
    return pPart != nullptr ? pPart->bSelected : 0;
}

bool NKClearPartsCulled(int iFrame)
{
    if (!HasFrames() || iFrame >= g_pModel->iNumFrames) return true;
    int iFirst = iFrame < 0 ? 0 : iFrame;
    int iLast = iFrame < 0 ? g_pModel->iNumFrames - 1 : iFrame;
    ForEachSharedGeometry(iFirst, iLast, [](NKGeometry *pGeo) {
        for (int p = 0; p < pGeo->iNumParts; p++) pGeo->pParts[p].bCulled = 0;
    });
    return true;
}

void NKSetPartsShowNormals(int iFirst, int iLast, uint8_t uOn)
{
    ForPartRange(iFirst, iLast, [uOn](NKPart &part) { part.bShowNormals = uOn; });
}

bool NKSetPartsTexture(int iFirst, int iLast, ImageRecord *pTexture)
{
    ForPartRange(iFirst, iLast, [pTexture](NKPart &part) { part.pTexture = pTexture; });
    return true;
}

bool NKClearPartsTexture(int iFirst, int iLast)
{
    ForPartRange(iFirst, iLast, ClearTexture);
    return true;
}

bool NKRemoveTextureFromParts(ImageRecord *pTexture)
{
    if (!HasFrames()) return true;
    ForEachSharedGeometry(0, g_pModel->iNumFrames - 1, [pTexture](NKGeometry *pGeo) {
        for (int p = 0; p < pGeo->iNumParts; p++) {
            NKPart &part = pGeo->pParts[p];
            if (pTexture == nullptr || part.pTexture == pTexture) ClearTexture(part);
        }
    });
    return true;
}

bool NKSetPartsTextureFlags(int iFirst, int iLast, bool bOn, bool bMode, ImageRecord *pTexture)
{
    ForPartRange(iFirst, iLast, [=](NKPart &part) {
        part.uTextureMode[0] = bOn && !bMode;
        part.uTextureMode[1] = bOn && bMode;
        if (part.pTexture == nullptr && bOn && pTexture != nullptr) part.pTexture = pTexture;
    });
    return true;
}
