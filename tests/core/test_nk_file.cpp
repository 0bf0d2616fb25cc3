// tests/core/test_nk_file.cpp -- binary detection, whole-file reads, byte
// order, path parts,
// the argument scan, abbreviated paths, access tests, wildcard deletion and
// listing, and directory changes. Every file is made in a fresh temporary
// directory; the current directory is restored after each test.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("nk_file_test_");
        ASSERT_FALSE(m_Dir.empty());
        char *pszCwd = getcwd(nullptr, 0);
        m_OldCwd = pszCwd;
        std::free(pszCwd);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(m_OldCwd.c_str()), 0);
        ASSERT_TRUE(NKTestRemoveDir(m_Dir));
    }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    void Write(const std::string &name, const std::vector<unsigned char> &bytes)
    {
        ASSERT_TRUE(NKTestWriteBytes(Path(name), bytes));
    }
    void WriteText(const std::string &name, const std::string &text)
    {
        Write(name, std::vector<unsigned char>(text.begin(), text.end()));
    }
    bool Exists(const std::string &name) const { return access(Path(name).c_str(), F_OK) == 0; }
    // Opens a file of the given bytes for reading.
    FILE *Open(const std::vector<unsigned char> &bytes)
    {
        Write("probe.bin", bytes);
        return std::fopen(Path("probe.bin").c_str(), "rb");
    }

    std::string m_Dir;
    std::string m_OldCwd;
};

