// tests/render/test_contour_lines.cpp -- contour levels and colours, the
// segments of single triangles, the binary search against a plain scan on a
// plate, the frame updates, and a ramp plate opened from an NKF file and
// contoured through the command interpreter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_contour_lines.h"
#include "render/nk_fringe_commands.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/quad_plate.h"
#include "tests/test_support/test_files.h"

namespace {

// The settings and the model back to their start after each test.
class ContourLines : public NKRenderModelTest {
protected:
    void TearDown() override
    {
        NKResetContourSettings(&g_ContourSettings);
        g_iContourLineWidth = 1;
        g_bContoursShown = 0;
        NKRenderModelTest::TearDown();
    }
    // Levels given by value; level i has colour (i, 2i, 3i) and width 1.
    static void SetLevels(const std::vector<float> &levels)
    {
        NKResetContourSettings(&g_ContourSettings);
        NKContourSettings *s = &g_ContourSettings;
        const int n = static_cast<int>(levels.size());
        s->iNumLevels = n;
        s->bAutoRange = 0;
        s->pLevels = static_cast<float *>(NKAlloc(n * sizeof(float)));
        s->pLineWidths = static_cast<float *>(NKAlloc(n * sizeof(float)));
        s->pColors = static_cast<uint8_t *>(NKAlloc(3 * n));
        for (int i = 0; i < n; i++) {
            s->pLevels[i] = levels[i];
            s->pLineWidths[i] = 1.0f;
            for (int k = 0; k < 3; k++) s->pColors[3 * i + k] = static_cast<uint8_t>((k + 1) * i);
        }
    }
    // The levels 0, 1, ..., 16.
    static void SetLevelsZeroToSixteen()
    {
        std::vector<float> levels;
        for (int i = 0; i <= 16; i++) levels.push_back(static_cast<float>(i));
        SetLevels(levels);
    }
    // iNumFrames frames sharing pGeo (in place of the frames before);
    // frame f holds results[f] when given.
    static void UseModel(NKGeometry *pGeo, const std::vector<NKScalarResult *> &results,
                         int iNumFrames = 1)
    {
        NKFreeFrameArray(g_pModel->pFrames, g_pModel->iNumFrames);
        g_pModel->pFrames = NKAllocFrameArray(iNumFrames);
        g_pModel->iNumFrames = iNumFrames;
        for (int f = 0; f < iNumFrames; f++) {
            NKFrame *pFrame = &g_pModel->pFrames[f];
            pFrame->pGeometry = pGeo;
            pGeo->iNumRef++;
            if (f < static_cast<int>(results.size()) && results[f] != nullptr) {
                pFrame->pScalar = results[f];
                results[f]->iNumRef++;
            }
        }
    }
    // One part of one triangle at (0, 0, 0), (1, 0, 0), (0, 1, 0) with the
    // node values given, in frame 0.
    static void UseTriangle(const float afValues[3])
    {
        NKGeometry *pGeo = NKCreateGeometry(1);
        NKPart *p = &pGeo->pParts[0];
        static const float kCoords[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        p->iNumNodes = 3;
        p->iNumPolygons = 1;
        p->iNumConnects = 3;
        p->pNodeCoords = static_cast<float *>(NKAlloc(sizeof kCoords));
        std::memcpy(p->pNodeCoords, kCoords, sizeof kCoords);
        p->pConnects = static_cast<int *>(NKAlloc(3 * sizeof(int)));
        for (int i = 0; i < 3; i++) p->pConnects[i] = i;
        p->pPolygonStart = static_cast<int *>(NKCalloc(1, sizeof(int)));
        p->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int)));
        p->pPolygonNumNodes[0] = 3;
        NKScalarResult *r = NKTestPlateScalar(p, 0, 1, [](float, float) { return 0.0f; });
        std::memcpy(r->pNodeResults[0].pNodeValues, afValues, 3 * sizeof(float));
        UseModel(pGeo, {r});
    }
    static const NKContourList &List(int iFrame, int iPart)
    {
        return NKGetFrame(iFrame)->pContours[iPart];
    }
};

