// tests/tools/test_gl_cut_surfaces.cpp -- the cut-surface and iso-surface
// passes inside NKDrawScene, in an off-screen context of 810 x 600 with the
// commands given through ExecuteCommand: section colours, hide-with-part,
// the active plane's outline, the clip planes of the cutting planes (also
// with a local plane among planes that clip each other), a local plane's
// rectangle as its clip planes, its vector samples and its pick see it,
// unlit shell sections, plane vectors, iso-surfaces, and the GL state every
// draw leaves.
// The view looks down -z at the model; pixels are found through the window
// box of what a draw left over the background.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_ray.h"
#include "core/nk_render_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "render/nk_camera.h"
#include "render/nk_legend.h"
#include "render/nk_lights.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_scene_view.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_feedback.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_picking.h"
#include "tools/nk_surface_draw.h"

namespace {

struct Pixel {
    int r, g, b;
};
bool Near(const Pixel &p, int r, int g, int b, int iTol = 1)
{
    return std::abs(p.r - r) <= iTol && std::abs(p.g - g) <= iTol && std::abs(p.b - b) <= iTol;
}

const int kBackground[3] = {0, 0, 80};

class CutDrawGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedHooks = NKGetModelHooks();
        NKInstallToolHooks();
        ASSERT_TRUE(NKCreateSurfaceTools());
        NKRegisterCutPlaneCommands();
        NKRegisterPartDisplayCommands();
        m_pContext = NKCreateOffscreenGLContext(810, 600);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 810, 600);
        NKViewWindowSize = {810, 600};
        g_pGraphicsSettings->bSingleBuffer = 1;
        g_pGraphicsSettings->bCull = 0;
        g_pGraphicsSettings->bFringeShade = 0;
        g_pGraphicsSettings->bTextureFringes = 0;
        // The default view sees z in [-1, 1]; the unit cube moves back by
        // half a unit so that its top face at z = 1 is inside.
        g_ViewMatrix[14] = -0.5f;
        // Only the model: no legend, title block or step text.
        g_pViewSettings->bShowLegend = 0;
        g_pViewSettings->bShowInfo = 0;
        g_pViewSettings->bShowStep = 0;
        g_pViewSettings->bShowUserText = 0;
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = (uint8_t)kBackground[k];
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        g_ViewMatrix[14] = 0.0f;
        NKDeleteAllDisplayLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = 0;
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, nullptr);
        NKDestroyModel(g_pModel);
        g_pModel = NKCreateModel();
        NKDestroySurfaceTools();
        NKSetModelHooks(m_SavedHooks);
        NKRenderModelTest::TearDown();
    }
    // One frame of the geometry and the scalar field, fringe range 0..1.
    NKGeometry *Model(NKGeometry *pGeo, const surface::Field &field)
    {
        NKScalarResult *pScalar = surface::MakeScalar(pGeo, field);
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        g_pModel->iAnimationToFrame = 0;
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef++;
        g_pModel->pFrames[0].pScalar = pScalar;
        pScalar->iNumRef++;
        g_pModel->fFringeRangeFrom = 0.0f;
        g_pModel->fFringeRangeTo = 1.0f;
        g_pModel->fGeoScale = 1.0f;  // display coordinates are model coordinates
        for (int k = 0; k < 3; k++) {
            pGeo->fBoundingBox[k] = 1e30f;
            pGeo->fBoundingBox[k + 3] = -1e30f;
        }
        for (int i = 0; i < pGeo->iNumParts; i++) {
            NKPart &part = pGeo->pParts[i];
            // The boxes the view, the culling and the vector grid read.
            for (int k = 0; k < 3; k++) {
                part.fBoundingBox[k] = 1e30f;
                part.fBoundingBox[k + 3] = -1e30f;
            }
            for (int n = 0; n < part.iNumNodes; n++)
                for (int k = 0; k < 3; k++) {
                    const float v = part.pNodeCoords[3 * n + k];
                    part.fBoundingBox[k] = std::min(part.fBoundingBox[k], v);
                    part.fBoundingBox[k + 3] = std::max(part.fBoundingBox[k + 3], v);
                    pGeo->fBoundingBox[k] = std::min(pGeo->fBoundingBox[k], v);
                    pGeo->fBoundingBox[k + 3] = std::max(pGeo->fBoundingBox[k + 3], v);
                }
            NKFree(part.pNodeType);
            part.pNodeType = static_cast<uint8_t *>(NKAlloc((size_t)part.iNumNodes));
            std::memset(part.pNodeType, 1, (size_t)part.iNumNodes);
            for (int k = 0; k < 3; k++) part.material.ambient[k] = 0.6f;
            part.material.alpha = 255;
        }
        return pGeo;
    }
    // The unit cube of 4 x 4 x 4 hexahedra with the scalar z; its top face
    // (z = 1) is the one polygon the part draws; hidden unless bShown.
    NKGeometry *Block(bool bShown)
    {
        NKGeometry *pGeo = surface::MakeBlock(4, 0.25f);
        NKPart &part = pGeo->pParts[0];
        const int n = 5, top = 4 * n * n;
        fixtures::SetPolygons(part, {{top, top + n - 1, top + n * n - 1, top + n * (n - 1)}});
        part.pPolygonNormals = static_cast<int8_t *>(NKAlloc(3));
        part.pPolygonNormals[0] = part.pPolygonNormals[1] = 0;
        part.pPolygonNormals[2] = 127;
        part.bVisible = bShown ? 1 : 0;
        return Model(pGeo, [](float, float, float z) { return z; });
    }
    void Run(const std::vector<std::string> &lines)
    {
        for (const std::string &s : lines) EXPECT_EQ(ExecuteCommand(s.c_str()), 0) << s;
    }
    // Draws and checks the state the draw leaves: stacks, no clip plane,
    // line width, point size and culling as before, no GL error.
    void Draw()
    {
        GLint iModelView = 0, iAttrib = 0, iAfterModelView = 0, iAfterAttrib = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iModelView);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAttrib);
        ASSERT_TRUE(NKDrawScene(-1, 1, 1));
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &iAfterModelView);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &iAfterAttrib);
        EXPECT_EQ(iAfterModelView, iModelView);
        EXPECT_EQ(iAfterAttrib, iAttrib);
        EXPECT_EQ(EnabledClipPlanes(), 0);
        GLfloat fWidth = 0.0f, fSize = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &fWidth);
        glGetFloatv(GL_POINT_SIZE, &fSize);
        EXPECT_EQ(fWidth, (float)g_pGraphicsSettings->iLineWidth);
        EXPECT_EQ(fSize, (float)g_pGraphicsSettings->iPointSize);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    static int EnabledClipPlanes(void)
    {
        GLint iMax = 6;
        glGetIntegerv(GL_MAX_CLIP_PLANES, &iMax);
        int c = 0;
        for (int k = 0; k < iMax; k++) c += glIsEnabled(GL_CLIP_PLANE0 + k) == GL_TRUE;
        return c;
    }
    // The window box of the pixels that are not the background.
    struct Box {
        int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
        int Cx() const { return (x0 + x1) / 2; }
        int Cy() const { return (y0 + y1) / 2; }
    };
    static Box Drawn(void)
    {
        return Drawn([](const Pixel &p) { return !IsBackground(p); });
    }
    static Box Drawn(const std::function<bool(const Pixel &)> &fn)
    {
        std::vector<unsigned char> a(810 * 600 * 4);
        glReadPixels(0, 0, 810, 600, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
        Box b;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 810; x++) {
                const unsigned char *q = &a[4 * (y * 810 + x)];
                if (!fn({q[0], q[1], q[2]})) continue;
                b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
                b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
            }
        return b;
    }
    static Pixel Read(int x, int y)
    {
        unsigned char a[4] = {0, 0, 0, 0};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
        return {a[0], a[1], a[2]};
    }
    static bool AnyNearWindow(int wx, int wy, int r, int g, int b)
    {
        unsigned char a[9 * 4] = {};
        glReadPixels(wx - 1, wy - 1, 3, 3, GL_RGBA, GL_UNSIGNED_BYTE, a);
        for (int i = 0; i < 9; i++)
            if (Near({a[4 * i], a[4 * i + 1], a[4 * i + 2]}, r, g, b)) return true;
        return false;
    }
    static int CountWhite(void)
    {
        std::vector<unsigned char> a(810 * 600 * 4);
        glReadPixels(0, 0, 810, 600, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
        int c = 0;
        for (size_t i = 0; i < a.size(); i += 4)
            c += Near({a[i], a[i + 1], a[i + 2]}, 255, 255, 255);
        return c;
    }
    static bool IsSection(const Pixel &p) { return Near(p, 0, 255, 127); }
    static bool IsBackground(const Pixel &p)
    {
        return Near(p, kBackground[0], kBackground[1], kBackground[2]);
    }
    NKModelHooks m_SavedHooks;
    NKGLContext *m_pContext = nullptr;
};

}  // namespace

