// tests/app/test_open_commands.cpp -- opening primary files by command,
// end to end through the interpreter: the example beam opened, dumped and
// read state by state, opens that fail and keep the model, file-type
// detection, the reader-interface listing, the file-open command file, and
// the size arguments and mode-shape factors of the open operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/nk_system_commands.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_file_type.h"
#include "commands/nk_open_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_animation_setup.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_interface.h"
#include "readers/nk_fem_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/mock_fem_reader.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

// A model without frames, the file and system commands registered, the data
// sources installed, in a fresh temporary folder.
class OpenCommands : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKRegisterSystemCommands();
        m_Dir = NKTestMakeTempDir("quolin_open_commands_");
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, nullptr);
        NKTestRemoveDir(m_Dir.string());
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    std::string Path(const char *pszName) { return (m_Dir / pszName).string(); }
    std::string Write(const char *pszName, const std::string &text)
    {
        std::string path = Path(pszName);
        NKTestWriteText(path, text);
        return path;
    }
    float Node(int iPart, int iNode, int k)
    {
        return g_pModel->pFrames[0].pGeometry->pParts[iPart].pNodeCoords[3 * iNode + k];
    }

    NKModelHooks m_SavedHooks;
    std::filesystem::path m_Dir;
    MessageCapture m_Capture;
};

TEST_F(OpenCommands, BeamOpensDumpsAndReadsItsStates)
{
    std::string beam = NKTestExamplePath("beam.nkf");
    ASSERT_EQ(Run("open \"" + beam + "\""), 0);
    EXPECT_TRUE(m_Capture.HasLine("Primary file " + beam + " opened."));
    std::string dump = Path("t.dbg");
    ASSERT_EQ(Run("dump \"" + dump + "\""), 0);
    std::string text = NKTestReadFile(dump);
    for (const char *pszLine : {"- iNumFrames           = 1", "- iTotalNumNodes       = 99",
                                "- iTotalNumPolygons    = 88", "- fGeoScale            = 0.100000",
                                "- fCenterX|Y|Z         = 5.000000  0.500000  0.500000"})
        EXPECT_NE(text.find(pszLine), std::string::npos) << pszLine << "\n" << text;
    // Node (10, 1, 1) is held in display coordinates.
    EXPECT_FLOAT_EQ(Node(0, 98, 0), 0.5f);
    EXPECT_FLOAT_EQ(Node(0, 98, 1), 0.05f);
    EXPECT_FLOAT_EQ(Node(0, 98, 2), 0.05f);

    m_Capture.Clear();
    ASSERT_EQ(Run("readstate 2 1 1"), 0);
    EXPECT_TRUE(m_Capture.HasLine("State Loaded sucessfully."));
    NKFrame *f = &g_pModel->pFrames[0];
    EXPECT_STREQ(f->szDescription.GetText(), "Load 2");
    EXPECT_FLOAT_EQ(f->fTime, 0.666667f);
    ASSERT_NE(f->pScalar, nullptr);
    EXPECT_STREQ(f->pScalar->szDescription.GetText(), "Displacement magnitude");
    EXPECT_NEAR(f->pScalar->pNodeResults[0].pNodeValues[10], 0.668539f, 1e-5f);

    m_Capture.Clear();
    EXPECT_EQ(Run("readstate 9"), 1);
    EXPECT_TRUE(m_Capture.Contains("Error reading state. Illegal state no: 8 (Max state no : 2)"));
    EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Load 2");
    for (const char *pszLine : {"readstate last", "readstate next"}) {
        EXPECT_EQ(Run(pszLine), 0) << pszLine;
        EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Load 3") << pszLine;
    }
}

