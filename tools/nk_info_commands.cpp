// tools/nk_info_commands.cpp -- NKCommandHandleInfo (see nk_info_commands.h).
// Node arguments are "part,node" pairs: a part number from 1 and a node ID
// of that part (NKFindNodeByID). Every refusal prints through the command's
// error printer, answers 1 and changes nothing.
#include "tools/nk_info_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_command_actions.h"
#include "render/nk_node_numbers.h"
#include "render/nk_view_settings.h"
#include "tools/nk_manipulator.h"

namespace {

constexpr const char *kRemember = "\nRemember to use part,node for specifying nodes";
// Listings go to the message output this many lines at a time.
constexpr int kLinesPerMessage = 25;

// A "part,node" pair as read: part number from 1 and node ID.
struct NodeArg {
    int iPart = 0;
    int iNode = 0;
};

enum ReadResult { NODE_NONE, NODE_READ, NODE_BAD };

bool ReadInt(const char **pp, int *piValue)
{
    char *pEnd = nullptr;
    const long l = std::strtol(*pp, &pEnd, 10);
    if (pEnd == *pp) return false;
    *piValue = static_cast<int>(l);
    *pp = pEnd;
    return true;
}

void SkipBlanks(const char **pp)
{
    while (**pp == ' ' || **pp == '\t') (*pp)++;
}

// The next "part,node" of the text: NODE_NONE at its end, NODE_BAD for a
// part without a node (or a word that is no number).
ReadResult ReadNodeArg(const char **pp, NodeArg *pArg)
{
    SkipBlanks(pp);
    if (**pp == '\0') return NODE_NONE;
    if (!ReadInt(pp, &pArg->iPart)) return NODE_BAD;
    SkipBlanks(pp);
    if (**pp != ',') return NODE_BAD;
    (*pp)++;
    SkipBlanks(pp);
    return ReadInt(pp, &pArg->iNode) ? NODE_READ : NODE_BAD;
}

const char *SkipParams(const char *pszArguments)
{
    const char *p = pszArguments != nullptr ? pszArguments : "";
    SkipBlanks(&p);
    if (std::strncmp(p, "PARAMS", 6) == 0) p += 6;
    return p;
}

NKGeometry *CurrentGeometry(void) { return NKGetFrameGeometry(NKGetCurrentFrame()); }

// Resolved ends of a node range: part and node indices.
struct NodeRange {
    NKPartItemRef from = {0, 0};
    NKPartItemRef to = {0, 0};
};

int NodeID(const NKGeometry *pGeo, int iPart, int iNode) { return NKGetNodeID(iPart, iNode, pGeo); }

// The whole model: part 1's first node to the last part's last node.
bool WholeModel(const NKGeometry *pGeo, NodeRange *pRange, NodeArg *pFrom, NodeArg *pTo)
{
    if (pGeo == nullptr || pGeo->iNumParts < 1) return false;
    const int iLastPart = pGeo->iNumParts - 1;
    const int iLastNode = pGeo->pParts[iLastPart].iNumNodes - 1;
    pRange->from = {0, 0};
    pRange->to = {iLastPart, iLastNode < 0 ? 0 : iLastNode};
    *pFrom = {1, NodeID(pGeo, 0, 0)};
    *pTo = {iLastPart + 1, NodeID(pGeo, iLastPart, pRange->to.iIndex)};
    return true;
}

bool Resolve(const NKGeometry *pGeo, const NodeArg &arg, NKPartItemRef *pRef)
{
    if (pGeo == nullptr || arg.iPart < 1 || arg.iPart > pGeo->iNumParts) return false;
    *pRef = {arg.iPart, arg.iNode};
    return NKFindNodeByID(pRef, pGeo);
}

// Reads the listing's range; false after the error message.
bool ReadListingRange(const CommandTableEntry *pEntry, const char *pszArgs, const NKGeometry *pGeo,
                      NodeRange *pRange, NodeArg *pFrom, NodeArg *pTo)
{
    const char *p = pszArgs;
    const ReadResult rFrom = ReadNodeArg(&p, pFrom);
    const ReadResult rTo = rFrom == NODE_READ ? ReadNodeArg(&p, pTo) : NODE_NONE;
    if (rFrom == NODE_BAD || rTo == NODE_BAD) {
        NKCommandError(pEntry,
                       NKString::FromFormat("Illegal node specification.%s", kRemember).GetText());
        return false;
    }
    if (rFrom == NODE_NONE) {
        if (WholeModel(pGeo, pRange, pFrom, pTo)) return true;
        NKCommandError(pEntry, "No model loaded.");
        return false;
    }
    if (rTo == NODE_NONE) *pTo = *pFrom;
    if (!Resolve(pGeo, *pFrom, &pRange->from) || !Resolve(pGeo, *pTo, &pRange->to)) {
        NKCommandError(pEntry, NKString::FromFormat(
                                   "Illegal node range specification: %d,%d  %d,%d%s", pFrom->iPart,
                                   pFrom->iNode, pTo->iPart, pTo->iNode, kRemember)
                                   .GetText());
        return false;
    }
    return true;
}

// One node's line of the listing.
NKString NodeLine(NKListingKind kind, NKFrame *pFrame, const NKGeometry *pGeo, int iPart, int iNode)
{
    const NKPart &part = pGeo->pParts[iPart];
    const int iID = NodeID(pGeo, iPart, iNode);
    if (kind == NK_LIST_COORDINATES) {
        float p[3] = {0.0f, 0.0f, 0.0f};
        if (part.pNodeCoords != nullptr) std::memcpy(p, part.pNodeCoords + 3 * iNode, sizeof(p));
        DisplayToModel(p);
        return NKString::FromFormat("  %d, %d:  x = %12.5e  y = %12.5e  z = %12.5e\n", iPart + 1,
                                    iID, p[0], p[1], p[2]);
    }
    if (kind == NK_LIST_VECTORS) {
        float d[3] = {0.0f, 0.0f, 0.0f};
        const NKVectorPartEntry *pEntry = NKGetPartVectorEntry(iPart, pFrame);
        if (pEntry != nullptr && pEntry->pNodeValues != nullptr && iNode < pEntry->iNumNodes &&
            part.pNodeCoords != nullptr)
            for (int k = 0; k < 3; k++)
                d[k] = pEntry->pNodeValues[3 * iNode + k] - part.pNodeCoords[3 * iNode + k];
        DisplayToModelVector(d);
        return NKString::FromFormat("  %d, %d:  dx = %12.5e  dy = %12.5e  dz = %12.5e\n", iPart + 1,
                                    iID, d[0], d[1], d[2]);
    }
    const NKScalarPartEntry *pEntry = NKGetPartScalarEntry(iPart, pFrame);
    if (pEntry == nullptr || pEntry->pNodeValues == nullptr || iNode >= pEntry->iCount ||
        !NKIsDefinedValue(pEntry->pNodeValues[iNode]))
        return NKString::FromFormat("  %d, %d:  NO_VALUE\n", iPart + 1, iID);
    const NKString value = NKString::FromFormat("%12.5e", pEntry->pNodeValues[iNode]);
    return NKString::FromFormat("  %d, %d:  %s\n", iPart + 1, iID, value.GetText());
}

int Numbers(CommandTableEntry *pEntry, const char *pszArgs)
{
    const NKGeometry *pGeo = CurrentGeometry();
    NodeRange range;
    NodeArg from, to;
    const char *p = pszArgs;
    const ReadResult rFrom = ReadNodeArg(&p, &from);
    const ReadResult rTo = rFrom == NODE_READ ? ReadNodeArg(&p, &to) : NODE_NONE;
    if (rFrom == NODE_BAD || rTo == NODE_BAD)
        return NKCommandFail(pEntry,
                             NKString::FromFormat("Illegal node specification.%s", kRemember));
    if (rFrom == NODE_NONE) {
        if (!WholeModel(pGeo, &range, &from, &to)) return NKCommandFail(pEntry, "No model loaded.");
    } else {
        if (rTo == NODE_NONE) to = from;
        const int iNumParts = pGeo != nullptr ? pGeo->iNumParts : 0;
        for (const NodeArg *pArg : {&from, &to})
            if (pArg->iPart < 1 || pArg->iPart > iNumParts)
                return NKCommandFail(
                    pEntry, NKString::FromFormat("Illegal part specified : %d. Legal 1 -> %d",
                                                 pArg->iPart, iNumParts));
        NKPartItemRef *apRefs[2] = {&range.from, &range.to};
        const NodeArg *apArgs[2] = {&from, &to};
        for (int k = 0; k < 2; k++)
            if (!Resolve(pGeo, *apArgs[k], apRefs[k]))
                return NKCommandFail(
                    pEntry, NKString::FromFormat("Illegal node specified : %d.", apArgs[k]->iNode));
    }
    g_NodeNumberRange.iFromPart = range.from.iPart;
    g_NodeNumberRange.iFromNode = range.from.iIndex;
    g_NodeNumberRange.iToPart = range.to.iPart;
    g_NodeNumberRange.iToNode = range.to.iIndex;
    if (g_pViewSettings != nullptr) g_pViewSettings->bShowNodeNumbers = 1;
    return NKCommandDone(
        NKString::FromFormat("Enable node numbers for node (%d, %d) to node (%d, %d).", from.iPart,
                             from.iNode, to.iPart, to.iNode));
}

// " (in part %d, node %d, step %d)" of an extreme: part and step from 1,
// the node by its ID, the step the frame the model's range recorded shows.
NKString Where(const NKGeometry *pGeo, int iPart, int iNode, int iFrame, bool bElement)
{
    int iID = iNode + 1;
    if (bElement) {
        const int iElementID = NKGetElementID(iPart, iNode, pGeo);
        if (iElementID >= 0) iID = iElementID;
    } else if (iPart >= 0 && iNode >= 0) {
        iID = NodeID(pGeo, iPart, iNode);
    }
    return NKString::FromFormat(" (in part %d, %s %d, step %d)", iPart + 1,
                                bElement ? "element" : "node", iID, NKGetFrameStep(iFrame) + 1);
}

NKString ExtremesText(const NKGeometry *pGeo, const NKMinMax &m, const char *pszMin,
                      const char *pszMax, bool bElement)
{
    return NKString::FromFormat(
        "%s%12.5e%s\n%s%12.5e%s", pszMin, m.min,
        Where(pGeo, m.iMinPart, m.iMinNode, m.iMinFrame, bElement).GetText(), pszMax, m.max,
        Where(pGeo, m.iMaxPart, m.iMaxNode, m.iMaxFrame, bElement).GetText());
}

std::string ModelInformation(NKFrame *pFrame, const NKGeometry *pGeo)
{
    // The model's box is kept in model coordinates.
    const float *box = g_pModel->fBoundingBox;
    std::string text =
        NKString::FromFormat("Geometry information:\n"
                             "  - Current geometry file:......: %s\n"
                             "  - Number of parts.............: %d\n"
                             "  - Number of nodes.............: %d\n"
                             "  - Number of polygons..........: %d\n"
                             "  - Number of edges.............: %d\n\n"
                             "  - Minimum x-value.............: %g\n"
                             "  - Minimum y-value.............: %g\n"
                             "  - Minimum z-value.............: %g\n"
                             "  - Maximum x-value.............: %g\n"
                             "  - Maximum y-value.............: %g\n"
                             "  - Maximum z-value.............: %g",
                             pGeo->szFileName.GetText(), pGeo->iNumParts, pGeo->iTotalNumNodes,
                             pGeo->iTotalNumPolygons, pGeo->iTotalNumConnects, box[0], box[1],
                             box[2], box[3], box[4], box[5])
            .GetText();
    if (pFrame->pVector != nullptr)
        text += std::string("\n\nDisplacement information:\n") +
                ExtremesText(pGeo, g_pModel->vectorMinMax, "  - Minimum displacement........: ",
                             "  - Maximum displacement........: ", false)
                    .GetText();
    if (pFrame->pScalar != nullptr) {
        text += std::string("\n\nScalar information:\n") +
                ExtremesText(pGeo, g_pModel->scalarMinMax, "  - Minimum node value........: ",
                             "  - Maximum node value........: ", false)
                    .GetText() +
                "\n";
        if (pFrame->pScalar->pElementResults != nullptr)
            text +=
                ExtremesText(pGeo, g_pModel->elementMinMax, "  - Minimum element value........: ",
                             "  - Maximum element value........: ", true)
                    .GetText();
    }
    return text;
}

int Info(CommandTableEntry *, const char *)
{
    if (g_pViewSettings != nullptr && !g_pViewSettings->bShowInfo) {
        g_pViewSettings->bShowInfo = 1;
        NKPrintInfo("Enable display of model information");
    }
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (g_pModel != nullptr && pGeo != nullptr) NKPrintInfo(ModelInformation(pFrame, pGeo).c_str());
    NKInvalidateView();
    return NK_CMD_DONE;
}

}  // namespace

