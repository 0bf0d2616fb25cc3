// tests/render/test_gl_scene.cpp -- NKDrawScene, part drawing, the view
// set-up and the light and material lists in an off-screen context of
// 810 x 600: pixels read back, and the modelview and attribute stack depths
// compared around every draw.
#include <GL/gl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command_log.h"
#include "core/nk_load_hooks.h"
#include "core/nk_part_lists.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "render/nk_camera.h"
#include "render/nk_legend.h"
#include "render/nk_lights.h"
#include "render/nk_part_drawing.h"
#include "render/nk_primitives.h"
#include "render/nk_ride.h"
#include "render/nk_text.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "scene/nk_scene_frame.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_pixel_probe.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"

namespace {

struct Depths {
    GLint iModelView = 0, iAttrib = 0;
    bool operator==(const Depths &o) const
    {
        return iModelView == o.iModelView && iAttrib == o.iAttrib;
    }
};
Depths StackDepths(void)
{
    Depths d;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d.iModelView);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &d.iAttrib);
    return d;
}

}  // namespace

class SceneGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pContext = NKCreateOffscreenGLContext(810, 600);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, 810, 600);
        NKViewWindowSize = {810, 600};
        g_pGraphicsSettings->bSingleBuffer = 1;
        g_pGraphicsSettings->bCull = 0;
        const uint8_t auBlue[3] = {0, 0, 80};
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = auBlue[k];
    }
    void TearDown() override
    {
        NKDeleteAllDisplayLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        for (int k = 0; k < 3; k++) g_pBackgroundSettings->ucColors[0][k] = 0;
        NKRenderModelTest::TearDown();
    }
    // Draws and checks that the stacks are as they were.
    bool Draw(int iFrame, int bUninterruptible)
    {
        const Depths before = StackDepths();
        bool bOk = NKDrawScene(iFrame, bUninterruptible, 1);
        EXPECT_TRUE(StackDepths() == before) << "frame " << iFrame;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return bOk;
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(SceneGL, QuadOverBackgroundAndRefusedDrawsLeaveStacks)
{
    MakeModel(5, 1);
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(2, 2), 0, 0, 80));
    EXPECT_FALSE(Is(ReadPixel(405, 300), 0, 0, 80));  // the lit quad
    NKSetInputPending(true);
    EXPECT_FALSE(Draw(-1, 0));
    NKSetInputPending(false);
    EXPECT_FALSE(Draw(1, 1));
    EXPECT_STREQ(NKGetLastDiagnostic(), "pDrawOrder pointer is NULL");
    EXPECT_FALSE(Draw(5, 1));
    EXPECT_STREQ(NKGetLastDiagnostic(), "Illegal frame number passed as parameter");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKDrawScene");
}

// The performance read-out, made once the draw is timed, still reaches the
// image (its band at the upper left), and nothing is left queued.
TEST_F(SceneGL, PerformanceReadOutIsDrawnOverTheFinishedImage)
{
    MakeModel(1, 1);
    NKBuildBitmapFontLists();
    auto TextPixels = [] {
        int n = 0;
        for (int y = 552; y < 575; y++)
            for (int x = 0; x < 300; x++) n += !PixelNear(ReadPixel(x, y), 0, 0, 80);
        return n;
    };
    g_pViewSettings->bShowPerformance = 0;
    EXPECT_TRUE(Draw(-1, 1));
    const int iWithout = TextPixels();
    g_pViewSettings->bShowPerformance = 1;
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_GT(TextPixels(), iWithout + 50);
    EXPECT_EQ(g_pTextListHead, nullptr);
    NKDeleteBitmapFontLists();
}

TEST_F(SceneGL, AbandonedDrawTakesBackOnlyItsOwnStep)
{
    NKGeometry *pGeo = MakeModel(5, 5);
    (void)pGeo;
    g_pModel->animationType = 1;
    g_pModel->iCurrentFrame = 2;
    g_pModel->iPreviousFrame = 1;
    NKSetTestClock(true, 100);
    NKSetInputPending(true);
    EXPECT_FALSE(Draw(-1, 0));  // stepped 2 -> 3, abandoned
    EXPECT_EQ(g_pModel->iCurrentFrame, 2);
    EXPECT_EQ(g_pModel->iPreviousFrame, 1);
    NKSetInputPending(false);
    NKSetTestClock(true, 110);
    EXPECT_TRUE(Draw(-1, 0));
    EXPECT_EQ(g_pModel->iCurrentFrame, 3);
    NKSetInputPending(true);
    NKSetTestClock(true, 120);  // no step due
    EXPECT_FALSE(Draw(-1, 0));
    EXPECT_EQ(g_pModel->iCurrentFrame, 3);
}

