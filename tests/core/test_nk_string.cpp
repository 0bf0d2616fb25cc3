// tests/core/test_nk_string.cpp -- behaviour of NKString: null and empty
// texts, assignment, comparison, concatenation and formatting, cleaning,
// searching, path parts, numbers and the word and token scanners.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstring>
#include <string>

#include "core/nk_string.h"
#include "tests/test_support/nk_string_print.h"

namespace {

// ---------------------------------------------------------------------------
// Null and empty texts

TEST(NKStringNullAndEmpty, BothAreEmptyButNotEqual)
{
    NKString null;
    NKString empty("");
    EXPECT_TRUE(null.IsEmpty());
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(0, null.GetLength());
    EXPECT_EQ(0, empty.GetLength());
    ASSERT_NE(nullptr, null.GetText());
    EXPECT_STREQ("", null.GetText());
    EXPECT_STREQ("", empty.GetText());
    EXPECT_EQ(nullptr, null.GetRawText());
    EXPECT_NE(nullptr, empty.GetRawText());

    EXPECT_FALSE(null == empty);
    EXPECT_TRUE(null != empty);
    EXPECT_TRUE(null == NKString());
    EXPECT_TRUE(empty == NKString(""));
}

TEST(NKStringNullAndEmpty, NullPointerMatchesOnlyNullString)
{
    NKString null;
    NKString empty("");
    const char *pszNull = nullptr;
    EXPECT_TRUE(null == pszNull);
    EXPECT_FALSE(empty == pszNull);
    EXPECT_TRUE(empty == "");
    EXPECT_FALSE(null == "");
    EXPECT_TRUE(NKString(pszNull).IsNull());
}

TEST(NKStringNullAndEmpty, CopiesKeepNullAndEmptyApart)
{
    NKString null;
    NKString copyOfNull(null);
    NKString empty("");
    NKString copyOfEmpty(empty);
    EXPECT_TRUE(copyOfNull.IsNull());
    EXPECT_FALSE(copyOfEmpty.IsNull());
    NKString assigned("x");
    assigned = null;
    EXPECT_TRUE(assigned.IsNull());
}

TEST(NKStringNullAndEmpty, BlankTexts)
{
    EXPECT_TRUE(NKString().IsBlank());
    EXPECT_TRUE(NKString(" \t\r\n").IsBlank());
    EXPECT_FALSE(NKString(" x ").IsBlank());
}

// ---------------------------------------------------------------------------
// Assignment and buffers

TEST(NKStringAssign, FromPointerIntoOwnText)
{
    NKString s("path/to/file");
    s.Assign(s.GetText() + 5, -1);
    EXPECT_EQ(s, "to/file");
    s.Assign(s.GetText() + 3, 2);
    EXPECT_EQ(s, "fi");
}

TEST(NKStringAssign, LengthStopsAtTerminator)
{
    NKString s;
    s.Assign("abc", 10);
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(3, s.GetLength());
    s.Assign("abcdef", 2);
    EXPECT_EQ(s, "ab");
    s.Assign(nullptr, 3);
    EXPECT_TRUE(s.IsNull());
}

TEST(NKStringAssign, CopyStartsAtScanPositionZeroAndAssignmentKeepsIt)
{
    NKString s("a b c");
    EXPECT_EQ(s.GetFirstWord(), "a");
    NKString copy(s);
    EXPECT_EQ(copy.GetRest(), "a b c");
    s = NKString("x y z");
    EXPECT_EQ(s.GetRest(), "y z");
}

TEST(NKStringAssign, SetBufferSizeCutsAndShrinkFits)
{
    NKString s("abcdef");
    EXPECT_FALSE(s.SetBufferSize(0));
    EXPECT_EQ(s, "abcdef");
    ASSERT_TRUE(s.SetBufferSize(4));
    EXPECT_EQ(s, "abc");
    ASSERT_TRUE(s.SetBufferSize(16));
    std::strcpy(s.GetBuffer(), "a longer text");
    s.ShrinkBuffer();
    EXPECT_EQ(s, "a longer text");
    NKString null;
    ASSERT_TRUE(null.SetBufferSize(8));
    EXPECT_EQ(null, "");
}

TEST(NKStringAssign, VectorConstructorUsesUpperCaseG)
{
    float v[3] = {1.5f, -2.0f, 1e-7f};
    EXPECT_EQ(NKString(v), "[1.5, -2, 1E-07]");
    EXPECT_TRUE(NKString(static_cast<const float *>(nullptr)).IsNull());
}

// ---------------------------------------------------------------------------
// Character access

TEST(NKStringAccess, OutOfRangeIndexesAreHarmless)
{
    NKString s("abc");
    EXPECT_EQ('b', s.GetAt(1));
    EXPECT_EQ('c', s[2]);
    EXPECT_EQ(0, s.GetAt(3));
    EXPECT_EQ(0, s.GetAt(-1));
    s.SetAt(5, 'x');
    s.SetAt(-1, 'x');
    EXPECT_EQ(s, "abc");
    s.SetAt(0, 'X');
    EXPECT_EQ(s, "Xbc");
    s.Truncate(7);
    EXPECT_EQ(s, "Xbc");
    s.Truncate(1);
    EXPECT_EQ(s, "X");
    NKString null;
    null.SetAt(0, 'x');
    EXPECT_TRUE(null.IsNull());
}

// ---------------------------------------------------------------------------
// Concatenation and formatting

TEST(NKStringConcat, NullSideGivesCopyOfOtherSide)
{
    NKString null;
    NKString abc("abc");
    EXPECT_EQ(null + abc, "abc");
    EXPECT_EQ(abc + null, "abc");
    EXPECT_TRUE((null + null).IsNull());
    EXPECT_FALSE((null + NKString("")).IsNull());
    EXPECT_EQ(abc + "def", "abcdef");
    EXPECT_EQ("x" + abc, "xabc");
}

TEST(NKStringConcat, NumbersAndCharacters)
{
    NKString s("n=");
    s += 42;
    s += ',';
    s += 2.5f;
    s += " ";
    s += NKString("end");
    EXPECT_EQ(s, "n=42,2.5 end");
    EXPECT_EQ(NKString("v") + 1e-5f, "v1e-05");
    EXPECT_EQ(NKString::FromInt(-7), "-7");
    EXPECT_EQ(NKString::FromUnsigned(4000000000u), "4000000000");
    EXPECT_EQ(NKString::FromFloat(0.1f), "0.1");
}

TEST(NKStringFormat, LongResultsAreNotCut)
{
    std::string longText(1500, 'x');
    NKString formatted;
    formatted.Format("<%s>", longText.c_str());
    EXPECT_EQ(1502, formatted.GetLength());
    EXPECT_EQ('>', formatted.GetAt(1501));
    NKString built = NKString::FromFormat("%s%d", longText.c_str(), 12);
    EXPECT_EQ(1502, built.GetLength());
    EXPECT_EQ(built.Right(2), "12");
}

TEST(NKStringFormat, NumbersIgnoreTheUserLocale)
{
    // A locale with a decimal comma, when the machine has one.
    const char *pszOld = std::setlocale(LC_NUMERIC, nullptr);
    std::string old = pszOld ? pszOld : "C";
    bool bSwitched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(NKString::FromFormat("%.2f", 1.25), "1.25");
    EXPECT_EQ(NKString::FromFloat(0.5f), "0.5");
    EXPECT_DOUBLE_EQ(2.75, NKString("2.75").ToFloat());
    std::setlocale(LC_NUMERIC, old.c_str());
    if (!bSwitched) GTEST_LOG_(INFO) << "no decimal-comma locale installed";
}

// ---------------------------------------------------------------------------
// Case and cleaning

TEST(NKStringCleaning, CaseTrimAndSimplify)
{
    NKString s("MiXeD 1");
    s.MakeLower();
    EXPECT_EQ(s, "mixed 1");
    s.MakeUpper();
    EXPECT_EQ(s, "MIXED 1");

    NKString t(" \t\x01 text \x02\r\n");
    NKString plain(t);
    plain.Trim(false);
    EXPECT_EQ(plain, "\x01 text \x02");
    t.Trim(true);
    EXPECT_EQ(t, "text");

    NKString simple("  a \t\t b   c  ");
    simple.Simplify();
    EXPECT_EQ(simple, "a b c");
    NKString null;
    null.Simplify();
    null.MakeUpper();
    EXPECT_TRUE(null.IsNull());
}

TEST(NKStringCleaning, RemoveChar)
{
    NKString s(",a,,b,");
    s.RemoveChar(',');
    EXPECT_EQ(s, "ab");
    NKString all("aaa");
    all.RemoveChar('a');
    EXPECT_EQ(all, "");
}

// ---------------------------------------------------------------------------
// Searching and cutting

TEST(NKStringSearch, FindCharBothWays)
{
    NKString s("a.b.c");
    EXPECT_EQ(1, s.FindChar('.', 0, true));
    EXPECT_EQ(3, s.FindChar('.', -1, false));
    EXPECT_EQ(3, s.FindChar('.', 2, true));
    EXPECT_EQ(1, s.FindChar('.', 2, false));
    EXPECT_EQ(-1, s.FindChar('x', 0, true));
    EXPECT_EQ(-1, s.FindChar('.', 5, true));
    EXPECT_EQ(-1, NKString().FindChar('.', -1, false));
}

TEST(NKStringSearch, FindSubstring)
{
    NKString s("abab");
    EXPECT_EQ(2, s.Find("ab", -1, false));
    EXPECT_EQ(0, s.Find("ab", 0, true));
    EXPECT_EQ(2, s.Find("ab", 1, true));
    EXPECT_EQ(-1, s.Find("abc", 2, true));
    EXPECT_EQ(-1, s.Find("", 0, true));
    EXPECT_EQ(-1, s.Find("ab", 4, true));
    EXPECT_EQ(-1, NKString().Find("ab", 0, true));
    EXPECT_EQ(0, s.Find(NKString("ab"), 1, false));
}

TEST(NKStringSearch, ReplaceAllNeverSearchesInsertions)
{
    NKString s("aa");
    EXPECT_EQ(2, s.ReplaceAll("a", "aa", 0));
    EXPECT_EQ(s, "aaaa");
    NKString once("aa");
    EXPECT_EQ(1, once.ReplaceAll("a", "aa", 1));
    EXPECT_EQ(once, "aaa");
    NKString shrink("x--y--z");
    EXPECT_EQ(2, shrink.ReplaceAll("--", "", 0));
    EXPECT_EQ(shrink, "xyz");
    NKString none("abc");
    EXPECT_EQ(0, none.ReplaceAll("q", "r", 0));
    EXPECT_EQ(0, none.ReplaceAll("", "r", 0));
    EXPECT_EQ(none, "abc");
}

TEST(NKStringSearch, SubstringLeftRightMid)
{
    NKString s("abcdef");
    EXPECT_EQ(s.Substring(2, 3), "cde");
    EXPECT_EQ(s.Substring(4, -1), "ef");
    EXPECT_EQ(s.Substring(4, 10), "ef");
    EXPECT_EQ(s.Substring(6, 1), "");
    EXPECT_FALSE(s.Substring(-1, 1).IsNull());
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Left(10), "abcdef");
    EXPECT_EQ(s.Right(2), "ef");
    EXPECT_EQ(s.Right(10), "abcdef");
    EXPECT_EQ(s.Mid(1, 3), "bcd");
    EXPECT_EQ(s.Mid(2, -1), "cdef");
    EXPECT_EQ(s.Mid(3, 2), "");
    EXPECT_EQ(s.Mid(1, 6), "");
}

