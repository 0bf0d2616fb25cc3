// render/nk_command_part_range.h -- the part range at the front of a command
// handler's arguments (commands/nk_part_range.h), its error reported as the
// command's: the one read the range commands of render/ and tools/ share.
#pragma once

#include "commands/nk_argument_scan.h"

struct CommandTableEntry;

// Reads the range from the running scan into *piFrom and *piTo, checked
// against the attribute locks with bCheckLocks; *piKind (when given) gets
// its kind (NK_PART_RANGE_*). False for an illegal range, after the parser's
// message was printed as the command's error.
bool NKCommandReadPartRange(CommandTableEntry *pEntry, NKArgumentScan *pScan, int *piFrom,
                            int *piTo, bool bCheckLocks, int *piKind = nullptr);
