// tests/commands/test_command_interpreter.cpp -- ExecuteCommand,
// DispatchCommand and ExecuteOnAllParts seen from outside: what reaches a
// handler installed in a chain slot, the messages at a capturing sink, the
// status line, the command log and the nesting level.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_references.h"
#include "platform/nk_progress_ui.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// The text the headless status bar shows last.
const char *StatusText() { return NKGetHeadlessProgressUI()->GetStatusText().c_str(); }

struct Call {
    int id;
    std::string name;
    std::string arguments;
    int level;
    bool bCollecting;
};

std::vector<Call> sg_Calls;
std::map<int, int> sg_Answers;  // id -> result; ids not listed answer 3

int RecordingHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    sg_Calls.push_back({pEntry->id, pEntry->name, pszArguments, g_CommandRunner.iCommandLevel,
                        NKIsMessageCollectionOpen()});
    auto it = sg_Answers.find(pEntry->id);
    return it == sg_Answers.end() ? NK_CMD_NOT_MINE : it->second;
}

// Claims everything it sees with result 0; marks the order of the chain.
std::vector<std::string> sg_Order;
int FirstClaimer(CommandTableEntry *, const char *)
{
    sg_Order.push_back("first");
    return NK_CMD_NOT_MINE;
}
int SecondClaimer(CommandTableEntry *, const char *)
{
    sg_Order.push_back("second");
    return NK_CMD_FAILED;
}

// Runs a nested line from inside a handler, as command files do.
int NestingHandler(CommandTableEntry *pEntry, const char *)
{
    if (pEntry->id == NK_CID_SOURCE) return ExecuteCommand("post 1 2");
    return RecordingHandler(pEntry, "");
}

// A loaded model of three parts (none selected) around each test, a
// recording handler in the last slot of the chain and every other slot empty.
class CommandInterpreter : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        MakeFrames(1, 3);
        sg_Calls.clear();
        sg_Answers.clear();
        sg_Order.clear();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_Saved[i] = NKSetCommandHandler(i, nullptr);
        NKSetCommandHandler(NK_HANDLER_SYSTEM, RecordingHandler);
        NKSetProgressUI(nullptr);
        NKGetHeadlessProgressUI()->Reset();
        NKSetStatusText("before");
        g_CommandRunner.bDebugCommands = false;
        g_CommandRunner.bRunningCommandFile = false;
        g_CommandRunner.bLogCommands = false;
        g_CommandRunner.pLogFile = nullptr;
    }
    void TearDown() override
    {
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_Saved[i]);
        g_CommandRunner.bDebugCommands = false;
        g_CommandRunner.bRunningCommandFile = false;
        g_CommandRunner.bLogCommands = false;
        g_CommandRunner.pLogFile = nullptr;
        EXPECT_EQ(g_CommandRunner.iCommandLevel, 0);
        NKModelTest::TearDown();
    }
    // A fresh model whose geometry has one part per entry, selected as given.
    void MakeParts(const std::vector<bool> &selected)
    {
        NKDestroyModel(g_pModel);
        g_pModel = NKCreateModel();
        NKGeometry *pGeo = MakeFrames(1, static_cast<int>(selected.size()));
        for (size_t i = 0; i < selected.size(); i++) pGeo->pParts[i].bSelected = selected[i];
    }
    // No frames: no model is loaded.
    void UnloadModel()
    {
        NKDestroyModel(g_pModel);
        g_pModel = NKCreateModel();
    }
    // Answers 0 for every id the handler sees.
    void ClaimAll(std::initializer_list<int> ids)
    {
        for (int id : ids) sg_Answers[id] = NK_CMD_DONE;
    }
    const std::string &LastArguments() { return sg_Calls.back().arguments; }

    NKCommandHandler m_Saved[NK_NUM_HANDLER_SLOTS];
    MessageCapture m_Capture;
};

}  // namespace

// ---- the model core's command-line slot ---------------------------------------

