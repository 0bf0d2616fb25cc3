// tests/commands/command_file_fixture.h -- a fixture for the command-file,
// log, poll-file and macro tests: every test runs in a fresh temporary
// directory with the file commands and the macro commands in the chain, and
// a probe handler that records what the files run and presses keys:
//   xctest <word>   records <word> (answers 0; "xctest pauseatN" answers 4,
//                   a pause, the N-th time it runs)
//   xatest          presses Esc
//   xbtest          presses Space
//   xdtest          answers 1 (a failing command)
//   xctest info=T, xctest warn=T print T as information or warning and
//   answer 0; xctest fail=T prints T as an error and answers 1 (each is
//   recorded as well)
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_log.h"
#include "commands/nk_macros.h"
#include "core/nk_message.h"
#include "platform/nk_key_filter.h"
#include "platform/nk_window_timer.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"

inline std::vector<std::string> &ProbeRecord()
{
    static std::vector<std::string> s_Record;
    return s_Record;
}

inline int ProbeHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    switch (pEntry->id) {
    case NK_CID_XCTEST: {
        std::string args(pszArguments);
        std::string word = args.size() > 7 ? args.substr(7) : "";
        // "runner" records where the runner stands while the line runs.
        if (word == "runner")
            word = "level=" + std::to_string(g_CommandRunner.iCommandLevel) +
                   " file=" + std::to_string(g_CommandRunner.bRunningCommandFile) +
                   " depth=" + std::to_string(NKGetCommandFileDepth());
        ProbeRecord().push_back(word);
        const struct {
            const char *pszPrefix;
            int iLevel;
        } prints[] = {{"info=", NK_MSG_INFO}, {"warn=", NK_MSG_WARNING}, {"fail=", NK_MSG_ERROR}};
        for (const auto &print : prints) {
            if (word.rfind(print.pszPrefix, 0) != 0) continue;
            NKPrintMessage(word.c_str() + 5, print.iLevel);
            return print.iLevel == NK_MSG_ERROR ? 1 : 0;
        }
        // "pauseatN" asks for a pause the N-th time it runs.
        if (word.rfind("pauseat", 0) == 0) {
            int iSeen = 0;
            for (const std::string &w : ProbeRecord()) iSeen += w == word;
            if (iSeen == std::atoi(word.c_str() + 7)) return 4;
        }
        return 0;
    }
    case NK_CID_XATEST:
        NKKeyFilterSimulatePress(NK_FILTER_KEY_ESCAPE);
        return 0;
    case NK_CID_XBTEST:
        NKKeyFilterSimulatePress(NK_FILTER_KEY_SPACE);
        return 0;
    case NK_CID_XDTEST:
        return 1;
    default:
        return 3;
    }
}

class CommandFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_cmdfiles_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_Saved[i] = NKSetCommandHandler(i, nullptr);
        NKRegisterFileCommands();
        NKSetCommandHandler(NK_HANDLER_PART_DISPLAY, NKCommandHandleMacros);
        NKSetCommandHandler(NK_HANDLER_SYSTEM, ProbeHandler);
        ProbeRecord().clear();
        ResetState();
    }
    void TearDown() override
    {
        EXPECT_EQ(NKGetMessageOffCount(), 0) << "message output left unbalanced";
        EXPECT_EQ(NKGetInformationOffCount(), 0) << "information output left unbalanced";
        EXPECT_EQ(g_CommandRunner.iCommandLevel, 0);
        EXPECT_EQ(NKGetCommandFileDepth(), 0);
        ResetState();
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_Saved[i]);
        std::filesystem::current_path(m_OldDir);
        EXPECT_TRUE(NKTestRemoveDir(m_Dir));
    }
    static void ResetState()
    {
        NKCommandLogClose();
        g_CommandRunner.bLogNotYetOpened = true;
        g_CommandRunner.szLogFileName = "";
        NKStopWindowTimer(NK_POLL_FILE_TIMER);
        g_CommandRunner.PollFile.Reset();
        g_MacroList.Clear();
        g_CommandRunner.bRunningCommandFile = false;
        g_CommandRunner.bCommandFilePaused = false;
        g_CommandRunner.bDebugCommands = false;
        NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE);
        NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE);
    }

    // Writes a file (relative to the temp directory unless absolute).
    void Write(const std::string &name, const std::string &text)
    {
        std::filesystem::path path = std::filesystem::path(name);
        if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
        EXPECT_TRUE(NKTestWriteText(name, text)) << name;
    }
    static std::vector<std::string> Record(std::initializer_list<const char *> words)
    {
        return std::vector<std::string>(words.begin(), words.end());
    }
    const std::vector<std::string> &Ran() const { return ProbeRecord(); }

    std::filesystem::path m_Dir;
    std::filesystem::path m_OldDir;
    NKCommandHandler m_Saved[NK_NUM_HANDLER_SLOTS];
    MessageCapture m_Capture;
};
