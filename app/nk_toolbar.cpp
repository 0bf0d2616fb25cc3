// app/nk_toolbar.cpp -- the tool bar (see nk_toolbar.h).
#include "app/nk_toolbar.h"

// Placeholder: the tool bar lands with the main window.
uint8_t g_bToolbarShown = 1;

bool NKCreateToolbar(void) { return false; }
bool NKDestroyToolbar(void) { return false; }
bool NKEnableToolbarButtons(void) { return false; }
bool NKUpdateToolbarButtons(void) { return false; }
bool NKEnableToolbarButton(int, bool) { return false; }
bool NKCheckToolbarButton(int, bool) { return false; }
bool MenuCommandHandler(int, int *piResult)
{
    *piResult = 1;
    return false;
}
const char *NKGetToolbarTipText(int) { return nullptr; }
QToolBar *NKGetToolbarWindow(void) { return nullptr; }
