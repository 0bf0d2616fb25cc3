// plot/nk_plot_commands.cpp -- NKCommandHandlePlot, the plot command handler
// (slot NK_HANDLER_PLOT): `th`, `plt` and `np` through their parsers, the
// node traces (`trace`, `notrace`), the short forms that run plt or np
// lines, and `export plot`, the column export of the current plot's curves.
// `dp` and `lp` are answered by their tools (tools/), `shellaxes` by its
// command, `ep` by the element history plot.
#include "plot/nk_plot_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_shell_axes_command.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_references.h"
#include "plot/nk_difference_plot.h"
#include "plot/nk_element_history.h"
#include "plot/nk_length_plot.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_source.h"
#include "plot/nk_plot_window.h"
#include "render/nk_command_actions.h"
#include "render/nk_view_settings.h"
#include "tools/nk_surface_path.h"

float g_fPlotScale = 2.0f;

namespace {

// The text behind the handler's "PARAMS" prefix.
const char *Arguments(const char *pszArguments)
{
    if (std::strncmp(pszArguments, "PARAMS", 6) == 0) pszArguments += 6;
    while (*pszArguments == ' ') pszArguments++;
    return pszArguments;
}

int Done(const char *pszText)
{
    if (pszText != nullptr) NKPrintInfo(pszText);
    return NK_CMD_DONE;
}

int Failed(const CommandTableEntry *pEntry, const char *pszText)
{
    NKCommandError(pEntry, pszText);
    return NK_CMD_FAILED;
}

int HandleTh(CommandTableEntry *pEntry, const char *pszArgs)
{
    int iResult = NKCommandParseThCmd(pszArgs);
    if (iResult == 1) return NK_CMD_DONE;
    if (iResult == -2) return Failed(pEntry, "Could not find sub command");
    if (iResult == 0 || iResult == -1 || iResult == -3 || iResult == -4)
        return Failed(pEntry, "Error executing sub command");
    return NK_CMD_FAILED;
}

// dp and lp: 1 redraws the plot view; -2 and 0, -1, -3, -4 are command
// errors, named by the command word even when a sub-command row matched.
int HandleToolAnswer(const CommandTableEntry *pEntry, int iResult)
{
    if (iResult == 1) {
        NKInvalidateViewForPlot();
        return NK_CMD_DONE;
    }
    CommandTableEntry family = *pEntry;
    char *pszBlank = std::strchr(family.name, ' ');
    if (pszBlank != nullptr) *pszBlank = 0;
    if (iResult == -2) return Failed(&family, "Could not find sub command");
    return Failed(&family, "Error executing sub command");
}

int HandlePlt(CommandTableEntry *pEntry, const char *pszArgs)
{
    if (PlotCommand(pszArgs)) {
        NKInvalidateViewForPlot();
        return NK_CMD_DONE;
    }
    if (g_pCurrentPlot == nullptr)
        return Failed(pEntry, "Error executing sub command, no plot exists");
    return Failed(pEntry, "Error executing sub command");
}

int HandleNp(CommandTableEntry *pEntry, const char *pszArgs)
{
    int iResult = NodePlotCommand(pszArgs);
    if (iResult == 1) {
        NKInvalidateViewForPlot();
        return NK_CMD_DONE;
    }
    if (iResult == -2) return Failed(pEntry, "Could not find sub command");
    if (iResult == 0 || iResult == -1 || iResult == -3 || iResult == -4) {
        NKCommandError(pEntry, "Error executing sub command");
        return Failed(pEntry, "Remember to use part,node for specifying nodes.");
    }
    return NK_CMD_FAILED;
}

void SetTracesShown(uint8_t bOn)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->bTraceNodes = bOn;
}

int HandleTrace(CommandTableEntry *pEntry, const char *pszArgs)
{
    std::vector<std::string> words = NKSplitPlotWords(pszArgs, true);
    if (words.empty()) return Failed(pEntry, "No nodes specified");
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    for (const std::string &word : words) {
        NKPartItemRef ref = {-1, -1};
        if (!NKParseNodeSpec(pGeo, NKString(word.c_str()), &ref))
            return Failed(pEntry, "Illegal node specification.\nRemember to use part,node for "
                                  "specifying nodes");
        if (!NKAddTraceNode(ref.iPart, ref.iIndex)) return Failed(pEntry, "Out of memory");
    }
    NKComputeNodeTraces();
    SetTracesShown(1);
    NKInvalidateView();
    return Done(
        NKString::FromFormat("Turn on tracing of %d node(s) during animation", (int)words.size())
            .GetText());
}

