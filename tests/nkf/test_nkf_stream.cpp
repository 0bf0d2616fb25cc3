// tests/nkf/test_nkf_stream.cpp -- NKFStream's bulk reads in both byte
// orders, bounded skips, whole-line reads, and the locale-free number
// scanners of ASCII lines.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "nkf/nkf_stream.h"
#include "tests/test_support/nkf_test_writer.h"
#include "tests/test_support/test_files.h"

TEST(NKFStream, BulkReadsSwapEveryWordOfABigEndianFile)
{
    NKFTestWriter w(true);
    for (int i = 0; i < 1000; i++) w.Int(i * 1000 - 7);  // word i
    w.Float(-2.5f);                                      // one float word
    std::string path = NKFTestPath("stream_words.bin");
    ASSERT_TRUE(NKTestWriteBytes(path, w.Data()));
    NKFStream stream;
    ASSERT_TRUE(stream.Open(path.c_str()));
    stream.SetSwapBytes(true);
    std::vector<int32_t> values(1000);
    ASSERT_TRUE(stream.ReadInts(values.data(), 1000));
    EXPECT_EQ(-7, values[0]);
    EXPECT_EQ(999 * 1000 - 7, values[999]);
    float f = 0;
    ASSERT_TRUE(stream.ReadFloats(&f, 1));
    EXPECT_EQ(-2.5f, f);
    EXPECT_EQ(4004, stream.GetBytesRead());
    EXPECT_FALSE(stream.IsEndReached());
    EXPECT_FALSE(stream.ReadInts(values.data(), 1));  // past the end: the end flag
    EXPECT_TRUE(stream.IsEndReached());

    // A block loads its data later by seeking back: that read starts afresh.
    ASSERT_TRUE(stream.SetPosition(4));
    EXPECT_FALSE(stream.IsEndReached());
    ASSERT_TRUE(stream.ReadInts(values.data(), 1));
    EXPECT_EQ(1000 - 7, values[0]);
}

TEST(NKFStream, SkipsBeyondTheFileFailWithoutMoving)
{
    NKFTestWriter w;
    for (int i = 0; i < 4; i++) w.Int(i);  // word i
    std::string path = NKFTestPath("stream_skip.bin");
    ASSERT_TRUE(NKTestWriteBytes(path, w.Data()));
    NKFStream stream;
    ASSERT_TRUE(stream.Open(path.c_str()));
    EXPECT_TRUE(stream.Skip(-5));  // nothing to do
    EXPECT_TRUE(stream.Skip(4));
    EXPECT_EQ(12, stream.BytesLeft());
    EXPECT_FALSE(stream.Skip(13));
    EXPECT_EQ(4, stream.GetPosition());
    int32_t aiBig[2];
    EXPECT_FALSE(stream.ReadInts(aiBig, (int64_t)1 << 40));  // never attempted
}

TEST(NKFStream, LinesComeWholeWithoutTheirLineEnds)
{
    std::string longLine(70000, 'z');
    std::string path = NKFTestPath("stream_lines.txt");
    ASSERT_TRUE(NKTestWriteText(path, "a b\r\n" + longLine + "\nlast"));
    NKFStream stream;
    ASSERT_TRUE(stream.Open(path.c_str()));
    const char *psz = nullptr;
    int64_t n = 0;
    ASSERT_TRUE(stream.ReadLine(&psz, &n));
    EXPECT_STREQ("a b", psz);
    ASSERT_TRUE(stream.ReadLine(&psz, &n));
    EXPECT_EQ(70000, n);
    ASSERT_TRUE(stream.ReadLine(&psz, &n));
    EXPECT_STREQ("last", psz);
    EXPECT_FALSE(stream.ReadLine(&psz, &n));
}

