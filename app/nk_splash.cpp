// app/nk_splash.cpp -- the splash window (see nk_splash.h).
#include "app/nk_splash.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QWidget>

#include "app/nk_window_utils.h"
#include "platform/nk_window_timer.h"

namespace {

class SplashWindow : public QWidget {
public:
    SplashWindow() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {}

protected:
    void paintEvent(QPaintEvent *) override { NKDrawBitmapResource(this, NK_SPLASH_BITMAP_ID); }
    void mousePressEvent(QMouseEvent *pEvent) override
    {
        if (pEvent->button() == Qt::LeftButton || pEvent->button() == Qt::RightButton)
            NKDestroySplashWindow();
    }
};

SplashWindow *sg_pSplash = nullptr;

void OnSplashTimer(int) { NKDestroySplashWindow(); }

}  // namespace

QWidget *ShowSplashWindow(void)
{
    if (sg_pSplash != nullptr) return sg_pSplash;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) return nullptr;
    int iWidth = 0, iHeight = 0;
    NKBitmap *pBitmap = NKLoadBitmap(NK_SPLASH_BITMAP_ID, 0);
    bool bSized = NKGetBitmapSize(pBitmap, &iWidth, &iHeight);
    NKFreeBitmap(pBitmap);
    if (!bSized) return nullptr;
    sg_pSplash = new SplashWindow;
    sg_pSplash->resize(iWidth, iHeight);
    if (QScreen *pScreen = QGuiApplication::primaryScreen()) {
        QRect desktop = pScreen->geometry();
        int iRight = desktop.x() + desktop.width(), iBottom = desktop.y() + desktop.height();
        sg_pSplash->move(iRight / 2 - iWidth / 2, iBottom / 2 - iHeight / 2);
    }
    NKStartWindowTimer(NK_SPLASH_TIMER_ID, NK_SPLASH_TIMEOUT_MS, OnSplashTimer);
    sg_pSplash->show();
    sg_pSplash->repaint();
    return sg_pSplash;
}

// The splash may be closing from inside its own mouse handler, so the
// widget goes once control is back in the event loop; it is hidden and
// forgotten now.
void NKDestroySplashWindow(void)
{
    if (sg_pSplash == nullptr) return;
    NKStopWindowTimer(NK_SPLASH_TIMER_ID);
    sg_pSplash->hide();
    sg_pSplash->deleteLater();
    sg_pSplash = nullptr;
}

QWidget *NKGetSplashWindow(void) { return sg_pSplash; }
