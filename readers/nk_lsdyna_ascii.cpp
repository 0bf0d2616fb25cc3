// readers/nk_lsdyna_ascii.cpp -- the LS-DYNA ASCII output files as plot
// source 1 (see nk_lsdyna_ascii.h): the file-kind table, the scan results
// per kind, the names handed out, the curves made from a kind's read step,
// and the plot's defaults and titles. The parsers are in
// nk_lsdyna_ascii_kinds.cpp.
#include "readers/nk_lsdyna_ascii.h"

#include <cstring>

#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_plot_records.h"
#include "readers/nk_lsdyna_ascii_kinds.h"

namespace {

// Per kind: the file name (also the key), its title, and the legend and
// plot titles of its plots.
struct AsciiKindInfo {
    const char *pszFile;
    const char *pszTitle;
    const char *pszLegend;
    const char *pszPlotTitle;
};
const AsciiKindInfo kKinds[NK_ASCII_NUM_KINDS] = {
    {"ABSTAT", "Airbag Statistics", "Airbag", "Airbag Statistics"},
    {"MATSUM", "Material Energies", "Material", "Material Energies"},
    {"RCFORC", "Res. Int. Forces", "Interface", "Resultant Interface Forces"},
    {"TRHIST", "Tracer history", "Particle", "Tracer Particle Results"},
    {"NODOUT", "Nodal printout", "Node", "Nodal Printout"},
    {"GLSTAT", "Global statistics", "Element", "Global Statistics"},
    {"DEFORC", "Discrete element forces", "Spring/Damper", "Discrete Element Forces"}};

struct AsciiKindState {
    NKString szXTitle;  // "Time" after a successful scan
    NKAsciiScan scan;
};
AsciiKindState g_aKinds[NK_ASCII_NUM_KINDS];

const char *const kReadError = "Error reading plot data from LSDYNA ASCII file.";

bool ValidKind(int iKind) { return iKind >= 0 && iKind < NK_ASCII_NUM_KINDS; }

}  // namespace

bool LSDynaAsciiPlotSource::Init(const char *)
{
    for (int k = 0; k < NK_ASCII_NUM_KINDS; k++) {
        AsciiKindState &state = g_aKinds[k];
        state = AsciiKindState();
        NKAsciiText file;
        if (file.Load(kKinds[k].pszFile) && NKAsciiScanKind(k, file, &state.scan))
            state.szXTitle = "Time";
    }
    return true;
}

bool LSDynaAsciiPlotSource::Close(void)
{
    for (AsciiKindState &state : g_aKinds) state = AsciiKindState();
    return true;
}

int LSDynaAsciiPlotSource::GetCategoryCount(void) { return NK_ASCII_NUM_KINDS; }

char **LSDynaAsciiPlotSource::GetCategoryNames(void)
{
    std::vector<NKString> names;
    for (const AsciiKindInfo &k : kKinds)
        names.push_back(NKString::FromFormat("%s (%s)", k.pszTitle, k.pszFile));
    return NKMakePlotNameArray(names);
}

int LSDynaAsciiPlotSource::GetComponentCount(int iCategory)
{
    return ValidKind(iCategory) ? (int)g_aKinds[iCategory].scan.componentNames.size() : 0;
}

char **LSDynaAsciiPlotSource::GetComponentNames(int iCategory)
{
    return ValidKind(iCategory) ? NKMakePlotNameArray(g_aKinds[iCategory].scan.componentNames)
                                : nullptr;
}

int LSDynaAsciiPlotSource::GetSeriesCount(int iCategory, int)
{
    return ValidKind(iCategory) ? (int)g_aKinds[iCategory].scan.entities.size() : 0;
}

char **LSDynaAsciiPlotSource::GetSeriesNames(int iCategory, int)
{
    std::vector<NKString> names;
    if (ValidKind(iCategory))
        for (int e : g_aKinds[iCategory].scan.entities) names.push_back(NKString::FromInt(e));
    return NKMakePlotNameArray(names);
}

int LSDynaAsciiPlotSource::ReadCurves(int iCategory, int iComponent, char **ppszNames, int iCount,
                                      PlotCurve **ppCurves)
{
    if (!ValidKind(iCategory) || ppszNames == nullptr || ppCurves == nullptr || iCount < 1) {
        NKPrintError(kReadError);
        return 0;
    }
    std::vector<int> entities((size_t)iCount);
    for (int i = 0; i < iCount; i++)
        entities[(size_t)i] = ppszNames[i] != nullptr ? NKString(ppszNames[i]).ToInt() : -1;
    const NKAsciiScan &scan = g_aKinds[iCategory].scan;
    NKAsciiText file;
    NKAsciiValues values;
    if (!file.Load(kKinds[iCategory].pszFile) ||
        !NKAsciiReadKind(iCategory, file, scan, entities, iComponent, &values) ||
        !NKCreatePlotCurves(scan.iNumStates, ppCurves, iCount)) {
        NKPrintError(kReadError);
        return 0;
    }
    for (int i = 0; i < iCount; i++) {
        PlotCurve *p = ppCurves[i];
        p->szName = ppszNames[i];
        NKSetPlotText(p->szLabel, (int)sizeof(p->szLabel), ppszNames[i]);
        for (int s = 0; s < scan.iNumStates; s++)
            p->pPoints[s] = {values.times[(size_t)s], values.values[(size_t)i][(size_t)s]};
    }
    return iCount;
}

PlotCurve *LSDynaAsciiPlotSource::ReadCurve(int iCategory, int iComponent, const char *pszName)
{
    char *apszNames[1] = {const_cast<char *>(pszName)};
    PlotCurve *pCurve = nullptr;
    return ReadCurves(iCategory, iComponent, apszNames, 1, &pCurve) == 1 ? pCurve : nullptr;
}

bool LSDynaAsciiPlotSource::SetDefaults(PlotRecord *pPlot)
{
    if (pPlot == nullptr) return false;
    pPlot->iPlotKind = 3;
    pPlot->iXAxisQuantity = 2;
    pPlot->iYQuantity = 0;
    pPlot->bTitleShown = pPlot->bXTitleShown = pPlot->bYTitleShown = pPlot->bLegendShown = 1;
    pPlot->szTitle = "LSDYNA ASCII PLOT";
    pPlot->szXTitle = "?????";
    pPlot->szYTitle = "?????";
    pPlot->szLegendTitle = "?????";
    return true;
}

bool LSDynaAsciiPlotSource::SetTitles(PlotRecord *pPlot, int iCategory, int iComponent)
{
    if (pPlot == nullptr || !ValidKind(iCategory)) return false;
    const AsciiKindState &state = g_aKinds[iCategory];
    pPlot->iPlotKind = 3;
    pPlot->iXAxisQuantity = 2;
    pPlot->szXTitle = state.szXTitle.GetText();
    if (iComponent >= 0 && iComponent < (int)state.scan.componentNames.size())
        pPlot->szYTitle = state.scan.componentNames[(size_t)iComponent].GetText();
    pPlot->szLegendTitle = kKinds[iCategory].pszLegend;
    pPlot->szTitle = kKinds[iCategory].pszPlotTitle;
    return true;
}
