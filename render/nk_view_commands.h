// render/nk_view_commands.h -- the display commands: scene drawing on and
// off, model and box, the drawing mode while moving, projection and field
// of view, spin, lights and the lighting model, fog, axes, z-buffer,
// dithering and the geometry description.
//
// NKCommandHandleView sits in slot NK_HANDLER_VIEW of the handler chain
// (commands/nk_command.h), filled by NKInstallRenderer. Each command
// changes NKViewSettings, NKGraphicsSettings or the light records, prints
// its confirmation and asks for a redraw; light changes only raise list
// flags, which the next draw acts on.
#pragma once

#include <string>
#include <vector>

struct CommandTableEntry;

int NKCommandHandleView(CommandTableEntry *pEntry, const char *pszArguments);

// The blank-separated words of a handler's argument text, without the
// leading "PARAMS".
std::vector<std::string> NKSplitCommandWords(const char *pszArguments);
// The handler's argument text after "PARAMS", leading blanks removed.
std::string NKCommandRestOfLine(const char *pszArguments);
// The light commands (light, lightproperties, globallight, localviewer,
// nolocalviewer); 3 for any other command.
int NKCommandHandleLights(CommandTableEntry *pEntry, const char *pszArguments);
