// plot/nk_element_history.cpp -- the element history plot and its "ep"
// command (see nk_element_history.h), over the LS-DYNA reader's per-element
// reads across states (readers/nk_lsdyna.h).
#include "plot/nk_element_history.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_plot_records.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_lsdyna.h"

namespace {

// The LS-DYNA class of an element kind of the current geometry; 0 for none.
uint32_t ElementClass(const NKPartItemRef &ref)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    if (pGeo == nullptr || ref.iPart < 0 || ref.iPart >= pGeo->iNumParts) return 0;
    const NKPart &part = pGeo->pParts[ref.iPart];
    if (ref.iIndex < 0 || ref.iIndex >= part.iNumElements || part.pElements == nullptr) return 0;
    switch (part.pElements[ref.iIndex].iType) {
    case NK_ELEM_TETRAHEDRON:
    case NK_ELEM_BRICK:
        return NK_DYNA_SOLIDS;
    case NK_ELEM_THICKSHELL:
        return NK_DYNA_THICK_SHELLS;
    case NK_ELEM_SHELL:
        return NK_DYNA_SHELLS;
    case NK_ELEM_DYNA_BEAM:
        return NK_DYNA_BEAMS;
    default:
        return 0;
    }
}

// The number of elements of the classes before uClass in the database's
// global element numbering (solids, thick shells, beams, shells).
int ClassOffset(uint32_t uClass)
{
    const uint32_t auOrder[4] = {NK_DYNA_SOLIDS, NK_DYNA_THICK_SHELLS, NK_DYNA_BEAMS,
                                 NK_DYNA_SHELLS};
    int iOffset = 0;
    for (uint32_t u : auOrder) {
        if (u == uClass) break;
        iOffset += NKLSDynaGetNumElements(u, 0);
    }
    return iOffset;
}

// One element of a request: its global number, its number within its class
// and its part and element for the curve.
struct Collected {
    NKPartItemRef ref;
    int iGlobal;
    int iInClass;
};

// The elements of uClass in list order with their numbers; for shells the
// model coordinates of their 4 corners go to pCorners (8 x 3 floats each).
void Collect(const std::vector<NKPartItemRef> &elements, uint32_t uClass,
             std::vector<Collected> *pOut, std::vector<float> *pCorners)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    int iOffset = ClassOffset(uClass);
    for (const NKPartItemRef &ref : elements) {
        if (ElementClass(ref) != uClass) continue;
        int iGlobal = pGeo->pParts[ref.iPart].pElements[ref.iIndex].iGlobalIndex;
        pOut->push_back({ref, iGlobal, iGlobal - iOffset});
        size_t iFirst = pCorners->size();
        pCorners->resize(iFirst + 24, 0.0f);
        if (uClass == NK_DYNA_SHELLS) NKGetElementNodeCoords(pFrame, &ref, &(*pCorners)[iFirst], 4);
    }
}

// The curve of one element over the states, added unless its key exists.
bool AddCurve(PlotRecord *pPlot, const Collected &e, const float *pfValues, int iNumStates)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    int iId = pGeo->pParts[e.ref.iPart].pElements[e.ref.iIndex].iID;
    NKString name = NKString::FromFormat("%d,%d", e.ref.iPart + 1, iId);
    PlotCurve *pCurve = NKPlotAddCurve(pPlot, e.ref.iPart + 1, iId, name.GetText(), iNumStates);
    if (pCurve == nullptr) return true;
    pCurve->iKind = 5;
    pCurve->iXQuantity = pPlot->iXAxisQuantity;
    pCurve->iYQuantity = pPlot->iYQuantity;
    if (!NKSetPlotCurvePointCount(pCurve, iNumStates)) {
        NKPlotDeleteCurve(pPlot, e.ref.iPart + 1, iId);
        return true;
    }
    for (int s = 0; s < iNumStates; s++) {
        pCurve->pPoints[s].x = NKLSDynaGetStateTime(s);
        pCurve->pPoints[s].y = pfValues[s];
    }
    uint8_t ucColor[3];
    NKPlotPickCurveColor(ucColor, pPlot);
    std::memcpy(pCurve->ucLineColor, ucColor, 3);
    std::memcpy(pCurve->ucMarkerColor, ucColor, 3);
    pCurve->iLineStyle = NKPlotPickLineStyle(pPlot);
    pCurve->iMarkerType = NKPlotPickMarkerType(pPlot, ucColor);
    return true;
}

}  // namespace

