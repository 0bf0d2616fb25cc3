// app/nk_menus.h -- the two menus of the main window (the start-up menu
// while no model is loaded, the full one after), the command each item
// runs, their check marks, help texts and the recent-file entries.
//
// Every item runs a command line, so menus, tool bar, keys and command
// files share one path; only Exit, About, the part visibilities dialog and
// the file dialog act directly. Item ids are those of app/nk_menu_state.h.
#pragma once

#include <cstdint>

class NKString;
class QAction;

// Whether the main window shows its menu bar (1 at start).
extern uint8_t g_bMenuBarShown;

// Runs the command of a menu item: 0 when handled, 1 when the shown menu
// does not hold the id (or no menu is shown) and for a recent-file id past
// the fourth entry.
int CommandHandler(int iId);
// When the model-loaded state changed since the last call (or a refresh is
// forced, as at start-up): the tool-bar buttons are enabled for it and, with
// the menu bar shown, the matching menu is set. Then the tool-bar check
// states are refreshed. Returns the model-loaded state.
bool UpdateMenuChecks(void);
// Sets the check marks, enable states and recent-file entries of the shown
// menu; runs before any popup opens.
void InitMenuPopup(void);
// Shows the menu bar (the start-up menu without a model, the full one with
// one) or removes it.
void NKShowMenuBar(bool bShow);
// Forgets the shown menu and forces the next UpdateMenuChecks to set one
// (a new main window).
void NKResetMenus(void);
// The file-open dialog for an NKF file; false on cancel.
bool NKOpenNKFFileDialog(NKString *pFileName);
// The dialog, then "open" of the chosen file; false on cancel.
bool NKOpenFileCommand(void);
// Runs a display, view or animation item (surface to play) without asking
// whether the menu holds it, as the tool bar does; false for other ids.
bool NKRunMenuViewItem(int iId);
// Whether the loaded steps animate in memory: more than one frame, unless
// frame 0 has part transformations and shares its scalar or vector result
// with frame 1 (the steps are then read one at a time from the source).
bool NKIsModelHeldInMemory(void);
// Checks or unchecks an item of the shown menu.
void NKCheckMenuItem(int iItemId, bool bChecked);
// The status-line help text of an item; null when it has none.
const char *NKGetMenuHelpText(int iItemId);
// The action of an item of the shown menu; null when it holds none.
QAction *NKGetMenuAction(int iItemId);
