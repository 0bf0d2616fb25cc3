// render/nk_viewpoint_commands.h -- NKCommandHandleViewpoint, the
// NK_HANDLER_VIEWPOINT slot of the command chain: `lookat` (`upat`),
// `setview`, the clipping commands and the `ride` family (nk_ride.h).
#pragma once

struct CommandTableEntry;

// The commands above; 3 for every other command id.
int NKCommandHandleViewpoint(CommandTableEntry *pEntry, const char *pszArguments);
// Fills the chain's viewpoint slot and the view line that `saveview` writes;
// called at start-up.
void NKRegisterViewpointCommands(void);
