// tests/export/test_scene_writers.cpp -- the VRML and STL writers and the
// attribute file on small models built here: the exact texts of the part
// blocks, the cameras, the cut and iso-surfaces, the STL solids and facets,
// and the attribute lines read from the records the test sets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_view_state.h"
#include "export/nk_scene_export.h"
#include "render/nk_background.h"
#include "render/nk_camera.h"
#include "render/nk_view_settings.h"
#include "render/nk_viewpoint_commands.h"
#include "tests/export/export_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tools/nk_annotation_commands.h"
#include "tools/nk_line_sets.h"

namespace {

class SceneWriters : public ExportModelTest {
protected:
    // Writes the frame as VRML and returns the text ("" when it failed).
    std::string Vrml(int iFrame = -1)
    {
        std::string path = Path("scene.wrl");
        if (!NKWriteVRMLFile(path.c_str(), iFrame)) return "";
        return NKTestReadFile(path);
    }
    std::string Stl()
    {
        std::string path = Path("scene.stl");
        if (!NKWriteSTLFile(NKGetCurrentFrame(), path.c_str())) return "";
        return NKTestReadFile(path);
    }
};

TEST_F(SceneWriters, VrmlQuadSurfaceIsTwoTrianglesUnderAnOverallMaterial)
{
    NKTestMakePolygonPart(&MakeParts(1)->pParts[0], NKTestUnitSquare(), {{0, 1, 2, 3}});
    std::string text = Vrml();
    EXPECT_EQ(text.rfind(
                  "#VRML V1.0 ascii\n\n#Created with Quolin Dulm, ver. 6.4-00\n\nSeparator {\n", 0),
              0u);
    EXPECT_EQ(NKTestCount(text, "PerspectiveCamera {\n"), 2);
    EXPECT_EQ(NKTestCount(text, "\n\tSeparator {\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\t\t   ambientColor\t\t1.000 0.000 0.000\n"), 1);
    EXPECT_EQ(NKTestCount(text, "value OVERALL"), 1);
    EXPECT_EQ(NKTestCount(text, "PER_VERTEX_INDEXED"), 0);
    EXPECT_EQ(
        NKTestCount(text,
                    "\t\t\t\t0  0  0,\n\t\t\t\t1  0  0,\n\t\t\t\t1  1  0,\n\t\t\t\t0  1  0 ]\n"),
        1);
    EXPECT_EQ(NKTestCount(text, "\t\tIndexedFaceSet {\n\t\t\tcoordIndex [\n\t\t\t\t0, 1, 2, "
                                "-1,\n\t\t\t\t0, 2, 3, -1]\n"),
              1);
    EXPECT_EQ(NKTestCount(text, "MatrixTransform"), 0);
    EXPECT_TRUE(NKTestEndsWith(text, "\t}\n}\n"));
}

TEST_F(SceneWriters, VrmlSetsFollowTheDrawStyle)
{
    struct Row {
        const char *pszName;
        std::vector<std::vector<int>> polygons;
        int iStyle;
        std::vector<uint8_t> edgeKinds;
        const char *pszExpected;
        const char *pszAbsent;
    };
    const Row rows[] = {
        {"triangle",
         {{0, 1, 2}},
         NK_DRAW_SURFACE,
         {},
         "\t\t\tcoordIndex [\n\t\t\t\t0, 1, 2, -1]\n",
         "PointSet"},
        {"lines",
         {{0, 1, 2, 3}},
         NK_DRAW_LINES,
         {1, 2, 0, 2},
         "\t\tIndexedLineSet {\n\t\t\tcoordIndex [\n\t\t\t\t0, 1, -1,\n\t\t\t\t1, 2, "
         "-1,\n\t\t\t\t3, 0, -1 ]\n\t\t}\n",
         "IndexedFaceSet"},
        {"hidden lines",
         {{0, 1, 2, 3}},
         NK_DRAW_HIDDEN_LINES,
         {1, 2, 0, 2},
         "\t\t\t\t0, 1, -1,\n\t\t\t\t1, 2, -1,\n\t\t\t\t3, 0, -1 ]\n",
         "IndexedFaceSet"},
        {"outline",
         {{0, 1, 2, 3}},
         NK_DRAW_OUTLINE,
         {1, 2, 0, 2},
         "\t\t\tcoordIndex [\n\t\t\t\t1, 2, -1,\n\t\t\t\t3, 0, -1 ]\n",
         "0, 1, -1"},
        {"points",
         {{0, 1, 2, 3}},
         NK_DRAW_POINTS,
         {},
         "\t\tPointSet {\n\t\t\tstartIndex \t0\n\t\t\tnumPoints \t4\n\t\t}\n",
         "coordIndex"},
    };
    for (const Row &r : rows) {
        NKGeometry *pGeo = MakeParts(1);
        NKPart *pPart = &pGeo->pParts[0];
        NKTestMakePolygonPart(pPart, NKTestUnitSquare(), r.polygons);
        pPart->iDrawStyle = r.iStyle;
        if (!r.edgeKinds.empty()) {
            pPart->iNumEdgeSlots = (int)r.edgeKinds.size();
            pPart->pEdgeKinds = static_cast<uint8_t *>(NKAlloc(r.edgeKinds.size()));
            std::memcpy(pPart->pEdgeKinds, r.edgeKinds.data(), r.edgeKinds.size());
        }
        std::string text = Vrml();
        EXPECT_EQ(NKTestCount(text, r.pszExpected), 1) << r.pszName << "\n" << text;
        EXPECT_EQ(NKTestCount(text, r.pszAbsent), 0) << r.pszName;
        if (r.iStyle != NK_DRAW_SURFACE) {  // lines and points glow in their colour
            EXPECT_EQ(NKTestCount(text, "\t\t   emissiveColor\t1.000 0.000 0.000\n"), 1)
                << r.pszName;
        }
        NKFreeFrameArray(g_pModel->pFrames, g_pModel->iNumFrames);
        g_pModel->pFrames = nullptr;
        g_pModel->iNumFrames = 0;
    }
}

TEST_F(SceneWriters, VrmlNodeColoursPartMatrixAndHiddenParts)
{
    NKGeometry *pGeo = MakeParts(2);
    NKTestMakePolygonPart(&pGeo->pParts[0], NKTestUnitSquare(), {{0, 1, 2, 3}});
    NKTestMakePolygonPart(&pGeo->pParts[1], NKTestUnitSquare(), {{0, 1, 2, 3}});
    pGeo->pParts[0].bFringes = 1;
    pGeo->pParts[1].bVisible = 0;
    NKFrame *pFrame = &g_pModel->pFrames[0];
    NKScalarResult *pScalar = NKCreateScalarResult();
    pScalar->iNumParts = 2;
    pScalar->pNodeResults =
        static_cast<NKScalarPartEntry *>(NKCalloc(2, sizeof(NKScalarPartEntry)));
    pScalar->pNodeResults[0].iCount = 4;
    pScalar->pNodeResults[0].pColors = static_cast<uint8_t *>(NKCalloc(12, 1));
    for (int i = 0; i < 4; i++) pScalar->pNodeResults[0].pColors[3 * i + 2] = 255;
    pScalar->iNumRef = 1;
    pFrame->pScalar = pScalar;
    pFrame->pTransformation = static_cast<float *>(NKCalloc(32, sizeof(float)));
    for (int p = 0; p < 2; p++)
        for (int k = 0; k < 4; k++) pFrame->pTransformation[16 * p + 5 * k] = 1.0f;
    pFrame->pTransformation[12] = 2.0f;

    std::string text = Vrml();
    EXPECT_EQ(NKTestCount(text, "\n\tSeparator {\n"), 1) << "the hidden part writes nothing";
    EXPECT_EQ(NKTestCount(text, "\t\tMaterialBinding {\n\t\t\tvalue PER_VERTEX_INDEXED\n\t\t}\n"),
              1);
    EXPECT_EQ(NKTestCount(text, "\t\t\tambientColor [\n\t\t\t\t0.000 0.000 1.000,\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\t\t\tdiffuseColor [\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\t\t\t\t0.000 0.000 1.000 ]\n"), 2);
    EXPECT_EQ(NKTestCount(text, "\t\tMatrixTransform {\n\t\t\tmatrix\n\t\t\t\t           1         "
                                "    0             0             0\n"),
              1);
    EXPECT_EQ(NKTestCount(text, "\t\t\t\t           2             0             0             1\n"),
              1);
    pScalar->pNodeResults[0].iCount = 3;  // colours for fewer nodes than the part has
    EXPECT_EQ(NKTestCount(Vrml(), "PER_VERTEX_INDEXED"), 0);
    EXPECT_EQ(Vrml(3), "") << "a frame that does not exist";
    EXPECT_FALSE(NKWriteVRMLFile("", -1));
}

// The stored camera's three values, read from the VRML text.
struct StoredCamera {
    float fPos[3], fAxis[3], fAngle, fFocal;
};
StoredCamera ReadStoredCamera(const std::string &text)
{
    StoredCamera c = {};
    std::istringstream in(text.substr(text.find("StoredView")));
    std::string word;
    in >> word >> word >> word;  // StoredView PerspectiveCamera {
    in >> word >> c.fPos[0] >> c.fPos[1] >> c.fPos[2];
    in >> word >> c.fAxis[0] >> c.fAxis[1] >> c.fAxis[2] >> c.fAngle;
    in >> word >> c.fFocal;
    return c;
}

// v turned by the angle about the unit axis (Rodrigues).
void Turn(const float *a, float fAngle, const float *v, float *pOut)
{
    float c = std::cos(fAngle), s = std::sin(fAngle);
    float d = a[0] * v[0] + a[1] * v[1] + a[2] * v[2];
    float x[3] = {a[1] * v[2] - a[2] * v[1], a[2] * v[0] - a[0] * v[2], a[0] * v[1] - a[1] * v[0]};
    for (int k = 0; k < 3; k++) pOut[k] = v[k] * c + x[k] * s + a[k] * d * (1 - c);
}

TEST_F(SceneWriters, VrmlCamerasFollowTheView)
{
    NKTestMakePolygonPart(&MakeParts(1)->pParts[0], NKTestUnitSquare(), {{0, 1, 2, 3}});
    NKMatrixIdentity(g_ViewMatrix);
    std::string text = Vrml();
    EXPECT_EQ(NKTestCount(text, "\t\t\tposition\t\t 0.00000  0.00000  2.00000\n"), 2) << text;
    EXPECT_EQ(NKTestCount(text, "\t\t\torientation\t\t 0.00000  1.00000  0.00000  0.00000\n"), 2);
    EXPECT_EQ(NKTestCount(text, "\t\t\tfocalDistance\t 2.00000\n"), 2);

    NKRegisterViewpointCommands();
    ASSERT_EQ(ExecuteCommand("setview 0.5 0.5 0.5 0.5"), 0);
    StoredCamera c = ReadStoredCamera(Vrml());
    float fEye[3], fVrp[3], fUp[3];
    ASSERT_TRUE(NKGetEyePoint(fEye));
    ASSERT_TRUE(NKGetCurrentViewPoint(fEye, fVrp, fUp));
    for (int k = 0; k < 3; k++) EXPECT_NEAR(c.fPos[k], fEye[k], 1e-4);
    EXPECT_NEAR(c.fFocal, 2.0f, 1e-4);
    float fDir[3] = {fVrp[0] - fEye[0], fVrp[1] - fEye[1], fVrp[2] - fEye[2]};
    NKVec3Normalize(fDir);
    NKVec3Normalize(fUp);
    static const float kForward[3] = {0, 0, -1}, kUp[3] = {0, 1, 0};
    float fTurned[3], fTurnedUp[3];
    Turn(c.fAxis, c.fAngle, kForward, fTurned);
    Turn(c.fAxis, c.fAngle, kUp, fTurnedUp);
    for (int k = 0; k < 3; k++) {
        EXPECT_NEAR(fTurned[k], fDir[k], 1e-4) << k;
        EXPECT_NEAR(fTurnedUp[k], fUp[k], 1e-4) << k;
    }
    NKSetCommandHandler(NK_HANDLER_VIEWPOINT, nullptr);
}

TEST_F(SceneWriters, StlSolidsFacetsNormalsAndModelUnits)
{
    NKGeometry *pGeo = MakeParts(3);
    NKTestMakePolygonPart(&pGeo->pParts[0], NKTestUnitSquare(), {{0, 1, 2, 3}});
    const std::vector<float> pentagon = {0, 0, 0, 2, 0, 0, 3, 1, 0, 1, 2, 0, -1, 1, 0};
    // Then a polygon of two corners and one with a corner past the nodes: no facets.
    NKTestMakePolygonPart(&pGeo->pParts[1], pentagon, {{0, 1, 2, 3, 4}, {0, 1}, {0, 1, 9}});
    pGeo->pParts[0].pPolygonNormals = static_cast<int8_t *>(NKCalloc(3, 1));
    pGeo->pParts[0].pPolygonNormals[2] = 127;
    pGeo->pParts[1].pPolygonNormals = static_cast<int8_t *>(NKCalloc(9, 1));
    pGeo->pParts[1].pPolygonNormals[2] = -128;
    g_pModel->fGeoScale = 1.0f;
    g_pModel->fAxisScale[0] = 2.0f;

    MessageCapture capture;
    std::string text = Stl();
    EXPECT_TRUE(capture.HasLine("Saving frame to STL file: " + Path("scene.stl")));
    EXPECT_TRUE(capture.HasLine("Export ok."));
    std::string quad =
        " facet normal 0.000000 0.000000 1.000000\n  outer loop\n"
        "   vertex 0.000000 0.000000 0.000000\n   vertex 0.500000 0.000000 0.000000\n"
        "   vertex 0.500000 1.000000 0.000000\n  endloop\n endfacet\n";
    EXPECT_EQ(text.rfind("solid Part0001\n" + quad, 0), 0u) << text;
    EXPECT_EQ(NKTestCount(text, "facet normal 0.000000 0.000000 1.000000\n"), 2);
    EXPECT_EQ(NKTestCount(text, " facet normal 0.000000 0.000000 -1.000000\n"), 3);
    EXPECT_EQ(NKTestCount(text, " facet normal "), 2 + 3);
    EXPECT_EQ(NKTestCount(text, "endsolid Part0001\nsolid Part0002\n"), 1);
    EXPECT_EQ(NKTestCount(text, "   vertex 0.000000 0.000000 0.000000\n"),
              2 + 3);  // c0 in every facet
    EXPECT_EQ(
        NKTestCount(text,
                    "   vertex 1.000000 0.000000 0.000000\n   vertex 1.500000 1.000000 0.000000\n"),
        1);
    EXPECT_EQ(
        NKTestCount(text,
                    "   vertex 1.500000 1.000000 0.000000\n   vertex 0.500000 2.000000 0.000000\n"),
        1);
    EXPECT_EQ(
        NKTestCount(
            text, "   vertex 0.500000 2.000000 0.000000\n   vertex -0.500000 1.000000 0.000000\n"),
        1);
    EXPECT_TRUE(NKTestEndsWith(text, "endsolid Part0002\nsolid Part0003\nendsolid Part0003\n"));
    EXPECT_FALSE(NKWriteSTLFile(nullptr, Path("none.stl").c_str()));
}

TEST_F(SceneWriters, WritersThatCannotCreateTheirFileSayWhy)
{
    NKTestMakePolygonPart(&MakeParts(1)->pParts[0], NKTestUnitSquare(), {{0, 1, 2, 3}});
    MessageCapture capture;
    EXPECT_FALSE(NKWriteSTLFile(NKGetCurrentFrame(), "/no/b.stl"));
    EXPECT_TRUE(capture.HasLine("Error creating file: /no/b.stl", NK_MSG_ERROR)) << capture.Text();
    EXPECT_FALSE(NKWriteAttributeFile("/no/a.atr"));
    EXPECT_TRUE(capture.HasLine("Unable to open outputfile /no/a.atr", NK_MSG_ERROR))
        << capture.Text();
    EXPECT_FALSE(NKWriteVRMLFile("/no/v.wrl", -1));
}

// The lines of the text.
std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(SceneWriters, AttributeFileWritesPartsThenGlobalsInOrder)
{
    NKGeometry *pGeo = MakeParts(3);
    for (int p = 0; p < 3; p++)
        NKTestMakePolygonPart(&pGeo->pParts[p], NKTestUnitSquare(), {{0, 1, 2, 3}});
    pGeo->pParts[0].material.alpha = 179;
    pGeo->pParts[1].iDrawStyle = 7;
    pGeo->pParts[2].bOutlineMesh = 1;
    pGeo->pParts[2].uOutlineMeshColor[0] = 10;
    pGeo->pParts[2].uOutlineMeshColor[1] = 20;
    pGeo->pParts[2].uOutlineMeshColor[2] = 30;
    g_pViewSettings->iAxisFlags = 3;
    g_pViewSettings->bShowModel = 1;
    g_pViewSettings->bShowBox = 1;
    g_pViewSettings->bTransparentFast = 1;
    g_pBackgroundSettings->iMode = 3;
    for (int i = 0; i < 4; i++) g_pBackgroundSettings->ucColors[i][0] = (uint8_t)(i + 1);
    NKMatrixIdentity(g_ViewMatrix);

    std::string path = Path("a.atr");
    ASSERT_TRUE(NKWriteAttributeFile(path.c_str()));
    std::vector<std::string> lines = Lines(NKTestReadFile(path));
    time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    char szDate[48];
    snprintf(szDate, sizeof(szDate), "%04d-%02d-%02d", utc.tm_year + 1900, utc.tm_mon + 1,
             utc.tm_mday);
    ASSERT_GT(lines.size(), 60u);
    EXPECT_EQ(lines[0], std::string("# NK-ATTRIB.  Quolin Dulm 6.4  Generated : ") + szDate);
    EXPECT_EQ(lines[1], "display");
    const std::vector<std::string> first = {"surface 1 1",
                                            "nodisplacements 1 1",
                                            "nofringes 1 1",
                                            "unsmooth 1 1",
                                            "ambient 1 1 1.000000 0.000000 0.000000",
                                            "diffuse 1 1 1.000000 0.000000 0.000000",
                                            "specular 1 1 0.000000 0.000000 0.000000",
                                            "emission 1 1 0.000000 0.000000 0.000000",
                                            "alpha 1 1 0.701961 ",
                                            "shininess 1 1 0",
                                            "notransparent 1 1",
                                            "nomesh 1 1",
                                            "nooutlinemesh 1 1",
                                            "novectors 1 1",
                                            "post 1 1",
                                            "nonormals 1 1",
                                            "texturetile 1 1",
                                            "envmode 1 1 decal",
                                            "textureplane auto 1 1"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 21), first);
    EXPECT_EQ(lines[21], "nodisplacements 2 2") << "style 7 writes no style line";
    EXPECT_EQ(lines[39], "surface 3 3");
    EXPECT_EQ(lines[39 + 12], "outlinemesh 3 3 10 20 30");
    EXPECT_EQ(lines[58], g_pViewSettings->bShowStep ? "step" : "nostep");
    std::string text = NKTestReadFile(path);
    EXPECT_EQ(NKTestCount(text, "\naxis origo\naxis fixed\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\nqbackgr 1 0 0 2 0 0 3 0 0 4 0 0\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\nsetview  0 0 0 1 0 0 0\n"), 1) << text;
    EXPECT_EQ(NKTestCount(text, "\nmodel\n") + NKTestCount(text, "\nnomodel\n"), 0);
    EXPECT_EQ(NKTestCount(text, "readtexture"), 0);
    EXPECT_EQ(NKTestCount(text, "\ntextcolor 255 255 255\n\n") +
                  NKTestCount(text, "\ntextcolor 255 255 255\n"),
              1);
    EXPECT_EQ(NKTestCount(text, "\ndlinewidth 1\n"), 1);
    EXPECT_EQ(lines.back(), "transparent fast");

