// tests/platform/test_request_socket.cpp -- the request server on its real
// socket (platform/nk_local_server.cpp under commands/nk_dde_server.cpp),
// with a QCoreApplication and our POSIX request_client as child processes.
// A probe handler in the command chain claims "xatest" and records its
// arguments and thread, and "xctest" spins the event loop for a while, as a
// long command would. Each test gets its own private XDG_RUNTIME_DIR.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_dde_server.h"
#include "platform/nk_local_server.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/test_files.h"
#include "tests/test_support/test_wait.h"

namespace {

struct Call {
    std::string args;
    std::thread::id thread;
};
std::vector<Call> sg_Calls;
std::string sg_LineSeenWhileSpinning = "none";

void Spin(int iMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < iMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int Probe(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id == NK_CID_XATEST) {
        std::string args(pszArguments);
        sg_Calls.push_back({args.size() > 7 ? args.substr(7) : "", std::this_thread::get_id()});
        return 0;
    }
    if (pEntry->id == NK_CID_XCTEST) {
        size_t iBefore = sg_Calls.size();
        Spin(400);  // a request sent now must wait for the whole command file
        sg_LineSeenWhileSpinning = sg_Calls.size() == iBefore ? "none" : sg_Calls.back().args;
        return 0;
    }
    return 3;
}

class RequestSocket : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_rt_");
        ASSERT_FALSE(m_Dir.empty());
        ASSERT_EQ(chmod(m_Dir.c_str(), 0700), 0);
        setenv("XDG_RUNTIME_DIR", m_Dir.c_str(), 1);
        m_Socket = m_Dir + "/Quolin";
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) m_Saved[i] = NKSetCommandHandler(i, nullptr);
        NKRegisterFileCommands();
        NKSetCommandHandler(NK_HANDLER_SYSTEM, Probe);
        sg_Calls.clear();
    }
    void TearDown() override
    {
        NKDDEClose();
        NKSetDdeDebug(false);
        // The server keeps the sound texts while it is closed (they are
        // set up before a client comes): the next test starts without them.
        NKDDESetSoundSetupText("");
        NKDDESetSoundUpdateText("");
        for (int i = 0; i < NK_NUM_HANDLER_SLOTS; i++) NKSetCommandHandler(i, m_Saved[i]);
        EXPECT_TRUE(NKTestRemoveDir(m_Dir));
    }

    // Starts a client with the given input and options.
    std::unique_ptr<QProcess> Start(const std::string &input, QStringList options)
    {
        std::string inputFile = m_Dir + "/in" + std::to_string(m_iNextInput++);
        EXPECT_TRUE(NKTestWriteText(inputFile, input));
        auto pClient = std::make_unique<QProcess>();
        pClient->setStandardInputFile(QString::fromStdString(inputFile));
        options.prepend(QString::fromStdString(m_Socket));
        pClient->start(QUOLIN_REQUEST_CLIENT, options);
        EXPECT_TRUE(pClient->waitForStarted(NKTestWaitLimitMs()));
        unlink(inputFile.c_str());  // the client holds it open
        return pClient;
    }
    // Serves until every client has ended; false when that took longer than
    // the tests' limit.
    static bool ServeUntilDone(const std::vector<QProcess *> &clients)
    {
        return NKTestWaitFor(
            [&] {
                for (QProcess *p : clients)
                    if (p->state() != QProcess::NotRunning) return false;
                return true;
            },
            "the clients' end");
    }
    static std::string Output(QProcess *p) { return p->readAllStandardOutput().toStdString(); }
    static std::string Repeat(const std::string &line, int n)
    {
        std::string text;
        for (int i = 0; i < n; i++) text += line;
        return text;
    }
    static int CountCalls(const std::string &args)
    {
        int n = 0;
        for (const Call &call : sg_Calls) n += call.args == args;
        return n;
    }
    void ServeUntilNoConnections()
    {
        NKTestWaitFor([] { return NKDDEGetNumConnections() == 0; }, "no connection left");
    }
    // Serves until the client has had n bytes of answers.
    static bool ServeUntilAnswered(QProcess *pClient, qint64 n)
    {
        return NKTestWaitFor([&] { return pClient->bytesAvailable() >= n; }, "the answers");
    }

    int m_argc = 1;
    char m_szName[8] = "test";
    char *m_argv[2] = {m_szName, nullptr};
    QCoreApplication m_App{m_argc, m_argv};
    NKCommandHandler m_Saved[NK_NUM_HANDLER_SLOTS] = {};
    std::string m_Dir, m_Socket;
    int m_iNextInput = 0;
};

