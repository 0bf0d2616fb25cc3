// tests/core/test_geometry_writers.cpp -- binary, BYU-style and grid
// geometry files read back word by word and line by line; failures leave no
// file behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/nk_frames.h"
#include "core/nk_geometry_writers.h"
#include "core/nk_model.h"
#include "tests/core/nk_polygon_fixtures.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

// The file as little-endian 32-bit words.
std::vector<int32_t> Words(const std::string &path)
{
    std::string bytes = NKTestReadFile(path);
    std::vector<int32_t> w(bytes.size() / 4);
    for (size_t i = 0; i < w.size(); i++) {
        uint32_t u = 0;
        for (int b = 3; b >= 0; b--) u = (u << 8) | (uint8_t)bytes[4 * i + b];
        w[i] = (int32_t)u;
    }
    return w;
}

float AsFloat(int32_t w)
{
    float f;
    std::memcpy(&f, &w, 4);
    return f;
}

class WriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("nkwriter");
        ASSERT_FALSE(m_Dir.empty());
        g_pModel = NKCreateModel();
        g_pModel->fGeoScale = 1.0f;
    }
    void TearDown() override
    {
        NKDestroyModel(g_pModel);
        g_pModel = nullptr;
        ASSERT_TRUE(NKTestRemoveDir(m_Dir));
    }
    std::string Path(const char *pszName) const { return m_Dir + "/" + pszName; }
    // Names in the folder (temporary files included).
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        DIR *d = opendir(m_Dir.c_str());
        while (dirent *e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        closedir(d);
        return names;
    }
    std::string m_Dir;
};

TEST_F(WriterTest, BinaryFileOfOneTriangle)
{
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});
    ASSERT_TRUE(NKWriteGeometryFile(pGeo, Path("tri.geo").c_str()));
    std::vector<int32_t> w = Words(Path("tri.geo"));
    ASSERT_EQ(w.size(), 5u + 2u + 9u + 3u);
    EXPECT_EQ(std::vector<int32_t>(w.begin(), w.begin() + 7),
              (std::vector<int32_t>{1, 1, 3, 1, 3, 1, 1}));
    const float afExpected[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int i = 0; i < 9; i++) EXPECT_FLOAT_EQ(AsFloat(w[7 + i]), afExpected[i]);
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 16, w.end()), (std::vector<int32_t>{1, 2, -3}));
    EXPECT_EQ(Listing(), (std::vector<std::string>{"tri.geo"}));
    NKReleaseGeometry(pGeo);
}

TEST_F(WriterTest, BinaryNodesNumberOnAcrossPartsInModelUnits)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    NKTestFillPart(&pGeo->pParts[0], {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3}});
    NKTestFillPart(&pGeo->pParts[1], {0, 0, 1, 1, 0, 1, 0, 1, 1}, {{0, 1, 2}});
    g_pModel->fGeoScale = 2.0f;
    g_pModel->fCenterX = 10.0f;
    ASSERT_TRUE(NKWriteGeometryFile(pGeo, Path("two.geo").c_str()));
    std::vector<int32_t> w = Words(Path("two.geo"));
    EXPECT_EQ(std::vector<int32_t>(w.begin(), w.begin() + 9),
              (std::vector<int32_t>{1, 2, 7, 2, 7, 1, 1, 2, 2}));
    EXPECT_FLOAT_EQ(AsFloat(w[9 + 3]), 10.5f);  // node 1 x: 1 / 2 + 10
    EXPECT_EQ(std::vector<int32_t>(w.end() - 7, w.end()),
              (std::vector<int32_t>{1, 2, 3, -4, 5, 6, -7}));
    NKReleaseGeometry(pGeo);
}

TEST_F(WriterTest, GridOfOneCell)
{
    ASSERT_TRUE(NKWriteGridGeometryFile(1, 1, 1.0f, 1.0f, Path("grid.geo").c_str()));
    std::vector<int32_t> w = Words(Path("grid.geo"));
    ASSERT_EQ(w.size(), 7u + 12u + 4u);
    EXPECT_EQ(std::vector<int32_t>(w.begin(), w.begin() + 7),
              (std::vector<int32_t>{1, 1, 4, 1, 4, 1, 1}));
    const float afNodes[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
    for (int i = 0; i < 12; i++) EXPECT_FLOAT_EQ(AsFloat(w[7 + i]), afNodes[i]);
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 19, w.end()), (std::vector<int32_t>{1, 2, 4, -3}));
}

TEST_F(WriterTest, GridRowsAdvanceByTheRowLength)
{
    ASSERT_TRUE(NKWriteGridGeometryFile(2, 1, 0.5f, 2.0f, Path("g.geo").c_str()));
    std::vector<int32_t> w = Words(Path("g.geo"));
    EXPECT_EQ(std::vector<int32_t>(w.end() - 8, w.end()),
              (std::vector<int32_t>{1, 2, 5, -4, 2, 3, 6, -5}));
    EXPECT_FLOAT_EQ(AsFloat(w[7 + 3 * 5]), 1.0f);  // node 5: x = 2 x 0.5
    EXPECT_FLOAT_EQ(AsFloat(w[7 + 3 * 5 + 1]), 2.0f);
}

