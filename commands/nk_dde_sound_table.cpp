// commands/nk_dde_sound_table.cpp -- reads the sound
// source table (core/nk_sound_sources.h) into the plain inputs of the two
// sound texts of the request server (nk_dde_server.h) and publishes them.
// The sound commands and the scene's per-frame listener update call these
// through commands/nk_sound_dde.h.

#include <vector>

#include "commands/nk_dde_server.h"
#include "commands/nk_sound_dde.h"
#include "core/nk_sound_sources.h"

namespace {

std::vector<NKDDESoundSource> ReadSources(const SoundSourceTable &table)
{
    std::vector<NKDDESoundSource> sources(table.iCount > 0 ? table.iCount : 0);
    for (int i = 0; i < static_cast<int>(sources.size()); i++) {
        NKDDESoundSource &s = sources[i];
        s.iId = table.GetId(i);
        s.description = table.GetDescription(i);
        s.fileName = table.GetFileName(i);
        table.GetPosition(i, s.fPosition);
        s.fValue = table.GetValue(i);
    }
    return sources;
}

}  // namespace

bool NKDDESoundSetupString(SoundSourceTable *pTable)
{
    if (pTable == nullptr) return true;
    std::vector<NKDDESoundSource> sources = ReadSources(*pTable);
    return NKDDESetSoundSetupText(NKDDEComposeSoundSetup(pTable->GetModelBox(), sources.data(),
                                                         static_cast<int>(sources.size())));
}

bool NKDDESoundUpdateString(SoundSourceTable *pTable)
{
    if (pTable == nullptr) return true;
    std::vector<NKDDESoundSource> sources = ReadSources(*pTable);
    return NKDDESetSoundUpdateText(
        NKDDEComposeSoundUpdate(pTable->bSoundEnabled != 0, pTable->fTime, pTable->afListenerView,
                                sources.data(), static_cast<int>(sources.size())));
}
