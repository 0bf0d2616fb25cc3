// tests/commands/test_macros.cpp -- the macro list and the commands
// `macro list` and `macro run`: registered macros run as command files.
#include "tests/commands/command_file_fixture.h"

namespace {

using Macros = CommandFileTest;

}  // namespace

TEST_F(Macros, EmptyList)
{
    EXPECT_EQ(ExecuteCommand("macro list"), 0);
    EXPECT_TRUE(m_Capture.HasLine("No macros currently registered", NK_MSG_INFO));
    EXPECT_EQ(ExecuteCommand("macro run 1"), 1);
    EXPECT_EQ(g_MacroList.FindById(1), -1);
}

TEST_F(Macros, ListShowsEveryMacro)
{
    g_MacroList.Add(1, "first", "/path/a.qlc");
    g_MacroList.Add(5, "second", "b c.qlc");
    EXPECT_EQ(ExecuteCommand("macro list"), 0);
    EXPECT_TRUE(m_Capture.HasLine("Registered macros (# 2)"));
    EXPECT_TRUE(m_Capture.HasLine("  1: first  (/path/a.qlc)"));
    EXPECT_TRUE(m_Capture.HasLine("  5: second  (b c.qlc)"));
    NKString text;
    g_MacroList.ListText(&text);
    EXPECT_STREQ(text.GetText(), "  1: first  (/path/a.qlc)\n  5: second  (b c.qlc)");
}

TEST_F(Macros, RunRunsTheFileAsACommandFile)
{
    Write("my dir/m.qlc", "xctest m\n");
    g_MacroList.Add(5, "second", "my dir/m.qlc");
    EXPECT_EQ(ExecuteCommand("macro run 5"), 0);
    EXPECT_EQ(Ran(), Record({"m"}));
    EXPECT_TRUE(m_Capture.HasLine("Running macro second", NK_MSG_INFO));
}

TEST_F(Macros, RunWithoutIdOrWithAWord)
{
    g_MacroList.Add(1, "first", "a.qlc");
    EXPECT_EQ(ExecuteCommand("macro run"), 1);
    EXPECT_TRUE(m_Capture.HasLine("macro run: No parameters specified", NK_MSG_ERROR));
    EXPECT_EQ(ExecuteCommand("macro run abc"), 1);
    EXPECT_TRUE(
        m_Capture.HasLine("macro run: Illegal ID specification, ID must be >= 1", NK_MSG_ERROR));
}

TEST_F(Macros, DeletedFileIsReported)
{
    g_MacroList.Add(3, "gone", "gone.qlc");
    EXPECT_EQ(ExecuteCommand("macro run 3"), 1);
    EXPECT_TRUE(m_Capture.HasLine("Unable to execute macro, file not found.", NK_MSG_ERROR));
    EXPECT_TRUE(m_Capture.HasLine("  name: gone"));
    EXPECT_TRUE(m_Capture.HasLine("  file: gone.qlc"));
    EXPECT_TRUE(m_Capture.HasLine("macro run: Error executing macro ID: 3", NK_MSG_ERROR));
}

TEST_F(Macros, FirstMacroWithTheIdRuns)
{
    Write("one.qlc", "xctest one\n");
    Write("two.qlc", "xctest two\n");
    g_MacroList.Add(2, "one", "one.qlc");
    g_MacroList.Add(2, "two", "two.qlc");
    EXPECT_EQ(ExecuteCommand("macro run 2"), 0);
    EXPECT_EQ(Ran(), Record({"one"}));
}

TEST_F(Macros, ListAccess)
{
    EXPECT_FALSE(g_MacroList.Add(0, "zero", "z.qlc"));
    g_MacroList.Add(4, "four", "f.qlc");
    EXPECT_EQ(g_MacroList.FindById(-1), -1);
    EXPECT_EQ(g_MacroList.FindById(4), 0);
    EXPECT_EQ(g_MacroList.Get(1), nullptr);
    EXPECT_EQ(g_MacroList.Get(-1), nullptr);
    Macro copy = g_MacroList.GetCopy(0);
    EXPECT_EQ(copy.id, 4);
    EXPECT_STREQ(copy.file.GetText(), "f.qlc");
    EXPECT_FALSE(RunMacro(1));
    Macro blank;
    EXPECT_FALSE(blank.FileExists());
}
