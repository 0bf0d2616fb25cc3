// tests/commands/load_sequence_fixture.h -- a fixture for the load-sequence
// tests: a fresh model, the interpreter with its load slots installed, the
// file commands in the chain, the shell's and the tools' slots recording
// what they are asked, and a temporary folder that is the current directory,
// the program's directory (prog/) and HOME (home/).
//
// The probe in the last slot of the chain records every line offered to it
// (command word and arguments) with whether message output was on, and
// answers 3 like a handler not built yet, except:
//   xctest <word>   records <word> and answers 0
//   xdtest          runs RunFileOpenCommandFile, records "nested", answers 0
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_load_sequence.h"
#include "commands/nk_recent_files.h"
#include "core/nk_load_hooks.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_program_directory.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_sound_sources.h"
#include "core/nk_tool_state.h"
#include "nkf/nkf_import.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

struct LoadEvent {
    std::string text;
    bool bOutputOn;
};

inline std::vector<LoadEvent> &LoadEvents()
{
    static std::vector<LoadEvent> s_Events;
    return s_Events;
}

inline void Record(const std::string &text)
{
    LoadEvents().push_back({text, NKIsMessageOutputOn()});
}

inline int LoadProbeHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string args = std::string(pszArguments).substr(6);  // behind "PARAMS"
    std::string name(pEntry->name);
    name = name.substr(0, name.find(' ')) + args;  // a two-word command keeps its second word
    switch (pEntry->id) {
    case NK_CID_XCTEST:
        Record(args.substr(1));
        return 0;
    case NK_CID_XDTEST:
        RunFileOpenCommandFile();
        Record("nested");
        return 0;
    default:
        Record(name.back() == ' ' ? name.substr(0, name.size() - 1) : name);
        return 3;
    }
}

class LoadSequenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_load_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        m_Dir = std::filesystem::current_path();  // as full paths spell it
        std::filesystem::create_directories(m_Dir / "prog");
        std::filesystem::create_directories(m_Dir / "home" / ".config" / "Brovik");
        NKSetProgramDirectory((m_Dir / "prog").c_str());
        if (const char *pszHome = std::getenv("HOME")) m_OldHome = pszHome;
        setenv("HOME", (m_Dir / "home").c_str(), 1);

        g_pModel = NKCreateModel();
        m_SavedLoad = NKGetLoadHooks();
        NKModelHooks model;
        model.pfnFreeCutSurfaces = [](int, int) { return Record("free cut surfaces"), true; };
        model.pfnFreeIsoSurfaces = [](int) { return Record("free iso-surfaces"), true; };
        model.pfnReleasePrimitives = [](Primitive3DList *) { Record("release primitives"); };
        m_SavedModel = NKSetModelHooks(model);
        NKShellHooks shell;
        shell.pfnCloseInfoDialogs = [] { Record("close info dialogs"); };
        shell.pfnRefreshInfoPropertySheet = [](int, bool) { Record("refresh info sheet"); };
        shell.pfnResetModelState = [](bool b) { Record(b ? "reset state keep" : "reset state"); };
        shell.pfnRedrawView = [] { Record("redraw view"); };
        shell.pfnPlotInterfaceClose = [] { Record("close plot source"); };
        m_SavedShell = NKSetShellHooks(shell);
        NKInstallCommandHooks();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_Saved[i] = NKSetCommandHandler(i, nullptr);
        NKRegisterFileCommands();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, LoadProbeHandler);
        ClearRecentFiles();
        LoadEvents().clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(NKGetMessageOffCount(), 0) << "message output left unbalanced";
        NKFCloseInterface();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_Saved[i]);
        NKSetLoadHooks(m_SavedLoad);
        NKSetModelHooks(m_SavedModel);
        NKSetShellHooks(m_SavedShell);
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        // Every global the load road reads or writes goes back to its start.
        bKeepSettings = 0;
        g_CommandRunner.bRunningCommandFile = false;
        g_CommandRunner.szCurrentCommandFile = "";
        g_fNearClip = NK_DEFAULT_NEAR_CLIP;
        g_fFarClip = NK_DEFAULT_FAR_CLIP;
        g_bHiddenCullingOn = 0;
        g_szStepText = "";
        g_iPlotNewModelSetting = 1;
        NKFreeSoundSourceTable();
        g_pGlobalPrimitives = nullptr;
        g_pCurrentPlot = nullptr;
        g_MirrorSettings.Reset();
        g_SelectionList.Clear();
        NKResetContourSettings(&g_ContourSettings);
        NKResetVectorSettings(&g_SeparateVectorSettings[1], NK_VECTOR_RESET_STARTUP);
        *g_pListUpdateInfo = NKListUpdateInfo();
        ClearRecentFiles();
        if (m_OldHome.empty()) {
            unsetenv("HOME");
        } else {
            setenv("HOME", m_OldHome.c_str(), 1);
        }
        NKSetProgramDirectory(nullptr);
        std::filesystem::current_path(m_OldDir);
        EXPECT_TRUE(NKTestRemoveDir(m_Dir));
    }

    // The texts of the events, in order; with a fragment only those holding it.
    static std::vector<std::string> Events(const std::string &fragment = "")
    {
        std::vector<std::string> texts;
        for (const LoadEvent &e : LoadEvents())
            if (e.text.find(fragment) != std::string::npos) texts.push_back(e.text);
        return texts;
    }
    static std::string ExamplePath(const char *pszName) { return NKTestExamplePath(pszName); }
    static int OpenBeam()
    {
        return ExecuteCommand(("nkf open \"" + ExamplePath("beam.nkf") + "\"").c_str());
    }
    std::string Path(const std::string &name) const { return (m_Dir / name).string(); }

    std::filesystem::path m_Dir;
    std::filesystem::path m_OldDir;
    std::string m_OldHome;
    NKLoadHooks m_SavedLoad;
    NKModelHooks m_SavedModel;
    NKShellHooks m_SavedShell;
    NKCommandHandler m_Saved[NK_NUM_HANDLER_SLOTS] = {};
    MessageCapture m_Capture;
};
