// app/nk_system_commands.h -- NKCommandHandleSystem, the last command handler
// of the chain: the commands that belong to the application itself (tool
// bar, status bar, windows, reports, shell commands, test grids, picking
// modes, hot spots, navigation switches, the model status dump, ...).
//
// Registered in the NK_HANDLER_SYSTEM slot of the interpreter's chain
// (commands/nk_command.h) at start-up. It answers 3 for every id that is not
// one of its commands. The topic files it hands ids to are
// listed in nk_system_topics.h.
#pragma once

#include <cstdint>

struct CommandTableEntry;

// Set by an `exit` or `quit` that finds no main window (a command file run
// before the window exists); start-up ends the program instead of entering
// the event loop when it is set.
extern uint8_t g_bExitRequested;

int NKCommandHandleSystem(CommandTableEntry *pEntry, const char *pszArguments);
// Puts NKCommandHandleSystem into its slot of the handler chain.
void NKRegisterSystemCommands(void);
// Sets g_bExitRequested.
void NKRequestExit(void);
