// app/nk_statusbar.cpp -- the status bar window, its parts, modes and
// children (see nk_statusbar.h). Its progress interface and event pump are
// in nk_statusbar_progress.cpp.
#include "app/nk_statusbar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolTip>
#include <qdrawutil.h>

#include <cmath>
#include <vector>

#include "app/nk_main_window.h"
#include "app/nk_menus.h"
#include "app/nk_statusbar_progress.h"
#include "app/nk_view_window.h"
#include "core/nk_diagnostic.h"
#include "core/nk_family_warning.h"
#include "core/nk_message.h"
#include "core/nk_string.h"
#include "platform/nk_progress_ui.h"

uint8_t g_bStatusbarShown = 1;

namespace {

constexpr int kCancelWidth = 50, kCancelHeight = 15;
constexpr int kProgressWidth = 80, kProgressHeight = 12;
constexpr int kSizeGripRoom = 20;
constexpr int kPartInset = 2;  // between the bar's edge and a part's frame

struct Part {
    std::string text = " ";
    bool bOwnerDraw = false;
    bool bNoBorders = false;
    uint32_t uItemData = 0;
};

class StatusbarWindow : public QStatusBar {
public:
    // The small font of the parts' fixed widths.
    explicit StatusbarWindow(QWidget *pParent) : QStatusBar(pParent)
    {
        QFont small = font();
        small.setPixelSize(11);
        setFont(small);
        setFixedHeight(qMax(22, fontMetrics().height() + 8));
    }
    Part m_aParts[NK_STATUSBAR_MAX_PARTS];
    int m_iNumParts = 1;
    int m_aiEdges[NK_STATUSBAR_MAX_PARTS] = {300};

    QRect PartRect(int iPart) const
    {
        int iLeft = iPart == 0 ? 0 : m_aiEdges[iPart - 1];
        return QRect(QPoint(iLeft, kPartInset),
                     QPoint(m_aiEdges[iPart] - 1, height() - kPartInset - 1));
    }
    // Where a part's text is drawn.
    QRect TextRect(int iPart) const { return PartRect(iPart).adjusted(4, 0, -2, 0); }
    // The text as it fits its part: cut with an ellipsis when it is longer.
    QString ShownText(int iPart) const
    {
        const QString text = QString::fromUtf8(m_aParts[iPart].text.c_str());
        return fontMetrics().elidedText(text, Qt::ElideRight, TextRect(iPart).width());
    }

protected:
    void paintEvent(QPaintEvent *) override;
    bool event(QEvent *pEvent) override;
    void resizeEvent(QResizeEvent *) override { NKResizeStatusbar(); }
};

struct StatusbarState {
    QPointer<StatusbarWindow> pBar;
    QPointer<QPushButton> pCancel;
    QPointer<QProgressBar> pProgress;
    bool bNormal = false, bCancelShown = false, bProgressShown = false;
    std::string pickText1, pickText2;
    int iIndicator = NK_INDICATOR_NONE;
};
StatusbarState sg_Bar;

void StatusbarWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int i = 0; i < m_iNumParts; i++) {
        const Part &part = m_aParts[i];
        QRect box = PartRect(i);
        if (!part.bNoBorders) qDrawShadePanel(&painter, box, palette(), true, 1);
        if (part.bOwnerDraw) {
            NKStatusbarDrawItem item;
            item.iControlId = NK_STATUSBAR_ID;
            item.uItemData = part.uItemData;
            item.pPainter = &painter;
            item.iLeft = box.left() + 1, item.iTop = box.top() + 1;
            item.iRight = box.right(), item.iBottom = box.bottom();
            painter.save();
            NKDrawStatusbarItem(&item);
            painter.restore();
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(TextRect(i), Qt::AlignLeft | Qt::AlignVCenter, ShownText(i));
        }
    }
}