TEST_F(SceneGL, DisplayOffLeavesPixelsAndCulledPartDrawsNothing)
{
    MakeModel(1, 1);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    g_pViewSettings->bUpdateScene = 0;
    EXPECT_FALSE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(405, 300), 0, 255, 0));
    g_pViewSettings->bUpdateScene = 1;
    g_pViewSettings->bFrustumCull = 0;  // the part stays marked as culled
    g_pModel->pFrames[0].pGeometry->pParts[0].bCulled = 1;
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(405, 300), 0, 0, 80));
}

TEST_F(SceneGL, PointsStyleDrawsUsedNodesInsideTheFilter)
{
    NKGeometry *pGeo = MakeModel(1, 1, 0.5f);
    NKPart *pPart = &pGeo->pParts[0];
    pPart->iDrawStyle = NK_DRAW_POINTS;
    pPart->pNodeType[2] = 0;
    glPointSize(5.0f);
    EXPECT_TRUE(Draw(-1, 1));
    // Node i lies at window ((x + 1) / 2 x 810, (y + 1) / 2 x 600).
    const int aiX[4] = {202, 607, 607, 202}, aiY[4] = {150, 150, 450, 450};
    EXPECT_TRUE(Is(ReadPixel(aiX[0], aiY[0]), 255, 128, 0, 1));
    EXPECT_TRUE(Is(ReadPixel(aiX[1], aiY[1]), 255, 128, 0, 1));
    EXPECT_TRUE(Is(ReadPixel(aiX[2], aiY[2]), 0, 0, 80));
    EXPECT_TRUE(Is(ReadPixel(405, 300), 0, 0, 80));
    // Values 0, 10, 5, 11 with the filter 0..10: node 3 is filtered out.
    NKScalarResult *pRes = NKCreateScalarResult();
    pRes->iNumParts = 1;
    pRes->pNodeResults = static_cast<NKScalarPartEntry *>(NKCalloc(1, sizeof(NKScalarPartEntry)));
    pRes->pNodeResults[0].iCount = 4;
    pRes->pNodeResults[0].pNodeValues = static_cast<float *>(NKAlloc(4 * sizeof(float)));
    const float afValues[4] = {0, 10, 5, 11};
    std::memcpy(pRes->pNodeResults[0].pNodeValues, afValues, sizeof(afValues));
    g_pModel->pFrames[0].pScalar = pRes;
    pRes->iNumRef++;
    g_ValueFilterSettings = {1, 0.0f, 10.0f};
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(aiX[0], aiY[0]), 255, 128, 0, 1));
    EXPECT_TRUE(Is(ReadPixel(aiX[1], aiY[1]), 255, 128, 0, 1));
    EXPECT_TRUE(Is(ReadPixel(aiX[3], aiY[3]), 0, 0, 80));
    g_ValueFilterSettings = NKValueFilterSettings();
}

TEST_F(SceneGL, OrthographicZoomAndMeshOffset)
{
    struct Case {
        float fFar, fTranslation;
    };
    const Case cases[] = {{8.0f, -1.0f}, {2.5f, -0.5f}};
    g_pGraphicsSettings->bPerspective = 0;
    g_pGraphicsSettings->bAutoClip = 0;
    float afView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1};
    for (const Case &c : cases) {
        g_fFarClip = c.fFar;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glPushMatrix();
        NKApplyViewMatrix(afView);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        EXPECT_FLOAT_EQ(m[0], 2.0f);
        EXPECT_FLOAT_EQ(m[5], 2.0f);
        EXPECT_FLOAT_EQ(m[10], 2.0f);
        EXPECT_FLOAT_EQ(m[12], 0.0f);
        EXPECT_FLOAT_EQ(m[14], c.fTranslation) << "far " << c.fFar;
    }
    g_fFarClip = NK_DEFAULT_FAR_CLIP;
    const float afMV[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1};
    float afOffset[3];
    NKComputeMeshOffset(0.0005f, afOffset, afMV);
    EXPECT_FLOAT_EQ(afOffset[0], 0.0f);
    EXPECT_FLOAT_EQ(afOffset[2], 0.02f);
}

