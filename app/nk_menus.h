// app/nk_menus.h -- the two menus of the main window (the start-up menu
// while no model is loaded, the full one after), the command each item
// runs, their check marks, help texts and the recent-file entries.
#pragma once

#include <cstdint>

class NKString;

// Whether the main window shows its menu bar (1 at start).
extern uint8_t g_bMenuBarShown;

// Runs the command of a menu item: 0 when handled, 1 when the current menu
// does not hold the id.
int CommandHandler(int iId);
// Swaps the menus and the tool-bar enable states when the model-loaded
// state changed; returns that state.
bool UpdateMenuChecks(void);
// Sets the check marks, enable states and recent-file entries of the
// menus before one opens.
void InitMenuPopup(void);
// Shows the menu bar (the start-up or the full menu) or removes it.
void NKShowMenuBar(bool bShow);
// The file-open dialog for an NKF file; false on cancel.
bool NKOpenNKFFileDialog(NKString *pFileName);
// Whether the loaded steps animate in memory (more than one frame that do
// not share frame 0's results through part transformations).
bool NKIsModelHeldInMemory(void);
// Checks or unchecks a menu item of either menu.
void NKCheckMenuItem(int iItemId, bool bChecked);
// The status-line help text of an item; null when it has none.
const char *NKGetMenuHelpText(int iItemId);
