// Tests of the LS-DYNA plot database reader through its public functions:
// detection, family order, the state scan with its mends, geometry, results,
// damaged files, and the real families of the shared test data read in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/nk_diagnostic.h"
#include "core/nk_model.h"
#include "platform/nk_progress_ui.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"
#include "readers/nk_lsdyna_format.h"
#include "tests/test_support/lsdyna_test_writer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

std::string TestDataDir() { return NKTestSharedDataDir() + "/lsdyna"; }

// The bytes of a file, and word i of them as a little-endian number: 4-byte
// words are floats (int32 with bInt), 8-byte ones doubles (int64 with bInt).
std::vector<uint8_t> RawBytes(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

double RawWord(const std::vector<uint8_t> &b, int iWordSize, int64_t i, bool bInt = false)
{
    if ((i + 1) * iWordSize > (int64_t)b.size()) return NAN;
    const uint8_t *p = b.data() + i * iWordSize;
    if (iWordSize == 4) {
        int32_t n;
        float x;
        std::memcpy(&n, p, 4);
        std::memcpy(&x, p, 4);
        return bInt ? (double)n : (double)x;
    }
    int64_t n;
    double x;
    std::memcpy(&n, p, 8);
    std::memcpy(&x, p, 8);
    return bInt ? (double)n : x;
}

std::string RightTrimmed(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == 0)) s.pop_back();
    return s;
}

// Opens the database, reads every state and, for the first and last, every
// scalar and vector; false when the open fails.
bool OpenAndReadEverything(const std::string &path)
{
    if (!NKLSDynaOpen(path.c_str())) return false;
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    int n = NKLSDynaGetNumStates();
    for (int s = 0; s < n; s++) {
        NKLSDynaReadState(s);
        if (pGeo == nullptr || (s != 0 && s != n - 1)) continue;
        for (int k = 0; k < NKLSDynaGetNumScalars(); k++)
            if (NKScalarResult *p = NKLSDynaGetScalar(k, s, pGeo)) NKReleaseScalarResult(p);
        for (int k = 0; k < NKLSDynaGetNumVectors(); k++)
            if (NKVectorResult *p = NKLSDynaGetVector(k, s, pGeo)) NKReleaseVectorResult(p);
    }
    if (pGeo != nullptr) NKReleaseGeometry(pGeo);
    return true;
}

class LSDynaReader : public ::testing::Test {
protected:
    void SetUp() override { m_Dir = NKTestMakeTempDir("lsdyna"); }
    void TearDown() override
    {
        NKLSDynaClose();
        NKTestRemoveDir(m_Dir);
    }
    std::string Path(const char *name) const { return m_Dir + "/" + name; }

    // The fixture: d3plot with states 0 and 0.001 (or the end marker),
    // d3plot01 with the rest, and two files that are not members.
    void WriteFixture(bool bEndMarker)
    {
        int64_t iBaseWords = LSDynaWriteFamilyFixture(m_Dir, bEndMarker);
        ASSERT_GT(iBaseWords, 0);
        if (!bEndMarker) {
            EXPECT_EQ(iBaseWords, 108);
        }
    }

    std::string m_Dir;
};

TEST_F(LSDynaReader, DetectionTellsWordSizeCodingAndByteOrder)
{
    struct Case {
        int iWordSize;
        bool bBig, bFloat;
        int iCode;
    } cases[] = {{4, false, false, 0}, {4, true, false, 0},  {4, false, true, 1},
                 {4, true, true, 1},   {8, false, false, 2}, {8, true, true, 3}};
    for (const Case &c : cases) {
        LSDynaTestWriter w;
        w.iWordSize = c.iWordSize;
        w.bBigEndian = c.bBig;
        w.bFloatCoded = c.bFloat;
        LSDynaWriteShellGeometry(&w);
        ASSERT_TRUE(w.Save(Path("d3plot")));
        int iWordSize;
        bool bSwap;
        EXPECT_EQ(NKLSDynaDetectFormat(Path("d3plot").c_str(), &iWordSize, &bSwap), c.iCode);
        EXPECT_EQ(iWordSize, c.iWordSize);
        EXPECT_EQ(bSwap, c.bBig);
    }
    ASSERT_TRUE(NKTestWriteText(Path("text.dsy"), std::string(200, 'x')));
    EXPECT_FALSE(NKLSDynaIsDatabaseFile(Path("text.dsy").c_str()));
    EXPECT_FALSE(NKLSDynaIsDatabaseFile(Path("absent").c_str()));
}

TEST_F(LSDynaReader, FamilyMembersAndOrder)
{
    struct Case {
        const char *name;
        bool bMember;
    } cases[] = {{"d3plot", true},   {"d3plot01", true},  {"d3plot02", true}, {"d3plot100", true},
                 {"d3plotaa", true}, {"d3plot00", false}, {"d3plot1", false}, {"d3plot1000", false},
                 {"d3plotx", false}, {"d3plot099", false}};
    for (const Case &c : cases) {
        LSDynaFamilyFile f;
        EXPECT_EQ(NKLSDynaIsFamilyMember(&f, c.name, "d3plot", true), c.bMember) << c.name;
    }
    for (const char *n : {"d3plotaa", "d3plot100", "d3plot02", "d3plot", "d3plot01", "d3plot1"})
        ASSERT_TRUE(NKTestWriteText(Path(n), "x"));
    std::vector<LSDynaFamilyFile> files;
    ASSERT_EQ(NKLSDynaFindFamilyFiles(Path("d3plot").c_str(), &files, true), 5);
    const char *order[] = {"d3plot", "d3plot01", "d3plot02", "d3plot100", "d3plotaa"};
    for (int i = 0; i < 5; i++) EXPECT_EQ(files[(size_t)i].szFileName.GetFileName(), order[i]);
}

// Time words read in any order across two members, in both word sizes and
// byte orders: words on either side of a 512-byte block's edge, a word read
// again after a later one, the end marker, and words past a member's end or
// in a member that is not there.
TEST_F(LSDynaReader, TimeWordsReadAnywhereInTheFamily)
{
    struct Case {
        int iFormat;
        bool bSwap;
    } cases[] = {{NK_DYNA_FLOAT4, false},
                 {NK_DYNA_FLOAT4, true},
                 {NK_DYNA_FLOAT8, false},
                 {NK_DYNA_FLOAT8, true}};
    for (const Case &c : cases) {
        const int iSize = c.iFormat == NK_DYNA_FLOAT8 ? 8 : 4;
        std::vector<LSDynaFamilyFile> files(3);
        for (int f = 0; f < 2; f++) {
            // Word i of member f holds 1000 f + i, word 200 of member 1 the end marker.
            std::vector<uint8_t> bytes;
            for (int i = 0; i < 300; i++) {
                double d = f == 1 && i == 200 ? NK_DYNA_END_MARKER : 1000.0 * f + i;
                float x = (float)d;
                uint8_t word[8];
                std::memcpy(word, iSize == 8 ? (const void *)&d : (const void *)&x, (size_t)iSize);
                if (c.bSwap) std::reverse(word, word + iSize);
                bytes.insert(bytes.end(), word, word + iSize);
            }
            std::string name = Path(("d3plot0" + std::to_string(f + 1)).c_str());
            ASSERT_TRUE(NKTestWriteBytes(name, bytes));
            files[(size_t)f].szFileName = name.c_str();
            files[(size_t)f].SetSize((int64_t)bytes.size());
        }
        files[2].szFileName = Path("d3plot03").c_str();  // listed, but not there
        files[2].SetSize(4096);
        LSDynaTimeReader reader(&files, c.iFormat, c.bSwap);
        const int iEdge = 512 / iSize;  // the first word of the second block
        // Member changes within one block's place ({0, 0} then {1, 3}) must
        // not take the other member's block.
        const int aWords[][2] = {{0, iEdge - 1}, {0, iEdge}, {0, 0},     {1, 3},
                                 {1, 299},       {0, 299},   {0, iEdge}, {1, iEdge - 1}};
        for (const auto &w : aWords) {
            float fTime = -1.0f;
            EXPECT_EQ(reader.Read(w[0], w[1], &fTime), LSDynaTimeWord::Time) << iSize << c.bSwap;
            EXPECT_EQ(fTime, (float)(1000 * w[0] + w[1])) << iSize << c.bSwap << " " << w[1];
        }
        float fTime = 0.0f;
        EXPECT_EQ(reader.Read(1, 200, &fTime), LSDynaTimeWord::EndMarker);
        EXPECT_EQ(reader.Read(0, 300, &fTime), LSDynaTimeWord::Missing);
        EXPECT_EQ(reader.Read(2, 0, &fTime), LSDynaTimeWord::Missing);
        EXPECT_EQ(reader.Read(3, 0, &fTime), LSDynaTimeWord::Missing);
        EXPECT_EQ(reader.Read(0, 5, &fTime), LSDynaTimeWord::Time);  // after a failed open
        EXPECT_EQ(fTime, 5.0f);
    }
}

