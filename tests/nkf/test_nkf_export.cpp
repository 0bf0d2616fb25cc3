// tests/nkf/test_nkf_export.cpp -- the NKF export end to end through the
// command interpreter: the export settings commands, the exact bytes of a
// small export, round trips of the example models in every form, the
// version line, failures that must leave the target whole, the test grid
// and the NKF file test.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_open_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_element_types.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "nkf/nkf_export.h"
#include "nkf/nkf_import.h"
#include "platform/nk_progress_ui.h"
#include "readers/nk_data_source.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/nkf/nkf_damage_check.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_example_models.h"
#include "tests/test_support/nkf_example_twins.h"
#include "tests/test_support/nkf_test_parse.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/recording_progress_ui.h"
#include "tests/test_support/test_files.h"

namespace {

// A model without frames, the file commands registered, no file open, the
// export settings at their defaults, working in a fresh folder.
class NKFExport : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_SavedHooks = NKSetModelHooks(NKModelHooks());
        NKInstallDataSources();
        NKRegisterFileCommands();
        NKFInitExportSettings(&g_NKFExportSettings);
        m_Dir = NKTestMakeTempDir("quolin_nkf_export_");
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
    }
    void TearDown() override
    {
        NKCloseInterface();
        NKFCloseInterface();
        std::filesystem::current_path(m_OldDir);
        NKTestRemoveDir(m_Dir);
        NKFInitExportSettings(&g_NKFExportSettings);
        NKSetModelHooks(m_SavedHooks);
        NKModelTest::TearDown();
    }
    int Run(const std::string &line) { return ExecuteCommand(line.c_str()); }
    std::vector<std::string> Files()
    {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(m_Dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    NKModelHooks m_SavedHooks;
    MessageCapture m_Capture;
    std::string m_Dir;
    std::filesystem::path m_OldDir;
};

// The little-endian words of a file.
std::vector<int32_t> Words(const std::string &bytes)
{
    std::vector<int32_t> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), words.size() * 4);
    return words;
}

// Byte offset of a run of words anywhere in the file (internal strings
// need not end on a word boundary); npos when absent.
size_t FindWords(const std::string &bytes, const std::vector<int32_t> &words)
{
    return bytes.find(std::string(reinterpret_cast<const char *>(words.data()), words.size() * 4));
}

float AsFloat(int32_t i)
{
    float f;
    std::memcpy(&f, &i, 4);
    return f;
}

// The quad of the import tests: four nodes, one %QUADS element "Plate",
// node values 10..40 named "Temp".
std::vector<std::string> QuadLines() { return NKFTestQuadLines("Plate"); }

