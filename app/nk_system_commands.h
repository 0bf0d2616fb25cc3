// app/nk_system_commands.h -- NKCommandHandleSystem, the last command handler
// of the chain: the commands that belong to the application itself (tool
// bar, status bar, windows, reports, the model status dump, ...).
//
// Registered in the NK_HANDLER_SYSTEM slot of the interpreter's chain
// (commands/nk_command.h) at start-up. It answers 3 for every id that is not
// one of its commands.
#pragma once

struct CommandTableEntry;

int NKCommandHandleSystem(CommandTableEntry *pEntry, const char *pszArguments);
// Puts NKCommandHandleSystem into its slot of the handler chain.
void NKRegisterSystemCommands(void);
