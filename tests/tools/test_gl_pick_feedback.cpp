// tests/tools/test_gl_pick_feedback.cpp -- what picking shows, in an
// off-screen context of 800 x 600: the example beam with its first state
// read (scalar "Displacement magnitude", vector "Displacement") picked in
// the start view; the node and distance read-outs, the element shape in GL
// feedback, the cutting-plane point read-out of a unit hexahedron, the
// picked part's box in pixels; the hit texts and the tool-tip texts.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "plot/nk_node_plot.h"
#include "plot/nk_plot_commands.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_label_overlay.h"
#include "render/nk_overlays.h"
#include "render/nk_pick_display.h"
#include "render/nk_primitives.h"
#include "render/nk_scene_view.h"
#include "render/nk_viewpoint_commands.h"
#include "scene/nk_scene_extras.h"
#include "tests/render/example_view_fixture.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_feedback.h"
#include "tests/test_support/nkf_unit_hex.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_pick_feedback.h"
#include "tools/nk_picking.h"
#include "tools/nk_surface_path.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// Primitives of a draw in GL feedback: the token and vertex count of each.
std::vector<std::pair<int, int>> Feedback(const std::function<void()> &draw)
{
    std::vector<std::pair<int, int>> out;
    for (const NKFeedbackPrimitive &p : NKCaptureFeedback(draw))
        out.push_back({p.iToken, static_cast<int>(p.v.size())});
    return out;
}

// The beam of the examples, state 1 read, in the start view; GL with an
// identity model-view so that label anchors are display coordinates.
class BeamFeedbackGL : public NKExampleViewTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        SetUpExampleView(kWidth, kHeight);
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        g_pLabelOverlay = CreateLabelOverlay();
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
        SaveViewMatrices();
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        NKPartHighlightSettings = NKPartHighlight();
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        NKExampleViewTest::TearDown();
    }
    // The drawn view's matrices as the scene saves them: the perspective
    // frustum of the clipping distances and (0, 0, -2) times the view.
    void SaveViewMatrices()
    {
        const double n = g_fNearClip, f = g_fFarClip;
        const double h = double(g_fFieldOfViewFactor) * n, w = h * kWidth / kHeight;
        const double adProj[16] = {n / w,
                                   0,
                                   0,
                                   0,
                                   0,
                                   n / h,
                                   0,
                                   0,
                                   0,
                                   0,
                                   -(f + n) / (f - n),
                                   -1,
                                   0,
                                   0,
                                   -2 * f * n / (f - n),
                                   0};
        for (int i = 0; i < 16; i++) g_adSavedProjection[i] = adProj[i];
        for (int c = 0; c < 4; c++)
            for (int r = 0; r < 4; r++)
                g_adSavedModelView[4 * c + r] =
                    g_ViewMatrix[4 * c + r] - (r == 2 ? 2.0 * g_ViewMatrix[4 * c + 3] : 0.0);
        const int aiViewport[4] = {0, 0, kWidth, kHeight};
        for (int i = 0; i < 4; i++) g_aiSavedViewport[i] = aiViewport[i];
    }
    NKPart &Part0() { return g_pModel->pFrames[0].pGeometry->pParts[0]; }
    int NodeIndex(int iID)
    {
        for (int i = 0; i < Part0().iNumNodes; i++)
            if (Part0().pNodeIDs[i] == iID) return i;
        return -1;
    }
    int ElementIndex(int iID)
    {
        for (int i = 0; i < Part0().iNumElements; i++)
            if (Part0().pElements[i].iID == iID) return i;
        return -1;
    }
    // A node entry of frame 0, as a node pick fills it.
    NKPickInfo NodePick(int iID)
    {
        NKPickInfo p;
        p.iFrame = 0;
        p.pGeometry = g_pModel->pFrames[0].pGeometry;
        p.iPart = 0;
        p.iPolygon = 0;
        p.iNode = NodeIndex(iID);
        return p;
    }
    // The list as "pickmode nodes" (4) or "pickmode distance" (6) sets it.
    void NodeMode(int iMode)
    {
        g_SelectionList.Clear();
        g_SelectionList.SetEnabled(true);
        g_SelectionList.SetMode(iMode);
        g_SelectionList.SetKeepPrevious(iMode == 6);
        g_SelectionList.SetShowNodeInfo(true);
    }
    // The feedback of frame 0 from a clean overlay, with the GL state checks
    // every draw must pass; the labels' texts.
    std::vector<std::string> DrawInfo(std::vector<std::pair<int, int>> *pPrims = nullptr,
                                      bool bRaster = false)
    {
        ClearLabelOverlay(g_pLabelOverlay);
        GLint aiBefore[3], aiAfter[3];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiBefore[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiBefore[1]);
        glGetIntegerv(GL_DEPTH_FUNC, &aiBefore[2]);
        std::vector<std::pair<int, int>> prims;
        if (bRaster)
            NKDrawNodeInfo(0, &g_SelectionList);
        else
            prims = Feedback([] { NKDrawNodeInfo(0, &g_SelectionList); });
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiAfter[0]);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiAfter[1]);
        glGetIntegerv(GL_DEPTH_FUNC, &aiAfter[2]);
        for (int k = 0; k < 3; k++) EXPECT_EQ(aiBefore[k], aiAfter[k]) << k;
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        if (pPrims != nullptr) *pPrims = prims;
        std::vector<std::string> texts;
        for (int i = 0; i < g_pLabelOverlay->iCount; i++)
            texts.push_back(g_pLabelOverlay->pItems[i].Text.GetText());
        return texts;
    }
};

