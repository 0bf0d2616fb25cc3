// nkf/nkf_export_geometry.cpp -- the geometry step of the NKF export: per
// exported part a *NODES block and an *ELEMENTS or *INDEXEDFACESET block,
// the *QUOLINGEOMETRY list, the *INTERNALSTRING lines with the version and
// the boxes; the structured test grid; and the reader of the version line.
//
// Part k of the walk (geometries in first-met frame order, face-set parts
// before element parts within each, as the import builds them) gets block
// ID k for both its blocks; the result steps count the same way
// (NKFGeometryBaseIDs). Coordinates go back to model space on the way out.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_stopwatch.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_export_walk.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_import.h"
#include "platform/nk_platform.h"

namespace {

// Words of the *NODES, *ELEMENTS and *INDEXEDFACESET header records.
const int kNodesHeader = 16;
const int kMeshHeader = 124;
const int kListHeader = 92;
const int kGeometryRowBytes = 104;

bool WriteNodesBlock(NKFExporter *pOut, const NKPart *pPart, int iID)
{
    bool bIDs = NKFNodeIDsValid(pPart);
    int iStride = bIDs ? 4 : 3;
    int64_t iSize = (int64_t)pPart->iNumNodes * iStride * 4;
    if (!pOut->BeginBlock(NKF_NODES, iID, kNodesHeader, iSize)) return false;
    pOut->WriteInt(bIDs ? 1 : 0);
    pOut->WriteInt(pPart->iNumNodes);
    std::vector<float> data((size_t)pPart->iNumNodes * iStride);
    for (int n = 0; n < pPart->iNumNodes; n++) {
        float *pRow = &data[(size_t)n * iStride];
        if (bIDs) std::memcpy(pRow++, &pPart->pNodeIDs[n], 4);
        std::memcpy(pRow, &pPart->pNodeCoords[3 * n], 12);
        DisplayToModel(pRow);
    }
    pOut->WriteFloats(data.data(), data.size());
    return pOut->WriteEndOfBlock();
}

// The per-type element counts of a part; false (reported) when an element
// is of the unknown type.
bool CountElementTypes(const NKPart *pPart, int aiCount[NK_ELEMENT_TYPE_COUNT])
{
    std::memset(aiCount, 0, sizeof(int) * NK_ELEMENT_TYPE_COUNT);
    for (int e = 0; e < pPart->iNumElements; e++) {
        int iType = pPart->pElements[e].iType;
        if (iType < 0 || iType >= NK_ELEM_UNKNOWN) {
            NKPrintError("Unknown element found in Quolin. Cannot export.");
            return false;
        }
        aiCount[iType]++;
    }
    return true;
}

// Sections in type order: {code + 1, count}, then per element its ID and
// its nodes as 1-based indices.
void AppendElementSections(const NKPart *pPart, const int *piCount, std::vector<int32_t> *pData)
{
    for (int t = 0; t < NK_ELEM_UNKNOWN; t++) {
        if (piCount[t] == 0) continue;
        pData->push_back(t + 1);
        pData->push_back(piCount[t]);
        int iNodes = NKElementTypeTable[t].iNumNodes;
        for (int e = 0; e < pPart->iNumElements; e++) {
            const NKElement &el = pPart->pElements[e];
            if (el.iType != t) continue;
            pData->push_back(el.iID);
            for (int k = 0; k < iNodes; k++)
                pData->push_back(pPart->pElementConnects[el.iNodeStart + k] + 1);
        }
    }
}

// The header of the mesh blocks up to the block colour.
void WriteMeshHeaderStart(NKFExporter *pOut, const NKPart *pPart, int iID)
{
    pOut->WriteInt(iID);  // the part's *NODES block
    pOut->WriteText80(pPart->szName.GetText());
    for (int c = 0; c < 3; c++) pOut->WriteFloat(-1.0f);
}

// 1 when the element blocks hold an unknown element (reported), 0 when
// written, -1 when the block could not be written.
int WriteElementsBlock(NKFExporter *pOut, const NKPart *pPart, int iID)
{
    int aiCount[NK_ELEMENT_TYPE_COUNT];
    if (!CountElementTypes(pPart, aiCount)) return 1;
    int64_t iSize = 0;
    int iSections = 0;
    for (int t = 0; t < NK_ELEM_UNKNOWN; t++) {
        if (aiCount[t] == 0) continue;
        iSections++;
        iSize += 8 + (int64_t)aiCount[t] * (NKElementTypeTable[t].iNumNodes + 1) * 4;
    }
    if (!pOut->BeginBlock(NKF_ELEMENTS, iID, kMeshHeader, iSize)) return -1;
    WriteMeshHeaderStart(pOut, pPart, iID);
    // IDs per element, the sections, no extended section headers, an unused
    // word, and node references as indices even over nodes with IDs.
    const int32_t aiTail[] = {1, iSections, 0, -1, 0};
    pOut->WriteInts(aiTail, 5);
    std::vector<int32_t> data;
    data.reserve((size_t)(iSize / 4));
    AppendElementSections(pPart, aiCount, &data);
    pOut->WriteInts(data.data(), data.size());
    return pOut->WriteEndOfBlock() ? 0 : -1;
}

// Corners as node IDs when every ID is above 0 (a 0 would end its polygon
// early when read back), else as 1-based indices; the last one negated.
bool WriteFaceSetBlock(NKFExporter *pOut, const NKPart *pPart, int iID)
{
    bool bIDs = NKFNodeIDsValid(pPart);
    for (int n = 0; bIDs && n < pPart->iNumNodes; n++) bIDs = pPart->pNodeIDs[n] > 0;
    int64_t iCorners = 0;
    for (int p = 0; p < pPart->iNumPolygons; p++) iCorners += pPart->pPolygonNumNodes[p];
    if (iCorners > INT32_MAX) return false;
    if (!pOut->BeginBlock(NKF_INDEXEDFACESET, iID, kMeshHeader, iCorners * 4)) return false;
    WriteMeshHeaderStart(pOut, pPart, iID);
    const int32_t aiTail[] = {0, pPart->iNumPolygons, (int32_t)iCorners, -1, bIDs ? 1 : 0};
    pOut->WriteInts(aiTail, 5);
    std::vector<int32_t> data;
    data.reserve((size_t)iCorners);
    for (int p = 0; p < pPart->iNumPolygons; p++) {
        int iStart = pPart->pPolygonStart[p], iCount = pPart->pPolygonNumNodes[p];
        for (int k = 0; k < iCount; k++) {
            int iNode = pPart->pConnects[iStart + k];
            int32_t iRef = bIDs ? pPart->pNodeIDs[iNode] : iNode + 1;
            data.push_back(k == iCount - 1 ? -iRef : iRef);
        }
    }
    pOut->WriteInts(data.data(), data.size());
    return pOut->WriteEndOfBlock();
}

// The blocks of one exported part; false when the export stops.
bool WritePartBlocks(NKFExporter *pOut, const NKPart *pPart, int iID)
{
    if (!WriteNodesBlock(pOut, pPart, iID)) {
        NKPrintError("Error writing nodes to NKF file");
        return false;
    }
    if (NKFPartIsFaceSet(pPart)) {
        if (WriteFaceSetBlock(pOut, pPart, iID)) return true;
        NKPrintError("Error writing indexed face set to NKF file");
        return false;
    }
    int iResult = WriteElementsBlock(pOut, pPart, iID);
    if (iResult < 0) NKPrintError("Error writing elements to NKF file");
    return iResult == 0;
}

void WriteInternalString(NKFExporter *pOut, int iID, const NKString &text)
{
    int64_t iLength = (int64_t)std::strlen(text.GetText()) + 1;
    pOut->BeginBlock(NKF_INTERNALSTRING, iID, 8, iLength);
    // The text with its terminating NUL, padded to whole words is not part
    // of the format: the data size says how many bytes follow.
    pOut->WriteRaw(text.GetText(), (size_t)iLength);
    pOut->WriteEndOfBlock();
}

}  // namespace

