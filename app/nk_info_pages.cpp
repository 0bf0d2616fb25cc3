// app/nk_info_pages.cpp -- the information sheet's page contents (see
// nk_info_pages.h). Reads the model records, the data source and the open
// NKF file; no widgets.
#include "app/nk_info_pages.h"

#include <cmath>

#include "app/nk_pick_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_diagnostic.h"
#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "core/nk_string.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "readers/nk_data_source.h"

uint8_t g_bContinuousNodePicked = 0;
NKPickInfo g_ContinuousPick;

namespace {

// Field indices of the pages, in the order NKMakeInfoPage lays them out.
enum { MODEL_DATABASE, MODEL_GEOMETRY, MODEL_FILENAME, MODEL_STEP, MODEL_STEP_OF };
enum { MODEL_POLYGONS = 6, MODEL_EDGES, MODEL_NODES, MODEL_ELEMENTS, MODEL_PARTS };
enum { MODEL_MINIMUM = 12, MODEL_MAXIMUM };
enum { RES_SCALAR_NAME = 1, RES_VECTOR_NAME = 7, RES_NODE_ID = 13 };
enum { RES_NODE_SCALAR = 14, RES_NODE_COORDS, RES_NODE_VECTOR };
enum { PART_NAME, PART_OF, PART_POLYGONS = 3, PART_EDGES, PART_NODES, PART_ELEMENTS };
enum { PART_STYLE = 8 };
enum { POLY_POLYGON, POLY_PART, POLY_VERTICES };
enum { ELEM_ID, ELEM_TYPE, ELEM_NODES };

const char *const kPartChecks[] = {"Visible",     "Smooth shading", "Displacements",
                                   "Transparent", "Outline mesh",   "Vector arrows",
                                   "Normals",     "Mesh",           "Fringes"};

NKInfoField Field(const char *pszLabel) { return NKInfoField{pszLabel, "", false}; }
NKInfoField Heading(const char *pszLabel) { return NKInfoField{pszLabel, "", true}; }

NKInfoList List(const char *pszTitle, std::vector<std::string> headers, std::vector<int> widths)
{
    NKInfoList list;
    list.title = pszTitle;
    list.headers = std::move(headers);
    list.widths = std::move(widths);
    return list;
}

std::string G(double v) { return NKString::FromFormat("%g", v).GetText(); }
std::string I(int v) { return std::to_string(v); }
std::string F(float v) { return NKFormatFloat(v, nullptr).GetText(); }

void Set(NKInfoPage *pPage, int iField, const std::string &value)
{
    if (iField >= 0 && iField < int(pPage->fields.size())) pPage->fields[iField].value = value;
}

std::string Triple(const float *p) { return G(p[0]) + ", " + G(p[1]) + ", " + G(p[2]); }

// Resizes a table to n rows of its column count, keeping the rows there are.
void SizeRows(NKInfoList *pList, int n)
{
    pList->rows.resize(n);
    for (auto &row : pList->rows) row.assign(pList->headers.size(), "");
}

NKString InterfaceFileName(void)
{
    NKString name;
    NKGetInterfaceFileName(&name);
    return name;
}

// "part %d, node %d, step %d" (or element) of a recorded extreme; the step
// is the one the frame the model's range recorded shows.
std::string Place(const NKGeometry *pGeo, int iPart, int iItem, int iFrame, bool bElement)
{
    if (iPart < 0) return "";
    const int iID = bElement ? NKGetElementID(iPart, iItem, pGeo) : NKGetNodeID(iPart, iItem, pGeo);
    return NKString::FromFormat(bElement ? "part %d, element %d, step %d"
                                         : "part %d, node %d, step %d",
                                iPart + 1, iID, NKGetFrameStep(iFrame) + 1)
        .GetText();
}

// The vector of a node in model units: stored (displaced) value minus the
// node's own coordinate, taken back to model units and divided by the
// displacement scale. False when the frame has no vector for the node; an
// out-of-scale factor of 0 leaves undefined components.
bool NodeVector(const NKFrame *pFrame, int iPart, int iNode, float afOut[3])
{
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    const NKVectorResult *pVec = pFrame->pVector;
    if (pPart == nullptr || pVec == nullptr || pVec->pResults == nullptr ||
        iPart >= pVec->iNumParts || pPart->pNodeCoords == nullptr)
        return false;
    const NKVectorPartEntry &entry = pVec->pResults[iPart];
    if (entry.pNodeValues == nullptr || iNode < 0 || iNode >= entry.iNumNodes ||
        iNode >= pPart->iNumNodes)
        return false;
    for (int k = 0; k < 3; k++)
        afOut[k] = entry.pNodeValues[3 * iNode + k] - pPart->pNodeCoords[3 * iNode + k];
    DisplayToModelVector(afOut);
    const float fScale = NKGetResultScaleFactor(0);
    for (int k = 0; k < 3; k++) afOut[k] = fScale != 0.0f ? afOut[k] / fScale : NK_UNDEFINED_VALUE;
    return true;
}

// Scalar, vector and length cells of a node (empty where it has none).
std::vector<std::string> ValueCells(const NKFrame *pFrame, int iFrame, int iPart, int iNode)
{
    std::vector<std::string> cells(5, "");
    if (pFrame->pScalar != nullptr) cells[0] = F(NKGetScalarNodeValue(iFrame, iPart, iNode));
    float afVec[3];
    if (NodeVector(pFrame, iPart, iNode, afVec)) {
        for (int k = 0; k < 3; k++) cells[1 + k] = F(afVec[k]);
        const bool bDefined = !NKIsUndefined(afVec[0]);
        cells[4] =
            bDefined ? F(std::sqrt(afVec[0] * afVec[0] + afVec[1] * afVec[1] + afVec[2] * afVec[2]))
                     : F(NK_UNDEFINED_VALUE);
    }
    return cells;
}

// Current (displaced when shown) coordinates of a node in model units.
bool NodeModelCoords(NKFrame *pFrame, int iPart, int iNode, float afOut[3])
{
    NKPart *pPart = NKGetFramePart(pFrame, iPart);
    if (pPart == nullptr || iNode < 0 || iNode >= pPart->iNumNodes) return false;
    const float *pfCoords = GetPartNodeCoords(iPart, pPart, pFrame);
    if (pfCoords == nullptr) return false;
    for (int k = 0; k < 3; k++) afOut[k] = pfCoords[3 * iNode + k];
    DisplayToModel(afOut);
    return true;
}

int SumElements(const NKGeometry *pGeo)
{
    int n = 0;
    for (int i = 0; pGeo->pParts != nullptr && i < pGeo->iNumParts; i++)
        n += pGeo->pParts[i].iNumElements;
    return n;
}

// The part of a pick inside the current frame's geometry, or null.
NKPart *PickedPart(const NKPickInfo *pPick)
{
    if (pPick == nullptr || pPick->iPart < 0) return nullptr;
    return NKGetFramePart(NKGetCurrentFrame(), pPick->iPart);
}

const char *DrawStyleName(int iStyle)
{
    static const char *const kNames[] = {"Normal", "Lines", "Points", "Outline", "Hidden lines"};
    return iStyle >= 0 && iStyle <= 4 ? kNames[iStyle] : "Unknown";
}

void FillResultsNearestNode(NKInfoPage *pPage, NKFrame *pFrame)
{
    const NKPickInfo &pick = g_ContinuousPick;
    const int iID = NKGetNodeID(pick.iPart, pick.iNode, NKGetFrameGeometry(pFrame));
    if (pick.iPart < 0 || pick.iNode < 0 || iID == 0) return;
    Set(pPage, RES_NODE_ID, I(pick.iPart + 1) + ", " + I(iID));
    const std::vector<std::string> cells = ValueCells(pFrame, -1, pick.iPart, pick.iNode);
    Set(pPage, RES_NODE_SCALAR, cells[0]);
    float afCoords[3];
    Set(pPage, RES_NODE_COORDS,
        NodeModelCoords(pFrame, pick.iPart, pick.iNode, afCoords) ? Triple(afCoords) : "");
    Set(pPage, RES_NODE_VECTOR,
        cells[1].empty() ? "" : cells[1] + ", " + cells[2] + ", " + cells[3]);
}

// Name, Min, in, Max, in from field iFirst on.
void FillResultGroup(NKInfoPage *pPage, int iFirst, const char *pszName, const NKMinMax *pRange,
                     const NKGeometry *pGeo, bool bElement)
{
    for (int k = 0; k < 5; k++) Set(pPage, iFirst + k, "");
    if (pszName == nullptr) return;
    Set(pPage, iFirst, pszName);
    Set(pPage, iFirst + 1, G(pRange->min));
    Set(pPage, iFirst + 2,
        Place(pGeo, pRange->iMinPart, pRange->iMinNode, pRange->iMinFrame, bElement));
    Set(pPage, iFirst + 3, G(pRange->max));
    Set(pPage, iFirst + 4,
        Place(pGeo, pRange->iMaxPart, pRange->iMaxNode, pRange->iMaxFrame, bElement));
}

bool IsElementResult(const NKScalarResult *pScalar)
{
    return pScalar->pNodeResults == nullptr && pScalar->pElementResults != nullptr;
}

// The element value of the picked element, or undefined.
float ElementValue(const NKFrame *pFrame, int iPart, int iElement)
{
    const NKScalarResult *pScalar = pFrame->pScalar;
    if (pScalar == nullptr || pScalar->pElementResults == nullptr || iPart >= pScalar->iNumParts)
        return NK_UNDEFINED_VALUE;
    const NKScalarPartEntry &entry = pScalar->pElementResults[iPart];
    if (entry.pNodeValues == nullptr || iElement < 0 || iElement >= entry.iCount)
        return NK_UNDEFINED_VALUE;
    return entry.pNodeValues[iElement];
}

// The element's node rows; false with the trace when a node index lies
// outside the part.
bool FillElementRows(NKInfoPage *pPage, NKFrame *pFrame, int iPart, int iElement)
{
    const NKPart *pPart = NKGetFramePart(pFrame, iPart);
    const NKElement &element = pPart->pElements[iElement];
    const int n = NKFElementNodeCount(element.iType);
    if (element.iNodeStart < 0 || n < 0 || element.iNodeStart > pPart->iNumElementConnects - n)
        return NKDiagnostic("Illegal node in element nodes array", "NKUpdateInfoElementDialog");
    Set(pPage, ELEM_NODES, I(n));
    NKInfoList &coords = pPage->lists[0];
    NKInfoList &values = pPage->lists[1];
    SizeRows(&coords, n);
    SizeRows(&values, n + 1);
    values.rows[0][0] = "Element";
    values.rows[0][2] = F(ElementValue(pFrame, iPart, iElement));
    for (int j = 0; j < n; j++) {
        const int iNode = pPart->pElementConnects[element.iNodeStart + j];
        if (iNode < 0 || iNode >= pPart->iNumNodes)
            return NKDiagnostic("Illegal node in element nodes array", "NKUpdateInfoElementDialog");
        const std::string id = I(NKGetNodeID(iPart, iNode, NKGetFrameGeometry(pFrame)));
        float afCoords[3];
        if (NodeModelCoords(pFrame, iPart, iNode, afCoords))
            coords.rows[j] = {I(j + 1), id, G(afCoords[0]), G(afCoords[1]), G(afCoords[2])};
        const std::vector<std::string> cells = ValueCells(pFrame, -1, iPart, iNode);
        values.rows[j + 1] = {I(j + 1), id, cells[0], cells[1], cells[2], cells[3], cells[4]};
    }
    return true;
}

void FillResultsPage(NKInfoPage *pPage)
{
    pPage->tabTitle = "Results";
    for (const char *pszGroup : {"Scalar result:", "Vector result:"}) {
        pPage->fields.push_back(Heading(pszGroup));
        for (const char *pszLabel : {"Name:", "Min:", "in", "Max:", "in"})
            pPage->fields.push_back(Field(pszLabel));
    }
    pPage->fields.push_back(Heading("Nearest node information:"));
    for (const char *pszLabel : {"Node ID:", "Scalar:", "Coordinates:", "Vector:"})
        pPage->fields.push_back(Field(pszLabel));
}

void FillPartPage(NKInfoPage *pPage)
{
    pPage->tabTitle = "Part";
    pPage->fields = {Field("Part:"),
                     Field(""),
                     Heading("Part information:"),
                     Field("Polygons:"),
                     Field("Edges:"),
                     Field("Nodes:"),
                     Field("Elements:"),
                     Heading("Part Attributes:"),
                     Field("Draw Style:")};
    for (const char *pszCheck : kPartChecks) pPage->checks.push_back(NKInfoCheck{pszCheck, false});
}

}  // namespace

