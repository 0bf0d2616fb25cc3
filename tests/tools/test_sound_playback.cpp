// tests/tools/test_sound_playback.cpp -- the sound manager on the recording
// output: placement of 3-D sounds, frame events, replays, frequency and
// volume limits, the kept events of a resize, and the ".wav" reader on good,
// unusual and damaged files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/nk_message.h"
#include "platform/nk_sound_recording.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/wav_test_writer.h"
#include "tools/nk_sound_playback.h"
#include "tools/nk_wav_file.h"

namespace {

class SoundPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_sound_");
        m_Tone = m_Dir + "/tone.wav";
        ASSERT_TRUE(NKTestWriteBytes(m_Tone, NKTestToneWav()));
        NKInstallRecordingSoundOutput(&m_Log);
    }
    void TearDown() override
    {
        NKDestroySoundManager();
        NKInstallRecordingSoundOutput(nullptr);
        NKTestRemoveDir(m_Dir);
    }
    // The log lines written since the last call.
    std::vector<std::string> Take()
    {
        std::vector<std::string> lines(m_Log.begin() + static_cast<long>(m_iTaken), m_Log.end());
        m_iTaken = m_Log.size();
        return lines;
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }

    std::string m_Dir, m_Tone;
    std::vector<std::string> m_Log;
    size_t m_iTaken = 0;
    MessageCapture m_Capture;
};

TEST_F(SoundPlayback, VolumeAndPanFollowDistanceAndDirection)
{
    struct Case {
        float afPosition[3];
        int iVolume, iPan;
    };
    const Case cases[] = {{{0, 0, 0}, 0, 0},          {{3.5f, 0, 0}, -5000, 1000},
                          {{-1, 0, 0}, -1429, -1000}, {{0, 0, -7}, -10000, 0},
                          {{0, 5, 0}, -7143, 0},      {{0, 0, -70}, -10000, 0}};
    const float afEye[3] = {0, 0, 0}, afReference[3] = {0, 0, -1}, afUp[3] = {0, 1, 0};
    for (int i = 0; i < 6; i++) ASSERT_TRUE(NKAddSound(0, i, i + 1, m_Tone.c_str()));
    g_pSoundManager->SetListener(afEye, afReference, afUp);
    for (int i = 0; i < 6; i++)
        std::copy(cases[i].afPosition, cases[i].afPosition + 3,
                  g_pSoundManager->FindSound(i + 1)->afPosition);
    Take();
    g_pSoundManager->PlaceSounds(1.0f);
    const std::vector<std::string> lines = Take();
    for (int i = 0; i < 6; i++) {
        const std::string voice = std::to_string(i + 1);
        for (const std::string &expected :
             {"volume " + voice + " " + std::to_string(cases[i].iVolume),
              "pan " + voice + " " + std::to_string(cases[i].iPan)})
            EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    }
    // A model of size 0: silent except at the eye.
    for (const auto &[afPosition, iVolume] :
         std::vector<std::pair<std::vector<float>, int>>{{{0, 0, 0}, 0}, {{0.01f, 0, 0}, -10000}}) {
        int iGot = 1, iPan = 1;
        NKComputeSoundPlacement(afPosition.data(), afEye, afReference, afUp, 0.0f, &iGot, &iPan);
        EXPECT_EQ(iGot, iVolume);
    }
}

