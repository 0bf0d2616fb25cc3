// tests/core/test_nk_message.cpp -- behaviour of the message output: line
// splitting, levels, the nesting off-count with its diagnostic, interface
// error texts and the collection flags, all observed at a test sink.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_family_warning.h"
#include "core/nk_message.h"
#include "tests/test_support/message_capture.h"

namespace {

class NKMessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKResetMessageOutput();
        NKResetDiagnostics();
    }
    void TearDown() override { NKResetMessageOutput(); }

    // Prints one line at each level.
    static void PrintAllLevels()
    {
        NKPrintInfo("info");
        NKPrintWarning("warning");
        NKPrintError("error");
    }

    MessageCapture m_Capture;
};

// ---------------------------------------------------------------------------
// Lines and levels

TEST_F(NKMessageTest, EachLevelReachesTheSink)
{
    PrintAllLevels();
    NKPrintErrorCode("coded", 17);
    ASSERT_EQ(4u, m_Capture.Lines().size());
    EXPECT_TRUE(m_Capture.HasLine("info", NK_MSG_INFO));
    EXPECT_TRUE(m_Capture.HasLine("warning", NK_MSG_WARNING));
    EXPECT_TRUE(m_Capture.HasLine("error", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("coded", NK_MSG_ERROR));
}

// A family's warning reaches the sink as its terminal line at its level,
// with its parts to be had while the sink has the line, and only then: a
// line printed before or after it, or from the sink meanwhile, has none.
TEST_F(NKMessageTest, AFamilyWarningsPartsComeWithItsLineAlone)
{
    struct Seen {
        std::vector<std::string> lines, statusLines;
    } seen;
    NKMessageSink pfnPrevious = nullptr;
    void *pPreviousUser = nullptr;
    NKSetMessageSink(
        [](const char *pszLine, int, void *pUser) {
            auto *p = static_cast<Seen *>(pUser);
            const NKFamilyWarning *pWarning = NKPrintedFamilyWarning();
            p->lines.push_back(pszLine);
            p->statusLines.push_back(pWarning != nullptr ? pWarning->StatusLine() : "-");
            if (p->lines.size() == 2) NKPrintInfo("from the sink");
        },
        &seen, &pfnPrevious, &pPreviousUser);
    NKFamilyWarning warning;
    warning.member = "LS-DYNA family file /run/x, states end y/d3plot02";
    warning.found = "is missing";
    warning.statesEnd = "states end there";
    NKPrintWarning("before");
    NKPrintFamilyWarning(warning, NK_MSG_ERROR);
    NKPrintWarning("after");
    NKSetMessageSink(pfnPrevious, pPreviousUser);
    EXPECT_EQ(seen.lines, (std::vector<std::string>{"before", warning.TerminalLine(),
                                                    "from the sink", "after"}));
    EXPECT_EQ(seen.statusLines, (std::vector<std::string>{"-", warning.StatusLine(), "-", "-"}));
    EXPECT_EQ(warning.StatusLine(),
              "States end there: LS-DYNA family file /run/x, states end y/d3plot02 is missing.");
}

TEST_F(NKMessageTest, ConsecutiveLineFeedsGiveAnEmptyLine)
{
    NKPrintMessage("a\n\nb", NK_MSG_WARNING);
    ASSERT_EQ(3u, m_Capture.Lines().size());
    EXPECT_EQ("a", m_Capture.Lines()[0].text);
    EXPECT_EQ("", m_Capture.Lines()[1].text);
    EXPECT_EQ("b", m_Capture.Lines()[2].text);
    for (const CapturedLine &line : m_Capture.Lines()) EXPECT_EQ(NK_MSG_WARNING, line.iLevel);
}

TEST_F(NKMessageTest, FinalLineFeedGivesNoExtraLine)
{
    NKPrintInfo("a\n");
    ASSERT_EQ(1u, m_Capture.Lines().size());
    EXPECT_EQ("a", m_Capture.Lines()[0].text);
}

TEST_F(NKMessageTest, LeadingLineFeedGivesAnEmptyFirstLine)
{
    NKPrintInfo("\na");
    ASSERT_EQ(2u, m_Capture.Lines().size());
    EXPECT_EQ("", m_Capture.Lines()[0].text);
    EXPECT_EQ("a", m_Capture.Lines()[1].text);
}

TEST_F(NKMessageTest, EmptyAndNullTextsPrintNothing)
{
    NKPrintInfo("");
    NKPrintError(nullptr);
    EXPECT_TRUE(m_Capture.Lines().empty());
}

TEST_F(NKMessageTest, LongLinesAreNotSplit)
{
    std::string longLine(5000, 'q');
    NKPrintInfo(longLine.c_str());
    ASSERT_EQ(1u, m_Capture.Lines().size());
    EXPECT_EQ(longLine, m_Capture.Lines()[0].text);
}

// ---------------------------------------------------------------------------
// Switching output off and on

TEST_F(NKMessageTest, OutputOffSilencesEveryLevel)
{
    NKToggleMessageOutput(false);
    NKToggleMessageOutput(false);
    NKToggleMessageOutput(true);
    PrintAllLevels();
    NKPrintInterfaceError(-2, nullptr);
    EXPECT_TRUE(m_Capture.Lines().empty());
    EXPECT_FALSE(NKIsMessageOutputOn());
}

TEST_F(NKMessageTest, NestedOffStaysOffUntilOuterOn)
{
    NKToggleMessageOutput(false);
    NKToggleMessageOutput(false);
    NKToggleMessageOutput(true);
    EXPECT_FALSE(NKIsMessageOutputOn());
    EXPECT_EQ(1, NKGetMessageOffCount());
    NKToggleMessageOutput(true);
    EXPECT_TRUE(NKIsMessageOutputOn());
    EXPECT_EQ(0, NKGetMessageOffCount());
    NKPrintInfo("back");
    EXPECT_TRUE(m_Capture.HasLine("back", NK_MSG_INFO));
    EXPECT_EQ(0, NKGetDiagnosticCount());
}

TEST_F(NKMessageTest, UnbalancedOnIsDiagnosedAndKeepsOutputOn)
{
    NKToggleMessageOutput(true);
    EXPECT_EQ(-1, NKGetMessageOffCount());
    EXPECT_STREQ("Error in call cound iOffCount", NKGetLastDiagnostic());
    EXPECT_STREQ("NKToggleMessageOutput", NKGetLastDiagnosticFunction());
    EXPECT_TRUE(NKIsMessageOutputOn());

    NKToggleMessageOutput(false);
    EXPECT_EQ(0, NKGetMessageOffCount());
    EXPECT_TRUE(NKIsMessageOutputOn());
    NKPrintInfo("still on");
    EXPECT_TRUE(m_Capture.HasLine("still on", NK_MSG_INFO));
}

// Every way out of a quiet scope gives back the request it took, and only
// that one: a caller's own request (a command file's run, a part-range
// command) stays, an early return or a failure thrown through the scope
// leaves nothing behind. Each row runs inside one outer request of each
// kind and reports the counts it saw inside.
TEST_F(NKMessageTest, AQuietScopeGivesItsRequestBackOnEveryWayOut)
{
    struct Counts {
        int iOff = 0, iInfoOff = 0;
    };
    auto Now = [] { return Counts{NKGetMessageOffCount(), NKGetInformationOffCount()}; };
    const struct {
        const char *pszWay;
        Counts (*pfnScope)(void);
        int iOffInside, iInfoOffInside;
    } cases[] = {
        {"a load that returns while its request is held",
         [] {
             NKMessagesOff quiet;
             return Counts{NKGetMessageOffCount(), NKGetInformationOffCount()};
         },
         2, 1},
        {"a failure thrown through the scope",
         [] {
             Counts inside;
             try {
                 NKMessagesOff quiet;
                 inside = {NKGetMessageOffCount(), NKGetInformationOffCount()};
                 throw std::bad_alloc();
             } catch (const std::bad_alloc &) {
             }
             return inside;
         },
         2, 1},
        {"given back before the scope ends",
         [] {
             NKMessagesOff quiet;
             quiet.Release();
             quiet.Release();
             return Counts{NKGetMessageOffCount(), NKGetInformationOffCount()};
         },
         1, 1},
        {"given back, then held again (debug mode on and off)",
         [] {
             NKMessagesOff quiet(true, NKMessagesOff::INFORMATION_LINES);
             quiet.Release();
             quiet.Hold();
             quiet.Hold();
             return Counts{NKGetMessageOffCount(), NKGetInformationOffCount()};
         },
         1, 2},
        {"quiet only on a condition that does not hold",
         [] {
             NKMessagesOff quiet(false);
             return Counts{NKGetMessageOffCount(), NKGetInformationOffCount()};
         },
         1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszWay);
        NKToggleMessageOutput(false);
        NKToggleInformationOutput(false);
        const Counts inside = c.pfnScope();
        EXPECT_EQ(inside.iOff, c.iOffInside);
        EXPECT_EQ(inside.iInfoOff, c.iInfoOffInside);
        const Counts after = Now();
        EXPECT_EQ(after.iOff, 1);
        EXPECT_EQ(after.iInfoOff, 1);
        NKToggleMessageOutput(true);
        NKToggleInformationOutput(true);
        EXPECT_TRUE(NKIsMessageOutputOn());
    }
    EXPECT_EQ(0, NKGetDiagnosticCount());
    NKPrintInfo("on again");
    EXPECT_TRUE(m_Capture.HasLine("on again", NK_MSG_INFO));
}

// A line printed shown reaches the sink whatever requests hold output off
// (a command file's report of its own), and the requests stay.
TEST_F(NKMessageTest, AShownLinePassesEveryRequestAndLeavesThem)
{
    NKMessagesOff quiet, alsoQuiet, information(true, NKMessagesOff::INFORMATION_LINES);
    NKPrintMessageShown("Command file aborted", NK_MSG_INFO);
    NKPrintInfo("quiet");
    EXPECT_TRUE(m_Capture.HasLine("Command file aborted", NK_MSG_INFO)) << m_Capture.Text();
    EXPECT_FALSE(m_Capture.HasLine("quiet", NK_MSG_INFO));
    EXPECT_EQ(2, NKGetMessageOffCount());
    EXPECT_EQ(1, NKGetInformationOffCount());
    EXPECT_FALSE(NKIsMessageOutputOn());
}

// ---------------------------------------------------------------------------
// Data-source interface errors

TEST_F(NKMessageTest, InterfaceErrorTexts)
{
    NKPrintInterfaceError(-3, nullptr);
    NKPrintInterfaceError(-3, "Reader says no");
    NKPrintInterfaceError(0, nullptr);
    NKPrintInterfaceError(-9, nullptr);
    ASSERT_EQ(4u, m_Capture.Lines().size());
    EXPECT_EQ("Error closing file.", m_Capture.Lines()[0].text);
    EXPECT_EQ("Reader says no", m_Capture.Lines()[1].text);
    EXPECT_EQ("General error.", m_Capture.Lines()[2].text);
    EXPECT_EQ("General error.", m_Capture.Lines()[3].text);
    for (const CapturedLine &line : m_Capture.Lines()) EXPECT_EQ(NK_MSG_ERROR, line.iLevel);
}

TEST_F(NKMessageTest, EveryInterfaceErrorCodeHasItsText)
{
    EXPECT_STREQ("Interface not initialized.", NKInterfaceErrorText(-8));
    EXPECT_STREQ("General error.", NKInterfaceErrorText(-7));
    EXPECT_STREQ("Memory allocation error.", NKInterfaceErrorText(-6));
    EXPECT_STREQ("Error writing to file.", NKInterfaceErrorText(-5));
    EXPECT_STREQ("Error reading file.", NKInterfaceErrorText(-4));
    EXPECT_STREQ("Error opening file.", NKInterfaceErrorText(-2));
    EXPECT_STREQ("File error.", NKInterfaceErrorText(-1));
    EXPECT_STREQ("General error.", NKInterfaceErrorText(1));
}

// ---------------------------------------------------------------------------
// The console sink

// The console sink writes each line to standard error with the level's
// prefix (a lead line is an error line); `stdout nomessages` and
// switched-off output both silence it.
TEST(NKMessageConsole, LinesGoToStandardErrorWithLevelPrefixes)
{
    NKResetMessageOutput();
    NKMessageSink pfnPrevious = nullptr;
    void *pPreviousUser = nullptr;
    NKSetMessageSink(nullptr, nullptr, &pfnPrevious, &pPreviousUser);
    bool bWasOn = NKGetConsoleMessages();
    NKSetConsoleMessages(true);

    testing::internal::CaptureStderr();
    NKPrintInfo("plain\nsecond");
    NKPrintWarning("careful");
    NKPrintError("broken");
    NKPrintLeadError("broken most");
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ("plain\nsecond\nWarning: careful\nError: broken\nError: broken most\n", shown);

    testing::internal::CaptureStderr();
    NKSetConsoleMessages(false);
    NKPrintError("hidden by nomessages");
    NKSetConsoleMessages(true);
    NKToggleMessageOutput(false);
    NKPrintError("hidden while output is off");
    NKToggleMessageOutput(true);
    EXPECT_EQ("", testing::internal::GetCapturedStderr());

    NKSetConsoleMessages(bWasOn);
    NKSetMessageSink(pfnPrevious, pPreviousUser);
    NKResetMessageOutput();
}

// ---------------------------------------------------------------------------
// Collections

TEST_F(NKMessageTest, CollectionFlags)
{
    EXPECT_FALSE(NKIsMessageCollectionOpen());
    NKBeginMessageCollection();
    EXPECT_TRUE(NKIsMessageCollectionOpen());
    EXPECT_FALSE(NKAreMessagesPending());
    EXPECT_STREQ("", NKGetCollectedMessages());
    NKPrintInfo("shown while collecting");
    EXPECT_TRUE(m_Capture.HasLine("shown while collecting", NK_MSG_INFO));
    NKEndMessageCollection();
    EXPECT_FALSE(NKIsMessageCollectionOpen());
    NKBeginMessageCollection();
    NKDiscardCollectedMessages();
    EXPECT_FALSE(NKIsMessageCollectionOpen());
    EXPECT_FALSE(NKAreMessagesPending());
}

}  // namespace
