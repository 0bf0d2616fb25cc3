// tests/app/test_gl_status_errors.cpp -- a command started from the window
// that fails shows its first error line on the status line as well as on
// the terminal: File > Open (through its dialog) and the recent files with a
// file that is not NKF, a missing file and an unsafe name, and a dropped
// file; a command that succeeds still leaves "Done.". Needs an X display.
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_statusbar.h"
#include "commands/nk_recent_files.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "tests/app/app_window_fixture.h"
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

}  // namespace
