// tests/render/test_part_display_commands.cpp -- the part display-flag
// handler through the interpreter on models of square parts: the messages
// the user sees, the part records and settings they change, the lock and
// selection forms of the part range, and refusals that change nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_macros.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_render_state.h"
#include "render/nk_culling.h"
#include "render/nk_element_drawing.h"
#include "render/nk_lod.h"
#include "render/nk_part_display_commands.h"
#include "render/nk_part_overlays.h"
#include "render/nk_scene_view.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class PartDisplayCommands : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        m_pSaved = NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, nullptr);
        NKRegisterPartDisplayCommands();
        NKCreateLodManager();
        g_MacroList.Clear();
    }
    void TearDown() override
    {
        NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, m_pSaved);
        g_fMeshDepthFactor = 0.0005f;
        g_iHighOrderMode = NK_HIGH_ORDER_SKIP;
        std::memset(g_uMeshColor, 0, sizeof(g_uMeshColor));
        g_VectorSettings = NKVectorSettings();
        NKFreeHidePolysBuffer(&g_HiddenPartCuller);
        g_HiddenPartCuller = HiddenPartCuller();
        NKDestroyLodManager();
        NKRenderModelTest::TearDown();
    }
    // iFrames frames sharing one geometry of iParts square parts.
    void MakeParts(int iFrames, int iParts)
    {
        static const float afGrey[3] = {0.5f, 0.5f, 0.5f};
        g_pModel->pFrames = NKAllocFrameArray(iFrames);
        g_pModel->iNumFrames = iFrames;
        g_pModel->fGeoScale = 1.0f;
        NKGeometry *pGeo = NKCreateGeometry(iParts);
        for (int i = 0; i < iParts; i++)
            NKTestMakeSquarePart(&pGeo->pParts[i], 0.5f, 0.1f * i, afGrey);
        for (int f = 0; f < iFrames; f++) {
            g_pModel->pFrames[f].pGeometry = pGeo;
            pGeo->iNumRef++;
        }
    }
    NKPart &Part(int iPart) { return g_pModel->pFrames[0].pGeometry->pParts[iPart - 1]; }
    // The parts (1-based) whose value of the member equals v.
    template <typename T>
    std::vector<int> PartsWith(T NKPart::*pMember, T v)
    {
        std::vector<int> out;
        for (int i = 1; i <= g_pModel->pFrames[0].pGeometry->iNumParts; i++)
            if (Part(i).*pMember == v) out.push_back(i);
        return out;
    }
    int Run(const char *pszLine)
    {
        m_Capture.Clear();
        return ExecuteCommand(pszLine);
    }
    bool Said(const std::string &line, int iLevel = NK_MSG_INFO) const
    {
        return m_Capture.HasLine(line, iLevel);
    }

    NKCommandHandler m_pSaved = nullptr;
    MessageCapture m_Capture;
};

TEST_F(PartDisplayCommands, SelectedSpanAndUnselectedForms)
{
    MakeParts(1, 10);
    Part(2).bSelected = Part(5).bSelected = 1;
    // Draw styles change only the selected parts of the span.
    EXPECT_EQ(Run("lines sel"), 0);
    EXPECT_TRUE(Said("Turning lines on for part 2 to part 5"));
    EXPECT_EQ(PartsWith(&NKPart::iDrawStyle, (int)NK_DRAW_LINES), (std::vector<int>{2, 5}));
    // Other range commands change the whole span.
    ASSERT_EQ(Run("unpost"), 0);
    EXPECT_TRUE(Said("Hide part 1 to part 10."));
    EXPECT_EQ(Run("post sel"), 0);
    EXPECT_TRUE(Said("Display part 2 to part 5."));
    EXPECT_EQ(PartsWith(&NKPart::bVisible, (uint8_t)1), (std::vector<int>{2, 3, 4, 5}));
    ASSERT_EQ(Run("unpost"), 0);
    EXPECT_EQ(Run("post unsel"), 0);
    EXPECT_TRUE(Said("Display part 1 to part 10."));
    EXPECT_EQ(PartsWith(&NKPart::bVisible, (uint8_t)0), std::vector<int>{});
    // Nothing selected: the parser's message as the command's error.
    Part(2).bSelected = Part(5).bSelected = 0;
    EXPECT_EQ(Run("smooth sel"), 1);
    EXPECT_TRUE(Said("smooth: Tried to operate on selected parts, but no selected parts were found",
                     NK_MSG_ERROR));
    EXPECT_EQ(Run("post 5 2"), 1);
    EXPECT_TRUE(Said("post: Illegal part range 5 2  (legal range 1 -> 10)", NK_MSG_ERROR));
}