bool NKComposeNodeListing(const CommandTableEntry *pEntry, const char *pszArguments,
                          NKListingKind kind, std::vector<std::string> *pPieces)
{
    pPieces->clear();
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    NodeRange range;
    NodeArg from, to;
    if (!ReadListingRange(pEntry, SkipParams(pszArguments), pGeo, &range, &from, &to)) return false;
    static const char *const kHeaders[3] = {"Coordinates", "Vector values", "Scalar values"};
    std::string text =
        NKString::FromFormat("%s for (part,node)  %d, %d  to  %d, %d\n", kHeaders[kind], from.iPart,
                             from.iNode, to.iPart, to.iNode)
            .GetText();
    int iLines = 1;
    for (int iPart = range.from.iPart; iPart <= range.to.iPart; iPart++) {
        // A part without nodes (the whole model's last part may be one)
        // lists nothing.
        const int iNumNodes = pGeo->pParts[iPart].iNumNodes;
        const int iFirst = iPart == range.from.iPart ? range.from.iIndex : 0;
        int iLast = iPart == range.to.iPart ? range.to.iIndex : iNumNodes - 1;
        if (iLast > iNumNodes - 1) iLast = iNumNodes - 1;
        for (int iNode = iFirst; iNode <= iLast; iNode++) {
            text += NodeLine(kind, pFrame, pGeo, iPart, iNode).GetText();
            if (++iLines == kLinesPerMessage) {
                pPieces->push_back(text);
                text.clear();
                iLines = 0;
            }
        }
    }
    if (!text.empty()) pPieces->push_back(text);
    return true;
}