TEST_F(SceneGL, SplitStereoLeavesAGapAroundTheMiddle)
{
    MakeModel(1, 1, 100.0f, -1.0f);
    g_pGraphicsSettings->bStereo = 1;
    g_pGraphicsSettings->bQuadBufferStereo = 0;
    EXPECT_TRUE(Draw(-1, 1));
    const int aiRows[6] = {0, 281, 318, 599, 282, 317};
    for (int i = 0; i < 6; i++) {
        const bool bQuad = i < 4;
        EXPECT_EQ(PixelNear(ReadPixel(405, aiRows[i]), 0, 0, 80), !bQuad) << "row " << aiRows[i];
    }
    GLint aiViewport[4];
    glGetIntegerv(GL_VIEWPORT, aiViewport);
    EXPECT_EQ(aiViewport[3], 600);
}

TEST_F(SceneGL, ListsCarryMaterialsLightsAndSpareOtherLists)
{
    NKGeometry *pGeo = MakeModel(1, 1);
    pGeo->pParts[0].material.alpha = 128;
    GLuint uOwn = glGenLists(1);
    glNewList(uOwn, GL_COMPILE);
    glEndList();
    g_pLights[1].iSourceType = 1;
    g_pLights[1].fSpotCutoff = 30.0f;
    EXPECT_TRUE(Draw(-1, 1));
    ASSERT_EQ(g_DisplayLists.iMaterialCount, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glCallList(g_DisplayLists.uMaterialBase);
    const GLenum aColors[4] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION};
    for (GLenum e : aColors) {
        float af[4];
        glGetMaterialfv(GL_FRONT, e, af);
        EXPECT_NEAR(af[3], 0.50196f, 1e-5f);
    }
    glCallList(g_DisplayLists.uLightBase + 1);
    glCallList(g_DisplayLists.uLightBase + 2);
    float afPos[4], fCutoff = 0.0f;
    glGetLightfv(GL_LIGHT0, GL_POSITION, afPos);
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &fCutoff);
    glPopMatrix();
    EXPECT_FLOAT_EQ(afPos[2], 1.0f);
    EXPECT_FLOAT_EQ(afPos[3], 0.0f);
    EXPECT_FLOAT_EQ(fCutoff, 180.0f);
    NKDeleteAllDisplayLists();
    EXPECT_EQ(g_DisplayLists.uLightBase, 0u);
    EXPECT_TRUE(glIsList(uOwn));
    EXPECT_TRUE(NKNeedListUpdate(g_pListUpdateInfo));
    glDeleteLists(uOwn, 1);
}

namespace {

// Two squares side by side (centres x = -0.5 and 0.5, half size 0.25), lit
// from the viewer: part 0 red, part 1 blue, both with node normals (0, 0, 1).
NKGeometry *MakeTwoSquares(NKModel *pModel)
{
    const float afRed[3] = {1, 0, 0}, afBlue[3] = {0, 0, 1};
    NKGeometry *pGeo = NKCreateGeometry(2);
    for (int p = 0; p < 2; p++) {
        NKPart *pPart = &pGeo->pParts[p];
        NKTestMakeSquarePart(pPart, 0.25f, 0.0f, p == 0 ? afRed : afBlue);
        for (int i = 0; i < 4; i++) pPart->pNodeCoords[3 * i] += p == 0 ? -0.5f : 0.5f;
        NKMaterial &m = pPart->material;
        for (int k = 0; k < 3; k++) {
            m.diffuse[k] = m.ambient[k];
            m.specular[k] = m.emission[k] = 0.0f;
        }
        pPart->pNodeNormals = static_cast<int8_t *>(NKCalloc(12, 1));
        for (int i = 0; i < 4; i++) pPart->pNodeNormals[3 * i + 2] = 127;
    }
    pModel->pFrames = NKAllocFrameArray(1);
    pModel->iNumFrames = 1;
    pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef++;
    return pGeo;
}

}  // namespace

