// tests/commands/test_command_files.cpp -- source, repeatfile, pausefile and
// resumefile through the interpreter: what the files run, what the runner
// reports at the message sink, pausing and resuming, Esc and Space, and the
// nesting limit. Files are made in a temporary directory.
#include "tests/commands/command_file_fixture.h"

#include "commands/nk_command_path.h"
#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"

namespace {

using CommandFiles = CommandFileTest;

const char *StatusText() { return NKGetHeadlessProgressUI()->GetStatusText().c_str(); }

}  // namespace

// ---- source -------------------------------------------------------------------

TEST_F(CommandFiles, SourceWithoutNameFails)
{
    EXPECT_EQ(ExecuteCommand("source"), 1);
    EXPECT_TRUE(m_Capture.HasLine("source: Cannot open file for reading. No filename specified",
                                  NK_MSG_ERROR));
}

TEST_F(CommandFiles, MissingFileIsReported)
{
    EXPECT_EQ(ExecuteCommand("source nothere.qlc"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("Error running command file. Could not find file.", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("File \"nothere.qlc\": no such file.", NK_MSG_ERROR));
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
}

TEST_F(CommandFiles, DirectoryIsNoCommandFile)
{
    // fopen opens a directory for reading on Linux; reading it then fails
    // at once, which must not pass for an empty file that ran.
    std::filesystem::create_directory("sub");
    EXPECT_EQ(ExecuteCommand("source sub"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("Error running command file. Could not find file.", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("File \"sub\": it is a folder.", NK_MSG_ERROR));
    EXPECT_FALSE(m_Capture.HasLine("Commands read from file sub."));
    EXPECT_EQ(ExecuteCommand("repeatfile . 2"), 1);
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
}

TEST_F(CommandFiles, FailingLineIsReportedAndFileGoesOn)
{
    Write("f.qlc", "xctest a\nbogus\nxctest c\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Error in file: f.qlc", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Line: 2", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Command: bogus", NK_MSG_ERROR));
    EXPECT_EQ(Ran(), Record({"a", "c"}));
    EXPECT_TRUE(m_Capture.HasLine("Commands read from file f.qlc.", NK_MSG_INFO));
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
}

// A file's lines keep their information quiet but show their warnings and
// errors: a failing line's own reason comes before the runner's report of
// it, in a nested file too, and debugging shows everything.
TEST_F(CommandFiles, LinesShowTheirWarningsAndErrorsButNotTheirInformation)
{
    Write("inner.qlc", "xctest fail=inner reason\n");
    Write("f.qlc", "xctest info=quiet line\nxctest warn=d3plot01 is missing\n"
                   "xctest fail=own reason\nbogus\nsource inner.qlc\n");
    const struct {
        const char *pszText;
        int iLevel;
        bool bShown, bShownDebugging;
    } cases[] = {
        {"quiet line", NK_MSG_INFO, false, true},
        {"d3plot01 is missing", NK_MSG_WARNING, true, true},
        {"own reason", NK_MSG_ERROR, true, true},
        {"Unrecognized command: bogus", NK_MSG_ERROR, true, true},
        {"inner reason", NK_MSG_ERROR, true, true},
    };
    for (bool bDebug : {false, true}) {
        SCOPED_TRACE(bDebug ? "debugging" : "quiet");
        m_Capture.Clear();
        g_CommandRunner.bDebugCommands = bDebug;
        EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
        for (const auto &c : cases)
            EXPECT_EQ(m_Capture.HasLine(c.pszText, c.iLevel), bDebug ? c.bShownDebugging : c.bShown)
                << c.pszText << "\n"
                << m_Capture.Text();
        // Each reason stands before the report of its line.
        const std::string text = m_Capture.Text();
        EXPECT_LT(text.find("own reason"), text.find("Line: 3")) << text;
        EXPECT_LT(text.find("Unrecognized command: bogus"), text.find("Line: 4")) << text;
        EXPECT_LT(text.find("inner reason"), text.find("Error in file: inner.qlc")) << text;
    }
}

TEST_F(CommandFiles, LinesOfAFileAreQuietUnlessDebugging)
{
    Write("f.qlc", "xctest a\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    EXPECT_FALSE(m_Capture.Contains(">> xctest a"));
    g_CommandRunner.bDebugCommands = true;
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    EXPECT_TRUE(m_Capture.Contains(">> xctest a"));
}

TEST_F(CommandFiles, CommentsBlankLinesAndCarriageReturns)
{
    Write("f.qlc", "# comment\r\n\r\n! other\r\nxctest x\r\n   \nxctest y");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    EXPECT_EQ(Ran(), Record({"x", "y"}));
    EXPECT_FALSE(m_Capture.Contains("Error in file"));
}

TEST_F(CommandFiles, LongLineRunsWhole)
{
    std::string word(400, 'w');
    Write("f.qlc", "xctest " + word + "\nbogus\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    ASSERT_EQ(Ran().size(), 1u);
    EXPECT_EQ(Ran()[0], word);
    EXPECT_TRUE(m_Capture.HasLine("Line: 2"));
}

TEST_F(CommandFiles, FileRunsInItsOwnDirectory)
{
    Write("sub/a.qlc", "source b.qlc\n");
    Write("sub/b.qlc", "xctest b\n");
    EXPECT_EQ(ExecuteCommand("source sub/a.qlc"), 0);
    EXPECT_EQ(Ran(), Record({"b"}));
    EXPECT_EQ(std::filesystem::current_path(), m_Dir);
    EXPECT_STREQ(g_CommandRunner.szCurrentCommandFile.GetText(), "sub/a.qlc");
}

TEST_F(CommandFiles, MissingDirectoryDoesNotRunAFileOfTheSameNameHere)
{
    Write("f.qlc", "xctest wrong\n");
    EXPECT_EQ(ExecuteCommand("source nodir/f.qlc"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("Error running command file. Could not find file.", NK_MSG_ERROR));
    EXPECT_TRUE(Ran().empty());
    EXPECT_EQ(std::filesystem::current_path(), m_Dir);
}

TEST_F(CommandFiles, QuotedNameMayHoldBlanks)
{
    Write("my dir/f.qlc", "xctest q\n");
    EXPECT_EQ(ExecuteCommand("source \"my dir/f.qlc\""), 0);
    EXPECT_EQ(Ran(), Record({"q"}));
}

// A name is put into a command line in double quotes; a double quote or a
// line break in it would end the argument or the line early and name
// another file, so it is refused with an error that names it, and no line
// is made.
TEST_F(CommandFiles, NamesNoCommandLineCanCarryAreRefused)
{
    struct Case {
        const char *pszPath;
        const char *pszLine;  // null: refused
    } cases[] = {{"a b.nkf", "open \"a b.nkf\""},
                 {"/d/plain.nkf", "open \"/d/plain.nkf\""},
                 {"x\"y.nkf", nullptr},
                 {"a\nb.nkf", nullptr},
                 {"a\rb.nkf", nullptr}};
    for (const Case &c : cases) {
        m_Capture.Clear();
        NKString line("old");
        EXPECT_EQ(NKPathCommandLine("open", c.pszPath, &line), c.pszLine != nullptr) << c.pszPath;
        EXPECT_STREQ(line.GetText(), c.pszLine != nullptr ? c.pszLine : "") << c.pszPath;
        // (A line break in the name breaks the message's line too.)
        const std::string message =
            std::string("File name contains a double quote or a line break: ") + c.pszPath;
        EXPECT_EQ(m_Capture.Contains(message.substr(0, message.find_first_of("\r\n"))),
                  c.pszLine == nullptr)
            << c.pszPath;
    }
}

TEST_F(CommandFiles, SourceOfTheLogFileIsRefused)
{
    EXPECT_EQ(ExecuteCommand("log t.log"), 0);
    EXPECT_EQ(ExecuteCommand("source t.log"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Already logging commands to t.log ", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("You must stop logging before you can open the command file.",
                                  NK_MSG_ERROR));
}

// ---- repeatfile ---------------------------------------------------------------

TEST_F(CommandFiles, RepeatFileRunsCountTimes)
{
    Write("r.qlc", "xctest r\n");
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc 3"), 0);
    EXPECT_EQ(Ran(), Record({"r", "r", "r"}));
    EXPECT_TRUE(m_Capture.HasLine("Commands read from file r.qlc 3 times.", NK_MSG_INFO));
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc"), 0);
    EXPECT_EQ(Ran().size(), 4u);
}

TEST_F(CommandFiles, RepeatCountZeroFailsAndNegativeRunsNothing)
{
    Write("r.qlc", "xctest r\n");
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc 0"), 1);
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc -2"), 0);
    EXPECT_TRUE(Ran().empty());
    EXPECT_EQ(ExecuteCommand("repeatfile"), 1);
    EXPECT_TRUE(m_Capture.HasLine("repeatfile: Cannot open file for reading. No filename specified",
                                  NK_MSG_ERROR));
}

TEST_F(CommandFiles, LineCounterRestartsInEachRepetition)
{
    Write("r.qlc", "xctest a\nbogus\n");
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc 2"), 0);
    int iLine2 = 0;
    for (const CapturedLine &line : m_Capture.Lines()) iLine2 += line.text == "Line: 2";
    EXPECT_EQ(iLine2, 2);
    EXPECT_FALSE(m_Capture.Contains("Line: 4"));
}

// ---- pausing and resuming -----------------------------------------------------

TEST_F(CommandFiles, PauseAndResume)
{
    Write("f.qlc", "xctest 1\nxctest 2\npausefile\nxctest 4\nxctest 5\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 1);
    EXPECT_EQ(Ran(), Record({"1", "2"}));
    EXPECT_TRUE(g_CommandRunner.bCommandFilePaused);
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
    EXPECT_EQ(NKGetPausedCommandFile().lineReached, 3);
    EXPECT_STREQ(StatusText(), "Execution of command file paused. Press 'c' to continue.");
    EXPECT_TRUE(m_Capture.HasLine("Command file paused after line 3 ", NK_MSG_INFO));
    EXPECT_TRUE(m_Capture.HasLine("Use \"resumefile\" or press 'c' to continue", NK_MSG_INFO));

    EXPECT_EQ(ExecuteCommand("resumefile"), 0);
    EXPECT_EQ(Ran(), Record({"1", "2", "4", "5"}));
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);

    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("resumefile"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Cannot resume command file execution, no command file paused",
                                  NK_MSG_ERROR));
}

TEST_F(CommandFiles, ResumeRunsInTheDirectoryOfThePause)
{
    Write("sub/p.qlc", "pausefile\nsource q.qlc\n");
    Write("sub/q.qlc", "xctest q\n");
    EXPECT_EQ(ExecuteCommand("source sub/p.qlc"), 1);
    EXPECT_EQ(std::filesystem::current_path(), m_Dir);
    EXPECT_EQ(ExecuteCommand("resumefile"), 0);
    EXPECT_EQ(Ran(), Record({"q"}));
    EXPECT_EQ(std::filesystem::current_path(), m_Dir);
}

TEST_F(CommandFiles, ResumeWithoutThePauseDirectoryFails)
{
    Write("sub/p.qlc", "pausefile\nxctest p\n");
    Write("p.qlc", "xctest wrong1\nxctest wrong2\n");
    EXPECT_EQ(ExecuteCommand("source sub/p.qlc"), 1);
    std::filesystem::remove_all(m_Dir / "sub");
    EXPECT_EQ(ExecuteCommand("resumefile"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Error resuming command file execution. Could not open file.",
                                  NK_MSG_ERROR));
    EXPECT_TRUE(Ran().empty());
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);
    EXPECT_EQ(std::filesystem::current_path(), m_Dir);
}

TEST_F(CommandFiles, PauseInSecondRepetitionResumesAtTheRightLine)
{
    Write("r.qlc", "xctest a\nxctest pauseat2\nxctest c\n");
    EXPECT_EQ(ExecuteCommand("repeatfile r.qlc 3"), 0);
    EXPECT_EQ(Ran(), Record({"a", "pauseat2", "c", "a", "pauseat2"}));
    ASSERT_TRUE(g_CommandRunner.bCommandFilePaused);
    EXPECT_EQ(NKGetPausedCommandFile().lineReached, 2);
    EXPECT_EQ(NKGetPausedCommandFile().repetition, 1);
    EXPECT_EQ(NKGetPausedCommandFile().repeatCount, 3);
    EXPECT_EQ(ExecuteCommand("resumefile"), 0);
    EXPECT_EQ(Ran(), Record({"a", "pauseat2", "c", "a", "pauseat2", "c", "a", "pauseat2", "c"}));
}

TEST_F(CommandFiles, ResumeAfterFileShrankFails)
{
    Write("f.qlc", "xctest 1\nxctest 2\npausefile\nxctest 4\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 1);
    Write("f.qlc", "xctest 1\n");
    EXPECT_EQ(ExecuteCommand("resumefile"), 1);
    EXPECT_TRUE(m_Capture.HasLine(
        "Error resuming command file execution. File length might have changed.", NK_MSG_ERROR));
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);
}

TEST_F(CommandFiles, PauseFileOutsideAFileFails)
{
    EXPECT_EQ(ExecuteCommand("pausefile"), 1);
    EXPECT_TRUE(m_Capture.HasLine(
        "Cannot pause command file execution, no command file is being executed", NK_MSG_ERROR));
}

TEST_F(CommandFiles, PauseInNestedFileIsIgnored)
{
    Write("outer.qlc", "source inner.qlc\nxctest after\n");
    Write("inner.qlc", "pausefile\nxctest inner\n");
    EXPECT_EQ(ExecuteCommand("source outer.qlc"), 0);
    EXPECT_EQ(Ran(), Record({"inner", "after"}));
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);
    // Output is off for the lines of a file, but the warning is shown.
    EXPECT_TRUE(m_Capture.HasLine("Pausing of command files not supported in nested files",
                                  NK_MSG_WARNING));
}

TEST_F(CommandFiles, ResumeWithNothingPausedFromTheRunner)
{
    EXPECT_EQ(NKCommandRunFile("", 0, true), 1);
    EXPECT_TRUE(m_Capture.HasLine("Cannot resume, no file currently paused.", NK_MSG_ERROR));
}

TEST_F(CommandFiles, NewFileForgetsThePausedOne)
{
    Write("f.qlc", "pausefile\nxctest 2\n");
    Write("g.qlc", "xctest g\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 1);
    EXPECT_EQ(ExecuteCommand("source g.qlc"), 0);
    EXPECT_FALSE(g_CommandRunner.bCommandFilePaused);
    EXPECT_EQ(ExecuteCommand("resumefile"), 1);
}

// ---- Esc and Space ------------------------------------------------------------

TEST_F(CommandFiles, EscAbortsTheWholeStack)
{
    Write("outer.qlc", "xctest o1\nsource inner.qlc\nxctest o2\n");
    Write("inner.qlc", "xctest i1\nxatest\nxctest i2\n");
    EXPECT_EQ(ExecuteCommand("source outer.qlc"), 1);
    EXPECT_EQ(Ran(), Record({"o1", "i1"}));
    int iAborted = 0;
    for (const CapturedLine &line : m_Capture.Lines())
        iAborted += line.text == "Command file aborted";
    EXPECT_EQ(iAborted, 1);
    EXPECT_FALSE(m_Capture.Contains("Error in file"));
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
    // The next file runs normally.
    Write("next.qlc", "xctest n\n");
    EXPECT_EQ(ExecuteCommand("source next.qlc"), 0);
    EXPECT_EQ(Ran().back(), "n");
}

TEST_F(CommandFiles, SpacePausesTheFile)
{
    Write("f.qlc", "xctest 1\nxbtest\nxctest 3\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 1);
    EXPECT_TRUE(g_CommandRunner.bCommandFilePaused);
    EXPECT_EQ(NKGetPausedCommandFile().lineReached, 2);
    EXPECT_EQ(ExecuteCommand("resumefile"), 0);
    EXPECT_EQ(Ran(), Record({"1", "3"}));
}

TEST_F(CommandFiles, PressBeforeTheFileStartsDoesNotCount)
{
    NKKeyFilterSimulatePress(NK_FILTER_KEY_ESCAPE);
    Write("f.qlc", "xctest 1\nxctest 2\n");
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    EXPECT_EQ(Ran(), Record({"1", "2"}));
}

// ---- nesting ------------------------------------------------------------------

TEST_F(CommandFiles, SelfSourcingFileStopsAtTheNestingLimit)
{
    Write("self.qlc", "source self.qlc\nxctest after\n");
    EXPECT_EQ(ExecuteCommand("source self.qlc"), 0);
    int iTooDeep = 0;
    for (const CapturedLine &line : m_Capture.Lines())
        iTooDeep += line.text == "Command files nested too deeply";
    EXPECT_EQ(iTooDeep, 1);
    EXPECT_EQ(Ran().size(), (size_t)NK_MAX_COMMAND_FILE_DEPTH);
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
    // The program goes on.
    EXPECT_EQ(ExecuteCommand("xctest later"), 0);
}

TEST_F(CommandFiles, NestedMissingFileKeepsTheOuterFileRunning)
{
    Write("outer.qlc", "source missing.qlc\nxctest after\npausefile\nxctest paused\n");
    // The outer file still counts as running, so its pausefile line pauses it.
    EXPECT_EQ(ExecuteCommand("source outer.qlc"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Error running command file. Could not find file."));
    EXPECT_TRUE(m_Capture.HasLine("Command: source missing.qlc"));
    EXPECT_EQ(Ran(), Record({"after"}));
    EXPECT_TRUE(g_CommandRunner.bCommandFilePaused);
    EXPECT_FALSE(g_CommandRunner.bRunningCommandFile);
}

TEST_F(CommandFiles, CurrentCommandFileIsTheOutermost)
{
    Write("outer.qlc", "source inner.qlc\n");
    Write("inner.qlc", "xctest i\n");
    EXPECT_EQ(ExecuteCommand("source outer.qlc"), 0);
    EXPECT_STREQ(g_CommandRunner.szCurrentCommandFile.GetText(), "outer.qlc");
}
