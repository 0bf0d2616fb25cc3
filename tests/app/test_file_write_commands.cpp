// tests/app/test_file_write_commands.cpp -- the file commands that write
// geometry, parts, views and the result list, close the data source or all
// files, keep settings over an open, and start the command and batch tests,
// end to end through the interpreter on the example beam with the file and
// viewpoint commands registered.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_load_sequence.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// What the batch-report slots were asked, and what they answer.
struct BatchCall {
    std::string kind, directory, mask, output;
};
std::vector<BatchCall> sg_BatchCalls;
bool sg_bBatchAnswer = true;

bool RecordTestDir(const char *pszDirectory, const char *pszMask, const char *pszOutput)
{
    sg_BatchCalls.push_back({"testdir", pszDirectory, pszMask, pszOutput});
    return sg_bBatchAnswer;
}

bool RecordOpenPerf(const char *pszDirectory, const char *pszMask, const char *pszOutput)
{
    sg_BatchCalls.push_back({"testopenperf", pszDirectory, pszMask, pszOutput});
    return sg_bBatchAnswer;
}

// The little-endian 32-bit word at word index i of a file's bytes.
uint32_t Word(const std::string &bytes, size_t i)
{
    uint32_t w = 0;
    for (int k = 3; k >= 0; k--) w = (w << 8) | static_cast<unsigned char>(bytes[4 * i + k]);
    return w;
}
int32_t IntWord(const std::string &bytes, size_t i) { return static_cast<int32_t>(Word(bytes, i)); }
float FloatWord(const std::string &bytes, size_t i)
{
    uint32_t w = Word(bytes, i);
    float f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}

// A model without frames, the file and viewpoint commands registered, the
// data sources installed, a fresh temporary folder as the current directory.
class FileWriteCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterViewpointCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_Dir = NKTestMakeTempDir("quolin_file_write_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        sg_BatchCalls.clear();
        sg_bBatchAnswer = true;
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldDir);
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
        NKSetViewLineMaker(nullptr);
        NKSetTestDirFunction(nullptr);
        NKSetTestOpenPerfFunction(nullptr);
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        bKeepSettings = 0;
        g_CommandRunner.szTestCommandFile = "";
        g_CommandRunner.szTestLogFile = "";
        g_fNearClip = NK_DEFAULT_NEAR_CLIP;
        g_fFarClip = NK_DEFAULT_FAR_CLIP;
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    int OpenBeam() { return Run("open \"" + NKTestExamplePath("beam.nkf") + "\""); }
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(m_Dir))
            names.insert(e.path().filename().string());
        return names;
    }

    NKModelHooks m_SavedHooks;
    std::filesystem::path m_Dir;
    std::filesystem::path m_OldDir;
    MessageCapture m_Capture;
};

struct LineCase {
    std::string line;
    int iResult;
    std::string text;  // every message of the command, joined by line ends
};

// The messages captured, without the interpreter's echo of the command line.
std::string Messages(const MessageCapture &capture)
{
    std::string text;
    for (const CapturedLine &l : capture.Lines()) {
        if (l.text.rfind("> ", 0) == 0) continue;
        if (!text.empty()) text += '\n';
        text += l.text;
    }
    return text;
}

void RunCases(MessageCapture *pCapture, const std::vector<LineCase> &cases)
{
    for (const LineCase &c : cases) {
        pCapture->Clear();
        EXPECT_EQ(ExecuteCommand(c.line.c_str()), c.iResult) << c.line;
        EXPECT_EQ(Messages(*pCapture), c.text) << c.line;
    }
}

TEST_F(FileWriteCommands, WriteGeometryWritesTheBinaryFormOfAFrame)
{
    ASSERT_EQ(OpenBeam(), 0);
    RunCases(&m_Capture,
             {
                 {"writegeometry g.geo", 0, "Geometry from frame 1 written to file g.geo"},
                 {"writegeometry h.geo 2", 1, "writegeometry: Frame 2 out of range  (1 - 1)"},
                 {"writegeometry h.geo 0", 1, "writegeometry: Frame 0 out of range  (1 - 1)"},
                 {"writegeometry", 1,
                  "writegeometry: Cannot open file for writing. No filename specified"},
                 {"writegeometry /no/g.geo", 1,
                  "Error writing geometry file\nFile \"/no/g.geo\": its folder does not exist."},
             });
    EXPECT_EQ(Files(), (std::set<std::string>{"g.geo"}));

    std::string bytes = NKTestReadFile((m_Dir / "g.geo").string());
    ASSERT_EQ(bytes.size(), 2624u);
    const int32_t aiHead[] = {1, 1, 99, 88, 352, 1, 88};
    for (size_t i = 0; i < 7; i++) EXPECT_EQ(IntWord(bytes, i), aiHead[i]) << "word " << i;
    const float afFirst[] = {0, 0, 0, 1, 0, 0};
    // Model units, back from the display coordinates the model holds.
    for (size_t i = 0; i < 6; i++) EXPECT_NEAR(FloatWord(bytes, 7 + i), afFirst[i], 1e-5f) << i;
    // The beam's polygons are quadrilaterals: every fourth node number is
    // negated, and all name one of the 99 nodes.
    for (size_t i = 0; i < 352; i++) {
        int32_t iNode = IntWord(bytes, 7 + 3 * 99 + i);
        EXPECT_EQ(iNode < 0, i % 4 == 3) << "reference " << i;
        EXPECT_TRUE(std::abs(iNode) >= 1 && std::abs(iNode) <= 99) << "reference " << i;
    }
}

