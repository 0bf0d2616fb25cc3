// Tests of the LS-DYNA plot database reader through its public functions:
// detection, family order, the state scan with its mends, geometry, results,
// damaged files, and the real families of the shared test data read in place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/nk_model.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::string TestDataDir()
{
    std::string f = __FILE__;
    return f.substr(0, f.rfind("/tests/")) + "/../shared/testdata/lsdyna";
}

class LSDynaReader : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("lsdyna"); }
    void TearDown() override
    {
        NKLSDynaClose();
        NKTestRemoveDir(m_Dir);
    }
    std::string Path(const char *name) const { return m_Dir + "/" + name; }

    // The fixture: d3plot with states 0 and 0.001 (or the end marker),
    // d3plot01 with the rest, and two files that are not members.
    void WriteFixture(bool bEndMarker)
    {
        LSDynaTestWriter base, next;
        LSDynaWriteShellGeometry(&base);
        std::vector<double> inBase = {0.0, 0.001}, inNext = {0.002, 0.003};
        if (bEndMarker) {
            base.Float(-999999.0);
            inNext.insert(inNext.begin(), inBase.begin(), inBase.end());
            inBase.clear();
        }
        for (double t : inBase) LSDynaWriteShellState(&base, t);
        for (double t : inNext) LSDynaWriteShellState(&next, t);
        ASSERT_TRUE(base.Save(Path("d3plot")));
        ASSERT_TRUE(next.Save(Path("d3plot01")));
        ASSERT_TRUE(next.Save(Path("d3plot00")));
        ASSERT_TRUE(next.Save(Path("d3plot1")));
        if (!bEndMarker) {
            EXPECT_EQ(base.Words(), 107);
        }
    }

    std::string m_Dir;
};

TEST_F(LSDynaReader, DetectionTellsWordSizeCodingAndByteOrder)
{
    struct Case {
        int iWordSize;
        bool bBig, bFloat;
        int iCode;
    } cases[] = {{4, false, false, 0}, {4, true, false, 0},  {4, false, true, 1},
                 {4, true, true, 1},   {8, false, false, 2}, {8, true, true, 3}};
    for (const Case &c : cases) {
        LSDynaTestWriter w;
        w.iWordSize = c.iWordSize;
        w.bBigEndian = c.bBig;
        w.bFloatCoded = c.bFloat;
        LSDynaWriteShellGeometry(&w);
        ASSERT_TRUE(w.Save(Path("d3plot")));
        int iWordSize;
        bool bSwap;
        EXPECT_EQ(NKLSDynaDetectFormat(Path("d3plot").c_str(), &iWordSize, &bSwap), c.iCode);
        EXPECT_EQ(iWordSize, c.iWordSize);
        EXPECT_EQ(bSwap, c.bBig);
    }
    ASSERT_TRUE(NKTestWriteText(Path("text.dsy"), std::string(200, 'x')));
    EXPECT_FALSE(NKLSDynaIsDatabaseFile(Path("text.dsy").c_str()));
    EXPECT_FALSE(NKLSDynaIsDatabaseFile(Path("absent").c_str()));
}

TEST_F(LSDynaReader, FamilyMembersAndOrder)
{
    struct Case {
        const char *name;
        bool bMember;
    } cases[] = {{"d3plot", true},   {"d3plot01", true},  {"d3plot02", true}, {"d3plot100", true},
                 {"d3plotaa", true}, {"d3plot00", false}, {"d3plot1", false}, {"d3plot1000", false},
                 {"d3plotx", false}, {"d3plot099", false}};
    for (const Case &c : cases) {
        LSDynaFamilyFile f;
        EXPECT_EQ(NKLSDynaIsFamilyMember(&f, c.name, "d3plot", true), c.bMember) << c.name;
    }
    for (const char *n : {"d3plotaa", "d3plot100", "d3plot02", "d3plot", "d3plot01", "d3plot1"})
        ASSERT_TRUE(NKTestWriteText(Path(n), "x"));
    std::vector<LSDynaFamilyFile> files;
    ASSERT_EQ(NKLSDynaFindFamilyFiles(Path("d3plot").c_str(), &files, true), 5);
    const char *order[] = {"d3plot", "d3plot01", "d3plot02", "d3plot100", "d3plotaa"};
    for (int i = 0; i < 5; i++) EXPECT_EQ(files[(size_t)i].szFileName.GetFileName(), order[i]);
}

