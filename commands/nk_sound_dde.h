// commands/nk_sound_dde.h -- what the request server publishes of the sound
// source table (core/nk_sound_sources.h): the items "sound_setup" (the
// model box and every source) and "sound_update" (time, listener and the
// sources' positions and values). The sound commands and the scene's
// per-frame listener update call these after changing the table.
#pragma once

class SoundSourceTable;

// Rebuilds the "sound_setup" text from the table and pushes it to the
// clients that advise it. True.
bool NKDDESoundSetupString(SoundSourceTable *pTable);
// Rebuilds the "sound_update" text from the table and pushes it to the
// clients that advise it. True.
bool NKDDESoundUpdateString(SoundSourceTable *pTable);
