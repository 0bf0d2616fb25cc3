// tests/readers/test_native_aux_files.cpp -- the transformation, RGB and view
// file readers: files written here, then damaged; each refusal with its
// message and nothing left allocated.
#include "readers/nk_native_aux_files.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "readers/nk_native_file_utils.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/test_files.h"

namespace {

class NativeAuxFiles : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("native_aux_"); }
    void TearDown() override { NKTestRemoveDir(m_Dir); }
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
    MessageCapture m_Messages;
};

// Reads a transformation or view file; the number of floats read (0 on
// failure).
int ReadTransformations(const char *pszPath)
{
    int iSteps = 5, iParts = 5;
    float *m = NKReadTransformationFile(pszPath, &iSteps, &iParts);
    NKFree(m);
    return m != nullptr ? 16 * iSteps * iParts : iSteps + iParts;
}
int ReadViews(const char *pszPath)
{
    int n = 5;
    NKViewPoint *pViews = NKReadViewFile(pszPath, &n);
    NKFree(pViews);
    return pViews != nullptr ? 9 * n : n;
}

// The line split every native text reader uses: both ends of line, a last
// line without one, empty lines kept, a lone carriage return inside a line.
TEST(NativeTextLines, SplitKeepsEveryLineWithoutItsEnd)
{
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case kCases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\rb\nc\r", {"a\rb", "c"}},
        {"\r", {""}},
    };
    for (const Case &c : kCases) EXPECT_EQ(NKSplitTextLines(c.text), c.lines) << c.text;
}

TEST_F(NativeAuxFiles, BadFilesAreRefusedWithTheirMessage)
{
    const char *pszMatrices = "Error reading transformation matrices from file %";
    const char *pszViews = "Error reading viewpoints.";
    const char *pszSteps = "Error reading view file. Number of steps <= 0";
    struct {
        int (*pfnRead)(const char *);
        const char *pszText;     // null: no such file
        const char *pszMessage;  // "%": the file's path
    } cases[] = {
        {ReadTransformations, nullptr, "Error opening transformation file %"},
        {ReadTransformations, "1", pszMatrices},
        {ReadTransformations, "0 1", pszMatrices},
        {ReadTransformations, "1 1\n1 2 3", pszMatrices},
        {ReadTransformations, "1 1\n1 0 0 0 1 0 0 0 1 0 0 x", pszMatrices},
        {ReadTransformations, "2000000000 2000000000\n1", pszMatrices},
        {ReadViews, nullptr, "Error opening view file %"},
        {ReadViews, "x", "Error reading view file %"},
        {ReadViews, "0", pszSteps},
        {ReadViews, "2\n1 2 3 4 5 6 7 8 9", pszViews},
        {ReadViews, "2147483647\n1 2 3", pszViews},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszText != nullptr ? c.pszText : "missing");
        std::string path = Write(c.pszText);
        std::string message = c.pszMessage;
        if (message.back() == '%') message.replace(message.size() - 1, 1, path);
        m_Messages.Clear();
        EXPECT_EQ(c.pfnRead(path.c_str()), 0);
        EXPECT_TRUE(m_Messages.HasLine(message, NK_MSG_ERROR)) << m_Messages.Text();
    }
    // Both separators, CR line ends and an empty model: read as written.
    std::string windows =
        Write("1 2\r\n1 2 3 4 5 6 7 8 9 10 11 12\r\n0 1 0 -1 0 0 0 0 1 0 0 2.5\r\n");
    std::replace(windows.begin(), windows.end(), '/', '\\');
    int iSteps = 0, iParts = 0;
    float *m = NKReadTransformationFile(windows.c_str(), &iSteps, &iParts);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(NKTestValues(m, 16),
              (std::vector<float>{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1}));
    EXPECT_EQ(NKTestValues(&m[28], 3), (std::vector<float>{0, 0, 2.5f}));
    NKFree(m);
}

TEST_F(NativeAuxFiles, TranslationFollowsTheDisplayTransform)
{
    // r1 .. r12: rotation columns and translation as the file gives them.
    const float r[12] = {0, 1, 0, -0.6f, 0, 0.8f, 0.8f, 0, 0.6f, 2, 3, 4};
    std::string path = Write("1 1\n0 1 0 -0.6 0 0.8 0.8 0 0.6 2 3 4\n");
    NKModel model;
    const float s[3] = {1, 2, 3}, c[3] = {1, -2, 4}, g = 0.25f;
    std::copy_n(s, 3, model.fAxisScale);
    model.fCenterX = c[0];
    model.fCenterY = c[1];
    model.fCenterZ = c[2];
    model.fGeoScale = g;
    const float afExpected[3] = {
        g * (s[0] * (r[0] * c[0] + r[9] - c[0]) + s[1] * c[1] * r[3] + s[2] * c[2] * r[6]),
        g * (s[1] * (r[4] * c[1] + r[10] - c[1]) + s[0] * c[0] * r[1] + s[2] * c[2] * r[7]),
        g * (s[2] * (r[8] * c[2] + r[11] - c[2]) + s[0] * c[0] * r[2] + s[1] * c[1] * r[5])};
    g_pModel = &model;
    int iSteps = 0, iParts = 0;
    float *m = NKReadTransformationFile(path.c_str(), &iSteps, &iParts);
    g_pModel = nullptr;
    ASSERT_NE(m, nullptr);
    for (int k = 0; k < 3; k++) EXPECT_NEAR(m[12 + k], afExpected[k], 1e-5f);
    EXPECT_EQ(m[4], -0.6f);  // the rotation stays as read
    NKFree(m);
}

TEST_F(NativeAuxFiles, RgbNodesTakeTheirLinesThroughTheNodeMap)
{
    NKGeometry *pGeo = NKCreateGeometry(2);
    pGeo->pParts[0].iNumNodes = 5;
    pGeo->pParts[0].pNodeMap = static_cast<int *>(NKAlloc(5 * sizeof(int)));
    const int aiMap[5] = {1, 0, 2, -1, 4};
    std::copy_n(aiMap, 5, pGeo->pParts[0].pNodeMap);
    pGeo->pParts[1].iNumNodes = 3;  // no node map: no colours
    std::string path = Write("abc\n300 -5 7 extra\n\n0 0 255");

    NKScalarResult *pResult = NKReadRgbFile(path.c_str(), pGeo);
    ASSERT_NE(pResult, nullptr);
    EXPECT_STREQ(pResult->szFileName.GetText(), path.c_str());
    const NKScalarPartEntry &entry = pResult->pNodeResults[0];
    // Line 1 clamped, letters, the empty line 2, a node outside the list and
    // a node past the lines.
    EXPECT_EQ(NKTestValues(entry.pNodeValues, entry.iCount),
              (std::vector<float>{255 * 65536 + 7, 0, 0, 0, 0}));
    EXPECT_EQ(NKTestValues(entry.pColors, 3), (std::vector<uint8_t>{255, 0, 7}));
    EXPECT_EQ(NKTestValues(entry.pTexCoords, 5), std::vector<float>(5, 0.001f));
    EXPECT_EQ(pResult->pNodeResults[1].iCount, 0);
    NKReleaseScalarResult(pResult);

    EXPECT_EQ(NKReadRgbFile(path.c_str(), nullptr), nullptr);
    std::string missing = Write(nullptr);
    EXPECT_EQ(NKReadRgbFile(missing.c_str(), pGeo), nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Unable to open rgb file " + missing, NK_MSG_ERROR));
    NKReleaseGeometry(pGeo);
}

}  // namespace
