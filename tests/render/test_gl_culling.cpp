// tests/render/test_gl_culling.cpp -- visibility culling and level of
// detail in an off-screen context of 810 x 600: the identity colours on a
// 5-6-5 frame buffer, hidden polygons found by read-back, frustum and
// occlusion culling of parts, the visible-parts rectangle, and the levels
// the scene draws. Polygons are counted in GL feedback.
#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "platform/nk_gl_context.h"
#include "platform/nk_progress_ui.h"
#include "render/nk_culling.h"
#include "render/nk_lights.h"
#include "render/nk_lod.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_projection.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"

namespace {

// Quads appended grid by grid to one part, each quad with its own four
// nodes and the state byte of its level.
struct PartBuilder {
    std::vector<float> coords;
    std::vector<uint8_t> bytes;
    // n x n quads over the square of half size fHalf around (x, y) at depth z.
    PartBuilder &Grid(int n, float x, float y, float fHalf, float z, uint8_t uCode)
    {
        const float s = 2.0f * fHalf / n;
        for (int j = 0; j < n; j++)
            for (int i = 0; i < n; i++) {
                const float x0 = x - fHalf + i * s, y0 = y - fHalf + j * s;
                const float q[12] = {x0, y0, z, x0 + s, y0, z, x0 + s, y0 + s, z, x0, y0 + s, z};
                // One by one: g++ 12 optimising warns falsely (-Wstringop-overflow)
                // about the range insert.
                for (float f : q) coords.push_back(f);
                bytes.push_back(uCode);
            }
        return *this;
    }
    void Finish(NKPart *p) const
    {
        const int iQuads = static_cast<int>(bytes.size()), iNodes = 4 * iQuads;
        p->iNumNodes = iNodes;
        p->iNumPolygons = iQuads;
        p->iNumConnects = iNodes;
        p->iUniformPolygonSize = 4;
        p->pNodeCoords = static_cast<float *>(NKAlloc(coords.size() * sizeof(float)));
        std::memcpy(p->pNodeCoords, coords.data(), coords.size() * sizeof(float));
        p->pConnects = static_cast<int *>(NKAlloc(iNodes * sizeof(int)));
        p->pPolygonStart = static_cast<int *>(NKAlloc(iQuads * sizeof(int)));
        p->pPolygonNumNodes = static_cast<int *>(NKAlloc(iQuads * sizeof(int)));
        p->pNodeType = static_cast<uint8_t *>(NKAlloc(iNodes));
        std::memset(p->pNodeType, 1, iNodes);
        for (int i = 0; i < iNodes; i++) p->pConnects[i] = i;
        for (int q = 0; q < iQuads; q++) p->pPolygonStart[q] = 4 * q, p->pPolygonNumNodes[q] = 4;
        NKSetMaxValues(p->fBoundingBox);
        for (int i = 0; i < iNodes; i++)
            for (int k = 0; k < 3; k++) {
                p->fBoundingBox[k] = std::min(p->fBoundingBox[k], coords[3 * i + k]);
                p->fBoundingBox[k + 3] = std::max(p->fBoundingBox[k + 3], coords[3 * i + k]);
            }
        p->bVisible = 1;
        for (int k = 0; k < 3; k++) p->material.ambient[k] = p->material.diffuse[k] = 0.5f;
        p->material.alpha = 255;
    }
};

// Polygon tokens of what draw() sends.
int CountPolygons(const std::function<void()> &draw)
{
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    int iPolygons = 0;
    for (GLint i = 0; i < n;) {
        const int iToken = static_cast<int>(buffer[i++]);
        if (iToken == GL_POLYGON_TOKEN) {
            iPolygons++;
            i += 3 * static_cast<int>(buffer[i]) + 1;
        } else if (iToken == GL_LINE_TOKEN || iToken == GL_LINE_RESET_TOKEN) {
            i += 6;
        } else if (iToken == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += 3;  // point, bitmap and pixel tokens: one vertex
        }
    }
    return n < 0 ? -1 : iPolygons;
}

std::vector<uint8_t> ReadView(void)
{
    std::vector<uint8_t> pixels(810 * 600 * 4);
    glReadPixels(0, 0, 810, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace

class CullingGL : public NKRenderModelTest {
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
        g_pModel->fGeoScale = 1.0f;
        NKCreateLodManager();
        NKInitHidePolys(&g_HiddenPartCuller);
        NKGetHeadlessProgressUI()->Reset();
    }
    void TearDown() override
    {
        NKFreeHidePolysBuffer(&g_HiddenPartCuller);
        g_HiddenPartCuller = HiddenPartCuller();
        NKFreeVisiblePartsResult(&g_VisiblePartsRequest);
        g_VisiblePartsRequest = NKVisiblePartsRequest();
        NKDestroyLodManager();
        NKDeleteAllDisplayLists();
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKRenderModelTest::TearDown();
    }
    // iFrames frames sharing one geometry of the built parts, each frame with
    // its own copy of the state bytes.
    NKGeometry *MakeModel(const std::vector<PartBuilder> &parts, int iFrames = 1)
    {
        const int n = static_cast<int>(parts.size());
        NKGeometry *pGeo = NKCreateGeometry(n);
        NKSetMaxValues(pGeo->fBoundingBox);
        for (int p = 0; p < n; p++) {
            parts[p].Finish(&pGeo->pParts[p]);
            pGeo->iTotalNumPolygons += pGeo->pParts[p].iNumPolygons;
            for (int k = 0; k < 3; k++) {
                pGeo->fBoundingBox[k] =
                    std::min(pGeo->fBoundingBox[k], pGeo->pParts[p].fBoundingBox[k]);
                pGeo->fBoundingBox[k + 3] =
                    std::max(pGeo->fBoundingBox[k + 3], pGeo->pParts[p].fBoundingBox[k + 3]);
            }
        }
        g_pModel->pFrames = NKAllocFrameArray(iFrames);
        g_pModel->iNumFrames = iFrames;
        g_pModel->iAnimationToFrame = iFrames - 1;
        for (int f = 0; f < iFrames; f++) {
            NKFrame &frame = g_pModel->pFrames[f];
            frame.pGeometry = pGeo;
            pGeo->iNumRef++;
            frame.ppVisibility = static_cast<uint8_t **>(NKCalloc(n, sizeof(uint8_t *)));
            for (int p = 0; p < n; p++) {
                frame.ppVisibility[p] = static_cast<uint8_t *>(NKAlloc(parts[p].bytes.size()));
                std::memcpy(frame.ppVisibility[p], parts[p].bytes.data(), parts[p].bytes.size());
            }
        }
        return pGeo;
    }
    uint8_t Byte(int iFrame, int iPart, int k = 0)
    {
        return g_pModel->pFrames[iFrame].ppVisibility[iPart][k];
    }
    // The analysis state "hpc" sets up.
    void StartAnalysis(int iFramesToAnalyse)
    {
        HiddenPartCuller &c = g_HiddenPartCuller;
        c.bEnabled = c.bAnalysisOn = 1;
        c.iAnalysisCount = 0;
        c.iFramesToAnalyse = iFramesToAnalyse;
    }
    // Quads the parts send: the scene's own polygons (drawn with every part
    // hidden) are taken away, and the feedback reports a quad as two
    // triangles.
    int DrawnPolygons(int iFrame = 0)
    {
        NKGeometry *pGeo = g_pModel->pFrames[iFrame].pGeometry;
        std::vector<uint8_t> shown(pGeo->iNumParts);
        for (int p = 0; p < pGeo->iNumParts; p++) shown[p] = pGeo->pParts[p].bVisible;
        for (int p = 0; p < pGeo->iNumParts; p++) pGeo->pParts[p].bVisible = 0;
        const int iScene = CountPolygons([iFrame] { NKDrawScene(iFrame, 1, 2); });
        for (int p = 0; p < pGeo->iNumParts; p++) pGeo->pParts[p].bVisible = shown[p];
        return (CountPolygons([iFrame] { NKDrawScene(iFrame, 1, 2); }) - iScene) / 2;
    }
    NKGLContext *m_pContext = nullptr;
};

TEST_F(CullingGL, Rgb565TablesRoundTripIdentitiesAndGroupPolygons)
{
    auto genFramebuffers = (PFNGLGENFRAMEBUFFERSPROC)NKGetGLProcAddress("glGenFramebuffers");
    auto bindFramebuffer = (PFNGLBINDFRAMEBUFFERPROC)NKGetGLProcAddress("glBindFramebuffer");
    auto genRenderbuffers = (PFNGLGENRENDERBUFFERSPROC)NKGetGLProcAddress("glGenRenderbuffers");
    auto bindRenderbuffer = (PFNGLBINDRENDERBUFFERPROC)NKGetGLProcAddress("glBindRenderbuffer");
    auto storage = (PFNGLRENDERBUFFERSTORAGEPROC)NKGetGLProcAddress("glRenderbufferStorage");
    auto attach = (PFNGLFRAMEBUFFERRENDERBUFFERPROC)NKGetGLProcAddress("glFramebufferRenderbuffer");
    ASSERT_TRUE(genFramebuffers && bindFramebuffer && genRenderbuffers && bindRenderbuffer &&
                storage && attach);
    GLuint uFbo = 0, auBuffers[2] = {0, 0};
    genFramebuffers(1, &uFbo);
    genRenderbuffers(2, auBuffers);
    bindFramebuffer(GL_FRAMEBUFFER, uFbo);
    bindRenderbuffer(GL_RENDERBUFFER, auBuffers[0]);
    storage(GL_RENDERBUFFER, GL_RGB565, 810, 600);
    attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, auBuffers[0]);
    bindRenderbuffer(GL_RENDERBUFFER, auBuffers[1]);
    storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 810, 600);
    attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, auBuffers[1]);

    HiddenPartCuller &c = g_HiddenPartCuller;
    NKInitHidePolys(&c);
    EXPECT_EQ(c.uBits[0], 5);
    EXPECT_EQ(c.uBits[1], 6);
    EXPECT_EQ(c.uBits[2], 5);
    EXPECT_EQ(c.iLargestIdentity, 65535);
    EXPECT_EQ(c.bDirectColors, 0);
    const int aiLevels[3] = {32, 64, 32};
    for (int k = 0; k < 3; k++) {
        int iCount = 1;
        while (iCount < 256 && c.uLevelToColor[k][iCount] != 0) iCount++;
        EXPECT_EQ(iCount, aiLevels[k]) << "channel " << k;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 810, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DITHER);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    for (int iIdentity : {1, 31, 32, 33, 2016, 2047, 2048, 40000, 65535}) {
        uint8_t rgb[3], a[4] = {0, 0, 0, 0};
        NKIdentityToColor(iIdentity, &rgb[0], &rgb[1], &rgb[2]);
        glColor3ubv(rgb);
        glRectf(10.0f, 10.0f, 12.0f, 12.0f);
        glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a);
        EXPECT_EQ(NKColorToIdentity(a[0], a[1], a[2]), iIdentity);
    }
    // 200,000 polygons: four share an identity.
    NKGeometry *pGeo = NKCreateGeometry(1);
    pGeo->pParts[0].iNumPolygons = pGeo->iTotalNumPolygons = 200000;
    pGeo->pParts[0].bVisible = 1;
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    g_pModel->pFrames[0].pGeometry = pGeo;
    pGeo->iNumRef++;
    StartAnalysis(0);
    EXPECT_TRUE(NKRenderHidePolys(&g_pModel->pFrames[0]));
    EXPECT_EQ(c.iPolygonsPerIdentity, 4);
    bindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(CullingGL, HiddenPolygonsAreFoundPerFrameAndAFailedReadBackHidesNothing)
{
    // The front quad covers the back one in frame 0; frame 1 moves it away.
    MakeModel(
        {PartBuilder().Grid(1, 0, 0, 0.5f, -0.5f, 0), PartBuilder().Grid(1, 0, 0, 0.3f, 0.5f, 0)},
        2);
    NKFrame &frame1 = g_pModel->pFrames[1];
    frame1.pTransformation = static_cast<float *>(NKCalloc(32, sizeof(float)));
    for (int p = 0; p < 2; p++)
        for (int k = 0; k < 4; k++) frame1.pTransformation[16 * p + 5 * k] = 1.0f;
    frame1.pTransformation[12] = 3.0f;  // part 1 of frame 1 off to the right
    StartAnalysis(2);
    EXPECT_TRUE(NKDrawScene(0, 1, 2));
    EXPECT_EQ(Byte(0, 0), 0);
    EXPECT_EQ(Byte(0, 1), NK_POLYGON_HIDDEN);
    EXPECT_EQ(g_HiddenPartCuller.bAnalysisOn, 1);
    EXPECT_TRUE(NKDrawScene(1, 1, 2));
    EXPECT_EQ(g_HiddenPartCuller.bAnalysisOn, 0);  // the pass over both frames is done
    EXPECT_EQ(Byte(1, 0), NK_POLYGON_HIDDEN);
    EXPECT_EQ(Byte(1, 1), 0);
    EXPECT_EQ(Byte(0, 1), NK_POLYGON_HIDDEN);  // still hidden in frame 0 only
    EXPECT_EQ(DrawnPolygons(0), 1);

    // The view grows after the first read-back: the next one fails.
    StartAnalysis(3);
    g_pModel->pFrames[0].bAnalysed = g_pModel->pFrames[1].bAnalysed = 0;
    EXPECT_TRUE(NKRenderHidePolys(&g_pModel->pFrames[0]));
    glViewport(0, 0, 1000, 700);
    NKResetDiagnostics();
    EXPECT_FALSE(NKRenderHidePolys(&g_pModel->pFrames[1]));
    EXPECT_STREQ(NKGetLastDiagnostic(),
                 "Error: frameBuf is unallocated or too small, window size has probably changed, "
                 "aborting");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKRenderHidePolys");
    EXPECT_EQ(g_HiddenPartCuller.bEnabled, 0);
    for (int f = 0; f < 2; f++)
        for (int p = 0; p < 2; p++) EXPECT_EQ(Byte(f, p), 0) << f << " " << p;
    glViewport(0, 0, 810, 600);
}

