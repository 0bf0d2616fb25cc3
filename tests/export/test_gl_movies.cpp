// tests/export/test_gl_movies.cpp -- image sequences, animated GIF files and
// MPEG movies end to end: a model of three frames drawn by a stand-in scene
// (a flat grey per frame) in an off-screen context, the view at 320 x 240;
// the sequence walk and its progress texts, the make* and animexport
// commands, the join's bytes checked and decoded by gifsicle and netpbm,
// the encoder run as a stub script and as the real mpgenc with ffprobe.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_output_file.h"
#include "core/nk_program_directory.h"
#include "core/nk_view_state.h"
#include "export/nk_animated_gif.h"
#include "export/nk_gif_writer.h"
#include "export/nk_image.h"
#include "export/nk_image_commands.h"
#include "export/nk_image_sequence.h"
#include "platform/nk_gl_context.h"
#include "platform/nk_progress_ui.h"
#include "render/nk_background.h"
#include "tests/export/image_test_support.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/recording_progress_ui.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

// The stand-in scene: the whole viewport in grey 60 x (frame + 1).
bool DrawFrameGrey(int iFrame, int, int)
{
    const float g = 60.0f * static_cast<float>(iFrame + 1) / 255.0f;
    glClearColor(g, g, g, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    return true;
}

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunOutput(const std::string &command)
{
    std::string out;
    FILE *pPipe = popen(("{ " + command + "; } 2>&1").c_str(), "r");
    if (pPipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pPipe)) > 0) out.append(buffer, n);
    pclose(pPipe);
    return out;
}

int CountOf(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
    return n;
}

bool Exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

class MovieTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKEnsureGuiApplication());
        m_pContext = NKCreateOffscreenGLContext(640, 480);
        ASSERT_NE(m_pContext, nullptr);
        m_SavedHooks = NKGetLoadHooks();
        NKLoadHooks hooks = m_SavedHooks;
        hooks.pfnDrawScene = DrawFrameGrey;
        NKSetLoadHooks(hooks);
        g_pModel = NKCreateModel();
        // Ten frames are made; tests show three of them unless they ask more.
        g_pModel->pFrames = NKAllocFrameArray(10);
        g_pModel->iNumFrames = 3;
        g_pModel->pFrames[0].pGeometry = NKCreateGeometry(1);
        g_pModel->pFrames[0].pGeometry->iNumRef++;
        g_pModel->iAnimationFromFrame = 0;
        g_pModel->iAnimationToFrame = 2;
        g_pMovieSettings = &m_Settings;
        m_pSavedBackground = g_pBackgroundSettings;
        g_pBackgroundSettings = &m_Background;
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize.iWidth = 320;
        NKViewWindowSize.iHeight = 240;
        NKRegisterFileCommands();
        NKRegisterImageCommands();
        NKSetProgressUI(&m_Progress);
        m_Dir = NKTestMakeTempDir("movies");
        ASSERT_EQ(getcwd(m_acOldDir, sizeof m_acOldDir), m_acOldDir);
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
        m_SavedProgramDir = NKGetProgramDirectory().GetText();
    }
    void TearDown() override
    {
        NKSetProgramDirectory(m_SavedProgramDir.c_str());
        ASSERT_EQ(chdir(m_acOldDir), 0);
        NKTestRemoveDir(m_Dir);
        NKSetProgressUI(nullptr);
        NKSetImageCommandHandler(nullptr);
        NKViewWindowSize = m_SavedSize;
        g_pBackgroundSettings = m_pSavedBackground;
        g_pMovieSettings = nullptr;
        g_pModel->iNumFrames = 10;
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKSetLoadHooks(m_SavedHooks);
        NKDestroyGLContext(m_pContext);
    }
    // A script in the test folder used as the program directory's mpgenc.
    void MakeStub(const std::string &body)
    {
        const std::string bin = m_Dir + "/bin";
        mkdir(bin.c_str(), 0755);
        const std::string path = bin + "/mpgenc";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        chmod(path.c_str(), 0755);
        NKSetProgramDirectory(bin.c_str());
    }
    std::vector<std::string> Entries() const
    {
        const std::string list = RunOutput("ls -A '" + m_Dir + "'");
        std::vector<std::string> names;
        size_t at = 0;
        for (size_t nl; (nl = list.find('\n', at)) != std::string::npos; at = nl + 1)
            names.push_back(list.substr(at, nl - at));
        return names;
    }
    NKGLContext *m_pContext = nullptr;
    NKLoadHooks m_SavedHooks;
    NKMovieSettings m_Settings{384, 288};
    NKBackgroundSettings m_Background;
    NKBackgroundSettings *m_pSavedBackground = nullptr;
    NKViewSize m_SavedSize;
    RecordingProgressUI m_Progress;
    std::string m_Dir, m_SavedProgramDir;
    char m_acOldDir[4096];
};

}  // namespace

