// render/nk_camera.cpp -- the view matrix and its operations (see
// nk_camera.h). The navigation mode and walking are in nk_navigation.cpp,
// which NKInitNavigation resets through NKResetNavigationState.
#include "render/nk_camera.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/nk_math.h"
#include "core/nk_numeric.h"
#include "core/nk_string.h"
#include "render/nk_navigation.h"
#include "render/nk_view_settings.h"

float g_ViewMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
NKInputState g_InputState;
float g_fKeyRotateStep = 0.02f;
float g_fKeyTranslateStep = 0.02f;

namespace {

constexpr float kTrackballRadius = 0.8f;

float sg_afLastRotation[4] = {0, 0, 0, 1};
float sg_afRotationPoint[3] = {0, 0, 0};
bool sg_bRotationPointSet = false;

// The eye-point cache: the matrix the cached eye was computed for.
struct EyeCache {
    bool bStarted = false;
    float afMatrix[16] = {};
    float afEye[3] = {};
};
EyeCache sg_EyeCache;

float Clamp1(float f) { return f < -1.0f ? -1.0f : (f > 1.0f ? 1.0f : f); }

// The rate of a turn about pfPoint: 1/(3 - d) up to d = 2, else d - 1, d
// being the point's distance from the eye-space origin in display space.
float PointRate(const float *pfPoint, const float *pfInverse, float fSensitivity)
{
    float afOrigin[3];
    NKGetViewOriginInModel(nullptr, pfInverse, afOrigin);
    const float d = static_cast<float>(NKVec3Distance(pfPoint, afOrigin));
    return fSensitivity * (d <= 2.0f ? 1.0f / (3.0f - d) : d - 1.0f);
}

}  // namespace

bool NKInitNavigation(float *pfMatrix, NKInputState *pInput)
{
    if (pfMatrix != nullptr) NKMatrixIdentity(pfMatrix);
    if (pInput != nullptr) *pInput = NKInputState();
    NKResetNavigationState();
    return true;
}

float NKTrackballDepth(float fRadius, float x, float y)
{
    const float e = std::sqrt(x * x + y * y);
    if (e < fRadius * 0.7071067811865476f) return std::sqrt(fRadius * fRadius - e * e);
    const float t = fRadius * 0.70710677f;
    return t * t / e;
}

float *NKTrackball(float *pfQuat, float x1, float y1, float x2, float y2, const float *pfMatrix,
                   const NKInputState *pInput, const float *pfPoint)
{
    float afInverse[16];
    NKInvertMatrix(pfMatrix, afInverse);
    const NKInputState input = pInput != nullptr ? *pInput : NKInputState();
    const float fRate = pfPoint != nullptr ? PointRate(pfPoint, afInverse, input.fSensitivity)
                                           : input.fMotionFactor;
    x1 = Clamp1(x1), y1 = Clamp1(y1), x2 = Clamp1(x2), y2 = Clamp1(y2);
    if (x1 == x2 && y1 == y2) {
        NKVec4Set(pfQuat, 0, 0, 0, 1);
        return pfQuat;
    }
    float p1[3] = {x1, y1, NKTrackballDepth(kTrackballRadius, x1, y1)};
    float p2[3] = {x2, y2, NKTrackballDepth(kTrackballRadius, x2, y2)};
    float afAxis[3], afDiff[3];
    NKCrossProduct(p2, p1, afAxis);
    NKMat4TransformDirection(afInverse, afAxis);
    NKVec3Difference(p1, p2, afDiff);
    const float t = Clamp1(static_cast<float>(NKVec3Length(afDiff)) * 0.625f);
    NKQuatFromAxisAngle(afAxis, 2.0f * std::asin(t) * fRate, pfQuat);
    return pfQuat;
}

bool NKApplyRotation(const float *pfQuat, const float *pfTranslation, float *pfMatrix)
{
    if (pfTranslation != nullptr) NKMat4TranslateWorldVec(pfMatrix, pfTranslation);
    if (pfQuat == nullptr) {
        NKVec4Set(sg_afLastRotation, 0, 0, 0, 1);
        return true;
    }
    float afRotation[16];
    NKQuaternionToMatrix(pfQuat, afRotation);
    if (sg_bRotationPointSet) {
        const float *p = sg_afRotationPoint;
        NKMat4Translate(afRotation, -p[0], -p[1], -p[2]);
        NKMat4TranslateWorld(afRotation, p[0], p[1], p[2]);
    }
    NKMat4Multiply(pfMatrix, afRotation, pfMatrix);
    // The caller may pass the last increment itself (a spin step).
    const float afQuat[4] = {pfQuat[0], pfQuat[1], pfQuat[2], pfQuat[3]};
    NKVec4Set(sg_afLastRotation, afQuat[0], afQuat[1], afQuat[2], afQuat[3]);
    return true;
}

bool NKSpinStep(float *pfMatrix)
{
    if (g_pViewSettings != nullptr && g_pViewSettings->bMouseDrag) return true;
    return NKApplyRotation(sg_afLastRotation, nullptr, pfMatrix);
}