TEST_F(RequestSocket, PipelinedClientsAreAnsweredInOrderOnTheLoopThread)
{
    ASSERT_TRUE(NKDDEInitialize());
    std::vector<std::unique_ptr<QProcess>> clients;
    std::vector<QProcess *> running;
    for (int c = 0; c < 8; c++) {
        std::string input;
        for (int i = 0; i < 1000; i++)
            input += "EXEC xatest " + std::to_string(c) + " " + std::to_string(i) + "\n";
        clients.push_back(Start(input, {"-n", "1000"}));
        running.push_back(clients.back().get());
    }
    ASSERT_TRUE(ServeUntilDone(running));
    for (QProcess *p : running) {
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_EQ(Output(p), Repeat("ACK\n", 1000));
    }
    ASSERT_EQ(sg_Calls.size(), 8000u);
    std::vector<int> next(8, 0);
    for (const Call &call : sg_Calls) {
        int c = std::atoi(call.args.c_str());
        ASSERT_EQ(call.args, std::to_string(c) + " " + std::to_string(next[c])) << "out of order";
        next[c]++;
        EXPECT_EQ(call.thread, std::this_thread::get_id());
    }
}

// Every fault a client can make, 200 times, while another client is served.
TEST_F(RequestSocket, FaultyClientsNeitherCrashNorLeakNorStopOthers)
{
    ASSERT_TRUE(NKDDEInitialize());
    std::string steadyInput;
    for (int i = 0; i < 2000; i++) steadyInput += "EXEC xatest steady\n";
    auto pSteady = Start(steadyInput, {"-n", "2000", "-t", "300"});
    std::string faults = "garbage\n" + std::string("EXEC x\0y\n", 9) +
                         std::string(2 * 1024 * 1024, 'z') + "\nEXEC xatest ok\r\n" + "EXEC # " +
                         std::string(1000000 - 7, 'x') + "\n";
    for (int round = 0; round < 200; round++) {
        auto pFaulty = Start(faults, {"-n", "5"});
        auto pKilled =
            Start("EXEC xatest k1\nEXEC xatest k2\nEXEC xatest k3\nEXEC xatest k4", {"-w"});
        auto pBrief = Start("", {"-c"});
        ASSERT_TRUE(ServeUntilDone({pFaulty.get(), pBrief.get()}));
        EXPECT_EQ(Output(pFaulty.get()), "NAK\nNAK\nNAK\nACK\nACK\n") << "round " << round;
        // Its three complete lines have run.
        ASSERT_TRUE(NKTestWaitFor([&] { return CountCalls("k3") >= round + 1; }, "k3"))
            << "round " << round;
        pKilled->kill();
        ASSERT_TRUE(ServeUntilDone({pKilled.get()}));
    }
    ASSERT_TRUE(ServeUntilDone({pSteady.get()}));
    EXPECT_EQ(Output(pSteady.get()), Repeat("ACK\n", 2000));
    ServeUntilNoConnections();
    EXPECT_EQ(NKDDEGetNumConnections(), 0);
    EXPECT_EQ(CountCalls("k4"), 0);
    EXPECT_EQ(CountCalls("k1"), 200);
    EXPECT_EQ(CountCalls("ok"), 200);
    EXPECT_EQ(CountCalls("steady"), 2000);
}