TEST_F(CutDrawGL, SectionOfAHiddenBlockFollowsHideWithPartAndItsOutlineToo)
{
    Block(false);
    Run({"cutplane 0.5 0.5 0.375 0 0 1"});
    struct Case {
        const char *pszCommand;
        bool bSection;  // the centre shows the section colour
        bool bOutline;  // the edge x = 0 at mid-height is white
    };
    const Case cases[] = {
        {nullptr, true, true},
        {"cutplanehidewithpart", false, false},  // no outline around nothing
        {"nocutplanehidewithpart", true, true},
        {"nocutplanehighlight", true, false},
        {"cutplanehighlight", true, true},
        {"localcutplane", true, false},
    };
    // The view looks down -z: the section's window box, its left side x = 0.
    Draw();
    const Box section = Drawn(IsSection);
    ASSERT_GT(section.x1 - section.x0, 20);
    for (const Case &c : cases) {
        if (c.pszCommand != nullptr) Run({c.pszCommand});
        Draw();
        const std::string what = c.pszCommand != nullptr ? c.pszCommand : "cutplane";
        const Pixel centre = Read(section.Cx(), section.Cy());
        if (c.bSection)
            EXPECT_TRUE(Near(centre, 0, 255, 127))
                << what << ": " << centre.r << " " << centre.g << " " << centre.b;
        else
            EXPECT_TRUE(IsBackground(centre)) << what;
        EXPECT_EQ(AnyNearWindow(section.x0, section.Cy(), 255, 255, 255), c.bOutline) << what;
    }
}

