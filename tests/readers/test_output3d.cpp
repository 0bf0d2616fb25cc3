// tests/readers/test_output3d.cpp -- the IES Output3D reader through its
// public functions: the fixture set in both byte orders (steps, names,
// geometry, results, flows), refusals that keep the open set, overlays, and
// every binary file cut and damaged.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "readers/nk_output3d.h"
#include "tests/core/nk_model_test_helpers.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/output3d_test_writer.h"
#include "tests/test_support/test_files.h"

namespace {

const char *kOverlayOnePart = "*NKF-1.00\n*NODES 1\n%WITH_ID\n1 0 0 0\n2 300 0 0\n3 300 100 0\n"
                              "4 0 100 0\n*INDEXEDFACESET 1\n%NAME \"Well\"\n%NODES #1\n"
                              "%WITH_ID\n%MAP_NODE_IDS\n1 1 2 3 -4\n*QUOLINGEOMETRY 1\n"
                              "%NAME \"Reservoir\"\n%INDEXEDFACESET\n1\n";

class Output3DReader : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_Dir = NKTestMakeTempDir("quolin_output3d_");
    }
    void TearDown() override
    {
        ReleaseGeometry();
        NKOutput3DClose();
        NKTestRemoveDir(m_Dir);
        NKModelTest::TearDown();
    }
    std::string Path(const char *pszExt) { return m_Dir + "/res." + pszExt; }
    bool Open() { return NKOutput3DOpen(Path("e00").c_str()); }
    void ReleaseGeometry()
    {
        NKReleaseGeometry(m_pGeo);
        m_pGeo = nullptr;
    }
    // Opens the set and reads the last event's geometry.
    void OpenWithGeometry()
    {
        ASSERT_TRUE(Open());
        m_pGeo = NKOutput3DGetGeometry(2);
        ASSERT_NE(m_pGeo, nullptr);
    }
    std::string m_Dir;
    NKGeometry *m_pGeo = nullptr;
};

