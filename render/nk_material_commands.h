// render/nk_material_commands.h -- the material and colour commands: part
// colours and reflectances, shininess, transparency and its drawing mode,
// the part palette and the attribute lock.
//
// NKCommandHandleMaterial sits in slot NK_HANDLER_MATERIAL of the handler
// chain (commands/nk_command.h); NKRegisterMaterialCommands fills it at
// start-up. Every command changes the parts of each geometry of the model
// once (geometries shared by several frames are marked while they are
// changed), flags the changed materials for rebuilding
// (NKFlagMaterialsForUpdate) and asks for a redraw.
#pragma once

#include <cstdint>
#include <functional>

struct CommandTableEntry;
struct NKPart;

// The palette `oldpartcolors` switches to; `newpartcolors` goes back to the
// start-up palette (NKStartupPartPalette, core/nk_part_palette.h).
extern const uint8_t NKOldPartPalette[16][3];

// Calls change on parts iFrom..iTo (1-based) of every geometry of the model,
// each shared geometry once (NKResetGeometryMarks), clamped to each
// geometry's own parts.
void NKChangeGeometryParts(int iFrom, int iTo, const std::function<void(NKPart &)> &change);
// Marks the part draw lists of every frame invalid.
void NKInvalidateAllPartLists(void);

int NKCommandHandleMaterial(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterMaterialCommands(void);
