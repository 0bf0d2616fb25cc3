// app/nk_system_commands.cpp -- the application's own commands (see
// nk_system_commands.h). Each command builds a parameter parser over its
// argument text and a token scan of it; information goes to the message
// output, errors through NKCommandError with result 1.
#include "app/nk_system_commands.h"

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_status_dump.h"
#include "readers/nk_lsdyna_format.h"

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