TEST_F(FileWriteCommands, WritePartsWritesTheTextFormOfAPartRange)
{
    ASSERT_EQ(OpenBeam(), 0);
    RunCases(
        &m_Capture,
        {
            {"writeparts p.byu 1 1", 0,
             "Generating new geometry file: p.byu containing part 1 to part 1\n"
             "  parts = 1   nodes = 99   polygons = 88"},
            {"writeparts q.byu 2 2", 1, "writeparts: Illegal part range 2 2  (legal range 1 -> 1)"},
            {"writeparts", 1, "writeparts: Cannot open file for writing. No filename specified"},
            {"writeparts /no/p.byu 1 1", 1, "Error opening geometry file /no/p.byu for writing."},
        });
    EXPECT_EQ(Files(), (std::set<std::string>{"p.byu"}));
    std::string text = NKTestReadFile((m_Dir / "p.byu").string());
    EXPECT_EQ(text.substr(0, text.find('\n')), "       1       99       88      352");
}

TEST_F(FileWriteCommands, SaveViewWritesTheSetviewLineThatLoadViewReadsBack)
{
    ASSERT_EQ(OpenBeam(), 0);
    RunCases(&m_Capture,
             {
                 {"setview 0 0 0.6 0.8 0.5 -0.25 1", 0, "Setting view to: 0 0 0.6 0.8 0.5 -0.25 1"},
                 {"sv v.vif", 0, "Writing view to file: v.vif"},
             });
    EXPECT_EQ(NKTestReadFile("v.vif"), "setview  0 0 0.6 0.8 0.5 -0.25 1\n");

    ASSERT_EQ(Run("setview"), 0);
    ASSERT_EQ(Run("lv v.vif"), 0);
    ASSERT_EQ(Run("saveview w.vif"), 0);
    EXPECT_EQ(NKTestReadFile("w.vif"), NKTestReadFile("v.vif"));

    RunCases(&m_Capture, {
                             {"sv", 0, "Writing view to file: Quolin.vif"},
                             {"sv /no/v.vif", 1, "sv: Unable to open file for writing: /no/v.vif"},
                         });
    EXPECT_EQ(NKTestReadFile("Quolin.vif"), "setview  0 0 0.6 0.8 0.5 -0.25 1\n");

    // Without the view's slot the line is that of the identity view.
    NKSetViewLineMaker(nullptr);
    ASSERT_EQ(Run("sv x.vif"), 0);
    EXPECT_EQ(NKTestReadFile("x.vif"), "setview  0 0 0 1 0 0 0\n");
}

// The view written to a symbolic link lands in the linked file and the link
// stays; a FIFO or a folder at the target is refused, named, and left as it is.
TEST_F(FileWriteCommands, SaveViewWritesThroughALinkAndRefusesWhatIsNotAFile)
{
    ASSERT_EQ(OpenBeam(), 0);
    ASSERT_EQ(Run("setview 0 0 0.6 0.8 0.5 -0.25 1"), 0);
    std::filesystem::create_directory("views");
    ASSERT_TRUE(NKTestWriteText("views/real.vif", "old\n"));
    std::filesystem::create_symlink("views/real.vif", "link.vif");
    std::filesystem::create_symlink("views/new.vif", "dangling.vif");
    ASSERT_EQ(mkfifo("pipe.vif", 0600), 0);
    std::filesystem::create_directory("folder.vif");
    RunCases(&m_Capture, {
                             {"sv link.vif", 0, "Writing view to file: link.vif"},
                             {"sv dangling.vif", 0, "Writing view to file: dangling.vif"},
                             {"sv pipe.vif", 1,
                              "pipe.vif is not a regular file; it is not replaced.\n"
                              "sv: Unable to open file for writing: pipe.vif"},
                             {"sv folder.vif", 1,
                              "folder.vif is not a regular file; it is not replaced.\n"
                              "sv: Unable to open file for writing: folder.vif"},
                         });
    const std::string line = "setview  0 0 0.6 0.8 0.5 -0.25 1\n";
    EXPECT_EQ(NKTestReadFile("views/real.vif"), line);
    EXPECT_EQ(NKTestReadFile("views/new.vif"), line);
    EXPECT_TRUE(std::filesystem::is_symlink("link.vif"));
    EXPECT_TRUE(std::filesystem::is_symlink("dangling.vif"));
    EXPECT_TRUE(std::filesystem::is_fifo("pipe.vif"));
    EXPECT_TRUE(std::filesystem::is_directory("folder.vif"));
    EXPECT_TRUE(std::filesystem::is_empty("folder.vif"));
}