TEST_F(NKFExport, SettingsCommandsListAndSwitch)
{
    ASSERT_EQ(Run("nkf open \"" + NKFWriteTestFile("quad.nkf", QuadLines()) + "\""), 0);
    m_Capture.Clear();
    EXPECT_EQ(Run("export"), 0);
    const char *apszLines[] = {
        "Current export settings:", "- Geometry: On",        "- Results: On",
        "- Part Attributes: On",    "- Quolin Settings: On", "- Scalar Settings: On",
        "- Vector Settings: On",    "- ViewPoint: On",       "- Cutplane: On",
        "- Iso Surface: On",        "- Node Traces: On",     "- Node Plots: On",
        "- Visible Parts Only: Off"};
    for (const char *pszLine : apszLines)
        EXPECT_TRUE(m_Capture.HasLine(pszLine, NK_MSG_INFO)) << pszLine;
    struct Case {
        const char *pszLine;
        const char *pszMessage;
    } cases[] = {
        {"export geometry", "Export of geometry tured Off"},
        {"export results off", "Export of results tured Off"},
        {"export transformations ON", "Export of transformations tured On"},
        {"export partattributes x", "Export of part attributes tured Off"},
        {"export quolinsettings on", "Export of global Quolin settings tured On"},
        {"export scalarsettings on", "Export of scalar settings tured On"},
        {"export vectorsettings on", "Export of vector settings tured On"},
        {"export viewpoint on", "Export of view point tured On"},
        {"export cutplane off", "Export of cutplanes tured Off"},
        {"export isosurface on", "Export of iso surfaces tured On"},
        {"export traces on", "Export of node traces tured On"},
        {"export nodeplots on", "Export of node plot tured On"},
        {"export startanimation on", "Auto-start of animation when loading NKF file tured On"},
        {"export visiblepartsonly on", "Export of visible parts only turned  On"},
    };
    for (const Case &c : cases) {
        m_Capture.Clear();
        EXPECT_EQ(Run(c.pszLine), 0) << c.pszLine;
        EXPECT_TRUE(m_Capture.HasLine(c.pszMessage, NK_MSG_INFO)) << m_Capture.Text();
    }
    m_Capture.Clear();
    Run("export");
    EXPECT_TRUE(m_Capture.HasLine("- Geometry: Off", NK_MSG_INFO));
    EXPECT_TRUE(m_Capture.HasLine("- Visible Parts Only: On", NK_MSG_INFO));
    EXPECT_EQ(ExportCommand(999, "PARAMS", NKFSourceCounts()), 1);
    EXPECT_TRUE(m_Capture.HasLine("Export, unknown sub command.", NK_MSG_ERROR));
}

TEST_F(NKFExport, QuadExportHasTheExactBlocks)
{
    std::string quad = NKFWriteTestFile("quad.nkf", QuadLines());
    ASSERT_EQ(Run("nkf open \"" + quad + "\""), 0);
    ASSERT_EQ(Run("nkf scalar"), 0);
    m_Capture.Clear();
    ASSERT_EQ(Run("export nkf t.nkf"), 0) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Successful export to file: t.nkf", NK_MSG_INFO));
    std::string bytes = NKTestReadFile(m_Dir + "/t.nkf");
    const unsigned char aHeader[] = {0x68, 0x87, 0x03, 0x00, 0x99, 0x8b, 0xfd, 0xff,
                                     0x87, 0xd5, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};
    ASSERT_GT(bytes.size(), sizeof(aHeader));
    EXPECT_EQ(0, std::memcmp(bytes.data(), aHeader, sizeof(aHeader)));
    std::vector<int32_t> w = Words(bytes);
    const std::vector<int32_t> nodes = {1001, 0, 16, 48, 0, 4};
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 4, w.begin() + 10), nodes);
    const float afCoords[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    for (int i = 0; i < 12; i++) EXPECT_FLOAT_EQ(AsFloat(w[10 + i]), afCoords[i]) << i;
    EXPECT_EQ(w[22], -999);
    const std::vector<int32_t> elements = {1007, 0, 124, 28, 0};
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 23, w.begin() + 28), elements);
    EXPECT_STREQ(bytes.data() + 28 * 4, "Plate");
    for (int c = 0; c < 3; c++) EXPECT_FLOAT_EQ(AsFloat(w[48 + c]), -1.0f);
    const std::vector<int32_t> tail = {1, 1, 0, -1, 0, 5, 1, 1, 1, 2, 3, 4, -999};
    EXPECT_EQ(std::vector<int32_t>(w.begin() + 51, w.begin() + 64), tail);
    // Later: the scalar's *RESULTS block and its list.
    const std::vector<int32_t> results = {1009, 0, 28, 16, 1, 0, 0, 0, 4};
    size_t iAt = FindWords(bytes, results);
    ASSERT_NE(iAt, std::string::npos);
    std::vector<int32_t> values = Words(bytes.substr(iAt + 36, 16));
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(AsFloat(values[i]), 10.0f * (i + 1));
    EXPECT_NE(FindWords(bytes, {1010, 1, 92, 96}), std::string::npos);
}

