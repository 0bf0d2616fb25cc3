// tests/app/test_gl_status_errors.cpp -- a command started from the window
// that fails shows its first error line on the status line as well as on
// the terminal: File > Open (through its dialog) and the recent files with a
// file that is not NKF, a missing file and an unsafe name, and a dropped
// file; a command that succeeds still leaves "Done."; an empty file's
// line, which leads the failure it belongs to, leads no other; a damaged
// LS-DYNA family's sign. Needs an X display.
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_statusbar.h"
#include "commands/nk_recent_files.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class StatusErrorTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        m_Dir = NKTestMakeTempDir("quolin_status_errors_");
        m_NotNKF = m_Dir + "/notes.nkf";
        std::ofstream(m_NotNKF) << "These are notes, not a model.\n";
    }
    void TearDown() override
    {
        for (int i = 0; i < NK_NUM_RECENT_FILES; i++) NKSetRecentFile(i, "");
        NKTestRemoveDir(m_Dir);
        ProgramWindowTest::TearDown();
    }
    // The first error line the capture saw, "" for none.
    static std::string FirstError(const MessageCapture &capture)
    {
        for (const CapturedLine &line : capture.Lines())
            if (line.iLevel == NK_MSG_ERROR && !line.text.empty()) return line.text;
        return "";
    }
    std::string m_Dir, m_NotNKF;
};

TEST_F(StatusErrorTest, FileOpenOfAFileThatIsNotNKFSaysSoOnTheStatusLine)
{
    MessageCapture capture;
    NKTestOpenThroughTheDialog(m_NotNKF);
    const std::string first = FirstError(capture);
    ASSERT_FALSE(first.empty()) << capture.Text();  // still printed as before
    EXPECT_EQ(NKGetStatusbarText(0), first);

    // A file that opens (here from the recent files): "Done." as before.
    capture.Clear();
    NKSetRecentFile(0, NKTestExamplePath("beam.nkf").c_str());
    InitMenuPopup();
    NKMainWindowCommand(NK_MENU_RECENT_FIRST);
    EXPECT_EQ(FirstError(capture), "") << capture.Text();
    EXPECT_TRUE(NKModelHasGeometry());
    EXPECT_EQ(NKGetStatusbarText(0), "Done.");
}

TEST_F(StatusErrorTest, EachFailingRecentFileShowsItsFirstErrorLine)
{
    const std::vector<std::string> names = {m_NotNKF, m_Dir + "/missing.nkf", m_Dir + "/a\"b.nkf"};
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        NKSetStatusbarText("Done.", 0);
        NKSetRecentFile(0, name.c_str());
        InitMenuPopup();  // the File menu lists the recent files as it opens
        MessageCapture capture;
        NKMainWindowCommand(NK_MENU_RECENT_FIRST);
        const std::string first = FirstError(capture);
        ASSERT_FALSE(first.empty()) << capture.Text();
        EXPECT_EQ(NKGetStatusbarText(0), first);
    }
}

TEST_F(StatusErrorTest, ADroppedFileThatFailsShowsItsError)
{
    MessageCapture capture;
    NKTestDropFiles({m_NotNKF});
    const std::string first = FirstError(capture);
    ASSERT_FALSE(first.empty()) << capture.Text();
    EXPECT_EQ(NKGetStatusbarText(0), first);
}