TEST(NKFStream, LinesAcrossTheBufferReadAgainAfterMovesAndMixWithRawReads)
{
    // Short lines across several buffer fills, one line longer than a
    // buffer, CR LF ends and a last line without its end.
    std::vector<std::string> lines;
    std::string text;
    for (int i = 0; i < 300000; i++) {
        lines.push_back(std::to_string(i * 7919LL) + " " + std::to_string(i));
        text += lines.back() + (i % 3 == 0 ? "\r\n" : "\n");
        if (i == 150000) {
            lines.push_back(std::string(3 << 20, 'q'));
            text += lines.back() + "\n";
        }
    }
    lines.push_back("end");
    text += "end";
    std::string path = NKFTestPath("stream_buffer.txt");
    ASSERT_TRUE(NKTestWriteText(path, text));
    NKFStream stream;
    ASSERT_TRUE(stream.Open(path.c_str()));
    std::vector<int64_t> starts;
    const char *psz = nullptr;
    int64_t n = 0;
    for (size_t i = 0; i < lines.size(); i++) {
        starts.push_back(stream.GetPosition());
        ASSERT_TRUE(stream.ReadLine(&psz, &n)) << i;
        ASSERT_EQ((size_t)n, lines[i].size()) << i;
        ASSERT_EQ(psz[n], 0) << i;
        ASSERT_EQ(std::string(psz, (size_t)n), lines[i]) << i;
    }
    EXPECT_FALSE(stream.ReadLine(&psz, &n));
    EXPECT_EQ(stream.GetPosition(), (int64_t)text.size());
    // Back to lines read before, inside and outside what the buffer holds:
    // each comes again whole, and so does the line after it.
    for (size_t i : {lines.size() - 2, lines.size() - 5, (size_t)10, (size_t)150001, (size_t)0}) {
        ASSERT_TRUE(stream.SetPosition(starts[i]));
        for (size_t k = i; k < i + 2 && k < lines.size(); k++) {
            ASSERT_TRUE(stream.ReadLine(&psz, &n));
            EXPECT_EQ(std::string(psz, (size_t)n), lines[k]) << k;
        }
    }
    // Raw reads and skips go on where the lines stopped.
    ASSERT_TRUE(stream.SetPosition(starts[5]));
    ASSERT_TRUE(stream.ReadLine(&psz, &n));
    char ac[4] = {};
    ASSERT_TRUE(stream.ReadRaw(ac, 3));
    EXPECT_EQ(std::string(ac, 3), text.substr((size_t)starts[6], 3));
    ASSERT_TRUE(stream.Skip(2));
    EXPECT_EQ(stream.GetPosition(), starts[6] + 5);
    ASSERT_TRUE(stream.SetPosition(starts[7]));
    ASSERT_TRUE(stream.ReadLine(&psz, &n));
    EXPECT_EQ(std::string(psz, (size_t)n), lines[7]);
}

TEST(NKFStream, LinesOfSmallFilesComeWholeAfterARawHead)
{
    // The line buffer starts at the size of what is left of a small file:
    // the last line (with or without its end) comes whole at every size
    // around the smallest buffer, also when raw bytes were read first.
    struct Case {
        size_t iSize;    // bytes of the file
        int iRawBytes;   // raw bytes read before the lines
        bool bFinalEnd;  // the file ends with a line end
    };
    const Case aCases[] = {{1, 0, false},    {4095, 0, true}, {4096, 0, false}, {4097, 0, true},
                           {4097, 4, false}, {5000, 8, true}, {9000, 8, false}, {40000, 2, true}};
    for (const Case &c : aCases) {
        // Lines of 1 to 99 characters, then one that fills the rest.
        std::vector<std::string> lines;
        std::string text(c.iRawBytes, 'H');
        size_t iBody = c.iSize - (c.bFinalEnd ? 1 : 0);
        for (int i = 1; text.size() + (size_t)(i % 100) + 1 < iBody / 2; i++) {
            lines.push_back(std::string((size_t)(i % 100), (char)('a' + i % 26)));
            text += lines.back() + "\n";
        }
        lines.push_back(std::string(iBody > text.size() ? iBody - text.size() : 0, 'L'));
        text += lines.back() + (c.bFinalEnd ? "\n" : "");
        std::string path = NKFTestPath("stream_small.txt");
        ASSERT_TRUE(NKTestWriteText(path, text));
        NKFStream stream;
        ASSERT_TRUE(stream.Open(path.c_str()));
        char acHead[8] = {};
        ASSERT_TRUE(stream.ReadRaw(acHead, c.iRawBytes));
        const char *psz = nullptr;
        int64_t n = 0;
        for (size_t i = 0; i < lines.size(); i++) {
            ASSERT_TRUE(stream.ReadLine(&psz, &n)) << c.iSize << " line " << i;
            ASSERT_EQ(std::string(psz, (size_t)n), lines[i]) << c.iSize << " line " << i;
        }
        EXPECT_FALSE(stream.ReadLine(&psz, &n)) << c.iSize;
        EXPECT_EQ(stream.GetPosition(), (int64_t)text.size()) << c.iSize;
    }
}

