// tools/nk_sound_playback.h -- sound playback: ".wav" sounds that play
// while the model animates, each with an id and maybe anchored at a node.
// An anchored ("3-D") sound follows its node; its volume falls with the
// distance from the listener's eye and its pan follows its direction. Sounds
// start, stop and change frequency or volume by events attached to frames.
//
// The audio commands (app/nk_sound_commands.cpp) make sounds and events; the
// scene's per-frame hook (scene/nk_scene_extras.cpp) hands over the
// listener, moves the sounds and runs the events of the frame shown. What
// actually sounds is the platform's sound output (platform/nk_sound_output.h),
// opened with the first sound. One global manager, g_pSoundManager, exists
// from the first NKAddSound that opens the output until
// NKDestroySoundManager.
#pragma once

#include <cstdint>
#include <vector>

#include "core/nk_string.h"

class NKSoundOutput;
struct NKFrame;

struct SoundEvent {
    int iSoundId = -1;
    uint8_t bPlay = 0;
    uint8_t bLoop = 0;
    uint8_t bStop = 0;
    uint8_t bSetFrequency = 0;
    int iFrequency = 0;  // Hz
    uint8_t bSetVolume = 0;
    int iVolume = -10000;  // hundredths of a decibel
};

struct SoundRecord {
    int iVoice = 0;  // the output's voice holding the samples
    int iId = 0;
    int iPart = -1;  // -1, -1: not anchored
    int iNode = -1;
    NKString szFileName;
    uint8_t b3D = 1;                           // cleared when the part or node is negative
    float afPosition[3] = {0.0f, 0.0f, 0.0f};  // model coordinates

    // Reads the ".wav" file into a new voice of pOutput. False after
    // "Error reading .wav file." or "Error creating sound buffer.".
    bool Load(NKSoundOutput *pOutput, const char *pszFileName);
};

class SoundManager {
public:
    // Takes over pOutput (deleted with the manager).
    explicit SoundManager(NKSoundOutput *pOutput);
    ~SoundManager();
    SoundManager(const SoundManager &) = delete;
    SoundManager &operator=(const SoundManager &) = delete;

    // Opens the output; false after "Couldn't initialize DirectSound.".
    bool Initialize();
    int GetSoundCount() const { return static_cast<int>(m_Sounds.size()); }
    SoundRecord *GetSoundAt(int iIndex);
    SoundRecord *FindSound(int iId);
    // Loads and appends a sound; false after the error of Add or Load.
    bool AddSound(int iPart, int iNode, int iId, const char *pszFileName);

    // Sizes the per-frame event lists to n frames, keeping the events of
    // the frames below n.
    void SetFrameCount(int n);
    int GetFrameCount() const { return static_cast<int>(m_FrameEvents.size()); }
    // False when the frame lies outside the per-frame lists.
    bool AddPlayEvent(int iId, int iFrame, bool bLoop);
    bool AddStopEvent(int iId, int iFrame);
    bool AddFrequencyEvent(int iId, int iFrame, int iHz);
    bool AddVolumeEvent(int iId, int iFrame, int iVolume);
    const std::vector<SoundEvent> *GetFrameEvents(int iFrame) const;

    // The listener in model coordinates, handed on to the output.
    void SetListener(const float *pfEye, const float *pfReference, const float *pfUp);
    // The model size from the model's box, the 3-D sounds moved to their
    // nodes in the frame, then PlaceSounds.
    void UpdatePositions(NKFrame *pFrame);
    // Volume and pan of every 3-D sound for a model of that size.
    void PlaceSounds(float fModelSize);
    // Runs the events of the frame, which becomes the current one; nothing
    // for a frame outside the lists. Events of unknown ids are skipped.
    void PlayFrameEvents(int iFrame);

    // A playing sound is stopped and rewound first. False after "Error
    // trying to stop playing sound." or "Error playing sound.".
    bool Play(SoundRecord *pSound, bool bLoop);
    // Stops the sound when it plays; false after "Error trying to stop
    // playing sound.".
    bool Stop(SoundRecord *pSound);
    // 0 restores the file's rate; others are held to 100..200000 Hz.
    void SetFrequency(SoundRecord *pSound, int iHz);
    // Held to -10000..0.
    void SetVolume(SoundRecord *pSound, int iVolume);
    // A normal sound is heard at the listener; a 3-D one at its position.
    void SetType(SoundRecord *pSound, bool b3D);

    int m_iCurrentFrame = 0;
    float m_fModelSize = 1.0f;
    float m_afEye[3] = {0.0f, 0.0f, 0.0f};
    float m_afReference[3] = {0.0f, 0.0f, -1.0f};
    float m_afUp[3] = {0.0f, 1.0f, 0.0f};

private:
    std::vector<SoundEvent> *EventsOf(int iFrame);
    bool AddEvent(int iFrame, const SoundEvent &event);
    void MoveToNode(SoundRecord *pSound, NKFrame *pFrame);

    NKSoundOutput *m_pOutput;
    std::vector<SoundRecord *> m_Sounds;
    std::vector<std::vector<SoundEvent>> m_FrameEvents;
};

extern SoundManager *g_pSoundManager;

// Makes the manager on first use and opens the output (false when that
// fails, and the manager is not kept); false after "A sound with ID = %d
// already exists." or when the file cannot be loaded; else the sound is
// appended.
bool NKAddSound(int iPart, int iNode, int iId, const char *pszFileName);
// Stops and frees every sound and event and releases the output; nothing
// without a manager. True.
bool NKDestroySoundManager(void);
// The volume (hundredths of a decibel) and pan of a sound at pfPosition for
// the listener at pfEye looking at pfReference with up pfUp, in a model of
// that size: see PlaceSounds.
void NKComputeSoundPlacement(const float *pfPosition, const float *pfEye, const float *pfReference,
                             const float *pfUp, float fModelSize, int *piVolume, int *piPan);
