// tests/tools/test_gl_part_labels_legend.cpp -- the part name labels, the
// 3-D legend box and the shell axes of picked elements, in an off-screen
// context of 810 x 600 with the identity display transform and view matrix
// (eye at display (0, 0, 2)) and an orthographic -1..1 projection, so that
// window coordinates tell display coordinates. Every draw must leave the
// stack depths, lighting and line width as it found them.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_bbox.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_mesh.h"
#include "core/nk_model_hooks.h"
#include "core/nk_view_state.h"
#include "platform/nk_gl_context.h"
#include "readers/nk_data_source.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_shell_axes.h"
#include "render/nk_camera.h"
#include "render/nk_label_overlay.h"
#include "render/nk_lights.h"
#include "render/nk_part_labels.h"
#include "render/nk_shell_axis_lines.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/gl_feedback.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/quad_plate.h"
#include "tests/test_support/test_files.h"
#include "tools/nk_legend_box.h"
#include "tools/nk_manipulator.h"

namespace {

constexpr int kWidth = 810, kHeight = 600;

// One feedback vertex in display coordinates (the -1..1 projection undone)
// with its colour in bytes and its texture s coordinate.
struct FeedbackVertex {
    float p[3];
    int c[3];
    float s;
};
struct FeedbackPrim {
    int iToken;  // GL_LINE_TOKEN (resets folded in), GL_POLYGON_TOKEN, ...
    std::vector<FeedbackVertex> v;
};

std::vector<FeedbackPrim> Feedback(const std::function<void()> &draw, bool bTexture = false)
{
    GLint aiBefore[3], aiAfter[3];
    GLfloat fWidthBefore = 0, fWidthAfter = 0;
    const std::vector<NKFeedbackPrimitive> raw = NKCaptureFeedback(
        [&] {
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiBefore[0]);
            glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiBefore[1]);
            aiBefore[2] = glIsEnabled(GL_LIGHTING);
            glGetFloatv(GL_LINE_WIDTH, &fWidthBefore);
            draw();
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &aiAfter[0]);
            glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &aiAfter[1]);
            aiAfter[2] = glIsEnabled(GL_LIGHTING);
            glGetFloatv(GL_LINE_WIDTH, &fWidthAfter);
        },
        bTexture, size_t(1) << 17);
    for (int k = 0; k < 3; k++) EXPECT_EQ(aiBefore[k], aiAfter[k]) << "state " << k;
    EXPECT_EQ(fWidthBefore, fWidthAfter);
    std::vector<FeedbackPrim> out;
    for (const NKFeedbackPrimitive &p : raw) {
        FeedbackPrim prim{p.iToken, {}};
        for (const NKFeedbackVertex &w : p.v) {
            FeedbackVertex v{};
            v.p[0] = w.x / kWidth * 2.0f - 1.0f;
            v.p[1] = w.y / kHeight * 2.0f - 1.0f;
            v.p[2] = -(w.z * 2.0f - 1.0f) * 4.0f;  // the -4..4 depth range
            v.c[0] = w.r, v.c[1] = w.g, v.c[2] = w.b;
            v.s = w.s;
            prim.v.push_back(v);
        }
        out.push_back(prim);
    }
    return out;
}

bool Near(const float *a, const float *b, float fTol = 2e-3f)
{
    for (int k = 0; k < 3; k++)
        if (std::fabs(a[k] - b[k]) > fTol) return false;
    return true;
}

// The overlay's texts and anchors.
std::vector<std::pair<std::string, std::vector<float>>> OverlayItems(void)
{
    std::vector<std::pair<std::string, std::vector<float>>> out;
    for (int i = 0; g_pLabelOverlay != nullptr && i < g_pLabelOverlay->iCount; i++) {
        const LabelItem &item = g_pLabelOverlay->pItems[i];
        out.push_back({item.Text.GetText(), {item.fAnchor[0], item.fAnchor[1], item.fAnchor[2]}});
    }
    return out;
}