TEST(NKStringSearch, RightWithCountZeroOrBelowIsEmpty)
{
    NKString s("abcdef");
    EXPECT_EQ(s.Right(0), "");
    EXPECT_EQ(s.Right(-3), "");
    // The lowest int once overflowed the start position.
    EXPECT_EQ(s.Right(INT_MIN), "");
    EXPECT_FALSE(s.Right(INT_MIN).IsNull());
}

// ---------------------------------------------------------------------------
// Path parts

TEST(NKStringPath, DirectoryAndFileName)
{
    NKString both("dir\\file");
    EXPECT_EQ(both.GetDirectory(), "dir");
    EXPECT_EQ(both.GetFileName(), "file");
    NKString root("\\file");
    EXPECT_EQ(root.GetDirectory(), "\\");
    EXPECT_EQ(root.GetFileName(), "file");
    NKString bare("file");
    EXPECT_EQ(bare.GetDirectory(), "");
    EXPECT_EQ(bare.GetFileName(), "file");
    NKString dirOnly("dir\\");
    EXPECT_EQ(dirOnly.GetDirectory(), "dir");
    EXPECT_EQ(dirOnly.GetFileName(), "");
}

TEST(NKStringPath, SlashesAndMixedSeparators)
{
    NKString posixPath("/home/user/model.nkf");
    EXPECT_EQ(posixPath.GetDirectory(), "/home/user");
    EXPECT_EQ(posixPath.GetFileName(), "model.nkf");
    NKString mixed("a\\b/c\\d.txt");
    EXPECT_EQ(mixed.GetDirectory(), "a\\b/c");
    EXPECT_EQ(mixed.GetFileName(), "d.txt");
    NKString rootFile("/x");
    EXPECT_EQ(rootFile.GetDirectory(), "/");
    EXPECT_EQ(rootFile.GetFileName(), "x");
}

