// tests/commands/test_command_messages.cpp -- the per-command error and
// warning printers: "<name>: <message>" at the right level.
#include <gtest/gtest.h>

#include "commands/nk_command_messages.h"
#include "commands/nk_command_table.h"
#include "core/nk_message.h"
#include "tests/test_support/message_capture.h"

namespace {

CommandTableEntry *FindEntry(const char *pszName)
{
    NKCommandTable table;
    return table.Find(pszName, nullptr, nullptr, false, false, false, false) >= 0 ? table.GetEntry()
                                                                                  : nullptr;
}

}  // namespace

TEST(CommandMessages, ErrorNamesTheCommand)
{
    MessageCapture capture;
    NKCommandError(FindEntry("source"), "Cannot open file for reading. No filename specified");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text,
              "source: Cannot open file for reading. No filename specified");
    EXPECT_EQ(capture.Lines()[0].iLevel, NK_MSG_ERROR);
}

TEST(CommandMessages, WarningUsesTheWholeTwoWordName)
{
    MessageCapture capture;
    NKCommandWarning(FindEntry("vr debug"),
                     "Command not available in this version (VR version only)!");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text,
              "vr debug: Command not available in this version (VR version only)!");
    EXPECT_EQ(capture.Lines()[0].iLevel, NK_MSG_WARNING);
}

TEST(CommandMessages, MultiLineMessagesAndMissingParts)
{
    MessageCapture capture;
    NKCommandError(FindEntry("pollfile"), "Already polling\nYou must stop");
    EXPECT_TRUE(capture.HasLine("pollfile: Already polling", NK_MSG_ERROR));
    EXPECT_TRUE(capture.HasLine("You must stop", NK_MSG_ERROR));
    capture.Clear();
    NKCommandError(nullptr, "No command");
    EXPECT_TRUE(capture.HasLine("No command", NK_MSG_ERROR));
    NKCommandWarning(FindEntry("post"), nullptr);
    EXPECT_TRUE(capture.HasLine("post: ", NK_MSG_WARNING));
}

TEST(CommandMessages, SilentWhileOutputIsOff)
{
    MessageCapture capture;
    NKToggleMessageOutput(false);
    NKCommandError(FindEntry("post"), "hidden");
    NKToggleMessageOutput(true);
    EXPECT_TRUE(capture.Lines().empty());
}
