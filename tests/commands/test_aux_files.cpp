// tests/commands/test_aux_files.cpp -- transformation, RGB and viewpoint
// files installed in a cube model (0,0,0)-(2,2,2): frames, per-step tables,
// and what a bad file leaves behind.
#include "commands/nk_aux_files.h"

#include <string>

#include "core/nk_math.h"
#include "tests/commands/result_model_fixture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/test_files.h"

namespace {

class AuxFiles : public ResultModelTest {
protected:
    void SetUp() override
    {
        ResultModelTest::SetUp();
        m_Dir = NKTestMakeTempDir("aux_files_");
    }
    void TearDown() override
    {
        NKTestRemoveDir(m_Dir);
        ResultModelTest::TearDown();
    }
    // The path of a file holding the text; of a missing file for null.
    std::string Write(const char *pszText)
    {
        std::string path = m_Dir + "/f" + std::to_string(m_iFiles++);
        if (pszText != nullptr) {
            EXPECT_TRUE(NKTestWriteText(path, pszText));
        }
        return path;
    }
    std::string m_Dir;
    int m_iFiles = 0;
};

TEST_F(AuxFiles, TransformationStepsBecomeFramesInDisplayCoordinates)
{
    NKGeometry *pGeo = MakeCubeModel(1, 2);
    std::string path = Write("2 1\n0 1 0 -1 0 0 0 0 1 2 3 4\n0 1 0 -1 0 0 0 0 1 2 3 4\n");
    ASSERT_TRUE(NKCommandReadTransformation(path.c_str()));
    ASSERT_EQ(g_pModel->iNumFrames, 2);
    EXPECT_EQ(pGeo->iNumRef, 2);
    float afIdentity[16];
    NKMatrixIdentity(afIdentity);
    for (int f = 0; f < 2; f++) {
        const float *m = g_pModel->pFrames[f].pTransformation;
        ExpectPoint(&m[12], 0.0f, 1.5f, 2.0f);
        ExpectPoint(&m[4], -1.0f, 0.0f, 0.0f);
        EXPECT_TRUE(NKMat4Equal(&m[16], afIdentity, true));  // part 2 is not in the file
    }
    EXPECT_EQ(g_TransformationTable.m_iNumSteps, 2);
    ExpectPoint(&g_TransformationTable.GetMatrix(1, 0)[12], 0.0f, 1.5f, 2.0f);
}

TEST_F(AuxFiles, ViewpointStepsMakeFramesThatShareTheRest)
{
    NKGeometry *pGeo = MakeCubeModel(1);
    ASSERT_TRUE(NKApplyScalarToFrames(MakeScalar({1}), 0, 0));
    std::string path = Write("3\n1 1 5\n1 1 1\n0 0 0\n3 1 1\n1 1 1\n0 2 0\n1 1 -3\n1 1 1\n1 0 0\n");
    ASSERT_TRUE(NKCommandReadViewPoints(path.c_str()));
    ASSERT_EQ(g_pModel->iNumFrames, 3);
    EXPECT_EQ(pGeo->iNumRef, 3);
    EXPECT_EQ(g_pModel->pFrames[0].pScalar->iNumRef, 3);
    const float afEyeZ[3] = {2, 0, -2};
    const float afUp[3][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    for (int i = 0; i < 3; i++) {
        const NKViewPoint *pView = g_pModel->pFrames[i].pViewPoint;
        EXPECT_EQ(pView->iNumRef, 1);
        EXPECT_FLOAT_EQ(pView->eye[2], afEyeZ[i]);
        ExpectPoint(pView->vrp, 0, 0, 0);
        ExpectPoint(pView->vup, afUp[i][0], afUp[i][1], afUp[i][2]);
        ExpectPoint(g_ViewPointTable.m_pVup[i], afUp[i][0], afUp[i][1], afUp[i][2]);
    }
}

TEST_F(AuxFiles, RgbColoursEveryFrameAsTheyStand)
{
    MakeCubeModel(2);
    ASSERT_TRUE(NKCommandReadRGB(Write("255 0 0\nabc\n0 128 255\r\n").c_str()));
    NKScalarResult *pResult = g_pModel->pFrames[1].pScalar;
    EXPECT_EQ(pResult->iNumRef, 2);
    EXPECT_EQ(g_pModel->iNumScalarSteps, 1);
    EXPECT_EQ(NKTestValues(pResult->pNodeResults[0].pNodeValues, 4),
              (std::vector<float>{16711680, 0, 33023, 0}));
}

TEST_F(AuxFiles, BadFileLeavesTheModel)
{
    struct {
        bool (*pfn)(const char *);
        const char *pszText;
        const char *pszMessage;
    } cases[] = {
        {NKCommandReadTransformation, "2 1\n1 0 0 0 1 0 0 0 1 0 0 0\n",
         "Error reading transformation matrices from file "},
        {NKCommandReadViewPoints, "0\n", "Error reading view file. Number of steps <= 0"},
        {NKCommandReadRGB, nullptr, "Error reading rgb file "},
    };
    for (const auto &c : cases) {
        MakeCubeModel(1);
        ASSERT_TRUE(NKApplyScalarToFrames(MakeScalar({1}), 0, 0));
        m_Messages.Clear();
        EXPECT_FALSE(c.pfn(Write(c.pszText).c_str()));
        EXPECT_TRUE(m_Messages.Contains(c.pszMessage)) << m_Messages.Text();
        const NKFrame &frame = g_pModel->pFrames[0];
        EXPECT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_TRUE(frame.pScalar != nullptr && frame.pTransformation == nullptr &&
                    frame.pViewPoint == nullptr);
    }
    EXPECT_EQ(g_TransformationTable.m_pMatrices, nullptr);
    EXPECT_EQ(g_ViewPointTable.m_iCount, 0);
}

}  // namespace