std::vector<unsigned char> Bytes(const std::string &text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

// ---- Binary detection ----------------------------------------------------

TEST_F(FileTest, AsciiTextIsNotBinaryAndFileIsRewound)
{
    FILE *pFile = Open(Bytes("*NODES\n1 0.0 1.0 2.0\r\n\ttab\f\n"));
    ASSERT_EQ(std::fseek(pFile, 3, SEEK_SET), 0);
    EXPECT_FALSE(IsBinaryFile(pFile));
    EXPECT_EQ(std::ftell(pFile), 0L);  // rewound for the reader
    std::fclose(pFile);
    EXPECT_FALSE(IsBinaryFile(nullptr));
}

TEST_F(FileTest, BinaryDecisionOfTheFirstKilobyte)
{
    struct Case {
        std::string bytes;
        bool bBinary;
        const char *pszWhat;
    };
    const Case cases[] = {
        {"", false, "empty file"},
        {std::string("plai\x05n text"), true, "one byte 0x05"},
        {"caf\xE9!", false, "Latin-1 byte 0xE9 is a letter"},
        {"Temp\xC3\xA9rature \xE2\x82\xAC 1.0\n", false, "valid UTF-8"},
        {std::string("\xC3\xA9\x01", 3), true, "UTF-8 with a byte 0x01"},
        {std::string(1023, 'a') + "\xC3\xA9 more", false, "UTF-8 cut at 1024 bytes"},
        {"abc\xE2\x82", false, "UTF-8 cut at the file's end"},
        {"\x80\xFF\xC0\xAF", false, "any byte 0x80 and above"},
        {std::string("ab\x06", 3), true, "0x06, the highest control byte no text uses"},
        {std::string("ab\x07\x08\x1B", 5), false, "bell, backspace, escape"},
        {std::string("ab\0", 3), true, "NUL"},
        {std::string(1024, 'x') + std::string(1, '\0'), false, "0x00 after 1024 bytes"},
    };
    for (const Case &c : cases) {
        FILE *pFile = Open(Bytes(c.bytes));
        EXPECT_EQ(IsBinaryFile(pFile), c.bBinary) << c.pszWhat;
        std::fclose(pFile);
    }
}

// ---- Whole-file reads ----------------------------------------------------

// A folder opens for reading and ftell gives it a size of LONG_MAX: every
// whole-file read goes through the helper, which takes regular files only
// and says why it refuses the rest.
TEST_F(FileTest, WholeFileReadsTakeRegularFilesOnly)
{
    WriteText("three.txt", "abc");
    WriteText("empty.txt", "");
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", Path("zero").c_str()), 0);
    ASSERT_EQ(symlink(Path("three.txt").c_str(), Path("link.txt").c_str()), 0);
    const struct {
        const char *pszName;
        bool bRead;
        const char *pszBytes, *pszWhy;
    } cases[] = {
        {"three.txt", true, "abc", ""},
        {"empty.txt", true, "", ""},
        {"folder", false, "", "it is a folder"},
        {"fifo", false, "", "it is not a regular file"},
        {"zero", false, "", "it is not a regular file"},
        {"link.txt", true, "abc", ""},
        {"missing.txt", false, "", "no such file"},
        {"three.txt/x", false, "", "a part of its path is not a folder"},
    };
    for (const auto &c : cases) {
        std::string bytes = "old", why = "old";
        EXPECT_EQ(NKReadWholeFile(Path(c.pszName).c_str(), &bytes, &why), c.bRead) << c.pszName;
        EXPECT_EQ(bytes, c.pszBytes) << c.pszName;
        EXPECT_EQ(why, c.pszWhy) << c.pszName;
        EXPECT_EQ(NKFileProblem(Path(c.pszName).c_str()), c.pszWhy) << c.pszName;
        // An input of no byte is no file of its kind.
        const std::string input = c.bRead && *c.pszBytes == '\0' ? "it is empty" : c.pszWhy;
        EXPECT_EQ(NKInputFileProblem(Path(c.pszName).c_str()), input) << c.pszName;
    }
    MessageCapture capture;
    NKPrintFileProblem(Path("folder").c_str());
    NKPrintFileProblem(Path("three.txt").c_str());
    EXPECT_TRUE(capture.HasLine("File \"" + Path("folder") + "\": it is a folder.", NK_MSG_ERROR));
    EXPECT_TRUE(capture.HasLine("File \"" + Path("three.txt") + "\".", NK_MSG_ERROR));
    // Where a write cannot go.
    EXPECT_EQ(NKWriteProblem(Path("folder").c_str()), "it is a folder");
    EXPECT_EQ(NKWriteProblem(Path("no/such.txt").c_str()), "its folder does not exist");
    EXPECT_EQ(NKWriteProblem(Path("new.txt").c_str()), "");
}

// An empty file's line comes marked as the one that leads the failure (a
// display with room for one line shows it); another problem's line does
// not, and while the output is off nothing comes, so nothing leads.
TEST_F(FileTest, AnEmptyFilesLineLeadsOnlyWhenItIsShown)
{
    WriteText("empty.txt", "");
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0700), 0);
    const std::string empty = "File \"" + Path("empty.txt") + "\": it is empty.";
    const struct {
        const char *pszName;
        bool bOutputOn;
        std::string line;
        bool bLead;
    } cases[] = {
        {"empty.txt", true, empty, true},
        {"folder", true, "File \"" + Path("folder") + "\": it is a folder.", false},
        {"empty.txt", false, "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pszName) + (c.bOutputOn ? "" : ", output off"));
        MessageCapture capture;
        if (!c.bOutputOn) NKToggleMessageOutput(false);
        const std::string path = Path(c.pszName);
        NKPrintFileProblem(path.c_str(), NKInputFileProblem(path.c_str()).c_str());
        if (!c.bOutputOn) NKToggleMessageOutput(true);
        EXPECT_EQ(capture.Text(), c.line);
        for (const CapturedLine &line : capture.Lines()) {
            EXPECT_EQ(line.iLevel, NK_MSG_ERROR);
            EXPECT_EQ(line.bLead, c.bLead);
        }
    }
}

// ---- Byte order ----------------------------------------------------------

TEST_F(FileTest, ByteOrderOfTheFirstWord)
{
    struct Case {
        std::vector<unsigned char> bytes;
        int iLow, iHigh;
        bool bSwap;
        const char *pszWhat;
    };
    const Case cases[] = {
        {{5, 0, 0, 0, 9, 9}, 1, 100, false, "little-endian 5"},
        {{0, 0, 0, 5}, 1, 100, true, "big-endian 5"},
        {{0, 0, 0, 0}, 0, 0, true, "0 fits both ways: swapped"},
        {{0x68, 0x87, 0x03, 0x00}, 231272, 231272, false, "NKF magic, little-endian"},
        {{0x00, 0x03, 0x87, 0x68}, 231272, 231272, true, "NKF magic, big-endian"},
    };
    for (const Case &c : cases) {
        FILE *pFile = Open(c.bytes);
        EXPECT_EQ(NeedsByteSwap(pFile, c.iLow, c.iHigh), c.bSwap) << c.pszWhat;
        EXPECT_EQ(std::ftell(pFile), 0L);
        std::fclose(pFile);
    }
}