// "Node ID: 1083\nPos: 5 0.5 1\nScalar: s\nVector: x y z" split into its
// numbers after each key.
struct NodeText {
    std::string head, pos;
    float fScalar = 0.0f, afVector[3] = {0, 0, 0};
    bool bScalar = false, bVector = false;
};
NodeText ParseNodeText(const std::string &text)
{
    NodeText t;
    const size_t iPos = text.find("Pos: ");
    t.head = text.substr(0, iPos);
    const size_t iScalar = text.find("\nScalar: "), iVector = text.find("\nVector: ");
    t.pos = text.substr(iPos, std::min(iScalar, iVector) - iPos);
    t.bScalar = iScalar != std::string::npos &&
                std::sscanf(text.c_str() + iScalar, "\nScalar: %f", &t.fScalar) == 1;
    t.bVector = iVector != std::string::npos &&
                std::sscanf(text.c_str() + iVector, "\nVector: %f %f %f", &t.afVector[0],
                            &t.afVector[1], &t.afVector[2]) == 3;
    return t;
}

void ExpectBeamNode1083(const NodeText &t)
{
    ASSERT_TRUE(t.bScalar);
    ASSERT_TRUE(t.bVector);
    EXPECT_NEAR(t.fScalar, 0.105841f, 1e-5f);
    EXPECT_NEAR(t.afVector[0], 0.01875f, 1e-5f);
    EXPECT_NEAR(t.afVector[1], 0.0f, 1e-5f);
    EXPECT_NEAR(t.afVector[2], -0.104167f, 1e-5f);
}

