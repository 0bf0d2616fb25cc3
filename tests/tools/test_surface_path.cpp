// tests/tools/test_surface_path.cpp -- surface paths and the `lp` command
// through ExecuteCommand on flat plates of unit quadrilaterals (z = 0,
// normals +z, polygon k of element k): node and element curves, the walk
// across the plate, one-polygon paths, the command forms, picks in two parts
// and a path that runs off an L-shaped plate.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_plot_records.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "render/nk_primitives.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tools/nk_surface_path.h"

namespace {

using Cell = std::pair<int, int>;  // column, row

template <typename T>
T *Copy(const std::vector<T> &v)
{
    T *p = static_cast<T *>(NKAlloc(v.size() * sizeof(T)));
    for (size_t i = 0; i < v.size(); i++) p[i] = v[i];
    return p;
}

// A part of unit cells on a (w + 1) x (h + 1) node grid (node j (w + 1) + i
// at (i, j, 0)); polygon k is cell k, element k.
void MakePlate(NKPart *pPart, int w, int h, const std::vector<Cell> &cells)
{
    std::vector<float> coords;
    for (int j = 0; j <= h; j++)
        for (int i = 0; i <= w; i++) coords.insert(coords.end(), {(float)i, (float)j, 0.0f});
    std::vector<int> connects, starts, counts, elements;
    std::vector<int8_t> normals;
    for (size_t k = 0; k < cells.size(); k++) {
        int n = cells[k].second * (w + 1) + cells[k].first;
        starts.push_back((int)connects.size());
        connects.insert(connects.end(), {n, n + 1, n + w + 2, n + w + 1});
        counts.push_back(4);
        elements.push_back((int)k);
        normals.insert(normals.end(), {0, 0, 127});
    }
    pPart->iNumNodes = (w + 1) * (h + 1);
    pPart->iNumPolygons = (int)cells.size();
    pPart->iNumConnects = (int)connects.size();
    pPart->pNodeCoords = Copy(coords);
    pPart->pConnects = Copy(connects);
    pPart->pPolygonStart = Copy(starts);
    pPart->pPolygonNumNodes = Copy(counts);
    pPart->pPolygonNormals = Copy(normals);
    pPart->pPolygonElements = Copy(elements);
    pPart->iNumElements = (int)cells.size();
}

std::vector<Cell> Grid(int w, int h)
{
    std::vector<Cell> cells;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) cells.push_back({i, j});
    return cells;
}