TEST_F(MovieTest, SequenceWalkRepeatsAndCancels)
{
    const int aiFrame[2] = {64, 48};
    EXPECT_EQ(NKWriteImageSequence(0, 2, 1, false, 2, 1, 1, true, 320, 240, NK_IMAGE_PPM,
                                   "s%02d.ppm", aiFrame, 1),
              NK_IMAGE_OK);
    std::vector<std::string> writing;
    for (const std::string &t : m_Progress.texts)
        if (t.rfind("Writing frame", 0) == 0) writing.push_back(t);
    const int aiSteps[8] = {1, 1, 1, 2, 2, 3, 3, 3};
    ASSERT_EQ(writing.size(), 8u);
    for (int i = 0; i < 8; i++) {
        char szWant[128];
        std::snprintf(szWant, sizeof szWant, "Writing frame %d  (%d of 8)  (image size 64x48)",
                      aiSteps[i], i + 1);
        EXPECT_EQ(writing[i], szWant);
        EXPECT_TRUE(Exists(NKString::FromFormat("s%02d.ppm", i + 1).GetText())) << i;
    }
    EXPECT_EQ(m_Progress.texts.back(), "Done generating image sequence");
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("cat", "s08.ppm", &w, &h, &rgb));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(rgb[0], 180);  // frame 2 in grey 60 x 3

    m_Progress.texts.clear();
    m_Progress.iCancelAt = 2;
    EXPECT_EQ(NKWriteImageSequence(0, 2, 1, false, 1, 0, 0, true, 320, 240, NK_IMAGE_PPM,
                                   "c%02d.ppm", aiFrame, 0),
              NK_IMAGE_ABORTED);
    EXPECT_EQ(m_Progress.texts.back(), "Image sequence generation aborted");
    EXPECT_TRUE(Exists("c00.ppm"));
    EXPECT_FALSE(Exists("c01.ppm"));
    m_Progress.Reset();
    EXPECT_EQ(NKWriteImageSequence(0, 2, 1, false, 0, 0, 0, true, 320, 240, NK_IMAGE_PPM,
                                   "z%02d.ppm", aiFrame, 0),
              NK_IMAGE_BAD_PARAMETER);
}