TEST_F(LSDynaReader, FixtureStatesResultsAndGeometryInEveryFormat)
{
    for (bool bEnd : {false, true}) {
        WriteFixture(bEnd);
        ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << bEnd;
        ASSERT_EQ(NKLSDynaGetNumStates(), 4);
        for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(i), 0.001f * (float)i);
        EXPECT_EQ(NKLSDynaGetStateTime(4), -1.0f);
        EXPECT_EQ(NKLSDynaGetNumScalars(), 7);
        EXPECT_EQ(NKLSDynaGetNumVectors(), 1);
        NKStringList *pNames = NKLSDynaGetScalarNames();
        EXPECT_STREQ(pNames->Get(0), "X Coordinate");
        EXPECT_STREQ(pNames->Get(6), "Z Displacement");
        delete pNames;
        NKStringList *pSteps = NKLSDynaGetStateNames();
        EXPECT_STREQ(pSteps->Get(3), "Time: 3.00000e-03");
        delete pSteps;
        NKGeometry *pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(pGeo, nullptr);
        EXPECT_EQ(NKLSDynaGetGeometry(3), nullptr);  // the same segment
        ASSERT_EQ(pGeo->iNumParts, 1);
        EXPECT_STREQ(pGeo->pParts[0].szName.GetText(), "Mat: #1");
        EXPECT_EQ(pGeo->pParts[0].iNumNodes, 4);
        EXPECT_EQ(pGeo->pParts[0].iNumPolygons, 1);
        EXPECT_EQ(pGeo->pParts[0].pElements[0].iType, 14);
        std::vector<float> nodes, elems;
        NKScalarResult *pScalar = NKLSDynaGetScalar(4, 3, pGeo);  // X Displacement
        ASSERT_NE(pScalar, nullptr);
        EXPECT_STREQ(pScalar->szDescription.GetText(), "X Displacement");
        ASSERT_TRUE(NKLSDynaComputeValues(29, 0, &nodes, &elems));
        for (float v : nodes) EXPECT_NEAR(v, 0.003f, 1e-6);
        NKReleaseScalarResult(pScalar);
        NKVectorResult *pVector = NKLSDynaGetVector(0, 2, pGeo);
        ASSERT_NE(pVector, nullptr);
        NKReleaseVectorResult(pVector);
        NKReleaseGeometry(pGeo);
        NKLSDynaClose();
        for (const char *n : {"d3plot", "d3plot01", "d3plot00", "d3plot1"}) remove(Path(n).c_str());
    }
}

// A family restarted twice: d3plotaa's segment has three globals a state
// and a square of side 2, the segments before and after it the fixture's
// square without globals; the last has no end marker (a run still
// writing). Each state, read in any order (a later segment's
// before an earlier one's), is read with its own segment's header: its
// size, its geometry and its words.
TEST_F(LSDynaReader, StatesOfEverySegmentReadWithTheirOwnHeaderAndGeometry)
{
    LSDynaTestHeader wide = LSDynaShellFixtureHeader();
    wide.w[18] = 3;  // NGLBV
    const struct {
        const char *pszName;
        double dSide;
        int iGlobals;
        std::vector<double> times;
    } kSegments[] = {{"d3plot", 1.0, 0, {0.0, 0.001}},
                     {"d3plotaa", 2.0, 3, {0.002, 0.003}},
                     {"d3plotab", 1.0, 0, {0.004}}};
    std::vector<int> segmentOf;
    for (const auto &seg : kSegments) {
        LSDynaTestWriter w;
        LSDynaWriteHeader(&w, seg.iGlobals > 0 ? wide : LSDynaShellFixtureHeader(), "restart");
        const double d = seg.dSide;
        const std::vector<double> square = {0, 0, 0, d, 0, 0, d, d, 0, 0, d, 0};
        w.Floats(square);
        w.Ints({1, 2, 3, 4, 1});
        for (double t : seg.times) {
            w.Float(t);
            for (int g = 0; g < seg.iGlobals; g++) w.Float(10.0 * t + g);
            for (size_t i = 0; i < square.size(); i++) w.Float(square[i] + (i % 3 == 0 ? t : 0));
            segmentOf.push_back((int)(&seg - kSegments));
        }
        // (The last one's end marker would send its states on to d3plotab01.)
        if (&seg != std::end(kSegments) - 1) w.Float(-999999.0);
        ASSERT_TRUE(w.Save(Path(seg.pszName)));
    }
    MessageCapture capture;
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << capture.Text();
    ASSERT_EQ(NKLSDynaGetNumStates(), 5) << capture.Text();
    EXPECT_EQ(NKLSDynaGetControlData()->iNumGeometries, 3);
    for (int s : {0, 2, 4, 3, 1, 2, 0, 4}) {
        SCOPED_TRACE(s);
        const auto &seg = kSegments[segmentOf[(size_t)s]];
        const float fTime = 0.001f * (float)s;
        const LSDynaGeometry *pGeo = NKLSDynaGetSegmentGeometry(s);
        ASSERT_NE(pGeo, nullptr);
        EXPECT_FLOAT_EQ(pGeo->Coord(2, 1), (float)seg.dSide);
        ASSERT_TRUE(NKLSDynaReadState(s));
        const LSDynaStateData &d = NKLSDynaGetStateData();
        EXPECT_FLOAT_EQ(d.fTime, fTime);
        ASSERT_EQ(d.globals.size(), (size_t)seg.iGlobals);
        if (seg.iGlobals > 0) {
            EXPECT_FLOAT_EQ(d.globals[2], 10.0f * fTime + 2.0f);
        }
        ASSERT_EQ(d.coords.size(), 12u);
        EXPECT_FLOAT_EQ(d.coords[3], (float)seg.dSide + fTime);  // node 2's x
        EXPECT_FLOAT_EQ(d.coords[7], (float)seg.dSide);          // node 3's y
    }
    for (const CapturedLine &line : capture.Lines()) {
        EXPECT_NE(line.iLevel, NK_MSG_WARNING) << line.text;
    }
}

TEST_F(LSDynaReader, MissingMemberEndsTheStatesWithAWarning)
{
    LSDynaTestWriter base;
    LSDynaWriteShellGeometry(&base);
    base.Float(-999999.0);
    ASSERT_TRUE(base.Save(Path("d3plot")));
    MessageCapture capture;
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    EXPECT_EQ(NKLSDynaGetNumStates(), 0);
    EXPECT_TRUE(NKLSDynaGetControlData()->bGeometryOnly);
    EXPECT_TRUE(capture.Contains("LS-DYNA family file " + Path("d3plot01") +
                                 " is missing, states end there."));
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    NKReleaseGeometry(pGeo);
}

// An empty member ends the states as a missing one does: the states after
// it would otherwise be read on under the numbers of the states it lost.
TEST_F(LSDynaReader, EmptyMemberEndsTheStatesWithAWarning)
{
    LSDynaTestWriter base, third;
    LSDynaWriteShellGeometry(&base);
    LSDynaWriteShellState(&base, 0.0);
    LSDynaWriteShellState(&base, 0.001);
    base.Float(-999999.0);
    LSDynaWriteShellState(&third, 0.002);
    LSDynaWriteShellState(&third, 0.003);
    ASSERT_TRUE(base.Save(Path("d3plot")));
    ASSERT_TRUE(NKTestWriteText(Path("d3plot01"), ""));
    ASSERT_TRUE(third.Save(Path("d3plot02")));
    MessageCapture capture;
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    ASSERT_EQ(NKLSDynaGetNumStates(), 2);
    EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(0), 0.0f);
    EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(1), 0.001f);
    EXPECT_TRUE(capture.Contains("LS-DYNA family file " + Path("d3plot01") +
                                 " is empty, states end there."))
        << capture.Text();
    // A member with words in it is no reason to stop: the same family with
    // d3plot01 holding the last two states reads all four.
    NKLSDynaClose();
    ASSERT_TRUE(third.Save(Path("d3plot01")));
    ASSERT_EQ(remove(Path("d3plot02").c_str()), 0);
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    EXPECT_EQ(NKLSDynaGetNumStates(), 4);
    // A base file whose states end with the end marker goes on in its first
    // member: that member empty gives its own warning alone, not a second
    // one saying it is missing.
    NKLSDynaClose();
    LSDynaTestWriter marked;
    LSDynaWriteShellGeometry(&marked);
    LSDynaWriteShellState(&marked, 0.0);
    marked.Float(-999999.0);
    ASSERT_TRUE(marked.Save(Path("d3plot")));
    ASSERT_TRUE(NKTestWriteText(Path("d3plot01"), ""));
    MessageCapture marker;
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    EXPECT_EQ(NKLSDynaGetNumStates(), 1);
    EXPECT_TRUE(marker.Contains(Path("d3plot01") + " is empty, states end there."))
        << marker.Text();
    EXPECT_FALSE(marker.Contains("is missing")) << marker.Text();
}

