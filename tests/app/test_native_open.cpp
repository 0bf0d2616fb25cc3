// tests/app/test_native_open.cpp -- the older native file set opened by
// command, end to end: a results file as data source kind 3 with its part
// names, states read with fixed and asked-for steps, the result-list
// export, the phase-angle animation of a complex scalar, solid elements
// added by readvolume and boundary conditions read by readbc.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_geometry_writers.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_render_state.h"
#include "readers/nk_boundary_conditions.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_result_files.h"
#include "render/nk_vector_commands.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/readers/native_files_fixture.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/recording_progress_ui.h"

namespace {

class NativeOpen : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        NKResetProgressState();
        NKSetProgressUI(&m_UI);
        m_Dir = NKTestMakeTempDir("quolin_native_open_");
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetProgressUI(nullptr);
        NKResetProgressState();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKTestRemoveDir(m_Dir);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    std::string Path(const char *pszName) { return m_Dir + "/" + pszName; }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    // A two-part run.res set: geo.txt (the geometry text given), temp.res
    // (one scalar, 5 node values in each of 3 steps) and run.res listing the
    // three step titles, both files (the scalar's entry quoted or not) and
    // the part names Plate and Tri.
    void WriteSet(bool bQuoted, const char *pszGeometry)
    {
        NKTestWriteText(Path("geo.txt"), pszGeometry);
        NativeWords temp;
        temp.I(1).I(3).I(5);
        for (int s = 1; s <= 3; s++)
            for (int n = 0; n < 5; n++) temp.F(10.0f * s + n);
        NKTestWriteBytes(Path("temp.res"), temp.Bytes(false));
        std::string scalar = bQuoted ? "\"temp.res 3\" Temperature" : "temp.res Temperature";
        NKTestWriteText(Path("run.res"),
                        "1 0\n3 0\nstep one\nstep two\nstep three\ngeo.txt Geometry\n" + scalar +
                            "\nPlate\nTri\n");
    }
    std::vector<float> Values(int iPart)
    {
        const NKScalarPartEntry &e = g_pModel->pFrames[0].pScalar->pNodeResults[iPart];
        return std::vector<float>(e.pNodeValues, e.pNodeValues + (iPart == 0 ? 4 : 3));
    }
    NKModelHooks m_SavedHooks;
    RecordingProgressUI m_UI;
    std::string m_Dir;
    MessageCapture m_Capture;
};

TEST_F(NativeOpen, ResultsFileOpensWithPartNamesAndReadsFixedAndAskedSteps)
{
    // Part 2 is the triangle of file nodes 2, 5, 3; the magic form of the
    // geometry gives the results file both part names as well.
    struct {
        bool bQuoted;
        const char *pszGeometry;
        std::vector<float> part1, part2;
    } cases[] = {{true, NativeGeoText(), {30, 31, 32, 33}, {31, 34, 32}},
                 {false, NativeGeoText(), {20, 21, 22, 23}, {21, 24, 22}},
                 {true, NativeMagicGeoText(), {30, 31, 32, 33}, {31, 34, 32}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszGeometry);
        SCOPED_TRACE(c.bQuoted);
        WriteSet(c.bQuoted, c.pszGeometry);
        std::string run = Path("run.res");
        ASSERT_EQ(Run("open \"" + run + "\""), 0);
        EXPECT_TRUE(m_Capture.HasLine("Primary file " + run + " opened."));
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry->pParts[0].szName, "Plate");
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry->pParts[1].szName, "Tri");
        for (int iStep : {1, 2}) {
            ASSERT_EQ(Run("readstate " + std::to_string(iStep) + " 1 0"), 0);
            EXPECT_EQ(g_pModel->pFrames[0].szDescription, iStep == 1 ? "step one" : "step two");
            ASSERT_NE(g_pModel->pFrames[0].pScalar, nullptr);
            EXPECT_EQ(g_pModel->pFrames[0].pScalar->szDescription, "Temperature");
            if (c.bQuoted || iStep == 2) {
                EXPECT_EQ(Values(0), c.part1);
                EXPECT_EQ(Values(1), c.part2);
            }
        }
    }
    ASSERT_TRUE(ExportResultInfo(Path("info.txt").c_str()));
    std::string info = NKTestReadFile(Path("info.txt"));
    for (const char *pszLine :
         {"*INTERFACE_TYPE: Quolin Dulm", "*STATES: 3", "*SCALARS: 1", "1: step one"})
        EXPECT_NE(info.find(pszLine), std::string::npos) << pszLine;
}