TEST_F(PartDisplayCommands, ResetRowsTouchOnlyTheirOwnStyle)
{
    MakeParts(2, 10);
    struct Case {
        const char *pszLine;
        const char *pszMessage;
        int aiStylesAfter[5];  // parts 1 to 5, starting from 1, 2, 3, 4, 0
    } cases[] = {
        {"nolines 1 10", "Turning lines off for part 1 to part 10", {0, 2, 3, 4, 0}},
        {"nodots 1 10", "Turning points off for part 1 to part 10", {1, 0, 3, 4, 0}},
        {"nopoints", "Turning points off for part 1 to part 10", {1, 0, 3, 4, 0}},
        {"nooutline 1 10", "Disabled drawing of outlines for parts 1 to 10", {1, 2, 0, 4, 0}},
        {"nohiddenlines", "Disabled hidden line removal for parts 1 to 10", {1, 2, 3, 0, 0}},
        {"surface 2 4", "Turning surface on for part 2 to part 4", {1, 0, 0, 0, 0}},
        {"dots 5", "Turning points on for part 5 to part 5", {1, 2, 3, 4, 2}},
        {"points 5", "Turning points on for part 5 to part 5", {1, 2, 3, 4, 2}},
        {"outline 5", "Enabled drawing of outlines for parts 5 to 5", {1, 2, 3, 4, 3}},
        {"hiddenlines 5", "Enabled hidden line removal for parts 5 to 5", {1, 2, 3, 4, 4}},
    };
    for (const Case &c : cases) {
        for (int i = 1; i <= 5; i++) Part(i).iDrawStyle = i % 5;
        g_pModel->pFrames[1].pGeometry->partLists.bValid = 1;
        EXPECT_EQ(Run(c.pszLine), 0) << c.pszLine;
        EXPECT_TRUE(Said(c.pszMessage)) << c.pszLine << "\n" << m_Capture.Text();
        for (int i = 1; i <= 5; i++)
            EXPECT_EQ(Part(i).iDrawStyle, c.aiStylesAfter[i - 1]) << c.pszLine << " part " << i;
        EXPECT_EQ(g_pModel->pFrames[1].pGeometry->partLists.bValid, 0) << c.pszLine;
    }
}

