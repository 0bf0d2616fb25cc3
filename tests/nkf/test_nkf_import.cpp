// tests/nkf/test_nkf_import.cpp -- an NKF file opened as a data source and
// read with the nkf command, end to end through the command interpreter:
// the example models, step coverage of geometry and scalar blocks, vector
// results, internal strings and the command's errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "nkf/nkf_import.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_geometry_writer.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_step_test_support.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// A model without frames, the file commands registered, no file open.
class NKFImport : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKRegisterFileCommands();
    }
    void TearDown() override
    {
        NKFCloseInterface();
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    NKPart *Part(int iFrame, int iPart)
    {
        return &g_pModel->pFrames[iFrame].pGeometry->pParts[iPart];
    }
    float NodeValue(int iFrame, int iPart, int iNode)
    {
        return g_pModel->pFrames[iFrame].pScalar->pNodeResults[iPart].pNodeValues[iNode];
    }

    NKModelHooks m_SavedHooks;
    MessageCapture m_Capture;
};

// Four nodes, one %QUADS element, node results 10..40 named "Temp".
std::vector<std::string> QuadLines() { return NKFTestQuadLines(nullptr); }

// The quad model in binary, in either byte order.
NKFTestWriter QuadBinary(bool bBigEndian)
{
    const float afCoords[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const float afValues[] = {10, 20, 30, 40};
    NKFTestWriter w(bBigEndian);
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, nullptr, afCoords, 4);
    NKFTestSection quads{NK_ELEM_QUAD + 1, {}, {1, 2, 3, 4}, 1};
    AppendElementsBlock(w, 3, 1, {quads}, false, false, 0);
    AppendGeometryBlock(w, 1, "Quad", {{1, "", 0.0f, {}, {3}}});
    AppendResultsBlock(w, 1, 1, 1, 0, nullptr, afValues, 4, 1);
    AppendResultListBlock(w, 1010, 1, "Temp", {{1, "", 0.0f, {1}}}, false);
    return w;
}

