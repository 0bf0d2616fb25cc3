// render/nk_vector_commands.h -- the vector and displacement commands:
// vector arrows and their heads, sizes, clamping, filtering and filter box,
// displacements and their scaling, the undeformed shape, the one-component
// vector files, the vector descriptions, the frozen node and the scaling of
// the parts' transformation matrices.
//
// NKCommandHandleVectors sits in slot NK_HANDLER_VECTORS of the handler
// chain (commands/nk_command.h); NKRegisterVectorCommands fills it at
// start-up together with the model core's node-trace slot. The vector
// settings changed are g_VectorSettings (the frame's vector result) and
// g_SeparateVectorSettings[0..2] (separate vector fields 1 to 3).
#pragma once

struct CommandTableEntry;

int NKCommandHandleVectors(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterVectorCommands(void);

// The filter box's handle belongs to the tools: this slot, filled by them
// at start-up, fits the handle to the default manipulator box, enables it
// and adds it to the manipulator list (bShow true), or takes it off the
// list and disables it. Empty: the box keeps its placement and only the
// drawing's box filtering is switched. Returns the hook set before.
typedef void (*NKVectorFilterBoxHook)(bool bShow);
NKVectorFilterBoxHook NKSetVectorFilterBoxHook(NKVectorFilterBoxHook pfnHook);