// A text cut to fit its part shows whole in a tool tip over that part.
bool StatusbarWindow::event(QEvent *pEvent)
{
    if (pEvent->type() != QEvent::ToolTip) return QStatusBar::event(pEvent);
    auto *pHelp = static_cast<QHelpEvent *>(pEvent);
    for (int i = 0; i < m_iNumParts; i++) {
        if (!PartRect(i).contains(pHelp->pos()) || m_aParts[i].bOwnerDraw) continue;
        const QString whole = QString::fromUtf8(m_aParts[i].text.c_str());
        if (ShownText(i) != whole) {
            QToolTip::showText(pHelp->globalPos(), whole, this, PartRect(i));
            return true;
        }
    }
    QToolTip::hideText();
    pEvent->ignore();
    return true;
}

QWidget *MainWindow(const char *pszFunction)
{
    QWidget *pMain = NKGetMainWindow();
    if (pMain == nullptr) NKDiagnostic("Handle to main window is NULL", pszFunction);
    return pMain;
}

void SetOwnerDraw(int iPart, uint32_t uItemData)
{
    if (sg_Bar.pBar == nullptr) return;
    Part &part = sg_Bar.pBar->m_aParts[iPart];
    part.bOwnerDraw = true;
    part.uItemData = uItemData;
    sg_Bar.pBar->repaint();
}

// Makes a child of the bar the first time it is wanted (it stays hidden
// until NKPlaceStatusbarChildren places it) and hides it while it is not.
// A child is made once and kept: deleted after each progress, a button and
// a bar for every one piled up while a command file ran before the event
// loop (deleteLater waits for it), and the Cancel button cannot be deleted
// while its own click is on the way out.
template <typename Child>
void MakeOrHide(QPointer<Child> *ppChild, bool bWanted, Child *(*pfnMake)(QWidget *))
{
    if (bWanted && *ppChild == nullptr) {
        *ppChild = pfnMake(sg_Bar.pBar);
        (*ppChild)->hide();
    } else if (!bWanted && *ppChild != nullptr) {
        (*ppChild)->hide();
    }
}

QPushButton *MakeCancelButton(QWidget *pParent)
{
    auto *pButton = new QPushButton("Cancel", pParent);
    pButton->setFixedSize(kCancelWidth, kCancelHeight);
    pButton->setFocusPolicy(Qt::NoFocus);
    QFont font = pButton->font();
    font.setPixelSize(kCancelHeight - 4);
    pButton->setFont(font);
    QObject::connect(pButton, &QPushButton::clicked,
                     []() { NKStatusbarSubclassProc(NK_CANCEL_BUTTON_ID); });
    return pButton;
}

QProgressBar *MakeProgressBar(QWidget *pParent)
{
    auto *pProgress = new QProgressBar(pParent);
    pProgress->setFixedSize(kProgressWidth, kProgressHeight);
    pProgress->setTextVisible(false);
    pProgress->setRange(0, 100);
    pProgress->setValue(0);
    return pProgress;
}

void DrawIndicator(QPainter *pPainter, const QRect &box, int iState, const QPalette &palette)
{
    if (iState == NK_INDICATOR_OFF)
        pPainter->setPen(palette.color(QPalette::Disabled, QPalette::WindowText));
    else if (iState == NK_INDICATOR_ACTIVE)
        pPainter->setPen(QColor(255, 0, 0));
    else if (iState == NK_INDICATOR_HIGH)
        pPainter->setPen(QColor(255, 255, 255));
    pPainter->drawText(box, Qt::AlignCenter | Qt::TextSingleLine, "FVP");
}

// The second text starts 12 pixels after the first and only when that is
// still inside the part.
void DrawPickTexts(QPainter *pPainter, const QRect &box, const QPalette &palette)
{
    pPainter->setPen(palette.color(QPalette::Button));
    pPainter->setBrush(palette.color(QPalette::Button));
    pPainter->drawRect(box);
    QString text1 = QString::fromUtf8(sg_Bar.pickText1.c_str());
    QString text2 = QString::fromUtf8(sg_Bar.pickText2.c_str());
    int iText1Width = 0;
    if (!text1.isEmpty()) {
        pPainter->setPen(palette.color(QPalette::WindowText));
        QRect area(box.left() + 2, box.top(), box.width() - 2, box.height());
        pPainter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text1);
        iText1Width = pPainter->fontMetrics().horizontalAdvance(text1);
    }
    int x = box.left() + iText1Width + 12;
    if (!text2.isEmpty() && x < box.right()) {
        pPainter->setPen(palette.color(QPalette::Highlight));
        QRect area(x, box.top(), box.right() - x, box.height());
        pPainter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text2);
    }
}

}  // namespace

