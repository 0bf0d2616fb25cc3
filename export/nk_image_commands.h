// export/nk_image_commands.h -- the image rows of the file commands:
// captppm, captrgb, capttiff, captgif, capteps (the frame buffer at the
// view's size), toppm, torgb, totiff, tobmp, togif, toeps (rendered
// off-screen at a chosen size) and toclipboard. The file handler of
// commands/ reaches them through the image slot beside NKSetCommandHandler.
#pragma once

struct CommandTableEntry;

// The handler of those rows; 3 (not mine) for any other id.
int NKCommandHandleImageFiles(CommandTableEntry *pEntry, const char *pszArguments);
// Puts the handler in the file commands' image slot; called at start-up.
void NKRegisterImageCommands(void);
