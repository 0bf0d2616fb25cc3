// tests/app/test_reservoir_open.cpp -- a reservoir result set opened end to
// end through the interpreter: detection, the kind-9 open with its z scale,
// parts and result lists, a state read by readstate, the seed box handed to
// the particle traces, and an open that fails and keeps the model.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_data_source.h"
#include "readers/nk_output3d.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

float g_afSeedBox[6];
int g_iSeeds = 0;

void RecordSeeds(const float *pfBox, int nx, int ny, int nz)
{
    for (int k = 0; k < 6; k++) g_afSeedBox[k] = pfBox[k];
    g_iSeeds = nx * ny * nz;
}

class ReservoirOpen : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKModelHooks hooks;
        hooks.pfnSetTraceSeedBox = RecordSeeds;
        NKSetModelHooks(hooks);
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        m_Dir = NKTestMakeTempDir("quolin_reservoir_open_");
        ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    std::string m_Dir;
    NKModelHooks m_SavedHooks;
    MessageCapture m_Capture;
};

TEST_F(ReservoirOpen, OpenReadStateAndResultInfo)
{
    std::string file = m_Dir + "/res.e00";
    ASSERT_EQ(Run("open \"" + file + "\""), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("IES Ouput 3D file " + file + " opened."));
    EXPECT_TRUE(m_Capture.Contains("Primary file " + file + " opened."));
    EXPECT_FLOAT_EQ(g_pModel->fAxisScale[2], 3.0f);
    EXPECT_EQ(g_iSeeds, 100);
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(0));
    ASSERT_NE(pGeo, nullptr);
    ASSERT_EQ(pGeo->iNumParts, 2);
    EXPECT_STREQ(pGeo->pParts[0].szName.GetText(), "Geo Unit 1");
    EXPECT_STREQ(pGeo->pParts[1].szName.GetText(), "Sandstone");
    EXPECT_EQ(pGeo->pParts[1].iNumPolygons, 6);

    std::string info = m_Dir + "/info.txt";
    ASSERT_TRUE(ExportResultInfo(info.c_str()));
    std::string text = NKTestReadFile(info);
    for (const char *psz :
         {"*INTERFACE_TYPE: IES Output3D", "*STATES: 3", "1: Triassic (245 Mabp)",
          "2: Jurassic (150.5 Mabp)", "3: Present (0 Mabp)", "*SCALARS: 2", "1: Porosity (frac)",
          "2: WaterFlow: x (m/s)", "*VECTORS: 1", "1: WaterFlow (m/s)"})
        EXPECT_NE(text.find(psz), std::string::npos) << psz << "\n" << text;

    ASSERT_EQ(Run("readstate 3 1 1"), 0) << m_Capture.Text();
    EXPECT_FLOAT_EQ(NKGetScalarNodeValue(0, 0, 11), 1.3f);
    EXPECT_GE(NKGetFrame(0)->fTime, 3.4e38f);
    float fFrom = 0, fTo = 0;
    NKGetReservoirValueRange(&fFrom, &fTo);
    EXPECT_FLOAT_EQ(fFrom, 0.05f);
    EXPECT_FLOAT_EQ(fTo, 0.35f);

    // A set without its node file is refused; the model stays.
    std::remove((m_Dir + "/res.k00").c_str());
    m_Capture.Clear();
    EXPECT_EQ(Run("open \"" + file + "\""), 1);
    EXPECT_TRUE(m_Capture.Contains("Could not find node description (coordinates) file: " + m_Dir +
                                   "/res.k00"));
    EXPECT_NE(NKGetFrameGeometry(NKGetFrame(0)), nullptr);
}

}  // namespace