// The sweep over a complex scalar, whole and cancelled at frame 3; the phase
// angle and magnitude mode are put back either way.
TEST_F(NativeOpen, ComplexScalarSweepsThePhaseAngle)
{
    ASSERT_TRUE(NKWriteGridGeometryFile(5, 5, 1.0f, 1.0f, Path("grid.geo").c_str()));
    NativeWords c;
    c.I(2).I(1).I(72);
    for (int n = 0; n < 36; n++) c.F(3.0f).F(4.0f);
    NKTestWriteBytes(Path("c.res"), c.Bytes(false));
    NKTestWriteText(Path("run.res"), "1 0\n1 0\nstep one\ngrid.geo Grid\nc.res Wave\n");
    struct {
        int iCancelAt;
        bool bDone;
        int iFrames;
        const char *pszStatus;
    } cases[] = {
        {-1, true, 36, "Completed setting up animation from Quolin Dulm interface"},
        {2, false, 1, "Animation setup cancelled"},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.iCancelAt);
        ASSERT_EQ(Run("open \"" + Path("run.res") + "\""), 0);
        ASSERT_EQ(Run("readstate 1 1 0"), 0);
        EXPECT_EQ(bFreqResultsScalar, 1);
        g_fPhaseAngle = 0.25f;
        g_bComplexMagnitude = 1;
        m_UI.iCancelAt = k.iCancelAt;
        m_UI.texts.clear();
        EXPECT_EQ(NKSetupInterfaceAnimation(0, 350, 10, nullptr, 0), k.bDone);
        EXPECT_TRUE(m_Capture.HasLine("Setting up frequency domain animation."));
        EXPECT_EQ(m_UI.GetStatusText(), k.pszStatus);
        EXPECT_EQ(g_fPhaseAngle, 0.25f);
        EXPECT_EQ(g_bComplexMagnitude, 1);
        ASSERT_EQ(g_pModel->iNumFrames, k.iFrames);
        for (int i : {0, 1, 9, 35}) {
            if (i >= k.iFrames) continue;
            const NKFrame &f = g_pModel->pFrames[i];
            EXPECT_EQ(f.szDescription, NKString::FromFormat("step one %3d deg", 10 * i));
            EXPECT_GT(f.fTime, 2.99e38f);
            double a = 10.0 * i * 3.14159265358979 / 180.0;
            EXPECT_NEAR(f.pScalar->pNodeResults[0].pNodeValues[7],
                        3 * std::cos(a) - 4 * std::sin(a), 1e-4);
        }
    }
    g_fPhaseAngle = 0.0f;
}

// readgeometry of a good file loads it; a refused file after it keeps the
// model that was there.
TEST_F(NativeOpen, ReadGeometryLoadsAGridAndARefusedFileKeepsTheModel)
{
    ASSERT_TRUE(NKWriteGridGeometryFile(5, 5, 1.0f, 1.0f, Path("grid.geo").c_str()));
    NativeWords bad;
    for (int v : {1, 4, 50, 20}) bad.I(v);
    for (int n = 0; n < 100; n++) bad.I(0);
    NKTestWriteBytes(Path("bad.geo"), bad.Bytes(false));
    NKTestWriteText(Path("zero.txt"),
                    "2 5 2 7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n0 2 3 -4 2 5 -3\n");
    struct {
        const char *pszFile;
        int iResult;
        std::string message;
    } cases[] = {
        {"grid.geo", 0, "Geometry file " + Path("grid.geo") + " loaded."},
        {"bad.geo", 1, "Wrong geometry file format in " + Path("bad.geo")},
        {"zero.txt", 1, "Illegal node specified in connectivity array: 0. Legal values: 1 - 5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszFile);
        m_Capture.Clear();
        EXPECT_EQ(Run("readgeometry \"" + Path(c.pszFile) + "\""), c.iResult);
        EXPECT_TRUE(m_Capture.HasLine(c.message)) << m_Capture.Text();
        ASSERT_GE(g_pModel->iNumFrames, 1);
        const NKGeometry *g = g_pModel->pFrames[0].pGeometry;
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->iTotalNumNodes, 36);
        EXPECT_EQ(g->iTotalNumPolygons, 25);
        EXPECT_EQ(g->szFileName, Path("grid.geo").c_str());
    }
}

