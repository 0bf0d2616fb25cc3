// render/nk_viewpoint_commands.cpp -- the viewpoint handler (see
// nk_viewpoint_commands.h). Numbers are read word by word by the parameter
// parser; a missing one keeps its default, a word that is no finite number
// fails the command. The matrix and the distances change only on success.
#include "render/nk_viewpoint_commands.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_command_actions.h"
#include "render/nk_projection.h"
#include "render/nk_ride.h"
#include "render/nk_scene_view.h"

namespace {

// Up to n numbers of the argument text over the defaults in pfOut, read by
// the command's parameter parser. A word that is no finite float is reported
// by the parser and gives false with pfOut untouched, so that the command
// changes nothing.
bool ReadNumbers(const CommandTableEntry *pEntry, const char *pszArguments, float *pfOut, int n)
{
    CommandParams params(pszArguments != nullptr ? pszArguments : "");
    params.SetCommand(pEntry);
    std::vector<float> read(pfOut, pfOut + n);
    for (int i = 0; i < n; i++) {
        const bool bRead =
            i == 0 ? params.NKGetFirstParameterFloat(&read[0], false, NK_UNDEFINED_VALUE, 0.0f)
                   : params.NKGetParameterFloat(&read[i], false, NK_UNDEFINED_VALUE, 0.0f);
        if (!bRead) return false;
    }
    std::copy(read.begin(), read.end(), pfOut);
    return true;
}

bool HasWords(const char *pszArguments)
{
    CommandParams params(pszArguments != nullptr ? pszArguments : "");
    return params.HasParameters();
}

int Info(const NKString &text)
{
    NKPrintInfo(text.GetText());
    return NK_CMD_DONE;
}

int Fail(const CommandTableEntry *pEntry, const char *pszText)
{
    NKCommandError(pEntry, pszText);
    return NK_CMD_FAILED;
}

// The default eye and point looked at: the display points (0, 0, 2) and
// the origin carried back into model coordinates.
void DefaultLookAt(float *pfArgs)
{
    float afEye[3] = {0, 0, 2}, afVrp[3] = {0, 0, 0}, afInverse[16];
    if (NKInvertMatrix(g_ViewMatrix, afInverse)) {
        NKTransformPoint(afInverse, afEye);
        NKTransformPoint(afInverse, afVrp);
    }
    DisplayToModel(afEye);
    DisplayToModel(afVrp);
    const float afUp[3] = {0, 1, 0};
    for (int k = 0; k < 3; k++)
        pfArgs[k] = afEye[k], pfArgs[3 + k] = afVrp[k], pfArgs[6 + k] = afUp[k];
}

int LookAtCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    float a[9];
    DefaultLookAt(a);
    if (!ReadNumbers(pEntry, pszArguments, a, 9)) return NK_CMD_FAILED;
    if (!HasWords(pszArguments))
        NKPrintInfo(NKString::FromFormat("No parameters specified, setting to default for this "
                                         "model:\n  %g,%g,%g  %g,%g,%g  %g,%g,%g",
                                         a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8])
                        .GetText());
    float afForward[3], afCross[3];
    NKVec3Difference(a + 3, a, afForward);
    if (NKVec3IsZero(afForward))
        return Fail(pEntry, "Eye position and point on the line of sight must be different");
    NKCrossProduct(afForward, a + 6, afCross);
    if (NKVec3IsZero(afCross)) return Fail(pEntry, "Forward direction and up vector are parallel");
    ModelToDisplay(a);
    ModelToDisplay(a + 3);
    NKVec3Normalize(a + 6);
    NKLookAtMatrix(a, a + 3, a + 6, g_ViewMatrix);
    NKInvalidateView();
    return NK_CMD_DONE;
}

int SetViewCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    float a[7] = {0, 0, 0, 1, 0, 0, 0};
    if (!ReadNumbers(pEntry, pszArguments, a, 7)) return NK_CMD_FAILED;
    NKQuatTranslationToMat4(a, a + 4, g_ViewMatrix);
    NKPrintInfo(NKString::FromFormat("Setting view to: %g %g %g %g %g %g %g", a[0], a[1], a[2],
                                     a[3], a[4], a[5], a[6])
                    .GetText());
    NKRedrawView();
    return NK_CMD_DONE;
}