// A file size limit makes every write past its first bytes fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t iBytes)
    {
        m_pfnOldSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_Old);
        struct rlimit limit = m_Old;
        limit.rlim_cur = iBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_pfnOldSignal);
    }

private:
    struct rlimit m_Old;
    void (*m_pfnOldSignal)(int);
};

TEST_F(FileWriteCommands, FailedWritesKeepTheTargetAndLeaveNoOtherFile)
{
    ASSERT_EQ(OpenBeam(), 0);
    ASSERT_EQ(Run("setview 0 0 0.6 0.8 0.5 -0.25 1"), 0);
    ASSERT_EQ(Run("sv v.vif"), 0);
    ASSERT_EQ(Run("writegeometry g.geo"), 0);
    std::string view = NKTestReadFile("v.vif");
    std::string geometry = NKTestReadFile("g.geo");
    ASSERT_EQ(Run("setview 0 0 0 1 0 0 0"), 0);

    struct Case {
        rlim_t iLimit;
        std::string line;
        std::string text;
    } cases[] = {
        {16, "sv v.vif", "sv: Error writing file: v.vif"},
        {512, "writegeometry g.geo", "Error writing geometry file"},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        int iResult;
        {
            FileSizeLimit limit(c.iLimit);
            iResult = Run(c.line);
        }
        EXPECT_EQ(iResult, 1) << c.line;
        EXPECT_TRUE(m_Capture.HasLine(c.text, NK_MSG_ERROR)) << c.line << "\n" << m_Capture.Text();
        EXPECT_FALSE(m_Capture.Contains("written to file")) << c.line;
        EXPECT_EQ(NKTestReadFile("v.vif"), view) << c.line;
        EXPECT_EQ(NKTestReadFile("g.geo"), geometry) << c.line;
        EXPECT_EQ(Files(), (std::set<std::string>{"g.geo", "v.vif"})) << c.line;
    }
}

TEST_F(FileWriteCommands, ExportResultInfoListsTheStepsAndResults)
{
    RunCases(&m_Capture,
             {
                 {"exportresultinfo", 1,
                  "exportresultinfo: Cannot open file for reading. No filename specified"},
             });
    ASSERT_EQ(OpenBeam(), 0);
    RunCases(&m_Capture,
             {
                 {"exportresultinfo r.txt", 0, "Step and result info exported to: r.txt"},
                 {"exportresultinfo /no/r.txt", 1, "Error creating file: /no/r.txt"},
             });
    std::string text = NKTestReadFile("r.txt");
    EXPECT_EQ(text.rfind("*QUOLINHARL_RESULT_INFO\n", 0), 0u) << text;
    for (const char *pszPart :
         {"*INTERFACE_TYPE: NKF File\n", "\n*STATES: 3\n1: Load 1\n2: Load 2\n3: Load 3\n",
          "\n*SCALARS: 2\n1: Displacement magnitude\n2: Bending stress\n",
          "\n*VECTORS: 2\n1: Displacement\n2: Displacement vectors\n"})
        EXPECT_NE(text.find(pszPart), std::string::npos) << pszPart << "\n" << text;
    EXPECT_EQ(Files(), (std::set<std::string>{"r.txt"}));
}

TEST_F(FileWriteCommands, KeepSettingsDecidesWhetherAnOpenResetsTheClipping)
{
    ASSERT_EQ(OpenBeam(), 0);
    RunCases(&m_Capture,
             {{"keepsettings", 0, "Keep current settings when loading a new primary file."}});
    EXPECT_EQ(bKeepSettings, 1);
    ASSERT_EQ(Run("clipfront 0.05"), 0);
    ASSERT_EQ(OpenBeam(), 0);
    EXPECT_FLOAT_EQ(g_fNearClip, 0.05f);

    RunCases(&m_Capture, {{"nokeepsettings", 0,
                           "Reset all settings when loading a new primarty file (default)."}});
    EXPECT_EQ(bKeepSettings, 0);
    ASSERT_EQ(OpenBeam(), 0);
    EXPECT_FLOAT_EQ(g_fNearClip, 0.01f);
}

