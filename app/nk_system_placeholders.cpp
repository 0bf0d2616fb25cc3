// app/nk_system_placeholders.cpp -- the neutral answers of the services in
// nk_system_placeholders.h.
#include "app/nk_system_placeholders.h"

bool NKExportGridGeometry(const char *, int, int, int, int, int) { return false; }

void NKRunBenchmark(int) {}

bool NKUserMenuCommand(NKArgumentScan *) { return false; }
