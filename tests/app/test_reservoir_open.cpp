// tests/app/test_reservoir_open.cpp -- a reservoir result set opened end to
// end through the interpreter: detection, the kind-9 open with its z scale,
// parts and result lists, a state read by readstate, the seed box handed to
// the particle traces, the water flow field a state brings into the frame,
// and an open that fails and keeps the model.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_output3d.h"
#include "render/nk_camera.h"
#include "render/nk_node_colors.h"
#include "render/nk_viewpoint_commands.h"
#include "scene/nk_renderer.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

float g_afSeedBox[6];
int g_iSeeds = 0;

void RecordSeeds(int, const NKTraceSeed &seed)
{
    for (int k = 0; k < 6; k++) g_afSeedBox[k] = seed.afBox[k];
    g_iSeeds = seed.aiCounts[0] * seed.aiCounts[1] * seed.aiCounts[2];
}

class ReservoirOpen : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKModelHooks hooks;
        hooks.pfnSetTraceSeed = RecordSeeds;
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
        g_SeparateVectorSettings[0].bShown = 0;
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
    // Event 3's parts: units 1 and 3, a shared face dropped inside unit 1.
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(0));
    ASSERT_NE(pGeo, nullptr);
    ASSERT_EQ(pGeo->iNumParts, 2);
    struct {
        const char *pszName;
        int iNodes, iPolygons;
        std::vector<int> elementIds;
    } const kParts[] = {{"Geo Unit 1", 16, 10, {1, 2}}, {"Sandstone", 8, 6, {3}}};
    for (int i = 0; i < 2; i++) {
        const NKPart &part = pGeo->pParts[i];
        SCOPED_TRACE(kParts[i].pszName);
        EXPECT_STREQ(part.szName.GetText(), kParts[i].pszName);
        EXPECT_EQ(part.iNumNodes, kParts[i].iNodes);
        EXPECT_EQ(part.iNumPolygons, kParts[i].iPolygons);
        ASSERT_EQ(part.iNumElements, (int)kParts[i].elementIds.size());
        for (int k = 0; k < part.iNumElements; k++) {
            EXPECT_EQ(part.pElements[k].iID, kParts[i].elementIds[(size_t)k]);
            EXPECT_EQ(part.pElements[k].iType, 8);  // hexahedron
        }
        for (int k = 0; k < part.iNumPolygons; k++) EXPECT_EQ(part.pPolygonNumNodes[k], 4);
    }

    std::string info = m_Dir + "/info.txt";
    ASSERT_TRUE(ExportResultInfo(info.c_str()));
    std::string text = NKTestReadFile(info);
    for (const char *psz :
         {"*INTERFACE_TYPE: IES Output3D", "*STATES: 3", "1: Triassic (245 Mabp)",
          "2: Jurassic (150.5 Mabp)", "3: Present (0 Mabp)", "*SCALARS: 2", "1: Porosity (frac)",
          "2: WaterFlow: x (m/s)", "*VECTORS: 1", "1: WaterFlow (m/s)"})
        EXPECT_NE(text.find(psz), std::string::npos) << psz << "\n" << text;

    // The state brings the scalar, the water flow vector (1, 2, 3) at every
    // corner, and, with water flow shown, the flow records, one per part.
    g_SeparateVectorSettings[0].bShown = 1;
    ASSERT_EQ(Run("readstate 3 1 1"), 0) << m_Capture.Text();
    EXPECT_FLOAT_EQ(NKGetScalarNodeValue(0, 0, 11), 1.3f);
    EXPECT_EQ(NKGetFrame(0)->fTime, NK_UNDEFINED_VALUE);
    float fFrom = 0, fTo = 0;
    NKGetReservoirValueRange(&fFrom, &fTo);
    EXPECT_FLOAT_EQ(fFrom, 0.05f);
    EXPECT_FLOAT_EQ(fTo, 0.35f);
    const NKVectorResult *pVector = NKGetFrame(0)->pVector;
    ASSERT_NE(pVector, nullptr);
    ASSERT_EQ(pVector->iNumParts, 2);
    // Every vector has the length of (1, 2, 3); the frame holds the nodes
    // displaced by it in display units (z stretched by the z scale).
    EXPECT_FLOAT_EQ(pVector->lengthMinMax.min, std::sqrt(14.0f));
    EXPECT_FLOAT_EQ(pVector->lengthMinMax.max, std::sqrt(14.0f));
    const NKGeometry *pNow = NKGetFrameGeometry(NKGetFrame(0));
    const float fUnit = pVector->pResults[0].pNodeValues[0] - pNow->pParts[0].pNodeCoords[0];
    EXPECT_GT(fUnit, 0.0f);
    for (int i = 0; i < 2; i++) {
        const NKVectorPartEntry &entry = pVector->pResults[i];
        ASSERT_EQ(entry.iNumNodes, kParts[i].iNodes);
        for (int n = 0; n < entry.iNumNodes; n++)
            for (int k = 0; k < 3; k++) {
                float fMoved =
                    entry.pNodeValues[3 * n + k] - pNow->pParts[i].pNodeCoords[3 * n + k];
                EXPECT_NEAR(fMoved, fUnit * (float)(k + 1) * g_pModel->fAxisScale[k], 1e-5f)
                    << "part " << i << " node " << n << " axis " << k;
            }
    }
    const NKSeparateVectorField *pWater = NKGetFrame(0)->pSeparateVectors[0];
    ASSERT_NE(pWater, nullptr);
    EXPECT_STREQ(pWater->szName.GetText(), "Water Flow");
    ASSERT_EQ(pWater->iNumParts, 2);
    for (int i = 0; i < 2; i++) {
        ASSERT_EQ(pWater->pParts[i].iCount, 1);
        EXPECT_EQ(pWater->pParts[i].pItems[0].iIndex, 2 * i + 1);  // elements 1 and 3
    }
    EXPECT_EQ(NKGetFrame(0)->pSeparateVectors[1], nullptr);  // no res.y02

    // Another set without its node file is refused; the model stays, with
    // its own set open.
    const std::string other = m_Dir + "/other";
    std::filesystem::create_directories(other);
    ASSERT_TRUE(NKOutput3DWriteFixture(other, false));
    std::remove((other + "/res.k00").c_str());
    m_Capture.Clear();
    EXPECT_EQ(Run("open \"" + other + "/res.e00\""), 1);
    EXPECT_TRUE(m_Capture.Contains("Could not find node description (coordinates) file: " + other +
                                   "/res.k00"));
    EXPECT_EQ(NKGetFrameGeometry(NKGetFrame(0)), pNow);
    NKString source;
    NKGetInterfaceFileName(&source);
    EXPECT_EQ(std::string(source.GetText()), file);
    EXPECT_FLOAT_EQ(g_pModel->fAxisScale[2], 3.0f);
}