void ExpectPoint(const float *pfGot, const float *pfWant, const char *pszWhat)
{
    for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(pfGot[k], pfWant[k]) << pszWhat << " " << k;
}

TEST_F(ContourLines, LevelsSpanTheFringeRangeWithSpectrumColoursAndTheLineWidth)
{
    g_pModel->fFringeRangeFrom = 0.0f;
    g_pModel->fFringeRangeTo = 16.0f;
    g_iContourLineWidth = 3;
    NKContourSettings *s = &g_ContourSettings;
    NKComputeContourLevels(s);  // no levels yet: only the range is taken
    EXPECT_EQ(s->fMax, 16.0f);
    EXPECT_EQ(s->pLevels, nullptr);
    s->iNumLevels = 17;
    s->pLevels = static_cast<float *>(NKAlloc(17 * sizeof(float)));
    s->pLineWidths = static_cast<float *>(NKAlloc(17 * sizeof(float)));
    s->pColors = static_cast<uint8_t *>(NKAlloc(17 * 3));
    NKComputeContourLevels(s);
    for (int i = 0; i < 17; i++) {
        EXPECT_EQ(s->pLevels[i], static_cast<float>(i)) << i;
        EXPECT_EQ(s->pLineWidths[i], 3.0f) << i;
    }
    const struct {
        int iLevel;
        uint8_t auColor[3];
    } rows[] = {{0, {0, 0, 255}}, {4, {0, 255, 255}}, {8, {0, 255, 0}}, {16, {255, 0, 0}}};
    for (const auto &row : rows)
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(s->pColors[3 * row.iLevel + k], row.auColor[k]) << row.iLevel << " " << k;
    // The line-update takes a new automatic range but keeps the level values.
    g_pModel->fFringeRangeTo = 8.0f;
    EXPECT_TRUE(NKUpdateContourLines());
    EXPECT_EQ(s->fMax, 8.0f);
    EXPECT_EQ(s->pLevels[16], 16.0f);
}

