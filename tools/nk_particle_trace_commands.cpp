// tools/nk_particle_trace_commands.cpp -- the particle-trace commands: the
// trace rows of NKCommandHandleCutPlanes (nk_cut_plane_commands.cpp), which
// hands them over with the argument words already split. They set up,
// compute, show, animate and style the traces of the global set
// (nk_particle_trace.h); timer 4 drives the animation.
#include "tools/nk_particle_trace_commands.h"

#include <cstdlib>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "readers/nk_data_source.h"
#include "render/nk_contour_lines.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_particle_trace.h"

namespace {

enum { kTraceTimer = 4 };

struct TraceArgs {
    CommandTableEntry *pEntry;
    const char *pszArguments;
    const std::vector<std::string> &words;
    bool bAll;
    bool Has(size_t i) const { return i < words.size(); }
    int Int(size_t i) const { return std::atoi(words[i].c_str()); }
    float Float(size_t i) const { return (float)std::atof(words[i].c_str()); }
    // True when each of the words iFirst to iLast that is there is a finite
    // number.
    bool NumbersOrMissing(size_t iFirst, size_t iLast) const
    {
        float f = 0.0f;
        for (size_t i = iFirst; i <= iLast && i < words.size(); i++)
            if (!NKWordToFloat(words[i].c_str(), &f)) return false;
        return true;
    }
};

ParticleTraceSet *Set() { return g_pParticleTraceSet; }

int Done(const NKString &text, bool bRedraw)
{
    NKPrintInfo(text.GetText());
    if (bRedraw) NKInvalidateView();
    return 0;
}

int Fail(const TraceArgs &a, const NKString &text)
{
    NKCommandError(a.pEntry, text.GetText());
    return 1;
}

int CommandOptions(const TraceArgs &a)
{
    TraceComputeOptions o = Set()->GetComputeOptions();
    if (a.Has(0) && a.Int(0) >= -1 && a.Int(0) <= 1) o.iDirection = a.Int(0);
    if (a.Has(1) && (a.Int(1) == 1 || a.Int(1) == 2)) o.iInterpolation = a.Int(1);
    if (a.Has(2) && (a.Int(2) == 0 || a.Int(2) == 1)) o.bPointsInside = (uint8_t)a.Int(2);
    if (a.Has(3) && a.Int(3) > 0) o.iMaxSteps = a.Int(3);
    Set()->SetComputeOptions(o);
    const TraceComputeOptions &s = Set()->GetComputeOptions();
    return Done(NKString::FromFormat(
                    "Particle trace options set to:\n  direction (-1, 0, 1): %i\n  interpolation "
                    "normal (1, 2): %i\n  results inside elements (0, 1): %i\n  maximum number "
                    "of steps: %i",
                    s.iDirection, s.iInterpolation, (int)s.bPointsInside, s.iMaxSteps),
                false);
}

int CommandMethod(const TraceArgs &a)
{
    // The steps are converted to int: a finite float beyond the int range
    // has no such value.
    if (!a.NumbersOrMissing(1, 2) ||
        (a.Has(2) && !(a.Float(2) > -2147483520.0f && a.Float(2) < 2147483520.0f)))
        return Fail(a, "Illegal parameter specified");
    TraceComputeOptions o = Set()->GetComputeOptions();
    if (a.Has(0) && (a.Int(0) == 0 || a.Int(0) == 1)) o.iMethod = a.Int(0);
    if (a.Has(1) && a.Float(1) > 0.0f) o.fTolerance = a.Float(1);
    if (a.Has(2) && (int)a.Float(2) > 0) o.iStepsPerElement = (int)a.Float(2);
    Set()->SetComputeOptions(o);
    const TraceComputeOptions &s = Set()->GetComputeOptions();
    return Done(NKString::FromFormat("Particle trace method set to:\n  order of method (0, 1): "
                                     "%i\n  error tolerance: %g\n  steps per element: %i",
                                     s.iMethod == 2 ? 3 : s.iMethod, (double)s.fTolerance,
                                     s.iStepsPerElement),
                false);
}

int CommandStopFraction(const TraceArgs &a)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    TraceComputeOptions o = Set()->GetComputeOptions();
    if (!params.NKGetFirstParameterFloat(&o.fStopFraction, false, 0.0f, 1.0f)) return 1;
    Set()->SetComputeOptions(o);
    return Done(NKString::FromFormat("fraction-of-largest-vector stop criterion set to %g",
                                     (double)Set()->GetComputeOptions().fStopFraction),
                false);
}