namespace ElementHistoryPlot {

bool Create(void)
{
    if (!NKCreateCurrentPlot(g_pCurrentPlot != nullptr)) return false;
    PlotRecord *pPlot = g_pCurrentPlot;
    pPlot->szTitle = "Element histories";
    pPlot->szLegendTitle = "Element";
    pPlot->szXTitle = "Time";
    pPlot->szYTitle = "Unknown";
    pPlot->bXTitleShown = pPlot->bYTitleShown = pPlot->bTitleShown = pPlot->bLegendShown = 1;
    pPlot->bXMarkerLine = pPlot->bMarkerLineShown = pPlot->bFollowSteps = 1;
    pPlot->iPlotKind = 5;
    pPlot->iXAxisQuantity = 2;
    pPlot->iYQuantity = 0;
    uint32_t uCleared = NK_AXIS_FLAG_BIT(NK_AXIS_X_ZERO) | NK_AXIS_FLAG_BIT(NK_AXIS_X_ZERO_BASED) |
                        NK_AXIS_FLAG_BIT(NK_AXIS_X_FORCE_MINMAX);
    NKSetPlotAxisFlags(pPlot, nullptr, uCleared, 0);
    NKSetPlotAxisFlags(pPlot, nullptr, NK_AXIS_FLAG_BIT(NK_AXIS_X_EXACT), 1);
    NKPlotUpdateAxes(pPlot);
    return true;
}

bool AddHistories(int iResult, const std::vector<NKPartItemRef> &elements)
{
    PlotRecord *pPlot = g_pCurrentPlot;
    std::unique_ptr<NKStringList> pNames(NKLSDynaGetScalarNames());
    if (pPlot == nullptr || elements.empty() || pNames == nullptr || iResult < 0 ||
        iResult >= pNames->GetCount())
        return false;
    uint32_t uClass = ElementClass(elements[0]);
    if (uClass == 0) return false;
    std::vector<Collected> collected;
    std::vector<float> corners;
    Collect(elements, uClass, &collected, &corners);
    int iNumStates = NKLSDynaGetNumStates();
    int n = (int)collected.size();
    if (iNumStates < 1 || n < 1) return false;
    std::vector<int> numbers;
    for (const Collected &e : collected) numbers.push_back(e.iInClass);
    std::vector<float> values((size_t)n * (size_t)iNumStates, 0.0f);
    float *pOut = values.data();
    int iRead = NKLSDynaReadStateResult(
        nullptr, iNumStates, &iResult, 1, numbers.data(), n, &pOut, uClass,
        uClass == NK_DYNA_SHELLS ? reinterpret_cast<const float(*)[8][3]>(corners.data())
                                 : nullptr);
    if (iRead < iNumStates) return false;
    int iTotal = 0;
    for (uint32_t u : {NK_DYNA_SOLIDS, NK_DYNA_THICK_SHELLS, NK_DYNA_BEAMS, NK_DYNA_SHELLS})
        iTotal += NKLSDynaGetNumElements(u, 0);
    for (int i = 0; i < n; i++) {
        if (collected[i].iGlobal < 0 || collected[i].iGlobal >= iTotal) {
            NKPrintError("Illegal element specified.");
            return false;
        }
        AddCurve(pPlot, collected[i], &values[(size_t)i * iNumStates], iNumStates);
    }
    pPlot->szYTitle = pNames->Get(iResult);
    NKPlotComputeDataRange(pPlot);
    NKPlotUpdateAxes(pPlot);
    return true;
}

}  // namespace ElementHistoryPlot

namespace {

// Splits off the first blank-separated word of *pRest (leading blanks
// skipped); the rest keeps what follows the word.
std::string TakeWord(std::string *pRest)
{
    size_t i = pRest->find_first_not_of(" \t");
    if (i == std::string::npos) {
        pRest->clear();
        return "";
    }
    size_t j = pRest->find_first_of(" \t", i);
    std::string word = pRest->substr(i, j == std::string::npos ? std::string::npos : j - i);
    *pRest = j == std::string::npos ? "" : pRest->substr(j);
    return word;
}

// A whole, non-blank number within the int range (its fraction dropped);
// a value beyond that range, or not finite ("inf", "nan"), is no number.
bool IsNumber(const std::string &word, int *piValue)
{
    if (word.empty()) return false;
    char *pEnd = nullptr;
    double d = std::strtod(word.c_str(), &pEnd);
    if (pEnd == word.c_str() || *pEnd != 0) return false;
    if (!std::isfinite(d) || std::fabs(d) >= 2147483648.0) return false;
    *piValue = (int)d;
    return true;
}

// The elements of the text, "p,e" or an ID each, blanks next to a comma
// removed; false when one does not resolve.
bool ParseElements(const std::string &text, std::vector<NKPartItemRef> *pOut)
{
    NKString simple(text.c_str());
    simple.Simplify();
    simple.ReplaceAll(" ,", ",");
    simple.ReplaceAll(", ", ",");
    std::string rest = simple.GetText();
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    for (std::string word = TakeWord(&rest); !word.empty(); word = TakeWord(&rest)) {
        NKPartItemRef ref = {-1, -1};
        if (!NKParseElementSpec(pGeo, NKString(word.c_str()), &ref)) return false;
        pOut->push_back(ref);
    }
    return true;
}

// 1 done, 0 failed, -2 no such sub-command.
int RunElementHistory(const char *pszArguments)
{
    if (NKGetInterfaceType() != NK_INTERFACE_LSDYNA) return 0;
    std::string rest = pszArguments != nullptr ? pszArguments : "";
    std::string word = TakeWord(&rest);
    if (word.empty()) return g_pCurrentPlot != nullptr || ElementHistoryPlot::Create() ? 1 : 0;
    bool bAdd = word == "add";
    if (bAdd) {
        if (g_pCurrentPlot == nullptr) return 0;
        word = TakeWord(&rest);
    }
    int iNumber = 0;
    if (!IsNumber(word, &iNumber)) return word == "del" ? 1 : -2;
    std::vector<NKPartItemRef> elements;
    if (!ParseElements(rest, &elements)) return 0;
    if (!bAdd && !ElementHistoryPlot::Create()) return 0;
    if (!elements.empty() && !ElementHistoryPlot::AddHistories(iNumber - 1, elements)) return 0;
    return 1;
}

}  // namespace

int NKCommandElementHistory(const CommandTableEntry *pEntry, const char *pszArguments)
{
    int iResult = RunElementHistory(pszArguments);
    if (iResult == -2) {
        NKCommandError(pEntry, "Could not find sub command");
        return NK_CMD_FAILED;
    }
    if (iResult != 1) {
        NKCommandError(pEntry, "Error executing sub command");
        return NK_CMD_FAILED;
    }
    g_bPlotShown = 1;
    NKInvalidateViewForPlot();
    return NK_CMD_DONE;
}
