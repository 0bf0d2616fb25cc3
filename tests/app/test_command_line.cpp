// tests/app/test_command_line.cpp -- the command line: joining the
// arguments, the version request, the options read before the windows
// exist, and the full parse with the file it opens (caught by a recording
// command handler) and the options it accepts or answers with the usage.
#include <string>
#include <vector>

#include "app/nk_command_line.h"
#include "app/nk_pixel_format.h"
#include "commands/nk_command.h"
#include "core/nk_file.h"
#include "platform/nk_message_box.h"
#include "platform/nk_platform.h"
#include "tests/app/settings_env_fixture.h"

namespace {

std::vector<std::string> &OpenLines(void)
{
    static std::vector<std::string> s_Lines;
    return s_Lines;
}

int RecordOpen(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id != NK_CID_OPEN) return NK_CMD_NOT_MINE;
    OpenLines().push_back(pszArguments);
    return NK_CMD_DONE;
}

class CommandLine : public SettingsEnvTest {
protected:
    void SetUp() override
    {
        SettingsEnvTest::SetUp();
        const char *pszSoftware = std::getenv("LIBGL_ALWAYS_SOFTWARE");
        m_bHadSoftware = pszSoftware != nullptr;
        m_Software = m_bHadSoftware ? pszSoftware : "";
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_Saved[i] = NKSetCommandHandler(i, nullptr);
        NKSetCommandHandler(NK_HANDLER_SYSTEM, RecordOpen);
        OpenLines().clear();
        ResetRequests(32);
    }
    void TearDown() override
    {
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_Saved[i]);
        if (m_bHadSoftware)
            setenv("LIBGL_ALWAYS_SOFTWARE", m_Software.c_str(), 1);
        else
            unsetenv("LIBGL_ALWAYS_SOFTWARE");
        ResetRequests(32);
        SettingsEnvTest::TearDown();
    }
    static void ResetRequests(int iDepth)
    {
        g_iPixelFormatRequest = NK_PIXELFORMAT_AUTO;
        g_iDepthBitsRequest = iDepth;
        g_bFullScreenRequest = 0;
        unsetenv("LIBGL_ALWAYS_SOFTWARE");
    }
    static std::string Cwd(void)
    {
        NKString cwd;
        NKGetCurrentDirectory(&cwd);
        return cwd.GetText();
    }
    // The usage requests a full parse of the line makes.
    static int UsageOf(const std::string &line)
    {
        int iBefore = NKGetCommandLineUsageRequests();
        ParseCommandLine(line.c_str());
        return NKGetCommandLineUsageRequests() - iBefore;
    }

    NKCommandHandler m_Saved[NK_NUM_HANDLER_SLOTS];
    bool m_bHadSoftware = false;
    std::string m_Software;
};

TEST_F(CommandLine, ArgumentsAreJoinedWithBlanksQuotingThoseThatHoldOne)
{
    std::vector<std::string> args = {"quolin", "/a b/m.nkf", "-title", "x", ""};
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    EXPECT_EQ(NKJoinCommandLine(4, argv.data()), "\"/a b/m.nkf\" -title x");
    EXPECT_EQ(NKJoinCommandLine(1, argv.data()), "");
}

TEST_F(CommandLine, VersionIsAWholeArgumentOnly)
{
    struct Case {
        std::vector<std::string> args;
        bool bVersion;
    };
    const Case cases[] = {{{"quolin", "-version"}, true},
                          {{"quolin", "m.nkf", "-version"}, true},
                          {{"quolin", "x-version.nkf"}, false},
                          {{"quolin", "--version"}, false},
                          {{"quolin"}, false}};
    for (Case c : cases) {
        std::vector<char *> argv;
        for (std::string &arg : c.args) argv.push_back(arg.data());
        testing::internal::CaptureStdout();
        bool bVersion = CheckVersionOption(int(argv.size()), argv.data());
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(bVersion, c.bVersion) << c.args.back();
        EXPECT_EQ(out, c.bVersion ? NKGetVersionLine() + "\n" : "");
    }
}

