// app/nk_application.cpp -- start-up of the program (see nk_application.h).
#include "app/nk_application.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/nk_main_window.h"
#include "app/nk_shell_services.h"
#include "app/nk_splash.h"
#include "commands/nk_command.h"
#include "core/nk_graphics_settings.h"
#include "platform/nk_platform.h"
#include "tools/nk_cut_surface.h"

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

    QApplication app(argc, argv);
    // Qt sets the locale from the environment; numbers are always read and
    // written with '.' as the decimal point.
    std::setlocale(LC_NUMERIC, "C");

    // Placeholder: the start-up's global records; the view needs the
    // graphics settings.
    if (g_pGraphicsSettings == nullptr) g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    ShowSplashWindow();
    if (!CreateMainWindow()) return 1;
    int iStatus = app.exec();
    NKDestroyMainWindow();
    return iStatus;
}
