// app/nk_system_commands.cpp -- the application's own commands (see
// nk_system_commands.h). Each command builds a parameter parser over its
// argument text and a token scan of it; information goes to the message
// output, errors through NKCommandError with result 1.
#include "app/nk_system_commands.h"

#include <cmath>
#include <cstdlib>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_status_dump.h"
#include "readers/nk_lsdyna_format.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"

namespace {

// "dump [file]": the model status dump, "quolin.dbg" by default. A dump that
// cannot be written is a failed command.
int CommandDump(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = "quolin.dbg";
    if (NKDumpFrameInformation(name.GetText(), g_pModel)) return 0;
    NKCommandError(
        pEntry, NKString::FromFormat("Could not create dump file : %s ", name.GetText()).GetText());
    return 1;
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

// "sensitivity [factor]": a factor above 0 becomes the mouse sensitivity;
// the current factor is reported with or without one. A factor of 0 or
// below is refused and leaves the sensitivity alone.
int CommandSensitivity(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString word = pScan->NextArgument();
    if (!word.IsEmpty()) {
        const float fFactor = static_cast<float>(std::atof(word.GetText()));
        if (!(fFactor > 0.0f)) {
            NKCommandError(pEntry, NKString::FromFormat("Illegal mouse sensitivity factor %f "
                                                        "(legal values > 0; def. 1.0)",
                                                        fFactor)
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
    CommandParams params(pszArguments != nullptr ? pszArguments : "PARAMS");
    params.SetCommand(pEntry);
    float fFactor = 0.0f;
    if (!params.NKGetFirstParameterFloat(&fFactor, true, NK_UNDEFINED, NK_UNDEFINED)) return 1;
    (bRotate ? g_fKeyRotateStep : g_fKeyTranslateStep) = std::fabs(fFactor);
    NKPrintInfo(NKString::FromFormat("Keyboard %s factor set to %g.",
                                     bRotate ? "rotation" : "translation", std::fabs(fFactor))
                    .GetText());
    return 0;
}

// Placeholder: the mouse-rotation switch comes with the navigate commands;
// until then rotation is never disabled.
bool IsMouseRotationDisabled(void) { return false; }

// "study" and "walk": the navigation mode. Walking is refused (result 0)
// while mouse rotation is disabled.
int CommandNavigationMode(bool bWalk)
{
    if (bWalk && IsMouseRotationDisabled()) {
        NKPrintInfo("Cannot enable walk navigation while rotation is disabled.");
        return 0;
    }
    NKSetNavigationMode(bWalk ? NK_NAVIGATION_WALK : NK_NAVIGATION_STUDY);
    NKPrintInfo(bWalk ? "Enable walk navigation mode." : "Enable study navigation mode");
    return 0;
}

}  // namespace

int NKCommandHandleSystem(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return 3;
    NKArgumentScan scan(pszArguments != nullptr ? pszArguments : "PARAMS");
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_DUMP:
        return CommandDump(pEntry, &scan);
    case NK_CID_SWAPDYNATITLE:
        return CommandSwapDynaTitle(&scan);
    case NK_CID_SENSITIVITY:
        return CommandSensitivity(pEntry, &scan);
    case NK_CID_KEYROTATE:
    case NK_CID_KEYTRANSLATE:
        return CommandKeyStep(pEntry, pszArguments, pEntry->id == NK_CID_KEYROTATE);
    case NK_CID_STUDY:
    case NK_CID_WALK:
        return CommandNavigationMode(pEntry->id == NK_CID_WALK);
    default:
        // Placeholder: the other application commands come with the shell's
        // general commands; until then they are not this handler's (3).
        return 3;
    }
}

void NKRegisterSystemCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_SYSTEM, NKCommandHandleSystem);
}
