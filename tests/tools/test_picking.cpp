// tests/tools/test_picking.cpp -- picking without a display: the example
// beam in an 800 x 600 perspective view with the start view, picked at known
// pixels; the frame's part matrix; the selection list filled by picks in the
// element, node and distance modes; the stereo focus; and the log line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_dde_server.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_view_state.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "render/nk_camera.h"
#include "render/nk_scene_view.h"
#include "render/nk_view_commands.h"
#include "render/nk_view_settings.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/test_files.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_particle_trace.h"
#include "tools/nk_picking.h"

namespace {

class BeamPicking : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterViewpointCommands();
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {800, 600};
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        NKSetPickTogglesHighlight(false);
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("beam.nkf") + "\"").c_str()), 0);
        ASSERT_EQ(ExecuteCommand("setview"), 0);
        ComputeMatrices();
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        g_pGraphicsSettings = nullptr;
        NKViewWindowSize = m_SavedSize;
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
        NKSetModelHooks(m_SavedHooks);
        NKInitNavigation(g_ViewMatrix, &g_InputState);
        NKModelTest::TearDown();
    }
    // The scene's matrices as the drawing sets them: the perspective frustum
    // of the clipping distances, and (0, 0, -2) times the view matrix.
    void ComputeMatrices()
    {
        const double n = g_fNearClip, f = g_fFarClip;
        const double h = double(g_fFieldOfViewFactor) * n, w = h * 800.0 / 600.0;
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
        for (int i = 0; i < 16; i++) m_adProj[i] = adProj[i];
        for (int c = 0; c < 4; c++)
            for (int r = 0; r < 4; r++) {
                double v = g_ViewMatrix[4 * c + r];
                if (r == 2) v -= 2.0 * g_ViewMatrix[4 * c + 3];
                m_adModelView[4 * c + r] = v;
            }
    }
    int Pick(int x, int y, NKPickInfo *pPick, bool bPartsOff = false)
    {
        const NKPickInput input = NKMakePickInput(x, y, m_adModelView, m_adProj, m_aiViewport);
        return NKPickAtMouse(-1, input, pPick, bPartsOff);
    }
    // Picks and acts on the pick, as a Shift+click does.
    void Click(int x, int y)
    {
        NKPickInfo pick;
        Pick(x, y, &pick);
        NKHandlePickResult(&pick);
    }
    const NKPart &Part0() { return g_pModel->pFrames[0].pGeometry->pParts[0]; }
    int ElementID(const NKPickInfo &p) { return Part0().pElements[p.iElement].iID; }
    int NodeID(int iNode)
    {
        return Part0().pNodeIDs != nullptr ? Part0().pNodeIDs[iNode] : iNode + 1;
    }
    std::vector<int> ListedNodeIDs()
    {
        std::vector<int> ids;
        for (int i = 0; i < g_SelectionList.iCount; i++)
            ids.push_back(NodeID(g_SelectionList.ppPicks[i]->iNode));
        return ids;
    }
    std::vector<int> ListedElementIDs()
    {
        std::vector<int> ids;
        for (int i = 0; i < g_SelectionList.iCount; i++)
            ids.push_back(ElementID(*g_SelectionList.ppPicks[i]));
        return ids;
    }
    double m_adModelView[16] = {}, m_adProj[16] = {};
    int m_aiViewport[4] = {0, 0, 800, 600};
    NKModelHooks m_SavedHooks;
    NKViewSize m_SavedSize{};
};

void ExpectModelPoint(const NKPickInfo &pick, float x, float y, float z)
{
    float p[3] = {pick.fPoint[0], pick.fPoint[1], pick.fPoint[2]};
    DisplayToModel(p);
    EXPECT_NEAR(p[0], x, 0.01f);
    EXPECT_NEAR(p[1], y, 0.01f);
    EXPECT_NEAR(p[2], z, 0.01f);
}

