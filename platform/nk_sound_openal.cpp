// platform/nk_sound_openal.cpp -- the sound output on OpenAL Soft, and the
// factory slot that chooses the output (see nk_sound_output.h).
//
// One device and one context per output, made by Open; a buffer and a
// source per voice. Volume becomes the gain 10^(volume / 2000), frequency
// the pitch (Hz / the samples' rate). The distance model is AL_NONE, since
// the playback itself lowers the volume with distance; the listener and
// 3-D voices stand in model coordinates so that OpenAL pans by direction,
// and normal voices sit at the listener (relative, at the origin). Pan is
// only kept: OpenAL has no stereo pan of its own.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <vector>

#include "platform/nk_sound_openal.h"
#include "platform/nk_sound_output.h"

namespace {

NKSoundOutputFactory sg_pfnFactory = nullptr;

struct Voice {
    ALuint uSource = 0;
    ALuint uBuffer = 0;
    int iRate = 0;
    int iPan = 0;
    bool bLive = false;
};

class OpenALOutput : public NKSoundOutput {
public:
    explicit OpenALOutput(int iLoopbackRate) : m_iLoopbackRate(iLoopbackRate) {}
    ~OpenALOutput() override;

    bool Open() override;
    int CreateVoice(const uint8_t *pData, int64_t nBytes, int iRate, int iBits,
                    int iChannels) override;
    bool Play(int iVoice, bool bLoop) override;
    bool Stop(int iVoice) override;
    bool Rewind(int iVoice) override;
    bool IsPlaying(int iVoice) override;
    bool SetVolume(int iVoice, int iVolume) override;
    bool SetPan(int iVoice, int iPan) override;
    bool SetFrequency(int iVoice, int iHz) override;
    bool SetPosition(int iVoice, const float *pfPosition) override;
    void SetListener(const float *pfEye, const float *pfReference, const float *pfUp) override;
    void ReleaseVoice(int iVoice) override;

    bool Render(float *pfStereo, int iFrames);
    int SampleOffset(int iVoice);

private:
    // The voice with that number made current with its context; null when
    // there is none.
    Voice *Use(int iVoice);
    bool MakeCurrent();
    bool OpenLoopback();

    int m_iLoopbackRate;  // 0: the default device
    ALCdevice *m_pDevice = nullptr;
    ALCcontext *m_pContext = nullptr;
    std::vector<Voice> m_Voices;
};

OpenALOutput::~OpenALOutput()
{
    for (size_t i = 0; i < m_Voices.size(); i++) ReleaseVoice(static_cast<int>(i) + 1);
    if (m_pContext != nullptr) {
        if (alcGetCurrentContext() == m_pContext) alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_pContext);
    }
    if (m_pDevice != nullptr) alcCloseDevice(m_pDevice);
}

bool OpenALOutput::MakeCurrent()
{
    if (m_pContext == nullptr) return false;
    return alcGetCurrentContext() == m_pContext || alcMakeContextCurrent(m_pContext) == ALC_TRUE;
}

// The loopback device mixes stereo floats at the asked rate, without HRTF,
// so that the levels the tests measure are the plain panned ones.
bool OpenALOutput::OpenLoopback()
{
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) return false;
    auto pfnOpen = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (pfnOpen == nullptr) return false;
    m_pDevice = pfnOpen(nullptr);
    if (m_pDevice == nullptr) return false;
    const ALCint aiAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                   ALC_STEREO_SOFT,
                                   ALC_FORMAT_TYPE_SOFT,
                                   ALC_FLOAT_SOFT,
                                   ALC_FREQUENCY,
                                   m_iLoopbackRate,
                                   ALC_HRTF_SOFT,
                                   ALC_FALSE,
                                   0};
    m_pContext = alcCreateContext(m_pDevice, aiAttributes);
    return m_pContext != nullptr;
}

bool OpenALOutput::Open()
{
    if (m_pContext != nullptr) return true;
    if (m_iLoopbackRate > 0) {
        if (!OpenLoopback()) return false;
    } else {
        m_pDevice = alcOpenDevice(nullptr);
        if (m_pDevice == nullptr) return false;
        m_pContext = alcCreateContext(m_pDevice, nullptr);
        if (m_pContext == nullptr) return false;
    }
    if (!MakeCurrent()) return false;
    alDistanceModel(AL_NONE);
    return alGetError() == AL_NO_ERROR;
}

Voice *OpenALOutput::Use(int iVoice)
{
    if (iVoice < 1 || iVoice > static_cast<int>(m_Voices.size())) return nullptr;
    Voice *pVoice = &m_Voices[static_cast<size_t>(iVoice) - 1];
    if (!pVoice->bLive || !MakeCurrent()) return nullptr;
    alGetError();
    return pVoice;
}

int OpenALOutput::CreateVoice(const uint8_t *pData, int64_t nBytes, int iRate, int iBits,
                              int iChannels)
{
    if (pData == nullptr || nBytes <= 0 || nBytes > 0x7FFFFFFF || iRate <= 0 || !MakeCurrent())
        return 0;
    ALenum eFormat;
    if (iBits == 8)
        eFormat = iChannels == 2 ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    else if (iBits == 16)
        eFormat = iChannels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    else
        return 0;
    alGetError();
    Voice voice;
    alGenBuffers(1, &voice.uBuffer);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(voice.uBuffer, eFormat, pData, static_cast<ALsizei>(nBytes), iRate);
    alGenSources(1, &voice.uSource);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &voice.uBuffer);
        return 0;
    }
    alSourcei(voice.uSource, AL_BUFFER, static_cast<ALint>(voice.uBuffer));
    alSourcei(voice.uSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice.uSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
    voice.iRate = iRate;
    voice.bLive = true;
    m_Voices.push_back(voice);
    return static_cast<int>(m_Voices.size());
}

