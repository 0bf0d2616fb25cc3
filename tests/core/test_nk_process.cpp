// tests/core/test_nk_process.cpp -- captured processes (output lines, Cancel
// ending the whole process group, creation failures), shell commands,
// launched programs, the stopwatch and the UTC date. Cancel is requested
// through the headless progress user interface, as a batch run would.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "core/nk_process.h"
#include "core/nk_progress.h"
#include "platform/nk_progress_ui.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The children that a stop must end sleep this long; one that was not
// stopped would hold its run for all of it. A stop that works ends them in
// well under half of it however busy the machine, and this bound, unlike
// the waits' limit, stays where it is when QUOLIN_TEST_WAIT_SCALE grows.
constexpr int kChildSeconds = 1000;
constexpr double kStoppedWithinSeconds = kChildSeconds / 2.0;
std::string SleepOfAChild() { return "sleep " + std::to_string(kChildSeconds); }

// Waits (up to the tests' limit) until the file at path holds something:
// the child that writes its process id there has begun, however late a
// busy machine starts it.
void WaitForContent(const std::string &path)
{
    const NKTestWaitGuard guard(path.c_str());
    const Clock::time_point tEnd = Clock::now() + std::chrono::milliseconds(NKTestWaitLimitMs());
    for (;;) {
        std::ifstream in(path);
        if (in.peek() != std::ifstream::traits_type::eof() || Clock::now() > tEnd) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Processes of a group that are alive (not zombies), read from /proc.
int LiveProcessesInGroup(int iGroup)
{
    int iCount = 0;
    DIR *pDir = opendir("/proc");
    while (struct dirent *pEntry = pDir != nullptr ? readdir(pDir) : nullptr) {
        if (pEntry->d_name[0] < '0' || pEntry->d_name[0] > '9') continue;
        std::ifstream stat(std::string("/proc/") + pEntry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // pid (comm) state ppid pgrp ...: comm may hold blanks, so read
        // from its closing parenthesis.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char cState = 0;
        int iParent = 0, iPgrp = 0;
        rest >> cState >> iParent >> iPgrp;
        if (iPgrp == iGroup && cState != 'Z' && cState != 'X') iCount++;
    }
    if (pDir != nullptr) closedir(pDir);
    return iCount;
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NKResetProgressState();
        NKGetHeadlessProgressUI()->Reset();
        NKSetProgressUI(nullptr);
        m_Dir = NKTestMakeTempDir("nk_process_test_");
        ASSERT_FALSE(m_Dir.empty());
    }
    void TearDown() override
    {
        NKResetProgressState();
        NKGetHeadlessProgressUI()->Reset();
        NKTestRemoveDir(m_Dir);
    }
    std::string Path(const std::string &name) const { return m_Dir + "/" + name; }
    int ReadInt(const std::string &name) const
    {
        std::ifstream in(Path(name));
        int i = 0;
        in >> i;
        return i;
    }
    std::string m_Dir;
};

// ---- Captured processes --------------------------------------------------

TEST_F(ProcessTest, EchoFinishesAndItsLineReachesTheMessages)
{
    MessageCapture capture;
    EXPECT_EQ(NKRunProcessCaptured("echo hi", nullptr, true), NK_PROCESS_FINISHED);
    EXPECT_TRUE(capture.HasLine("hi", NK_MSG_INFO)) << capture.Text();
}

TEST_F(ProcessTest, ExitStatusIsReported)
{
    const struct {
        const char *pszCommand;
        int iStatus;
    } cases[] = {{"true", 0}, {"exit 1", 1}, {"exit 7", 7}, {"kill -9 $$", 128 + 9}};
    for (const auto &c : cases) {
        int iStatus = -5;
        EXPECT_EQ(NKRunProcessCaptured(c.pszCommand, nullptr, false, &iStatus),
                  NK_PROCESS_FINISHED);
        EXPECT_EQ(iStatus, c.iStatus) << c.pszCommand;
    }
    int iStatus = 0;
    EXPECT_EQ(NKRunProcessCaptured(nullptr, nullptr, false, &iStatus), NK_PROCESS_NOT_STARTED);
    EXPECT_EQ(iStatus, -1);
}

TEST_F(ProcessTest, OutputAndErrorLinesArriveInOrder)
{
    MessageCapture capture;
    int iResult = NKRunProcessCaptured(
        "printf 'one\\r\\ntwo\\n'; echo three 1>&2; printf 'no line end'", nullptr, false);
    EXPECT_EQ(iResult, NK_PROCESS_FINISHED);
    ASSERT_EQ(capture.Lines().size(), 4u) << capture.Text();
    EXPECT_EQ(capture.Lines()[0].text, "one");  // CR stripped
    EXPECT_EQ(capture.Lines()[1].text, "two");
    EXPECT_EQ(capture.Lines()[2].text, "three");
    EXPECT_EQ(capture.Lines()[3].text, "no line end");
    for (const CapturedLine &line : capture.Lines()) EXPECT_EQ(line.iLevel, NK_MSG_INFO);
}

TEST_F(ProcessTest, LongOutputIsNotLost)
{
    MessageCapture capture;
    EXPECT_EQ(NKRunProcessCaptured("seq 1 20000", nullptr, false), NK_PROCESS_FINISHED);
    ASSERT_EQ(capture.Lines().size(), 20000u);
    EXPECT_EQ(capture.Lines().front().text, "1");
    EXPECT_EQ(capture.Lines().back().text, "20000");
}

TEST_F(ProcessTest, RunsInTheGivenDirectory)
{
    MessageCapture capture;
    EXPECT_EQ(NKRunProcessCaptured("pwd", m_Dir.c_str(), false), NK_PROCESS_FINISHED);
    EXPECT_TRUE(capture.HasLine(m_Dir)) << capture.Text();
}

TEST_F(ProcessTest, MissingDirectoryMeansNotStarted)
{
    MessageCapture capture;
    EXPECT_EQ(NKRunProcessCaptured("echo hi", Path("no/such/dir").c_str(), true),
              NK_PROCESS_NOT_STARTED);
    EXPECT_TRUE(capture.Lines().empty());
    EXPECT_EQ(NKRunProcessCaptured(nullptr, nullptr, true), NK_PROCESS_NOT_STARTED);
}

TEST_F(ProcessTest, StandardInputIsAtItsEnd)
{
    // A child that reads its input must not wait for ever.
    Clock::time_point tStart = Clock::now();
    EXPECT_EQ(NKRunProcessCaptured("cat; echo after", nullptr, false), NK_PROCESS_FINISHED);
    EXPECT_LT(SecondsSince(tStart), kStoppedWithinSeconds);
}

TEST_F(ProcessTest, CancelEndsTheWholeGroup)
{
    NKBeginCancelMode("Running");
    std::string pidFile = Path("pid");
    std::string command =
        "echo $$ > '" + pidFile + "'; " + SleepOfAChild() + " & " + SleepOfAChild();
    Clock::time_point tRequest;
    std::thread canceller([&] {
        WaitForContent(pidFile);  // a cancel while it runs, not before it began
        tRequest = Clock::now();
        NKGetProgressUI()->RequestCancel();
    });
    int iResult = NKRunProcessCaptured(command.c_str(), nullptr, true);
    Clock::time_point tEnd = Clock::now();
    canceller.join();
    NKEndCancelMode("");
    EXPECT_EQ(iResult, NK_PROCESS_CANCELLED);
    EXPECT_LT(std::chrono::duration<double>(tEnd - tRequest).count(), kStoppedWithinSeconds);
    int iGroup = ReadInt("pid");
    ASSERT_GT(iGroup, 1);
    // SIGKILL is delivered at once, but a dying process may take a moment
    // to become a zombie.
    EXPECT_TRUE(
        NKTestWaitFor([&] { return LiveProcessesInGroup(iGroup) == 0; }, "the group's end"));
}

TEST_F(ProcessTest, ProcessThatIgnoresTerminationIsKilled)
{
    NKBeginCancelMode(nullptr);
    // The ignored SIGTERM is inherited by the sleep as well.
    std::string command = "trap '' TERM; echo $$ > '" + Path("pid") + "'; " + SleepOfAChild();
    Clock::time_point tRequest;
    std::thread canceller([&] {
        WaitForContent(Path("pid"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        tRequest = Clock::now();
        NKGetProgressUI()->RequestCancel();
    });
    int iResult = NKRunProcessCaptured(command.c_str(), nullptr, true);
    Clock::time_point tEnd = Clock::now();
    canceller.join();
    NKEndCancelMode(nullptr);
    EXPECT_EQ(iResult, NK_PROCESS_CANCELLED);
    EXPECT_LT(std::chrono::duration<double>(tEnd - tRequest).count(), kStoppedWithinSeconds);
    int iGroup = ReadInt("pid");
    EXPECT_TRUE(
        NKTestWaitFor([&] { return LiveProcessesInGroup(iGroup) == 0; }, "the group's end"));
}

TEST_F(ProcessTest, NotCancellableRunsToItsEnd)
{
    NKGetProgressUI()->RequestCancel();
    EXPECT_EQ(NKRunProcessCaptured("sleep 0.2", nullptr, false), NK_PROCESS_FINISHED);
}

TEST_F(ProcessTest, QuitRequestStopsTheProcessAndStays)
{
    NKGetProgressUI()->RequestQuit(3);
    Clock::time_point tStart = Clock::now();
    EXPECT_EQ(NKRunProcessCaptured(SleepOfAChild().c_str(), nullptr, true), NK_PROCESS_CANCELLED);
    EXPECT_LT(SecondsSince(tStart), kStoppedWithinSeconds);
    EXPECT_TRUE(NKGetProgressUI()->IsQuitRequested());
    EXPECT_EQ(NKGetProgressUI()->GetQuitExitCode(), 3);
}

TEST_F(ProcessTest, BackgroundChildHoldingThePipeDoesNotBlock)
{
    std::string command = "echo $$ > '" + Path("pid") + "'; " + SleepOfAChild() + " & echo started";
    MessageCapture capture;
    Clock::time_point tStart = Clock::now();
    EXPECT_EQ(NKRunProcessCaptured(command.c_str(), nullptr, false), NK_PROCESS_FINISHED);
    EXPECT_LT(SecondsSince(tStart), kStoppedWithinSeconds);
    EXPECT_TRUE(capture.HasLine("started"));
    kill(-ReadInt("pid"), SIGKILL);  // the sleep left behind
}

TEST_F(ProcessTest, ShellCommandOpensAndClosesCancelMode)
{
    NKHeadlessProgressUI *pUI = NKGetHeadlessProgressUI();
    MessageCapture capture;
    std::string command = "echo shell output";
    EXPECT_TRUE(NKRunShellCommand(command.c_str()));
    EXPECT_TRUE(capture.HasLine("shell output"));
    EXPECT_FALSE(NKGetProgressState().bRunning);
    EXPECT_TRUE(pUI->IsNormalMode());
    EXPECT_FALSE(pUI->IsCancelButtonShown());
    EXPECT_EQ(pUI->GetStatusText(), "");
}

TEST_F(ProcessTest, ShellCommandTellsAFailedStartFromAFailedCommand)
{
    // A command that runs and fails still started; only a shell that never
    // started is a failure, and cancel mode is closed either way.
    MessageCapture capture;
    EXPECT_TRUE(NKRunShellCommand("exit 3"));
    EXPECT_FALSE(NKRunShellCommand(nullptr));
    EXPECT_FALSE(NKGetProgressState().bRunning);
    EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
}

TEST_F(ProcessTest, ShellCommandClearsAnEarlierCancel)
{
    // A click from before the command must not stop it.
    NKGetProgressUI()->RequestCancel();
    MessageCapture capture;
    EXPECT_TRUE(NKRunShellCommand("sleep 0.2; echo reached"));
    EXPECT_TRUE(capture.HasLine("reached"));
}

// ---- Launched programs ---------------------------------------------------

TEST_F(ProcessTest, StartProcessDoesNotWaitAndTakesQuotedArguments)
{
    // The child waits for a file that is made only after the start has
    // returned: a start that waited for the child would never return.
    EXPECT_TRUE(NKStartProcess("sh -c \"while [ ! -e go ]; do sleep 0.01; done; touch 'a b.txt'\"",
                               m_Dir.c_str()));
    EXPECT_TRUE(NKTestWriteText(Path("go"), ""));
    EXPECT_TRUE(NKTestWaitFor([&] { return access(Path("a b.txt").c_str(), F_OK) == 0; },
                              "the child's file"));
}

TEST_F(ProcessTest, StartProcessFailures)
{
    EXPECT_FALSE(NKStartProcess("no-such-program-of-ours --flag", nullptr));
    EXPECT_FALSE(NKStartProcess("true", Path("missing").c_str()));
    EXPECT_FALSE(NKStartProcess("   ", nullptr));
    EXPECT_FALSE(NKStartProcess(nullptr, nullptr));
}

// ---- Stopwatch and date --------------------------------------------------

TEST(Stopwatch, StartMessages)
{
    MessageCapture capture;
    EXPECT_TRUE(NKTimerStart("Reading"));
    EXPECT_TRUE(NKTimerStart(""));
    EXPECT_TRUE(NKTimerStart(nullptr));
    ASSERT_EQ(capture.Lines().size(), 2u);
    EXPECT_EQ(capture.Lines()[0].text, "Timer: Reading");
    EXPECT_EQ(capture.Lines()[1].text, "Timer started...");
    EXPECT_EQ(capture.Lines()[1].iLevel, NK_MSG_INFO);
}

TEST(Stopwatch, MeasuresWallTimeNotProcessorTime)
{
    NKTimerStart(nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    MessageCapture capture;
    const Clock::time_point tFirstStop = Clock::now();
    float fSeconds = NKTimerStop(nullptr);
    EXPECT_GE(fSeconds, 0.11f);
    // Seconds, not milliseconds: those would read 120 or more.
    EXPECT_LT(fSeconds, 100.0f);
    EXPECT_TRUE(capture.Lines().empty());
    // The stop restarted it: the second stop counts from the first, not
    // from the start (however long a busy machine takes between them).
    const float fSecond = NKTimerStop(nullptr);
    EXPECT_LE(fSecond, SecondsSince(tFirstStop) + 0.001);
}

TEST(Stopwatch, StopMessages)
{
    MessageCapture capture;
    NKTimerStart(nullptr);
    NKTimerStop("");
    NKTimerStop("Edges: ");
    ASSERT_EQ(capture.Lines().size(), 2u);
    const std::string &a = capture.Lines()[0].text, &b = capture.Lines()[1].text;
    EXPECT_EQ(a.rfind("Timer: Time end: ", 0), 0u) << a;
    EXPECT_EQ(a.substr(a.size() - 9), " seconds.");
    EXPECT_EQ(b.rfind("Edges: ", 0), 0u) << b;
    float fSeconds = -1.0f;
    EXPECT_EQ(std::sscanf(b.c_str() + 7, "%g", &fSeconds), 1);
    EXPECT_GE(fSeconds, 0.0f);
}

TEST(DateTime, UtcFromTheSystemClock)
{
    // time() reads a coarse clock that can lag the precise one by a tick,
    // so both bounds come from the precise clock the dates use.
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    std::time_t tBefore = ts.tv_sec;
    int date[7];
    NKGetSystemDateTime(date);
    clock_gettime(CLOCK_REALTIME, &ts);
    std::time_t tAfter = ts.tv_sec;
    std::tm utc;
    gmtime_r(&tBefore, &utc);
    if (tBefore == tAfter) {
        EXPECT_EQ(date[NK_DATE_YEAR], utc.tm_year + 1900);
        EXPECT_EQ(date[NK_DATE_MONTH], utc.tm_mon + 1);
        EXPECT_EQ(date[NK_DATE_DAY], utc.tm_mday);
        EXPECT_EQ(date[NK_DATE_HOUR], utc.tm_hour);
        EXPECT_EQ(date[NK_DATE_MINUTE], utc.tm_min);
        EXPECT_EQ(date[NK_DATE_SECOND], utc.tm_sec);
    }
    EXPECT_GE(date[NK_DATE_MILLISECOND], 0);
    EXPECT_LE(date[NK_DATE_MILLISECOND], 999);
}

}  // namespace