TEST_F(ContourLines, OneTriangleGivesOneSegmentPerCrossingLevel)
{
    const float kUndefined = 3.4028235e38f;
    const struct {
        float afValues[3];
        bool bDescending;  // levels 5, 3, 1 instead of 0 .. 16
        std::vector<int> levels;
    } rows[] = {
        {{0, 0, 16}, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {{1, 1.000005f, 5}, false, {1, 2, 3, 4}},
        {{7, 7, 7}, false, {}},
        {{0, kUndefined, 5}, false, {}},
        {{kUndefined, 2, 5}, false, {}},
        {{0, 2, 4}, true, {}},  // level 5 ends the loop before 3 and 1
        {{0, 2, 6}, true, {0, 1, 2}},
        {{16, 0, 0}, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    };
    for (const auto &row : rows) {
        if (row.bDescending)
            SetLevels({5, 3, 1});
        else
            SetLevelsZeroToSixteen();
        UseTriangle(row.afValues);
        g_bContoursShown = 1;
        EXPECT_TRUE(NKComputeFrameContours(0));
        const NKContourList &list = List(0, 0);
        const std::string what = std::to_string(row.afValues[0]) + " " +
                                 std::to_string(row.afValues[1]) + " " +
                                 std::to_string(row.afValues[2]);
        ASSERT_EQ(list.iNumLines, static_cast<int>(row.levels.size())) << what;
        for (int i = 0; i < list.iNumLines; i++) {
            const NKContourLine &line = list.pLines[i];
            EXPECT_EQ(line.iLevel, row.levels[i]) << what;
            EXPECT_EQ(line.uColor[1], 2 * row.levels[i]) << what;
            EXPECT_EQ(line.fLineWidth, 1.0f) << what;
        }
        if (list.iNumLines == 0) {
            EXPECT_EQ(list.pLines, nullptr) << what;
        }
    }
}

TEST_F(ContourLines, SegmentEndsFollowTheEdgeOrder)
{
    const float kNode0[3] = {0, 0, 0}, kNode1[3] = {1, 0, 0};
    SetLevelsZeroToSixteen();
    const float afFlat[3] = {0, 0, 16};
    UseTriangle(afFlat);
    ASSERT_TRUE(NKComputeFrameContours(0));
    // Level 0 crosses (node 1, node 2) at node 1 and (node 0, node 2) at node 0.
    ExpectPoint(List(0, 0).pLines[0].fStart, kNode1, "level 0 start");
    ExpectPoint(List(0, 0).pLines[0].fEnd, kNode0, "level 0 end");
    // Level 8 halfway along both edges towards node 2.
    const float kHalf1[3] = {0.5f, 0.5f, 0}, kHalf0[3] = {0, 0.5f, 0};
    ExpectPoint(List(0, 0).pLines[8].fStart, kHalf1, "level 8 start");
    ExpectPoint(List(0, 0).pLines[8].fEnd, kHalf0, "level 8 end");

    // Values equal within 1e-5: level 1's segment is the whole first edge.
    const float afNear[3] = {1, 1.000005f, 5};
    UseTriangle(afNear);
    ASSERT_TRUE(NKComputeFrameContours(0));
    ASSERT_GE(List(0, 0).iNumLines, 1);
    EXPECT_EQ(List(0, 0).pLines[0].iLevel, 1);
    ExpectPoint(List(0, 0).pLines[0].fStart, kNode0, "whole edge start");
    ExpectPoint(List(0, 0).pLines[0].fEnd, kNode1, "whole edge end");
}

TEST_F(ContourLines, PartsWithoutValuesAndHiddenPolygonsGetNoSegments)
{
    SetLevelsZeroToSixteen();
    NKGeometry *pGeo = NKCreateGeometry(2);
    ASSERT_TRUE(NKTestBuildQuadPlate(&pGeo->pParts[0], 4, 4, 0, 0, 4, 4));
    ASSERT_TRUE(NKTestBuildQuadPlate(&pGeo->pParts[1], 4, 4, 0, 0, 4, 4));
    UseModel(pGeo, {NKTestPlateScalar(&pGeo->pParts[0], 0, 2,
                                      [](float x, float) { return 2.0f * x + 0.5f; })});
    NKFrame *pFrame = NKGetFrame(0);
    ASSERT_TRUE(NKComputeFrameContours(0));
    EXPECT_EQ(List(0, 0).iNumLines, 8 * 4 * 2);  // levels 1..8, 4 quads of 2 triangles each
    EXPECT_EQ(List(0, 1).iNumLines, 0);
    EXPECT_EQ(List(0, 1).pLines, nullptr);
    // Visibility bytes: only polygons whose byte is the part's level (0) count.
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(2, sizeof(uint8_t *)));
    pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKCalloc(16, 1));
    for (int q = 0; q < 16; q++) pFrame->ppVisibility[0][q] = q < 4 ? 0 : 2;
    ASSERT_TRUE(NKComputeFrameContours(0));
    EXPECT_EQ(List(0, 0).iNumLines, 2 * 4 * 2);  // quads 0..3 of the first row
    // A part index beyond the geometry is clamped to the last part.
    EXPECT_TRUE(NKComputePartContours(7, pFrame));
    EXPECT_EQ(List(0, 1).iNumLines, 0);
    EXPECT_FALSE(NKComputePartContours(0, nullptr));
    EXPECT_FALSE(NKComputeFrameContours(3));
}