// The same in real families copied with one member emptied: the qd-cae
// database keeps its geometry alone, the projectile its first four states
// at their own times, each with the one warning of the empty member.
TEST_F(LSDynaReader, EmptyMemberOfARealFamilyEndsItsStates)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    struct Case {
        const char *family;
        const char *empty;
        int iStates;
    } cases[] = {{"qd-cae", "d3plot01", 0},
                 {"ansys-example-data/d3plot_projectile", "d3plot05", 4}};
    for (const Case &c : cases) {
        const std::string from = TestDataDir() + "/" + c.family + "/d3plot";
        ASSERT_TRUE(NKLSDynaOpen(from.c_str())) << c.family;
        std::vector<float> times;
        for (int i = 0; i < c.iStates; i++) times.push_back(NKLSDynaGetStateTime(i));
        NKLSDynaClose();
        std::string dir = Path(std::filesystem::path(c.family).filename().c_str());
        std::filesystem::create_directory(dir);
        for (const auto &entry :
             std::filesystem::directory_iterator(TestDataDir() + "/" + c.family))
            ASSERT_TRUE(NKTestWriteBytes(dir + "/" + entry.path().filename().string(),
                                         entry.path().filename() == c.empty
                                             ? std::vector<uint8_t>()
                                             : RawBytes(entry.path().string())));
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str())) << c.family;
        EXPECT_TRUE(capture.Contains("LS-DYNA family file " + dir + "/" + c.empty +
                                     " is empty, states end there."))
            << c.family << "\n"
            << capture.Text();
        // That warning alone: the member is not reported missing as well.
        EXPECT_FALSE(capture.Contains("is missing")) << c.family << "\n" << capture.Text();
        ASSERT_EQ(NKLSDynaGetNumStates(), c.iStates) << c.family;
        for (int i = 0; i < c.iStates; i++)
            EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(i), times[(size_t)i]) << c.family << " " << i;
        NKLSDynaClose();
    }
}

TEST_F(LSDynaReader, CutOrDamagedFilesFailOrReadSafely)
{
    LSDynaTestWriter full;
    LSDynaWriteShellGeometry(&full);
    LSDynaWriteShellState(&full, 0.0);
    for (size_t n = 0; n < full.bytes.size(); n += 3) {
        LSDynaTestWriter cut = full;
        cut.bytes.resize(n);
        ASSERT_TRUE(cut.Save(Path("d3plot")));
        MessageCapture capture;
        if (NKLSDynaOpen(Path("d3plot").c_str())) {
            NKGeometry *pGeo = NKLSDynaGetGeometry(0);
            if (pGeo != nullptr) NKReleaseGeometry(pGeo);
        }
        NKLSDynaClose();
    }
    for (int iWord = 10; iWord < 64; iWord++)
        for (int64_t v : {int64_t(0), int64_t(-1), int64_t(2147483647)}) {
            LSDynaTestWriter bad = full;
            int32_t i = (int32_t)v;
            std::memcpy(&bad.bytes[(size_t)iWord * 4], &i, 4);
            ASSERT_TRUE(bad.Save(Path("d3plot")));
            MessageCapture capture;
            if (NKLSDynaOpen(Path("d3plot").c_str())) {
                NKGeometry *pGeo = NKLSDynaGetGeometry(0);
                for (int s = 0; s < NKLSDynaGetNumStates(); s++)
                    for (int k = 0; k < NKLSDynaGetNumScalars(); k++) {
                        NKScalarResult *p =
                            pGeo != nullptr ? NKLSDynaGetScalar(k, s, pGeo) : nullptr;
                        if (p != nullptr) NKReleaseScalarResult(p);
                    }
                if (pGeo != nullptr) NKReleaseGeometry(pGeo);
            }
            NKLSDynaClose();
        }
}

// Each reader checks its own words in its own order; a damaged header names
// the first failing one, every count before any size.
TEST(LSDynaControlWords, EachReaderNamesItsFirstFailingWord)
{
    const int kHuge = (1 << 24) + 1;
    struct Case {
        bool bTimeHistory;
        std::vector<std::pair<int, int>> words;
        const char *pszExpected;  // nullptr: all pass
    };
    const Case kCases[] = {
        {false, {}, nullptr},
        {true, {}, nullptr},
        {false, {{NK_DW_NV3D, kHuge}}, "NV3D"},
        {false, {{NK_DW_NEL8, -1}, {NK_DW_EXTRA, -1}, {NK_DW_NELB, -1}}, nullptr},
        {true, {{NK_DW_NEL8, -1}}, "NEL8"},
        {true, {{NK_DW_NELB, -1}}, "NELB"},
        {false, {{NK_DW_NEIPH, -1}}, "NEIPH"},
        {true, {{NK_DW_NEIPH, -1}, {NK_DW_NMSPH, -1}, {NK_DW_NADAPT, -1}}, nullptr},
        {true, {{NK_DW_NDIM, kHuge}}, "NDIM"},
        {false, {{NK_DW_NDIM, kHuge}, {NK_DW_NEL2, kHuge}}, nullptr},
        // The two orders differ: NEL2 before NV3D for the plot database,
        // NV3D first for the time history; NEIPS before NGLBV and after.
        {false, {{NK_DW_NV3D, -1}, {NK_DW_NEL2, -1}}, "NEL2"},
        {true, {{NK_DW_NV3D, -1}, {NK_DW_NEL2, -1}}, "NV3D"},
        {false, {{NK_DW_NGLBV, kHuge}, {NK_DW_NEIPS, kHuge}}, "NEIPS"},
        {true, {{NK_DW_NGLBV, kHuge}, {NK_DW_NEIPS, kHuge}}, "NGLBV"},
        {false, {{NK_DW_NUMMATT, -1}, {NK_DW_NADAPT, -1}}, "NADAPT"},
        {true, {{NK_DW_NUMMATT, -1}, {NK_DW_NARBS, -1}}, "NARBS"},
        // A count fails before a size, wherever the two stand.
        {false, {{NK_DW_NV3D, kHuge}, {NK_DW_NUMMATT, -1}}, "NUMMATT"},
        {true, {{NK_DW_NV3D, kHuge}, {NK_DW_NELB, -1}}, "NELB"},
    };
    for (const Case &c : kCases) {
        int w[NK_DW_COUNT] = {0};
        for (const auto &[iWord, iValue] : c.words) w[iWord] = iValue;
        const char *pszBad = NKLSDynaOutOfRangeWord(w, c.bTimeHistory);
        SCOPED_TRACE(c.bTimeHistory ? "time history" : "plot");
        if (c.pszExpected == nullptr)
            EXPECT_EQ(pszBad, nullptr) << pszBad;
        else
            EXPECT_STREQ(pszBad, c.pszExpected);
    }
}