TEST(NKFScan, QuickWordsReadAsTheGeneralWay)
{
    // Integers of up to nine digits are converted as they are walked; longer
    // ones, signs, and words with other characters go the general way.
    struct Case {
        const char *pszText;
        NKFWordScan eResult;
        int32_t iValue;
    } cases[] = {{"7", NKF_WORD_NUMBER, 7},
                 {" -123456789,", NKF_WORD_NUMBER, -123456789},
                 {"999999999\t", NKF_WORD_NUMBER, 999999999},
                 {"2147483647", NKF_WORD_NUMBER, 2147483647},
                 {"-2147483648", NKF_WORD_NUMBER, -2147483647 - 1},
                 {"2147483648", NKF_WORD_ILLEGAL, 0},
                 {"0000000000012", NKF_WORD_NUMBER, 12},
                 {"+5", NKF_WORD_NUMBER, 5},
                 {"12x", NKF_WORD_ILLEGAL, 0},
                 {"-", NKF_WORD_ILLEGAL, 0},
                 {"1.5", NKF_WORD_ILLEGAL, 0},
                 {"  ", NKF_WORD_MISSING, 0}};
    for (const Case &c : cases) {
        const char *p = c.pszText;
        int32_t iValue = 0;
        EXPECT_EQ(NKFScanIntWord(&p, &iValue), c.eResult) << c.pszText;
        if (c.eResult == NKF_WORD_NUMBER) {
            EXPECT_EQ(iValue, c.iValue) << c.pszText;
        }
    }
    // Floats go straight to float: the nearest float to the written value.
    struct FloatCase {
        const char *pszText;
        NKFWordScan eResult;
        float fValue;
    } floats[] = {{"0.1", NKF_WORD_NUMBER, 0.1f},
                  {"-1.17549435e-38", NKF_WORD_NUMBER, -1.17549435e-38f},
                  {"3.4028235e38", NKF_WORD_NUMBER, 3.4028235e38f},
                  {"1e-50", NKF_WORD_NUMBER, 0.0f},
                  {"1e39", NKF_WORD_ILLEGAL, 0.0f},
                  {"inf", NKF_WORD_ILLEGAL, 0.0f},
                  {"nan", NKF_WORD_ILLEGAL, 0.0f},
                  {"16777217", NKF_WORD_NUMBER, 16777216.0f},
                  {"1.5e", NKF_WORD_ILLEGAL, 0.0f}};
    for (const FloatCase &c : floats) {
        const char *p = c.pszText;
        float fValue = -1.0f;
        EXPECT_EQ(NKFScanFloatWord(&p, &fValue), c.eResult) << c.pszText;
        if (c.eResult == NKF_WORD_NUMBER) {
            EXPECT_EQ(fValue, c.fValue) << c.pszText;
        }
    }
}