TEST_F(SoundPlayback, FrameEventsPlayStopAndChangeTheSound)
{
    ASSERT_TRUE(NKAddSound(-1, -1, 7, m_Tone.c_str()));
    SoundManager *pManager = g_pSoundManager;
    EXPECT_EQ(Take(),
              (std::vector<std::string>{"open", "voice 1 22050 16 1 22050", "position 1 normal"}));
    pManager->SetFrameCount(4);
    EXPECT_TRUE(pManager->AddPlayEvent(7, 1, false));
    EXPECT_TRUE(pManager->AddVolumeEvent(7, 1, 300));
    EXPECT_TRUE(pManager->AddFrequencyEvent(7, 1, 50));
    EXPECT_TRUE(pManager->AddPlayEvent(7, 2, true));
    EXPECT_TRUE(pManager->AddFrequencyEvent(7, 2, 0));
    EXPECT_TRUE(pManager->AddFrequencyEvent(7, 2, 900000));
    EXPECT_TRUE(pManager->AddVolumeEvent(7, 2, -20000));
    EXPECT_TRUE(pManager->AddStopEvent(7, 3));
    EXPECT_TRUE(pManager->AddPlayEvent(99, 3, false));  // no such sound: skipped
    EXPECT_FALSE(pManager->AddStopEvent(7, 4));
    EXPECT_FALSE(pManager->AddStopEvent(7, -1));
    const std::vector<std::vector<std::string>> expected = {
        {},
        {"play 1 once", "volume 1 0", "frequency 1 100"},
        {"stop 1", "rewind 1", "play 1 loop", "frequency 1 0", "frequency 1 200000",
         "volume 1 -10000"},
        {"stop 1"}};
    for (int iFrame = 0; iFrame < 4; iFrame++) {
        pManager->PlayFrameEvents(iFrame);
        EXPECT_EQ(Take(), expected[static_cast<size_t>(iFrame)]) << iFrame;
        EXPECT_EQ(pManager->m_iCurrentFrame, iFrame);
    }
    pManager->PlayFrameEvents(9);  // outside: nothing, the frame stays
    EXPECT_EQ(pManager->m_iCurrentFrame, 3);
    // Growing or shrinking keeps the events of the frames that stay.
    pManager->SetFrameCount(2);
    pManager->SetFrameCount(6);
    ASSERT_NE(pManager->GetFrameEvents(1), nullptr);
    EXPECT_EQ(pManager->GetFrameEvents(1)->size(), 3u);
    EXPECT_TRUE(pManager->GetFrameEvents(3)->empty());
    m_Capture.Clear();
    EXPECT_FALSE(NKAddSound(0, 0, 7, m_Tone.c_str()));
    EXPECT_TRUE(m_Capture.HasLine("A sound with ID = 7 already exists.", NK_MSG_ERROR));
    // Playing once more, then the manager goes: stopped and released.
    pManager->PlayFrameEvents(1);
    Take();
    EXPECT_TRUE(NKDestroySoundManager());
    EXPECT_EQ(Take(), (std::vector<std::string>{"stop 1", "release 1"}));
    EXPECT_EQ(g_pSoundManager, nullptr);
    EXPECT_TRUE(NKDestroySoundManager());
}

TEST_F(SoundPlayback, AnOutputThatCannotOpenKeepsNoManager)
{
    NKInstallRecordingSoundOutput(&m_Log, true);
    EXPECT_FALSE(NKAddSound(0, 0, 1, m_Tone.c_str()));
    EXPECT_TRUE(m_Capture.HasLine("Couldn't initialize DirectSound.", NK_MSG_ERROR));
    EXPECT_EQ(g_pSoundManager, nullptr);
}

// A sound file is read whole and walked chunk by chunk.
TEST_F(SoundPlayback, WavFilesLoadOrFailWithTheReadError)
{
    const std::vector<uint8_t> tone = NKTestToneSamples();
    std::vector<uint8_t> stereo8(40, 0x80);
    struct Case {
        const char *pszName;
        WavTestSpec spec;
        std::vector<uint8_t> samples;
        bool bLoads;
    };
    WavTestSpec list, bits24, channels3, adpcm, stereo;
    list.bListChunk = true;
    bits24.iBits = 24;
    channels3.iChannels = 3;
    adpcm.iFormatTag = 2;
    stereo.iBits = 8;
    stereo.iChannels = 2;
    const Case cases[] = {{"list", list, tone, true},      {"stereo8", stereo, stereo8, true},
                          {"bits24", bits24, tone, false}, {"channels3", channels3, tone, false},
                          {"adpcm", adpcm, tone, false},   {"empty", WavTestSpec(), {}, false}};
    for (const Case &c : cases) {
        const std::string path = Path(c.pszName);
        ASSERT_TRUE(NKTestWriteBytes(path, NKTestWavBytes(c.spec, c.samples)));
        NKWavData wav;
        EXPECT_EQ(NKReadWavFile(path.c_str(), &wav), c.bLoads) << c.pszName;
        if (c.bLoads) {
            EXPECT_EQ(wav.samples, c.samples) << c.pszName;
        }
        m_Capture.Clear();
        EXPECT_EQ(NKAddSound(0, 0, 100, path.c_str()), c.bLoads) << c.pszName;
        EXPECT_EQ(m_Capture.HasLine("Error reading .wav file.", NK_MSG_ERROR), !c.bLoads);
        NKDestroySoundManager();
    }
    NKWavData wav;
    EXPECT_FALSE(NKReadWavFile(Path("missing.wav").c_str(), &wav));
}