TEST_F(MovieTest, SequenceStepOrders)
{
    // Steps as the walk visits them, read back from each frame's grey.
    const struct {
        int iFrom, iTo, iSkip;
        bool bCycle;
        std::vector<int> steps;
    } cases[] = {
        {2, 0, 1, false, {2, 1, 0}},
        {0, 2, 1, true, {0, 1, 2, 1, 0}},
        {0, 2, 2, true, {0, 2, 0}},
        {1, 1, 1, true, {1}},
        {0, 9, 1, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
    };
    const int aiFrame[2] = {16, 16};
    for (const auto &c : cases) {
        NKTestRemoveDir(m_Dir + "/w");
        mkdir((m_Dir + "/w").c_str(), 0755);
        ASSERT_EQ(NKWriteImageSequence(c.iFrom, c.iTo, c.iSkip, c.bCycle, 1, 0, 0, true, 320, 240,
                                       NK_IMAGE_PPM, "w/f%d.ppm", aiFrame, 0),
                  NK_IMAGE_OK);
        for (size_t i = 0; i <= c.steps.size(); i++) {
            const std::string file = "w/f" + std::to_string(i) + ".ppm";
            if (i == c.steps.size()) {
                EXPECT_FALSE(Exists(file));
                continue;
            }
            int w = 0, h = 0;
            std::vector<uint8_t> rgb;
            ASSERT_TRUE(NKTestDecodeWith("cat", file, &w, &h, &rgb)) << file;
            EXPECT_EQ(rgb[0], std::min(255, 60 * (c.steps[i] + 1))) << c.iFrom << " " << i;
        }
    }
}

TEST_F(MovieTest, AnimExportSettingsAndRefusals)
{
    const struct {
        const char *pszCommand;
        int iResult;
        std::vector<std::string> lines;
    } cases[] = {
        {"animexport gifrate 150",
         1,
         {"animexport gifrate: Parameter missing or illegal parameter specification"}},
        {"animexport gifrate 0", 1, {}},
        {"animexport gifrate", 1, {}},
        {"animexport gifrate 12.5",
         0,
         {"Setting animated GIF frame rate", "  GIF frame rate: 12.5 frames/s"}},
        {"animexport gifloops forever",
         0,
         {"Setting animated GIF loop count", "  GIF looping: forever"}},
        {"animexport gifloops -2", 1, {}},
        {"animexport gifloops many", 1, {}},
        {"animexport gifloops 0", 0, {"  GIF looping: 0 (no looping)"}},
        {"animexport mpegpattern 7 3",
         0,
         {"Setting MPEG generation pattern",
          "  MPEG pattern: 9 frames in GOP, P frame distance 3"}},
        {"animexport mpegpattern 4 5", 0, {"  MPEG pattern: 6 frames in GOP, P frame distance 3"}},
        {"animexport mpegbitrate 1000", 0, {"  MPEG target bit rate: 1000 bits/s"}},
        {"animexport size noaspect 160 120",
         0,
         {"Setting animation export image size", "  size: 160x128 pixels"}},
        {"animexport size aspect 200 *", 0, {"  size: 208x160 pixels (maintain aspect)"}},
        {"animexport size noaspect 3000 10",
         1,
         {"animexport size: Invalid dimensions specified for image"}},
        {"animexport repeat 2 1 3",
         0,
         {"  repetition: every frame 2, first frame 1, last frame 3"}},
        {"animexport repeat 0", 1, {}},
        {"animexport giftransp on", 0, {"  GIF transparency: on (auto)"}},
        {"animexport giftranspmode white",
         0,
         {"  GIF transparency: on (use white as transparent color)"}},
        {"animexport giftransp maybe",
         0,
         {"  GIF transparency: on (use white as transparent color)"}},
        {"animexport avirate 0", 1, {}},
        {"animexport avirate 20", 0, {"Setting AVI frame rate", "  AVI frame rate: 20 frames/s"}},
        {"animexport avicolordepth 12",
         1,
         {"animexport avicolordepth: Parameter missing or illegal parameter specification"}},
        {"animexport avicolordepth 24", 0, {"  AVI color depth: 24bpp"}},
        {"animexport capture",
         0,
         {"Setting animation image capturing", "  size: 208x160 pixels (capture screen)"}},
        {"animexport nocapture", 0, {"  size: 208x160 pixels (maintain aspect)"}},
        {"animexport", 0, {"Animation export settings", "  file name: Quolin.mpg"}},
    };
    for (const auto &c : cases) {
        MessageCapture capture;
        EXPECT_EQ(ExecuteCommand(c.pszCommand), c.iResult) << c.pszCommand;
        for (const std::string &line : c.lines)
            EXPECT_TRUE(capture.Contains(line)) << c.pszCommand << "\n" << capture.Text();
    }
    EXPECT_FLOAT_EQ(m_Settings.fGifFrameRate, 12.5f);
    EXPECT_EQ(m_Settings.iRepeatEvery, 2);
}

TEST_F(MovieTest, MakePpmWritesPadsAndRefuses)
{
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("makeppm 1 3"), 0);
    EXPECT_TRUE(capture.HasLine("Creating PPM image sequence from step 1 to step 3, skip by 1."))
        << capture.Text();
    EXPECT_TRUE(capture.HasLine("Done creating image files."));
    for (int i = 0; i < 3; i++) {
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(NKTestDecodeWith("cat", "qln000" + std::to_string(i) + ".ppm", &w, &h, &rgb));
        EXPECT_EQ(w, 320);
        EXPECT_EQ(h, 240);
        EXPECT_EQ(rgb[(120 * 320 + 160) * 3], 60 * (i + 1));
    }
    EXPECT_FALSE(Exists("qln0003.ppm"));

    ASSERT_EQ(ExecuteCommand("animexport size noaspect 160 120"), 0);
    ASSERT_EQ(ExecuteCommand("makeppm"), 0);  // the animation range
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(NKTestDecodeWith("cat", "qln0000.ppm", &w, &h, &rgb));
    ASSERT_EQ(w, 320);
    ASSERT_EQ(h, 240);
    // Rows of the record count from the bottom; the picture is centred.
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) {
            const bool bInside = x >= 80 && x < 240 && y >= 60 && y < 180;
            ASSERT_EQ(rgb[(y * 320 + x) * 3], bInside ? 60 : 0) << x << "," << y;
        }

    ASSERT_EQ(ExecuteCommand("makeppm 3 2"), 0);
    ASSERT_TRUE(NKTestDecodeWith("cat", "qln0000.ppm", &w, &h, &rgb));
    EXPECT_EQ(rgb[(120 * 320 + 160) * 3], 180);
    ASSERT_TRUE(NKTestDecodeWith("cat", "qln0001.ppm", &w, &h, &rgb));
    EXPECT_EQ(rgb[(120 * 320 + 160) * 3], 120);

    const struct {
        const char *pszCommand, *pszError;
    } refusals[] = {
        {"makeppm 1 9", "makeppm: Illegal to step number  (legal 1 -> 3)"},
        {"makeppm 4 1", "makeppm: Illegal from step number  (legal 1 -> 3)"},
        {"makeppm 1 3 -1", "makeppm: Illegal stride specified"},
        {"makeoldmpeg m.mpg 3 2", "makeoldmpeg: Illegal step range specified"},
        {"makeoldmpeg m.mpg 1 5", "makeoldmpeg: Illegal to step number  (legal 1 -> 3)"},
    };
    for (const auto &r : refusals) {
        capture.Clear();
        EXPECT_EQ(ExecuteCommand(r.pszCommand), 1) << r.pszCommand;
        EXPECT_TRUE(capture.Contains(r.pszError)) << capture.Text();
    }
    g_pModel->iNumFrames = 1;
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("makeppm 1 3"), 1);
    EXPECT_TRUE(capture.Contains("makeppm: Can't create images; no animation loaded"));
    EXPECT_EQ(ExecuteCommand("makeanimgif a.gif"), 1);
    EXPECT_TRUE(capture.Contains("Can't create animation export file; no animation loaded"));
    g_pModel->iNumFrames = 3;
}