// A state with a coordinate that is not finite (NaN, plus or minus
// infinity) opens with every other state: it is refused when it is read,
// naming the file, the state and the node, each time it is read, and so is
// a read over states that holds it; the states around it read. The state
// read before it stays the current one, its words as they were.
TEST_F(LSDynaReader, StateWithCoordinatesThatAreNotFiniteIsRefusedWhenRead)
{
    for (int iWordSize : {4, 8})
        for (double dBad : {(double)NAN, (double)INFINITY, -(double)INFINITY, 1e300}) {
            // 1e300 is a finite double beyond the floats: it reads as infinity.
            if (iWordSize == 4 && dBad == 1e300) continue;
            const std::string what = std::to_string(iWordSize) + " " + std::to_string(dBad);
            ASSERT_TRUE(LSDynaSaveFamilyWithBadThirdState(Path("d3plot"), dBad, iWordSize));
            MessageCapture capture;
            ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << what;
            EXPECT_EQ(NKLSDynaGetNumStates(), 4) << what;
            EXPECT_FALSE(capture.Contains("refused")) << what << capture.Text();
            const std::string refusal = "LS-DYNA file " + Path("d3plot") +
                                        ": state 3 is refused, the coordinates of node 3 are not "
                                        "finite.";
            for (int iPass = 0; iPass < 2; iPass++) {
                for (int s = 0; s < 4; s++) {
                    EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(s), 0.001f * (float)s);
                    capture.Clear();
                    EXPECT_EQ(NKLSDynaReadState(s), s != 2) << what << " " << s;
                    EXPECT_EQ(capture.HasLine(refusal, NK_MSG_ERROR), s == 2)
                        << what << capture.Text();
                    EXPECT_EQ(NKLSDynaGetCurrentState(), s == 2 ? 1 : s);
                    EXPECT_FLOAT_EQ(NKLSDynaGetStateData().fTime, s == 2 ? 0.001f : 0.001f * s);
                    EXPECT_EQ(NKLSDynaCheckStateCoordinates(s), s != 2);
                }
            }
            // A read over states: the coordinates of node 1 in states 1, 2
            // and 4 read; any list that holds state 3 is refused.
            float afX[3] = {-1, -1, -1}, *pfX = afX;
            const int iKey = 25, iNode = 0;
            const int aiGood[3] = {0, 1, 3}, aiBad[2] = {1, 2};
            EXPECT_EQ(NKLSDynaReadStateResult(aiGood, 3, &iKey, 1, &iNode, 1, &pfX,
                                              NK_DYNA_NODE_COORDS, nullptr),
                      3);
            EXPECT_FLOAT_EQ(afX[2], 0.003f);
            capture.Clear();
            EXPECT_EQ(NKLSDynaReadStateResult(aiBad, 2, &iKey, 1, &iNode, 1, &pfX,
                                              NK_DYNA_NODE_COORDS, nullptr),
                      -1);
            EXPECT_TRUE(capture.HasLine(refusal, NK_MSG_ERROR)) << what << capture.Text();
            // Read past the check, its other words are there.
            EXPECT_TRUE(NKLSDynaReadState(2, false)) << what;
            NKLSDynaClose();
        }
}

// Every word of the current state, its time first.
std::vector<float> StateWords(const LSDynaStateData &d)
{
    std::vector<float> w = {d.fTime};
    for (const std::vector<float> *p :
         {&d.globals, &d.coords, &d.temperatures, &d.velocities, &d.accelerations, &d.solids,
          &d.thickShells, &d.beams, &d.shells, &d.deletion})
        w.insert(w.end(), p->begin(), p->end());
    return w;
}

// A real family copied into dir: its files, with member live (when given)
// cut to its first iLiveBytes bytes.
void CopyFamily(const std::string &family, const std::string &dir, const char *live = nullptr,
                size_t iLiveBytes = 0)
{
    std::filesystem::create_directory(dir);
    for (const auto &entry : std::filesystem::directory_iterator(family)) {
        std::vector<uint8_t> bytes = RawBytes(entry.path().string());
        if (live != nullptr && entry.path().filename() == live) bytes.resize(iLiveBytes);
        ASSERT_TRUE(NKTestWriteBytes(dir + "/" + entry.path().filename().string(), bytes));
    }
}

// Families of the shared data changed on disk after their open, as a
// running job, a copy and a rerun change them. A state is read while its
// words are all there and its first word is the time the open listed: the
// node_temperature run still writing (d3plot01 ends after state 10 with no
// end marker) keeps its ten states when its next state is appended, each
// read with the words of the family written whole, and has state 10
// refused, by its check alone and by its read, when d3plot01 loses its
// last word; a member zeroed in place, one holding another member's words
// and one cut short have the states that begin in it refused, the check and
// the read each naming the member (a state whose time was 0 keeps its time
// under zeros: its read refuses it, its coordinates all zero), and every
// other state reads; a time word of 0 written as -0 has its state refused
// so (the time is compared bit for bit). A refused read keeps the state
// read before it current with its words.
TEST_F(LSDynaReader, RealFamiliesChangedAfterTheOpenReadOnlyTheStatesTheyStillHold)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    enum Change { kGrown, kZeros, kOtherMember, kCut, kMinusZero };
    const struct Case {
        const char *family, *member;
        Change change;
        const char *other;  // kOtherMember: the member whose words are copied over
        size_t iLive;       // the live member's bytes at the open (0: the whole family)
        size_t iGrown;      // kGrown: its bytes after the next state (kCut: the cut)
    } cases[] = {
        {"lasso-python/d3plot_node_temperature", "d3plot01", kGrown, nullptr, 349680, 384648},
        {"ansys-example-data/d3plot", "d3plot01", kZeros, nullptr, 0, 0},
        {"lasso-python/d3plot_solid_int", "d3plot05", kOtherMember, "d3plot06", 0, 0},
        {"ansys-example-data/d3plot", "d3plot02", kCut, nullptr, 0, 1000},
        {"lasso-python/d3plot_node_temperature", "d3plot01", kCut, nullptr, 0, 384648 + 4},
        {"lasso-python/d3plot_node_temperature", "d3plot01", kCut, nullptr, 349680, 349680 - 4},
        {"ansys-example-data/d3plot", "d3plot01", kMinusZero, nullptr, 0, 0},
    };
    int iRow = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + c.member + " change " +
                     std::to_string((int)c.change));
        const std::string shared = TestDataDir() + "/" + c.family;
        // The family written whole: every state's member, time and words.
        ASSERT_TRUE(NKLSDynaOpen((shared + "/d3plot").c_str()));
        std::vector<std::vector<float>> whole;
        for (int k = 0; k < NKLSDynaGetNumStates(); k++) {
            ASSERT_TRUE(NKLSDynaReadState(k)) << k;
            whole.push_back(StateWords(NKLSDynaGetStateData()));
        }
        NKLSDynaClose();
        const std::string dir = Path(("row" + std::to_string(iRow++)).c_str());
        CopyFamily(shared, dir, c.iLive > 0 ? c.member : nullptr, c.iLive);
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str())) << capture.Text();
        const LSDynaControlData &g = *NKLSDynaGetControlData();
        const int n = NKLSDynaGetNumStates();
        ASSERT_EQ(n, c.iLive > 0 ? 10 : (int)whole.size()) << capture.Text();
        const std::string member = dir + "/" + c.member;
        // Whether state k lies in the member and the change takes words of
        // it away or changes its time.
        auto Changed = [&](int k, bool *pbInMember) {
            const LSDynaStateInfo &info = g.states[(size_t)k];
            *pbInMember =
                std::string(g.files[(size_t)info.iFileIndex].szFileName.GetText()) == member;
            const int64_t iEndByte = (info.iOffset + info.iSize) * g.iWordSize;
            return *pbInMember &&
                   (c.change == kOtherMember || (c.change == kZeros && info.fTime != 0) ||
                    (c.change == kCut && iEndByte > (int64_t)c.iGrown) ||
                    (c.change == kMinusZero && info.fTime == 0));
        };
        int kFirst = 0;
        bool bInMember = false;
        while (kFirst < n && !Changed(kFirst, &bInMember)) kFirst++;
        EXPECT_EQ(kFirst < n, c.change != kGrown);
        if (kFirst == n) kFirst = 0;
        // The state before the first one changed is checked before the
        // change: the words read for it, the next state's time word among
        // them, are not taken for those of the changed file.
        if (kFirst > 0) {
            EXPECT_TRUE(NKLSDynaCheckStateCoordinates(kFirst - 1));
        }
        const std::vector<uint8_t> original = RawBytes(shared + "/" + c.member);
        std::vector<uint8_t> bytes = original;
        if (c.change == kGrown) bytes.resize(c.iGrown);
        if (c.change == kZeros) bytes.assign(bytes.size(), 0);
        if (c.change == kOtherMember) bytes = RawBytes(shared + "/" + c.other);
        if (c.change == kCut) bytes.resize(c.iGrown);
        // The sign bit of each time word of 0 in the member.
        for (int k = 0; k < n && c.change == kMinusZero; k++) {
            const LSDynaStateInfo &info = g.states[(size_t)k];
            if (!Changed(k, &bInMember)) continue;
            const size_t iAt = (size_t)(info.iOffset * g.iWordSize);
            bytes[iAt + (g.bSwap ? 0 : (size_t)g.iWordSize - 1)] |= 0x80;
        }
        ASSERT_TRUE(NKTestWriteBytes(member, bytes));
        // From the first changed state on, round to the one before it. The
        // state read last before each refusal stays current after it.
        int iCurrent = -1;
        for (int i = 0; i < n; i++) {
            const int k = (kFirst + i) % n;
            const bool bChanged = Changed(k, &bInMember);
            const bool bZeroed = !bChanged && bInMember && c.change == kZeros;
            const std::string state = ": state " + std::to_string(k + 1) + " is refused, ";
            const std::string refusal = "LS-DYNA file " + member + state +
                                        "the file changed on disk after it was opened.",
                              zeroed = "LS-DYNA file " + member + state +
                                       "the coordinates of every node are zero.";
            capture.Clear();
            EXPECT_EQ(NKLSDynaCheckStateCoordinates(k), !bChanged) << k;
            EXPECT_EQ(NKLSDynaReadState(k), !bChanged && !bZeroed) << k;
            EXPECT_EQ(capture.HasLine(refusal, NK_MSG_ERROR), bChanged) << k << capture.Text();
            EXPECT_EQ(capture.HasLine(zeroed, NK_MSG_ERROR), bZeroed) << k << capture.Text();
            EXPECT_EQ(capture.Lines().size(), bChanged  ? 2u
                                              : bZeroed ? 1u
                                                        : 0u)
                << k << capture.Text();
            if (!bChanged && !bZeroed) iCurrent = k;
            ASSERT_EQ(NKLSDynaGetCurrentState(), iCurrent) << k;
            if (iCurrent >= 0) {
                EXPECT_TRUE(StateWords(NKLSDynaGetStateData()) == whole[(size_t)iCurrent]) << k;
            }
        }
        NKLSDynaClose();
    }
}

