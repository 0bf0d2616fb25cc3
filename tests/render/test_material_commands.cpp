// tests/render/test_material_commands.cpp -- the material and rendering-mode
// handlers through the interpreter on models of square parts: the messages
// the user sees, the records they change and the refusals that change
// nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_export_items.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_image_record.h"
#include "core/nk_memory.h"
#include "core/nk_part_palette.h"
#include "core/nk_render_state.h"
#include "readers/nk_boundary_conditions.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_background.h"
#include "render/nk_material_commands.h"
#include "render/nk_overlays.h"
#include "render/nk_primitives.h"
#include "render/nk_render_mode_commands.h"
#include "render/nk_text.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"
#include "tests/render/render_fixture.h"
#include "tests/test_support/message_capture.h"

namespace {

class MaterialCommands : public NKRenderModelTest {
protected:
    void SetUp() override
    {
        NKRenderModelTest::SetUp();
        NKRegisterMaterialCommands();
        NKRegisterRenderModeCommands();
        *g_pListUpdateInfo = NKListUpdateInfo();
    }
    void TearDown() override
    {
        for (int s : {NK_HANDLER_MATERIAL, NK_HANDLER_RENDER_FIX, NK_HANDLER_LINE_STYLE,
                      NK_HANDLER_COMPLEX, NK_HANDLER_BOUNDARY, NK_HANDLER_BACKGROUND})
            NKSetCommandHandler(s, nullptr);
        std::memcpy(NKPartPalette, NKStartupPartPalette, sizeof(NKPartPalette));
        g_RendererWorkarounds = NKRendererWorkarounds();
        g_bRotateText = 1;
        g_fPhaseAngle = 0.0f;
        g_bComplexMagnitude = 1;
        g_iBoundaryLoadCase = 1;
        g_bBoundaryText = 0;
        g_fBoundaryConditionScale = 1.0f;
        std::memset(g_bShowBoundaryConditions, 0, sizeof(g_bShowBoundaryConditions));
        NKResetBackgroundSettings(g_pBackgroundSettings, NK_BACKGROUND_RESET_STARTUP);
        g_BackgroundImage = NKBackgroundImage();
        NKClearTextureImageList(&TextureImageList);
        std::memset(g_uTextColor, 255, 3);
        g_VectorSettings = NKVectorSettings();
        *g_pListUpdateInfo = NKListUpdateInfo();
        NKRenderModelTest::TearDown();
    }
    // iFrames frames of iParts square parts; with bShared all frames share
    // one geometry, else each frame has its own.
    void MakeParts(int iFrames, int iParts, bool bShared)
    {
        static const float afGrey[3] = {0.5f, 0.5f, 0.5f};
        g_pModel->pFrames = NKAllocFrameArray(iFrames);
        g_pModel->iNumFrames = iFrames;
        g_pModel->fGeoScale = 1.0f;
        NKGeometry *pGeo = nullptr;
        for (int f = 0; f < iFrames; f++) {
            if (pGeo == nullptr || !bShared) {
                pGeo = NKCreateGeometry(iParts);
                for (int i = 0; i < iParts; i++)
                    NKTestMakeSquarePart(&pGeo->pParts[i], 0.5f, 0.1f * i, afGrey);
            }
            g_pModel->pFrames[f].pGeometry = pGeo;
            pGeo->iNumRef++;
        }
    }
    NKPart &Part(int iFrame, int iPart)
    {
        return g_pModel->pFrames[iFrame].pGeometry->pParts[iPart];
    }
    static int Run(const char *pszLine) { return ExecuteCommand(pszLine); }
};

// The lines captured apart from the interpreter's echo of each command.
std::vector<std::string> Said(const MessageCapture &capture)
{
    std::vector<std::string> out;
    for (const CapturedLine &l : capture.Lines())
        if (l.text.find_first_not_of('\n') != std::string::npos &&
            l.text.find("> ") == std::string::npos)
            out.push_back(l.text);
    return out;
}

TEST_F(MaterialCommands, ColorReachesEveryGeometryOnceAndFlagsItsParts)
{
    MakeParts(2, 3, false);
    MessageCapture capture;
    EXPECT_EQ(Run("color 0 0 300 0 0"), 0);
    for (int f = 0; f < 2; f++)
        for (int i = 0; i < 3; i++) {
            EXPECT_FLOAT_EQ(Part(f, i).material.ambient[0], 44 / 255.0f);
            EXPECT_FLOAT_EQ(Part(f, i).material.diffuse[0], 44 / 255.0f);
            EXPECT_FLOAT_EQ(Part(f, i).material.diffuse[1], 0.0f);
        }
    EXPECT_TRUE(capture.HasLine("Set color on part 1 to part 3 to red=44 green=0 blue=0"));
    *g_pListUpdateInfo = NKListUpdateInfo();
    EXPECT_EQ(Run("color 2 3 0 0 255"), 0);
    EXPECT_TRUE(
        capture.HasLine("Set color on part 2 to part 3 to red=0 green=0 blue=255", NK_MSG_INFO));
    EXPECT_TRUE(g_pListUpdateInfo->bMaterials);
    EXPECT_EQ(g_pListUpdateInfo->iMaterialFirst, 1);
    EXPECT_EQ(g_pListUpdateInfo->iMaterialLast, 2);
    EXPECT_FLOAT_EQ(Part(1, 0).material.ambient[2], 0.0f);
    EXPECT_FLOAT_EQ(Part(1, 2).material.ambient[2], 1.0f);
    EXPECT_EQ(Run("color 0"), 1);
    EXPECT_TRUE(
        capture.HasLine("color: Illegal part range 0 0  (legal range 1 -> 3)", NK_MSG_ERROR));
    EXPECT_FLOAT_EQ(Part(0, 2).material.ambient[2], 1.0f);
}

TEST_F(MaterialCommands, ReflectancesShininessAndAlpha)
{
    MakeParts(1, 3, true);
    MessageCapture capture;
    EXPECT_EQ(Run("ambient 1 1 2 0.5 -1"), 0);
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[1], 0.5f);
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[2], -1.0f);
    EXPECT_TRUE(
        capture.HasLine("Set ambient reflection on part 1 to part 1 to red=1 green=0.5 blue=-1"));
    EXPECT_EQ(Run("specular 2 3 0.25"), 0);
    EXPECT_FLOAT_EQ(Part(0, 2).material.specular[0], 0.25f);
    EXPECT_FLOAT_EQ(Part(0, 2).material.specular[1], 0.0f);
    EXPECT_TRUE(
        capture.HasLine("Set specular reflection on part 2 to part 3 to red=0.25 green=0 blue=0"));
    EXPECT_EQ(Run("shininess 0 0 300"), 0);
    EXPECT_EQ(Part(0, 1).material.shininess, 44);
    EXPECT_TRUE(capture.HasLine("Set shininess on part 1 to part 3 to 44"));
    EXPECT_EQ(Run("alpha 1 3 0.5"), 0);
    for (int i = 0; i < 3; i++) EXPECT_EQ(Part(0, i).material.alpha, 127);
    EXPECT_TRUE(capture.HasLine("Transparency factor set for part 1 to part 3 to 0.5"));
    for (const char *psz : {"alpha 1 3 1.5", "alpha 1 3", "alpha 1 3 -0.1", "alpha 1 3 x"}) {
        capture.Clear();
        EXPECT_EQ(Run(psz), 1) << psz;
        EXPECT_TRUE(capture.HasLine("alpha: Parameter missing or illegal parameter specification",
                                    NK_MSG_ERROR))
            << psz;
        EXPECT_EQ(Part(0, 0).material.alpha, 127) << psz;
    }
    EXPECT_EQ(Run("transparent 2 2"), 0);
    EXPECT_TRUE(capture.HasLine("Set transparency on for part 2 to part 2"));
    EXPECT_EQ(Part(0, 1).bTransparent, 1);
    *g_pListUpdateInfo = NKListUpdateInfo();
    EXPECT_EQ(Run("notransparent"), 0);
    EXPECT_TRUE(capture.HasLine("Turn off transparency for part 1 to part 3"));
    EXPECT_EQ(Part(0, 1).bTransparent, 0);
    EXPECT_FALSE(g_pListUpdateInfo->bMaterials);
    EXPECT_EQ(Run("transparent fast"), 0);
    EXPECT_EQ(g_pViewSettings->bTransparentFast, 1);
    EXPECT_TRUE(capture.HasLine("Drawing transparent parts without sorting of polygons."));
    EXPECT_EQ(Run("transparent nice"), 0);
    EXPECT_EQ(g_pViewSettings->bTransparentFast, 0);
    EXPECT_TRUE(capture.HasLine("Sorting polygons to achieve better transparency."));
}

