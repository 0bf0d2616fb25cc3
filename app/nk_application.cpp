// app/nk_application.cpp -- start-up, the event loop and shut-down (see
// nk_application.h).
//
// Start-up runs in a fixed order: the version request, the program's
// records, the stored settings, a pre-read of the command line (some
// options must be known before the Qt application and the view's context
// exist), the platform's start under one watch (the display check, then
// the Qt application, which takes its own options off the command line),
// the splash, the main window with its view, the
// start-up command file, the full parse of the options Qt left, and full
// screen when asked. The event loop then runs; the idle work (walk,
// animation and spin pacing) runs on the ticks of the animation timer
// (app/nk_idle.h). At the end the window placement goes back to the
// settings and the records are freed.
#include "app/nk_application.h"

#include <QApplication>
#include <QMainWindow>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/nk_app_records.h"
#include "app/nk_command_line.h"
#include "app/nk_main_window.h"
#include "app/nk_menus.h"
#include "app/nk_settings.h"
#include "app/nk_shell_services.h"
#include "app/nk_splash.h"
#include "app/nk_system_commands.h"
#include "commands/nk_batch_reports.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_dde_server.h"
#include "commands/nk_load_sequence.h"
#include "core/nk_math.h"
#include "core/nk_program_directory.h"
#include "export/nk_bmp_files.h"
#include "export/nk_image_commands.h"
#include "export/nk_plot_output.h"
#include "platform/nk_display_check.h"
#include "platform/nk_platform_start.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "render/nk_animation_commands.h"
#include "render/nk_camera.h"
#include "render/nk_fringe_commands.h"
#include "render/nk_material_commands.h"
#include "render/nk_navigation.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_render_mode_commands.h"
#include "render/nk_transform_commands.h"
#include "render/nk_vector_commands.h"
#include "render/nk_viewpoint_commands.h"
#include "tools/nk_annotation_commands.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_info_commands.h"
#include "tools/nk_texture_commands.h"

namespace {

// The command handlers of the chain that are built so far.
void RegisterCommandHandlers(void)
{
    NKRegisterFileCommands();
    NKRegisterBatchReports();
    NKRegisterPartDisplayCommands();
    NKRegisterSystemCommands();
    NKRegisterCutPlaneCommands();
    NKRegisterViewpointCommands();
    NKRegisterFringeCommands();
    NKRegisterMaterialCommands();
    NKRegisterTransformCommands();
    NKRegisterVectorCommands();
    NKRegisterAnimationCommands();
    NKRegisterRenderModeCommands();
    NKRegisterPlotCommands();
    NKRegisterImageCommands();
    NKRegisterPlotOutput();
    NKRegisterAnnotationCommands();
    NKRegisterInfoCommands();
    NKRegisterTextureCommands();
    NKInstallTextureFileReaders();
}

// The slots and records that exist before any window; false when a record
// cannot be made.
bool InitRecords(void)
{
    NKEnableFloatExceptions(false);
    // The lower folders call the work of the higher ones through slots.
    NKInstallCommandHooks();
    NKInstallToolHooks();
    NKInstallShellHooks();
    if (!InitApplication()) return false;
    RegisterCommandHandlers();
    NKSetProgramDirectory(nullptr);
    return true;
}

// GL objects go before the contexts they live in: the plot with its own
// window first, then the main window and its view with the events left for
// deletion (the view releases what lives in its context before deleting
// it), then the records.
void FreeRecords(void)
{
    NKDeleteCurrentPlot();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExitApplication();
}

// The settings file's placement and recent files; a first run keeps the
// defaults.
void ReadSettings(void)
{
    NKWindowPlacement &p = g_WindowPlacement;
    NKReadInformationFromRegistry(&p.iX, &p.iY, &p.iWidth, &p.iHeight, &p.bMaximized);
}

// From the main window to the event loop: the start-up command file, the
// full command-line parse, the menus for the state they left and full
// screen when asked.
void RunStartup(const std::string &commandLine)
{
    NKGetMainWindow()->setFocus();
    NKInitNavigation(g_ViewMatrix, &g_InputState);
    RunStartupCommandFile();
    if (NKGetMainWindow() == nullptr) return;
    ParseCommandLine(commandLine.c_str());
    if (NKGetMainWindow() == nullptr) return;
    UpdateMenuChecks();
    NKGetMainWindow()->update();
    if (g_bFullScreenRequest != 0) SetFullScreen(true);
}

// The program's own line on standard error.
void Say(const std::string &text) { std::fprintf(stderr, "quolin: %s\n", text.c_str()); }

void SayPlatformFailed(const std::string &reason)
{
    Say("the window platform cannot start: " + reason);
}

// The platform's start (the display check and the Qt application) watched
// from here: after a few seconds it says that it still waits for what
// NKDisplayWaitSubject names, and after the limit it ends the program with
// the line that says so. An invalid QUOLIN_DISPLAY_WAIT is named first.
void BeginPlatformStart(int argc, char **argv)
{
    std::string problem;
    const int iLimitSeconds = NKDisplayWaitSeconds(std::getenv("QUOLIN_DISPLAY_WAIT"), &problem);
    if (!problem.empty()) Say(problem);
    const std::string subject = NKDisplayWaitSubject(argc, argv);
    NKBeginPlatformStart("quolin: still waiting for " + subject + " to answer",
                         "quolin: " + subject + " does not answer (waited " +
                             std::to_string(iLimitSeconds) + " s)",
                         iLimitSeconds, SayPlatformFailed);
}

}  // namespace

int NKRunApplication(int argc, char **argv)
{
    if (CheckVersionOption(argc, argv)) return 0;
    if (!InitRecords()) {
        FreeRecords();
        return 1;
    }
    ReadSettings();
    // "-software" must reach the environment before Qt chooses its GL.
    PreParseCommandLine(NKJoinCommandLine(argc, argv).c_str());

    // Without its display the program says which it could not open, and
    // why where the server said, and ends; a display that is slow to answer
    // is waited for, saying so, whichever platform connects to it. Any
    // platform that cannot start (another than the check's, or one that
    // fails after it) ends the program with its line and status 1. The
    // check's connection stays open until the platform has made its own.
    BeginPlatformStart(argc, argv);
    std::string displayProblem;
    if (!NKCanOpenDisplay(argc, argv, &displayProblem)) {
        NKEndPlatformStart();
        Say(displayProblem);
        FreeRecords();
        return 1;
    }
    QApplication app(argc, argv);
    NKEndPlatformStart();
    // The platform is connected: the check's connection may go.
    NKEndDisplayCheck();
    // Qt has taken its own options and the platform's ("-display NAME",
    // "-platform NAME", ...) out of argv; the rest is the program's.
    const std::string commandLine = NKJoinCommandLine(argc, argv);
    // Qt sets the locale from the environment; numbers are always read and
    // written with '.' as the decimal point.
    std::setlocale(LC_NUMERIC, "C");

    ShowSplashWindow();
    // The data-source record, the reader table and the clipping distances.
    InitRuntimeDefaults();
    if (!CreateMainWindow()) {
        FreeRecords();
        return 1;
    }
    RunStartup(commandLine);
    // An exit during start-up ends the program as the loop would start.
    if (NKGetMainWindow() != nullptr && g_bExitRequested == 0) app.exec();
    // The request server's last answers leave before the socket goes.
    if (bDdeEnabled != 0) NKDDEClose();
    bDdeEnabled = 0;
    NKDestroyMainWindow();
    NKWriteInformationToRegistry(g_WindowPlacement);
    FreeRecords();
    return 0;
}