class SurfacePaths : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        m_SavedView = NKViewWindowSize;
        NKViewWindowSize = {800, 600};
        NKRegisterPlotCommands();
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(true);
    }
    void TearDown() override
    {
        NKDeleteCurrentPlot();
        NKFreeSelectionPaths();
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(false);
        g_bPlotShown = 0;
        NKSetCommandHandler(NK_HANDLER_PLOT, nullptr);
        NKViewWindowSize = m_SavedView;
        NKSetModelHooks(m_SavedHooks);
        NKRenderModelTest::TearDown();
    }
    // One frame of iParts plates; node values x (or element k valued k + 1).
    void MakeModel(int iParts, int w, int h, const std::vector<Cell> &cells, bool bElements)
    {
        NKGeometry *pGeo = NKCreateGeometry(iParts);
        for (int p = 0; p < iParts; p++) MakePlate(&pGeo->pParts[p], w, h, cells);
        NKScalarResult *r = NKCreateScalarResult();
        r->iNumParts = iParts;
        r->szDescription = bElements ? "Element value" : "Node x";
        auto *pEntries =
            static_cast<NKScalarPartEntry *>(NKCalloc(iParts, sizeof(NKScalarPartEntry)));
        for (int p = 0; p < iParts; p++) {
            const NKPart &part = pGeo->pParts[p];
            int n = bElements ? part.iNumPolygons : part.iNumNodes;
            pEntries[p].iCount = n;
            pEntries[p].pNodeValues = static_cast<float *>(NKAlloc(n * sizeof(float)));
            for (int k = 0; k < n; k++)
                pEntries[p].pNodeValues[k] = bElements ? k + 1.0f : part.pNodeCoords[3 * k];
        }
        (bElements ? r->pElementResults : r->pNodeResults) = pEntries;
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef++;
        g_pModel->pFrames[0].pScalar = r;
        r->iNumRef++;
        m_iWidth = w;
        g_pModel->fGeoScale = 1.0f;  // identity display transform
    }
    // A pick at (x, y) in polygon iPolygon with nearest node (i, j).
    void Pick(int iPart, int iPolygon, float x, float y, int i, int j)
    {
        NKPickInfo pick;
        pick.iFrame = 0;
        pick.pGeometry = g_pModel->pFrames[0].pGeometry;
        pick.iPart = iPart;
        pick.iPolygon = iPolygon;
        pick.iElement = iPolygon;
        pick.iNode = j * (m_iWidth + 1) + i;
        pick.fPoint[0] = x;
        pick.fPoint[1] = y;
        ASSERT_TRUE(g_SelectionList.Add(pick));
    }
    static void ExpectCurve(const PlotCurve *c, const std::vector<float> &x,
                            const std::vector<float> &y, float fTolerance)
    {
        ASSERT_NE(c, nullptr);
        ASSERT_EQ(c->iNumPoints, (int)x.size());
        for (size_t i = 0; i < x.size(); i++) {
            EXPECT_NEAR(c->pPoints[i].x, x[i], fTolerance) << i;
            EXPECT_NEAR(c->pPoints[i].y, y[i], fTolerance) << i;
        }
    }

    NKModelHooks m_SavedHooks;
    NKViewSize m_SavedView{};
    MessageCapture m_Capture;
    int m_iWidth = 0;
};

TEST(SurfacePathErrors, EveryCodeHasItsText)
{
    const std::vector<std::pair<int, const char *>> table = {
        {-1, "Internal error (NULL data passed)."},
        {-2, "Selections not in same part."},
        {-3, "Unable to find neighbour. (May have reached part boundary)."},
        {-4, "Loopback error. (Geometry too complex between selections)."},
        {-5, "Intersection error. (Geometry too complex between selections)."},
        {7, "Unknown error."},
        {0, "Unknown error."}};
    for (const auto &row : table) EXPECT_STREQ(NKSurfacePathErrorText(row.first), row.second);
}

