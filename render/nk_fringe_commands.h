// render/nk_fringe_commands.h -- the fringe and legend commands: fringe
// colouring and shading, the fringe range, the legend switches and texts,
// contour lines and the value filter.
//
// NKCommandHandleFringes sits in slot NK_HANDLER_FRINGES of the handler
// chain (commands/nk_command.h); NKRegisterFringeCommands fills it at
// start-up. The commands change records only (graphics settings, view
// settings, fringe colours, contour settings, legend settings of
// nk_legend.h) and ask for a redraw; the next draw shows the change.
#pragma once

#include <cstdint>

struct CommandTableEntry;

// The contour line colour (contcolor r g b; white) and width in pixels
// (clinewidth; 1).
extern uint8_t g_uContourLineColor[3];
extern int32_t g_iContourLineWidth;

// legend and nolegend call it with the new switch; the tools fill it at
// start-up so that the 3-D legend's handle follows (null: nothing follows).
extern void (*g_pfnFollowLegendSwitch)(bool bOn);

int NKCommandHandleFringes(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterFringeCommands(void);