TEST_F(CommandLine, PreReadSetsTheRequestsTheWindowsNeed)
{
    struct Case {
        const char *pszLine;
        int iDepthBefore;
        int iFormat, iDepth;
        uint8_t bFullScreen;
        bool bSoftwareEnv;
    };
    const Case cases[] = {
        {"-depth 24", 32, -1, 32, 0, false},
        {"-depth 16", 32, -1, 16, 0, false},
        {"-depth", 16, -1, 16, 0, false},
        {"-depth", 24, -1, 32, 0, false},
        {"-pixelformat", 32, -20, 32, 0, false},
        {"-pixelformat 3", 32, 3, 32, 0, false},
        // A word that is no number is an option of its own.
        {"-pixelformat -fullscreen", 32, -20, 32, 1, false},
        {"-software", 32, -10, 32, 0, true},
        {"-pixelformat 3 -software", 32, -10, 32, 0, true},
        {"\"/a b/m.nkf\" -fullscreen -bogus", 32, -1, 32, 1, false},
        {"x-version.nkf -depth 16", 32, -1, 16, 0, false},
    };
    for (const Case &c : cases) {
        ResetRequests(c.iDepthBefore);
        PreParseCommandLine(c.pszLine);
        EXPECT_EQ(g_iPixelFormatRequest, c.iFormat) << c.pszLine;
        EXPECT_EQ(g_iDepthBitsRequest, c.iDepth) << c.pszLine;
        EXPECT_EQ(g_bFullScreenRequest, c.bFullScreen) << c.pszLine;
        const char *pszEnv = std::getenv("LIBGL_ALWAYS_SOFTWARE");
        EXPECT_EQ(pszEnv != nullptr && std::string(pszEnv) == "1", c.bSoftwareEnv) << c.pszLine;
    }
}

TEST_F(CommandLine, OptionsAreAcceptedWithTheirArgumentsAndOthersAskForUsage)
{
    struct Case {
        const char *pszLine;
        int iUsage;
        int iDepth;
    };
    const Case cases[] = {
        {"-title x -p a b -pos 1 2 3 4", 0, 32},
        {"-single -stereo -fullscreen -nomotif -nogui -nosplash -software", 0, 32},
        {"-title \"a b\" -p -c -d -pos 1 2", 0, 32},
        {"-title", 0, 32},
        {"-bogus -other", 2, 32},
        {"-title x y -depth 16", 1, 16},
        {"-depth 24", 0, 32},
        {"-pixelformat 3 -x", 1, 32},
        {"-pixelformat -x", 1, 32},
        {"-version", 1, 32},
    };
    int iBoxes = NKGetMessageBoxCount();
    for (const Case &c : cases) {
        ResetRequests(32);
        EXPECT_EQ(UsageOf(c.pszLine), c.iUsage) << c.pszLine;
        EXPECT_EQ(g_iDepthBitsRequest, c.iDepth) << c.pszLine;
    }
    // Without a main window the usage asks nothing of anyone.
    EXPECT_EQ(NKGetMessageBoxCount(), iBoxes);
    EXPECT_TRUE(OpenLines().empty());
}

TEST_F(CommandLine, TheNamedFileIsOpenedFromItsOwnFolder)
{
    std::filesystem::create_directories(m_Dir + "/a b");
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/a b/m.nkf", "*NKF-\n"));
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/x-version.nkf", "*NKF-\n"));
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/m", "*NKF-\n"));
    struct Case {
        std::string line;
        std::string cwdBefore;
        std::string opened;  // the argument of open, quotes and all
        std::string cwd;
        int iUsage;
    };
    const std::string ab = m_Dir + "/a b";
    const Case cases[] = {
        {"\"" + ab + "/m.nkf\"", m_Dir, "\"" + ab + "/m.nkf\"", ab, 0},
        {ab + "/m.nkf", m_Dir, "\"" + ab + "/m.nkf\"", ab, 0},
        {"  \"" + ab + "/m.nkf\" -fullscreen -zz ", m_Dir, "\"" + ab + "/m.nkf\"", ab, 1},
        {"m.nkf -depth 16", ab, "\"" + ab + "/m.nkf\"", ab, 0},
        {"x-version.nkf", m_Dir, "\"" + m_Dir + "/x-version.nkf\"", m_Dir, 0},
        {"m", m_Dir, "\"" + m_Dir + "/m\"", m_Dir, 0},
        // Missing or unknown: "open" says so.
        {"\"" + ab + "/gone.nkf\"", m_Dir, "\"" + ab + "/gone.nkf\"", ab, 0},
        {"\"" + m_Dir + "/no dir/f.nkf\"", ab, "\"" + m_Dir + "/no dir/f.nkf\"", ab, 0},
        // Unquoted, a missing path ends at its first blank.
        {m_Dir + "/no dir/f.nkf", ab, "\"" + m_Dir + "/no\"", m_Dir, 1},
    };
    for (const Case &c : cases) {
        std::filesystem::current_path(c.cwdBefore);
        OpenLines().clear();
        EXPECT_EQ(UsageOf(c.line), c.iUsage) << c.line;
        ASSERT_EQ(OpenLines().size(), 1u) << c.line;
        EXPECT_EQ(OpenLines()[0], "PARAMS " + c.opened) << c.line;
        EXPECT_EQ(Cwd(), c.cwd) << c.line;
    }
}

TEST_F(CommandLine, AnEmptyOrOptionsOnlyLineOpensNothing)
{
    for (const char *pszLine : std::vector<const char *>{"", "   ", "-fullscreen m.nkf", nullptr}) {
        ParseCommandLine(pszLine);
        EXPECT_TRUE(OpenLines().empty()) << (pszLine != nullptr ? pszLine : "null");
    }
}

}  // namespace