// `animresults first last step`: frames from the data source's steps.
int AnimResultsHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id != NK_CID_ANIMRESULTS) return NK_CMD_NOT_MINE;
    int iFirst = 1, iLast = 1, iStep = 1;
    std::sscanf(pszArguments, "PARAMS %d %d %d", &iFirst, &iLast, &iStep);
    return NKSetupInterfaceAnimation(iFirst, iLast, iStep, nullptr, 0) ? 0 : 1;
}

// What a model holds, in model coordinates, for comparing two loads.
struct ModelSnapshot {
    std::vector<std::string> frames;  // name and time
    std::vector<std::string> parts;   // name, counts, element types and IDs
    std::vector<std::vector<int>> nodeIDs;
    std::vector<std::vector<float>> scalars;  // bit-equal
    std::vector<std::vector<float>> coords;   // model coordinates
    std::vector<std::vector<float>> vectors;  // displaced minus undeformed, model space
};

ModelSnapshot Snapshot()
{
    ModelSnapshot s;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        const NKFrame &frame = g_pModel->pFrames[f];
        s.frames.push_back(std::string(frame.szDescription.GetText()) + " " +
                           std::to_string(frame.fTime));
        const NKGeometry *pGeo = frame.pGeometry;
        for (int p = 0; pGeo != nullptr && p < pGeo->iNumParts; p++) {
            const NKPart &part = pGeo->pParts[p];
            std::string desc =
                std::string(part.szName.GetText()) + " " + std::to_string(part.iNumNodes) + " " +
                std::to_string(part.iNumPolygons) + " " + std::to_string(part.iNumElements);
            for (int e = 0; e < part.iNumElements; e++)
                desc += " " + std::to_string(part.pElements[e].iType) + ":" +
                        std::to_string(part.pElements[e].iID);
            s.parts.push_back(desc);
            std::vector<int> ids;
            for (int n = 0; n < part.iNumNodes; n++)
                ids.push_back(part.pNodeIDs != nullptr ? part.pNodeIDs[n] : n + 1);
            s.nodeIDs.push_back(ids);
            std::vector<float> xyz, vec;
            for (int n = 0; n < part.iNumNodes; n++) {
                float a[3] = {part.pNodeCoords[3 * n], part.pNodeCoords[3 * n + 1],
                              part.pNodeCoords[3 * n + 2]};
                DisplayToModel(a);
                xyz.insert(xyz.end(), a, a + 3);
                if (frame.pVector != nullptr && p < frame.pVector->iNumParts &&
                    frame.pVector->pResults[p].pNodeValues != nullptr) {
                    float b[3] = {frame.pVector->pResults[p].pNodeValues[3 * n],
                                  frame.pVector->pResults[p].pNodeValues[3 * n + 1],
                                  frame.pVector->pResults[p].pNodeValues[3 * n + 2]};
                    DisplayToModel(b);
                    for (int c = 0; c < 3; c++) vec.push_back(b[c] - a[c]);
                }
            }
            s.coords.push_back(xyz);
            s.vectors.push_back(vec);
            std::vector<float> values;
            if (frame.pScalar != nullptr && p < frame.pScalar->iNumParts) {
                const NKScalarPartEntry &nodes = frame.pScalar->pNodeResults[p];
                if (nodes.pNodeValues != nullptr)
                    values.assign(nodes.pNodeValues, nodes.pNodeValues + nodes.iCount);
                if (frame.pScalar->pElementResults != nullptr) {
                    const NKScalarPartEntry &el = frame.pScalar->pElementResults[p];
                    if (el.pNodeValues != nullptr)
                        values.insert(values.end(), el.pNodeValues, el.pNodeValues + el.iCount);
                }
            }
            s.scalars.push_back(values);
        }
    }
    return s;
}

// Largest absolute coordinate and vector component of a snapshot.
float Extent(const std::vector<std::vector<float>> &arrays)
{
    float fMax = 0.0f;
    for (const auto &a : arrays)
        for (float f : a) fMax = std::max(fMax, std::fabs(f));
    return fMax;
}

