// nkf/nkf_display_settings.cpp -- the settings step of an NKF file's display
// state (NKFApplySettings, nkf_display_state.h): the *SETTINGS block with
// ID 1 applied to the display records.
//
// The main record goes group by group (nkf_display_hooks.h gives the order):
// the NKF code applies the groups whose records the lower folders keep
// (graphics settings, clipping, model scale, step text, animation clock,
// mirror, contour switches), then every owner applies its words of the same
// group. Then the scalar records (fringe range and value filter), the vector
// records and the extra record.
#include <cmath>

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_display_state.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_state_blocks.h"

namespace {

int Run(const NKString &line) { return NKRunCommandLine(line.GetText()); }

void SetByte(uint8_t *pb, int32_t iWord)
{
    if (iWord != -1) *pb = (uint8_t)(iWord & 0xff);
}

void SetFloat(float *pf, const NKFMainSettings &rec, int n)
{
    if (rec.IsSetF(n)) *pf = rec.F(n);
}

// Seconds to whole milliseconds, rounded; false for an unset or unusable
// value (negative, or beyond a day).
bool SecondsToMs(float fSeconds, int32_t *piMs)
{
    if (fSeconds == NKF_UNSET_FLOAT || !(fSeconds >= 0.0f) || fSeconds > 86400.0f) return false;
    *piMs = (int32_t)std::lround((double)fSeconds * 1000.0);
    return true;
}

void ApplyGraphics(const NKFMainSettings &rec)
{
    NKGraphicsSettings *g = g_pGraphicsSettings;
    if (g == nullptr) return;
    SetByte(&g->bZBuffer, rec.I(68));
    SetByte(&g->bDither, rec.I(69));
    SetByte(&g->bFringeShade, rec.I(70));
    SetByte(&g->bTextureFringes, rec.I(71));
    if (rec.I(72) > 0) g->iLineWidth = rec.I(72);
    SetByte(&g->bLineSmooth, rec.I(73));
    if (rec.I(74) > 0) g->iPointSize = rec.I(74);
    SetByte(&g->bPointSmooth, rec.I(75));
    SetByte(&g->bPerspective, rec.I(76));
    SetByte(&g->bAutoClip, rec.I(77));
    SetByte(&g->bBackface, rec.I(78));
    SetByte(&g->bCull, rec.I(79));
    SetByte(&g->bFog, rec.I(80));
    SetFloat(&g->fFogStart, rec, 81);
    SetFloat(&g->fFogEnd, rec, 82);
    g->bChanged = 1;
}

void ApplyAnimation(const NKFMainSettings &rec)
{
    if (g_pModel != nullptr) SetByte(&g_pModel->bAnimationCycle, rec.I(196));
    // Frames per second; 0 and below would divide by zero or run backwards.
    if (rec.I(197) >= 1) g_AnimationSettings.iFrameInterval = 1000 / rec.I(197);
    SecondsToMs(rec.F(198), &g_AnimationSettings.iStartDelay);
    SecondsToMs(rec.F(199), &g_AnimationSettings.iStopDelay);
    if (rec.I(200) != -1) Run(NKString::FromFormat("maxfps %d", (int)rec.I(200)));
    if (rec.I(243) != -1)
        Run(NKString(rec.I(243) != 0 ? "drawanimationsetup" : "nodrawanimationsetup"));
}

void ApplyMirror(const NKFMainSettings &rec)
{
    NKMirrorSettings &m = g_MirrorSettings;
    SetByte(&m.bEnabled, rec.I(201));
    if (rec.I(202) >= 0) m.iRepeats = rec.I(202);
    SetByte(&m.bReflect, rec.I(203));
    if (rec.I(204) != -1) m.SetPreview(1, rec.I(204) != 0);
    if (rec.I(205) != -1) m.SetPreview(2, rec.I(205) != 0);
    for (int p = 0; p < 2; p++) {
        int w = 206 + 4 * p;
        if (!rec.IsSetF(w)) continue;
        float afPlane[4] = {rec.F(w), rec.F(w + 1), rec.F(w + 2), rec.F(w + 3)};
        m.SetPlane(p + 1, afPlane);
    }
}

// The contour count runs through its command, and only for the counts the
// command takes (a file's 0 would otherwise switch contours off).
void ApplyContours(const NKFMainSettings &rec)
{
    if (rec.I(244) >= 2 && rec.I(244) <= 200)
        Run(NKString::FromFormat("contours %d", (int)rec.I(244)));
    SetByte(&g_ContourSettings.bValueLabels, rec.I(245));
    SetByte(&g_ContourSettings.bAutoRange, rec.I(246));
    SetByte(&g_ContourSettings.bFringeColors, rec.I(247));
}

void ApplyOwnGroup(const NKFMainSettings &rec, int iGroup, bool *pbAnimate)
{
    switch (iGroup) {
    case NKF_MAIN_GRAPHICS:
        ApplyGraphics(rec);
        break;
    case NKF_MAIN_CLIPPING:
        if (rec.IsSetF(83)) Run(NKString::FromFormat("clipfront %.9g", (double)rec.F(83)));
        if (rec.IsSetF(84)) Run(NKString::FromFormat("clipback %.9g", (double)rec.F(84)));
        break;
    case NKF_MAIN_MODEL_SCALE:
        if (rec.IsSetF(95))
            Run(NKString::FromFormat("scalemodel %.9g %.9g %.9g", (double)rec.F(95),
                                     (double)rec.F(96), (double)rec.F(97)));
        break;
    case NKF_MAIN_VIEWPOINT:
        // The file's viewpoint in model coordinates, kept for the open file.
        if (rec.IsSetF(98))
            for (int k = 0; k < 9; k++) NKFGetFileViewpoint()[k] = rec.F(98 + k);
        break;
    case NKF_MAIN_TEXTS:
        if (!rec.Text(132).IsEmpty()) g_szStepText = rec.Text(132);
        break;
    case NKF_MAIN_START_ANIMATION:
        if (rec.I(152) != -1) *pbAnimate = rec.I(152) != 0;
        break;
    case NKF_MAIN_ANIMATION:
        ApplyAnimation(rec);
        break;
    case NKF_MAIN_MIRROR:
        ApplyMirror(rec);
        break;
    case NKF_MAIN_CONTOURS:
        ApplyContours(rec);
        break;
    default:
        break;
    }
}

void ApplyScalar(const NKFScalarSettings &rec, int i)
{
    if (g_pModel != nullptr && (rec.IsSetF(1) || rec.IsSetF(2))) {
        if (rec.IsSetF(1)) g_pModel->fFringeRangeFrom = rec.F(1);
        if (rec.IsSetF(2)) g_pModel->fFringeRangeTo = rec.F(2);
        g_bAutoFringeRange = 0;
    }
    if (g_pModel != nullptr)
        Run(NKString::FromFormat("fringerange %.9g %.9g %d", (double)g_pModel->fFringeRangeFrom,
                                 (double)g_pModel->fFringeRangeTo, i + 1));
    SetByte(&g_ValueFilterSettings.bValueFilter, rec.I(3));
    if (rec.IsSetF(5)) g_ValueFilterSettings.fFilterMin = rec.F(5);
    if (rec.IsSetF(6)) g_ValueFilterSettings.fFilterMax = rec.F(6);
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnApplyScalar != nullptr) hooks.pfnApplyScalar(rec, i);
    }
}

