// tests/tools/test_sound_openal.cpp -- what the OpenAL output really mixes:
// the sound manager plays tone.wav through OpenAL Soft's loopback device
// (44100 Hz, stereo floats), and the tests measure levels, the play
// position and the stereo image of a 3-D sound.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/nk_sound_openal.h"
#include "platform/nk_sound_output.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/wav_test_writer.h"
#include "tools/nk_sound_playback.h"

namespace {

constexpr int kRate = 44100;
NKSoundOutput *sg_pLoopback = nullptr;

NKSoundOutput *MakeLoopback(void)
{
    sg_pLoopback = NKCreateOpenALLoopbackOutput(kRate);
    return sg_pLoopback;
}

class SoundOpenAL : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_openal_");
        m_Tone = m_Dir + "/tone.wav";
        ASSERT_TRUE(NKTestWriteBytes(m_Tone, NKTestToneWav()));
        NKSetSoundOutputFactory(MakeLoopback);
        ASSERT_TRUE(NKAddSound(-1, -1, 1, m_Tone.c_str()));
    }
    void TearDown() override
    {
        NKDestroySoundManager();
        NKSetSoundOutputFactory(nullptr);
        sg_pLoopback = nullptr;
        NKTestRemoveDir(m_Dir);
    }
    // The RMS of the left and right channels over n mixed frames.
    void Mix(int n, double *pdLeft, double *pdRight)
    {
        std::vector<float> buffer(2 * static_cast<size_t>(n));
        ASSERT_TRUE(NKRenderOpenALLoopback(sg_pLoopback, buffer.data(), n));
        double adSum[2] = {0, 0};
        for (size_t i = 0; i < buffer.size(); i++) adSum[i % 2] += buffer[i] * buffer[i];
        *pdLeft = std::sqrt(adSum[0] / n);
        *pdRight = std::sqrt(adSum[1] / n);
    }
    // The RMS of both channels while the sound plays from its start at the
    // volume.
    double LevelAt(int iVolume)
    {
        SoundRecord *pSound = g_pSoundManager->FindSound(1);
        g_pSoundManager->SetVolume(pSound, iVolume);
        g_pSoundManager->Play(pSound, true);
        double dLeft = 0, dRight = 0;
        Mix(4410, &dLeft, &dRight);
        g_pSoundManager->Stop(pSound);
        sg_pLoopback->Rewind(pSound->iVoice);
        return dLeft + dRight;
    }

    std::string m_Dir, m_Tone;
};

TEST_F(SoundOpenAL, VolumeIsHundredthsOfADecibel)
{
    const double dFull = LevelAt(0);
    ASSERT_GT(dFull, 0.05);
    EXPECT_NEAR(LevelAt(-600) / dFull, 0.501, 0.005);
    EXPECT_LT(LevelAt(-10000) / dFull, 1e-4);
}

TEST_F(SoundOpenAL, FrequencyMovesThePlayPosition)
{
    SoundRecord *pSound = g_pSoundManager->FindSound(1);
    for (const auto &[iHz, iOffset] : std::vector<std::pair<int, int>>{{0, 2205}, {44100, 4410}}) {
        g_pSoundManager->SetFrequency(pSound, iHz);
        g_pSoundManager->Play(pSound, false);
        double dLeft = 0, dRight = 0;
        Mix(4410, &dLeft, &dRight);
        EXPECT_NEAR(NKGetOpenALSampleOffset(sg_pLoopback, pSound->iVoice), iOffset, 1) << iHz;
        g_pSoundManager->Stop(pSound);
        sg_pLoopback->Rewind(pSound->iVoice);
    }
}

TEST_F(SoundOpenAL, ASoundAtTheListenersRightIsLouderOnTheRight)
{
    SoundRecord *pSound = g_pSoundManager->FindSound(1);
    const float afEye[3] = {0, 0, 0}, afReference[3] = {0, 0, -1}, afUp[3] = {0, 1, 0};
    g_pSoundManager->SetListener(afEye, afReference, afUp);
    pSound->afPosition[0] = 1.0f;
    g_pSoundManager->SetType(pSound, true);
    g_pSoundManager->PlaceSounds(10.0f);
    g_pSoundManager->Play(pSound, true);
    double dLeft = 0, dRight = 0;
    Mix(4410, &dLeft, &dRight);
    ASSERT_GT(dRight, 0.01);
    EXPECT_GE(20.0 * std::log10(dRight / std::max(dLeft, 1e-9)), 10.0)
        << "left " << dLeft << " right " << dRight;
}

}  // namespace
