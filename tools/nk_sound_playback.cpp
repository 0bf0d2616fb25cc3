// tools/nk_sound_playback.cpp -- the sound manager, its sounds and their
// frame events (see nk_sound_playback.h). The samples come from
// nk_wav_file.cpp; everything audible goes through the platform's sound
// output. The texts name DirectSound, as the program always has.
#include "tools/nk_sound_playback.h"

#include <cmath>
#include <string>

#include "core/nk_bbox.h"
#include "core/nk_file_read.h"
#include "core/nk_frame_results.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "platform/nk_sound_output.h"
#include "tools/nk_wav_file.h"

SoundManager *g_pSoundManager = nullptr;

namespace {

int Clamp(int iValue, int iMin, int iMax)
{
    return iValue < iMin ? iMin : (iValue > iMax ? iMax : iValue);
}

int RoundClamped(double d, int iLimit)
{
    if (d < -iLimit) d = -iLimit;
    if (d > iLimit) d = iLimit;
    return static_cast<int>(std::lround(d));
}

// The length of the model box's diagonal; 0 without a model or for an
// empty box.
float ModelSize(void)
{
    float afBox[6];
    if (!NKGetModelBoundingBox(afBox, NK_BOX_UNDEFORMED)) return 0.0f;
    if (afBox[0] > afBox[3] || afBox[1] > afBox[4] || afBox[2] > afBox[5]) return 0.0f;
    const float afDiagonal[3] = {afBox[3] - afBox[0], afBox[4] - afBox[1], afBox[5] - afBox[2]};
    return static_cast<float>(NKVec3Length(afDiagonal));
}

}  // namespace

bool SoundRecord::Load(NKSoundOutput *pOutput, const char *pszFileName)
{
    NKWavData wav;
    std::string why;
    if (!NKReadWavFile(pszFileName, &wav, &why)) {
        NKPrintError("Error reading .wav file.");
        NKPrintFileProblem(pszFileName, why.c_str());
        return false;
    }
    iVoice = pOutput->CreateVoice(wav.samples.data(), static_cast<int64_t>(wav.samples.size()),
                                  wav.iRate, wav.iBits, wav.iChannels);
    if (iVoice == 0) {
        NKPrintError("Error creating sound buffer.");
        return false;
    }
    return true;
}

// Volume: -10000 x d / (7 x size) over the distance d from the eye, held to
// -10000..0; a model of size 0 is silent except at the eye. Pan: 1000 x the
// cosine of the angle between the listener's right axis and the direction
// to the sound without its part along the up vector, 0 when either is
// zero.
void NKComputeSoundPlacement(const float *pfPosition, const float *pfEye, const float *pfReference,
                             const float *pfUp, float fModelSize, int *piVolume, int *piPan)
{
    float afDirection[3], afForward[3], afRight[3];
    for (int k = 0; k < 3; k++) {
        afDirection[k] = pfPosition[k] - pfEye[k];
        afForward[k] = pfReference[k] - pfEye[k];
    }
    const double dDistance = NKVec3Length(afDirection);
    if (fModelSize > 0.0f)
        *piVolume = RoundClamped(-10000.0 * dDistance / (7.0 * fModelSize), 10000);
    else
        *piVolume = dDistance > 0.0 ? -10000 : 0;
    if (*piVolume > 0) *piVolume = 0;
    NKCrossProduct(afForward, pfUp, afRight);
    const double dUpSquared = NKVec3LengthSquared(pfUp);
    if (dUpSquared > 0.0) {
        const double dAlong = NKVec3Dot(afDirection, pfUp) / dUpSquared;
        for (int k = 0; k < 3; k++) afDirection[k] -= static_cast<float>(dAlong * pfUp[k]);
    }
    const double dLengths = NKVec3Length(afDirection) * NKVec3Length(afRight);
    const double dCosine = dLengths > 1e-12 ? NKVec3Dot(afDirection, afRight) / dLengths : 0.0;
    *piPan = RoundClamped(1000.0 * dCosine, 10000);
}

SoundManager::SoundManager(NKSoundOutput *pOutput) : m_pOutput(pOutput) {}