TEST_F(Output3DReader, FixtureInEitherByteOrderGivesStepsPartsAndResults)
{
    for (bool bBig : {false, true}) {
        SCOPED_TRACE(bBig ? "big-endian" : "little-endian");
        ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, bBig));
        OpenWithGeometry();
        EXPECT_FLOAT_EQ(g_pModel->fAxisScale[2], 3.0f);
        EXPECT_EQ(NKOutput3DGetNumSteps(), 3);
        NKStringList *pSteps = NKOutput3DGetStepDescriptions();
        ASSERT_NE(pSteps, nullptr);
        EXPECT_STREQ(pSteps->Get(0), "Triassic (245 Mabp)");
        EXPECT_STREQ(pSteps->Get(1), "Jurassic (150.5 Mabp)");
        EXPECT_STREQ(pSteps->Get(2), "Present (0 Mabp)");
        delete pSteps;
        NKStringList *pScalars = NKOutput3DGetScalarNames();
        NKStringList *pVectors = NKOutput3DGetVectorNames();
        EXPECT_STREQ(pScalars->Get(0), "Porosity (frac)");
        EXPECT_STREQ(pScalars->Get(1), "WaterFlow: x (m/s)");
        EXPECT_EQ(pVectors->GetCount(), 1);
        EXPECT_STREQ(pVectors->Get(0), "WaterFlow (m/s)");
        delete pScalars;
        delete pVectors;
        EXPECT_EQ(NKOutput3DGetNumTransformations(), 3);
        // The parts: units 1 and 3; unit 3 named by .uni3 (unit 7 is unused).
        ASSERT_EQ(m_pGeo->iNumParts, 2);
        const NKPart &a = m_pGeo->pParts[0], &b = m_pGeo->pParts[1];
        EXPECT_STREQ(a.szName.GetText(), "Geo Unit 1");
        EXPECT_EQ(a.iNumNodes, 16);
        EXPECT_EQ(a.iNumElements, 2);
        EXPECT_EQ(a.iNumPolygons, 10);  // the shared face is dropped in both
        EXPECT_EQ(a.pElements[1].iID, 2);
        EXPECT_EQ(a.pElements[1].iType, 8);
        EXPECT_STREQ(b.szName.GetText(), "Sandstone");
        EXPECT_EQ(b.iNumNodes, 8);
        EXPECT_EQ(b.iNumPolygons, 6);  // a face between units stays in both
        EXPECT_EQ(b.pElements[0].iID, 3);
        // Node 8k + c is corner c of element k: element 2 corner 1 is (200, 0, -50), id 103.
        EXPECT_EQ(a.pNodeIDs[9], 103);
        EXPECT_FLOAT_EQ(a.pNodeCoords[27], 200.0f);
        EXPECT_FLOAT_EQ(a.pNodeCoords[29], -50.0f);
        EXPECT_EQ(m_pGeo->iGlobalNumNodes, 16);

        NKScalarResult *pScalar = NKOutput3DGetScalar(0, 2, m_pGeo);
        ASSERT_NE(pScalar, nullptr);
        EXPECT_FLOAT_EQ(pScalar->pNodeResults[0].pNodeValues[11], 1.3f);
        EXPECT_FLOAT_EQ(pScalar->pNodeResults[1].pNodeValues[2], 2.2f);
        float fFrom = 0, fTo = 0;
        NKGetReservoirValueRange(&fFrom, &fTo);
        EXPECT_FLOAT_EQ(fFrom, 0.05f);
        EXPECT_FLOAT_EQ(fTo, 0.35f);
        NKReleaseScalarResult(pScalar);
        NKVectorResult *pVector = NKOutput3DGetVector(0, 2, m_pGeo);
        ASSERT_NE(pVector, nullptr);
        for (int k = 0; k < 3; k++)
            EXPECT_FLOAT_EQ(pVector->pResults[1].pNodeValues[21 + k], (float)(k + 1));
        NKReleaseVectorResult(pVector);
        NKSeparateVectorField *pWater = NKOutput3DGetTransformation(0, 2, m_pGeo);
        ASSERT_NE(pWater, nullptr);
        EXPECT_STREQ(pWater->szName.GetText(), "Water Flow");
        ASSERT_EQ(pWater->iNumParts, 2);
        EXPECT_EQ(pWater->pParts[0].iCount, 1);
        EXPECT_EQ(pWater->pParts[1].iCount, 1);
        EXPECT_EQ(pWater->pParts[1].pItems[0].iIndex, 3);
        EXPECT_FLOAT_EQ(pWater->pParts[1].pItems[0].fVector[2], 3.0f);
        NKReleaseSeparateVectorField(pWater);
        EXPECT_EQ(NKOutput3DGetTransformation(1, 2, m_pGeo), nullptr);  // no res.y02
        ReleaseGeometry();
        NKOutput3DClose();
    }
}

TEST_F(Output3DReader, EventRefusalsNameTheStep)
{
    ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    OpenWithGeometry();
    MessageCapture capture;
    EXPECT_EQ(NKOutput3DGetGeometry(2), nullptr);  // the event read last
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_EQ(NKOutput3DGetGeometry(0), nullptr);
    EXPECT_TRUE(capture.Contains("This step is not calculated yet."));
    EXPECT_EQ(NKOutput3DGetGeometry(3), nullptr);
    EXPECT_TRUE(capture.Contains("Illegal step specified 4. Legal: 1 - 3"));
    EXPECT_EQ(NKOutput3DGetScalar(0, 0, m_pGeo), nullptr);
    EXPECT_TRUE(capture.Contains("Result: Porosity (frac) is not calculated for event number 1."));
}

// One fixture change, what the open or the reads then say.
struct FixtureCase {
    const char *pszName;
    const char *pszRemove;  // extension removed, or null
    bool bOpens;
    const char *pszMessage;
};

