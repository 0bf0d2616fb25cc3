// platform/nk_sound_output.h -- the sound output under the sound playback:
// a device opened once, voices made from PCM samples, each played, stopped,
// rewound, turned up or down, panned, re-pitched and placed, and a listener
// that 3-D voices are heard from.
//
// The playback (tools/nk_sound_playback.cpp) asks the installed factory for
// one output when it makes its first sound and releases it with the last.
// The program's factory makes the OpenAL output (nk_sound_openal.cpp); tests
// install the recording output (nk_sound_recording.h), which plays nothing.
// Volumes are hundredths of a decibel (0 full, -10000 silent), pans -10000
// (left) to 10000 (right), positions model coordinates. No OpenAL type
// appears here.
#pragma once

#include <cstdint>

class NKSoundOutput {
public:
    virtual ~NKSoundOutput() = default;

    // Opens the device and its context; false when either cannot be made.
    virtual bool Open() = 0;
    // A voice (numbered from 1) holding a copy of nBytes of interleaved PCM
    // samples (iBits 8 unsigned or 16 signed little-endian, iChannels 1 or 2)
    // at iRate frames a second; 0 when it cannot be made.
    virtual int CreateVoice(const uint8_t *pData, int64_t nBytes, int iRate, int iBits,
                            int iChannels) = 0;
    // Each per-voice call answers false for an unknown voice or a failure.
    virtual bool Play(int iVoice, bool bLoop) = 0;
    virtual bool Stop(int iVoice) = 0;
    // Back to the first sample.
    virtual bool Rewind(int iVoice) = 0;
    virtual bool IsPlaying(int iVoice) = 0;
    virtual bool SetVolume(int iVoice, int iVolume) = 0;
    virtual bool SetPan(int iVoice, int iPan) = 0;
    // iHz 0 plays the samples at their own rate.
    virtual bool SetFrequency(int iVoice, int iHz) = 0;
    // A 3-D voice at pfPosition (model coordinates); null makes the voice a
    // normal one, heard at the listener's own place.
    virtual bool SetPosition(int iVoice, const float *pfPosition) = 0;
    // The listener's eye, the point it looks at and its up direction.
    virtual void SetListener(const float *pfEye, const float *pfReference, const float *pfUp) = 0;
    // Frees the voice; its number is not used again.
    virtual void ReleaseVoice(int iVoice) = 0;
};

typedef NKSoundOutput *(*NKSoundOutputFactory)(void);

// The factory NKCreateSoundOutput calls; null puts the OpenAL output back.
void NKSetSoundOutputFactory(NKSoundOutputFactory pfnFactory);
// A new, unopened output from the installed factory; the caller deletes it.
NKSoundOutput *NKCreateSoundOutput(void);
// The OpenAL output on the default device (nk_sound_openal.cpp).
NKSoundOutput *NKCreateOpenALSoundOutput(void);
