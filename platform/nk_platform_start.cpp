// platform/nk_platform_start.cpp -- the platform's start under a message
// handler of its own (see nk_platform_start.h).
#include "platform/nk_platform_start.h"

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
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

std::mutex sg_Mutex;
QtMessageHandler sg_pfnPrevious = nullptr;
void (*sg_pfnFailed)(const std::string &reason) = nullptr;
std::vector<HeldMessage> sg_Held;

std::string Text(const char *psz) { return psz != nullptr ? psz : ""; }

// The text on one line: its line breaks become blanks, and blanks around
// it go.
std::string OneLine(const QString &text) { return text.simplified().toStdString(); }

// Ends the program with status 1 once the failure is told; never returns,
// so Qt does not abort.
[[noreturn]] void Fail(const QString &fatalText)
{
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
    std::fflush(stdout);
    std::fflush(stderr);
    // The application is half made: nothing of it may run at exit.
    _exit(1);
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

void NKBeginPlatformStart(void (*pfnFailed)(const std::string &reason))
{
    sg_pfnFailed = pfnFailed;
    sg_pfnPrevious = qInstallMessageHandler(StartMessageHandler);
}

void NKEndPlatformStart(void)
{
    if (sg_pfnPrevious == nullptr) return;
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
