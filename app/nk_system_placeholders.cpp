// app/nk_system_placeholders.cpp -- the neutral answers of the services in
// nk_system_placeholders.h.
#include "app/nk_system_placeholders.h"

uint8_t g_bDDEActive = 0;

bool NKDDEInitialize(void) { return false; }
void NKDDEClose(void) {}
void NKSetDdeDebug(bool) {}

void NKRunBenchmark(int) {}

bool NKUserMenuCommand(NKArgumentScan *) { return false; }