void ExpectSameModel(const ModelSnapshot &a, const ModelSnapshot &b)
{
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.parts, b.parts);
    EXPECT_EQ(a.nodeIDs, b.nodeIDs);
    EXPECT_EQ(a.scalars, b.scalars);
    ASSERT_EQ(a.coords.size(), b.coords.size());
    ASSERT_EQ(a.vectors.size(), b.vectors.size());
    float fCoordTol = 1e-5f * std::max(1.0f, Extent(a.coords));
    float fVectorTol = 1e-5f * std::max(1e-3f, Extent(a.vectors));
    for (size_t i = 0; i < a.coords.size(); i++) {
        ASSERT_EQ(a.coords[i].size(), b.coords[i].size());
        for (size_t k = 0; k < a.coords[i].size(); k++)
            ASSERT_NEAR(a.coords[i][k], b.coords[i][k], fCoordTol) << i << " " << k;
        ASSERT_EQ(a.vectors[i].size(), b.vectors[i].size());
        for (size_t k = 0; k < a.vectors[i].size(); k++)
            ASSERT_NEAR(a.vectors[i][k], b.vectors[i][k], fVectorTol) << i << " " << k;
    }
}

// The words of an exported file with block 99999 (the export time) cut out.
std::string WithoutVersionBlock(const std::string &bytes)
{
    std::string marker(8, '\0');
    const int32_t aiHead[2] = {1022, 99999};
    std::memcpy(&marker[0], aiHead, 8);
    size_t iAt = bytes.find(marker);
    if (iAt == std::string::npos) return bytes;
    int32_t iLength;
    std::memcpy(&iLength, bytes.data() + iAt + 12, 4);
    return bytes.substr(0, iAt) + bytes.substr(iAt + 16 + iLength + 4);
}

}  // namespace

TEST_F(NKFExport, ExamplesComeBackInEveryForm)
{
    NKCommandHandler pSaved = NKSetCommandHandler(NK_HANDLER_ANIMATION, AnimResultsHandler);
    struct Model {
        const char *pszName;
        std::string text;
    } models[] = {{"beam", NKFBeamExampleText()}, {"plate", NKFPlateExampleText()}};
    for (const Model &model : models) {
        std::vector<std::string> exports;
        std::string forms[3] = {
            NKFWriteTestFile((std::string(model.pszName) + ".nkf").c_str(), {model.text}),
            NKFWriteTestFile((std::string(model.pszName) + "_le.nkf").c_str(),
                             NKFExampleBinaryTwin(model.text, false)),
            NKFWriteTestFile((std::string(model.pszName) + "_be.nkf").c_str(),
                             NKFExampleBinaryTwin(model.text, true))};
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(forms[i]);
            ASSERT_EQ(Run("open \"" + forms[i] + "\""), 0) << m_Capture.Text();
            ASSERT_EQ(Run("readstate 1 1 1"), 0) << m_Capture.Text();
            ASSERT_EQ(Run("animresults 1 3 1"), 0) << m_Capture.Text();
            ASSERT_EQ(g_pModel->iNumFrames, 3);
            ModelSnapshot before = Snapshot();
            std::string out = "out" + std::to_string(i) + ".nkf";
            ASSERT_EQ(Run("export nkf " + out), 0) << m_Capture.Text();
            ASSERT_EQ(Run("open " + out), 0) << m_Capture.Text();
            ASSERT_EQ(Run("readstate 1 1 1"), 0) << m_Capture.Text();
            ASSERT_EQ(Run("animresults 1 3 1"), 0) << m_Capture.Text();
            ExpectSameModel(before, Snapshot());
            exports.push_back(WithoutVersionBlock(NKTestReadFile(m_Dir + "/" + out)));
        }
        EXPECT_TRUE(exports[0] == exports[1]) << model.pszName;
        EXPECT_TRUE(exports[0] == exports[2]) << model.pszName;
    }
    NKSetCommandHandler(NK_HANDLER_ANIMATION, pSaved);
}

