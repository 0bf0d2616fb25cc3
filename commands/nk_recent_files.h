// commands/nk_recent_files.h -- the list of recently loaded files that the
// File menu offers again.
//
// Four full paths, most recent first. The load sequence adds a name after
// each load (RefreshAfterLoad: the outermost command file while one runs,
// else the model file). After each change the list goes to the shell's
// storage slot (NKStoreRecentFiles, core/nk_shell_hooks.h), which keeps it
// in the settings file; at start-up the shell empties the list and restores
// the stored entries by adding them last first.
#pragma once

#include "core/nk_string.h"

constexpr int NK_NUM_RECENT_FILES = 4;

// Makes the name a full path and puts it first: an entry already holding it
// is taken out of its place, otherwise the last entry drops off. A null or
// empty name changes nothing.
void AddRecentFile(const char *pszFileName);
// Empties all four entries.
void ClearRecentFiles(void);
// Sets entry i to the name as given (null or "" empties it): no full path,
// no reordering and nothing stored, so that the settings file can put its
// entries back in place. An i outside the list changes nothing.
void NKSetRecentFile(int i, const char *pszName);
// Entry i (0 the most recent); empty when unused or outside the list.
const NKString &NKGetRecentFile(int i);