TEST_F(OpenCommands, FailedOpensKeepTheModel)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    NKGeometry *pBeam = g_pModel->pFrames[0].pGeometry;
    // An empty file, a folder or words without a number once read as a step
    // of undefined values and reported success.
    const std::string empty = Write("empty.scl", ""), words = Write("words.vec", "no numbers\n");
    const std::string folder = Path("results");
    std::filesystem::create_directory(folder);
    const std::string unknown = Write("unknown.dat", std::string("\x01\x02\x03\x04\x05", 5));
    // No writer ever comes to the FIFO: a look inside it would wait for good.
    const std::string fifo = Path("model.nkf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string line;
        std::string message;
        std::string fileLine;  // the line that names the file, when one follows
    } cases[] = {
        {"open \"" + Write("bad.nkf", "*NKF-1.01\n") + "\"", "Error initializing interface.", ""},
        {"readgeometry none.geo", "Error reading geometry file none.geo. Reverting to old.", ""},
        {"readscalar none.scl", "Error reading scalar file none.scl.",
         "File \"none.scl\": no such file."},
        {"readscalar \"" + empty + "\"", "Wrong scalar file format in " + empty,
         "File \"" + empty + "\": it is empty."},
        {"readscalar \"" + folder + "\"", "Unable to open scalar file " + folder,
         "File \"" + folder + "\": it is a folder."},
        {"readdisplacements \"" + words + "\"", "Wrong vector file format in " + words,
         "File \"" + words + "\": it holds no number."},
        {"open \"" + unknown + "\"", "Unable to auto-detect primary file type.",
         "File \"" + unknown + "\"."},
        {"open \"" + fifo + "\"", "Unable to open file for reading: " + fifo,
         "File \"" + fifo + "\": it is not a regular file."},
        {"open \"" + folder + "\"", "Unable to open file for reading: " + folder,
         "File \"" + folder + "\": it is a folder."},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(Run(c.line), 1) << c.line;
        EXPECT_TRUE(m_Capture.Contains(c.message)) << c.line << "\n" << m_Capture.Text();
        if (!c.fileLine.empty()) {
            EXPECT_TRUE(m_Capture.HasLine(c.fileLine, NK_MSG_ERROR)) << m_Capture.Text();
        }
        EXPECT_FALSE(m_Capture.Contains("Read step")) << c.line;
        ASSERT_EQ(g_pModel->iNumFrames, 1) << c.line;
        EXPECT_EQ(g_pModel->pFrames[0].pGeometry, pBeam) << c.line;
    }
    std::string dump = Path("after.dbg");
    ASSERT_EQ(Run("dump \"" + dump + "\""), 0);
    EXPECT_NE(NKTestReadFile(dump).find("- iTotalNumNodes       = 99"), std::string::npos);
}

TEST_F(OpenCommands, AddedGeometryKeepsTheModelCoordinatesAndTheResultList)
{
    ASSERT_EQ(Run("open \"" + NKTestExamplePath("beam.nkf") + "\""), 0);
    ASSERT_EQ(Run("addgeometry \"" + NKTestExamplePath("plate.nkf") + "\""), 0);
    NKGeometry *pGeo = g_pModel->pFrames[0].pGeometry;
    ASSERT_EQ(pGeo->iNumParts, 3);
    EXPECT_STREQ(pGeo->pParts[0].szName.GetText(), "Beam");
    EXPECT_EQ(pGeo->pParts[2].iNumNodes, 63);
    float afNode[3] = {Node(0, 98, 0), Node(0, 98, 1), Node(0, 98, 2)};
    DisplayToModel(afNode);
    EXPECT_NEAR(afNode[0], 10.0f, 1e-4f);
    EXPECT_NEAR(afNode[1], 1.0f, 1e-4f);
    EXPECT_NEAR(afNode[2], 1.0f, 1e-4f);

    // The step and result lists of the open source go to a text file.
    std::string info = Path("info.txt");
    ASSERT_TRUE(ExportResultInfo(info.c_str()));
    std::string text = NKTestReadFile(info);
    EXPECT_NE(text.find("*INTERFACE_TYPE: NKF File\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n*STATES: 3\n1: Load 1\n2: Load 2\n3: Load 3\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\n*SCALARS: 2\n1: Displacement magnitude\n"), std::string::npos) << text;
    EXPECT_FALSE(ExportResultInfo(Path("no/such/dir/info.txt").c_str()));
    m_Capture.Clear();
    EXPECT_FALSE(NKSetupInterfaceAnimation(3, 2, 1, nullptr, 0));
    EXPECT_TRUE(m_Capture.HasLine("Invalid parameters for animation setup.", NK_MSG_ERROR));
    ASSERT_TRUE(NKSetupInterfaceAnimation(1, 3, 1, nullptr, 0));
    EXPECT_EQ(g_pModel->iNumFrames, 3);
}

