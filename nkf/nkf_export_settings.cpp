// nkf/nkf_export_settings.cpp -- the settings step of the NKF export: one
// *SETTINGS block with ID 1 holding the main, scalar, vector and extra
// settings records (nkf_state_records.h), so that the import's settings
// step (nkf_display_settings.cpp) restores the same display state.
//
// Each record starts with its kind's defaults; the NKF code fills the words
// of the records the lower folders keep, and the owners of the other
// display records fill theirs through nkf_display_hooks.h. Every word is
// written one by one, little-endian; text fields as their 80 bytes.
#include <algorithm>

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "nkf/nkf_display_hooks.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_state_records.h"

namespace {

const int kMainBytes = NKF_MAIN_SETTINGS_WORDS * 4;
const int kScalarBytes = NKF_SCALAR_SETTINGS_WORDS * 4;
const int kVectorBytes = NKF_VECTOR_SETTINGS_WORDS * 4;
const int kExtraBytes = NKF_EXTRA_SETTINGS_WORDS * 4;

template <int N>
void WriteRecord(NKFExporter *pOut, const NKFRecord<N> &rec, const int *piTextWords)
{
    int t = 0;
    for (int w = 0; w < N; w++) {
        if (piTextWords[t] == w) {
            pOut->WriteRaw(&rec.aiWords[w], 80);
            w += 19;
            t++;
        } else {
            pOut->WriteInt(rec.aiWords[w]);
        }
    }
}

void FillGraphics(NKFMainSettings *pRec)
{
    const NKGraphicsSettings *g = g_pGraphicsSettings;
    if (g == nullptr) return;
    const int32_t aiWords[] = {g->bZBuffer,     g->bDither,     g->bFringeShade, g->bTextureFringes,
                               g->iLineWidth,   g->bLineSmooth, g->iPointSize,   g->bPointSmooth,
                               g->bPerspective, g->bAutoClip,   g->bBackface,    g->bCull,
                               g->bFog};
    for (int k = 0; k < 13; k++) pRec->SetI(68 + k, aiWords[k]);
    pRec->SetF(81, g->fFogStart);
    pRec->SetF(82, g->fFogEnd);
}

// The frame interval as frames per second; -1 where that means nothing
// (no interval, or below one frame a second).
int32_t FramesPerSecond(int32_t iInterval)
{
    return (iInterval >= 1 && iInterval <= 1000) ? 1000 / iInterval : -1;
}

void FillOwnMain(NKFMainSettings *pRec, const NKFExportSettings &settings)
{
    FillGraphics(pRec);
    pRec->SetF(83, g_fNearClip);
    pRec->SetF(84, g_fFarClip);
    if (g_pModel != nullptr)
        for (int a = 0; a < 3; a++) pRec->SetF(95 + a, g_pModel->fAxisScale[a]);
    pRec->SetText(132, g_szStepText.GetText());
    pRec->SetI(152, settings.bStartAnimation ? 1 : 0);
    if (g_pModel != nullptr) pRec->SetI(196, g_pModel->bAnimationCycle);
    pRec->SetI(197, FramesPerSecond(g_AnimationSettings.iFrameInterval));
    // Seconds; a division keeps whole milliseconds exact (1500 ms is 1.5).
    pRec->SetF(198, (float)g_AnimationSettings.iStartDelay / 1000.0f);
    pRec->SetF(199, (float)g_AnimationSettings.iStopDelay / 1000.0f);
    // The animation clock keeps no frame rate of its own: the maximum frame
    // rate is the one whose maxfps gives the frame interval back.
    pRec->SetI(200, FramesPerSecond(g_AnimationSettings.iFrameInterval));
    const NKMirrorSettings &m = g_MirrorSettings;
    pRec->SetI(201, m.bEnabled);
    pRec->SetI(202, m.iRepeats);
    pRec->SetI(203, m.bReflect);
    pRec->SetI(204, m.GetPreview(1) ? 1 : 0);
    pRec->SetI(205, m.GetPreview(2) ? 1 : 0);
    for (int k = 0; k < 4; k++) {
        pRec->SetF(206 + k, m.fPlane1[k]);
        pRec->SetF(210 + k, m.fPlane2[k]);
    }
    if (g_pModel != nullptr) {
        pRec->SetI(238, g_pModel->iNumInterstateFrames);
        pRec->SetI(239, g_pModel->iModeNegativeSteps);
        pRec->SetI(240, g_pModel->iModePositiveSteps);
        pRec->SetI(241, g_pModel->bModeShapeAnimation);
        pRec->SetI(242, g_pModel->bModeShapeScalar);
    }
    pRec->SetI(243, g_AnimationSettings.bDrawAnimationSetup);
    // Contours shown: their count; hidden, the word stays unset, so that a
    // re-open does not switch them on (or run an empty contour command).
    if (g_bContoursShown) pRec->SetI(244, g_ContourSettings.iNumLevels);
    pRec->SetI(245, g_ContourSettings.bValueLabels);
    pRec->SetI(246, g_ContourSettings.bAutoRange);
    pRec->SetI(247, g_ContourSettings.bFringeColors);
}

void FillVector(NKFVectorSettings *pRec, int i, const NKVectorSettings &v)
{
    if (g_pModel != nullptr && 2 + i < NK_NUM_VALUE_RANGES)
        pRec->SetF(1, g_pModel->valueRanges[2 + i].from);
    pRec->SetI(2, v.bArrows);
    pRec->SetF(3, v.fArrowSize);
    for (int c = 0; c < 3; c++) pRec->SetF(4 + c, NKFColorToFloat(v.uColor[c]));
    pRec->SetI(7, v.bScalarColor);
    pRec->SetI(8, v.bSurfaceNodesOnly);
    pRec->SetI(9, v.bAutoScale);
    pRec->SetF(10, v.fAutoScaleFactor);
    pRec->SetF(11, v.fClampMin);
    pRec->SetF(12, v.fClampMax);
    pRec->SetI(13, v.bClamp);
    pRec->SetF(14, v.fFilterMin);
    pRec->SetF(15, v.fFilterMax);
    pRec->SetI(16, v.bFilter);
    pRec->SetI(17, v.bShown);
}

// An owner's plot record, when a current plot exists.
bool FillExtra(NKFExtraSettings *pRec)
{
    NKFInitExtraSettings(pRec);
    for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
        const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
        if (hooks.pfnFillExtra != nullptr && hooks.pfnFillExtra(pRec)) return true;
    }
    return false;
}

}  // namespace