// Stores the display block; redraws when it changed while the traces are
// shown (and, for the animated displays, animated).
int StoreDisplay(const TraceDisplayOptions &o, bool bAnimatedOnly, const NKString &text)
{
    bool bChanged = Set()->SetDisplayOptions(o);
    return Done(text, bChanged && (!bAnimatedOnly || Set()->IsAnimating()));
}

// The fields one kind of tail sets: on, its steps, its size and its single
// colour; and the report of the values it ends with.
struct TailFields {
    uint8_t TraceDisplayOptions::*pbOn;
    int32_t TraceDisplayOptions::*piSteps;
    int32_t TraceDisplayOptions::*piSize;
    uint8_t TraceDisplayOptions::*pbSingleColor;
    const char *pszReport;  // steps, size and single colour, in that order
};

// A positive step count turns the tail on; a positive size and a single
// colour of 0 or 1 are taken, anything else leaves the value.
int CommandTail(const TraceArgs &a, const TailFields &f)
{
    TraceDisplayOptions o = Set()->GetDisplayOptions();
    if (a.Has(0) && a.Int(0) > 0) {
        o.*f.pbOn = 1;
        o.*f.piSteps = a.Int(0);
    }
    if (a.Has(1) && a.Int(1) > 0) o.*f.piSize = a.Int(1);
    if (a.Has(2) && (a.Int(2) == 0 || a.Int(2) == 1)) o.*f.pbSingleColor = (uint8_t)a.Int(2);
    return StoreDisplay(
        o, true,
        NKString::FromFormat(f.pszReport, o.*f.piSteps, o.*f.piSize, (int)(o.*f.pbSingleColor)));
}

int CommandLineTail(const TraceArgs &a)
{
    static const TailFields kLine = {
        &TraceDisplayOptions::bLineTail, &TraceDisplayOptions::iLineTailSteps,
        &TraceDisplayOptions::iLineTailWidth, &TraceDisplayOptions::bLineTailSingleColor,
        "Particle trace tail line enabled with:\n  timesteps in tail: %i\n  linewidth: %i\n  "
        "single color (0, 1): %i"};
    return CommandTail(a, kLine);
}

int CommandPointTail(const TraceArgs &a)
{
    static const TailFields kPoint = {
        &TraceDisplayOptions::bPointTail, &TraceDisplayOptions::iPointTailSteps,
        &TraceDisplayOptions::iPointSize, &TraceDisplayOptions::bPointSingleColor,
        "Particle trace tail points enabled with:\n  timesteps in tail: %i\n  pointsize: %i\n  "
        "single color (0, 1): %i"};
    return CommandTail(a, kPoint);
}

int CommandPoint(const TraceArgs &a)
{
    TraceDisplayOptions o = Set()->GetDisplayOptions();
    o.bMovingPoint = 1;
    if (a.Has(0) && a.Int(0) > 0) o.iPointSize = a.Int(0);
    if (a.Has(1) && (a.Int(1) == 0 || a.Int(1) == 1)) o.bPointSingleColor = (uint8_t)a.Int(1);
    NKString text = NKString::FromFormat(
        "Particle trace display of single point enabled with:\n  pointsize: %i\n", o.iPointSize);
    text += NKString::FromFormat("  single color (0, 1): %i", (int)o.bPointSingleColor);
    return StoreDisplay(o, true, text);
}