int NKComputeStatusbarEdges(int iClientWidth, bool bMaximized, unsigned int uMode,
                            int piEdges[NK_STATUSBAR_MAX_PARTS])
{
    int w = iClientWidth - (bMaximized ? 0 : kSizeGripRoom);
    if ((uMode & NK_STATUSBAR_NORMAL) != 0) {
        int e = qMax(w - 265, 300);
        const int aiOffsets[NK_STATUSBAR_MAX_PARTS] = {0, 55, 125, 235, 265};
        for (int i = 0; i < NK_STATUSBAR_MAX_PARTS; i++) piEdges[i] = e + aiOffsets[i];
        return NK_STATUSBAR_MAX_PARTS;
    }
    bool bCancel = (uMode & NK_STATUSBAR_CANCEL) != 0;
    bool bProgress = (uMode & NK_STATUSBAR_PROGRESS) != 0;
    if (!bCancel && !bProgress) {
        piEdges[0] = qMax(w, 300);
        return 1;
    }
    int s = 5;
    bool bCancelFits = bCancel && w - 205 > 55;
    if (bCancelFits) s = 60;
    if (bProgress && w - s - 200 > 85) s = bCancelFits ? 145 : 90;
    piEdges[0] = qMax(w - s, 200);
    piEdges[1] = w;
    return 2;
}

void NKComputeStatusbarChildren(const int piRect[4], bool bCancel, bool bProgress, int *piCancelX,
                                int *piCancelY, int *piProgressX, int *piProgressY)
{
    const int iLeft = piRect[0], iTop = piRect[1], iHeight = piRect[3] - piRect[1];
    int iRoom = piRect[2] - piRect[0];
    int x = iLeft;
    *piCancelX = *piCancelY = *piProgressX = *piProgressY = -1;
    if (bCancel && iRoom >= kCancelWidth) {
        *piCancelX = iLeft + 5;
        *piCancelY = iTop + (iHeight - kCancelHeight) / 2;
        iRoom -= 5 + kCancelWidth;
        x = *piCancelX + kCancelWidth;
    }
    if (bProgress && iRoom > kProgressWidth) {
        *piProgressX = x + 5;
        *piProgressY = iTop + (iHeight - kProgressHeight) / 2;
    }
}

bool NKCreateStatusbar(void)
{
    if (sg_Bar.pBar != nullptr) return true;
    auto *pMain = qobject_cast<QMainWindow *>(MainWindow("NKCreateStatusbar"));
    if (pMain == nullptr) return false;
    sg_Bar.pBar = new StatusbarWindow(pMain);
    pMain->setStatusBar(sg_Bar.pBar);
    // Shown now, not when the event loop gets to the show the layout asks
    // for, so that the view's size is the one the bar leaves it.
    sg_Bar.pBar->show();
    NKLayOutViewNow();
    g_bStatusbarShown = 1;
    NKCheckMenuItem(NK_STATUSBAR_MENU_ITEM, true);
    NKSetStatusbarMode(NK_STATUSBAR_NORMAL);
    NKInstallStatusbarProgressUI(true);
    return true;
}

bool NKDestroyStatusbar(void)
{
    auto *pMain = qobject_cast<QMainWindow *>(MainWindow("NKDestroyStatusbar"));
    if (pMain == nullptr || sg_Bar.pBar == nullptr) return false;
    NKInstallStatusbarProgressUI(false);
    pMain->setStatusBar(nullptr);  // the old bar and its children go later
    NKLayOutViewNow();
    sg_Bar = StatusbarState();
    g_bStatusbarShown = 0;
    NKCheckMenuItem(NK_STATUSBAR_MENU_ITEM, false);
    return true;
}

