// tests/readers/test_native_files.cpp -- the geometry, scalar and vector files
// of the older native file set read alone: header forms in both byte orders,
// parts and node maps, refusals with their messages, complex values, and
// damaged files (cut short or with header words changed) read under the
// sanitizers without a fault.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "readers/nk_native_file_utils.h"
#include "readers/nk_native_geometry.h"
#include "readers/nk_native_result_files.h"
#include "readers/nk_native_source.h"
#include "tests/readers/native_files_fixture.h"

namespace {

using NativeFiles = NativeFilesTest;

// A header followed by enough zero words for the counts it gives.
NativeWords Header(std::vector<int> words, int iExtra)
{
    NativeWords w;
    for (int v : words) w.I(v);
    for (int i = 0; i < iExtra; i++) w.I(0);
    return w;
}

// Text in any single-byte or UTF-8 encoding is text; only the control bytes
// no text uses (NUL to 0x06) among the first 1024 make a file binary.
TEST(NativeFileText, BinaryTestLooksForControlBytesOnly)
{
    const struct {
        std::string bytes;
        bool bBinary;
    } cases[] = {
        {"1 2 3\n", false},
        {"Tr\xE4ger 1\n", false},
        {"\xC3\xA9\xE2\x82\xAC\xFF\x80", false},
        {std::string("\x07\x08\t\x1B", 4), false},
        {std::string("ab\0", 3), true},
        {std::string("ab\x06", 3), true},
        {std::string(1024, 'a') + std::string(1, '\x01'), false},
    };
    for (const auto &c : cases) EXPECT_EQ(NKIsBinaryText(c.bytes), c.bBinary) << c.bytes;
}

TEST_F(NativeFiles, BinaryHeaderFormsInBothByteOrders)
{
    struct {
        std::vector<int> words;
        bool bMagic;
        int iParts, iNodes, iPolygons, iConnects;
    } cases[] = {
        {{1, 2, 100, 40, 160}, true, 2, 100, 40, 160},
        {{1, 40, 100, 300, 1}, false, 1, 40, 100, 300},
        {{1, 100, 40, 300}, false, 1, 100, 40, 300},
    };
    for (bool bBig : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.words[1]);
            NKGeometryFileHeader h;
            ASSERT_TRUE(NKReadGeometryFileHeader(
                WriteWords("h.geo", Header(c.words, 4), bBig).c_str(), &h));
            EXPECT_TRUE(h.bBinary);
            EXPECT_EQ(h.bSwap, bBig);
            EXPECT_EQ(h.bMagic, c.bMagic);
            EXPECT_EQ(h.iNumParts, c.iParts);
            EXPECT_EQ(h.iNumNodes, c.iNodes);
            EXPECT_EQ(h.iNumPolygons, c.iPolygons);
            EXPECT_EQ(h.iNumConnects, c.iConnects);
        }
    }
    NKGeometryFileHeader h;
    EXPECT_FALSE(
        NKReadGeometryFileHeader(WriteWords("w.geo", Header({1, 4, 50, 20}, 100)).c_str(), &h));
    m_Messages.Clear();
    EXPECT_EQ(NKReadGeometryFile(Path("w.geo").c_str()), nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Wrong geometry file format in " + Path("w.geo"), NK_MSG_ERROR));
}

