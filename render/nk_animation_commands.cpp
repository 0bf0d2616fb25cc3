// render/nk_animation_commands.cpp -- NKCommandHandleAnimation (see
// nk_animation_commands.h).
#include "render/nk_animation_commands.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_open_commands.h"
#include "commands/nk_result_animation.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_interpolation.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_command_actions.h"
#include "render/nk_contour_lines.h"
#include "render/nk_view_settings.h"

namespace {

constexpr int kNeverStepMs = 10000000;  // the frame interval of 0 fps and below
constexpr char kParameterError[] = "Error in command parameter.";

// The argument words past the "PARAMS" word.
struct Words {
    explicit Words(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    // The next word as an integer (a non-number is 0), or iDefault without one.
    int Int(int iDefault)
    {
        NKString word = scan.NextToken();
        return word.IsEmpty() ? iDefault : word.ToInt();
    }
    // The next word as seconds, or dDefault without one.
    double Seconds(double dDefault)
    {
        NKString word = scan.NextToken();
        return word.IsEmpty() ? dDefault : word.ToFloat();
    }
    NKArgumentScan scan;
};

// With automatic scaling on and a vector result in frame 0, the
// displacements are scaled to the automatic factor of frame 0's extent.
void AutoScaleDisplacements(void)
{
    NKFrame *pFrame = NKGetFrame(0);
    if (g_pModel == nullptr || pFrame == nullptr || pFrame->pGeometry == nullptr ||
        pFrame->pVector == nullptr || !g_VectorSettings.bAutoScale)
        return;
    const float s =
        NKComputeBoxScaleFactor(pFrame->pGeometry->fBoundingBox, g_pModel->fMaxVectorValue,
                                g_VectorSettings.fAutoScaleFactor);
    if (s != 0.0f) ExecuteCommand(NKString::FromFormat("scaledis %g", double(s)).GetText());
}

void RecomputeContourLines(bool bLevels)
{
    if (!g_bContoursShown) return;
    if (bLevels) NKComputeContourLevels(&g_ContourSettings);
    NKUpdateContourLines();
}

// anim_scalar / anim_vector: one frame per numbered file (or step).
int NumberedFiles(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bScalar = pEntry->id == NK_CID_ANIM_SCALAR;
    Words words(pszArguments);
    NKString file = words.scan.NextArgument();
    int iFrom = words.Int(1);
    int iTo = words.Int(1);
    int iIncrement = words.Int(1);
    if (iFrom < 0 || iTo < 0)
        return NKCommandFail(
            pEntry, NKString::FromFormat("Illegal file numbers for animation %d %d", iFrom, iTo));
    if (iIncrement < 1) iIncrement = 1;
    if (bScalar && bFreqResultsScalar) {
        g_bComplexMagnitude = 0;
        if (iTo > 359) iTo = 359;
    }
    if (!bScalar && g_pModel != nullptr) g_pModel->animationType = 0;
    {
        NKWaitCursor cursor;
        const char *pszFile = file.IsEmpty() ? "" : file.GetText();
        const bool bDone = bScalar ? NKCommandAnimScalar(pszFile, iFrom, iTo, iIncrement)
                                   : NKCommandAnimVector(pszFile, iFrom, iTo, iIncrement);
        if (!bDone) return NK_CMD_FAILED;
        if (bScalar) {
            if (g_bAutoFringeRange) {
                NKPrintInfo("Setting fringe range to full range of scalars in animation.");
                ExecuteCommand("fringerange 1 0");
            }
            RecomputeContourLines(true);
            if (NKPlotExists()) ExecuteCommand("np update");
            NKComputeNodeTraces();
        } else {
            AutoScaleDisplacements();
            NKComputeNodeTraces();
            RecomputeContourLines(false);
        }
    }
    ExecuteCommand("anim_run 0 0");
    NKPrintInfo(NKString::FromFormat(bScalar ? "Animation of scalar values created from file %s."
                                             : "Animation of vector values created from file %s.",
                                     file.IsEmpty() ? "" : file.GetText())
                    .GetText());
    return NK_CMD_DONE;
}

int RunAnimation(CommandTableEntry *pEntry, const char *pszArguments)
{
    Words words(pszArguments);
    const int iFrom = words.Int(0);
    const int iTo = words.Int(0);
    NKModel *pModel = g_pModel;
    if (pModel == nullptr || !NKRunAnimation(iFrom, iTo))
        return NKCommandFail(
            pEntry, NKString::FromFormat("Illegal step range %d %d  (legal range 1 -> %d)", iFrom,
                                         iTo, pModel != nullptr ? pModel->iNumFrames : 0));
    if (iFrom == -1 && iTo == -1)
        return NKCommandDone(
            NKString::FromFormat("Animation paused at step %d.", pModel->iCurrentFrame + 1));
    if (iFrom == iTo && iFrom != 0)
        return NKCommandDone(NKString::FromFormat("Animation paused at step %d.", iFrom));
    return NKCommandDone(NKString::FromFormat("Animation run from step %d to step %d.",
                                              pModel->iAnimationFromFrame + 1,
                                              pModel->iAnimationToFrame + 1));
}

int NoAnimation(CommandTableEntry *, const char *)
{
    if (g_pModel != nullptr) {
        g_pModel->animationType = 0;
        g_pModel->iCurrentFrame = g_pModel->iPreviousFrame = 0;
    }
    NKStopTimer(2);  // the animation's reason
    return NKCommandDone("Animation turned off");
}

// anim_contour and anim_cycle turn the cycle on, noanim_cycle off.
int AnimationCycle(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id != NK_CID_NOANIM_CYCLE;
    if (g_pModel != nullptr) g_pModel->bAnimationCycle = bOn ? 1 : 0;
    NKPrintInfo(bOn ? "Turn on animation cycle" : "Turn off animation cycle");
    return NK_CMD_DONE;
}

int ShowStep(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_STEP;
    if (g_pViewSettings != nullptr) g_pViewSettings->bShowStep = bOn ? 1 : 0;
    return NKCommandDone(bOn ? "Turn on printing of step numbers during animation"
                             : "Turn off printing of step numbers during animation");
}

// The whole rest of the line is the text; no text keeps the one set.
int StepText(CommandTableEntry *, const char *pszArguments)
{
    Words words(pszArguments);
    NKString text = words.scan.Rest();
    text.Trim();
    if (!text.IsEmpty()) g_szStepText = text;
    return NKCommandDone(
        NKString::FromFormat("Setting step text prefix to: %s", g_szStepText.GetText()));
}

int NoStepText(CommandTableEntry *, const char *)
{
    g_szStepText = "";
    return NKCommandDone("Setting step text prefix to blank");
}

int ModeShape(CommandTableEntry *pEntry, const char *pszArguments)
{
    Words words(pszArguments);
    const long long llNegative = std::llabs(static_cast<long long>(words.Int(10)));
    const long long llPositive = std::llabs(static_cast<long long>(words.Int(10)));
    NKString option = words.scan.NextToken();
    const bool bScalar = !option.IsEmpty() && std::strncmp(option.GetText(), "scl", 3) == 0;
    // The frame count, negative + positive + 1, must be an int.
    if (llNegative + llPositive >= 2147483647LL)
        return NKCommandFail(pEntry, "Error creating mode shape animation");
    const int iNegative = static_cast<int>(llNegative), iPositive = static_cast<int>(llPositive);
    NKSetStatusText("Calculating mode shape animation...");
    if (!NKSetupModeShapeAnimation(iNegative, iPositive, true, bScalar))
        return NKCommandFail(pEntry, "Error creating mode shape animation");
    NKPrintInfo(NKString::FromFormat(
                    "Mode shape animation enabled with %d negative and %d positive steps%s",
                    iNegative, iPositive, bScalar ? " (interpolate scalar)" : "")
                    .GetText());
    g_pModel->iModeNegativeSteps = iNegative;
    g_pModel->iModePositiveSteps = iPositive;
    g_pModel->bModeShapeScalar = bScalar ? 1 : 0;
    g_pModel->bModeShapeAnimation = 1;
    NKComputeFrameBoundingBoxes(-1, false, true);
    g_pModel->bAnimationCycle = 1;
    ExecuteCommand("anim_run");
    NKSetStatusText("Done.");
    return NK_CMD_DONE;
}

int Delay(CommandTableEntry *, const char *pszArguments)
{
    Words words(pszArguments);
    const double dSeconds = words.Seconds(0.0);
    if (dSeconds > 0.001)
        ExecuteCommand(NKString::FromFormat("maxfps %g", 1.0 / dSeconds).GetText());
    return NK_CMD_DONE;
}

// start_delay and stop_delay.
int StartStopDelay(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bStart = pEntry->id == NK_CID_START_DELAY;
    Words words(pszArguments);
    double dSeconds = words.Seconds(0.0);
    if (!(dSeconds > 0.0)) dSeconds = 0.0;
    const double dMs = std::floor(dSeconds * 1000.0);
    const int32_t iMs = dMs > 2147483647.0 ? 2147483647 : static_cast<int32_t>(dMs);
    (bStart ? g_AnimationSettings.iStartDelay : g_AnimationSettings.iStopDelay) = iMs;
    NKPrintInfo(NKString::FromFormat(bStart ? "Setting start delay for animation to %g seconds "
                                              "(default: 0.0)"
                                            : "Setting stop delay for animation to %g seconds "
                                              "(default: 0.0)",
                                     dSeconds)
                    .GetText());
    return NK_CMD_DONE;
}

int MaxFps(CommandTableEntry *, const char *pszArguments)
{
    Words words(pszArguments);
    const int iFps = words.Int(30);
    int iInterval = iFps <= 0 ? kNeverStepMs : static_cast<int>(std::floor(1000.0 / iFps + 0.5));
    if (iInterval == 0) iInterval = 1;
    g_AnimationSettings.iFrameInterval = iInterval;
    NKPrintInfo(
        NKString::FromFormat("Setting max fps to: %d (interframe delay: %dms)", iFps, iInterval)
            .GetText());
    return NK_CMD_DONE;
}

int InactivePercentage(CommandTableEntry *, const char *pszArguments)
{
    Words words(pszArguments);
    const int iPercent = words.Int(25);
    g_AnimationSettings.iInactivePercentage = iPercent < 0 ? 0 : (iPercent > 100 ? 100 : iPercent);
    NKPrintInfo(
        NKString::FromFormat("Reducing max fps %d percent when application is inactive", iPercent)
            .GetText());
    return NK_CMD_DONE;
}

// What follows every animation of the data source's steps.
int AfterResultsAnimation(void)
{
    AutoScaleDisplacements();
    NKComputeNodeTraces();
    return NK_CMD_DONE;
}

int AnimateResults(CommandTableEntry *, const char *pszArguments)
{
    Words words(pszArguments);
    const int iFrom = words.Int(-1);
    const int iTo = words.Int(-1);
    const int iSkip = words.Int(1);
    if (!NKSetupInterfaceAnimation(iFrom, iTo, iSkip, nullptr, 0)) return NK_CMD_FAILED;
    return AfterResultsAnimation();
}

// A positive decimal number filling the whole text.
bool ReadStepNumber(const char *psz, const char *pszEnd, long *plOut)
{
    if (psz == pszEnd) return false;
    long l = 0;
    for (; psz < pszEnd; psz++) {
        if (!std::isdigit(static_cast<unsigned char>(*psz))) return false;
        l = l * 10 + (*psz - '0');
        if (l > 2147483647L) return false;
    }
    *plOut = l;
    return true;
}

// A word "a" or "a-b" (1 <= a <= b) into *pA and *pB.
bool ReadStepWord(const NKString &word, long *pA, long *pB)
{
    const char *psz = word.GetText();
    const char *pszEnd = psz;
    while (*pszEnd != '\0') pszEnd++;
    const char *pszDash = psz;
    while (pszDash < pszEnd && *pszDash != '-') pszDash++;
    if (!ReadStepNumber(psz, pszDash, pA)) return false;
    if (pszDash == pszEnd)
        *pB = *pA;
    else if (!ReadStepNumber(pszDash + 1, pszEnd, pB))
        return false;
    return *pA >= 1 && *pA <= *pB;
}

// animresults steps: the listed steps and ranges a-b (1-based).
int AnimateListedSteps(CommandTableEntry *pEntry, const char *pszArguments)
{
    Words words(pszArguments);
    // A range past the source's steps adds only its first step out of range,
    // which the set-up refuses, instead of every number up to its end.
    const long lSteps = NKGetInterfaceNumSteps();
    std::vector<int> steps;
    for (NKString word = words.scan.NextToken(); !word.IsEmpty(); word = words.scan.NextToken()) {
        long a = 0, b = 0;
        if (!ReadStepWord(word, &a, &b)) return NKCommandFail(pEntry, kParameterError);
        for (long s = a; s <= b && s <= lSteps + 1; s++) steps.push_back(static_cast<int>(s - 1));
    }
    if (steps.empty() ||
        !NKSetupInterfaceAnimation(1, 2, 1, steps.data(), static_cast<int>(steps.size())))
        return NKCommandFail(pEntry, kParameterError);
    return AfterResultsAnimation();
}

int InterpolateStates(CommandTableEntry *pEntry, const char *pszArguments)
{
    Words words(pszArguments);
    const int n = words.Int(3);
    {
        NKWaitCursor cursor;
        if (!NKInterpolateStates(n)) return NKCommandFail(pEntry, "Interpolate FAILED");
    }
    if (g_pModel != nullptr) g_pModel->iNumInterstateFrames = n;
    return NKCommandDone(NKString::FromFormat("Interpolation of %d interstate frames ok.", n));
}

int DrawAnimationSetup(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_DRAWANIMATIONSETUP;
    g_AnimationSettings.bDrawAnimationSetup = bOn ? 1 : 0;
    if (bOn) NKPrintInfo("Drawing while setting up animation enabled");
    return NK_CMD_DONE;
}

const NKCommandAction kAnimationActions[] = {
    {NK_CID_ANIM_DISPLACEMENT, NumberedFiles},
    {NK_CID_ANIM_SCALAR, NumberedFiles},
    {NK_CID_ANIM_CONTOUR, AnimationCycle},
    {NK_CID_ANIM_CYCLE, AnimationCycle},
    {NK_CID_NOANIM_CYCLE, AnimationCycle},
    {NK_CID_ANIM_RUN, RunAnimation},
    {NK_CID_NOANIM, NoAnimation},
    {NK_CID_STEP, ShowStep},
    {NK_CID_NOSTEP, ShowStep},
    {NK_CID_STEPTEXT, StepText},
    {NK_CID_NOSTEPTEXT, NoStepText},
    {NK_CID_MODE, ModeShape},
    {NK_CID_DELAY, Delay},
    {NK_CID_START_DELAY, StartStopDelay},
    {NK_CID_STOP_DELAY, StartStopDelay},
    {NK_CID_MAXFPS, MaxFps},
    {NK_CID_INACTIVEPCT, InactivePercentage},
    {NK_CID_ANIMRESULTS, AnimateResults},
    {NK_CID_ANIMRESULTS_STEPS, AnimateListedSteps},
    {NK_CID_INTERPOLATESTATES, InterpolateStates},
    {NK_CID_DRAWANIMATIONSETUP, DrawAnimationSetup},
    {NK_CID_NODRAWANIMATIONSETUP, DrawAnimationSetup},
};

}  // namespace

int NKCommandHandleAnimation(CommandTableEntry *pEntry, const char *pszArguments)
{
    return NKRunCommandAction(kAnimationActions, pEntry, pszArguments);
}

void NKRegisterAnimationCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_ANIMATION, NKCommandHandleAnimation);
}