TEST_F(PartDisplayCommands, SpanFlagsAndSwap)
{
    MakeParts(1, 10);
    struct Case {
        const char *pszLine;
        const char *pszMessage;
        uint8_t NKPart::*pFlag;
        std::vector<int> on;
    } cases[] = {
        {"smooth 2 3", "Gouraud shading turned on for part 2 to part 3.", &NKPart::bSmooth, {2, 3}},
        {"unsmooth 3", "Flat shading turned on for part 3 to part 3.", &NKPart::bSmooth, {2}},
        {"nosmooth", "Flat shading turned on for part 1 to part 10.", &NKPart::bSmooth, {}},
        {"mesh -1",
         "Turn on drawing of polygon mesh lines for part 10 to part 10",
         &NKPart::bMesh,
         {10}},
        {"nomesh 0 0",
         "Turn off drawing of polygon mesh lines for part 1 to part 10",
         &NKPart::bMesh,
         {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Run(c.pszLine), 0) << c.pszLine;
        EXPECT_TRUE(Said(c.pszMessage)) << c.pszLine << "\n" << m_Capture.Text();
        EXPECT_EQ(PartsWith(c.pFlag, (uint8_t)1), c.on) << c.pszLine;
    }
    Part(3).bVisible = 0;
    EXPECT_EQ(Run("swapparts"), 0);
    EXPECT_TRUE(Said("Part visibilities swapped."));
    EXPECT_EQ(PartsWith(&NKPart::bVisible, (uint8_t)1), std::vector<int>{3});
    EXPECT_EQ(Run("swapparts"), 0);
    EXPECT_EQ(PartsWith(&NKPart::bVisible, (uint8_t)0), std::vector<int>{3});
}

TEST_F(PartDisplayCommands, LockedPartsKeepTheirDrawStyleOnly)
{
    MakeParts(1, 10);
    for (int i = 1; i <= 4; i++) Part(i).bLockAttributes = 1;
    EXPECT_EQ(Run("lines 1 10"), 0);
    EXPECT_TRUE(Said("Turning lines on for part 5 to part 10"));
    EXPECT_EQ(PartsWith(&NKPart::iDrawStyle, (int)NK_DRAW_LINES),
              (std::vector<int>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Run("lines 2 4"), 1);
    EXPECT_TRUE(Said("lines: All parts in specified range (2 to 4) are locked", NK_MSG_ERROR));
    EXPECT_EQ(PartsWith(&NKPart::iDrawStyle, (int)NK_DRAW_LINES),
              (std::vector<int>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Run("mesh 1 10"), 0);
    EXPECT_EQ(PartsWith(&NKPart::bMesh, (uint8_t)1).size(), 10u);
}

TEST_F(PartDisplayCommands, OutlineMeshColourAndDefaultFlag)
{
    MakeParts(1, 10);
    Part(1).bOutlineMeshDefaultColor = 1;
    EXPECT_EQ(Run("outlinemesh 1 3 255 0 0"), 0);
    EXPECT_TRUE(Said("Enabled drawing of outline mesh for parts 1 to 3"));
    for (int i = 1; i <= 3; i++) {
        EXPECT_EQ(Part(i).bOutlineMesh, 1);
        EXPECT_EQ(Part(i).bOutlineMeshDefaultColor, 0);
        EXPECT_EQ(Part(i).uOutlineMeshColor[0], 255);
        EXPECT_EQ(Part(i).uOutlineMeshColor[1], 0);
    }
    EXPECT_EQ(Run("outlinemesh 2 2 255 0 -1"), 0);
    EXPECT_EQ(Part(2).bOutlineMeshDefaultColor, 1);
    EXPECT_EQ(Run("outlinemesh 4 4"), 0);
    EXPECT_EQ(Part(4).bOutlineMesh, 1);
    EXPECT_EQ(Part(4).bOutlineMeshDefaultColor, 1);
    EXPECT_EQ(Run("nooutlinemesh 1 2"), 0);
    EXPECT_TRUE(Said("Disabled drawing of outline mesh for parts 1 to 2"));
    EXPECT_EQ(PartsWith(&NKPart::bOutlineMesh, (uint8_t)1), (std::vector<int>{3, 4}));
}

TEST_F(PartDisplayCommands, NoPartArrayGoesToTheTraceAndFails)
{
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    g_pModel->pFrames[0].pGeometry = NKCreateGeometry(0);
    g_pModel->pFrames[0].pGeometry->iNumRef = 1;
    ASSERT_EQ(g_pModel->pFrames[0].pGeometry->pParts, nullptr);
    struct Case {
        const char *pszLine, *pszMessage, *pszConstant;
    } cases[] = {
        {"outline", "Error enabling outline, no parts found.", "NK_CID_OUTLINE"},
        {"nooutline", "Error disabling outline, no parts found.", "NK_CID_NOOUTLINE"},
        {"outlinemesh", "Error enabling outline, no parts found.", "NK_CID_OUTLINEMESH"},
        {"nooutlinemesh", "Error disabling outline, no parts found.", "NK_CID_NOOUTLINEMESH"},
        {"hiddenlines", "Error enabling outline, no parts found.", "NK_CID_HIDDENLINES"},
        {"nohiddenlines", "Error disabling outline, no parts found.", "NK_CID_NOHIDDENLINES"},
        {"outwardnormals", "Error orienting normals, no parts found.", "NK_CID_OUTWARDNORMALS"},
    };
    for (const Case &c : cases) {
        NKResetDiagnostics();
        EXPECT_EQ(Run(c.pszLine), 1) << c.pszLine;
        EXPECT_STREQ(NKGetLastDiagnostic(), c.pszMessage) << c.pszLine;
        EXPECT_STREQ(NKGetLastDiagnosticFunction(), c.pszConstant) << c.pszLine;
    }
}

TEST_F(PartDisplayCommands, GlobalSettingsAndTheirRefusals)
{
    MakeParts(1, 10);
    struct Case {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
        int iLevel;
    } cases[] = {
        {"meshfactor 0.25", 0, "Meshfactor set to 0.25 (default 0.0005)", NK_MSG_INFO},
        {"meshfactor 2", 1, "meshfactor: Illegal meshfactor 2.000000  (legal range -1.0 -> 1.0)",
         NK_MSG_ERROR},
        {"meshfactor nan", 1, "meshfactor: Illegal meshfactor nan  (legal range -1.0 -> 1.0)",
         NK_MSG_ERROR},
        {"highordermode triangles", 0, "Draw high order elements by tesselating into triangles.",
         NK_MSG_INFO},
        {"highordermode skip x", 1, "highordermode: Illegal parameter specified", NK_MSG_ERROR},
        {"highordermode", 1, "highordermode: Illegal parameter specified", NK_MSG_ERROR},
        {"macro", 1, "macro: Illegal parameter specified", NK_MSG_ERROR},
        {"meshcolor 10 20", 0, "Set mesh color to red=10 green=20 blue=0", NK_MSG_INFO},
        {"vectcolor 1 2 3", 0, "Set vector arrow color to red=1 green=2 blue=3", NK_MSG_INFO},
        {"vectcolor scalar", 0, "Enable coloring of vectors by scalar values.", NK_MSG_INFO},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Run(c.pszLine), c.iResult) << c.pszLine;
        EXPECT_TRUE(Said(c.pszMessage, c.iLevel)) << c.pszLine << "\n" << m_Capture.Text();
    }
    EXPECT_FLOAT_EQ(g_fMeshDepthFactor, 0.25f);  // the refused factors left it
    EXPECT_EQ(g_iHighOrderMode, NK_HIGH_ORDER_TRIANGLES);
    EXPECT_EQ(g_uMeshColor[1], 20);
    EXPECT_EQ(g_VectorSettings.uColor[2], 3);
    EXPECT_EQ(g_VectorSettings.bScalarColor, 1);
    EXPECT_EQ(Run("vectcolor noscalar"), 0);
    EXPECT_TRUE(Said("Disable coloring of vectors by scalar values."));
    EXPECT_EQ(g_VectorSettings.bScalarColor, 0);
    EXPECT_EQ(Run("meshfactor"), 0);
    EXPECT_FLOAT_EQ(g_fMeshDepthFactor, 0.0005f);
    EXPECT_EQ(Run("highordermode raw"), 0);
    EXPECT_TRUE(Said("Draw high order elements using all nodes."));
    EXPECT_EQ(g_iHighOrderMode, NK_HIGH_ORDER_RAW);
}

TEST_F(PartDisplayCommands, CreaseAngleWithoutAModelIsClampedAndKeptInRadians)
{
    EXPECT_EQ(Run("outline creaseangle 200"), 0);
    EXPECT_TRUE(Said("Outline edges crease angle set to 180.00"));
    EXPECT_NEAR(g_pGraphicsSettings->fOutlineCreaseAngle, 3.14159265f, 1e-6f);
    EXPECT_EQ(Run("outline creaseangle -5"), 0);
    EXPECT_FLOAT_EQ(g_pGraphicsSettings->fOutlineCreaseAngle, 0.0f);
    EXPECT_EQ(Run("outline creaseangle"), 1);
    EXPECT_FLOAT_EQ(g_pGraphicsSettings->fOutlineCreaseAngle, 0.0f);
    // No model to scale: refused.
    EXPECT_EQ(Run("scalemodel 2"), 1);
    EXPECT_TRUE(Said("scalemodel: Error scaling model coordinates", NK_MSG_ERROR));
}

TEST_F(PartDisplayCommands, DuplicateNodesOfTwoQuadsBecomeShared)
{
    // Quad 0-1-2-3 and quad 4-5-6-7, nodes 4 and 5 on top of 1 and 2.
    const float afCoords[24] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,
                                1, 0, 0, 1, 1, 0, 2, 1, 0, 2, 0, 0};
    g_pModel->pFrames = NKAllocFrameArray(1);
    g_pModel->iNumFrames = 1;
    g_pModel->fGeoScale = 1.0f;
    NKGeometry *pGeo = NKCreateGeometry(1);
    pGeo->iNumRef = 1;
    g_pModel->pFrames[0].pGeometry = pGeo;
    NKPart &part = pGeo->pParts[0];
    part.iNumNodes = 8;
    part.iNumPolygons = 2;
    part.iNumConnects = 8;
    part.pNodeCoords = static_cast<float *>(NKAlloc(sizeof(afCoords)));
    std::memcpy(part.pNodeCoords, afCoords, sizeof(afCoords));
    part.pConnects = static_cast<int *>(NKAlloc(8 * sizeof(int)));
    for (int i = 0; i < 8; i++) part.pConnects[i] = i;
    part.pPolygonStart = static_cast<int *>(NKAlloc(2 * sizeof(int)));
    part.pPolygonStart[0] = 0;
    part.pPolygonStart[1] = 4;
    part.pPolygonNumNodes = static_cast<int *>(NKAlloc(2 * sizeof(int)));
    part.pPolygonNumNodes[0] = part.pPolygonNumNodes[1] = 4;
    part.pNodeType = static_cast<uint8_t *>(NKAlloc(8));
    std::memset(part.pNodeType, 1, 8);
    part.bVisible = 1;
    EXPECT_EQ(Run("removeduplicatenodes 1 1"), 0);
    EXPECT_TRUE(Said("Duplicate nodes removed for for parts 1 to 1"));
    const int aiExpected[8] = {0, 1, 2, 3, 1, 2, 6, 7};
    for (int i = 0; i < 8; i++) EXPECT_EQ(part.pConnects[i], aiExpected[i]) << i;
    EXPECT_EQ(Run("removeduplicatenodes 2"), 1);
    EXPECT_TRUE(
        Said("removeduplicatenodes: Illegal part range 2 2  (legal range 1 -> 1)", NK_MSG_ERROR));
}

TEST_F(PartDisplayCommands, NodeIdsNeedANodeMapAndOutwardNormalsSaysNothing)
{
    MakeParts(2, 2);
    EXPECT_EQ(Run("createbyunodeids"), 1);
    EXPECT_TRUE(Said("createbyunodeids: Error creating global node IDs", NK_MSG_ERROR));
    for (int p = 1; p <= 2; p++) {
        Part(p).pNodeMap = static_cast<int *>(NKAlloc(4 * sizeof(int)));
        for (int i = 0; i < 4; i++) Part(p).pNodeMap[i] = 10 * p + i;
    }
    EXPECT_EQ(Run("createbyunodeids"), 0);
    EXPECT_TRUE(Said("Global node IDs created"));
    ASSERT_NE(Part(2).pNodeIDs, nullptr);
    EXPECT_EQ(Part(2).pNodeIDs[3], 24);
    EXPECT_EQ(Run("outwardnormals 1 2"), 0);
    for (const CapturedLine &l : m_Capture.Lines()) {
        if (l.text.find_first_not_of('\n') == std::string::npos) continue;
        EXPECT_EQ(l.text.rfind("> ", 0), 0u) << "unexpected message: " << l.text;
    }
    EXPECT_EQ(Run("outwardnormals 3"), 1);
}

TEST_F(PartDisplayCommands, FixedViewpointSpeedUpStandIn)
{
    MakeParts(1, 10);
    // No drawing here: the analysis' read-back is tested with a context.
    NKLoadHooks hooks = NKGetLoadHooks();
    hooks.pfnDrawScene = nullptr;
    NKSetLoadHooks(hooks);
    EXPECT_EQ(Run("hpc"), 0);
    EXPECT_TRUE(m_Capture.Contains("Computing fixed viewpoint animation speedup\n  max distinct "
                                   "IDs: 16777215  (r:8 g:8 b:8)"))
        << m_Capture.Text();
    g_HiddenPartCuller.uBits[2] = 2;
    g_HiddenPartCuller.uBits[0] = g_HiddenPartCuller.uBits[1] = 3;
    EXPECT_EQ(Run("hpc"), 1);
    EXPECT_TRUE(Said("hpc: There is not enough colors to calculate fixed viewpoint speedup "
                     "(needs more than 256 colors)",
                     NK_MSG_ERROR));
    g_HiddenPartCuller.uBits[2] = 3;
    EXPECT_EQ(Run("hpc"), 0);
    EXPECT_TRUE(m_Capture.Contains("Computing fixed viewpoint animation speedup\n  max distinct "
                                   "IDs: 511  (r:3 g:3 b:3)"));
    EXPECT_EQ(Run("nohp"), 0);
    EXPECT_TRUE(Said("Disable fixed viewpoint animation speed-up"));
    EXPECT_EQ(g_bHiddenCullingOn, 0);
    EXPECT_EQ(Run("hp"), 0);
    EXPECT_TRUE(Said("Enable fixed viewpoint animation speed-up"));
    EXPECT_EQ(g_bHiddenCullingOn, 1);
    EXPECT_EQ(Run("hpc debug"), 0);
    EXPECT_TRUE(Said("Debugging HPC"));
    EXPECT_EQ(Run("nohp"), 0);
    EXPECT_TRUE(Said("Command has no effect in debug mode"));
    EXPECT_EQ(g_bHiddenCullingOn, 1);
}

TEST_F(PartDisplayCommands, LevelOfDetailIsOffAndMacrosGoOn)
{
    MakeParts(1, 10);
    struct Case {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
        int iLevel;
    } cases[] = {
        {"lod", 0, "LOD system is disabled, no information available", NK_MSG_INFO},
        {"lod dump", 0, "LOD system is disabled, no information available", NK_MSG_INFO},
        {"lod level 1", 1, "lod level: LOD system is disabled, unable to set level", NK_MSG_ERROR},
        {"lod fps 5", 1, "lod fps: LOD system is disabled, unable to execute command",
         NK_MSG_ERROR},
        {"lod nofps", 1, "lod nofps: LOD system is disabled, unable to execute command",
         NK_MSG_ERROR},
        {"lod pickset 2", 1, "lod pickset: LOD system is disabled, unable to execute command",
         NK_MSG_ERROR},
        {"lod nopickset", 1, "lod nopickset: LOD system is disabled, unable to execute command",
         NK_MSG_ERROR},
        {"lod pixelthreshold 5", 0, "Pixel threshold set to 5", NK_MSG_INFO},
        {"lod pixelthreshold", 1,
         "lod pixelthreshold: Parameter missing or illegal parameter specification", NK_MSG_ERROR},
        {"lod automatic", 0, "LOD update mode set to automatic", NK_MSG_INFO},
        {"lod manual", 0, "LOD update mode set to manual", NK_MSG_INFO},
        {"macro list", 0, "No macros currently registered", NK_MSG_INFO},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Run(c.pszLine), c.iResult) << c.pszLine;
        EXPECT_TRUE(Said(c.pszMessage, c.iLevel)) << c.pszLine << "\n" << m_Capture.Text();
    }
    EXPECT_EQ(g_pLodManager->m_fPixelThreshold, 5.0f);
    EXPECT_FALSE(g_pLodManager->m_bAutomatic);
}

}  // namespace

