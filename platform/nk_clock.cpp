// platform/nk_clock.cpp -- the millisecond clock and the pending-input
// query (see nk_clock.h).
#include "platform/nk_clock.h"

#include <chrono>

namespace {
bool sg_bTestClock = false;
uint32_t sg_uTestMs = 0;
bool sg_bInputPending = false;
}  // namespace

uint32_t NKGetMilliseconds(void)
{
    if (sg_bTestClock) return sg_uTestMs;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

void NKSetTestClock(bool bSet, uint32_t uMs)
{
    sg_bTestClock = bSet;
    sg_uTestMs = uMs;
}

bool NKIsInputPending(void) { return sg_bInputPending; }

void NKSetInputPending(bool bPending) { sg_bInputPending = bPending; }