TEST(NKStringPath, NetworkNameHasNoFileName)
{
    NKString server("\\\\server");
    EXPECT_EQ(server.GetDirectory(), "\\\\server");
    EXPECT_EQ(server.GetFileName(), "");
}

// ---------------------------------------------------------------------------
// Numbers

TEST(NKStringNumbers, ToIntAndToFloat)
{
    EXPECT_EQ(42, NKString("  +42abc").ToInt());
    EXPECT_EQ(-17, NKString("\t-17").ToInt());
    EXPECT_EQ(0, NKString("x12").ToInt());
    EXPECT_EQ(0, NKString().ToInt());
    EXPECT_EQ(2147483647, NKString("99999999999").ToInt());
    EXPECT_EQ(-2147483647 - 1, NKString("-99999999999").ToInt());
    EXPECT_DOUBLE_EQ(-1.5e3, NKString(" -1.5e3rest").ToFloat());
    EXPECT_DOUBLE_EQ(0.0, NKString("").ToFloat());
    EXPECT_DOUBLE_EQ(0.0, NKString().ToFloat());
}

TEST(NKStringNumbers, IsNumberAllowsOnlyExponentLetters)
{
    EXPECT_TRUE(NKString("1.5E-3").IsNumber());
    EXPECT_TRUE(NKString("+-.,/").IsNumber());
    EXPECT_FALSE(NKString("12a").IsNumber());
    EXPECT_FALSE(NKString("").IsNumber());
    EXPECT_FALSE(NKString().IsNumber());
}