TEST(NKFScan, NumbersAreReadInOrderWhateverTheSeparators)
{
    const char *p = "  +12,-3\t1.5e3 , -0.25 x 7";
    int32_t a = 0, b = 0;
    float c = 0, d = 0;
    ASSERT_TRUE(NKFScanInt(&p, &a));
    ASSERT_TRUE(NKFScanInt(&p, &b));
    ASSERT_TRUE(NKFScanFloat(&p, &c));
    ASSERT_TRUE(NKFScanFloat(&p, &d));
    EXPECT_EQ(12, a);
    EXPECT_EQ(-3, b);
    EXPECT_EQ(1500.0f, c);
    EXPECT_EQ(-0.25f, d);
    int32_t e = 99;
    EXPECT_FALSE(NKFScanInt(&p, &e));  // "x" is no number: the cursor stays
    EXPECT_EQ(99, e);
}

TEST(NKFScan, OutOfRangeValuesDoNotWrap)
{
    const char *p = "1e39 99999999999";
    float f = 0;
    ASSERT_TRUE(NKFScanFloat(&p, &f));
    EXPECT_TRUE(std::isinf(f));
    int32_t i = 5;
    EXPECT_FALSE(NKFScanInt(&p, &i));
    EXPECT_EQ(5, i);
    EXPECT_EQ(0, NKFWordToInt("abc"));
    EXPECT_EQ(42, NKFWordToInt(" 42abc"));
    EXPECT_DOUBLE_EQ(0.5, NKFWordToDouble("0.5-"));
}

// Float words of every common written form, random and at the edges, scan to
// the float a correctly rounding conversion gives, and the cursor stops at
// the word's end; words beyond the float range are refused.
TEST(NKFScan, FloatWordsGiveTheCorrectlyRoundedFloat)
{
    std::vector<std::string> words = {"16777217",
                                      "16777219",
                                      "0.5",
                                      "5.",
                                      ".5",
                                      "-0.0",
                                      "1e-38",
                                      "1.1754942e-38",
                                      "1e-45",
                                      "3.4028235e38",
                                      "3.4028236e38",
                                      "123456789012345",
                                      "9007199254740993",
                                      "1E+05",
                                      "2.5e-3",
                                      "-7e22",
                                      "1e23",
                                      "0.000001",
                                      "33554431",
                                      "4e-1x"};
    std::mt19937 rng(52);
    const char *apszFormats[] = {"%.9g", "%.6g", "%.12e", "%.17g", "%.3f", "%g", "%.8e"};
    for (int i = 0; i < 20000; i++) {
        uint32_t uBits = rng();
        float f;
        std::memcpy(&f, &uBits, sizeof f);
        if (!std::isfinite(f)) continue;
        if (i % 2 == 0) f = std::ldexp((float)(rng() % 100000) / 1000.0f, (int)(rng() % 40) - 20);
        char acWord[128];
        snprintf(acWord, sizeof acWord, apszFormats[i % 7], (double)f);
        words.push_back(acWord);
        // Decimal digits with a random exponent, near float midpoints too.
        snprintf(acWord, sizeof acWord, "%llue%d", (unsigned long long)(rng() % 100000000000ull),
                 (int)(rng() % 60) - 30);
        words.push_back(acWord);
    }
    for (const std::string &word : words) {
        std::string line = " " + word + ",";
        const char *p = line.c_str();
        float fValue = -1.0f;
        NKFWordScan eScan = NKFScanFloatWord(&p, &fValue);
        float fExpected = 0.0f;
        auto r = std::from_chars(word.data(), word.data() + word.size(), fExpected);
        bool bWhole = r.ptr == word.data() + word.size();
        if (r.ec == std::errc() && bWhole) {
            ASSERT_EQ(eScan, NKF_WORD_NUMBER) << word;
            uint32_t uGot, uWanted;
            std::memcpy(&uGot, &fValue, 4);
            std::memcpy(&uWanted, &fExpected, 4);
            EXPECT_EQ(uGot, uWanted) << word;
            EXPECT_EQ(*p, ',') << word;
        } else if (!bWhole || r.ec == std::errc::invalid_argument) {
            EXPECT_EQ(eScan, NKF_WORD_ILLEGAL) << word;
        }
    }
}