// The geometry rows of the *QUOLINGEOMETRY block, one per geometry first
// met, each followed by its element part IDs, then its face-set part IDs.
static bool WriteGeometryList(NKFExporter *pOut, const NKFGeometryWalk &walk)
{
    const NKGeometry *pFirst = g_pModel->pFrames[0].pGeometry;
    int64_t iSize = (26 * (int64_t)walk.Count() + walk.TotalParts()) * 4;
    if (!pOut->BeginBlock(NKF_QUOLINGEOMETRY, 1, kListHeader, iSize)) return false;
    pOut->WriteText80(pFirst != nullptr ? pFirst->szDescription.GetText() : "");
    pOut->WriteInt(walk.Count());
    for (int g = 0; g < walk.Count(); g++) {
        const NKFGeometryWalk::Entry &e = walk.Get(g);
        const NKFrame *pFrame = &g_pModel->pFrames[e.iFrame];
        pOut->WriteInt(walk.StepNumber(e.iFrame));
        pOut->WriteText80(pFrame->szDescription.GetText());
        pOut->WriteFloat(pFrame->fTime);
        int iElementParts = e.iNumParts - e.iNumFaceSets;
        const int32_t aiRow[] = {iElementParts, e.iNumFaceSets, 0,
                                 pOut->Settings().bPartAttributes ? g : -1};
        pOut->WriteInts(aiRow, 4);
        for (int k = 0; k < iElementParts; k++) pOut->WriteInt(e.iBaseID + e.iNumFaceSets + k);
        for (int k = 0; k < e.iNumFaceSets; k++) pOut->WriteInt(e.iBaseID + k);
    }
    static_assert(kGeometryRowBytes == 26 * 4, "a geometry row is 26 words");
    return pOut->WriteEndOfBlock();
}