TEST_F(MovieTest, MakeMpegAndAviListTheirSettingsAndAnswerOne)
{
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("makempeg run.gif 1 3 1 cycle"), 1);
    EXPECT_TRUE(capture.Contains("Generating MPEG sequence")) << capture.Text();
    EXPECT_TRUE(capture.Contains("  file name: run.mpg"));
    EXPECT_TRUE(capture.Contains("  from step 1 to 3, skip by 1 (cycle)"));
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("makeavi run"), 1);
    EXPECT_TRUE(capture.Contains("  file name: run.avi")) << capture.Text();
    ASSERT_EQ(ExecuteCommand("animexport capture"), 0);
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("makeavi run"), 1);
    EXPECT_TRUE(capture.Contains("Capturing of AVI sequences is not supported"));
}

TEST_F(MovieTest, AnimatedGifBytesAndDecoders)
{
    ASSERT_EQ(ExecuteCommand("animexport gifrate 10"), 0);
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("makeanimgif a.gif 1 3 1"), 0);
    EXPECT_TRUE(capture.HasLine("Animated GIF file generated OK.")) << capture.Text();
    const std::string bytes = ReadAll("a.gif");
    ASSERT_GT(bytes.size(), 40u);
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
    EXPECT_EQ(CountOf(bytes, std::string("\x21\xF9\x04\x80\x0A\x00\x00\x00\x2C", 9)), 3);
    EXPECT_EQ(CountOf(bytes, "NETSCAPE2.0"), 0);
    EXPECT_EQ(bytes.substr(bytes.size() - 25),
              std::string("\x21\xFE\x14GIF anim from Quolin\x00\x3B", 25));
    const std::string info = RunOutput("gifsicle --info a.gif");
    EXPECT_NE(info.find("3 images"), std::string::npos) << info;
    EXPECT_NE(info.find("384x288"), std::string::npos) << info;
    EXPECT_EQ(CountOf(info, "delay 0.10s"), 3) << info;
    EXPECT_EQ(info.find("loop"), std::string::npos) << info;
    const std::string decoded = RunOutput("giftopnm -image=all a.gif | wc -c");
    EXPECT_EQ(std::stoul(decoded), 3u * (15u + 384u * 288u * 3u)) << decoded;
    for (const std::string &name : Entries())
        EXPECT_EQ(name.find("qln"), std::string::npos) << name;

    ASSERT_EQ(ExecuteCommand("animexport gifloops forever"), 0);
    ASSERT_EQ(ExecuteCommand("animexport giftransp on"), 0);
    EXPECT_EQ(ExecuteCommand("makeanimgif b.gif 1 3 1"), 0);
    const std::string looped = RunOutput("gifsicle --info b.gif");
    EXPECT_NE(looped.find("loop forever"), std::string::npos) << looped;
    EXPECT_EQ(CountOf(looped, "transparent 199"), 3) << looped;
    EXPECT_EQ(CountOf(looped, "disposal background"), 3) << looped;
    EXPECT_EQ(CountOf(ReadAll("b.gif"), std::string("\x21\xF9\x04\x89\x0A\x00\xC7\x00", 8)), 3);
    EXPECT_EQ(m_Background.iMode, 0);
    EXPECT_EQ(m_Background.ucColors[0][0], 0);  // the background put back

    // Kept frames stand beside the output, and a later frame carries the
    // palette as a local table.
    m_Settings.bKeepImages = 1;
    mkdir("out", 0755);
    EXPECT_EQ(ExecuteCommand("makeanimgif out/k.gif 1 3 1"), 0);
    for (int i = 0; i < 3; i++) EXPECT_TRUE(Exists("out/qln_" + std::to_string(i) + ".gif"));
    EXPECT_NE(RunOutput("gifsicle --info out/k.gif").find("local color table"), std::string::npos);
}