TEST_F(NKFExport, AsciiAndBinaryFormsLoadTheSameModel)
{
    // The examples and a larger beam: every node, polygon, element, result
    // value and displacement the same, bit for bit, whichever form is read.
    NKCommandHandler pSaved = NKSetCommandHandler(NK_HANDLER_ANIMATION, AnimResultsHandler);
    struct Model {
        const char *pszName;
        std::string text;
    } models[] = {{"beam", NKFBeamExampleText()},
                  {"plate", NKFPlateExampleText()},
                  {"large_beam", NKFBeamText(60, 12, 12)}};
    for (const Model &model : models) {
        SCOPED_TRACE(model.pszName);
        std::string forms[2] = {
            NKFWriteTestFile((std::string(model.pszName) + ".nkf").c_str(), {model.text}),
            NKFWriteTestFile((std::string(model.pszName) + "_be.nkf").c_str(),
                             NKFExampleBinaryTwin(model.text, true))};
        ModelSnapshot snapshots[2];
        for (int i = 0; i < 2; i++) {
            ASSERT_EQ(Run("open \"" + forms[i] + "\""), 0) << m_Capture.Text();
            ASSERT_EQ(Run("readstate 1 1 1"), 0) << m_Capture.Text();
            ASSERT_EQ(Run("animresults 1 3 1"), 0) << m_Capture.Text();
            ASSERT_EQ(g_pModel->iNumFrames, 3);
            snapshots[i] = Snapshot();
        }
        ASSERT_FALSE(snapshots[0].parts.empty());
        ExpectSameModel(snapshots[0], snapshots[1]);
        EXPECT_TRUE(snapshots[0].coords == snapshots[1].coords);
        EXPECT_TRUE(snapshots[0].vectors == snapshots[1].vectors);
    }
    NKSetCommandHandler(NK_HANDLER_ANIMATION, pSaved);
}

TEST_F(NKFExport, VersionLineAndInternalStringsComeBack)
{
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("beam.nkf", {NKFBeamExampleText()}) + "\""), 0);
    ASSERT_EQ(Run("export nkf t.nkf"), 0);
    ASSERT_EQ(Run("open t.nkf"), 0);
    m_Capture.Clear();
    ASSERT_EQ(Run("nkf int"), 0);
    for (const char *pszID : {"ID: 20002", "ID: 20004", "ID: 99999"})
        EXPECT_TRUE(m_Capture.Contains(pszID)) << pszID << "\n" << m_Capture.Text();
    EXPECT_FALSE(m_Capture.Contains("ID: 20001"));
    m_Capture.Clear();
    ASSERT_EQ(Run("nkf int 99999"), 0);
    EXPECT_TRUE(m_Capture.HasLine("App: Quolin Dulm", NK_MSG_INFO)) << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("Version: 6.4-0", NK_MSG_INFO));
    std::time_t now = std::time(nullptr);
    char acDate[16];
    std::strftime(acDate, sizeof(acDate), "%Y-%m-%d", std::gmtime(&now));
    std::string line;
    for (const CapturedLine &l : m_Capture.Lines())
        if (l.text.rfind("Export time/date: ", 0) == 0) line = l.text;
    ASSERT_EQ(line.size(), std::string("Export time/date: 00:00:00 2026-01-02").size()) << line;
    EXPECT_EQ(line.substr(line.size() - 10), acDate);
    EXPECT_EQ(line[20], ':');
    EXPECT_EQ(line[23], ':');
}