// The value filter judges the section's polygons by their own values (z
// 0.375 everywhere on this plane), not by the part's polygons that happen
// to share their numbers.
TEST_F(CutDrawGL, ValueFilterJudgesTheSectionByItsOwnValues)
{
    Block(false);
    Run({"cutplane 0.5 0.5 0.375 0 0 1", "nocutplanehighlight"});
    Draw();
    const Box section = Drawn(IsSection);
    ASSERT_GT(section.x1 - section.x0, 20);
    const struct {
        float fMin, fMax;
        bool bShown;
    } cases[] = {{0.3f, 0.4f, true}, {0.0f, 0.3f, false}, {0.4f, 1.0f, false}};
    for (const auto &c : cases) {
        g_ValueFilterSettings.bValueFilter = 1;
        g_ValueFilterSettings.fFilterMin = c.fMin;
        g_ValueFilterSettings.fFilterMax = c.fMax;
        Draw();
        EXPECT_EQ(Near(Read(section.Cx(), section.Cy()), 0, 255, 127), c.bShown) << c.fMin;
    }
    g_ValueFilterSettings = NKValueFilterSettings();
}

TEST_F(CutDrawGL, ClipPlaneCutsTheBlockAlsoPastALocalPlane)
{
    // Part 1 (the block's hexahedra, hidden) gives the section; part 2, a
    // square at z = 0, stands for the block's face nearest the eye (the
    // default view's depth grows with z).
    NKGeometry *pGeo = NKCreateGeometry(2);
    std::vector<float> c = fixtures::GridNodes(4, 4, 4);
    for (float &v : c) v *= 0.25f;
    fixtures::SetNodes(pGeo->pParts[0], c);
    auto hexa = fixtures::GridHexahedra(4, 4, 4);
    fixtures::SetElements(pGeo->pParts[0], std::vector<int>(hexa.size(), NK_ELEM_HEXAHEDRON), hexa);
    static const float afAmbient[3] = {0.4f, 0.2f, 0.0f};
    NKTestMakeSquarePart(&pGeo->pParts[1], 0.5f, 0.0f, afAmbient);
    for (int n = 0; n < 4; n++)
        for (int k = 0; k < 2; k++) pGeo->pParts[1].pNodeCoords[3 * n + k] += 0.5f;
    Model(pGeo, [](float, float, float z) { return z; });
    pGeo->pParts[1].bVisible = 1;
    Draw();
    const Box face = Drawn();
    ASSERT_GT(face.x1 - face.x0, 20);
    const Pixel top = Read(face.Cx(), face.Cy());
    ASSERT_FALSE(IsBackground(top));
    ASSERT_FALSE(IsSection(top));
    Run({"cutplane 0.5 0.5 0.375 0 0 1"});
    struct Case {
        std::vector<std::string> commands;
        bool bSection;  // else the square's colour
    };
    const Case cases[] = {
        {{"cutplaneclip"}, true},
        {{"nocutplaneclip"}, false},
        {{"cutplaneclip", "cutplaneclipcutplane", "addcutplane", "nocutplaneclip",
          "cutplane 0.5 0.5 0.375 1 0 0", "localcutplane"},
         true},
    };
    for (const Case &c : cases) {
        Run(c.commands);
        Draw();
        const Pixel centre = Read(face.Cx(), face.Cy());
        if (c.bSection)
            EXPECT_TRUE(Near(centre, 0, 255, 127))
                << c.commands[0] << ": " << centre.r << " " << centre.g << " " << centre.b;
        else
            EXPECT_TRUE(Near(centre, top.r, top.g, top.b))
                << c.commands[0] << ": " << centre.r << " " << centre.g << " " << centre.b
                << " top " << top.r << " " << top.g << " " << top.b;
    }
}