TEST_F(NativeFiles, TextGeometryGivesPartsNodeMapsAndUnusedNodesToTheLastPart)
{
    struct {
        std::string text;
        std::vector<int> map2;  // part 2's file nodes, 0-based
        int iFileNodes;
    } cases[] = {
        {NativeGeoText(), {1, 4, 2}, 5},
        {NativeMagicGeoText(), {1, 4, 2}, 5},
        // A sixth node that no polygon uses goes to the last part.
        {"2 6 2 7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n7 8 9\n1 2 3 -4 2 5 -3\n",
         {1, 4, 2, 5},
         6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", c.text).c_str());
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(g->iNumParts, 2);
        EXPECT_EQ(g->iGlobalNumNodes, c.iFileNodes);
        const NKPart &a = g->pParts[0], &b = g->pParts[1];
        EXPECT_EQ(std::vector<int>(a.pNodeMap, a.pNodeMap + a.iNumNodes),
                  (std::vector<int>{0, 1, 2, 3}));
        EXPECT_EQ(std::vector<int>(a.pConnects, a.pConnects + 4), (std::vector<int>{0, 1, 2, 3}));
        EXPECT_EQ(std::vector<int>(b.pNodeMap, b.pNodeMap + b.iNumNodes), c.map2);
        EXPECT_EQ(std::vector<int>(b.pConnects, b.pConnects + 3), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(b.iNumPolygons, 1);
        EXPECT_EQ(b.pPolygonNumNodes[0], 3);
        EXPECT_EQ(b.iFirstPolygon, 1);
        EXPECT_FLOAT_EQ(b.pNodeCoords[3], 2.0f);  // file node 5
        if (c.iFileNodes == 6) {
            EXPECT_FLOAT_EQ(b.pNodeCoords[11], 9.0f);
        }
        NKReleaseGeometry(g);
    }

    // Nodes just outside 1 .. node count, and part ranges just past the
    // polygons, are refused before anything is read through them.
    const std::string points = "0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n";
    const std::string wrongFormat = "Wrong geometry file format in " + Path("bad.txt");
    const struct {
        std::string ranges, connects, error;
    } bad[] = {
        {"1 1\n2 2\n", "0 2 3 -4 1 2 -3",
         "Illegal node specified in connectivity array: 0. Legal values: 1 - 5"},
        {"1 1\n2 2\n", "1 2 3 -4 6 2 -3",
         "Illegal node specified in connectivity array: 6. Legal values: 1 - 5"},
        {"1 1\n2 2\n", "1 2 3 -4 2 5 -6",
         "Illegal node specified in connectivity array: -6. Legal values: 1 - 5"},
        {"1 1\n2 3\n", "1 2 3 -4 2 5 -3", wrongFormat},
        {"1 2\n3 3\n", "1 2 3 -4 2 5 -3", wrongFormat},
    };
    for (const auto &c : bad) {
        const std::string text = "2 5 2 7\n" + c.ranges + points + c.connects + "\n";
        SCOPED_TRACE(text);
        m_Messages.Clear();
        EXPECT_EQ(NKReadGeometryFile(WriteText("bad.txt", text).c_str()), nullptr);
        EXPECT_TRUE(m_Messages.HasLine(c.error, NK_MSG_ERROR)) << m_Messages.Text();
    }
    // A range word that is no number names the part whose range it is.
    std::string badRange = WriteText(
        "range.txt", "2 5 2 7\n1 1\nx 2\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n1 2 3 -4 2 5 -3\n");
    m_Messages.Clear();
    EXPECT_EQ(NKReadGeometryFile(badRange.c_str()), nullptr);
    EXPECT_TRUE(m_Messages.HasLine(
        "Error reading part specification for part 2 from file " + badRange, NK_MSG_ERROR))
        << m_Messages.Text();
}

// A binary scalar file: format, steps, count, then the floats.
NativeWords ScalarFile(int iFormat, int iSteps, int iCount, const std::vector<float> &values)
{
    NativeWords w;
    w.I(iFormat).I(iSteps).I(iCount);
    for (float v : values) w.F(v);
    return w;
}

TEST_F(NativeFiles, ScalarStepsComplexValuesAndRefusals)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    std::vector<float> three;
    for (int s = 1; s <= 3; s++)
        for (int n = 0; n < 5; n++) three.push_back(10.0f * s + n);
    std::string temp = WriteWords("temp.res", ScalarFile(1, 3, 5, three));
    NKScalarResult *r = NKReadScalarFile(temp.c_str(), 1, g);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(
        std::vector<float>(r->pNodeResults[0].pNodeValues, r->pNodeResults[0].pNodeValues + 4),
        (std::vector<float>{20, 21, 22, 23}));
    EXPECT_EQ(
        std::vector<float>(r->pNodeResults[1].pNodeValues, r->pNodeResults[1].pNodeValues + 3),
        (std::vector<float>{21, 24, 22}));
    EXPECT_EQ(r->iNumStepsInFile, 3);
    NKReleaseScalarResult(r);
    EXPECT_EQ(NKReadScalarFile(temp.c_str(), 4, g), nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Error reading step 5 from scalar file " + temp +
                                       ", contains 3 steps only.",
                                   NK_MSG_ERROR));

    r = NKReadScalarFile(WriteWords("one.res", ScalarFile(1, 1, 5, {1, 2, 3, 4, 5}), true).c_str(),
                         4, g);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Scalar file contains 1 step only."));
    EXPECT_EQ(r->pNodeResults[0].pNodeValues[3], 4.0f);
    NKReleaseScalarResult(r);
    std::string odd = WriteWords("odd.res", ScalarFile(2, 1, 9, std::vector<float>(9, 1.0f)));
    EXPECT_EQ(NKReadScalarFile(odd.c_str(), 0, g), nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Wrong scalar file format in " + odd, NK_MSG_ERROR));

    std::vector<float> complex;
    for (int n = 0; n < 5; n++) complex.insert(complex.end(), {3.0f, 4.0f});
    std::string c = WriteWords("c.res", ScalarFile(2, 1, 10, complex));
    struct {
        uint8_t bMagnitude;
        float fAngle, fExpected;
    } modes[] = {{1, 0.0f, 5.0f}, {0, 0.0f, 3.0f}, {0, 1.5707964f, -4.0f}};
    for (const auto &m : modes) {
        g_bComplexMagnitude = m.bMagnitude;
        g_fPhaseAngle = m.fAngle;
        r = NKReadScalarFile(c.c_str(), 0, g);
        ASSERT_NE(r, nullptr);
        EXPECT_NEAR(r->pNodeResults[1].pNodeValues[2], m.fExpected, 1e-6f);
        EXPECT_EQ(bFreqResultsScalar, 1);
        NKReleaseScalarResult(r);
    }
    g_bComplexMagnitude = 1;
    g_fPhaseAngle = 0.0f;
    NKReleaseGeometry(g);
}

// A NaN or minus infinity among the values of a step is read as it stands
// (the results made from it take it as undefined) with one warning naming the file, the result and
// the step; plus infinity, the undefined value, passes silently. Binary and text files alike.
TEST_F(NativeFiles, ScalarValuesThatAreNoNumberAreKeptWithOneWarning)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    struct Case {
        const char *pszWord;
        float fValue;
        bool bWarned;
    } cases[] = {{"nan", NAN, true},
                 {"-inf", -INFINITY, true},
                 {"inf", INFINITY, false},
                 {"-1e39", -INFINITY, true}};
    for (const Case &c : cases)
        for (bool bBinary : {true, false}) {
            m_Messages.Clear();
            const std::string w = c.pszWord;
            const std::string path =
                bBinary ? WriteWords("nf.res", ScalarFile(1, 1, 5, {1, c.fValue, 3, c.fValue, 5}))
                        : WriteText("nf.txt", "1 " + w + " 3 " + w + " 5\n");
            NKScalarResult *r = NKReadScalarFile(path.c_str(), 0, g);
            ASSERT_NE(r, nullptr) << w << m_Messages.Text();
            const float v = r->pNodeResults[0].pNodeValues[1];
            if (std::isnan(c.fValue))
                EXPECT_TRUE(std::isnan(v)) << w;
            else
                EXPECT_EQ(v, c.fValue) << w;
            EXPECT_EQ(r->pNodeResults[0].pNodeValues[2], 3.0f);
            NKReleaseScalarResult(r);
            EXPECT_EQ(m_Messages.Lines().size(), c.bWarned ? 1u : 0u) << w << m_Messages.Text();
            EXPECT_EQ(m_Messages.HasLine("The scalar result of file " + path +
                                             ", step 1: NaN or -inf values: 2, the first is value "
                                             "2; they count as undefined values.",
                                         NK_MSG_WARNING),
                      c.bWarned)
                << w << m_Messages.Text();
        }
    NKReleaseGeometry(g);
}

