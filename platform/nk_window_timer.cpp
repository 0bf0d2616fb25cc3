// platform/nk_window_timer.cpp -- numbered window timers (see
// nk_window_timer.h) on QTimer when a Qt application exists, recorded
// only when none does.
#include "platform/nk_window_timer.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <map>

namespace {

struct WindowTimer {
    int iPeriodMs = -1;
    NKWindowTimerCallback pfnCallback = nullptr;
    QTimer *pTimer = nullptr;  // null when no application exists
};

std::map<int, WindowTimer> sg_Timers;

void MakeQtTimer(int iTimerId, WindowTimer *pTimer)
{
    if (QCoreApplication::instance() == nullptr) return;
    if (pTimer->pTimer == nullptr) {
        pTimer->pTimer = new QTimer;
        QObject::connect(pTimer->pTimer, &QTimer::timeout, [iTimerId]() {
            auto it = sg_Timers.find(iTimerId);
            if (it != sg_Timers.end() && it->second.pfnCallback != nullptr)
                it->second.pfnCallback(iTimerId);
        });
    }
    pTimer->pTimer->start(pTimer->iPeriodMs);
}

}  // namespace

bool NKStartWindowTimer(int iTimerId, int iPeriodMs, NKWindowTimerCallback pfnCallback)
{
    if (iTimerId < 1 || pfnCallback == nullptr) return false;
    WindowTimer &timer = sg_Timers[iTimerId];
    timer.iPeriodMs = iPeriodMs < 1 ? 1 : iPeriodMs;
    timer.pfnCallback = pfnCallback;
    MakeQtTimer(iTimerId, &timer);
    return true;
}

void NKStopWindowTimer(int iTimerId)
{
    auto it = sg_Timers.find(iTimerId);
    if (it == sg_Timers.end()) return;
    if (it->second.pTimer != nullptr) {
        // The callback itself may stop its timer, so the QTimer is deleted
        // only after its signal has returned.
        it->second.pTimer->stop();
        it->second.pTimer->deleteLater();
    }
    sg_Timers.erase(it);
}

bool NKIsWindowTimerRunning(int iTimerId) { return sg_Timers.count(iTimerId) != 0; }

int NKGetWindowTimerPeriod(int iTimerId)
{
    auto it = sg_Timers.find(iTimerId);
    return it == sg_Timers.end() ? -1 : it->second.iPeriodMs;
}