void NKGetLastRotation(float *pfQuat)
{
    for (int i = 0; i < 4; i++) pfQuat[i] = sg_afLastRotation[i];
}

bool NKSetRotationPoint(const float *pfPoint)
{
    if (pfPoint != nullptr) {
        NKVec3Copy(sg_afRotationPoint, pfPoint);
    } else {
        NKVec3Zero(sg_afRotationPoint);
    }
    sg_bRotationPointSet = pfPoint != nullptr;
    return true;
}

bool NKGetRotationPoint(float *pfPoint)
{
    if (pfPoint != nullptr) NKVec3Copy(pfPoint, sg_afRotationPoint);
    return sg_bRotationPointSet;
}

float *NKLookAtMatrix(const float *pfEye, const float *pfVrp, const float *pfVup, float *pfMatrix)
{
    float f[3], s[3], u[3];
    NKVec3Difference(pfVrp, pfEye, f);
    NKVec3Normalize(f);
    NKCrossProduct(f, pfVup, s);
    NKVec3Normalize(s);
    NKCrossProduct(s, f, u);
    const float afRotation[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0,
                                  s[2], u[2], -f[2], 0, 0,    0,    0,     1};
    NKMat4Copy(pfMatrix, afRotation);
    NKMat4Translate(pfMatrix, -pfEye[0], -pfEye[1], -pfEye[2]);
    NKMat4TranslateWorld(pfMatrix, 0.0f, 0.0f, 2.0f);
    return pfMatrix;
}

bool NKApplyViewPoint(const NKViewPoint *pViewPoint, float *pfMatrix)
{
    if (pViewPoint == nullptr || pfMatrix == nullptr) return false;
    NKLookAtMatrix(pViewPoint->eye, pViewPoint->vrp, pViewPoint->vup, pfMatrix);
    return true;
}

NKString *NKMakeSetviewCommand(NKString *pText, const float *pfMatrix)
{
    float afNumbers[7];
    NKMat4ToQuatTranslation(pfMatrix, afNumbers, afNumbers + 4);
    std::string text = "setview ";
    char szNumber[32];
    for (float f : afNumbers) {
        std::snprintf(szNumber, sizeof szNumber, " %g", static_cast<double>(f));
        text += szNumber;
    }
    *pText = NKString(text.c_str());
    return pText;
}

bool NKGetEyePoint(float *pfEye)
{
    EyeCache &c = sg_EyeCache;
    if (!c.bStarted) {
        NKVec3Set(c.afEye, FLT_MAX, FLT_MAX, FLT_MAX);
        c.bStarted = true;
    }
    // An undefined cached eye never matches, whatever the matrix.
    if (NKIsUndefined(c.afEye[0])) c.afMatrix[0] = g_ViewMatrix[0] + 1.0f;
    if (!NKMat4Equal(c.afMatrix, g_ViewMatrix, true)) {
        float afInverse[16];
        if (!NKInvertMatrix(g_ViewMatrix, afInverse)) return false;
        NKVec3Set(c.afEye, 0, 0, 2);
        NKTransformPoint(afInverse, c.afEye);
        NKMat4Copy(c.afMatrix, g_ViewMatrix);
    }
    NKVec3Copy(pfEye, c.afEye);
    return true;
}

bool NKGetCurrentViewPoint(float *pfEye, float *pfVrp, float *pfVup)
{
    float afInverse[16];
    if (!NKInvertMatrix(g_ViewMatrix, afInverse)) return false;
    NKVec3Set(pfEye, 0, 0, 2);
    NKTransformPoint(afInverse, pfEye);
    NKVec3Zero(pfVrp);
    NKTransformPoint(afInverse, pfVrp);
    NKVec3Set(pfVup, 0, 1, 0);
    NKMat4TransformDirection(afInverse, pfVup);
    return true;
}

bool NKGetViewOriginInModel(const float *pfMatrix, const float *pfInverse, float *pfOut)
{
    NKVec3Zero(pfOut);
    float afInverse[16];
    if (pfInverse == nullptr) {
        if (pfMatrix == nullptr || !NKInvertMatrix(pfMatrix, afInverse)) return false;
        pfInverse = afInverse;
    }
    NKTransformPoint(pfInverse, pfOut);
    return true;
}

bool NKGetScreenAxesInModel(const float *pfMatrix, const float *pfInverse, float *pfRight,
                            float *pfUp)
{
    float afInverse[16];
    if (pfInverse == nullptr) {
        if (pfMatrix == nullptr || !NKInvertMatrix(pfMatrix, afInverse)) return false;
        pfInverse = afInverse;
    }
    NKVec3Set(pfRight, 1, 0, 0);
    NKMat4TransformDirection(pfInverse, pfRight);
    NKVec3Normalize(pfRight);
    NKVec3Set(pfUp, 0, 1, 0);
    NKMat4TransformDirection(pfInverse, pfUp);
    NKVec3Normalize(pfUp);
    return true;
}
