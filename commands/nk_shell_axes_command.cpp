// commands/nk_shell_axes_command.cpp -- the shellaxes command (see
// nk_shell_axes_command.h). The switches and the axes live in
// readers/nk_shell_axes.cpp; this file parses the words, reports the
// switches and sets the selection list for element picking.
#include "commands/nk_shell_axes_command.h"

#include "commands/nk_argument_scan.h"
#include "commands/nk_command_messages.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "readers/nk_shell_axes.h"

namespace {

constexpr int kElementPicking = 2;

void Report(const char *pszWhat, uint32_t uMask)
{
    NKPrintInfo((NKString(pszWhat) + (g_ShellAxes.IsEnabled(uMask) ? " enabled." : " disabled."))
                    .GetText());
}

// "on" enables, any other word or none disables.
void Switch(NKArgumentScan *pScan, uint32_t uMask)
{
    NKString word = pScan->NextToken();
    word.MakeLower();
    if (word == "on")
        g_ShellAxes.Enable(uMask);
    else
        g_ShellAxes.Disable(uMask);
}

// Element picking while either drawing is on; the list cleared once both
// are off.
void UpdateSelection(void)
{
    if (g_ShellAxes.IsAnyEnabled()) {
        g_SelectionList.SetEnabled(true);
        g_SelectionList.SetMode(kElementPicking);
        g_SelectionList.SetKeepPrevious(true);
        NKSelectionFeedbackMode = 0;
    } else {
        g_SelectionList.SetEnabled(false);
        g_SelectionList.Clear();
        NKSelectionFeedbackMode = 1;
    }
    NKInvalidateView();
}

}  // namespace

int NKShellAxesCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments != nullptr ? pszArguments : "PARAMS");
    scan.NextToken();  // "PARAMS"
    NKString sub = scan.NextToken();
    sub.MakeLower();
    if (sub.IsEmpty()) {
        Report("Drawing of shell local coordinate system axes is ", NK_SHELLAXES_COORDSYS);
        Report("Drawing of shell strain axes is ", NK_SHELLAXES_STRAINS);
    } else if (sub == "coordsys") {
        Switch(&scan, NK_SHELLAXES_COORDSYS);
        Report("Drawing of shell local coordinate system axes ", NK_SHELLAXES_COORDSYS);
    } else if (sub == "strains") {
        Switch(&scan, NK_SHELLAXES_STRAINS);
        Report("Drawing of shell strain axes ", NK_SHELLAXES_STRAINS);
    } else {
        NKCommandError(pEntry, "Could not find sub command");
        return 1;
    }
    UpdateSelection();
    return 0;
}
