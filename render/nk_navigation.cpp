// render/nk_navigation.cpp -- the navigation mode, walking and keyboard
// steps (see nk_navigation.h).
#include "render/nk_navigation.h"

#include <cmath>

#include "core/nk_math.h"
#include "core/nk_shell_hooks.h"
#include "render/nk_view_settings.h"

namespace {

constexpr int kWalkTimerReason = 5;

struct WalkState {
    int iMode = NK_NAVIGATION_STUDY;
    bool bMotion = false;
    int iX0 = 0, iY0 = 0;  // start point
    int iRx = 1, iRy = 1;  // ranges to the farther edges
    int iWidth = 1, iHeight = 1;
};
WalkState sg_Walk;

// The range from the start coordinate to the farther edge, at least 1.
int RangeToFartherEdge(int i0, int iSize)
{
    const int r = i0 <= iSize / 2 ? iSize - i0 : i0;
    return r < 1 ? 1 : r;
}

// The cursor's offset over its range, clamped to [-1, 1] and squared with
// its sign kept, so the speed grows with the square of the distance.
float WalkFactor(int i, int i0, int iRange)
{
    float d = static_cast<float>(i - i0) / static_cast<float>(iRange);
    d = d < -1.0f ? -1.0f : (d > 1.0f ? 1.0f : d);
    const float f = d * std::fabs(d);
    return std::fabs(f) < 1e-18f ? 0.0f : f;
}

bool DragInProgress(void) { return g_pViewSettings != nullptr && g_pViewSettings->bMouseDrag; }

// M = T(0, 0, 2) R T(0, 0, -2) M: R acts about the eye.
void TurnAboutEye(float *pfMatrix, const float *pfRotation)
{
    NKMat4TranslateWorld(pfMatrix, 0.0f, 0.0f, -2.0f);
    NKMat4Multiply(pfRotation, pfMatrix, pfMatrix);
    NKMat4TranslateWorld(pfMatrix, 0.0f, 0.0f, 2.0f);
}

}  // namespace

bool NKSetNavigationMode(int iMode)
{
    sg_Walk.iMode = iMode;
    sg_Walk.bMotion = false;
    if (g_pViewSettings != nullptr) g_pViewSettings->bMouseDrag = 0;
    return true;
}

int NKGetNavigationMode(void) { return sg_Walk.iMode; }

void NKResetNavigationState(void) { sg_Walk = WalkState(); }

bool NKIsNavigationActive(int iMode)
{
    const bool bMoving = sg_Walk.bMotion || DragInProgress();
    switch (iMode) {
    case 0:
        return bMoving;
    case 1:
        return sg_Walk.iMode == NK_NAVIGATION_STUDY && bMoving;
    case 2:
        return sg_Walk.iMode == NK_NAVIGATION_WALK && sg_Walk.bMotion;
    default:
        return false;
    }
}

void NKStartWalkMotion(const NKInputState *pInput, int iWidth, int iHeight)
{
    NKWalkNavigate(nullptr, pInput, true, iWidth, iHeight);
    sg_Walk.bMotion = true;
    if (sg_Walk.iMode == NK_NAVIGATION_WALK) NKStartTimer(kWalkTimerReason);
}

void NKStopWalkMotion(void)
{
    sg_Walk.bMotion = false;
    NKStopTimer(kWalkTimerReason);
}

bool NKIsWalkMotion(void) { return sg_Walk.bMotion; }

bool NKWalkNavigate(float *pfMatrix, const NKInputState *pInput, bool bBegin, int iWidth,
                    int iHeight)
{
    if (pInput == nullptr) return false;
    WalkState &w = sg_Walk;
    if (bBegin) {
        if (iWidth >= 1 && iHeight >= 1) w.iWidth = iWidth, w.iHeight = iHeight;
        w.iX0 = pInput->iX, w.iY0 = pInput->iY;
        w.iRx = RangeToFartherEdge(w.iX0, w.iWidth);
        w.iRy = RangeToFartherEdge(w.iY0, w.iHeight);
        return true;
    }
    if (pfMatrix == nullptr) return false;
    if (pInput->uKeys != 0) {
        NKKeyboardNavigate(pfMatrix, pInput);
        return true;
    }
    const float s = pInput->fSensitivity * 0.05f;
    const float a = -s * WalkFactor(pInput->iY, w.iY0, w.iRy);
    const float b = s * WalkFactor(pInput->iX, w.iX0, w.iRx);
    float afTurn[16];
    NKMatrixIdentity(afTurn);
    switch (pInput->uButtons) {
    case 1:
        NKMat4TranslateWorld(pfMatrix, 0.0f, 0.0f, a);
        NKMat4RotateWorld(afTurn, 0.0f, 1.0f, 0.0f, -b);
        TurnAboutEye(pfMatrix, afTurn);
        break;
    case 2:
        NKMat4RotateWorld(pfMatrix, 0.0f, 0.0f, 1.0f, b);
        break;
    case 3:
        NKMat4RotateWorld(afTurn, 1.0f, 0.0f, 0.0f, a);
        NKMat4RotateWorld(afTurn, 0.0f, 1.0f, 0.0f, -b);
        TurnAboutEye(pfMatrix, afTurn);
        break;
    default:
        break;
    }
    return true;
}

void NKKeyboardNavigate(float *pfMatrix, const NKInputState *pInput)
{
    if (pfMatrix == nullptr || pInput == nullptr) return;
    const uint32_t k = pInput->uKeys;
    const float fScale = (k & NK_KEY_SHIFT) != 0 ? 4.0f : 1.0f;
    const float ts = g_fKeyTranslateStep * fScale * pInput->fMotionFactor;
    const float rs = g_fKeyRotateStep * fScale * pInput->fSensitivity;
    const bool bCtrl = (k & NK_KEY_CTRL) != 0;
    float t[3] = {0, 0, 0};
    if (bCtrl) {
        if (k & NK_KEY_LEFT) t[0] = ts;
        if (k & NK_KEY_RIGHT) t[0] = -ts;
        if (k & NK_KEY_UP) t[1] = -ts;
        if (k & NK_KEY_DOWN) t[1] = ts;
    }
    if (k & NK_KEY_A) t[2] = ts;
    if (k & NK_KEY_Z) t[2] = -ts;
    NKMat4TranslateWorldVec(pfMatrix, t);
    if (bCtrl) return;
    float ax = 0, ay = 0, az = 0;
    if (k & NK_KEY_LEFT) ay = rs;
    if (k & NK_KEY_RIGHT) ay = -rs;
    if (k & NK_KEY_UP) ax = -rs;
    if (k & NK_KEY_DOWN) ax = rs;
    if (k & NK_KEY_X) az = rs;
    if (k & NK_KEY_C) az = -rs;
    float q[4], qy[4], qz[4], afRotation[16];
    NKQuatFromAxisAngleXYZ(1, 0, 0, ax, q);
    NKQuatFromAxisAngleXYZ(0, 1, 0, ay, qy);
    NKQuatFromAxisAngleXYZ(0, 0, 1, az, qz);
    NKQuatMultiply(q, qy, q);
    NKQuatMultiply(q, qz, q);
    NKQuaternionToMatrix(q, afRotation);
    TurnAboutEye(pfMatrix, afRotation);
}