namespace {

// coordinates, showdisplacements, showscalars.
int ListNodes(CommandTableEntry *pEntry, const char *pszArgs)
{
    const NKListingKind kind = pEntry->id == NK_CID_COORDINATES         ? NK_LIST_COORDINATES
                               : pEntry->id == NK_CID_SHOWDISPLACEMENTS ? NK_LIST_VECTORS
                                                                        : NK_LIST_SCALARS;
    std::vector<std::string> pieces;
    if (!NKComposeNodeListing(pEntry, pszArgs, kind, &pieces)) return NK_CMD_FAILED;
    for (const std::string &piece : pieces) NKPrintInfo(piece.c_str());
    return NK_CMD_DONE;
}

}  // namespace

namespace {

// ruler [start point] [end point]: the points in model coordinates; one
// point centres the ruler there, two place its ends, none leaves it at the
// default placement (centred at the default handle centre).
int Ruler(CommandTableEntry *pEntry, const char *pszArgs)
{
    if (g_pRuler == nullptr) return NK_CMD_FAILED;
    CommandParams params(pszArgs);
    params.SetCommand(pEntry);
    float afP1[3] = {NK_UNDEFINED, NK_UNDEFINED, NK_UNDEFINED};
    float afP2[3] = {NK_UNDEFINED, NK_UNDEFINED, NK_UNDEFINED};
    if (!params.NKGetFirstParameterVector(afP1, false, NK_UNDEFINED, 0.0f) ||
        !params.NKGetParameterVector(afP2, false, NK_UNDEFINED, 0.0f))
        return NK_CMD_FAILED;
    const bool bP1 = !NKIsUndefined(afP1[0]), bP2 = !NKIsUndefined(afP2[0]);
    if (bP1) ModelToDisplay(afP1);
    if (bP2) ModelToDisplay(afP2);
    if (!bP1) NKGetDefaultManipulatorCenter(afP1, false);
    g_pRuler->SetEndPoints(afP1, bP2 ? afP2 : nullptr);
    g_pRuler->SetEnabled(true);
    if (g_pManipulatorList != nullptr) g_pManipulatorList->Add(g_pRuler);
    const NKString unit = g_pRuler->GetUnit();
    return NKCommandDone(NKString::FromFormat("3D ruler enabled with scale factor: %g, unit: %s",
                                              (double)g_pRuler->GetScale(),
                                              unit.IsEmpty() ? "none" : unit.GetText()));
}

int NoRuler(CommandTableEntry *, const char *)
{
    if (g_pRuler != nullptr) {
        g_pRuler->SetEnabled(false);
        if (g_pManipulatorList != nullptr) g_pManipulatorList->Remove(g_pRuler);
    }
    return NKCommandDone("3D ruler disabled");
}

int RulerScale(CommandTableEntry *pEntry, const char *pszArgs)
{
    CommandParams params(pszArgs);
    params.SetCommand(pEntry);
    float fScale = 1.0f;
    if (!params.NKGetFirstParameterFloat(&fScale, false, NK_UNDEFINED, 0.0f)) return NK_CMD_FAILED;
    if (!(fScale > 0.0f))
        return NKCommandFail(
            pEntry, NKString::FromFormat("Illegal ruler scale factor %f (legal values > 0)",
                                         (double)fScale));
    if (g_pRuler != nullptr) g_pRuler->SetScale(fScale);
    return NKCommandDone(NKString::FromFormat("Ruler scaling factor set to: %g", (double)fScale));
}

// The unit is the whole rest of the line, leading blanks and surrounding
// quotes taken off.
int RulerUnit(CommandTableEntry *pEntry, const char *pszArgs)
{
    CommandParams params(pszArgs);
    params.SetCommand(pEntry);
    NKString unit;
    if (!params.NKGetFirstParameterString(&unit, false, NK_PARAM_STRING_REST)) return NK_CMD_FAILED;
    std::string text = unit.GetText();
    const size_t iFirst = text.find_first_not_of(" \t");
    text.erase(0, iFirst == std::string::npos ? text.size() : iFirst);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    if (g_pRuler != nullptr) g_pRuler->SetUnit(text.c_str());
    return NKCommandDone(NKString::FromFormat("Ruler unit string set to: %s", text.c_str()));
}

int NoNumbers(CommandTableEntry *, const char *)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->bShowNodeNumbers = 0;
    return NKCommandDone("Disable drawing of node numbers.");
}

