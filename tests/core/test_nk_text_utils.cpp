// tests/core/test_nk_text_utils.cpp -- number parsing, bounded joining,
// control characters, ID lists with ranges and the progress percentage.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/nk_memory.h"
#include "core/nk_process.h"
#include "core/nk_text_utils.h"
#include "tests/test_support/message_capture.h"

namespace {

// The IDs of a list as a vector; frees the array.
std::vector<int> Ids(const char *pszList)
{
    int *piIds = reinterpret_cast<int *>(1);  // must be overwritten
    int iCount = NKParseIdList(NKString(pszList), &piIds);
    std::vector<int> ids;
    if (iCount == 0) {
        EXPECT_EQ(piIds, nullptr);
        return ids;
    }
    ids.assign(piIds, piIds + iCount);
    NKFree(piIds);
    return ids;
}

// ---- Numbers -------------------------------------------------------------

TEST(TextParse, FloatLikeScanf)
{
    float f = 0.0f;
    EXPECT_TRUE(NKParseFloat("  2.5e1xyz", &f));
    EXPECT_EQ(f, 25.0f);
    EXPECT_TRUE(NKParseFloat("-.5", &f));
    EXPECT_EQ(f, -0.5f);
    f = 7.0f;
    EXPECT_FALSE(NKParseFloat("abc", &f));
    EXPECT_FALSE(NKParseFloat("", &f));
    EXPECT_FALSE(NKParseFloat(nullptr, &f));
    EXPECT_EQ(f, 7.0f);  // untouched on failure
}

TEST(TextParse, FloatBeyondRangeIsRefused)
{
    float f = 1.0f;
    EXPECT_FALSE(NKParseFloat("1e60", &f));
    EXPECT_EQ(f, 1.0f);
    EXPECT_TRUE(NKParseFloat("1e-60", &f));  // underflow: a tiny value
    EXPECT_EQ(f, 0.0f);
}

TEST(TextParse, FloatIgnoresTheUserLocale)
{
    const char *pszOld = std::setlocale(LC_NUMERIC, nullptr);
    std::string old = pszOld != nullptr ? pszOld : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    float f = 0.0f;
    bool bOk = NKParseFloat("1.25", &f);
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_TRUE(bOk);
    EXPECT_EQ(f, 1.25f);
}

TEST(TextParse, IntLikeScanf)
{
    int i = 0;
    EXPECT_TRUE(NKParseInt(" -42abc", &i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(NKParseInt("+7", &i));
    EXPECT_EQ(i, 7);
    i = 5;
    EXPECT_FALSE(NKParseInt("x1", &i));
    EXPECT_FALSE(NKParseInt("99999999999", &i));
    EXPECT_EQ(i, 5);
}

// ---- Joining and cleaning ------------------------------------------------

TEST(TextJoin, AppendStopsAtTheSize)
{
    char szDest[5] = "";
    EXPECT_EQ(NKStrCatBounded(szDest, "abc", "def", 5, false), szDest);
    EXPECT_STREQ(szDest, "abcd");
}

TEST(TextJoin, ReplaceStartsFromFirst)
{
    char szDest[16] = "old";
    NKStrCatBounded(szDest, "new", "er", 16, true);
    EXPECT_STREQ(szDest, "newer");
    NKStrCatBounded(szDest, nullptr, "!", 16, true);  // keeps its own text
    EXPECT_STREQ(szDest, "newer!");
    NKStrCatBounded(szDest, "+", nullptr, 16, false);
    EXPECT_STREQ(szDest, "newer!+");
}

TEST(TextJoin, DegenerateArguments)
{
    EXPECT_EQ(NKStrCatBounded(nullptr, "a", "b", 4, false), nullptr);
    char szDest[4] = "xyz";
    NKStrCatBounded(szDest, "a", "b", 0, true);
    EXPECT_STREQ(szDest, "xyz");
    NKStrCatBounded(szDest, "a", "b", 1, true);
    EXPECT_STREQ(szDest, "");
    // A full destination gains nothing and stays terminated.
    char szFull[4] = "abc";
    NKStrCatBounded(szFull, "d", "e", 4, false);
    EXPECT_STREQ(szFull, "abc");
}

TEST(TextClean, ControlCharactersBecomeBlanks)
{
    char szText[] = "a\tb\r\nc\x7f"
                    "d\xe9"
                    "e";
    NKReplaceControlChars(szText);
    EXPECT_STREQ(szText, "a b  c d e");
    NKReplaceControlChars(nullptr);
}

// ---- ID lists ------------------------------------------------------------

TEST(TextIdList, RangesAndSingleIdsInOrder)
{
    EXPECT_EQ(Ids("3-6, 9"), (std::vector<int>{3, 4, 5, 6, 9}));
    EXPECT_EQ(Ids("3 7-9, 12"), (std::vector<int>{3, 7, 8, 9, 12}));
    EXPECT_EQ(Ids("4\t4,,2"), (std::vector<int>{4, 4, 2}));
}

TEST(TextIdList, BackwardRangeGivesNothing) { EXPECT_TRUE(Ids("5-2").empty()); }

TEST(TextIdList, LeadingDashIsRangeFromZero)
{
    EXPECT_EQ(Ids("-3"), (std::vector<int>{0, 1, 2, 3}));
}

TEST(TextIdList, EmptyText)
{
    EXPECT_TRUE(Ids("").empty());
    EXPECT_TRUE(Ids(nullptr).empty());
    EXPECT_TRUE(Ids("  ,  ").empty());
    EXPECT_EQ(NKParseIdList(NKString("1"), nullptr), 0);
}

TEST(TextIdList, HugeRangeIsRefusedWithAnError)
{
    MessageCapture capture;
    EXPECT_TRUE(Ids("1-2000000000").empty());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].iLevel, NK_MSG_ERROR);
    EXPECT_NE(capture.Lines()[0].text.find("1-2000000000"), std::string::npos);
}

TEST(TextIdList, ManyRangesTogetherAreRefused)
{
    MessageCapture capture;
    EXPECT_TRUE(Ids("1-6000000 1-6000000").empty());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text, "ID list too long: it makes more than 10000000 IDs.");
}

