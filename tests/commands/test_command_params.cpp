// tests/commands/test_command_params.cpp -- CommandParams seen from a
// handler: the values its getters store, the error texts they compose and
// print, and how the cursor moves from parameter to parameter.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include "commands/nk_command_params.h"
#include "commands/nk_command_table.h"
#include "core/nk_numeric.h"
#include "tests/test_support/message_capture.h"

namespace {

// A table row whose synopsis is "S".
CommandTableEntry MakeEntry(const char *pszSynopsis)
{
    CommandTableEntry entry;
    std::memset(&entry, 0, sizeof(entry));
    std::strcpy(entry.name, "test");
    std::strcpy(entry.synopsis, pszSynopsis);
    return entry;
}

class ParamsTest : public ::testing::Test {
protected:
    CommandTableEntry m_Entry = MakeEntry("S");
    MessageCapture m_Capture;
};

}  // namespace

// ---- integers -----------------------------------------------------------------

TEST_F(ParamsTest, MissingRequiredIntegerNamesParameterAndSynopsis)
{
    CommandParams params("PARAMS ");
    params.SetCommand(&m_Entry);
    int iValue = 7;
    EXPECT_FALSE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_STREQ(params.GetErrorText().GetText(),
                 "Error in paramter number 1 : S\nRequired paramter missing.");
    EXPECT_EQ(iValue, 7);
    EXPECT_TRUE(m_Capture.HasLine("Error in paramter number 1 : S", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("Required paramter missing.", NK_MSG_ERROR));
}

TEST_F(ParamsTest, MissingOptionalIntegerLeavesValue)
{
    CommandParams params("PARAMS ");
    int iValue = 7;
    EXPECT_TRUE(params.NKGetFirstParameterInt(&iValue, false, 1, 10));
    EXPECT_EQ(iValue, 7);
    EXPECT_STREQ(params.GetErrorText().GetText(), "");
    EXPECT_TRUE(m_Capture.Lines().empty());
}

TEST_F(ParamsTest, IntegerReadWithOrWithoutPrefixWord)
{
    int iValue = 0;
    CommandParams withPrefix("PARAMS 5");
    EXPECT_TRUE(withPrefix.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 5);
    iValue = 0;
    CommandParams bare("5");
    EXPECT_TRUE(bare.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 5);
}

TEST_F(ParamsTest, DecimalIntegerIsTruncated)
{
    CommandParams params("PARAMS 2.7");
    int iValue = 0;
    EXPECT_TRUE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 2);
}

TEST_F(ParamsTest, WordThatIsNoNumberIsRefused)
{
    CommandParams params("PARAMS abc");
    params.SetCommand(&m_Entry);
    int iValue = 3;
    EXPECT_FALSE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_TRUE(
        m_Capture.HasLine("Numerical parameter expected. \"abc\" is not a number.", NK_MSG_ERROR));
    EXPECT_EQ(iValue, 3);
}

TEST_F(ParamsTest, IntegerRangeIsInclusive)
{
    CommandParams params("PARAMS 11 10 1 0");
    params.SetCommand(&m_Entry);
    int iValue = 0;
    EXPECT_FALSE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_STREQ(params.GetErrorText().GetText(),
                 "Error in paramter number 1 : S\n"
                 "Parameter out of range. Value: 11. Legal range: 1 - 10");
    EXPECT_TRUE(params.NKGetParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 10);
    EXPECT_TRUE(params.NKGetParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 1);
    EXPECT_FALSE(params.NKGetParameterInt(&iValue, true, 1, 10));
}

TEST_F(ParamsTest, NoRangeMinimumAcceptsAnyInteger)
{
    CommandParams params("PARAMS -123456");
    int iValue = 0;
    EXPECT_TRUE(params.NKGetFirstParameterInt(&iValue, true, NK_PARAM_NO_RANGE, 0));
    EXPECT_EQ(iValue, -123456);
}

// ---- numbering and the cursor -------------------------------------------------

TEST_F(ParamsTest, SecondParameterErrorNamesNumberTwoAndFirstGetterRestarts)
{
    CommandParams params("PARAMS 4 x 6");
    params.SetCommand(&m_Entry);
    int iA = 0, iB = 0;
    EXPECT_TRUE(params.NKGetFirstParameterInt(&iA, true, 1, 10));
    EXPECT_FALSE(params.NKGetParameterInt(&iB, true, 1, 10));
    EXPECT_EQ(params.GetErrorText().Find("Error in paramter number 2 : S\n"), 0);
    // The cursor stays behind the failed word.
    EXPECT_TRUE(params.NKGetParameterInt(&iB, true, 1, 10));
    EXPECT_EQ(iB, 6);
    EXPECT_FALSE(params.NKGetParameterInt(&iB, true, 1, 10));
    EXPECT_EQ(params.GetParamIndex(), 4);
    EXPECT_TRUE(params.NKGetFirstParameterInt(&iA, true, 1, 10));
    EXPECT_EQ(params.GetParamIndex(), 1);
    EXPECT_EQ(iA, 4);
}

