// app/nk_toolbar.h -- the tool bar of the main window: the most used view
// and animation commands as buttons with tooltips, each running a command
// line; most show the current state as a checked button. Without a model
// only Open and About are enabled.
#pragma once

#include <cstdint>

class QAction;
class QToolBar;

// Whether the main window shows the tool bar (1 at start).
extern uint8_t g_bToolbarShown;

// True when the tool bar exists afterwards; false without a main window.
bool NKCreateToolbar(void);
// False when there is none.
bool NKDestroyToolbar(void);
// Enables the buttons for the model state; false without a tool bar.
bool NKEnableToolbarButtons(void);
// Refreshes the check and enable states; false without a tool bar.
bool NKUpdateToolbarButtons(void);
// False without a tool bar or for an id below 1.
bool NKEnableToolbarButton(int iId, bool bEnable);
bool NKCheckToolbarButton(int iId, bool bCheck);
// The first stage of a main-window command: true when it took the id.
// *piResult starts at 1 and is 0 when a tool bar exists.
bool MenuCommandHandler(int iId, int *piResult);
// The tooltip of a button; null for an unknown id.
const char *NKGetToolbarTipText(int iId);
// The tool bar while it exists, else null; the action of a button.
QToolBar *NKGetToolbarWindow(void);
QAction *NKGetToolbarAction(int iId);