// A file that is no plot database fails the open with the message and a
// second line naming the file.
TEST_F(LSDynaReader, FormatErrorNamesTheFile)
{
    std::ofstream(Path("d3plot")) << std::string(400, 'x');
    MessageCapture capture;
    EXPECT_FALSE(NKLSDynaOpen(Path("d3plot").c_str()));
    EXPECT_TRUE(capture.HasLine("Format error in LSDYNA file.")) << capture.Text();
    EXPECT_TRUE(capture.HasLine("File \"" + Path("d3plot") + "\".")) << capture.Text();
}

TEST_F(LSDynaReader, SolidClassificationAndForminglimitCurve)
{
    struct Case {
        int n[8];
        int iType;
    } cases[] = {{{1, 2, 3, 4, 5, 5, 6, 6}, 10},
                 {{1, 2, 3, 4, 4, 4, 4, 4}, 6},
                 {{1, 1, 2, 3, 4, 5, 6, 7}, 12},
                 {{1, 2, 3, 4, 5, 6, 7, 8}, 12}};
    for (const Case &c : cases) EXPECT_EQ(NKLSDynaClassifySolid(c.n), c.iType);
    ASSERT_TRUE(NKTestWriteText(Path("fld"), "curve\n7\n-0.2 0.4 0.0 0.2 0.2 0.3 9\n"));
    FLDCurve curve;
    curve.szFileName = (Path("FLD")).c_str();
    ASSERT_TRUE(NKFLDCurveRead(&curve));
    EXPECT_EQ(curve.NumPoints(), 3);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, -1.0f), 0.4f);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, 0.1f), 0.25f);
    EXPECT_FLOAT_EQ(NKFLDCurveMajorAt(curve, 1.0f), 0.3f);
}

// The real families open in place; times ascend and geometry and every
// result of the first and last state are read. Counts come from the format
// description; values are compared with the file's own words: node 1's x at
// word H (64 + EXTRA, + the SPH block), a state's time at its first word and its first node
// word (a coordinate, or a temperature without IU) after the NGLBV globals.
TEST_F(LSDynaReader, SharedFamiliesMatchTheirRawWords)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    struct Case {
        const char *path;
        const char *pszMissing;  // geometry only, the warning naming this member
        int iStates;
        const char *first;  // member and word of the first and last state
        int64_t iFirstAt;
        const char *last;
        int64_t iLastAt;
    } cases[] = {
        {"qd-cae/d3plot", nullptr, 1, "d3plot01", 0, "d3plot01", 0},
        {"lasso-python/d3plot_beamip/d3plot", nullptr, 2, "d3plot01", 0, "d3plot01", 47},
        {"lasso-python/d3plot_node_temperature/d3plot", nullptr, 23, "d3plot01", 0, "d3plot01",
         192324},
        {"lasso-python/d3plot_solid_int/d3plot", nullptr, 22, "d3plot01", 0, "d3plot22", 0},
        {"lasso-python/order_d3plot/d3plot", nullptr, 7, "d3plot01", 0, "d3plot100", 0},
        {"ansys-example-data/d3plot/d3plot", nullptr, 22, "d3plot01", 0, "d3plot02", 0},
        {"ansys-example-data/d3plot_beam/d3plot", nullptr, 12, "d3plot01", 0, "d3plot02", 0},
        {"ansys-example-data/d3plot_projectile/d3plot", nullptr, 16, "d3plot01", 0, "d3plot16", 0},
        {"ansys-example-data/bird_strike_incomplete/d3plot", "d3plot01", 0, nullptr, 0, nullptr, 0},
        {"pladebuk/d3plot_incomplete", "d3plot_incomplete01", 0, nullptr, 0, nullptr, 0}};
    for (const Case &c : cases) {
        std::string path = TestDataDir() + "/" + c.path;
        std::string dir = path.substr(0, path.rfind('/') + 1);
        std::vector<uint8_t> base = RawBytes(path);
        int ws = RawWord(base, 4, 15, true) >= 2 && RawWord(base, 4, 15, true) <= 5 ? 4 : 8;
        auto Int = [&](int i) { return (int)RawWord(base, ws, i, true); };
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen(path.c_str())) << path;
        EXPECT_EQ(NKLSDynaGetControlData()->bGeometryOnly != 0, c.pszMissing != nullptr) << path;
        if (c.pszMissing != nullptr)
            EXPECT_TRUE(capture.Contains(std::string(c.pszMissing) + " is missing")) << path;
        else
            EXPECT_FALSE(capture.Contains("is missing")) << path << "\n" << capture.Text();
        // Titles are text: the 40 (80) bytes of words 0-9.
        std::string title(base.begin(), base.begin() + 10 * ws);
        EXPECT_EQ(RightTrimmed(NKLSDynaGetControlData()->title), RightTrimmed(title)) << path;
        ASSERT_EQ(NKLSDynaGetNumStates(), c.iStates) << path;
        for (int i = 1; i < c.iStates; i++)
            EXPECT_LT(NKLSDynaGetStateTime(i - 1), NKLSDynaGetStateTime(i)) << path;
        NKGeometry *pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(pGeo, nullptr) << path;
        ASSERT_NE(NKLSDynaGetCachedGeometry(), nullptr);
        EXPECT_EQ(NKLSDynaGetNumNodes(), Int(16)) << path;
        EXPECT_EQ(NKLSDynaGetTotalElements(), Int(23) + Int(40) + Int(28) + Int(31)) << path;
        // With SPH particles (NMSPH) their flag block, its length first,
        // comes before the coordinates.
        int iH = 64 + Int(57);
        if (Int(37) > 0) iH += Int(iH);
        EXPECT_FLOAT_EQ(NKLSDynaGetCachedGeometry()->coords[0], (float)RawWord(base, ws, iH))
            << path;
        for (int s : {0, c.iStates - 1}) {
            if (c.iStates == 0) continue;
            std::vector<uint8_t> member = RawBytes(dir + (s == 0 ? c.first : c.last));
            int64_t at = s == 0 ? c.iFirstAt : c.iLastAt;
            EXPECT_EQ(NKLSDynaGetControlData()->states[(size_t)s].iOffset, at) << path;
            ASSERT_TRUE(NKLSDynaReadState(s));
            const LSDynaStateData &d = NKLSDynaGetStateData();
            EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(s), (float)RawWord(member, ws, at)) << path;
            float fFirst = Int(20) == 1 ? d.coords.at(0) : d.temperatures.at(0);
            EXPECT_FLOAT_EQ(fFirst, (float)RawWord(member, ws, at + 1 + Int(18))) << path;
            for (int k = 0; k < NKLSDynaGetNumScalars(); k++) {
                NKScalarResult *p = NKLSDynaGetScalar(k, s, pGeo);
                int iKind = -1, iSub = 0;
                NKLSDynaScalarIndexToKind(k, &iKind, &iSub);
                // No family here carries an FLD curve file.
                EXPECT_EQ(p != nullptr, iKind != 21) << path << " scalar " << k;
                if (p != nullptr) NKReleaseScalarResult(p);
            }
            for (int k = 0; k < NKLSDynaGetNumVectors(); k++) {
                NKVectorResult *p = NKLSDynaGetVector(k, s, pGeo);
                EXPECT_NE(p, nullptr) << path;
                if (p != nullptr) NKReleaseVectorResult(p);
            }
        }
        NKReleaseGeometry(pGeo);
        NKLSDynaClose();
    }
}