TEST_F(FileTest, UndecidableOrderIsReportedAndFalse)
{
    MessageCapture capture;
    FILE *pFile = Open({0x10, 0x20, 0x30, 0x40});
    EXPECT_FALSE(NeedsByteSwap(pFile, 1, 100));
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_TRUE(capture.HasLine("Error in file. Can't decide if little-endian.", NK_MSG_ERROR));
    std::fclose(pFile);
    pFile = Open({0, 0});  // shorter than a word
    EXPECT_FALSE(NeedsByteSwap(pFile, 0, 0));
    EXPECT_EQ(capture.Lines().size(), 2u);
    std::fclose(pFile);
}

TEST_F(FileTest, DecidableOrderComposesNoMessage)
{
    MessageCapture capture;
    FILE *pFile = Open({0, 0, 0, 5});
    EXPECT_TRUE(NeedsByteSwap(pFile, 1, 100));
    EXPECT_TRUE(capture.Lines().empty());
    std::fclose(pFile);
}

TEST(FileSwap, FourByteItems)
{
    unsigned char b[4] = {1, 2, 3, 4};
    SwapBytes(b, 4, 1);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 4), (std::vector<unsigned char>{4, 3, 2, 1}));
}

TEST(FileSwap, FourByteRunsOfEveryLengthFromAnyStart)
{
    // Runs that end inside and after the blocks of four words swapped at
    // once, from a start off the words' alignment.
    for (int iCount : {2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 1003}) {
        std::vector<unsigned char> b(4 * (size_t)iCount + 1), expected;
        for (size_t k = 0; k < b.size(); k++) b[k] = (unsigned char)(k * 7 + 1);
        expected = b;
        for (int w = 0; w < iCount; w++)
            std::reverse(expected.begin() + 1 + 4 * w, expected.begin() + 5 + 4 * w);
        SwapBytes(b.data() + 1, 4, iCount);
        EXPECT_EQ(b, expected) << iCount << " words";
    }
}

TEST(FileSwap, TwoByteItems)
{
    unsigned char b[4] = {1, 2, 3, 4};
    SwapBytes(b, 2, 2);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 4), (std::vector<unsigned char>{2, 1, 4, 3}));
}

TEST(FileSwap, EightByteItems)
{
    double d[2] = {1.5, -2.25};
    unsigned char expected[16];
    const unsigned char *p = reinterpret_cast<const unsigned char *>(d);
    for (int i = 0; i < 2; i++)
        for (int k = 0; k < 8; k++) expected[i * 8 + k] = p[i * 8 + 7 - k];
    SwapBytes(d, 8, 2);
    EXPECT_EQ(std::memcmp(d, expected, 16), 0);
    SwapBytes(d, 8, 2);
    EXPECT_EQ(d[0], 1.5);
    EXPECT_EQ(d[1], -2.25);
}

TEST(FileSwap, OddSizedItems)
{
    unsigned char b[6] = {1, 2, 3, 4, 5, 6};
    SwapBytes(b, 3, 2);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 6), (std::vector<unsigned char>{3, 2, 1, 6, 5, 4}));
}

TEST(FileSwap, SizesOutsideOneToThirtyTwoChangeNothing)
{
    unsigned char b[64];
    for (int i = 0; i < 64; i++) b[i] = static_cast<unsigned char>(i);
    unsigned char original[64];
    std::memcpy(original, b, 64);
    SwapBytes(b, 1, 4);
    SwapBytes(b, 33, 1);
    SwapBytes(b, -4, 1);
    SwapBytes(b, 4, 0);
    SwapBytes(nullptr, 4, 3);
    EXPECT_EQ(std::memcmp(b, original, 64), 0);
    SwapBytes(b, 32, 1);  // 32 is still allowed
    EXPECT_EQ(b[0], 31);
    EXPECT_EQ(b[31], 0);
}

TEST(FileSwap, BulkFloatArrayMatchesPerWordReversal)
{
    const int n = 1001;
    std::vector<float> values(n), swapped(n);
    for (int i = 0; i < n; i++) values[i] = 0.5f * i - 17.25f;
    swapped = values;
    SwapBytes(swapped.data(), sizeof(float), n);
    for (int i = 0; i < n; i++) {
        const unsigned char *a = reinterpret_cast<const unsigned char *>(&values[i]);
        const unsigned char *b = reinterpret_cast<const unsigned char *>(&swapped[i]);
        ASSERT_TRUE(a[0] == b[3] && a[1] == b[2] && a[2] == b[1] && a[3] == b[0]) << i;
    }
    SwapBytes(swapped.data(), sizeof(float), n);
    EXPECT_EQ(swapped, values);
}

