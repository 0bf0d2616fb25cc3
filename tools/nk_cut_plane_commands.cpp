// tools/nk_cut_plane_commands.cpp -- NKCommandHandleCutPlanes, the handler of
// the cutting-plane, iso-surface and element-highlight commands (slot
// NK_HANDLER_CUT_PLANES of the chain in commands/nk_command.h), and its
// installer. The particle-trace commands of the same slot are handed to
// nk_particle_trace_commands.cpp with their words.
//
// Each command works on the current frame through nk_cut_plane.h and
// nk_iso_surface.h, confirms through the message output and asks for a
// redraw: the commands compute, store and invalidate, and the next frame
// draws the surfaces (nk_surface_draw.h).
#include "tools/nk_cut_plane_commands.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_particle_trace_commands.h"
#include "tools/nk_surface_storage.h"

namespace {

// One command's arguments: the words after "PARAMS" and whether the word
// "all" (any case) is among them.
struct CutArgs {
    CommandTableEntry *pEntry;
    const char *pszArguments;
    std::vector<std::string> words;
    bool bAll = false;

    bool HasWord(const char *pszWord) const
    {
        for (const std::string &w : words) {
            std::string lower;
            for (char c : w) lower += (char)std::tolower((unsigned char)c);
            if (lower == pszWord) return true;
        }
        return false;
    }
    // The n-th word that is not "all", or null.
    const char *Number(size_t n) const
    {
        for (const std::string &w : words) {
            if (w.size() == 3 && std::tolower((unsigned char)w[0]) == 'a' &&
                std::tolower((unsigned char)w[1]) == 'l' &&
                std::tolower((unsigned char)w[2]) == 'l')
                continue;
            if (n-- == 0) return w.c_str();
        }
        return nullptr;
    }
};

CutArgs SplitArguments(CommandTableEntry *pEntry, const char *pszArguments)
{
    CutArgs a{pEntry, pszArguments, {}};
    std::string word;
    for (const char *p = pszArguments;; p++) {
        if (*p == '\0' || *p == ' ' || *p == '\t') {
            if (!word.empty()) a.words.push_back(word);
            word.clear();
            if (*p == '\0') break;
        } else {
            word += *p;
        }
    }
    if (!a.words.empty() && a.words[0] == "PARAMS") a.words.erase(a.words.begin());
    a.bAll = a.HasWord("all");
    return a;
}

void Info(const NKString &text) { NKPrintInfo(text.GetText()); }

int Fail(const CutArgs &a, const NKString &text)
{
    NKCommandError(a.pEntry, text.GetText());
    return 1;
}

// The scalar and element tests that "isosurface" and "cutplane" share.
// Returns -1 to go on, else the command's result. pszWhat is "isosurface"
// or "cut plane"; pszOff the command that disables the tool.
int CheckSurfaceData(const CutArgs &a, bool bEnabled, const char *pszWarnTool, const char *pszWhat,
                     const char *pszOff)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    if (pFrame == nullptr || pFrame->pScalar == nullptr) {
        if (!bEnabled)
            return Fail(
                a, NKString::FromFormat("Cannot calculate %s; no scalar data available", pszWhat));
        NKCommandWarning(
            a.pEntry, NKString::FromFormat("No scalar results available, disabling %s", pszWarnTool)
                          .GetText());
        ExecuteCommand(pszOff);
        return 0;
    }
    if (NKGetTotalNumElements(pFrame->pGeometry) < 1 && !NKLoadVolumeBesideGeometry(pFrame))
        return Fail(
            a, NKString::FromFormat("Cannot calculate %s; no element data available", pszWhat));
    return -1;
}

int CommandIsoSurface(const CutArgs &a)
{
    IsoSurfaceState *s = g_pIsoSurfaceState;
    float fLevel = s->fLevel;
    if (a.Number(0) != nullptr && !NKWordToFloat(a.Number(0), &fLevel))
        return Fail(a, "Illegal parameter specified");
    int iResult = CheckSurfaceData(a, s->bEnabled, "isosurface", "isosurface", "noisosurface");
    if (iResult >= 0) return iResult;
    s->fLevel = fLevel;
    s->bEnabled = 1;
    if (NKAreManipulatorsEnabled()) s->slider.SetEnabled(true);
    NKFreeIsoSurfaces(-1);
    if (!NKVolumeComputeIsoSurfaces(NKGetCurrentFrame(), s))
        return Fail(a, "Error computing isosurface.");
    Info(NKString::FromFormat("Isosurface computed with value %g", s->fLevel));
    NKInvalidateView();
    return 0;
}

