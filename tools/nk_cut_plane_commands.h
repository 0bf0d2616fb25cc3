// tools/nk_cut_plane_commands.h -- the command handler of the cutting-plane,
// iso-surface and element-highlight commands and the installer that puts it
// into its slot of the command chain (commands/nk_command.h) at start-up.
// The handler needs the surface tools (NKCreateSurfaceTools); without them
// it answers 3 to everything.
#pragma once

struct CommandTableEntry;

// Performs the command of pEntry on the current frame and returns its result
// code (0 done, 1 failed); 3 for every command that is not its own.
int NKCommandHandleCutPlanes(CommandTableEntry *pEntry, const char *pszArguments);
// Fills slot NK_HANDLER_CUT_PLANES with NKCommandHandleCutPlanes unless it
// is taken.
void NKRegisterCutPlaneCommands(void);