TEST_F(SurfacePaths, NodeCurvesAlongAStraightPath)
{
    MakeModel(1, 8, 4, Grid(8, 4), false);
    Pick(0, 0, 0.4f, 0.3f, 0, 0);
    Pick(0, 5, 5.6f, 0.3f, 6, 0);
    ASSERT_EQ(ExecuteCommand("lp current"), 0) << m_Capture.Text();
    const PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->szTitle, "Scalar vs. length.");
    EXPECT_EQ(p->iPlotKind, 7);
    EXPECT_EQ(p->szXTitle, "Length");
    EXPECT_EQ(p->szYTitle, "Node x");
    ASSERT_EQ(p->iNumCurves, 1);
    const PlotCurve *c = p->ppCurves[0];
    EXPECT_EQ(c->szName, "0");
    EXPECT_EQ(std::vector<int>(c->ucLineColor, c->ucLineColor + 3), (std::vector<int>{255, 0, 0}));
    ExpectCurve(c, {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, 1e-5f);
    // The selection path list holds the nodes, drawn in the curve's colour.
    ASSERT_EQ(g_SelectionPaths.iCount, 1);
    ASSERT_EQ(g_iNumPathPolylines, 1);
    const NKPathPolyline &line = g_pPathPolylines[0];
    EXPECT_EQ(line.uRed, 255);
    ASSERT_EQ(line.iNumPoints, 7);
    for (int i = 0; i < 7; i++) {
        EXPECT_FLOAT_EQ(line.pfPoints[i][0], (float)i);
        EXPECT_FLOAT_EQ(line.pfPoints[i][1], 0.0f);
    }
    ASSERT_EQ(ExecuteCommand("lp current add"), 0);
    ASSERT_EQ(g_pCurrentPlot, p);
    ASSERT_EQ(p->iNumCurves, 2);
    EXPECT_EQ(p->ppCurves[1]->szName, "1");
    EXPECT_EQ(std::vector<int>(p->ppCurves[1]->ucLineColor, p->ppCurves[1]->ucLineColor + 3),
              (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(g_iNumPathPolylines, 2);
    // A new plot without add; deleting the plot empties the path list.
    ASSERT_EQ(ExecuteCommand("lp current"), 0);
    EXPECT_EQ(g_pCurrentPlot->iNumCurves, 1);
    EXPECT_EQ(g_iNumPathPolylines, 1);
    NKDeleteCurrentPlot();
    EXPECT_EQ(g_iNumPathPolylines, 0);
    EXPECT_EQ(g_pPathPolylines, nullptr);
}

TEST_F(SurfacePaths, ElementCurvesSampleBetweenCrossings)
{
    MakeModel(1, 8, 4, Grid(8, 4), true);
    Pick(0, 0, 0.4f, 0.3f, 0, 0);
    Pick(0, 5, 5.6f, 0.3f, 6, 0);
    ASSERT_EQ(ExecuteCommand("lp current"), 0) << m_Capture.Text();
    ExpectCurve(g_pCurrentPlot->ppCurves[0], {0, 1.1f, 2.1f, 3.1f, 4.1f, 5.2f}, {1, 2, 3, 4, 5, 6},
                1e-5f);
    EXPECT_EQ(g_pCurrentPlot->szYTitle, "Element value");
    // A diagonal path crosses polygons 0, 1, 9, 10, 11, 19, 20.
    g_SelectionList.Clear();
    Pick(0, 0, 0.3f, 0.2f, 0, 0);
    Pick(0, 20, 4.6f, 2.9f, 5, 3);
    NKSurfacePath path;
    ASSERT_TRUE(NKTraceSelectionPath(&g_SelectionList, &path));
    std::vector<int> polygons;
    for (int i = 0; i < path.polygons.iCount; i++)
        polygons.push_back(path.polygons.pData[i].iPolygon);
    EXPECT_EQ(polygons, (std::vector<int>{0, 1, 9, 10, 11, 19, 20}));
    EXPECT_EQ(path.points.iCount, 8);
    path.Free();
    ASSERT_EQ(ExecuteCommand("lp current"), 0);
    const PlotCurve *c = g_pCurrentPlot->ppCurves[0];
    ASSERT_EQ(c->iNumPoints, 7);
    EXPECT_NEAR(c->pPoints[6].x, 5.07740f, 1e-4f);
    for (int i = 0; i < 7; i++) EXPECT_FLOAT_EQ(c->pPoints[i].y, polygons[i] + 1.0f);
}

TEST_F(SurfacePaths, PicksInOnePolygonTakeNoStep)
{
    MakeModel(1, 8, 4, Grid(8, 4), false);
    for (bool bSameNode : {true, false}) {
        g_SelectionList.Clear();
        Pick(0, 0, 0.2f, 0.2f, 0, 0);
        Pick(0, 0, bSameNode ? 0.3f : 0.8f, 0.3f, bSameNode ? 0 : 1, 0);
        NKSurfacePath path;
        ASSERT_EQ(NKWalkSurfacePath(g_SelectionList.GetEntries()[0],
                                    g_SelectionList.GetEntries()[1], &path),
                  0);
        EXPECT_EQ(path.points.iCount, 2);
        EXPECT_EQ(path.nodes.iCount, bSameNode ? 1 : 2);
        EXPECT_EQ(path.polygons.iCount, 1);
        path.Free();
    }
    EXPECT_EQ(NKWalkSurfacePath(nullptr, g_SelectionList.GetEntries()[1], nullptr), -1);
}

TEST_F(SurfacePaths, CommandFormsAndFailuresKeepThePlot)
{
    MakeModel(2, 8, 4, Grid(8, 4), false);
    EXPECT_EQ(ExecuteCommand("lp"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Please enter subcommand and/or parameters"));
    for (const char *pszLine : {"lp foo", "lp current x", "lp current add x"}) {
        m_Capture.Clear();
        EXPECT_EQ(ExecuteCommand(pszLine), 1) << pszLine;
        EXPECT_TRUE(m_Capture.Contains("lp: Could not find sub command")) << m_Capture.Text();
    }
    Pick(0, 0, 0.4f, 0.3f, 0, 0);
    Pick(0, 5, 5.6f, 0.3f, 6, 0);
    // add without a plot starts one.
    ASSERT_EQ(ExecuteCommand("lp current add"), 0);
    const PlotRecord *p = g_pCurrentPlot;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->iPlotKind, 7);
    g_SelectionList.Clear();
    Pick(0, 0, 0.4f, 0.3f, 0, 0);
    Pick(1, 5, 5.6f, 0.3f, 6, 0);
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("lp current add"), 1);
    EXPECT_TRUE(m_Capture.Contains("Unable to connect selections. The following error was "
                                   "reported:\nSelections not in same part."))
        << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Selections not in same part.", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Unable to trace between selections.", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.Contains("lp: Error executing sub command"));
    EXPECT_EQ(g_pCurrentPlot, p);
    EXPECT_EQ(p->iNumCurves, 1);
    EXPECT_EQ(g_iNumPathPolylines, 1);
}

TEST_F(SurfacePaths, PathOffThePartKeepsThePartialPath)
{
    MakeModel(1, 3, 3, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}}, false);
    Pick(0, 2, 2.6f, 0.4f, 3, 0);
    Pick(0, 4, 0.4f, 2.5f, 0, 2);
    EXPECT_EQ(ExecuteCommand("lp current"), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("Unable to connect selections. The following error was "
                                   "reported:\nUnable to find neighbour. (May have reached part "
                                   "boundary)."))
        << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Unable to find neighbour. (May have reached part boundary).",
                                  NK_MSG_WARNING));
    ExpectCurve(g_pCurrentPlot->ppCurves[0], {0, 1.41421f}, {3, 2}, 1e-5f);
    // With three picks the complete first pair is still plotted.
    g_SelectionList.Clear();
    Pick(0, 0, 0.4f, 0.4f, 0, 0);
    Pick(0, 2, 2.6f, 0.4f, 3, 0);
    Pick(0, 4, 0.4f, 2.5f, 0, 2);
    m_Capture.Clear();
    EXPECT_EQ(ExecuteCommand("lp current"), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.Contains("Unable to connect all selections. The following error was "
                                   "reported:\nUnable to find neighbour."))
        << m_Capture.Text();
    ExpectCurve(g_pCurrentPlot->ppCurves[0], {0, 1, 2, 3}, {0, 1, 2, 3}, 1e-5f);
}

TEST_F(SurfacePaths, SeveralPicksJoinAtEachPick)
{
    MakeModel(1, 8, 4, Grid(8, 4), false);
    Pick(0, 0, 0.4f, 0.3f, 0, 0);
    Pick(0, 3, 3.5f, 0.3f, 4, 0);
    Pick(0, 5, 5.6f, 0.3f, 6, 0);
    NKSurfacePath path;
    ASSERT_TRUE(NKTraceSelectionPath(&g_SelectionList, &path));
    std::vector<int> nodes(path.nodes.pData, path.nodes.pData + path.nodes.iCount);
    EXPECT_EQ(nodes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(path.points.iCount, 8);
    EXPECT_EQ(path.polygons.iCount, 6);
    EXPECT_FLOAT_EQ(path.points.pData[4].v[0], 3.5f);
    EXPECT_FLOAT_EQ(path.points.pData[5].v[0], 4.0f);
    path.Free();
    ASSERT_EQ(ExecuteCommand("lp current"), 0);
    ExpectCurve(g_pCurrentPlot->ppCurves[0], {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, 1e-5f);
}

}  // namespace