// The extraction written as a plain scan of every level from level 0.
std::vector<NKContourLine> ScanPart(const NKPart *p, const float *pfValues)
{
    const NKContourSettings *s = &g_ContourSettings;
    std::vector<NKContourLine> lines;
    static const int kEdges[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    for (int q = 0; q < p->iNumPolygons; q++) {
        const int *pNodes = p->pConnects + p->pPolygonStart[q];
        for (int k = 2; k < p->pPolygonNumNodes[q]; k++) {
            const int aiNode[3] = {pNodes[0], pNodes[k - 1], pNodes[k]};
            float afValue[3];
            for (int c = 0; c < 3; c++) afValue[c] = pfValues[aiNode[c]];
            const float fLo = std::min({afValue[0], afValue[1], afValue[2]});
            const float fHi = std::max({afValue[0], afValue[1], afValue[2]});
            for (int L = 0; L < s->iNumLevels; L++) {
                const float v = s->pLevels[L];
                if (v >= fHi) break;
                if (v < fLo) continue;
                NKContourLine line = {};
                line.iLevel = L;
                line.fLineWidth = s->pLineWidths[L];
                for (int c = 0; c < 3; c++) line.uColor[c] = s->pColors[3 * L + c];
                int iFound = 0;
                for (const auto &e : kEdges) {
                    const float v0 = afValue[e[0]], v1 = afValue[e[1]];
                    if (!(std::min(v0, v1) <= v && v < std::max(v0, v1))) continue;
                    const float *p0 = p->pNodeCoords + 3 * aiNode[e[0]];
                    const float *p1 = p->pNodeCoords + 3 * aiNode[e[1]];
                    if (NKFloatsEqual(v0, v1)) {
                        std::memcpy(line.fStart, p0, sizeof line.fStart);
                        std::memcpy(line.fEnd, p1, sizeof line.fEnd);
                        iFound = 2;
                        break;
                    }
                    const float t = (v - v0) / (v1 - v0);
                    float *pOut = iFound == 0 ? line.fStart : line.fEnd;
                    for (int c = 0; c < 3; c++) pOut[c] = p0[c] + (p1[c] - p0[c]) * t;
                    if (++iFound == 2) break;
                }
                if (iFound == 2) lines.push_back(line);
            }
        }
    }
    return lines;
}

TEST_F(ContourLines, BinarySearchGivesTheScansRecordsOneForOne)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    ASSERT_TRUE(NKTestBuildQuadPlate(&pGeo->pParts[0], 100, 100, -1, -1, 1, 1));
    NKScalarResult *r = NKTestPlateScalar(&pGeo->pParts[0], 0, 1, [](float x, float y) {
        return static_cast<float>(std::sin(6.0 * x) * std::cos(5.0 * y));
    });
    UseModel(pGeo, {r});
    g_pModel->fFringeRangeFrom = r->nodeMinMax.min;
    g_pModel->fFringeRangeTo = r->nodeMinMax.max;
    SetLevels(std::vector<float>(200, 0.0f));
    g_ContourSettings.bAutoRange = 1;
    g_iContourLineWidth = 2;
    NKComputeContourLevels(&g_ContourSettings);
    g_bContoursShown = 1;
    ASSERT_TRUE(NKUpdateContourLines());
    const std::vector<NKContourLine> want =
        ScanPart(&pGeo->pParts[0], r->pNodeResults[0].pNodeValues);
    const NKContourList &list = List(0, 0);
    ASSERT_GT(want.size(), 10000u);
    ASSERT_EQ(list.iNumLines, static_cast<int>(want.size()));
    for (size_t i = 0; i < want.size(); i++)
        ASSERT_EQ(std::memcmp(&list.pLines[i], &want[i], sizeof(NKContourLine)), 0) << i;
}

// Node value x of the plate, and twice and three times it.
float ValueX(float x, float) { return x; }
float ValueTwoX(float x, float) { return 2.0f * x; }
float ValueThreeX(float x, float) { return 3.0f * x; }

TEST_F(ContourLines, UpdateFillsEveryFrameOnlyWhileContoursAreShown)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    ASSERT_TRUE(NKTestBuildQuadPlate(&pGeo->pParts[0], 10, 10, 0, 0, 10, 10));
    const NKPart *p = &pGeo->pParts[0];
    UseModel(pGeo,
             {NKTestPlateScalar(p, 0, 1, ValueX), NKTestPlateScalar(p, 0, 1, ValueTwoX),
              NKTestPlateScalar(p, 0, 1, ValueThreeX)},
             3);
    SetLevels({0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f, 8.5f, 9.5f});
    g_bContoursShown = 0;
    EXPECT_TRUE(NKUpdateContourLines());
    for (int f = 0; f < 3; f++) EXPECT_EQ(NKGetFrame(f)->pContours, nullptr) << f;
    g_bContoursShown = 1;
    EXPECT_TRUE(NKRefreshContourLines());
    for (int f = 0; f < 3; f++) {
        const NKContourList &list = List(f, 0);
        ASSERT_EQ(list.iNumLines, 200) << f;
        for (int i = 0; i < list.iNumLines; i++) {
            const NKContourLine &line = list.pLines[i];
            const float fX = (0.5f + static_cast<float>(line.iLevel)) / static_cast<float>(f + 1);
            EXPECT_NEAR(line.fStart[0], fX, 1e-5) << f << " " << i;
            EXPECT_NEAR(line.fEnd[0], fX, 1e-5) << f << " " << i;
        }
    }
    // Hidden again: a new update leaves every list as it was.
    const NKContourLine *pBefore = List(2, 0).pLines;
    g_bContoursShown = 0;
    SetLevels({0.5f});
    EXPECT_TRUE(NKUpdateContourLines());
    EXPECT_EQ(List(2, 0).pLines, pBefore);
    EXPECT_EQ(List(2, 0).iNumLines, 200);
}

