// app/nk_main_window.cpp -- the stand-in main window (see
// nk_main_window.h).
#include "app/nk_main_window.h"

#include <QMainWindow>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "app/nk_statusbar.h"
#include "app/nk_view_window.h"
#include "platform/nk_platform.h"

namespace {
QPointer<QMainWindow> sg_pMain;
}  // namespace

// The main window exists before the view so that the view's set-up can
// reach it; it is shown once the view has its context.
bool CreateMainWindow(void)
{
    if (sg_pMain != nullptr) return true;
    sg_pMain = new QMainWindow;
    sg_pMain->setWindowTitle(NK_PRODUCT_NAME);
    sg_pMain->resize(810, 600);
    QWindow *pView = NKCreateViewWindow();
    if (pView == nullptr) {
        delete sg_pMain;
        return false;
    }
    QWidget *pContainer = QWidget::createWindowContainer(pView, sg_pMain);
    pContainer->setMinimumSize(32, 32);
    sg_pMain->setCentralWidget(pContainer);
    if (g_bStatusbarShown != 0) NKCreateStatusbar();
    sg_pMain->show();
    return true;
}

// The bar goes with the window; whether a new main window shows one is
// still the user's choice of before.
void NKDestroyMainWindow(void)
{
    if (sg_pMain == nullptr) return;
    uint8_t bShown = g_bStatusbarShown;
    NKDestroyStatusbar();
    g_bStatusbarShown = bShown;
    delete sg_pMain;  // the view and its context go with it
}

QMainWindow *NKGetMainWindow(void) { return sg_pMain; }

// Placeholder: the rest of the main window lands with it.
NKWindowPlacement g_WindowPlacement;
uint8_t g_bFullScreenActive = 0;
int NKMainWindowCommand(int) { return 1; }
void SetFullScreen(bool) {}
void NKSetViewClientSize(int, int) {}
void NKMoveMainWindow(int, int) {}
NKWindowPlacement NKGetPlacementToStore(void) { return g_WindowPlacement; }
