// Tests of the per-element reads of the LS-DYNA plot database across states
// (seeking into the family versus the state in memory) and of the shell
// local axes and principal strain lines built on them.
#include <gtest/gtest.h>

#include <filesystem>

#include <cmath>
#include <string>
#include <vector>

#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_shell_axes.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class LSDynaDirect : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_Dir = NKTestMakeTempDir("lsdyna_direct");
    }
    void TearDown() override
    {
        g_ShellAxes.DisableAll();
        NKModelTest::TearDown();
        NKLSDynaClose();
        NKTestRemoveDir(m_Dir);
    }
    // One frame holding the database's geometry at the time of iState.
    void FrameAt(int iState)
    {
        ASSERT_TRUE(NKSetFrameCount(1, false));
        if (m_pGeo == nullptr) m_pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(m_pGeo, nullptr);
        g_pModel->pFrames[0].pGeometry = m_pGeo;
        g_pModel->pFrames[0].fTime = NKLSDynaGetStateTime(iState);
    }
    std::string m_Dir;
    NKGeometry *m_pGeo = nullptr;
};

// The direct reader of element results reads a state whose words run on
// over members' ends (it is larger than any member) as the family written
// whole in one file has it, in 4- and 8-byte words: every key of every
// state.
TEST_F(LSDynaDirect, StatesRunningOnOverMembersReadAsTheFamilyWrittenWhole)
{
    for (int iWordSize : {4, 8}) {
        SCOPED_TRACE(std::to_string(iWordSize) + "-byte words");
        std::vector<std::vector<float>> got[2];
        for (bool bWhole : {false, true}) {
            const std::string dir =
                m_Dir + (bWhole ? "/whole" : "/split") + std::to_string(iWordSize);
            ASSERT_TRUE(std::filesystem::create_directories(dir));
            ASSERT_TRUE(LSDynaWriteStrainFamily(dir, {0.0, 0.5, 1.0}, 2.0, iWordSize, bWhole));
            MessageCapture capture;
            ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str()));
            EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
            ASSERT_EQ(NKLSDynaGetNumStates(), 3);
            const int nKeys = NKLSDynaGetNumScalars();
            std::vector<int> keys;
            for (int k = 0; k < nKeys; k++) keys.push_back(k);
            std::vector<std::vector<float>> &out = got[bWhole ? 1 : 0];
            out.assign((size_t)nKeys, std::vector<float>(3, -1.0f));
            std::vector<float *> pOut;
            for (auto &v : out) pOut.push_back(v.data());
            ASSERT_EQ(NKLSDynaReadStateResult(nullptr, 3, keys.data(), nKeys, nullptr, 0,
                                              pOut.data(), NK_DYNA_SHELLS, nullptr),
                      3);
            NKLSDynaClose();
        }
        EXPECT_EQ(got[0], got[1]);
        // The values are the states' own: the first stress grows by 100 a state.
        ASSERT_FALSE(got[0].empty());
        EXPECT_NE(got[0][0][0], got[0][0][2]);
    }
}

