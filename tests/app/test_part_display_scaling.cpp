// tests/app/test_part_display_scaling.cpp -- model scaling by command on the
// example beam opened through the interpreter: the display coordinates
// follow the axis scales, the model coordinates stay, the outline edges are
// found again, and a factor that would make the display transform
// irreversible is refused without a change.
#include <gtest/gtest.h>

#include <string>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_part_display_commands.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class PartDisplayScaling : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        m_pSaved = NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, NKCommandHandlePartDisplay);
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, m_pSaved);
        NKSetModelHooks(m_SavedHooks);
        NKDestroyRenderOptions(g_pGraphicsSettings);
        g_pGraphicsSettings = nullptr;
        NKModelTest::TearDown();
    }
    int Run(const std::string &line)
    {
        m_Capture.Clear();
        return ExecuteCommand(line.c_str());
    }
    // The display coordinates of the node with the ID; false when no part
    // holds it.
    static bool NodeById(int iId, float *pfOut)
    {
        const NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
        for (int p = 0; p < pGeo->iNumParts; p++) {
            const NKPart &part = pGeo->pParts[p];
            for (int i = 0; i < part.iNumNodes; i++) {
                const int iNodeId = part.pNodeIDs != nullptr ? part.pNodeIDs[i] : i + 1;
                if (iNodeId != iId) continue;
                for (int k = 0; k < 3; k++) pfOut[k] = part.pNodeCoords[3 * i + k];
                return true;
            }
        }
        return false;
    }

    NKModelHooks m_SavedHooks;
    NKCommandHandler m_pSaved = nullptr;
    MessageCapture m_Capture;
};

TEST_F(PartDisplayScaling, ScaleModelScalesTheDisplayOnly)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    float afNode[3];
    ASSERT_TRUE(NodeById(1011, afNode));
    EXPECT_NEAR(afNode[2], -0.05f, 1e-6f);

    for (int iRepeat = 0; iRepeat < 2; iRepeat++) {
        EXPECT_EQ(Run("scalemodel 1 1 2"), 0);
        EXPECT_TRUE(m_Capture.HasLine("Scaling model with factors: <1, 1, 2>", NK_MSG_INFO))
            << m_Capture.Text();
        EXPECT_TRUE(
            m_Capture.HasLine("Outline edges computed with crease angle 30.00", NK_MSG_INFO))
            << m_Capture.Text();
        ASSERT_TRUE(NodeById(1011, afNode));
        EXPECT_NEAR(afNode[2], -0.1f, 1e-6f) << "repeat " << iRepeat;
        DisplayToModel(afNode);
        EXPECT_NEAR(afNode[2], 0.0f, 1e-5f);
        EXPECT_FLOAT_EQ(g_pModel->fAxisScale[2], 2.0f);
    }

    for (const char *pszLine : {"scalemodel 1 0 1", "scalemodel 1e-9", "scalemodel 1 1 inf"}) {
        EXPECT_EQ(Run(pszLine), 1) << pszLine;
        EXPECT_TRUE(m_Capture.HasLine("scalemodel: Error scaling model coordinates", NK_MSG_ERROR))
            << pszLine;
        ASSERT_TRUE(NodeById(1011, afNode));
        EXPECT_NEAR(afNode[2], -0.1f, 1e-6f) << pszLine;
        EXPECT_FLOAT_EQ(g_pModel->fAxisScale[1], 1.0f) << pszLine;
    }
}

}  // namespace