TEST_F(BeamPicking, KnownPixelsHitKnownElementsAndNodes)
{
    NKPickInfo pick;
    ASSERT_EQ(Pick(391, 304, &pick), 0);
    EXPECT_EQ(pick.iFrame, 0);
    EXPECT_EQ(pick.pGeometry, g_pModel->pFrames[0].pGeometry);
    EXPECT_EQ(ElementID(pick), 25);
    EXPECT_EQ(NodeID(pick.iNode), 1083);
    ExpectModelPoint(pick, 4.8f, 0.4f, 1.0f);

    const struct {
        int x, y, iElement, iNode;
    } known[] = {{294, 310, 23, -1},
                 {505, 289, 38, -1},
                 {400, 299, -1, 1083},
                 {315, 299, -1, 1081},
                 {484, 299, -1, 1085}};
    for (const auto &k : known) {
        SCOPED_TRACE(std::to_string(k.x) + ", " + std::to_string(k.y));
        ASSERT_EQ(Pick(k.x, k.y, &pick), 0);
        if (k.iElement >= 0) {
            EXPECT_EQ(ElementID(pick), k.iElement);
        }
        if (k.iNode >= 0) {
            EXPECT_EQ(NodeID(pick.iNode), k.iNode);
        }
    }

    // Misses: beside the beam, outside the view, parts off.
    EXPECT_EQ(Pick(400, 50, &pick), -1);
    EXPECT_EQ(pick.iFrame, -1);
    EXPECT_EQ(pick.iPart, -1);
    EXPECT_EQ(Pick(800, 10, &pick), -1);
    EXPECT_EQ(Pick(391, 304, &pick, true), -1);
    EXPECT_EQ(pick.iFrame, -1);
}

TEST_F(BeamPicking, AFrameMatrixMovesThePartAndTheHitStaysInPartCoordinates)
{
    NKFrame *pFrame = &g_pModel->pFrames[0];
    const int n = pFrame->pGeometry->iNumParts;
    pFrame->pTransformation = static_cast<float *>(NKCalloc(16 * n, sizeof(float)));
    ASSERT_NE(pFrame->pTransformation, nullptr);
    for (int p = 0; p < n; p++)
        for (int i = 0; i < 4; i++) pFrame->pTransformation[16 * p + 5 * i] = 1.0f;
    pFrame->pTransformation[12] = 0.2f;  // model + 2 in x
    NKPickInfo pick;
    ASSERT_EQ(Pick(391, 304, &pick), 0);
    EXPECT_EQ(ElementID(pick), 23);
    ExpectModelPoint(pick, 2.8f, 0.4f, 1.0f);
}

TEST_F(BeamPicking, StereoFocusTakesTheHitAndLeavesTheSelection)
{
    NKGraphicsSettings settings;
    settings.bStereo = 1;
    settings.iCounter = 5;
    g_pGraphicsSettings = &settings;
    g_SelectionList.SetEnabled(true);
    NKPickInfo pick;
    ASSERT_EQ(Pick(391, 304, &pick), 0);
    EXPECT_TRUE(NKHandlePickResult(&pick));
    for (int i = 0; i < 3; i++) EXPECT_EQ(settings.fVector[i], pick.fPoint[i]);
    EXPECT_EQ(settings.iCounter, 0);
    EXPECT_EQ(g_SelectionList.iCount, 0);
    EXPECT_EQ(Part0().bSelected, 0);
}

TEST_F(BeamPicking, ClicksFillTheSelectionListByMode)
{
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(3);
    g_SelectionList.SetKeepPrevious(true);
    Click(391, 304);
    EXPECT_EQ(Part0().bSelected, 1);
    Click(294, 310);
    Click(505, 289);
    EXPECT_EQ(ListedElementIDs(), (std::vector<int>{25, 23, 38}));
    // Each entry holds a reference to the geometry.
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry->iNumRef, 1 + 3);
    Click(294, 310);
    EXPECT_EQ(ListedElementIDs(), (std::vector<int>{25, 38}));
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry->pickInfo.pGeometry, nullptr);

    // What "pickmode nodes" and "pickmode distance" set.
    EXPECT_EQ(g_SelectionList.SetMode(4), 3);
    EXPECT_EQ(g_SelectionList.iCount, 0);
    g_SelectionList.SetKeepPrevious(false);
    Click(400, 299);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{1083}));
    Click(315, 299);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{1081}));
    Click(315, 299);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{}));

    g_SelectionList.SetMode(6);
    g_SelectionList.SetKeepPrevious(true);
    Click(315, 299);
    Click(484, 299);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{1081, 1085}));
    Click(400, 299);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{1083}));
    Click(400, 50);
    EXPECT_EQ(ListedNodeIDs(), (std::vector<int>{}));
    // A miss deselects every part.
    EXPECT_EQ(Part0().bSelected, 0);
}