int CommandNoIsoSurface()
{
    g_pIsoSurfaceState->bEnabled = 0;
    if (NKAreManipulatorsEnabled()) g_pIsoSurfaceState->slider.SetEnabled(false);
    NKFreeIsoSurfaces(-1);
    Info("Isosurface disabled.");
    NKInvalidateView();
    return 0;
}

// Six optional floats, each its own parameter; false after the getter's
// message.
bool ReadPointNormal(const CutArgs &a, float *pfPoint, float *pfNormal)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    float *apf[6] = {&pfPoint[0],  &pfPoint[1],  &pfPoint[2],
                     &pfNormal[0], &pfNormal[1], &pfNormal[2]};
    if (!params.NKGetFirstParameterFloat(apf[0], false, NK_UNDEFINED_VALUE, NK_UNDEFINED_VALUE))
        return false;
    for (int k = 1; k < 6; k++)
        if (!params.NKGetParameterFloat(apf[k], false, NK_UNDEFINED_VALUE, NK_UNDEFINED_VALUE))
            return false;
    return true;
}

int CommandCutPlane(const CutArgs &a)
{
    CutPlaneSet *set = g_pCutPlaneSet;
    int iResult = CheckSurfaceData(a, set->IsEnabled(), "cutplane", "cut plane", "nocutplane");
    if (iResult >= 0) return iResult;
    float p[3], n[3];
    set->GetPlanePoint(-1, p);
    set->GetPlaneNormal(-1, n);
    if (!ReadPointNormal(a, p, n)) return 1;
    if (n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f) n[2] = 1.0f;
    set->SetPlanePoint(p, -1);
    set->SetPlaneNormal(n, -1);
    set->Enable(true);
    if (!NKComputeCutSurfaces(NKGetCurrentFrame(), set))
        return Fail(a, "Error computing cutting plane.");
    Info(NKString::FromFormat("Cutting plane %d computed.", set->GetCurrent() + 1));
    NKInvalidateView();
    return 0;
}

int CommandNoCutPlane()
{
    g_pCutPlaneSet->DeletePlane(0, true);
    g_pCutPlaneSet->Enable(false);
    Info("Cutting planes disabled.");
    NKInvalidateView();
    return 0;
}

int CommandCutPlaneVectors(const CutArgs &a)
{
    CutPlaneSet *set = g_pCutPlaneSet;
    int i = a.Number(0) != nullptr ? std::atoi(a.Number(0)) : 0;
    int j = a.Number(1) != nullptr ? std::atoi(a.Number(1)) : i;
    if (i > 0 && j > 0) set->SetVectorGrid(i, j, -1, a.bAll);
    set->SetFlag(NK_CUTPLANE_CUT_VECTORS, true, -1, a.bAll);
    set->SetFlag(NK_CUTPLANE_VECTOR_POINTS, true, -1, a.bAll);
    set->SetFlag(NK_CUTPLANE_SHOW_VECTORS, true, -1, a.bAll);
    Info("Display of vectors on cutting plane enabled.");
    NKInvalidateView();
    return 0;
}

int CommandNoCutPlaneVectors(const CutArgs &a)
{
    CutPlaneSet *set = g_pCutPlaneSet;
    bool bWasOn = set->GetFlag(NK_CUTPLANE_CUT_VECTORS, -1);
    set->SetFlag(NK_CUTPLANE_CUT_VECTORS, false, -1, a.bAll);
    set->SetFlag(NK_CUTPLANE_VECTOR_POINTS, false, -1, a.bAll);
    set->SetFlag(NK_CUTPLANE_SHOW_VECTORS, false, -1, a.bAll);
    Info("Display of vectors on cutting plane disabled.");
    if (a.bAll || bWasOn) NKInvalidateView();
    return 0;
}

