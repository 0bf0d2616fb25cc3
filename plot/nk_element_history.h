// plot/nk_element_history.h -- the element history plot: one curve per
// chosen element of the open LS-DYNA plot database, x the state time, y one
// scalar result read straight from the database for every state (the
// model's frames stay as they are). The command "ep" drives it.
#pragma once

#include <vector>

#include "core/nk_references.h"

struct CommandTableEntry;

namespace ElementHistoryPlot {
// Replaces the current plot (keeping its placement) by an empty element
// history plot; false when no plot can be made.
bool Create(void);
// Adds the curves of result iResult (0-based, among the LS-DYNA scalar
// results) of the elements of the first element's class; an element that
// already has a curve keeps it. False without a plot, elements or such a
// result, on a failed read, or at an element outside the database (the
// earlier ones keep their curves).
bool AddHistories(int iResult, const std::vector<NKPartItemRef> &elements);
}  // namespace ElementHistoryPlot

// The "ep" command; the argument text is the one after "PARAMS". Answers
// the command's result (0 done, 1 failed, with the error shown).
int NKCommandElementHistory(const CommandTableEntry *pEntry, const char *pszArguments);