// Once the interpreter has filled the slot, a line the model core runs (after
// fitting transformations, "rotationpoint model") reaches the handler chain.
TEST_F(CommandInterpreter, CoreRunsCommandLinesThroughTheInstalledSlot)
{
    NKModelHooks saved = NKSetModelHooks(NKModelHooks());
    NKLoadHooks savedLoad = NKGetLoadHooks();
    EXPECT_EQ(NKRunCommandLine("rotationpoint model"), NK_CMD_NOT_MINE);
    EXPECT_TRUE(sg_Calls.empty());
    NKInstallCommandHooks();
    ClaimAll({NK_CID_ROTATIONPOINT});
    EXPECT_EQ(NKRunCommandLine("rotationpoint model"), NK_CMD_DONE);
    ASSERT_EQ(sg_Calls.size(), 1u);
    EXPECT_EQ(sg_Calls[0].id, NK_CID_ROTATIONPOINT);
    NKSetModelHooks(saved);
    NKSetLoadHooks(savedLoad);
}

// ---- arguments handed to the handler -----------------------------------------

TEST_F(CommandInterpreter, TwoWordCommandDropsItsSecondWord)
{
    ClaimAll({NK_CID_SOUND_ADD});
    EXPECT_EQ(ExecuteCommand("sound add 3 4"), 0);
    ASSERT_EQ(sg_Calls.size(), 1u);
    EXPECT_EQ(sg_Calls[0].name, "sound add");
    EXPECT_EQ(LastArguments(), "PARAMS 3 4");

    EXPECT_EQ(ExecuteCommand("sound a 3 4"), 0);
    EXPECT_EQ(sg_Calls.back().name, "sound add");
    EXPECT_EQ(LastArguments(), "PARAMS 3 4");
}

TEST_F(CommandInterpreter, KeptSubCommandStaysInFront)
{
    ClaimAll({NK_CID_TRANSPARENT, NK_CID_LP});
    ExecuteCommand("transparent nice");
    EXPECT_EQ(sg_Calls.back().name, "transparent nice");
    EXPECT_EQ(LastArguments(), "PARAMS nice");
    // At most two words are looked up: "lp current" is found exactly.
    ExecuteCommand("lp current add");
    EXPECT_EQ(sg_Calls.back().name, "lp current");
    EXPECT_EQ(LastArguments(), "PARAMS current add");
}

TEST_F(CommandInterpreter, SeparatorRunsAfterCommandWordsAreSkipped)
{
    ClaimAll({NK_CID_VECTORS, NK_CID_SOUND_ADD});
    ExecuteCommand("vectors 1 5");
    EXPECT_EQ(sg_Calls.back().name, "vectors");
    EXPECT_EQ(LastArguments(), "PARAMS 1 5");
    ExecuteCommand("vectors,1,5");
    EXPECT_EQ(LastArguments(), "PARAMS 1,5");
    ExecuteCommand("vectors\t1\t5");
    EXPECT_EQ(LastArguments(), "PARAMS 1\t5");
    ExecuteCommand("sound  add 3");
    EXPECT_EQ(sg_Calls.back().name, "sound add");
    EXPECT_EQ(LastArguments(), "PARAMS 3");
    ExecuteCommand("sound add  ,\t3");
    EXPECT_EQ(LastArguments(), "PARAMS 3");
    ExecuteCommand("  vectors   ");
    EXPECT_EQ(LastArguments(), "PARAMS ");
}

TEST_F(CommandInterpreter, SemicolonIsACommandOfItsOwn)
{
    ClaimAll({NK_CID_SEMICOLON});
    EXPECT_EQ(ExecuteCommand("; echo hi"), 0);
    EXPECT_EQ(sg_Calls.back().name, ";");
    EXPECT_EQ(LastArguments(), "PARAMS echo hi");
}

// ---- refusals and errors ------------------------------------------------------

TEST_F(CommandInterpreter, AmbiguousAndUnknownCommands)
{
    EXPECT_EQ(ExecuteCommand("plt s 1"), 3);
    EXPECT_TRUE(m_Capture.HasLine("Ambiguous command: plt", NK_MSG_ERROR));
    EXPECT_EQ(ExecuteCommand("frob"), 3);
    EXPECT_TRUE(m_Capture.HasLine("Unrecognized command: frob", NK_MSG_ERROR));
    EXPECT_EQ(ExecuteCommand("read x"), 3);
    EXPECT_TRUE(m_Capture.HasLine("Ambiguous command: read", NK_MSG_ERROR));
    EXPECT_EQ(ExecuteCommand("FRINGES"), 3);
    EXPECT_TRUE(m_Capture.HasLine("Unrecognized command: FRINGES", NK_MSG_ERROR));
    EXPECT_TRUE(sg_Calls.empty());
    EXPECT_STREQ(StatusText(), "before");
}