TEST_F(ParamsTest, ErrorWithoutCommandQuotesEmptySynopsis)
{
    CommandParams params("PARAMS");
    int iValue = 0;
    EXPECT_FALSE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_STREQ(params.GetErrorText().GetText(),
                 "Error in paramter number 1 : \nRequired paramter missing.");
}

TEST_F(ParamsTest, PrintingOffStillComposesTheError)
{
    CommandParams params("PARAMS abc");
    params.SetPrintErrors(false);
    int iValue = 0;
    EXPECT_FALSE(params.NKGetFirstParameterInt(&iValue, true, 1, 10));
    EXPECT_NE(params.GetErrorText().Find("is not a number."), -1);
    EXPECT_TRUE(m_Capture.Lines().empty());
    params.Reset();
    EXPECT_STREQ(params.GetErrorText().GetText(), "");
}

TEST_F(ParamsTest, HasParameters)
{
    EXPECT_FALSE(CommandParams("").HasParameters());
    EXPECT_FALSE(CommandParams("PARAMS ").HasParameters());
    EXPECT_FALSE(CommandParams("PARAMS  \t ").HasParameters());
    EXPECT_TRUE(CommandParams("PARAMS x").HasParameters());
    EXPECT_TRUE(CommandParams("x").HasParameters());
}

TEST_F(ParamsTest, HasParametersLeavesCursorBehindFirstWord)
{
    CommandParams params("3 4");
    ASSERT_TRUE(params.HasParameters());
    int iValue = 0;
    EXPECT_TRUE(params.NKGetParameterInt(&iValue, true, 1, 10));
    EXPECT_EQ(iValue, 4);
}

// ---- floats, vectors, colours -------------------------------------------------

TEST_F(ParamsTest, FloatRangeAndUndefinedMinimum)
{
    CommandParams params("PARAMS 2.5 1e30 7.5");
    params.SetCommand(&m_Entry);
    float fValue = 0.0f;
    EXPECT_TRUE(params.NKGetFirstParameterFloat(&fValue, true, 0.0f, 5.0f));
    EXPECT_FLOAT_EQ(fValue, 2.5f);
    EXPECT_TRUE(params.NKGetParameterFloat(&fValue, true, NK_UNDEFINED_VALUE, 0.0f));
    EXPECT_FLOAT_EQ(fValue, 1e30f);
    EXPECT_FALSE(params.NKGetParameterFloat(&fValue, true, 0.0f, 5.0f));
    EXPECT_NE(params.GetErrorText().Find("Parameter out of range. Value: 7.5. Legal range: 0 - 5"),
              -1);
}

TEST_F(ParamsTest, FloatBeyondTheFloatRangeIsRefusedEvenWithoutRange)
{
    CommandParams params("PARAMS 1e39 -1e999 3.4e38");
    params.SetCommand(&m_Entry);
    float fValue = 4.0f;
    EXPECT_FALSE(params.NKGetFirstParameterFloat(&fValue, true, NK_UNDEFINED_VALUE, 0.0f));
    EXPECT_TRUE(m_Capture.HasLine(
        "Parameter out of range. Value: 1e39. Legal range: -3.40282e+38 - 3.40282e+38"));
    EXPECT_FALSE(params.NKGetParameterFloat(&fValue, true, -1.0f, 1.0f));
    EXPECT_EQ(params.GetParamIndex(), 2);
    EXPECT_FLOAT_EQ(fValue, 4.0f);
    // The largest float itself still fits.
    EXPECT_TRUE(params.NKGetParameterFloat(&fValue, true, NK_UNDEFINED_VALUE, 0.0f));
    EXPECT_FLOAT_EQ(fValue, 3.4e38f);

    float pfValue[3] = {1, 2, 3};
    CommandParams vector("PARAMS 1 1e40 2");
    EXPECT_FALSE(vector.NKGetFirstParameterVector(pfValue, true, NK_UNDEFINED_VALUE, 0.0f));
    EXPECT_NE(vector.GetErrorText().Find("Value: 1e40."), -1);
    EXPECT_FLOAT_EQ(pfValue[1], 2.0f);
}