// A plane flag on the current plane (or all), redrawn when "all" was given
// or the current plane's flag changed.
int CommandPlaneFlag(const CutArgs &a, NKCutPlaneFlag flag, bool bOn, const char *pszMessage)
{
    CutPlaneSet *set = g_pCutPlaneSet;
    bool bChanged = set->GetFlag(flag, -1) != bOn;
    set->SetFlag(flag, bOn, -1, a.bAll);
    Info(pszMessage);
    if (a.bAll || bChanged) NKInvalidateView();
    return 0;
}

int CommandHighlightElement(const CutArgs &a)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    if (pFrame == nullptr) return 1;
    if (a.HasWord("off")) {
        pFrame->bHighlightElement = 0;
        Info("Element highlight turned off.");
        NKInvalidateView();
        return 0;
    }
    NKPartItemRef ref{-1, a.Number(0) != nullptr ? std::atoi(a.Number(0)) : 0};
    if (a.Number(1) != nullptr) ref = {ref.iIndex, std::atoi(a.Number(1))};
    if (ref.iIndex < 0 || !NKFindElementByID(&ref, pFrame->pGeometry)) return 1;
    pFrame->iHighlightPart = ref.iPart;
    pFrame->iHighlightElement = ref.iIndex;
    pFrame->bHighlightElement = 1;
    Info(
        NKString::FromFormat("Highlighting element %d in part %d.", ref.iIndex + 1, ref.iPart + 1));
    NKInvalidateView();
    return 0;
}

int CommandAddCutPlane(const CutArgs &a)
{
    if (!g_pCutPlaneSet->AddPlane(true)) return Fail(a, "Failed to add cutting plane");
    Info(NKString::FromFormat("Cutting plane %d successfully added and set active.",
                              g_pCutPlaneSet->GetCurrent() + 1));
    NKInvalidateView();
    return 0;
}

// The optional plane number as the first parameter (1..count, default the
// current plane); false after the getter's message.
bool ReadPlaneNumber(const CutArgs &a, int *piNumber)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    *piNumber = g_pCutPlaneSet->GetCurrent() + 1;
    return params.NKGetFirstParameterInt(piNumber, false, 1, g_pCutPlaneSet->GetNumPlanes());
}

int CommandDeleteCutPlane(const CutArgs &a)
{
    if (a.bAll) {
        g_pCutPlaneSet->DeletePlane(0, true);
        Info("All cutting planes deleted");
        return 0;
    }
    int n;
    if (!ReadPlaneNumber(a, &n)) return 1;
    if (!g_pCutPlaneSet->DeletePlane(n - 1, false))
        return Fail(a, NKString::FromFormat("Failed to delete cutting plane %d", n));
    Info(NKString::FromFormat("Cutting plane %d deleted", n));
    NKInvalidateView();
    return 0;
}

int CommandSelectCutPlane(const CutArgs &a)
{
    int n;
    if (!ReadPlaneNumber(a, &n)) return 1;
    g_pCutPlaneSet->SetCurrent(n - 1);
    Info(NKString::FromFormat("Cutting plane %d set active.", n));
    NKInvalidateView();
    return 0;
}

int CommandCutPlaneInfo(const CutArgs &a)
{
    CutPlaneSet *set = g_pCutPlaneSet;
    float p[3], n[3];
    if (a.HasWord("list")) {
        NKString text("Current cutting planes:");
        for (int i = 0; i < set->GetNumPlanes(); i++) {
            set->GetPlanePoint(i, p);
            set->GetPlaneNormal(i, n);
            text += NKString::FromFormat("\n  %d: %g,%g,%g  %g,%g,%g", i + 1, p[0], p[1], p[2],
                                         n[0], n[1], n[2]);
            if (i == set->GetCurrent()) text += "  (active)";
        }
        Info(text);
        return 0;
    }
    int iNumber;
    if (!ReadPlaneNumber(a, &iNumber)) return 1;
    set->GetPlanePoint(iNumber - 1, p);
    set->GetPlaneNormal(iNumber - 1, n);
    Info(
        NKString::FromFormat("Info on cutting plane %d\n  point:  %g, %g, %g\n  normal: %g, %g, %g",
                             iNumber, p[0], p[1], p[2], n[0], n[1], n[2]));
    return 0;
}