int HandleNoTrace(CommandTableEntry *, const char *)
{
    NKClearTraceNodes();
    NKComputeNodeTraces();
    SetTracesShown(0);
    NKInvalidateView();
    return Done("Turn off tracing of nodes");
}

// Runs a command line and prints pszText when it succeeded.
int RunLine(const NKString &line, const char *pszText)
{
    int iResult = ExecuteCommand(line.GetText());
    if (iResult == NK_CMD_DONE && pszText != nullptr) NKPrintInfo(pszText);
    return iResult;
}

int HandlePlotBgColor(CommandTableEntry *, const char *pszArgs)
{
    std::vector<std::string> words = NKSplitPlotWords(pszArgs, false);
    int aiRGB[3] = {0, 0, 255};
    for (size_t i = 0; i < words.size() && i < 3; i++) aiRGB[i] = std::atoi(words[i].c_str());
    if (!words.empty()) {
        NKString line = NKString::FromFormat("plt bgcolor %d %d %d", aiRGB[0], aiRGB[1], aiRGB[2]);
        if (ExecuteCommand(line.GetText()) != NK_CMD_DONE) return NK_CMD_FAILED;
    }
    return RunLine("plt nobglegend", "Set single color background in XY-plot");
}

// plotsize: 0.1 to 3.0; the plot gets a third of it in each direction, but
// never less than the 0.1 that `plt size` accepts.
int HandlePlotSize(CommandTableEntry *pEntry, const char *pszArgs)
{
    std::vector<std::string> words = NKSplitPlotWords(pszArgs, false);
    float s = 1.0f;
    if (!words.empty() && !NKWordToFloat(words[0].c_str(), &s))
        return Failed(pEntry, "Illegal parameter specified");
    if (s > 3.0f) {
        s = 3.0f;
        NKPrintInfo("Plotsize clamped to 3.0 (Legal values 0.1 -> 3.0)");
    } else if (s < 0.1f) {
        s = 0.1f;
        NKPrintInfo("Plotsize clamped to 0.1 (Legal values 0.1 -> 3.0)");
    } else {
        NKPrintInfo(NKString::FromFormat("Plotsize set to %4.2f (Default 1.0)", s).GetText());
    }
    float f = std::max(s / 3.0f, 0.1f);
    return ExecuteCommand(NKString::FromFormat("plt size %g %g", f, f).GetText());
}

int HandlePlotRange(CommandTableEntry *, const char *pszArgs)
{
    int iResult = ExecuteCommand((NKString("plt scalex ") + pszArgs).GetText());
    PlotRecord *p = g_pCurrentPlot;
    if (p != nullptr)
        NKPrintInfo(NKString::FromFormat("Plot range set to %g -> %g",
                                         p->XTransform.Apply(p->fXMin),
                                         p->XTransform.Apply(p->fXMax))
                        .GetText());
    return iResult;
}

int HandleExportPlot(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString name;
    params.NKGetFirstParameterString(&name, true, 0);
    const PlotRecord *p = g_pCurrentPlot;
    if (p == nullptr) return Failed(pEntry, "No plot to export to file.");
    if (p->iNumCurves < 1) return Failed(pEntry, "No curves to export to file.");
    std::vector<int> curves;
    for (int i = 0; i < p->iNumCurves; i++) {
        if (p->ppCurves[i]->iNumPoints != p->ppCurves[0]->iNumPoints)
            return Failed(pEntry,
                          "All curves must have equal number of points to be exported to file.");
        curves.push_back(i);
    }
    if (!NKExportPlotCurves(p, curves.data(), (int)curves.size(), name.GetText(), nullptr, false,
                            true))
        return Failed(
            pEntry,
            NKString::FromFormat("Error exporting plot to file '%s'.", name.GetText()).GetText());
    return Done(NKString::FromFormat("Plot exported to file '%s'.", name.GetText()).GetText());
}