// ---- Path parts ----------------------------------------------------------

TEST(FilePath, SplitPathAtLastSeparatorOfEitherKind)
{
    char szDir[64], szName[64];
    NKSplitPath("dir/sub\\file.txt", szDir, szName, 64);
    EXPECT_STREQ(szDir, "dir/sub\\");
    EXPECT_STREQ(szName, "file.txt");
}

TEST(FilePath, SplitPathWithoutSeparator)
{
    char szDir[64] = "old", szName[64] = "old";
    NKSplitPath("file.txt", szDir, szName, 64);
    EXPECT_STREQ(szDir, "");
    EXPECT_STREQ(szName, "file.txt");
}

TEST(FilePath, SplitPathLeavesTooLongPartsEmpty)
{
    char szDir[64], szName[64];
    NKSplitPath("d/averylongname.txt", szDir, szName, 8);
    EXPECT_STREQ(szDir, "d/");
    EXPECT_STREQ(szName, "");
    NKSplitPath("dir/", szDir, szName, 8);  // separator last: no name
    EXPECT_STREQ(szDir, "dir/");
    EXPECT_STREQ(szName, "");
}

TEST(FilePath, SplitPathOfNullOrEmptyTouchesNothing)
{
    char szDir[8] = "keep", szName[8] = "keep";
    NKSplitPath(nullptr, szDir, szName, 8);
    NKSplitPath("", szDir, szName, 8);
    EXPECT_STREQ(szDir, "keep");
    EXPECT_STREQ(szName, "keep");
    NKSplitPath("a/b", nullptr, szName, 8);  // one output is enough
    EXPECT_STREQ(szName, "b");
}

TEST(FilePath, FileDirectoryKeepsSeparatorAndCountsName)
{
    char szDir[64], szName[64];
    EXPECT_EQ(NKGetFileDirectory("/data/run\\model.nkf", szDir, szName), 10);
    EXPECT_STREQ(szDir, "/data/run\\");
    EXPECT_STREQ(szName, "model.nkf");
    EXPECT_EQ(NKGetFileDirectory("model.nkf", szDir, nullptr), 10);
    EXPECT_STREQ(szDir, "");
    EXPECT_EQ(NKGetFileDirectory(nullptr, szDir, szName), 0);
}

TEST_F(FileTest, FullPathResolvesRelativeParts)
{
    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    NKString full;
    ASSERT_TRUE(NKGetFullPath("sub/../x\\y.txt", &full));
    EXPECT_EQ(std::string(full.GetText()), m_Dir + "/x/y.txt");
    ASSERT_TRUE(NKGetFullPath("/a/./b/../c", &full));
    EXPECT_STREQ(full.GetText(), "/a/c");
    EXPECT_FALSE(NKGetFullPath("", &full));
    EXPECT_FALSE(NKGetFullPath(nullptr, &full));
}

TEST(FilePath, ExtensionOfTheFileNameOnly)
{
    EXPECT_STREQ(NKGetFileExtension("model.nkf").GetText(), ".nkf");
    EXPECT_STREQ(NKGetFileExtension("a.b\\c").GetText(), "");
    EXPECT_STREQ(NKGetFileExtension("a.b/c.tar.gz").GetText(), ".gz");
    EXPECT_STREQ(NKGetFileExtension(nullptr).GetText(), "");
}

TEST(FilePath, ReplaceExtension)
{
    NKString path("x.tif");
    EXPECT_TRUE(NKReplaceFileExtension(path, NKString("gif")));
    EXPECT_STREQ(path.GetText(), "x.gif");
    NKString bare("x");
    EXPECT_FALSE(NKReplaceFileExtension(bare, NKString("gif")));
    EXPECT_STREQ(bare.GetText(), "x");
}

TEST(FilePath, ReplaceExtensionIgnoresDotInDirectory)
{
    NKString path("run.v2/model");
    EXPECT_FALSE(NKReplaceFileExtension(path, NKString("nkf")));
    EXPECT_STREQ(path.GetText(), "run.v2/model");
}