TEST_F(CommandInterpreter, UnavailableCommandsWarnAndAnswerZero)
{
    EXPECT_EQ(ExecuteCommand("stereo"), 0);
    EXPECT_TRUE(
        m_Capture.HasLine("stereo: Command is obsolete and not longer in use!", NK_MSG_WARNING));
    EXPECT_EQ(ExecuteCommand("videotext"), 0);
    EXPECT_TRUE(
        m_Capture.HasLine("videotext: Command not available in WINDOWS version!", NK_MSG_WARNING));
    EXPECT_EQ(ExecuteCommand("headlight"), 0);
    EXPECT_TRUE(m_Capture.HasLine(
        "headlight: Command not available in this version (CAVE version only)!", NK_MSG_WARNING));
    EXPECT_EQ(ExecuteCommand("vr debug on"), 0);
    EXPECT_TRUE(m_Capture.HasLine(
        "vr debug: Command not available in this version (VR version only)!", NK_MSG_WARNING));
    EXPECT_TRUE(sg_Calls.empty());
}

TEST_F(CommandInterpreter, FullNameAndWindowsOnlyRowsStillRun)
{
    ClaimAll({NK_CID_TESTCOMMANDS, NK_CID_DDE, NK_CID_EP});
    EXPECT_EQ(ExecuteCommand("testcommands a.qlc"), 0);
    EXPECT_EQ(sg_Calls.back().name, "testcommands");
    EXPECT_EQ(ExecuteCommand("dde"), 0);
    EXPECT_EQ(sg_Calls.back().name, "dde");
    // "ep a" must be typed in full, so the one-word "ep" takes the line.
    EXPECT_EQ(ExecuteCommand("ep a 1,2"), 0);
    EXPECT_EQ(sg_Calls.back().name, "ep");
    EXPECT_EQ(LastArguments(), "PARAMS a 1,2");
    EXPECT_EQ(ExecuteCommand("testc"), 3);
    EXPECT_TRUE(m_Capture.HasLine("Unrecognized command: testc", NK_MSG_ERROR));
}

TEST_F(CommandInterpreter, CommandsNeedingAModelAreRefusedWithoutOne)
{
    UnloadModel();
    ASSERT_FALSE(NKModelHasGeometry());
    ClaimAll({NK_CID_POST, NK_CID_VERSION});
    EXPECT_EQ(ExecuteCommand("post"), 2);
    EXPECT_TRUE(m_Capture.HasLine("> post", NK_MSG_INFO));
    EXPECT_TRUE(
        m_Capture.HasLine("No geometry loaded. Could not execute command: post", NK_MSG_ERROR));
    EXPECT_STREQ(StatusText(), "before");
    EXPECT_TRUE(sg_Calls.empty());
    // The word as typed is named.
    EXPECT_EQ(ExecuteCommand("pos 1"), 2);
    EXPECT_TRUE(m_Capture.HasLine("No geometry loaded. Could not execute command: pos"));
    // Commands that run without a model do.
    EXPECT_EQ(ExecuteCommand("version"), 0);
    EXPECT_EQ(sg_Calls.size(), 1u);
}

// ---- the chain ------------------------------------------------------------------

TEST_F(CommandInterpreter, UnclaimedCommandAnswersThreeSilently)
{
    EXPECT_EQ(ExecuteCommand("xatest"), 3);
    EXPECT_EQ(sg_Calls.size(), 1u);  // offered, not claimed
    EXPECT_FALSE(m_Capture.Contains("xatest:"));
    EXPECT_FALSE(m_Capture.Contains("Unrecognized"));
    EXPECT_STREQ(StatusText(), "before");
}

TEST_F(CommandInterpreter, ChainAsksSlotsInOrderUntilOneClaims)
{
    NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, FirstClaimer);
    NKSetCommandHandler(NK_HANDLER_VIEW, SecondClaimer);
    EXPECT_EQ(ExecuteCommand("post"), 1);
    EXPECT_EQ(sg_Order, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(sg_Calls.empty());  // the last slot was not asked
}