// A path longer than 255 bytes is written whole, not cut.
TEST_F(MovieTest, AnimatedGifToALongPathKeepsItWhole)
{
    const std::string folder = std::string(120, 'd') + "/" + std::string(120, 'e');
    ASSERT_EQ(system(("mkdir -p " + folder).c_str()), 0);
    const std::string path = folder + "/" + std::string(54, 'g') + ".gif";
    ASSERT_EQ(path.size(), 300u);
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand(("makeanimgif " + path + " 1 2 1").c_str()), 0) << capture.Text();
    EXPECT_TRUE(capture.Contains("  file name: " + path)) << capture.Text();
    EXPECT_EQ(ReadAll(path).substr(0, 6), "GIF89a");
}

TEST_F(MovieTest, JoinOfCutFramesAnswersAStatus)
{
    ImageRecord picture;
    NKInitImageRecord(&picture);
    picture.iWidth = 24;
    picture.iHeight = 16;
    picture.pPixels = static_cast<uint8_t *>(std::malloc(24 * 16 * 3));
    NKTestFillNoise(&picture, 7);
    ASSERT_EQ(WriteGifFile(&picture, "whole.gif"), NK_IMAGE_OK);
    std::free(picture.pPixels);
    picture.pPixels = nullptr;
    const std::string whole = ReadAll("whole.gif");
    for (size_t n = 0; n <= whole.size(); n++) {
        std::ofstream("cut.gif", std::ios::binary | std::ios::trunc) << whole.substr(0, n);
        NKOutputFile out;
        ASSERT_TRUE(out.Open("joined.gif"));
        const int iStatus = MergeGifFrame(&out, "cut.gif", n % 2 == 0);
        EXPECT_TRUE(iStatus == 1 || iStatus == NK_IMAGE_READ_ERROR) << n;
        out.Abandon();
    }
    NKOutputFile out;
    ASSERT_TRUE(out.Open("joined.gif"));
    EXPECT_EQ(MergeGifFrame(&out, "missing.gif", true), NK_IMAGE_OPEN_ERROR);
    out.Abandon();
    EXPECT_EQ(WriteAnimatedGif("whole%d.gif", 1, false, 0, false, -1, 4, "j.gif"),
              NK_IMAGE_OPEN_ERROR);
    EXPECT_FALSE(Exists("j.gif"));  // a join that stops leaves no output
    // Delay 4 (25 frames/s) without transparency: packed byte 0x80; looping
    // only when asked, with count 0 for forever.
    std::rename("whole.gif", "f_0.gif");
    std::ofstream("f_1.gif", std::ios::binary) << whole;
    const struct {
        bool bForever;
        int iLoops;
        std::string loop;
    } joins[] = {{false, 0, ""},
                 {true, 5, std::string("NETSCAPE2.0\x03\x01\x00\x00\x00", 16)},
                 {false, 3, std::string("NETSCAPE2.0\x03\x01\x03\x00\x00", 16)}};
    for (const auto &j : joins) {
        ASSERT_EQ(WriteAnimatedGif("f_%d.gif", 2, j.bForever, j.iLoops, false, -1, 4, "j.gif"), 1);
        const std::string joined = ReadAll("j.gif");
        EXPECT_EQ(CountOf(joined, std::string("\x21\xF9\x04\x80\x04\x00\x00\x00\x2C", 9)), 2);
        EXPECT_EQ(CountOf(joined, "NETSCAPE2.0"), j.loop.empty() ? 0 : 1);
        if (!j.loop.empty()) {
            EXPECT_EQ(CountOf(joined, j.loop), 1);
        }
        const std::string info = RunOutput("gifsicle --info j.gif");
        EXPECT_NE(info.find("2 images"), std::string::npos) << info;
        EXPECT_NE(info.find("local color table"), std::string::npos) << info;
    }
}