TEST_F(LSDynaReader, FixtureStatesResultsAndGeometryInEveryFormat)
{
    for (bool bEnd : {false, true}) {
        WriteFixture(bEnd);
        ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << bEnd;
        ASSERT_EQ(NKLSDynaGetNumStates(), 4);
        for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(i), 0.001f * (float)i);
        EXPECT_EQ(NKLSDynaGetStateTime(4), -1.0f);
        EXPECT_EQ(NKLSDynaGetNumScalars(), 7);
        EXPECT_EQ(NKLSDynaGetNumVectors(), 1);
        NKStringList *pNames = NKLSDynaGetScalarNames();
        EXPECT_STREQ(pNames->Get(0), "X Coordinate");
        EXPECT_STREQ(pNames->Get(6), "Z Displacement");
        delete pNames;
        NKStringList *pSteps = NKLSDynaGetStateNames();
        EXPECT_STREQ(pSteps->Get(3), "Time: 3.00000e-03");
        delete pSteps;
        NKGeometry *pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(pGeo, nullptr);
        EXPECT_EQ(NKLSDynaGetGeometry(3), nullptr);  // the same segment
        ASSERT_EQ(pGeo->iNumParts, 1);
        EXPECT_STREQ(pGeo->pParts[0].szName.GetText(), "Mat: #1");
        EXPECT_EQ(pGeo->pParts[0].iNumNodes, 4);
        EXPECT_EQ(pGeo->pParts[0].iNumPolygons, 1);
        EXPECT_EQ(pGeo->pParts[0].pElements[0].iType, 14);
        std::vector<float> nodes, elems;
        NKScalarResult *pScalar = NKLSDynaGetScalar(4, 3, pGeo);  // X Displacement
        ASSERT_NE(pScalar, nullptr);
        EXPECT_STREQ(pScalar->szDescription.GetText(), "X Displacement");
        ASSERT_TRUE(NKLSDynaComputeValues(29, 0, &nodes, &elems));
        for (float v : nodes) EXPECT_NEAR(v, 0.003f, 1e-6);
        NKReleaseScalarResult(pScalar);
        NKVectorResult *pVector = NKLSDynaGetVector(0, 2, pGeo);
        ASSERT_NE(pVector, nullptr);
        NKReleaseVectorResult(pVector);
        NKReleaseGeometry(pGeo);
        NKLSDynaClose();
        for (const char *n : {"d3plot", "d3plot01", "d3plot00", "d3plot1"}) remove(Path(n).c_str());
    }
}

TEST_F(LSDynaReader, MissingMemberEndsTheStatesWithAWarning)
{
    LSDynaTestWriter base;
    LSDynaWriteShellGeometry(&base);
    base.Float(-999999.0);
    ASSERT_TRUE(base.Save(Path("d3plot")));
    MessageCapture capture;
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    EXPECT_EQ(NKLSDynaGetNumStates(), 0);
    EXPECT_TRUE(NKLSDynaGetControlData()->bGeometryOnly);
    EXPECT_TRUE(capture.Contains("LS-DYNA family file " + Path("d3plot01") +
                                 " is missing, states end there."));
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    NKReleaseGeometry(pGeo);
}

TEST_F(LSDynaReader, CutOrDamagedFilesFailOrReadSafely)
{
    LSDynaTestWriter full;
    LSDynaWriteShellGeometry(&full);
    LSDynaWriteShellState(&full, 0.0);
    for (size_t n = 0; n < full.bytes.size(); n += 3) {
        LSDynaTestWriter cut = full;
        cut.bytes.resize(n);
        ASSERT_TRUE(cut.Save(Path("d3plot")));
        MessageCapture capture;
        if (NKLSDynaOpen(Path("d3plot").c_str())) {
            NKGeometry *pGeo = NKLSDynaGetGeometry(0);
            if (pGeo != nullptr) NKReleaseGeometry(pGeo);
        }
        NKLSDynaClose();
    }
    for (int iWord = 10; iWord < 64; iWord++)
        for (int64_t v : {int64_t(0), int64_t(-1), int64_t(2147483647)}) {
            LSDynaTestWriter bad = full;
            int32_t i = (int32_t)v;
            std::memcpy(&bad.bytes[(size_t)iWord * 4], &i, 4);
            ASSERT_TRUE(bad.Save(Path("d3plot")));
            MessageCapture capture;
            if (NKLSDynaOpen(Path("d3plot").c_str())) {
                NKGeometry *pGeo = NKLSDynaGetGeometry(0);
                for (int s = 0; s < NKLSDynaGetNumStates(); s++)
                    for (int k = 0; k < NKLSDynaGetNumScalars(); k++) {
                        NKScalarResult *p =
                            pGeo != nullptr ? NKLSDynaGetScalar(k, s, pGeo) : nullptr;
                        if (p != nullptr) NKReleaseScalarResult(p);
                    }
                if (pGeo != nullptr) NKReleaseGeometry(pGeo);
            }
            NKLSDynaClose();
        }
}