TEST_F(BeamPicking, CtrlPicksToggleTheHighlight)
{
    NKSetPickTogglesHighlight(true);
    Click(391, 304);
    EXPECT_EQ(Part0().bSelected, 1);
    Click(391, 304);
    EXPECT_EQ(Part0().bSelected, 0);
    NKSetPickTogglesHighlight(false);
}

TEST_F(BeamPicking, LogLineNamesPartElementNodeAndModelPoint)
{
    NKPickInfo pick;
    ASSERT_EQ(Pick(391, 304, &pick), 0);
    char szLine[256];
    NKFormatPickLogLine(&pick, szLine, sizeof(szLine));
    const std::string line = szLine;
    const std::string head = "#Selected part 1, element 25. Nearest node: 1083  Intersect point: (";
    ASSERT_EQ(line.substr(0, head.size()), head) << line;
    float x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(line.c_str() + head.size(), "%f, %f, %f)", &x, &y, &z), 3);
    EXPECT_NEAR(x, 4.8f, 0.01f);
    EXPECT_NEAR(y, 0.4f, 0.01f);
    EXPECT_NEAR(z, 1.0f, 0.01f);
    Pick(400, 50, &pick);
    NKFormatPickLogLine(&pick, szLine, sizeof(szLine));
    EXPECT_STREQ(szLine, "");
}

TEST_F(BeamPicking, PicksGoToTheDdeServerOnlyWhileItIsOn)
{
    NKPickInfo pick;
    ASSERT_EQ(Pick(391, 304, &pick), 0);
    NKHandlePickResult(&pick);
    EXPECT_STREQ(NKDDEGetItemText("pick_part_num").GetText(), "");
    bDdeEnabled = 1;
    NKHandlePickResult(&pick);
    bDdeEnabled = 0;
    EXPECT_STREQ(NKDDEGetItemText("pick_part_num").GetText(), "<1><1>");
    NKDDEStorePick(nullptr);  // lets go of the geometry
}

