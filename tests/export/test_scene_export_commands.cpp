// tests/export/test_scene_export_commands.cpp -- `export stl`, `tovrml` and
// `saveattributes` through the interpreter on the example beam, read back by
// small STL and VRML readers of the test (and by admesh); the cut and
// iso-surfaces of a block in the VRML scene; and the failure paths: folders
// that do not exist and a file-size limit, which must leave old files whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_frames.h"
#include "core/nk_model_hooks.h"
#include "export/nk_image_commands.h"
#include "export/nk_scene_export.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "tests/export/export_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/tools/surface_fixtures.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_plane_commands.h"
#include "tools/nk_cut_surface.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_surface_records.h"

namespace {

using Vec = std::array<double, 3>;

Vec Sub(const Vec &a, const Vec &b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec &a, const Vec &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Triangles as corner points; the closed-surface checks of both readers.
struct TriangleSoup {
    std::vector<std::array<Vec, 3>> triangles;
    // Every directed edge appears once and its reverse once.
    bool Closed() const
    {
        std::map<std::pair<Vec, Vec>, int> edges;
        for (const auto &t : triangles)
            for (int k = 0; k < 3; k++) edges[{t[k], t[(k + 1) % 3]}]++;
        for (const auto &e : edges)
            if (e.second != 1 || edges.count({e.first.second, e.first.first}) == 0) return false;
        return !edges.empty();
    }
    double Volume() const
    {
        double v = 0.0;
        for (const auto &t : triangles) v += Dot(t[0], Cross(t[1], t[2])) / 6.0;
        return v;
    }
};

// A small ASCII STL reader: solids, facet normals and vertices.
struct StlFile {
    int iSolids = 0;
    std::vector<Vec> normals;
    TriangleSoup soup;
};
StlFile ReadStl(const std::string &text)
{
    StlFile stl;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "solid") stl.iSolids++;
        if (word == "normal") {
            Vec n;
            in >> n[0] >> n[1] >> n[2];
            stl.normals.push_back(n);
            stl.soup.triangles.emplace_back();
        }
        if (word == "loop")
            for (Vec &v : stl.soup.triangles.back()) in >> word >> v[0] >> v[1] >> v[2];
    }
    return stl;
}

// A small VRML 1.0 reader: words and braces; DEF names, and for each
// Separator with a Coordinate3 its points and its IndexedFaceSet.
struct VrmlScene {
    std::vector<std::string> defs;
    std::vector<std::vector<Vec>> points;  // one list per Coordinate3
    std::vector<std::vector<std::vector<int>>> faces;
};
VrmlScene ReadVrml(const std::string &text)
{
    VrmlScene scene;
    std::string spaced;
    for (char c : text) {
        if (c == ',' || c == '[' || c == ']' || c == '{' || c == '}')
            spaced += ' ', spaced += c, spaced += ' ';
        else if (c == '#')
            spaced += " # ";
        else
            spaced += c;
    }
    std::istringstream in(spaced);
    std::string word;
    while (in >> word) {
        if (word == "#")
            std::getline(in, word);
        else if (word == "DEF")
            in >> word, scene.defs.push_back(word);
        else if (word == "point") {
            scene.points.emplace_back();
            Vec v;
            in >> word;  // [
            while (in >> word && word != "]") {
                v[0] = std::stod(word);
                in >> v[1] >> v[2];
                scene.points.back().push_back(v);
                if (in >> word && word == "]") break;
            }
        } else if (word == "coordIndex") {
            scene.faces.emplace_back(1);
            in >> word;
            while (in >> word && word != "]") {
                if (word == ",") continue;
                int i = std::stoi(word);
                if (i == -1)
                    scene.faces.back().emplace_back();
                else
                    scene.faces.back().back().push_back(i);
            }
            scene.faces.back().pop_back();
        }
    }
    return scene;
}

// The first number after the label's colon in admesh's report; -1 when the
// label is missing.
double AdmeshValue(const std::string &report, const char *pszLabel)
{
    size_t at = report.find(pszLabel);
    if (at == std::string::npos || report.find(':', at) == std::string::npos) return -1.0;
    std::istringstream in(report.substr(report.find(':', at) + 1));
    double d = -1.0;
    in >> d;
    return d;
}