TEST_F(RequestSocket, RequestDuringACommandFileRunsAfterIt)
{
    ASSERT_TRUE(NKDDEInitialize());
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/spin.qlc", "xctest\nxatest after spin\n"));
    auto pClient = Start("EXEC xatest during\n", {"-n", "1"});
    ASSERT_EQ(ExecuteCommand(("source \"" + m_Dir + "/spin.qlc\"").c_str()), 0);
    EXPECT_EQ(sg_LineSeenWhileSpinning, "none");
    ASSERT_TRUE(ServeUntilDone({pClient.get()}));
    EXPECT_EQ(Output(pClient.get()), "ACK\n");
    ASSERT_EQ(sg_Calls.size(), 2u);
    EXPECT_EQ(sg_Calls[0].args, "after spin");
    EXPECT_EQ(sg_Calls[1].args, "during");
}

TEST_F(RequestSocket, PicksAndSoundsArePushedToTheirAdviseLoops)
{
    ASSERT_TRUE(NKDDEInitialize());
    auto pClient = Start("ADVISE data notify\nADVISE data sound_update\nADVISE data pick_part_num\n"
                         "UNADVISE data pick_part_num\nREQUEST data notify\n",
                         {"-n", "8"});
    // Every line is answered before the pushes come.
    ASSERT_TRUE(
        ServeUntilAnswered(pClient.get(), std::string("ACK\nACK\nACK\nACK\nDATA \n").size()));
    NKDDEPostPickAdvise(nullptr);  // a miss
    NKDDESetSoundUpdateText("0.5\n1 2 3 \\ \r");
    ASSERT_TRUE(ServeUntilDone({pClient.get()}));
    EXPECT_EQ(Output(pClient.get()), "ACK\nACK\nACK\nACK\nDATA \nADV notify \nADV sound_update \n"
                                     "ADV sound_update 0.5\\n1 2 3 \\\\ \\r\n");
}

TEST_F(RequestSocket, NoddeByRequestAnswersThenCloses)
{
    ASSERT_TRUE(NKDDEInitialize());
    bDdeEnabled = 1;
    auto pClient = Start("EXEC nodde\nEXEC xatest never\n", {"-n", "2"});
    NKSetCommandHandler(NK_HANDLER_SYSTEM, [](CommandTableEntry *pEntry, const char *) {
        if (pEntry->id != NK_CID_NODDE) return 3;
        NKDDEClose();
        return 0;
    });
    ASSERT_TRUE(ServeUntilDone({pClient.get()}));
    EXPECT_EQ(Output(pClient.get()), "ACK\n");  // then the server closed
    EXPECT_TRUE(sg_Calls.empty());
    struct stat st;
    EXPECT_NE(lstat(m_Socket.c_str(), &st), 0);
    bDdeEnabled = 0;
}

TEST_F(RequestSocket, ConnectionsPastTheLimitAndDeafClientsAreClosed)
{
    ASSERT_TRUE(NKDDEInitialize());
    std::vector<std::unique_ptr<QProcess>> clients;
    for (int c = 0; c < 70; c++) clients.push_back(Start("", {"-w"}));
    int iEnded = 0;
    NKTestWaitFor(
        [&] {
            iEnded = 0;
            for (auto &p : clients) iEnded += p->state() == QProcess::NotRunning;
            return iEnded >= 6 && NKDDEGetNumConnections() >= 64;
        },
        "64 connections and 6 closed");
    EXPECT_EQ(NKDDEGetNumConnections(), 64);
    EXPECT_EQ(iEnded, 6);  // closed by the server at once
    for (auto &p : clients) p->kill();
    for (auto &p : clients) p->waitForFinished(NKTestWaitLimitMs());
    ServeUntilNoConnections();
    EXPECT_EQ(NKDDEGetNumConnections(), 0);

    // A client that never reads its advises is closed at 4 MiB unsent.
    auto pDeaf = Start("ADVISE data sound_update\n", {"-r", "-w"});
    ASSERT_TRUE(NKTestWaitFor([] { return NKDDEGetNumConnections() == 1; }, "the connection"));
    // Updates go out until the connection is closed: those sent before its
    // advise is in reach nobody, the 64 after it make 4 MiB.
    std::string big(64 * 1024, 'u');
    EXPECT_TRUE(NKTestWaitFor(
        [&] {
            if (NKDDEGetNumConnections() == 0) return true;
            NKDDESetSoundUpdateText(big.c_str());
            return false;
        },
        "the deaf client's close"));
    ASSERT_TRUE(ServeUntilDone({pDeaf.get()}));
    EXPECT_EQ(pDeaf->exitCode(), 0);
}