TEST_F(Output3DReader, MissingFilesAndBadFlowRecords)
{
    const FixtureCase kCases[] = {
        {"no .uni3", "uni3", true,
         "Warning: Could not find .uni3 file. Default part descriptions will be used."},
        {"no .k00", "k00", false, "Could not find node description (coordinates) file: "},
        {"no .elm", "elm", false, "Could not find geological unit assignment file: "},
        {"no .ovl3", "ovl3", true, "Error reading results information from .ovl3 file"},
    };
    for (const FixtureCase &c : kCases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
        std::remove(Path(c.pszRemove).c_str());
        MessageCapture capture;
        EXPECT_EQ(Open(), c.bOpens);
        EXPECT_TRUE(capture.Contains(c.pszMessage)) << capture.Text();
        NKOutput3DClose();
    }
    // Without names the parts are named after their units.
    ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    std::remove(Path("uni3").c_str());
    OpenWithGeometry();
    EXPECT_STREQ(m_pGeo->pParts[1].szName.GetText(), "Geo Unit 3");
    // A refused set leaves the open one in place.
    std::remove(Path("k00").c_str());
    EXPECT_FALSE(Open());
    EXPECT_EQ(NKOutput3DGetNumSteps(), 3);
    // A flow record of element 0.
    NKO3DFixture fx = NKOutput3DFixture();
    for (auto &b : fx.binaries)
        if (b.first == "y01") b.second.events[2][2] = NKO3DFloatWord(0.0f);
    ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
    MessageCapture capture;
    EXPECT_EQ(NKOutput3DGetTransformation(0, 2, m_pGeo), nullptr);
    EXPECT_TRUE(capture.HasLine("Error found in vector file: " + Path("y01"), 2) ||
                capture.Contains("Error found in vector file: " + Path("y01")));
}

TEST_F(Output3DReader, OverlaysFollowTheUnitPartsAndKeepTheirShowFlags)
{
    ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    ASSERT_TRUE(NKTestWriteText(Path("rso"), kOverlayOnePart));
    std::string two = kOverlayOnePart;
    two.replace(two.find("*QUOLINGEOMETRY"), std::string::npos,
                "*INDEXEDFACESET 2\n%NODES #1\n%WITH_ID\n%MAP_NODE_IDS\n1 1 2 3 -4\n"
                "*QUOLINGEOMETRY 1\n%INDEXEDFACESET\n1 2\n");
    ASSERT_TRUE(NKTestWriteText(Path("fpg"), two));
    MessageCapture capture;
    OpenWithGeometry();
    EXPECT_TRUE(capture.Contains("Only geometries with one part allowed for Reservoir/Flow Paths "
                                 "file."));
    EXPECT_TRUE(capture.Contains("Error initializing reservoirs and flow paths"));
    EXPECT_EQ(NKGetNumReservoirOverlays(), 1);
    ASSERT_EQ(m_pGeo->iNumParts, 3);
    EXPECT_EQ(m_pGeo->pParts[2].iNumPolygons, 1);
    EXPECT_EQ(m_pGeo->pParts[2].iFirstPolygon, 16);
    m_pGeo->pParts[2].bVisible = 1;
    NKShowReservoirOverlayParts(false, 2, 2);
    NKApplyReservoirOverlayVisibility(m_pGeo);
    EXPECT_EQ(m_pGeo->pParts[2].bVisible, 0);
    NKShowReservoirOverlayParts(true, 0, 1);  // not an overlay part
    NKApplyReservoirOverlayVisibility(m_pGeo);
    EXPECT_EQ(m_pGeo->pParts[2].bVisible, 0);
    // Results leave the overlay part without values.
    NKScalarResult *pScalar = NKOutput3DGetScalar(0, 2, m_pGeo);
    ASSERT_NE(pScalar, nullptr);
    EXPECT_EQ(pScalar->pNodeResults[2].iCount, 0);
    NKReleaseScalarResult(pScalar);
}

std::vector<std::string> g_RunLines;

int RecordLine(const char *pszLine)
{
    g_RunLines.push_back(pszLine);
    return 0;
}

