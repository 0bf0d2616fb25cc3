// app/nk_window_utils.cpp -- window placement, the modal count, tooltips
// and bitmaps (see nk_window_utils.h).
#include "app/nk_window_utils.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#include "app/nk_animation_timer.h"
#include "app/nk_main_window.h"
#include "app/nk_splash.h"
#include "core/nk_diagnostic.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_platform.h"

struct NKBitmap {
    QImage image;
};

struct NKToolTip {
    QWindow *pOwner = nullptr;
    NKToolTipTextFn pfnText = nullptr;
    void *pUser = nullptr;
    QPoint position;
    QTimer timer;
};

namespace {

int sg_iDisabledCount = 0;

// Our own splash picture: the product name and version on a dark gradient.
QImage MakeSplashImage(void)
{
    QImage image(420, 240, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, image.height());
    gradient.setColorAt(0.0, QColor(24, 40, 88));
    gradient.setColorAt(1.0, QColor(8, 12, 32));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QColor(235, 240, 255));
    QFont font = painter.font();
    font.setPixelSize(40);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 60, image.width(), 60), Qt::AlignCenter, NK_PRODUCT_NAME);
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(0, 130, image.width(), 30), Qt::AlignCenter,
                     QString("Version %1").arg(NK_VERSION_TEXT));
    painter.drawText(QRect(0, 190, image.width(), 30), Qt::AlignCenter, "Brovik");
    return image;
}

void ShowToolTipNow(NKToolTip *pToolTip)
{
    std::string text =
        pToolTip->pfnText(pToolTip->pUser, pToolTip->position.x(), pToolTip->position.y());
    if (text.empty()) return;
    QToolTip::showText(pToolTip->pOwner->mapToGlobal(pToolTip->position),
                       QString::fromUtf8(text.c_str()));
}

// How much larger than its client area the window's frame is: as the
// window's own once it shows, before that as the main window's (a window
// manager frames the program's windows alike).
QSize FrameGrowth(const QWidget *pWindow)
{
    const QWidget *pFramed = pWindow->isVisible() ? pWindow : NKGetMainWindow();
    if (pFramed == nullptr || !pFramed->isVisible()) return QSize(0, 0);
    return pFramed->frameGeometry().size() - pFramed->geometry().size();
}

// Pulls the corner of a w x h rectangle inside the work area (L, T, R, B)
// at its right and bottom, then to coordinates of 0 or more.
void PullInside(const int *piWorkArea, int iWidth, int iHeight, int *piX, int *piY)
{
    if (*piX + iWidth > piWorkArea[2]) *piX = piWorkArea[2] - iWidth;
    if (*piY + iHeight > piWorkArea[3]) *piY = piWorkArea[3] - iHeight;
    *piX = std::max(*piX, 0);
    *piY = std::max(*piY, 0);
}

// Before a window shows, its frame is only estimated, from the main
// window's; a maximised or full-screen main window has another frame, or
// none, and a manager may frame dialogs otherwise. Once the window manager
// has framed the placed window (the first move that finds a frame around
// it), its frame is pulled inside the work area as NKPlaceWindow pulls the
// estimate, and the keeper goes: later moves are the user's.
class FrameKeeper : public QObject {
public:
    static constexpr const char *kName = "nk_frame_keeper";
    // One keeper a window, placed again or not.
    static void Keep(QWidget *pWindow, const int *piWorkArea)
    {
        delete pWindow->findChild<QObject *>(kName, Qt::FindDirectChildrenOnly);
        new FrameKeeper(pWindow, piWorkArea);
    }
    FrameKeeper(QWidget *pWindow, const int *piWorkArea) : QObject(pWindow)
    {
        setObjectName(kName);
        std::copy(piWorkArea, piWorkArea + 4, m_aiArea);
        pWindow->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *pObject, QEvent *pEvent) override
    {
        auto *pWindow = qobject_cast<QWidget *>(pObject);
        if (pEvent->type() != QEvent::Move || pWindow == nullptr) return false;
        const QRect frame = pWindow->frameGeometry();
        if (frame == pWindow->geometry()) return false;
        int x = frame.x(), y = frame.y();
        PullInside(m_aiArea, frame.width(), frame.height(), &x, &y);
        pWindow->removeEventFilter(this);
        deleteLater();
        if (x != frame.x() || y != frame.y()) pWindow->move(x, y);
        return false;
    }

private:
    int m_aiArea[4] = {0, 0, 0, 0};
};

}  // namespace

void NKComputeWindowPlacement(int iAnchor, const int *piReference, const int *piWorkArea,
                              int iWidth, int iHeight, int *piX, int *piY)
{
    const int L = piReference[0], T = piReference[1], R = piReference[2], B = piReference[3];
    int x = 0, y = 0;
    switch (iAnchor) {
    case NK_PLACE_BELOW_LEFT:
        x = L, y = B;
        break;
    case NK_PLACE_BELOW_CENTRE:
        x = L + (R - L) / 2 - iWidth / 2, y = B;
        break;
    case NK_PLACE_BELOW_RIGHT:
        x = R - iWidth, y = B;
        break;
    case NK_PLACE_RIGHT_TOP:
        x = R, y = T;
        break;
    case NK_PLACE_RIGHT_CENTRE:
        x = R, y = T + (B - T) / 2 - iHeight / 2;
        break;
    case NK_PLACE_RIGHT_BOTTOM:
        x = R, y = B - iHeight;
        break;
    case NK_PLACE_BOTTOM_RIGHT:
        x = R, y = B;
        break;
    case NK_PLACE_CENTRE:
        x = L + (R - L) / 2 - iWidth / 2;
        y = T + (B - T) / 2 - iHeight / 2;
        break;
    default:
        break;
    }
    PullInside(piWorkArea, iWidth, iHeight, &x, &y);
    *piX = x;
    *piY = y;
}

