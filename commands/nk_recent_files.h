// commands/nk_recent_files.h -- the list of recently loaded files that the
// File menu offers again.
//
// Four full paths, most recent first. The load sequence adds a name after
// each load (RefreshAfterLoad: the outermost command file while one runs,
// else the model file). The shell reads the list when it builds the File
// menu and when it writes its settings file (app/nk_settings.cpp); at
// start-up it empties the list and restores the stored entries in place.
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