TEST_F(SceneGL, LockedPartsDrawLitWithTheFirstPartsMaterial)
{
    NKGeometry *pGeo = MakeTwoSquares(g_pModel);
    pGeo->pParts[0].bLockAttributes = pGeo->pParts[1].bLockAttributes = 1;
    EXPECT_TRUE(Draw(-1, 1));
    const Pixel left = ReadPixel(202, 300), right = ReadPixel(607, 300);
    EXPECT_GT(left.r, 100);  // lit: ambient 0.3 plus the diffuse of light 0
    EXPECT_EQ(left.b, 0);
    EXPECT_TRUE(Is(right, left.r, left.g, left.b)) << right.r << " " << right.b;
    // Unlocked, part 1 leaves the batch and shows its own colour.
    pGeo->pParts[1].bLockAttributes = 0;
    EXPECT_TRUE(Draw(-1, 1));
    const Pixel own = ReadPixel(607, 300);
    EXPECT_TRUE(own.r == 0 && own.g == 0 && own.b > 100) << own.r << " " << own.b;
    // In line style the batch draws the edges only, in the first part's colour.
    pGeo->pParts[1].bLockAttributes = 1;
    pGeo->pParts[0].iDrawStyle = NK_DRAW_LINES;
    NKInvalidatePartLists(&g_pModel->pFrames[0]);
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(607, 300), 0, 0, 80));
    EXPECT_TRUE(Is(ReadPixel(506, 300), 255, 0, 0, 1)) << ReadPixel(506, 300).r;
}

TEST_F(SceneGL, PointsShowTheHotSpotAndDrawSpheres)
{
    NKGeometry *pGeo = MakeModel(1, 1, 0.5f);
    NKPart *pPart = &pGeo->pParts[0];
    pPart->iDrawStyle = NK_DRAW_POINTS;
    glPointSize(5.0f);
    pPart->hotSpot.bHasHotSpot = 1;
    struct Case {
        int iHovered;
        uint8_t bShowAll;
        bool bWhite;
    };
    const Case cases[] = {{0, 0, true}, {-1, 0, false}, {-1, 1, true}};
    for (const Case &c : cases) {
        g_pViewSettings->iHoveredPart = c.iHovered;
        g_pViewSettings->bHotSpotShowAll = c.bShowAll;
        EXPECT_TRUE(Draw(-1, 1));
        const Pixel p = ReadPixel(202, 150);
        EXPECT_EQ(PixelNear(p, 255, 255, 255), c.bWhite) << c.iHovered << " " << int(c.bShowAll);
        EXPECT_EQ(PixelNear(p, 255, 128, 0, 1), !c.bWhite);
    }
    // Spheres of radius 0.2 reach 60 pixels from the node; a point does not.
    pPart->hotSpot.bHasHotSpot = 0;
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_TRUE(Is(ReadPixel(262, 150), 0, 0, 80));
    pPart->bPointsAsSpheres = 1;
    pPart->fSphereSize = 0.4f;
    for (int k = 0; k < 3; k++) pPart->material.diffuse[k] = pPart->material.ambient[k];
    EXPECT_TRUE(Draw(-1, 1));
    EXPECT_FALSE(Is(ReadPixel(262, 150), 0, 0, 80));
    EXPECT_TRUE(Is(ReadPixel(405, 300), 0, 0, 80));
}

TEST_F(SceneGL, StereoAlignmentPatternMarksTheNineFocusPoints)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    GLint iProjectionDepth = 0, iAfter = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &iProjectionDepth);
    const Depths before = StackDepths();
    NKDrawStereoAlignmentPattern();
    EXPECT_TRUE(StackDepths() == before);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &iAfter);
    EXPECT_EQ(iAfter, iProjectionDepth);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
    for (int i = 1; i <= 3; i++)
        for (int j = 1; j <= 3; j++)
            EXPECT_TRUE(Is(ReadPixel(202 * i, 150 * j), 255, 255, 0)) << i << " " << j;
    EXPECT_TRUE(Is(ReadPixel(300, 300), 0, 0, 0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneGL, ScreenOverlaysLeaveEveryMatrixStackAndTheMatrixMode)
{
    MakeModel(1, 1);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    const struct {
        const char *pszName;
        std::function<void()> draw;
    } cases[] = {
        {"screen frame", [] { NKScreenFrame frame; }},
        {"legend", [pFrame] { NKDrawColorLegend(pFrame); }},
        {"title block", [pFrame] { NKDrawTitleBlock(pFrame, true); }},
        {"text list",
         [] {
             ASSERT_TRUE(NKCreateTextList());
             NKAddText(12, -0.5f, 0.5f, 255, 255, 255, "one");
             NKAddText(12, 0.5f, -0.5f, 255, 255, 0, "two");
             NKDrawTextList();
         }},
    };
    for (const auto &c : cases) {
        glMatrixMode(GL_MODELVIEW);
        GLint iProjection = 0, iProjectionAfter = 0, iMode = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &iProjection);
        const Depths before = StackDepths();
        c.draw();
        EXPECT_TRUE(StackDepths() == before) << c.pszName;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &iProjectionAfter);
        EXPECT_EQ(iProjectionAfter, iProjection) << c.pszName;
        glGetIntegerv(GL_MATRIX_MODE, &iMode);
        EXPECT_EQ(iMode, GL_MODELVIEW) << c.pszName;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c.pszName;
    }
}

