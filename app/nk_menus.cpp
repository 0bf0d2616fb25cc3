// app/nk_menus.cpp -- menu services (see nk_menus.h).
#include "app/nk_menus.h"

void NKCheckMenuItem(int, bool) {}

const char *NKGetMenuHelpText(int) { return nullptr; }