TEST_F(NativeFiles, VectorFilesRealComplexAndSingleComponent)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    NativeWords real;
    real.I(1).I(1).I(5);
    for (int n = 0; n < 15; n++) real.F(static_cast<float>(n));
    NKVectorResult *r = NKReadVectorFile(WriteWords("v.res", real).c_str(), 0, g);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->pResults[1].pNodeValues[3], 12.0f);  // file node 5, x
    NKReleaseVectorResult(r);
    g_uOneComponentVector[1] = 1;
    NativeWords single;
    single.I(1).I(1).I(5);
    for (int n = 0; n < 5; n++) single.F(static_cast<float>(n + 1));
    r = NKReadVectorFile(WriteWords("y.res", single).c_str(), 0, g);
    g_uOneComponentVector[1] = 0;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(std::vector<float>(r->pResults[0].pNodeValues + 3, r->pResults[0].pNodeValues + 6),
              (std::vector<float>{0, 2, 0}));
    NKReleaseVectorResult(r);
    EXPECT_EQ(NKReadVectorFile(WriteWords("bad.res", Header({2, 1, 3}, 3)).c_str(), 0, g), nullptr);
    EXPECT_TRUE(m_Messages.HasLine("Wrong vector file format in " + Path("bad.res"), NK_MSG_ERROR));
    NKReleaseGeometry(g);
}