TEST(NKFVersionInfo, ParsesTheExportLineOnly)
{
    NKFVersionInfo info;
    ASSERT_TRUE(NKFParseVersionInfo("version_info;Quolin Dulm;6.4;0;2026-01-02;03:04:05", &info));
    EXPECT_STREQ(info.title.GetText(), "Quolin Dulm");
    EXPECT_STREQ(info.version.GetText(), "6.4");
    EXPECT_EQ(info.iBuild, 0);
    EXPECT_STREQ(info.date.GetText(), "2026-01-02");
    EXPECT_STREQ(info.time.GetText(), "03:04:05");
    EXPECT_EQ(info.iValue1, 0);
    EXPECT_EQ(info.iValue2, -1);
    for (const char *pszLine : {"versioninfo;x", "version_info;Quolin Dulm;6.4", "", "x;y;z;1;2;3"})
        EXPECT_FALSE(NKFParseVersionInfo(pszLine, &info)) << pszLine;
}

TEST(NKFFileKind, BothByteOrdersAndTheAsciiHeader)
{
    NKFTestWriter little(false), big(true);
    for (NKFTestWriter *pW : {&little, &big}) {
        AppendFileHeader(*pW);
        for (int i = 0; i < 4; i++) pW->Int(0);
    }
    std::string padding(40, ' ');
    struct Case {
        std::string path;
        bool bNKF;
    } cases[] = {
        {NKFWriteTestFile("kind_le.nkf", little), true},
        {NKFWriteTestFile("kind_be.nkf", big), true},
        {NKFWriteTestFile("kind_ascii.nkf", {"*NKF-1.00", padding}), true},
        {NKFWriteTestFile("kind_comment.nkf", {"# a comment", "*NKF-1.00", padding}), false},
        {NKFTestPath("kind_missing.nkf"), false},
    };
    for (const Case &c : cases) EXPECT_EQ(GetNKFFileKind(c.path.c_str()), c.bNKF) << c.path;
    std::string bytes = NKTestReadFile(cases[0].path);
    ASSERT_TRUE(NKTestWriteBytes(NKFTestPath("kind_23.nkf"), bytes.data(), 23));
    EXPECT_FALSE(GetNKFFileKind(NKFTestPath("kind_23.nkf").c_str()));
}

TEST_F(NKFExport, FailedExportsLeaveTheTargetWhole)
{
    const std::string kOld = "old contents of t.nkf";
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/t.nkf", kOld));
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("quad.nkf", QuadLines()) + "\""), 0);
    g_pModel->pFrames[0].pGeometry->pParts[0].pElements[0].iType = 18;
    m_Capture.Clear();
    RecordingProgressUI status;
    NKSetProgressUI(&status);
    EXPECT_EQ(Run("export nkf t.nkf"), 1);
    NKSetProgressUI(nullptr);
    ASSERT_FALSE(status.texts.empty());
    EXPECT_EQ(status.texts.back(), "Error.");
    EXPECT_EQ(std::count(status.texts.begin(), status.texts.end(), "Done."), 0);
    const std::vector<std::pair<std::string, int>> expected = {
        {"Unknown element found in Quolin. Cannot export.", NK_MSG_ERROR},
        {"Error exporting geometry to NKF file", NK_MSG_ERROR},
        {"Error exporting to file: t.nkf", NK_MSG_INFO}};
    for (const auto &line : expected)
        EXPECT_TRUE(m_Capture.HasLine(line.first, line.second)) << line.first << "\n"
                                                                << m_Capture.Text();
    EXPECT_EQ(NKTestReadFile(m_Dir + "/t.nkf"), kOld);
    EXPECT_EQ(Files(), std::vector<std::string>{"t.nkf"});

    // Writes that fail at the file size limit.
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("beam.nkf", {NKFBeamExampleText()}) + "\""), 0);
    ASSERT_EQ(Run("readstate 1 1 1"), 0);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    void (*pfnOld)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    m_Capture.Clear();
    int iResult = Run("export nkf t.nkf");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, pfnOld);
    EXPECT_EQ(iResult, 1);
    EXPECT_TRUE(
        m_Capture.HasLine("There was an error while writing to the binary NKF file", NK_MSG_ERROR))
        << m_Capture.Text();
    EXPECT_TRUE(m_Capture.HasLine("File \"t.nkf\".", NK_MSG_ERROR)) << m_Capture.Text();
    EXPECT_EQ(NKTestReadFile(m_Dir + "/t.nkf"), kOld);
    EXPECT_EQ(Files(), std::vector<std::string>{"t.nkf"});

    // A folder that cannot be written.
    m_Capture.Clear();
    EXPECT_EQ(Run("export nkf no/such/dir/t.nkf"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("Error creating binary NKF file: no/such/dir/t.nkf", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Error creating NKF export file", NK_MSG_ERROR));
}

// A path of any length is written whole: one over 256 bytes was cut and
// the export reported under the cut name.
TEST_F(NKFExport, LongPathsAreWrittenWhole)
{
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("quad.nkf", QuadLines()) + "\""), 0);
    std::string path = m_Dir;
    for (char c : {'a', 'b', 'c', 'd', 'e'}) {
        path += "/" + std::string(60, c);
        ASSERT_TRUE(std::filesystem::create_directory(path));
    }
    path += "/long model.nkf";
    ASSERT_GT(path.size(), 300u);
    m_Capture.Clear();
    EXPECT_EQ(Run("export nkf \"" + path + "\""), 0) << m_Capture.Text();
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_TRUE(m_Capture.Contains(path)) << m_Capture.Text();
    EXPECT_EQ(Run("open \"" + path + "\""), 0) << m_Capture.Text();
}