// clipfront and clipback: the distance (default when missing) must be > 0.
// clipfront and clipback.
int ClipPlaneCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bFront = pEntry->id == NK_CID_CLIPFRONT;
    const float fDefault = bFront ? NK_DEFAULT_NEAR_CLIP : NK_DEFAULT_FAR_CLIP;
    float fValue = fDefault;
    if (!ReadNumbers(pEntry, pszArguments, &fValue, 1)) return NK_CMD_FAILED;
    if (!(fValue > 0.0f))
        return Fail(pEntry,
                    NKString::FromFormat("Illegal clip value %f (legal values > 0; def. %f)",
                                         fValue, fDefault)
                        .GetText());
    (bFront ? g_fNearClip : g_fFarClip) = fValue;
    GLint iMatrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &iMatrixMode);
    NKSetProjection(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight, g_fNearClip, g_fFarClip);
    glMatrixMode(static_cast<GLenum>(iMatrixMode));
    NKInvalidateView();
    return Info(NKString::FromFormat("%s clipping plane set to: %g (default: %g)",
                                     bFront ? "Front" : "Back", fValue, fDefault));
}

int ClipInfoCommand(CommandTableEntry *, const char *)
{
    float fZMin = 0.0f, fZMax = 0.0f;
    NKGetBoxDepthRange(NKGetFrame(-1), g_afSavedModelView, &fZMin, &fZMax);
    const bool bAuto = g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bAutoClip;
    return Info(NKString::FromFormat("Clipping plane information:\n- front clipping plane: %g\n- "
                                     "back clipping plane: %g\n- minimum z-value: %g\n- maximum "
                                     "z-value: %g\n- automatic clipping is %s",
                                     g_fNearClip, g_fFarClip, -fZMax, -fZMin,
                                     bAuto ? "enabled" : "disabled"));
}

int ClipToModelCommand(CommandTableEntry *, const char *)
{
    float fNear = 0, fFar = 0, fZMin = 0, fZMax = 0;
    if (!NKSetNearFarFromModel(NKGetFrame(-1), g_afSavedModelView, NKViewWindowSize.iWidth,
                               NKViewWindowSize.iHeight, &fNear, &fFar, &fZMin, &fZMax))
        return NK_CMD_FAILED;
    g_fNearClip = fNear;
    g_fFarClip = fFar;
    NKInvalidateView();
    return Info(NKString::FromFormat("Set clipping planes close to model:\n- front clipping "
                                     "plane: %g\n- back clipping plane: %g\n- minimum z-value: "
                                     "%g\n- maximum z-value: %g",
                                     fNear, fFar, -fZMax, -fZMin));
}

int AutoClipCommand(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_AUTOCLIP;
    if (g_pGraphicsSettings != nullptr) g_pGraphicsSettings->bAutoClip = bOn ? 1 : 0;
    NKInvalidateView();
    return Info(bOn ? "Enable continous automatic clipping to model"
                    : "Disable continous automatic clipping to model");
}

bool IsRideCommand(int iId)
{
    return iId == NK_CID_RIDE || iId == NK_CID_NORIDE ||
           (iId >= NK_CID_RIDE_BOAT && iId <= NK_CID_RIDE_VUPPOLYGON);
}

// The ride commands (IsRideCommand) go to the ride set-up.
int RideCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    const int iResult = NKRideCommand(pEntry, pszArguments, &g_RideSpec, g_ViewMatrix);
    if (iResult == NK_CMD_DONE) NKInvalidateView();
    return iResult;
}

const NKCommandAction kViewpointActions[] = {
    {NK_CID_LOOKAT, LookAtCommand},      {NK_CID_SETVIEW, SetViewCommand},
    {NK_CID_CLIPINFO, ClipInfoCommand},  {NK_CID_CLIPFRONT, ClipPlaneCommand},
    {NK_CID_CLIPBACK, ClipPlaneCommand}, {NK_CID_CLIP, ClipToModelCommand},
    {NK_CID_AUTOCLIP, AutoClipCommand},  {NK_CID_NOAUTOCLIP, AutoClipCommand},
};

}  // namespace

int NKCommandHandleViewpoint(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry != nullptr && IsRideCommand(pEntry->id)) return RideCommand(pEntry, pszArguments);
    return NKRunCommandAction(kViewpointActions, pEntry, pszArguments);
}

void NKRegisterViewpointCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_VIEWPOINT, NKCommandHandleViewpoint);
    NKSetViewLineMaker([](NKString *pLine) { NKMakeSetviewCommand(pLine, g_ViewMatrix); });
}