TEST_F(CullingGL, FrustumCullsBehindTheEyeFastAndBesideTheFrustumBest)
{
    // Part 1 behind the eye, part 2 beside the frustum inside its box, part 3 in view.
    MakeModel({PartBuilder().Grid(1, 0, 0, 0.2f, 2.0f, 0),
               PartBuilder().Grid(1, 3.0f, 0, 0.2f, -1.0f, 0),
               PartBuilder().Grid(1, 0, 0, 0.2f, -3.0f, 0)});
    const float afIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    NKFrame *pFrame = &g_pModel->pFrames[0];
    NKGeometry *pGeo = pFrame->pGeometry;
    ASSERT_TRUE(NKCullPartsToFrustum(pFrame, true, 810, 600, 0.01f, 8.0f, afIdentity, true, true));
    EXPECT_EQ(pGeo->pParts[0].bCulled, 1);
    EXPECT_EQ(pGeo->pParts[1].bCulled, 1);
    EXPECT_EQ(pGeo->pParts[2].bCulled, 0);
    const std::string status = NKGetHeadlessProgressUI()->GetStatusText();
    EXPECT_EQ(status.rfind("Culled parts: 2  (fast: 1, best: 1, cull time: ", 0), 0u) << status;
    ASSERT_TRUE(
        NKCullPartsToFrustum(pFrame, false, 810, 600, 0.01f, 8.0f, afIdentity, false, true));
    EXPECT_EQ(pGeo->pParts[1].bCulled, 0);  // the fast test alone keeps it

    // Drawn in perspective: only the part in view sends its polygon.
    g_pViewSettings->bFrustumCull = 1;
    g_pViewSettings->iFrustumCullMethod = 1;
    g_fNearClip = 0.01f;
    g_fFarClip = 8.0f;
    NKInitViewProjection();
    EXPECT_EQ(DrawnPolygons(), 1);
    EXPECT_EQ(pGeo->pParts[0].bCulled + pGeo->pParts[1].bCulled, 2);
    g_pGraphicsSettings->bPerspective = 0;  // noperspective
    ASSERT_TRUE(
        NKCullPartsToFrustum(pFrame, true, 810, 600, 0.01f, 8.0f, afIdentity, false, false));
    for (int p = 0; p < 3; p++) EXPECT_EQ(pGeo->pParts[p].bCulled, 0);
    g_fNearClip = NK_DEFAULT_NEAR_CLIP;
    g_fFarClip = NK_DEFAULT_FAR_CLIP;
}