// With every place taken by idle connections, a new client takes the place
// of the one idle longest; a connection with an advise loop is never closed,
// although it came first and is idle longest.
TEST_F(RequestSocket, ANewClientTakesThePlaceOfTheIdlestConnectionWithoutAnAdvise)
{
    // While the places fill, nobody has idled past the limit, however long
    // the 64 clients take to start; the short limit comes after.
    const int kLimitMs = 300;
    NKDDESetIdleLimit(NKTestWaitLimitMs());
    ASSERT_TRUE(NKDDEInitialize());
    std::vector<std::unique_ptr<QProcess>> idle;
    auto pAdvising = Start("ADVISE data notify\n", {"-w"});
    // The advise is in (acknowledged) before the others come.
    ASSERT_TRUE(NKTestWaitFor([&] { return pAdvising->peek(4) == "ACK\n"; }, "the advise's ACK"));
    for (int c = 0; c < 63; c++) idle.push_back(Start("", {"-w"}));
    NKTestWaitFor([] { return NKDDEGetNumConnections() >= 64; }, "64 connections");
    ASSERT_EQ(NKDDEGetNumConnections(), 64);

    // Not yet idle long enough: the newcomer is refused.
    auto pEarly = Start("EXEC xatest early\n", {"-n", "1"});
    ASSERT_TRUE(ServeUntilDone({pEarly.get()}));
    EXPECT_EQ(Output(pEarly.get()), "");
    NKDDESetIdleLimit(kLimitMs);
    Spin(kLimitMs + 100);
    // Past the limit every newcomer is served, each in the place of an idle
    // one (the newcomers stay connected, so each needs a place).
    std::vector<std::unique_ptr<QProcess>> late;
    for (int c = 0; c < 3; c++) {
        late.push_back(Start("EXEC xatest late\n", {"-w"}));
        NKTestWaitFor([&] { return CountCalls("late") > c; }, "the newcomer's line");
    }
    EXPECT_EQ(CountCalls("late"), 3);
    EXPECT_EQ(CountCalls("early"), 0);
    EXPECT_EQ(NKDDEGetNumConnections(), 64);
    int iClosed = 0;
    NKTestWaitFor(
        [&] {
            iClosed = 0;
            for (auto &p : idle) iClosed += p->state() == QProcess::NotRunning;
            return iClosed >= 3;
        },
        "three idle clients closed");
    EXPECT_EQ(iClosed, 3);
    EXPECT_EQ(pAdvising->state(), QProcess::Running);
    NKDDEPostPickAdvise(nullptr);  // still advised
    ServeUntilAnswered(pAdvising.get(), 16);
    pAdvising->kill();
    pAdvising->waitForFinished(NKTestWaitLimitMs());
    EXPECT_EQ(Output(pAdvising.get()), "ACK\nADV notify \n");
    for (auto &p : late) p->kill();
    for (auto &p : late) p->waitForFinished(NKTestWaitLimitMs());
    for (auto &p : idle) p->kill();
    for (auto &p : idle) p->waitForFinished(NKTestWaitLimitMs());
    ServeUntilNoConnections();
    NKDDESetIdleLimit(NK_LOCAL_IDLE_LIMIT_MS);
}