// Every key of every state read straight from the family equals the value
// the whole-result computation gives for the state in memory.
TEST_F(LSDynaDirect, SeekedWordsGiveTheValuesOfTheStateInMemory)
{
    ASSERT_TRUE(LSDynaWriteStrainFamily(m_Dir, {0.0, 0.5, 1.0}));
    ASSERT_TRUE(NKLSDynaOpen((m_Dir + "/d3plot").c_str()));
    ASSERT_EQ(NKLSDynaGetNumStates(), 3);
    int nKeys = NKLSDynaGetNumScalars();
    ASSERT_EQ(nKeys, 29);
    std::vector<int> keys;
    for (int k = 0; k < nKeys; k++) keys.push_back(k);
    std::vector<std::vector<float>> out((size_t)nKeys, std::vector<float>(3));
    std::vector<float *> pOut;
    for (auto &v : out) pOut.push_back(v.data());
    float corners[1][8][3] = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
    ASSERT_EQ(NKLSDynaReadStateResult(nullptr, 3, keys.data(), nKeys, nullptr, 0, pOut.data(),
                                      NK_DYNA_SHELLS, corners),
              3);
    for (int s = 0; s < 3; s++) {
        ASSERT_NE(NKLSDynaGetSegmentGeometry(s), nullptr);
        ASSERT_TRUE(NKLSDynaReadState(s));
        for (int k = 0; k < nKeys; k++) {
            int iKind, iSub;
            ASSERT_TRUE(NKLSDynaScalarIndexToKind(k, &iKind, &iSub));
            std::vector<float> nodes, elems;
            ASSERT_TRUE(NKLSDynaComputeValues(iKind, iSub, &nodes, &elems));
            if (iKind == 21) continue;  // no curve file
            EXPECT_FLOAT_EQ(out[(size_t)k][(size_t)s], elems[0]) << "state " << s << " key " << k;
            EXPECT_FLOAT_EQ(NKLSDynaGetElementValue(k, 0), elems[0]) << "key " << k;
        }
    }
    // Raw strain words and node coordinates.
    int raw[3] = {1000, 1006, 1011}, iState = 2, iNode = 2;
    float r[3], *pr[3] = {&r[0], &r[1], &r[2]};
    NKLSDynaReadState(0);
    ASSERT_EQ(NKLSDynaReadStateResult(&iState, 1, raw, 3, nullptr, 0, pr, NK_DYNA_SHELLS, nullptr),
              1);
    EXPECT_FLOAT_EQ(r[0], 0.06f);
    EXPECT_FLOAT_EQ(r[1], 0.12f);
    EXPECT_FLOAT_EQ(r[2], 0.0f);
    int xyz[3] = {25, 26, 27};
    ASSERT_EQ(
        NKLSDynaReadStateResult(&iState, 1, xyz, 3, &iNode, 1, pr, NK_DYNA_NODE_COORDS, nullptr),
        1);
    EXPECT_FLOAT_EQ(r[0], 1.0f);
    EXPECT_FLOAT_EQ(r[1], 1.0f);
    // An element outside its class, a state outside the list.
    MessageCapture capture;
    int iBad = 1, iBadState = 3;
    EXPECT_EQ(NKLSDynaReadStateResult(&iState, 1, raw, 1, &iBad, 1, pr, NK_DYNA_SHELLS, nullptr),
              -1);
    EXPECT_TRUE(capture.Contains("Internal error in reading from state database."));
    EXPECT_EQ(
        NKLSDynaReadStateResult(&iBadState, 1, raw, 1, nullptr, 0, pr, NK_DYNA_SHELLS, nullptr),
        -1);
    // A class without elements reads the state and writes nothing.
    EXPECT_EQ(NKLSDynaReadStateResult(nullptr, 1, raw, 1, nullptr, 0, pr, NK_DYNA_SOLIDS, nullptr),
              1);
}

TEST_F(LSDynaDirect, ShellAxesAndStrainLinesOfThePickedSquare)
{
    ASSERT_TRUE(LSDynaWriteStrainFamily(m_Dir, {0.0, 1.0}));
    ASSERT_TRUE(NKLSDynaOpen((m_Dir + "/d3plot").c_str()));
    FrameAt(1);
    float c[3], x[3], y[3], z[3];
    ASSERT_TRUE(g_ShellAxes.ComputeElementAxes(0, {0, 0}, c, x, y, z));
    const float want[4][3] = {{0.5f, 0.5f, 0}, {1, 0.5f, 0}, {0.5f, 1, 0}, {0.5f, 0.5f, 0.5f}};
    const float *got[4] = {c, x, y, z};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(got[i][k], want[i][k], 1e-6f) << i << " " << k;
    // Middle surface: inner xx 0.04, yy -0.02 and outer twice that average
    // to xx 0.06, yy -0.03 -- tensile major along x, compressive minor.
    float p[4][3];
    const float *pMajor = nullptr, *pMinor = nullptr;
    ASSERT_TRUE(g_ShellAxes.ComputeStrainAxes(0, {0, 0}, p, &pMajor, &pMinor));
    const float line[4][3] = {{0, 0.5f, 0}, {1, 0.5f, 0}, {0.5f, 0.25f, 0}, {0.5f, 0.75f, 0}};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(p[i][k], line[i][k], 1e-6f) << i << " " << k;
    EXPECT_FLOAT_EQ(pMajor[0], 1.0f);
    EXPECT_FLOAT_EQ(pMinor[2], 1.0f);
    EXPECT_EQ(g_ShellAxes.GetCacheCount(), 1);
    // A zero strain (state 0) is drawn tensile; a time without a state, an
    // element that does not exist: no axes.
    FrameAt(0);
    ASSERT_TRUE(g_ShellAxes.ComputeStrainAxes(0, {0, 0}, p, &pMajor, &pMinor));
    EXPECT_FLOAT_EQ(pMajor[0], 1.0f);
    EXPECT_FLOAT_EQ(pMinor[0], 1.0f);
    EXPECT_EQ(g_ShellAxes.GetCacheCount(), 2);
    EXPECT_FALSE(g_ShellAxes.ComputeElementAxes(0, {0, 1}, c, x, y, z));
    EXPECT_FALSE(g_ShellAxes.ComputeElementAxes(0, {0, 0}, nullptr, x, y, z));
    g_pModel->pFrames[0].fTime = 0.25f;
    EXPECT_FALSE(g_ShellAxes.ComputeElementAxes(0, {0, 0}, c, x, y, z));
}