// Showing an overlay re-reads the state only when the current frame has no
// geometry to show it in; the event read last is then forgotten so that the
// state brings a new geometry.
TEST_F(Output3DReader, ShowingAnOverlayReReadsAStateWithoutGeometry)
{
    enum FrameState { kNoFrame, kEmptyFrame, kFrameWithGeometry };
    struct ShowCase {
        const char *pszName;
        FrameState frame;
        bool bShownBefore, bShow;
        int iFirst, iLast;
        bool bReRead;
    };
    const ShowCase kCases[] = {
        {"hidden overlay shown, frame empty", kEmptyFrame, false, true, 2, 2, true},
        {"range over all parts", kEmptyFrame, false, true, 0, 5, true},
        {"already shown", kEmptyFrame, true, true, 2, 2, false},
        {"hidden", kEmptyFrame, true, false, 2, 2, false},
        {"unit parts only", kEmptyFrame, false, true, 0, 1, false},
        {"frame holds a geometry", kFrameWithGeometry, false, true, 2, 2, false},
        {"no frame", kNoFrame, false, true, 2, 2, false},
    };
    ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    ASSERT_TRUE(NKTestWriteText(Path("rso"), kOverlayOnePart));
    OpenWithGeometry();
    NKModelHooks saved = NKGetModelHooks();
    NKModelHooks hooks = saved;
    hooks.pfnExecuteCommand = RecordLine;
    NKSetModelHooks(hooks);
    for (const ShowCase &c : kCases) {
        SCOPED_TRACE(c.pszName);
        MakeFrames(1, 1);  // the flag is set while a geometry is shown
        NKShowReservoirOverlayParts(c.bShownBefore, 2, 2);
        NKSetFrameCount(0, false);
        if (c.frame != kNoFrame) NKSetFrameCount(1, false);
        if (c.frame == kFrameWithGeometry) MakeFrames(1, 1);
        g_RunLines.clear();
        NKShowReservoirOverlayParts(c.bShow, c.iFirst, c.iLast);
        EXPECT_EQ(g_RunLines,
                  c.bReRead ? std::vector<std::string>{"readstate"} : std::vector<std::string>{});
        NKGeometry *pAgain = NKOutput3DGetGeometry(2);
        EXPECT_EQ(pAgain != nullptr, c.bReRead);
        if (pAgain != nullptr) {
            ASSERT_EQ(pAgain->iNumParts, 3);  // the overlay follows the unit parts
            NKApplyReservoirOverlayVisibility(pAgain);
            EXPECT_EQ(pAgain->pParts[2].bVisible, c.bShow ? 1 : 0);
        }
        NKReleaseGeometry(pAgain);
        NKSetFrameCount(0, false);
    }
    NKSetModelHooks(saved);
}

// Reads every event's geometry, results and flows of the open set.
void ReadEvents(void)
{
    for (int e = -1; e <= 3; e++) {
        NKGeometry *pGeo = NKOutput3DGetGeometry(e);
        if (pGeo == nullptr) continue;
        for (int i = 0; i < NKOutput3DGetNumScalars(); i++)
            NKReleaseScalarResult(NKOutput3DGetScalar(i, e, pGeo));
        for (int i = 0; i < NKOutput3DGetNumVectors(); i++)
            NKReleaseVectorResult(NKOutput3DGetVector(i, e, pGeo));
        for (int i = 0; i < 3; i++)
            NKReleaseSeparateVectorField(NKOutput3DGetTransformation(i, e, pGeo));
        NKReleaseGeometry(pGeo);
    }
}

// Messages that name no file: an event outside the set or not computed, and
// the catalogue's own texts.
bool NamesNoFileByDesign(const std::string &line)
{
    for (const char *psz : {"Illegal step specified", "This step is not calculated yet.",
                            "is not calculated for event number", ".ovl3 file"})
        if (line.find(psz) != std::string::npos) return true;
    return false;
}

