// tests/commands/test_part_range.cpp -- NKCommandGetPartRange over a loaded
// model of ten parts: the numeric forms, the selected and unselected words,
// the attribute lock, and the argument scan it continues.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_part_range.h"
#include "tests/core/nk_model_test_helpers.h"

namespace {

class PartRange : public NKModelTest {
protected:
    void SetUp() override
    {
        NKModelTest::SetUp();
        m_pGeo = MakeFrames(1, 10);
    }

    // Runs the parser over "PARAMS " + pszArguments, as a handler does.
    int Parse(const char *pszArguments, bool bCheckLocks = false)
    {
        NKArgumentScan scan((std::string("PARAMS ") + pszArguments).c_str());
        scan.NextToken();
        m_Error = "";
        m_iFrom = m_iTo = -99;
        return NKCommandGetPartRange(&scan, &m_iFrom, &m_iTo, &m_Last, &m_Error, bCheckLocks);
    }

    NKGeometry *m_pGeo = nullptr;
    int m_iFrom = 0, m_iTo = 0;
    NKString m_Last;
    NKString m_Error;
};

}  // namespace

TEST_F(PartRange, NoRangeMeansAllParts)
{
    EXPECT_EQ(Parse(""), NK_PART_RANGE_NONE);
    EXPECT_EQ(m_iFrom, 1);
    EXPECT_EQ(m_iTo, 10);
    EXPECT_TRUE(m_Last.IsNull());
}

