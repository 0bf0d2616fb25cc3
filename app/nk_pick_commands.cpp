// app/nk_pick_commands.cpp -- the general commands of picking and selection
// (see nk_system_topics.h and nk_pick_commands.h): continuous pick
// information, picking modes on the selection list, selection feedback and
// colour, polygon information in picks, part selection and hot spots. The
// selection list, the feedback mode and the highlight colour are the
// drawing code's records; the hot spots are fields of each part.
#include "app/nk_pick_commands.h"

#include <cstdlib>

#include "app/nk_system_topics.h"
#include "app/nk_window_utils.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "commands/nk_part_range.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "render/nk_view_settings.h"

uint8_t g_bPickInfoInSheet = 0;
uint8_t g_bPickInfoInStatusbar = 0;
int32_t g_iSavedSelectionFeedback = -1;

namespace {

// "pickinfo [info | statusbar | both]" sets, "nopickinfo" clears, the
// switches named by the first two letters (both without a word); another
// word changes nothing. Either way the resulting state is reported.
int CommandPickInfo(bool bOn, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    const NKString prefix = word.Left(2);
    const uint8_t uValue = bOn ? 1 : 0;
    const bool bBoth = word.IsEmpty() || prefix == "bo";
    if (bBoth || prefix == "in") g_bPickInfoInSheet = uValue;
    if (bBoth || prefix == "st") g_bPickInfoInStatusbar = uValue;
    static const char *const kState[2][2] = {
        {"Show no continous picking info.", "Show continous picking info in status bar."},
        {"Show continous picking info in info window.",
         "Show continous picking info in both status bar and info window."}};
    NKPrintInfo(kState[g_bPickInfoInSheet != 0][g_bPickInfoInStatusbar != 0]);
    return 0;
}

// Clears and enables the selection list for a picking mode that collects
// nodes, after saving the feedback mode (once) and switching feedback off.
void StartNodePicking(int iMode, bool bKeepPrevious)
{
    if (g_iSavedSelectionFeedback == -1) g_iSavedSelectionFeedback = NKSelectionFeedbackMode;
    NKSelectionFeedbackMode = 0;
    g_SelectionList.Clear();
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(iMode);
    g_SelectionList.SetKeepPrevious(bKeepPrevious);
    g_SelectionList.SetShowNodeInfo(true);
}

// "pickmode elements | nodes | distance | cutplane", known by two letters.
// Back to elements, the list is emptied and disabled and the saved feedback
// mode restored.
int CommandPickMode(NKArgumentScan *pScan)
{
    const NKString prefix = pScan->NextToken().Left(2);
    if (prefix == "el") {
        NKPrintInfo("Picking mode set to elements.");
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(false);
        if (g_iSavedSelectionFeedback != -1) {
            NKSelectionFeedbackMode = g_iSavedSelectionFeedback;
            g_iSavedSelectionFeedback = -1;
        }
    } else if (prefix == "no") {
        NKPrintInfo("Picking mode set to nodes.");
        StartNodePicking(4, false);
    } else if (prefix == "di") {
        NKPrintInfo("Picking mode set to distance.");
        StartNodePicking(6, true);
    } else if (prefix == "cu") {
        NKPrintInfo("Picking mode set to cutplanes.");
        StartNodePicking(7, false);
    } else {
        NKPrintInfo("");
    }
    NKInvalidateView();
    return 0;
}

// "selection_feedback [n]": 0 to 3; none or another value gives 1.
int CommandSelectionFeedback(NKArgumentScan *pScan)
{
    NKString token = pScan->NextToken();
    const int iMode = token.IsEmpty() ? 1 : std::atoi(token.GetText());
    NKSelectionFeedbackMode = iMode >= 0 && iMode <= 3 ? iMode : 1;
    NKPrintInfo(
        NKString::FromFormat("Selection feedback set to %d.", NKSelectionFeedbackMode).GetText());
    NKInvalidateView();
    return 0;
}

// "selectcolor [r [g [b]]]": each given value, held to 0..255, replaces
// its component of the selection colour.
int CommandSelectColor(NKArgumentScan *pScan)
{
    uint8_t *puColor = NKPartHighlightSettings.uSelectionColor;
    for (int i = 0; i < 3; i++) {
        NKString token = pScan->NextToken();
        if (token.IsEmpty()) break;
        const int iValue = std::atoi(token.GetText());
        puColor[i] = static_cast<uint8_t>(iValue < 0 ? 0 : iValue > 255 ? 255 : iValue);
    }
    NKPrintInfo(NKString::FromFormat("Set selected polygon color to red=%d green=%d blue=%d.'",
                                     puColor[0], puColor[1], puColor[2])
                    .GetText());
    NKInvalidateView();
    return 0;
}

int CommandPolygonInfo(bool bOn)
{
    NKSetPolygonInfoInPick(bOn);
    NKPrintInfo(bOn ? "Display of polygon info as part of pick info enabled."
                    : "Display of polygon info as part of pick info disabled.");
    return 0;
}

// "selectparts [range]" / "unselectparts [range]".
int CommandSelectParts(CommandTableEntry *pEntry, NKArgumentScan *pScan, bool bSelect)
{
    int iFrom = 0, iTo = 0;
    NKString error;
    if (NKCommandGetPartRange(pScan, &iFrom, &iTo, nullptr, &error, false) == NK_PART_RANGE_ERROR) {
        NKCommandError(pEntry, error.GetText());
        return 1;
    }
    NKSelectParts(iFrom - 1, iTo - 1, bSelect ? 1 : 0);
    NKRefreshPartAttributesDialog();
    NKInvalidateView();
    NKPrintInfo(NKString::FromFormat(
                    bSelect ? "Selecting parts %d to %d" : "Unselecting parts %d to %d", iFrom, iTo)
                    .GetText());
    return 0;
}

// Splits what follows the part number: the text between double quotes
// (leading quotes skipped; without a closing quote the text runs to the
// end), then the rest of the line as the file. A file in square brackets
// loses every bracket and is marked as bracketed.
void ParseHotSpotText(const NKString &rest, NKHotSpot *pSpot)
{
    NKString remainder = rest;
    remainder.TrimLeft();
    int iStart = 0;
    while (iStart < remainder.GetLength() && remainder.GetText()[iStart] == '"') iStart++;
    const int iClose = remainder.FindChar('"', iStart);
    const int iLength = remainder.GetLength();
    pSpot->szText = iClose < 0 ? remainder.Mid(iStart) : remainder.Mid(iStart, iClose - 1);
    NKString file = iClose < 0 || iClose + 1 >= iLength ? NKString("") : remainder.Mid(iClose + 1);
    file.Trim();
    pSpot->bBracketedFile = 0;
    if (file.GetLength() > 0 && file.GetText()[0] == '[') {
        file.RemoveChar('[');
        file.RemoveChar(']');
        file.Trim();
        pSpot->bBracketedFile = 1;
    }
    pSpot->szFile = file;
}

// The hot spot of part iPart (0-based) in every distinct geometry of the
// frames that has that part.
void StoreHotSpot(int iPart, const NKHotSpot &spot)
{
    NKForEachGeometry([&](NKGeometry *pGeo) {
        if (pGeo->iNumParts <= iPart) return;
        NKHotSpot *pTarget = &pGeo->pParts[iPart].hotSpot;
        pTarget->bHasHotSpot = 1;
        pTarget->szText = spot.szText;
        pTarget->szFile = spot.szFile;
        pTarget->bBracketedFile = spot.bBracketedFile;
    });
}

// Sets one of the view's hot-spot switches and reports it.
void SetHotSpotSwitch(uint8_t NKViewSettings::*pField, bool bOn, const char *pszMessage)
{
    if (g_pViewSettings != nullptr) g_pViewSettings->*pField = bOn ? 1 : 0;
    NKPrintInfo(pszMessage);
}

// "hotspot showall | noshowall | hightlight | nohightlight | on | off", or
// "hotspot part "text" file". A part number below 1 (or none) is refused
// and changes nothing; without any word nothing changes.
int CommandHotSpot(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    if (word == "showall" || word == "noshowall") {
        SetHotSpotSwitch(&NKViewSettings::bHotSpotShowAll, word == "showall",
                         word == "showall" ? "Showing all hot spots."
                                           : "Show all hot spots turned off.");
    } else if (word == "hightlight" || word == "nohightlight") {
        SetHotSpotSwitch(&NKViewSettings::bHotSpotHighlight, word == "hightlight",
                         word == "hightlight" ? "Highlight all hotspots."
                                              : "Turn off highlighting of all hotspots.");
    } else if (word == "on" || word == "off") {
        SetHotSpotSwitch(&NKViewSettings::bHotSpotsEnabled, word == "on",
                         word == "on" ? "Enable use of hotspots." : "Disable use of hotspots.");
    } else if (!word.IsEmpty()) {
        const int iPart = std::atoi(word.GetText());
        if (iPart < 1) {
            NKCommandError(
                pEntry, NKString::FromFormat("Illegal part number %s", word.GetText()).GetText());
            return 1;
        }
        NKHotSpot spot;
        ParseHotSpotText(pScan->Rest(), &spot);
        if (g_pViewSettings != nullptr) g_pViewSettings->bHotSpotsEnabled = 1;
        StoreHotSpot(iPart - 1, spot);
        NKPrintInfo(NKString::FromFormat("Enable hotspot for part %d", iPart).GetText());
    }
    NKInvalidateView();
    return 0;
}

}  // namespace

int NKHandlePickCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_PICKINFO:
    case NK_CID_NOPICKINFO:
        return CommandPickInfo(pEntry->id == NK_CID_PICKINFO, &scan);
    case NK_CID_PICKMODE:
        return CommandPickMode(&scan);
    case NK_CID_SELECTION_FEEDBACK:
        return CommandSelectionFeedback(&scan);
    case NK_CID_SELECTCOLOR:
        return CommandSelectColor(&scan);
    case NK_CID_POLYGONINFO:
    case NK_CID_NOPOLYGONINFO:
        return CommandPolygonInfo(pEntry->id == NK_CID_POLYGONINFO);
    case NK_CID_SELECTPARTS:
    case NK_CID_UNSELECTPARTS:
        return CommandSelectParts(pEntry, &scan, pEntry->id == NK_CID_SELECTPARTS);
    case NK_CID_HOTSPOT:
        return CommandHotSpot(pEntry, &scan);
    default:
        return NK_CMD_NOT_MINE;
    }
}