TEST_F(MovieTest, OldMpegRunsTheEncoderOnAPrivateFolder)
{
    g_pModel->iNumFrames = 10;
    MakeStub("cp \"$1\" \"" + m_Dir +
             "/copy.par\"; ls \"$(sed -n 's/^INPUT_DIR //p' \"$1\")\" > \"" + m_Dir +
             "/frames.txt\"");
    ASSERT_EQ(ExecuteCommand("makeppm 1 1"), 0);  // a sequence of another command
    const std::string kept = ReadAll("qln0000.ppm");
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 10 3"), 0) << capture.Text();
    EXPECT_TRUE(capture.Contains("  from step 1 to step 10, skip by 3 (q scale 11)"));
    const std::string par = ReadAll("copy.par");
    const char *apszLines[] = {"IQSCALE 11",
                               "PQSCALE 11",
                               "BQSCALE 11",
                               "PSEARCH_ALG TWOLEVEL",
                               "BSEARCH_ALG SIMPLE",
                               "GOP_SIZE 6",
                               "SLICES_PER_FRAME 1",
                               "PIXEL HALF",
                               "RANGE 10",
                               "PATTERN IBBPBBPBBPBBPBB",
                               "REFERENCE_FRAME ORIGINAL",
                               "FORCE_ENCODE_LAST_FRAME",
                               "BASE_FILE_FORMAT PPM",
                               "INPUT_DIR ",
                               "INPUT",
                               "qln*.ppm [000-003]",
                               "END_INPUT",
                               "INPUT_CONVERT *",
                               "OUTPUT m.mpg"};
    size_t at = 0;
    for (const char *pszLine : apszLines) {
        const size_t found = par.find(std::string(pszLine), at);
        ASSERT_NE(found, std::string::npos) << pszLine << "\n" << par;
        at = found + 1;
    }
    EXPECT_EQ(CountOf(par, "\n"), 19);
    EXPECT_EQ(ReadAll("frames.txt"), "qln.par\nqln000.ppm\nqln001.ppm\nqln002.ppm\nqln003.ppm\n");
    EXPECT_EQ(ReadAll("qln0000.ppm"), kept);
    for (const std::string &name : Entries())
        EXPECT_TRUE(name == "bin" || name == "copy.par" || name == "frames.txt" ||
                    name == "qln0000.ppm")
            << name;

    EXPECT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 9 3 40"), 0);
    EXPECT_NE(ReadAll("copy.par").find("qln*.ppm [000-002]"), std::string::npos);
    EXPECT_NE(ReadAll("copy.par").find("IQSCALE 11"), std::string::npos);
}