TEST_F(NKFExport, ExportOntoTheOpenFileKeepsItReadable)
{
    std::string beam = m_Dir + "/beam.nkf";
    ASSERT_TRUE(NKTestWriteText(beam, NKFBeamExampleText()));
    ASSERT_EQ(Run("open beam.nkf"), 0);
    ASSERT_EQ(Run("readstate 1 1 1"), 0);
    RecordingProgressUI status;
    NKSetProgressUI(&status);
    ASSERT_EQ(Run("export nkf beam.nkf"), 0);
    NKSetProgressUI(nullptr);
    const std::vector<std::string> steps = {"Exporting Geometries...", "Exporting Results...",
                                            "Exporting Part Attributes...", "Done."};
    size_t iNext = 0;
    for (const std::string &text : status.texts)
        if (iNext < steps.size() && text == steps[iNext]) iNext++;
    EXPECT_EQ(iNext, steps.size());
    EXPECT_TRUE(GetNKFFileKind(beam.c_str()));
    EXPECT_NE(NKTestReadFile(beam), NKFBeamExampleText());
    m_Capture.Clear();
    EXPECT_EQ(Run("readstate 3"), 0) << m_Capture.Text();
    EXPECT_STREQ(g_pModel->pFrames[0].szDescription.GetText(), "Load 3");

    // Without a name the last one is used; the first default is Quolin.nkf.
    EXPECT_EQ(Run("export nkf"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Successful export to file: beam.nkf", NK_MSG_INFO));
    NKFInitExportSettings(&g_NKFExportSettings);
    EXPECT_EQ(Run("export nkf"), 0);
    EXPECT_TRUE(GetNKFFileKind((m_Dir + "/Quolin.nkf").c_str()));
    EXPECT_EQ(Run("export nkf \"with blank.nkf\""), 0);
    EXPECT_TRUE(GetNKFFileKind((m_Dir + "/with blank.nkf").c_str()));
}

TEST_F(NKFExport, DamagedExportsNeverCrashTheReader)
{
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("quad.nkf", QuadLines()) + "\""), 0);
    ASSERT_EQ(Run("nkf scalar"), 0);
    ASSERT_EQ(Run("export nkf t.nkf"), 0);
    std::string bytes = NKTestReadFile(m_Dir + "/t.nkf");
    std::string path = m_Dir + "/damaged.nkf";
    m_Capture.Clear();
    for (size_t iSize = 0; iSize < bytes.size(); iSize++) {
        ASSERT_TRUE(NKTestWriteBytes(path, bytes.data(), iSize));
        // A cut inside the file header or the last word leaves no whole file.
        NKFExpectDamageReported(path, &m_Capture, iSize < 16 || iSize + 4 > bytes.size(),
                                "cut at " + std::to_string(iSize));
    }
    for (size_t i = 0; i < bytes.size(); i += 4) {
        std::string damaged = bytes;
        for (uint8_t c : {0x00, 0x7F, 0xFF}) {
            damaged[i] = (char)c;
            ASSERT_TRUE(NKTestWriteBytes(path, damaged.data(), damaged.size()));
            NKFExpectDamageReported(path, &m_Capture, false,
                                    "byte " + std::to_string(i) + " = " + std::to_string(c));
        }
    }
}