// Opens the set again over the one left open, then reads everything. A
// refused open keeps the open set; every error names the damaged file, or
// also (a file whose length the damaged word gives).
void ReadDamagedSet(const std::string &e00, const std::string &damaged,
                    const std::string &also = std::string())
{
    MessageCapture capture;
    int iSteps = NKOutput3DGetNumSteps();
    if (NKOutput3DOpen(e00.c_str()))
        ReadEvents();
    else
        EXPECT_EQ(NKOutput3DGetNumSteps(), iSteps) << "the open set went";
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == NK_MSG_ERROR && !NamesNoFileByDesign(line.text)) {
            bool bNamed = line.text.find(damaged) != std::string::npos ||
                          (!also.empty() && line.text.find(also) != std::string::npos);
            EXPECT_TRUE(bNamed) << line.text;
        }
}

// Overwrites the 4 bytes at iOffset in place (cheaper than a new file).
bool PatchWord(const std::string &path, size_t iOffset, uint32_t u)
{
    FILE *pFile = fopen(path.c_str(), "r+b");
    if (pFile == nullptr) return false;
    uint8_t ab[4];
    for (int k = 0; k < 4; k++) ab[k] = (uint8_t)(u >> (8 * k));
    bool bOk = fseek(pFile, (long)iOffset, SEEK_SET) == 0 && fwrite(ab, 1, 4, pFile) == 4;
    return fclose(pFile) == 0 && bOk;
}

uint32_t SwapWord(uint32_t u)
{
    return (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
}

// Every binary file cut at every byte (shortened in place from the end) and
// each header word (event count, box, type, counts) and directory or .elm
// word set to 0, -1, 2^31-1 or its byte-swapped self; node ids NaN, 1e30 or
// repeated; each text file cut at every byte, each of its lines cut or
// emptied. No crash, hang or stray read (sanitizers); refusals name the file.
TEST_F(Output3DReader, CutAndDamagedFilesAreRefusedOrReadSafely)
{
    const size_t kWords[] = {5, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 25, 26, 27, 28, 29, 30};
    NKO3DFixture base = NKOutput3DFixture();
    ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, base, false));
    ASSERT_TRUE(Open());
    for (const auto &binary : base.binaries) {
        SCOPED_TRACE(binary.first);
        std::vector<uint8_t> bytes = NKO3DBytes(binary.second, false);
        std::string path = Path(binary.first.c_str());
        for (size_t n = bytes.size(); n-- > 0;) {
            ASSERT_EQ(truncate(path.c_str(), (off_t)n), 0);
            ReadDamagedSet(Path("e00"), path);
        }
        ASSERT_TRUE(NKTestWriteBytes(path, bytes));
        for (size_t w : kWords) {
            if (4 * w + 4 > bytes.size()) continue;  // .elm: three entries
            uint32_t uWord;
            std::memcpy(&uWord, &bytes[4 * w], 4);
            for (uint32_t u : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, SwapWord(uWord)}) {
                SCOPED_TRACE(testing::Message() << "word " << w << " = " << u);
                ASSERT_TRUE(PatchWord(path, 4 * w, u));
                // The element count of .e00 is the length of .elm.
                bool bElementCount = binary.first == "e00" && w == 16;
                ReadDamagedSet(Path("e00"), path, bElementCount ? Path("elm") : std::string());
            }
            ASSERT_TRUE(PatchWord(path, 4 * w, uWord));
        }
    }
    NKOutput3DClose();
    for (uint32_t u : {NKO3DFloatWord(std::numeric_limits<float>::quiet_NaN()),
                       NKO3DFloatWord(1e30f), NKO3DFloatWord(116.0f)}) {
        NKO3DFixture fx = base;
        fx.binaries[1].second.events[2][4] = u;  // .k00: the second node's id
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
        MessageCapture capture;
        ASSERT_TRUE(Open());
        EXPECT_EQ(NKOutput3DGetGeometry(2), nullptr);
        EXPECT_TRUE(capture.Contains("Error reading file " + Path("k00")));
        NKOutput3DClose();
    }
    ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, base, false));
    for (const auto &text : base.texts) {
        SCOPED_TRACE(text.first);
        std::string path = Path(text.first.c_str()), s = text.second;
        std::vector<std::string> variants;
        for (size_t i = 0, j; i < s.size(); i = j + 1) {  // each line cut, then emptied
            j = s.find('\n', i);
            if (j == std::string::npos) j = s.size();
            variants.push_back(s.substr(0, i + (j - i) / 2) + s.substr(j));
            variants.push_back(s.substr(0, i) + s.substr(j));
        }
        for (const std::string &v : variants) {
            ASSERT_TRUE(NKTestWriteText(path, v));
            ReadDamagedSet(Path("e00"), path);
        }
        ASSERT_TRUE(NKTestWriteText(path, s));
        for (size_t n = s.size(); n-- > 0;) {
            ASSERT_EQ(truncate(path.c_str(), (off_t)n), 0);
            ReadDamagedSet(Path("e00"), path);
        }
        ASSERT_TRUE(NKTestWriteText(path, s));
    }
}