// Words that are no finite float: refused by every numeric getter and by
// the word test handlers use, the value untouched; the word is quoted as no
// number, or as out of range when it reads beyond the float range.
TEST_F(ParamsTest, NonFiniteAndNumberlessWordsAreRefused)
{
    struct {
        const char *pszWord;
        const char *pszDetail;
    } rows[] = {
        {"nan", "Numerical parameter expected. \"nan\" is not a number."},
        {"inf", "Numerical parameter expected. \"inf\" is not a number."},
        {"-infinity", "Numerical parameter expected. \"-infinity\" is not a number."},
        {"-", "Numerical parameter expected. \"-\" is not a number."},
        {".", "Numerical parameter expected. \".\" is not a number."},
        {"e5", "Numerical parameter expected. \"e5\" is not a number."},
        {"1e308", "Parameter out of range. Value: 1e308."},
        {"-1e39", "Parameter out of range. Value: -1e39."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pszWord);
        std::string text = std::string("PARAMS ") + row.pszWord;
        CommandParams params(text.c_str());
        params.SetCommand(&m_Entry);
        float fValue = 4.0f;
        EXPECT_FALSE(params.NKGetFirstParameterFloat(&fValue, false, NK_UNDEFINED_VALUE, 0.0f));
        EXPECT_NE(params.GetErrorText().Find(row.pszDetail), -1) << params.GetErrorText().GetText();
        EXPECT_FLOAT_EQ(fValue, 4.0f);
        float pfVector[3] = {1, 2, 3};
        std::string vectorText = std::string("PARAMS 0 ") + row.pszWord + " 0";
        CommandParams vector(vectorText.c_str());
        EXPECT_FALSE(vector.NKGetFirstParameterVector(pfVector, false, NK_UNDEFINED_VALUE, 0.0f));
        EXPECT_FLOAT_EQ(pfVector[1], 2.0f);
        EXPECT_FALSE(NKWordToFloat(row.pszWord, &fValue));
        EXPECT_FLOAT_EQ(fValue, 4.0f);
    }
    // A word without a number is no integer either.
    CommandParams integer("PARAMS -");
    int iValue = 7;
    EXPECT_FALSE(integer.NKGetFirstParameterInt(&iValue, false, NK_PARAM_NO_RANGE, 0));
    EXPECT_EQ(iValue, 7);
    for (const auto &good : {std::pair<const char *, float>{"-.5", -0.5f},
                             {"+2e1", 20.0f},
                             {"3.4e38", 3.4e38f},
                             {"1.5.2", 1.5f}}) {
        float fValue = 0.0f;
        EXPECT_TRUE(NKWordToFloat(good.first, &fValue)) << good.first;
        EXPECT_FLOAT_EQ(fValue, good.second);
    }
}

TEST_F(ParamsTest, VectorNeedsThreeWords)
{
    float pfValue[3] = {9, 9, 9};
    CommandParams shortVector("PARAMS 1 2");
    EXPECT_FALSE(shortVector.NKGetFirstParameterVector(pfValue, true, 0.0f, 10.0f));
    EXPECT_NE(shortVector.GetErrorText().Find("Required paramter missing."), -1);
    EXPECT_TRUE(shortVector.NKGetFirstParameterVector(pfValue, false, 0.0f, 10.0f));
    EXPECT_FLOAT_EQ(pfValue[0], 9.0f);

    CommandParams commas("PARAMS 1,2,3");
    EXPECT_TRUE(commas.NKGetFirstParameterVector(pfValue, true, 0.0f, 10.0f));
    EXPECT_FLOAT_EQ(pfValue[0], 1.0f);
    EXPECT_FLOAT_EQ(pfValue[2], 3.0f);
}

TEST_F(ParamsTest, VectorMessages)
{
    float pfValue[3] = {0, 0, 0};
    CommandParams notNumbers("PARAMS 1 b 3");
    EXPECT_FALSE(notNumbers.NKGetFirstParameterVector(pfValue, true, 0.0f, 10.0f));
    EXPECT_TRUE(m_Capture.HasLine(
        "Numerical vector parameter expected. \"<1 b 3>\" is not a numerical vector."));
    CommandParams outside("PARAMS 1 20 3");
    EXPECT_FALSE(outside.NKGetFirstParameterVector(pfValue, true, 0.0f, 10.0f));
    EXPECT_TRUE(m_Capture.HasLine("Parameter out of range. Value: <1 20 3>. Legal range: 0 - 10"));
    EXPECT_TRUE(outside.NKGetFirstParameterVector(pfValue, true, NK_UNDEFINED_VALUE, 0.0f));
    EXPECT_FLOAT_EQ(pfValue[1], 20.0f);
}

