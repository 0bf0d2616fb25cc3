// app/nk_system_placeholders.cpp -- the neutral answers of the services in
// nk_system_placeholders.h.
#include "app/nk_system_placeholders.h"

void NKRunBenchmark(int) {}

bool NKUserMenuCommand(NKArgumentScan *) { return false; }
