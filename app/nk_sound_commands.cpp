// app/nk_sound_commands.cpp -- the sound and audio commands of the general
// command handler (see nk_system_topics.h).
//
// The sound commands fill the sound source table (core/nk_sound_sources.h)
// that the request server publishes to an outside sound program; the audio
// commands make the sounds and frame events that the program plays itself
// (tools/nk_sound_playback.h). Command errors go through NKCommandError;
// the audio errors are plain errors, as they always were.
#include "app/nk_system_topics.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "commands/nk_sound_dde.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_references.h"
#include "core/nk_sound_sources.h"
#include "tools/nk_sound_playback.h"

namespace {

// "sound": the table is published, then listed.
int CommandListSounds(SoundSourceTable *pTable)
{
    NKDDESoundSetupString(pTable);
    NKString text("Sound sources:\n");
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    for (int i = 0; i < pTable->iCount; i++) {
        const SoundSource &source = pTable->aSources[i];
        text += NKString::FromFormat(
            "  ID %d:  node: %d,%d  \"%s\"\n", source.iId, source.iPart + 1,
            NKGetNodeID(source.iPart, source.iNode, pGeo), source.szDescription.GetText());
    }
    if (pTable->iCount == 0) text += "  <none>";
    NKPrintInfo(text.GetText());
    return 0;
}

// The argument text of "sound add" taken apart at its double quotes: the
// node before the first, the description between the first two, the file
// after them.
void SplitSoundAddText(const NKString &text, NKString *pNode, NKString *pDescription,
                       NKString *pFile)
{
    const int iOpen = text.FindChar('"');
    const int iClose = iOpen >= 0 ? text.FindChar('"', iOpen + 1) : -1;
    const int iLast = text.GetLength() - 1;
    *pNode = iOpen > 0 ? text.Mid(0, iOpen - 1) : (iOpen == 0 ? NKString("") : text);
    *pDescription = iOpen >= 0 ? text.Mid(iOpen + 1, iClose >= 0 ? iClose - 1 : iLast) : "";
    *pFile = iClose >= 0 ? text.Mid(iClose + 1, iLast) : "";
    pNode->Simplify();
    pNode->ReplaceAll(" ,", ",");
    pNode->ReplaceAll(", ", ",");
    pDescription->RemoveChar('"');
    pDescription->Simplify();
    pFile->RemoveChar('"');
    pFile->Trim();
}

// "sound add part,node "description" file".
int CommandAddSound(CommandTableEntry *pEntry, const char *pszArguments, SoundSourceTable *pTable)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString text;
    params.NKGetFirstParameterString(&text, false, NK_PARAM_STRING_REST);
    text.Simplify();
    if (text.IsBlank()) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    NKString node, description, file;
    SplitSoundAddText(text, &node, &description, &file);
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    NKPartItemRef ref = {-1, -1};
    if (!NKParseNodeSpec(pGeo, node, &ref)) {
        NKCommandError(pEntry, "Illegal node specification.\n"
                               "Remember to use part,node for specifying nodes");
        return 1;
    }
    const int iId = pTable->NextFreeId();
    const int iIndex = pTable->Add(iId, description.GetText(), file.GetText());
    if (iIndex < 0) {
        NKCommandError(pEntry, "Error adding sound source");
        return 1;
    }
    if (!pTable->SetNode(iIndex, ref.iPart, ref.iIndex)) {
        NKCommandError(pEntry, NKString::FromFormat(
                                   "Error setting sound source for node: %d,%d (descr: \"%s\")",
                                   ref.iPart + 1, ref.iIndex + 1, description.GetText())
                                   .GetText());
        return 1;
    }
    NKDDESoundSetupString(pTable);
    NKInvalidateView();
    NKString message = NKString::FromFormat(
        "Added sound source (ID: %d)\n  node: %d,%d   \"%s\"", iId, ref.iPart + 1,
        NKGetNodeID(ref.iPart, ref.iIndex, pGeo), description.GetText());
    if (!file.IsBlank()) message += NKString::FromFormat("\n  filename: \"%s\"", file.GetText());
    NKPrintInfo(message.GetText());
    return 0;
}

// "sound del id".
int CommandDeleteSound(CommandTableEntry *pEntry, const char *pszArguments,
                       SoundSourceTable *pTable)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    params.SetPrintErrors(false);
    int iId = 0;
    if (!params.NKGetFirstParameterInt(&iId, true, NK_PARAM_NO_RANGE, 0)) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    if (!pTable->Remove(iId)) {
        NKCommandError(pEntry, "Error deleting sound source");
        return 1;
    }
    NKDDESoundSetupString(pTable);
    NKInvalidateView();
    NKPrintInfo(NKString::FromFormat("Sound source with ID: %d deleted", iId).GetText());
    return 0;
}

