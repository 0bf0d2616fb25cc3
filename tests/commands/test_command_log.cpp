// tests/commands/test_command_log.cpp -- log and nolog (what reaches the log
// file, exactly), and the poll file: pollfile, nopollfile, poll_delay and the
// check that runs the lines appended to the file. Files are made in a
// temporary directory.
#include "tests/commands/command_file_fixture.h"

namespace {

using CommandLog = CommandFileTest;
using PollFile = CommandFileTest;

void Append(const std::string &name, const std::string &text)
{
    std::ofstream(name, std::ios::binary | std::ios::app) << text;
}

}  // namespace

// ---- stdout --------------------------------------------------------------------

// `stdout nomessages` silences the console sink for the commands after it;
// `stdout messages` brings their lines back. The pick rows have no handler.
TEST_F(CommandLog, StdoutSwitchesTheConsoleMessages)
{
    NKMessageSink pfnCapture = nullptr;
    void *pCaptureUser = nullptr;
    NKSetMessageSink(nullptr, nullptr, &pfnCapture, &pCaptureUser);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExecuteCommand("stdout nomessages"), 0);
    testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExecuteCommand("poll_delay 2"), 0);
    EXPECT_EQ(ExecuteCommand("poll_delay x"), 1);
    const std::string silent = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ExecuteCommand("stdout messages"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExecuteCommand("poll_delay 2"), 0);
    const std::string shown = testing::internal::GetCapturedStderr();
    NKSetMessageSink(pfnCapture, pCaptureUser);
    EXPECT_EQ(silent, "");
    EXPECT_NE(shown.find("\nSetting delay for checking pollfile to 2 seconds (default: 1)\n"),
              std::string::npos)
        << shown;
    for (const char *psz :
         {"stdout pickinfo", "stdout nopickinfo", "stdout pickcoords", "stdout nopickcoords"})
        EXPECT_EQ(ExecuteCommand(psz), NK_CMD_NOT_MINE) << psz;
    EXPECT_TRUE(NKGetConsoleMessages());
}

// ---- log and nolog ------------------------------------------------------------