TEST_F(FileWriteCommands, CloseInterfaceKeepsTheFramesAndCloseFilesEmptiesThem)
{
    ASSERT_EQ(OpenBeam(), 0);
    m_Capture.Clear();
    EXPECT_EQ(Run("closeinterface"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Closing interface.", NK_MSG_INFO)) << m_Capture.Text();
    EXPECT_EQ(NKGetResultsInterface()->type, NK_INTERFACE_NONE);
    EXPECT_EQ(g_pModel->iNumFrames, 1);

    ASSERT_EQ(OpenBeam(), 0);
    ASSERT_NE(NKGetResultsInterface()->type, NK_INTERFACE_NONE);
    RunCases(&m_Capture,
             {{"closefiles", 0, "All files closed."}, {"closefiles", 0, "All files closed."}});
    EXPECT_EQ(NKGetResultsInterface()->type, NK_INTERFACE_NONE);
    EXPECT_EQ(g_pModel->iNumFrames, 0);
}

TEST_F(FileWriteCommands, TestCommandsStoreTheirNamesAndTheBatchReportsTheirArguments)
{
    RunCases(&m_Capture,
             {{"testcommands t.qlc", 0, "Testing commands and logging to file Quolin.log."}});
    EXPECT_STREQ(g_CommandRunner.szTestCommandFile.GetText(), "t.qlc");
    EXPECT_STREQ(g_CommandRunner.szTestLogFile.GetText(), "Quolin.log");
    RunCases(&m_Capture, {{"testcommands \"a b.qlc\" my.log", 0,
                           "Testing commands and logging to file my.log."}});
    EXPECT_STREQ(g_CommandRunner.szTestCommandFile.GetText(), "a b.qlc");
    EXPECT_STREQ(g_CommandRunner.szTestLogFile.GetText(), "my.log");
    RunCases(&m_Capture, {{"testcommands", 0, "Testing commands and logging to file Quolin.log."}});
    EXPECT_STREQ(g_CommandRunner.szTestCommandFile.GetText(), "");

    // Empty slots: the reports fail and nothing is written.
    RunCases(&m_Capture, {{"testdir d", 1, ""}, {"testopenperf d", 1, ""}});
    EXPECT_TRUE(Files().empty());

    NKSetTestDirFunction(RecordTestDir);
    NKSetTestOpenPerfFunction(RecordOpenPerf);
    struct Case {
        std::string line;
        bool bAnswer;
        int iResult;
        std::string text;
        std::vector<std::string> call;  // kind, directory, mask, output; none: not called
    } cases[] = {
        {"testdir d",
         true,
         0,
         "Testing dir d files *.* output QuolinTest.log COMPLETE.",
         {"testdir", "d", "*.*", "QuolinTest.log"}},
        {"testopenperf d *.nkf o.log",
         true,
         0,
         "Fileopen performance for dir d files *.nkf output o.log COMPLETE.",
         {"testopenperf", "d", "*.nkf", "o.log"}},
        {"testopenperf d",
         true,
         0,
         "Fileopen performance for dir d files *.* output FileOpenPerf.log COMPLETE.",
         {"testopenperf", "d", "*.*", "FileOpenPerf.log"}},
        {"testdir \"my dir\" *.nkf",
         true,
         0,
         "Testing dir my dir files *.nkf output QuolinTest.log COMPLETE.",
         {"testdir", "my dir", "*.nkf", "QuolinTest.log"}},
        {"testdir d *.nkf", false, 1, "", {"testdir", "d", "*.nkf", "QuolinTest.log"}},
        {"testopenperf d", false, 1, "", {"testopenperf", "d", "*.*", "FileOpenPerf.log"}},
        {"testdir",
         true,
         1,
         "Error in paramter number 1 : <directory> [<mask>] [<output>]\nRequired paramter missing.",
         {}},
        {"testopenperf",
         true,
         1,
         "Error in paramter number 1 : <directory> [<mask>] [<output>]\nRequired paramter missing.",
         {}},
    };
    for (const Case &c : cases) {
        sg_BatchCalls.clear();
        sg_bBatchAnswer = c.bAnswer;
        RunCases(&m_Capture, {{c.line, c.iResult, c.text}});
        if (c.call.empty()) {
            EXPECT_TRUE(sg_BatchCalls.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(sg_BatchCalls.size(), 1u) << c.line;
        const BatchCall &call = sg_BatchCalls[0];
        EXPECT_EQ((std::vector<std::string>{call.kind, call.directory, call.mask, call.output}),
                  c.call)
            << c.line;
    }
}

}  // namespace