TEST_F(RequestSocket, SocketIsPrivateAStaleOneIsReplacedALiveOneIsKept)
{
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/dummy", ""));
    ASSERT_EQ(symlink((m_Dir + "/dummy").c_str(), m_Socket.c_str()), 0);  // not a socket
    MessageCapture capture;
    EXPECT_FALSE(NKDDEInitialize());
    EXPECT_TRUE(capture.Contains(m_Socket + " exists and is not a socket"));
    ASSERT_EQ(unlink(m_Socket.c_str()), 0);
    ASSERT_EQ(mknod(m_Socket.c_str(), S_IFSOCK | 0777, 0), 0);  // a socket nobody serves
    ASSERT_TRUE(NKDDEInitialize());
    struct stat st;
    ASSERT_EQ(lstat(m_Socket.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);

    NKLocalServerHandler none;
    NKLocalServer second(none);
    std::string error;
    EXPECT_FALSE(second.Listen(m_Socket.c_str(), &error));
    EXPECT_EQ(error, "Another program already serves requests on " + m_Socket);
    auto pClient = Start("EXEC xatest still\n", {"-n", "1"});
    ASSERT_TRUE(ServeUntilDone({pClient.get()}));
    EXPECT_EQ(Output(pClient.get()), "ACK\n");
}

TEST_F(RequestSocket, UnsafeRuntimeFoldersAreRefused)
{
    ASSERT_EQ(mkdir((m_Dir + "/open").c_str(), 0755), 0);
    ASSERT_EQ(chmod((m_Dir + "/open").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((m_Dir + "/real").c_str(), 0700), 0);
    ASSERT_EQ(symlink((m_Dir + "/real").c_str(), (m_Dir + "/link").c_str()), 0);
    for (const char *pszFolder : {"/open", "/link"}) {
        std::string folder = m_Dir + pszFolder;
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        MessageCapture capture;
        EXPECT_FALSE(NKDDEInitialize()) << folder;
        EXPECT_TRUE(capture.Contains("The request folder " + folder)) << capture.Text();
        struct stat st;
        EXPECT_NE(lstat((folder + "/Quolin").c_str(), &st), 0) << folder;
        EXPECT_EQ(lstat(folder.c_str(), &st), 0);
        if (std::string(pszFolder) == "/open") {
            EXPECT_EQ(st.st_mode & 0777, 0755u);  // never re-moded
        }
    }
}

}  // namespace

namespace {

// A client connected now whose requests are sent when the test writes them
// (the client sends its input once standard input ends).
std::unique_ptr<QProcess> StartPiped(const std::string &socket)
{
    auto pClient = std::make_unique<QProcess>();
    pClient->start(QUOLIN_REQUEST_CLIENT, {QString::fromStdString(socket), "-w"});
    EXPECT_TRUE(pClient->waitForStarted(NKTestWaitLimitMs()));
    return pClient;
}

void SendAndEnd(QProcess *pClient, const std::string &input)
{
    pClient->write(input.c_str(), static_cast<qint64>(input.size()));
    pClient->closeWriteChannel();
}

bool Spun(const std::function<bool()> &done)
{
    return NKTestWaitFor(done, "the connections' state");
}

void KillAll(std::vector<std::unique_ptr<QProcess>> *pClients)
{
    for (auto &p : *pClients) p->kill();
    for (auto &p : *pClients) p->waitForFinished(NKTestWaitLimitMs());
    pClients->clear();
}

}  // namespace

// Of two connections idle past the limit, the newcomer takes the place of
// the one idle longer, whether it connected first or last. The other 62
// places are held by advise loops, which never make room.
TEST_F(RequestSocket, TheConnectionIdleLongerMakesRoomWhateverItsOrder)
{
    const int kLimitMs = 300;
    NKDDESetIdleLimit(kLimitMs);
    ASSERT_TRUE(NKDDEInitialize());
    for (bool bFirstIsIdler : {false, true}) {
        SCOPED_TRACE(bFirstIsIdler ? "the first connected idles longer" : "the last idles longer");
        std::vector<std::unique_ptr<QProcess>> clients;
        for (int c = 0; c < 62; c++) clients.push_back(Start("ADVISE data notify\n", {"-w"}));
        ASSERT_TRUE(Spun([] { return NKDDEGetNumConnections() == 62; }));
        // Every advise is in (acknowledged).
        for (auto &p : clients) ASSERT_TRUE(Spun([&] { return p->peek(4) == "ACK\n"; }));
        auto pFirst = StartPiped(m_Socket);
        ASSERT_TRUE(Spun([] { return NKDDEGetNumConnections() == 63; }));
        auto pLast = StartPiped(m_Socket);
        ASSERT_TRUE(Spun([] { return NKDDEGetNumConnections() == 64; }));
        // The other one asks something after both connected, so it has
        // idled less.
        QProcess *pIdler = bFirstIsIdler ? pFirst.get() : pLast.get();
        QProcess *pOther = bFirstIsIdler ? pLast.get() : pFirst.get();
        SendAndEnd(pIdler, "");
        const int iBefore = CountCalls("other");
        Spin(50);
        SendAndEnd(pOther, "EXEC xatest other\n");
        ASSERT_TRUE(Spun([&] { return CountCalls("other") > iBefore; }));
        Spin(kLimitMs + 100);
        auto pNew = Start("EXEC xatest newcomer\n", {"-w"});
        const int iServed = CountCalls("newcomer");
        ASSERT_TRUE(Spun([&] { return CountCalls("newcomer") > iServed; }));
        EXPECT_TRUE(Spun([&] { return pIdler->state() == QProcess::NotRunning; }));
        EXPECT_EQ(pOther->state(), QProcess::Running);
        EXPECT_EQ(NKDDEGetNumConnections(), 64);
        clients.push_back(std::move(pFirst));
        clients.push_back(std::move(pLast));
        clients.push_back(std::move(pNew));
        KillAll(&clients);
        ServeUntilNoConnections();
        ASSERT_EQ(NKDDEGetNumConnections(), 0);
    }
    NKDDESetIdleLimit(NK_LOCAL_IDLE_LIMIT_MS);
}

namespace {

// Test steps run from inside a long command ("xbtest"), while the server
// holds every request that comes in.
std::function<void()> sg_DuringLongCommand;

int LongCommandProbe(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry->id != NK_CID_XBTEST) return Probe(pEntry, pszArguments);
    if (sg_DuringLongCommand) sg_DuringLongCommand();
    return 0;
}

}  // namespace

