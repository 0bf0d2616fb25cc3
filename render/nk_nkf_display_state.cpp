// render/nk_nkf_display_state.cpp -- the drawing code's part of the NKF
// display state (nkf/nkf_display_hooks.h): the words of the settings
// records that the drawing code's records hold, written by the NKF export
// and put back by the NKF import, and the texture images of an NKF file.
//
// NKInstallNKFDisplayState adds the hooks at start-up. Each apply writes a
// word only when it is set (nkf/nkf_state_records.h) and keeps values the
// drawing code could not use (a background mode or legend tick count out of
// range) out of its records.
#include "render/nk_nkf_display_state.h"

#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_export_items.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_export.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_fringe_texture.h"
#include "render/nk_legend.h"
#include "render/nk_lights.h"
#include "render/nk_node_colors.h"
#include "render/nk_overlays.h"
#include "render/nk_part_overlays.h"
#include "render/nk_render_options.h"
#include "render/nk_scene_view.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"

namespace {

void SetByte(uint8_t *pb, int32_t iWord)
{
    if (iWord != -1) *pb = (uint8_t)(iWord & 0xff);
}

void FillColor(NKFMainSettings *pRec, int n, const uint8_t *puColor)
{
    for (int c = 0; c < 3; c++) pRec->SetF(n + c, NKFColorToFloat(puColor[c]));
}

void ApplyColor(const NKFMainSettings &rec, int n, uint8_t *puColor)
{
    for (int c = 0; c < 3; c++) NKFFloatToColor(rec.F(n + c), &puColor[c]);
}

const char *ImageName(const ImageRecord *pImage)
{
    return pImage != nullptr ? pImage->szName.GetText() : "";
}

ImageRecord *FindImage(const NKString &name)
{
    if (name.IsEmpty()) return nullptr;
    int i = NKFindTextureImage(&TextureImageList, name.GetText());
    return i < 0 ? nullptr : static_cast<ImageRecord *>(TextureImageList.GetAt(i));
}

void FillView(NKFMainSettings *pRec)
{
    const NKViewSettings *v = g_pViewSettings;
    if (v == nullptr) return;
    const int32_t aiWords[] = {v->bShowInfo,
                               v->bShowStep,
                               v->iAxisFlags,
                               v->bShowPerformance,
                               v->bShowBox,
                               v->bShowUndeformed,
                               v->bShowAllPointsScalar,
                               v->bShowRotationPoint,
                               v->bShowPartNames,
                               v->bTransparentFast,
                               v->iMoveMode};
    for (int k = 0; k < 11; k++) pRec->SetI(1 + k, aiWords[k]);
    pRec->SetI(34, v->bShowLegend);
    pRec->SetI(35, v->bShowLegendLabels);
    pRec->SetI(36, v->bNodeAverage);
    pRec->SetI(47, v->bShowLegendLabels);
    if (v->bShowUserText) {
        pRec->SetText(110, g_UserText.Text.GetText());
        pRec->SetF(130, g_UserText.fX);
        pRec->SetF(131, g_UserText.fY);
    }
}

void FillMain(NKFMainSettings *pRec, const NKFExportSettings *pSettings)
{
    FillView(pRec);
    if (g_pBackgroundSettings != nullptr) {
        pRec->SetI(12, g_pBackgroundSettings->iMode);
        for (int b = 0; b < 4; b++) FillColor(pRec, 13 + 3 * b, g_pBackgroundSettings->ucColors[b]);
    }
    FillColor(pRec, 25, g_uTextColor);
    FillColor(pRec, 28, g_uMeshColor);
    FillColor(pRec, 31, g_uUndeformedColor);
    FillColor(pRec, 37, NKFringeAboveColor);
    FillColor(pRec, 40, NKFringeBelowColor);
    FillColor(pRec, 43, NKUndefinedValueColor);
    pRec->SetI(46, NKLegendMaxTicks);
    pRec->SetText(48, NKLegendDescription.GetText());
    for (int k = 0; k < NK_NUM_LIGHTS && g_pLights != nullptr; k++)
        pRec->SetI(89 + k, g_pLights[k].bOn);
    float afEye[3], afVrp[3], afUp[3];
    if (pSettings != nullptr && pSettings->bViewpoint &&
        NKGetCurrentViewPoint(afEye, afVrp, afUp)) {
        DisplayToModel(afEye);
        DisplayToModel(afVrp);
        DisplayToModelVector(afUp);
        NKVec3Normalize(afUp);
        for (int a = 0; a < 3; a++) {
            pRec->SetF(98 + a, afEye[a]);
            pRec->SetF(101 + a, afVrp[a]);
            pRec->SetF(104 + a, afUp[a]);
        }
    }
    float afPoint[3] = {0.0f, 0.0f, 0.0f};
    NKGetRotationPoint(afPoint);
    DisplayToModel(afPoint);
    for (int a = 0; a < 3; a++) pRec->SetF(107 + a, afPoint[a]);
    if (g_LogoState.pImage != nullptr) pRec->SetText(153, ImageName(g_LogoState.pImage));
    pRec->SetI(173, g_LogoState.iCorner);
    pRec->SetF(174, g_LogoState.fXScale);
    pRec->SetF(175, g_LogoState.fYScale);
    if (g_BackgroundImage.pImage != nullptr)
        pRec->SetText(176, ImageName(g_BackgroundImage.pImage));
    if (!NKFloatsEqual(g_fMeshDepthFactor, g_fDepthEpsilon)) pRec->SetF(237, g_fMeshDepthFactor);
    FillColor(pRec, 248, g_uContourLineColor);
    pRec->SetI(251, g_iContourLineWidth);
    for (int k = 0; k < 48 && g_pFringeTextureColors != nullptr; k++)
        pRec->SetF(252 + k, (float)g_pFringeTextureColors->auColors[k]);
}

void ApplyView(const NKFMainSettings &rec)
{
    NKViewSettings *v = g_pViewSettings;
    if (v == nullptr) return;
    SetByte(&v->bShowInfo, rec.I(1));
    SetByte(&v->bShowStep, rec.I(2));
    if (rec.I(3) != -1) v->iAxisFlags = rec.I(3);
    uint8_t *apFlags[] = {&v->bShowPerformance,     &v->bShowBox,           &v->bShowUndeformed,
                          &v->bShowAllPointsScalar, &v->bShowRotationPoint, &v->bShowPartNames,
                          &v->bTransparentFast};
    for (int k = 0; k < 7; k++) SetByte(apFlags[k], rec.I(4 + k));
    if (rec.I(11) >= NK_MOVE_NORMAL && rec.I(11) <= NK_MOVE_LOD) v->iMoveMode = rec.I(11);
}

void ApplyLegend(const NKFMainSettings &rec)
{
    if (g_pViewSettings != nullptr) {
        SetByte(&g_pViewSettings->bShowLegend, rec.I(34));
        SetByte(&g_pViewSettings->bShowLegendLabels, rec.I(35));
        SetByte(&g_pViewSettings->bNodeAverage, rec.I(36));
    }
    ApplyColor(rec, 37, NKFringeAboveColor);
    ApplyColor(rec, 40, NKFringeBelowColor);
    ApplyColor(rec, 43, NKUndefinedValueColor);
    if (rec.I(46) != -1) NKLegendMaxTicks = rec.I(46) & 0xff;
    if (g_pViewSettings != nullptr) SetByte(&g_pViewSettings->bShowLegendLabels, rec.I(47));
    if (!rec.Text(48).IsEmpty()) NKLegendDescription = rec.Text(48);
}

// No GL here: the table is uploaded by the next drawing that enables it.
void ApplyFringeTable(const NKFMainSettings &rec)
{
    if (g_pFringeTextureColors == nullptr) return;
    bool bChanged = false;
    for (int k = 0; k < 48; k++) {
        float f = rec.F(252 + k);
        if (!(f >= 0.0f)) continue;
        g_pFringeTextureColors->auColors[k] = f >= 255.0f ? (uint8_t)255 : (uint8_t)f;
        bChanged = true;
    }
    if (bChanged) NKFringeTextureDirty = 1;
}

void ApplyViewpoint(const NKFMainSettings &rec)
{
    if (!rec.IsSetF(98)) return;
    float afEye[3], afVrp[3], afUp[3];
    for (int a = 0; a < 3; a++) {
        afEye[a] = rec.F(98 + a);
        afVrp[a] = rec.F(101 + a);
        afUp[a] = rec.F(104 + a);
    }
    ModelToDisplay(afEye);
    ModelToDisplay(afVrp);
    ModelToDisplayVector(afUp);
    NKVec3Normalize(afUp);
    NKLookAtMatrix(afEye, afVrp, afUp, g_ViewMatrix);
}

void ApplyTexts(const NKFMainSettings &rec)
{
    if (!rec.Text(110).IsEmpty()) {
        g_UserText.Text = rec.Text(110);
        if (g_pViewSettings != nullptr) g_pViewSettings->bShowUserText = 1;
    }
    if (rec.IsSetF(130)) g_UserText.fX = rec.F(130);
    if (rec.IsSetF(131)) g_UserText.fY = rec.F(131);
}

void ApplyImages(const NKFMainSettings &rec)
{
    if (ImageRecord *pLogo = FindImage(rec.Text(153))) g_LogoState.pImage = pLogo;
    if (rec.I(173) >= 0 && rec.I(173) <= 3) g_LogoState.iCorner = rec.I(173);
    if (rec.IsSetF(174)) g_LogoState.fXScale = rec.F(174);
    if (rec.IsSetF(175)) g_LogoState.fYScale = rec.F(175);
    if (ImageRecord *pBack = FindImage(rec.Text(176))) g_BackgroundImage.pImage = pBack;
}

void ApplyMain(const NKFMainSettings &rec, int iGroup)
{
    switch (iGroup) {
    case NKF_MAIN_VIEW:
        ApplyView(rec);
        break;
    case NKF_MAIN_BACKGROUND:
        if (g_pBackgroundSettings == nullptr) break;
        if (rec.I(12) >= 0 && rec.I(12) <= 5) g_pBackgroundSettings->iMode = rec.I(12);
        for (int b = 0; b < 4; b++) ApplyColor(rec, 13 + 3 * b, g_pBackgroundSettings->ucColors[b]);
        break;
    case NKF_MAIN_COLORS:
        ApplyColor(rec, 25, g_uTextColor);
        ApplyColor(rec, 28, g_uMeshColor);
        ApplyColor(rec, 31, g_uUndeformedColor);
        break;
    case NKF_MAIN_FRINGE_TABLE:
        ApplyFringeTable(rec);
        break;
    case NKF_MAIN_LEGEND:
        ApplyLegend(rec);
        break;
    case NKF_MAIN_MESH_FACTOR:
        if (rec.IsSetF(237) && rec.F(237) >= -1.0f && rec.F(237) <= 1.0f)
            g_fMeshDepthFactor = rec.F(237);
        break;
    case NKF_MAIN_LIGHTS:
        for (int k = 0; k < NK_NUM_LIGHTS && g_pLights != nullptr; k++)
            SetByte(&g_pLights[k].bOn, rec.I(89 + k));
        if (g_pListUpdateInfo != nullptr) g_pListUpdateInfo->bLightSwitches = 1;
        break;
    case NKF_MAIN_VIEWPOINT:
        ApplyViewpoint(rec);
        break;
    case NKF_MAIN_ROTATION_POINT:
        if (rec.IsSetF(107)) {
            float afPoint[3] = {rec.F(107), rec.F(108), rec.F(109)};
            ModelToDisplay(afPoint);
            NKSetRotationPoint(afPoint);
        }
        break;
    case NKF_MAIN_TEXTS:
        ApplyTexts(rec);
        break;
    case NKF_MAIN_IMAGES:
        ApplyImages(rec);
        break;
    case NKF_MAIN_CONTOURS:
        ApplyColor(rec, 248, g_uContourLineColor);
        if (rec.I(251) > 0) g_iContourLineWidth = rec.I(251);
        break;
    default:
        break;
    }
}

void FillScalar(NKFScalarSettings *pRec)
{
    if (g_pViewSettings != nullptr) pRec->SetI(4, g_pViewSettings->iFilterDrawStyle);
}

// The view settings keep a copy of the value filter the NKF code set.
void ApplyScalar(const NKFScalarSettings &rec, int)
{
    NKViewSettings *v = g_pViewSettings;
    if (v == nullptr) return;
    v->bValueFilter = g_ValueFilterSettings.bValueFilter;
    v->fFilterMin = g_ValueFilterSettings.fFilterMin;
    v->fFilterMax = g_ValueFilterSettings.fFilterMax;
    if (rec.I(4) != -1) v->iFilterDrawStyle = rec.I(4);
}

bool AddTextureImage(const char *pszName, int iWidth, int iHeight, const uint8_t *pcPixels)
{
    if (iWidth < 0 || iHeight < 0) return false;
    auto *pImage = new ImageRecord();
    pImage->szName = pszName;
    size_t nBytes = (size_t)iWidth * (size_t)iHeight * 3;
    if (nBytes > 0) {
        pImage->pPixels = (uint8_t *)NKAlloc(nBytes);
        if (pImage->pPixels == nullptr || pcPixels == nullptr) {
            NKFree(pImage->pPixels);
            delete pImage;
            return false;
        }
        std::memcpy(pImage->pPixels, pcPixels, nBytes);
    }
    pImage->iWidth = iWidth;
    pImage->iHeight = iHeight;
    return NKAddTextureImage(&TextureImageList, pImage) != nullptr;
}

void TextureImagesAdded(int iFirst, int iLast)
{
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, iFirst, iLast);
    NKFringeTextureDirty = 1;
}

void PartTexturesChanged(void) { NKFlagTexturesForUpdate(g_pListUpdateInfo, -1, -1); }

NKFDisplayStateHooks Hooks(void)
{
    NKFDisplayStateHooks hooks;
    hooks.pfnFillMain = FillMain;
    hooks.pfnApplyMain = ApplyMain;
    hooks.pfnFillScalar = FillScalar;
    hooks.pfnApplyScalar = ApplyScalar;
    hooks.pfnAddTextureImage = AddTextureImage;
    hooks.pfnTextureImagesAdded = TextureImagesAdded;
    hooks.pfnPartTexturesChanged = PartTexturesChanged;
    return hooks;
}

bool sg_bInstalled = false;

}  // namespace

void NKInstallNKFDisplayState(bool bInstall)
{
    NKFInstallDisplayStateHooks(Hooks(), bInstall, &sg_bInstalled);
}