TEST_F(MaterialCommands, LockedPartsAreSkippedOrRefused)
{
    MakeParts(1, 10, true);
    for (int i = 3; i < 10; i++) {
        NKPart &p = Part(0, i);
        p.pElements = static_cast<NKElement *>(NKCalloc(1, sizeof(NKElement)));
        p.iNumElements = 1;
    }
    MessageCapture capture;
    EXPECT_EQ(Run("lockattributes -2"), 0);
    EXPECT_TRUE(capture.HasLine("Locking part attributes for part range 1 to 8"));
    EXPECT_EQ(Part(0, 7).bLockAttributes, 1);
    EXPECT_EQ(Part(0, 8).bLockAttributes, 0);
    EXPECT_EQ(Run("lockattributes 0"), 1);
    EXPECT_TRUE(capture.HasLine("lockattributes: Illegal part number 0  (legal range 1 -> 10)",
                                NK_MSG_ERROR));
    EXPECT_EQ(Run("lockattributes 11"), 1);
    EXPECT_EQ(Part(0, 7).bLockAttributes, 1);
    EXPECT_EQ(Run("lockattributes ifs"), 0);
    EXPECT_TRUE(capture.HasLine("Locking part attributes for part range 1 to 3"));
    EXPECT_EQ(Part(0, 2).bLockAttributes, 1);
    EXPECT_EQ(Part(0, 3).bLockAttributes, 0);
    EXPECT_EQ(Run("lockattributes 4"), 0);
    EXPECT_EQ(Run("color 1 10 255 0 0"), 0);
    EXPECT_TRUE(capture.HasLine("Set color on part 5 to part 10 to red=255 green=0 blue=0"));
    EXPECT_FLOAT_EQ(Part(0, 3).material.ambient[0], 0.5f);
    EXPECT_FLOAT_EQ(Part(0, 4).material.ambient[0], 1.0f);
    EXPECT_EQ(Run("color 2 4 0 255 0"), 1);
    EXPECT_TRUE(
        capture.HasLine("color: All parts in specified range (2 to 4) are locked", NK_MSG_ERROR));
    EXPECT_FLOAT_EQ(Part(0, 1).material.ambient[1], 0.5f);
    EXPECT_EQ(Run("nolockattributes"), 0);
    EXPECT_TRUE(capture.HasLine("Disabled part attribute locking"));
    EXPECT_EQ(Part(0, 0).bLockAttributes, 0);
    EXPECT_EQ(Run("color 2 4 0 255 0"), 0);
}

