// render/nk_transform_commands.h -- the part transform commands: per-part
// translation, scaling and rotation of every frame's matrices, the identity
// and fit-to-view of those matrices, the camera's rotation point, and the
// mirror command family.
//
// NKCommandHandleTransform sits in slot NK_HANDLER_TRANSFORM of the handler
// chain (commands/nk_command.h); NKRegisterTransformCommands fills it at
// start-up. The matrices are display-coordinate matrices in OpenGL column
// order, one per part of each frame (NKFrame::pTransformation).
#pragma once

struct CommandTableEntry;

int NKCommandHandleTransform(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterTransformCommands(void);