TEST_F(BeamPicking, CuttingPlanesAndTraceSeedsInFrontOfThePartsWin)
{
    NKInstallToolHooks();
    ASSERT_TRUE(NKCreateSurfaceTools());
    g_pCutPlaneSet->Enable(true);
    const float afPoint[3] = {5.0f, 0.5f, 0.5f}, afNormal[3] = {0.0f, 0.0f, 1.0f};
    ASSERT_TRUE(g_pCutPlaneSet->SetPlanePoint(afPoint, 0));
    ASSERT_TRUE(g_pCutPlaneSet->SetPlaneNormal(afNormal, 0));
    NKFrame *pFrame = &g_pModel->pFrames[0];
    if (pFrame->pScalar == nullptr) {  // cut surfaces are made for frames with a scalar
        pFrame->pScalar = NKCreateScalarResult();
        ASSERT_NE(pFrame->pScalar, nullptr);
        pFrame->pScalar->iNumRef = 1;
        const int n = pFrame->pGeometry->iNumParts;
        pFrame->pScalar->iNumParts = n;
        pFrame->pScalar->pNodeResults =
            static_cast<NKScalarPartEntry *>(NKCalloc(n, sizeof(NKScalarPartEntry)));
        for (int i = 0; i < n; i++) {
            NKScalarPartEntry &e = pFrame->pScalar->pNodeResults[i];
            e.iCount = pFrame->pGeometry->pParts[i].iNumNodes;
            e.pNodeValues = static_cast<float *>(NKCalloc(e.iCount, sizeof(float)));
        }
    }
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, g_pCutPlaneSet));
    NKPickInfo pick;
    EXPECT_EQ(Pick(391, 304, &pick), 0);  // the top face lies in front of the plane

    // Cutting-plane mode picks no parts; the plane's record joins the list.
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(7);
    EXPECT_EQ(Pick(391, 304, &pick), -1);
    ASSERT_EQ(g_SelectionList.iCount, 1);
    const NKPickInfo &cut = *g_SelectionList.ppPicks[0];
    EXPECT_EQ(cut.iFrame, 0);
    EXPECT_EQ(cut.iPart, -1);
    EXPECT_EQ(cut.iElement, 0);  // the plane
    EXPECT_EQ(cut.iNode, 0);     // the piece
    EXPECT_GE(cut.iPolygon, 0);
    float afModel[3] = {cut.fPoint[0], cut.fPoint[1], cut.fPoint[2]};
    DisplayToModel(afModel);
    EXPECT_NEAR(afModel[2], 0.5f, 0.01f);
    EXPECT_NEAR(afModel[0], 4.8f, 0.2f);

    // Of two planes the nearer becomes current; a second pick replaces the
    // record (the list is emptied before each cutting-plane pick).
    ASSERT_TRUE(g_pCutPlaneSet->AddPlane(true));
    const float afHigher[3] = {5.0f, 0.5f, 0.8f};
    ASSERT_TRUE(g_pCutPlaneSet->SetPlanePoint(afHigher, 1));
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, g_pCutPlaneSet));
    g_pCutPlaneSet->SetCurrent(0);
    EXPECT_EQ(Pick(391, 304, &pick), -1);
    EXPECT_EQ(g_pCutPlaneSet->GetCurrent(), 1);
    ASSERT_EQ(g_SelectionList.iCount, 1);
    EXPECT_EQ(g_SelectionList.ppPicks[0]->iElement, 1);
    g_SelectionList.Clear();
    g_SelectionList.SetMode(5);

    // A seed box above the top face is nearer than the part: its trace
    // becomes current and no part is picked.
    g_pCutPlaneSet->Enable(false);
    ASSERT_TRUE(NKCreateParticleTraceSet());
    g_pParticleTraceSet->Enable(true);
    TraceSeedBox seed;
    seed.bIsBox = 1;
    const float afLow[3] = {4.0f, 0.0f, 1.1f}, afHigh[3] = {5.5f, 1.0f, 1.3f};
    for (int i = 0; i < 3; i++) seed.fCorner1[i] = afLow[i], seed.fCorner2[i] = afHigh[i];
    g_pParticleTraceSet->SetSeedBox(seed, 0);
    ASSERT_EQ(g_pParticleTraceSet->GetSeedBox(0)->bIsBox, 1);
    ASSERT_TRUE(g_pParticleTraceSet->AddTrace(false));
    EXPECT_EQ(g_pParticleTraceSet->GetCurrent(), 1);
    EXPECT_EQ(Pick(391, 304, &pick), -1);
    EXPECT_EQ(g_pParticleTraceSet->GetCurrent(), 0);
    EXPECT_EQ(Pick(294, 310, &pick), 0);  // beside the box the part is hit

    NKDestroyParticleTraceSet();
    NKFreeCutSurfaces(-1, -1);
    NKDestroySurfaceTools();
}

// A slider beside the beam (display x 0.7): the first pick makes it current,
// the second is a click that sets its value; a part pick in front resets it;
// a listed cutting-plane handle becomes current with its plane.
TEST_F(BeamPicking, HandlesArePickedAndASecondPickClicks)
{
    ManipulatorList list;
    g_pManipulatorList = &list;
    SliderManipulator slider("Iso Surface Slider");
    const float afAt[3] = {0.7f, 0.0f, 0.0f};
    slider.SetPosition(afAt);
    slider.SetValue(20.0f);
    slider.ClearChanged();
    list.Add(&slider);
    EXPECT_EQ(Pick(688, 300, nullptr), -1);
    EXPECT_EQ(list.Get(-1), nullptr);  // disabled: not picked
    slider.SetEnabled(true);
    EXPECT_EQ(Pick(688, 300, nullptr), -1);
    EXPECT_EQ(list.Get(-1), &slider);
    EXPECT_FALSE(slider.IsChanged());
    EXPECT_EQ(Pick(688, 300, nullptr), -1);
    EXPECT_NEAR(slider.GetValue(), 50.0f, 1.0f);
    EXPECT_TRUE(slider.IsChanged());
    EXPECT_EQ(Pick(391, 304, nullptr), 0);  // the beam: no handle current
    EXPECT_EQ(list.Get(-1), nullptr);

    NKInstallToolHooks();
    ASSERT_TRUE(NKCreateSurfaceTools());
    list.Add(&g_pCutPlaneSet->Handle());
    EXPECT_TRUE(list.SetCurrent(&g_pCutPlaneSet->Handle(), 1.0f));
    EXPECT_TRUE(g_pCutPlaneSet->Handle().IsHighlighted());
    EXPECT_FALSE(slider.IsHighlighted());
    NKDestroySurfaceTools();
    EXPECT_EQ(list.GetCount(), 1);  // the set's handle left with it
    g_pManipulatorList = nullptr;
}