TEST_F(NKFExport, AllAndAllDataWriteEveryResultList)
{
    NKCommandHandler pSaved = NKSetCommandHandler(NK_HANDLER_ANIMATION, AnimResultsHandler);
    ASSERT_EQ(Run("open \"" + NKFWriteTestFile("plate.nkf", {NKFPlateExampleText()}) + "\""), 0);
    for (const char *pszMode : {"all", "ALLDATA"}) {
        SCOPED_TRACE(pszMode);
        m_Capture.Clear();
        ASSERT_EQ(Run(std::string("export nkf t.nkf ") + pszMode), 0) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.HasLine("Successful export of entire result database to file: t.nkf",
                                      NK_MSG_INFO));
        ASSERT_EQ(Run("open \"" + NKFWriteTestFile("plate.nkf", {NKFPlateExampleText()}) + "\""),
                  0);
        ASSERT_EQ(Run("open t.nkf"), 0);
        EXPECT_EQ(NKGetInterfaceNumSteps(), 3);
        EXPECT_EQ(NKGetInterfaceNumScalars(), 2);
        EXPECT_EQ(NKGetInterfaceNumVectors(), 2);
        for (int s = 1; s <= 2; s++)
            EXPECT_EQ(Run("readstate 3 " + std::to_string(s) + " " + std::to_string(s)), 0);
        ASSERT_EQ(Run("open \"" + NKFWriteTestFile("plate.nkf", {NKFPlateExampleText()}) + "\""),
                  0);
    }
    NKSetCommandHandler(NK_HANDLER_ANIMATION, pSaved);
    m_Capture.Clear();
    EXPECT_EQ(Run("export nkf t.nkf all"), 1);  // no animresults: the steps fail
    EXPECT_TRUE(m_Capture.HasLine("Error exporting to file: t.nkf", NK_MSG_INFO));
}

// A model of one step has no animation to set up: "all" and "alldata" write
// its whole database without running "animresults" (no animation handler
// here answers it). A quoted name holding a blank may come before the mode.
TEST_F(NKFExport, AllOfAOneStepModelNeedsNoAnimation)
{
    const std::string quad = NKFWriteTestFile("quad.nkf", QuadLines());
    const struct {
        const char *pszArguments, *pszName;
    } cases[] = {
        {"t.nkf all", "t.nkf"},
        {"\"o 2.nkf\" all", "o 2.nkf"},
        {"\"o 3.nkf\" alldata", "o 3.nkf"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pszArguments);
        ASSERT_EQ(Run("open \"" + quad + "\""), 0);
        m_Capture.Clear();
        ASSERT_EQ(Run(std::string("export nkf ") + c.pszArguments), 0) << m_Capture.Text();
        EXPECT_TRUE(m_Capture.HasLine(
            std::string("Successful export of entire result database to file: ") + c.pszName,
            NK_MSG_INFO))
            << m_Capture.Text();
        ASSERT_EQ(Run(std::string("open \"") + c.pszName + "\""), 0) << m_Capture.Text();
        EXPECT_EQ(NKGetInterfaceNumSteps(), 1);
        EXPECT_EQ(NKGetInterfaceNumScalars(), 1);
    }
}