NKInfoPage NKMakeInfoPage(int iPage)
{
    NKInfoPage page;
    switch (iPage) {
    case NK_INFO_PAGE_MODEL:
        page.tabTitle = "Model";
        page.fields = {Field("Database:"),     Field("Geometry:"), Field("Filename:"),
                       Field("Current step:"), Field(""),          Heading("Geometry information:"),
                       Field("Polygons:"),     Field("Edges:"),    Field("Nodes:"),
                       Field("Elements:"),     Field("Parts:"),    Heading("Geometry coordinates:"),
                       Field("Minimum:"),      Field("Maximum:")};
        break;
    case NK_INFO_PAGE_RESULTS:
        FillResultsPage(&page);
        break;
    case NK_INFO_PAGE_NKF:
        page.tabTitle = "NKF File";
        page.fields = {Field("NKF file:")};
        page.lists = {List("File contents:", {"Block type", "ID", "Size"}, {120, 40, 60})};
        break;
    case NK_INFO_PAGE_PART:
        FillPartPage(&page);
        break;
    case NK_INFO_PAGE_POLYGON:
        page.tabTitle = "Polygon";
        page.fields = {Field("Polygon:"), Field("Part:"), Field("Vertices:")};
        page.lists = {
            List("Polygon coordinates:", {"Node ID", "X coord", "Y coord", "Z coord"},
                 {60, 73, 73, 74}),
            List("Results:", {"Node ID", "Scalar", "Vector X", "Vector Y", "Vector Z", "Length"},
                 {60, 70, 70, 70, 70, 70})};
        break;
    case NK_INFO_PAGE_ELEMENT:
        page.tabTitle = "Element";
        page.fields = {Field("Element ID:"), Field("Element type:"), Field("Nodes:")};
        page.lists = {
            List("", {"#", "Node", "X coord", "Y coord", "Z coord"}, {20, 60, 70, 70, 70}),
            List("", {"#", "Node", "Scalar", "Vector X", "Vector Y", "Vector Z", "Length"},
                 {20, 60, 70, 70, 70, 70, 70})};
        break;
    default:
        break;
    }
    return page;
}

