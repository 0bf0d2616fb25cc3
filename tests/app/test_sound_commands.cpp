// tests/app/test_sound_commands.cpp -- the sound and audio commands end to
// end: a unit hexahedron opened from an NKF file (four steps of the node
// scalar z), sound sources added, listed and deleted through the
// interpreter, audio sources and their step events played by the scene's
// per-frame hook on the recording output, and the real OpenAL device as
// ALSOFT_DRIVERS chooses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_sound_sources.h"
#include "platform/nk_sound_recording.h"
#include "readers/nk_data_source.h"
#include "scene/nk_scene_extras.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_unit_hex.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/wav_test_writer.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_sound_playback.h"

namespace {

class SoundCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallCommandHooks();
        NKInstallToolHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKCreateSoundSourceTable();
        m_Dir = NKTestMakeTempDir("quolin_sound_commands_");
        m_Saved = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        NKTestWriteText("hex.nkf", NKTestUnitHex(4));
        NKTestWriteBytes("tone.wav", NKTestToneWav());
        NKInstallRecordingSoundOutput(&m_Log);
    }
    void TearDown() override
    {
        NKDestroySoundManager();
        NKInstallRecordingSoundOutput(nullptr);
        NKFreeSoundSourceTable();
        std::filesystem::current_path(m_Saved);
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKModelTest::TearDown();
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
    }
    // Runs the line and expects its result and, when given, the text.
    void Expect(const std::string &line, int iResult, const std::string &message = "")
    {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(line.c_str()), iResult) << line << "\n" << m_Capture.Text();
        if (!message.empty()) {
            EXPECT_TRUE(m_Capture.Contains(message)) << line << "\n" << m_Capture.Text();
        }
    }
    void Open(int iFrames)
    {
        ASSERT_EQ(ExecuteCommand("open hex.nkf"), 0);
        ASSERT_EQ(ExecuteCommand("readstate 1 1 0"), 0);
        if (iFrames > 1) {
            ASSERT_TRUE(NKSetupInterfaceAnimation(1, iFrames, 1, nullptr, 0));
        }
    }
    // The recording's lines since the last call.
    std::vector<std::string> Take()
    {
        std::vector<std::string> lines(m_Log.begin() + static_cast<long>(m_iTaken), m_Log.end());
        m_iTaken = m_Log.size();
        return lines;
    }
    static bool Has(const std::vector<std::string> &lines, const std::string &line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    NKModelHooks m_SavedHooks;
    std::filesystem::path m_Dir, m_Saved;
    MessageCapture m_Capture;
    std::vector<std::string> m_Log;
    size_t m_iTaken = 0;
};