TEST_F(CommandLog, TopLevelLinesAreLoggedExactly)
{
    EXPECT_EQ(ExecuteCommand("log t.log"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Writing commands to log-file: t.log", NK_MSG_INFO));
    EXPECT_EQ(ExecuteCommand("# x"), 0);
    EXPECT_EQ(ExecuteCommand("nolog"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Stop writing commands to log-file: t.log", NK_MSG_INFO));
    EXPECT_EQ(NKTestReadFile("t.log"), "# x\n\nnolog\n\n");
}

TEST_F(CommandLog, LinesOfACommandFileAreNotLogged)
{
    Write("f.qlc", "xctest a\n# inside\n");
    ExecuteCommand("log t.log");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    ExecuteCommand("nolog");
    EXPECT_EQ(NKTestReadFile("t.log"), "source f.qlc\n\nnolog\n\n");
    EXPECT_EQ(Ran(), Record({"a"}));
}

TEST_F(CommandLog, DefaultNameIsQuolinLog)
{
    EXPECT_EQ(ExecuteCommand("log"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Writing commands to log-file: Quolin.log"));
    ExecuteCommand("xctest 1");
    EXPECT_EQ(NKTestReadFile("Quolin.log"), "xctest 1\n\n");
}

TEST_F(CommandLog, SecondLogWithSameNameEmptiesTheFile)
{
    ExecuteCommand("log t.log");
    ExecuteCommand("xctest 1");
    ExecuteCommand("log t.log");
    ExecuteCommand("xctest 2");
    ExecuteCommand("nolog");
    EXPECT_EQ(NKTestReadFile("t.log"), "xctest 2\n\nnolog\n\n");
}

TEST_F(CommandLog, LogToAnotherFileAfterNoLog)
{
    ExecuteCommand("log a.log");
    ExecuteCommand("nolog");
    ExecuteCommand("xctest off");
    ExecuteCommand("log b.log");
    ExecuteCommand("xctest 1");
    ExecuteCommand("nolog");
    EXPECT_EQ(NKTestReadFile("a.log"), "nolog\n\n");
    EXPECT_EQ(NKTestReadFile("b.log"), "xctest 1\n\nnolog\n\n");
}

TEST_F(CommandLog, FailedOpenThenLogOpensAgain)
{
    EXPECT_EQ(ExecuteCommand("log nodir/x.log"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("log: Unable to open file for writing: nodir/x.log", NK_MSG_ERROR));
    EXPECT_FALSE(g_CommandRunner.bLogCommands);
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("log t.log"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Writing commands to log-file: t.log"));
    EXPECT_FALSE(m_Capture.Contains("Appending"));
    ExecuteCommand("xctest 1");
    EXPECT_EQ(NKTestReadFile("t.log"), "xctest 1\n\n");
}

TEST_F(CommandLog, QuotedLogNameMayHoldBlanks)
{
    EXPECT_EQ(ExecuteCommand("log \"my log.txt\""), 0);
    ExecuteCommand("xctest 1");
    EXPECT_EQ(NKTestReadFile("my log.txt"), "xctest 1\n\n");
}

TEST_F(CommandLog, WriterWritesOnlyWhileAllowed)
{
    EXPECT_FALSE(NKCommandLogWrite("x"));  // no stream, logging off
    ExecuteCommand("log t.log");
    EXPECT_TRUE(NKCommandLogWrite("#Selected part 1, element 2. Nearest node: 3\n"));
    g_CommandRunner.bRunningCommandFile = true;
    EXPECT_FALSE(NKCommandLogWrite("not this\n"));
    g_CommandRunner.bRunningCommandFile = false;
    // Flushed at once: the file holds the text while the stream is open.
    EXPECT_EQ(NKTestReadFile("t.log"), "#Selected part 1, element 2. Nearest node: 3\n");
}

// ---- poll file ----------------------------------------------------------------

TEST_F(PollFile, LinesAppendedAfterStartRunAtEachCheck)
{
    Write("p.txt", "xctest old\n");
    EXPECT_EQ(ExecuteCommand("pollfile p.txt"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Polling for commands from file p.txt", NK_MSG_INFO));
    EXPECT_TRUE(NKIsPollFileActive());
    EXPECT_EQ(NKCheckPollFile(), 0);
    Append("p.txt", "xctest new1\r\nxctest new2\n");
    EXPECT_EQ(NKCheckPollFile(), 2);
    EXPECT_EQ(Ran(), Record({"new1", "new2"}));
    EXPECT_EQ(NKCheckPollFile(), 0);
}

TEST_F(PollFile, UnfinishedLineWaitsForItsEnd)
{
    ExecuteCommand("pollfile p.txt");  // the file does not exist yet
    EXPECT_EQ(NKCheckPollFile(), 0);
    Append("p.txt", "xctest par");
    EXPECT_EQ(NKCheckPollFile(), 0);
    Append("p.txt", "t\n");
    EXPECT_EQ(NKCheckPollFile(), 1);
    EXPECT_EQ(Ran(), Record({"part"}));
}

TEST_F(PollFile, FileThatShrankIsReadFromItsStart)
{
    Write("p.txt", "xctest one\nxctest two\n");
    ExecuteCommand("pollfile p.txt");
    Write("p.txt", "xctest 3\n");
    EXPECT_EQ(NKCheckPollFile(), 1);
    EXPECT_EQ(Ran(), Record({"3"}));
}

TEST_F(PollFile, CheckWaitsWhileACommandFileRuns)
{
    ExecuteCommand("pollfile p.txt");
    Append("p.txt", "xctest later\n");
    g_CommandRunner.bRunningCommandFile = true;
    EXPECT_EQ(NKCheckPollFile(), 0);
    g_CommandRunner.bRunningCommandFile = false;
    EXPECT_EQ(NKCheckPollFile(), 1);
}

TEST_F(PollFile, PolledNoPollFileStopsTheRest)
{
    ExecuteCommand("pollfile p.txt");
    Append("p.txt", "xctest 1\nnopollfile\nxctest 3\n");
    EXPECT_EQ(NKCheckPollFile(), 2);
    EXPECT_EQ(Ran(), Record({"1"}));
    EXPECT_FALSE(NKIsPollFileActive());
    EXPECT_EQ(NKCheckPollFile(), 0);
}

TEST_F(PollFile, SecondPollFileIsRefused)
{
    EXPECT_EQ(ExecuteCommand("pollfile p.txt"), 0);
    EXPECT_EQ(ExecuteCommand("pollfile q.txt"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Already polling on file p.txt", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine(
        "You must stop polling from this file before attaching to new file.", NK_MSG_ERROR));
    EXPECT_STREQ(g_CommandRunner.PollFile.szFileName.GetText(), "p.txt");
}

TEST_F(PollFile, MissingNameIsRefused)
{
    EXPECT_EQ(ExecuteCommand("pollfile"), 1);
    EXPECT_TRUE(m_Capture.HasLine("pollfile: Cannot open file for reading. No filename specified",
                                  NK_MSG_ERROR));
    EXPECT_FALSE(NKIsPollFileActive());
}

TEST_F(PollFile, NegativeDelayBecomesZero)
{
    EXPECT_EQ(ExecuteCommand("poll_delay -3"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Setting delay for checking pollfile to 0 seconds (default: 1)"));
    EXPECT_EQ(g_CommandRunner.PollFile.fDelay, 0.0f);
    EXPECT_EQ(ExecuteCommand("poll_delay"), 0);
    EXPECT_EQ(g_CommandRunner.PollFile.fDelay, 1.0f);
    // A delay that is no finite number is refused and the delay kept.
    for (const char *psz :
         {"poll_delay inf", "poll_delay nan", "poll_delay 1e39", "poll_delay x"}) {
        EXPECT_EQ(ExecuteCommand(psz), 1) << psz;
        EXPECT_EQ(g_CommandRunner.PollFile.fDelay, 1.0f) << psz;
    }
    EXPECT_TRUE(m_Capture.HasLine("poll_delay: Illegal parameter specified", NK_MSG_ERROR));
}

TEST_F(PollFile, DelaySurvivesPollFileAndRestartsTheTimer)
{
    ExecuteCommand("poll_delay 2.5");
    EXPECT_EQ(ExecuteCommand("pollfile p.txt"), 0);
    EXPECT_TRUE(NKIsWindowTimerRunning(NK_POLL_FILE_TIMER));
    EXPECT_EQ(NKGetWindowTimerPeriod(NK_POLL_FILE_TIMER), 2500);
    ExecuteCommand("poll_delay 0.5");
    EXPECT_EQ(NKGetWindowTimerPeriod(NK_POLL_FILE_TIMER), 500);
    EXPECT_EQ(ExecuteCommand("nopollfile"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Stop polling for commands from file p.txt", NK_MSG_INFO));
    EXPECT_FALSE(NKIsWindowTimerRunning(NK_POLL_FILE_TIMER));
    EXPECT_EQ(g_CommandRunner.PollFile.fDelay, 0.5f);
}

TEST_F(PollFile, NoPollFileWhileIdleSaysNothing)
{
    EXPECT_EQ(ExecuteCommand("nopollfile"), 0);
    EXPECT_FALSE(m_Capture.Contains("Stop polling"));
}

TEST_F(PollFile, NothingIsLoggedWhilePolling)
{
    ExecuteCommand("log t.log");
    ExecuteCommand("pollfile p.txt");
    ExecuteCommand("xctest 1");
    Append("p.txt", "xctest polled\n");
    NKCheckPollFile();
    ExecuteCommand("nopollfile");
    ExecuteCommand("xctest 2");
    ExecuteCommand("nolog");
    EXPECT_EQ(NKTestReadFile("t.log"), "pollfile p.txt\n\nxctest 2\n\nnolog\n\n");
}

// ---- the runner record ----------------------------------------------------------

// The commands that change the runner's state change it in g_CommandRunner,
// and a command file's lines see the file's run and their level there.
TEST_F(CommandLog, CommandsChangeTheRunnerRecord)
{
    struct Case {
        const char *pszLine;
        bool (*pfnHolds)();
    };
    Write("p.txt", "");
    const Case cases[] = {
        {"log r.log",
         [] {
             return g_CommandRunner.bLogCommands && g_CommandRunner.pLogFile != nullptr &&
                    std::string(g_CommandRunner.szLogFileName.GetText()) == "r.log";
         }},
        {"nolog", [] { return !g_CommandRunner.bLogCommands; }},
        {"poll_delay 3", [] { return g_CommandRunner.PollFile.fDelay == 3.0f; }},
        {"pollfile p.txt",
         [] {
             return g_CommandRunner.PollFile.bActive &&
                    std::string(g_CommandRunner.PollFile.szFileName.GetText()) == "p.txt";
         }},
        {"nopollfile", [] { return !g_CommandRunner.PollFile.bActive; }},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ExecuteCommand(c.pszLine), 0) << c.pszLine;
        EXPECT_TRUE(c.pfnHolds()) << c.pszLine;
        EXPECT_EQ(g_CommandRunner.iCommandLevel, 0) << c.pszLine;
    }
    // A line of a command file runs one level down, with the file's run on
    // the record; both are off again when the file ends.
    Write("inner.qlc", "xctest runner\n");
    EXPECT_EQ(ExecuteCommand("xctest runner"), 0);
    EXPECT_EQ(ExecuteCommand("source inner.qlc"), 0);
    EXPECT_EQ(Ran(), Record({"level=1 file=0 depth=0", "level=2 file=1 depth=1"}));
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
    EXPECT_EQ(g_CommandRunner.iCommandLevel, 0);
}