int NoInfo(CommandTableEntry *, const char *)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->bShowInfo = 0;
    return NKCommandDone("Disable display of model information");
}

int ShowInfoDialog(CommandTableEntry *, const char *)
{
    NKPrintInfo("Enable display of model and results information dialog");
    RefreshInfoPropertySheet(1, true);
    return NK_CMD_DONE;
}

const NKCommandAction kInfoActions[] = {
    {NK_CID_NUMBERS, Numbers},
    {NK_CID_NONUMBERS, NoNumbers},
    {NK_CID_COORDINATES, ListNodes},
    {NK_CID_SHOWDISPLACEMENTS, ListNodes},
    {NK_CID_SHOWSCALARS, ListNodes},
    {NK_CID_INFO, Info},
    {NK_CID_NOINFO, NoInfo},
    {NK_CID_SHOWINFODIALOG, ShowInfoDialog},
    {NK_CID_RULER, Ruler},
    {NK_CID_NORULER, NoRuler},
    {NK_CID_RULER_SCALE, RulerScale},
    {NK_CID_RULER_UNIT, RulerUnit},
};

}  // namespace

int NKCommandHandleInfo(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    return NKRunCommandAction(kInfoActions, pEntry, SkipParams(pszArguments));
}

void NKRegisterInfoCommands(void) { NKSetCommandHandler(NK_HANDLER_INFO, NKCommandHandleInfo); }