TEST_F(CullingGL, OcclusionSkipsAHiddenPartAndVisiblePartsMarkTheRectangle)
{
    // Nearer the eye (and in front in depth) than the part behind it.
    MakeModel(
        {PartBuilder().Grid(1, 0, 0, 0.8f, -0.2f, 0), PartBuilder().Grid(2, 0, 0, 0.3f, 0.6f, 0)});
    ASSERT_TRUE(NKDrawScene(0, 1, 2));
    const std::vector<uint8_t> plain = ReadView();
    g_pViewSettings->bOcclusionCull = 1;
    ASSERT_TRUE(NKDrawScene(0, 1, 2));
    EXPECT_EQ(g_OcclusionStatistics.iPartsCulled, 1);
    EXPECT_EQ(g_OcclusionStatistics.iPolygonsCulled, 4);
    EXPECT_TRUE(ReadView() == plain);
    EXPECT_FALSE(NKIsOcclusionCullingActive());
    g_pViewSettings->bOcclusionCull = 0;

    // Three parts side by side; the rectangle covers the middle one.
    NKDestroyModel(g_pModel);
    g_pModel = NKCreateModel();
    g_pModel->fGeoScale = 1.0f;
    MakeModel({PartBuilder().Grid(1, -0.6f, 0, 0.2f, 0, 0), PartBuilder().Grid(1, 0, 0, 0.2f, 0, 0),
               PartBuilder().Grid(1, 0.6f, 0, 0.2f, 0, 0)});
    NKVisiblePartsRequest &r = g_VisiblePartsRequest;
    r.iLeft = 395, r.iRight = 415, r.iBottom = 290, r.iTop = 310;
    r.bPending = 1;
    ASSERT_TRUE(NKDrawScene(0, 1, 2));
    EXPECT_EQ(r.bPending, 0);
    ASSERT_EQ(r.bReady, 1);
    ASSERT_EQ(r.iNumParts, 3);
    EXPECT_EQ(r.pbVisible[0], 0);
    EXPECT_EQ(r.pbVisible[1], 1);
    EXPECT_EQ(r.pbVisible[2], 0);
}