const NKPickInfo *NKGetInfoPick(void)
{
    if (g_bContinuousNodePicked != 0 && g_bPickInfoInSheet != 0) return &g_ContinuousPick;
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    return pGeo != nullptr ? &pGeo->pickInfo : nullptr;
}

void NKClearInfoPage(NKInfoPage *pPage)
{
    for (NKInfoField &field : pPage->fields) field.value.clear();
    for (NKInfoCheck &check : pPage->checks) check.bChecked = false;
    for (NKInfoList &list : pPage->lists) list.rows.clear();
}

bool NKFillInfoModelPage(NKInfoPage *pPage)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return false;
    Set(pPage, MODEL_DATABASE, InterfaceFileName().GetText());
    Set(pPage, MODEL_GEOMETRY, pGeo->szDescription.GetText());
    Set(pPage, MODEL_FILENAME, pGeo->szFileName.IsEmpty() ? "N/A" : pGeo->szFileName.GetText());
    Set(pPage, MODEL_STEP, pFrame->szDescription.GetText());
    Set(pPage, MODEL_STEP_OF, I(g_pModel->iCurrentFrame + 1) + " of " + I(g_pModel->iNumFrames));
    Set(pPage, MODEL_POLYGONS, I(pGeo->iTotalNumPolygons));
    Set(pPage, MODEL_EDGES, I(pGeo->iTotalNumConnects));
    Set(pPage, MODEL_NODES, I(pGeo->iTotalNumNodes));
    Set(pPage, MODEL_ELEMENTS, I(SumElements(pGeo)));
    Set(pPage, MODEL_PARTS, I(pGeo->iNumParts));
    Set(pPage, MODEL_MINIMUM, Triple(pGeo->fBoundingBox));
    Set(pPage, MODEL_MAXIMUM, Triple(pGeo->fBoundingBox + 3));
    return true;
}