void SetVectorFloat(float *pf, const NKFVectorSettings &rec, int n)
{
    if (rec.IsSetF(n)) *pf = rec.F(n);
}

// Word 9 above 0 runs automatic scaling alone; 0 switches it off and sets
// the scale of word 1. Then the record's own fields.
void ApplyVector(const NKFVectorSettings &rec, int i, NKVectorSettings *pTarget)
{
    if (rec.I(9) > 0) {
        if (rec.IsSetF(10))
            Run(NKString::FromFormat("ascalevectors %.9g %d", (double)rec.F(10), i + 1));
    } else {
        if (rec.I(9) == 0) Run(NKString::FromFormat("noascalevectors %d", i + 1));
        if (rec.IsSetF(1))
            Run(NKString::FromFormat("scalevectors %.9g 0 0 %d", (double)rec.F(1), i + 1));
    }
    NKVectorSettings &v = *pTarget;
    SetByte(&v.bArrows, rec.I(2));
    if (rec.IsSetF(3) && rec.F(3) >= 0.0f) v.fArrowSize = rec.F(3);
    for (int c = 0; c < 3; c++) NKFFloatToColor(rec.F(4 + c), &v.uColor[c]);
    SetByte(&v.bScalarColor, rec.I(7));
    SetByte(&v.bSurfaceNodesOnly, rec.I(8));
    SetVectorFloat(&v.fClampMin, rec, 11);
    SetVectorFloat(&v.fClampMax, rec, 12);
    SetByte(&v.bClamp, rec.I(13));
    SetVectorFloat(&v.fFilterMin, rec, 14);
    SetVectorFloat(&v.fFilterMax, rec, 15);
    SetByte(&v.bFilter, rec.I(16));
    SetByte(&v.bShown, rec.I(17));
}

}  // namespace

bool NKFApplySettings(bool *pbAnimate)
{
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr) return false;
    auto *pBlock = dynamic_cast<NKFSettingsBlock *>(pParser->FindBlock(NKF_SETTINGS, 1));
    if (pBlock == nullptr || !pBlock->LoadData()) return false;
    if (const NKFMainSettings *pMain = pBlock->GetMainSettings()) {
        for (int g = 0; g < NKF_MAIN_GROUPS; g++) {
            ApplyOwnGroup(*pMain, g, pbAnimate);
            NKFApplyMainSettingsGroup(*pMain, g);
        }
    }
    for (int i = 0; i < pBlock->GetNumScalarSettings(); i++)
        if (const NKFScalarSettings *pRec = pBlock->GetScalarSettings(i)) ApplyScalar(*pRec, i);
    int nVectors = pBlock->GetNumVectorSettings();
    for (int i = 0; i < nVectors && (nVectors == 1 || i < 3); i++) {
        const NKFVectorSettings *pRec = pBlock->GetVectorSettings(i);
        if (pRec == nullptr) continue;
        ApplyVector(*pRec, i, nVectors == 1 ? &g_VectorSettings : &g_SeparateVectorSettings[i]);
    }
    if (const NKFExtraSettings *pExtra = pBlock->GetExtraSettings()) {
        for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
            const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
            if (hooks.pfnApplyExtra != nullptr) hooks.pfnApplyExtra(*pExtra);
        }
    }
    NKInvalidateView();
    return true;
}