TEST_F(CommandInterpreter, HandlerSlotsCanBeFilledAndEmptied)
{
    EXPECT_EQ(NKGetCommandHandler(NK_HANDLER_SYSTEM), &RecordingHandler);
    EXPECT_EQ(NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr), &RecordingHandler);
    EXPECT_EQ(NKGetCommandHandler(NK_HANDLER_SYSTEM), nullptr);
    EXPECT_EQ(NKSetCommandHandler(NK_NUM_HANDLER_SLOTS, RecordingHandler), nullptr);
    EXPECT_EQ(NKSetCommandHandler(-1, RecordingHandler), nullptr);
    EXPECT_STREQ(NKGetCommandHandlerName(NK_HANDLER_FILES), "NKCommandHandleFiles");
    EXPECT_STREQ(NKGetCommandHandlerName(NK_HANDLER_SYSTEM), "NKCommandHandleSystem");
    EXPECT_STREQ(NKGetCommandHandlerName(99), "");
    EXPECT_EQ(ExecuteCommand("version"), 3);  // every slot empty
}

// ---- ExecuteCommand bookkeeping ---------------------------------------------------

TEST_F(CommandInterpreter, TopLevelSuccessShowsDone)
{
    ClaimAll({NK_CID_VERSION});
    EXPECT_EQ(ExecuteCommand("version"), 0);
    EXPECT_STREQ(StatusText(), "Done.");
    EXPECT_TRUE(sg_Calls.back().bCollecting);
    EXPECT_EQ(sg_Calls.back().level, 1);
    EXPECT_FALSE(NKIsMessageCollectionOpen());
}

TEST_F(CommandInterpreter, CommentsAndEmptyLinesAreDoneWithoutEcho)
{
    EXPECT_EQ(ExecuteCommand("# a comment"), 0);
    EXPECT_EQ(ExecuteCommand("   ! another"), 0);
    EXPECT_EQ(ExecuteCommand(""), 0);
    EXPECT_EQ(ExecuteCommand(" \t "), 0);
    EXPECT_TRUE(m_Capture.Lines().empty());
    EXPECT_STREQ(StatusText(), "Done.");
    EXPECT_TRUE(sg_Calls.empty());
}

TEST_F(CommandInterpreter, EchoMarksTheLevel)
{
    ClaimAll({NK_CID_VERSION});
    ExecuteCommand("  version  ");
    EXPECT_TRUE(m_Capture.HasLine("> version", NK_MSG_INFO));
    m_Capture.Clear();

    // A line at level 2 is echoed only while a command file runs.
    EXPECT_EQ(DispatchCommand("version", 2), 0);
    EXPECT_TRUE(m_Capture.Lines().empty());
    g_CommandRunner.bRunningCommandFile = true;
    DispatchCommand("version", 2);
    EXPECT_TRUE(m_Capture.HasLine(">> version"));
    m_Capture.Clear();
    DispatchCommand("version", 3);
    EXPECT_TRUE(m_Capture.Lines().empty());
    g_CommandRunner.bDebugCommands = true;
    DispatchCommand("version", 3);
    EXPECT_TRUE(m_Capture.HasLine(">>> version"));
}

TEST_F(CommandInterpreter, NestedLinesKeepTheLevel)
{
    NKSetCommandHandler(NK_HANDLER_FILES, NestingHandler);
    ClaimAll({NK_CID_POST});
    EXPECT_EQ(ExecuteCommand("source f.qlc"), 0);
    ASSERT_EQ(sg_Calls.size(), 1u);
    EXPECT_EQ(sg_Calls[0].level, 2);
    EXPECT_EQ(sg_Calls[0].name, "post");
    // A top-level "source" opens no collection of its own.
    EXPECT_FALSE(sg_Calls[0].bCollecting);
    EXPECT_EQ(g_CommandRunner.iCommandLevel, 0);
}

TEST_F(CommandInterpreter, LinesOfACommandFileAreCollectedOneByOne)
{
    NKSetCommandHandler(NK_HANDLER_FILES, NestingHandler);
    ClaimAll({NK_CID_POST});
    g_CommandRunner.bRunningCommandFile = true;
    ExecuteCommand("source f.qlc");
    ASSERT_EQ(sg_Calls.size(), 1u);
    EXPECT_TRUE(sg_Calls[0].bCollecting);
    EXPECT_FALSE(NKIsMessageCollectionOpen());
}