TEST(TextIdList, LargestAllowedRange)
{
    std::vector<int> ids = Ids("1-10000000");
    ASSERT_EQ(ids.size(), 10000000u);
    EXPECT_EQ(ids.back(), 10000000);
}

// ---- Progress percentage -------------------------------------------------

TEST(TextPercent, RoundsToTheStepAndReportsChanges)
{
    NKProgressPercent percent(0, 200, 10);
    EXPECT_EQ(percent.GetPercent(), 0);
    EXPECT_TRUE(percent.Update(55));  // 27.5 -> 30
    EXPECT_EQ(percent.GetPercent(), 30);
    EXPECT_FALSE(percent.Update(56));  // 28 -> 30
    EXPECT_TRUE(percent.Update(500));
    EXPECT_EQ(percent.GetPercent(), 100);
}

TEST(TextPercent, ValueIsTakenFromTheStart)
{
    NKProgressPercent percent(100, 300, 1);
    percent.Update(150);
    EXPECT_EQ(percent.GetPercent(), 25);
    percent.Update(50);  // before the start
    EXPECT_EQ(percent.GetPercent(), 0);
}

TEST(TextPercent, EmptySpanIsAlwaysComplete)
{
    NKProgressPercent percent(5, 5, 10);
    EXPECT_TRUE(percent.Update(0));
    EXPECT_EQ(percent.GetPercent(), 100);
    EXPECT_FALSE(percent.Update(99));
    EXPECT_EQ(percent.GetPercent(), 100);
}

TEST(TextPercent, StepIsClampedAndNaNCountsAsZero)
{
    NKProgressPercent big(0, 100, -250);  // abs, clamped to 100
    big.Update(49);
    EXPECT_EQ(big.GetPercent(), 0);
    big.Update(50);
    EXPECT_EQ(big.GetPercent(), 100);
    NKProgressPercent fine(0, 100, 0);  // at least 1
    fine.Update(37);
    EXPECT_EQ(fine.GetPercent(), 37);
    fine.Update(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(fine.GetPercent(), 0);
    fine.Update(1e30f);
    EXPECT_EQ(fine.GetPercent(), 100);
}

TEST(TextPercent, FormatsLabelAndPercent)
{
    NKProgressPercent percent(0, 4, 25);
    percent.Update(3);
    EXPECT_STREQ(percent.Format("Computing edges"), "Computing edges (75%)");
}

}  // namespace

// Words the checked scan calls illegal: those naming a non-finite float
// give it with its sign, any other word is no number; the cursor stays.
TEST(TextParse, NonFiniteWordsAndTheirSigns)
{
    struct Case {
        const char *pszText;
        bool bNonFinite;
        float fValue;  // NaN stands for any NaN
    } cases[] = {
        {" nan 5", true, NAN},           {"-NaN", true, NAN},       {"inf", true, INFINITY},
        {"+Infinity,2", true, INFINITY}, {"-inf", true, -INFINITY}, {"1e39", true, INFINITY},
        {"-1e400", true, -INFINITY},     {"1e-400", false, 0.0f},   {"3.4028235e38", false, 0.0f},
        {"1.5x", false, 0.0f},           {"infx", false, 0.0f},     {"", false, 0.0f}};
    for (const Case &c : cases) {
        float f = 7.0f;
        EXPECT_EQ(NKNonFiniteFloatWord(c.pszText, &f), c.bNonFinite) << c.pszText;
        if (!c.bNonFinite)
            EXPECT_EQ(f, 7.0f) << c.pszText;
        else if (std::isnan(c.fValue))
            EXPECT_TRUE(std::isnan(f)) << c.pszText;
        else
            EXPECT_EQ(f, c.fValue) << c.pszText;
    }
}
