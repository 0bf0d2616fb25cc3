// tests/app/app_window_fixture.h -- the window tests' set-up: one widget
// application per process (message boxes print instead of waiting, as CI
// makes them), the shell's slots installed, and the program's main window
// made as the program makes it.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/nk_animation_timer.h"
#include "app/nk_main_window.h"
#include "app/nk_menu_state.h"
#include "app/nk_menus.h"
#include "app/nk_pixel_format.h"
#include "app/nk_shell_services.h"
#include "app/nk_statusbar.h"
#include "app/nk_system_commands.h"
#include "app/nk_toolbar.h"
#include "app/nk_view_window.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_runner.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_movie_settings.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_message_box.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_navigation.h"
#include "scene/nk_renderer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

// The process's widget application, made on the first call. False when
// another kind of application was made first.
inline bool NKTestEnsureWidgetApplication(void)
{
    if (QCoreApplication::instance() == nullptr) {
        setenv("CI", "1", 1);
        static int argc = 1;
        static char arg0[] = "test_app_gl";
        static char *argv[] = {arg0, nullptr};
        new QApplication(argc, argv);  // lives until the process ends
        std::setlocale(LC_NUMERIC, "C");
    }
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

// Deletes what was left for the event loop to delete.
inline void NKTestFlushDeletes(void)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Sizes the 3-D view through the program, as "winposition" does (the main
// window is sized around it), and waits until the view window and the
// program's record of it (NKViewWindowSize, which the layout sets) hold
// the size and keep it for a tenth of a second: the layout and the
// display answer when they are ready, later on a busy machine, and a size
// set before they have answered is undone by them. The size is asked for
// again whenever it is found changed. False when it did not hold within
// the tests' limit.
inline bool NKTestSetViewSize(int iWidth, int iHeight)
{
    QWindow *pView = NKGetViewWindow();
    if (pView == nullptr) return false;
    QElapsedTimer timer;
    timer.start();
    int iSteady = 0;
    while (timer.elapsed() < NKTestWaitLimitMs()) {
        const bool bHeld = pView->width() == iWidth && pView->height() == iHeight &&
                           NKViewWindowSize.iWidth == iWidth && NKViewWindowSize.iHeight == iHeight;
        if (!bHeld) {
            iSteady = 0;
            NKSetViewClientSize(iWidth, iHeight);
        } else if (++iSteady >= 5) {
            return true;
        }
        QTest::qWait(20);
    }
    return NKTestWaitGaveUp("the view's size to hold");
}

// Runs the lines as a command file ("source"), in the command debug mode
// so that their answers show, and gives the answers of "winposition"
// and "version" in the order printed: "W x y" for a "winposition" answer
// (the place it printed), "V" for a "version" answer.
inline std::vector<std::string> NKTestCommandFileAnswers(const std::string &lines)
{
    const std::string dir = NKTestMakeTempDir("quolin_file_answers_");
    const std::string file = dir + "/lines.qlc";
    if (dir.empty() || !NKTestWriteText(file, lines)) return {"the command file cannot be written"};
    NKRegisterFileCommands();
    const bool bDebug = g_CommandRunner.bDebugCommands;
    g_CommandRunner.bDebugCommands = true;
    MessageCapture capture;
    ExecuteCommand(("source " + file).c_str());
    g_CommandRunner.bDebugCommands = bDebug;
    static const std::string kPlaced = "Setting window position to: ";
    std::vector<std::string> answers;
    for (const CapturedLine &line : capture.Lines()) {
        const std::string &text = line.text;
        if (text.rfind(kPlaced, 0) == 0) {
            answers.push_back("W " + text.substr(kPlaced.size(), text.find('.') - kPlaced.size()));
        } else if (text.find(" version ") != std::string::npos) {
            answers.push_back("V");
        }
    }
    NKTestRemoveDir(dir);
    return answers;
}

// The shell as the program starts it: slots, graphics settings, the main
// window with its view, context and status bar, exposed on the display.
class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NKTestEnsureWidgetApplication());
        m_SavedShell = NKGetShellHooks();
        m_SavedModel = NKGetModelHooks();
        NKInstallShellHooks();
        NKResetMessageBoxes();
        m_SavedWindow = SavedWindowState{
            NKViewWindowSize, g_WindowPlacement, g_iPixelFormatRequest, g_iDepthBitsRequest,
            g_bMenuBarShown,  g_bStatusbarShown, g_bToolbarShown};
        g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
        if (m_bMakeWindow) {
            ASSERT_TRUE(CreateMainWindow());
            ASSERT_TRUE(QTest::qWaitForWindowExposed(NKGetMainWindow(), NKTestWaitLimitMs()));
        }
    }
    void TearDown() override
    {
        NKDestroyMainWindow();
        NKTestFlushDeletes();
        NKDestroyRenderOptions(g_pGraphicsSettings);
        g_pGraphicsSettings = nullptr;
        NKSetShellHooks(m_SavedShell);
        NKSetModelHooks(m_SavedModel);
        // What the window leaves for the next one goes back to what this
        // test found, so that each test's window starts as the program's
        // first does: the view's size (which would satisfy the next test's
        // wait for a size before its own window has one), the placement
        // the window stored as it went (the next would open at this one's
        // size, with no resize), the pixel format the context took or the
        // test asked for, and the bars.
        NKViewWindowSize = m_SavedWindow.viewSize;
        g_WindowPlacement = m_SavedWindow.placement;
        g_iPixelFormatRequest = m_SavedWindow.iFormatRequest;
        g_iDepthBitsRequest = m_SavedWindow.iDepthRequest;
        g_bMenuBarShown = m_SavedWindow.bMenuBar;
        g_bStatusbarShown = m_SavedWindow.bStatusbar;
        g_bToolbarShown = m_SavedWindow.bToolbar;
    }
    struct SavedWindowState {
        NKViewSize viewSize;
        NKWindowPlacement placement;
        int iFormatRequest, iDepthRequest;
        uint8_t bMenuBar, bStatusbar, bToolbar;
    };
    bool m_bMakeWindow = true;
    SavedWindowState m_SavedWindow = {};
    NKShellHooks m_SavedShell;
    NKModelHooks m_SavedModel;
};