TEST_F(MovieTest, OldMpegEncoderFailures)
{
    NKSetProgramDirectory((m_Dir + "/nowhere").c_str());
    MessageCapture capture;
    EXPECT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 3"), 1);
    EXPECT_TRUE(capture.Contains("Couldn't find MPEG encoder in: " + m_Dir + "/nowhere/mpgenc"))
        << capture.Text();
    MakeStub("exit 1");
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 3"), 1);
    EXPECT_TRUE(capture.Contains("Error generating MPEG sequence")) << capture.Text();
    // An encoder that ends only when it is stopped.
    MakeStub("echo $$ > \"" + m_Dir + "/pid\"; exec sleep 1000");
    m_Progress.iCancelAt = -1;
    // Cancel once the encoder has begun (the sequence's bar runs to 3 first),
    // however late a busy machine starts it.
    struct CancelLater : RecordingProgressUI {
        void PumpEvents() override
        {
            if (!texts.empty() && texts.back() == "Encoding MPEG sequence" && !bAsked &&
                !ReadAll(pidFile).empty()) {
                bAsked = true;
                RequestCancel();
            }
            RecordingProgressUI::PumpEvents();
        }
        std::string pidFile;
        bool bAsked = false;
    } later;
    later.pidFile = m_Dir + "/pid";
    NKSetProgressUI(&later);
    capture.Clear();
    EXPECT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 3"), 1);
    EXPECT_TRUE(capture.Contains("MPEG generation aborted")) << capture.Text();
    const std::string pid = ReadAll("pid");
    ASSERT_FALSE(pid.empty());
    // The encoder is gone (at most a zombie waiting for its reaper). It was
    // killed, but a killed process may run a moment before it dies.
    std::string stat;
    EXPECT_TRUE(NKTestWaitFor(
        [&] {
            stat = ReadAll("/proc/" + std::to_string(std::stoi(pid)) + "/stat");
            return stat.empty() || stat.find(") Z ") != std::string::npos;
        },
        "the encoder's end"))
        << stat;
    NKSetProgressUI(&m_Progress);
    for (const std::string &name : Entries())
        EXPECT_EQ(name.find("qln"), std::string::npos) << name;
    mkdir("ro", 0555);
    capture.Clear();
    if (geteuid() != 0) {  // root may write anywhere
        EXPECT_EQ(ExecuteCommand("makeoldmpeg ro/m.mpg 1 3"), 1);
        EXPECT_TRUE(capture.Contains("Couldn't write to output file: ro/m.mpg")) << capture.Text();
    }
}

