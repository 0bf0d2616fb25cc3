// plot/nk_nkf_plot.cpp -- plot source 3, NKF plot files (see nk_nkf_plot.h).
// The parser stays open until the next init, because the series are loaded
// from the file when first asked for.
#include "plot/nk_nkf_plot.h"

#include <cstring>
#include <new>

#include "core/nk_diagnostic.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "nkf/nkf_commands_plots.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "plot/nk_plot_source.h"

namespace {

NKFReader *sg_pParser = nullptr;
NKString sg_FileName;  // the file-name part of the opened path

// The path without its directory; both '/' and '\' separate.
NKString FileNamePart(const char *pszPath)
{
    const char *pszName = pszPath;
    for (const char *p = pszPath; *p != 0; p++)
        if (*p == '/' || *p == '\\') pszName = p + 1;
    return NKString(pszName);
}

NKF2DPlotSeriesBlock *Block(int iComponent)
{
    if (sg_pParser == nullptr || iComponent < 0) return nullptr;
    if (iComponent >= sg_pParser->GetNumBlocks(NKF_2DPLOTSERIES)) return nullptr;
    return static_cast<NKF2DPlotSeriesBlock *>(sg_pParser->GetBlock(NKF_2DPLOTSERIES, iComponent));
}

// The block with its data loaded; null when missing or the load fails.
NKF2DPlotSeriesBlock *LoadedBlock(int iComponent)
{
    NKF2DPlotSeriesBlock *pBlock = Block(iComponent);
    if (pBlock != nullptr && !pBlock->IsDataLoaded() && !pBlock->LoadData()) return nullptr;
    return pBlock;
}

// A name array of n entries, filled by pfnName(i); null for n < 1.
template <typename F>
char **MakeNames(int n, F pfnName)
{
    char **ppNames = (char **)NKAllocBlockArray(NK_PLOT_NAME_SIZE, n);
    for (int i = 0; ppNames != nullptr && i < n; i++)
        NKSetPlotText(ppNames[i], NK_PLOT_NAME_SIZE, pfnName(i).GetText());
    return ppNames;
}

bool IsNameListed(const NKString &name, char **ppszNames, int iCount)
{
    for (int k = 0; k < iCount; k++)
        if (ppszNames[k] != nullptr && name == ppszNames[k]) return true;
    return false;
}

// Names, label and points of one picked series into its curve.
bool FillCurve(PlotCurve *pCurve, NKF2DPlotSeriesBlock *pBlock, int iSeries)
{
    NKString name = pBlock->GetSeriesName(iSeries);
    pCurve->szName = NKString(name.GetText());
    if (pCurve->szName.GetLength() > 200) pCurve->szName.Truncate(200);
    NKSetPlotText(pCurve->szLabel, sizeof(pCurve->szLabel), name.GetText());
    int n = pBlock->GetNumPoints(iSeries);
    if (n != pCurve->iNumPoints && !NKSetPlotCurvePointCount(pCurve, n)) return false;
    const float *pfPoints = pBlock->GetPoints(iSeries);
    for (int i = 0; i < n && pfPoints != nullptr; i++) {
        pCurve->pPoints[i].x = pfPoints[2 * i];
        pCurve->pPoints[i].y = pfPoints[2 * i + 1];
    }
    return true;
}

}  // namespace

void NKNKFPlotFree(void)
{
    delete sg_pParser;
    sg_pParser = nullptr;
}

bool NKNKFPlotInit(const char *pszFileName)
{
    NKNKFPlotFree();
    NKWaitCursor cursor;
    NKSetStatusText("Parsing NKF file...");
    int iFailure = NKF_PARSE_FILE_OK;
    sg_pParser = NKFParseFile(pszFileName, &iFailure);
    if (iFailure == NKF_PARSE_FILE_NO_MEMORY) {
        NKDiagnostic("Error allocating sg_pParser", "NKNKFPlotInit");
        NKPrintError("Out of memory");
        return false;
    }
    if (sg_pParser == nullptr) {
        NKPrintError("Error parsing NKF file. File not found or error in file.");
        NKSetStatusText("");
        return false;
    }
    if (sg_pParser->GetNumBlocks(NKF_2DPLOTSERIES) == 0)
        NKPrintError(NKString::FromFormat(
                         "No Plot data (*2DPLOTSERIES block) found in NKF file: %s", pszFileName)
                         .GetText());
    sg_FileName = FileNamePart(pszFileName);
    return true;
}