const char *OnOff(bool bOn) { return bOn ? "enabled" : "disabled"; }

int CommandHighlight(bool bOn)
{
    g_pCutPlaneSet->SetHighlight(bOn);
    Info(NKString::FromFormat("Highlighting of active cutting plane %s.", OnOff(bOn)));
    NKInvalidateView();
    return 0;
}

int CommandIsoHideWithPart(bool bOn)
{
    g_pIsoSurfaceState->bHideWithPart = bOn ? 1 : 0;
    Info(bOn ? "Hide part's iso surface when part is hidden." : "Show iso surfaces for all parts.");
    NKInvalidateView();
    return 0;
}

int CommandShade(bool bOn)
{
    bool bChanged = g_pCutPlaneSet->GetShade() != (bOn ? 1 : 0);
    g_pCutPlaneSet->SetShade(bOn ? 1 : 0);
    Info(NKString::FromFormat("Shaded fringes on cutting planes %s.", OnOff(bOn)));
    if (bChanged) NKInvalidateView();
    return 0;
}

int CommandAlign(const CutArgs &a)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    NKString word("");
    if (!params.NKGetFirstParameterString(&word, false, NK_PARAM_STRING_WORD)) return 1;
    word.MakeLower();
    int iAxis = 0;
    if (word.FindChar('x') < 0) {
        if (word.FindChar('y') >= 0)
            iAxis = 1;
        else if (word.FindChar('z') >= 0)
            iAxis = 2;
    }
    g_pCutPlaneSet->AlignToAxis(iAxis, true);
    Info(NKString::FromFormat("Cutting plane aligned to %c axis", "xyz"[iAxis]));
    NKInvalidateView();
    return 0;
}

int CommandLockRotation(bool bLock)
{
    g_pCutPlaneSet->Handle().SetRotationEnabled(!bLock);
    Info(NKString::FromFormat("Locking of cutplane rotation %s.", OnOff(bLock)));
    return 0;
}

int CommandClipEachOther(bool bOn)
{
    bool bChanged = g_pCutPlaneSet->SetClipEachOther(bOn);
    Info(NKString::FromFormat("Cutting planes clipping each other %s", OnOff(bOn)));
    if (bChanged) NKInvalidateView();
    return 0;
}

int CommandExport(const CutArgs &a)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    NKString name, format("txt");
    int n = g_pCutPlaneSet->GetCurrent() + 1;
    if (!params.NKGetFirstParameterString(&name, true, NK_PARAM_STRING_TOKEN) ||
        !params.NKGetParameterInt(&n, false, 1, g_pCutPlaneSet->GetNumPlanes()) ||
        !params.NKGetParameterString(&format, false, NK_PARAM_STRING_WORD))
        return 1;
    format.MakeLower();
    bool bNkf = std::string(format.GetText()) == "nkf";
    if (!NKExportCutPlaneBoundary(n, bNkf, name.GetText()))
        return Fail(a, NKString::FromFormat("Error exporting boundary of cutting plane %d to: %s",
                                            n, name.GetText()));
    Info(NKString::FromFormat("Boundary of cutting plane %d exported to: %s", n, name.GetText()));
    return 0;
}