TEST_F(CullingGL, LevelsDrawnFollowFixedAutomaticAndMovingModes)
{
    // 40 parts on the view axis, levels of 16, 4 and 1 quads.
    std::vector<PartBuilder> parts(40);
    for (int i = 0; i < 40; i++)
        parts[i]
            .Grid(4, 0, 0, 0.3f, -0.02f * (i + 1), 0)
            .Grid(2, 0, 0, 0.3f, -0.02f * (i + 1), 4)
            .Grid(1, 0, 0, 0.3f, -0.02f * (i + 1), 8);
    MakeModel(parts);
    NKSetupLevelOfDetail();
    LodManager &m = *g_pLodManager;
    ASSERT_EQ(m.m_bEnabled, 1);
    m.m_bFixed = 1;
    m.SetFixedMode(NK_LOD_FIXED_FINEST);
    EXPECT_EQ(DrawnPolygons(), 640);
    m.m_bFixed = 0;
    m.SetAutomatic(true);
    EXPECT_EQ(DrawnPolygons(), 205);  // 9 parts at level 0, 10 at 1, 21 at 2
    int aiAtLevel[3] = {0, 0, 0};
    for (int p = 0; p < 40; p++) aiAtLevel[m.GetPartLevel(g_pModel->pFrames[0].pGeometry, p) / 4]++;
    EXPECT_EQ(aiAtLevel[0], 9);
    EXPECT_EQ(aiAtLevel[1], 10);
    EXPECT_EQ(aiAtLevel[2], 21);
    g_pViewSettings->iMoveMode = NK_MOVE_LOD;  // moveaslod while the mouse drags
    g_pViewSettings->bMouseDrag = 1;
    EXPECT_EQ(DrawnPolygons(), 40);
    g_pViewSettings->bMouseDrag = 0;
    g_pViewSettings->iMoveMode = NK_MOVE_NORMAL;
}