SoundManager::~SoundManager()
{
    for (SoundRecord *pSound : m_Sounds) {
        if (m_pOutput != nullptr) {
            if (m_pOutput->IsPlaying(pSound->iVoice)) m_pOutput->Stop(pSound->iVoice);
            m_pOutput->ReleaseVoice(pSound->iVoice);
        }
        delete pSound;
    }
    delete m_pOutput;
}

bool SoundManager::Initialize()
{
    if (m_pOutput == nullptr || !m_pOutput->Open()) {
        NKPrintError("Couldn't initialize DirectSound.");
        return false;
    }
    return true;
}

SoundRecord *SoundManager::GetSoundAt(int iIndex)
{
    return iIndex >= 0 && iIndex < GetSoundCount() ? m_Sounds[static_cast<size_t>(iIndex)]
                                                   : nullptr;
}

SoundRecord *SoundManager::FindSound(int iId)
{
    for (SoundRecord *pSound : m_Sounds)
        if (pSound->iId == iId) return pSound;
    return nullptr;
}

bool SoundManager::AddSound(int iPart, int iNode, int iId, const char *pszFileName)
{
    if (m_pOutput == nullptr) {
        NKPrintError("DirectSound not initialized.");
        return false;
    }
    if (FindSound(iId) != nullptr) {
        NKPrintError(NKString::FromFormat("A sound with ID = %d already exists.", iId).GetText());
        return false;
    }
    auto *pSound = new SoundRecord();
    pSound->iId = iId;
    pSound->iPart = iPart;
    pSound->iNode = iNode;
    pSound->szFileName = pszFileName;
    pSound->b3D = iPart >= 0 && iNode >= 0 ? 1 : 0;
    if (!pSound->Load(m_pOutput, pszFileName)) {
        delete pSound;
        return false;
    }
    if (!pSound->b3D) m_pOutput->SetPosition(pSound->iVoice, nullptr);
    m_Sounds.push_back(pSound);
    return true;
}