TEST(FilePath, QuoteStringRemovesInnerQuotesAndTrims)
{
    EXPECT_STREQ(NKQuoteString(NKString("  my \"file\".nkf ")).GetText(), "\"my file.nkf\"");
    EXPECT_STREQ(NKQuoteString(NKString()).GetText(), "\"\"");
}

// ---- Argument scan -------------------------------------------------------

TEST(FileArguments, QuotedFileNameIsOneArgument)
{
    char szLine[] = "PARAMS \"my model.nkf\" 3";
    char *pszTok = NKTokenize(szLine, " ");
    EXPECT_STREQ(pszTok, "PARAMS");
    char *pszArg = NKGetNextArgument(pszTok);
    EXPECT_STREQ(pszArg, "my model.nkf");
    EXPECT_STREQ(NKTokenize(nullptr, " "), "3");
    EXPECT_EQ(NKTokenize(nullptr, " "), nullptr);
    EXPECT_EQ(NKGetNextArgument(pszArg), nullptr);
}

TEST(FileArguments, BlankBeforeQuoteIsSkippedOnce)
{
    char szLine[] = "PARAMS  \"a b\" rest of it";
    char *pszTok = NKTokenize(szLine, " ");
    EXPECT_STREQ(NKGetNextArgument(pszTok), "a b");
    EXPECT_STREQ(NKGetTokenRest(), " rest of it");
}

TEST(FileArguments, WithoutQuotesTheNextTokenIsTaken)
{
    char szLine[] = "PARAMS model.nkf 2";
    char *pszTok = NKTokenize(szLine, " ");
    pszTok = NKGetNextArgument(pszTok);
    EXPECT_STREQ(pszTok, "model.nkf");
    EXPECT_STREQ(NKGetNextArgument(pszTok), "2");
}

TEST(FileArguments, LastTokenAtLineEndIsSafe)
{
    char szLine[] = "PARAMS";
    char *pszTok = NKTokenize(szLine, " ");
    EXPECT_STREQ(pszTok, "PARAMS");
    EXPECT_EQ(NKGetNextArgument(pszTok), nullptr);
    EXPECT_STREQ(NKGetTokenRest(), "");
    EXPECT_EQ(NKGetNextArgument(nullptr), nullptr);
}

// ---- Abbreviated paths ---------------------------------------------------

TEST(FileAbbreviate, PathInCurrentDirectoryGivesName)
{
    EXPECT_STREQ(
        NKAbbreviatePath(NKString("/home/user/models/beam.nkf"), NKString("/home/user/models"))
            .GetText(),
        "beam.nkf");
    EXPECT_STREQ(
        NKAbbreviatePath(NKString("/home/user/models/beam.nkf"), NKString("/home/user/models/"))
            .GetText(),
        "beam.nkf");
}

TEST(FileAbbreviate, ShortPathElsewhereIsUnchanged)
{
    std::string path = "/home/user/data/abcdefghijklmn/beam.nkf";
    ASSERT_EQ(path.size(), 39u);
    EXPECT_EQ(std::string(NKAbbreviatePath(NKString(path.c_str()), NKString("/tmp")).GetText()),
              path);
}

TEST(FileAbbreviate, LongPathWithShortNameKeepsHeadMarkerAndName)
{
    NKString path("/home/user/projects/crash/frontal/run42/results/beam.nkf");
    std::string result = NKAbbreviatePath(path, NKString("/tmp")).GetText();
    EXPECT_LT(result.size(), 40u);
    EXPECT_EQ(result.rfind("/home/user/", 0), 0u) << result;
    EXPECT_NE(result.find("/.../"), std::string::npos) << result;
    EXPECT_EQ(result, "/home/user/.../run42/results/beam.nkf");
}

TEST(FileAbbreviate, BackslashesBecomeSlashes)
{
    NKString path("C:\\Users\\anna\\projects\\crash\\frontal\\run42\\beam.nkf");
    std::string result = NKAbbreviatePath(path, NKString("/tmp")).GetText();
    EXPECT_EQ(result.rfind("C:/Users/.../", 0), 0u) << result;
    EXPECT_EQ(result.find('\\'), std::string::npos);
    EXPECT_LT(result.size(), 40u);
}

TEST(FileAbbreviate, LongNameGivesNameAlone)
{
    std::string name(40, 'n');
    NKString path(("/a/b/c/" + name).c_str());
    EXPECT_EQ(std::string(NKAbbreviatePath(path, NKString("/x")).GetText()), name);
}