TEST_F(NKFImport, BeamOpensWithItsStepsAndReadsItsScalars)
{
    ASSERT_EQ(Run("nkf open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    EXPECT_TRUE(m_Capture.HasLine("NKF-file opened."));
    EXPECT_TRUE(m_Capture.HasLine("Geometry read from NKF file."));
    ASSERT_EQ(NKFGetNumSteps(), 3);
    NKStringList *pNames = NKFGetStepNames();
    ASSERT_NE(pNames, nullptr);
    EXPECT_STREQ(pNames->Get(0), "Load 1");
    EXPECT_STREQ(pNames->Get(2), "Load 3");
    delete pNames;
    EXPECT_FLOAT_EQ(NKFGetStepTime(0), 0.333333f);
    EXPECT_FLOAT_EQ(NKFGetStepTime(1), 0.666667f);
    EXPECT_FLOAT_EQ(NKFGetStepTime(2), 1.0f);
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_STREQ(Part(0, 0)->szName.GetText(), "Beam");
    EXPECT_EQ(Part(0, 0)->iNumNodes, 99);
    EXPECT_EQ(Part(0, 0)->iNumPolygons, 88);

    ASSERT_EQ(Run("nkf scalar"), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 3);
    ASSERT_NE(Part(0, 0)->pNodeIDs, nullptr);
    EXPECT_EQ(Part(0, 0)->pNodeIDs[10], 1011);
    const float afExpected[3] = {0.33427f, 0.668539f, 1.00281f};
    for (int f = 0; f < 3; f++) EXPECT_NEAR(NodeValue(f, 0, 10), afExpected[f], 1e-5f) << f;
}

// A file that does not open (missing, empty, a folder, not an NKF file)
// leaves the file open before whole: its steps, and its results still read.
TEST_F(NKFImport, ARefusedOpenKeepsTheFileOpenBefore)
{
    ASSERT_EQ(Run("nkf open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    const std::string dir = NKTestMakeTempDir("nkf_refused");
    const std::string empty = dir + "/empty.nkf", text = dir + "/text.nkf";
    ASSERT_TRUE(NKTestWriteBytes(empty, nullptr, 0));
    ASSERT_TRUE(NKTestWriteBytes(text, "no NKF here\n", 12));
    for (const std::string &path : {dir + "/missing.nkf", empty, dir, text}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Run("nkf open \"" + path + "\""), 1);
        ASSERT_EQ(NKFGetNumSteps(), 3);
        NKStringList *pNames = NKFGetStepNames();
        ASSERT_NE(pNames, nullptr);
        EXPECT_STREQ(pNames->Get(2), "Load 3");
        delete pNames;
        EXPECT_FLOAT_EQ(NKFGetStepTime(1), 0.666667f);
        ASSERT_EQ(Run("nkf scalar"), 0);
        ASSERT_EQ(g_pModel->iNumFrames, 3);
        EXPECT_NEAR(NodeValue(2, 0, 10), 1.00281f, 1e-5f);
    }
    std::filesystem::remove_all(dir);
}

TEST_F(NKFImport, PlateHasTheLoadPatchFirst)
{
    ASSERT_EQ(Run("nkf open \"" + NKTestExamplePath("plate.nkf") + "\""), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    ASSERT_EQ(g_pModel->pFrames[0].pGeometry->iNumParts, 2);
    EXPECT_STREQ(Part(0, 0)->szName.GetText(), "Load patch");
    EXPECT_EQ(Part(0, 0)->iNumNodes, 9);
    EXPECT_EQ(Part(0, 0)->iNumPolygons, 4);
    EXPECT_STREQ(Part(0, 1)->szName.GetText(), "Plate");
    EXPECT_EQ(Part(0, 1)->iNumNodes, 63);
    EXPECT_EQ(Part(0, 1)->iNumPolygons, 48);
}

TEST_F(NKFImport, QuadModelInEveryForm)
{
    struct Form {
        const char *pszName;
        std::string path;
    } forms[] = {{"ASCII", NKFWriteTestFile("quad.nkf", QuadLines())},
                 {"little-endian", NKFWriteTestFile("quad_le.nkf", QuadBinary(false))},
                 {"big-endian", NKFWriteTestFile("quad_be.nkf", QuadBinary(true))}};
    for (const Form &form : forms) {
        SCOPED_TRACE(form.pszName);
        std::string stem = form.path.substr(0, form.path.size() - 4);  // ".nkf" is appended
        ASSERT_EQ(Run("nkf open \"" + stem + "\""), 0);
        ASSERT_EQ(g_pModel->iNumFrames, 1);
        EXPECT_EQ(Part(0, 0)->iNumNodes, 4);
        EXPECT_EQ(Part(0, 0)->iNumPolygons, 1);
        ASSERT_EQ(Run("nkf scalar"), 0);
        for (int n = 0; n < 4; n++) EXPECT_FLOAT_EQ(NodeValue(0, 0, n), 10.0f * (n + 1));
        EXPECT_STREQ(g_pModel->pFrames[0].pScalar->szDescription.GetText(), "Temp");
        m_Capture.Clear();
        EXPECT_EQ(Run("nkf scalar 1 1 4"), 1);
        EXPECT_TRUE(m_Capture.Contains("Error in step range 1 - 4. Legal 1 - 1"));
    }
}

TEST_F(NKFImport, QuadModelAndTheCommandsErrors)
{
    std::string path = NKFWriteTestFile("quad.nkf", QuadLines());
    ASSERT_EQ(Run("nkf open \"" + path + "\""), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 1);
    EXPECT_EQ(Part(0, 0)->iNumNodes, 4);
    EXPECT_EQ(Part(0, 0)->iNumPolygons, 1);
    ASSERT_EQ(Run("nkf scalar"), 0);
    for (int n = 0; n < 4; n++) EXPECT_FLOAT_EQ(NodeValue(0, 0, n), 10.0f * (n + 1));
    EXPECT_STREQ(g_pModel->pFrames[0].pScalar->szDescription.GetText(), "Temp");

    struct Case {
        const char *pszLine;
        const char *pszError;
    } cases[] = {
        {"nkf scalar 1 1 4", "Error in step range 1 - 4. Legal 1 - 1"},
        {"nkf visibility", "Illegal NKF sub command : visibility."},
        {"nkf scalar 7", "Scalar block (*QUOLINSCALAR) with blockid = 7 not found in NKF file."},
        {"nkf geometry 2",
         "Geometry block (*QUOLINGEOMETRY) with blockid = 2 not found in NKF file."},
        {"nkf int 5", "Unable to get block with specified ID"},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(Run(c.pszLine), 1) << c.pszLine;
        EXPECT_TRUE(m_Capture.Contains(c.pszError)) << c.pszLine << "\n" << m_Capture.Text();
    }
    Run("nkf close");
    m_Capture.Clear();
    EXPECT_EQ(Run("nkf geo"), 1);
    EXPECT_TRUE(m_Capture.Contains("No NKF file currently open.  Use the command \"nkf open "
                                   "<filename>\" first to open a NKF file."));
}

// Node values given by node ID reach every node, the last one too: IDs
// taken as the node numbers of a part whose nodes carry none (the rows out
// of order), and IDs looked up among the part's own node IDs 11-14, which
// its element names (the rows in order and not).
TEST_F(NKFImport, ScalarsGivenByNodeIDReachTheLastNode)
{
    const struct {
        bool bNodeIDs;
        std::vector<std::string> rows;
    } cases[] = {
        {false, {"4 40", "1 10", "3 30", "2 20"}},
        {true, {"11 10", "12 20", "13 30", "14 40"}},
        {true, {"14 40", "12 20", "11 10", "13 30"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rows.front());
        std::vector<std::string> lines = QuadLines();
        if (c.bNodeIDs) {
            lines.insert(lines.begin() + 2, "%WITH_ID");
            for (int n = 0; n < 4; n++)
                lines[(size_t)(3 + n)] = std::to_string(11 + n) + " " + lines[(size_t)(3 + n)];
            *std::find(lines.begin(), lines.end(), "1 2 3 4") = "11 12 13 14";
        }
        const auto values = std::find(lines.begin(), lines.end(), "%PER_NODE #1") + 1;
        lines.erase(values, values + 4);
        lines.insert(std::find(lines.begin(), lines.end(), "%PER_NODE #1") + 1, c.rows.begin(),
                     c.rows.end());
        lines.insert(std::find(lines.begin(), lines.end(), "%PER_NODE #1"), "%WITH_ID");
        ASSERT_EQ(Run("nkf open \"" + NKFWriteTestFile("ids.nkf", lines) + "\""), 0)
            << m_Capture.Text();
        ASSERT_EQ(Run("nkf scalar"), 0) << m_Capture.Text();
        ASSERT_EQ(Part(0, 0)->iNumNodes, 4);
        EXPECT_EQ(Part(0, 0)->pNodeIDs != nullptr, c.bNodeIDs);
        for (int n = 0; n < 4; n++) EXPECT_FLOAT_EQ(NodeValue(0, 0, n), 10.0f * (n + 1)) << n;
        Run("nkf close");
    }
}

TEST_F(NKFImport, GeometryEntriesCoverTheirStepsAndScalarsFillTheirFrames)
{
    std::vector<std::string> lines = QuadLines();
    lines.resize(14);  // up to the geometry block's first entry
    lines.insert(lines.end(), {"%STEP 5", "3", "*RESULTS 1", "%DIMENSION 1", "%PER_NODE #1", "1",
                               "2", "3", "4", "*QUOLINSCALAR 1", "%STEP 1", "1", "%STEP 2", "1",
                               "%STEP 3", "1", "%STEP 4", "1"});
    std::string path = NKFWriteTestFile("entries.nkf", lines);
    ASSERT_EQ(Run("nkf open \"" + path + "\""), 0);
    ASSERT_EQ(g_pModel->iNumFrames, 5);
    NKGeometry *pFirst = g_pModel->pFrames[0].pGeometry;
    EXPECT_EQ(g_pModel->pFrames[3].pGeometry, pFirst);
    EXPECT_NE(g_pModel->pFrames[4].pGeometry, pFirst);
    EXPECT_EQ(pFirst->iNumRef, 4);
    // Step index 3 falls under the entry of the geometry built last: nothing new.
    NKGeometry *pStep0 = NKFGetGeometry(0, true);
    ASSERT_NE(pStep0, nullptr);
    NKReleaseGeometry(pStep0);
    EXPECT_EQ(NKFGetGeometry(3, false), nullptr);

    ASSERT_EQ(Run("nkf scalar 1 3 4"), 0);
    EXPECT_EQ(g_pModel->iNumFrames, 5);
    EXPECT_EQ(g_pModel->pFrames[0].pScalar, nullptr);
    EXPECT_EQ(g_pModel->pFrames[1].pScalar, nullptr);
    EXPECT_NE(g_pModel->pFrames[2].pScalar, nullptr);
    EXPECT_NE(g_pModel->pFrames[3].pScalar, nullptr);
    EXPECT_EQ(g_pModel->pFrames[4].pScalar, nullptr);
}

TEST_F(NKFImport, VectorRowsAndMissingResultBlocks)
{
    // Face set "1 2 -4" over four nodes; vector rows without IDs.
    std::vector<std::string> head = {
        "*NKF-1.00", "*NODES 1",          "0 0 0",     "1 0 0",  "1 1 0",
        "0 1 0",     "*INDEXEDFACESET 7", "%NODES #1", "1 2 -4", "*QUOLINGEOMETRY 1",
        "7"};
    struct Case {
        std::vector<std::string> rows;
        float fThirdNode;
    } cases[] = {{{"1 1 1", "2 2 2", "3 3 3"}, FLT_MAX}, {{"1 1 1", "2 2 2"}, 0.0f}};
    for (const Case &c : cases) {
        std::vector<std::string> lines = head;
        lines.insert(lines.end(), {"*RESULTS 1", "%DIMENSION 3", "%PER_NODE #1"});
        lines.insert(lines.end(), c.rows.begin(), c.rows.end());
        lines.insert(lines.end(), {"*QUOLINVECTOR 1", "%STEP 1", "9 1"});
        std::string path = NKFWriteTestFile("vectors.nkf", lines);
        m_Capture.Clear();
        ASSERT_TRUE(NKFIInitInterface(path.c_str()));
        NKGeometry *pGeo = NKFGetGeometry(0, true);
        ASSERT_NE(pGeo, nullptr);
        NKVectorResult *pVector = NKFGetVector(0, 0, pGeo);
        ASSERT_NE(pVector, nullptr);
        EXPECT_TRUE(m_Capture.Contains("Could not find *RESULTS block with ID #9. Referenced by "
                                       "*QUOLINVECTOR block with ID #1"));
        ASSERT_EQ(pVector->pResults[0].iNumNodes, 3);
        EXPECT_FLOAT_EQ(pVector->pResults[0].pNodeValues[0], 1.0f);
        EXPECT_FLOAT_EQ(pVector->pResults[0].pNodeValues[6], c.fThirdNode);
        NKReleaseVectorResult(pVector);
        NKReleaseGeometry(pGeo);
    }
}

TEST_F(NKFImport, InternalStringsAndFilesThatCannotOpen)
{
    std::vector<std::string> lines = QuadLines();
    lines.insert(lines.end(),
                 {"*INTERNALSTRING 20002", "interface;7", "*INTERNALSTRING 42", "hello"});
    std::string path = NKFWriteTestFile("strings.nkf", lines);
    ASSERT_EQ(Run("nkf open \"" + path + "\""), 0);
    EXPECT_EQ(NKFGetInterfaceType(), 7);
    m_Capture.Clear();
    EXPECT_EQ(Run("nkf intx"), 0);
    EXPECT_TRUE(
        m_Capture.Contains("Internal string blocks found in file\n   ID: 42\n   ID: 20002"));
    EXPECT_EQ(Run("nkf internalstring 42"), 0);
    EXPECT_TRUE(m_Capture.Contains("hello"));
    EXPECT_EQ(Run("nkf int 99999"), 0);
    EXPECT_TRUE(m_Capture.Contains("Error parsing export info string"));

    std::vector<std::string> noGeometry = {"*NKF-1.00", "*NODES 1", "0 0 0"};
    m_Capture.Clear();
    EXPECT_FALSE(NKFIInitInterface(NKFWriteTestFile("nogeo.nkf", noGeometry).c_str()));
    EXPECT_TRUE(m_Capture.HasLine("No geometry block found in NKF file. Aborting.", NK_MSG_ERROR));
    // The file open before stays open, its internal strings read.
    EXPECT_EQ(NKFGetNumSteps(), 1);
    EXPECT_EQ(NKFGetInterfaceType(), 7);
}

}  // namespace