// With the drawing code installed: the automatic fringe range of a state is
// the range the reader took from the result file's header (0.05 to 0.35),
// not the values' own (up to 1.3); `autofocus` turns a reservoir to its
// fixed oblique view, and any other model (the source closed) to the
// identity.
TEST_F(ReservoirOpen, AutomaticRangeAndAutofocusFollowTheReservoir)
{
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    ASSERT_TRUE(NKInstallRenderer());
    NKRegisterViewpointCommands();
    const uint8_t bSavedAuto = g_bAutoFringeRange;
    g_bAutoFringeRange = 1;
    ASSERT_EQ(Run("open \"" + m_Dir + "/res.e00\""), 0) << m_Capture.Text();
    ASSERT_EQ(Run("readstate 3 1 1"), 0) << m_Capture.Text();
    EXPECT_FLOAT_EQ(g_pModel->fFringeRangeFrom, 0.05f);
    EXPECT_FLOAT_EQ(g_pModel->fFringeRangeTo, 0.35f);
    EXPECT_GT(NKGetScalarResultMax(NKGetFrame(0)->pScalar), 1.0f);

    ASSERT_EQ(Run("setview  -0.346086 -0.705970 0.560510 0.260115 0.079043 0.075768 0.692930"), 0);
    const std::vector<float> oblique(g_ViewMatrix, g_ViewMatrix + 16);
    std::vector<float> identity(16, 0.0f);
    for (int i = 0; i < 16; i += 5) identity[(size_t)i] = 1.0f;
    ASSERT_NE(oblique, identity);
    for (bool bReservoir : {true, false}) {
        SCOPED_TRACE(bReservoir ? "reservoir" : "closed");
        if (!bReservoir) NKCloseInterface();
        g_ViewMatrix[12] = 5.0f;  // moved away since
        ASSERT_EQ(Run("autofocus"), 0);
        EXPECT_TRUE(m_Capture.Contains("View has been reset"));
        const std::vector<float> now(g_ViewMatrix, g_ViewMatrix + 16);
        const std::vector<float> &expected = bReservoir ? oblique : identity;
        for (size_t i = 0; i < 16; i++) EXPECT_NEAR(now[i], expected[i], 1e-6f) << i;
    }
    g_bAutoFringeRange = bSavedAuto;
    NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
    NKShutdownRenderer();
    NKDestroyRenderOptions(g_pGraphicsSettings);
    g_pGraphicsSettings = nullptr;
}

}  // namespace

namespace {

// A set whose element file is damaged opens (its header and counts are
// sound) and then gives no geometry: the open fails with "Error reading
// geometry.", and the set opened before stays with its model and frames.
TEST_F(ReservoirOpen, ASetWhoseElementFileIsDamagedKeepsTheSetBefore)
{
    const std::string file = m_Dir + "/res.e00";
    ASSERT_EQ(Run("open \"" + file + "\""), 0) << m_Capture.Text();
    NKGeometry *pBefore = NKGetFrameGeometry(NKGetFrame(0));
    const int iFrames = g_pModel->iNumFrames;
    const std::string other = m_Dir + "/other";
    std::filesystem::create_directories(other);
    NKO3DFixture damaged = NKOutput3DFixture();
    for (auto &binary : damaged.binaries)
        if (binary.first == "elm") binary.second.plain.resize(1);  // two units missing
    ASSERT_TRUE(NKOutput3DWriteFiles(other, damaged, false));
    m_Capture.Clear();
    EXPECT_EQ(Run("open \"" + other + "/res.e00\""), 1);
    EXPECT_TRUE(m_Capture.HasLine("Error reading geometry.", NK_MSG_ERROR)) << m_Capture.Text();
    EXPECT_EQ(NKGetFrameGeometry(NKGetFrame(0)), pBefore);
    EXPECT_EQ(g_pModel->iNumFrames, iFrames);
    NKString source;
    NKGetInterfaceFileName(&source);
    EXPECT_EQ(std::string(source.GetText()), file);
    EXPECT_EQ(Run("readstate 3 1 1"), 0) << m_Capture.Text();
}

}  // namespace