// What is not a sound file is refused with the read error and a second line
// naming the file and why: the folder once took every byte of memory.
TEST_F(SoundPlayback, UnreadableSoundsAreRefusedNamingTheFile)
{
    const std::vector<uint8_t> whole = NKTestToneWav();
    ASSERT_TRUE(
        NKTestWriteBytes(Path("cut.wav"), std::vector<uint8_t>(whole.begin(), whole.end() - 3)));
    ASSERT_TRUE(NKTestWriteBytes(Path("text.wav"), {'n', 'o', ' ', 's', 'o', 'u', 'n', 'd'}));
    ASSERT_EQ(mkdir(Path("folder.wav").c_str(), 0700), 0);
    const struct {
        const char *pszName, *pszWhy;
    } cases[] = {
        {"folder.wav", "it is a folder"},
        {"missing.wav", "no such file"},
        {"cut.wav", "its sound data end before the size their header gives"},
        {"text.wav", "no RIFF/WAVE PCM sound"},
    };
    for (const auto &c : cases) {
        const std::string path = Path(c.pszName);
        m_Capture.Clear();
        EXPECT_FALSE(NKAddSound(0, 0, 100, path.c_str())) << c.pszName;
        EXPECT_TRUE(m_Capture.HasLine("Error reading .wav file.", NK_MSG_ERROR)) << c.pszName;
        EXPECT_TRUE(m_Capture.HasLine("File \"" + path + "\": " + c.pszWhy + ".", NK_MSG_ERROR))
            << c.pszName;
        NKDestroySoundManager();
    }
}

// Every cut of tone.wav and every flipped header word: a clean answer, no
// read past the buffer (AddressSanitizer), no allocation beyond the file.
TEST_F(SoundPlayback, DamagedWavFilesNeverReadPastTheirEnd)
{
    const std::vector<uint8_t> whole = NKTestToneWav();
    const std::string path = Path("damaged.wav");
    for (size_t n = 0; n <= whole.size(); n++) {
        ASSERT_TRUE(NKTestWriteBytes(
            path, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n))));
        NKWavData wav;
        std::string why;
        const bool bLoads = NKReadWavFile(path.c_str(), &wav, &why);
        // Only the whole file plays: a cut data chunk is a damaged file.
        EXPECT_EQ(bLoads, n == whole.size()) << n;
        if (bLoads) {
            EXPECT_EQ(wav.samples.size(), whole.size() - 44);
        } else if (n >= 44) {
            EXPECT_EQ(why, "its sound data end before the size their header gives") << n;
        }
    }
    for (size_t iOffset : NKTestWavHeaderWords(WavTestSpec())) {
        std::vector<uint8_t> bytes = whole;
        for (size_t k = 0; k < 4; k++) bytes[iOffset + k] ^= 0xFF;
        ASSERT_TRUE(NKTestWriteBytes(path, bytes));
        NKWavData wav;
        if (NKReadWavFile(path.c_str(), &wav)) {
            EXPECT_LE(wav.samples.size(), whole.size()) << iOffset;
        }
    }
}

}  // namespace
