// render/nk_render_mode_commands.h -- the rendering-mode commands in five
// handlers of the command chain (commands/nk_command.h):
//   NKCommandHandleRenderFix (NK_HANDLER_RENDER_FIX): drawing work-arounds
//     (fix), lighting sides, back-face, frustum and occlusion culling,
//     normals, part names and part grouping;
//   NKCommandHandleLineStyle (NK_HANDLER_LINE_STYLE): line and point
//     smoothing and size, points as spheres, lines as cylinders;
//   NKCommandHandleComplex (NK_HANDLER_COMPLEX): phase angle and magnitude
//     of complex results;
//   NKCommandHandleBoundary (NK_HANDLER_BOUNDARY): boundary-condition display;
//   NKCommandHandleBackground (NK_HANDLER_BACKGROUND): background colours and
//     image.
// NKRegisterRenderModeCommands fills the five slots at start-up. The
// commands store settings only; where a graphics setting must reach the
// OpenGL state its record is marked changed so that the next draw applies it.
#pragma once

struct CommandTableEntry;

int NKCommandHandleRenderFix(CommandTableEntry *pEntry, const char *pszArguments);
int NKCommandHandleLineStyle(CommandTableEntry *pEntry, const char *pszArguments);
int NKCommandHandleComplex(CommandTableEntry *pEntry, const char *pszArguments);
int NKCommandHandleBoundary(CommandTableEntry *pEntry, const char *pszArguments);
int NKCommandHandleBackground(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterRenderModeCommands(void);