TEST_F(CullingGL, HpcAnalysesEveryFrameAndNohpShowsEverythingAgain)
{
    NKCommandHandler pSaved = NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, nullptr);
    NKRegisterPartDisplayCommands();
    MakeModel(
        {PartBuilder().Grid(1, 0, 0, 0.5f, -0.5f, 0), PartBuilder().Grid(1, 0, 0, 0.3f, 0.5f, 0)},
        3);
    EXPECT_EQ(ExecuteCommand("hpc"), 0);
    for (int f = 0; f < 3; f++) {
        EXPECT_EQ(g_pModel->pFrames[f].bAnalysed, 1) << f;
        EXPECT_EQ(Byte(f, 1), NK_POLYGON_HIDDEN) << f;
    }
    EXPECT_EQ(g_HiddenPartCuller.bAnalysisOn, 0);
    EXPECT_EQ(g_HiddenPartCuller.bEnabled, 1);
    EXPECT_EQ(g_HiddenPartCuller.pFrameBuf, nullptr);  // freed once the pass is done
    EXPECT_EQ(DrawnPolygons(2), 1);
    EXPECT_EQ(ExecuteCommand("nohp"), 0);
    for (int f = 0; f < 3; f++) EXPECT_EQ(Byte(f, 1), 0) << f;
    EXPECT_EQ(DrawnPolygons(2), 2);
    NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, pSaved);
}