TEST_F(MovieTest, RealEncoderWritesMpegOne)
{
    NKSetProgramDirectory(QUOLIN_MPGENC_DIR);
    MessageCapture capture;
    ASSERT_EQ(ExecuteCommand("makeoldmpeg m.mpg 1 3 1"), 0) << capture.Text();
    const std::string probe =
        RunOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                  "stream=codec_name,width,height,nb_read_frames -of default=nw=1 m.mpg");
    EXPECT_NE(probe.find("codec_name=mpeg1video"), std::string::npos) << probe;
    EXPECT_NE(probe.find("width=320"), std::string::npos) << probe;
    EXPECT_NE(probe.find("height=240"), std::string::npos) << probe;
    EXPECT_NE(probe.find("nb_read_frames=3"), std::string::npos) << probe;
    for (const std::string &name : Entries()) EXPECT_TRUE(name == "m.mpg") << name;
}

TEST_F(MovieTest, EncoderRefusesBadParametersAndCleansUpOnTerminate)
{
    const std::string encoder = std::string(QUOLIN_MPGENC_DIR) + "/mpgenc";
    mkdir("f", 0755);
    std::ofstream("f/qln000.ppm") << "P6\n2 2\n255\n" << std::string(12, '\x40');
    const std::string head = "IQSCALE 4\nGOP_SIZE 6\nPATTERN IBBP\n";
    const struct {
        std::string params;
        const char *pszMessage;
    } cases[] = {
        {head + "BASE_FILE_FORMAT PNM\nINPUT_DIR f\nINPUT\nqln*.ppm [000-000]\nEND_INPUT\nOUTPUT "
                "o.mpg\n",
         "PPM"},
        {head + "BASE_FILE_FORMAT PPM\nINPUT_DIR f\nOUTPUT o.mpg\n", "no INPUT"},
        {head + "BASE_FILE_FORMAT PPM\nINPUT_DIR f\nINPUT\nqln*.ppm [000-001]\nEND_INPUT\nOUTPUT "
                "o.mpg\n",
         "missing frame: f/qln001.ppm"},
    };
    for (const auto &c : cases) {
        std::ofstream("p.par") << c.params;
        const std::string out = RunOutput("'" + encoder + "' p.par; echo status $?");
        EXPECT_NE(out.find(c.pszMessage), std::string::npos) << out;
        EXPECT_NE(out.find("status 1"), std::string::npos) << out;
        EXPECT_FALSE(Exists("o.mpg"));
    }
    // An ffmpeg that never ends: SIGTERM leaves no temporary file. The
    // encoder is stopped once it runs ffmpeg (it has its temporary file
    // then), waited for up to the tests' limit.
    mkdir("fake", 0755);
    std::ofstream("fake/ffmpeg") << "#!/bin/sh\n: > ffmpeg.ran\nexec sleep 1000\n";
    chmod("fake/ffmpeg", 0755);
    std::ofstream("p.par") << head
                           << "BASE_FILE_FORMAT PPM\nINPUT_DIR f\nINPUT\nqln*.ppm [000-000]\n"
                              "END_INPUT\nOUTPUT o.mpg\n";
    const std::string tenths = std::to_string(NKTestWaitLimitMs() / 100);
    const std::string out =
        RunOutput("PATH='" + m_Dir + "/fake':$PATH; '" + encoder + "' p.par & i=0; while [ ! -e " +
                  "ffmpeg.ran ] && [ $i -lt " + tenths + " ]; do sleep 0.1; i=$((i + 1)); done; " +
                  "ls; kill -TERM $!; wait $!; echo status $?; ls");
    EXPECT_NE(out.find("o.mpg.mpgenc"), std::string::npos) << out;  // while it ran
    EXPECT_NE(out.find("status 1"), std::string::npos) << out;
    EXPECT_EQ(out.find("o.mpg", out.find("status")), std::string::npos) << out;
}