class LabelsLegendGL : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_SavedSize = NKViewWindowSize;
        NKViewWindowSize = {kWidth, kHeight};
        m_pContext = NKCreateOffscreenGLContext(kWidth, kHeight);
        ASSERT_NE(m_pContext, nullptr);
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -4, 4);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_LIGHTING);
        glLineWidth(1.0f);
        for (int i = 0; i < 16; i++) g_ViewMatrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
        g_pLabelOverlay = CreateLabelOverlay();
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
    }
    void TearDown() override
    {
        g_SelectionList.Clear();
        g_SelectionList = NKSelectionList();
        g_ShellAxes.DisableAll();
        DestroyLabelOverlay(g_pLabelOverlay);
        g_pLabelOverlay = nullptr;
        if (m_pContext != nullptr) NKDestroyGLContext(m_pContext);
        NKViewWindowSize = m_SavedSize;
        NKRenderModelTest::TearDown();
    }
    // Frame 0 holds one part: 3 x 2 quads over x -0.3..0.3, y -0.1..0.3.
    NKPart *MakePlate(const char *pszName)
    {
        NKGeometry *pGeo = NKCreateGeometry(1);
        NKPart *pPart = &pGeo->pParts[0];
        EXPECT_TRUE(NKTestBuildQuadPlate(pPart, 3, 2, -0.3f, -0.1f, 0.3f, 0.3f));
        pPart->szName = pszName;
        pPart->bVisible = 1;
        g_pModel->pFrames = NKAllocFrameArray(1);
        g_pModel->iNumFrames = 1;
        g_pModel->pFrames[0].pGeometry = pGeo;
        pGeo->iNumRef++;
        EXPECT_TRUE(NKComputePartBoundingBox(pPart, 0, nullptr, nullptr, true, false));
        return pPart;
    }
    NKGLContext *m_pContext = nullptr;
    NKViewSize m_SavedSize{};
};

}  // namespace

TEST_F(LabelsLegendGL, PartLabelSitsOnTheCentroidNearestTheCandidateNearestTheViewAxis)
{
    struct Case {
        const char *pszName, *pszText;
        float fShift;  // displacement of every node along y
    };
    const Case aCases[] = {{"   ", "Part 1", 0.0f}, {"Plate", "Plate", 0.0f}, {"", "Part 1", 0.5f}};
    for (const Case &c : aCases) {
        NKPart *pPart = MakePlate(c.pszName);
        NKFrame *pFrame = &g_pModel->pFrames[0];
        if (c.fShift != 0.0f) {
            NKVectorResult *pVector = NKCreateVectorResult();
            ASSERT_NE(pVector, nullptr);
            pVector->iNumParts = 1;
            pVector->pResults =
                static_cast<NKVectorPartEntry *>(NKCalloc(1, sizeof(NKVectorPartEntry)));
            NKVectorPartEntry &entry = pVector->pResults[0];
            entry.iNumNodes = pPart->iNumNodes;
            entry.pNodeValues = static_cast<float *>(NKAlloc(3 * sizeof(float) * pPart->iNumNodes));
            for (int i = 0; i < 3 * pPart->iNumNodes; i++)
                entry.pNodeValues[i] = pPart->pNodeCoords[i] + (i % 3 == 1 ? c.fShift : 0.0f);
            pFrame->pVector = pVector;
            pFrame->pVector->iNumRef = 1;
            pPart->bDisplacements = 1;
            ASSERT_TRUE(NKComputeFrameBoundingBoxes(0, false, true));
        }
        ClearLabelOverlay(g_pLabelOverlay);
        Feedback([&] { NKDrawPartLabels(pFrame, 0); });
        const auto items = OverlayItems();
        ASSERT_EQ(items.size(), 1u) << c.pszName;
        EXPECT_EQ(items[0].first, c.pszText);
        const float afWant[3] = {0.0f, c.fShift, 0.0f};
        EXPECT_TRUE(Near(items[0].second.data(), afWant, 1e-5f))
            << items[0].second[0] << " " << items[0].second[1] << " " << items[0].second[2];
        if (c.fShift == 0.0f) {
            const float afPoints[6] = {0.25f, 0.25f, 0.0f, -0.3f, 0.3f, 0.0f};
            const float afCentres[6] = {0.2f, 0.2f, 0.0f, -0.2f, 0.2f, 0.0f};
            float afOut[6];
            ASSERT_TRUE(NKFindNearestPolygonCentres(afPoints, 2, pFrame, 0, nullptr, afOut));
            EXPECT_TRUE(Near(afOut, afCentres, 1e-5f) && Near(afOut + 3, afCentres + 3, 1e-5f));
        }
        NKFreeFrameArray(g_pModel->pFrames, g_pModel->iNumFrames);
        g_pModel->pFrames = nullptr;
        g_pModel->iNumFrames = 0;
    }
    // Nothing for a part that is not there.
    float afOut[3];
    const float afPoint[3] = {0, 0, 0};
    EXPECT_FALSE(NKFindNearestPolygonCentres(afPoint, 1, nullptr, 0, nullptr, afOut));
}

