// nkf/nkf_export_attributes.cpp -- the last steps of the NKF export: one
// *PARTATTRIBUTES block per geometry (its number in the geometry walk is
// the block ID the geometry rows name), the *ITEMS block and one *TEXTURES
// block per texture image.
//
// The items and the texture images come from core/nk_export_items.h, where
// the tools and the textures leave them. Item counts in the header are the
// records written, so a filtered node never leaves a hole in the block.
#include <cstring>
#include <vector>

#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_references.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_export_walk.h"
#include "nkf/nkf_format.h"

namespace {

const int kAttributeRecordBytes = 220;
const int kItemRecordWords = 11;

// The 55 words of one part-attribute record.
void WritePartAttributes(NKFExporter *pOut, const NKPart *pPart)
{
    const int32_t aiFlags[] = {kAttributeRecordBytes, pPart->iDrawStyle,
                               pPart->bVisible,       pPart->bSmooth,
                               pPart->bDisplacements, pPart->bFringes,
                               pPart->bVectors,       pPart->bMesh,
                               pPart->bOutlineMesh,   pPart->bOutlineMeshDefaultColor,
                               pPart->bShowNormals,   pPart->bHighlighted};
    pOut->WriteInts(aiFlags, 12);
    const NKMaterial &m = pPart->material;
    pOut->WriteFloats(m.ambient, 3);
    pOut->WriteFloats(m.diffuse, 3);
    pOut->WriteFloats(m.specular, 3);
    pOut->WriteFloats(m.emission, 3);
    pOut->WriteFloat((float)m.shininess);
    pOut->WriteInt(pPart->bTransparent);
    pOut->WriteFloat(m.alpha / 255.0f);
    for (int c = 0; c < 3; c++) pOut->WriteFloat(pPart->uOutlineMeshColor[c] / 255.0f);
    pOut->WriteText80(NKGetTextureName(pPart->pTexture));
    const int32_t aiTexture[] = {pPart->iTexturePlane, pPart->envmode, pPart->bTextureTile,
                                 pPart->uTextureMode[0],
                                 (pPart->uTextureMode[0] || pPart->uTextureMode[1]) ? 1 : 0};
    pOut->WriteInts(aiTexture, 5);
}

// The traced or plotted nodes that go out: parts of the current frame's
// geometry, renumbered among the visible parts when only those go out.
// Traces keep the node's index; node plots (iPartBase 1) name the node as
// "np add" reads it back, by its ID.
std::vector<NKItemNode> FilterNodes(const NKFExporter *pOut, const NKItemNode *pNodes, int n,
                                    int iPartBase)
{
    std::vector<NKItemNode> kept;
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    for (int i = 0; pNodes != nullptr && i < n; i++) {
        int iPart = pNodes[i].iPart;
        if (pOut->Settings().bVisiblePartsOnly) {
            iPart = NKFVisiblePartIndex(pGeo, iPart);
            if (iPart < 0) continue;
        }
        const int iNode = iPartBase == 1 && pGeo != nullptr
                              ? NKGetNodeID(pNodes[i].iPart, pNodes[i].iNode, pGeo)
                              : pNodes[i].iNode;
        kept.push_back({iNode, iPart + iPartBase});
    }
    return kept;
}

// Node records {12, node, part}; false when fewer went out than counted.
bool WriteNodeRecords(NKFExporter *pOut, const std::vector<NKItemNode> &nodes, int iCounted)
{
    int iWritten = 0;
    for (const NKItemNode &node : nodes) {
        const int32_t aiRecord[] = {12, node.iNode, node.iPart};
        pOut->WriteInts(aiRecord, 3);
        iWritten++;
    }
    return iWritten == iCounted;
}

void WriteRecords(NKFExporter *pOut, int n, bool (*pfnGet)(int, int32_t *))
{
    for (int i = 0; i < n; i++) {
        int32_t aiWords[kItemRecordWords] = {};
        pfnGet(i, aiWords);
        pOut->WriteInts(aiWords, kItemRecordWords);
    }
}

}  // namespace

bool NKFExporter::ExportPartAttributes()
{
    if (g_pModel->iNumFrames <= 0) return false;
    NKFGeometryWalk walk(this);
    std::vector<int> order;
    for (int g = 0; g < walk.Count(); g++) {
        const NKFGeometryWalk::Entry &e = walk.Get(g);
        if (!BeginBlock(NKF_PARTATTRIBUTES, g, 12, (int64_t)e.iNumParts * kAttributeRecordBytes))
            return false;
        WriteInt(e.iNumParts);
        order.resize((size_t)e.pGeometry->iNumParts + 1);
        ExportedPartOrder(e.pGeometry, order.data());
        for (int k = 0; k < e.iNumParts; k++)
            WritePartAttributes(this, &e.pGeometry->pParts[order[(size_t)k]]);
        if (!WriteEndOfBlock()) return false;
    }
    return !HasError();
}

bool NKFExporter::ExportItems()
{
    int iCutPlanes = m_Settings.bCutPlanes ? NKCountCutPlaneItems() : 0;
    float fIsoValue = 0.0f;
    int iIso = (m_Settings.bIsoSurfaces && NKGetIsoSurfaceItem(&fIsoValue)) ? 1 : 0;
    int iTraceSets = m_Settings.bParticleTraces ? NKCountParticleTraceItems() : 0;
    std::vector<NKItemNode> traces, plots;
    if (m_Settings.bNodeTraces) traces = FilterNodes(this, g_pTraceNodes, g_iNumTraceNodes, 0);
    if (m_Settings.bNodePlots) plots = FilterNodes(this, g_pNodePlots, g_iNumNodePlots, 1);
    int64_t iSize = 44 * (int64_t)(iCutPlanes + iTraceSets) +
                    12 * (int64_t)(traces.size() + plots.size()) + 8 * (int64_t)iIso;
    if (iSize == 0) return true;
    if (!BeginBlock(NKF_ITEMS, 1, 28, iSize)) return false;
    const int32_t aiCounts[] = {iCutPlanes, iIso, iTraceSets, (int32_t)traces.size(),
                                (int32_t)plots.size()};
    WriteInts(aiCounts, 5);
    WriteRecords(this, iCutPlanes, NKGetCutPlaneItem);
    if (iIso) {
        WriteInt(8);
        WriteFloat(fIsoValue);
    }
    WriteRecords(this, iTraceSets, NKGetParticleTraceItem);
    if (!WriteNodeRecords(this, traces, (int)traces.size()))
        NKPrintError("Internal error while exporting trace nodes: (NKFE-01)");
    if (!WriteNodeRecords(this, plots, (int)plots.size()))
        NKPrintError("Internal error while exporting node plots: (NKFE-02)");
    return WriteEndOfBlock();
}

bool NKFExporter::ExportTextures()
{
    for (int i = 0; i < TextureImageList.GetSize(); i++) {
        const ImageRecord *pImage = static_cast<const ImageRecord *>(TextureImageList.GetAt(i));
        if (pImage == nullptr || pImage->iWidth < 0 || pImage->iHeight < 0) return false;
        int64_t iSize = (int64_t)pImage->iWidth * pImage->iHeight * 3;
        if (iSize > 0 && pImage->pPixels == nullptr) return false;
        if (!BeginBlock(NKF_TEXTURES, i + 1, 96, iSize)) return false;
        WriteText80(pImage->szName.GetText());
        WriteInt(pImage->iWidth);
        WriteInt(pImage->iHeight);
        if (iSize > 0) m_File.WriteRaw(pImage->pPixels, (size_t)iSize);
        if (!WriteEndOfBlock()) return false;
    }
    return !HasError();
}
