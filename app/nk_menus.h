// app/nk_menus.h -- what the status bar asks of the menus: check marks of
// menu items and the help text of an item for the status line.
#pragma once

// Placeholder: the menus are not built yet; no item is checked.
void NKCheckMenuItem(int iItemId, bool bChecked);
// Placeholder: no help texts yet; every item answers null.
const char *NKGetMenuHelpText(int iItemId);
