// app/nk_menus.cpp -- menu services (see nk_menus.h).
#include "app/nk_menus.h"

#include "core/nk_string.h"

// Placeholder: the menus land with the main window; nothing is shown yet.
uint8_t g_bMenuBarShown = 1;

int CommandHandler(int) { return 1; }
bool UpdateMenuChecks(void) { return false; }
void InitMenuPopup(void) {}
void NKShowMenuBar(bool) {}
bool NKOpenNKFFileDialog(NKString *) { return false; }
bool NKIsModelHeldInMemory(void) { return false; }
void NKCheckMenuItem(int, bool) {}
const char *NKGetMenuHelpText(int) { return nullptr; }