TEST_F(MaterialCommands, PalettesRecolourEveryPartAndSetEmission)
{
    MakeParts(2, 3, true);
    MessageCapture capture;
    EXPECT_EQ(Run("oldpartcolors"), 0);
    EXPECT_TRUE(capture.HasLine("Using old part colors."));
    EXPECT_FLOAT_EQ(Part(0, 2).material.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(Part(0, 2).material.diffuse[1], 1.0f);
    EXPECT_FLOAT_EQ(Part(0, 2).material.diffuse[2], 0.0f);
    for (int i = 0; i < 3; i++) EXPECT_FLOAT_EQ(Part(1, i).material.emission[0], 0.0f);
    EXPECT_EQ(NKPartPalette[7][2], 255);
    EXPECT_EQ(g_pListUpdateInfo->iMaterialFirst, -1);
    EXPECT_TRUE(g_pListUpdateInfo->bMaterials);
    EXPECT_EQ(Run("newpartcolors"), 0);
    EXPECT_TRUE(capture.HasLine("Not using old part colors."));
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[0], 76 / 255.0f);
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[1], 0.0f);
    EXPECT_FLOAT_EQ(Part(0, 0).material.ambient[2], 10 / 255.0f);
    for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(Part(0, 1).material.emission[k], 0.3f);
}