bool NKFillInfoResultsPage(NKInfoPage *pPage)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo == nullptr) return false;
    if (g_bPickInfoInSheet != 0 && g_bContinuousNodePicked != 0) {
        FillResultsNearestNode(pPage, pFrame);
        return true;
    }
    for (int k = RES_NODE_ID; k <= RES_NODE_VECTOR; k++) Set(pPage, k, "");
    const NKScalarResult *pScalar = pFrame->pScalar;
    const bool bElement = pScalar != nullptr && IsElementResult(pScalar);
    FillResultGroup(pPage, RES_SCALAR_NAME,
                    pScalar != nullptr ? NKGetScalarResultName(-1, true) : nullptr,
                    bElement ? &g_pModel->elementMinMax : &g_pModel->scalarMinMax, pGeo, bElement);
    FillResultGroup(pPage, RES_VECTOR_NAME,
                    pFrame->pVector != nullptr ? NKGetVectorResultName(-1, true) : nullptr,
                    &g_pModel->vectorMinMax, pGeo, false);
    return true;
}

bool NKFillInfoNKFPage(NKInfoPage *pPage)
{
    NKInfoList &blocks = pPage->lists[0];
    blocks.rows.clear();
    NKFReader *pReader = NKFGetReader();
    if (pReader == nullptr) {
        Set(pPage, 0, "No NKF file loaded");
        return true;
    }
    Set(pPage, 0, pReader->GetFileName().GetText());
    for (int n = 0;; n++) {
        NKFBlock *pBlock = pReader->GetBlockByIndex(n);
        if (pBlock == nullptr) break;
        blocks.rows.push_back(
            {pBlock->GetKeyword().GetText(), I(pBlock->GetBlockID()), I(pBlock->GetNumItems())});
    }
    return true;
}