// The unit grid as a frame's geometry.
NKFrame *GridFrame(int iParts)
{
    NKFrame *pFrame = NKAllocFrameArray(1);
    NKGeometry *pGeo = NKCreateGeometry(iParts);
    for (int i = 0; i < iParts; i++)
        NKTestFillPart(&pGeo->pParts[i], {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, (float)i},
                       {{0, 1, 3, 2}});
    pFrame->pGeometry = pGeo;
    pGeo->iNumRef++;
    return pFrame;
}

TEST_F(WriterTest, BYUFileOfTheGrid)
{
    MessageCapture capture;
    NKFrame *pFrame = GridFrame(1);
    ASSERT_TRUE(NKWritePartsToBYUFile(pFrame, Path("grid.byu").c_str(), 0, 0));
    EXPECT_EQ(NKTestReadFile(Path("grid.byu")), "       1        4        1        4\n"
                                                "       1        1\n"
                                                "0.000000e+00 0.000000e+00 0.000000e+00\n"
                                                "1.000000e+00 0.000000e+00 0.000000e+00\n"
                                                "0.000000e+00 1.000000e+00 0.000000e+00\n"
                                                "1.000000e+00 1.000000e+00 0.000000e+00\n"
                                                "       1        2        4       -3 \n"
                                                "\n");
    EXPECT_TRUE(capture.Contains("Generating new geometry file: " + Path("grid.byu") +
                                 " containing part 1 to part 1"));
    EXPECT_TRUE(capture.HasLine("  parts = 1   nodes = 4   polygons = 1", NK_MSG_INFO));
    NKFreeFrameArray(pFrame, 1);
}

TEST_F(WriterTest, BYURangeNumbersFromItsFirstPart)
{
    NKFrame *pFrame = GridFrame(4);
    g_pModel->fAxisScale[2] = 1.0f;
    ASSERT_TRUE(NKAllocFrameTransformations(pFrame));
    pFrame->pTransformation[16 * 2 + 12] = 5.0f;  // part 2 moved by 5 in x
    ASSERT_TRUE(NKWritePartsToBYUFile(pFrame, Path("r.byu").c_str(), 2, 3));
    std::string text = NKTestReadFile(Path("r.byu"));
    EXPECT_EQ(text.substr(0, 36), "       2        8        2        8\n");
    EXPECT_NE(text.find("       1        1\n       2        2\n"), std::string::npos);
    EXPECT_NE(text.find("6.000000e+00 1.000000e+00 2.000000e+00\n"), std::string::npos);
    EXPECT_NE(text.find("       5        6        8       -7 \n"), std::string::npos);
    NKFreeFrameArray(pFrame, 1);
}

TEST_F(WriterTest, MissingFolderGivesFalseAndNoFile)
{
    MessageCapture capture;
    std::string bad = Path("nofolder/x.geo");
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});
    EXPECT_FALSE(NKWriteGeometryFile(pGeo, bad.c_str()));
    EXPECT_FALSE(NKWriteGridGeometryFile(1, 1, 1, 1, bad.c_str()));
    NKFrame *pFrame = GridFrame(1);
    EXPECT_FALSE(NKWritePartsToBYUFile(pFrame, bad.c_str(), 0, 0));
    EXPECT_TRUE(
        capture.HasLine("Error opening geometry file " + bad + " for writing.", NK_MSG_ERROR));
    EXPECT_TRUE(capture.HasLine(" * Error opening geometry file: " + bad, NK_MSG_ERROR));
    EXPECT_TRUE(Listing().empty());
    EXPECT_NE(access(bad.c_str(), F_OK), 0);
    NKFreeFrameArray(pFrame, 1);
    NKReleaseGeometry(pGeo);
}

TEST_F(WriterTest, FailedWriteLeavesTheOldFile)
{
    // A target in a read-only folder: the temporary file cannot be made, so
    // the existing file stays as it was.
    std::string target = Path("keep.geo");
    {
        std::ofstream(target) << "old";
    }
    ASSERT_EQ(chmod(m_Dir.c_str(), 0500), 0);
    bool bWritable = access(m_Dir.c_str(), W_OK) == 0;  // root writes anyway
    NKGeometry *pGeo = NKTestMakeOnePartGeometry({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});
    bool bOk = NKWriteGeometryFile(pGeo, target.c_str());
    chmod(m_Dir.c_str(), 0700);
    if (!bWritable) {
        EXPECT_FALSE(bOk);
        EXPECT_EQ(NKTestReadFile(target), "old");
    }
    NKReleaseGeometry(pGeo);
}

TEST_F(WriterTest, NullAndEmptyArgumentsAreRefused)
{
    EXPECT_FALSE(NKWriteGeometryFile(nullptr, Path("a.geo").c_str()));
    EXPECT_FALSE(NKWritePartsToBYUFile(nullptr, Path("a.byu").c_str(), 0, 0));
    NKFrame *pFrame = GridFrame(1);
    EXPECT_FALSE(NKWritePartsToBYUFile(pFrame, Path("a.byu").c_str(), 0, 5));
    EXPECT_TRUE(Listing().empty());
    NKFreeFrameArray(pFrame, 1);
}

}  // namespace