TEST_F(MaterialCommands, SwitchesSetTheirSettingsAndSayWhat)
{
    MakeParts(1, 2, true);
    struct Row {
        const char *pszLine;
        const uint8_t *pByte;
        uint8_t uValue;
        const char *pszMessage;
    };
    NKGraphicsSettings &g = *g_pGraphicsSettings;
    NKViewSettings &v = *g_pViewSettings;
    const Row rows[] = {
        {"cull", &g.bCull, 0, "One-sided lighting turned on"},
        {"nocull", &g.bCull, 1, "Two-sided lighting turned on"},
        {"backface", &g.bBackface, 1, "Enable backfacing polygon elimination"},
        {"nobackface", &g.bBackface, 0, "Disable backfacing polygon elimination"},
        {"partnames", &v.bShowPartNames, 1, "Display of part names enabled."},
        {"nopartnames", &v.bShowPartNames, 0, "Display of part names disabled."},
        {"noocclusioncull", &v.bOcclusionCull, 0, "Disable occlusion culling."},
        {"nofrustumcull", &v.bFrustumCull, 0, "Disable view frustum culling."},
        {"linesmooth", &g.bLineSmooth, 1, "Enable line antialising"},
        {"nolinesmooth", &g.bLineSmooth, 0, "Turn off line antialising (default)"},
        {"pointsmooth", &g.bPointSmooth, 1, "Enable point antialising"},
        {"nopointsmooth", &g.bPointSmooth, 0, "Disable point antialising (default)"},
        {"nocomplex_magnitude", &g_bComplexMagnitude, 0,
         "Disable magnitude for complex results (use phase_angle)"},
        {"complex_amplitude", &g_bComplexMagnitude, 1, "Enable magnitude for complex results"},
        {"bctext", &g_bBoundaryText, 1, "Turn on drawing of boundary conditions text"},
        {"nobctext", &g_bBoundaryText, 0, "Turn off drawing of boundary conditions text"},
        {"bcdis", &g_bShowBoundaryConditions[0], 1, "Turn on drawing of node displacements"},
        {"nobcdis", &g_bShowBoundaryConditions[0], 0, "Turn off drawing of node displacements"},
        {"bcforce", &g_bShowBoundaryConditions[1], 1, "Turn on drawing of node forces"},
        {"nobcforce", &g_bShowBoundaryConditions[1], 0, "Turn off drawing of node forces"},
        {"bcload", &g_bShowBoundaryConditions[3], 1, "Turn on drawing of distributed loads"},
        {"nobcload", &g_bShowBoundaryConditions[2], 0, "Turn off drawing of distributed loads"},
        {"boundary", &v.bShowBoundary, 1, "Turn on drawing of boundary conditions"},
        {"noboundary", &v.bShowBoundary, 0, "Turn off drawing of boundary conditions"},
        {"fix quad", &g_RendererWorkarounds.bQuadsAsPolygons, 1,
         "Turning on drawing of quads as polygons."},
        {"fix noquad", &g_RendererWorkarounds.bQuadsAsPolygons, 0,
         "Turning off drawing of quads as polygons."},
        {"fix lineclip", &g_RendererWorkarounds.bLineClipFix, 1,
         "Drawing lines one at a time to avoid line clipping bug."},
        {"fix nolineclip", &g_RendererWorkarounds.bLineClipFix, 0, "Line cliping fix turned off."},
        {"fix bytenormals", &g.bDisplayFlag, 1, "Specifying OpenGL normals as byte values."},
        {"fix floatnormals", &g.bDisplayFlag, 0,
         "Specifying OpenGL normals as floating point values."},
        {"fix notexturebackground", &g_RendererWorkarounds.bBackgroundTextureMapping, 0,
         "Not using texture mapping to draw background image."},
        {"fix texturebackground", &g_RendererWorkarounds.bBackgroundTextureMapping, 1,
         "Using texture mapping to draw background image."},
        {"fix triangles", &g_RendererWorkarounds.bTrianglesOnly, 1,
         "Drawing polygon as only triangles."},
        {"fix notriangles", &g_RendererWorkarounds.bTrianglesOnly, 0,
         "Not drawing polygon as only triangles."},
    };
    for (const Row &r : rows) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), 0) << r.pszLine;
        EXPECT_EQ(*r.pByte, r.uValue) << r.pszLine;
        EXPECT_TRUE(capture.HasLine(r.pszMessage, NK_MSG_INFO))
            << r.pszLine << ": " << capture.Text();
    }
    g.bChanged = 0;
    EXPECT_EQ(Run("backface"), 0);
    EXPECT_EQ(g.bChanged, 1);
    g.bChanged = 0;
    EXPECT_EQ(Run("cull"), 0);
    EXPECT_EQ(g.bChanged, 0);
    EXPECT_EQ(Run("bc 3"), 0);
    EXPECT_EQ(g_iBoundaryLoadCase, 3);
    EXPECT_EQ(Run("bc"), 0);
    EXPECT_EQ(g_iBoundaryLoadCase, 1);
    MessageCapture capture;
    EXPECT_EQ(Run("bcscale 2.5"), 0);
    EXPECT_EQ(Run("bcscale"), 0);
    EXPECT_FLOAT_EQ(g_fBoundaryConditionScale, 2.5f);
    EXPECT_TRUE(capture.HasLine("Setting boundary conditions scaling factor to: 2.5"));
}