TEST_F(OpenCommands, FileTypesAreDetectedFromTheContents)
{
    NKFTestWriter bigEndian(true);
    AppendFileHeader(bigEndian);
    std::string textThenBinary(80, 'a');
    for (int i = 0; i < 64; i++) textThenBinary.push_back((char)(i % 5));
    struct Case {
        std::string path;
        int iType;
    } cases[] = {
        {NKFWriteTestFile("big.nkf", bigEndian), NK_FILETYPE_NKF},
        {Write("mixed.dat", textThenBinary), NK_FILETYPE_UNKNOWN},
        {Write("commands.txt", "# Gr\xc3\xb6\xc3\x9f"
                               "e\n\nversion\n"),
         NK_FILETYPE_COMMANDS},
        {Write("zzz", "zzz\n"), NK_FILETYPE_UNKNOWN},
        {Write("model.nkf", "*NKF-1.00\n"), NK_FILETYPE_NKF},
        {Path("missing"), NK_FILETYPE_UNKNOWN},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(DetectFileType(NKString(c.path.c_str())), c.iType) << c.path;
        EXPECT_TRUE(m_Capture.Lines().empty()) << c.path << "\n" << m_Capture.Text();
    }
    EXPECT_EQ(Run("open \"" + Path("zzz") + "\""), 1);
    EXPECT_TRUE(
        m_Capture.Contains("Unable to auto-detect primary file type.\nPlease open file again "
                           "and select the correct file type."));
}