int CommandLineWidth(const TraceArgs &a)
{
    TraceDisplayOptions o = Set()->GetDisplayOptions();
    if (a.Has(0)) o.iStaticLineWidth = a.Int(0) < 0 ? 0 : a.Int(0);
    return StoreDisplay(
        o, false,
        o.iStaticLineWidth > 0
            ? NKString::FromFormat("Particle trace line width set to %d pixels", o.iStaticLineWidth)
            : NKString("Particle trace line width set to use global line width"));
}

// The display switches without arguments: the flag, its value, whether only
// the animated display redraws, and the confirmation.
struct TraceSwitchRow {
    int iId;
    uint8_t TraceDisplayOptions::*pFlag;
    uint8_t bOn;
    bool bAnimatedOnly;
    const char *pszMessage;
};
const TraceSwitchRow kSwitchRows[] = {
    {NK_CID_NOPARTICLELINETAIL, &TraceDisplayOptions::bLineTail, 0, true,
     "Particle trace tail line disabled."},
    {NK_CID_NOPARTICLEPOINTTAIL, &TraceDisplayOptions::bPointTail, 0, true,
     "Particle trace tail points disabled."},
    {NK_CID_NOPARTICLEPOINT, &TraceDisplayOptions::bMovingPoint, 0, true,
     "Particle trace display of single point disabled."},
    {NK_CID_PARTICLESTATIC, &TraceDisplayOptions::bStaticLine, 1, false,
     "Display of static particle trace line turned on."},
    {NK_CID_NOPARTICLESTATIC, &TraceDisplayOptions::bStaticLine, 0, false,
     "Display of static particle trace line turned off."},
    {NK_CID_PARTICLEINCREMENTAL, &TraceDisplayOptions::bIncrementalLine, 1, false,
     "Display of incremental particle trace line turned on."},
    {NK_CID_NOPARTICLEINCREMENTAL, &TraceDisplayOptions::bIncrementalLine, 0, false,
     "Display of incremental particle trace line turned off."},
    {NK_CID_PARTICLESTARTPOINT, &TraceDisplayOptions::bStartPoints, 1, false,
     "Display of particle trace startpoint(s) turned on"},
    {NK_CID_NOPARTICLESTARTPOINT, &TraceDisplayOptions::bStartPoints, 0, false,
     "Display of particle trace startpoint(s) turned off."},
};

int CommandAnimate(const TraceArgs &a)
{
    if (a.Has(0) && a.Int(0) > 0) Set()->SetAnimationSteps(a.Int(0));
    Set()->SetAnimate(true);
    NKStartTimer(kTraceTimer);
    return Done(NKString::FromFormat("Animation of particle traces turned on, %i timesteps.",
                                     Set()->GetAnimationSteps()),
                false);
}

int CommandNoAnimate()
{
    if (Set()->IsAnimating()) NKStopTimer(kTraceTimer);
    Set()->SetAnimate(false);
    return Done("Animation of particle traces turned off.", true);
}

int CommandAdd(const TraceArgs &a)
{
    if (!Set()->AddTrace(true)) return Fail(a, "Failed to add particle trace");
    return Done(NKString::FromFormat("Particle trace %d successfully added and set active.",
                                     Set()->GetCurrent() + 1),
                true);
}

// The optional trace number (1..count, default the current one); false after
// the parser's message.
bool ReadTraceNumber(const TraceArgs &a, int *piNumber)
{
    CommandParams params(a.pszArguments);
    params.SetCommand(a.pEntry);
    *piNumber = Set()->GetCurrent() + 1;
    return params.NKGetFirstParameterInt(piNumber, false, 1, Set()->GetNumTraces());
}

int CommandDelete(const TraceArgs &a)
{
    if (a.bAll) {
        Set()->DeleteTrace(0, true);
        return Done("All particle traces deleted", false);
    }
    int n;
    if (!ReadTraceNumber(a, &n)) return 1;
    if (!Set()->DeleteTrace(n - 1, false))
        return Fail(a, NKString::FromFormat("Failed to delete particle trace %d", n));
    return Done(NKString::FromFormat("Particle trace %d deleted.", n), true);
}