void NKFFillMainSettings(NKFMainSettings *pRec, const NKFExportSettings &settings)
{
    NKFInitMainSettings(pRec);
    FillOwnMain(pRec, settings);
    NKFFillMainSettingsFromOwners(pRec, &settings);
}

bool NKFExporter::NKFWriteMainSettings()
{
    NKFMainSettings rec;
    NKFFillMainSettings(&rec, m_Settings);
    WriteRecord(this, rec, g_aiMainTextWords);
    return true;
}

bool NKFExporter::NKFWriteScalarSettings(int iCount)
{
    for (int i = 0; i < iCount; i++) {
        NKFScalarSettings rec;
        NKFInitScalarSettings(&rec);
        if (g_pModel != nullptr) {
            rec.SetF(1, g_pModel->fFringeRangeFrom);
            rec.SetF(2, g_pModel->fFringeRangeTo);
        }
        rec.SetI(3, g_ValueFilterSettings.bValueFilter);
        rec.SetF(5, g_ValueFilterSettings.fFilterMin);
        rec.SetF(6, g_ValueFilterSettings.fFilterMax);
        for (int h = 0; h < NKFGetNumDisplayStateHooks(); h++) {
            const NKFDisplayStateHooks &hooks = NKFGetDisplayStateHooks(h);
            if (hooks.pfnFillScalar != nullptr) hooks.pfnFillScalar(&rec);
        }
        WriteRecord(this, rec, g_aiNoTextWords);
    }
    return true;
}

bool NKFExporter::NKFWriteVectorSettings(int iCount)
{
    for (int i = 0; i < iCount; i++) {
        NKFVectorSettings rec;
        NKFInitVectorSettings(&rec);
        if (iCount == 1)
            FillVector(&rec, i, g_VectorSettings);
        else if (i < 3)
            FillVector(&rec, i, g_SeparateVectorSettings[i]);
        WriteRecord(this, rec, g_aiNoTextWords);
    }
    return true;
}

bool NKFExporter::NKFWriteExtraSettings()
{
    NKFExtraSettings rec;
    if (FillExtra(&rec)) WriteRecord(this, rec, g_aiExtraTextWords);
    return true;
}

// Vector records: one for the frame's vector result, or one per separate
// vector slot in use among the data source's transformation results, at
// most the three that have settings of their own.
int NKFExporter::CountVectorSettings() const
{
    if (!m_Settings.bVectorSettings) return 0;
    int n = m_Source.iNumTransformations;
    if (n <= 0) return 1;
    int iUsed = 0;
    const NKFrame *pFrame =
        (g_pModel != nullptr && g_pModel->iNumFrames > 0) ? g_pModel->pFrames : nullptr;
    for (int s = 0; pFrame != nullptr && s < n && s < NK_NUM_SEPARATE_VECTOR_SLOTS; s++)
        if (pFrame->pSeparateVectors[s] != nullptr) iUsed++;
    return std::min(iUsed, 3);
}

bool NKFExporter::ExportSettings()
{
    int iScalar = m_Settings.bScalarSettings ? 1 : 0;
    int iVector = CountVectorSettings();
    NKFExtraSettings extra;
    int iExtra = (m_Settings.bFlags[1] && FillExtra(&extra)) ? 1 : 0;
    int64_t iSize = (int64_t)kMainBytes + (int64_t)kScalarBytes * iScalar +
                    (int64_t)kVectorBytes * iVector + (int64_t)kExtraBytes * iExtra;
    if (!BeginBlock(NKF_SETTINGS, 1, 24, iSize)) return false;
    const int32_t aiCounts[] = {1, iScalar, iVector, iExtra};
    WriteInts(aiCounts, 4);
    if (!NKFWriteMainSettings() || !NKFWriteScalarSettings(iScalar) ||
        !NKFWriteVectorSettings(iVector))
        return false;
    if (iExtra) WriteRecord(this, extra, g_aiExtraTextWords);
    return WriteEndOfBlock();
}