TEST_F(PartRange, OneOrTwoNumbers)
{
    EXPECT_EQ(Parse("3"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 3);
    EXPECT_EQ(m_iTo, 3);
    EXPECT_EQ(Parse("2 5 rest"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 2);
    EXPECT_EQ(m_iTo, 5);
    EXPECT_STREQ(m_Last.GetText(), "5");
}

TEST_F(PartRange, ReversedRangeIsIllegalAndLeavesBounds)
{
    EXPECT_EQ(Parse("5 2"), NK_PART_RANGE_ERROR);
    EXPECT_STREQ(m_Error.GetText(), "Illegal part range 5 2  (legal range 1 -> 10)");
    EXPECT_EQ(m_iFrom, -99);
    EXPECT_EQ(m_iTo, -99);
}

TEST_F(PartRange, ZeroForms)
{
    EXPECT_EQ(Parse("0 0"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 1);
    EXPECT_EQ(m_iTo, 10);
    EXPECT_EQ(Parse("0"), NK_PART_RANGE_ERROR);
    EXPECT_STREQ(m_Error.GetText(), "Illegal part range 0 0  (legal range 1 -> 10)");
    EXPECT_EQ(Parse("0 4"), NK_PART_RANGE_ERROR);
    EXPECT_EQ(Parse("abc"), NK_PART_RANGE_ERROR);
    EXPECT_STREQ(m_Error.GetText(), "Illegal part range 0 0  (legal range 1 -> 10)");
    EXPECT_EQ(Parse("4 11"), NK_PART_RANGE_ERROR);
}

TEST_F(PartRange, MinusOneIsTheLastPart)
{
    EXPECT_EQ(Parse("-1"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 10);
    EXPECT_EQ(m_iTo, 10);
    EXPECT_EQ(Parse("-1 3"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 10);
    EXPECT_EQ(m_iTo, 10);
}

TEST_F(PartRange, SelectedSpanIncludesPartsBetween)
{
    m_pGeo->pParts[1].bSelected = 1;
    m_pGeo->pParts[5].bSelected = 1;
    m_Last = "untouched";
    for (const char *pszWord : {"sel", "selected", "selection"}) {
        EXPECT_EQ(Parse(pszWord), NK_PART_RANGE_SELECTED) << pszWord;
        EXPECT_EQ(m_iFrom, 2);
        EXPECT_EQ(m_iTo, 6);
    }
    EXPECT_STREQ(m_Last.GetText(), "untouched");
}

TEST_F(PartRange, SelectedWithNothingSelectedIsAnError)
{
    EXPECT_EQ(Parse("sel"), NK_PART_RANGE_ERROR);
    EXPECT_STREQ(m_Error.GetText(),
                 "Tried to operate on selected parts, but no selected parts were found");
    EXPECT_EQ(m_iFrom, -99);
}

TEST_F(PartRange, UnselectedMeansAllParts)
{
    EXPECT_EQ(Parse("unselected"), NK_PART_RANGE_UNSELECTED);
    EXPECT_EQ(m_iFrom, 1);
    EXPECT_EQ(m_iTo, 10);
}

TEST_F(PartRange, LockedPartsMoveTheStart)
{
    for (int i = 0; i < 4; i++) m_pGeo->pParts[i].bLockAttributes = 1;
    EXPECT_EQ(Parse("1 10", true), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 5);
    EXPECT_EQ(m_iTo, 10);
    EXPECT_EQ(Parse("", true), NK_PART_RANGE_NONE);
    EXPECT_EQ(m_iFrom, 5);
    EXPECT_EQ(Parse("2 4", true), NK_PART_RANGE_ERROR);
    EXPECT_STREQ(m_Error.GetText(), "All parts in specified range (2 to 4) are locked");
    EXPECT_EQ(Parse("1 1", true), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 1);
    EXPECT_EQ(m_iTo, 1);
    // Without the check the locks do not count.
    EXPECT_EQ(Parse("1 10"), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 1);
}

TEST_F(PartRange, LocksCountOnlyWhenPartOneIsLocked)
{
    m_pGeo->pParts[3].bLockAttributes = 1;
    EXPECT_EQ(Parse("1 10", true), NK_PART_RANGE_NUMBERS);
    EXPECT_EQ(m_iFrom, 1);
}

TEST_F(PartRange, WithoutModelNumbersAreIllegal)
{
    NKDestroyModel(g_pModel);
    g_pModel = NKCreateModel();
    EXPECT_EQ(Parse(""), NK_PART_RANGE_NONE);
    EXPECT_EQ(m_iFrom, 1);
    EXPECT_EQ(m_iTo, 0);
    EXPECT_EQ(Parse("1"), NK_PART_RANGE_ERROR);
    // "-1" would name part 0, which does not exist.
    EXPECT_EQ(Parse("-1"), NK_PART_RANGE_ERROR);
    EXPECT_EQ(Parse("0 0"), NK_PART_RANGE_ERROR);
}

TEST_F(PartRange, NullErrorTextIsAllowed)
{
    NKArgumentScan scan("PARAMS 7 3");
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    EXPECT_EQ(NKCommandGetPartRange(&scan, &iFrom, &iTo, nullptr, nullptr, false),
              NK_PART_RANGE_ERROR);
}

// ---- the argument scan ----------------------------------------------------------

TEST(ArgumentScan, TokensArgumentsAndRest)
{
    NKArgumentScan scan("PARAMS  a\tb  \"my file.qlc\" 3 tail  end");
    EXPECT_STREQ(scan.NextToken().GetText(), "PARAMS");
    EXPECT_STREQ(scan.NextToken().GetText(), "a");
    EXPECT_STREQ(scan.NextArgument().GetText(), "b");
    EXPECT_STREQ(scan.NextArgument().GetText(), "my file.qlc");
    EXPECT_STREQ(scan.NextToken().GetText(), "3");
    EXPECT_STREQ(scan.Rest().GetText(), "tail  end");
    EXPECT_FALSE(scan.AtEnd());
    scan.NextToken();
    scan.NextToken();
    EXPECT_TRUE(scan.AtEnd());
    EXPECT_TRUE(scan.NextToken().IsNull());
    EXPECT_TRUE(scan.NextArgument().IsNull());
}

TEST(ArgumentScan, EmptyQuotesAndUnclosedQuote)
{
    NKArgumentScan scan("\"\" \"open end");
    NKString empty = scan.NextArgument();
    EXPECT_FALSE(empty.IsNull());
    EXPECT_STREQ(empty.GetText(), "");
    EXPECT_STREQ(scan.NextArgument().GetText(), "open end");
    EXPECT_TRUE(scan.NextArgument().IsNull());
}

// A quote closes a quoted argument only where its word ends: one with more
// characters after it is part of the name, which then holds the quote.
TEST(ArgumentScan, AQuoteInsideAWordDoesNotCloseTheName)
{
    const struct {
        const char *pszLine;
        std::vector<std::string> arguments;
    } cases[] = {{"\"x\"y.nkf\"", {"x\"y.nkf"}},
                 {"\"x\"y.nkf\" 3", {"x\"y.nkf", "3"}},
                 {"\"a b\"c", {"a b\"c"}},
                 {"\"a b\"\t\"c\"", {"a b", "c"}}};
    for (const auto &c : cases) {
        NKArgumentScan scan(c.pszLine);
        std::vector<std::string> arguments;
        for (NKString a = scan.NextArgument(); !a.IsNull(); a = scan.NextArgument())
            arguments.push_back(a.GetText());
        EXPECT_EQ(arguments, c.arguments) << c.pszLine;
    }
}
