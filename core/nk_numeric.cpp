// core/nk_numeric.cpp -- undefined values, ranges, clamps, nice rounding,
// packed normals and inverse-distance interpolation (see nk_numeric.h).
#include "core/nk_numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/nk_math.h"
#include "core/nk_string.h"

// ---- Undefined values and ranges -------------------------------------------

bool NKIsUndefined(float v) { return v > NK_UNDEFINED_THRESHOLD; }

bool NKIsDefinedValue(float v) { return std::isfinite(v) && !NKIsUndefined(v); }

namespace {

// Values tested at once: a block's test has no branch, so the compiler makes
// vector code of it, and a clean array costs little more than its read.
constexpr int64_t kScanBlock = 256;

// Whether one of n values is not finite (NaN or either infinity): its 8
// exponent bits are all set.
bool BlockHasNonFinite(const float *pfValues, int64_t n)
{
    constexpr uint32_t kExponent = 0x7f800000u;
    uint32_t uAny = 0;
    for (int64_t i = 0; i < n; i++) {
        uint32_t u;
        std::memcpy(&u, &pfValues[i], sizeof(u));
        uAny |= (uint32_t)((u & kExponent) == kExponent);
    }
    return uAny != 0;
}

}  // namespace

int64_t NKFirstNaNOrMinusInf(const float *pfValues, int64_t n, int64_t *piCount)
{
    int64_t iFirst = -1, iCount = 0;
    for (int64_t iStart = 0; pfValues != nullptr && iStart < n; iStart += kScanBlock) {
        const int64_t iEnd = std::min(n, iStart + kScanBlock);
        // NaN and minus infinity are among the values that are not finite.
        if (!BlockHasNonFinite(&pfValues[iStart], iEnd - iStart)) continue;
        for (int64_t i = iStart; i < iEnd; i++) {
            if (!std::isnan(pfValues[i]) && pfValues[i] != -INFINITY) continue;
            if (iFirst < 0) {
                iFirst = i;
                if (piCount == nullptr) return iFirst;
            }
            iCount++;
        }
    }
    if (piCount != nullptr) *piCount = iCount;
    return iFirst;
}

int64_t NKFirstNotFinite(const float *pfValues, int64_t n)
{
    for (int64_t iStart = 0; pfValues != nullptr && iStart < n; iStart += kScanBlock) {
        const int64_t iEnd = std::min(n, iStart + kScanBlock);
        if (!BlockHasNonFinite(&pfValues[iStart], iEnd - iStart)) continue;
        for (int64_t i = iStart; i < iEnd; i++)
            if (!std::isfinite(pfValues[i])) return i;
    }
    return -1;
}

NKString NKFormatFloat(float v, const char *pszFormat)
{
    NKString text;
    if (NKIsUndefined(v))
        text = NKString("NO_VALUE");
    else
        text.Format(pszFormat ? pszFormat : "%g", static_cast<double>(v));
    return text;
}

float NKMapRange(float x, float a, float b, float c, float d)
{
    float fSpan = b - a;
    if (NKFloatsEqual(fSpan, 0.0f)) return NK_UNDEFINED_VALUE;
    double fT = (static_cast<double>(x) - a) / fSpan;
    return static_cast<float>(fT * (static_cast<double>(d) - c) + c);
}

bool NKFloatInRange(float x, float lo, float hi)
{
    if (std::isnan(x)) return false;
    return lo <= x && x <= hi;
}

bool NKDoubleInRange(double x, double lo, double hi)
{
    if (std::isnan(x)) return false;
    return lo <= x && x <= hi;
}

bool NKClampInt(int *v, int lo, int hi)
{
    if (!v) return false;
    if (*v < lo) {
        *v = lo;
        return true;
    }
    if (*v > hi) {
        *v = hi;
        return true;
    }
    return false;
}

bool NKClampFloat(float *v, float lo, float hi)
{
    if (!v) return false;
    if (std::isnan(*v) || *v < lo) {
        *v = lo;
        return true;
    }
    if (*v > hi) {
        *v = hi;
        return true;
    }
    return false;
}

int *NKSwapInt(int *a, int *b)
{
    if (a && b) {
        int iTmp = *a;
        *a = *b;
        *b = iTmp;
    }
    return a;
}

void NKSwapFloat(float *a, float *b)
{
    if (!a || !b) return;
    float fTmp = *a;
    *a = *b;
    *b = fTmp;
}

