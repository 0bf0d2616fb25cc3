// app/nk_switch_commands.cpp -- the general commands that flip one setting
// (see nk_system_topics.h): vertex arrays, stroke fonts, polygon offset,
// the mouse-position display, erosion flags, the shell surface, mouse and
// keyboard navigation, part tool tips, command debugging and the LS-DYNA
// title byte swap. The settings belong to the drawing code, the camera and
// the view; this file only changes and reports them.
#include <cmath>
#include <cstdlib>

#include "app/nk_system_topics.h"
#include "app/nk_view_input.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "core/nk_element_types.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "readers/nk_lsdyna_format.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"

namespace {

// vertexarray, strokefonts, polygonoffset and mouseposition with their
// "no" forms. The records exist from start-up on; a missing one (a test
// without the drawing code) is left alone.
int CommandDrawSwitch(int iId)
{
    switch (iId) {
    case NK_CID_VERTEXARRAY:
    case NK_CID_NOVERTEXARRAY:
        NKVertexArraySwitch = iId == NK_CID_VERTEXARRAY ? 1 : 0;
        NKPrintInfo(iId == NK_CID_VERTEXARRAY ? "Using Vertex array for drawing of polygons"
                                              : "Not using Vertex array for drawing of polygons");
        return 0;  // read at the next drawing; nothing to redraw for
    case NK_CID_STROKEFONTS:
    case NK_CID_NOSTROKEFONTS:
        NKStrokeFontSwitch = iId == NK_CID_STROKEFONTS ? 1 : 0;
        NKPrintInfo(iId == NK_CID_STROKEFONTS ? "Using stroke fonts to draw text"
                                              : "Using bitmap fonts to draw text");
        break;
    case NK_CID_POLYGONOFFSET:
    case NK_CID_NOPOLYGONOFFSET:
        if (g_pGraphicsSettings != nullptr) {
            g_pGraphicsSettings->bPolygonOffset = iId == NK_CID_POLYGONOFFSET ? 1 : 0;
            g_pGraphicsSettings->bChanged = 1;
        }
        NKPrintInfo(iId == NK_CID_POLYGONOFFSET
                        ? "Enable use of polygon offset (Requires OpenGL 1.1)."
                        : "Disable use of polygon offset.");
        break;
    default:  // mouseposition, nomouseposition: no message
        if (g_pViewSettings != nullptr)
            g_pViewSettings->bShowMousePosition = iId == NK_CID_MOUSEPOSITION ? 1 : 0;
        break;
    }
    NKInvalidateView();
    return 0;
}

int CommandReverseErosion(void)
{
    NKPrintInfo("Reversing erosion flags...");
    NKReverseErosionFlags(NKGetCurrentFrame());
    NKPrintInfo("Erosion flags reversed.");
    NKInvalidateView();
    return 0;
}

// "shell [inner | middle | outer]", the words known by two letters; no
// word or another one selects the middle surface.
int CommandShell(NKArgumentScan *pScan)
{
    const NKString prefix = pScan->NextToken().Left(2);
    int iSurface = 1;
    if (prefix == "in") iSurface = 0;
    if (prefix == "ou") iSurface = 2;
    NKSetShellSurface(iSurface);
    static const char *const kNames[3] = {"Shell inner surface", "Shell middle surface",
                                          "Shell outer surface"};
    NKPrintInfo(kNames[iSurface]);
    return 0;
}

// "sensitivity [factor]": a factor above 0 becomes the mouse sensitivity;
// the current factor is reported with or without one. A factor of 0 or
// below is refused and leaves the sensitivity alone.
int CommandSensitivity(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextToken();
    if (!word.IsEmpty()) {
        // Only a finite number above 0 is taken; the message shows the word
        // as read.
        float fFactor = 0.0f;
        if (!NKWordToFloat(word.GetText(), &fFactor) || !(fFactor > 0.0f)) {
            NKCommandError(pEntry, NKString::FromFormat("Illegal mouse sensitivity factor %f "
                                                        "(legal values > 0; def. 1.0)",
                                                        std::atof(word.GetText()))
                                       .GetText());
            return 1;
        }
        g_InputState.fSensitivity = fFactor;
    }
    NKPrintInfo(NKString::FromFormat("Mouse sensitivity factor set to: %g (default 1.0).",
                                     g_InputState.fSensitivity)
                    .GetText());
    return 0;
}

// "keyrotate factor" and "keytranslate factor": the factor's absolute value
// becomes the keyboard step. A missing or malformed factor is the parser's
// error and changes nothing.
int CommandKeyStep(CommandTableEntry *pEntry, const char *pszArguments, bool bRotate)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    float fFactor = 0.0f;
    if (!params.NKGetFirstParameterFloat(&fFactor, true, NK_UNDEFINED, NK_UNDEFINED)) return 1;
    (bRotate ? g_fKeyRotateStep : g_fKeyTranslateStep) = std::fabs(fFactor);
    NKPrintInfo(NKString::FromFormat("Keyboard %s factor set to %g.",
                                     bRotate ? "rotation" : "translation", std::fabs(fFactor))
                    .GetText());
    return 0;
}

