// tests/nkf/test_nkf_bad_numbers.cpp -- ASCII numbers that do not parse, are
// not finite as a float, or are missing: in node, normal and element data a
// line error naming the line and the file that fails the load; in result
// data the undefined value with one warning per load. Non-finite numbers in
// both forms: NaN and either infinity fail a node block naming the node; in
// results NaN and minus infinity give one warning per load and plus
// infinity, the undefined value, passes silently.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "core/nk_numeric.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_position_results.h"
#include "nkf/nkf_results.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nk_test_records.h"
#include "tests/test_support/nkf_mesh_writer.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

// Each goes at the end of a row; "" leaves the row's last value out.
const char *const kBadWords[] = {"1e400", "1e39", "nan", "-inf", "1.5x", "abc", ""};
// The words that are no number at all: node coordinates and result values
// read the others as the non-finite number they name.
const char *const kNoNumberWords[] = {"1.5x", "abc", ""};

std::string Row(const std::string &good, const char *pszBad)
{
    return pszBad[0] != 0 ? good + " " + pszBad : good;
}

int CountLines(const MessageCapture &capture, const std::string &text)
{
    int n = 0;
    for (const CapturedLine &line : capture.Lines()) n += line.text == text;
    return n;
}

}  // namespace

TEST(NKFBadNumbers, BadGeometryNumberFailsTheLoadNamingLineAndFile)
{
    struct Kind {
        int iType;
        std::vector<std::string> body;  // after the header line; the last row gets the bad word
        const void *(*pfnData)(NKFBlock *);
    };
    const Kind kinds[] = {
        {NKF_NODES,  // node 2's z, line 5
         {"*NODES 1", "%WITH_ID", "1 0 0 0", "2 1 0"},
         [](NKFBlock *p) -> const void * { return ((NKFNodeBlock *)p)->GetCoords(); }},
        {NKF_NORMALS,  // normal 2's z, line 4
         {"*NORMALS 1", "0 0 1", "1 0"},
         [](NKFBlock *p) -> const void * { return ((NKFNormalBlock *)p)->GetNormals(); }},
        {NKF_ELEMENTS,  // beam 2's second node, line 9
         {"*NODES 2", "0 0 0", "1 0 0", "*ELEMENTS 1", "%NODES #2", "%BEAMS", "1 2", "2"},
         [](NKFBlock *p) -> const void * { return ((Elements *)p)->GetSectionConnectivity(0); }},
    };
    MessageCapture capture;
    for (const Kind &kind : kinds) {
        std::vector<const char *> words(std::begin(kBadWords), std::end(kBadWords));
        if (kind.iType == NKF_NODES)
            words.assign(std::begin(kNoNumberWords), std::end(kNoNumberWords));
        if (kind.iType == NKF_ELEMENTS) words.insert(words.end(), {"2.0", "99999999999"});
        for (const char *pszWord : words) {
            capture.Clear();
            std::vector<std::string> body = kind.body;
            std::string row = body.back() = Row(body.back(), pszWord);
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(NKFParseBody("bad_geometry.nkf", body, &pParser));
            NKFBlock *pBlock = pParser->FindBlock(kind.iType, 1);
            EXPECT_FALSE(pBlock->LoadData()) << row;
            EXPECT_TRUE(capture.Contains(
                "Block type : " + std::string(NKFBlockKeyword(kind.iType)) + " : " +
                (pszWord[0] != 0 ? "Illegal number found in data." : "Missing number in data.") +
                " \n\nError in line : " + std::to_string(body.size() + 1) + "\n\nLine : " + row +
                "\n\nNKF file : " + NKFTestPath("bad_geometry.nkf")))
                << capture.Text();
            EXPECT_FALSE(pBlock->IsDataLoaded());
            EXPECT_EQ(nullptr, kind.pfnData(pBlock));
        }
    }
    // The block's own report of the failed load names the file as well.
    EXPECT_TRUE(capture.Contains("Block type : *ELEMENTS. ID = 1 : Error reading element data\n"
                                 "NKF file : " +
                                 NKFTestPath("bad_geometry.nkf")));
    // What the parse reports does not.
    capture.Clear();
    EXPECT_FALSE(NKFParseBody("parse_error.nkf", {"*NODES 1", "%WITH_IDS"}));
    EXPECT_TRUE(capture.Contains("Unknown Identifier found in block."));
    EXPECT_FALSE(capture.Contains("NKF file"));
}