// The program's window as start-up leaves it, with the model record, the
// renderer, the file and general commands and the navigation set up, and
// no model loaded; m_pView is the 3-D view.
class ProgramWindowTest : public ShellWindowTest {
protected:
    void SetUp() override
    {
        m_SavedLoad = NKGetLoadHooks();
        NKInstallCommandHooks();
        NKInstallDataSources();
        g_pModel = NKCreateModel();
        g_pMovieSettings = &m_MovieSettings;
        ShellWindowTest::SetUp();
        ASSERT_TRUE(NKInstallRenderer());
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_pView = NKGetViewWindow();
        ASSERT_NE(m_pView, nullptr);
    }
    void TearDown() override
    {
        NKSetNavigationMode(NK_NAVIGATION_STUDY);
        NKResetAnimationTimer();
        ShellWindowTest::TearDown();
        NKShutdownRenderer();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        g_pMovieSettings = nullptr;
        NKReleaseDataSources();
        NKSetLoadHooks(m_SavedLoad);
    }
    NKMovieSettings m_MovieSettings;
    NKLoadHooks m_SavedLoad;
    QWindow *m_pView = nullptr;
};

// File > Open as a user works it: the file's full path is typed into the
// dialog's file-name field, then the dialog is accepted as by its Open
// button. The path goes into the field itself: QFileDialog::selectFile()
// leaves the field alone while it has the keyboard focus, and when the
// dialog gets the focus depends on the display, so a name given that way
// was lost now and then. A dialog still open after its Open refused the
// name (a message box it shows instead is closed, its text kept): that
// fails the test, naming what the dialog held. The command is NK_MENU_OPEN
// through the main window.
inline void NKTestOpenThroughTheDialog(const std::string &file)
{
    const QString path = QString::fromStdString(std::filesystem::weakly_canonical(file).string());
    bool bAccepted = false;
    QString refused;  // what the dialog held when it refused, and why
    // A message box runs its own event loop inside accept(), where the
    // timer that called accept() does not fire again: a second one closes it.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&refused]() {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            auto *pBox = qobject_cast<QMessageBox *>(pWidget);
            if (pBox == nullptr || !pBox->isVisible()) continue;
            refused += "(" + pBox->text() + ") ";
            pBox->reject();
        }
    });
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&path, &bAccepted, &refused]() {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            auto *pDialog = qobject_cast<QFileDialog *>(pWidget);
            if (pDialog == nullptr || !pDialog->isVisible() || bAccepted) continue;
            auto *pName = pDialog->findChild<QLineEdit *>("fileNameEdit");
            if (pName == nullptr) {
                refused = "a dialog without its file-name field";
                static_cast<QDialog *>(pDialog)->reject();
                continue;
            }
            pName->setText(path);
            const QString held = pDialog->selectedFiles().join(", ");
            // QFileDialog hides accept(); a name it refuses leaves it open.
            static_cast<QDialog *>(pDialog)->accept();
            if (!pDialog->isVisible()) {
                bAccepted = true;
                continue;
            }
            refused += "[" + held + "]";
            static_cast<QDialog *>(pDialog)->reject();
        }
    });
    boxes.start(20);
    timer.start(20);
    NKMainWindowCommand(NK_MENU_OPEN);
    EXPECT_TRUE(bAccepted) << "the dialog refused " << file << ": " << refused.toStdString();
}

// Drops the files on the main window, after the drag's entry it accepts.
inline void NKTestDropFiles(const std::vector<std::string> &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string &f : files) urls.push_back(QUrl::fromLocalFile(f.c_str()));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(NKGetMainWindow(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(NKGetMainWindow(), &drop);
}