TEST_F(CutDrawGL, ApplyClipPlanesNumbersTheClippingPlanes)
{
    Block(false);
    CutPlaneSet &set = *g_pCutPlaneSet;
    for (int i = 1; i < NK_MAX_CUT_PLANES; i++) ASSERT_TRUE(set.AddPlane(false));
    // Planes 0, 2, 3, 5, 6, 8 and 9 clip: seven, of which six get numbers.
    for (int i : {0, 2, 3, 5, 6, 8, 9}) set.SetFlag(NK_CUTPLANE_CLIP, true, i, false);
    struct Case {
        bool bEnabled, bEnable;
        int iIndex;
        std::vector<int> on;  // clip plane numbers switched on
    };
    const Case cases[] = {
        {true, true, -1, {0, 1, 2, 3, 4, 5}},
        {true, true, 3, {2}},
        {true, true, 1, {}},  // no clip flag: no number
        {true, true, 9, {}},  // the seventh: none left
        {true, false, -1, {}},
        {false, true, -1, {}},
    };
    for (const Case &c : cases) {
        for (int k = 0; k < 6; k++) glDisable(GL_CLIP_PLANE0 + k);
        set.Enable(c.bEnabled);
        set.ApplyClipPlanes(c.bEnable, c.iIndex);
        std::vector<int> on;
        GLint iMax = 6;
        glGetIntegerv(GL_MAX_CLIP_PLANES, &iMax);
        for (int k = 0; k < iMax; k++)
            if (glIsEnabled(GL_CLIP_PLANE0 + k)) on.push_back(k);
        EXPECT_EQ(on, c.on) << c.bEnabled << c.bEnable << c.iIndex;
    }
    // Switching off after on leaves none; a plane keeps the side its normal
    // points into: (n, -n . p).
    set.Enable(true);
    const float afPoint[3] = {0.0f, 0.0f, 0.5f}, afNormal[3] = {0.0f, 0.0f, -1.0f};
    set.SetPlanePoint(afPoint, 0);
    set.SetPlaneNormal(afNormal, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    set.ApplyClipPlanes(true, 0);
    GLdouble eq[4] = {0, 0, 0, 0};
    glGetClipPlane(GL_CLIP_PLANE0, eq);
    float afDisplay[3];
    set.GetPlanePoint(0, afDisplay);
    EXPECT_NEAR(eq[2], -1.0, 1e-6);
    EXPECT_NEAR(eq[3], g_pCutPlaneSet->GetPlane(0)->fPoint[2], 1e-6);
    set.ApplyClipPlanes(false, -1);
    EXPECT_EQ(EnabledClipPlanes(), 0);
}

TEST_F(CutDrawGL, SectionOfAShellIsAnUnlitLine)
{
    NKGeometry *pGeo = NKCreateGeometry(1);
    NKPart &part = pGeo->pParts[0];
    std::vector<float> c;
    for (int j = 0; j <= 4; j++)
        for (int i = 0; i <= 4; i++) c.insert(c.end(), {0.25f * (float)i, 0.25f * (float)j, 0.0f});
    fixtures::SetNodes(part, c);
    std::vector<std::vector<int>> quads;
    for (int j = 0; j < 4; j++)
        for (int i = 0; i < 4; i++) {
            const int n = 5 * j + i;
            quads.push_back({n, n + 1, n + 6, n + 5});
        }
    fixtures::SetElements(part, std::vector<int>(quads.size(), NK_ELEM_QUAD), quads);
    Model(pGeo, [](float, float, float) { return 0.5f; });
    g_pGraphicsSettings->bFringeShade = 1;
    Run({"cutplane 0.375 0.5 0 1 0 0"});
    Draw();
    const Box line = Drawn([](const Pixel &p) { return Near(p, 0, 255, 0); });
    ASSERT_GE(line.x1, 0);
    EXPECT_TRUE(AnyNearWindow(line.Cx(), line.Cy(), 0, 255, 0));
}

TEST_F(CutDrawGL, PlaneVectorsAreWhiteUnscaledLinesWithHeads)
{
    NKGeometry *pGeo = Block(false);
    NKVectorResult *pVectors = NKCreateVectorResult();
    pVectors->iNumParts = 1;
    pVectors->pResults = static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
    const int iNodes = pGeo->pParts[0].iNumNodes;
    pVectors->pResults[0].iNumNodes = iNodes;
    pVectors->pResults[0].pNodeValues =
        static_cast<float *>(NKCalloc((size_t)iNodes * 3, sizeof(float)));
    // A vector entry holds the displaced positions: every node moved by
    // (0.1, 0, 0).
    const float *pfCoords = pGeo->pParts[0].pNodeCoords;
    for (int n = 0; n < 3 * iNodes; n++)
        pVectors->pResults[0].pNodeValues[n] = pfCoords[n] + (n % 3 == 0 ? 0.1f : 0.0f);
    g_pModel->pFrames[0].pVector = pVectors;
    pVectors->iNumRef++;
    Run({"cutplane 0.5 0.5 0.375 0 0 1", "nocutplanehighlight", "cutplanevectors 5 5"});
    // The section lies at the vectors' depth; without it they show.
    g_pCutPlaneSet->SetFlag(NK_CUTPLANE_SHOW_SURFACE, false, -1, false);
    Draw();
    const CutSurface *pCut = g_pModel->pFrames[0].pCutSurfaces[0];
    ASSERT_NE(pCut, nullptr);
    const VectorGrid &g = pCut->vectorGrid;
    ASSERT_GT(g.iCountI * g.iCountJ, 0);
    int iFound = 0;
    for (int k = 0; k < g.iCountI * g.iCountJ; k++) {
        if (!g.pFound[k]) continue;
        iFound++;
        EXPECT_NEAR(g.pfVectors[3 * k], 0.1f, 1e-5f) << k;
        EXPECT_NEAR(g.pfVectors[3 * k + 1], 0.0f, 1e-5f) << k;
        EXPECT_NEAR(g.pfVectors[3 * k + 2], 0.0f, 1e-5f) << k;
    }
    EXPECT_GT(iFound, 0);
    const Box lines = Drawn();
    ASSERT_GE(lines.x1, 0);
    const int iWithHeads = CountWhite();
    EXPECT_GT(iWithHeads, 0);
    g_VectorSettings.bArrows = 0;
    Draw();
    const int iWithoutHeads = CountWhite();
    EXPECT_GT(iWithoutHeads, 0);
    EXPECT_GT(iWithHeads, iWithoutHeads);
    g_VectorSettings.bArrows = 1;
    Run({"nocutplanevectors"});
    Draw();
    EXPECT_EQ(CountWhite(), 0);
}

namespace {

// The one vector sample of a plane's surface, at p, found.
void PlaceOneSample(VectorGrid *pGrid, const float *p)
{
    NKFreeEdgeArrays(pGrid, true);
    pGrid->iCountI = pGrid->iCountJ = 1;
    pGrid->pfPositions = static_cast<float *>(NKCalloc(3, sizeof(float)));
    pGrid->pfVectors = static_cast<float *>(NKCalloc(3, sizeof(float)));
    pGrid->pFound = static_cast<uint8_t *>(NKCalloc(1, 1));
    for (int k = 0; k < 3; k++) pGrid->pfPositions[k] = p[k];
    pGrid->pFound[0] = 1;
}

// Whether the window point (x, y) lies in one of the polygons.
bool InAPolygon(const std::vector<NKFeedbackPrimitive> &prims, float x, float y)
{
    const float afUp[3] = {0.0f, 0.0f, 1.0f}, afPoint[3] = {x, y, 0.0f};
    for (const NKFeedbackPrimitive &prim : prims) {
        if (prim.iToken != GL_POLYGON_TOKEN) continue;
        std::vector<float> corners;
        for (const NKFeedbackVertex &v : prim.v) corners.insert(corners.end(), {v.x, v.y, 0.0f});
        if (NKPointInPolygon(afUp, corners.data(), (int)prim.v.size(), afPoint)) return true;
    }
    return false;
}

}  // namespace

// A local plane through the hidden block whose in-plane axis is the
// diagonal (1, 1, 0), with the half width 0.3 along it and the half height
// 0.1 along normal x axis. For points of the plane inside that rectangle,
// outside it and near each edge, the clip planes keep the section there, a
// vector sample there is drawn and a ray through it picks the plane: all
// three, or none. The view is a plain projection along -z of one display
// unit around the plane's point onto the 810 x 600 window.
TEST_F(CutDrawGL, ALocalPlaneClipsDrawsSamplesAndPicksWithinOneRectangle)
{
    Block(false);
    Run({"cutplane 0.45 0.55 0.375 0 0 1", "nocutplanehighlight", "localcutplane"});
    CutPlaneSet &set = *g_pCutPlaneSet;
    const float afDiagonal[3] = {1.0f, 1.0f, 0.0f};
    ASSERT_TRUE(set.SetPlaneAxis(afDiagonal, -1));
    set.Handle().SetSize(0.3f, 0.1f);
    set.Handle().SetChanged();
    ASSERT_TRUE(set.FollowHandle());
    set.SetFlag(NK_CUTPLANE_VECTOR_POINTS, true, -1, false);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, &set));
    ASSERT_NE(pFrame->pCutSurfaces[0], nullptr);
    const float *c = set.GetPlane(-1)->fPoint;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(c[0] - 0.5, c[0] + 0.5, c[1] - 0.5, c[1] + 0.5, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    g_SelectionList.SetEnabled(true);
    g_SelectionList.SetMode(7);
    const float r = std::sqrt(0.5f), afWidth[2] = {r, r}, afHeight[2] = {-r, r};
    const struct {
        float fAlongWidth, fAlongHeight;
        bool bWithin;
    } cases[] = {
        {0.0f, 0.0f, true},    {0.14f, 0.04f, true},   {0.28f, 0.0f, true},  {-0.28f, 0.0f, true},
        {0.32f, 0.0f, false},  {-0.32f, 0.0f, false},  {0.0f, 0.08f, true},  {0.0f, -0.08f, true},
        {0.0f, 0.12f, false},  {0.0f, -0.12f, false},  {0.28f, 0.08f, true}, {-0.28f, -0.08f, true},
        {0.32f, 0.08f, false}, {0.28f, -0.12f, false}, {0.1f, 0.3f, false},
    };
    for (const auto &t : cases) {
        float p[3] = {c[0], c[1], c[2]};
        for (int k = 0; k < 2; k++)
            p[k] += t.fAlongWidth * afWidth[k] + t.fAlongHeight * afHeight[k];
        PlaceOneSample(&pFrame->pCutSurfaces[0]->vectorGrid, p);
        const auto prims =
            NKCaptureFeedback([&] { NKDrawCutSurfaces(pFrame, &set, nullptr, &g_VectorSettings); });
        const float x = (p[0] - c[0] + 0.5f) * 810.0f, y = (p[1] - c[1] + 0.5f) * 600.0f;
        int iSamples = 0;
        for (const NKFeedbackPrimitive &prim : prims) {
            if (prim.iToken != GL_POINT_TOKEN) continue;
            iSamples++;
            EXPECT_NEAR(prim.v[0].x, x, 0.5f);
            EXPECT_NEAR(prim.v[0].y, y, 0.5f);
        }
        const float afRays[1][6] = {{p[0], p[1], p[2] + 5.0f, 0.0f, 0.0f, -1.0f}};
        const int aiGroups[1] = {1};
        EXPECT_EQ(NKPickRay(0, afRays, aiGroups, 1, nullptr, false), -1);
        const std::string what = std::to_string(t.fAlongWidth) + " along the width, " +
                                 std::to_string(t.fAlongHeight) + " along the height";
        EXPECT_EQ(InAPolygon(prims, x, y), t.bWithin) << "kept: " << what;
        EXPECT_EQ(iSamples, t.bWithin ? 1 : 0) << "drawn: " << what;
        EXPECT_EQ(g_SelectionList.iCount, t.bWithin ? 1 : 0) << "picked: " << what;
    }
}

