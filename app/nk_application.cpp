// app/nk_application.cpp -- start-up of the program (see nk_application.h).
#include "app/nk_application.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/nk_main_window.h"
#include "app/nk_shell_services.h"
#include "app/nk_splash.h"
#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_load_sequence.h"
#include "commands/nk_macros.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "core/nk_string.h"
#include "platform/nk_platform.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_lsdyna.h"
#include "render/nk_camera.h"
#include "render/nk_renderer.h"
#include "render/nk_viewpoint_commands.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"

// The model and the records that live as long as the program.
static NKMovieSettings sg_MovieSettings;

static void InitGlobalRecords(void)
{
    g_pModel = NKCreateModel();
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    g_pMovieSettings = &sg_MovieSettings;
    NKInstallRenderer();
    NKCreateSurfaceTools();
    NKLSDynaReset();
}

static void FreeGlobalRecords(void)
{
    NKShutdownRenderer();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKDestroyRenderOptions(g_pGraphicsSettings);
    g_pGraphicsSettings = nullptr;
    g_pMovieSettings = nullptr;
    NKDestroySurfaceTools();
}

// The command handlers of the chain that are built so far.
static void RegisterCommandHandlers(void)
{
    NKRegisterFileCommands();
    NKRegisterMacroCommands();
    NKRegisterSystemCommands();
    NKRegisterCutPlaneCommands();
    NKRegisterViewpointCommands();
}

// Opens the first argument that is not an option as the primary file.
static void OpenCommandLineFile(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (argv[i][0] == '-') continue;
        ExecuteCommand((NKString("open \"") + argv[i] + "\"").GetText());
        return;
    }
}

static bool HasVersionOption(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (std::strstr(argv[i], "-version") != nullptr) return true;
    return false;
}

int NKRunApplication(int argc, char **argv)
{
    if (HasVersionOption(argc, argv)) {
        std::printf("%s\n", NKGetVersionLine().c_str());
        return 0;
    }

    // The lower folders call the work of the higher ones through slots.
    NKInstallCommandHooks();
    NKInstallToolHooks();
    NKInstallShellHooks();
    // The data-source record exists from here on, with no source open.
    NKInstallDataSources();
    InitGlobalRecords();
    // The reader plug-ins registered with NKSetFEMReaderFactory (none in the
    // program itself) describe themselves once.
    NKInitFEMInterfaceTable();
    RegisterCommandHandlers();
    NKInitNavigation(g_ViewMatrix, &g_InputState);

    QApplication app(argc, argv);
    // Qt sets the locale from the environment; numbers are always read and
    // written with '.' as the decimal point.
    std::setlocale(LC_NUMERIC, "C");

    ShowSplashWindow();
    int iExitCode = 1;
    if (CreateMainWindow()) {
        RunStartupCommandFile();
        OpenCommandLineFile(argc, argv);
        iExitCode = app.exec();
        NKDestroyMainWindow();
    }
    NKReleaseDataSources();
    FreeGlobalRecords();
    return iExitCode;
}