// order_d3plot's members are taken in numeric order; each holds one state
// whose time is the member's first word.
TEST_F(LSDynaReader, GappedFamilyIsReadInNumericOrder)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::string dir = TestDataDir() + "/lasso-python/order_d3plot/";
    ASSERT_TRUE(NKLSDynaOpen((dir + "d3plot").c_str()));
    const char *order[] = {"d3plot01", "d3plot02", "d3plot10", "d3plot11",
                           "d3plot12", "d3plot22", "d3plot100"};
    ASSERT_EQ(NKLSDynaGetNumStates(), 7);
    for (int i = 0; i < 7; i++) {
        const LSDynaStateInfo &s = NKLSDynaGetControlData()->states[(size_t)i];
        EXPECT_EQ(s.szFileName.GetFileName(), order[i]);
        EXPECT_FLOAT_EQ(s.fTime, (float)RawWord(RawBytes(dir + order[i]), 4, 0));
    }
}

// Every solid of the ansys model is a tetrahedron stored as a hexahedron
// whose nodes 4-8 are one node.
TEST_F(LSDynaReader, AnsysSolidsAreTetrahedra)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::string path = TestDataDir() + "/ansys-example-data/d3plot/d3plot";
    std::vector<uint8_t> raw = RawBytes(path);
    ASSERT_TRUE(NKLSDynaOpen(path.c_str()));
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    const LSDynaGeometry *pRec = NKLSDynaGetCachedGeometry();
    ASSERT_EQ(pRec->NEL8, 548);
    int64_t at = 64 + 3 * (int64_t)RawWord(raw, 4, 16, true);
    for (int e = 0; e < pRec->NEL8; e++) {
        const int *n = &pRec->solids[(size_t)e * 9];
        EXPECT_EQ(NKLSDynaClassifySolid(n), 6) << e;
        for (int k = 0; k < 9; k++) EXPECT_EQ(n[k], (int)RawWord(raw, 4, at + 9 * e + k, true));
    }
    int iTetra = 0, iElements = 0;
    for (int p = 0; p < pGeo->iNumParts; p++)
        for (int e = 0; e < pGeo->pParts[p].iNumElements; e++, iElements++)
            iTetra += pGeo->pParts[p].pElements[e].iType == 6;
    EXPECT_EQ(iTetra, iElements);
    NKReleaseGeometry(pGeo);
}

// Projectile erosion: the deletion words of each state (its last NEL8 words,
// 0 deleted) as read equal the file's, an element once deleted stays
// deleted, and a state hides exactly the polygons of its deleted elements.
TEST_F(LSDynaReader, ProjectileDeletionStaysAndHidesItsPolygons)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::string dir = TestDataDir() + "/ansys-example-data/d3plot_projectile/";
    ASSERT_TRUE(NKLSDynaOpen((dir + "d3plot").c_str()));
    NKFrame frame;
    frame.pGeometry = NKLSDynaGetGeometry(0);
    ASSERT_NE(frame.pGeometry, nullptr);
    NKGeometry *pGeo = frame.pGeometry;
    std::vector<std::vector<uint8_t>> vis((size_t)pGeo->iNumParts);
    std::vector<uint8_t *> rows;
    for (int p = 0; p < pGeo->iNumParts; p++) {
        vis[(size_t)p].assign((size_t)pGeo->pParts[p].iNumPolygons, 0);
        rows.push_back(vis[(size_t)p].data());
    }
    frame.ppVisibility = rows.data();
    const int64_t S = 114345, N = 5664;
    std::vector<bool> wasDeleted((size_t)N, false);
    int iDeleted = 0;
    for (int s = 0; s < 16; s++) {
        char name[32];
        snprintf(name, sizeof(name), "d3plot%02d", s + 1);
        std::vector<uint8_t> raw = RawBytes(dir + name);
        ASSERT_TRUE(NKLSDynaReadState(s));
        const std::vector<float> &del = NKLSDynaGetStateData().deletion;
        ASSERT_EQ((int64_t)del.size(), N);
        iDeleted = 0;
        for (int64_t e = 0; e < N; e++) {
            bool bGone = RawWord(raw, 8, S - N + e) == 0.0;
            EXPECT_EQ(del[(size_t)e] == 0.0f, bGone) << s << " " << e;
            EXPECT_FALSE(wasDeleted[(size_t)e] && !bGone) << s << " " << e;
            wasDeleted[(size_t)e] = bGone;
            iDeleted += bGone;
        }
        NKLSDynaUpdateVisibilityArray(s, &frame);
        for (int p = 0; p < pGeo->iNumParts; p++) {
            const NKPart &part = pGeo->pParts[p];
            for (int k = 0; k < part.iNumPolygons; k++) {
                int gi = part.pElements[part.pPolygonElements[k]].iGlobalIndex;
                EXPECT_EQ(vis[(size_t)p][(size_t)k] & 1, wasDeleted[(size_t)gi] ? 1 : 0) << s;
            }
        }
    }
    EXPECT_EQ(iDeleted, 614);
    frame.ppVisibility = nullptr;
    frame.pGeometry = nullptr;
    NKReleaseGeometry(pGeo);
}

// The open takes the deletion words of a segment's last state alone: the
// geometry it gives keeps the faces of the elements deleted by then, as a
// geometry made with the deletion words of that state read whole does, and
// more faces than a geometry made with no deletion at all.
TEST_F(LSDynaReader, OpenKeepsTheFacesOfElementsDeletedByTheLastState)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    std::string dir = TestDataDir() + "/ansys-example-data/d3plot_projectile/";
    ASSERT_TRUE(NKLSDynaOpen((dir + "d3plot").c_str()));
    auto Polygons = [](NKGeometry *pGeo) {
        int n = 0;
        for (int p = 0; pGeo != nullptr && p < pGeo->iNumParts; p++)
            n += pGeo->pParts[p].iNumPolygons;
        NKReleaseGeometry(pGeo);
        return n;
    };
    const int iOpened = Polygons(NKLSDynaGetGeometry(0));
    ASSERT_TRUE(NKLSDynaReadState(NKLSDynaGetNumStates() - 1));
    std::vector<uint8_t> deleted;  // solids only: the file's order is the global one
    for (float f : NKLSDynaGetStateData().deletion) deleted.push_back(f == 0.0f ? 1 : 0);
    const LSDynaGeometry *pRec = NKLSDynaGetCachedGeometry();
    ASSERT_NE(pRec, nullptr);
    ASSERT_EQ((int)deleted.size(), pRec->TotalElements());
    EXPECT_EQ(iOpened, Polygons(NKLSDynaConvertGeometry(*pRec, &deleted, nullptr)));
    EXPECT_GT(iOpened, Polygons(NKLSDynaConvertGeometry(*pRec, nullptr, nullptr)));
}

// Copies of two real families, cut or with a header word changed: each open
// fails with a message or reads every state and result; the sanitizers
// catch any stray read. A failed open leaves nothing open.
TEST_F(LSDynaReader, DamagedCopiesOfRealFamiliesFailCleanly)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    struct Case {
        const char *family;
        const char *member;  // the file damaged
        int iStep;           // cut every iStep bytes
        int iHeaderWords;    // header words changed (base file only)
    } cases[] = {{"d3plot_beamip", "d3plot", 5, 128},
                 {"d3plot_beamip", "d3plot01", 7, 0},
                 {"d3plot_solid_int", "d3plot", 37, 128},
                 {"d3plot_solid_int", "d3plot01", 401, 0},
                 {"d3plot_solid_int", "d3plot22", 401, 0}};
    for (const Case &c : cases) {
        std::string src = TestDataDir() + "/lasso-python/" + c.family;
        std::string dir = Path(c.family);
        std::filesystem::remove_all(dir);
        std::filesystem::copy(src, dir);
        std::string target = dir + "/" + c.member;
        const std::vector<uint8_t> whole = RawBytes(target);
        auto Check = [&](const std::vector<uint8_t> &bytes, const std::string &what) {
            ASSERT_TRUE(NKTestWriteBytes(target, bytes));
            MessageCapture capture;
            if (!OpenAndReadEverything(dir + "/d3plot")) {
                // The open's progress ends with the failure on the status line.
                EXPECT_EQ(NKGetHeadlessProgressUI()->GetStatusText(),
                          "Error opening state database.")
                    << what;
                EXPECT_EQ(NKLSDynaGetNumStates(), 0) << what;
            }
            NKLSDynaClose();
        };
        for (size_t n = 0; n < whole.size(); n += (size_t)c.iStep)
            Check(std::vector<uint8_t>(whole.begin(), whole.begin() + (std::ptrdiff_t)n),
                  target + " cut at " + std::to_string(n));
        for (int iWord = 0; iWord < c.iHeaderWords; iWord++)
            for (int32_t v : {0, -1, 2147483647}) {
                std::vector<uint8_t> bad = whole;
                std::memcpy(&bad[(size_t)iWord * 4], &v, 4);
                Check(bad, "word " + std::to_string(iWord) + " = " + std::to_string(v));
            }
        ASSERT_TRUE(NKTestWriteBytes(target, whole));
    }
}