// Strains xx 0.02, yy -0.01 on both surfaces: the major line along x in the
// tensile colour, the minor one along y in the compressive colour.
TEST_F(LSDynaDirect, EqualSurfaceStrainsGiveTheTwoLinesOfTheSquare)
{
    ASSERT_TRUE(LSDynaWriteStrainFamily(m_Dir, {1.0}, 1.0));
    ASSERT_TRUE(NKLSDynaOpen((m_Dir + "/d3plot").c_str()));
    FrameAt(0);
    float p[4][3];
    const float *pMajor = nullptr, *pMinor = nullptr;
    ASSERT_TRUE(g_ShellAxes.ComputeStrainAxes(0, {0, 0}, p, &pMajor, &pMinor));
    const float line[4][3] = {{0, 0.5f, 0}, {1, 0.5f, 0}, {0.5f, 0.25f, 0}, {0.5f, 0.75f, 0}};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++) EXPECT_NEAR(p[i][k], line[i][k], 1e-6f) << i << " " << k;
    EXPECT_EQ(std::vector<float>(pMajor, pMajor + 3), std::vector<float>({1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(std::vector<float>(pMinor, pMinor + 3), std::vector<float>({0.0f, 0.0f, 1.0f}));
}

TEST_F(LSDynaDirect, SwitchesColoursAndTheCache)
{
    struct Case {
        uint32_t uMask;
        float r, g, b;
    } colours[] = {{NK_SHELLAXES_X, 1, 1, 0},
                   {NK_SHELLAXES_Y, 0, 1, 0},
                   {NK_SHELLAXES_Z, 0, 1, 1},
                   {NK_SHELLAXES_X | NK_SHELLAXES_Y, 1, 1, 1}};
    for (const Case &c : colours) {
        const float *p = g_ShellAxes.GetAxisColor(c.uMask);
        EXPECT_EQ(p[0], c.r);
        EXPECT_EQ(p[1], c.g);
        EXPECT_EQ(p[2], c.b);
    }
    EXPECT_FALSE(g_ShellAxes.IsAnyEnabled());
    g_ShellAxes.Enable(NK_SHELLAXES_STRAINS);
    EXPECT_TRUE(g_ShellAxes.IsEnabled(NK_SHELLAXES_STRAINS | NK_SHELLAXES_COORDSYS));
    EXPECT_FALSE(g_ShellAxes.IsEnabled(NK_SHELLAXES_COORDSYS));
    g_ShellAxes.Disable(NK_SHELLAXES_STRAINS);
    EXPECT_FALSE(g_ShellAxes.IsAnyEnabled());
    EXPECT_EQ(g_ShellAxes.GetLineWidth(), 1.0f);
}

// A state whose stresses are NaN or minus infinity: the element takes the
// value as read, its nodes (used by no other element) are undefined rather
// than averaged from it, and the scalar made of it warns once, naming the
// result, the member file and the state.
TEST_F(LSDynaDirect, StressesThatAreNoNumberWarnAndLeaveTheirNodesUndefined)
{
    for (double dBad : {(double)NAN, -(double)INFINITY}) {
        SCOPED_TRACE(dBad);
        LSDynaTestHeader h = LSDynaShellFixtureHeader();
        h.w[33] = 45;
        h.w[43] = h.w[44] = 1000;  // stresses and plastic strain
        LSDynaTestWriter w;
        LSDynaWriteHeader(&w, h, "bad stress");
        w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
        w.Ints({1, 2, 3, 4, 1});
        w.Float(0.5);
        w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
        std::vector<double> words(45, 1.0);
        for (int i = 0; i < 21; i++) words[(size_t)i] = dBad;  // every stress
        w.Floats(words);
        ASSERT_TRUE(w.Save(m_Dir + "/d3plot"));
        ASSERT_TRUE(NKLSDynaOpen((m_Dir + "/d3plot").c_str()));
        FrameAt(0);
        ASSERT_TRUE(NKLSDynaReadState(0));
        std::vector<float> nodes, elems;
        ASSERT_TRUE(NKLSDynaComputeValues(0, 0, &nodes, &elems));
        ASSERT_EQ(elems.size(), 1u);
        EXPECT_FALSE(std::isfinite(elems[0]));
        for (float v : nodes) EXPECT_EQ(v, NK_UNDEFINED_VALUE);
        MessageCapture capture;
        NKScalarResult *pResult = NKLSDynaCreateScalar(0, 0, m_pGeo);
        ASSERT_NE(pResult, nullptr);
        NKReleaseScalarResult(pResult);
        EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
        EXPECT_TRUE(capture.HasLine("The X Axis Stress result of file " + m_Dir +
                                        "/d3plot, state 1: NaN or -inf values: 1, the first is "
                                        "element 1; they count as undefined values.",
                                    NK_MSG_WARNING))
            << capture.Text();
        g_pModel->pFrames[0].pGeometry = nullptr;
        NKReleaseGeometry(m_pGeo);
        m_pGeo = nullptr;
        NKLSDynaClose();
    }
}

}  // namespace