bool NKFillInfoPartPage(NKInfoPage *pPage, const NKPickInfo *pPick)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    if (pGeo == nullptr) return false;
    const NKPart *pPart = PickedPart(pPick);
    if (pPart == nullptr) {
        NKClearInfoPage(pPage);
        return true;
    }
    Set(pPage, PART_NAME,
        pPart->szName.IsEmpty() ? "Part " + I(pPick->iPart + 1) : pPart->szName.GetText());
    Set(pPage, PART_OF, I(pPick->iPart + 1) + " of " + I(pGeo->iNumParts));
    Set(pPage, PART_POLYGONS, I(pPart->iNumPolygons));
    Set(pPage, PART_EDGES, I(pPart->iNumConnects));
    Set(pPage, PART_NODES, I(pPart->iNumNodes));
    Set(pPage, PART_ELEMENTS, I(pPart->iNumElements));
    Set(pPage, PART_STYLE, DrawStyleName(pPart->iDrawStyle));
    const uint8_t auFlags[] = {pPart->bVisible,     pPart->bSmooth,      pPart->bDisplacements,
                               pPart->bTransparent, pPart->bOutlineMesh, pPart->bVectors,
                               pPart->bShowNormals, pPart->bMesh,        pPart->bFringes};
    for (size_t k = 0; k < pPage->checks.size() && k < sizeof(auFlags); k++)
        pPage->checks[k].bChecked = auFlags[k] != 0;
    return true;
}