// "sound file name": the table becomes one source described by the name.
int CommandSoundFile(CommandTableEntry *pEntry, const char *pszArguments, SoundSourceTable *pTable)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString file;
    params.NKGetFirstParameterString(&file, false, NK_PARAM_STRING_REST);
    file.RemoveChar('"');
    file.Trim();
    if (file.IsBlank()) {
        NKCommandError(pEntry, "No parameters specified");
        return 1;
    }
    pTable->Clear();
    if (pTable->Add(pTable->NextFreeId(), file.GetText(), "") < 0) {
        NKCommandError(pEntry, "Error specifying sound file");
        return 1;
    }
    NKDDESoundSetupString(pTable);
    NKPrintInfo("Sound file specified");
    return 0;
}

// "sound on", "sound off", "sound highlight", "sound nohighlight", "nosound".
int CommandSoundSwitch(int iId, SoundSourceTable *pTable)
{
    switch (iId) {
    case NK_CID_SOUND_ON:
        pTable->bSoundEnabled = 1;
        NKDDESoundSetupString(pTable);
        NKInvalidateView();
        NKPrintInfo("Sound enabled");
        break;
    case NK_CID_SOUND_OFF:
        pTable->bSoundEnabled = 0;
        NKDDESoundUpdateString(pTable);
        NKPrintInfo("Sound disabled");
        break;
    case NK_CID_SOUND_HIGHLIGHT:
    case NK_CID_SOUND_NOHIGHLIGHT:
        pTable->bHighlightNodes = iId == NK_CID_SOUND_HIGHLIGHT ? 1 : 0;
        NKInvalidateView();
        NKPrintInfo(pTable->bHighlightNodes ? "Enable highlighting of sound source nodes"
                                            : "Disable highlighting of sound source nodes");
        break;
    default:  // nosound
        pTable->Clear();
        NKDDESoundSetupString(pTable);
        pTable->bSoundEnabled = 0;
        NKPrintInfo("All sounds deleted and sound disabled");
        break;
    }
    return 0;
}

// "audio": the sounds with the anchors given to "audio add".
int CommandListAudio(void)
{
    NKString text("Audio sources:\n");
    const int iCount = g_pSoundManager != nullptr ? g_pSoundManager->GetSoundCount() : 0;
    for (int i = 0; i < iCount; i++) {
        const SoundRecord *pSound = g_pSoundManager->GetSoundAt(i);
        text += NKString::FromFormat("  ID: %d  Node: (%d, %d)\n", pSound->iId, pSound->iPart,
                                     pSound->iNode);
    }
    if (iCount == 0) text += "  <none>";
    NKPrintInfo(text.GetText());
    return 0;
}

// "audio add part node id file".
int CommandAddAudio(CommandParams *pParams)
{
    int aiValues[3] = {0, 0, 0};
    if (!pParams->NKGetFirstParameterInt(&aiValues[0], true, NK_PARAM_NO_RANGE, 0) ||
        !pParams->NKGetParameterInt(&aiValues[1], true, NK_PARAM_NO_RANGE, 0) ||
        !pParams->NKGetParameterInt(&aiValues[2], true, NK_PARAM_NO_RANGE, 0))
        return 1;
    NKString file;
    if (!pParams->NKGetParameterString(&file, false, NK_PARAM_STRING_TOKEN)) return 1;
    const char *pszError = nullptr;
    if (g_pModel == nullptr)
        pszError = "No model is loaded";
    else if (g_pModel->iNumFrames <= 1)
        pszError = "No animation is set up";
    else if (!NKAddSound(aiValues[0], aiValues[1], aiValues[2], file.GetText()))
        pszError = "Error adding audio source";
    if (pszError != nullptr) {
        NKPrintError(pszError);
        return 1;
    }
    g_pSoundManager->SetFrameCount(g_pModel->iNumFrames);
    NKPrintInfo("Audio source added");
    return 0;
}

