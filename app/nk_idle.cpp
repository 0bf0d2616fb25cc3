// app/nk_idle.cpp -- the idle step (see nk_idle.h).
#include "app/nk_idle.h"

void NKRunIdleStep(void) {}