TEST(FileAbbreviate, HeadMarkerAndNameTooLongForAnyDirectory)
{
    std::string name(30, 'n');
    NKString path(("/home/user/c/d/" + name).c_str());
    EXPECT_EQ(std::string(NKAbbreviatePath(path, NKString("/x")).GetText()),
              "/home/user/.../" + name);
}

TEST(FileAbbreviate, OneDirectoryGivesName)
{
    std::string dir(30, 'd');
    NKString path(("/" + dir + "/short.nkf").c_str());
    EXPECT_STREQ(NKAbbreviatePath(path, NKString("/x")).GetText(), "short.nkf");
}

TEST(FileAbbreviate, NothingBetweenHeadAndNameGivesName)
{
    // The first two components are all the directory there is, so no
    // marker can shorten the path.
    std::string dir(20, 'd');
    NKString path(("/home/" + dir + "/a-rather-long-name.nkf").c_str());
    ASSERT_GE(path.GetLength(), 40);
    EXPECT_STREQ(NKAbbreviatePath(path, NKString("/x")).GetText(), "a-rather-long-name.nkf");
    NKString windows(("C:\\" + dir + "\\a-rather-long-name.nkf").c_str());
    EXPECT_STREQ(NKAbbreviatePath(windows, NKString("/x")).GetText(), "a-rather-long-name.nkf");
}

// ---- Files and directories -----------------------------------------------

TEST_F(FileTest, FileSizeFromStatus)
{
    Write("five.bin", {1, 2, 3, 4, 5});
    EXPECT_EQ(NKGetFileSize(Path("five.bin").c_str()), 5);
    EXPECT_EQ(NKGetFileSize(Path("missing").c_str()), 0);
    EXPECT_EQ(NKGetFileSize(nullptr), 0);
}

TEST_F(FileTest, AccessModes)
{
    WriteText("f.txt", "x");
    std::string f = Path("f.txt");
    EXPECT_TRUE(NKTestFileAccess(f.c_str(), NK_ACCESS_READ));
    EXPECT_TRUE(NKTestFileAccess(f.c_str(), NK_ACCESS_WRITE));
    EXPECT_TRUE(NKTestFileAccess(f.c_str(), NK_ACCESS_READ_WRITE));
    EXPECT_TRUE(NKTestFileAccess(f.c_str(), NK_ACCESS_EXISTS));
    EXPECT_FALSE(NKTestFileAccess(f.c_str(), 4));
    EXPECT_FALSE(NKTestFileAccess(Path("none").c_str(), NK_ACCESS_EXISTS));
    EXPECT_FALSE(NKTestFileAccess(nullptr, NK_ACCESS_EXISTS));
}

TEST_F(FileTest, AccessOfReadOnlyFile)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
    WriteText("ro.txt", "x");
    ASSERT_EQ(chmod(Path("ro.txt").c_str(), 0444), 0);
    EXPECT_TRUE(NKCheckFileAccess(Path("ro.txt").c_str(), true, false));
    EXPECT_FALSE(NKCheckFileAccess(Path("ro.txt").c_str(), false, true));
}

TEST_F(FileTest, CheckAccessOfMissingFileLooksAtItsDirectory)
{
    WriteText("f.txt", "x");
    EXPECT_TRUE(NKCheckFileAccess(Path("f.txt").c_str(), false, false));
    EXPECT_TRUE(NKCheckFileAccess(Path("f.txt").c_str(), true, true));
    EXPECT_FALSE(NKCheckFileAccess(Path("new.txt").c_str(), true, false));
    EXPECT_TRUE(NKCheckFileAccess(Path("new.txt").c_str(), false, true));
    EXPECT_FALSE(NKCheckFileAccess(Path("nodir/new.txt").c_str(), false, true));
    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    EXPECT_TRUE(NKCheckFileAccess("new.txt", false, true));  // "." is its directory
}

TEST_F(FileTest, DeleteFilesByWildcardKeepsOthersAndDirectories)
{
    WriteText("a.tmp", "a");
    WriteText("b.tmp", "b");
    WriteText("c.txt", "c");
    ASSERT_EQ(mkdir(Path("d.tmp").c_str(), 0755), 0);
    EXPECT_EQ(NKDeleteFiles((m_Dir + "\\*.tmp").c_str()), 2);
    EXPECT_FALSE(Exists("a.tmp"));
    EXPECT_FALSE(Exists("b.tmp"));
    EXPECT_TRUE(Exists("c.txt"));
    EXPECT_TRUE(Exists("d.tmp"));
}