TEST_F(BeamFeedbackGL, PickedNodeIsLabelledWithPositionScalarAndVector)
{
    // Before a state is read: position only.
    NodeMode(4);
    NKPickInfo pick;
    NKPickAtMouse(-1, NKPickInputOfSavedView(400, 299), &pick, false);
    NKHandlePickResult(&pick);
    ASSERT_EQ(g_SelectionList.iCount, 1);
    ASSERT_EQ(Part0().pNodeIDs[g_SelectionList.ppPicks[0]->iNode], 1083);
    EXPECT_EQ(DrawInfo(), std::vector<std::string>{"Node ID: 1083\nPos: 5 0.5 1"});

    ASSERT_EQ(ExecuteCommand("readstate 1 1 1"), 0);
    std::vector<std::pair<int, int>> prims;
    std::vector<std::string> texts = DrawInfo(&prims);
    EXPECT_TRUE(prims.empty());  // a label instead of a sphere
    ASSERT_EQ(texts.size(), 1u);
    NodeText t = ParseNodeText(texts[0]);
    EXPECT_EQ(t.head, "Node ID: 1083\n");
    EXPECT_EQ(t.pos, "Pos: 5 0.5 1");
    ExpectBeamNode1083(t);
    // Anchored at the node's display position, owned by its part.
    const int iNode = NodeIndex(1083);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(g_pLabelOverlay->pItems[0].fAnchor[i], Part0().pNodeCoords[3 * iNode + i],
                    1e-6f);
    EXPECT_EQ(g_pLabelOverlay->iOwnerId, 0);

    // Drawn displaced: the position moves, the vector stays.
    Part0().bDisplacements = 1;
    t = ParseNodeText(DrawInfo()[0]);
    EXPECT_NE(t.pos, "Pos: 5 0.5 1");
    ExpectBeamNode1083(t);
    // A displaced entry shorter than the part is not read past.
    NKVectorPartEntry *pVector = NKGetPartVectorEntry(0, &g_pModel->pFrames[0]);
    ASSERT_NE(pVector, nullptr);
    const int iNumVectors = pVector->iNumNodes;
    pVector->iNumNodes = 1;
    EXPECT_TRUE(DrawInfo().empty());
    pVector->iNumNodes = iNumVectors;
    Part0().bDisplacements = 0;

    // An undefined value; a part without IDs; without node information the
    // node is a sphere.
    NKScalarPartEntry *pScalar = NKGetPartScalarEntry(0, &g_pModel->pFrames[0]);
    ASSERT_NE(pScalar, nullptr);
    pScalar->pNodeValues[iNode] = NK_UNDEFINED_VALUE;
    EXPECT_NE(DrawInfo()[0].find("\nScalar: UNDEFINED\n"), std::string::npos);
    NKFree(Part0().pNodeIDs);
    Part0().pNodeIDs = nullptr;
    EXPECT_EQ(DrawInfo()[0].rfind("Pos: 5 0.5 1\n", 0), 0u);
    g_SelectionList.SetShowNodeInfo(false);
    EXPECT_TRUE(DrawInfo(&prims).empty());
    EXPECT_FALSE(prims.empty());
}

TEST_F(BeamFeedbackGL, DistanceOfTwoPickedNodes)
{
    NodeMode(6);
    const struct {
        int a, b;
        const char *pszText;
        float afMid[3];  // display midpoint, or all 9 when not checked
    } cases[] = {{1081, 1085, "Dist: 4 (dx: 4, dy: 0, dz: 0)", {0.0f, 0.0f, 0.05f}},
                 {1085, 1081, "Dist: 4 (dx: 4, dy: 0, dz: 0)", {0.0f, 0.0f, 0.05f}},
                 {1001, 1099, "Dist: 10.0995 (dx: 10, dy: 1, dz: 1)", {9, 9, 9}},
                 {1099, 1001, "Dist: 10.0995 (dx: 10, dy: 1, dz: 1)", {9, 9, 9}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + ", " + std::to_string(c.b));
        g_SelectionList.Clear();
        ASSERT_TRUE(g_SelectionList.Add(NodePick(c.a)));
        ASSERT_TRUE(g_SelectionList.Add(NodePick(c.b)));
        const std::vector<std::string> texts = DrawInfo();
        ASSERT_EQ(texts.size(), 3u);  // two node labels and the distance
        EXPECT_EQ(texts[2], c.pszText);
        if (c.afMid[0] == 9.0f) continue;
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(g_pLabelOverlay->pItems[2].fAnchor[i], c.afMid[i], 1e-5f);
    }
    // One entry: its label only. Three: no distance either.
    g_SelectionList.Clear();
    ASSERT_TRUE(g_SelectionList.Add(NodePick(1081)));
    EXPECT_EQ(DrawInfo().size(), 1u);
    NKPickInfo a = NodePick(1081), b = NodePick(1083), c = NodePick(1085);
    NKPickInfo *three[3] = {&a, &b, &c};
    EXPECT_FALSE(NKDrawPickDistance(0, three, 3));
    EXPECT_FALSE(NKDrawPickDistance(0, three, 1));
}