// A node coordinate that is not finite (NaN, plus or minus infinity)
// refuses the event's geometry naming the file, the event and the node. A
// result value that is NaN or minus infinity is kept with one warning naming
// the result, the file and the event; plus infinity, the undefined value,
// passes silently there.
TEST_F(Output3DReader, ValuesThatAreNoNumber)
{
    const NKO3DFixture base = NKOutput3DFixture();
    size_t iResults = 0;
    while (iResults < base.binaries.size() && base.binaries[iResults].first != "p01") iResults++;
    ASSERT_LT(iResults, base.binaries.size());
    struct Case {
        float f;
        bool bRefused, bWarned;
    } cases[] = {{std::numeric_limits<float>::quiet_NaN(), true, true},
                 {-std::numeric_limits<float>::infinity(), true, true},
                 {std::numeric_limits<float>::infinity(), true, false},
                 {std::numeric_limits<float>::max(), false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.f);
        NKO3DFixture fx = base;
        fx.binaries[1].second.events[2][6] = NKO3DFloatWord(c.f);  // .k00: node 2's y
        fx.binaries[iResults].second.events[2][3] = NKO3DFloatWord(c.f);
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
        MessageCapture capture;
        ASSERT_TRUE(Open());
        const uint32_t uNode = fx.binaries[1].second.events[2][4];
        float fNode;
        std::memcpy(&fNode, &uNode, 4);
        m_pGeo = NKOutput3DGetGeometry(2);
        EXPECT_EQ(m_pGeo == nullptr, c.bRefused) << capture.Text();
        EXPECT_EQ(capture.Contains("Error reading file " + Path("k00") +
                                   ": event 3, the coordinates of node " +
                                   std::to_string((int)fNode) + " are not finite."),
                  c.bRefused)
            << capture.Text();
        NKOutput3DClose();
        // The results alone, over a sound geometry.
        fx.binaries[1].second = base.binaries[1].second;
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
        ReleaseGeometry();
        OpenWithGeometry();
        capture.Clear();
        NKScalarResult *pScalar = NKOutput3DGetScalar(0, 2, m_pGeo);
        ASSERT_NE(pScalar, nullptr);
        NKReleaseScalarResult(pScalar);
        EXPECT_EQ(capture.Contains("Result: Porosity (frac) of file " + Path("p01") +
                                   ", event 3: NaN or -inf values: 1, the first is value 4; they "
                                   "count as undefined values."),
                  c.bWarned)
            << capture.Text();
        EXPECT_EQ(capture.Lines().size(), c.bWarned ? 1u : 0u) << capture.Text();
        ReleaseGeometry();
        NKOutput3DClose();
    }
}