TEST_F(PartDisplayCommands, LevelOfDetailCommandsWhileTheManagerIsOn)
{
    MakeParts(1, 3);
    NKFrame &frame = g_pModel->pFrames[0];
    frame.ppVisibility = static_cast<uint8_t **>(NKCalloc(3, sizeof(uint8_t *)));
    for (int p = 0; p < 3; p++) frame.ppVisibility[p] = static_cast<uint8_t *>(NKCalloc(1, 1));
    frame.ppVisibility[0][0] = 4;  // part 1 has a level 1
    NKSetupLevelOfDetail();
    ASSERT_EQ(g_pLodManager->m_bEnabled, 1);
    struct Case {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
        int iLevel;
    } cases[] = {
        {"lod", 0,
         "LOD information\n  manual LOD mode\n  min level: 0 (highest resolution)\n  max level: 1 "
         "(lowest resolution)\n  vertex resolution: 0.000000\n  target FPS: 5 (disabled)\n  "
         "pixel threshold: 0",
         NK_MSG_INFO},
        {"lod level", 1, "lod level: No parameters specified", NK_MSG_ERROR},
        {"lod level -1", 1, "lod level: Illegal range for LOD level, min level is 0", NK_MSG_ERROR},
        {"lod level 3 1 2", 0, "Setting to max available level 1 (lowest res)", NK_MSG_INFO},
        {"lod pickset 5", 1, "lod pickset: Illegal range for LOD level, legal range is 0 to 1",
         NK_MSG_ERROR},
        {"lod pickset 1", 0, "Setting of LOD level on pick enabled (level 1)", NK_MSG_INFO},
        {"lod fps 0.5", 1, "lod fps: Illegal value for target FPS, min. legal value is 1.0",
         NK_MSG_ERROR},
        {"lod fps 8", 0, "Target FPS for LOD enabled (target FPS 8)", NK_MSG_INFO},
        {"lod nofps", 0, "Target FPS for LOD disabled (target FPS 8)", NK_MSG_INFO},
        {"lod dump", 0, "LOD information info output in file: lodinfo.txt", NK_MSG_INFO},
    };
    // The dump goes to the current folder: the test's own, since the render
    // programs, one test a process and whole, run this test at once.
    const std::string dir = NKTestMakeTempDir("quolin_lod_dump_");
    ASSERT_FALSE(dir.empty());
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    for (const Case &c : cases) {
        EXPECT_EQ(Run(c.pszLine), c.iResult) << c.pszLine;
        // The information is one message of several lines.
        EXPECT_TRUE(Said(c.pszMessage, c.iLevel) || m_Capture.Contains(c.pszMessage))
            << c.pszLine << "\n"
            << m_Capture.Text();
    }
    std::filesystem::current_path(before);
    EXPECT_NE(NKTestReadFile(dir + "/lodinfo.txt"), "");
    EXPECT_TRUE(NKTestRemoveDir(dir));
    EXPECT_EQ(Part(1).uLodLevel, 4);  // level 3 asked, the part's coarsest is 1
    EXPECT_EQ(Part(2).uLodLevel, 0);  // part 2 has level 0 only
    EXPECT_EQ(g_pLodManager->m_bSetOnPick, 1);
    EXPECT_EQ(g_pLodManager->m_bAutomatic, 0);
}
