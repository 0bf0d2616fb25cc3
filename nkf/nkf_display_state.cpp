// nkf/nkf_display_state.cpp -- the display-state steps of the open command
// for an NKF file (see nkf_display_state.h): textures, part attributes,
// items, settings and animation settings. Transformations and viewpoints
// are in nkf_display_motion.cpp.
//
// Each step looks its block up in the open file, loads it and applies the
// set words only (nkf_state_records.h names the unset marks). Settings that
// a command owns are applied by running the command, so its checks and side
// effects apply; numbers in built commands are printed with "%.9g", which
// keeps every float of the file. What the higher folders own goes through
// the owners' hooks (nkf_display_hooks.h).
#include "nkf/nkf_display_state.h"

#include <cstring>

#include "core/nk_export_items.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_state_blocks.h"
#include "nkf/nkf_texture.h"

namespace {

// The loaded block of that type and ID in the open file, or null.
template <class T>
T *FindLoaded(int iType, int iID)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr) return nullptr;
    T *pBlock = dynamic_cast<T *>(pParser->FindBlock(iType, iID));
    if (pBlock == nullptr || !pBlock->LoadData()) return nullptr;
    return pBlock;
}

int Run(const NKString &line) { return NKRunCommandLine(line.GetText()); }

void SetByte(uint8_t *pb, int32_t iWord)
{
    if (iWord != -1) *pb = (uint8_t)(iWord & 0xff);
}

template <int N>
void SetColor(const NKFRecord<N> &rec, int iFirst, uint8_t *puColor)
{
    for (int c = 0; c < 3; c++) NKFFloatToColor(rec.F(iFirst + c), &puColor[c]);
}

template <int N>
void SetMaterialColor(const NKFRecord<N> &rec, int iFirst, float *pfColor)
{
    for (int c = 0; c < 3; c++)
        if (rec.F(iFirst + c) >= 0.0f) pfColor[c] = rec.F(iFirst + c);
}

// Position of the texture image of that name in the list; -1 when absent.
int FindTextureImage(const NKString &name)
{
    for (int i = 0; i < TextureImageList.GetSize(); i++) {
        const ImageRecord *pImage = static_cast<const ImageRecord *>(TextureImageList.GetAt(i));
        if (pImage != nullptr && pImage->szName == name) return i;
    }
    return -1;
}

void ApplyPart(const NKFPartAttributes &rec, NKPart *pPart)
{
    if (rec.I(1) >= NK_DRAW_SURFACE && rec.I(1) <= NK_DRAW_HIDDEN_LINES)
        pPart->iDrawStyle = rec.I(1);
    uint8_t *apFlags[] = {&pPart->bVisible,       &pPart->bSmooth,
                          &pPart->bDisplacements, &pPart->bFringes,
                          &pPart->bVectors,       &pPart->bMesh,
                          &pPart->bOutlineMesh,   &pPart->bOutlineMeshDefaultColor,
                          &pPart->bShowNormals,   &pPart->bHighlighted};
    for (int k = 0; k < 10; k++) SetByte(apFlags[k], rec.I(2 + k));
    NKMaterial &m = pPart->material;
    SetMaterialColor(rec, 12, m.ambient);
    SetMaterialColor(rec, 15, m.diffuse);
    SetMaterialColor(rec, 18, m.specular);
    SetMaterialColor(rec, 21, m.emission);
    if (rec.F(24) >= 0.0f) m.shininess = rec.F(24) >= 255.0f ? 255 : (uint8_t)rec.F(24);
    SetByte(&pPart->bTransparent, rec.I(25));
    NKFFloatToColor(rec.F(26), &m.alpha);
    SetColor(rec, 27, pPart->uOutlineMeshColor);
    NKString texture = rec.Text(30);
    if (!texture.IsEmpty()) {
        int iImage = FindTextureImage(texture);
        if (iImage >= 0)
            pPart->pTexture = static_cast<ImageRecord *>(TextureImageList.GetAt(iImage));
    }
    if (rec.I(50) >= 0 && rec.I(50) <= NK_TEXTURE_PLANE_NEAREST) pPart->iTexturePlane = rec.I(50);
    SetByte(&pPart->envmode, rec.I(51));
    SetByte(&pPart->bTextureTile, rec.I(52));
    if (rec.I(54) > 0) {
        SetByte(&pPart->uTextureMode[0], rec.I(53));
        if (pPart->uTextureMode[0] == 0) pPart->uTextureMode[1] = 1;
    }
}

}  // namespace