TEST_F(BeamPicking, NearestViewPointBecomesTheStereoFocus)
{
    NKInstallPickingHooks();
    for (int i = 0; i < 16; i++) {
        g_adSavedModelView[i] = m_adModelView[i];
        g_afSavedModelView[i] = static_cast<float>(m_adModelView[i]);
        g_adSavedProjection[i] = m_adProj[i];
    }
    for (int i = 0; i < 4; i++) g_aiSavedViewport[i] = m_aiViewport[i];
    NKGraphicsSettings settings;
    g_pGraphicsSettings = &settings;
    ASSERT_TRUE(NKFindNearestViewPoint());
    // The centre's hit is the nearest to the eye.
    EXPECT_NEAR(settings.fVector[0], 0.0f, 0.003f);
    EXPECT_NEAR(settings.fVector[1], 0.0f, 0.003f);
    EXPECT_NEAR(settings.fVector[2], 0.05f, 0.003f);
    // stereoautofocus runs the search at once with quad-buffered stereo.
    NKSetCommandHandler(NK_HANDLER_VIEW, NKCommandHandleView);
    NKViewSettings view{};
    g_pViewSettings = &view;
    settings.fVector[2] = 0.0f;
    EXPECT_EQ(ExecuteCommand("stereoautofocus on"), 0);
    EXPECT_EQ(settings.fVector[2], 0.0f);  // not quad-buffered: nothing searched
    settings.bQuadBufferStereo = 1;
    EXPECT_EQ(ExecuteCommand("stereoautofocus on"), 0);
    NKSetCommandHandler(NK_HANDLER_VIEW, nullptr);
    g_pViewSettings = nullptr;
    EXPECT_NEAR(settings.fVector[2], 0.05f, 0.003f);
    // Without frames nothing is hit and the focus stays.
    const float afBefore[3] = {settings.fVector[0], settings.fVector[1], settings.fVector[2]};
    ASSERT_TRUE(NKSetFrameCount(0, false));
    EXPECT_FALSE(NKFindNearestViewPoint());
    for (int i = 0; i < 3; i++) EXPECT_EQ(settings.fVector[i], afBefore[i]);
}

TEST(MouseRay, SplitStereoMovesAPointIntoTheOtherEyesHalf)
{
    NKGraphicsSettings settings;
    settings.bStereo = 1;
    g_pGraphicsSettings = &settings;
    const double adIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const struct {
        int aiViewport[4];
        int y;
        bool bQuad, bInside;
    } cases[] = {
        {{0, 0, 800, 282}, 599, false, true},    // inside as it is
        {{0, 0, 800, 282}, 100, false, true},    // 499 lowered by 336 to 163
        {{0, 0, 800, 282}, 100, true, false},    // quad-buffered: no move
        {{0, 318, 800, 282}, 500, false, true},  // 99 raised by 336 to 435
        {{0, 318, 800, 282}, 310, false, false}  // 289 raised to 625: still outside
    };
    for (const auto &c : cases) {
        settings.bQuadBufferStereo = c.bQuad ? 1 : 0;
        float o[3], d[3];
        EXPECT_EQ(NKMouseRay(10, c.y, 600, adIdentity, adIdentity, c.aiViewport, o, d), c.bInside)
            << c.y;
    }
    settings.bStereo = 0;
    const int aiLower[4] = {0, 0, 800, 282};
    float o[3], d[3];
    EXPECT_FALSE(NKMouseRay(10, 100, 600, adIdentity, adIdentity, aiLower, o, d));
    g_pGraphicsSettings = nullptr;
}