TEST_F(ContourLines, TheLoadSlotFollowsTheRendererAndAGeometryWithoutPartsHasNoList)
{
    EXPECT_EQ(NKGetLoadHooks().pfnUpdateContours, &NKUpdateContourLevelsAndLines);
    NKShutdownRenderer();
    EXPECT_EQ(NKGetLoadHooks().pfnUpdateContours, nullptr);
    ASSERT_TRUE(NKInstallRenderer());
    EXPECT_EQ(NKGetLoadHooks().pfnUpdateContours, &NKUpdateContourLevelsAndLines);
    UseModel(NKCreateGeometry(-1), {});
    SetLevelsZeroToSixteen();
    g_bContoursShown = 1;
    EXPECT_TRUE(NKUpdateContours());
    EXPECT_EQ(NKGetFrame(0)->pContours, nullptr);
    // With a 2-D plot the node plot is brought up to date as well.
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnPlotExists = [] { return true; };
    NKSetLoadHooks(hooks);
    MessageCapture capture;
    EXPECT_TRUE(NKUpdateContours());
    hooks.pfnPlotExists = nullptr;
    NKSetLoadHooks(hooks);
    EXPECT_TRUE(capture.Contains("np update")) << capture.Text();
}

// ---- The ramp plate through the command interpreter ----------------------------

// 11 x 11 nodes at (i, j, 0), one part of 10 x 10 quads, node scalar x.
std::string RampPlateFile()
{
    std::string s = "*NKF-1.00\n*NODES 1\n";
    for (int j = 0; j <= 10; j++)
        for (int i = 0; i <= 10; i++) s += std::to_string(i) + " " + std::to_string(j) + " 0\n";
    s += "*ELEMENTS 1\n%NAME \"Plate\"\n%NODES #1\n%WITH_ID\n%QUADS\n";
    for (int j = 0; j < 10; j++)
        for (int i = 0; i < 10; i++) {
            const int n = j * 11 + i + 1;
            s += std::to_string(j * 10 + i + 1) + " " + std::to_string(n) + " " +
                 std::to_string(n + 1) + " " + std::to_string(n + 12) + " " +
                 std::to_string(n + 11) + "\n";
        }
    s += "*QUOLINGEOMETRY 1\n%NAME \"Plate\"\n%ELEMENTS\n1\n";
    s += "*RESULTS 1\n%DIMENSION 1\n%PER_NODE #1\n";
    for (int j = 0; j <= 10; j++)
        for (int i = 0; i <= 10; i++) s += std::to_string(i) + "\n";
    s += "*QUOLINSCALAR 1\n%NAME \"x\"\n%STEP 1\n1\n";
    return s;
}

class ContourPlateFile : public ContourLines {
protected:
    void SetUp() override
    {
        ContourLines::SetUp();
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterFringeCommands();
        m_Dir = NKTestMakeTempDir("quolin_contour_lines_");
        m_File = m_Dir + "/ramp.nkf";
        ASSERT_TRUE(NKTestWriteText(m_File, RampPlateFile()));
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_FRINGES, nullptr);
        NKTestRemoveDir(m_Dir);
        ContourLines::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    std::string m_Dir, m_File;
};

// Per level: the model x of every end, the y extent and the summed length.
struct LevelSummary {
    int iCount = 0;
    float fMinX = 1e30f, fMaxX = -1e30f, fMinY = 1e30f, fMaxY = -1e30f;
    double dLength = 0.0;
    bool bHalfLong = true;
    uint8_t auColor[3] = {0, 0, 0};
};