bool NKPlaceWindow(QWidget *pWindow, int iAnchor, QWidget *pReference, int iHeight, int iWidth)
{
    if (pWindow == nullptr) return false;
    if (pReference == nullptr) pReference = NKGetMainWindow();
    if (iWidth == 0) iWidth = pWindow->width();
    if (iHeight == 0) iHeight = pWindow->height();
    const QSize frame = QSize(iWidth, iHeight) + FrameGrowth(pWindow);
    QRect reference = pReference != nullptr ? pReference->frameGeometry() : QRect();
    const int aiReference[4] = {reference.x(), reference.y(), reference.x() + reference.width(),
                                reference.y() + reference.height()};
    QRect area(0, 0, 0, 0);
    if (QScreen *pScreen = QGuiApplication::primaryScreen()) area = pScreen->availableGeometry();
    if (area.isEmpty() && QGuiApplication::primaryScreen() != nullptr)
        area = QGuiApplication::primaryScreen()->geometry();
    const int aiArea[4] = {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
    int x = 0, y = 0;
    NKComputeWindowPlacement(iAnchor, aiReference, aiArea, frame.width(), frame.height(), &x, &y);
    NKPlaceTopLevel(pWindow, x, y, iWidth, iHeight);
    if (!pWindow->isVisible()) FrameKeeper::Keep(pWindow, aiArea);
    return true;
}

// A move of a top-level widget places its frame: Qt asks the window manager
// for the frame's corner (north-west gravity) when the window is made, or
// moves the client by the frame it knows afterwards. Its geometry would
// place the client with the frame above and left of it.
void NKPlaceTopLevel(QWidget *pWindow, int iX, int iY, int iWidth, int iHeight)
{
    if (pWindow == nullptr) return;
    pWindow->resize(iWidth, iHeight);
    pWindow->move(iX, iY);
}

void NKEnableAllTopWindows(bool bEnable)
{
    sg_iDisabledCount += bEnable ? -1 : 1;
    if (sg_iDisabledCount < 0) NKDiagnostic("Illegal reference count !", "NKEnableAllTopWindows");
    if (QWidget *pMain = NKGetMainWindow()) pMain->setEnabled(sg_iDisabledCount <= 0);
    if (sg_iDisabledCount > 0)
        NKSuspendAnimation(true);
    else if (bEnable && sg_iDisabledCount == 0)
        NKSuspendAnimation(false);
}

NKToolTip *NKCreateToolTip(QWindow *pOwner, NKToolTipTextFn pfnText, void *pUser)
{
    if (pOwner == nullptr || pfnText == nullptr) return nullptr;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) return nullptr;
    auto *pToolTip = new NKToolTip;
    pToolTip->pOwner = pOwner;
    pToolTip->pfnText = pfnText;
    pToolTip->pUser = pUser;
    pToolTip->timer.setSingleShot(true);
    QObject::connect(&pToolTip->timer, &QTimer::timeout,
                     [pToolTip]() { ShowToolTipNow(pToolTip); });
    return pToolTip;
}

// The tip is due once the mouse has rested for the double-click time, the
// delay the platform the shell was written for waits by default.
void NKRelayToolTipEvent(NKToolTip *pToolTip, int iX, int iY)
{
    if (pToolTip == nullptr) return;
    pToolTip->position = QPoint(iX, iY);
    pToolTip->timer.start(QApplication::doubleClickInterval());
}

void NKPopToolTip(NKToolTip *pToolTip)
{
    if (pToolTip == nullptr) return;
    pToolTip->timer.stop();
    QToolTip::hideText();
}

void NKDestroyToolTip(NKToolTip *pToolTip)
{
    if (pToolTip == nullptr) return;
    NKPopToolTip(pToolTip);
    delete pToolTip;
}

NKBitmap *NKLoadBitmap(int iResourceId, unsigned int)
{
    if (iResourceId != NK_SPLASH_BITMAP_ID || QGuiApplication::instance() == nullptr)
        return nullptr;
    auto *pBitmap = new NKBitmap;
    pBitmap->image = MakeSplashImage();
    return pBitmap;
}

void NKFreeBitmap(NKBitmap *pBitmap) { delete pBitmap; }

bool NKGetBitmapSize(const NKBitmap *pBitmap, int *piWidth, int *piHeight)
{
    if (pBitmap == nullptr) return false;
    if (piWidth != nullptr) *piWidth = pBitmap->image.width();
    if (piHeight != nullptr) *piHeight = pBitmap->image.height();
    return true;
}

void NKDrawBitmapResource(QWidget *pWindow, int iResourceId)
{
    NKBitmap *pBitmap = NKLoadBitmap(iResourceId, 0);
    if (pWindow != nullptr && pBitmap != nullptr) {
        QPainter painter(pWindow);
        painter.drawImage(pWindow->rect(), pBitmap->image);
    }
    NKFreeBitmap(pBitmap);
}

void *NKCreatePaletteFromColorTable(const void *, int) { return nullptr; }

void *NKCreateDefaultPalette(void) { return nullptr; }

// The same test as the message boxes': nothing waits under CI or on the
// offscreen and minimal platforms.
bool NKCanWaitForUser(void)
{
    const char *pszCi = std::getenv("CI");
    if (pszCi != nullptr && pszCi[0] != '\0') return false;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}