int CommandSelect(const TraceArgs &a)
{
    int n;
    if (!ReadTraceNumber(a, &n)) return 1;
    Set()->SetCurrent(n - 1);
    return Done(NKString::FromFormat("Particle trace %d set active.", Set()->GetCurrent() + 1),
                true);
}

int CommandNumPoints(const TraceArgs &a)
{
    TraceSeedBox box = *Set()->GetSeedBox(-1);
    int32_t *apiCounts[3] = {&box.nx, &box.ny, &box.nz};
    for (size_t k = 0; k < 3; k++)
        if (a.Has(k)) *apiCounts[k] = std::abs(a.Int(k));
    bool bRedraw = Set()->SetSeedBox(box, -1);
    return Done(NKString::FromFormat("Setting number of starting points to %d, %d, %d", box.nx,
                                     box.ny, box.nz),
                bRedraw);
}

// The reservoir step of particletrace: the node vectors of the first
// shown flow phase (water, oil, gas) are read for the current step when the
// frame does not hold them yet. -1 to go on, else the command's result.
int ReadReservoirVectors(void)
{
    if (NKGetInterfaceType() != NK_INTERFACE_RESERVOIR || NKGetInterfaceNumTransformations() < 1)
        return -1;
    static const char *const kPhases[3] = {"Water", "Oil", "Gas"};
    int iPhase = -1;
    for (int i = 0; i < 3 && iPhase < 0; i++)
        if (g_SeparateVectorSettings[i].bShown) iPhase = i;
    if (iPhase < 0) {
        NKPrintError("No vector result visible, please select one field.");
        return 1;
    }
    NKFrame *pFrame = NKGetCurrentFrame();
    if (pFrame != nullptr && pFrame->pVector != nullptr &&
        pFrame->pVector->szDescription.Find(kPhases[iPhase]) >= 0)
        return -1;
    NKSetStatusText("Reading node based vector field...");
    NKVectorResult *pResult = NKGetInterfaceVector(
        iPhase, NKGetCurrentStep(), pFrame != nullptr ? pFrame->pGeometry : nullptr, true);
    if (!NKApplyVectorToFrames(pResult, 0, 0)) {
        NKPrintError("Error (2) reading nodebased vector file.");
        return 1;
    }
    if (!NKRefreshContourLines()) {
        NKPrintError("Error (1) reading nodebased vector file.");
        return 1;
    }
    NKSetStatusText("Done.");
    return -1;
}

// The seed box of the words x1 y1 z1 [x2 y2 z2 [nx ny nz]] (model
// coordinates); missing words keep their defaults.
TraceSeedBox SeedFromWords(const TraceArgs &a)
{
    TraceSeedBox box;
    for (size_t k = 0; k < 3; k++)
        if (a.Has(k)) box.fCorner1[k] = a.Float(k);
    for (size_t k = 0; k < 3; k++) box.fCorner2[k] = box.fCorner1[k];
    if (a.Has(3)) {
        box.bIsBox = 1;
        for (size_t k = 0; k < 3; k++)
            if (a.Has(3 + k)) box.fCorner2[k] = a.Float(3 + k);
    }
    int32_t *apiCounts[3] = {&box.nx, &box.ny, &box.nz};
    for (size_t k = 0; k < 3; k++)
        if (a.Has(6 + k)) *apiCounts[k] = a.Int(6 + k);
    return box;
}