// Whether a read that answered null reported it once, with one of the
// reader's own messages (and at most the line naming the file after it); a
// read that succeeded reports no error.
::testing::AssertionResult ReportedOnce(const MessageCapture &messages, bool bRefused,
                                        const std::vector<std::string> &prefixes)
{
    std::vector<std::string> errors;
    for (const CapturedLine &l : messages.Lines())
        if (l.iLevel == NK_MSG_ERROR) errors.push_back(l.text);
    if (!bRefused && errors.empty()) return ::testing::AssertionSuccess();
    if (errors.size() == 2 && errors[1].compare(0, 6, "File \"") == 0) errors.pop_back();
    if (bRefused && errors.size() == 1)
        for (const std::string &p : prefixes)
            if (errors[0].compare(0, p.size(), p) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << (bRefused ? "refused" : "read") << ": " << messages.Text();
}

const std::vector<std::string> kGeometryMessages = {
    "Wrong geometry file format in ",
    "Wrong file format in ",
    "Error reading header from ",
    "Error reading number of connects ",
    "Error reading part specification ",
    "Error reading node ",
    "Error reading connect ",
    "Error reading connects ",
    "Error reading NumConnects ",
    "Error reading FromPolygon ",
    "Error reading ToPolygon ",
    "Illegal node specified in connectivity array: "};
const std::vector<std::string> kScalarMessages = {"Wrong scalar file format in ",
                                                  "Error reading from file ", "Error reading step ",
                                                  "Unable to open scalar file "};
const std::vector<std::string> kVectorMessages = {"Wrong vector file format in ",
                                                  "Error reading from file ", "Error reading step ",
                                                  "Unable to open vector file "};

// A binary geometry file cut short names the field it lacks: the magic
// form's connects word, a part's first or last polygon, a node (with the
// coordinates of it that are there) or the connectivity.
TEST_F(NativeFiles, ShortBinaryGeometryNamesTheMissingField)
{
    NativeWords geo;
    for (int v : {1, 2, 5, 2, 7, 1, 1, 2, 2}) geo.I(v);
    for (int n = 0; n < 15; n++) geo.F(static_cast<float>(n));
    for (int v : {1, 2, 3, -4, 2, 5, -3}) geo.I(v);
    const std::vector<uint8_t> bytes = geo.Bytes(false);
    const std::string name = Path("short.bin");
    const struct {
        size_t iWords;
        std::string text;
    } cases[] = {
        {4, "Error reading NumConnects from file with magic number " + name},
        {5, "Error reading FromPolygon for part 1 from file " + name},
        {6, "Error reading ToPolygon for part 1 from file " + name},
        {7, "Error reading FromPolygon for part 2 from file " + name},
        {8, "Error reading ToPolygon for part 2 from file " + name},
        {9, "Error reading node 1 from file " + name + ". Num read 0"},
        {13, "Error reading node 2 from file " + name + ". Num read 1"},
        {24, "Error reading connects from file " + name + ". (Num read: 0, #connects = 7"},
        {30, "Error reading connects from file " + name + ". (Num read: 6, #connects = 7"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(NKTestWriteBytes(
            name, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4 * c.iWords)));
        m_Messages.Clear();
        EXPECT_EQ(NKReadGeometryFile(name.c_str()), nullptr) << c.iWords;
        EXPECT_TRUE(m_Messages.HasLine(c.text, NK_MSG_ERROR)) << m_Messages.Text();
    }
    ASSERT_TRUE(NKTestWriteBytes(name, bytes));
    NKGeometry *g = NKReadGeometryFile(name.c_str());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->iNumParts, 2);
    NKReleaseGeometry(g);
}