// Unit squares parallel to z = 0, one a part, at the given depths; each
// polygon lists its nodes from node 2 on; display and model coordinates
// are the same.
NKGeometry *MakeSquares(const std::vector<float> &depths)
{
    NKGeometry *pGeo = NKCreateGeometry(static_cast<int>(depths.size()));
    if (pGeo == nullptr) return nullptr;
    for (size_t p = 0; p < depths.size(); p++) {
        NKPart *pPart = &pGeo->pParts[p];
        const float z = depths[p];
        const float afCoords[12] = {0, 0, z, 1, 0, z, 1, 1, z, 0, 1, z};
        static const int aiConnects[4] = {2, 3, 0, 1};
        pPart->iNumNodes = 4;
        pPart->iNumPolygons = 1;
        pPart->iNumConnects = 4;
        pPart->bVisible = 1;
        pPart->pNodeCoords = static_cast<float *>(NKAlloc(sizeof(afCoords)));
        std::memcpy(pPart->pNodeCoords, afCoords, sizeof(afCoords));
        pPart->pConnects = static_cast<int *>(NKAlloc(sizeof(aiConnects)));
        std::memcpy(pPart->pConnects, aiConnects, sizeof(aiConnects));
        pPart->pPolygonStart = static_cast<int *>(NKCalloc(1, sizeof(int)));
        pPart->pPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int)));
        pPart->pPolygonNumNodes[0] = 4;
        const float afBox[6] = {0, 0, z, 1, 1, z};
        std::memcpy(pPart->fBoundingBox, afBox, sizeof(afBox));
    }
    return pGeo;
}

// One unit square in the plane z = 0.
class SquarePicking : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        g_pModel->fGeoScale = 1.0f;
        SetSquares({0.0f});
    }
    void SetSquares(const std::vector<float> &depths)
    {
        NKGeometry *pGeo = MakeSquares(depths);
        ASSERT_NE(pGeo, nullptr);
        if (g_pModel->iNumFrames == 0) {
            ASSERT_TRUE(NKSetFrameCount(1, false));
        }
        if (g_pModel->pFrames[0].pGeometry != nullptr)
            NKReleaseGeometry(g_pModel->pFrames[0].pGeometry);
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef = 1;
    }
};

// Squares one behind the other along the ray: the nearest is picked,
// whatever its index, and its point lies on it.
TEST_F(SquarePicking, TheFrontPartWinsWhereverItStandsInTheList)
{
    const struct {
        std::vector<float> depths;
        int iFront;
    } cases[] = {
        {{0.0f, -1.0f}, 0},         // the far one at the higher index
        {{-1.0f, 0.0f}, 1},         // the far one first
        {{-2.0f, 0.5f, -1.0f}, 1},  // the front one between two far ones
    };
    const float o[3] = {0.5f, 0.5f, 1.0f}, d[3] = {0.0f, 0.0f, -1.0f};
    for (const auto &c : cases) {
        SetSquares(c.depths);
        NKPickInfo pick;
        EXPECT_EQ(NKPickPartAlongRay(0, o, d, &pick), c.iFront) << c.iFront;
        EXPECT_EQ(pick.iPart, c.iFront);
        EXPECT_FLOAT_EQ(pick.fPoint[2], c.depths[static_cast<size_t>(c.iFront)]);
    }
}

TEST_F(SquarePicking, TheCentreReportsTheFirstNodeAndMissesGiveAnEmptyRecord)
{
    const float o[3] = {0.5f, 0.5f, 1.0f}, d[3] = {0.0f, 0.0f, -1.0f};
    NKPickInfo pick;
    ASSERT_EQ(NKPickPartAlongRay(0, o, d, &pick), 0);
    EXPECT_EQ(pick.iNode, 2);
    EXPECT_EQ(pick.iPolygon, 0);
    EXPECT_EQ(pick.iElement, -1);  // no elements
    EXPECT_FLOAT_EQ(pick.fPoint[2], 0.0f);
    EXPECT_EQ(pick.pszInfo, nullptr);
    // The polygon's text joins the pick while polygon information is on.
    NKPart *pPart = &g_pModel->pFrames[0].pGeometry->pParts[0];
    pPart->pStringList = new NKStringList(1);
    pPart->pStringList->Set(0, "cell 7");
    NKSetPolygonInfoInPick(true);
    ASSERT_EQ(NKPickPartAlongRay(0, o, d, &pick), 0);
    NKSetPolygonInfoInPick(false);
    ASSERT_NE(pick.pszInfo, nullptr);
    EXPECT_STREQ(pick.pszInfo, "cell 7");
    // The box is grown by 0.01: a ray just outside the square still reaches
    // the polygon test, and misses there.
    const float beside[3] = {1.005f, 0.5f, 1.0f};
    EXPECT_EQ(NKPickPartAlongRay(0, beside, d, &pick), -1);
    const float rays[1][6] = {{0.5f, 0.5f, 1.0f, 0.0f, 0.0f, -1.0f}};
    const int groups[1] = {1};
    EXPECT_EQ(NKPickRay(0, rays, groups, 1, &pick, false), 0);
    EXPECT_EQ(NKPickRay(0, rays, groups, 1, &pick, true), -1);
    EXPECT_EQ(pick.iFrame, -1);
    EXPECT_EQ(NKPickRay(3, rays, groups, 1, &pick, false), -1);  // no such frame
    // The eroded polygon is not picked.
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(1, sizeof(uint8_t *)));
    pFrame->ppVisibility[0] = static_cast<uint8_t *>(NKCalloc(1, 1));
    pFrame->ppVisibility[0][0] = 1;
    EXPECT_EQ(NKPickPartAlongRay(0, o, d, &pick), -1);
}