bool NKSetStatusbarMode(unsigned int uFlags)
{
    if (sg_Bar.pBar == nullptr) return false;
    sg_Bar.bNormal = (uFlags & NK_STATUSBAR_NORMAL) != 0;
    sg_Bar.bCancelShown = !sg_Bar.bNormal && (uFlags & NK_STATUSBAR_CANCEL) != 0;
    sg_Bar.bProgressShown = !sg_Bar.bNormal && (uFlags & NK_STATUSBAR_PROGRESS) != 0;
    MakeOrHide(&sg_Bar.pCancel, sg_Bar.bCancelShown, MakeCancelButton);
    MakeOrHide(&sg_Bar.pProgress, sg_Bar.bProgressShown, MakeProgressBar);
    if (sg_Bar.bNormal) NKClearStatusbarParts();
    NKResizeStatusbar();
    return true;
}

bool NKClearStatusbarParts(void)
{
    if (sg_Bar.pBar != nullptr)
        for (Part &part : sg_Bar.pBar->m_aParts) part = Part();
    NKSetStatusbarIndicator(0, false, true);
    return true;
}

bool NKResizeStatusbar(void)
{
    QWidget *pMain = MainWindow("NKResizeStatusbar");
    StatusbarWindow *pBar = sg_Bar.pBar;
    if (pMain == nullptr || pBar == nullptr) return false;
    unsigned int uMode = (sg_Bar.bNormal ? NK_STATUSBAR_NORMAL : 0u) |
                         (sg_Bar.bCancelShown ? NK_STATUSBAR_CANCEL : 0u) |
                         (sg_Bar.bProgressShown ? NK_STATUSBAR_PROGRESS : 0u);
    pBar->m_iNumParts =
        NKComputeStatusbarEdges(pMain->width(), pMain->isMaximized(), uMode, pBar->m_aiEdges);
    NKPlaceStatusbarChildren(sg_Bar.bCancelShown, sg_Bar.bProgressShown);
    pBar->update();
    return true;
}

bool NKPlaceStatusbarChildren(bool bCancel, bool bProgress)
{
    StatusbarWindow *pBar = sg_Bar.pBar;
    if (pBar == nullptr) return false;
    if (!bCancel && !bProgress) {
        if (sg_Bar.pCancel != nullptr) sg_Bar.pCancel->hide();
        if (sg_Bar.pProgress != nullptr) sg_Bar.pProgress->hide();
        return true;
    }
    Part &part = pBar->m_aParts[1];
    part = Part();
    part.text.clear();
    part.bNoBorders = true;
    int aiRect[4];
    NKGetStatusbarPartRect(1, aiRect);
    int iCancelX, iCancelY, iProgressX, iProgressY;
    NKComputeStatusbarChildren(aiRect, bCancel && sg_Bar.pCancel != nullptr,
                               bProgress && sg_Bar.pProgress != nullptr, &iCancelX, &iCancelY,
                               &iProgressX, &iProgressY);
    if (sg_Bar.pCancel != nullptr) {
        sg_Bar.pCancel->move(iCancelX, iCancelY);
        sg_Bar.pCancel->setVisible(iCancelX >= 0);
    }
    if (sg_Bar.pProgress != nullptr) {
        sg_Bar.pProgress->move(iProgressX, iProgressY);
        sg_Bar.pProgress->setVisible(iProgressX >= 0);
    }
    return true;
}

bool NKSetStatusbarText(const char *pszText, int iPart)
{
    StatusbarWindow *pBar = sg_Bar.pBar;
    if (pBar == nullptr || iPart < 0 || iPart >= NK_STATUSBAR_MAX_PARTS) return false;
    if (!sg_Bar.bNormal && iPart != 0) return false;
    Part &part = pBar->m_aParts[iPart];
    part.text = pszText != nullptr ? pszText : "";
    part.bOwnerDraw = false;
    pBar->repaint();
    return true;
}