// Checks the data, stores the seed box for the current trace and computes
// the current frame's traces.
int ComputeTraces(const TraceArgs &a, const TraceSeedBox &box)
{
    int iResult = ReadReservoirVectors();
    if (iResult >= 0) return iResult;
    NKFrame *pFrame = NKGetCurrentFrame();
    if (pFrame == nullptr || pFrame->pVector == nullptr)
        return Fail(a, "Cannot calculate particle traces; no vector data available");
    if (NKGetTotalNumElements(pFrame->pGeometry) < 1 && !NKLoadVolumeBesideGeometry(pFrame))
        return Fail(a, "Cannot calculate particle traces; no element data available");
    ParticleTraceSet *pSet = Set();
    if (pSet->IsAnimating()) NKStopTimer(kTraceTimer);
    pSet->SetSeedBox(box, -1);
    bool bOk;
    {
        NKWaitCursor wait;
        bOk = NKComputeParticleTraces(pFrame, pSet);
    }
    if (!bOk) return Fail(a, "Error calculating particle traces.");
    pSet->Enable(true);
    pSet->SetShown(true);
    if (pSet->IsAnimating()) {
        pSet->SetAnimate(true);
        NKStartTimer(kTraceTimer);
    }
    NKInvalidateView();
    return 0;
}

int CommandTrace(const TraceArgs &a)
{
    ParticleTraceSet *pSet = Set();
    if (!a.words.empty()) {
        if (!a.NumbersOrMissing(0, 5)) return Fail(a, "Illegal parameter specified");
        return ComputeTraces(a, SeedFromWords(a));
    }
    if (pSet->IsEnabled()) {
        pSet->SetShown(true);
        if (pSet->IsAnimating()) NKStartTimer(kTraceTimer);
        return Done("Display of particletrace turned on.", false);
    }
    if (NKAreManipulatorsEnabled()) {
        TraceSeedBox box = *pSet->GetSeedBox(-1);
        pSet->DeleteTrace(0, true);
        return ComputeTraces(a, box);
    }
    // Nothing to show is a failure, as every other refused command is.
    return Fail(a, "Could not turn on display of particle trace, no trace computed");
}

int CommandNoTrace()
{
    ParticleTraceSet *pSet = Set();
    pSet->SetShown(false);
    if (pSet->IsAnimating()) NKStopTimer(kTraceTimer);
    if (NKAreManipulatorsEnabled()) {
        pSet->DeleteTrace(0, true);
        pSet->Enable(false);
    }
    return Done("Display of particle trace turned off", true);
}

}  // namespace

int NKCommandHandleParticleTraces(CommandTableEntry *pEntry, const char *pszArguments,
                                  const std::vector<std::string> &words, bool bAll)
{
    if (pEntry == nullptr || Set() == nullptr) return 3;
    const TraceArgs a{pEntry, pszArguments != nullptr ? pszArguments : "", words, bAll};
    for (const TraceSwitchRow &row : kSwitchRows) {
        if (row.iId != pEntry->id) continue;
        TraceDisplayOptions o = Set()->GetDisplayOptions();
        o.*row.pFlag = row.bOn;
        return StoreDisplay(o, row.bAnimatedOnly, row.pszMessage);
    }
    switch (pEntry->id) {
    case NK_CID_PARTICLETRACEOPTIONS:
        return CommandOptions(a);
    case NK_CID_PARTICLETRACEMETHOD:
        return CommandMethod(a);
    case NK_CID_PARTICLETRACESTOPFRACT:
        return CommandStopFraction(a);
    case NK_CID_PARTICLELINETAIL:
        return CommandLineTail(a);
    case NK_CID_PARTICLEPOINTTAIL:
        return CommandPointTail(a);
    case NK_CID_PARTICLEPOINT:
        return CommandPoint(a);
    case NK_CID_PARTICLELINEWIDTH:
        return CommandLineWidth(a);
    case NK_CID_PARTICLEANIMATE:
        return CommandAnimate(a);
    case NK_CID_NOPARTICLEANIMATE:
        return CommandNoAnimate();
    case NK_CID_ADDPARTICLETRACE:
        return CommandAdd(a);
    case NK_CID_DELETEPARTICLETRACE:
        return CommandDelete(a);
    case NK_CID_SELECTPARTICLETRACE:
        return CommandSelect(a);
    case NK_CID_PARTICLENUMPOINTS:
        return CommandNumPoints(a);
    case NK_CID_PARTICLETRACE:
        return CommandTrace(a);
    case NK_CID_NOPARTICLETRACE:
        return CommandNoTrace();
    default:
        return 3;
    }
}