// The example plate opened and drawn with part names on, then off.
TEST_F(LabelsLegendGL, OpenedPlateShowsItsPartNamesWhileTheyAreOn)
{
    const NKModelHooks saved = NKGetModelHooks();
    NKInstallDataSources();
    NKRegisterFileCommands();
    g_pGraphicsSettings->bSingleBuffer = 1;
    ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath("plate.nkf") + "\"").c_str()), 0);
    auto Names = [] {
        std::vector<std::string> out;
        for (const auto &item : OverlayItems()) out.push_back(item.first);
        return out;
    };
    g_pViewSettings->bShowPartNames = 1;
    EXPECT_TRUE(NKDrawScene(0, 1, 1));
    const std::vector<std::string> want = {"Load patch", "Plate"};
    std::vector<std::string> got = Names();
    for (const std::string &name : want)
        EXPECT_NE(std::find(got.begin(), got.end(), name), got.end()) << name;
    g_pViewSettings->bShowPartNames = 0;
    EXPECT_TRUE(NKDrawScene(0, 1, 1));
    got = Names();
    for (const std::string &name : want)
        EXPECT_EQ(std::find(got.begin(), got.end(), name), got.end()) << name;
    NKDeleteAllDisplayLists();
    NKCloseInterface();
    NKSetModelHooks(saved);
}