TEST_F(ParamsTest, ColorComponentsMustLieInByteRange)
{
    unsigned char pucRgb[3] = {1, 2, 3};
    CommandParams bad("PARAMS 255 0 256");
    EXPECT_FALSE(bad.NKGetFirstParameterColor(pucRgb, true));
    EXPECT_TRUE(
        m_Capture.HasLine("Parameter out of range. Value: <255 0 256>. Legal range: 0 - 255"));
    EXPECT_EQ(pucRgb[0], 1);
    CommandParams word("PARAMS 1 red 3");
    EXPECT_FALSE(word.NKGetFirstParameterColor(pucRgb, true));
    EXPECT_TRUE(m_Capture.HasLine(
        "Numerical color parameter expected. \"<1 red 3>\" is not a numerical color."));
    CommandParams good("PARAMS 255 128 0");
    EXPECT_TRUE(good.NKGetFirstParameterColor(pucRgb, true));
    EXPECT_EQ(pucRgb[0], 255);
    EXPECT_EQ(pucRgb[1], 128);
    EXPECT_EQ(pucRgb[2], 0);
}

// ---- strings ------------------------------------------------------------------

TEST_F(ParamsTest, StringModeZeroTakesQuotedTextWhole)
{
    CommandParams params("PARAMS \"a b\" c");
    NKString value;
    EXPECT_TRUE(params.NKGetFirstParameterString(&value, true, NK_PARAM_STRING_TOKEN));
    EXPECT_STREQ(value.GetText(), "a b");
    // The blank after the closing quote does not hide the next parameter.
    EXPECT_TRUE(params.NKGetParameterString(&value, true, NK_PARAM_STRING_TOKEN));
    EXPECT_STREQ(value.GetText(), "c");
    EXPECT_FALSE(params.NKGetParameterString(&value, true, NK_PARAM_STRING_TOKEN));
}

TEST_F(ParamsTest, LongRunOfBlanksBeforeATokenIsPassedQuickly)
{
    // Lines have no length limit; the blanks were once passed one token and
    // one copy of the rest at a time, which takes hours for a run this long
    // and milliseconds when each blank is passed once. The bound lies far
    // between the two, and stays there when QUOLIN_TEST_WAIT_SCALE grows.
    std::string text = "PARAMS a" + std::string(2000000, ' ') + "\"b c\"  d";
    CommandParams params(text.c_str());
    NKString value;
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(params.NKGetFirstParameterString(&value, true, NK_PARAM_STRING_TOKEN));
    EXPECT_STREQ(value.GetText(), "a");
    EXPECT_TRUE(params.NKGetParameterString(&value, true, NK_PARAM_STRING_TOKEN));
    EXPECT_STREQ(value.GetText(), "b c");
    EXPECT_TRUE(params.NKGetParameterString(&value, true, NK_PARAM_STRING_TOKEN));
    EXPECT_STREQ(value.GetText(), "d");
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed.count(), 60.0);
}

TEST_F(ParamsTest, StringWordAndRestModes)
{
    CommandParams params("PARAMS one,two three four");
    NKString value;
    EXPECT_TRUE(params.NKGetFirstParameterString(&value, true, NK_PARAM_STRING_WORD));
    EXPECT_STREQ(value.GetText(), "one");
    EXPECT_TRUE(params.NKGetParameterString(&value, true, NK_PARAM_STRING_REST));
    EXPECT_STREQ(value.GetText(), "two three four");
}

TEST_F(ParamsTest, UnknownStringModeReadsNothing)
{
    CommandParams params("PARAMS word");
    NKString value("kept");
    EXPECT_TRUE(params.NKGetFirstParameterString(&value, false, 7));
    EXPECT_STREQ(value.GetText(), "kept");
    EXPECT_FALSE(params.NKGetFirstParameterString(&value, true, 7));
}

TEST_F(ParamsTest, LongArgumentIsReadWhole)
{
    std::string longWord(5000, 'x');
    CommandParams params(("PARAMS " + longWord).c_str());
    NKString value;
    EXPECT_TRUE(params.NKGetFirstParameterString(&value, true, NK_PARAM_STRING_WORD));
    EXPECT_EQ(value.GetLength(), 5000);
}
