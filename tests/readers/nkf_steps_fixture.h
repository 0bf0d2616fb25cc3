// tests/readers/nkf_steps_fixture.h -- the NKF file that the dispatcher and
// animation set-up tests open as data source kind 5, and their fixture: the
// data-source record, an empty model and a status bar that records its texts
// for each test, every global put back afterwards.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_model.h"
#include "core/nk_progress.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/recording_progress_ui.h"

// One quad (*NODES 1, *ELEMENTS 3) with node results (*RESULTS 1);
// *QUOLINGEOMETRY entry 1; *QUOLINSCALAR entries 1-3 named "a", "b", "c" at
// times 0.5, 1, 1.5; *QUOLINVECTOR entries 1 and 5; two separate vector
// fields (*QUOLINPOSITIONVECTOR) from entry 1 on. Written as steps.nkf; the
// answer is its path without ".nkf".
inline std::string WriteStepsFile(bool bWithGeometry)
{
    std::vector<std::string> lines = {
        "*NKF-1.00",                                                        //
        "*NODES 1",    "0 0 0",        "1 0 0",        "1 1 0",   "0 1 0",  //
        "*ELEMENTS 3", "%NODES #1",    "%QUADS",       "1 2 3 4",           //
        "*RESULTS 1",  "%DIMENSION 1", "%PER_NODE #1", "10",      "20",    "30", "40"};
    std::vector<std::vector<std::string>> blocks = {
        {"*QUOLINSCALAR 1", "%NAME \"Temp\""},
        StepLines({{1, "a", 0.5f, {1}}, {2, "b", 1.0f, {1}}, {3, "c", 1.5f, {1}}}),
        {"*QUOLINVECTOR 1", "%NAME \"Move\""},
        StepLines({{1, "", 0.0f, {}}, {5, "", 0.0f, {}}}),
        {"*QUOLINPOSITIONVECTOR 1", "%NAME \"Flow\""},
        StepLines({{1, "", 0.0f, {}}}),
        {"*QUOLINPOSITIONVECTOR 2", "%NAME \"Wind\""},
        StepLines({{1, "", 0.0f, {}}})};
    if (bWithGeometry)
        blocks.insert(blocks.begin(), GeometryLines(1, "Quad", {{1, "", 0, {}, {3}}}));
    for (const std::vector<std::string> &block : blocks)
        lines.insert(lines.end(), block.begin(), block.end());
    std::string path = NKFWriteTestFile("steps.nkf", lines);
    return path.substr(0, path.size() - 4);
}

class StepsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKInstallDataSources();
        g_pModel = NKCreateModel();
        NKResetProgressState();
        NKSetProgressUI(&m_UI);
    }
    void TearDown() override
    {
        NKReleaseDataSources();
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        NKSetProgressUI(nullptr);
        NKResetProgressState();
        g_bAutoFringeRange = g_bContoursShown = 0;
        g_AnimationSettings.bDrawAnimationSetup = 1;
    }
    // Opens steps.nkf (with its geometry) as the data source.
    void OpenSteps()
    {
        ASSERT_EQ(OpenInterface(NK_INTERFACE_NKF, WriteStepsFile(true).c_str()), 1);
    }

    RecordingProgressUI m_UI;
    MessageCapture m_Capture;
};
