// tests/nkf/test_nkf_single_pass.cpp -- the ASCII rows that the first pass
// converts: a load that takes them gives exactly what a load reading the
// file again gives (the second load after FreeData reads the file), for
// nodes, element sections and results, with and without IDs, and for the
// rows the first pass leaves to the file (a bad number, a directive among
// the rows, colour bindings), whose loads keep their messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/nk_element_types.h"
#include "core/nk_numeric.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_nodes.h"
#include "nkf/nkf_results.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_parse.h"

namespace {

std::vector<float> Floats(const float *pf, size_t n)
{
    return pf == nullptr ? std::vector<float>() : std::vector<float>(pf, pf + n);
}

std::vector<int32_t> Ints(const int32_t *pi, size_t n)
{
    return pi == nullptr ? std::vector<int32_t>() : std::vector<int32_t>(pi, pi + n);
}

// Everything a block's load gives, with the messages it printed.
struct Loaded {
    bool bOk = false;
    std::vector<float> floats;
    std::vector<int32_t> ints;
    std::string messages;
};

Loaded LoadBlock(NKFBlock *pBlock)
{
    Loaded l;
    MessageCapture capture;
    l.bOk = pBlock->LoadData();
    l.messages = capture.Text();
    if (!l.bOk) return l;
    if (auto *pNodes = dynamic_cast<NKFNodeBlock *>(pBlock)) {
        size_t n = (size_t)pNodes->GetNumNodes();
        l.floats = Floats(pNodes->GetCoords(), 3 * n);
        l.ints = Ints(pNodes->GetIDs(), n);
        std::vector<int32_t> order = Ints(pNodes->GetSortedOrder(), n);
        l.ints.insert(l.ints.end(), order.begin(), order.end());
    } else if (auto *pElements = dynamic_cast<Elements *>(pBlock)) {
        for (int s = 0; s < pElements->GetNumSections(); s++) {
            size_t n = (size_t)pElements->GetSectionCount(s);
            size_t k = (size_t)NKFElementNodeCount(pElements->GetSectionType(s));
            std::vector<int32_t> refs = Ints(pElements->GetSectionConnectivity(s), n * k);
            std::vector<int32_t> ids = Ints(pElements->GetSectionIDs(s), n);
            l.ints.push_back(pElements->GetSectionType(s));
            l.ints.insert(l.ints.end(), refs.begin(), refs.end());
            l.ints.insert(l.ints.end(), ids.begin(), ids.end());
        }
        std::vector<int32_t> bindings =
            Ints(pElements->GetColorBindings(), (size_t)pElements->GetNumColorBindings());
        l.ints.insert(l.ints.end(), bindings.begin(), bindings.end());
    } else if (auto *pResults = dynamic_cast<NKFResultBlock *>(pBlock)) {
        size_t n = (size_t)pResults->GetNumItems();
        l.floats = pResults->GetDimension() == 1 ? Floats(pResults->GetScalarValues(), n)
                                                 : Floats(pResults->GetVectorValues(), 3 * n);
        l.ints = Ints(pResults->GetIDs(), n);
    }
    return l;
}

struct Case {
    const char *pszName;
    std::vector<std::string> lines;
    int iType, iID;
    const char *pszMessage;  // a message both loads print, or null
};

}  // namespace