static void WriteModelStrings(NKFExporter *pOut)
{
    int d[7];
    NKGetSystemDateTime(d);
    WriteInternalString(pOut, 99999,
                        NKString::FromFormat("version_info;%s;%s;%d;%d-%02d-%02d;%02d:%02d:%02d",
                                             NK_PRODUCT_NAME, NK_VERSION_TEXT, g_iNKBuildNumber,
                                             d[0], d[1], d[2], d[3], d[4], d[5]));
    const float *b = g_pModel->fBoundingBox;
    if (pOut->Settings().bVisiblePartsOnly)
        WriteInternalString(pOut, 20001,
                            NKString::FromFormat("modelbox;%g;%g;%g;%g;%g;%g;%g;%g;%g;%g",
                                                 g_pModel->fCenterX, g_pModel->fCenterY,
                                                 g_pModel->fCenterZ, g_pModel->fGeoScale, b[0],
                                                 b[1], b[2], b[3], b[4], b[5]));
    WriteInternalString(
        pOut, 20004,
        NKString::FromFormat("boundingbox;%g;%g;%g;%g;%g;%g", b[0], b[1], b[2], b[3], b[4], b[5]));
    int iType = NKGetInterfaceType();
    if (iType != NK_INTERFACE_NONE)
        WriteInternalString(pOut, 20002, NKString::FromFormat("interface;%d", iType));
    if (iType == NK_INTERFACE_RESERVOIR)
        WriteInternalString(pOut, 20003,
                            NKString::FromFormat("ies;%d", pOut->Source().iNumReservoirOverlays));
}

bool NKFExporter::ExportGeometry()
{
    if (g_pModel->iNumFrames <= 0) return false;
    NKFGeometryWalk walk(this);
    std::vector<int> order;
    for (int g = 0; g < walk.Count(); g++) {
        const NKFGeometryWalk::Entry &e = walk.Get(g);
        order.resize((size_t)e.pGeometry->iNumParts + 1);
        ExportedPartOrder(e.pGeometry, order.data());
        for (int k = 0; k < e.iNumParts; k++)
            if (!WritePartBlocks(this, &e.pGeometry->pParts[order[k]], e.iBaseID + k)) return false;
    }
    if (!WriteGeometryList(this, walk)) return false;
    WriteModelStrings(this);
    return !HasError();
}

bool NKFParseVersionInfo(const char *pszLine, NKFVersionInfo *pInfo)
{
    if (pszLine == nullptr || pInfo == nullptr) return false;
    std::vector<std::string> fields;
    std::string line = pszLine;
    size_t iStart = 0;
    for (;;) {
        size_t iEnd = line.find(';', iStart);
        fields.push_back(line.substr(iStart, iEnd == std::string::npos ? iEnd : iEnd - iStart));
        if (iEnd == std::string::npos) break;
        iStart = iEnd + 1;
    }
    if (fields[0] != "version_info" || fields.size() < 6) return false;
    *pInfo = NKFVersionInfo();
    pInfo->title = NKString(fields[1].c_str());
    pInfo->version = NKString(fields[2].c_str());
    pInfo->iBuild = std::atoi(fields[3].c_str());
    pInfo->date = NKString(fields[4].c_str());
    pInfo->time = NKString(fields[5].c_str());
    // Whatever follows the version text's first word, as a number.
    size_t iBlank = fields[2].find(' ');
    pInfo->iValue1 = iBlank == std::string::npos ? 0 : std::atoi(fields[2].c_str() + iBlank + 1);
    return true;
}