TEST_F(MaterialCommands, FixWordsThatSayNothingAndTheInfoList)
{
    MessageCapture capture;
    EXPECT_EQ(Run("fix norotatetext"), 0);
    EXPECT_EQ(g_bRotateText, 0);
    EXPECT_EQ(g_RendererWorkarounds.bRotatedPlotText, 0);
    EXPECT_EQ(Run("fix rotatetext"), 0);
    EXPECT_EQ(g_bRotateText, 1);
    EXPECT_EQ(Run("fix redrawonmove"), 0);
    EXPECT_EQ(Run("fix"), 0);
    EXPECT_EQ(Run("fix nonsense"), 0);
    EXPECT_TRUE(Said(capture).empty()) << capture.Text();
    EXPECT_EQ(Run("fix quad"), 0);
    capture.Clear();
    EXPECT_EQ(Run("fix info"), 0);
    for (const char *psz :
         {"Current settings:", "Quads as Polygons: 1", "Line clip fix: 0", "Byte normals: 0",
          "Use rotated fonts: 1", "Texture mapping for background polygon: 1",
          "Draw all polygons as triangles: 0"})
        EXPECT_TRUE(capture.HasLine(psz)) << psz << "\n" << capture.Text();
    EXPECT_TRUE(capture.Contains("Polygon offset: "));
    EXPECT_TRUE(capture.Contains("Meshfactor: "));
}

TEST_F(MaterialCommands, FrustumCullKeepsItsChoicesAndPolymodeIsObsolete)
{
    MessageCapture capture;
    EXPECT_EQ(Run("frustumcull best info"), 0);
    EXPECT_TRUE(capture.HasLine("Enable view frustum culling (best)., show info"));
    EXPECT_EQ(g_pViewSettings->bFrustumCull, 1);
    EXPECT_EQ(g_pViewSettings->iFrustumCullMethod, 1);
    capture.Clear();
    EXPECT_EQ(Run("frustumcull"), 0);
    EXPECT_TRUE(capture.HasLine("Enable view frustum culling (best)., show info"));
    EXPECT_EQ(Run("frustumcull fast noinfo"), 0);
    EXPECT_TRUE(capture.HasLine("Enable view frustum culling (fast)."));
    EXPECT_EQ(g_pViewSettings->bFrustumCullInfo, 0);
    MakeParts(1, 1, true);
    capture.Clear();
    EXPECT_EQ(Run("polymode 1"), 0);
    EXPECT_TRUE(
        capture.HasLine("polymode: Command is obsolete and not longer in use!", NK_MSG_WARNING));
}