// xvec, yvec and zvec make readvector take a file of one value per node as
// vectors with that value in the chosen component; noxvec reads three
// floats a node again. The frame's vectors show it.
TEST_F(NativeOpen, OneComponentModesShapeTheVectorsReadvectorReads)
{
    NKRegisterVectorCommands();
    NKTestWriteText(Path("geo.txt"), NativeGeoText());
    NativeWords single;
    single.I(1).I(1).I(5);
    for (int n = 1; n <= 5; n++) single.F(static_cast<float>(n));
    NKTestWriteBytes(Path("one.res"), single.Bytes(false));
    NKTestWriteText(Path("one.txt"), "1\n2\n3\n4\n5\n");
    ASSERT_EQ(Run("readgeometry \"" + Path("geo.txt") + "\""), 0);
    // Part 1 holds file nodes 1-4: its first node takes value 1, its fourth
    // 4. The frame keeps displaced positions: the vectors are what they add
    // to the part's node positions.
    auto vectors = [] {
        const NKVectorPartEntry &e = g_pModel->pFrames[0].pVector->pResults[0];
        const NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[0];
        std::vector<float> v(12);
        for (size_t i = 0; i < v.size(); i++) v[i] = e.pNodeValues[i] - part.pNodeCoords[i];
        return v;
    };
    const struct {
        const char *pszMode;
        const char *pszFile;
        int iComponent;
    } cases[] = {
        {"xvec", "one.res", 0},
        {"xvec", "one.txt", 0},
        {"yvec", "one.res", 1},
        {"zvec", "one.txt", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pszMode) + " " + c.pszFile);
        ASSERT_EQ(Run(c.pszMode), 0);
        ASSERT_EQ(Run("readvector \"" + Path(c.pszFile) + "\""), 0);
        const std::vector<float> v = vectors();
        const float fScale = v[static_cast<size_t>(c.iComponent)];
        ASSERT_NE(fScale, 0.0f);
        for (int n = 0; n < 4; n++)
            for (int k = 0; k < 3; k++)
                EXPECT_NEAR(v[static_cast<size_t>(3 * n + k)],
                            k == c.iComponent ? fScale * static_cast<float>(n + 1) : 0.0f, 1e-6)
                    << "node " << n << " component " << k;
    }
    // Off again: the one-value file no longer fits three floats a node.
    ASSERT_EQ(Run("noxvec"), 0);
    EXPECT_EQ(g_uOneComponentVector[2], 0);
    EXPECT_EQ(Run("readvector \"" + Path("one.res") + "\""), 1);
    NKSetCommandHandler(NK_HANDLER_VECTORS, nullptr);
}

// A vector text file shorter than the model warns, naming it; the nodes it
// leaves without a whole vector keep their places among the added vectors
// and count in no length.
TEST_F(NativeOpen, ShortVectorFileWarnsAndItsUndefinedVectorsMoveNothing)
{
    NKTestWriteText(Path("geo.txt"), NativeGeoText());
    NKTestWriteText(Path("short.txt"), "1\n2\n3\n4\n5\n");
    ASSERT_EQ(Run("readgeometry \"" + Path("geo.txt") + "\""), 0);
    MessageCapture capture;
    ASSERT_EQ(Run("addvector \"" + Path("short.txt") + "\""), 0) << capture.Text();
    EXPECT_TRUE(capture.HasLine("The vector file " + Path("short.txt") +
                                    " holds 5 numbers where the model needs 15; the values it "
                                    "lacks are undefined.",
                                NK_MSG_WARNING))
        << capture.Text();
    const NKVectorResult *pAdded = g_pModel->pFrames[0].pExtraVector[1];
    ASSERT_NE(pAdded, nullptr);
    // Part 1 holds file nodes 1-4: node 1 moves along (1, 2, 3) (in display
    // coordinates, scaled), node 2 (4, 5 and no z) and the others keep their
    // places.
    const NKPart &part = g_pModel->pFrames[0].pGeometry->pParts[0];
    const float *pfPositions = pAdded->pResults[0].pNodeValues;
    const float d = pfPositions[0] - part.pNodeCoords[0];
    EXPECT_GT(d, 0.0f);
    for (int k = 1; k < 3; k++)
        EXPECT_NEAR(pfPositions[k] - part.pNodeCoords[k], d * (float)(k + 1), 1e-5) << k;
    for (int i = 3; i < 12; i++) EXPECT_EQ(pfPositions[i], part.pNodeCoords[i]) << i;
    EXPECT_FLOAT_EQ(pAdded->lengthMinMax.max, std::sqrt(14.0f));
}