class SceneExportCommands : public ExportModelTest {
protected:
    void SetUp() override
    {
        ExportModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallToolHooks();
        ASSERT_TRUE(NKCreateSurfaceTools());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterImageCommands();
        NKRegisterCutPlaneCommands();
        ASSERT_NE(getcwd(m_szSavedDir, sizeof(m_szSavedDir)), nullptr);
        ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir(m_szSavedDir), 0);
        NKCloseInterface();
        NKSetImageCommandHandler(nullptr);
        NKSetCommandHandler(NK_HANDLER_CUT_PLANES, nullptr);
        NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, nullptr);
        NKFreeModelFrames(g_pModel);
        NKDestroySurfaceTools();
        NKSetModelHooks(m_SavedHooks);
        ExportModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    void OpenBeam() { ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0); }
    // The files of the test's folder.
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        std::string out;
        FILE *p = popen(("ls -A " + m_Dir).c_str(), "r");
        for (char buf[256]; p != nullptr && fgets(buf, sizeof(buf), p) != nullptr;) {
            std::string s(buf);
            names.insert(s.substr(0, s.size() - 1));
        }
        if (p != nullptr) pclose(p);
        return names;
    }
    NKModelHooks m_SavedHooks;
    char m_szSavedDir[4096];
};

TEST_F(SceneExportCommands, BeamAsStlIsOneClosedSolidInModelUnits)
{
    OpenBeam();
    MessageCapture capture;
    EXPECT_EQ(Run("export stl b.stl"), 0);
    EXPECT_TRUE(capture.HasLine("Saving frame to STL file: b.stl"));
    EXPECT_TRUE(capture.HasLine("Export ok."));
    // A quoted name keeps its blank and loses its quotes.
    EXPECT_EQ(Run("export stl \"a b.stl\""), 0);
    EXPECT_EQ(NKTestReadFile("a b.stl"), NKTestReadFile("b.stl"));
    StlFile stl = ReadStl(NKTestReadFile("b.stl"));
    EXPECT_EQ(stl.iSolids, 1);
    ASSERT_EQ(stl.soup.triangles.size(), 176u);
    EXPECT_TRUE(stl.soup.Closed());
    EXPECT_NEAR(stl.soup.Volume(), 10.0, 1e-4);
    Vec lo = {1e9, 1e9, 1e9}, hi = {-1e9, -1e9, -1e9};
    for (size_t i = 0; i < stl.soup.triangles.size(); i++) {
        const auto &t = stl.soup.triangles[i];
        for (const Vec &v : t)
            for (int k = 0; k < 3; k++)
                lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
        EXPECT_NEAR(Dot(stl.normals[i], stl.normals[i]), 1.0, 1e-4) << i;
        EXPECT_GT(Dot(stl.normals[i], Cross(Sub(t[1], t[0]), Sub(t[2], t[0]))), 0.0) << i;
    }
    const Vec kLo = {0, 0, 0}, kHi = {10, 1, 1};
    for (int k = 0; k < 3; k++) {
        EXPECT_NEAR(lo[k], kLo[k], 1e-5);
        EXPECT_NEAR(hi[k], kHi[k], 1e-5);
    }

    FILE *p = popen("admesh b.stl 2>&1", "r");
    ASSERT_NE(p, nullptr);
    std::string report;
    for (char buf[512]; fgets(buf, sizeof(buf), p) != nullptr;) report += buf;
    pclose(p);
    EXPECT_EQ(AdmeshValue(report, "Number of facets"), 176.0) << report;
    EXPECT_EQ(AdmeshValue(report, "Normals fixed"), 0.0) << report;
    EXPECT_EQ(AdmeshValue(report, "Facets reversed"), 0.0) << report;
    EXPECT_NEAR(AdmeshValue(report, "Volume"), 10.0, 1e-4) << report;
}