TEST_F(SceneGL, MaterialsFlaggedInTwoRangesRebuildTheirUnion)
{
    NKGeometry *pGeo = NKCreateGeometry(6);
    const float afGrey[3] = {0.5f, 0.5f, 0.5f};
    for (int p = 0; p < 6; p++) NKTestMakeSquarePart(&pGeo->pParts[p], 0.1f, 0.0f, afGrey);
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    g_pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef++;
    EXPECT_TRUE(Draw(-1, 1));
    for (int p = 0; p < 6; p++) pGeo->pParts[p].material.alpha = 128;
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, 3, 5);
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, 1, 2);
    NKPerformListUpdates(g_pListUpdateInfo, &g_DisplayLists, 0);
    for (int p = 0; p < 6; p++) {
        glCallList(g_DisplayLists.uMaterialBase + p);
        float af[4];
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, af);
        EXPECT_NEAR(af[3], p == 0 ? 1.0f : 0.50196f, 1e-5f) << "part " << p;
    }
}

TEST_F(SceneGL, DrawUpdatesTheSliderRangeAndRemembersTheViewpointFrame)
{
    ASSERT_TRUE(NKCreateSurfaceTools());
    MakeModel(2, 2);
    g_pModel->fFringeRangeFrom = 200.0f;
    g_pModel->fFringeRangeTo = 400.0f;
    SliderManipulator &slider = g_pIsoSurfaceState->slider;
    EXPECT_TRUE(Draw(0, 1));  // a hidden slider keeps its range
    EXPECT_EQ(slider.GetMaximum(), 100.0f);
    slider.SetEnabled(true);
    EXPECT_TRUE(Draw(0, 1));
    EXPECT_EQ(slider.GetMinimum(), 200.0f);
    EXPECT_EQ(slider.GetMaximum(), 400.0f);
    EXPECT_EQ(slider.GetValue(), 200.0f);  // 50 clamped into the range
    EXPECT_FLOAT_EQ(slider.GetStep(), 2.0f);
    NKDestroySurfaceTools();
    g_iLastViewPointFrame = -1;
    EXPECT_TRUE(Draw(1, 1));  // no viewpoint: nothing remembered
    EXPECT_EQ(g_iLastViewPointFrame, -1);
    g_pModel->pFrames[1].pViewPoint = NKCreateViewPoint();
    g_pModel->pFrames[1].pViewPoint->iNumRef = 1;
    EXPECT_TRUE(Draw(1, 1));
    EXPECT_EQ(g_iLastViewPointFrame, 1);
}

TEST_F(SceneGL, ChangedViewsGoToTheCommandLogOnce)
{
    MakeModel(1, 1);
    FILE *pFile = std::tmpfile();
    ASSERT_NE(pFile, nullptr);
    g_CommandRunner.pLogFile = pFile;
    g_CommandRunner.bLogCommands = true;
    const float afTranslations[4] = {-3.0f, -3.0f, -4.5f, -4.5f};
    for (float z : afTranslations) {
        g_ViewMatrix[14] = z;
        EXPECT_TRUE(Draw(-1, 1));
    }
    g_ViewMatrix[14] = 0.0f;
    g_CommandRunner.bLogCommands = false;
    g_CommandRunner.pLogFile = nullptr;
    std::rewind(pFile);
    char szText[256] = {0};
    const size_t n = std::fread(szText, 1, sizeof szText - 1, pFile);
    std::fclose(pFile);
    EXPECT_EQ(std::string(szText, n), "setview  0 0 0 1 0 0 -3\nsetview  0 0 0 1 0 0 -4.5\n");
}

