// platform/nk_platform_start.cpp -- the platform's start under a message
// handler of its own (see nk_platform_start.h).
#include "platform/nk_platform_start.h"

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

// A message of the platform's held back, with what its context named.
struct HeldMessage {
    QtMsgType type;
    std::string file, function, category;
    int iLine;
    QString text;
};

// How long a start goes on before it says that it still waits.
constexpr int kNoticeMilliseconds = 3000;

std::mutex sg_Mutex;
// Taken, and never given back, by whichever end of the program comes
// first (a fatal message of Qt's, the watch's limit): the other then waits
// for the end instead of telling its own.
std::mutex sg_EndClaim;
QtMessageHandler sg_pfnPrevious = nullptr;
void (*sg_pfnFailed)(const std::string &reason) = nullptr;
std::vector<HeldMessage> sg_Held;
std::unique_ptr<NKStartWatch> sg_pWatch;
// Standard error as it was when the watch began, for the watch's lines.
int sg_iWatchError = -1;

std::string Text(const char *psz) { return psz != nullptr ? psz : ""; }

// The text on one line: its line breaks become blanks, and blanks around
// it go.
std::string OneLine(const QString &text) { return text.simplified().toStdString(); }

void WriteLine(int iFile, const std::string &line)
{
    const std::string text = line + "\n";
    size_t iDone = 0;
    while (iDone < text.size()) {
        const ssize_t iWritten = write(iFile, text.data() + iDone, text.size() - iDone);
        if (iWritten < 0 && errno == EINTR) continue;
        if (iWritten <= 0) return;
        iDone += static_cast<size_t>(iWritten);
    }
}

// Ends the program with status 1, its output written out first; nothing of
// the half-made application may run at exit. A stream is flushed only
// where no other thread holds it: the watch ends the program while the
// main thread may be anywhere in the platform's start.
[[noreturn]] void EndProgram(void)
{
    for (FILE *pStream : {stdout, stderr}) {
        if (ftrylockfile(pStream) != 0) continue;
        std::fflush(pStream);
        funlockfile(pStream);
    }
    _exit(1);
}

// The watch's limit: its line, and the end. The main thread is inside the
// display's connect, and stays there.
[[noreturn]] void EndAtLimit(const std::string &limitLine)
{
    sg_EndClaim.lock();
    WriteLine(sg_iWatchError, limitLine);
    EndProgram();
}

// Ends the program with status 1 once the failure is told; never returns,
// so Qt does not abort.
[[noreturn]] void Fail(const QString &fatalText)
{
    sg_EndClaim.lock();
    std::string reason;
    {
        std::lock_guard<std::mutex> lock(sg_Mutex);
        for (const HeldMessage &held : sg_Held) {
            if (held.type == QtInfoMsg) continue;
            if (!reason.empty()) reason += "; ";
            reason += OneLine(held.text);
        }
    }
    if (reason.empty()) reason = OneLine(fatalText.section(QLatin1Char('\n'), 0, 0));
    if (sg_pfnFailed != nullptr) sg_pfnFailed(reason);
    EndProgram();
}

void StartMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) Fail(text);
    const bool bPlatform = type != QtDebugMsg && context.category != nullptr &&
                           std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (!bPlatform) {
        sg_pfnPrevious(type, context, text);
        return;
    }
    std::lock_guard<std::mutex> lock(sg_Mutex);
    sg_Held.push_back({type, Text(context.file), Text(context.function), Text(context.category),
                       context.line, text});
}

}  // namespace

NKStartWatch::NKStartWatch(int iNoticeMs, int iLimitMs, std::function<void()> onNotice,
                           std::function<void()> onLimit)
    : m_Begun(std::chrono::steady_clock::now()), m_iNoticeMs(iNoticeMs), m_iLimitMs(iLimitMs),
      m_onNotice(std::move(onNotice)), m_onLimit(std::move(onLimit))
{
    m_Thread = std::thread([this] { Run(); });
}

NKStartWatch::~NKStartWatch() { End(); }

void NKStartWatch::Run(void)
{
    const auto isEnded = [this] { return m_bEnded; };
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_iNoticeMs < m_iLimitMs) {
        if (m_Ended.wait_until(lock, m_Begun + std::chrono::milliseconds(m_iNoticeMs), isEnded))
            return;
        m_onNotice();
    }
    if (!m_Ended.wait_until(lock, m_Begun + std::chrono::milliseconds(m_iLimitMs), isEnded))
        m_onLimit();
}

void NKStartWatch::End(void)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bEnded = true;
    }
    m_Ended.notify_all();
    if (m_Thread.joinable()) m_Thread.join();
}

void NKBeginPlatformStart(const std::string &waitingLine, const std::string &limitLine,
                          int iLimitSeconds, void (*pfnFailed)(const std::string &reason))
{
    sg_pfnFailed = pfnFailed;
    sg_pfnPrevious = qInstallMessageHandler(StartMessageHandler);
    sg_iWatchError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (sg_iWatchError < 0) sg_iWatchError = STDERR_FILENO;
    sg_pWatch = std::make_unique<NKStartWatch>(
        kNoticeMilliseconds, iLimitSeconds * 1000,
        [waitingLine] { WriteLine(sg_iWatchError, waitingLine); },
        [limitLine] { EndAtLimit(limitLine); });
}

void NKEndPlatformStart(void)
{
    if (sg_pfnPrevious == nullptr) return;
    sg_pWatch.reset();
    if (sg_iWatchError != STDERR_FILENO) close(sg_iWatchError);
    sg_iWatchError = -1;
    qInstallMessageHandler(sg_pfnPrevious);
    std::vector<HeldMessage> held;
    {
        std::lock_guard<std::mutex> lock(sg_Mutex);
        held.swap(sg_Held);
    }
    for (const HeldMessage &message : held) {
        const QMessageLogContext context(
            message.file.empty() ? nullptr : message.file.c_str(), message.iLine,
            message.function.empty() ? nullptr : message.function.c_str(),
            message.category.c_str());
        sg_pfnPrevious(message.type, context, message.text);
    }
    sg_pfnPrevious = nullptr;
}