// The surface tools made for the test and freed after it, however it ends.
class LocalPlanePicking : public surface::SurfaceTest {
protected:
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        NKFreeCutSurfaces(-1, -1);
        NKDestroySurfaceTools();
        surface::SurfaceTest::TearDown();
    }
};

// A local cutting plane whose rectangle is four times as wide as it is high
// (half width 2 along its axis y, half height 0.5 along normal x axis, that
// is x), through the centre of a block of 6 x 6 x 6 unit hexahedra at z = 3.
// Rays straight down pick it in cutting-plane mode only within the
// rectangle, whose edges lie inside the block.
TEST_F(LocalPlanePicking, ALocalPlaneIsPickedWithinItsHalfWidthAndItsHalfHeight)
{
    g_pModel->fGeoScale = 1.0f;
    g_pModel->fCenterX = g_pModel->fCenterY = g_pModel->fCenterZ = 0.0f;
    NKGeometry *pGeo = surface::MakeBlock(6, 1.0f);
    NKFrame *pFrame =
        Frames(1, pGeo, surface::MakeScalar(pGeo, [](float x, float, float) { return x; }));
    ASSERT_TRUE(NKCreateSurfaceTools());
    g_pCutPlaneSet->Enable(true);
    const float afPoint[3] = {3, 3, 3}, afNormal[3] = {0, 0, 1}, afAxis[3] = {0, 1, 0};
    ASSERT_TRUE(g_pCutPlaneSet->SetPlanePoint(afPoint, 0));
    ASSERT_TRUE(g_pCutPlaneSet->SetPlaneNormal(afNormal, 0));
    ASSERT_TRUE(g_pCutPlaneSet->SetPlaneAxis(afAxis, 0));
    ASSERT_TRUE(g_pCutPlaneSet->SetFlag(NK_CUTPLANE_LOCAL, true, 0, false));
    // The plane takes its half sizes from its handle.
    g_pCutPlaneSet->Handle().SetSize(2.0f, 0.5f);
    g_pCutPlaneSet->Handle().SetChanged();
    ASSERT_TRUE(g_pCutPlaneSet->FollowHandle());
    ASSERT_EQ(g_pCutPlaneSet->GetPlane(0)->fWidth, 2.0f);
    ASSERT_EQ(g_pCutPlaneSet->GetPlane(0)->fHeight, 0.5f);
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, g_pCutPlaneSet));
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(7);
    const struct {
        float fAlongHeight, fAlongWidth;  // off the centre
        bool bHit;
    } cases[] = {
        {0, 0, true},         {0.4f, 0, true},    {-0.4f, 0, true},    {0.6f, 0, false},
        {-0.6f, 0, false},    {0, 1.9f, true},    {0, -1.9f, true},    {0, 2.1f, false},
        {0, -2.1f, false},    {0.4f, 1.9f, true}, {0.6f, 1.9f, false}, {0.4f, -2.1f, false},
        {-0.4f, -1.9f, true},
    };
    const int aiGroups[1] = {1};
    for (const auto &c : cases) {
        const float afRays[1][6] = {
            {afPoint[0] + c.fAlongHeight, afPoint[1] + c.fAlongWidth, 10.0f, 0.0f, 0.0f, -1.0f}};
        NKPickInfo pick;
        EXPECT_EQ(NKPickRay(0, afRays, aiGroups, 1, &pick, false), -1);
        EXPECT_EQ(g_SelectionList.iCount, c.bHit ? 1 : 0)
            << c.fAlongHeight << " along the height, " << c.fAlongWidth << " along the width";
    }
}

}  // namespace