TEST(NKFBadNumbers, BadResultValuesBecomeUndefinedWithOneWarningPerLoad)
{
    const std::string warning =
        "Block type : *RESULTS. ID = 1 : Illegal or missing numbers in data set to undefined. ";
    const float U = NK_UNDEFINED_VALUE;
    MessageCapture capture;
    for (const char *pszWord : kNoNumberWords) {
        for (int iDimension : {1, 3}) {
            capture.Clear();
            bool bVector = iDimension == 3;
            std::string row = Row(bVector ? "2 4 5" : "2", pszWord);  // the first bad row
            std::unique_ptr<NKFParser> pParser;
            ASSERT_TRUE(
                NKFParseBody("bad_results.nkf",
                             {"*RESULTS 1", "%DIMENSION " + std::to_string(iDimension), "%WITH_ID",
                              bVector ? "1 1 2 3" : "1 1.5", row, bVector ? "3 7 8 9" : "3 2.5",
                              Row(bVector ? "4 10 11" : "4", pszWord)},
                             &pParser));
            auto *pResults = NKFFindBlock<NKFResultBlock>(pParser, NKF_RESULTS, 1);
            for (int iLoad = 1; iLoad <= 2; iLoad++) {
                ASSERT_TRUE(pResults->LoadData()) << row;
                if (bVector)
                    EXPECT_EQ((std::vector<float>{1, 2, 3, 4, 5, U, 7, 8, 9, 10, 11, U}),
                              NKTestValues(pResults->GetVectorValues(), 12));
                else
                    EXPECT_EQ((std::vector<float>{1.5f, U, 2.5f, U}),
                              NKTestValues(pResults->GetScalarValues(), 4));
                EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4}), NKTestValues(pResults->GetIDs(), 4));
                EXPECT_EQ(iLoad, CountLines(capture, warning)) << capture.Text();
                pResults->FreeData();
            }
            EXPECT_TRUE(capture.Contains(warning + "\n\nError in line : 6\n\nLine : " + row +
                                         "\n\nNKF file : " + NKFTestPath("bad_results.nkf")));
            for (const CapturedLine &line : capture.Lines()) EXPECT_EQ(NK_MSG_WARNING, line.iLevel);
        }
    }
}

TEST(NKFBadNumbers, PositionResultsCheckPositionsAndUndefineValues)
{
    MessageCapture capture;
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(NKFParseBody("bad_positions.nkf",
                             {"*POSITIONRESULTS 1", "0 0 0 1.5", "1 0 0 1.5x",  // x y z value
                              "3.4028235e38 +1, -2e-3 7",  // rounds to the largest float: fine
                              "*POSITIONRESULTS 2", "0 nan 0 1"},  // a bad position
                             &pParser));
    auto *pGood = NKFFindBlock<NKFPositionResultBlock>(pParser, NKF_POSITIONRESULTS, 1);
    ASSERT_TRUE(pGood->LoadData());
    EXPECT_EQ((std::vector<float>{1.5f, NK_UNDEFINED_VALUE, 7}),
              NKTestValues(pGood->GetScalarValues(), 3));
    EXPECT_EQ((std::vector<float>{0, 0, 0, 1, 0, 0, FLT_MAX, 1, -2e-3f}),
              NKTestValues(pGood->GetPositions(), 9));
    EXPECT_EQ(1, CountLines(capture, "Block type : *POSITIONRESULTS. ID = 1 : Illegal or missing "
                                     "numbers in data set to undefined. "));
    auto *pBad = NKFFindBlock<NKFPositionResultBlock>(pParser, NKF_POSITIONRESULTS, 2);
    EXPECT_FALSE(pBad->LoadData());
    EXPECT_TRUE(capture.Contains("Illegal number found in data. \n\nError in line : 7"));
    EXPECT_EQ(nullptr, pBad->GetPositions());
}

namespace {

// A node block of three nodes, ASCII or binary, whose second node (ID 9
// with IDs) has the z coordinate fZ (pszZ in the ASCII form).
bool ParseNodes(int iForm, bool bIDs, const char *pszZ, float fZ, std::unique_ptr<NKFParser> *pp)
{
    const int32_t aiIDs[] = {5, 9, 3};
    const float afCoords[] = {0, 0, 0, 1, 1, fZ, 2, 0, 1};
    if (iForm == 0) {
        std::vector<std::string> body = {
            "*NODES 1", bIDs ? "%WITH_ID" : "%NO_ID", bIDs ? "5 0 0 0" : "0 0 0",
            std::string(bIDs ? "9 " : "") + "1 1 " + pszZ, bIDs ? "3 2 0 1" : "2 0 1"};
        return NKFParseBody("nonfinite_nodes.nkf", body, pp);
    }
    NKFTestWriter w(iForm == 2);
    AppendFileHeader(w);
    AppendNodesBlock(w, 1, bIDs ? aiIDs : nullptr, afCoords, 3);
    return NKFParseBytes("nonfinite_nodes.nkf", w, pp);
}

}  // namespace

