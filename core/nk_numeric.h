// core/nk_numeric.h -- the small numeric helpers the whole system shares.
//
// The undefined value (the largest float) marks "no value" in results, ranges
// and times; NKIsUndefined is its test (NKIsDefinedValue also turns away NaN
// and the infinities) and NKFormatFloat its text form ("NO_VALUE"). Besides:
// linear range mapping, range tests and clamps, nice rounding for axis and
// legend steps, packed normals (three signed bytes), and inverse-distance
// interpolation at a point from nearby nodes. Vector and matrix maths are in
// nk_math.h, the allocation wrappers in nk_memory.h.
#pragma once

#include <cstdint>

class NKString;

// The undefined value and the threshold above which a value counts as
// undefined. A NaN is not undefined.
constexpr float NK_UNDEFINED_VALUE = 3.4028235e38f;
constexpr float NK_UNDEFINED_THRESHOLD = 2.99e38f;
// Short spelling of NK_UNDEFINED_VALUE.
constexpr float NK_UNDEFINED = NK_UNDEFINED_VALUE;

// Two 32-bit values handled together (a first/last or a key/value pair).
struct NKIntPair {
    int32_t iFirst;
    int32_t iSecond;
};

// ---- Undefined values and ranges -------------------------------------------

// v > 2.99e38.
bool NKIsUndefined(float v);
// A value that counts: a finite number below the undefined value. NaN and
// both infinities are no value, as the undefined value is; a NaN must be
// caught before any comparison, since it fails them all.
bool NKIsDefinedValue(float v);
// The index of the first of n values that is a NaN or minus infinity, -1
// when none is; piCount (optional) receives how many are. Plus infinity is
// above the threshold, so undefined: it passes. The values are tested in
// blocks as NKFirstNotFinite tests them; only a block that holds a value
// that is not finite is searched value by value.
int64_t NKFirstNaNOrMinusInf(const float *pfValues, int64_t n, int64_t *piCount = nullptr);
// The index of the first of n values that is not finite (NaN, plus or minus
// infinity), -1 when all are: the check of node coordinates. Blocks of
// values are tested at once without branches, so a clean array costs little
// more than its read; only a block that holds one is searched value by value.
int64_t NKFirstNotFinite(const float *pfValues, int64_t n);
// "NO_VALUE" for an undefined v; otherwise v printed (as a double) with the
// printf-style format, or with "%g" when the format is null. Locale-free.
NKString NKFormatFloat(float v, const char *pszFormat);
// x mapped linearly from [a, b] to [c, d]; the undefined value when b - a (as
// a float) is 0.
float NKMapRange(float x, float a, float b, float c, float d);
// lo <= x <= hi; false for a NaN.
bool NKFloatInRange(float x, float lo, float hi);
bool NKDoubleInRange(double x, double lo, double hi);
// Clamps *v into [lo, hi]; true when it changed. A NaN float becomes lo.
bool NKClampInt(int *v, int lo, int hi);
bool NKClampFloat(float *v, float lo, float hi);
// Exchange two values; NKSwapInt returns a.
int *NKSwapInt(int *a, int *b);
void NKSwapFloat(float *a, float *b);
// out = in / (the largest signed component); out = in when that is <= 0.
void NKScaleByMaxComponent(float *pOut, const float *pIn);
// The smallest of 1, 2, 5, 10 times 10^floor(log10 v) that is >= v; 0 for
// v <= 0.
float NKRoundUpNice(float v);
// Subtracts 1 from each of n values (1-based numbers to 0-based indices);
// false for a null array or n < 0.
bool NKDecrementInts(int *a, int n);
// True when a and b are both zero or both non-zero.
bool NKSameTruth(int a, int b);
// Both members 0.
void NKClearPair(NKIntPair *pPair);

// ---- Packed normals ---------------------------------------------------------

// Each component x: trunc(x 127 + 0.5) for x >= 0, trunc(x 128 - 0.5) below
// (so +1 packs to 127 and -1 to -128). Components beyond [-1, 1] saturate.
void NKPackNormal(const float *n, signed char *b);
// b / 127 for b >= 0, b / 128 below.
void NKUnpackNormal(float *n, const signed char *b);

// ---- Interpolation ----------------------------------------------------------

// Inverse-distance interpolation at p from up to 16 of the listed nodes
// (coordinates pCoords[node]). iMode 1 weighs by 1/d^2, any other mode by
// 1/d^4. A point on a node takes that node's value and vector. Either data
// array and either output may be null; outputs start at 0 and stay 0 when
// n < 1. Nothing happens when pCoords, piNodes or p is null.
void NKInterpolateAtPoint(const float (*pCoords)[3], const int *piNodes, int n,
                          const float *pfValues, const float (*pVectors)[3], int iMode,
                          const float *p, float *pfValue, float *pfVector);