TEST_F(BeamFeedbackGL, ElementShapeFacesAndEdges)
{
    NKFrame *pFrame = &g_pModel->pFrames[0];
    const int iElement = ElementIndex(25);
    ASSERT_GE(iElement, 0);
    bool bDrawn = false;
    const auto faces =
        Feedback([&] { bDrawn = NKDrawElementShape(pFrame, &Part0(), 0, iElement, true); });
    EXPECT_TRUE(bDrawn);
    // Six quads, handed back whole or as two triangles each.
    int iQuads = 0, iTriangles = 0;
    for (const auto &p : faces) {
        ASSERT_EQ(p.first, GL_POLYGON_TOKEN);
        (p.second == 4 ? iQuads : iTriangles) += 1;
        EXPECT_TRUE(p.second == 4 || p.second == 3);
    }
    EXPECT_EQ(iQuads + iTriangles / 2, 6);
    const auto edges =
        Feedback([&] { bDrawn = NKDrawElementShape(pFrame, &Part0(), 0, iElement, false); });
    EXPECT_TRUE(bDrawn);
    ASSERT_EQ(edges.size(), 12u);
    for (const auto &p : edges) EXPECT_EQ(p.first, GL_LINE_TOKEN);
    ASSERT_EQ(Part0().iNumElements, 40);
    EXPECT_FALSE(NKDrawElementShape(pFrame, &Part0(), 0, 40, true));
    EXPECT_FALSE(NKDrawElementShape(pFrame, &Part0(), 0, -1, true));
    // The highlighted element of a frame is drawn filled through it.
    pFrame->bHighlightElement = 1;
    pFrame->iHighlightPart = 0;
    pFrame->iHighlightElement = iElement;
    EXPECT_EQ(Feedback([&] { NKDrawSelectedElement(pFrame); }).size(), faces.size());
    pFrame->bHighlightElement = 0;
}

TEST_F(BeamFeedbackGL, PickedPartBoxIsDrawnOnItsEdges)
{
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(1);
    NKPickInfo pick = NodePick(1083);
    ASSERT_TRUE(g_SelectionList.Add(pick));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawInfo(nullptr, true);
    // Looking down -z at x, y in [-1, 1]: the box's outline in pixels.
    float afBox[6];
    std::memcpy(afBox, Part0().fBoundingBox, sizeof(afBox));
    ModelToDisplayBox(afBox);
    auto px = [](float v, int n) { return (v + 1.0f) * 0.5f * n; };
    const float x0 = px(afBox[0], kWidth), x1 = px(afBox[3], kWidth);
    const float y0 = px(afBox[1], kHeight), y1 = px(afBox[4], kHeight);
    std::vector<unsigned char> pixels(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int iWhite = 0, iStray = 0;
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            const unsigned char *c = &pixels[4 * (y * kWidth + x)];
            if (c[0] == 0 && c[1] == 0 && c[2] == 0) continue;
            const bool bWhite = c[0] == 255 && c[1] == 255 && c[2] == 255;
            const float fx = x + 0.5f, fy = y + 0.5f;
            const bool bSide = (std::fabs(fx - x0) < 1.5f || std::fabs(fx - x1) < 1.5f) &&
                               fy > y0 - 1.5f && fy < y1 + 1.5f;
            const bool bEnd = (std::fabs(fy - y0) < 1.5f || std::fabs(fy - y1) < 1.5f) &&
                              fx > x0 - 1.5f && fx < x1 + 1.5f;
            const bool bOnEdge = bSide || bEnd;
            (bWhite && bOnEdge ? iWhite : iStray) += 1;
        }
    EXPECT_EQ(iStray, 0);
    // Most of the outline's length is lit.
    EXPECT_GT(iWhite, static_cast<int>(1.5f * ((x1 - x0) + (y1 - y0))));
    // The scene's overlays draw the list while it is enabled.
    NKFrame *pFrame = &g_pModel->pFrames[0];
    EXPECT_EQ(Feedback([&] { NKDrawSceneOverlays(pFrame); }).size(), 12u);  // the box's edges
    g_SelectionList.SetEnabled(false);
    EXPECT_TRUE(Feedback([&] { NKDrawSceneOverlays(pFrame); }).empty());
}