namespace {

// The ride preview: a line from the eye to the reference point and one
// along 0.3 up, in the text colour, only while the ride is in use and
// previewed, leaving lighting and the stacks as they were.
TEST_F(SceneGL, RidePreviewDrawsTheEyeLinesOnlyWhenShown)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    g_RideSpec.ViewPoint.eye[0] = -0.5f;
    g_RideSpec.ViewPoint.vrp[0] = 0.5f;
    g_RideSpec.ViewPoint.vup[1] = 1.0f;
    struct Case {
        uint8_t bInUse, bPreview;
        bool bDrawn;
    } cases[] = {{1, 1, true}, {1, 0, false}, {0, 1, false}};
    for (const Case &c : cases) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        g_RideSpec.bInUse = c.bInUse;
        g_RideSpec.bPreview = c.bPreview;
        const Depths before = StackDepths();
        NKDrawRidePreview();
        glFinish();
        EXPECT_TRUE(StackDepths() == before);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        // The middle of the eye-to-reference line, and a point on the up line.
        EXPECT_EQ(PixelNear(ReadPixel(405, 300), 255, 255, 255), c.bDrawn)
            << int(c.bInUse) << int(c.bPreview);
        EXPECT_EQ(PixelNear(ReadPixel(202, 345), 255, 255, 255), c.bDrawn)
            << int(c.bInUse) << int(c.bPreview);
    }
    glDisable(GL_LIGHTING);
    g_RideSpec = NKRideSpec();
}

// The box's edges in the box colour (magenta) where the model has none:
// shown with `box` over the model, standing alone with `nomodel`, and
// standing for the model while the camera turns under `moveasbox`; a
// camera moving normally draws the model and no box.
TEST_F(SceneGL, BoundingBoxShownHiddenModelAndMovingAsBox)
{
    NKGeometry *pGeo = MakeModel(1, 1);
    for (int i = 0; i < 16; i++) g_ViewMatrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
    const float afBox[6] = {-0.9f, -0.9f, 0.0f, 0.9f, 0.9f, 0.0f};
    for (int k = 0; k < 6; k++) pGeo->fBoundingBox[k] = afBox[k];
    g_pModel->fGeoScale = 1.0f;
    auto MagentaPixels = [] {
        std::vector<unsigned char> px(810 * 600 * 4);
        glReadPixels(0, 0, 810, 600, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        int n = 0;
        for (size_t i = 0; i < px.size(); i += 4)
            n += px[i] == 255 && px[i + 1] == 0 && px[i + 2] == 255;
        return n;
    };
    struct Case {
        const char *pszName;
        uint8_t bShowModel, bShowBox;
        int iMoveMode;
        uint8_t bDragging;
        bool bModel, bBox;
    } const cases[] = {{"plain", 1, 0, NK_MOVE_NORMAL, 0, true, false},
                       {"box", 1, 1, NK_MOVE_NORMAL, 0, true, true},
                       {"nomodel", 0, 1, NK_MOVE_NORMAL, 0, false, true},
                       {"moving normally", 1, 0, NK_MOVE_NORMAL, 1, true, false},
                       {"moving as box", 1, 0, NK_MOVE_BOX, 1, false, true},
                       {"still, moveasbox", 1, 0, NK_MOVE_BOX, 0, true, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszName);
        g_pViewSettings->bShowModel = c.bShowModel;
        g_pViewSettings->bShowBox = c.bShowBox;
        g_pViewSettings->iMoveMode = c.iMoveMode;
        g_pViewSettings->bMouseDrag = c.bDragging;
        EXPECT_TRUE(Draw(-1, 1));
        EXPECT_EQ(!PixelNear(ReadPixel(405, 300), 0, 0, 80), c.bModel);
        EXPECT_EQ(MagentaPixels() > 100, c.bBox) << MagentaPixels();
    }
    g_pViewSettings->bMouseDrag = 0;
    g_pViewSettings->iMoveMode = NK_MOVE_NORMAL;
}

}  // namespace