// "audio type id normal|3d".
int CommandAudioType(CommandParams *pParams)
{
    int iId = 0;
    NKString word;
    if (!pParams->NKGetFirstParameterInt(&iId, true, NK_PARAM_NO_RANGE, 0) ||
        !pParams->NKGetParameterString(&word, true, NK_PARAM_STRING_WORD))
        return 1;
    SoundRecord *pSound = g_pSoundManager->FindSound(iId);
    if (pSound == nullptr) {
        NKPrintError(NKString::FromFormat("Can't find an audio source with ID=%d.", iId).GetText());
        return 1;
    }
    word.MakeUpper();
    g_pSoundManager->SetType(pSound, !(word == "NORMAL"));
    return 0;
}

// "audio playat|stopat|freqat|volumeat id step [value]": the event goes to
// the step's list; whether it fits is not reported.
int CommandAudioEvent(int iCommand, CommandParams *pParams)
{
    int aiValues[3] = {0, 0, 0};
    const bool bValue = iCommand == NK_CID_AUDIO_FREQAT || iCommand == NK_CID_AUDIO_VOLUMEAT;
    if (!pParams->NKGetFirstParameterInt(&aiValues[0], true, NK_PARAM_NO_RANGE, 0) ||
        !pParams->NKGetParameterInt(&aiValues[1], true, NK_PARAM_NO_RANGE, 0) ||
        (bValue && !pParams->NKGetParameterInt(&aiValues[2], true, NK_PARAM_NO_RANGE, 0)))
        return 1;
    const int iId = aiValues[0], iStep = aiValues[1], iValue = aiValues[2];
    SoundManager *pManager = g_pSoundManager;
    NKString message;
    if (iCommand == NK_CID_AUDIO_PLAYAT) {
        NKString word;
        if (!pParams->NKGetParameterString(&word, false, NK_PARAM_STRING_WORD)) return 1;
        word.MakeUpper();
        pManager->AddPlayEvent(iId, iStep, word == "REPEAT");
        message.Format("Audio source %d set to play at step %d", iId, iStep);
    } else if (iCommand == NK_CID_AUDIO_STOPAT) {
        pManager->AddStopEvent(iId, iStep);
        message.Format("Audio source %d set to stop playing at step %d", iId, iStep);
    } else if (iCommand == NK_CID_AUDIO_FREQAT) {
        pManager->AddFrequencyEvent(iId, iStep, iValue);
        message.Format("Frequency of audio source %d set to %d at step %d", iId, iValue, iStep);
    } else {
        pManager->AddVolumeEvent(iId, iStep, iValue);
        message.Format("Volume of audio source %d set to %d at step %d", iId, iValue, iStep);
    }
    NKPrintInfo(message.GetText());
    return 0;
}

int HandleAudioCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id == NK_CID_AUDIO) return CommandListAudio();
    if (pEntry->id == NK_CID_NOAUDIO) {
        NKDestroySoundManager();
        NKPrintInfo("All audio sources removed");
        return 0;
    }
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    if (pEntry->id == NK_CID_AUDIO_ADD) return CommandAddAudio(&params);
    if (g_pSoundManager == nullptr) {
        NKPrintError("There is no audio source");
        return 1;
    }
    if (pEntry->id == NK_CID_AUDIO_TYPE) return CommandAudioType(&params);
    return CommandAudioEvent(pEntry->id, &params);
}

}  // namespace

int NKHandleSoundCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    switch (pEntry->id) {
    case NK_CID_AUDIO:
    case NK_CID_NOAUDIO:
    case NK_CID_AUDIO_ADD:
    case NK_CID_AUDIO_PLAYAT:
    case NK_CID_AUDIO_STOPAT:
    case NK_CID_AUDIO_FREQAT:
    case NK_CID_AUDIO_VOLUMEAT:
    case NK_CID_AUDIO_TYPE:
        return HandleAudioCommand(pEntry, pszArguments);
    default:
        break;
    }
    SoundSourceTable *pTable = NKCreateSoundSourceTable();
    switch (pEntry->id) {
    case NK_CID_SOUND:
        return CommandListSounds(pTable);
    case NK_CID_SOUND_ADD:
        return CommandAddSound(pEntry, pszArguments, pTable);
    case NK_CID_SOUND_DEL:
        return CommandDeleteSound(pEntry, pszArguments, pTable);
    case NK_CID_SOUND_FILE:
        return CommandSoundFile(pEntry, pszArguments, pTable);
    case NK_CID_SOUND_ON:
    case NK_CID_SOUND_OFF:
    case NK_CID_SOUND_HIGHLIGHT:
    case NK_CID_SOUND_NOHIGHLIGHT:
    case NK_CID_NOSOUND:
        return CommandSoundSwitch(pEntry->id, pTable);
    default:
        return NK_CMD_NOT_MINE;
    }
}