TEST_F(CutDrawGL, IsoSurfaceFollowsHideWithPart)
{
    NKGeometry *pGeo = surface::MakeBlock(3, 1.0f / 3.0f);
    Model(pGeo, [](float x, float y, float z) { return x + y + z; });
    Run({"isosurface 1.5"});
    struct Case {
        const char *pszCommand;
        bool bDrawn;
    };
    const Case cases[] = {
        {nullptr, false},  // hide-with-part starts on
        {"noisosurfacehidewithpart", true},
        {"isosurfacehidewithpart", false},
        {"noisosurfacehidewithpart", true},
    };
    for (const Case &c : cases) {
        if (c.pszCommand != nullptr) Run({c.pszCommand});
        Draw();
        const Box b = Drawn();
        EXPECT_EQ(b.x1 >= 0 && !IsBackground(Read(b.Cx(), b.Cy())), c.bDrawn)
            << (c.pszCommand != nullptr ? c.pszCommand : "isosurface");
    }
}

// A packed normal byte of -128 reaches GL as -1, as floats and as bytes.
TEST_F(CutDrawGL, PackedIsoNormalsUnpackToUnitLength)
{
    NKGeometry *pGeo = surface::MakeBlock(1, 1.0f);
    Model(pGeo, [](float x, float, float) { return x; });
    pGeo->pParts[0].bVisible = 1;
    g_pModel->pFrames[0].pIsoSurfaces = new IsoSurfacePart[1];
    g_pModel->pFrames[0].iNumIsoSurfaces = 1;
    IsoSurfacePart &r = g_pModel->pFrames[0].pIsoSurfaces[0];
    r.bHasSurface = 1;
    const float afCoords[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    r.mesh.iNumNodes = 3;
    r.mesh.pfCoords = static_cast<float *>(NKAlloc(sizeof afCoords));
    std::memcpy(r.mesh.pfCoords, afCoords, sizeof afCoords);
    r.mesh.iNumPolygons = 1;
    r.mesh.iConnectLength = 3;
    r.mesh.piConnects = static_cast<int *>(NKAlloc(3 * sizeof(int)));
    for (int k = 0; k < 3; k++) r.mesh.piConnects[k] = k;
    r.mesh.piPolygonNumNodes = static_cast<int *>(NKAlloc(sizeof(int)));
    r.mesh.piPolygonNumNodes[0] = 3;
    r.pPolygonNormals = static_cast<int8_t *>(NKAlloc(3));
    r.pPolygonNormals[0] = -128;
    r.pPolygonNormals[1] = 0;
    r.pPolygonNormals[2] = 127;
    for (uint8_t bBytes : {0, 1}) {
        g_pGraphicsSettings->bDisplayFlag = bBytes;
        glNormal3f(0.0f, 0.0f, 0.0f);
        NKDrawIsoSurfaces(&g_pModel->pFrames[0], nullptr);
        GLfloat n[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_NORMAL, n);
        EXPECT_FLOAT_EQ(n[0], -1.0f) << (int)bBytes;
        EXPECT_NEAR(n[2], 1.0f, 1e-6f) << (int)bBytes;
    }
}

namespace {

// The legend's primitives as comparable text: token, window position and
// colour of every vertex.
std::string LegendPrimitives(void)
{
    std::string text;
    const auto prims = NKCaptureFeedback([] { NKDrawColorLegend(&g_pModel->pFrames[0]); });
    for (const NKFeedbackPrimitive &p : prims) {
        text += std::to_string(p.iToken) + ":";
        for (const NKFeedbackVertex &v : p.v)
            text += " " + std::to_string(std::lround(v.x)) + "," +
                    std::to_string(std::lround(v.y)) + "," + std::to_string(v.r) + "," +
                    std::to_string(v.g) + "," + std::to_string(v.b);
        text += "\n";
    }
    return text;
}

// The iso-surface's level shows as a band on the legend while the surface
// is on; switched off, the legend is the one drawn before any iso-surface.
TEST_F(CutDrawGL, LegendAfterTheIsoSurfaceIsSwitchedOffIsTheLegendBefore)
{
    Block(false);
    g_pViewSettings->bShowLegendLabels = 1;
    const std::string before = LegendPrimitives();
    ASSERT_FALSE(before.empty());
    Run({"isosurface 0.5"});
    const std::string with = LegendPrimitives();
    EXPECT_NE(with, before);
    Run({"noisosurface"});
    EXPECT_EQ(LegendPrimitives(), before);
    // On and off again at another level, and off twice: still the same.
    Run({"isosurface 0.25", "noisosurface", "noisosurface"});
    EXPECT_EQ(LegendPrimitives(), before);
}

}  // namespace
