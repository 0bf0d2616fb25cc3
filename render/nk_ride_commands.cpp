// render/nk_ride_commands.cpp -- NKRideCommand, the `ride` family and
// `noride` (see nk_ride.h): setting the three sources from part,item lists,
// parts and fixed numbers, riding on and off with the view stored and
// restored, the ride file commands and the boat ride.
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_path.h"
#include "core/nk_frames.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_references.h"
#include "core/nk_string.h"
#include "render/nk_ride.h"

namespace {

// The argument text after "PARAMS", trimmed.
std::string ArgumentText(const char *pszArguments)
{
    std::string s = pszArguments != nullptr ? pszArguments : "";
    if (s.compare(0, 6, "PARAMS") == 0) s.erase(0, 6);
    const size_t b = s.find_first_not_of(" \t");
    const size_t e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::vector<std::string> Words(const std::string &text, const char *pszSeparators)
{
    std::vector<std::string> words;
    std::string w;
    for (char c : text + pszSeparators[0]) {
        if (std::string(pszSeparators).find(c) == std::string::npos) {
            w += c;
        } else if (!w.empty()) {
            words.push_back(w);
            w.clear();
        }
    }
    return words;
}

struct RideContext {
    CommandTableEntry *pEntry;
    NKRideSpec *pSpec;
    const NKGeometry *pGeo;
};

int Fail(const RideContext &c, const NKString &message)
{
    NKCommandError(c.pEntry, message.GetText());
    return NK_CMD_FAILED;
}

int Info(const char *pszText)
{
    NKPrintInfo(pszText);
    return NK_CMD_DONE;
}

NKString SpecText(const NKRideSpec *pSpec)
{
    NKString text;
    return *NKPrintRideSpec(&text, pSpec);
}

NKString PartRangeMessage(int iPart, const NKGeometry *pGeo)
{
    return NKString::FromFormat("Illegal part number %d  (legal range 1 -> %d)", iPart,
                                pGeo->iNumParts);
}

// Reads up to three part,item pairs; items before the first bad one count.
// Returns the number accepted; on a bad item, *pMessage says why.
int ParseItems(const RideContext &c, const std::string &text, bool bNodes, NKRideItem *pItems,
               NKString *pMessage)
{
    const char *pszWhat = bNodes ? "Illegal node specification.\nRemember to use part,node for "
                                   "specifying nodes"
                                 : "Illegal polygon specification. Remember to use "
                                   "part,polygon for specifying polygons";
    const std::vector<std::string> numbers = Words(text, " ,\t");
    if (numbers.empty()) {
        *pMessage = bNodes ? "No nodes specified" : "No polygons specified";
        return 0;
    }
    if (numbers.size() % 2 != 0) {
        *pMessage = pszWhat;
        return 0;
    }
    int n = 0;
    for (size_t i = 0; i + 1 < numbers.size() && n < 3; i += 2) {
        const int iPart = std::atoi(numbers[i].c_str());
        const int iItem = std::atoi(numbers[i + 1].c_str());
        if (iPart < 1 || iPart > c.pGeo->iNumParts) {
            *pMessage = PartRangeMessage(iPart, c.pGeo);
            return n;
        }
        NKPartItemRef ref = {iPart, iItem};
        const bool bOk = bNodes ? NKFindNodeByID(&ref, c.pGeo)
                                : iItem >= 1 && iItem <= c.pGeo->pParts[iPart - 1].iNumPolygons;
        if (!bOk) {
            *pMessage = pszWhat;
            return n;
        }
        pItems[n].iPart = iPart - 1;
        pItems[n].iItem = bNodes ? ref.iIndex : iItem - 1;
        n++;
    }
    return n;
}

// Parses a list into pItems and pCount; a bad item after good ones is a
// warning, with none accepted an error.
bool SetItems(const RideContext &c, const std::string &text, bool bNodes, int iMinimum,
              NKRideItem *pItems, int32_t *pCount)
{
    NKRideItem aItems[3];
    NKString message;
    const int n = ParseItems(c, text, bNodes, aItems, &message);
    if (n == 0) return Fail(c, message), false;
    if (n < iMinimum) return Fail(c, "You need to specify two nodes for line"), false;
    if (!message.IsEmpty()) NKCommandWarning(c.pEntry, message.GetText());
    for (int i = 0; i < n; i++) pItems[i] = aItems[i];
    if (pCount != nullptr) *pCount = n;
    return true;
}

bool SetFixed(const RideContext &c, const std::string &text, float *pfOut)
{
    const std::vector<std::string> w = Words(text, " \t");
    float afRead[3];
    for (size_t k = 0; k < 3; k++)
        if (k >= w.size() || !NKWordToFloat(w[k].c_str(), &afRead[k]))
            return Fail(c, "You need to specify three vector components <x y z>"), false;
    for (int k = 0; k < 3; k++) pfOut[k] = afRead[k];
    return true;
}

bool SetPart(const RideContext &c, const std::string &text, int32_t *piPart)
{
    const int iPart = std::atoi(text.c_str());
    if (iPart < 1 || iPart > c.pGeo->iNumParts)
        return Fail(c, PartRangeMessage(iPart, c.pGeo)), false;
    *piPart = iPart - 1;
    return true;
}

// One of the twelve source commands; false after its error message.
bool SetSource(const RideContext &c, int iId, const std::string &text)
{
    NKRideSpec *s = c.pSpec;
    switch (iId) {
    case NK_CID_RIDE_EYE:
        return SetFixed(c, text, s->fEyePoint) && (s->iEyeSource = NK_RIDE_FIXED, true);
    case NK_CID_RIDE_EYEPOLYGON:
        return SetItems(c, text, false, 1, &s->aEyePolygon, nullptr) &&
               (s->iEyeSource = NK_RIDE_POLYGON, true);
    case NK_CID_RIDE_EYENODES:
        return SetItems(c, text, true, 1, s->aEyeNodes, &s->iNumEyeNodes) &&
               (s->iEyeSource = NK_RIDE_NODES, true);
    case NK_CID_RIDE_EYEPART:
        return SetPart(c, text, &s->iEyePart) && (s->iEyeSource = NK_RIDE_PART, true);
    case NK_CID_RIDE_EYEOFFSET:
        return SetFixed(c, text, s->fEyeOffset);
    case NK_CID_RIDE_VRP:
        return SetFixed(c, text, s->fVrpPoint) && (s->iVrpSource = NK_RIDE_FIXED, true);
    case NK_CID_RIDE_VRPPOLYGON:
        return SetItems(c, text, false, 1, &s->aVrpPolygon, nullptr) &&
               (s->iVrpSource = NK_RIDE_POLYGON, true);
    case NK_CID_RIDE_VRPNODES:
        return SetItems(c, text, true, 1, s->aVrpNodes, &s->iNumVrpNodes) &&
               (s->iVrpSource = NK_RIDE_NODES, true);
    case NK_CID_RIDE_VRPPART:
        return SetPart(c, text, &s->iVrpPart) && (s->iVrpSource = NK_RIDE_PART, true);
    case NK_CID_RIDE_VRPLINE:
        return SetItems(c, text, true, 2, s->aVrpNodes, &s->iNumVrpNodes) &&
               (s->iNumVrpNodes = 2, s->iVrpSource = NK_RIDE_LINE, true);
    case NK_CID_RIDE_VUP:
        return SetFixed(c, text, s->fVup) && (s->iVupSource = NK_RIDE_FIXED, true);
    case NK_CID_RIDE_VUPPOLYGON:
        return SetItems(c, text, false, 1, &s->aVupPolygon, nullptr) &&
               (s->iVupSource = NK_RIDE_POLYGON, true);
    default:
        return false;
    }
}

int SourceCommand(const RideContext &c, int iId, const std::string &text)
{
    if (text.empty()) return Fail(c, "No parameters specified");
    if (!SetSource(c, iId, text)) return NK_CMD_FAILED;
    return Info((NKString("New ride specification:\n") + SpecText(c.pSpec)).GetText());
}

// "ride boat part,polygon x y z [lr fb ud]": eye, reference point, offset,
// then the up vector fixed at (0, 0, 1).
int BoatCommand(const RideContext &c, const std::string &text)
{
    const std::vector<std::string> w = Words(text, " \t");
    if (w.empty()) return Fail(c, "No parameters specified");
    std::string rest;
    for (size_t i = 1; i < w.size() && i < 4; i++) rest += w[i] + " ";
    if (!SetSource(c, NK_CID_RIDE_EYEPOLYGON, w[0]) || !SetSource(c, NK_CID_RIDE_VRP, rest))
        return NK_CMD_FAILED;
    if (w.size() >= 7 && !SetSource(c, NK_CID_RIDE_EYEOFFSET, w[4] + " " + w[5] + " " + w[6]))
        return NK_CMD_FAILED;
    NKVec3Set(c.pSpec->fVup, 0, 0, 1);
    c.pSpec->iVupSource = NK_RIDE_FIXED;
    return Info((NKString("Boat ride specification:\n") + SpecText(c.pSpec)).GetText());
}

// The file argument: a double-quoted name without its quotes (up to the
// closing quote), else the whole text; "Quolin.rid" when none is given.
std::string FileName(const std::string &text)
{
    if (!text.empty() && text[0] == '"') {
        NKArgumentScan scan(text.c_str());
        const NKString name = scan.NextArgument();
        return name.IsEmpty() ? "Quolin.rid" : name.GetText();
    }
    return text.empty() ? "Quolin.rid" : text;
}

int SaveCommand(const RideContext &c, const std::string &text)
{
    const std::string name = FileName(text);
    if (!NKWriteRideFile(c.pSpec, name.c_str()))
        return Fail(c, NKString::FromFormat("Error writing file: %s", name.c_str()));
    if (NKIsRideSpecValid(c.pSpec))
        NKPrintInfo(("Saving current ride specification to file: " + name).c_str());
    else
        NKCommandWarning(c.pEntry,
                         ("Saving incomplete ride specification to file: " + name).c_str());
    return NK_CMD_DONE;
}

int LoadCommand(const RideContext &c, const std::string &text)
{
    const std::string name = FileName(text);
    NKString line;
    const int iResult = NKPathCommandLine("source", name.c_str(), &line)
                            ? ExecuteCommand(line.GetText())
                            : NK_CMD_FAILED;
    if (iResult != NK_CMD_DONE) {
        Fail(c, NKString::FromFormat("Error reading file %s", name.c_str()));
        return iResult;
    }
    const NKString head =
        NKString::FromFormat("Ride specification read from command file: %s\n", name.c_str());
    return Info((head + SpecText(c.pSpec)).GetText());
}

// Restores the stored view, if any; true when one was restored.
bool RestoreStoredView(NKRideSpec *s, float *pfMatrix)
{
    if (!s->bViewStored) return false;
    NKMat4Copy(pfMatrix, s->fStoredView);
    s->bViewStored = 0;
    return true;
}

int RideOnOff(const RideContext &c, int iId, float *pfMatrix)
{
    NKRideSpec *s = c.pSpec;
    switch (iId) {
    case NK_CID_RIDE_ON:
        if (!NKIsRideSpecValid(s)) return Fail(c, "Current ride specification is not valid");
        if (s->bRiding) return Info("Ride mode already enabled");
        s->bRiding = 1;
        NKMat4Copy(s->fStoredView, pfMatrix);
        s->bViewStored = 1;
        return Info("Enable ride mode, storing current viewpoint");
    case NK_CID_RIDE_OFF:
        if (!s->bRiding) return Info("Ride mode already disabled ");
        s->bRiding = 0;
        return Info(RestoreStoredView(s, pfMatrix) ? "Disable ride mode, restoring viewpoint"
                                                   : "Disable ride mode");
    case NK_CID_RIDE_START:
        if (!NKIsRideSpecValid(s)) return Fail(c, "Current ride specification is not valid");
        s->bRiding = 1;
        return Info("Start riding model");
    default:  // NK_CID_RIDE_STOP
        s->bRiding = 0;
        return Info("Stop riding model");
    }
}

int ResetCommand(NKRideSpec *s, float *pfMatrix)
{
    if (s->bRiding) RestoreStoredView(s, pfMatrix);
    const uint8_t bPreview = s->bPreview;
    NKResetRideSpec(s);
    s->bPreview = bPreview;
    return Info("Ride parameters have been reset");
}

}  // namespace

int NKRideCommand(CommandTableEntry *pEntry, const char *pszArguments, NKRideSpec *pSpec,
                  float *pfMatrix)
{
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(-1));
    if (pEntry == nullptr || pSpec == nullptr || pfMatrix == nullptr || pGeo == nullptr)
        return NK_CMD_FAILED;
    const RideContext c = {pEntry, pSpec, pGeo};
    const std::string text = ArgumentText(pszArguments);
    if (pEntry->id == NK_CID_NORIDE) {
        pSpec->bInUse = pSpec->bRiding = 0;
        return Info("Disable all model riding");
    }
    pSpec->bInUse = 1;
    switch (pEntry->id) {
    case NK_CID_RIDE:
        return Info((NKString("Current ride specification:\n") + SpecText(pSpec)).GetText());
    case NK_CID_RIDE_ON:
    case NK_CID_RIDE_OFF:
    case NK_CID_RIDE_START:
    case NK_CID_RIDE_STOP:
        return RideOnOff(c, pEntry->id, pfMatrix);
    case NK_CID_RIDE_FLIP:
        pSpec->bFlip = 1;
        return Info("Flip direction of up vector");
    case NK_CID_RIDE_NOFLIP:
        pSpec->bFlip = 0;
        return Info("Disable flipping of up vector direction");
    case NK_CID_RIDE_RESET:
        return ResetCommand(pSpec, pfMatrix);
    case NK_CID_RIDE_SAVE:
        return SaveCommand(c, text);
    case NK_CID_RIDE_LOAD:
        return LoadCommand(c, text);
    case NK_CID_RIDE_SHOW:
        pSpec->bPreview = 1;
        return Info("Show ride specification preview");
    case NK_CID_RIDE_HIDE:
        pSpec->bPreview = 0;
        return Info("Hide ride specification preview");
    case NK_CID_RIDE_BOAT:
        return BoatCommand(c, text);
    default:
        return SourceCommand(c, pEntry->id, text);
    }
}
