// plot/nk_node_plot_command.cpp -- the `np` command over the node plots
// (nk_node_plot.h). Node words are "part,node" as NKParseNodeSpec reads
// them; a bad word stops the command after the nodes before it were added.
#include <string>
#include <vector>

#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_references.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"

namespace {

// Reads the node words from index iFirst on; false at the first bad one
// (reported), with the nodes before it in *pNodes.
bool ReadNodes(const std::vector<std::string> &words, size_t iFirst,
               std::vector<NKItemNode> *pNodes)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    for (size_t i = iFirst; i < words.size(); i++) {
        NKPartItemRef ref = {-1, -1};
        if (!NKParseNodeSpec(pGeo, NKString(words[i].c_str()), &ref)) {
            NKPrintError("Illegal node specified");
            return false;
        }
        NKItemNode node{};
        node.iPart = ref.iPart;
        node.iNode = ref.iIndex;
        pNodes->push_back(node);
    }
    return true;
}

// Adds the node words from iFirst on to the current node plot.
int AddNodes(const std::vector<std::string> &words, size_t iFirst)
{
    NKPrintInfo(
        NKString::FromFormat("Creating node plot for %d node(s)", (int)(words.size() - iFirst))
            .GetText());
    std::vector<NKItemNode> nodes;
    bool bRead = ReadNodes(words, iFirst, &nodes);
    bool bAdded = nodes.empty() || NKAddNodesToNodePlot(nodes.data(), (int)nodes.size());
    g_bPlotShown = 1;
    if (!bRead) return 0;
    return bAdded ? 1 : -3;
}

int DeleteNodes(const std::vector<std::string> &words)
{
    bool bOk;
    if (words.size() > 1 && NKPlotKeywordMatches(words[1], "all", 3)) {
        bOk = NKDeleteNodesFromNodePlot(nullptr, -1);
    } else {
        std::vector<NKItemNode> nodes;
        if (!ReadNodes(words, 1, &nodes)) return 0;
        bOk = NKDeleteNodesFromNodePlot(nodes.data(), (int)nodes.size());
    }
    if (!bOk) return 0;
    NKPrintInfo("Deleted nodes from plot.");
    return 1;
}

int SetXAxis(bool bTime)
{
    if (g_pCurrentPlot == nullptr) return 0;
    NKSetNodePlotXAxis(bTime, true);
    NKPrintInfo(bTime ? "Using time along x-axis." : "Using step along x-axis.");
    return 1;
}

}  // namespace

int NodePlotCommand(const char *pszArguments)
{
    std::vector<std::string> words = NKSplitPlotWords(pszArguments, true);
    if (words.empty()) {
        if (g_pCurrentPlot == nullptr && !NKInitNodePlot()) return 0;
        g_bPlotShown = 1;
        return 1;
    }
    const std::string &w = words[0];
    if (NKPlotKeywordMatches(w, "add", 3)) {
        if ((g_pCurrentPlot == nullptr || g_pCurrentPlot->iPlotKind != 1) && !NKInitNodePlot())
            return 0;
        return AddNodes(words, 1);
    }
    if (NKPlotKeywordMatches(w, "del", 3)) return DeleteNodes(words);
    if (NKPlotKeywordMatches(w, "update", 6)) {
        if (!NKUpdateNodePlot()) return 0;
        NKPrintInfo("Updated scalar values of nodes in plot.");
        return 1;
    }
    if (NKPlotKeywordMatches(w, "step", 4)) return SetXAxis(false);
    if (NKPlotKeywordMatches(w, "time", 4)) return SetXAxis(true);
    if (!NKInitNodePlot()) return 0;
    return AddNodes(words, 0);
}
