// plot/nk_plot_source.cpp -- the plot-source dispatcher and the plot
// builder (see nk_plot_source.h). Each operation switches on the current
// source; a source with nothing to say answers through NothingToSay.
#include "plot/nk_plot_source.h"

#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_plot_records.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "plot/nk_forming_limit.h"
#include "plot/nk_nkf_plot.h"
#include "plot/nk_plot.h"
#include "readers/nk_lsdyna_ascii.h"
#include "readers/nk_lsdyna_th.h"

namespace {

int sg_iCurrentSource = NK_PLOT_SOURCE_NONE;
// Set while a source loads its own geometry: the reset before that load
// must not close the source the geometry comes from.
bool sg_bKeepOpen = false;

// The one answer of a source that has nothing to say.
template <typename T>
T NothingToSay()
{
    return T();
}

namespace TH = LSDynaTimeHistorySource;
namespace ASCII = LSDynaAsciiPlotSource;
namespace FLD = FormingLimitPlot;

bool SourceInit(int iSource, const char *pszFileName)
{
    return NKPlotSourceInit(iSource, pszFileName);
}

void SourceClose(void)
{
    if (!sg_bKeepOpen) NKPlotSourceClose();
}

bool PlotExists(void) { return g_pCurrentPlot != nullptr; }

// Prints a name array as "  %d: %s\n" (numbered) or "  %s\n" lines.
void AppendNames(NKString *pText, char **ppNames, int iCount, bool bNumbered)
{
    for (int i = 0; ppNames != nullptr && i < iCount; i++) {
        if (bNumbered)
            *pText += NKString::FromFormat("  %d: %s\n", i + 1, ppNames[i]);
        else
            *pText += NKString::FromFormat("  %s\n", ppNames[i]);
    }
    NKFreeBlockArray((void **)ppNames, iCount);
}

// The style of a curve about to be appended (least-used choices against
// the curves already in the plot).
void StyleCurve(PlotCurve *pCurve, const PlotRecord *pPlot)
{
    if (pCurve->iKind == 4) {
        if (pCurve->iXQuantity == -1 && pCurve->iYQuantity == -1) return;
        NKPlotPickCurveColor(pCurve->ucLineColor, pPlot);
        for (int k = 0; k < 3; k++) pCurve->ucMarkerColor[k] = pCurve->ucLineColor[k];
        return;
    }
    NKPlotPickCurveColor(pCurve->ucLineColor, pPlot);
    pCurve->iLineStyle = NKPlotPickLineStyle(pPlot);
    pCurve->iMarkerType = NKPlotPickLetterMarker(pPlot, pCurve->ucLineColor);
}

}  // namespace

bool NKPlotSourceInit(int iSource, const char *pszFileName)
{
    sg_iCurrentSource = iSource;
    switch (iSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::Open(pszFileName);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::Init(pszFileName);
    case NK_PLOT_SOURCE_FLD:
        return FLD::Init(pszFileName);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotInit(pszFileName);
    default:
        return NothingToSay<bool>();
    }
}

bool NKPlotSourceClose(void)
{
    bool bResult = false;
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        bResult = TH::Close();
        break;
    case NK_PLOT_SOURCE_ASCII:
        bResult = ASCII::Close();
        break;
    case NK_PLOT_SOURCE_FLD:
        bResult = FLD::Close();
        break;
    default:
        break;  // an NKF plot file keeps its parser until the next init
    }
    sg_iCurrentSource = NK_PLOT_SOURCE_NONE;
    return bResult;
}

void NKPlotSourceKeepOpen(bool bKeep) { sg_bKeepOpen = bKeep; }

int NKGetCurrentPlotSource(void) { return sg_iCurrentSource; }

bool NKPlotSourceIsCurrent(int iSource) { return sg_iCurrentSource == iSource; }

bool NKPlotSourceNeedsGeometry(int iSource)
{
    if (iSource != sg_iCurrentSource) return false;
    return iSource == NK_PLOT_SOURCE_TH ? TH::NeedsGeometry() : NothingToSay<bool>();
}

int NKPlotSourceGetStateCount(void)
{
    return sg_iCurrentSource == NK_PLOT_SOURCE_TH ? TH::GetStateCount() : NothingToSay<int>();
}

int NKPlotSourceGetCategoryCount(void)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetCategoryCount();
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetCategoryCount();
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetCategoryCount();
    case NK_PLOT_SOURCE_NKF:
        return 1;
    default:
        return NothingToSay<int>();
    }
}

char **NKPlotSourceGetCategoryNames(void)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetCategoryNames();
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetCategoryNames();
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetCategoryNames();
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotGetCategoryNames();
    default:
        return NothingToSay<char **>();
    }
}

int NKPlotSourceGetComponentCount(int iCategory)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetComponentCount(iCategory);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetComponentCount(iCategory);
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetComponentCount(iCategory);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotGetComponentCount();
    default:
        return NothingToSay<int>();
    }
}

char **NKPlotSourceGetComponentNames(int iCategory)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetComponentNames(iCategory);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetComponentNames(iCategory);
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetComponentNames(iCategory);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotGetComponentNames();
    default:
        return NothingToSay<char **>();
    }
}

int NKPlotSourceGetSeriesCount(int iCategory, int iComponent)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetSeriesCount(iCategory, iComponent);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetSeriesCount(iCategory, iComponent);
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetSeriesCount(iCategory, iComponent);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotGetSeriesCount(iComponent);
    default:
        return NothingToSay<int>();
    }
}