TEST_F(OpenCommands, ReaderInterfacesAreListedAndUnknownOnesRefused)
{
    EXPECT_EQ(Run("openfemfile"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Available FEM interfaces:", NK_MSG_INFO));
    m_Capture.Clear();
    EXPECT_EQ(Run("openfemfile foo x"), 1);
    EXPECT_TRUE(m_Capture.Contains("openfemfile: Unknown interface code specified"));
    EXPECT_EQ(Run("openfemresultfile anything at all"), 0);
}

// A reader plug-in found by the file's name opens through openfemfile, and
// its steps read and animate like any other source's.
TEST_F(OpenCommands, PluginFileOpensThroughItsReader)
{
    NKTestMockModel mock;
    mock.info.szName = "Mock reader";
    mock.pszExtension = ".moc";
    NKTestTwoHexahedra(&mock);
    mock.steps = {{1, "Step one", 0.0f, 1}, {2, "Step two", 2.0f, 1}};
    mock.scalars = {{4, "Temp", 0, NK_RESULT_MAP_NODE}};
    std::vector<float> values(12);
    for (int i = 0; i < 12; i++) values[(size_t)i] = (float)i;
    mock.values1D[{4, 1}] = {{0, 12, std::vector<float>(12, 0.0f)}};
    mock.values1D[{4, 2}] = {{0, 12, values}};
    NKTestInstallMock(0, &mock);
    std::string cube = Write("cube.moc", "");
    EXPECT_EQ(DetectFileType(NKString(cube.c_str())), 101);

    ASSERT_EQ(Run("open \"" + cube + "\""), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Primary file " + cube + " opened."));
    EXPECT_EQ(NKGetResultsInterface()->type, 101);
    NKString name;
    NKGetInterfaceName(&name);
    EXPECT_EQ(name, "Mock reader");
    ASSERT_EQ(Run("readstate 2 1 0"), 0);
    NKFrame *f = &g_pModel->pFrames[0];
    EXPECT_STREQ(f->szDescription.GetText(), "Step two");
    ASSERT_NE(f->pScalar, nullptr);
    EXPECT_STREQ(f->pScalar->szDescription.GetText(), "Temp");
    const NKPart &part = f->pGeometry->pParts[0];
    for (int j = 0; j < part.iNumNodes; j++)
        EXPECT_EQ(f->pScalar->pNodeResults[0].pNodeValues[j], (float)part.pNodeMap[j]);

    NKFEMInterface *pAdapter = NKGetFEMSourceAdapter();
    ASSERT_NE(pAdapter, nullptr);
    for (uint8_t bVerbose : {0, 1}) {
        pAdapter->SetVerbose(bVerbose);
        EXPECT_TRUE(SetupAnimationFromInterface(0, 1, 1, nullptr, 0));
        EXPECT_EQ(g_pModel->iNumFrames, 2);
        EXPECT_EQ(pAdapter->GetVerbose(), bVerbose);
    }
    m_Capture.Clear();
    ASSERT_EQ(Run("openfemfile moc \"" + cube + "\""), 0);
    EXPECT_EQ(Run("openfemfile"), 0);
    EXPECT_TRUE(m_Capture.HasLine("moc, Mock reader", NK_MSG_INFO)) << m_Capture.Text();
    NKCloseInterface();
    NKTestRemoveMocks();
}

TEST_F(OpenCommands, FileOpenCommandFileRunsOnceAfterADetectedOpen)
{
    std::string beam = NKTestExamplePath("beam.nkf");
    std::filesystem::create_directories(m_Dir / ".config" / "Brovik");
    Write(".config/Brovik/fileopen.qlc", "open \"" + beam + "\"\n");
    const char *pszHome = std::getenv("HOME");
    std::string savedHome = pszHome != nullptr ? pszHome : "";
    setenv("HOME", m_Dir.c_str(), 1);
    EXPECT_EQ(Run("open \"" + beam + "\""), 0);
    setenv("HOME", savedHome.c_str(), 1);
    int iRuns = 0;
    for (const CapturedLine &line : m_Capture.Lines())
        if (line.text == "Running \"file open\" command file...") iRuns++;
    EXPECT_EQ(iRuns, 1);
    EXPECT_FALSE(m_Capture.Contains("Command files nested too deeply"));
}

TEST(OpenOperations, SizeArgumentsAndModeShapeFactors)
{
    struct Case {
        const char *pszWords;
        bool bKeepAspect;
        int iCode, iWidth, iHeight;
    } cases[] = {{"PARAMS * 300", true, 1, 400, 300},
                 {"PARAMS 640 *", true, 2, 640, 480},
                 {"PARAMS 3000 200", true, 3, -1, -1},
                 {"PARAMS", false, 0, 800, 600},
                 {"PARAMS 0 100", false, 0, 800, 100}};
    for (const Case &c : cases) {
        NKArgumentScan scan(c.pszWords);
        scan.NextToken();
        int w = -1, h = -1;
        EXPECT_EQ(
            NKParseSizeArguments(&scan, 800, 600, &w, &h, c.bKeepAspect, 2147483647, 2147483647),
            c.iCode)
            << c.pszWords;
        EXPECT_EQ(w, c.iWidth) << c.pszWords;
        EXPECT_EQ(h, c.iHeight) << c.pszWords;
    }
    const float afLinear[5] = {1.0f, 0.5f, 0.0f, -0.5f, -1.0f};
    for (int f = 0; f < 5; f++)
        EXPECT_FLOAT_EQ(NKModeShapeFactor(f, 2, 2, false), afLinear[f]) << f;
    // Sine with twice the steps on the negative side: -1 half way, 0 at the end.
    EXPECT_FLOAT_EQ(NKModeShapeFactor(2 + 2, 4, 2, true), -1.0f);
    EXPECT_NEAR(NKModeShapeFactor(2 + 4, 4, 2, true), 0.0f, 1e-6f);
}

// The open of a name no command line can carry (a double quote in it),
// whose type is found, is refused naming it and does not go on to open the
// file its first part names. (The refusals of the line itself are tested
// with the command files.)
TEST_F(OpenCommands, NamesNoCommandLineCanCarryAreRefused)
{
    // Typed as it is or in quotes: the quote after x does not close the
    // name, whose word goes on.
    const std::string beam = NKTestReadFile(NKTestExamplePath("beam.nkf"));
    Write("x", beam);
    const std::string quoted = Write("x\"y.nkf", beam);
    for (const std::string &line : {"open " + quoted, "open \"" + quoted + "\""}) {
        m_Capture.Clear();
        EXPECT_EQ(Run(line), 1) << line;
        EXPECT_TRUE(m_Capture.HasLine(
            "File name contains a double quote or a line break: " + quoted, NK_MSG_ERROR))
            << line << "\n"
            << m_Capture.Text();
        EXPECT_EQ(g_pModel->iNumFrames, 0) << line;
        EXPECT_FALSE(m_Capture.Contains("opened.")) << line;
    }
}

}  // namespace