// The step check reads an event's geometry before a read of it changes any
// frame. A node coordinate of event 2 that is not finite (NaN, +inf, -inf),
// or an element of event 2 naming a node it does not have, refuses the
// event, reported every time it is asked; the step count stays. Event 3, the
// event read last and event 1 (not computed: its read says so) pass without
// a word; the geometry read after the check takes the check's mesh, and an
// event that passed is not read again.
TEST_F(Output3DReader, StepCheckRefusesAnEventWhoseGeometryIsRefused)
{
    const NKO3DFixture base = NKOutput3DFixture();
    struct Case {
        const char *pszWhat;
        size_t iFile;  // 1 .k00, 2 .e00
        size_t iWord;  // in event 2's records
        uint32_t uValue;
        const char *pszFile, *pszMessage;  // "": "Error reading file <file>"
    } cases[] = {
        {"NaN", 1, 3, NKO3DFloatWord(std::numeric_limits<float>::quiet_NaN()), "k00",
         ": event 2, the coordinates of node 116 are not finite."},
        {"+inf", 1, 1, NKO3DFloatWord(std::numeric_limits<float>::infinity()), "k00",
         ": event 2, the coordinates of node 116 are not finite."},
        {"-inf", 1, 6, NKO3DFloatWord(-std::numeric_limits<float>::infinity()), "k00",
         ": event 2, the coordinates of node 115 are not finite."},
        {"unknown node", 2, 1, 999, "e00", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszWhat);
        NKO3DFixture fx = base;
        fx.binaries[c.iFile].second.events[1][c.iWord] = c.uValue;
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
        OpenWithGeometry();  // event 3
        const std::string refusal = "Error reading file " + Path(c.pszFile) + c.pszMessage;
        MessageCapture capture;
        for (int iAsk = 0; iAsk < 2; iAsk++) {
            capture.Clear();
            EXPECT_FALSE(NKOutput3DCheckEvent(1));
            EXPECT_TRUE(capture.HasLine(refusal, NK_MSG_ERROR)) << capture.Text();
            EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
        }
        EXPECT_EQ(NKOutput3DGetNumSteps(), 3);
        capture.Clear();
        for (int iEvent : {2, 0, -1, 3}) EXPECT_TRUE(NKOutput3DCheckEvent(iEvent)) << iEvent;
        EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
        EXPECT_EQ(NKOutput3DGetGeometry(0), nullptr);
        EXPECT_TRUE(capture.HasLine("This step is not calculated yet.", NK_MSG_ERROR));
        NKOutput3DClose();

        // Event 2 sound and checked: its geometry comes from the check's
        // mesh, read while the node file was sound.
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, base, false));
        ReleaseGeometry();
        OpenWithGeometry();
        EXPECT_TRUE(NKOutput3DCheckEvent(1));
        ASSERT_TRUE(NKOutput3DWriteFiles(m_Dir, fx, false));
        capture.Clear();
        NKGeometry *pGeo = NKOutput3DGetGeometry(1);
        ASSERT_NE(pGeo, nullptr) << capture.Text();
        EXPECT_EQ(pGeo->iStepNumber, 1);
        EXPECT_TRUE(capture.HasLine("Number of nodes : 16")) << capture.Text();
        NKReleaseGeometry(pGeo);
        // Passed once, the event is not read again by the check (the file
        // damaged since is not looked at), when it is no longer the one read
        // last either.
        pGeo = NKOutput3DGetGeometry(2);
        ASSERT_NE(pGeo, nullptr);
        NKReleaseGeometry(pGeo);
        capture.Clear();
        EXPECT_TRUE(NKOutput3DCheckEvent(1));
        EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
        ReleaseGeometry();
        NKOutput3DClose();
    }
}

TEST_F(Output3DReader, BaseNameCutsOnlyAnExtensionAfterTheLastSeparator)
{
    ASSERT_TRUE(NKOutput3DWriteFixture(m_Dir, false));
    EXPECT_TRUE(NKOutput3DOpen((m_Dir + "/res.std3").c_str()));
    NKOutput3DClose();
    MessageCapture capture;
    EXPECT_TRUE(NKOutput3DOpen((m_Dir + "/res").c_str()));  // no extension to cut
    NKOutput3DClose();
    EXPECT_FALSE(NKOutput3DOpen((m_Dir + ".d/res").c_str()));
    EXPECT_TRUE(capture.Contains(m_Dir + ".d/res.elm"));
}

}  // namespace
