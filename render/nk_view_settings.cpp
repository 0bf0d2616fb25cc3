// render/nk_view_settings.cpp -- creation and resets of the view settings
// (see nk_view_settings.h).
#include "render/nk_view_settings.h"

#include "core/nk_memory.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"

NKViewSettings *g_pViewSettings = nullptr;

NKViewSettings *NKCreateViewSettings(NKViewSettings *pSettings)
{
    if (pSettings == nullptr) {
        pSettings = static_cast<NKViewSettings *>(NKCalloc(1, sizeof(NKViewSettings)));
        if (pSettings == nullptr) return nullptr;
    }
    NKResetViewSettings(pSettings, NK_VIEW_RESET_STARTUP);
    return pSettings;
}

// Every field that modes 0 and 1 both reset.
static void ResetSharedFields(NKViewSettings *p)
{
    p->bUpdateScene = 1;
    p->bShowModel = 1;
    p->iAxisFlags = 0;
    p->bShowPerformance = p->bShowNodeNumbers = 0;
    p->bShowUserPoints = p->bShowUserLabels = p->bShowUserText = 0;
    p->bShowBox = p->bBoxOverAllSteps = p->bShowUndeformed = 0;
    p->bShowContours = p->bShowAllPointsScalar = 0;
    p->bShowStep = 1;
    p->bShowBoundary = p->bShowMousePosition = p->bTraceNodes = 0;
    p->bLargeText = p->bMouseDrag = p->bTransparentFast = p->bShowRotationPoint = 0;
    p->bOcclusionCull = p->bHotSpotsEnabled = 0;
    p->bHotSpotHighlight = 1;
    p->bHotSpotShowAll = 0;
    p->iHoveredPart = -1;
    p->bNodeAverage = 1;
    p->bShowPartNames = 0;
    p->bValueFilter = 0;
    p->iFilterDrawStyle = 3;
    p->fFilterMin = -1e12f;
    p->fFilterMax = 1e12f;
    p->bShowLegend = 0;
    p->bShowLegendLabels = 1;
}

bool NKResetViewSettings(NKViewSettings *pSettings, int iMode)
{
    if (pSettings == nullptr) return false;
    if (iMode == NK_VIEW_RESET_KEEP) return true;
    ResetSharedFields(pSettings);
    if (iMode == NK_VIEW_RESET_STARTUP) {
        pSettings->bShowInfo = 1;
        pSettings->bFrustumCull = 1;
        pSettings->bFrustumCullInfo = 0;
        pSettings->iFrustumCullMethod = 1;
        pSettings->iMoveMode = NK_MOVE_NORMAL;
    }
    // The core copies that the result code reads follow the reset.
    g_bContoursShown = pSettings->bShowContours;
    g_ValueFilterSettings.bValueFilter = pSettings->bValueFilter;
    g_ValueFilterSettings.fFilterMin = pSettings->fFilterMin;
    g_ValueFilterSettings.fFilterMax = pSettings->fFilterMax;
    return true;
}