void NKScaleByMaxComponent(float *pOut, const float *pIn)
{
    if (!pOut || !pIn) return;
    float fMax = pIn[0];
    if (pIn[1] > fMax) fMax = pIn[1];
    if (pIn[2] > fMax) fMax = pIn[2];
    for (int i = 0; i < 3; i++)
        pOut[i] = fMax > 0.0f ? static_cast<float>(static_cast<double>(pIn[i]) / fMax) : pIn[i];
}

float NKRoundUpNice(float v)
{
    if (NKFloatsEqual(v, 0.0f) || !(v > 0.0f)) return 0.0f;
    double fDecade = std::pow(10.0, std::floor(std::log10(static_cast<double>(v))));
    const double afSteps[3] = {1.0, 2.0, 5.0};
    // Compared as floats: 0.2f lies just above the double 0.2 and must still
    // round to 0.2, not to 0.5.
    for (double fStep : afSteps) {
        float fCandidate = static_cast<float>(fStep * fDecade);
        if (fCandidate >= v) return fCandidate;
    }
    return static_cast<float>(10.0 * fDecade);
}

bool NKDecrementInts(int *a, int n)
{
    if (!a || n < 0) return false;
    for (int i = 0; i < n; i++) a[i]--;
    return true;
}

bool NKSameTruth(int a, int b) { return (a == 0) == (b == 0); }

void NKClearPair(NKIntPair *pPair)
{
    if (pPair) pPair->iFirst = pPair->iSecond = 0;
}

// ---- Packed normals ---------------------------------------------------------

static signed char NKPackComponent(float x)
{
    if (std::isnan(x)) return 0;
    double fScaled = x >= 0.0f ? std::trunc(x * 127.0 + 0.5) : std::trunc(x * 128.0 - 0.5);
    // Components outside [-1, 1] (unnormalised input) saturate instead of
    // wrapping round to the opposite sign.
    if (fScaled > 127.0) fScaled = 127.0;
    if (fScaled < -128.0) fScaled = -128.0;
    return static_cast<signed char>(fScaled);
}

void NKPackNormal(const float *n, signed char *b)
{
    if (!n || !b) return;
    for (int i = 0; i < 3; i++) b[i] = NKPackComponent(n[i]);
}

void NKUnpackNormal(float *n, const signed char *b)
{
    if (!n || !b) return;
    for (int i = 0; i < 3; i++) n[i] = b[i] >= 0 ? b[i] * 0.007874016f : b[i] * 0.0078125f;
}

// ---- Interpolation ----------------------------------------------------------

// The weight denominator of a node: its squared distance to p (mode 1) or
// the square of that; squares of components below 1e-18 count as 0.
static double NKInverseDistanceDenominator(const float *pNode, const float *p, int iMode)
{
    double q = 0.0;
    for (int i = 0; i < 3; i++)
        q += NKSquare(static_cast<float>(static_cast<double>(pNode[i]) - p[i]), false);
    return iMode == 1 ? q : q * q;
}

void NKInterpolateAtPoint(const float (*pCoords)[3], const int *piNodes, int n,
                          const float *pfValues, const float (*pVectors)[3], int iMode,
                          const float *p, float *pfValue, float *pfVector)
{
    if (!pCoords || !piNodes || !p) return;
    if (pfValue) *pfValue = 0.0f;
    NKVec3Zero(pfVector);
    if (n > 16) n = 16;
    if (n < 1) return;
    double afDen[16];
    double fSum = 0.0;
    for (int i = 0; i < n; i++) {
        int iNode = piNodes[i];
        afDen[i] = NKInverseDistanceDenominator(pCoords[iNode], p, iMode);
        if (afDen[i] == 0.0) {
            // p lies on this node: its own data, exactly.
            if (pfValue && pfValues) *pfValue = pfValues[iNode];
            if (pfVector && pVectors) NKVec3Copy(pfVector, pVectors[iNode]);
            return;
        }
        fSum += 1.0 / afDen[i];
    }
    double fValue = 0.0, afVector[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; i++) {
        int iNode = piNodes[i];
        double fWeight = 1.0 / (fSum * afDen[i]);
        if (pfValues) fValue += fWeight * pfValues[iNode];
        if (pVectors) {
            for (int k = 0; k < 3; k++) afVector[k] += fWeight * pVectors[iNode][k];
        }
    }
    if (pfValue && pfValues) *pfValue = static_cast<float>(fValue);
    if (pfVector && pVectors) {
        for (int k = 0; k < 3; k++) pfVector[k] = static_cast<float>(afVector[k]);
    }
}