TEST(NKFSinglePass, ConvertedRowsLoadAsTheFileReadAgain)
{
    const Case cases[] = {
        {"nodes_ids",
         {"*NODES 1", "%WITH_ID", "# a comment", "7 0.5 1e-3 -2", "", "3 1.25e2 -0.0 4.",
          "5 .5 6 7 extra words"},
         NKF_NODES,
         1,
         nullptr},
        {"nodes_plain", {"*NODES 1", "1 2 3", "4,5,6", "7\t8 9"}, NKF_NODES, 1, nullptr},
        {"nodes_directive_after_rows",
         {"*NODES 1", "1 2 3", "%NO_ID", "4 5 6"},
         NKF_NODES,
         1,
         nullptr},
        {"nodes_bad_number",
         {"*NODES 1", "1 2 3", "4 x 6"},
         NKF_NODES,
         1,
         "Illegal number found in data."},
        {"elements_sections",
         {"*NODES 1", "0 0 0", "1 0 0", "1 1 0", "0 1 0", "*ELEMENTS 1", "%NODES #1",
          "%MAP_NODE_INDICES", "%QUADS", "1 2 3 4", "4 3 2 1", "%TRIANGLES", "1 2 3", "%QUADS",
          "2 3 4 1"},
         NKF_ELEMENTS,
         1,
         nullptr},
        {"elements_ids",
         {"*NODES 1", "%WITH_ID", "10 0 0 0", "20 1 0 0", "30 1 1 0", "*ELEMENTS 1", "%NODES #1",
          "%WITH_ID", "%TRIANGLES", "100 10 20 30", "101 30 20 10"},
         NKF_ELEMENTS,
         1,
         nullptr},
        {"elements_bindings",
         {"*NODES 1", "0 0 0", "1 0 0", "1 1 0", "*ELEMENTS 1", "%NODES #1", "%MAP_NODE_INDICES",
          "%COLORS_PER_ELEMENT", "%TRIANGLES", "1 2 3", "3 2 1", "%COLOR_BINDINGS", "4 5"},
         NKF_ELEMENTS,
         1,
         nullptr},
        {"elements_short_row",
         {"*NODES 1", "0 0 0", "1 0 0", "1 1 0", "*ELEMENTS 1", "%NODES #1", "%MAP_NODE_INDICES",
          "%TRIANGLES", "1 2 3", "3 2"},
         NKF_ELEMENTS,
         1,
         "Missing number in data."},
        {"results_scalar",
         {"*RESULTS 1", "%DIMENSION 1", "1.5", "-2e-7", "3"},
         NKF_RESULTS,
         1,
         nullptr},
        {"results_vector_ids",
         {"*RESULTS 1", "%DIMENSION 3", "%WITH_ID", "9 1 2 3", "4 -1 -2 -3.5e10", "6 0 0 0"},
         NKF_RESULTS,
         1,
         nullptr},
        {"results_bad_value",
         {"*RESULTS 1", "%DIMENSION 1", "1.5", "abc", "1e60"},
         NKF_RESULTS,
         1,
         "Illegal or missing numbers in data set to undefined."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pszName);
        std::unique_ptr<NKFParser> pParser;
        {
            MessageCapture quiet;
            ASSERT_TRUE(NKFParseBody((std::string("single_pass_") + c.pszName + ".nkf").c_str(),
                                     c.lines, &pParser));
        }
        NKFBlock *pBlock = pParser->FindBlock(c.iType, c.iID);
        ASSERT_NE(pBlock, nullptr);
        // An element block's load needs its nodes first, and they come from
        // the parse's rows as well.
        if (c.iType == NKF_ELEMENTS) {
            ASSERT_TRUE(pParser->FindBlock(NKF_NODES, 1)->LoadData());
        }
        Loaded first = LoadBlock(pBlock);
        pBlock->FreeData();
        Loaded again = LoadBlock(pBlock);
        EXPECT_EQ(first.bOk, again.bOk);
        EXPECT_EQ(first.bOk, c.pszMessage == nullptr || c.iType == NKF_RESULTS);
        // Bit for bit: -0 and the undefined value included.
        ASSERT_EQ(first.floats.size(), again.floats.size());
        for (size_t i = 0; i < first.floats.size(); i++) {
            EXPECT_EQ(std::signbit(first.floats[i]), std::signbit(again.floats[i])) << i;
            EXPECT_EQ(first.floats[i], again.floats[i]) << i;
        }
        EXPECT_EQ(first.ints, again.ints);
        EXPECT_EQ(first.messages, again.messages);
        if (c.pszMessage != nullptr) {
            EXPECT_NE(first.messages.find(c.pszMessage), std::string::npos) << first.messages;
        } else {
            EXPECT_EQ(first.messages, "");
            EXPECT_FALSE(first.floats.empty() && first.ints.empty());
        }
    }
}

TEST(NKFSinglePass, ConvertedValuesAreTheWrittenOnes)
{
    std::unique_ptr<NKFParser> pParser;
    ASSERT_TRUE(
        NKFParseBody("single_pass_values.nkf",
                     {"*NODES 1", "%WITH_ID", "7 0.1 -2.5e-3 1e6", "3 -0.0 3.4028235e38 16777217",
                      "*RESULTS 1", "%DIMENSION 1", "%WITH_ID", "3 0.3", "7 nan"},
                     &pParser));
    auto *pNodes = NKFFindBlock<NKFNodeBlock>(pParser, NKF_NODES, 1);
    auto *pResults = NKFFindBlock<NKFResultBlock>(pParser, NKF_RESULTS, 1);
    ASSERT_NE(pNodes, nullptr);
    ASSERT_NE(pResults, nullptr);
    ASSERT_TRUE(pNodes->LoadData());
    EXPECT_EQ(Floats(pNodes->GetCoords(), 6),
              (std::vector<float>{0.1f, -2.5e-3f, 1e6f, -0.0f, 3.4028235e38f, 16777216.0f}));
    EXPECT_TRUE(std::signbit(pNodes->GetCoords()[3]));
    EXPECT_EQ(Ints(pNodes->GetIDs(), 2), (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(Ints(pNodes->GetSortedOrder(), 2), (std::vector<int32_t>{1, 0}));
    MessageCapture capture;
    ASSERT_TRUE(pResults->LoadData());
    EXPECT_EQ(pResults->GetScalarValues()[0], 0.3f);
    EXPECT_TRUE(std::isnan(pResults->GetScalarValues()[1]));  // kept as read
    EXPECT_EQ(pResults->FindItem(7), 1);
}