char **NKPlotSourceGetSeriesNames(int iCategory, int iComponent)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::GetSeriesNames(iCategory, iComponent);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::GetSeriesNames(iCategory, iComponent);
    case NK_PLOT_SOURCE_FLD:
        return FLD::GetSeriesNames(iCategory, iComponent);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotGetSeriesNames(iComponent);
    default:
        return NothingToSay<char **>();
    }
}

NKGeometry *NKPlotSourceReadGeometry(int iValue)
{
    if (sg_iCurrentSource != NK_PLOT_SOURCE_TH) return NothingToSay<NKGeometry *>();
    return TH::ReadGeometry(iValue);
}

PlotCurve *NKPlotSourceReadCurve(int iCategory, int iComponent, int)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::ReadCurve(iCategory, iComponent, nullptr);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::ReadCurve(iCategory, iComponent, nullptr);
    default:
        return NothingToSay<PlotCurve *>();
    }
}

int NKPlotSourceReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount,
                           PlotCurve **ppCurves)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::ReadCurvesByName(iCategory, iComponent, ppszNames, iCount, ppCurves);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::ReadCurves(iCategory, iComponent, ppszNames, iCount, ppCurves);
    case NK_PLOT_SOURCE_FLD:
        return FLD::ReadCurves(iCategory, iComponent, ppszNames, iCount, ppCurves);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotReadCurves(iComponent, ppszNames, iCount, ppCurves);
    default:
        return NothingToSay<int>();
    }
}

bool NKPlotSourceSetDefaults(PlotRecord *pPlot)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::SetDefaults(pPlot);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::SetDefaults(pPlot);
    case NK_PLOT_SOURCE_FLD:
        return FLD::SetDefaults(pPlot);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotSetDefaults(pPlot);
    default:
        return NothingToSay<bool>();
    }
}

bool NKPlotSourceSetTitles(PlotRecord *pPlot, int iCategory, int iComponent)
{
    switch (sg_iCurrentSource) {
    case NK_PLOT_SOURCE_TH:
        return TH::SetTitles(pPlot, iCategory, iComponent);
    case NK_PLOT_SOURCE_ASCII:
        return ASCII::SetTitles(pPlot, iCategory, iComponent);
    case NK_PLOT_SOURCE_FLD:
        return FLD::SetTitles(pPlot, iCategory, iComponent);
    case NK_PLOT_SOURCE_NKF:
        return NKNKFPlotSetTitles(pPlot, iComponent);
    default:
        return NothingToSay<bool>();
    }
}

bool NKPlotInterfaceInfo(int iCategory, int iComponent)
{
    if (sg_iCurrentSource < NK_PLOT_SOURCE_TH || sg_iCurrentSource > NK_PLOT_SOURCE_NKF)
        return false;
    NKString text("\n* Plot Interface INFO :\n");
    if (iCategory == -1 && iComponent == -1) {
        int n = NKPlotSourceGetCategoryCount();
        text += NKString::FromFormat("  %d categories\n", n);
        AppendNames(&text, NKPlotSourceGetCategoryNames(), n, true);
    } else if (iComponent == -1) {
        int n = NKPlotSourceGetComponentCount(iCategory);
        text += NKString::FromFormat("  %d components\n", n);
        AppendNames(&text, NKPlotSourceGetComponentNames(iCategory), n, true);
    } else {
        int n = NKPlotSourceGetSeriesCount(iCategory, iComponent);
        text += NKString::FromFormat("  %d series\n", n);
        AppendNames(&text, NKPlotSourceGetSeriesNames(iCategory, iComponent), n, false);
    }
    NKPrintInfo(text.GetText());
    return true;
}

bool NKPlotSourceBuildPlot(int iCategory, int iComponent, char **ppszNames, int iCount,
                           PlotRecord *pPlot)
{
    int iMade = 0;
    bool bRead = false;
    PlotCurve **ppCurves = nullptr;
    if (NKPlotSourceGetSeriesCount(iCategory, iComponent) > 0) {
        if (iCount > 0) ppCurves = (PlotCurve **)NKCalloc((size_t)iCount, sizeof(PlotCurve *));
        if (ppCurves != nullptr) {
            iMade = NKPlotSourceReadCurves(iCategory, iComponent, ppszNames, iCount, ppCurves);
            bRead = true;
        }
    } else {
        ppCurves = (PlotCurve **)NKCalloc(1, sizeof(PlotCurve *));
        if (ppCurves != nullptr) {
            ppCurves[0] = NKPlotSourceReadCurve(iCategory, iComponent, 0);
            iMade = ppCurves[0] != nullptr ? 1 : 0;
            bRead = true;
        }
    }
    // A read refused because the database changed on disk leaves the plot
    // as it was (the refusal is reported by the source).
    if (bRead && sg_iCurrentSource == NK_PLOT_SOURCE_TH && TH::ReadRefused()) {
        NKFree(ppCurves);
        return false;
    }
    NKPlotDeleteAllCurves(pPlot);
    for (int i = 0; i < iMade; i++) {
        StyleCurve(ppCurves[i], pPlot);
        if (!NKPlotAppendCurve(pPlot, ppCurves[i])) NKFreePlotCurve(ppCurves[i]);
    }
    NKFree(ppCurves);
    NKPlotSourceSetDefaults(pPlot);
    NKPlotSourceSetTitles(pPlot, iCategory, iComponent);
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
    return true;
}

void NKInstallPlotHooks(void)
{
    NKLoadHooks load = NKGetLoadHooks();
    load.pfnPlotInterfaceInit = SourceInit;
    load.pfnPlotExists = PlotExists;
    NKSetLoadHooks(load);
    NKShellHooks shell = NKGetShellHooks();
    shell.pfnPlotInterfaceClose = SourceClose;
    NKSetShellHooks(shell);
    FLD::InstallHooks();
}