std::map<int, LevelSummary> Summarise(const NKContourList &list)
{
    std::map<int, LevelSummary> levels;
    for (int i = 0; i < list.iNumLines; i++) {
        const NKContourLine &line = list.pLines[i];
        float a[3], b[3];
        std::memcpy(a, line.fStart, sizeof a);
        std::memcpy(b, line.fEnd, sizeof b);
        DisplayToModel(a);
        DisplayToModel(b);
        LevelSummary &s = levels[line.iLevel];
        s.iCount++;
        s.fMinX = std::min({s.fMinX, a[0], b[0]});
        s.fMaxX = std::max({s.fMaxX, a[0], b[0]});
        s.fMinY = std::min({s.fMinY, a[1], b[1]});
        s.fMaxY = std::max({s.fMaxY, a[1], b[1]});
        const double dLength = std::fabs(static_cast<double>(b[1]) - a[1]);
        s.dLength += dLength;
        if (std::fabs(dLength - 0.5) > 1e-5) s.bHalfLong = false;
        std::memcpy(s.auColor, line.uColor, 3);
    }
    return levels;
}

TEST_F(ContourPlateFile, TenLevelsOnTheRampLieAcrossTheRows)
{
    MessageCapture capture;
    ASSERT_EQ(Run("open \"" + m_File + "\""), 0) << capture.Text();
    // No scalar until the state is read: contours are refused, no list made.
    EXPECT_EQ(Run("contours 10"), 1);
    EXPECT_TRUE(capture.Contains("Cannot turn contours on, no scalar data loaded"))
        << capture.Text();
    EXPECT_EQ(NKGetFrame(0)->pContours, nullptr);
    EXPECT_EQ(g_bContoursShown, 0);
    ASSERT_EQ(Run("readstate 1 1 0"), 0) << capture.Text();
    capture.Clear();
    ASSERT_EQ(Run("contourrange 0.5 9.5"), 0);
    EXPECT_TRUE(capture.HasLine("Using contour range from 5.000000e-01 to 9.500000e+00"))
        << capture.Text();
    capture.Clear();
    ASSERT_EQ(Run("contours 10"), 0);
    EXPECT_TRUE(capture.HasLine("Turn on drawing of contours")) << capture.Text();
    EXPECT_TRUE(capture.HasLine("Recalculating contours")) << capture.Text();
    for (int iPass = 0; iPass < 2; iPass++) {
        ASSERT_NE(NKGetFrame(0)->pContours, nullptr) << iPass;
        ASSERT_EQ(List(0, 0).iNumLines, 200) << iPass;
        const std::map<int, LevelSummary> levels = Summarise(List(0, 0));
        ASSERT_EQ(levels.size(), 10u) << iPass;
        for (const auto &entry : levels) {
            const int k = entry.first;
            const LevelSummary &s = entry.second;
            EXPECT_EQ(s.iCount, 20) << k;
            EXPECT_NEAR(s.fMinX, 0.5f + k, 1e-5) << k;
            EXPECT_NEAR(s.fMaxX, 0.5f + k, 1e-5) << k;
            EXPECT_NEAR(s.fMinY, 0.0f, 1e-5) << k;
            EXPECT_NEAR(s.fMaxY, 10.0f, 1e-5) << k;
            EXPECT_NEAR(s.dLength, 10.0, 1e-4) << k;
            EXPECT_TRUE(s.bHalfLong) << k;
        }
        const uint8_t auBlue[3] = {0, 0, 255}, auRed[3] = {255, 0, 0};
        for (int c = 0; c < 3; c++) {
            EXPECT_EQ(levels.at(0).auColor[c], auBlue[c]) << c;
            EXPECT_EQ(levels.at(9).auColor[c], auRed[c]) << c;
        }
        // Off and on again keeps the ten levels.
        ASSERT_EQ(Run("nocontours"), 0);
        ASSERT_EQ(Run("contours"), 0);
        EXPECT_EQ(g_ContourSettings.iNumLevels, 10);
    }
}

}  // namespace