TEST(NKStringNumbers, FindNumberStart)
{
    EXPECT_EQ(5, NKString("step 12").FindNumberStart());
    EXPECT_EQ(1, NKString("x-3").FindNumberStart());
    EXPECT_EQ(2, NKString("x +3").FindNumberStart());
    EXPECT_EQ(-1, NKString("none").FindNumberStart());
}

TEST(NKStringNumbers, IncrementTrailingNumberKeepsLeadingZeroCount)
{
    NKString s("frame007");
    EXPECT_TRUE(s.IncrementTrailingNumber(1));
    EXPECT_EQ(s, "frame008");
    s = "a100";
    EXPECT_TRUE(s.IncrementTrailingNumber(1));
    EXPECT_EQ(s, "a101");
    s = "frame009";
    EXPECT_TRUE(s.IncrementTrailingNumber(1));
    EXPECT_EQ(s, "frame0010");
    s = "a000";
    EXPECT_TRUE(s.IncrementTrailingNumber(1));
    EXPECT_EQ(s, "a0001");
    s = "v10";
    EXPECT_TRUE(s.IncrementTrailingNumber(-3));
    EXPECT_EQ(s, "v7");
}

TEST(NKStringNumbers, IncrementTrailingNumberFailures)
{
    for (const char *pszText : {"abc", "123", "", "x1y"}) {
        NKString s(pszText);
        EXPECT_FALSE(s.IncrementTrailingNumber(1)) << pszText;
        EXPECT_EQ(s, pszText);
    }
    NKString null;
    EXPECT_FALSE(null.IncrementTrailingNumber(1));
    // A run too long for any integer is left alone rather than overflowing.
    NKString huge("f12345678901234567890");
    EXPECT_FALSE(huge.IncrementTrailingNumber(1));
    NKString big("f99999999999");
    EXPECT_TRUE(big.IncrementTrailingNumber(1));
    EXPECT_EQ(big, "f100000000000");
}