char **NKNKFPlotGetCategoryNames(void)
{
    return MakeNames(1, [](int) { return sg_FileName; });
}

int NKNKFPlotGetComponentCount(void)
{
    return sg_pParser == nullptr ? 0 : sg_pParser->GetNumBlocks(NKF_2DPLOTSERIES);
}

char **NKNKFPlotGetComponentNames(void)
{
    return MakeNames(NKNKFPlotGetComponentCount(), [](int i) { return Block(i)->GetName(); });
}

int NKNKFPlotGetSeriesCount(int iComponent)
{
    NKF2DPlotSeriesBlock *pBlock = Block(iComponent);
    return pBlock == nullptr ? 0 : pBlock->GetNumSeries();
}

char **NKNKFPlotGetSeriesNames(int iComponent)
{
    NKF2DPlotSeriesBlock *pBlock = LoadedBlock(iComponent);
    if (pBlock == nullptr) return nullptr;
    return MakeNames(pBlock->GetNumSeries(), [pBlock](int i) { return pBlock->GetSeriesName(i); });
}

int NKNKFPlotReadCurves(int iComponent, char **ppszNames, int iCount, PlotCurve **ppCurves)
{
    NKF2DPlotSeriesBlock *pBlock = LoadedBlock(iComponent);
    if (pBlock == nullptr || ppszNames == nullptr) return 0;
    int iPicked = 0;
    int *piPicked = (int *)NKCalloc((size_t)pBlock->GetNumSeries() + 1, sizeof(int));
    if (piPicked == nullptr) return 0;
    for (int i = 0; i < pBlock->GetNumSeries(); i++)
        if (IsNameListed(pBlock->GetSeriesName(i), ppszNames, iCount)) piPicked[iPicked++] = i;
    // The caller's array has one slot per given name; a series is taken
    // once, so the picks never outnumber the names.
    if (iPicked > iCount) iPicked = iCount;
    int iMade = 0;
    if (iPicked > 0 && NKCreatePlotCurves(pBlock->GetNumPoints(0), ppCurves, iPicked)) {
        iMade = iPicked;
        for (int i = 0; i < iPicked; i++) {
            if (!FillCurve(ppCurves[i], pBlock, piPicked[i])) {
                NKFreePlotCurves(ppCurves, iPicked);
                iMade = 0;
                break;
            }
        }
    }
    NKFree(piPicked);
    return iMade;
}

bool NKNKFPlotSetDefaults(PlotRecord *pPlot)
{
    pPlot->bTitleShown = 1;
    pPlot->bXTitleShown = pPlot->bYTitleShown = 1;
    pPlot->bLegendShown = 1;
    pPlot->bLegendShowsLabels = 1;
    pPlot->bXMarkerLine = pPlot->bMarkerLineShown = pPlot->bFollowSteps = 1;
    pPlot->iPlotKind = 2;
    pPlot->iXAxisQuantity = 2;
    pPlot->iYQuantity = 0;
    pPlot->szTitle = NKString::FromFormat("NKF Plot (%s)", sg_FileName.GetText());
    pPlot->szXTitle = "?????";
    pPlot->szYTitle = "?????";
    pPlot->szLegendTitle = "?????";
    return true;
}

namespace {
// The text cut to the 200 characters of a plot title.
NKString Title200(const NKString &text)
{
    NKString out(text.GetText());
    if (out.GetLength() > 200) out.Truncate(200);
    return out;
}
}  // namespace

bool NKNKFPlotSetTitles(PlotRecord *pPlot, int iComponent)
{
    NKF2DPlotSeriesBlock *pBlock = Block(iComponent);
    if (pBlock == nullptr) return false;
    pPlot->iPlotKind = 8;
    pPlot->iXAxisQuantity = 2;
    pPlot->szXTitle = Title200(pBlock->GetXAxisName());
    pPlot->szYTitle = Title200(pBlock->GetYAxisName());
    pPlot->szLegendTitle = Title200(pBlock->GetName());
    return true;
}