// A request that waits while a command runs is not idling: when a newcomer
// needs a place, its connection is not closed although it is the one idle
// longest, and its request is answered once the command ends.
TEST_F(RequestSocket, AConnectionWithARequestWaitingIsNotClosedAndIsAnswered)
{
    const int kLimitMs = 300;
    NKDDESetIdleLimit(kLimitMs);
    ASSERT_TRUE(NKDDEInitialize());
    NKSetCommandHandler(NK_HANDLER_SYSTEM, LongCommandProbe);
    std::vector<std::unique_ptr<QProcess>> clients;
    std::unique_ptr<QProcess> pWaiting, pNew;
    bool bSteps = false;
    sg_DuringLongCommand = [&] {
        // Its request comes in first and waits for the command to end.
        pWaiting = Start("EXEC xatest waiting\n", {"-n", "1"});
        if (!Spun([] { return NKDDEGetNumWaitingRequests() == 1; })) return;
        // Then the places fill with clients that idle past the limit too.
        for (int c = 0; c < 62; c++) clients.push_back(Start("", {"-w"}));
        if (!Spun([] { return NKDDEGetNumConnections() == 64; })) return;
        Spin(kLimitMs + 100);
        pNew = Start("EXEC xatest newcomer\n", {"-w"});
        // One idle client goes for it; the waiting request stays.
        if (!Spun([&] {
                for (auto &p : clients)
                    if (p->state() == QProcess::NotRunning) return true;
                return false;
            }))
            return;
        Spin(100);
        bSteps = pWaiting->state() == QProcess::Running && CountCalls("waiting") == 0;
    };
    auto pRunner = Start("EXEC xbtest\n", {"-n", "1"});
    ASSERT_TRUE(ServeUntilDone({pRunner.get()}));
    sg_DuringLongCommand = nullptr;
    EXPECT_TRUE(bSteps);
    ASSERT_NE(pWaiting, nullptr);
    ASSERT_TRUE(ServeUntilDone({pWaiting.get()}));
    EXPECT_EQ(Output(pWaiting.get()), "ACK\n");
    EXPECT_EQ(CountCalls("waiting"), 1);
    ASSERT_TRUE(Spun([&] { return CountCalls("newcomer") == 1; }));
    int iClosed = 0;
    for (auto &p : clients) iClosed += p->state() == QProcess::NotRunning;
    EXPECT_EQ(iClosed, 1);
    clients.push_back(std::move(pNew));
    KillAll(&clients);
    ServeUntilNoConnections();
    NKDDESetIdleLimit(NK_LOCAL_IDLE_LIMIT_MS);
}
