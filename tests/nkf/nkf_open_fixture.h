// tests/nkf/nkf_open_fixture.h -- NKF files opened through the open
// commands, with the data sources and the file commands as the program has
// them, in a fresh temporary folder; for the tests of damaged and unusual
// files that look at what the open reports and at the model it keeps.
#pragma once

#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

class NKFOpenTest : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        m_Dir = NKTestMakeTempDir("quolin_nkf_open_");
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }

    NKModelHooks m_SavedHooks;
    std::string m_Dir;
    MessageCapture m_Capture;
};