TEST(NKStringNumbers, WordAndLineCounts)
{
    NKString s("1 2.5 x 3e4 -4.0");
    EXPECT_EQ(2, s.CountIntegerWords());
    EXPECT_EQ(2, s.CountRealWords());
    EXPECT_EQ(5, s.CountWords());
    EXPECT_EQ(3, NKString("a,b\tc").CountWords());
    EXPECT_EQ(0, NKString("  ").CountWords());
    EXPECT_EQ(1, NKString("a").CountLines());
    EXPECT_EQ(1, NKString("a\n").CountLines());
    EXPECT_EQ(2, NKString("a\nb").CountLines());
    EXPECT_EQ(0, NKString("").CountLines());
    EXPECT_EQ(0, NKString().CountLines());
}

TEST(NKStringNumbers, CountsDoNotMoveTheScanPosition)
{
    NKString s("1 2 3");
    EXPECT_EQ(s.GetFirstWord(), "1");
    EXPECT_EQ(3, s.CountIntegerWords());
    EXPECT_EQ(s.GetNextWord(), "2");
}

// ---------------------------------------------------------------------------
// Word scanner

TEST(NKStringWords, CommasBlanksTabsAndLineEnds)
{
    NKString s("  a,b\tc\r\n");
    EXPECT_EQ(s.GetFirstWord(), "a");
    EXPECT_EQ(s.GetNextWord(), "b");
    EXPECT_EQ(s.GetNextWord(), "c");
    NKString end = s.GetNextWord();
    EXPECT_EQ(end, "");
    EXPECT_FALSE(end.IsNull());
}

TEST(NKStringWords, CommaStartsAWord)
{
    NKString s("a,,b");
    EXPECT_EQ(s.GetFirstWord(), "a");
    EXPECT_EQ(s.GetNextWord(), ",b");
    EXPECT_EQ(s.GetNextWord(), "");

    NKString acceptance("a, b,,c");
    EXPECT_EQ(acceptance.GetFirstWord(), "a");
    EXPECT_EQ(acceptance.GetNextWord(), "b");
    EXPECT_EQ(acceptance.GetNextWord(), ",c");
    NKString last = acceptance.GetNextWord();
    EXPECT_EQ(last, "");
    EXPECT_FALSE(last.IsNull());
}

TEST(NKStringWords, AtMostTwoLineEndsAreCut)
{
    NKString s("x\r\r\n");
    EXPECT_EQ(s.GetFirstWord(), "x\r");
}

