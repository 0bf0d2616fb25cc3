// tests/platform/test_status_line.cpp -- the status line text: remembered by
// the headless status line, passed on to an installed one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/nk_status_line.h"

namespace {

class RecordingStatusLine : public NKStatusLine {
public:
    void ShowText(const char *pszText) override { m_Texts.push_back(pszText); }
    std::vector<std::string> m_Texts;
};

}  // namespace

TEST(StatusLine, HeadlessRemembersTheLastText)
{
    int before = NKGetStatusTextCount();
    NKSetStatusText("Reading...");
    NKSetStatusText("Done.");
    EXPECT_STREQ(NKGetStatusText(), "Done.");
    EXPECT_EQ(NKGetStatusTextCount(), before + 2);
    NKSetStatusText(nullptr);
    EXPECT_STREQ(NKGetStatusText(), "");
}

TEST(StatusLine, InstalledStatusLineShowsEveryText)
{
    RecordingStatusLine line;
    EXPECT_EQ(NKSetStatusLine(&line), nullptr);  // the headless one was in place
    NKSetStatusText("Done.");
    NKSetStatusText("Done.");
    EXPECT_EQ(NKSetStatusLine(nullptr), &line);
    NKSetStatusText("after");
    EXPECT_EQ(line.m_Texts, (std::vector<std::string>{"Done.", "Done."}));
    EXPECT_STREQ(NKGetStatusText(), "after");
}