// A node coordinate that is not finite refuses the geometry naming the file
// and the node, in the binary form (both byte orders) and in the text form
// (where "1e400" and "nan" are words no coordinate reads as); the largest
// floats load.
TEST_F(NativeFiles, NonFiniteCoordinatesAreRefusedNamingFileAndNode)
{
    const struct {
        const char *pszWord;
        float f;
        bool bRefused;
    } cases[] = {{"1e400", INFINITY, true},
                 {"-1e400", -INFINITY, true},
                 {"nan", NAN, true},
                 {"3.4e38", 3.4e38f, false}};
    for (const auto &c : cases)
        for (int iForm : {0, 1, 2}) {  // binary little- and big-endian, text
            SCOPED_TRACE(std::string(c.pszWord) + " form " + std::to_string(iForm));
            // Node 4's y is the value.
            std::string name;
            if (iForm < 2) {
                NativeWords geo;
                for (int v : {2, 5, 2, 7, 1, 1, 2, 2}) geo.I(v);
                for (int n = 0; n < 15; n++) geo.F(n == 10 ? c.f : static_cast<float>(n % 3));
                for (int v : {1, 2, 3, -4, 2, 5, -3}) geo.I(v);
                name = WriteWords("geo.bin", geo, iForm == 1);
            } else {
                name =
                    WriteText("geo.txt", std::string("2 5 2 7\n1 1\n2 2\n0 0 0\n1 0 0\n1 1 0\n0 ") +
                                             c.pszWord + " 0\n2 0 0\n1 2 3 -4 2 5 -3\n");
            }
            m_Messages.Clear();
            NKGeometry *g = NKReadGeometryFile(name.c_str());
            EXPECT_EQ(g == nullptr, c.bRefused) << m_Messages.Text();
            const std::string text =
                iForm < 2
                    ? "Error reading node 4 from file " + name + ": a coordinate is not finite."
                    : "Error reading node 4 from file " + name + ". Num read 1";
            EXPECT_EQ(m_Messages.HasLine(text, NK_MSG_ERROR), c.bRefused) << m_Messages.Text();
            if (g != nullptr) NKReleaseGeometry(g);
        }
}

// Every prefix of the file; every header word set to 0, -1, 2^31 - 1 or
// byte-swapped; the steps and count words both 2^31 - 1 or 2^31 - 2 (their
// product overflows 64 bits with six floats a value). Each read either
// succeeds or refuses with one message of its own; the sanitizers watch.
std::vector<std::vector<uint8_t>> Damaged(const std::vector<uint8_t> &bytes)
{
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t n = 0; n < bytes.size(); n++)
        damaged.emplace_back(bytes.begin(), bytes.begin() + n);
    auto set = [](std::vector<uint8_t> *pBytes, size_t w, uint32_t v) {
        for (int k = 0; k < 4; k++) (*pBytes)[4 * w + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    for (size_t w = 0; w < 5; w++) {
        for (uint32_t v : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0xBADu}) {
            std::vector<uint8_t> d = bytes;
            if (v == 0xBADu)
                std::reverse(d.begin() + 4 * static_cast<long>(w),
                             d.begin() + 4 * static_cast<long>(w) + 4);
            else
                set(&d, w, v);
            damaged.push_back(d);
        }
    }
    for (uint32_t v : {0x7FFFFFFFu, 0x7FFFFFFEu}) {
        std::vector<uint8_t> d = bytes;
        set(&d, 1, v);
        set(&d, 2, v);
        damaged.push_back(d);
    }
    return damaged;
}