// Two picks on the beam's top face and `lp current`: the overlay pass of
// the frame draws the path in the curve's colour (red), and nothing once
// the plot, and with it the path, is gone.
TEST_F(BeamFeedbackGL, SurfacePathOfTwoPicksIsDrawnWithTheFrame)
{
    NKRegisterPlotCommands();
    ASSERT_EQ(ExecuteCommand("readstate 1 1 1"), 0);
    g_SelectionList.SetEnabled(true);
    for (int iX : {200, 600}) {
        NKPickInfo pick;
        NKPickAtMouse(-1, NKPickInputOfSavedView(iX, 299), &pick, false);
        ASSERT_EQ(pick.iPart, 0);
        ASSERT_TRUE(g_SelectionList.Add(pick));
    }
    ASSERT_EQ(ExecuteCommand("lp current"), 0);
    ASSERT_EQ(g_iNumPathPolylines, 1);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    auto RedPixels = [pFrame] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        NKDrawCopyOverlays(pFrame);
        std::vector<unsigned char> px(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        int n = 0;
        for (size_t i = 0; i < px.size(); i += 4)
            n += px[i] == 255 && px[i + 1] == 0 && px[i + 2] == 0;
        return n;
    };
    // At least the line's length between the picks, two pixels wide.
    EXPECT_GT(RedPixels(), 400);
    NKDeleteCurrentPlot();
    EXPECT_EQ(g_iNumPathPolylines, 0);
    EXPECT_EQ(RedPixels(), 0);
    NKFreeSelectionPaths();
    NKSetCommandHandler(NK_HANDLER_PLOT, nullptr);
}

// The unit hexahedron of the cutting-plane tests (node scalar z), cut at
// z = 0.5 and picked there in cutting-plane mode.
TEST_F(BeamFeedbackGL, CuttingPlanePickReadsThePieceAtTheHitPoint)
{
    NKInstallToolHooks();
    ASSERT_TRUE(NKCreateSurfaceTools());
    NKRegisterCutPlaneCommands();
    const std::string dir = NKTestMakeTempDir("quolin_pick_cut_");
    ASSERT_TRUE(NKTestWriteText(dir + "/hex.nkf", NKTestUnitHex()));
    ASSERT_EQ(ExecuteCommand(("open \"" + dir + "/hex.nkf\"").c_str()), 0);
    ASSERT_EQ(ExecuteCommand("readstate 1 1 0"), 0);
    ASSERT_EQ(ExecuteCommand("cutplane 0.5 0.5 0.5 0 0 1"), 0);
    g_SelectionList.Clear();
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(7);
    g_SelectionList.SetKeepPrevious(false);
    g_SelectionList.SetShowNodeInfo(true);
    const float rays[1][6] = {{-0.25f, 0.0f, 2.0f, 0.0f, 0.0f, -1.0f}};
    const int groups[1] = {1};
    NKPickInfo pick;
    EXPECT_EQ(NKPickRay(0, rays, groups, 1, &pick, false), -1);
    ASSERT_EQ(g_SelectionList.iCount, 1);
    EXPECT_EQ(g_SelectionList.ppPicks[0]->iPart, -1);
    EXPECT_EQ(g_SelectionList.ppPicks[0]->iElement, 0);
    EXPECT_EQ(DrawInfo(), std::vector<std::string>{"Pos: 0.25 0.5 0.5\nScalar: 0.5"});
    // A piece or polygon that does not exist reads nothing.
    NKString text;
    EXPECT_FALSE(NKFormatPointInfo(&text, &g_pModel->pFrames[0], 0, 5, 0, rays[0]));
    EXPECT_FALSE(NKFormatPointInfo(&text, &g_pModel->pFrames[0], 0, 0, 99999, rays[0]));
    EXPECT_FALSE(NKFormatPointInfo(&text, &g_pModel->pFrames[0], 3, 0, 0, rays[0]));
    g_SelectionList.Clear();
    NKFreeCutSurfaces(-1, -1);
    NKDestroySurfaceTools();
    NKTestRemoveDir(dir);
}