// The plane-flag commands: id, flag, value and confirmation.
struct FlagRow {
    int iId;
    NKCutPlaneFlag flag;
    bool bOn;
    const char *pszMessage;
};
const FlagRow kFlagRows[] = {
    {NK_CID_CUTPLANESURFACE, NK_CUTPLANE_SHOW_SURFACE, true,
     "Display of cutting plane surface enabled."},
    {NK_CID_NOCUTPLANESURFACE, NK_CUTPLANE_SHOW_SURFACE, false,
     "Display of cutting plane surface disabled."},
    {NK_CID_CUTPLANEHIDEWITHPART, NK_CUTPLANE_HIDE_WITH_PART, true,
     "Hide part's cutting plane when part is hidden."},
    {NK_CID_NOCUTPLANEHIDEWITHPART, NK_CUTPLANE_HIDE_WITH_PART, false,
     "Show cutting planes for all parts."},
    {NK_CID_LOCALCUTPLANE, NK_CUTPLANE_LOCAL, true, "Local cutting planes enabled."},
    {NK_CID_NOLOCALCUTPLANE, NK_CUTPLANE_LOCAL, false, "Local cutting planes disabled."},
    {NK_CID_CUTPLANECLIP, NK_CUTPLANE_CLIP, true, "Clipping at cutting plane(s) enabled."},
    {NK_CID_NOCUTPLANECLIP, NK_CUTPLANE_CLIP, false, "Clipping at cutting plane(s) disabled."},
};

// The commands whose whole work is one call with no arguments.
int HandleSwitches(int iId)
{
    switch (iId) {
    case NK_CID_NOISOSURFACE:
        return CommandNoIsoSurface();
    case NK_CID_NOCUTPLANE:
        return CommandNoCutPlane();
    case NK_CID_CUTPLANEHIGHLIGHT:
        return CommandHighlight(true);
    case NK_CID_NOCUTPLANEHIGHLIGHT:
        return CommandHighlight(false);
    case NK_CID_ISOSURFACEHIDEWITHPART:
        return CommandIsoHideWithPart(true);
    case NK_CID_NOISOSURFACEHIDEWITHPART:
        return CommandIsoHideWithPart(false);
    case NK_CID_CUTPLANESHADE:
        return CommandShade(true);
    case NK_CID_NOCUTPLANESHADE:
        return CommandShade(false);
    case NK_CID_CUTPLANELOCKROT:
        return CommandLockRotation(true);
    case NK_CID_NOCUTPLANELOCKROT:
        return CommandLockRotation(false);
    case NK_CID_CUTPLANECLIPCUTPLANE:
        return CommandClipEachOther(true);
    case NK_CID_NOCUTPLANECLIPCUTPLANE:
        return CommandClipEachOther(false);
    default:
        return 3;
    }
}

int HandleWithArguments(const CutArgs &a)
{
    switch (a.pEntry->id) {
    case NK_CID_ISOSURFACE:
        return CommandIsoSurface(a);
    case NK_CID_CUTPLANE:
        return CommandCutPlane(a);
    case NK_CID_CUTPLANEVECTORS:
        return CommandCutPlaneVectors(a);
    case NK_CID_NOCUTPLANEVECTORS:
        return CommandNoCutPlaneVectors(a);
    case NK_CID_HIGHLIGHTELEMENT:
        return CommandHighlightElement(a);
    case NK_CID_ADDCUTPLANE:
        return CommandAddCutPlane(a);
    case NK_CID_DELETECUTPLANE:
        return CommandDeleteCutPlane(a);
    case NK_CID_SELECTCUTPLANE:
        return CommandSelectCutPlane(a);
    case NK_CID_CUTPLANEINFO:
        return CommandCutPlaneInfo(a);
    case NK_CID_CUTPLANEALIGN:
        return CommandAlign(a);
    case NK_CID_CUTPLANEEXPORT:
        return CommandExport(a);
    default:
        break;
    }
    for (const FlagRow &row : kFlagRows)
        if (row.iId == a.pEntry->id) return CommandPlaneFlag(a, row.flag, row.bOn, row.pszMessage);
    return NKCommandHandleParticleTraces(a.pEntry, a.pszArguments, a.words, a.bAll);
}

}  // namespace

int NKCommandHandleCutPlanes(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr || g_pCutPlaneSet == nullptr || g_pIsoSurfaceState == nullptr) return 3;
    int iResult = HandleSwitches(pEntry->id);
    if (iResult != 3) return iResult;
    return HandleWithArguments(SplitArguments(pEntry, pszArguments != nullptr ? pszArguments : ""));
}

void NKRegisterCutPlaneCommands(void)
{
    if (NKGetCommandHandler(NK_HANDLER_CUT_PLANES) == nullptr)
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, NKCommandHandleCutPlanes);
}