bool NKFLoadTextures(void)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || pParser->GetNumBlocks(NKF_TEXTURES) < 1) return false;
    for (int i = 0; i < pParser->GetNumBlocks(NKF_TEXTURES); i++) {
        auto *pBlock = dynamic_cast<NKFTextureBlock *>(pParser->GetBlock(NKF_TEXTURES, i));
        if (pBlock == nullptr || !pBlock->LoadData()) return false;
        NKString name;
        name.Assign(pBlock->GetName().GetText(), (int)strnlen(pBlock->GetName().GetText(), 69));
        bool bAdded = false;
        for (int h = 0; h < NKFGetNumDisplayStateHooks() && !bAdded; h++) {
            const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
            if (hooks.pfnAddTextureImage != nullptr)
                bAdded = hooks.pfnAddTextureImage(name.GetText(), pBlock->GetWidth(),
                                                  pBlock->GetHeight(), pBlock->GetPixels());
        }
        pBlock->FreeData();
        if (!bAdded) return false;
    }
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnTextureImagesAdded != nullptr)
            hooks.pfnTextureImagesAdded(0, TextureImageList.GetSize() - 1);
    }
    return true;
}

bool NKFApplyPartAttributes(int iStep, NKGeometry *pGeo)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr || pGeo == nullptr) return false;
    auto *pGeoBlock =
        dynamic_cast<NKFQuolinGeometryBlock *>(pParser->FindBlock(NKF_QUOLINGEOMETRY, 1));
    if (pGeoBlock == nullptr) return false;
    int iID = pGeoBlock->GetPartAttributesBlockId(iStep);
    if (iID < 0) return false;
    auto *pBlock = FindLoaded<NKFPartAttributesBlock>(NKF_PARTATTRIBUTES, iID);
    if (pBlock == nullptr) return false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        const NKFPartAttributes *pRec = pBlock->GetPartAttributes(i);
        if (pRec != nullptr) ApplyPart(*pRec, &pGeo->pParts[i]);
    }
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnPartTexturesChanged != nullptr) hooks.pfnPartTexturesChanged();
    }
    return true;
}

bool NKFApplyItems(void)
{
    auto *pItems = FindLoaded<NKFItemsBlock>(NKF_ITEMS, 1);
    if (pItems == nullptr) return false;
    const NKFMainSettings *pMain = nullptr;
    if (pItems->GetCount(NKF_ITEM_CUTPLANE) > 0) {
        auto *pSettings = FindLoaded<NKFSettingsBlock>(NKF_SETTINGS, 1);
        if (pSettings == nullptr || pSettings->GetMainSettings() == nullptr) return false;
        pMain = pSettings->GetMainSettings();
    }
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnApplyCutPlanes != nullptr && pItems->GetCount(NKF_ITEM_CUTPLANE) > 0)
            hooks.pfnApplyCutPlanes(*pItems, pMain);
    }
    // Only the first iso-surface is used.
    const NKFIsoSurfaceItem *pIso = pItems->GetIsoSurface(0);
    if (pIso != nullptr && pIso->IsSetF(1))
        Run(NKString::FromFormat("isosurface %.9g", (double)pIso->F(1)));
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnApplyParticleTraces != nullptr) hooks.pfnApplyParticleTraces(*pItems);
        if (hooks.pfnApplyTraces != nullptr) hooks.pfnApplyTraces(*pItems);
    }
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnInitNodePlot != nullptr && pItems->GetCount(NKF_ITEM_NODEPLOT) > 0)
            hooks.pfnInitNodePlot();
    }
    for (int i = 0; i < pItems->GetCount(NKF_ITEM_NODEPLOT); i++) {
        const NKFNodeItem *pPlot = pItems->GetNodePlot(i);
        if (pPlot != nullptr)
            Run(NKString::FromFormat("np add %d,%d", (int)pPlot->I(2), (int)pPlot->I(1)));
    }
    return true;
}

bool NKFApplyAnimationSettings(void)
{
    auto *pSettings = FindLoaded<NKFSettingsBlock>(NKF_SETTINGS, 1);
    if (pSettings == nullptr) return false;
    const NKFMainSettings *pMain = pSettings->GetMainSettings();
    if (pMain == nullptr || g_pModel == nullptr) return true;
    int iType = g_pModel->animationType;
    uint8_t bCycle = g_pModel->bAnimationCycle;
    if (iType != 0) Run(NKString("noanim"));
    bool bOk = true;
    if (pMain->I(239) >= 1 || pMain->I(240) >= 1) {
        NKString mode = NKString::FromFormat("mode %d %d", (int)pMain->I(239), (int)pMain->I(240));
        if (pMain->I(242) != 0 && pMain->I(242) != -1) mode = mode + NKString(" scl");
        bOk = Run(mode) == 0;
    }
    if (bOk && pMain->I(238) > 0)
        bOk = Run(NKString::FromFormat("interpolatestates %d", (int)pMain->I(238))) == 0;
    if (iType != 0) {
        g_pModel->bAnimationCycle = bCycle;
        Run(NKString(iType == 1 ? "anim_run 0 0" : "anim_run 0 -1"));
    }
    return bOk;
}