TEST_F(FileTest, StarDotStarDeletesEveryFile)
{
    WriteText("a.tmp", "a");
    WriteText("noext", "b");
    WriteText(".hidden", "c");
    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    EXPECT_EQ(NKDeleteFiles("*.*"), 3);
    EXPECT_FALSE(Exists("noext"));
    EXPECT_EQ(NKDeleteFiles("*.*"), 0);
    EXPECT_EQ(NKDeleteFiles("/no/such/dir/*"), 0);
}

TEST_F(FileTest, ChangeAndReadCurrentDirectory)
{
    ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
    NKString current;
    EXPECT_TRUE(NKChangeDirectory(NKString(Path("sub").c_str()), &current));
    EXPECT_EQ(std::string(current.GetText()), Path("sub"));
    EXPECT_FALSE(NKChangeDirectory(NKString(Path("none").c_str()), &current));
    EXPECT_EQ(std::string(current.GetText()), Path("sub"));  // still there
    NKString read;
    ASSERT_TRUE(NKGetCurrentDirectory(&read));
    EXPECT_EQ(std::string(read.GetText()), Path("sub"));
    EXPECT_FALSE(NKGetCurrentDirectory(nullptr));
}

TEST_F(FileTest, ChangeToFileDirectory)
{
    ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
    EXPECT_TRUE(NKChangeToFileDirectory((m_Dir + "\\sub\\model.nkf").c_str()));
    NKString current;
    NKGetCurrentDirectory(&current);
    EXPECT_EQ(std::string(current.GetText()), Path("sub"));
    EXPECT_FALSE(NKChangeToFileDirectory("model.nkf"));
    NKGetCurrentDirectory(&current);
    EXPECT_EQ(std::string(current.GetText()), Path("sub"));
}

TEST_F(FileTest, AbsolutePathOfTheDirectoryPart)
{
    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    EXPECT_EQ(std::string(NKGetAbsolutePath("sub/model.nkf").GetText()), Path("sub"));
    EXPECT_EQ(std::string(NKGetAbsolutePath("\" sub\\deep/x.nkf").GetText()), Path("sub/deep"));
    EXPECT_EQ(std::string(NKGetAbsolutePath("model.nkf").GetText()), m_Dir);
    EXPECT_STREQ(NKGetAbsolutePath("/usr/../etc/x").GetText(), "/etc");
    EXPECT_STREQ(NKGetAbsolutePath("/x").GetText(), "/");
    EXPECT_STREQ(NKGetAbsolutePath(nullptr).GetText(), "");
}

TEST_F(FileTest, FinderListsMatchesSortedWithoutDotEntries)
{
    WriteText("d3plot02", "");
    WriteText("d3plot", "");
    WriteText("d3plot01", "");
    WriteText("other", "");
    NKFileFinder finder;
    std::vector<std::string> names;
    for (NKString name = finder.FindFirst(Path("d3plot*").c_str()); !name.IsEmpty();
         name = finder.FindNext())
        names.push_back(name.GetText());
    EXPECT_EQ(names, (std::vector<std::string>{"d3plot", "d3plot01", "d3plot02"}));
    EXPECT_TRUE(finder.IsOpen());
    EXPECT_TRUE(finder.Close());
    EXPECT_FALSE(finder.IsOpen());
    EXPECT_STREQ(finder.FindNext().GetText(), "");

    ASSERT_EQ(chdir(m_Dir.c_str()), 0);
    NKFileFinder all;
    int iCount = 0;
    for (NKString name = all.FindFirst("*.*"); !name.IsEmpty(); name = all.FindNext()) {
        EXPECT_STRNE(name.GetText(), ".");
        EXPECT_STRNE(name.GetText(), "..");
        iCount++;
    }
    EXPECT_EQ(iCount, 4);
}

TEST_F(FileTest, FinderWithoutMatchPrintsErrorCode)
{
    NKFileFinder finder;
    testing::internal::CaptureStdout();
    NKString name = finder.FindFirst(Path("*.none").c_str());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_STREQ(name.GetText(), "");
    EXPECT_EQ(out, "\nError: 2\n");
    EXPECT_FALSE(finder.IsOpen());
}

}  // namespace