// The set's one geometry file is read with its first state, at the open: a
// binary one holding a coordinate that is not finite (NaN, +inf, -inf)
// refuses the open naming the file and the node, and the model stays. The
// set it falls back on (opened again, the same results file here) reads
// the geometry file once more with its next state: while that file is
// refused, the state is refused before any frame changes, as a reservoir
// event or a d3plot state is, and the frames keep what they showed; once
// the file is sound again the state reads.
TEST_F(NativeOpen, ARefusedBinaryGeometryRefusesTheOpenOrTheStateAndKeepsTheFrames)
{
    auto WriteGeometry = [&](float fY) {
        NativeWords geo;  // 2 parts, 5 nodes, 2 polygons, 7 connects; node 4's y
        for (int v : {2, 5, 2, 7, 1, 1, 2, 2}) geo.I(v);
        for (int n = 0; n < 15; n++) geo.F(n == 10 ? fY : static_cast<float>(n % 3));
        for (int v : {1, 2, 3, -4, 2, 5, -3}) geo.I(v);
        ASSERT_TRUE(NKTestWriteBytes(Path("geo.bin"), geo.Bytes(false)));
    };
    WriteSet(false, NativeGeoText());  // temp.res
    const std::string run = Path("run.res");
    ASSERT_TRUE(NKTestWriteText(run, "1 0\n3 0\nstep one\nstep two\nstep three\ngeo.bin "
                                     "Geometry\ntemp.res Temperature\nPlate\nTri\n"));
    const std::string refusal =
        "Error reading node 4 from file " + Path("geo.bin") + ": a coordinate is not finite.";
    for (float fBad : {NAN, INFINITY, -INFINITY}) {
        SCOPED_TRACE(fBad);
        WriteGeometry(2.0f);
        ASSERT_EQ(Run("open \"" + run + "\""), 0) << m_Capture.Text();
        ASSERT_EQ(Run("readstate 1 1 0"), 0) << m_Capture.Text();
        const NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
        const NKScalarResult *pScalar = g_pModel->pFrames[0].pScalar;
        ASSERT_NE(pScalar, nullptr);
        WriteGeometry(fBad);
        m_Capture.Clear();
        EXPECT_EQ(Run("open \"" + run + "\""), 1);
        EXPECT_TRUE(m_Capture.HasLine(refusal, NK_MSG_ERROR)) << m_Capture.Text();
        for (const char *pszLine : {"readstate 2 1 0", "readstate 3 1 0"}) {
            SCOPED_TRACE(pszLine);
            m_Capture.Clear();
            EXPECT_EQ(Run(pszLine), 1);
            EXPECT_TRUE(m_Capture.HasLine(refusal, NK_MSG_ERROR)) << m_Capture.Text();
            ASSERT_EQ(g_pModel->iNumFrames, 1);
            EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pGeo);
            EXPECT_EQ(g_pModel->pFrames[0].pScalar, pScalar);
            EXPECT_EQ(g_pModel->pFrames[0].szDescription, "step one");
            EXPECT_EQ(NKGetInterfaceNumSteps(), 3);
        }
        WriteGeometry(2.0f);
        ASSERT_EQ(Run("readstate 2 1 0"), 0) << m_Capture.Text();
        EXPECT_EQ(g_pModel->pFrames[0].szDescription, "step two");
        EXPECT_EQ(Values(0), (std::vector<float>{20, 21, 22, 23}));
    }
}

// A state whose vector file holds no values for it is refused naming the
// kind it lacks, the vector, though its scalar was read: the current step,
// the frame and its results stay those of the state read before. An added
// vector that cannot be read names the word it was asked by.
TEST_F(NativeOpen, AStateWithoutItsVectorIsRefusedNamingTheVector)
{
    WriteSet(false, NativeGeoText());
    NativeWords vec;  // three floats a node, the first two result steps only
    vec.I(1).I(2).I(5);
    for (int i = 0; i < 2 * 5 * 3; i++) vec.F(0.5f * static_cast<float>(i % 7));
    ASSERT_TRUE(NKTestWriteBytes(Path("vec.res"), vec.Bytes(false)));
    ASSERT_TRUE(NKTestWriteText(Path("run.res"), "1 1\n3 0\nstep one\nstep two\nstep three\n"
                                                 "geo.txt Geometry\ntemp.res Temperature\n"
                                                 "vec.res Motion\nPlate\nTri\n"));
    ASSERT_EQ(Run("open \"" + Path("run.res") + "\""), 0) << m_Capture.Text();
    ASSERT_EQ(Run("readstate 2 1 1"), 0) << m_Capture.Text();
    const NKScalarResult *pScalar = g_pModel->pFrames[0].pScalar;
    const NKVectorResult *pVector = g_pModel->pFrames[0].pVector;
    ASSERT_NE(pVector, nullptr);
    m_Capture.Clear();
    EXPECT_EQ(Run("readstate 3 1 1"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Could not find any vector values in state", NK_MSG_WARNING))
        << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Error reading state, could not find any vector values in state",
                                  NK_MSG_ERROR))
        << m_Capture.Text();
    EXPECT_FALSE(m_Capture.Contains("scalar")) << m_Capture.Text();
    EXPECT_EQ(NKGetCurrentStep(), 1);
    EXPECT_EQ(g_pModel->pFrames[0].pScalar, pScalar);
    EXPECT_EQ(g_pModel->pFrames[0].pVector, pVector);
    EXPECT_EQ(g_pModel->pFrames[0].szDescription, "step two");
    EXPECT_EQ(Values(0), (std::vector<float>{20, 21, 22, 23}));
    // A vector added from the open set by a word that is no result names
    // that word.
    m_Capture.Clear();
    EXPECT_EQ(Run("addvector \"nothere.txt\" 1"), 1);
    EXPECT_TRUE(m_Capture.Contains("Error reading additional vector file nothere.txt."))
        << m_Capture.Text();
}