// The legend box at (-1, -0.3, -0.05)-(-0.9, 0.3, 0.05) in the overlay
// space, over the fringe range 0 to 100.
TEST_F(LabelsLegendGL, LegendBoxShowsTheFringeColoursTicksAndLabels)
{
    const bool bWasEnabled = NKAreManipulatorsEnabled();
    NKSetManipulatorsEnabled(true);
    g_pManipulatorList = new ManipulatorList();
    g_pLegendBox = new BoxManipulator("3D Legend", false, false);
    NKShowLegendManipulator(true);
    ASSERT_TRUE(g_pLegendBox->IsEnabled());
    g_pModel->fFringeRangeFrom = 0.0f;
    g_pModel->fFringeRangeTo = 100.0f;
    const uint8_t auWant[5][3] = {
        {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
    for (int iTexture = 0; iTexture < 2; iTexture++) {
        g_pGraphicsSettings->bTextureFringes = static_cast<uint8_t>(iTexture);
        NKStrokeFontSwitch = 1;
        ASSERT_TRUE(NKCreateTextList());
        const auto prims = Feedback([] { NKDraw3DLegend(g_pLegendBox); }, iTexture != 0);
        NKStrokeFontSwitch = 0;
        int iFaces = 0, aiLevels[5] = {0, 0, 0, 0, 0};
        for (const FeedbackPrim &p : prims) {
            if (p.iToken != GL_POLYGON_TOKEN) continue;
            iFaces++;
            for (const FeedbackVertex &v : p.v) {
                // Height 0.6 over y -0.3..0.3: level t = (y + 0.3) / 0.15.
                const float t = (v.p[1] + 0.3f) / 0.15f;
                const int iLevel = static_cast<int>(std::lround(t));
                ASSERT_LT(std::fabs(t - iLevel), 0.02f) << v.p[1];
                aiLevels[iLevel]++;
                for (int k = 0; k < 3; k++) {
                    EXPECT_EQ(v.c[k], iTexture ? 255 : auWant[iLevel][k]) << iLevel << " " << k;
                }
                if (iTexture) {
                    EXPECT_NEAR(v.s, 0.25f * iLevel, 1e-4f);
                }
            }
        }
        // Four sides of four segments, bottom and top, each quad as two triangles.
        EXPECT_EQ(iFaces, 36);
        for (int i = 0; i < 5; i++) EXPECT_GT(aiLevels[i], 0) << i;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
        // The label of 50 at mid-height, right of the box.
        bool bFifty = false;
        for (NKTextItem *p = g_pTextListHead != nullptr ? g_pTextListHead->pNext : nullptr;
             p != nullptr; p = p->pNext)
            if (std::string(p->Text.GetText()) == "50 ") {
                bFifty = true;
                EXPECT_NEAR(p->fY, 0.0f, 1e-3f);
                EXPECT_GT(p->fX, -0.9f);
                EXPECT_EQ(p->iSize, 12);
            }
        EXPECT_TRUE(bFifty);
        NKFreeTextList();
    }
    g_pGraphicsSettings->bTextureFringes = 0;
    // Disabled: nothing at all.
    NKShowLegendManipulator(false);
    EXPECT_TRUE(Feedback([] { NKDraw3DLegend(g_pLegendBox); }).empty());
    EXPECT_TRUE(Feedback([] { NKDraw3DLegend(nullptr); }).empty());
    delete g_pLegendBox;
    g_pLegendBox = nullptr;
    delete g_pManipulatorList;
    g_pManipulatorList = nullptr;
    NKSetManipulatorsEnabled(bWasEnabled);
}

// The one shell of the strain family (xx 0.02, yy -0.01), listed.
TEST_F(LabelsLegendGL, ShellAxesAndStrainLinesOfTheListedShell)
{
    const std::string dir = NKTestMakeTempDir("shell_axes_gl");
    ASSERT_TRUE(LSDynaWriteStrainFamily(dir, {0.0, 1.0}));
    ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str()));
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->pGeometry = pGeo;
    pFrame->fTime = NKLSDynaGetStateTime(1);
    NKPart &part = pGeo->pParts[0];
    ASSERT_EQ(part.pElements[0].iType, NK_ELEM_SHELL);
    g_SelectionList.SetEnabled(true);
    NKPickInfo pick;
    pick.iFrame = 0;
    pick.pGeometry = pGeo;
    pick.iPart = 0;
    pick.iPolygon = 0;
    pick.iElement = 0;
    ASSERT_TRUE(g_SelectionList.Add(pick));
    auto Draw = [&] {
        return Feedback([&] { NKDrawShellAxes(pFrame, &g_SelectionList, &g_ShellAxes); });
    };
    struct Line {
        float a[3], b[3];
        int c[3];
        int iHeads;
    };
    const std::vector<Line> axes = {{{0.5f, 0.5f, 0}, {1, 0.5f, 0}, {255, 255, 0}, 1},
                                    {{0.5f, 0.5f, 0}, {0.5f, 1, 0}, {0, 255, 0}, 1},
                                    {{0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f}, {0, 255, 255}, 1}};
    std::vector<Line> strains = axes;
    strains.push_back({{0, 0.5f, 0}, {1, 0.5f, 0}, {255, 0, 0}, 2});
    strains.push_back({{0.5f, 0.25f, 0}, {0.5f, 0.75f, 0}, {0, 0, 255}, 2});
    auto Check = [&](const std::vector<FeedbackPrim> &prims, const std::vector<Line> &want) {
        std::vector<const FeedbackPrim *> lines;
        int iTriangles = 0, iHeads = 0;
        for (const FeedbackPrim &p : prims) {
            if (p.iToken == GL_LINE_TOKEN) lines.push_back(&p);
            if (p.iToken == GL_POLYGON_TOKEN) iTriangles++;
        }
        ASSERT_EQ(lines.size(), want.size());
        for (size_t i = 0; i < want.size(); i++) {
            EXPECT_TRUE(Near(lines[i]->v[0].p, want[i].a) && Near(lines[i]->v[1].p, want[i].b))
                << "line " << i;
            for (int k = 0; k < 3; k++) EXPECT_EQ(lines[i]->v[0].c[k], want[i].c[k]) << i;
            iHeads += want[i].iHeads;
        }
        EXPECT_EQ(iTriangles, 2 * iHeads);  // two crossed triangles a head
    };
    EXPECT_TRUE(Draw().empty());  // both switches off
    g_ShellAxes.Enable(NK_SHELLAXES_COORDSYS);
    Check(Draw(), axes);
    g_ShellAxes.Enable(NK_SHELLAXES_STRAINS);
    Check(Draw(), strains);
    // A solid element, or the list disabled: nothing.
    part.pElements[0].iType = NK_ELEM_BRICK;
    EXPECT_TRUE(Draw().empty());
    part.pElements[0].iType = NK_ELEM_SHELL;
    g_SelectionList.SetEnabled(false);
    EXPECT_TRUE(Draw().empty());
    g_SelectionList.Clear();
    pFrame->pGeometry = nullptr;
    NKLSDynaClose();
    NKTestRemoveDir(dir);
}