// A state followed by the end marker and padding shorter than a state ends
// the family without a missing-member warning, as does a state ending at
// the file's end; a state cut by the file's end is where the states end,
// with a warning that the member ends inside it.
TEST_F(LSDynaReader, StatesEndingInTheLastMemberNeedNoFurtherMember)
{
    struct Case {
        bool bMarker;
        int iPadding;  // zero words after the state (and marker)
        int iCut;      // words cut from the end
        int iStates;
        bool bWarning;
    } cases[] = {{true, 0, 0, 2, false},
                 {true, 5, 0, 2, false},
                 {false, 0, 0, 2, false},
                 {false, 0, 3, 1, true}};
    for (const Case &c : cases) {
        LSDynaTestWriter base, next;
        LSDynaWriteShellGeometry(&base);
        base.Float(-999999.0);
        LSDynaWriteShellState(&next, 0.0);
        LSDynaWriteShellState(&next, 0.001);
        if (c.bMarker) next.Float(-999999.0);
        for (int i = 0; i < c.iPadding; i++) next.Float(0.0);
        next.bytes.resize(next.bytes.size() - (size_t)c.iCut * 4);
        ASSERT_TRUE(base.Save(Path("d3plot")));
        ASSERT_TRUE(next.Save(Path("d3plot01")));
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
        EXPECT_EQ(NKLSDynaGetNumStates(), c.iStates) << c.iPadding << " " << c.iCut;
        EXPECT_EQ(capture.Contains(Path("d3plot01") +
                                   " ends inside state 2, states end with state 1 at time 0."),
                  c.bWarning)
            << c.iPadding << " " << c.iCut << "\n"
            << capture.Text();
        EXPECT_FALSE(capture.Contains("is missing")) << capture.Text();
        NKLSDynaClose();
    }
}

// A member cut to a third (bytes, so perhaps inside a word): the states
// wholly before the cut stay, and one warning names the member, the state it
// ends inside and the last whole state, or says that none is whole. No
// member is reported missing. The fixture family always; copies of real
// families when the shared test data is there.
TEST_F(LSDynaReader, MemberCutToAThirdKeepsTheStatesBeforeTheCut)
{
    // iCut: the bytes kept, a third of the member when -1.
    auto Check = [&](const std::string &dir, const char *pszMember, int64_t iCutAt) {
        SCOPED_TRACE(dir + "/" + pszMember + " cut at " + std::to_string(iCutAt));
        std::string base = dir + "/d3plot", target = dir + "/" + pszMember;
        ASSERT_TRUE(NKLSDynaOpen(base.c_str()));
        const LSDynaControlData *g = NKLSDynaGetControlData();
        const std::vector<uint8_t> whole = RawBytes(target);
        size_t iCut = iCutAt < 0 ? whole.size() / 3 : (size_t)iCutAt;
        // The states that end before the cut, or lie in other members.
        std::vector<float> kept;
        for (const LSDynaStateInfo &st : g->states) {
            bool bInTarget = st.szFileName.GetText() == target;
            if (bInTarget && (st.iOffset + st.iSize) * g->iWordSize > (int64_t)iCut) break;
            kept.push_back(st.fTime);
        }
        ASSERT_LT(kept.size(), g->states.size());
        NKLSDynaClose();
        ASSERT_TRUE(NKTestWriteBytes(target, whole.data(), iCut));
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen(base.c_str()));
        ASSERT_EQ(NKLSDynaGetNumStates(), (int)kept.size());
        for (size_t k = 0; k < kept.size(); k++)
            EXPECT_FLOAT_EQ(NKLSDynaGetStateTime((int)k), kept[k]) << k;
        std::string warning = "LS-DYNA family file " + target + " ends inside state " +
                              std::to_string(kept.size() + 1) + ", ";
        if (kept.empty())
            warning += "no state is whole.";
        else
            warning += NKString::FromFormat("states end with state %d at time %g.",
                                            (int)kept.size(), (double)kept.back())
                           .GetText();
        EXPECT_TRUE(capture.HasLine(warning, NK_MSG_WARNING)) << capture.Text();
        EXPECT_FALSE(capture.Contains("is missing")) << capture.Text();
        EXPECT_EQ(NKLSDynaGetControlData()->bGeometryOnly != 0, kept.empty());
        NKGeometry *pGeo = NKLSDynaGetGeometry(0);
        ASSERT_NE(pGeo, nullptr);
        NKReleaseGeometry(pGeo);
        if (!kept.empty()) {
            EXPECT_TRUE(NKLSDynaReadState((int)kept.size() - 1));
        }
        NKLSDynaClose();
    };
    // The fixture: the geometry and the end marker, then five states of 13
    // words; a third ends inside the second. Two bytes past the second end
    // inside the third's first word.
    LSDynaTestWriter geometry, states;
    LSDynaWriteShellGeometry(&geometry);
    geometry.Float(-999999.0);
    for (int k = 0; k < 5; k++) LSDynaWriteShellState(&states, 0.001 * k);
    ASSERT_TRUE(geometry.Save(Path("d3plot")));
    for (int64_t iCut : {int64_t(-1), int64_t(2 * 13 * 4 + 2)}) {
        ASSERT_TRUE(states.Save(Path("d3plot01")));
        Check(m_Dir, "d3plot01", iCut);
    }

    std::string shared = TestDataDir();
    if (!std::filesystem::is_directory(shared)) GTEST_SKIP() << "no shared test data in " << shared;
    struct Case {
        const char *family;
        const char *member;  // the last member, which is cut
    } cases[] = {{"qd-cae", "d3plot01"},
                 {"lasso-python/d3plot_node_temperature", "d3plot01"},
                 {"lasso-python/d3plot_solid_int", "d3plot22"}};
    for (const Case &c : cases) {
        std::string dir = Path(std::filesystem::path(c.family).filename().c_str());
        std::filesystem::create_directory(dir);
        for (const auto &entry : std::filesystem::directory_iterator(shared + "/" + c.family))
            ASSERT_TRUE(NKTestWriteBytes(dir + "/" + entry.path().filename().string(),
                                         RawBytes(entry.path().string())));
        Check(dir, c.member, -1);
    }
}

// A warning line naming the member with the end of the states: "no state
// is whole." without states, else the last state with its time.
bool WarnedAboutMember(const MessageCapture &capture, const std::string &member)
{
    const int n = NKLSDynaGetNumStates();
    const std::string end =
        n == 0 ? std::string("no state is whole.")
               : std::string(NKString::FromFormat("states end with state %d at time %g.", n,
                                                  (double)NKLSDynaGetStateTime(n - 1))
                                 .GetText());
    const std::string start = "LS-DYNA family file " + member + " ends inside ";
    for (const CapturedLine &line : capture.Lines())
        if (line.iLevel == NK_MSG_WARNING && line.text.compare(0, start.size(), start) == 0 &&
            line.text.size() >= end.size() &&
            line.text.compare(line.text.size() - end.size(), end.size(), end) == 0)
            return true;
    return false;
}

// Every state of the open database reads, its coordinates checked, with
// its deletion words when the database has them.
void ExpectEveryStateReads(size_t iDeletionWords)
{
    for (int k = 0; k < NKLSDynaGetNumStates(); k++) {
        EXPECT_TRUE(NKLSDynaCheckStateCoordinates(k)) << "state " << k + 1;
        ASSERT_TRUE(NKLSDynaReadState(k)) << "state " << k + 1;
        if (iDeletionWords > 0) {
            EXPECT_EQ(NKLSDynaGetStateData().deletion.size(), iDeletionWords) << "state " << k + 1;
        }
    }
}