// An empty file refused where no command line from the window runs (a
// start-up command file), or while the output is off, does not say so on
// the status line, and the failing menu command after it shows its own
// error, not the empty file's line.
TEST_F(StatusErrorTest, AnEmptyFilesLineLeadsOnlyTheCommandItBelongsTo)
{
    const std::string empty = m_Dir + "/empty.nkf", start = m_Dir + "/start.qlc";
    const std::string missing = m_Dir + "/missing.nkf";
    ASSERT_TRUE(NKTestWriteText(empty, ""));
    ASSERT_TRUE(NKTestWriteText(start, "open \"" + empty + "\"\n"));
    const struct {
        const char *pszWhat;
        std::function<void()> refuse;
    } cases[] = {
        {"a start-up command file", [&] { ExecuteCommand(("source \"" + start + "\"").c_str()); }},
        {"output off in a command from the window",
         [&] {
             NKStatusErrorScope scope;
             NKToggleMessageOutput(false);
             ExecuteCommand(("open \"" + empty + "\"").c_str());
             NKToggleMessageOutput(true);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszWhat);
        NKSetStatusbarText(" ", 0);
        c.refuse();
        EXPECT_EQ(NKGetStatusbarText(0).find("it is empty"), std::string::npos)
            << NKGetStatusbarText(0);
        NKSetRecentFile(0, missing.c_str());
        InitMenuPopup();
        MessageCapture capture;
        NKMainWindowCommand(NK_MENU_RECENT_FIRST);
        EXPECT_EQ(FirstError(capture), "Unable to open file for reading: " + missing)
            << capture.Text();
        EXPECT_EQ(NKGetStatusbarText(0), FirstError(capture));
    }
}

// A damaged LS-DYNA family names its damage on the status line after
// where its states end, which shows at the status line's default width
// (the terminal's line keeps its words): a member of zeros as the family
// opens with no state, or after the base file's states; a base file cut
// inside its geometry is refused, and the example beam open before stays.
// So in folders whose names hold a conclusion's words, where the family,
// once gone, is named as it is by the line that says so.
TEST_F(StatusErrorTest, DamagedLSDynaFamiliesNameTheirSign)
{
    auto Open = [](const std::string &name) {
        NKSetStatusbarText("Done.", 0);
        NKSetRecentFile(0, name.c_str());
        InitMenuPopup();
        NKMainWindowCommand(NK_MENU_RECENT_FIRST);
    };
    for (const std::string &dir :
         {m_Dir, m_Dir + "/x, states end y", m_Dir + "/x, no state is whole"}) {
        SCOPED_TRACE(dir);
        ASSERT_TRUE(std::filesystem::create_directories(dir) || dir == m_Dir);
        const int64_t iBaseWords = LSDynaWriteFamilyFixture(dir, true);
        ASSERT_GT(iBaseWords, 0);
        const std::string base = dir + "/d3plot", first = dir + "/d3plot01";
        const std::string whole = NKTestReadFile(base);
        ASSERT_TRUE(NKTestWriteBytes(first, std::vector<uint8_t>(NKTestReadFile(first).size(), 0)));
        MessageCapture capture;
        Open(base);
        EXPECT_TRUE(capture.HasLine("LS-DYNA family file " + first +
                                        " holds only zeros, no state is whole.",
                                    NK_MSG_WARNING))
            << capture.Text();
        EXPECT_EQ(NKGetStatusbarText(0),
                  "No state is whole: LS-DYNA family file " + first + " holds only zeros.");
        EXPECT_TRUE(NKModelHasGeometry());
        Open(NKTestExamplePath("beam.nkf"));
        ASSERT_TRUE(NKModelHasGeometry());
        ASSERT_TRUE(NKTestWriteBytes(base, whole.data(), (size_t)(iBaseWords - 1) * 4 - 3));
        const NKGeometry *pBefore = g_pModel->pFrames[0].pGeometry;
        Open(base);
        EXPECT_EQ(NKGetStatusbarText(0),
                  "No state is whole: LS-DYNA family file " + base + " ends inside its geometry.");
        ASSERT_TRUE(NKModelHasGeometry());
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pBefore);
        ASSERT_EQ(std::remove(base.c_str()), 0);
        Open(base);
        EXPECT_EQ(NKGetStatusbarText(0), "Unable to open file for reading: " + base);
    }
}

// The base file's two states read, its continuation holds only zeros:
// the status line, at the main window's default width, shows how many
// states remain before it shows the member, which may be cut.
TEST_F(StatusErrorTest, ADamagedFamilysStatesEndShowsAtTheDefaultWidth)
{
    ASSERT_GT(LSDynaWriteFamilyFixture(m_Dir, false), 0);
    const std::string base = m_Dir + "/d3plot", first = m_Dir + "/d3plot01";
    ASSERT_TRUE(NKTestWriteBytes(first, std::vector<uint8_t>(NKTestReadFile(first).size(), 0)));
    const std::string found = "LS-DYNA family file " + first + " holds only zeros";
    const std::string end = "states end with state 2 at time 0.001";
    NKSetRecentFile(0, base.c_str());
    InitMenuPopup();
    MessageCapture capture;
    NKMainWindowCommand(NK_MENU_RECENT_FIRST);
    EXPECT_TRUE(capture.HasLine(found + ", " + end + ".", NK_MSG_WARNING)) << capture.Text();
    EXPECT_EQ(NKGetStatusbarText(0), "S" + end.substr(1) + ": " + found + ".");
    const std::string shown = NKGetStatusbarShownText(0);
    EXPECT_EQ(shown.rfind("S" + end.substr(1), 0), 0u) << shown;
}

}  // namespace
