// commands/nk_sound_dde.cpp -- the sound items of the request server (see
// nk_sound_dde.h); they publish nothing until the server is built.
#include "commands/nk_sound_dde.h"

bool NKDDESoundSetupString(SoundSourceTable *) { return true; }

bool NKDDESoundUpdateString(SoundSourceTable *) { return true; }