TEST_F(SceneExportCommands, BeamAsVrmlIsTwoCamerasAndOneClosedPart)
{
    OpenBeam();
    MessageCapture capture;
    EXPECT_EQ(Run("tovrml v.wrl"), 0);
    EXPECT_TRUE(capture.HasLine("Scene written to VRML file: v.wrl"));
    VrmlScene scene = ReadVrml(NKTestReadFile("v.wrl"));
    EXPECT_EQ(scene.defs, (std::vector<std::string>{"Cameras", "StoredView", "DefaultView"}));
    ASSERT_EQ(scene.points.size(), 1u);
    ASSERT_EQ(scene.faces.size(), 1u);
    EXPECT_EQ(scene.points[0].size(), 99u);
    TriangleSoup soup;
    for (const auto &f : scene.faces[0]) {
        ASSERT_EQ(f.size(), 3u);
        soup.triangles.push_back(
            {scene.points[0][f[0]], scene.points[0][f[1]], scene.points[0][f[2]]});
    }
    EXPECT_EQ(soup.triangles.size(), 176u);
    EXPECT_TRUE(soup.Closed());
    EXPECT_NEAR(soup.Volume(), 0.01, 1e-6);

    EXPECT_EQ(Run("tovrml w.wrl 1"), 1);
    EXPECT_TRUE(capture.Contains("Error writing scene to VRML file: w.wrl"));
    EXPECT_EQ(Files().count("w.wrl"), 0u);
}

// A stand-in for the part display commands that the replay needs: `lines`
// and `surface` with a part range set the parts' draw style.
int PartStyleHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id != NK_CID_LINES && pEntry->id != NK_CID_SURFACE) return NK_CMD_NOT_MINE;
    int iFrom = 0, iTo = 0;
    if (sscanf(pszArguments, "PARAMS %d %d", &iFrom, &iTo) != 2) return NK_CMD_FAILED;
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    for (int i = iFrom - 1; pGeo != nullptr && i < iTo && i < pGeo->iNumParts; i++)
        pGeo->pParts[i].iDrawStyle = pEntry->id == NK_CID_LINES ? NK_DRAW_LINES : NK_DRAW_SURFACE;
    return NK_CMD_DONE;
}

TEST_F(SceneExportCommands, AttributesReplayWithSource)
{
    OpenBeam();
    NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, PartStyleHandler);
    NKPart *pPart = NKGetFramePart(NKGetCurrentFrame(), 0);
    ASSERT_NE(pPart, nullptr);
    ASSERT_EQ(Run("lines 1 1"), 0);
    MessageCapture capture;
    EXPECT_EQ(Run("saveattributes a.atr"), 0);
    EXPECT_TRUE(capture.HasLine("Saving attributes to file a.atr"));
    EXPECT_TRUE(capture.HasLine("Recall current settings with source a.atr"));
    ASSERT_EQ(Run("surface 1 1"), 0);
    ASSERT_EQ(pPart->iDrawStyle, NK_DRAW_SURFACE);
    Run("source a.atr");
    EXPECT_EQ(pPart->iDrawStyle, NK_DRAW_LINES);
}

TEST_F(SceneExportCommands, FoldersThatDoNotExistAnswerOne)
{
    OpenBeam();
    MessageCapture capture;
    EXPECT_EQ(Run("saveattributes /no/a.atr"), 1);
    EXPECT_TRUE(capture.Contains("Unable to open outputfile /no/a.atr"));
    EXPECT_EQ(Run("export stl /no/b.stl"), 1);
    EXPECT_TRUE(capture.Contains("Error creating file: /no/b.stl"));
    EXPECT_EQ(Run("tovrml /no/v.wrl"), 1);
}