TEST(NKFNonFiniteNumbers, NodesRefuseEveryNonFiniteCoordinateByNode)
{
    struct Word {
        const char *pszZ;
        float fZ;
        bool bRefused;
    } words[] = {{"nan", NAN, true},         {"-inf", -INFINITY, true},
                 {"-1e39", -INFINITY, true}, {"inf", INFINITY, true},
                 {"1e39", INFINITY, true},   {"-NaN", -NAN, true},
                 {"1e400", INFINITY, true},  {"-1e400", -INFINITY, true},
                 {"3.4e38", 3.4e38f, false}, {"-3.4e38", -3.4e38f, false}};
    MessageCapture capture;
    for (int iForm : {0, 1, 2})  // ASCII, binary little- and big-endian
        for (bool bIDs : {true, false})
            for (const Word &c : words) {
                const std::string what = std::to_string(iForm) + (bIDs ? " ids " : " ") + c.pszZ;
                capture.Clear();
                std::unique_ptr<NKFParser> pParser;
                ASSERT_TRUE(ParseNodes(iForm, bIDs, c.pszZ, c.fZ, &pParser)) << what;
                auto *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
                ASSERT_NE(pNodes, nullptr);
                EXPECT_EQ(pNodes->LoadData(), !c.bRefused) << what;
                if (c.bRefused) {
                    EXPECT_TRUE(
                        capture.Contains(std::string("Block type : *NODES. ID = 1 : ") +
                                         (bIDs ? "Node ID 9" : "Node 2") +
                                         " has a coordinate that is not finite.\nNKF file : " +
                                         NKFTestPath("nonfinite_nodes.nkf")))
                        << what << capture.Text();
                    EXPECT_EQ(nullptr, pNodes->GetCoords());
                    EXPECT_FALSE(pNodes->IsDataLoaded());
                } else {
                    EXPECT_TRUE(capture.Lines().empty()) << what << capture.Text();
                    ASSERT_NE(nullptr, pNodes->GetCoords());
                    EXPECT_EQ(c.fZ, pNodes->GetCoords()[5]) << what;
                    EXPECT_EQ(2.0f, pNodes->GetCoords()[6]);
                }
            }
}

TEST(NKFNonFiniteNumbers, ResultValuesStayAsReadWithOneWarningForNaNAndMinusInfinity)
{
    struct Word {
        const char *pszWord;
        float fValue;
        bool bWarned;
    } words[] = {{"nan", NAN, true},
                 {"-inf", -INFINITY, true},
                 {"inf", INFINITY, false},
                 {"1e400", INFINITY, false}};
    MessageCapture capture;
    for (int iForm : {0, 1})  // ASCII, binary
        for (int iDimension : {1, 3})
            for (const Word &c : words) {
                const std::string what =
                    std::to_string(iForm) + " dim " + std::to_string(iDimension) + " " + c.pszWord;
                capture.Clear();
                const bool bVector = iDimension == 3;
                const int32_t aiIDs[] = {1, 2, 3, 4};
                std::vector<float> values =
                    bVector ? std::vector<float>{1, 2, 3, 4, 5, c.fValue, 7, 8, 9, 10, 11, c.fValue}
                            : std::vector<float>{1.5f, c.fValue, 2.5f, c.fValue};
                std::unique_ptr<NKFParser> pParser;
                if (iForm == 0) {
                    const std::string w = c.pszWord;
                    ASSERT_TRUE(NKFParseBody(
                        "nonfinite_results.nkf",
                        {"*RESULTS 1", "%DIMENSION " + std::to_string(iDimension), "%WITH_ID",
                         bVector ? "1 1 2 3" : "1 1.5", (bVector ? "2 4 5 " : "2 ") + w,
                         bVector ? "3 7 8 9" : "3 2.5", (bVector ? "4 10 11 " : "4 ") + w},
                        &pParser));
                } else {
                    NKFTestWriter wr;
                    AppendFileHeader(wr);
                    AppendResultsBlock(wr, 1, iDimension, 1, 0, aiIDs, values.data(), 4,
                                       iDimension);
                    ASSERT_TRUE(NKFParseBytes("nonfinite_results.nkf", wr, &pParser));
                }
                auto *pResults = NKFFindBlock<NKFResultBlock>(pParser, NKF_RESULTS, 1);
                ASSERT_NE(pResults, nullptr);
                ASSERT_TRUE(pResults->LoadData()) << what;
                const float *pf =
                    bVector ? pResults->GetVectorValues() : pResults->GetScalarValues();
                for (size_t i = 0; i < values.size(); i++) {
                    if (std::isnan(values[i]))
                        EXPECT_TRUE(std::isnan(pf[i])) << what << " " << i;
                    else
                        EXPECT_EQ(values[i], pf[i]) << what << " " << i;
                }
                const std::string warning =
                    "Block type : *RESULTS. ID = 1 : NaN or -inf result values: 2, the first is "
                    "value " +
                    std::string(bVector ? "6" : "2") +
                    "; they count as undefined values.\nNKF file : " +
                    NKFTestPath("nonfinite_results.nkf");
                EXPECT_EQ(c.bWarned, capture.Contains(warning)) << what << capture.Text();
                // The warning and the line naming the file, once.
                EXPECT_EQ(c.bWarned ? 2u : 0u, capture.Lines().size()) << what << capture.Text();
            }
}