TEST_F(MaterialCommands, SizesAnglesAndTheirRefusals)
{
    MakeParts(1, 3, true);
    g_pModel->fGeoScale = 0.1f;
    struct Row {
        const char *pszLine;
        int iResult;
        const char *pszMessage;
    };
    const Row rows[] = {
        {"phase_angle 400", 0, "Phase angle for complex results: 359"},
        {"phase_angle -5", 0, "Phase angle for complex results: 0"},
        {"linewidth 0", 0, "Set linewidth to 1 pixels (Default: 1)"},
        {"linewidth", 0, "Set linewidth to 1 pixels (Default: 1)"},
        {"linewidth 12", 0, "Set linewidth to 12 pixels (Default: 1)"},
        {"sizedots 3", 0, "Set point size to 3 pixels (Default: 1)"},
        {"spherepoints size 0", 1,
         "spherepoints size: Illegal size specification, size must be larger than 0"},
        {"spherepoints size", 1,
         "spherepoints size: Parameter missing or illegal parameter specification"},
        {"spherepoints size 0.5 1 2", 0, "Sphere size for part 1 to part 2 set to 0.5"},
        {"cylinderlines size 2 4", 1,
         "cylinderlines size: Illegal part range 4 4  (legal range 1 -> 3)"},
        {"cylinderlines size 2", 0, "Cylinder size for part 1 to part 3 set to 2"},
        {"spherepoints quality -1", 1,
         "spherepoints quality: Illegal scale factor specification, factor must be larger than 0"},
        {"spherepoints quality 2", 0, "Quality factor for sphere resolution set to 2"},
        {"cylinderlines quality 0.5", 0, "Quality factor for cylinder resolution set to 0.5"},
        {"spherepoints 2", 0, "Enable drawing of points as spheres for part 2 to part 2"},
        {"nocylinderlines", 0, "Disable drawing of lines as cylinders for part 1 to part 3"},
        {"normals 1 2", 0, "Turn on drawing of normals for part 1 to part 2"},
        {"nonormals 2", 0, "Turn off drawing of normals for part 2 to part 2"},
        {"normals 5", 1, "normals: Illegal part range 5 5  (legal range 1 -> 3)"},
    };
    for (const Row &r : rows) {
        MessageCapture capture;
        EXPECT_EQ(Run(r.pszLine), r.iResult) << r.pszLine;
        EXPECT_TRUE(capture.HasLine(r.pszMessage, r.iResult == 0 ? NK_MSG_INFO : NK_MSG_ERROR))
            << r.pszLine << ": " << capture.Text();
    }
    EXPECT_NEAR(g_fPhaseAngle, 0.0f, 1e-6);
    EXPECT_EQ(g_pGraphicsSettings->iLineWidth, 12);
    EXPECT_EQ(g_pGraphicsSettings->iPointSize, 3);
    EXPECT_NEAR(Part(0, 0).fSphereSize, 0.05f, 1e-6);
    EXPECT_NEAR(Part(0, 1).fSphereSize, 0.05f, 1e-6);
    EXPECT_FLOAT_EQ(Part(0, 2).fSphereSize, 0.01f);
    EXPECT_NEAR(Part(0, 2).fCylinderSize, 0.2f, 1e-6);
    EXPECT_FLOAT_EQ(g_pGraphicsSettings->fSphereQuality, 2.0f);
    EXPECT_FLOAT_EQ(g_pGraphicsSettings->fCylinderQuality, 0.5f);
    EXPECT_EQ(Part(0, 1).bPointsAsSpheres, 1);
    EXPECT_EQ(Part(0, 0).bPointsAsSpheres, 0);
    EXPECT_EQ(Part(0, 0).bShowNormals, 1);
    EXPECT_EQ(Part(0, 1).bShowNormals, 0);
    EXPECT_EQ(Run("phase_angle 90"), 0);
    EXPECT_NEAR(g_fPhaseAngle, 1.5707964f, 1e-6);
    MessageCapture capture;
    EXPECT_EQ(Run("normals edgethreshold 200"), 0);
    EXPECT_TRUE(capture.HasLine("Smooth normals computed with threshold angle 180.00"));
    EXPECT_NEAR(g_pGraphicsSettings->fSmoothNormalAngle, 3.14159265f, 1e-6);
}