TEST_F(SceneExportCommands, FailedWritesKeepTheOldFiles)
{
    OpenBeam();
    const std::vector<std::string> names = {"b.stl", "v.wrl", "a.atr"};
    for (const std::string &n : names) ASSERT_TRUE(NKTestWriteText(n, "old " + n + "\n"));
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*pfnSaved)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int iStl = Run("export stl b.stl");
    int iVrml = Run("tovrml v.wrl");
    int iAttributes = Run("saveattributes a.atr");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, pfnSaved);
    EXPECT_EQ(iStl, 1);
    EXPECT_EQ(iVrml, 1);
    EXPECT_EQ(iAttributes, 1);
    for (const std::string &n : names) EXPECT_EQ(NKTestReadFile(n), "old " + n + "\n");
    EXPECT_EQ(Files(), std::set<std::string>(names.begin(), names.end()));
}

TEST_F(SceneExportCommands, CutAndIsoSurfacesOfABlock)
{
    NKGeometry *pGeo = surface::MakeBlock(4, 0.25f);
    pGeo->pParts[0].bVisible = 1;
    NKScalarResult *pScalar = surface::MakeScalar(pGeo, [](float x, float, float) { return x; });
    ASSERT_TRUE(NKSetFrameCount(1, false));
    NKFrame *pFrame = &g_pModel->pFrames[0];
    pFrame->pGeometry = pGeo;
    pGeo->iNumRef++;
    pFrame->pScalar = pScalar;
    pScalar->iNumRef++;
    g_pModel->fGeoScale = 1.0f;  // model and display coordinates agree
    CutPlaneSet *pSet = g_pCutPlaneSet;
    pSet->Enable(true);
    if (pSet->GetNumPlanes() == 0) {
        ASSERT_TRUE(pSet->AddPlane(false));
    }
    const float kPoint[3] = {0.0f, 0.0f, 0.375f}, kNormal[3] = {0.0f, 0.0f, 1.0f};
    pSet->SetPlanePoint(kPoint, 0);
    pSet->SetPlaneNormal(kNormal, 0);
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, pSet));
    ASSERT_NE(pFrame->pCutSurfaces[0], nullptr);
    ASSERT_EQ(pFrame->pCutSurfaces[0]->iNumParts, 1);
    ASSERT_TRUE(pFrame->pCutSurfaces[0]->pParts[0].bHasSurface);

    std::string text = (NKWriteVRMLFile("c.wrl", 0), NKTestReadFile("c.wrl"));
    VrmlScene scene = ReadVrml(text);
    ASSERT_EQ(scene.points.size(), 2u) << text;
    EXPECT_EQ(scene.points[1].size(), 64u);
    ASSERT_EQ(scene.faces.size(), 2u);
    EXPECT_EQ(scene.faces[1].size(), 32u);
    for (const auto &f : scene.faces[1]) EXPECT_EQ(f.size(), 3u);

    ASSERT_EQ(Run("cutplanehidewithpart"), 0);
    pGeo->pParts[0].bVisible = 0;
    ASSERT_TRUE(NKComputeCutSurfaces(pFrame, pSet));
    text = (NKWriteVRMLFile("c.wrl", 0), NKTestReadFile("c.wrl"));
    EXPECT_EQ(NKTestCount(text, "\n\tSeparator {\n"), 0) << text;

    pGeo->pParts[0].bVisible = 1;
    g_pIsoSurfaceState->bEnabled = 1;
    g_pIsoSurfaceState->fLevel = 0.375f;
    ASSERT_TRUE(NKVolumeComputeIsoSurfaces(pFrame, g_pIsoSurfaceState));
    ASSERT_GE(pFrame->iNumIsoSurfaces, 1);
    pFrame->pIsoSurfaces[0].uColor[0] = 255;
    pFrame->pIsoSurfaces[0].uColor[1] = 0;
    pFrame->pIsoSurfaces[0].uColor[2] = 0;
    text = (NKWriteVRMLFile("c.wrl", 0), NKTestReadFile("c.wrl"));
    EXPECT_EQ(NKTestCount(text, "\t\t  ambientColor\t   1.000    0.000    0.000\n"), 1) << text;
    EXPECT_EQ(NKTestCount(text, "\t\t  diffuseColor\t   1.000    0.000    0.000\n"), 1);
    EXPECT_EQ(ReadVrml(text).faces.size(), 3u) << "part, cut surface, iso-surface";
}

}  // namespace
