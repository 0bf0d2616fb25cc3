// plot/nk_th_command.cpp -- the `th` command: opens an LS-DYNA time-history
// database as plot source 0 (loading its own geometry when the model is not
// its), queries it and plots its series through the plot-source dispatcher
// (nk_plot_source.h). Sub-command words are compared over 5 characters.
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "core/nk_diagnostic.h"
#include "core/nk_file_report.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"

namespace {

// The answer of a plot the source refused: the command fails with the
// source's message only.
constexpr int kRefused = -5;

// The database's own geometry into a model of one frame; false (source
// closed, reported internally) when a step fails.
bool LoadSourceGeometry(const char *pszFileName)
{
    const char *pszFailure = nullptr;
    NKGeometry *pGeo = nullptr;
    NKSetStatusText("Reading Geometry...");
    NKPlotSourceKeepOpen(true);
    bool bReset = ResetStateBeforeLoad(pszFileName) && NKSetFrameCount(1, false);
    NKPlotSourceKeepOpen(false);
    if (!bReset)
        pszFailure = "Error while preparing to load geometry";
    else if ((pGeo = NKPlotSourceReadGeometry(0)) == nullptr)
        pszFailure = "Error reading geometry";
    else if (!ComputeGeometryData(pGeo, 0, 0, 0, 0))
        pszFailure = "Error Inserting Geometry";
    else if (!NKSetDefaultPartAttributes(pGeo, -1, -1) || !RefreshAfterLoad(pszFileName))
        pszFailure = "Error Updating New Geomety";
    if (pszFailure != nullptr) {
        NKPlotSourceClose();
        NKDiagnostic(pszFailure, "NKCommandParseThCmd");
        return false;
    }
    NKSetStatusText("Done.");
    return true;
}

// The file is the argument after the sub-command word: a double-quoted
// name (blanks and all) without its quotes, else the next word.
int ThOpen(const char *pszArguments)
{
    NKWaitCursor cursor;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "open"
    const NKString file = scan.NextArgument();
    if (file.IsEmpty()) {
        NKPrintError("LS-DYNA Time History: No filename specified.");
        return 0;
    }
    const char *pszFile = file.GetText();
    NKSetStatusText("Opening LS-DYNA Time History DB...");
    NKDeleteCurrentPlot();
    NKFileReport report(pszFile);
    if (!NKPlotSourceInit(NK_PLOT_SOURCE_TH, pszFile)) {
        NKPrintError("Unable to open LS-DYNA Time history Database.");
        report.Failed();
        return 0;
    }
    if (NKPlotSourceGetStateCount() < 2)
        NKPrintError("LS-DYNA Time History: Less than two states in file, no time histories "
                     "available.");
    if (NKPlotSourceNeedsGeometry(NK_PLOT_SOURCE_TH) && !LoadSourceGeometry(pszFile)) return 0;
    NKPrintInfo(
        NKString::FromFormat("LSDyna Time History Database Opened. File : %s", pszFile).GetText());
    return 1;
}

int ThQuery(const std::vector<std::string> &words)
{
    if (!NKPlotSourceIsCurrent(NK_PLOT_SOURCE_TH)) {
        NKPrintError("th query: No interface opened.");
        return 0;
    }
    int iCategory = words.size() > 1 ? std::atoi(words[1].c_str()) : 0;
    int iComponent = words.size() > 2 ? std::atoi(words[2].c_str()) : 0;
    NKPlotInterfaceInfo(iCategory - 1, iComponent - 1);
    return 1;
}

int ThPlot(const std::vector<std::string> &words)
{
    if (words.size() < 3) return -3;
    int iCategory = std::atoi(words[1].c_str());
    int iComponent = std::atoi(words[2].c_str());
    if (iCategory < 1 || iComponent < 1) return -3;
    // Neither the names nor their count are cut: each entry holds its word.
    int iCount = (int)words.size() - 3;
    std::vector<std::string> names(words.begin() + 3, words.end());
    std::vector<char *> pointers;
    for (std::string &name : names) pointers.push_back(&name[0]);
    const bool bNewPlot = g_pCurrentPlot == nullptr;
    if (bNewPlot) {
        if (!NKCreateCurrentPlot(false)) return 0;
        bool bStopped = g_pModel == nullptr || g_pModel->animationType == 0;
        ExecuteCommand(bStopped ? "plt nomarkerlinex" : "plt markerlinex");
        NKRefreshMenusForModel();
    }
    if (!NKPlotSourceBuildPlot(iCategory - 1, iComponent - 1,
                               pointers.empty() ? nullptr : pointers.data(), iCount,
                               g_pCurrentPlot)) {
        // Refused and reported by the source: no plot where there was none.
        if (bNewPlot) NKDeleteCurrentPlot();
        return kRefused;
    }
    NKInvalidateViewForPlot();
    g_bPlotShown = 1;
    return 1;
}

int ThClose(void)
{
    bool bOwnWindow = g_bPlotInOwnWindow != 0;
    NKDeleteCurrentPlot();
    NKPlotSourceClose();
    if (!bOwnWindow) NKInvalidateView();
    return 1;
}

}  // namespace

int NKCommandParseThCmd(const char *pszArguments)
{
    std::vector<std::string> words = NKSplitPlotWords(pszArguments, false);
    if (words.empty()) return -1;
    const std::string &w = words[0];
    if (NKPlotKeywordMatches(w, "open", 5)) return ThOpen(pszArguments);
    if (NKPlotKeywordMatches(w, "query", 5)) return ThQuery(words);
    if (NKPlotKeywordMatches(w, "plot", 5)) return ThPlot(words);
    if (NKPlotKeywordMatches(w, "close", 5)) return ThClose();
    return -2;
}
