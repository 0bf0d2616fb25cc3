// tests/core/test_status_dump.cpp -- the model status dump: the model block,
// shared records printed once per run of frames, pointer format, and the
// file that cannot be created.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include <unistd.h>

#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_status_dump.h"
#include "tests/test_support/test_files.h"

namespace {

int Count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) n++;
    return n;
}

class DumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pModel = NKCreateModel();
        std::string name = NKTestTempRoot() + "/nkdumpXXXXXX";
        int fd = mkstemp(name.data());
        ASSERT_GE(fd, 0);
        close(fd);
        m_Path = name;
    }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        unlink(m_Path.c_str());
    }
    std::string Dump()
    {
        EXPECT_TRUE(NKDumpFrameInformation(m_Path.c_str(), g_pModel));
        return NKTestReadFile(m_Path);
    }
    // Frames holding the given geometries (in order).
    void SetGeometries(std::initializer_list<NKGeometry *> geos)
    {
        ASSERT_TRUE(NKSetFrameCount((int)geos.size(), false));
        int i = 0;
        for (NKGeometry *pGeo : geos) {
            g_pModel->pFrames[i++].pGeometry = pGeo;
            pGeo->iNumRef++;
        }
    }
    std::string m_Path;
};

TEST_F(DumpTest, EmptyModelPrintsTheModelBlockOnly)
{
    std::string text = Dump();
    EXPECT_EQ(text.rfind("\n****************    STATUSINFORMATION FROM QUOLIN    "
                         "*********************\n\n      File generated : ",
                         0),
              0u);
    EXPECT_TRUE(std::regex_search(
        text, std::regex("File generated : \\d+/\\d+/\\d+ \\d+:\\d+:\\d+\\.\\d{3}\n\n")));
    EXPECT_NE(
        text.find("======================= start model status\n\n- iNumFrames           = 0\n"),
        std::string::npos);
    EXPECT_NE(text.find("- iAnimationSkipBy     = 1\n"), std::string::npos);
    EXPECT_NE(text.find("- pFrames              = 0x0000000000000000\n\n"), std::string::npos);
    EXPECT_NE(
        text.find("- fMinScalarValue : 999999995904.000000 in node -1 in part -1 in frame -1\n"),
        std::string::npos);
    EXPECT_NE(
        text.find("- fMaxVectorValue : -999999995904.000000 in node -1 in part -1 in frame -1\n"),
        std::string::npos);
    const std::string end = "\n======================= end model status\n\n";
    ASSERT_GE(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    EXPECT_EQ(Count(text, "start NKFrame status"), 0);
}

TEST_F(DumpTest, SharedGeometryPrintedOncePerRun)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    SetGeometries({pGeo, pGeo, pGeo});
    std::string text = Dump();
    EXPECT_EQ(Count(text, "start NKFrame status"), 3);
    EXPECT_EQ(Count(text, "======================= start NKGeometry status\n\n"), 1);
    EXPECT_NE(text.find("- iNumRef              = 3\n"), std::string::npos);
}

TEST_F(DumpTest, GeometryReturningAfterAnotherIsPrintedAgain)
{
    NKGeometry *pA = NKCreateGeometry(1);
    NKGeometry *pB = NKCreateGeometry(2);
    SetGeometries({pA, pB, pA});
    std::string text = Dump();
    EXPECT_EQ(Count(text, "start NKGeometry status"), 3);
    EXPECT_EQ(Count(text, "- iNumParts            = 1\n"), 2);
}

TEST_F(DumpTest, PointersAreSixteenHexDigitsAndNullIsZero)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    SetGeometries({pGeo});
    std::string text = Dump();
    char szExpected[64];
    std::snprintf(szExpected, sizeof(szExpected), "- pGeometry            = 0x%016llx\n",
                  (unsigned long long)(uintptr_t)pGeo);
    EXPECT_NE(text.find(szExpected), std::string::npos);
    EXPECT_NE(text.find("- pScalar              = 0x0000000000000000\n"), std::string::npos);
    EXPECT_NE(text.find("- pViewPoint           = 0x0000000000000000\n\n"), std::string::npos);
    EXPECT_EQ(text.find("(nil)"), std::string::npos);
    EXPECT_EQ(Count(text, "start NKScalarResult status"), 0);
    EXPECT_TRUE(std::regex_search(text, std::regex("- pParts               = 0x[0-9a-f]{16}\n=")));
}

TEST_F(DumpTest, ResultAndViewPointBlocks)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    SetGeometries({pGeo, pGeo});
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->szDescription = "Stress";
    pScalar->nodeMinMax.Update(2.5f, 0, 7, -1);
    NKVectorResult *pVector = NKCreateVectorResult();
    NKViewPoint *pView = NKCreateViewPoint();
    pView->eye[2] = 3.0f;
    for (int f = 0; f < 2; f++) {
        g_pModel->pFrames[f].pScalar = pScalar;
        g_pModel->pFrames[f].pVector = pVector;
        g_pModel->pFrames[f].pViewPoint = pView;
        pScalar->iNumRef++;
        pVector->iNumRef++;
        pView->iNumRef++;
    }
    g_pModel->pFrames[0].szDescription = "Step 1";
    std::string text = Dump();
    EXPECT_EQ(Count(text, "start NKScalarResult status"), 1);
    EXPECT_EQ(Count(text, "======================= end NKVectorResult status\n\n\n"), 1);
    EXPECT_NE(text.find("- szDescription        = Stress\n"), std::string::npos);
    EXPECT_NE(text.find("- fMinValue            = 2.500000 in part 0, node 7\n"),
              std::string::npos);
    EXPECT_NE(text.find("- fMinLength           = 999999995904.000000 in part -1, node -1\n"),
              std::string::npos);
    EXPECT_NE(text.find("- eye                  = 0.000000  0.000000  3.000000\n"),
              std::string::npos);
    EXPECT_NE(text.find("- szDescription        = Step 1\n- fTime                = "),
              std::string::npos);
}

TEST_F(DumpTest, FileThatCannotBeCreatedIsTraced)
{
    NKResetDiagnostics();
    EXPECT_FALSE(NKDumpFrameInformation("/nonexistent-folder/quolin.dbg", g_pModel));
    EXPECT_STREQ(NKGetLastDiagnostic(),
                 "Could not create dump file : /nonexistent-folder/quolin.dbg ");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKDumpFrameInformation");
}

TEST(DumpBlocks, NullRecordsPrintNothing)
{
    char *pBuffer = nullptr;
    size_t iSize = 0;
    FILE *f = open_memstream(&pBuffer, &iSize);
    NKDumpGeometryStatus(f, nullptr);
    NKDumpScalarResultStatus(f, nullptr);
    NKDumpVectorResultStatus(f, nullptr);
    NKDumpViewPointStatus(f, nullptr);
    fclose(f);
    EXPECT_EQ(iSize, 0u);
    free(pBuffer);
}

}  // namespace
