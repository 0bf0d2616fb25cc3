// render/nk_part_display_commands.h -- the part display-flag commands:
// visibility, shading, mesh lines, draw styles, outline mesh, outward
// normals and duplicate nodes over a part range; the mesh and vector
// colours, the mesh offset factor, the high-order element mode, the outline
// crease angle and model scaling; the fixed-viewpoint animation speed-up;
// the level-of-detail settings; and the macro commands, which go on to
// NKCommandHandleMacros (commands/nk_macros.h).
//
// NKCommandHandlePartDisplay sits in slot NK_HANDLER_PART_DISPLAY of the
// handler chain; NKRegisterPartDisplayCommands fills it at start-up. Part
// attributes change on every geometry of the model once, on parts from..to
// (1-based) of each. Only the nine draw-style commands check the attribute
// lock and, given "sel", change the selected parts of the span alone; the
// other range commands change the whole span.
#pragma once

struct CommandTableEntry;

int NKCommandHandlePartDisplay(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterPartDisplayCommands(void);