TEST_F(NativeFiles, DamagedFilesAreRefusedWithoutFault)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    NativeWords geo;
    for (int v : {1, 2, 5, 2, 7, 1, 1, 2, 2}) geo.I(v);
    for (int n = 0; n < 15; n++) geo.F(static_cast<float>(n));
    for (int v : {1, 2, 3, -4, 2, 5, -3}) geo.I(v);
    NativeWords scalar = ScalarFile(1, 3, 5, std::vector<float>(15, 1.0f));
    NativeWords complexScalar = ScalarFile(2, 2, 10, std::vector<float>(20, 1.0f));
    NativeWords vector = ScalarFile(1, 2, 5, std::vector<float>(30, 1.0f));
    NativeWords complexVector = ScalarFile(2, 1, 10, std::vector<float>(30, 1.0f));
    for (const NativeWords *pWords : {&geo, &scalar, &complexScalar, &vector, &complexVector}) {
        for (const std::vector<uint8_t> &d : Damaged(pWords->Bytes(false))) {
            ASSERT_TRUE(NKTestWriteBytes(Path("d.bin"), d));
            m_Messages.Clear();
            NKGeometry *pGeo = NKReadGeometryFile(Path("d.bin").c_str());
            EXPECT_TRUE(ReportedOnce(m_Messages, pGeo == nullptr, kGeometryMessages));
            NKReleaseGeometry(pGeo);
            m_Messages.Clear();
            NKScalarResult *pScalar = NKReadScalarFile(Path("d.bin").c_str(), 1, g);
            EXPECT_TRUE(ReportedOnce(m_Messages, pScalar == nullptr, kScalarMessages));
            NKReleaseScalarResult(pScalar);
            m_Messages.Clear();
            NKVectorResult *pVector = NKReadVectorFile(Path("d.bin").c_str(), 0, g);
            EXPECT_TRUE(ReportedOnce(m_Messages, pVector == nullptr, kVectorMessages));
            NKReleaseVectorResult(pVector);
        }
    }
    std::string text = NativeGeoText();
    for (size_t n = 0; n < text.size(); n++) {
        ASSERT_TRUE(NKTestWriteText(Path("d.txt"), text.substr(0, n)));
        m_Messages.Clear();
        NKGeometry *pGeo = NKReadGeometryFile(Path("d.txt").c_str());
        EXPECT_TRUE(ReportedOnce(m_Messages, pGeo == nullptr, kGeometryMessages)) << n;
        NKReleaseGeometry(pGeo);
    }
    // The geometry the scalar and vector files were read for is untouched.
    EXPECT_EQ(g->iGlobalNumNodes, 5);
    EXPECT_EQ(g->pParts[1].pNodeMap[1], 4);
    NKReleaseGeometry(g);
}

// A results file cut at every byte is read or refused without fault; the
// whole file gives its counts.
TEST_F(NativeFiles, CutResultsFilesAreReadWithoutFault)
{
    WriteText("geo.txt", NativeGeoText());
    std::string run = "1 1\n2 0\nstep one\nstep two\ngeo.txt Geometry\n\"temp.res 3\" Temperature\n"
                      "\"v.res\" Motion\nPlate\nTri\n";
    for (size_t n = 0; n <= run.size(); n++) {
        std::string path = WriteText("run.res", run.substr(0, n));
        bool bRead = NKReadResultsFile(path.c_str());
        // Without the vector line the read fails; from the part names on,
        // missing names are left empty.
        if (n <= run.find("\"v.res")) {
            EXPECT_FALSE(bRead) << n;
        } else if (n >= run.find("Plate")) {
            EXPECT_TRUE(bRead) << n;
        }
        NKNativeClose();
    }
    ASSERT_TRUE(NKReadResultsFile(Path("run.res").c_str()));
    EXPECT_EQ(NKNativeGetNumSteps(), 2);
    EXPECT_EQ(NKNativeGetNumScalars(), 1);
    EXPECT_EQ(NKNativeGetNumVectors(), 1);
    NKNativeClose();
}

}  // namespace

