// tests/nkf/test_nkf_stream.cpp -- NKFStream's bulk reads in both byte
// orders, bounded skips, whole-line reads, and the locale-free number
// scanners of ASCII lines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