    g_pViewSettings->bShowBox = 0;
    g_pViewSettings->iAxisFlags = 0;
    ASSERT_TRUE(NKWriteAttributeFile(path.c_str()));
    text = NKTestReadFile(path);
    EXPECT_EQ(NKTestCount(text, "\nmodel\n"), 1);
    EXPECT_EQ(NKTestCount(text, "\nnoaxis\n"), 1);

    // The line width that dlinewidth gives the line objects is written back.
    const bool bHadLines = g_pLineSetList != nullptr;
    if (!bHadLines) NKCreateLineSetList();
    NKRegisterAnnotationCommands();
    ASSERT_EQ(ExecuteCommand("dlinewidth 3"), 0);
    ASSERT_TRUE(NKWriteAttributeFile(path.c_str()));
    text = NKTestReadFile(path);
    EXPECT_EQ(NKTestCount(text, "\ndlinewidth 3\n"), 1) << text;
    NKSetCommandHandler(NK_HANDLER_ANNOTATION, nullptr);
    g_pLineSetList->m_iLineWidth = 1;
    if (!bHadLines) NKFreeLineSetList();
}

}  // namespace

namespace {

// A corner index one past the last node, or below the first, is no node:
// the polygon that names it gives no facet, and the valid polygons of the
// same part still write theirs.
TEST_F(SceneWriters, StlPassesOverPolygonsWithCornersOutsideThePart)
{
    NKGeometry *pGeo = MakeParts(1);
    NKTestMakePolygonPart(&pGeo->pParts[0], NKTestUnitSquare(),
                          {{0, 1, 4}, {0, 1, 2, 3}, {0, -1, 2}, {4, 0, 1}, {2, 3, 0}});
    g_pModel->fGeoScale = 1.0f;
    std::string text = Stl();
    ASSERT_FALSE(text.empty());
    // The quadrilateral gives two facets and the last triangle one.
    EXPECT_EQ(NKTestCount(text, " facet normal "), 3) << text;
    EXPECT_EQ(NKTestCount(text, "   vertex "), 9) << text;
    EXPECT_EQ(NKTestCount(text, "   vertex 1.000000 1.000000 0.000000\n   vertex "
                                "0.000000 1.000000 0.000000\n"),
              2)
        << text;
}

}  // namespace