// A folder is no result file, whatever names it (an empty quoted name is
// the results file's own folder), and a geometry header that claims two
// billion parts leaves the results file with the names it holds.
TEST_F(NativeFiles, FoldersAndClaimedPartCountsAreReadWithoutFault)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    for (const std::string &folder : {Path(""), Path(".")}) {
        SCOPED_TRACE(folder);
        std::string bytes;
        EXPECT_FALSE(NKReadWholeFile(folder.c_str(), &bytes));
        m_Messages.Clear();
        NKScalarResult *pScalar = NKReadScalarFile(folder.c_str(), 0, g);
        EXPECT_TRUE(ReportedOnce(m_Messages, pScalar == nullptr, kScalarMessages));
        NKReleaseScalarResult(pScalar);
    }
    NativeWords huge;
    for (int v : {1, 2000000000, 5, 2, 7}) huge.I(v);
    WriteWords("huge.geo", huge);
    NKReadResultsFile(WriteText("huge.res", "0 0\n0 0\nhuge.geo Geometry\nPlate\n").c_str());
    EXPECT_EQ(NKNativeGetNumScalars(), 0);
    NKNativeClose();
    NKReleaseGeometry(g);
}

namespace {

// xvec, yvec and zvec read a vector file of one value a node as vectors with
// that value in one component and 0 in the others, from binary and text
// files alike; with several modes on, x comes before y before z.
TEST_F(NativeFiles, OneComponentVectorFilesFillTheChosenComponent)
{
    NKGeometry *g = NKReadGeometryFile(WriteText("geo.txt", NativeGeoText()).c_str());
    ASSERT_NE(g, nullptr);
    NativeWords single;
    single.I(1).I(1).I(5);
    for (int n = 1; n <= 5; n++) single.F(static_cast<float>(n));
    const std::string binary = WriteWords("one.res", single);
    const std::string text = WriteText("one.txt", "1\n2\n3\n4\n5\n");
    const struct {
        uint8_t auModes[3];
        int iComponent;
    } cases[] = {
        {{1, 0, 0}, 0}, {{0, 1, 0}, 1}, {{0, 0, 1}, 2}, {{1, 0, 1}, 0}, {{0, 1, 1}, 1},
    };
    for (const auto &c : cases)
        for (const std::string &file : {binary, text}) {
            SCOPED_TRACE(file + " modes " + std::to_string(c.auModes[0]) +
                         std::to_string(c.auModes[1]) + std::to_string(c.auModes[2]));
            std::copy(c.auModes, c.auModes + 3, g_uOneComponentVector);
            NKVectorResult *r = NKReadVectorFile(file.c_str(), 0, g);
            std::fill(g_uOneComponentVector, g_uOneComponentVector + 3, 0);
            ASSERT_NE(r, nullptr) << m_Messages.Text();
            // Part 1 holds file nodes 1-4 in order.
            std::vector<float> expected(12, 0.0f);
            for (int n = 0; n < 4; n++)
                expected[static_cast<size_t>(3 * n + c.iComponent)] = static_cast<float>(n + 1);
            EXPECT_EQ(
                std::vector<float>(r->pResults[0].pNodeValues, r->pResults[0].pNodeValues + 12),
                expected);
            NKReleaseVectorResult(r);
        }
    // With every mode off the one-value file is three floats short a node.
    EXPECT_EQ(NKReadVectorFile(binary.c_str(), 0, g), nullptr);
    NKReleaseGeometry(g);
}

}  // namespace
