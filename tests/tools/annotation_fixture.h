// tests/tools/annotation_fixture.h -- the unit hexahedron opened from an NKF
// file with the annotation handler installed, for the annotation command
// tests (plain and GL). Works in a fresh folder; every annotation record is
// made for the test and freed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_export_items.h"
#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "core/nk_tool_state.h"
#include "readers/nk_data_source.h"
#include "render/nk_view_settings.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_unit_hex.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_annotation_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_primitives_3d.h"

class AnnotationTest : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallCommandHooks();
        NKInstallToolHooks();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterAnnotationCommands();
        g_pViewSettings = NKCreateViewSettings(nullptr);
        NKCreateAnnotationRecords();
        m_Dir = NKTestMakeTempDir("quolin_annotation_");
        m_Saved = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        NKTestWriteText("hex.nkf", NKTestUnitHex());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_Saved);
        NKFreeAnnotationRecords();
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_ANNOTATION, nullptr);
        NKModelTest::TearDown();
        NKFree(g_pViewSettings);
        g_pViewSettings = nullptr;
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // Runs the line and expects its result and, when given, the text.
    void Expect(const std::string &line, int iResult, const std::string &message = "")
    {
        m_Capture.Clear();
        EXPECT_EQ(Run(line), iResult) << line << "\n" << m_Capture.Text();
        if (!message.empty()) {
            EXPECT_TRUE(m_Capture.Contains(message)) << line << "\n" << m_Capture.Text();
        }
    }
    void OpenHex()
    {
        ASSERT_EQ(Run("open hex.nkf"), 0);
        ASSERT_EQ(Run("readstate 1 1 0"), 0);
    }

    NKModelHooks m_SavedHooks;
    std::filesystem::path m_Dir, m_Saved;
    MessageCapture m_Capture;
};
