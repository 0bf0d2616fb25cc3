// render/nk_command_part_range.cpp -- NKCommandReadPartRange (see
// nk_command_part_range.h).
#include "render/nk_command_part_range.h"

#include "commands/nk_command_messages.h"
#include "commands/nk_part_range.h"
#include "core/nk_string.h"

bool NKCommandReadPartRange(CommandTableEntry *pEntry, NKArgumentScan *pScan, int *piFrom,
                            int *piTo, bool bCheckLocks, int *piKind)
{
    NKString error;
    const int iKind = NKCommandGetPartRange(pScan, piFrom, piTo, nullptr, &error, bCheckLocks);
    if (piKind != nullptr) *piKind = iKind;
    if (iKind != NK_PART_RANGE_ERROR) return true;
    NKCommandError(pEntry, error.GetText());
    return false;
}