void SoundManager::SetFrameCount(int n)
{
    m_FrameEvents.resize(n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<SoundEvent> *SoundManager::EventsOf(int iFrame)
{
    if (iFrame < 0 || iFrame >= GetFrameCount()) return nullptr;
    return &m_FrameEvents[static_cast<size_t>(iFrame)];
}

const std::vector<SoundEvent> *SoundManager::GetFrameEvents(int iFrame) const
{
    return const_cast<SoundManager *>(this)->EventsOf(iFrame);
}

bool SoundManager::AddEvent(int iFrame, const SoundEvent &event)
{
    std::vector<SoundEvent> *pEvents = EventsOf(iFrame);
    if (pEvents == nullptr) return false;
    pEvents->push_back(event);
    return true;
}

bool SoundManager::AddPlayEvent(int iId, int iFrame, bool bLoop)
{
    SoundEvent event;
    event.iSoundId = iId;
    event.bPlay = 1;
    event.bLoop = bLoop ? 1 : 0;
    return AddEvent(iFrame, event);
}

bool SoundManager::AddStopEvent(int iId, int iFrame)
{
    SoundEvent event;
    event.iSoundId = iId;
    event.bStop = 1;
    return AddEvent(iFrame, event);
}

bool SoundManager::AddFrequencyEvent(int iId, int iFrame, int iHz)
{
    SoundEvent event;
    event.iSoundId = iId;
    event.bSetFrequency = 1;
    event.iFrequency = iHz;
    return AddEvent(iFrame, event);
}

bool SoundManager::AddVolumeEvent(int iId, int iFrame, int iVolume)
{
    SoundEvent event;
    event.iSoundId = iId;
    event.bSetVolume = 1;
    event.iVolume = iVolume;
    return AddEvent(iFrame, event);
}

void SoundManager::SetListener(const float *pfEye, const float *pfReference, const float *pfUp)
{
    for (int k = 0; k < 3; k++) {
        m_afEye[k] = pfEye[k];
        m_afReference[k] = pfReference[k];
        m_afUp[k] = pfUp[k];
    }
    if (m_pOutput != nullptr) m_pOutput->SetListener(m_afEye, m_afReference, m_afUp);
}

// A node outside the frame's part leaves the sound where it was.
void SoundManager::MoveToNode(SoundRecord *pSound, NKFrame *pFrame)
{
    const NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (pGeo == nullptr || pSound->iPart >= pGeo->iNumParts ||
        pSound->iNode >= pGeo->pParts[pSound->iPart].iNumNodes)
        return;
    const float *pfCoords = GetPartNodeCoords(pSound->iPart, nullptr, pFrame);
    if (pfCoords == nullptr) return;
    for (int k = 0; k < 3; k++) pSound->afPosition[k] = pfCoords[3 * pSound->iNode + k];
    DisplayToModel(pSound->afPosition);
}

void SoundManager::UpdatePositions(NKFrame *pFrame)
{
    m_fModelSize = ModelSize();
    for (SoundRecord *pSound : m_Sounds)
        if (pSound->b3D && pSound->iPart >= 0 && pSound->iNode >= 0) MoveToNode(pSound, pFrame);
    PlaceSounds(m_fModelSize);
}

void SoundManager::PlaceSounds(float fModelSize)
{
    for (SoundRecord *pSound : m_Sounds) {
        if (!pSound->b3D) continue;
        int iVolume = 0, iPan = 0;
        NKComputeSoundPlacement(pSound->afPosition, m_afEye, m_afReference, m_afUp, fModelSize,
                                &iVolume, &iPan);
        m_pOutput->SetPosition(pSound->iVoice, pSound->afPosition);
        m_pOutput->SetVolume(pSound->iVoice, iVolume);
        m_pOutput->SetPan(pSound->iVoice, iPan);
    }
}

void SoundManager::PlayFrameEvents(int iFrame)
{
    const std::vector<SoundEvent> *pEvents = EventsOf(iFrame);
    if (pEvents == nullptr) return;
    m_iCurrentFrame = iFrame;
    for (const SoundEvent &event : *pEvents) {
        SoundRecord *pSound = FindSound(event.iSoundId);
        if (pSound == nullptr) continue;
        if (event.bStop)
            Stop(pSound);
        else if (event.bPlay)
            Play(pSound, event.bLoop != 0);
        if (event.bSetFrequency) SetFrequency(pSound, event.iFrequency);
        if (event.bSetVolume) SetVolume(pSound, event.iVolume);
    }
}

bool SoundManager::Play(SoundRecord *pSound, bool bLoop)
{
    if (m_pOutput->IsPlaying(pSound->iVoice)) {
        if (!m_pOutput->Stop(pSound->iVoice)) {
            NKPrintError("Error trying to stop playing sound.");
            return false;
        }
        m_pOutput->Rewind(pSound->iVoice);
    }
    if (!m_pOutput->Play(pSound->iVoice, bLoop)) {
        NKPrintError("Error playing sound.");
        return false;
    }
    return true;
}

bool SoundManager::Stop(SoundRecord *pSound)
{
    if (!m_pOutput->IsPlaying(pSound->iVoice)) return true;
    if (!m_pOutput->Stop(pSound->iVoice)) {
        NKPrintError("Error trying to stop playing sound.");
        return false;
    }
    return true;
}

void SoundManager::SetFrequency(SoundRecord *pSound, int iHz)
{
    m_pOutput->SetFrequency(pSound->iVoice, iHz == 0 ? 0 : Clamp(iHz, 100, 200000));
}

void SoundManager::SetVolume(SoundRecord *pSound, int iVolume)
{
    m_pOutput->SetVolume(pSound->iVoice, Clamp(iVolume, -10000, 0));
}

void SoundManager::SetType(SoundRecord *pSound, bool b3D)
{
    pSound->b3D = b3D ? 1 : 0;
    m_pOutput->SetPosition(pSound->iVoice, b3D ? pSound->afPosition : nullptr);
}

bool NKAddSound(int iPart, int iNode, int iId, const char *pszFileName)
{
    if (g_pSoundManager == nullptr) {
        auto *pManager = new SoundManager(NKCreateSoundOutput());
        if (!pManager->Initialize()) {
            delete pManager;
            return false;
        }
        g_pSoundManager = pManager;
    }
    return g_pSoundManager->AddSound(iPart, iNode, iId, pszFileName);
}

bool NKDestroySoundManager(void)
{
    delete g_pSoundManager;
    g_pSoundManager = nullptr;
    return true;
}