// "study" and "walk": the navigation mode. Walking is refused (result 0)
// while mouse rotation is disabled.
int CommandNavigationMode(bool bWalk)
{
    if (bWalk && g_bRotationDisabled != 0) {
        NKPrintInfo("Cannot enable walk navigation while rotation is disabled.");
        return 0;
    }
    NKSetNavigationMode(bWalk ? NK_NAVIGATION_WALK : NK_NAVIGATION_STUDY);
    NKPrintInfo(bWalk ? "Enable walk navigation mode." : "Enable study navigation mode");
    return 0;
}

// "navigate" reports the mode and the rotation switch; "navigate rotate
// off" goes back to study navigation and disables mouse rotation, any
// other word enables it.
int CommandNavigate(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString sub;
    if (!params.NKGetFirstParameterString(&sub, false, NK_PARAM_STRING_WORD)) return 1;
    sub.Trim();
    if (sub.IsEmpty()) {
        const int iMode = NKGetNavigationMode();
        NKPrintInfo("Navigation mode status:");
        NKPrintInfo(iMode == NK_NAVIGATION_STUDY  ? "\tCurrent navigation mode is STUDY."
                    : iMode == NK_NAVIGATION_WALK ? "\tCurrent navigation mode is WALK."
                                                  : "");
        NKPrintInfo(g_bRotationDisabled != 0 ? "\tRotation is disabled."
                                             : "\tRotation is enabled.");
        return 0;
    }
    if (!(sub == "rotate")) {
        NKPrintError("Sub command not found.");
        return 1;
    }
    NKString word;
    if (!params.NKGetParameterString(&word, false, NK_PARAM_STRING_WORD)) return 1;
    word.Trim();
    if (word == "off") {
        NKSetNavigationMode(NK_NAVIGATION_STUDY);
        g_bRotationDisabled = 1;
        NKPrintInfo("Rotation disabled.");
    } else {
        g_bRotationDisabled = 0;
        NKPrintInfo("Rotation enabled.");
    }
    return 0;
}

// "tooltip [on | off]" and "debugcommands [on | off]": off only for the
// exact word "off".
int CommandOnOff(int iId, NKArgumentScan *pScan)
{
    const bool bOn = !(pScan->NextToken() == "off");
    if (iId == NK_CID_DEBUGCOMMANDS) {
        g_CommandRunner.bDebugCommands = bOn;
        return 0;
    }
    g_bPartTooltips = bOn ? 1 : 0;
    NKPrintInfo(bOn ? "Enable display of part description as tooltip."
                    : "Disable display of part description as tooltip.");
    return 0;
}

// "swapdynatitle [on | off]": the rest of the line, trimmed and lower-cased,
// equal to "on" switches the LS-DYNA title byte swap on, any other text off;
// without text the setting is only reported.
int CommandSwapDynaTitle(NKArgumentScan *pScan)
{
    NKString rest = pScan->Rest();
    rest.Trim();
    if (rest.IsEmpty()) {
        NKPrintInfo(NKString::FromFormat("Byte swapping of LS-DYNA title string is %sabled.",
                                         NKLSDynaGetTitleByteSwap() ? "en" : "dis")
                        .GetText());
        return 0;
    }
    rest.MakeLower();
    NKLSDynaSetTitleByteSwap(rest == "on");
    NKPrintInfo(NKString::FromFormat("%sabling byte swapping of LS-DYNA title string.",
                                     rest == "on" ? "En" : "Dis")
                    .GetText());
    return 0;
}

}  // namespace

int NKHandleSwitchCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_VERTEXARRAY:
    case NK_CID_NOVERTEXARRAY:
    case NK_CID_STROKEFONTS:
    case NK_CID_NOSTROKEFONTS:
    case NK_CID_POLYGONOFFSET:
    case NK_CID_NOPOLYGONOFFSET:
    case NK_CID_MOUSEPOSITION:
    case NK_CID_NOMOUSEPOSITION:
        return CommandDrawSwitch(pEntry->id);
    case NK_CID_REVERSEEROSION:
        return CommandReverseErosion();
    case NK_CID_SHELL:
        return CommandShell(&scan);
    case NK_CID_SENSITIVITY:
        return CommandSensitivity(pEntry, &scan);
    case NK_CID_KEYROTATE:
    case NK_CID_KEYTRANSLATE:
        return CommandKeyStep(pEntry, pszArguments, pEntry->id == NK_CID_KEYROTATE);
    case NK_CID_STUDY:
    case NK_CID_WALK:
        return CommandNavigationMode(pEntry->id == NK_CID_WALK);
    case NK_CID_NAVIGATE:
        return CommandNavigate(pEntry, pszArguments);
    case NK_CID_TOOLTIP:
    case NK_CID_DEBUGCOMMANDS:
        return CommandOnOff(pEntry->id, &scan);
    case NK_CID_SWAPDYNATITLE:
        return CommandSwapDynaTitle(&scan);
    default:
        return NK_CMD_NOT_MINE;
    }
}