TEST_F(SoundCommands, SoundSourcesAreAddedListedAndDeleted)
{
    Open(1);
    Expect("sound", 0, "Sound sources:\n  <none>");
    Expect("sound add 1 ,7 \"Bell\" bell.wav", 0,
           "Added sound source (ID: 1)\n  node: 1,7   \"Bell\"\n  filename: \"bell.wav\"");
    Expect("sound", 0, "Sound sources:\n  ID 1:  node: 1,7  \"Bell\"");
    Expect("sound add 1,2 \"  Low   hum \"", 0,
           "Added sound source (ID: 2)\n  node: 1,2   \"Low hum\"");
    EXPECT_FALSE(m_Capture.Contains("filename"));
    Expect("sound del", 1, "sound del: No parameters specified");
    Expect("sound del x", 1, "sound del: No parameters specified");
    Expect("sound del 7", 1, "sound del: Error deleting sound source");
    Expect(
        "sound add 2,1 \"x\" y", 1,
        "sound add: Illegal node specification.\nRemember to use part,node for specifying nodes");
    Expect("sound add", 1, "sound add: No parameters specified");
    Expect("sound add \"7\" y", 1, "sound add: Illegal node specification.");
    EXPECT_EQ(g_pSoundSourceTable->iCount, 2);
    Expect("sound add 1,3 \"\"", 0, "Added sound source (ID: 3)\n  node: 1,3   \"\"");
    Expect("sound del 3", 0);

    // The scene's hook moves the source to node 7 and reads z there.
    NKUpdateSoundListener(0, NKGetFrame(0));
    float afPosition[3];
    g_pSoundSourceTable->GetPosition(0, afPosition);
    for (int k = 0; k < 3; k++) EXPECT_NEAR(afPosition[k], 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(g_pSoundSourceTable->GetValue(0), 1.0f);
    EXPECT_FLOAT_EQ(g_pSoundSourceTable->fTime, NKGetFrame(0)->fTime);
    NKGetFrame(0)->fTime = NK_UNDEFINED_VALUE;  // no time: the frame number + 1
    NKUpdateSoundListener(0, NKGetFrame(0));
    EXPECT_FLOAT_EQ(g_pSoundSourceTable->fTime, 1.0f);

    Expect("sound del 1", 0, "Sound source with ID: 1 deleted");
    Expect("sound", 0, "Sound sources:\n  ID 2:  node: 1,2  \"Low hum\"");
    Expect("sound highlight", 0, "Enable highlighting of sound source nodes");
    Expect("sound nohighlight", 0, "Disable highlighting of sound source nodes");
    EXPECT_EQ(g_pSoundSourceTable->ExportPositions(), nullptr);
    Expect("sound on", 0, "Sound enabled");
    EXPECT_TRUE(NKSoundsActive());
    Expect("sound off", 0, "Sound disabled");
    Expect("sound file", 1, "sound file: No parameters specified");
    Expect("sound file \" music.wav \"", 0, "Sound file specified");
    ASSERT_EQ(g_pSoundSourceTable->iCount, 1);
    EXPECT_EQ(g_pSoundSourceTable->GetId(0), 4);
    EXPECT_STREQ(g_pSoundSourceTable->GetDescription(0).GetText(), "music.wav");
    Expect("sound on", 0);
    Expect("nosound", 0, "All sounds deleted and sound disabled");
    EXPECT_EQ(g_pSoundSourceTable->iCount, 0);
    EXPECT_FALSE(NKSoundsActive());
}

TEST_F(SoundCommands, AudioSourcesPlayTheirStepEvents)
{
    Open(4);
    Expect("audio playat 1 2", 1, "There is no audio source");
    Expect("audio", 0, "Audio sources:\n  <none>");
    Expect("audio add 0", 1, "Error in paramter number 2");
    EXPECT_EQ(g_pSoundManager, nullptr);
    Expect("audio add 0 6 1 tone.wav", 0, "Audio source added");
    Expect("audio playat 1 2 repeat", 0, "Audio source 1 set to play at step 2");
    Expect("audio freqat 1 2 44100", 0, "Frequency of audio source 1 set to 44100 at step 2");
    Expect("audio stopat 1 3", 0, "Audio source 1 set to stop playing at step 3");
    Expect("audio volumeat 1 9 -300", 0, "Volume of audio source 1 set to -300 at step 9");
    Expect("audio freqat 1 2", 1, "Error in paramter number 3");
    Expect("audio add 0 0 2 tone.wav", 0, "Audio source added");
    Expect("audio", 0, "Audio sources:\n  ID: 1  Node: (0, 6)\n  ID: 2  Node: (0, 0)");
    Expect("audio add 0 1 1 tone.wav", 1, "A sound with ID = 1 already exists.");
    EXPECT_TRUE(m_Capture.HasLine("Error adding audio source", NK_MSG_ERROR));
    Expect("audio add 0 1 3 nosuch.wav", 1, "Error reading .wav file.");
    Expect("audio type 9 normal", 1, "Can't find an audio source with ID=9.");
    Take();
    Expect("audio type 2 Normal", 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"position 2 normal"});

    // The frames drawn: voice 1 follows node 7, plays looping at 44100 Hz
    // from step index 2 and stops at index 3.
    std::vector<std::vector<std::string>> frames;
    for (int i = 0; i < 4; i++) {
        NKUpdateSoundManager(i, NKGetFrame(i));
        frames.push_back(Take());
        EXPECT_TRUE(Has(frames.back(), "position 1 1 1 1")) << i;
        EXPECT_FALSE(Has(frames.back(), "position 2 0 0 0")) << i;  // normal now
    }
    EXPECT_FALSE(Has(frames[0], "play 1 loop") || Has(frames[1], "play 1 loop"));
    EXPECT_TRUE(Has(frames[2], "play 1 loop"));
    EXPECT_TRUE(Has(frames[2], "frequency 1 44100"));
    EXPECT_TRUE(Has(frames[3], "stop 1"));
    // Step index 2 twice: the second play stops and rewinds first.
    NKUpdateSoundManager(2, NKGetFrame(2));
    NKUpdateSoundManager(2, NKGetFrame(2));
    std::vector<std::string> replay = Take();
    auto it = std::find(replay.begin(), replay.end(), "stop 1");
    ASSERT_GE(std::distance(it, replay.end()), 3);
    EXPECT_EQ(std::vector<std::string>(it, it + 3),
              (std::vector<std::string>{"stop 1", "rewind 1", "play 1 loop"}));

    Expect("noaudio", 0, "All audio sources removed");
    const std::vector<std::string> last = Take();
    EXPECT_EQ(last, (std::vector<std::string>{"stop 1", "release 1", "release 2"}));
    EXPECT_EQ(g_pSoundManager, nullptr);
    Expect("audio stopat 1 3", 1, "There is no audio source");
}

