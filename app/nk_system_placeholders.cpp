// app/nk_system_placeholders.cpp -- the neutral answers of the services in
// nk_system_placeholders.h, and a weak stand-in for the desktop
// registration of the settings file, which links in from its own file once
// that is part of the build.
#include "app/nk_system_placeholders.h"

#include "app/nk_settings.h"

uint8_t g_bDDEActive = 0;

bool NKDDEInitialize(void) { return false; }
void NKDDEClose(void) {}
void NKSetDdeDebug(bool) {}

bool NKExportGridGeometry(const char *, int, int, int, int, int) { return false; }

void NKRunBenchmark(int) {}

bool NKUserMenuCommand(NKArgumentScan *) { return false; }

// Placeholder: registers nothing; the settings file's own definition, a
// strong symbol, takes its place in the link.
__attribute__((weak)) bool RegisterFileTypes(const char *, bool, bool) { return true; }