bool NKFillInfoPolygonPage(NKInfoPage *pPage, const NKPickInfo *pPick)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    if (NKGetFrameGeometry(pFrame) == nullptr) return false;
    const NKPart *pPart = PickedPart(pPick);
    const int iPoly = pPick != nullptr ? pPick->iPolygon : -1;
    if (pPart == nullptr || iPoly < 0 || iPoly >= pPart->iNumPolygons ||
        pPart->pPolygonStart == nullptr || pPart->pPolygonNumNodes == nullptr) {
        NKClearInfoPage(pPage);
        return true;
    }
    const int iStart = pPart->pPolygonStart[iPoly], n = pPart->pPolygonNumNodes[iPoly];
    if (iStart < 0 || n < 0 || iStart > pPart->iNumConnects - n) {
        NKClearInfoPage(pPage);
        return NKDiagnostic("Illegal polygon in pick", "NKFillInfoPolygonPage");
    }
    Set(pPage, POLY_POLYGON, I(iPoly + 1));
    Set(pPage, POLY_PART, I(pPick->iPart + 1));
    Set(pPage, POLY_VERTICES, I(n));
    pPage->lists[0].title =
        pPart->bDisplacements ? "Displaced polygon coordinates:" : "Polygon coordinates:";
    const bool bValues = pFrame->pScalar != nullptr || pFrame->pVector != nullptr;
    SizeRows(&pPage->lists[0], n);
    SizeRows(&pPage->lists[1], bValues ? n : 0);
    for (int j = 0; j < n; j++) {
        const int iNode = pPart->pConnects[iStart + j];
        const std::string id = I(NKGetNodeID(pPick->iPart, iNode, NKGetFrameGeometry(pFrame)));
        float afCoords[3];
        if (NodeModelCoords(pFrame, pPick->iPart, iNode, afCoords))
            pPage->lists[0].rows[j] = {id, G(afCoords[0]), G(afCoords[1]), G(afCoords[2])};
        if (!bValues) continue;
        const std::vector<std::string> cells = ValueCells(pFrame, -1, pPick->iPart, iNode);
        pPage->lists[1].rows[j] = {id, cells[0], cells[1], cells[2], cells[3], cells[4]};
    }
    return true;
}

bool NKUpdateInfoElementDialog(NKInfoPage *pPage, const NKPickInfo *pPick)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    if (NKGetFrameGeometry(pFrame) == nullptr) return false;
    const NKPart *pPart = PickedPart(pPick);
    if (pPart == nullptr || pPick->iPolygon < 0) {
        NKClearInfoPage(pPage);
        return true;
    }
    if (pPart->pPolygonElements == nullptr || pPart->pElements == nullptr ||
        pPart->pElementConnects == nullptr || pPick->iPolygon >= pPart->iNumPolygons)
        return NKDiagnostic("Missing Element information", "NKUpdateInfoElementDialog");
    const int iElement = pPart->pPolygonElements[pPick->iPolygon];
    if (iElement < 0 || iElement >= pPart->iNumElements || pPick->iElement >= pPart->iNumElements)
        return NKDiagnostic("Polygon references to an illegal element",
                            "NKUpdateInfoElementDialog");
    const NKElement &element = pPart->pElements[iElement];
    Set(pPage, ELEM_ID, I(element.iID));
    Set(pPage, ELEM_TYPE, NKFElementName(element.iType));
    return FillElementRows(pPage, pFrame, pPick->iPart, iElement);
}

std::string NKInfoFieldValue(const NKInfoPage &page, const char *pszLabel, int iOccurrence)
{
    for (const NKInfoField &field : page.fields)
        if (field.label == pszLabel && iOccurrence-- == 0) return field.value;
    return "";
}