TEST_F(SoundCommands, AudioNeedsAnAnimation)
{
    Open(1);
    Expect("audio add 0 6 1 tone.wav", 1, "No animation is set up");
    EXPECT_EQ(g_pSoundManager, nullptr);
}

// The file of "audio add": a folder (which once took all memory) and a cut
// sound are refused with a line naming them; a quoted name may hold blanks.
TEST_F(SoundCommands, AudioFilesAreNamedWhenRefused)
{
    Open(4);
    std::filesystem::create_directory("sounds");
    std::vector<uint8_t> cut = NKTestToneWav();
    cut.resize(cut.size() - 2);
    NKTestWriteBytes("cut.wav", cut);
    NKTestWriteBytes("my tone.wav", NKTestToneWav());
    const struct {
        const char *pszLine;
        int iResult;
        const char *pszText;
    } cases[] = {
        {"audio add 0 6 1 sounds", 1, "File \"sounds\": it is a folder."},
        {"audio add 0 6 1 cut.wav", 1,
         "File \"cut.wav\": its sound data end before the size their header gives."},
        {"audio add 0 6 1 \"my tone.wav\"", 0, "Audio source added"},
    };
    for (const auto &c : cases) {
        Expect(c.pszLine, c.iResult, c.pszText);
        if (c.iResult != 0) {
            EXPECT_TRUE(m_Capture.HasLine("Error reading .wav file.", NK_MSG_ERROR)) << c.pszLine;
        }
    }
}

// ALSOFT_DRIVERS=null (scripts/test; the default here): OpenAL Soft's null
// back end opens. CTest runs this again with ALSOFT_DRIVERS=nosuch: no
// device, and the commands say so without crashing.
TEST_F(SoundCommands, TheDefaultDeviceFollowsTheDrivers)
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    const bool bMissing = std::string(std::getenv("ALSOFT_DRIVERS")) == "nosuch";
    NKInstallRecordingSoundOutput(nullptr);
    Open(4);
    EXPECT_EQ(NKAddSound(0, 6, 1, "tone.wav"), !bMissing);
    EXPECT_EQ(m_Capture.HasLine("Couldn't initialize DirectSound.", NK_MSG_ERROR), bMissing);
    Expect("audio add 0 5 2 tone.wav", bMissing ? 1 : 0,
           bMissing ? "Error adding audio source" : "Audio source added");
    NKUpdateSoundManager(0, NKGetFrame(0));
}

}  // namespace