TEST_F(BeamFeedbackGL, HitTextsAndToolTips)
{
    NKPickInfo pick;
    NKString line1, line2;
    ASSERT_EQ(NKPickPartAtPixel(391, 304, &pick), 0);
    EXPECT_TRUE(NKFormatPickHit(&pick, &line1, &line2));
    EXPECT_STREQ(line1.GetText(), "Hitting part 1, element 25. Nearest node: 1083");
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(line2.GetText(), "Intersect point: (%f, %f, %f)", &x, &y, &z), 3);
    EXPECT_NEAR(x, 4.8f, 0.01f);
    EXPECT_NEAR(y, 0.4f, 0.01f);
    EXPECT_NEAR(z, 1.0f, 0.01f);
    EXPECT_STREQ(NKFormatPartToolTip(0).GetText(), "Beam");
    EXPECT_EQ(NKPickPartAtPixel(400, 50, &pick), -1);
    EXPECT_FALSE(NKFormatPickHit(&pick, &line1, &line2));
    EXPECT_STREQ(line1.GetText(), "No hits");
    EXPECT_STREQ(NKFormatPartToolTip(-1).GetText(), "");

    // Three parts: the second without elements or node IDs, the third
    // unnamed.
    NKGeometry *pGeo = NKCreateGeometry(3);
    ASSERT_NE(pGeo, nullptr);
    for (int i = 0; i < 3; i++) pGeo->pParts[i].iNumNodes = 10;
    pGeo->pParts[0].szName = "First";
    NKGeometry *pOld = g_pModel->pFrames[0].pGeometry;
    g_pModel->pFrames[0].pGeometry = pGeo;
    pick = NKPickInfo();
    pick.iFrame = 0;
    pick.iPart = 1;
    pick.iPolygon = 3;
    pick.iNode = 6;
    pick.pszInfo = "(1, 2, 3)->(4, 5, 6)";
    EXPECT_TRUE(NKFormatPickHit(&pick, &line1, &line2));
    EXPECT_STREQ(line1.GetText(),
                 "Hitting part 2, polygon 4. Nearest node: 7. Polygon info: (1, 2, 3)->(4, 5, 6)");
    EXPECT_STREQ(NKFormatPartToolTip(0).GetText(), "First");
    EXPECT_STREQ(NKFormatPartToolTip(2).GetText(), "Part 3");
    pGeo->pParts[2].hotSpot.bHasHotSpot = 1;
    EXPECT_STREQ(NKFormatPartToolTip(2).GetText(), "Hotspot for part 3");
    EXPECT_TRUE(NKCurrentGeometryHasHotSpots());
    pGeo->pParts[2].hotSpot.szText = "Valve";
    EXPECT_STREQ(NKFormatPartToolTip(2).GetText(), "Valve");
    g_pModel->pFrames[0].pGeometry = pOld;
    NKReleaseGeometry(pGeo);
    EXPECT_FALSE(NKCurrentGeometryHasHotSpots());
}

}  // namespace
