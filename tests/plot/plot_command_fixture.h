// tests/plot/plot_command_fixture.h -- the set-up the plot command tests
// share: the interpreter with the file and plot commands, an 800 x 600
// view, the model hooks empty and a fresh folder (m_Dir); at the end the
// plot, its source, the traced nodes, the data source and the folder go.
// Base is the model fixture the test needs (NKModelTest or
// NKRenderModelTest).
#pragma once

#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_view_state.h"
#include "export/nk_plot_output.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "plot/nk_plot_source.h"
#include "readers/nk_data_source.h"
#include "tests/test_support/test_files.h"

template <class Base>
class PlotCommandFixture : public Base {
protected:
    // Called from SetUp after Base::SetUp.
    void SetUpPlotCommands(const char *pszDirPrefix)
    {
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        m_SavedView = NKViewWindowSize;
        NKViewWindowSize = {800, 600};
        NKInstallCommandHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterPlotCommands();
        NKRegisterPlotOutput();
        m_Dir = NKTestMakeTempDir(pszDirPrefix);
    }
    // Called from TearDown before Base::TearDown.
    void TearDownPlotCommands()
    {
        NKDeleteCurrentPlot();
        NKPlotSourceClose();
        NKClearTraceNodes();
        g_bPlotInOwnWindow = 0;
        g_bPlotShown = 0;
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_PLOT, nullptr);
        NKViewWindowSize = m_SavedView;
        NKSetModelHooks(m_SavedHooks);
        NKTestRemoveDir(m_Dir);
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }

    NKModelHooks m_SavedHooks;
    NKViewSize m_SavedView{};
    std::string m_Dir;
};