// A member whose size is not a whole number of words is damaged: the states
// end with the last state lying wholly before its last whole word, and no
// member after it is read for states. The deletion fixture (14 words a
// state; the open reads the last state's deletion words), five states in
// d3plot01 and one in d3plot02, with d3plot01 cut to 1, 3 or 17 bytes, to
// a whole state and 1-3 bytes, or to two states and 17 bytes, in 4- and
// 8-byte words: the open succeeds with d3plot01's whole states before the
// cut, one warning names d3plot01 with where the states end, and every
// state reads. Four states whose words d3plot01 and d3plot02 share, with
// 1-3 bytes of a word after d3plot01's last one: the three states before
// the damage, read as written.
TEST_F(LSDynaReader, MemberCutInsideAWordKeepsTheWholeStatesBeforeIt)
{
    const int64_t kState = 14;
    for (int iWordSize : {4, 8}) {
        const int64_t iStateBytes = kState * iWordSize;
        for (int64_t iCut : {int64_t(1), int64_t(3), int64_t(17), iStateBytes + 1, iStateBytes + 2,
                             iStateBytes + 3, 2 * iStateBytes + 17}) {
            SCOPED_TRACE(std::to_string(iWordSize) + "-byte words, d3plot01 cut to " +
                         std::to_string(iCut) + " bytes");
            ASSERT_TRUE(LSDynaWriteDeletionFamily(m_Dir, iWordSize, 6, 5 * kState));
            const std::vector<uint8_t> whole = RawBytes(Path("d3plot01"));
            ASSERT_TRUE(NKTestWriteBytes(Path("d3plot01"), whole.data(), (size_t)iCut));
            const int64_t iStates = iCut / iStateBytes;
            MessageCapture capture;
            ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << capture.Text();
            ASSERT_EQ(NKLSDynaGetNumStates(), (int)iStates) << capture.Text();
            for (int64_t k = 0; k < iStates; k++)
                EXPECT_FLOAT_EQ(NKLSDynaGetStateTime((int)k), 0.001f * (float)k);
            EXPECT_TRUE(WarnedAboutMember(capture, Path("d3plot01"))) << capture.Text();
            EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
            EXPECT_EQ(NKLSDynaGetControlData()->bGeometryOnly != 0, iStates == 0);
            NKGeometry *pGeo = NKLSDynaGetGeometry(0);
            ASSERT_NE(pGeo, nullptr);
            NKReleaseGeometry(pGeo);
            ExpectEveryStateReads(1);
            NKLSDynaClose();
        }
        for (int iPart : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(iWordSize) + "-byte words, " + std::to_string(iPart) +
                         " bytes of a word after state 4's fifth word");
            ASSERT_TRUE(LSDynaWriteDeletionFamily(m_Dir, iWordSize, 4, 3 * kState + 5));
            std::vector<uint8_t> first = RawBytes(Path("d3plot01"));
            first.insert(first.end(), (size_t)iPart, 0x7F);
            ASSERT_TRUE(NKTestWriteBytes(Path("d3plot01"), first));
            MessageCapture capture;
            ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str())) << capture.Text();
            ASSERT_EQ(NKLSDynaGetNumStates(), 3) << capture.Text();
            EXPECT_TRUE(WarnedAboutMember(capture, Path("d3plot01"))) << capture.Text();
            EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
            for (int k = 0; k < 3; k++) {
                EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(k), 0.001f * (float)k);
                EXPECT_TRUE(NKLSDynaCheckStateCoordinates(k)) << k;
                ASSERT_TRUE(NKLSDynaReadState(k)) << k;
                ASSERT_EQ(NKLSDynaGetStateData().coords.size(), 12u);
                EXPECT_FLOAT_EQ(NKLSDynaGetStateData().coords[0], 0.001f * (float)k);
                ASSERT_EQ(NKLSDynaGetStateData().deletion.size(), 1u);
                EXPECT_EQ(NKLSDynaGetStateData().deletion[0], 1.0f);
            }
            NKLSDynaClose();
        }
    }
}

// Real families copied with their first state member cut inside a word:
// the ansys "d3plot" family's d3plot01 to 17 and to 117,555 bytes, and
// d3plot_beam's d3plot01 to a tenth. Each opens with the states wholly
// before the cut (0, 2 and 1), as a cut at the word before does, names
// d3plot01, and every state reads.
TEST_F(LSDynaReader, RealFamiliesCutInsideAWordOpenWithTheirWholeStates)
{
    NK_SKIP_WITHOUT_SHARED_TESTDATA();
    struct Case {
        const char *family;
        int64_t iCut;  // bytes kept of d3plot01; -1: a tenth
        int iStates;
    } cases[] = {{"d3plot", 17, 0}, {"d3plot", 117555, 2}, {"d3plot_beam", -1, 1}};
    for (const Case &c : cases) {
        const std::string src = TestDataDir() + "/ansys-example-data/" + c.family;
        const std::string dir = Path(c.family);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directory(dir);
        for (const char *pszMember : {"d3plot", "d3plot01", "d3plot02"})
            ASSERT_TRUE(NKTestWriteBytes(dir + "/" + pszMember, RawBytes(src + "/" + pszMember)));
        const std::vector<uint8_t> whole = RawBytes(dir + "/d3plot01");
        const size_t iCut = c.iCut < 0 ? whole.size() / 10 : (size_t)c.iCut;
        ASSERT_NE(iCut % 4, 0u);
        SCOPED_TRACE(std::string(c.family) + "/d3plot01 cut to " + std::to_string(iCut));
        // A cut at the word before counts the states as the cut inside a word does.
        ASSERT_TRUE(NKTestWriteBytes(dir + "/d3plot01", whole.data(), iCut - iCut % 4));
        {
            MessageCapture quiet;
            ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str())) << quiet.Text();
            EXPECT_EQ(NKLSDynaGetNumStates(), c.iStates);
            NKLSDynaClose();
        }
        ASSERT_TRUE(NKTestWriteBytes(dir + "/d3plot01", whole.data(), iCut));
        MessageCapture capture;
        ASSERT_TRUE(NKLSDynaOpen((dir + "/d3plot").c_str())) << capture.Text();
        EXPECT_EQ(NKLSDynaGetNumStates(), c.iStates);
        if (c.iStates > 0) {
            EXPECT_FLOAT_EQ(NKLSDynaGetStateTime(0), 0.0f);
        }
        EXPECT_TRUE(WarnedAboutMember(capture, dir + "/d3plot01")) << capture.Text();
        EXPECT_EQ(capture.Lines().size(), 1u) << capture.Text();
        ExpectEveryStateReads(0);
        NKLSDynaClose();
    }
}

// Traced paths: names equal but for case, a state whose member vanished
// after the open, and the start-up reset.
TEST_F(LSDynaReader, EqualNamesUnreadableStateAndReset)
{
    ASSERT_TRUE(NKTestWriteText(Path("d3plotaa"), "x"));
    ASSERT_TRUE(NKTestWriteText(Path("d3plotAA"), "x"));
    NKResetDiagnostics();
    std::vector<LSDynaFamilyFile> files;
    EXPECT_EQ(NKLSDynaFindFamilyFiles(Path("d3plot").c_str(), &files, true), 2);
    EXPECT_STREQ(NKGetLastDiagnostic(), "Files are equal");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKLSDynaFindFamilyFiles");
    remove(Path("d3plotaa").c_str());
    remove(Path("d3plotAA").c_str());

    WriteFixture(false);
    ASSERT_TRUE(NKLSDynaOpen(Path("d3plot").c_str()));
    NKGeometry *pGeo = NKLSDynaGetGeometry(0);
    ASSERT_NE(pGeo, nullptr);
    remove(Path("d3plot01").c_str());
    NKResetDiagnostics();
    EXPECT_EQ(NKLSDynaGetScalar(0, 3, pGeo), nullptr);
    EXPECT_STREQ(NKGetLastDiagnostic(), "Unable to read state");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKLSDynaGetScalar");
    NKScalarResult *p = NKLSDynaGetScalar(0, 0, pGeo);  // in d3plot: still read
    ASSERT_NE(p, nullptr);
    NKReleaseScalarResult(p);
    NKReleaseGeometry(pGeo);

    NKLSDynaReset();
    EXPECT_EQ(NKLSDynaGetNumStates(), 0);
    EXPECT_EQ(NKLSDynaGetCurrentState(), -1);
    EXPECT_EQ(NKLSDynaGetStateData().fTime, -1.0f);
    EXPECT_EQ(NKLSDynaGetCachedGeometry(), nullptr);
    EXPECT_TRUE(NKLSDynaGetControlData()->files.empty());
    EXPECT_EQ(NKLSDynaGetControlData()->iNumGeometries, 0);
}

}  // namespace
