// tests/platform/test_key_filter_qt.cpp -- the key filter and the window
// timers with a Qt application (a QCoreApplication: no display needed).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QObject>

#include "platform/nk_key_filter.h"
#include "platform/nk_window_timer.h"
#include "tests/test_support/test_wait.h"

namespace {

// Counts the key presses that reach it.
class KeyTarget : public QObject {
public:
    int m_iKeys = 0;
    bool event(QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::KeyPress) m_iKeys++;
        return QObject::event(pEvent);
    }
};

void PostKey(QObject *pTarget, int iKey)
{
    QCoreApplication::postEvent(pTarget, new QKeyEvent(QEvent::KeyPress, iKey, Qt::NoModifier));
}

int sg_iTicks = 0;
void CountTick(int) { sg_iTicks++; }
void StopOnTick(int iId)
{
    sg_iTicks++;
    NKStopWindowTimer(iId);  // a timer may stop itself from its callback
}

void SpinFor(int iMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < iMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class QtPlatform : public ::testing::Test {
protected:
    int m_argc = 1;
    char m_szName[8] = "test";
    char *m_argv[2] = {m_szName, nullptr};
    QCoreApplication m_App{m_argc, m_argv};
};

}  // namespace

// Each watched key is noted as itself and as no other (Esc stops a command
// file, Space pauses it); every key press is held back while watched.
TEST_F(QtPlatform, WatchedKeysAreNotedAndInputIsHeldBack)
{
    KeyTarget target;
    const struct {
        int iKey;
        bool bEscape, bSpace;
    } kKeys[] = {
        {Qt::Key_Escape, true, false}, {Qt::Key_Space, false, true}, {Qt::Key_A, false, false}};
    for (const auto &k : kKeys) {
        SCOPED_TRACE(k.iKey);
        NKKeyFilterBegin();
        PostKey(&target, k.iKey);
        NKKeyFilterProcessEvents();
        EXPECT_EQ(NKKeyFilterWasPressed(NK_FILTER_KEY_ESCAPE), k.bEscape);
        EXPECT_EQ(NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE), k.bSpace);
        EXPECT_EQ(target.m_iKeys, 0);
        NKKeyFilterEnd();
    }

    PostKey(&target, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(target.m_iKeys, 1);
    EXPECT_FALSE(NKKeyFilterWasPressed(NK_FILTER_KEY_SPACE));
}

TEST_F(QtPlatform, TimerFiresAndMayStopItself)
{
    sg_iTicks = 0;
    ASSERT_TRUE(NKStartWindowTimer(1, 5, CountTick));
    EXPECT_TRUE(NKTestWaitFor([] { return sg_iTicks > 1; }, "a second tick"));
    NKStopWindowTimer(1);

    sg_iTicks = 0;
    ASSERT_TRUE(NKStartWindowTimer(2, 5, StopOnTick));
    EXPECT_TRUE(NKTestWaitFor([] { return sg_iTicks >= 1; }, "the tick"));
    SpinFor(60);  // no tick after the one that stopped it
    EXPECT_EQ(sg_iTicks, 1);
    EXPECT_FALSE(NKIsWindowTimerRunning(2));
}
