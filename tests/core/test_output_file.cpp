// tests/core/test_output_file.cpp -- what a file written in one go replaces:
// links are written through, anything but a regular file is refused, and
// the temporary files a killed writer left are cleared once they are stale.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/nk_output_file.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

namespace {

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("nk_output_file_");
        ASSERT_FALSE(m_Dir.empty());
    }
    void TearDown() override { ASSERT_TRUE(NKTestRemoveDir(m_Dir)); }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    bool Write(const std::string &name, const char *pszText)
    {
        NKOutputFile out;
        if (!out.Open(Path(name).c_str())) return false;
        out.Printf("%s", pszText);
        return out.Commit();
    }
    // A file whose last change lies iAgeSeconds in the past.
    void Leave(const std::string &name, int iAgeSeconds)
    {
        ASSERT_TRUE(NKTestWriteText(Path(name), "left"));
        struct utimbuf times;
        times.actime = times.modtime = time(nullptr) - iAgeSeconds;
        ASSERT_EQ(utime(Path(name).c_str(), &times), 0);
    }
    std::string m_Dir;
};

TEST_F(OutputFileTest, LinksAreWrittenThroughAndStay)
{
    namespace fs = std::filesystem;
    fs::create_directory(Path("sub"));
    ASSERT_TRUE(NKTestWriteText(Path("sub/a.txt"), "old"));
    // A relative link is read from the link's own folder, and a chain of
    // links is followed to its end.
    fs::create_symlink("a.txt", Path("sub/to_a"));
    fs::create_symlink("sub/to_a", Path("chain"));
    fs::create_symlink(Path("sub/fresh.txt"), Path("absolute"));
    fs::create_symlink("loop2", Path("loop1"));
    fs::create_symlink("loop1", Path("loop2"));

    ASSERT_TRUE(Write("chain", "new"));
    EXPECT_EQ(NKTestReadFile(Path("sub/a.txt")), "new");
    EXPECT_TRUE(fs::is_symlink(Path("chain")));
    EXPECT_TRUE(fs::is_symlink(Path("sub/to_a")));
    ASSERT_TRUE(Write("absolute", "made"));
    EXPECT_EQ(NKTestReadFile(Path("sub/fresh.txt")), "made");

    MessageCapture capture;
    EXPECT_FALSE(Write("loop1", "x"));
    EXPECT_TRUE(capture.Contains(Path("loop1")));
    EXPECT_TRUE(fs::is_symlink(Path("loop1")));
}

TEST_F(OutputFileTest, WhatIsNotARegularFileIsRefusedAndNamed)
{
    namespace fs = std::filesystem;
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(Path("folder"));
    fs::create_symlink("fifo", Path("to_fifo"));
    for (const char *pszName : {"fifo", "folder", "to_fifo"}) {
        MessageCapture capture;
        EXPECT_FALSE(Write(pszName, "x")) << pszName;
        EXPECT_TRUE(capture.HasLine(Path(pszName) + " is not a regular file; it is not replaced.",
                                    NK_MSG_ERROR))
            << capture.Text();
    }
    EXPECT_TRUE(fs::is_fifo(Path("fifo")));
    EXPECT_TRUE(fs::is_empty(Path("folder")));
    // Nothing was left beside them.
    std::vector<std::string> names;
    for (const fs::directory_entry &e : fs::directory_iterator(m_Dir))
        names.push_back(e.path().filename());
    EXPECT_EQ(names.size(), 3u);
}

TEST_F(OutputFileTest, StaleTemporariesOfTheTargetAreRemoved)
{
    struct Case {
        const char *pszName;
        int iAgeSeconds;
        bool bRemoved;
    };
    const Case cases[] = {
        {"out.txt.tmpAb12Cd", 3600, true},     // left by a killed writer
        {"out.txt.tmpZZZZZZ", 90, true},       // just over a minute
        {"out.txt.tmpQw34Er", 5, false},       // maybe still being written
        {"other.txt.tmpAb12Cd", 3600, false},  // another target's
        {"out.txt.tmpAb12Cde", 3600, false},   // not a name the writer makes
        {"out.txt.tmp", 3600, false},
    };
    for (const Case &c : cases) Leave(c.pszName, c.iAgeSeconds);
    ASSERT_TRUE(Write("out.txt", "data"));
    for (const Case &c : cases)
        EXPECT_EQ(access(Path(c.pszName).c_str(), F_OK) != 0, c.bRemoved) << c.pszName;
    EXPECT_EQ(NKTestReadFile(Path("out.txt")), "data");
}

}  // namespace