bool NKSetStatusbarPickText(const char *pszText1, const char *pszText2)
{
    sg_Bar.pickText1 = pszText1 != nullptr ? pszText1 : "";
    sg_Bar.pickText2 = pszText2 != nullptr ? pszText2 : "";
    SetOwnerDraw(0, 0);
    return true;
}

// A reset repaints with the new state but remembers none, so that the next
// state is painted whatever it is.
bool NKSetStatusbarIndicator(int iActive, bool bHighlight, bool bReset)
{
    int iState =
        bHighlight ? NK_INDICATOR_HIGH : (iActive > 0 ? NK_INDICATOR_ACTIVE : NK_INDICATOR_OFF);
    if ((iState != sg_Bar.iIndicator && sg_Bar.bNormal) || bReset)
        SetOwnerDraw(4, uint32_t(iState) * 65536u + 4u);
    sg_Bar.iIndicator = bReset ? NK_INDICATOR_NONE : iState;
    return true;
}

bool NKShowFrameRate(float fFramesPerSecond, uint32_t uFrameMs, uint32_t uIntervalMs, int iActive,
                     bool bHighlight)
{
    bool bShowRate = fFramesPerSecond <= 1000.0f || std::isnan(fFramesPerSecond);
    NKString rate = bShowRate ? NKString::FromFormat("%4.1ffps", double(fFramesPerSecond))
                              : NKString(">1000fps");
    NKSetStatusbarText(rate.GetText(), 1);
    NKString time = uFrameMs == 0 ? NKString("DT: <1ms")
                                  : NKString::FromFormat("DT: %ums (%4.1ffps)", uFrameMs,
                                                         1000.0 / double(uFrameMs));
    NKSetStatusbarText(time.GetText(), 3);
    NKString maximum;
    if (uIntervalMs > 0)
        maximum = NKString::FromFormat("Max: %dfps", int(std::floor(1000.0 / uIntervalMs + 0.5)));
    NKSetStatusbarText(maximum.GetText(), 2);
    NKSetStatusbarIndicator(iActive, bHighlight, false);
    return true;
}

bool NKShowMenuHelp(int iItemId, unsigned int uMenuFlags)
{
    if (MainWindow("NKShowMenuHelp") == nullptr || sg_Bar.pBar == nullptr) return false;
    if ((uMenuFlags & NK_MF_SYSMENU) != 0 && (uMenuFlags & NK_MF_POPUP) == 0) return false;
    const char *pszHelp = NKGetMenuHelpText(iItemId);
    NKSetStatusbarText(pszHelp != nullptr ? pszHelp : "", 0);
    return true;
}

bool NKDrawStatusbarItem(const NKStatusbarDrawItem *pItem)
{
    if (pItem == nullptr || pItem->iControlId != NK_STATUSBAR_ID || pItem->pPainter == nullptr)
        return false;
    int iPart = int(pItem->uItemData & 0xFFFFu);
    int iState = int(pItem->uItemData >> 16);
    QRect box(QPoint(pItem->iLeft, pItem->iTop), QPoint(pItem->iRight - 1, pItem->iBottom - 1));
    QPalette palette = sg_Bar.pBar != nullptr ? sg_Bar.pBar->palette() : QApplication::palette();
    if (iPart == 4) {
        DrawIndicator(pItem->pPainter, box, iState, palette);
        return true;
    }
    if (iPart == 0) {
        DrawPickTexts(pItem->pPainter, box, palette);
        return true;
    }
    return false;
}

void NKStatusbarSubclassProc(int iControlId)
{
    if (iControlId != NK_CANCEL_BUTTON_ID) return;
    NKGetProgressUI()->RequestCancel();
    QApplication::beep();
}

QWidget *NKGetStatusbarWindow(void) { return sg_Bar.pBar; }

