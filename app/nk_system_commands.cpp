// app/nk_system_commands.cpp -- NKCommandHandleSystem (see
// nk_system_commands.h): the dispatcher of the general commands and the
// commands of the windows themselves (tool bar, status bar, menu bar, full
// screen, window position), exit, version, the request server, the desktop
// registration, the benchmark and the in-view menus. Every other id goes to
// the topic files of nk_system_topics.h.
//
// Each command scans its argument text token by token (NKArgumentScan) or
// with the parameter parser; information goes to the message output,
// command errors through NKCommandError with result 1.
#include "app/nk_system_commands.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/nk_benchmark.h"
#include "app/nk_gl_menu.h"
#include "app/nk_main_window.h"
#include "app/nk_menus.h"
#include "app/nk_settings.h"
#include "app/nk_statusbar.h"
#include "app/nk_system_topics.h"
#include "app/nk_toolbar.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_log.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "commands/nk_dde_server.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_program_directory.h"
#include "core/nk_view_state.h"
#include "platform/nk_platform.h"

uint8_t g_bExitRequested = 0;

void NKRequestExit(void) { g_bExitRequested = 1; }

namespace {

// "toolbar" / "notoolbar" and "statusbar" / "nostatusbar". The shown flag
// follows the command even without a main window, so that the window made
// later shows the bar or not as asked. A bar already in the asked state is
// an information text with result 1.
int CommandBar(int iId)
{
    const bool bToolbar = iId == NK_CID_TOOLBAR || iId == NK_CID_NOTOOLBAR;
    const bool bShow = iId == NK_CID_TOOLBAR || iId == NK_CID_STATUSBAR;
    uint8_t *pbShown = bToolbar ? &g_bToolbarShown : &g_bStatusbarShown;
    if ((*pbShown != 0) == bShow) {
        static const char *const kAlready[2][2] = {
            {"Status bar already disabled", "Statusbar already enabled"},
            {"Toolbar window already disabled", "Toolbar already enabled"}};
        NKPrintInfo(kAlready[bToolbar][bShow]);
        return 1;
    }
    if (bToolbar)
        bShow ? NKCreateToolbar() : NKDestroyToolbar();
    else
        bShow ? NKCreateStatusbar() : NKDestroyStatusbar();
    *pbShown = bShow ? 1 : 0;
    NKInvalidateView();
    static const char *const kDone[2][2] = {{"Disabled status bar", "Enabled statusbar"},
                                            {"Disabled toolbar window", "Enabled toolbar window"}};
    NKPrintInfo(kDone[bToolbar][bShow]);
    return 0;
}

// "menu" / "nomenu": the menu bar flag and the bar itself (the menus pick
// the full or the start-up menu).
int CommandMenu(bool bShow)
{
    g_bMenuBarShown = bShow ? 1 : 0;
    NKShowMenuBar(bShow);
    NKInvalidateView();
    NKPrintInfo(bShow ? "Showing menu bar." : "Hiding menu bar.");
    return 0;
}

int CommandFullScreen(bool bOn)
{
    SetFullScreen(bOn);
    NKInvalidateView();
    NKPrintInfo(bOn ? "Enabled full-screen display." : "Disabled full-screen display.");
    return 0;
}

// The place a "winposition" line gave the window, where it shows.
void PrintWindowPosition(const NKWindowPosition &placed)
{
    NKPrintInfo(NKString::FromFormat("Setting window position to: %d %d. OpenGL window size: %d %d",
                                     placed.placement.iX, placed.placement.iY, placed.iViewWidth,
                                     placed.iViewHeight)
                    .GetText());
}

// "winposition [x [y [width [height]]]]": each given number replaces the
// normal place or the view's size; the window is moved and sized there as
// a normal window (NKSetMainWindowPosition), a place off the screen
// brought onto it as a stored one is. Without numbers the current values are only
// reported. A view size not given is the normal window's (the normal
// rectangle's client less the bars), also where the window is maximised
// or in full screen now; in full screen the line changes the placement
// the window goes back to. Without a window (a command file run before
// it) the stored place changes. The place printed is the one shown: where
// a manager may keep a place off the screen elsewhere than asked, it is
// printed once the manager has answered.
int CommandWinPosition(NKArgumentScan *pScan)
{
    int aiGiven[4] = {0, 0, 0, 0};
    int iGiven = 0;
    for (; iGiven < 4; iGiven++) {
        NKString token = pScan->NextToken();
        if (token.IsEmpty()) break;
        aiGiven[iGiven] = std::atoi(token.GetText());
    }
    if (iGiven == 0) {
        // The place the window has now, as it is stored (a place the
        // manager pulled further onto the screen where it shows it), and
        // the view as it shows.
        const NKWindowPlacement now = NKGetPlacementToStore();
        int iWidth = NKViewWindowSize.iWidth, iHeight = NKViewWindowSize.iHeight;
        NKGetViewClientSize(&iWidth, &iHeight);
        NKPrintInfo(
            NKString::FromFormat("Current main window position: %d %d. OpenGL window size: %d %d",
                                 now.iX, now.iY, iWidth, iHeight)
                .GetText());
        return 0;
    }
    NKSetMainWindowPosition(aiGiven, iGiven, PrintWindowPosition);
    return 0;
}

// "exit" / "quit": the command log is closed and the main window destroyed,
// which ends the event loop. Without a window (a command file run during
// start-up) the exit is left for start-up to carry out.
int CommandExit(void)
{
    NKPrintInfo("Exiting application");
    if (g_CommandRunner.bLogCommands) NKCommandLogClose();
    if (NKGetMainWindow() != nullptr)
        NKDestroyMainWindow();
    else
        NKRequestExit();
    return 0;
}

int CommandVersion(void)
{
    NKPrintInfo(NKGetVersionLine().c_str());
    NKPrintInfo(
        NKString::FromFormat("  home path: %s", NKGetProgramDirectory().GetText()).GetText());
    return 0;
}

// "dde [debug | nodebug]" and "nodde": the request server. A server that
// cannot start is a failed command.
int CommandDde(CommandTableEntry *pEntry, const char *pszArguments, bool bOn)
{
    if (!bOn) {
        if (bDdeEnabled != 0) NKDDEClose();
        bDdeEnabled = 0;
        NKPrintInfo("Disable DDE.");
        return 0;
    }
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString word;
    if (!params.NKGetFirstParameterString(&word, false, NK_PARAM_STRING_WORD)) return 1;
    if (word == "debug" || word == "nodebug") {
        NKSetDdeDebug(word == "debug");
        NKPrintInfo(word == "debug" ? "Enable DDE debug mode." : "Disable DDE debug mode.");
        return 0;
    }
    if (bDdeEnabled == 0) {
        if (!NKDDEInitialize()) {
            NKCommandError(pEntry, "Error initializing DDE");
            return 1;
        }
        bDdeEnabled = 1;
    }
    NKPrintInfo("Enable DDE.");
    return 0;
}

// "forceregisterfiles [software]": registers the document types again,
// for the software renderer when asked.
int CommandForceRegisterFiles(NKArgumentScan *pScan)
{
    NKString rest = pScan->Rest();
    rest.MakeLower();
    rest.Trim();
    const bool bSoftware = rest == "software";
    RegisterFileTypes(NKGetProgramDirectory().GetText(), true, bSoftware);
    NKPrintInfo(bSoftware ? "File associations updated in Windows Shell with software renderer."
                          : "File associations updated in Windows Shell.");
    return 0;
}

// "benchmark [n]": without a model there is nothing to draw, so nothing
// is measured or written.
int CommandBenchmark(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString token = pScan->NextToken();
    if (!NKRunBenchmark(token.IsEmpty() ? 1 : std::atoi(token.GetText()))) {
        NKCommandError(pEntry, "No model is loaded");
        return 1;
    }
    return 0;
}

int CommandUserMenu(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    if (!NKGLMenuCommand(pScan)) {
        NKCommandError(pEntry, "Error executing sub command");
        return 1;
    }
    NKInvalidateView();
    return 0;
}

// The commands of this file; 3 for the others.
int HandleOwnCommand(CommandTableEntry *pEntry, const char *pszArguments, NKArgumentScan *pScan)
{
    switch (pEntry->id) {
    case NK_CID_TOOLBAR:
    case NK_CID_NOTOOLBAR:
    case NK_CID_STATUSBAR:
    case NK_CID_NOSTATUSBAR:
        return CommandBar(pEntry->id);
    case NK_CID_MENU:
    case NK_CID_NOMENU:
        return CommandMenu(pEntry->id == NK_CID_MENU);
    case NK_CID_FULLSCREEN:
    case NK_CID_NOFULLSCREEN:
        return CommandFullScreen(pEntry->id == NK_CID_FULLSCREEN);
    case NK_CID_WINPOSITION:
        return CommandWinPosition(pScan);
    case NK_CID_EXIT:
        return CommandExit();
    case NK_CID_VERSION:
        return CommandVersion();
    case NK_CID_DDE:
    case NK_CID_NODDE:
        return CommandDde(pEntry, pszArguments, pEntry->id == NK_CID_DDE);
    case NK_CID_FORCEREGISTERFILES:
        return CommandForceRegisterFiles(pScan);
    case NK_CID_BENCHMARK:
        return CommandBenchmark(pEntry, pScan);
    case NK_CID_USERMENU:
        return CommandUserMenu(pEntry, pScan);
    default:
        return NK_CMD_NOT_MINE;
    }
}

}  // namespace

int NKCommandHandleSystem(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    const char *pszText = pszArguments != nullptr ? pszArguments : "PARAMS";
    NKArgumentScan scan(pszText);
    scan.NextToken();  // "PARAMS"
    int iResult = HandleOwnCommand(pEntry, pszText, &scan);
    static const NKCommandHandler kTopics[] = {
        NKHandleSwitchCommands, NKHandleShellCommands, NKHandlePickCommands, NKHandleReportCommands,
        NKHandleGridCommands,   NKHandleSoundCommands, NKHandlePrintCommands};
    for (NKCommandHandler pfnTopic : kTopics) {
        if (iResult != NK_CMD_NOT_MINE) break;
        iResult = pfnTopic(pEntry, pszText);
    }
    return iResult;
}

void NKRegisterSystemCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_SYSTEM, NKCommandHandleSystem);
}