TEST_F(LSDynaReader, SolidClassificationAndForminglimitCurve)
{
    struct Case {
        int n[8];
        int iType;
    } cases[] = {{{1, 2, 3, 4, 5, 5, 6, 6}, 10},
                 {{1, 2, 3, 4, 4, 4, 4, 4}, 6},
                 {{1, 1, 2, 3, 4, 5, 6, 7}, 12},
                 {{1, 2, 3, 4, 5, 6, 7, 8}, 12}};
    for (const Case &c : cases) EXPECT_EQ(NKLSDynaClassifySolid(c.n), c.iType);
    ASSERT_TRUE(NKTestWriteText(Path("fld"), "curve\n7\n-0.2 0.4 0.0 0.2 0.2 0.3 9\n"));
    FLDCurve curve;
    curve.szFileName = (Path("FLD")).c_str();
    ASSERT_TRUE(NKFLDCurveRead(&curve));
    EXPECT_EQ(curve.NumPoints(), 3);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, -1.0f), 0.4f);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, 0.1f), 0.25f);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, 1.0f), 0.3f);
}

// The real families open in place; times ascend and geometry and every
// result of the first and last state are read.
TEST_F(LSDynaReader, SharedFamiliesOpenWithAscendingTimes)
{
    struct Case {
        const char *path;
        bool bGeometryOnly;
        const char *pszMissing;
    } cases[] = {{"qd-cae/d3plot", false, nullptr},
                 {"lasso-python/d3plot_beamip/d3plot", false, nullptr},
                 {"lasso-python/d3plot_node_temperature/d3plot", false, nullptr},
                 {"lasso-python/d3plot_solid_int/d3plot", false, nullptr},
                 {"lasso-python/order_d3plot/d3plot", false, nullptr},
                 {"ansys-example-data/d3plot/d3plot", false, nullptr},
                 {"ansys-example-data/d3plot_beam/d3plot", false, nullptr},
                 {"ansys-example-data/d3plot_projectile/d3plot", false, nullptr},
                 {"ansys-example-data/bird_strike_incomplete/d3plot", true, "d3plot01"},
                 {"pladebuk/d3plot_incomplete", true, "d3plot_incomplete01"}};
    for (const Case &c : cases) {
        std::string path = TestDataDir() + "/" + c.path;
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen(path.c_str())) << path;
        EXPECT_EQ(NKLSDynaGetControlData()->bGeometryOnly != 0, c.bGeometryOnly) << path;
        if (c.pszMissing != nullptr) {
            EXPECT_TRUE(capture.Contains(c.pszMissing)) << capture.Text();
        }
        int n = NKLSDynaGetNumStates();
        for (int i = 1; i < n; i++)
            EXPECT_LT(NKLSDynaGetStateTime(i - 1), NKLSDynaGetStateTime(i)) << path;
        NKGeometry *pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(pGeo, nullptr) << path;
        for (int s : {0, n - 1}) {
            if (s < 0) continue;
            for (int k = 0; k < NKLSDynaGetNumScalars(); k++) {
                NKScalarResult *p = NKLSDynaGetScalar(k, s, pGeo);
                int iKind = -1, iSub = 0;
                NKLSDynaScalarIndexToKind(k, &iKind, &iSub);
                // No family here carries an FLD curve file.
                EXPECT_EQ(p != nullptr, iKind != 21) << path << " scalar " << k;
                if (p != nullptr) NKReleaseScalarResult(p);
            }
            for (int k = 0; k < NKLSDynaGetNumVectors(); k++) {
                NKVectorResult *p = NKLSDynaGetVector(k, s, pGeo);
                EXPECT_NE(p, nullptr) << path;
                if (p != nullptr) NKReleaseVectorResult(p);
            }
        }
        NKReleaseGeometry(pGeo);
        NKLSDynaClose();
    }
}

}  // namespace