TEST_F(MaterialCommands, BackgroundColoursKeepWhatIsNotGiven)
{
    MessageCapture capture;
    EXPECT_EQ(Run("vbackground"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 1);
    EXPECT_TRUE(capture.HasLine("Changing background colors to:"));
    EXPECT_TRUE(capture.HasLine("  - Lower color: red=  0 green=  0 blue=  0"));
    EXPECT_TRUE(capture.HasLine("  - Upper color: red= 50 green= 70 blue=150"));
    EXPECT_EQ(Run("vbackground 255 0 0"), 0);
    EXPECT_EQ(g_pBackgroundSettings->ucColors[0][0], 255);
    EXPECT_EQ(g_pBackgroundSettings->ucColors[1][2], 150);
    EXPECT_EQ(Run("qbackground"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 3);
    EXPECT_TRUE(capture.HasLine("  - Top left corner color: red=100 green= 50 blue=  0"));
    EXPECT_EQ(Run("vvbackground 1 2 3 4 5 6 7 8 9"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 2);
    EXPECT_TRUE(capture.HasLine("  - Upper  color: red=  7 green=  8 blue=  9"));
    EXPECT_EQ(Run("sbackground"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 4);
    EXPECT_TRUE(capture.HasLine("  - Center color: red= 50 green= 70 blue=150"));
    // White text on a background turned white becomes black.
    EXPECT_EQ(Run("background 255 255 255"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 0);
    EXPECT_TRUE(capture.HasLine("Changing background color to red=255 green=255 blue=255"));
    EXPECT_EQ(g_uTextColor[0], 0);
    EXPECT_EQ(g_VectorSettings.uColor[1], 0);
    EXPECT_EQ(Run("background 10"), 0);
    EXPECT_EQ(g_pBackgroundSettings->ucColors[0][0], 10);
    EXPECT_EQ(g_pBackgroundSettings->ucColors[0][1], 255);
}

TEST_F(MaterialCommands, ImageBackgroundTakesAListedImage)
{
    MessageCapture capture;
    EXPECT_EQ(Run("imagebackground"), 1);
    EXPECT_TRUE(capture.HasLine(
        "imagebackground: Cannot open file for reading. No filename specified", NK_MSG_ERROR));
    EXPECT_EQ(g_pBackgroundSettings->iMode, 0);
    EXPECT_EQ(Run("imagebackground nosuchfile.bmp"), 1);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 0);
    EXPECT_EQ(g_BackgroundImage.pImage, nullptr);
    ImageRecord *pImage = new ImageRecord;
    pImage->szName = NKString("wood");
    pImage->iWidth = pImage->iHeight = 1;
    pImage->pPixels = static_cast<uint8_t *>(NKCalloc(3, 1));
    ASSERT_NE(NKAddTextureImage(&TextureImageList, pImage), nullptr);
    capture.Clear();
    EXPECT_EQ(Run("imagebackground wood"), 0);
    EXPECT_EQ(g_pBackgroundSettings->iMode, 5);
    EXPECT_EQ(g_BackgroundImage.pImage, pImage);
    EXPECT_TRUE(g_pListUpdateInfo->bTextureImages);
    EXPECT_TRUE(capture.HasLine("Background image wood loaded."));
}

TEST_F(MaterialCommands, GroupPartsRemakesTheFrameArraysOrRefuses)
{
    MakeParts(1, 4, true);
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->ppVisibility = static_cast<uint8_t **>(NKCalloc(4, sizeof(uint8_t *)));
    for (int i = 0; i < 4; i++) pFrame->ppVisibility[i] = static_cast<uint8_t *>(NKCalloc(1, 1));
    pFrame->ppVisibility[3][0] = 5;
    for (int i = 0; i < 4; i++) Part(0, i).material.ambient[0] = 0.1f * (i + 1);
    MessageCapture capture;
    EXPECT_EQ(Run("groupparts 2-3"), 0);
    NKGeometry *pGeo = pFrame->pGeometry;
    ASSERT_EQ(pGeo->iNumParts, 3);
    EXPECT_FLOAT_EQ(pGeo->pParts[0].material.ambient[0], 0.1f);
    EXPECT_FLOAT_EQ(pGeo->pParts[1].material.ambient[0], 0.4f);
    EXPECT_FLOAT_EQ(pGeo->pParts[2].material.ambient[0], 0.2f);
    EXPECT_EQ(pGeo->pParts[2].iNumPolygons, 2);
    ASSERT_NE(pFrame->ppVisibility, nullptr);
    EXPECT_EQ(pFrame->ppVisibility[1][0], 0);
    EXPECT_EQ(pFrame->ppVisibility[2][1], 0);
    ASSERT_NE(pFrame->pPartBoundingBoxes, nullptr);
    EXPECT_FLOAT_EQ(pFrame->pPartBoundingBoxes[6 * 2 + 5], 0.2f);
    // The grouping itself lists the part indices it takes, nothing else.
    EXPECT_EQ(Said(capture), (std::vector<std::string>{"1", "2"})) << capture.Text();
    EXPECT_EQ(Run("groupparts 1 9"), 1);
    EXPECT_TRUE(capture.HasLine("groupparts: Illegal part number 9  (legal range 1 -> 3)"));
    EXPECT_EQ(pGeo->iNumParts, 3);
    NKScalarResult *pRes = NKCreateScalarResult();
    pFrame->pScalar = pRes;
    pRes->iNumRef++;
    EXPECT_EQ(Run("groupparts 1 2"), 1);
    EXPECT_TRUE(capture.HasLine(
        "groupparts: Parts can only be grouped in a model of one frame without results",
        NK_MSG_ERROR));
    EXPECT_EQ(pGeo->iNumParts, 3);
}

}  // namespace