TEST_F(CommandInterpreter, TopLevelLinesAreLogged)
{
    FILE *pFile = std::tmpfile();
    ASSERT_NE(pFile, nullptr);
    g_CommandRunner.pLogFile = pFile;
    g_CommandRunner.bLogCommands = true;
    ClaimAll({NK_CID_VERSION});
    ExecuteCommand("version");
    ExecuteCommand("# note");
    g_CommandRunner.bRunningCommandFile = true;  // lines of command files are not logged
    ExecuteCommand("version 2");
    g_CommandRunner.bRunningCommandFile = false;
    g_CommandRunner.bLogCommands = false;
    ExecuteCommand("version 3");

    EXPECT_EQ(NKTestReadBack(pFile), "version\n\n# note\n\n");
}

TEST_F(CommandInterpreter, LoggingWithoutAStreamWritesNothing)
{
    g_CommandRunner.bLogCommands = true;
    ClaimAll({NK_CID_VERSION});
    EXPECT_EQ(ExecuteCommand("version"), 0);
}

TEST_F(CommandInterpreter, NullLineIsRefused)
{
    EXPECT_EQ(ExecuteCommand(nullptr), 1);
    EXPECT_EQ(DispatchCommand(nullptr, 1), 1);
    EXPECT_EQ(ExecuteUICommand(NKString()), 0);  // a null string is an empty line
}

// ---- ExecuteOnAllParts -------------------------------------------------------------

TEST_F(CommandInterpreter, RunsOverEveryRunOfSelectedParts)
{
    MakeParts({false, true, true, false, false, true, false, false});
    ClaimAll({NK_CID_UNPOST});
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %d", true), 0);
    ASSERT_EQ(sg_Calls.size(), 2u);
    EXPECT_EQ(sg_Calls[0].arguments, "PARAMS 2 3");
    EXPECT_EQ(sg_Calls[1].arguments, "PARAMS 6 6");
    EXPECT_TRUE(m_Capture.HasLine("Executed unpost on all selected parts", NK_MSG_INFO));
    EXPECT_FALSE(m_Capture.Contains("> unpost"));  // output was off meanwhile
    EXPECT_TRUE(NKIsMessageOutputOn());
}

TEST_F(CommandInterpreter, RunsOverUnselectedParts)
{
    MakeParts({false, true, true, false, false, true, false, false});
    ClaimAll({NK_CID_UNPOST});
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %d", false), 0);
    ASSERT_EQ(sg_Calls.size(), 3u);
    EXPECT_EQ(sg_Calls[0].arguments, "PARAMS 1 1");
    EXPECT_EQ(sg_Calls[1].arguments, "PARAMS 4 5");
    EXPECT_EQ(sg_Calls[2].arguments, "PARAMS 7 8");
    EXPECT_TRUE(m_Capture.HasLine("Executed unpost on all unselected parts"));
}

TEST_F(CommandInterpreter, StopsAtTheFirstFailingRun)
{
    MakeParts({true, false, true});
    sg_Answers[NK_CID_UNPOST] = NK_CMD_FAILED;
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %d", true), 1);
    EXPECT_EQ(sg_Calls.size(), 1u);
    EXPECT_TRUE(m_Capture.HasLine("Failed executing unpost on all selected parts", NK_MSG_ERROR));
    EXPECT_TRUE(NKIsMessageOutputOn());
}

TEST_F(CommandInterpreter, NoPartsNoRuns)
{
    UnloadModel();
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %d", true), 0);
    EXPECT_TRUE(sg_Calls.empty());
}

TEST_F(CommandInterpreter, TemplateWithOtherConversionsIsRefused)
{
    MakeParts({true});
    ClaimAll({NK_CID_UNPOST});
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%s %d", true), 1);
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %d %d", true), 1);
    EXPECT_TRUE(sg_Calls.empty());
    EXPECT_EQ(ExecuteOnAllParts("unpost", "%d %%", true), 0);
    EXPECT_EQ(sg_Calls.back().arguments, "PARAMS 1 %");
}

TEST_F(CommandInterpreter, PartSelectionIsReadFromTheCurrentGeometry)
{
    MakeParts({false, true});
    EXPECT_FALSE(NKIsPartSelected(0));
    EXPECT_TRUE(NKIsPartSelected(1));
    EXPECT_FALSE(NKIsPartSelected(2));
    EXPECT_FALSE(NKIsPartSelected(-1));
    UnloadModel();
    EXPECT_FALSE(NKIsPartSelected(0));
}