TEST_F(NativeOpen, ReadVolumeAddsAHexahedronAndReadbcFillsTheList)
{
    // Parts on file nodes 1-4 and 5-8, a scalar per file node.
    NKTestWriteText(Path("two.txt"),
                    "2 8 2 8\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
                    "1 2 3 -4 5 6 7 -8\n");
    NativeWords s;
    s.I(1).I(1).I(8);
    for (int n = 1; n <= 8; n++) s.F(static_cast<float>(n));
    NKTestWriteBytes(Path("s.res"), s.Bytes(false));
    ASSERT_EQ(Run("readgeometry \"" + Path("two.txt") + "\""), 0);
    ASSERT_EQ(Run("readscalar \"" + Path("s.res") + "\""), 0);
    NKTestWriteText(Path("vol.txt"), "HEXA8\n1\n1 2 3 4 5 6 7 8\ntetra4\n1\n1 2 3 9\n");
    ASSERT_EQ(Run("readvolume \"" + Path("vol.txt") + "\""), 0);
    const NKPart &p = g_pModel->pFrames[0].pGeometry->pParts[0];
    ASSERT_EQ(p.iNumNodes, 8);
    ASSERT_EQ(p.iNumElements, 1);
    EXPECT_EQ(p.pElements[0].iID, 1);
    EXPECT_EQ(std::vector<int>(p.pElementConnects, p.pElementConnects + 8),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    const NKScalarPartEntry &e = g_pModel->pFrames[0].pScalar->pNodeResults[0];
    ASSERT_EQ(e.iCount, 8);
    EXPECT_EQ(std::vector<float>(e.pNodeValues, e.pNodeValues + 8),
              (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(g_pModel->pFrames[0].pGeometry->pParts[1].iNumNodes, 4);

    NKTestWriteText(Path("bc.txt"),
                    "*BOUNDARY\n1 2 3 7 1 0 0 0 0 1 5.0 9.0\n*NODE FORCE\n0 0 0 1 1 0 0 0 0 0 2\n");
    ASSERT_EQ(Run("readbc \"" + Path("bc.txt") + "\""), 0);
    ASSERT_EQ(g_BoundaryConditions.size(), 2u);
    const NKBoundaryCondition &bc = g_BoundaryConditions[0];
    EXPECT_EQ(bc.iKind, 1);
    EXPECT_EQ(bc.iLabel, 7);
    EXPECT_EQ(std::vector<int>(bc.iFlags, bc.iFlags + 6), (std::vector<int>{1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(std::vector<float>(bc.fValues, bc.fValues + 6),
              (std::vector<float>{5, 0, 0, 0, 0, 9}));
    float pos[3] = {1, 2, 3};
    ModelToDisplay(pos);
    EXPECT_EQ(std::vector<float>(bc.fPosition, bc.fPosition + 3), std::vector<float>(pos, pos + 3));
    EXPECT_EQ(g_BoundaryConditions[1].iKind, 2);
    NKTestWriteText(Path("nobc.txt"), "BOUNDARY\n");
    EXPECT_EQ(Run("readbc \"" + Path("nobc.txt") + "\""), 1);
    EXPECT_TRUE(m_Capture.HasLine("Error reading boundary conditions from file " + Path("nobc.txt"),
                                  NK_MSG_ERROR));
    EXPECT_EQ(g_BoundaryConditions.size(), 2u);
    g_BoundaryConditions.clear();
}

}  // namespace