TEST(NKStringWords, GetWordAndGetRest)
{
    NKString s("open  my file.nkf");
    EXPECT_EQ(s.GetWord(0), "open");
    EXPECT_EQ(s.GetWord(2), "file.nkf");
    EXPECT_EQ(s.GetWord(9), "");
    EXPECT_EQ(s.GetFirstWord(), "open");
    EXPECT_EQ(s.GetRest(), " my file.nkf");
    EXPECT_EQ(s.GetRest(), " my file.nkf");
    s.GetWord(9);
    EXPECT_EQ(s.GetRest(), "");
    EXPECT_EQ(NKString().GetFirstWord(), "");
}

TEST(NKStringWords, SkipScanCharPassesARunAtTheScanPosition)
{
    NKString s("a   b");
    EXPECT_EQ(s.GetFirstToken(' '), "a");
    s.SkipScanChar(' ');
    EXPECT_EQ(s.GetRest(), "b");
    s.SkipScanChar('x');  // no run here: nothing moves
    EXPECT_EQ(s.GetRest(), "b");
    EXPECT_EQ(s.GetNextToken(' '), "b");
    s.SkipScanChar(' ');  // at the end
    EXPECT_TRUE(s.GetNextToken(' ').IsNull());
    NKString none;
    none.SkipScanChar(' ');
    EXPECT_EQ(none.GetRest(), "");
}

// ---------------------------------------------------------------------------
// Token scanner

TEST(NKStringTokens, CommaListWithEmptyItem)
{
    NKString s("a, b,,c");
    EXPECT_EQ(s.GetFirstToken(','), "a");
    EXPECT_EQ(s.GetNextToken(','), " b");
    NKString empty = s.GetNextToken(',');
    EXPECT_EQ(empty, "");
    EXPECT_FALSE(empty.IsNull());
    EXPECT_EQ(s.GetNextToken(','), "c");
    EXPECT_TRUE(s.GetNextToken(',').IsNull());

    NKString t("a,,b");
    EXPECT_EQ(t.GetFirstToken(','), "a");
    EXPECT_EQ(t.GetNextToken(','), "");
    EXPECT_EQ(t.GetNextToken(','), "b");
    EXPECT_TRUE(t.GetNextToken(',').IsNull());
}

TEST(NKStringTokens, QuotedFileName)
{
    NKString s("\"my file.txt\" x");
    EXPECT_EQ(s.GetFirstToken(NK_TOKEN_BLANK_QUOTED), "my file.txt");
    EXPECT_EQ(s.GetNextToken(NK_TOKEN_BLANK_QUOTED), "");
    EXPECT_EQ(s.GetNextToken(NK_TOKEN_BLANK_QUOTED), "x");
    EXPECT_TRUE(s.GetNextToken(NK_TOKEN_BLANK_QUOTED).IsNull());
}

TEST(NKStringTokens, QuotedTokenAfterPlainOne)
{
    NKString s("open \"a b\"");
    EXPECT_EQ(s.GetFirstToken(1), "open");
    EXPECT_EQ(s.GetNextToken(1), "a b");
    EXPECT_TRUE(s.GetNextToken(1).IsNull());
}

TEST(NKStringTokens, FirstTokenSpecialCases)
{
    NKString leading(",a");
    NKString first = leading.GetFirstToken(',');
    EXPECT_EQ(first, "");
    EXPECT_FALSE(first.IsNull());
    EXPECT_EQ(leading.GetNextToken(','), "a");

    NKString empty("");
    EXPECT_EQ(empty.GetFirstToken(','), "");
    EXPECT_TRUE(empty.GetNextToken(',').IsNull());

    NKString emptyQuoted("\"\" x");
    EXPECT_TRUE(emptyQuoted.GetFirstToken(1).IsNull());

    NKString unterminated("\"abc");
    EXPECT_EQ(unterminated.GetFirstToken(1), "abc");
    EXPECT_TRUE(unterminated.GetNextToken(1).IsNull());
}

TEST(NKStringTokens, TrailingDelimiterGivesNoEmptyToken)
{
    NKString s("a\n");
    EXPECT_EQ(s.GetFirstToken('\n'), "a");
    EXPECT_TRUE(s.GetNextToken('\n').IsNull());
}

}  // namespace
