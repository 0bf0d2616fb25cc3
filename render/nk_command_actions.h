// render/nk_command_actions.h -- a command handler as a table: one row per
// command id and the function that runs it. The handlers of render/, tools/
// and plot/ look the entry's id up in their rows instead of switching over
// the ids; a function serving several ids (a command and its "no" twin)
// reads which one it runs from the entry. Header only; no GL.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/nk_command.h"

struct NKCommandAction {
    int32_t iId;              // NK_CID_ constant
    NKCommandHandler pfnRun;  // runs the command with the handler's arguments
};

// The first row of the id; null when it has none.
template <size_t N>
const NKCommandAction *NKFindCommandAction(const NKCommandAction (&aRows)[N], int iId)
{
    for (const NKCommandAction &row : aRows)
        if (row.iId == iId) return &row;
    return nullptr;
}

// Runs the row of the entry's id; NK_CMD_NOT_MINE for a null entry or an id
// without a row. The first row of an id wins.
template <size_t N>
int NKRunCommandAction(const NKCommandAction (&aRows)[N], CommandTableEntry *pEntry,
                       const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    const NKCommandAction *pRow = NKFindCommandAction(aRows, pEntry->id);
    return pRow != nullptr ? pRow->pfnRun(pEntry, pszArguments) : NK_CMD_NOT_MINE;
}