// plot: a node plot of the arguments.
int HandlePlot(CommandTableEntry *, const char *pszArgs)
{
    return ExecuteCommand((NKString("np ") + pszArgs).GetText());
}

int HandleDp(CommandTableEntry *pEntry, const char *pszArgs)
{
    return HandleToolAnswer(pEntry, NKCommandDifferencePlot(pszArgs));
}

int HandleLp(CommandTableEntry *pEntry, const char *pszArgs)
{
    return HandleToolAnswer(pEntry, NKCommandLengthPlot(pszArgs));
}

int HandleEp(CommandTableEntry *pEntry, const char *pszArgs)
{
    return NKCommandElementHistory(pEntry, pszArgs);
}

// The commands that run one fixed plt line and, when it is done, say so
// (no text: nothing).
struct FixedLineRow {
    int iId;
    const char *pszLine;
    const char *pszText;
};

const FixedLineRow kFixedLineRows[] = {
    {NK_CID_NOPLT, "plt kill", nullptr},
    {NK_CID_NONP, "plt kill", nullptr},
    {NK_CID_NOPLOT, "plt kill", "Turn off XY-plot"},
    {NK_CID_PLOTGRID, "plt grid", "Enable grid in XY-plot"},
    {NK_CID_NOPLOTGRID, "plt nogrid", "Disable grid in XY-plot"},
    {NK_CID_PLOTBGLEGEND, "plt bglegend", "Set legend background in XY-plot"},
};

// The commands that take the arguments without the leading "PARAMS".
const NKCommandAction kPlotActions[] = {
    {NK_CID_TH, HandleTh},
    {NK_CID_PLT, HandlePlt},
    {NK_CID_TRACE, HandleTrace},
    {NK_CID_NOTRACE, HandleNoTrace},
    {NK_CID_PLOT, HandlePlot},
    {NK_CID_PLOTBGCOLOR, HandlePlotBgColor},
    {NK_CID_PLOTSIZE, HandlePlotSize},
    {NK_CID_PLOTRANGE, HandlePlotRange},
    {NK_CID_NP, HandleNp},
    {NK_CID_DP, HandleDp},
    {NK_CID_LP, HandleLp},
    {NK_CID_EP, HandleEp},
};

}  // namespace

std::vector<std::string> NKSplitPlotWords(const char *pszText, bool bReduceCommas)
{
    std::string text(pszText != nullptr ? pszText : "");
    if (bReduceCommas) {
        std::string reduced;
        for (size_t i = 0; i < text.size(); i++) {
            if (text[i] == ',') {
                while (!reduced.empty() && reduced.back() == ' ') reduced.pop_back();
                reduced += ',';
                while (i + 1 < text.size() && text[i + 1] == ' ') i++;
            } else {
                reduced += text[i];
            }
        }
        text.swap(reduced);
    }
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t') j++;
        if (j > i) words.push_back(text.substr(i, j - i));
        i = j;
    }
    return words;
}

bool NKPlotKeywordMatches(const std::string &word, const char *pszKeyword, int iLength)
{
    return std::strncmp(word.c_str(), pszKeyword, (size_t)iLength) == 0;
}

void NKInvalidateViewForPlot(void)
{
    if (!g_bPlotInOwnWindow)
        NKInvalidateView();
    else
        NKRepaintPlotWindow();
}

int NKCommandHandlePlot(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    // These two read the arguments as given.
    if (pEntry->id == NK_CID_EXPORT_PLOT) return HandleExportPlot(pEntry, pszArguments);
    if (pEntry->id == NK_CID_SHELLAXES) return NKShellAxesCommand(pEntry, pszArguments);
    for (const FixedLineRow &row : kFixedLineRows)
        if (row.iId == pEntry->id) return RunLine(row.pszLine, row.pszText);
    return NKRunCommandAction(kPlotActions, pEntry, Arguments(pszArguments));
}

void NKRegisterPlotCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_PLOT, NKCommandHandlePlot);
    NKInstallPlotHooks();
}