QWidget *NKGetStatusbarCancelButton(void) { return sg_Bar.bCancelShown ? sg_Bar.pCancel : nullptr; }

QWidget *NKGetStatusbarProgressBar(void)
{
    return sg_Bar.bProgressShown ? sg_Bar.pProgress : nullptr;
}

int NKGetStatusbarEdges(int piEdges[NK_STATUSBAR_MAX_PARTS])
{
    if (sg_Bar.pBar == nullptr) return 0;
    for (int i = 0; i < sg_Bar.pBar->m_iNumParts; i++) piEdges[i] = sg_Bar.pBar->m_aiEdges[i];
    return sg_Bar.pBar->m_iNumParts;
}

bool NKGetStatusbarPartRect(int iPart, int piRect[4])
{
    StatusbarWindow *pBar = sg_Bar.pBar;
    if (pBar == nullptr || iPart < 0 || iPart >= pBar->m_iNumParts) return false;
    QRect box = pBar->PartRect(iPart);
    piRect[0] = box.left(), piRect[1] = box.top();
    piRect[2] = box.right() + 1, piRect[3] = box.bottom() + 1;
    return true;
}

std::string NKGetStatusbarText(int iPart)
{
    if (sg_Bar.pBar == nullptr || iPart < 0 || iPart >= NK_STATUSBAR_MAX_PARTS) return "";
    return sg_Bar.pBar->m_aParts[iPart].text;
}

std::string NKGetStatusbarShownText(int iPart)
{
    StatusbarWindow *pBar = sg_Bar.pBar;
    if (pBar == nullptr || iPart < 0 || iPart >= pBar->m_iNumParts) return "";
    return pBar->ShownText(iPart).toStdString();
}

std::string NKGetStatusbarPickText(int iLine)
{
    return iLine == 0 ? sg_Bar.pickText1 : iLine == 1 ? sg_Bar.pickText2 : std::string();
}

int NKGetStatusbarIndicator(void) { return sg_Bar.iIndicator; }

namespace {
int sg_iErrorScopes = 0;  // the scopes alive, outermost included
}  // namespace

NKStatusErrorScope::NKStatusErrorScope()
{
    m_bOuter = sg_iErrorScopes++ == 0;
    if (!m_bOuter) return;
    NKSetMessageSink(Sink, this, &m_pfnPrevious, &m_pPreviousUser);
}

NKStatusErrorScope::~NKStatusErrorScope()
{
    sg_iErrorScopes--;
    if (!m_bOuter) return;
    NKSetMessageSink(m_pfnPrevious, m_pPreviousUser);
    const std::string &first = m_FirstError.empty() ? m_FirstWarning : m_FirstError;
    const std::string &shown = m_LeadError.empty() ? first : m_LeadError;
    if (!shown.empty()) NKSetStatusbarText(shown.c_str(), 0);
}

std::string NKStatusLineText(const std::string &line, const NKFamilyWarning *pWarning)
{
    return pWarning != nullptr ? pWarning->StatusLine() : line;
}

void NKStatusErrorScope::Sink(const char *pszLine, int iMarkedLevel, void *pUser)
{
    auto *pScope = static_cast<NKStatusErrorScope *>(pUser);
    const bool bText = pszLine != nullptr && *pszLine != '\0';
    const int iLevel = NKMessageLevel(iMarkedLevel);
    auto keepFirst = [&](bool bKeep, std::string *pKept) {
        if (bText && bKeep && pKept->empty())
            *pKept = NKStatusLineText(pszLine, NKPrintedFamilyWarning());
    };
    keepFirst(iLevel == NK_MSG_ERROR, &pScope->m_FirstError);
    keepFirst(iLevel == NK_MSG_WARNING, &pScope->m_FirstWarning);
    keepFirst(NKIsLeadLine(iMarkedLevel), &pScope->m_LeadError);
    if (pScope->m_pfnPrevious != nullptr)
        pScope->m_pfnPrevious(pszLine, iMarkedLevel, pScope->m_pPreviousUser);
}