bool OpenALOutput::Play(int iVoice, bool bLoop)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    alSourcei(pVoice->uSource, AL_LOOPING, bLoop ? AL_TRUE : AL_FALSE);
    alSourcePlay(pVoice->uSource);
    return alGetError() == AL_NO_ERROR;
}

bool OpenALOutput::Stop(int iVoice)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    alSourcePause(pVoice->uSource);  // keeps the position, as a stopped buffer does
    return alGetError() == AL_NO_ERROR;
}

bool OpenALOutput::Rewind(int iVoice)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    alSourceRewind(pVoice->uSource);
    return alGetError() == AL_NO_ERROR;
}

bool OpenALOutput::IsPlaying(int iVoice)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    ALint iState = AL_STOPPED;
    alGetSourcei(pVoice->uSource, AL_SOURCE_STATE, &iState);
    return iState == AL_PLAYING;
}

bool OpenALOutput::SetVolume(int iVoice, int iVolume)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    alSourcef(pVoice->uSource, AL_GAIN, std::pow(10.0f, static_cast<float>(iVolume) / 2000.0f));
    return alGetError() == AL_NO_ERROR;
}

bool OpenALOutput::SetPan(int iVoice, int iPan)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    pVoice->iPan = iPan;
    return true;
}

bool OpenALOutput::SetFrequency(int iVoice, int iHz)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    const float fPitch =
        iHz == 0 ? 1.0f : static_cast<float>(iHz) / static_cast<float>(pVoice->iRate);
    alSourcef(pVoice->uSource, AL_PITCH, fPitch);
    return alGetError() == AL_NO_ERROR;
}

bool OpenALOutput::SetPosition(int iVoice, const float *pfPosition)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return false;
    alSourcei(pVoice->uSource, AL_SOURCE_RELATIVE, pfPosition == nullptr ? AL_TRUE : AL_FALSE);
    if (pfPosition == nullptr)
        alSource3f(pVoice->uSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
    else
        alSourcefv(pVoice->uSource, AL_POSITION, pfPosition);
    return alGetError() == AL_NO_ERROR;
}

// A listener looking nowhere (eye on the reference point) keeps its
// previous orientation: OpenAL refuses a zero "at" vector.
void OpenALOutput::SetListener(const float *pfEye, const float *pfReference, const float *pfUp)
{
    if (!MakeCurrent()) return;
    alListenerfv(AL_POSITION, pfEye);
    const float afOrientation[6] = {pfReference[0] - pfEye[0],
                                    pfReference[1] - pfEye[1],
                                    pfReference[2] - pfEye[2],
                                    pfUp[0],
                                    pfUp[1],
                                    pfUp[2]};
    if (afOrientation[0] != 0.0f || afOrientation[1] != 0.0f || afOrientation[2] != 0.0f)
        alListenerfv(AL_ORIENTATION, afOrientation);
    alGetError();
}

void OpenALOutput::ReleaseVoice(int iVoice)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return;
    alSourceStop(pVoice->uSource);
    alDeleteSources(1, &pVoice->uSource);
    alDeleteBuffers(1, &pVoice->uBuffer);
    pVoice->bLive = false;
}

bool OpenALOutput::Render(float *pfStereo, int iFrames)
{
    if (m_iLoopbackRate <= 0 || m_pDevice == nullptr || !MakeCurrent()) return false;
    auto pfnRender = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(m_pDevice, "alcRenderSamplesSOFT"));
    if (pfnRender == nullptr) return false;
    pfnRender(m_pDevice, pfStereo, iFrames);
    return true;
}

int OpenALOutput::SampleOffset(int iVoice)
{
    Voice *pVoice = Use(iVoice);
    if (pVoice == nullptr) return -1;
    ALint iOffset = -1;
    alGetSourcei(pVoice->uSource, AL_SAMPLE_OFFSET, &iOffset);
    return iOffset;
}

}  // namespace

void NKSetSoundOutputFactory(NKSoundOutputFactory pfnFactory) { sg_pfnFactory = pfnFactory; }

NKSoundOutput *NKCreateSoundOutput(void)
{
    return sg_pfnFactory != nullptr ? sg_pfnFactory() : NKCreateOpenALSoundOutput();
}

NKSoundOutput *NKCreateOpenALSoundOutput(void) { return new OpenALOutput(0); }

NKSoundOutput *NKCreateOpenALLoopbackOutput(int iRate)
{
    return new OpenALOutput(iRate > 0 ? iRate : 44100);
}

bool NKRenderOpenALLoopback(NKSoundOutput *pOutput, float *pfStereo, int iFrames)
{
    auto *pAL = dynamic_cast<OpenALOutput *>(pOutput);
    return pAL != nullptr && pfStereo != nullptr && iFrames > 0 && pAL->Render(pfStereo, iFrames);
}

int NKGetOpenALSampleOffset(NKSoundOutput *pOutput, int iVoice)
{
    auto *pAL = dynamic_cast<OpenALOutput *>(pOutput);
    return pAL != nullptr ? pAL->SampleOffset(iVoice) : -1;
}
